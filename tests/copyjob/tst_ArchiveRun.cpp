// The archive run: the response file the archiver gets (read while the
// archiver is called), the names refused before anything is touched, and a
// run through the real archiver library.
#include "support/CopyJobFixture.h"

#include "platform/HostServices.h"

#include <QDir>

namespace {

const char kNoLibrary[] = "UNLHA32.DLLが見つからないか、ロードできません。";

// Packs S:\Work into D:\Backup with the "LHA" section stored as given.
struct CArchiveFixture : CCopyJobFixture {
    QTemporaryDir temp; // the response file's folder
    CArchiveFixture(const std::string& name, int automatic = 0, const std::string& format = {}) {
        setenv("TMPDIR", temp.path().toUtf8().constData(), 1);
        CCopySetting& s = Setting();
        s.SrcDir = "S:\\Work";
        s.DstDir = "D:\\Backup";
        s.LhaChk = 1;
        s.LhaName = name;
        s.AutoFileChk = automatic;
        s.FileHeder = format;
        job.m_strLhaLibrary = program.HostFile("no-such-library.so");
    }
    void Store(int newer, int noSubfolders, int deleteFirst, const std::string& options) {
        CCopySetting& s = Setting();
        s.LhaNewChk = newer;
        s.LhaSubDirChk = noSubfolders;
        s.LhaAllClrChk = deleteFirst;
        s.OptionStr = options;
        s.SaveLha("Arc");
    }
    QStringList TempFiles() const { return QDir(temp.path()).entryList(QDir::Files); }
};

} // namespace

class TestArchiveRun : public QObject {
    Q_OBJECT

private slots:
    // Lines joined by "|"; each line of the file ends in CR LF.
    void responseFile_data() {
        QTest::addColumn<int>("newer");
        QTest::addColumn<int>("noSubfolders");
        QTest::addColumn<QString>("options");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("wildList");
        QTest::addColumn<QString>("lines");
        QTest::newRow("seven lines") << 1 << 0 << ""
                                     << "SAVE.LZH"
                                     << ""
                                     << "*.doc/*.txt"
                                     << "U|\"D:\\Backup\\SAVE.LZH\"|\"S:\\Work\\\"|\"*.doc\"|"
                                        "\"S:\\Work\\\"|\"*.txt\"|-x1 -r1|";
        QTest::newRow("no subfolders, no options") << 0 << 1 << ""
                                                   << "資料.LZH"
                                                   << ""
                                                   << "*.txt"
                                                   << "A|\"D:\\Backup\\資料.LZH\"|\"S:\\Work\\\"|"
                                                      "\"*.txt\"||";
        QTest::newRow("options follow at once")
            << 0 << 0 << "-lh7"
            << "A.LZH"
            << ""
            << "//*.txt/"
            << "A|\"D:\\Backup\\A.LZH\"|\"S:\\Work\\\"|\"*.txt\"|-x1 -r1-lh7|";
        QTest::newRow("automatic name") << 1 << 0 << ""
                                        << "*.LZH"
                                        << "TDWL%m%d%H%M.LZH"
                                        << "*.*"
                                        << "U|\"D:\\Backup\\TDWL01020304.LZH\"|\"S:\\Work\\\"|"
                                           "\"*.*\"|-x1 -r1|";
    }
    void responseFile() {
        QFETCH(int, newer);
        QFETCH(int, noSubfolders);
        QFETCH(QString, options);
        QFETCH(QString, name);
        QFETCH(QString, format);
        QFETCH(QString, wildList);
        QFETCH(QString, lines);
        CArchiveFixture f(name.toStdString(), !format.isEmpty(), format.toStdString());
        f.Setting().WildList = wildList.toStdString();
        f.Store(newer, noSubfolders, 0, options.toStdString());
        CHostServices::Get().SetClock(
            [] { return std::time_t(1704132245); }); // 2024/01/02 03:04:05
        QString written, duringCall;
        f.host.onBlockingCall = [&] {
            const QStringList files = f.TempFiles();
            QFile file(f.temp.filePath(files.value(0)));
            if (files.size() == 1 && file.open(QIODevice::ReadOnly))
                written = QString::fromStdString(Cp932ToUtf8(file.readAll().toStdString()));
            duringCall =
                QString("close %1, progress %2").arg(f.host.closeEnabled).arg(f.host.progressOpen);
        };
        const int code = f.Run(kNoLibrary);
        CHostServices::Get().SetClock(nullptr);
        QCOMPARE(code, 32814);
        QCOMPARE(written, QString(lines).replace("|", "\r\n"));
        QCOMPARE(duringCall, "close 0, progress 1");
        QVERIFY(f.TempFiles().isEmpty() && f.host.closeEnabled && f.host.progressOpen == 0);
        QVERIFY(f.LogHas("-- Tidewall.Exe  圧縮履歴 [2024/01/02 03:04:05] --", ""));
    }

