// Member names come back as they went in, through the library's own reader
// and through lhasa, and the next "u" and "a" find them again; a name no
// member can hold is refused, never stored to be misread later.
#include "LibraryRun.h"
#include "command/MemberNames.h"
#include "lzh/ResultCodes.h"
#include "support/TempTree.h"

#include <QTest>

#include <set>

using namespace unlha;

class CMemberNamesTest : public QObject {
    Q_OBJECT

private slots:
    void Names_SurviveReadersAndUpdates_data() {
        QTest::addColumn<QString>("files"); // "|" between
        QTest::addColumn<int>("code");
        QTest::newRow("one-way in CP932") << "〜.txt|−‖¢¬.txt|Ｘ〜/a.txt" << 0;
        QTest::newRow("both ways in CP932") << "～.txt|表ソ/予.txt" << 0;
        QTest::newRow("letter case alone") << "xt_CONNMARK.h|xt_connmark.h|Inc/a.h|inc/A.h" << 0;
        QTest::newRow("colon, not a drive") << "ab:c.txt|abc:/d.txt:" << 0;
        QTest::newRow("backslash") << "ok.txt|a\\b.txt" << int(RESULT_FILE_OPEN);
        QTest::newRow("backslash in a folder") << "ok.txt|a\\b/c.txt" << int(RESULT_FILE_OPEN);
        QTest::newRow("drive letter") << "c:colon.txt" << int(RESULT_FILE_OPEN);
        QTest::newRow("drive letter folder") << "d:/x.txt" << int(RESULT_FILE_OPEN);
    }
    void Names_SurviveReadersAndUpdates() {
        QFETCH(QString, files);
        QFETCH(int, code);
        CTempTree src('S');
        QTemporaryDir out;
        std::set<std::string> expected, expectedFiles;
        for (const QString& f : files.split('|')) {
            std::string name = f.toStdString();
            QVERIFY(src.AddFile(name, "bytes of " + name + "\n"));
            expectedFiles.insert(name);
            for (size_t cut = name.find('/'); cut != std::string::npos;
                 cut = name.find('/', cut + 1))
                expected.insert(name.substr(0, cut + 1));
        }
        expected.insert(expectedFiles.begin(), expectedFiles.end());
        std::string archive = out.filePath("N.lzh").toStdString();
        std::string args = " \"" + archive + "\" \"" + src.HostRoot() + "/\" *.* -x1 -r1", report;
        QCOMPARE(RunLibrary("a" + args, report), code);
        if (code != 0) {
            std::string refused = files.split('|').last().section('/', 0, 0).toStdString();
            QVERIFY2(report.find(refused) != std::string::npos, report.c_str());
            QVERIFY(!QFile::exists(out.filePath("N.lzh")));
            return;
        }
        std::vector<std::string> want(expected.begin(), expected.end());
        QCOMPARE(MemberPaths(archive), want);
        QByteArray bytes = ReadHostFile(QString::fromStdString(archive));
        for (const char* command : {"u", "a", "u"}) {
            QCOMPARE(RunLibrary(command + args, report), 0);
            QCOMPARE(MemberPaths(archive), want);
        }
        QCOMPARE(ReadHostFile(QString::fromStdString(archive)), bytes);
        auto lhasa = LhasaPaths(archive);
        if (!lhasa)
            QSKIP("lhasa is not installed");
        QCOMPARE(*lhasa, std::vector<std::string>(expectedFiles.begin(), expectedFiles.end()));
    }
    // Which member each item finds ("|" between names), -1 for none.
    void MatchMembers() {
        const char* rows[][3] = {{"a.h|A.h", "A.h|a.h|b.h", "1 0 -1"}, // a case pair, each its own
                                 {"Doc.txt", "DOC.TXT", "0"},          // renamed in case alone
                                 {"Doc.txt", "DOC.TXT|Doc.txt", "-1 0"}, // the exact name first
                                 {"Doc.txt|doc.txt", "Doc.txt|DOC.TXT", "0 1"},
                                 {"x|x", "x", "0"}}; // equal members: the first
        const auto list = [](const QString& s) {
            std::vector<std::string> v;
            for (const QString& p : s.split('|'))
                v.push_back(p.toStdString());
            return v;
        };
        for (const auto& [members, items, matches] : rows) {
            QStringList actual;
            for (int m : unlha::MatchMembers(list(members), list(items)))
                actual << QString::number(m);
            QCOMPARE(actual.join(' '), matches);
        }
    }
};

QTEST_GUILESS_MAIN(CMemberNamesTest)
#include "tst_MemberNames.moc"
