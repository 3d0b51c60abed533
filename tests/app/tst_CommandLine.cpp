// The headless command line, run as a real process from a program folder of its own.
#include "platform/Cp932.h"
#include "support/TempTree.h"

#include <QProcess>
#include <QTest>
#include <csignal>
#include <sys/file.h>

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    // Bad arguments exit with 2 at once; refused, failed, cancelled runs or no file to copy (E:)
    // with 1; up to date (a second run) with 0. --quiet says errors only ("": nothing). SIGHUP
    // cancels like Ctrl+C, here while a log is held elsewhere. Set 0 holds T.def, set 1 none.
    void exitCodes() {
        const QString plain = "SrcDir=S:\\\r\nDstDir=D:\\\r\n";
        const QStringList run{"--run", "T"}, set0{"--continuous", "0"},
            quiet{"--quiet", "--run", "T"};
        const QString noSource = "SrcDir=S:\\no\r\nDstDir=D:\\\r\n", newer = plain + "NewChk=1\r\n";
        const QString nothing = "ｺﾋﾟｰ対象となるﾌｧｲﾙが１件もありません．";
        // clang-format off
        const struct { QStringList args; QString spec; int code; QString says; int signal; int runs = 1; } rows[] = {
            {{"--frobnicate"}, plain, 2, "--frobnicate", 0}, {{"--run"}, plain, 2, "--run", 0},
            {{"--run", "Nothing"}, plain, 2, "Nothing.def", 0}, {{"--run", "../T"}, plain, 2, "../T", 0},
            {{"--run", "T", "more"}, plain, 2, "more", 0},
            {run, "SrcDir=S:\\no\r\nDstDir=D:\\\r\n", 1, "ｺﾋﾟｰ元ﾌｫﾙﾀﾞの準備が出来てないか", 0},
            {run, plain + "WildList=*.no\r\n", 1, "終了ｺｰﾄﾞ 9999", 0}, {run, plain, 1, "Tidewall.log", 0},
            {run, plain, 1, "終了ｺｰﾄﾞ 9999", SIGHUP}, {run, plain, 1, "終了ｺｰﾄﾞ 9999", SIGINT},
            {{"--continuous"}, plain, 2, "--continuous", 0}, {{"--continuous", "0x"}, plain, 2, "0x", 0},
            {{"--continuous", "5"}, plain, 2, "5", 0}, {{"--continuous", "-1"}, plain, 2, "-1", 0},
            {{"--continuous", "0", "1"}, plain, 2, "余分な引数", 0},
            {{"--continuous", "1"}, plain, 1, "連続実行するための設定ファイルが選択されていません．", 0},
            {set0, "SrcDir=S:\\no\r\nDstDir=D:\\\r\n", 1, "連続処理は異常終了しました．終了ｺｰﾄﾞ[1]", 0},
            {set0, plain, 0, "T.def 終了 終了ｺｰﾄﾞ 0", 0}, {set0, plain, 1, "終了ｺｰﾄﾞ[9999]", SIGINT},
            {run, newer, 0, nothing + "\n-> OK\n終了ｺｰﾄﾞ 0", 0, 2}, {quiet, newer, 0, "", 0, 2},
            {run, "SrcDir=E:\\\r\nDstDir=D:\\\r\n", 1, nothing, 0}, {quiet, plain, 0, "", 0},
            {{"--run", "--quiet", "T"}, noSource, 1, "ｺﾋﾟｰ元ﾌｫﾙﾀﾞの準備が出来てないか", 0},
            {{"--quiet", "--continuous", "0"}, plain, 0, "", 0},
            {{"--list", "T"}, plain, 2, "余分な引数", 0}, {{"--show"}, plain, 2, "--show", 0}};
        // clang-format on
        for (const auto& [args, spec, code, says, signal, runs] : rows) {
            CTempTree tree;
            const auto at = [&](const char* name) {
                return QString::fromStdString(tree.HostPath(name));
            };
            const std::string drives =
                "[Drives]\r\nS=" + tree.HostPath("src") + "\r\nD=" + tree.HostPath("dst") +
                "\r\nE=" + tree.HostPath("empty") + "\r\n[Renzoku0]\r\nCount=1\r\nFile0=T.def\r\n";
            QVERIFY(
                PlaceBuiltFile(TIDEWELL_BIN_DIR "/tidewell", at("tidewell")) &&
                tree.Build({{"src/sub/b.txt", "beta"},
                            {"src/a.txt", "alpha"},
                            {"dst/"},
                            {"empty/"},
                            {"Tidewell.Ini", drives},
                            {"T.def", Utf8ToCp932(("[Spec]\r\n" + spec).toStdString()).value()}}));
            QFile log(at("Tidewall.log"));
            QVERIFY(says != "Tidewall.log" || QDir().mkpath(log.fileName()));
            QVERIFY(!signal ||
                    (log.open(QIODevice::WriteOnly) && flock(log.handle(), LOCK_EX) == 0));
            QProcess process;
            process.setReadChannel(QProcess::StandardError);
            for (int i = 1; i < runs; ++i) // the runs before, which copy what there is
                QVERIFY(QProcess::execute(at("tidewell"), args) == 0);
            process.start(at("tidewell"), args);
            QString err;
            while (signal && !err.contains("Tidewall.log") && process.waitForReadyRead(30000))
                err += QString::fromUtf8(process.readAll());
            QVERIFY2(!signal || err.contains("Tidewall.log"), qPrintable(err)); // still waiting
            QVERIFY(!signal || ::kill(static_cast<pid_t>(process.processId()), signal) == 0);
            QVERIFY(process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit);
            err += QString::fromUtf8(process.readAllStandardError());
            QVERIFY2(process.exitCode() == code &&
                         (says.isEmpty() ? err.isEmpty() : err.contains(says)),
                     qPrintable(err));
            QCOMPARE(tree.Exists("dst/a.txt"),
                     code == 0 || says == "Tidewall.log");  // the copy goes on
            if (code == 0 && args.contains("--continuous")) // the order, not a confirmation
                QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()),
                         "この処理順で連続処理を実行します．\n  1 .... T\n");
        }
    }

    // The settings in the window's order, one as the window shows it (clearing unchecks four).
    void listAndShow() {
        CTempTree dir;
        const QString program = QString::fromStdString(dir.HostPath("tidewell"));
        QVERIFY(PlaceBuiltFile(TIDEWELL_BIN_DIR "/tidewell", program) &&
                dir.Build({{"b.def", "[Spec]\r\n"},
                           {"_x.def", "[Spec]\r\n"},
                           {"A.def", "[Spec]\r\nSrcDir=S:\\\r\nWildList=*.txt\r\nAllClrChk=1\r\n"
                                     "DustChk=1\r\nOutDirChk=1\r\n[OutDirList]\r\nCount=1\r\n"
                                     "OutDir0=S:\\sub\r\n"}}));
        QProcess process;
        process.start(program, {"--list", "--quiet"});
        QVERIFY(process.waitForFinished(60000) && process.exitCode() == 0);
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()), "_x\nA\nb\n");
        process.start(program, {"--show", "A.def"});
        QVERIFY(process.waitForFinished(60000) && process.exitCode() == 0);
        QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()),
                 "設定ﾌｧｲﾙ: A\nｺﾋﾟｰ元ﾌｫﾙﾀﾞ: S:\\\nｺﾋﾟｰ先ﾌｫﾙﾀﾞ: \nｺﾋﾟｰﾘｽﾄ: *.txt\n"
                 "[ ] ﾀｲﾑｽﾀﾝﾌﾟを評価して新しいﾌｧｲﾙだけをｺﾋﾟｰする． (無効)\n"
                 "[ ] ｺﾋﾟｰ先に存在するﾌｧｲﾙだけをｺﾋﾟｰする． (無効)\n"
                 "[ ] 下位ﾌｫﾙﾀﾞをﾌｧｲﾙｺﾋﾟｰの対象としない．\n"
                 "[ ] 上書き時、ﾌｧｲﾙごとに確認を取る． (無効)\n"
                 "[ ] ｺﾋﾟｰ先の既存ﾌｧｲﾙをごみ箱へ転送する． (無効)\n"
                 "[ ] ﾌｫﾙﾀﾞ構造は完全ｺﾋﾟｰする．\n[x] ｺﾋﾟｰ前にｺﾋﾟｰ先ﾌｫﾙﾀﾞを全ｸﾘｱする．\n"
                 "[x] ｺﾋﾟｰ除外ﾌｫﾙﾀﾞを指定する．\n    S:\\sub\n[ ] LHA圧縮してｺﾋﾟｰする．\n");
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
