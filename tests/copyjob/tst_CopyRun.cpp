// The copy run from collection to final message: what reaches the
// destination, what the log says, and what the user is told.
#include "copyjob/FolderValidation.h"
#include "copyjob/RunTexts.h"
#include "platform/Cp932.h"
#include "platform/FileCopy.h"
#include "platform/LogFile.h"
#include "support/CopyJobFixture.h"
#include "support/FakeVolumeSource.h"

#include <QDir>
#include <QTest>

#include <cerrno>
#include <sys/wait.h>
#include <unistd.h>

namespace {
const char kFinished[] = "ｺﾋﾟｰ処理を終了しました．";
const char kNothing[] = "ｺﾋﾟｰ対象となるﾌｧｲﾙが１件もありません．";
const int64_t kOld = 1600000000;
const int64_t kNew = 1700000000;

const char kLogBusy[] = "ﾛｸﾞﾌｧｲﾙ Tidewall.log を他の実行が使用中です．終了を待っています.....";

std::string Failed(int code) {
    return "ｺﾋﾟｰ処理は異常終了しました．終了ｺｰﾄﾞ[" + std::to_string(code) + "]";
}

// The log's lines as UTF-8, checking that every line ends in CR LF.
std::vector<std::string> LogLines(const CCopyJobFixture& f) {
    const std::string bytes = f.program.ReadFile("Tidewall.log");
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        const size_t end = bytes.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back("<no CR LF>" + bytes.substr(start));
            break;
        }
        lines.push_back(Cp932ToUtf8(bytes.substr(start, end - start)));
        start = end + 2;
    }
    return lines;
}

bool HasTemporaryFiles(const CTempTree& tree) {
    for (const CTreeItem& item : tree.Read())
        if (item.path.find(".tidewell") != std::string::npos)
            return true;
    return false;
}
} // namespace

class TestCopyRun : public QObject {
    Q_OBJECT

private slots:
    void init();
    void successfulRunCopiesAndLogs();
    void nothingToCopyLeavesLogAndDestinationAlone();
    void overwriteAnswersSteerTheLoop();
    void abortAtThirdQuestionKeepsEarlierCopies();
    void copyAllStopsAskingForThisRun();
    void cancelInProgressStopsBeforeNextItem();
    void readOnlyDestinationFailsWithCodeOne();
    void fullDestinationKeepsOldFileAndLeavesNoTemporary();
    void replacedFileGoesToTrash();
    void continuousModeLogsInsteadOfAsking();
    void sameFileMatchedTwiceIsCopiedTwice();
    void clearingEmptiesDestinationFirst();
    void clearingRemovesLinksNotTheirTargets();
    void incompleteClearingAsksToContinue();
    void folderStructureIsCreatedAndLogged();
    void lackOfCapacityRefusesTheCopy();
    void japaneseSettingsFileCopiesTheRightFolders();
    void failedCopyKeepsOldFileOutOfTheTrash();
    void staleTemporariesOfDeadRunsAreRemoved();
    void controlCharactersStayOnOneLogLine();
    void busyLogIsWaitedFor();
    void unwritableLogFailsTheRun();
    void invalidShiftJisValueIsRefused();

private:
    QTemporaryDir m_home;
};

void TestCopyRun::init() {
    qputenv("HOME", m_home.path().toUtf8());
    qunsetenv("XDG_DATA_HOME");
}

