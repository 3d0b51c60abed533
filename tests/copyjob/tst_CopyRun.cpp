// The copy run from collection to final message: destination, log and what the user is told.
#include "copyjob/FolderValidation.h"
#include "platform/FileCopy.h"
#include "platform/LogFile.h"
#include "support/CopyJobFixture.h"

#include <QElapsedTimer>

#include <sys/wait.h>
#include <unistd.h>

class TestCopyRun : public QObject {
    Q_OBJECT

private slots:
    void successfulRunCopiesAndLogs() {
        CCopyJobFixture f("a.txt=alpha@1600000000 sub/b.doc=beta");
        QVERIFY(f.source.SetMode("a.txt", 0640) && f.Run(kFinished) == 0);
        QCOMPARE(f.dest.Read(), f.source.Read()); // contents and times
        QCOMPARE(QFileInfo(QString::fromStdString(f.dest.HostPath("a.txt"))).permissions(),
                 QFileInfo(QString::fromStdString(f.source.HostPath("a.txt"))).permissions());
        const Names lines = f.LogLines();
        QVERIFY(QString::fromStdString(lines[0]).contains(QRegularExpression(
            "^-- Tidewall\\.Exe  ｺﾋﾟｰ履歴 \\[\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d\\] --$")));
        QCOMPARE(lines, (Names{lines[0], "Copying  S:\\a.txt -> D:\\",
                               "Copying  S:\\sub\\b.doc -> D:\\sub"}));
    }

    // No skips a file, Abort and a cancel stop before the next (earlier copies stay), All stops
    // asking.
    void answersAndCancelSteerTheLoop() {
        const std::tuple<std::deque<int>, int, int, QString, int> cases[] = {
            {{OVERWRITE_NO, OVERWRITE_YES, OVERWRITE_NO, OVERWRITE_YES},
             0,
             0,
             "1=o 2=n 3=o 4=n",
             4},
            {{OVERWRITE_YES, OVERWRITE_YES, OVERWRITE_ABORT}, 0, 9999, "1=n 2=n 3=o 4=o", 3},
            {{OVERWRITE_ALL}, 0, 0, "1=n 2=n 3=n 4=n", 1},
            {{}, 3, 9999, "1=n 2=n 3=o 4=o", 0}};
        for (const auto& [answers, cancelAtStep, code, listing, questions] : cases) {
            CCopyJobFixture f("1=n 2=n 3=n 4=n", "1=o 2=o 3=o 4=o");
            f.Setting().AnsChk = answers.empty() ? 0 : 1;
            f.host.overwriteAnswers = answers;
            f.host.cancelAtStep = cancelAtStep;
            QCOMPARE(f.Run(code == 0 ? std::string(kFinished) : Failed(code)), code);
            QCOMPARE(f.dest.Listing(), listing);
            QCOMPARE(f.host.overwriteQuestions, questions);
            QVERIFY(f.host.closeEnabled && f.host.progressOpen == 0);
        }
    }

    // Many files rewrite the status line about 30 times a second at most; a question still sees
    // its own file in it and in the progress window, which ends on the counts of the whole run.
    void statusIsThrottledButCurrent() {
        QString files = "q1=1 q2=22";
        for (int i = 0; i < 3000; ++i)
            files += QString(" f%1=x").arg(i);
        CCopyJobFixture f(files, "q1=o q2=o");
        f.Setting().AnsChk = 1;
        f.host.overwriteAnswers = {OVERWRITE_NO, OVERWRITE_YES};
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(f.Run(kFinished), 0);
        const auto copying = std::count_if(
            f.host.statusTexts.begin(), f.host.statusTexts.end(),
            [](const std::string& text) { return text.find("にｺﾋﾟｰ中です") != text.npos; });
        QVERIFY2(copying <= clock.elapsed() / 33 + 3, qPrintable(QString::number(copying)));
        QCOMPARE(f.host.questionStatus,
                 (Names{"S:\\q1 を D:\\ にｺﾋﾟｰ中です.....", "S:\\q2 を D:\\ にｺﾋﾟｰ中です....."}));
        QCOMPARE(f.host.questionFile, (Names{"S:\\q1", "S:\\q2"}));
        QCOMPARE(f.host.statusTexts.back(), "すべての設定を確認後、[実行]を押してください．");
        const CTransferState& t = f.host.transfer;
        QCOMPARE(QList<qint64>(
                     {t.nFilesDone, t.nFilesTotal, qint64(t.nBytesDone), qint64(t.nBytesTotal)}),
                 QList<qint64>({3002, 3002, 3003, 3003}));
        QVERIFY(t.strCurrentFile.empty());
    }

    // An empty collection must not clear the destination nor touch the log.
    void nothingToCopyLeavesLogAndDestinationAlone() {
        CCopyJobFixture f("a.doc=a", "keep.txt=k");
        QVERIFY(f.program.WriteFile("Tidewall.log", "previous\r\n"));
        f.Setting().WildList = "*.txt";
        f.Setting().AllClrChk = 1;
        QCOMPARE(f.Run("ｺﾋﾟｰ対象となるﾌｧｲﾙが１件もありません．"), 9999);
        QCOMPARE(f.program.ReadFile("Tidewall.log"), std::string("previous\r\n"));
        QCOMPARE(f.dest.Listing(), "keep.txt=k");
    }