    // A name the archiver cannot take stops the run before the destination
    // folder is made or an archive deleted; the message names the dialog
    // where it is set.
    void refusedNames() {
        const std::tuple<std::string, int, std::string, std::string> cases[] = {
            {"*.LZH", 0, "", "'*.LZH'"},
            {"", 0, "", "書庫ﾌｧｲﾙ名 ''"},
            {"Sub\\A.LZH", 0, "", "'Sub\\A.LZH'"},
            {"A.LZH", 1, "", "自動生成ﾌｫｰﾏｯﾄ ''"},
            {"A.LZH", 1, "%m/%d.LZH", "'%m/%d.LZH'"}};
        for (const auto& [name, automatic, format, part] : cases) {
            CArchiveFixture f(name, automatic, format);
            f.Setting().DstDir = "D:\\Sub\\New";
            QVERIFY(f.dest.Build({{"Sub/OLD.LZH", "old archive"}}));
            f.Store(0, 0, 1, "");
            f.boxes->Expect(part, IDOK, MB_ICONEXCLAMATION);
            QCOMPARE(f.job.RunCopyJob(), 1);
            QVERIFY(f.boxes->VerifyAllUsed());
            QVERIFY(f.boxes->Shown()[0].strText.find("[LHAの設定]") != std::string::npos);
            QCOMPARE(f.dest.Read().size(), size_t(2)); // Sub/ and Sub/OLD.LZH only
            QVERIFY(f.program.ReadFile("Tidewall.log").empty());
        }
    }

    // The real library, beside a profile that maps the drives, packs what
    // the response file names, after the old archive (not an archive at
    // all: the library would refuse to update it) was deleted.
    void realArchiverPacksTheSource() {
        CArchiveFixture f("SAVE.LZH");
        QVERIFY(
            f.source.Build({{"Work/a.txt", "aaa"}, {"Work/sub/b.txt", "bb"}, {"Work/c.doc", "c"}}));
        QVERIFY(f.dest.Build({{"Backup/SAVE.LZH", "not an archive"}}));
        f.Setting().WildList = "*.txt";
        f.Store(0, 0, 1, "");
        f.job.m_strLhaLibrary = f.program.HostFile("libunlha32.so");
        QVERIFY(QFile::copy(TIDEWELL_BIN_DIR "/libunlha32.so",
                            QString::fromStdString(f.job.m_strLhaLibrary)));
        QVERIFY(f.program.WriteFile("Tidewell.Ini", "[Drives]\r\nS=" + f.source.HostRoot() +
                                                        "\r\nD=" + f.dest.HostRoot() + "\r\n"));
        QCOMPARE(f.Run("圧縮処理を終了しました．"), 0);
        const std::string archive = f.dest.Bytes("Backup/SAVE.LZH");
        QVERIFY(archive.find("a.txt") != archive.npos && archive.find("b.txt") != archive.npos);
        QVERIFY(archive.find("c.doc") == archive.npos);
        QVERIFY(f.LogLines().size() > 1); // the header and the library's report
    }
};

QTEST_GUILESS_MAIN(TestArchiveRun)
#include "tst_ArchiveRun.moc"