void TestCopyRun::successfulRunCopiesAndLogs() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "alpha", kOld}, {"sub/b.doc", "beta", kNew}}));
    QVERIFY(f.source.SetMode("a.txt", 0640));
    f.boxes->ExpectExact(kFinished, IDOK, MB_ICONASTERISK);
    f.host.confirmAnswers = {1};
    QCOMPARE(f.job.RunCopyJob(), 0);
    QVERIFY(f.boxes->VerifyAllUsed());
    QCOMPARE(f.dest.Read(), f.source.Read()); // contents and times
    QCOMPARE(QFileInfo(QString::fromStdString(f.dest.HostPath("a.txt"))).permissions(),
             QFileInfo(QString::fromStdString(f.source.HostPath("a.txt"))).permissions());
    const std::vector<std::string> lines = LogLines(f);
    QCOMPARE(lines.size(), size_t(3));
    QVERIFY(QString::fromStdString(lines[0]).contains(QRegularExpression(
        "^-- Tidewall\\.Exe  ｺﾋﾟｰ履歴 \\[\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\\] --$")));
    QCOMPARE(lines[1], std::string("Copying  S:\\a.txt -> D:\\"));
    QCOMPARE(lines[2], std::string("Copying  S:\\sub\\b.doc -> D:\\sub"));
    QCOMPARE(f.host.progressCaptions, (Names{"ｺﾋﾟｰ中です．．．．．"}));
    QCOMPARE(f.host.progressOpen, 0);
    QCOMPARE(f.host.statusTexts.back(), std::string(RunText::kIdleStatus));
    QVERIFY(f.host.closeEnabled);
}

void TestCopyRun::nothingToCopyLeavesLogAndDestinationAlone() {
    CCopyJobFixture f;
    QVERIFY(f.program.WriteFile("Tidewall.log", "previous\r\n"));
    QVERIFY(f.source.Build({{"a.doc", "a"}}));
    QVERIFY(f.dest.Build({{"keep.txt", "precious"}}));
    f.Setting().WildList = "*.txt";
    f.Setting().AllClrChk = 1; // an empty collection must not clear the destination
    f.boxes->ExpectExact(kNothing, IDOK, MB_ICONEXCLAMATION);
    QCOMPARE(f.job.RunCopyJob(), 9999);
    QVERIFY(f.boxes->VerifyAllUsed());
    QCOMPARE(f.program.ReadFile("Tidewall.log"), std::string("previous\r\n"));
    QCOMPARE(f.dest.Read().size(), size_t(1));
    QCOMPARE(f.host.statusTexts.back(), std::string(RunText::kIdleStatus));
}

void TestCopyRun::overwriteAnswersSteerTheLoop() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"1.txt", "new1"}, {"2.txt", "new2"}}));
    QVERIFY(f.dest.Build({{"1.txt", "old1"}, {"2.txt", "old2"}}));
    f.Setting().AnsChk = 1;
    f.host.overwriteAnswers = {OVERWRITE_NO, OVERWRITE_YES};
    f.boxes->ExpectExact(kFinished, IDOK);
    QCOMPARE(f.job.RunCopyJob(), 0);
    QCOMPARE(f.dest.Read(), (std::vector<CTreeItem>{{"1.txt", "old1", f.dest.Read()[0].mtime},
                                                    {"2.txt", "new2", f.dest.Read()[1].mtime}}));
    QCOMPARE(LogLines(f).size(), size_t(2)); // header and one copy
}

void TestCopyRun::abortAtThirdQuestionKeepsEarlierCopies() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"1.txt", "n"}, {"2.txt", "n"}, {"3.txt", "n"}, {"4.txt", "n"}}));
    QVERIFY(f.dest.Build({{"1.txt", "o"}, {"2.txt", "o"}, {"3.txt", "o"}, {"4.txt", "o"}}));
    f.Setting().AnsChk = 1;
    f.host.overwriteAnswers = {OVERWRITE_YES, OVERWRITE_YES, OVERWRITE_ABORT};
    f.boxes->ExpectExact(Failed(9999), IDOK, MB_ICONEXCLAMATION);
    QCOMPARE(f.job.RunCopyJob(), 9999);
    QVERIFY(f.boxes->VerifyAllUsed());
    const std::vector<CTreeItem> after = CTempTree::WithoutTimes(f.dest.Read());
    QCOMPARE(after, (std::vector<CTreeItem>{
                        {"1.txt", "n"}, {"2.txt", "n"}, {"3.txt", "o"}, {"4.txt", "o"}}));
    QCOMPARE(LogLines(f).size(), size_t(3));
}

