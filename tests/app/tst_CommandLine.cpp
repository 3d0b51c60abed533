// The headless command line, run as a real process from a program folder of its own.
#include "platform/Cp932.h"
#include "support/HostFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/file.h>

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    // Wrong arguments exit with 2 before anything is done; refused, failed or cancelled runs
    // exit with 1. A hang-up cancels like Ctrl+C, here while waiting for a log held elsewhere.
    // Continuous set 0 holds T.def, set 1 is empty.
    void exitCodes() {
        const QString plain = "SrcDir=S:\\\r\nDstDir=D:\\\r\n";
        const QStringList run{"--run", "T"}, set0{"--continuous", "0"};
        // clang-format off
        const struct { QStringList args; QString spec; int code; QString says; int signal; } rows[] = {
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
            {set0, plain, 0, "T.def 終了 終了ｺｰﾄﾞ 0", 0}, {set0, plain, 1, "終了ｺｰﾄﾞ[9999]", SIGINT}};
        // clang-format on
        for (const auto& [args, spec, code, says, signal] : rows) {
            QTemporaryDir dir;
            const QByteArray drives =
                ("[Drives]\r\nS=" + dir.filePath("src") + "\r\nD=" + dir.filePath("dst") +
                 "\r\n[Renzoku0]\r\nCount=1\r\nFile0=T.def\r\n")
                    .toUtf8();
            const auto bytes = Utf8ToCp932(("[Spec]\r\n" + spec).toStdString());
            QVERIFY(QFile::copy(TIDEWELL_BIN_DIR "/tidewell", dir.filePath("tidewell")) &&
                    QDir().mkpath(dir.filePath("src/sub")) && QDir().mkpath(dir.filePath("dst")) &&
                    WriteHostFile(dir.filePath("Tidewell.Ini"), drives) && bytes &&
                    WriteHostFile(dir.filePath("T.def"), QByteArray::fromStdString(*bytes)) &&
                    WriteHostFile(dir.filePath("src/a.txt"), "alpha") &&
                    WriteHostFile(dir.filePath("src/sub/b.txt"), "beta"));
            QFile log(dir.filePath("Tidewall.log"));
            QVERIFY(says != "Tidewall.log" || QDir().mkpath(log.fileName()));
            QVERIFY(!signal ||
                    (log.open(QIODevice::WriteOnly) && flock(log.handle(), LOCK_EX) == 0));
            QProcess process;
            process.setReadChannel(QProcess::StandardError);
            process.start(dir.filePath("tidewell"), args);
            QString err;
            while (signal && !err.contains("Tidewall.log") && process.waitForReadyRead(30000))
                err += QString::fromUtf8(process.readAll());
            QVERIFY2(!signal || err.contains("Tidewall.log"), qPrintable(err)); // still waiting
            QVERIFY(!signal || ::kill(static_cast<pid_t>(process.processId()), signal) == 0);
            QVERIFY(process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit);
            err += QString::fromUtf8(process.readAllStandardError());
            QVERIFY2(process.exitCode() == code && err.contains(says), qPrintable(err));
            QCOMPARE(QFile::exists(dir.filePath("dst/a.txt")),
                     code == 0 || says == "Tidewall.log"); // the copy goes on
            if (code == 0) // the order, in place of the confirmation
                QCOMPARE(QString::fromUtf8(process.readAllStandardOutput()),
                         "この処理順で連続処理を実行します．\n  1 .... T\n");
        }
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
