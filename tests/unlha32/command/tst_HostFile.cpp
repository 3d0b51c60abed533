// Writing the archive: through a symbolic link to its target (the link
// stays), never over a read-only archive, and a failed write says what
// failed. Nothing is left behind on failure.
#include "LibraryRun.h"
#include "TestData.h"
#include "lzh/ResultCodes.h"
#include "support/TempTree.h"

#include <QTest>

#include <csignal>
#include <sys/resource.h>

using namespace unlha;

class CHostFileTest : public QObject {
    Q_OBJECT

private slots:
    void WriteArchive_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("mentions"); // in the report
        QTest::newRow("link to another folder") << "link" << 0 << "追加 1 件";
        QTest::newRow("read-only archive") << "read-only" << int(RESULT_READ_ONLY) << "A.lzh";
        QTest::newRow("file size limit") << "limit" << int(RESULT_ARCHIVE_OPEN) << "File too large";
    }
    void WriteArchive() {
        QFETCH(QString, setup);
        QFETCH(int, code);
        QFETCH(QString, mentions);
        CTempTree src('S'), dst('D');
        QVERIFY(src.AddFile("First.txt", RandomBytes(200000, 1)) && dst.AddFolder("real"));
        // The archive as the caller names it, and the file that holds it.
        std::string named = dst.HostPath("A.lzh"), held = dst.HostPath("real/A.lzh"), report;
        std::string args = " \"" + named + "\" \"" + src.HostRoot() + "/\" *.*";
        QCOMPARE(RunLibrary("a \"" + held + "\" \"" + src.HostRoot() + "/\" *.*", report), 0);
        QVERIFY(src.AddFile("Second.txt", "second\n"));
        if (setup == "link")
            QVERIFY(dst.AddSymlink("A.lzh", held));
        else
            QVERIFY(QFile::rename(held.c_str(), named.c_str()) && (held = named, true));
        if (setup == "read-only")
            QVERIFY(dst.SetMode("A.lzh", 0444));
        QStringList before =
            NamesIn(dst.HostRoot().c_str()) + NamesIn(dst.HostPath("real").c_str());
        QByteArray bytes = ReadHostFile(held.c_str());
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        if (setup == "limit") {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit small{100000, saved.rlim_max};
            setrlimit(RLIMIT_FSIZE, &small);
        }
        int rc = RunLibrary("a" + args, report);
        setrlimit(RLIMIT_FSIZE, &saved);
        QCOMPARE(rc, code);
        QVERIFY2(report.find(mentions.toStdString()) != std::string::npos, report.c_str());
        QCOMPARE(NamesIn(dst.HostRoot().c_str()) + NamesIn(dst.HostPath("real").c_str()), before);
        QCOMPARE(QFileInfo(named.c_str()).isSymLink(), setup == "link");
        if (code != 0)
            QCOMPARE(ReadHostFile(held.c_str()), bytes);
        else
            QCOMPARE(MemberPaths(held), (std::vector<std::string>{"First.txt", "Second.txt"}));
    }
};

QTEST_GUILESS_MAIN(CHostFileTest)
#include "tst_HostFile.moc"