void TestCopyRun::copyAllStopsAskingForThisRun() {
    CCopyJobFixture f;
    std::vector<CTreeItem> src, dst;
    for (int i = 0; i < 5; ++i) {
        src.push_back({std::to_string(i) + ".txt", "new"});
        dst.push_back({std::to_string(i) + ".txt", "old"});
    }
    QVERIFY(f.source.Build(src));
    QVERIFY(f.dest.Build(dst));
    f.Setting().AnsChk = 1;
    f.host.overwriteAnswers = {OVERWRITE_ALL};
    f.boxes->ExpectExact(kFinished, IDOK);
    QCOMPARE(f.job.RunCopyJob(), 0);
    QCOMPARE(f.host.overwriteQuestions, 1);
    QCOMPARE(CTempTree::WithoutTimes(f.dest.Read()), CTempTree::WithoutTimes(f.source.Read()));
    QCOMPARE(f.Setting().AnsChk, 0); // in memory only: the window sets it again for the next run
}

void TestCopyRun::cancelInProgressStopsBeforeNextItem() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"1.txt", "1"}, {"2.txt", "2"}, {"3.txt", "3"}, {"4.txt", "4"}}));
    f.host.cancelAtStep = 3;
    f.boxes->ExpectExact(Failed(9999), IDOK);
    QCOMPARE(f.job.RunCopyJob(), 9999);
    QCOMPARE(CTempTree::WithoutTimes(f.dest.Read()),
             (std::vector<CTreeItem>{{"1.txt", "1"}, {"2.txt", "2"}}));
    QCOMPARE(f.host.progressOpen, 0);
    QVERIFY(f.host.closeEnabled);
}

void TestCopyRun::readOnlyDestinationFailsWithCodeOne() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "new"}, {"b.txt", "new"}}));
    QVERIFY(f.dest.Build({{"a.txt", "old"}}));
    QVERIFY(f.dest.SetMode("a.txt", 0444));
    f.boxes->ExpectExact(Failed(1), IDOK);
    QCOMPARE(f.job.RunCopyJob(), 1);
    QCOMPARE(CTempTree::WithoutTimes(f.dest.Read()), (std::vector<CTreeItem>{{"a.txt", "old"}}));
    QCOMPARE(LogLines(f).size(), size_t(1)); // the header only
}

void TestCopyRun::fullDestinationKeepsOldFileAndLeavesNoTemporary() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"big.bin", std::string(1 << 16, 'n')}}));
    QVERIFY(f.dest.Build({{"big.bin", "old contents"}}));
    CCopyTestHooks hooks;
    hooks.nFailAtWrite = 1;
    hooks.nWriteErrno = ENOSPC;
    SetCopyTestHooks(hooks);
    f.boxes->ExpectExact(Failed(1), IDOK);
    const int endCode = f.job.RunCopyJob();
    SetCopyTestHooks({});
    QCOMPARE(endCode, 1);
    QCOMPARE(CTempTree::WithoutTimes(f.dest.Read()),
             (std::vector<CTreeItem>{{"big.bin", "old contents"}}));
    QVERIFY(!HasTemporaryFiles(f.dest));
}

void TestCopyRun::replacedFileGoesToTrash() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"r.txt", "new", kNew}, {"s.txt", "same", kOld}}));
    QVERIFY(f.dest.Build(
        {{"r.txt", "old version", kOld}, {"s.txt", "same", kOld}, {"untouched.txt", "u"}}));
    f.Setting().DustChk = 1;
    f.Setting().NewChk = 1;
    f.boxes->ExpectExact(kFinished, IDOK);
    QCOMPARE(f.job.RunCopyJob(), 0);
    QDir trash(m_home.path() + "/.local/share/Trash");
    QFile trashed(trash.filePath("files/r.txt"));
    QVERIFY2(trashed.open(QIODevice::ReadOnly), "the replaced file is not in the trash");
    QCOMPARE(trashed.readAll(), QByteArray("old version"));
    QVERIFY(trash.exists("info/r.txt.trashinfo"));
    QVERIFY(!trash.exists("files/s.txt")); // not replaced, not trashed
    QCOMPARE(CTempTree::WithoutTimes(f.dest.Read()),
             (std::vector<CTreeItem>{{"r.txt", "new"}, {"s.txt", "same"}, {"untouched.txt", "u"}}));
}

