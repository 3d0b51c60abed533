// The archive run: the response file the archiver gets, and a refused name stopping the run.
#include "support/CopyJobFixture.h"

namespace {

// Packs S:\Work into D:\Backup by the "LHA" keys "Key=value;...", through an unloadable library.
struct CArchiveFixture : CCopyJobFixture {
    QTemporaryDir temp; // the response file's folder
    explicit CArchiveFixture(const QString& lha) {
        setenv("TMPDIR", temp.path().toUtf8().constData(), 1);
        Setting().GetDefFilePath("Arc");
        QVERIFY(program.WriteFile(
            "Arc.def",
            *Utf8ToCp932(
                QString("[LHA];" + lha + ";NewChk=0;").replace(';', "\r\n").toStdString())));
        Setting().SrcDir = "S:\\Work";
        Setting().DstDir = "D:\\Backup";
        Setting().LhaChk = 1;
        job.m_strLhaLibrary = program.HostFile("no-such-library.so");
    }
};

} // namespace

class TestArchiveRun : public QObject {
    Q_OBJECT

private slots:
    // Lines joined by "|"; each line of the file ends in CR LF.
    void responseFile_data() {
        QTest::addColumn<QString>("lha");
        QTest::addColumn<QString>("lines");
        const QString files = "|\"S:\\Work\\\"|\"*.doc\"|\"S:\\Work\\\"|\"*.txt\"|";
        QTest::newRow("seven lines") << "NewChk=1;LhaName=SAVE.LZH;AllClrChk=1"
                                     << "U|\"D:\\Backup\\SAVE.LZH\"" + files + "-x1 -r1|";
        QTest::newRow("no subfolders, no options: an empty last line")
            << "SubDirChk=1;LhaName=資料.LZH"
            << "A|\"D:\\Backup\\資料.LZH\"" + files + "|";
        QTest::newRow("options follow at once; automatic name")
            << "OptionStr=-lh7;AutoFileChk=1;FileHeder=TDWL%m%d%H%M.LZH"
            << "A|\"D:\\Backup\\TDWL01020304.LZH\"" + files + "-x1 -r1-lh7|";
    }
    // The file exists only during the call, with the close button off and the progress window open.
    void responseFile() {
        QFETCH(QString, lha);
        QFETCH(QString, lines);
        CArchiveFixture f(lha);
        QVERIFY(Build(f.dest, "Backup/SAVE.LZH=old")); // gone only with the clearing option
        f.Setting().WildList = "*.doc//*.txt/";
        CHostServices::Get().SetClock(
            [] { return std::time_t(1704132245); }); // 2024/01/02 03:04:05
        QString written;
        f.host.onBlockingCall = [&] {
            const QStringList files = QDir(f.temp.path()).entryList(QDir::Files);
            QFile file(f.temp.filePath(files.value(0)));
            if (files.size() == 1 && file.open(QIODevice::ReadOnly))
                written = QString::fromStdString(Cp932ToUtf8(file.readAll().toStdString())) +
                          QString("close %1, progress %2")
                              .arg(f.host.closeEnabled)
                              .arg(f.host.progressOpen);
        };
        const int code = f.Run("UNLHA32.DLLが見つからないか、ロードできません。");
        CHostServices::Get().SetClock(nullptr);
        QCOMPARE(code, 32814);
        QCOMPARE(written, QString(lines).replace("|", "\r\n") + "close 0, progress 1");
        QCOMPARE(f.dest.Exists("Backup/SAVE.LZH"), !lha.contains("AllClrChk=1"));
        QVERIFY(QDir(f.temp.path()).isEmpty() && f.host.closeEnabled && f.host.progressOpen == 0);
        QVERIFY(f.LogHas("-- Tidewall.Exe  圧縮履歴 [2024/01/02 03:04:05] --", ""));
    }

    // The stored "*.LZH" or an automatic name leaving the folder stops the run before any change.
    void refusedName() {
        for (const char* lha : {"AllClrChk=1", "AllClrChk=1;AutoFileChk=1;FileHeder=..\\%d"}) {
            CArchiveFixture f(lha);
            f.Setting().DstDir = "D:\\Sub";
            QVERIFY(Build(f.dest, "Sub/*.LZH=old"));
            f.boxes->Expect("[LHAの設定]で", IDOK, MB_ICONEXCLAMATION);
            QCOMPARE(f.job.RunCopyJob(), 1);
            QVERIFY(f.boxes->VerifyAllUsed());
            QCOMPARE(f.dest.Read().size(), size_t(2)); // Sub/ and Sub/*.LZH only
            QVERIFY(f.program.ReadFile("Tidewall.log").empty());
        }
    }
};

QTEST_GUILESS_MAIN(TestArchiveRun)
#include "tst_ArchiveRun.moc"
