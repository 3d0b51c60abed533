// The headless command line, run as a real process from a program folder
// of its own.
#include "platform/Cp932.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/file.h>

class TestCommandLine : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString Path(const QString& name) const { return m_dir->filePath(name); }
    bool Write(const QString& name, const QByteArray& bytes) {
        QFile file(Path(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }
    QByteArray Read(const QString& name) const {
        QFile file(Path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : "<missing>";
    }
    bool WriteSetting(const QString& name, const QString& spec) {
        const auto bytes = Utf8ToCp932(("[Spec]\r\n" + spec).toStdString());
        return bytes && Write(name + ".def", QByteArray::fromStdString(*bytes));
    }

private slots:
    void init() {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QFile::copy(TIDEWELL_BIN_DIR "/tidewell", Path("tidewell")));
        QVERIFY(QDir().mkpath(Path("src/sub")) && QDir().mkpath(Path("dst")));
        QVERIFY(Write("Tidewell.Ini",
                      ("[Drives]\r\nS=" + Path("src") + "\r\nD=" + Path("dst")).toUtf8()));
        QVERIFY(Write("src/a.txt", "alpha") && Write("src/sub/b.txt", "beta"));
    }

    // Wrong arguments exit with 2 before anything is done; refused or
    // failed runs (an unwritable log too) exit with 1.
    void exitCodes_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("spec"); // of T.def
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("says");
        const QString plain = "SrcDir=S:\\\r\nDstDir=D:\\\r\n";
        QTest::newRow("unknown option")
            << QStringList{"--frobnicate"} << plain << 2 << "--frobnicate";
        QTest::newRow("missing name") << QStringList{"--run"} << plain << 2 << "--run";
        QTest::newRow("no such file")
            << QStringList{"--run", "Nothing"} << plain << 2 << "Nothing.def";
        QTest::newRow("path, not a name") << QStringList{"--run", "../T"} << plain << 2 << "../T";
        QTest::newRow("extra argument")
            << QStringList{"--run", "T", "more"} << plain << 2 << "more";
        QTest::newRow("source missing")
            << QStringList{"--run", "T"} << "SrcDir=S:\\no\r\nDstDir=D:\\\r\n"
            << 1 << "ｺﾋﾟｰ元ﾌｫﾙﾀﾞの準備が出来てないか";
        QTest::newRow("nothing to copy") << QStringList{"--run", "T"} << plain + "WildList=*.no\r\n"
                                         << 1 << "終了ｺｰﾄﾞ 9999";
        QTest::newRow("unwritable log")
            << QStringList{"--run", "T"} << plain << 1 << "Tidewall.log";
    }
    void exitCodes() {
        QFETCH(QStringList, args);
        QFETCH(QString, spec);
        QFETCH(int, code);
        QFETCH(QString, says);
        QVERIFY(WriteSetting("T", spec));
        QVERIFY(QString(QTest::currentDataTag()) != "unwritable log" ||
                QDir().mkpath(Path("Tidewall.log")));
        QProcess run;
        run.start(Path("tidewell"), args);
        QVERIFY(run.waitForFinished(60000) && run.exitStatus() == QProcess::NormalExit);
        QCOMPARE(run.exitCode(), code);
        QVERIFY2(QString::fromUtf8(run.readAllStandardError()).contains(says), qPrintable(says));
        QCOMPARE(QFile::exists(Path("dst/a.txt")),
                 says == "Tidewall.log"); // the copy itself goes on
    }

    // A hang-up cancels like Ctrl+C, here while the run waits for the log
    // another run holds.
    void hangUpCancelsLikeInterrupt_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGHUP") << SIGHUP;
        QTest::newRow("SIGINT") << SIGINT;
    }
    void hangUpCancelsLikeInterrupt() {
        QFETCH(int, signal);
        QVERIFY(WriteSetting("T", "SrcDir=S:\\\r\nDstDir=D:\\\r\n"));
        QFile log(Path("Tidewall.log"));
        QVERIFY(log.open(QIODevice::WriteOnly) && flock(log.handle(), LOCK_EX) == 0);
        QProcess run;
        run.start(Path("tidewell"), {"--run", "T"});
        QString err;
        for (int i = 0;
             i < 150 && !err.contains("Tidewall.log") && run.state() != QProcess::NotRunning; ++i) {
            run.waitForReadyRead(200);
            err += QString::fromUtf8(run.readAllStandardError());
        }
        QVERIFY2(err.contains("Tidewall.log"), qPrintable(err));
        ::kill(static_cast<pid_t>(run.processId()), signal);
        QVERIFY(run.waitForFinished(30000) && run.exitStatus() == QProcess::NormalExit);
        QCOMPARE(run.exitCode(), 1);
        QVERIFY(QString::fromUtf8(run.readAllStandardError()).contains("終了ｺｰﾄﾞ 9999"));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_CommandLine.moc"