void TestCopyRun::continuousModeLogsInsteadOfAsking() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    f.job.m_bRenzoku = 1;
    f.job.OpenLog();
    QCOMPARE(f.job.RunCopyJob(), 0); // no completion message, no confirmation
    f.Setting().WildList = "*.none";
    QCOMPARE(f.job.RunCopyJob(), 0); // nothing to copy is logged, not shown
    f.job.CloseLog();
    QCOMPARE(f.host.confirmQuestions, 0);
    QCOMPARE(LogLines(f), (Names{"Copying  S:\\a.txt -> D:\\", kNothing}));
    QCOMPARE(f.host.statusTexts.back(), std::string(RunText::kContinuousStatus));
}

void TestCopyRun::sameFileMatchedTwiceIsCopiedTwice() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    f.Setting().WildList = "*.txt/*.*";
    f.boxes->ExpectExact(kFinished, IDOK);
    QCOMPARE(f.job.RunCopyJob(), 0);
    QCOMPARE(LogLines(f).size(), size_t(3));
}

void TestCopyRun::clearingEmptiesDestinationFirst() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    QVERIFY(f.dest.Build({{"old/deep/x.txt", "x"}, {".hidden", "h"}, {"stale.txt", "s"}}));
    f.Setting().SrcDir = f.source.DrivePath("");
    f.Setting().DstDir = f.dest.DrivePath("out\\");
    QVERIFY(f.dest.Build({{"out/old/deep/x.txt", "x"}, {"out/.hidden", "h"}}));
    f.Setting().AllClrChk = 1;
    f.boxes->ExpectExact(kFinished, IDOK);
    QCOMPARE(f.job.RunCopyJob(), 0);
    const std::vector<CTreeItem> out = CTempTree::WithoutTimes(f.dest.Read("out"));
    QCOMPARE(out, (std::vector<CTreeItem>{{"a.txt", "a"}}));
    QVERIFY(f.dest.Exists("stale.txt")); // outside the destination folder
}

void TestCopyRun::clearingRemovesLinksNotTheirTargets() {
    CCopyJobFixture f;
    CTempTree outside('O');
    QVERIFY(outside.Build({{"treasure/gold.txt", "gold"}}));
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    QVERIFY(f.dest.AddSymlink("link", outside.HostPath("treasure")));
    QVERIFY(f.dest.AddSymlink("file-link", outside.HostPath("treasure/gold.txt")));
    f.Setting().AllClrChk = 1;
    f.boxes->ExpectExact(kFinished, IDOK);
    QCOMPARE(f.job.RunCopyJob(), 0);
    QVERIFY(!f.dest.Exists("link"));
    QVERIFY(!f.dest.Exists("file-link"));
    QCOMPARE(CTempTree::WithoutTimes(outside.Read()),
             (std::vector<CTreeItem>{{"treasure/", ""}, {"treasure/gold.txt", "gold"}}));
}

void TestCopyRun::incompleteClearingAsksToContinue() {
    for (const int answer : {IDYES, IDNO}) {
        CCopyJobFixture f;
        QVERIFY(f.source.Build({{"a.txt", "a"}}));
        QVERIFY(f.dest.Build({{"locked.txt", "l"}}));
        QVERIFY(f.dest.SetMode("locked.txt", 0444));
        f.Setting().AllClrChk = 1;
        f.boxes->ExpectExact("ファイルが削除出来ません. Error = 5", IDOK)
            .ExpectExact("下位ﾌｫﾙﾀﾞのｸﾘｱが不完全です．このまま続行しますか？", answer,
                         MB_YESNO | MB_ICONQUESTION);
        if (answer == IDYES)
            f.boxes->ExpectExact(kFinished, IDOK);
        QCOMPARE(f.job.RunCopyJob(), answer == IDYES ? 0 : 9999);
        QVERIFY(f.boxes->VerifyAllUsed());
        QCOMPARE(f.dest.Exists("a.txt"), answer == IDYES);
    }
}

