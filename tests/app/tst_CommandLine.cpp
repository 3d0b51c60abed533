// The headless command line, run as a real process from a program folder
// of its own.
#include "platform/Cp932.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/file.h>

class TestCommandLine : public QObject {
    Q_OBJECT

private slots:
    void init();
    void helpAndVersion();
    void badArgumentsExitWithTwo_data();
    void badArgumentsExitWithTwo();
    void runCopiesAndLogs();
    void questionsGetTheSafeAnswer();
    void refusedOrFailedRunsExitWithOne();
    void hangUpCancelsLikeInterrupt_data();
    void hangUpCancelsLikeInterrupt();
    void unwritableLogExitsWithOne();

private:
    struct CResult {
        int exitCode = -1;
        QString out;
        QString err;
    };
    CResult Run(const QStringList& args);
    void WriteFile(const QString& path, const QByteArray& bytes);
    void WriteSetting(const QString& name, const QString& spec);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_program;
};

void TestCommandLine::init() {
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_program = m_dir->filePath("tidewell");
    QVERIFY(QFile::copy(TIDEWELL_BIN_DIR "/tidewell", m_program));
    QDir().mkpath(m_dir->filePath("src/sub"));
    QDir().mkpath(m_dir->filePath("dst"));
    WriteFile(m_dir->filePath("Tidewell.Ini"), ("[Drives]\r\nS=" + m_dir->filePath("src") +
                                                "\r\nD=" + m_dir->filePath("dst") + "\r\n")
                                                   .toUtf8());
    WriteFile(m_dir->filePath("src/a.txt"), "alpha");
    WriteFile(m_dir->filePath("src/sub/b.txt"), "beta");
}

void TestCommandLine::WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

void TestCommandLine::WriteSetting(const QString& name, const QString& spec) {
    const std::optional<std::string> bytes = Utf8ToCp932(("[Spec]\r\n" + spec).toStdString());
    QVERIFY(bytes.has_value());
    WriteFile(m_dir->filePath(name + ".def"), QByteArray::fromStdString(*bytes));
}

TestCommandLine::CResult TestCommandLine::Run(const QStringList& args) {
    QProcess process;
    process.start(m_program, args);
    process.closeWriteChannel();
    CResult result;
    if (!process.waitForFinished(60000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

void TestCommandLine::helpAndVersion() {
    const CResult help = Run({"--help"});
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("--run NAME"));
    const CResult version = Run({"--version"});
    QCOMPARE(version.exitCode, 0);
    QVERIFY(version.out.startsWith("Tidewell " TIDEWELL_VERSION));
}

void TestCommandLine::badArgumentsExitWithTwo_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("says");
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << "--frobnicate";
    QTest::newRow("missing name") << QStringList{"--run"} << "--run";
    QTest::newRow("no such settings file") << QStringList{"--run", "Nothing"} << "Nothing.def";
    QTest::newRow("path instead of a name") << QStringList{"--run", "../Daily"} << "../Daily";
    QTest::newRow("extra argument") << QStringList{"--run", "T", "more"} << "more";
}

void TestCommandLine::badArgumentsExitWithTwo() {
    QFETCH(QStringList, args);
    QFETCH(QString, says);
    WriteSetting("T", "SrcDir=S:\\\r\nDstDir=D:\\\r\n");
    const CResult r = Run(args);
    QCOMPARE(r.exitCode, 2);
    QVERIFY2(r.err.contains(says), qPrintable(r.err));
    QVERIFY(QDir(m_dir->filePath("dst")).isEmpty());
}

void TestCommandLine::runCopiesAndLogs() {
    WriteSetting("日次", "SrcDir=S:\\\r\nDstDir=D:\\out\r\nWildList=*.txt\r\n");
    const CResult r = Run({"--run", "日次.def"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.contains("終了ｺｰﾄﾞ 0"), qPrintable(r.err));
    QVERIFY(r.err.contains("ｺﾋﾟｰ処理を終了しました．"));
    QFile copied(m_dir->filePath("dst/out/sub/b.txt"));
    QVERIFY(copied.open(QIODevice::ReadOnly));
    QCOMPARE(copied.readAll(), QByteArray("beta"));
    QFile log(m_dir->filePath("Tidewall.log"));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromStdString(Cp932ToUtf8(log.readAll().toStdString()));
    QVERIFY(text.contains("Copying  S:\\a.txt -> D:\\out\\\r\n"));
}

void TestCommandLine::questionsGetTheSafeAnswer() {
    WriteFile(m_dir->filePath("dst/a.txt"), "keep me");
    WriteSetting("Ask", "SrcDir=S:\\\r\nDstDir=D:\\\r\nAnsChk=1\r\nNewChk=0\r\n");
    const CResult r = Run({"--run", "Ask"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.err.contains("いいえ"), qPrintable(r.err));
    QFile kept(m_dir->filePath("dst/a.txt"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("keep me"));
    QVERIFY(QFile::exists(m_dir->filePath("dst/sub/b.txt")));
}

void TestCommandLine::refusedOrFailedRunsExitWithOne() {
    WriteSetting("Gone", "SrcDir=S:\\missing\r\nDstDir=D:\\\r\n");
    const CResult gone = Run({"--run", "Gone"});
    QCOMPARE(gone.exitCode, 1);
    QVERIFY2(gone.err.contains("ｺﾋﾟｰ元ﾌｫﾙﾀﾞの準備が出来てないか"), qPrintable(gone.err));

    WriteSetting("None", "SrcDir=S:\\\r\nDstDir=D:\\\r\nWildList=*.none\r\n");
    const CResult none = Run({"--run", "None"});
    QCOMPARE(none.exitCode, 1);
    QVERIFY(none.err.contains("終了ｺｰﾄﾞ 9999"));
}

void TestCommandLine::hangUpCancelsLikeInterrupt_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGHUP") << SIGHUP;
    QTest::newRow("SIGINT") << SIGINT;
}

void TestCommandLine::hangUpCancelsLikeInterrupt() {
    QFETCH(int, signal);
    WriteSetting("T", "SrcDir=S:\\\r\nDstDir=D:\\\r\n");
    // Another run holds the log: this one waits for it and says so.
    QFile log(m_dir->filePath("Tidewall.log"));
    QVERIFY(log.open(QIODevice::WriteOnly));
    QCOMPARE(flock(log.handle(), LOCK_EX), 0);
    QProcess process;
    process.start(m_program, {"--run", "T"});
    QVERIFY(process.waitForStarted());
    QString err;
    QElapsedTimer timer;
    timer.start();
    while (!err.contains("Tidewall.log") && timer.elapsed() < 30000 &&
           process.state() == QProcess::Running) {
        process.waitForReadyRead(200);
        err += QString::fromUtf8(process.readAllStandardError());
    }
    QVERIFY2(err.contains("Tidewall.log"), qPrintable(err));
    ::kill(static_cast<pid_t>(process.processId()), signal);
    QVERIFY(process.waitForFinished(30000));
    err += QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 1);
    QVERIFY2(err.contains("終了ｺｰﾄﾞ 9999"), qPrintable(err));
}

void TestCommandLine::unwritableLogExitsWithOne() {
    QVERIFY(QDir(m_dir->path()).mkdir("Tidewall.log"));
    WriteSetting("T", "SrcDir=S:\\\r\nDstDir=D:\\\r\n");
    const CResult r = Run({"--run", "T"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("Tidewall.log"), qPrintable(r.err));
    QVERIFY(QFile::exists(m_dir->filePath("dst/a.txt")));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
