// The archive run: the response file the archiver gets, and a run through
// the real archiver library checked with an independent LZH reader.
#include "copyjob/ResponseFile.h"
#include "copyjob/RunTexts.h"
#include "platform/Cp932.h"
#include "platform/HostServices.h"
#include "support/CopyJobFixture.h"

#include <QFile>
#include <QProcess>
#include <QTest>

namespace {
const char kFinished[] = "圧縮処理を終了しました．";

// Lines of a response text, split at CR LF (the text must end with one).
QStringList Lines(const std::string& text) {
    QStringList lines = QString::fromStdString(text).split("\r\n");
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
} // namespace

class TestArchiveRun : public QObject {
    Q_OBJECT

private slots:
    void responseFileForTheUsualSetting();
    void switchLineRules_data();
    void switchLineRules();
    void automaticNameFollowsTheClock();
    void runPacksTheSourceIntoARealArchive();
    void missingLibraryIsReportedWithItsCode();
    void wildcardArchiveNameCannotBeDeleted();

private:
    // Lets the archiver library, which reads the drive map beside itself,
    // see the test's drives.
    void PrepareLibrary(CCopyJobFixture& f);
};

void TestArchiveRun::responseFileForTheUsualSetting() {
    CCopySetting s;
    s.LhaNewChk = 1;
    s.DstDir = "D:\\Backup";
    s.LhaName = "SAVE.LZH";
    s.SrcDir = "E:\\Work";
    const std::string text = ResponseFileText(s, {"*.doc", "*.txt"}, 0);
    QCOMPARE(Lines(text), (QStringList{"U", "\"D:\\Backup\\SAVE.LZH\"", "\"E:\\Work\\\"",
                                       "\"*.doc\"", "\"E:\\Work\\\"", "\"*.txt\"", "-x1 -r1"}));
    QVERIFY(text.size() > 2 && text.compare(text.size() - 2, 2, "\r\n") == 0);
}

void TestArchiveRun::switchLineRules_data() {
    QTest::addColumn<int>("noSubfolders");
    QTest::addColumn<QString>("options");
    QTest::addColumn<int>("newer");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("options follow without a blank") << 0 << "-lh7" << 0 << "A"
                                                    << "-x1 -r1-lh7";
    QTest::newRow("no subfolders, no options") << 1 << "" << 1 << "U"
                                               << "";
    QTest::newRow("no subfolders, options as typed") << 1 << " -lh6" << 1 << "U"
                                                     << " -lh6";
}

void TestArchiveRun::switchLineRules() {
    QFETCH(int, noSubfolders);
    QFETCH(QString, options);
    QFETCH(int, newer);
    QFETCH(QString, first);
    QFETCH(QString, last);
    CCopySetting s;
    s.LhaSubDirChk = noSubfolders;
    s.OptionStr = options.toStdString();
    s.LhaNewChk = newer;
    s.DstDir = "D:\\";
    s.LhaName = "A.LZH";
    s.SrcDir = "S:\\";
    const QStringList lines = Lines(ResponseFileText(s, {"*.*"}, 0));
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.first(), first);
    QCOMPARE(lines.last(), last);
}

void TestArchiveRun::automaticNameFollowsTheClock() {
    CCopySetting s;
    s.DstDir = "D:\\Backup\\";
    s.LhaName = "IGNORED.LZH";
    s.AutoFileChk = 1;
    s.FileHeder = "TDWL%m%d%H%M.LZH";
    std::tm when{};
    when.tm_year = 2026 - 1900;
    when.tm_mon = 2;
    when.tm_mday = 4;
    when.tm_hour = 9;
    when.tm_min = 5;
    when.tm_isdst = -1;
    QCOMPARE(ArchivePath(s, std::mktime(&when)), std::string("D:\\Backup\\TDWL03040905.LZH"));
    s.FileHeder.clear();
    QCOMPARE(ArchiveFileName(s, std::mktime(&when)), std::string());
}