void TestCopyRun::folderStructureIsCreatedAndLogged() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"one/", ""}, {"one/two/", ""}, {"three/t.txt", "t"}}));
    f.Setting().CopyDirChk = 1;
    f.Setting().WildList = "*.none";
    f.boxes->ExpectExact(kNothing, IDOK);
    QCOMPARE(f.job.RunCopyJob(), 9999);
    QVERIFY(f.dest.Exists("one/two") && f.dest.Exists("three"));
    QVERIFY(!f.program.ReadFile("Tidewall.log").size()); // no log opened

    f.Setting().WildList = "*.txt";
    f.boxes->ExpectExact(kFinished, IDOK);
    QCOMPARE(f.job.RunCopyJob(), 0);
    const std::vector<std::string> lines = LogLines(f);
    QCOMPARE(
        std::vector<std::string>(lines.begin() + 1, lines.end()),
        (Names{"D:\\ -->フォルダ作成 終了ｺｰﾄﾞ 0", "D:\\one -->フォルダ作成 終了ｺｰﾄﾞ 0",
               "D:\\one\\two -->フォルダ作成 終了ｺｰﾄﾞ 0", "D:\\three -->フォルダ作成 終了ｺｰﾄﾞ 0",
               "Copying  S:\\three\\t.txt -> D:\\three"}));
}

void TestCopyRun::lackOfCapacityRefusesTheCopy() {
    CCopyJobFixture f;
    auto volumes = std::make_shared<CFakeVolumeSource>();
    volumes->Set('S', CFakeVolumeSource::Fixed(512, 8, 1000, 500));
    volumes->Set('D', CFakeVolumeSource::Full());
    CScopedVolumeSource scoped(volumes);
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    f.job.m_bRenzoku = 1;        // even a continuous run shows why it cannot copy
    f.host.confirmAnswers = {1}; // a start answer cannot override the refusal
    f.boxes->ExpectExact(Failed(9999), IDOK);
    QCOMPARE(f.job.RunCopyJob(), 9999);
    QCOMPARE(f.host.confirmQuestions, 1);
    QVERIFY(!f.dest.Exists("a.txt"));
}

void TestCopyRun::japaneseSettingsFileCopiesTheRightFolders() {
    CCopyJobFixture f;
    CTempTree e('E');
    CTempTree fDrive('F');
    QVERIFY(f.program.CopyTestData("資料.def"));
    QVERIFY(e.Build({{"資料/表ソ/週報.txt", "w"},
                     {"資料/表ソ/計画.予定", "p"},
                     {"資料/表ソ/古い/old.txt", "o"},
                     {"資料/表ソ/ソ/so.txt", "s"},
                     {"資料/表ソ/他/x.doc", "x"},
                     {"資料/表/wrong.txt", "n"}}));
    f.job.m_pSetting = std::make_unique<CCopySetting>("資料");
    f.Setting().AnsChk = 0;
    f.boxes->ExpectExact(kFinished, IDOK);
    QCOMPARE(f.job.RunCopyJob(), 0);
    QCOMPARE(CTempTree::WithoutTimes(fDrive.Read()),
             (std::vector<CTreeItem>{{"控え/", ""},
                                     {"控え/ﾊﾞｯｸｱｯﾌﾟ/", ""},
                                     {"控え/ﾊﾞｯｸｱｯﾌﾟ/ソ/", ""}, // excluded, but its folder is made
                                     {"控え/ﾊﾞｯｸｱｯﾌﾟ/他/", ""},
                                     {"控え/ﾊﾞｯｸｱｯﾌﾟ/古い/", ""},
                                     {"控え/ﾊﾞｯｸｱｯﾌﾟ/計画.予定", "p"},
                                     {"控え/ﾊﾞｯｸｱｯﾌﾟ/週報.txt", "w"}}));
}

QTEST_GUILESS_MAIN(TestCopyRun)

void TestCopyRun::failedCopyKeepsOldFileOutOfTheTrash() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"q.txt", std::string(1 << 16, 'n')}}));
    QVERIFY(f.dest.Build({{"q.txt", "old version"}}));
    f.Setting().DustChk = 1;
    CCopyTestHooks hooks;
    hooks.nFailAtWrite = 1;
    hooks.nWriteErrno = ENOSPC;
    SetCopyTestHooks(hooks);
    f.boxes->ExpectExact(Failed(1), IDOK);
    const int endCode = f.job.RunCopyJob();
    SetCopyTestHooks({});
    QCOMPARE(endCode, 1);
    QCOMPARE(CTempTree::WithoutTimes(f.dest.Read()),
             (std::vector<CTreeItem>{{"q.txt", "old version"}}));
    QVERIFY(!QFileInfo::exists(m_home.path() + "/.local/share/Trash/files/q.txt"));
}

