// The archive run: the response file the archiver gets, and a run through
// the real archiver library checked with an independent LZH reader.
#include "copyjob/ResponseFile.h"
#include "support/CopyJobFixture.h"

#include <QTest>

class TestArchiveRun : public QObject {
    Q_OBJECT

private slots:
    // Lines joined by "|"; each line of the file ends in CR LF.
    void responseFile_data() {
        QTest::addColumn<int>("noSubfolders");
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("newer");
        QTest::addColumn<QString>("lines");
        QTest::newRow("options follow without a blank")
            << 0 << "-lh7" << 0
            << "A|\"D:\\B\\A.LZH\"|\"E:\\W\\\"|\"*.doc\"|\"E:\\W\\\"|\"*.txt\"|-x1 -r1-lh7|";
    }
    void responseFile() {
        QFETCH(int, noSubfolders);
        QFETCH(QString, options);
        QFETCH(int, newer);
        QFETCH(QString, lines);
        CCopySetting s;
        s.LhaSubDirChk = noSubfolders;
        s.OptionStr = options.toStdString();
        s.LhaNewChk = newer;
        s.DstDir = "D:\\B";
        s.LhaName = "A.LZH";
        s.SrcDir = "E:\\W";
        QCOMPARE(QString::fromStdString(ResponseFileText(s, {"*.doc", "*.txt"}, 0)),
                 QString(lines).replace("|", "\r\n"));
    }

    void automaticNameFollowsTheClock() {
        CCopySetting s;
        s.DstDir = "D:\\Backup\\";
        s.LhaName = "IGNORED.LZH";
        s.AutoFileChk = 1;
        s.FileHeder = "TDWL%m%d%H%M.LZH";
        const std::time_t when = QDateTime(QDate(2026, 3, 4), QTime(9, 5)).toSecsSinceEpoch();
        QCOMPARE(ArchivePath(s, when), std::string("D:\\Backup\\TDWL03040905.LZH"));
        s.FileHeder.clear();
        QCOMPARE(ArchiveFileName(s, when), std::string());
    }

    void missingLibraryIsReportedWithItsCode() {
        CCopyJobFixture f;
        QVERIFY(f.source.Build({{"a.txt", "a"}}));
        f.Setting().LhaChk = 1;
        f.job.m_strLhaLibrary = f.program.HostFile("no-such-library.so");
        QCOMPARE(f.Run("UNLHA32.DLLが見つからないか、ロードできません。"), 32814);
        QVERIFY(Cp932ToUtf8(f.program.ReadFile("Tidewall.log")).find("圧縮履歴") !=
                std::string::npos);
        QCOMPARE(f.host.progressOpen, 0);
    }

    // The stored "*.LZH" names a pattern, not a file: nothing is deleted.
    void wildcardArchiveNameCannotBeDeleted() {
        CCopyJobFixture f;
        QVERIFY(f.source.Build({{"a.txt", "a"}}));
        QVERIFY(f.dest.Build({{"OLD.LZH", "old archive"}}));
        CCopySetting& s = f.Setting();
        s.LhaChk = 1;
        s.SaveSpec("Wild");
        s.LhaAllClrChk = 1;
        s.LhaName = "*.LZH";
        s.SaveLha();
        f.boxes->Expect("", IDOK, MB_ICONEXCLAMATION);
        QCOMPARE(f.job.RunCopyJob(), 1);
        QVERIFY(f.boxes->VerifyAllUsed());
        QVERIFY(f.dest.Exists("OLD.LZH"));
        QVERIFY(f.program.ReadFile("Tidewall.log").empty()); // nothing else was done
    }
};

QTEST_GUILESS_MAIN(TestArchiveRun)
#include "tst_ArchiveRun.moc"