void TestArchiveRun::PrepareLibrary(CCopyJobFixture& f) {
    const std::string ini =
        "[Drives]\r\nS=" + f.source.HostRoot() + "\r\nD=" + f.dest.HostRoot() + "\r\n";
    QVERIFY(f.program.WriteFile("Tidewell.Ini", ini));
    QVERIFY(QFile::copy(TIDEWELL_BIN_DIR "/libunlha32.so",
                        QString::fromStdString(f.program.HostFile("libunlha32.so"))));
    f.job.m_strLhaLibrary = f.program.HostFile("libunlha32.so");
}

void TestArchiveRun::runPacksTheSourceIntoARealArchive() {
    CCopyJobFixture f;
    PrepareLibrary(f);
    QVERIFY(f.source.Build(
        {{"a.txt", "alpha"}, {"sub/表ソ.txt", std::string(5000, 'x')}, {"skip.doc", "d"}}));
    CCopySetting& s = f.Setting();
    s.LhaChk = 1;
    s.WildList = "*.txt";
    s.DstDir = f.dest.DrivePath("out\\");
    s.SaveSpec("Pack");
    s.LhaName = "PACK.LZH";
    s.LhaNewChk = 0;
    s.SaveLha();
    s.LhaName.clear(); // the run reads the stored archive options
    f.boxes->ExpectExact(kFinished, IDOK, MB_ICONASTERISK);
    QCOMPARE(f.job.RunCopyJob(), 0);
    QVERIFY(f.boxes->VerifyAllUsed());

    const QString archive = QString::fromStdString(f.dest.HostPath("out/PACK.LZH"));
    QProcess lha;
    lha.start("lha", {"l", archive});
    QVERIFY(lha.waitForFinished(30000));
    QCOMPARE(lha.exitCode(), 0);
    const QString listing = QString::fromLocal8Bit(lha.readAllStandardOutput());
    QVERIFY2(listing.contains("a.txt") && !listing.contains("skip.doc"), qPrintable(listing));
    QProcess test;
    test.start("lha", {"t", archive});
    QVERIFY(test.waitForFinished(30000));
    QCOMPARE(test.exitCode(), 0);

    const std::string log = Cp932ToUtf8(f.program.ReadFile("Tidewall.log"));
    QVERIFY(log.rfind("-- Tidewall.Exe  圧縮履歴 [", 0) == 0);
    QVERIFY(log.find("a.txt") != std::string::npos); // the archiver's report follows
    QCOMPARE(f.host.progressCaptions, (Names{"圧縮中です．．．"}));
    QCOMPARE(f.host.statusTexts.back(), std::string(RunText::kIdleStatus));
    QVERIFY(f.host.closeEnabled);
}

void TestArchiveRun::missingLibraryIsReportedWithItsCode() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    f.Setting().LhaChk = 1;
    f.job.m_strLhaLibrary = f.program.HostFile("no-such-library.so");
    f.boxes->ExpectExact("UNLHA32.DLLが見つからないか、ロードできません。", IDOK);
    QCOMPARE(f.job.RunCopyJob(), 32814);
    QVERIFY(f.boxes->VerifyAllUsed());
    // The log was opened and closed: it holds the header only.
    QVERIFY(Cp932ToUtf8(f.program.ReadFile("Tidewall.log")).find("圧縮履歴") != std::string::npos);
    QCOMPARE(f.host.progressOpen, 0);
}

void TestArchiveRun::wildcardArchiveNameCannotBeDeleted() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    QVERIFY(f.dest.Build({{"OLD.LZH", "old archive"}}));
    CCopySetting& s = f.Setting();
    s.LhaChk = 1;
    s.SaveSpec("Wild");
    s.LhaAllClrChk = 1; // the stored "*.LZH" names a pattern, not a file
    s.LhaName = "*.LZH";
    s.SaveLha();
    f.boxes->Expect("", IDOK, MB_ICONEXCLAMATION);
    QCOMPARE(f.job.RunCopyJob(), 1);
    QVERIFY(f.dest.Exists("OLD.LZH"));
    QVERIFY(f.program.ReadFile("Tidewall.log").empty()); // nothing else was done
}

QTEST_GUILESS_MAIN(TestArchiveRun)
#include "tst_ArchiveRun.moc"