void TestCopyRun::staleTemporariesOfDeadRunsAreRemoved() {
    CCopyJobFixture f;
    const pid_t child = fork();
    if (child == 0)
        _exit(0);
    QVERIFY(child > 0 && waitpid(child, nullptr, 0) == child);
    const std::string dead = ".tidewell-" + std::to_string(child) + "-a1B2c3.tmp";
    const std::string live = ".tidewell-" + std::to_string(getpid()) + "-d4E5f6.tmp";
    QVERIFY(f.source.Build({{"sub/a.txt", "a"}}));
    QVERIFY(f.dest.Build({{"sub/" + dead, "stale"},
                          {"sub/" + live, "being written"},
                          {"sub/.tidewell-notes.tmp", "the user's"},
                          {"other/" + dead, "not written into"}}));
    f.boxes->ExpectExact(kFinished, IDOK);
    QCOMPARE(f.job.RunCopyJob(), 0);
    QVERIFY(!f.dest.Exists("sub/" + dead));
    QVERIFY(f.dest.Exists("sub/" + live) && f.dest.Exists("sub/.tidewell-notes.tmp"));
    QVERIFY(f.dest.Exists("other/" + dead));
}

void TestCopyRun::controlCharactersStayOnOneLogLine() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a\rb\nc\x1B.txt", "a"}}));
    f.boxes->ExpectExact(kFinished, IDOK);
    QCOMPARE(f.job.RunCopyJob(), 0);
    const std::vector<std::string> lines = LogLines(f);
    QCOMPARE(lines.size(), size_t(2));
    QCOMPARE(lines[1], std::string("Copying  S:\\a&#x000D;b&#x000A;c&#x001B;.txt -> D:\\"));
}

void TestCopyRun::busyLogIsWaitedFor() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    CLogFile other; // the log of another run on the same program folder
    QCOMPARE(other.Open(f.job.m_strLogPath), 0);
    f.host.onPump = [&](int) {
        if (!f.host.busyCaptions.empty() && f.host.busyCaptions.back() == kLogBusy)
            other.Close();
    };
    f.boxes->ExpectExact(kFinished, IDOK);
    QCOMPARE(f.job.RunCopyJob(), 0);
    QVERIFY(std::count(f.host.busyCaptions.begin(), f.host.busyCaptions.end(), kLogBusy) == 1);
    QCOMPARE(LogLines(f).size(), size_t(2));
}

void TestCopyRun::unwritableLogFailsTheRun() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    QVERIFY(QDir().mkpath(QString::fromStdString(f.job.m_strLogPath)));
    f.boxes->Expect("Tidewall.log", IDOK).ExpectExact(Failed(5), IDOK);
    QCOMPARE(f.job.RunCopyJob(), 5);
    QVERIFY(f.boxes->VerifyAllUsed());
    QVERIFY(f.dest.Exists("a.txt")); // the copy itself is not given up
}

void TestCopyRun::invalidShiftJisValueIsRefused() {
    CCopyJobFixture f;
    QVERIFY(f.source.Build({{"a.txt", "a"}}));
    // 0x81 0x7F is no CP932 character.
    QVERIFY(f.program.WriteFile("Bad.def", "[Spec]\r\nSrcDir=S:\\\r\nDstDir=D:\\out\x81\x7F\r\n"));
    f.job.m_pSetting = std::make_unique<CCopySetting>("Bad");
    f.boxes->Expect("DstDir", IDOK);
    QCOMPARE(ValidateFolders(f.Setting(), 0, f.host), 1);
    f.boxes->Expect("DstDir", IDOK);
    QCOMPARE(f.job.RunCopyJob(), 9999);
    QVERIFY(f.boxes->VerifyAllUsed());
    QVERIFY(f.dest.Read().empty());
}

#include "tst_CopyRun.moc"