    // A failed copy (read-only file, full disk) keeps the old file, out of the trash, no temporary.
    void failedCopyKeepsOldFile() {
        for (const bool full : {false, true}) {
            CCopyJobFixture f("q.txt=" + QString(1 << 16, 'n'), "q.txt=old");
            QVERIFY(f.dest.SetMode("q.txt", full ? 0644 : 0444));
            f.Setting().DustChk = full; // the trash takes a read-only file
            SetCopyTestHooks({.nFailAtWrite = full ? 1 : 0, .nWriteErrno = ENOSPC});
            const int code =
                f.Run(Failed(1, full ? "ディスクに十分な空き領域がありません。" : kDenied));
            SetCopyTestHooks({});
            QCOMPARE(code, 1);
            QCOMPARE(f.dest.Listing(), "q.txt=old");
            QVERIFY(!QFileInfo::exists(f.TrashFile("q.txt")));
        }
    }

    // Only a replaced file goes to the trash, once its copy is complete.
    void replacedFileGoesToTrash() {
        CCopyJobFixture f("r.txt=new@1700000000 s.txt=same@1600000000",
                          "r.txt=old@1600000000 s.txt=same@1600000000");
        f.Setting().DustChk = f.Setting().NewChk = 1;
        QCOMPARE(f.Run(kFinished), 0);
        QFile trashed(f.TrashFile("r.txt"));
        QVERIFY(trashed.open(QIODevice::ReadOnly) && trashed.readAll() == "old");
        QVERIFY(!QFileInfo::exists(f.TrashFile("s.txt")));
        QCOMPARE(f.dest.Listing(), "r.txt=new s.txt=same");
    }

    // A dead run's temporaries go at the first copy into their folder; a live run's stay.
    void staleTemporariesOfDeadRunsAreRemoved() {
        CCopyJobFixture f("sub/a.txt=a");
        const pid_t child = fork();
        if (child == 0)
            _exit(0);
        QVERIFY(child > 0 && waitpid(child, nullptr, 0) == child);
        const std::string dead = ".tidewell-" + std::to_string(child) + "-a1B2c3.tmp";
        const std::string live = ".tidewell-" + std::to_string(getpid()) + "-d4E5f6.tmp";
        QVERIFY(f.dest.Build(
            {{"sub/" + dead}, {"sub/" + live}, {"sub/.tidewell-x.tmp"}, {"o/" + dead}}));
        QCOMPARE(f.Run(kFinished), 0);
        QVERIFY(!f.dest.Exists("sub/" + dead) && f.dest.Exists("sub/" + live));
        QVERIFY(f.dest.Exists("sub/.tidewell-x.tmp") && f.dest.Exists("o/" + dead));
    }

    // Another run holds the log: this one waits; an unwritable log fails the run, the copy goes on.
    void busyOrUnwritableLog() {
        const char kBusy[] = "ﾛｸﾞﾌｧｲﾙ Tidewall.log を他の実行が使用中です．終了を待っています.....";
        CCopyJobFixture f("a.txt=a");
        CLogFile other;
        QCOMPARE(other.Open(f.job.m_strLogPath), 0);
        f.host.onPump = [&](int) {
            if (!f.host.busyCaptions.empty() && f.host.busyCaptions.back() == kBusy)
                other.Close();
        };
        QCOMPARE(f.Run(kFinished), 0);
        QCOMPARE(std::count(f.host.busyCaptions.begin(), f.host.busyCaptions.end(), kBusy), 1);
        QCOMPARE(f.LogLines().size(), size_t(2));

        CCopyJobFixture g("a.txt=a");
        QVERIFY(QDir().mkpath(QString::fromStdString(g.job.m_strLogPath)));
        g.boxes->Expect("Tidewall.log", IDOK);
        QCOMPARE(g.Run(Failed(5, kDenied)), 5);
        QVERIFY(g.dest.Exists("a.txt"));
    }

    // 0x81 0x7F is no CP932 character: the folder check and the run refuse it.
    void invalidShiftJisValueIsRefused() {
        CCopyJobFixture f("a.txt=a");
        QVERIFY(
            f.program.WriteFile("Bad.def", "[Spec]\r\nSrcDir=S:\\\r\nDstDir=D:\\o\x81\x7F\r\n"));
        f.job.m_pSetting = std::make_unique<CCopySetting>("Bad");
        f.boxes->Expect("DstDir", IDOK).Expect("DstDir", IDOK);
        QCOMPARE(ValidateFolders(f.Setting(), 0, f.host), 1);
        QCOMPARE(f.job.RunCopyJob(), 9999);
        QVERIFY(f.boxes->VerifyAllUsed() && f.dest.Read().empty());
    }
};

QTEST_GUILESS_MAIN(TestCopyRun)
#include "tst_CopyRun.moc"
