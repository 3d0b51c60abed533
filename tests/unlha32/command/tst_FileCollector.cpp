// File patterns as Windows matches them: "*.*" is every name, letters
// without regard to case, "?" one character (a kanji too).
#include "command/FileCollector.h"
#include "support/TempTree.h"

#include <QTest>

class CFileCollectorTest : public QObject {
    Q_OBJECT

private slots:
    void WildcardMatch() {
        const std::tuple<const char*, const char*, bool> cases[] = {
            {"*.*", "README", true},     {"*.TXT", "a.txt", true},   {"*.txt", "a.txt.bak", false},
            {"?.txt", "表.txt", true},   {"??.txt", "a.txt", false}, {"a*Z", "abcz", true},
            {"Doc.txt", "doc.TXT", true}};
        for (const auto& [pattern, name, match] : cases)
            QVERIFY2(unlha::WildcardMatch(pattern, name) == match, name);
    }
    // Patterns given for one folder are matched in one walk of it, in the order
    // of the walk; names differing in case are different files.
    void CollectFiles_data() {
        QTest::addColumn<QString>("specs"); // base|pattern, " " between; base "" is the root
        QTest::addColumn<bool>("recurse");
        QTest::addColumn<QString>("stored");
        QTest::newRow("patterns of one folder")
            << "|*.h |README |*.c |*.h" << true << "A.c README a.c a.h sub/ sub/x.c sub/y.h";
        QTest::newRow("exact name, other case") << "|readme |B.TXT" << false << "README b.txt";
        QTest::newRow("ends, starts, any") << "|*.H |rEA* |?.c" << false << "A.c README a.c a.h";
        QTest::newRow("two bases, one folder") << "|sub/*.c sub/|*.c" << false << "sub/x.c x.c";
    }
    void CollectFiles() {
        QFETCH(QString, specs);
        QFETCH(bool, recurse);
        QFETCH(QString, stored);
        CTempTree src('S');
        for (const char* f : {"README", "a.c", "A.c", "a.h", "b.txt", "sub/x.c", "sub/y.h"})
            QVERIFY(src.AddFile(f, "x"));
        unlha::CCommand command;
        command.bRecurse = recurse;
        command.bKeepPaths = true;
        for (const QString& spec : specs.split(' '))
            command.aSpecs.push_back({src.HostRoot() + "/" + spec.section('|', 0, 0).toStdString(),
                                      spec.section('|', 1).toStdString()});
        std::vector<unlha::CCollectedItem> items;
        unlha::CReport report;
        QCOMPARE(unlha::CollectFiles(command, unlha::CDriveTable(), items, report), 0);
        QStringList actual;
        for (const auto& item : items)
            actual << QString::fromStdString(item.strStored) + (item.bFolder ? "/" : "");
        QCOMPARE(actual.join(' '), stored);
    }
};

QTEST_GUILESS_MAIN(CFileCollectorTest)
#include "tst_FileCollector.moc"
