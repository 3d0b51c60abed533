// The run history file: the bytes on disk (CP932, CR LF, escapes for what
// CP932 cannot hold) and the exclusive hold that keeps two runs from
// writing into one history.

#include "support/HostFiles.h"

#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"
#include "platform/LogFile.h"

#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

// CP932 bytes below are taken from the CP932 code table (checked with
// `iconv -t CP932`): ｺﾋﾟｰ = BA CB DF B0, 履歴 = 97 9A 97 F0, 資料 = 8E 91 97 BF.

class TestLogFile : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_pTmp;
    QString m_strLog; // host path of L:\Tidewall.log

private slots:
    void init() {
        m_pTmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_pTmp->isValid());
        CHostServices::Get().DriveMap().Map('L', m_pTmp->path().toStdString());
        m_strLog = m_pTmp->filePath("Tidewall.log");
    }
    void cleanup() { m_pTmp.reset(); }

    void linesAreCp932WithCrLf() {
        CLogFile log;
        QCOMPARE(log.Open("L:\\Tidewall.log"), 0);
        QVERIFY(log.IsOpen());
        log.WriteLine("-- Tidewall.Exe  ｺﾋﾟｰ履歴 [1998/03/14 09:05:07] --");
        log.WriteLine("Copying  E:\\資料\\a.txt -> F:\\Backup\\");
        log.Close();
        QCOMPARE(ReadHostFile(m_strLog),
                 QByteArray("-- Tidewall.Exe  \xBA\xCB\xDF\xB0\x97\x9A\x97\xF0"
                            " [1998/03/14 09:05:07] --\r\n"
                            "Copying  E:\\\x8E\x91\x97\xBF\\a.txt -> F:\\Backup\\\r\n"));
    }

    void lineEnds_data() {
        QTest::addColumn<QStringList>("calls"); // texts handed to WriteText, in order
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("line feed") << QStringList{"a\nb"} << QByteArray("a\r\nb");
        QTest::newRow("CR LF kept") << QStringList{"a\r\nb"} << QByteArray("a\r\nb");
        QTest::newRow("CR LF across calls") << QStringList{"a\r", "\nb"} << QByteArray("a\r\nb");
        QTest::newRow("LF after earlier call")
            << QStringList{"a\n", "\n"} << QByteArray("a\r\n\r\n");
        QTest::newRow("lone CR") << QStringList{"x\ry"} << QByteArray("x\ry");
        QTest::newRow("no line end added") << QStringList{"x", "y"} << QByteArray("xy");
        QTest::newRow("empty call") << QStringList{"a\r", "", "\n"} << QByteArray("a\r\n");
    }
    void lineEnds() {
        QFETCH(QStringList, calls);
        QFETCH(QByteArray, expected);
        CLogFile log;
        QCOMPARE(log.Open("L:\\Tidewall.log"), 0);
        for (const QString& text : calls)
            log.WriteText(text.toStdString());
        log.Close();
        QCOMPARE(ReadHostFile(m_strLog), expected);
    }

    void lineWithLeadingLineFeed() {
        CLogFile log;
        QCOMPARE(log.Open("L:\\Tidewall.log"), 0);
        log.WriteLine("\nA");
        log.Close();
        QCOMPARE(ReadHostFile(m_strLog), QByteArray("\r\nA\r\n"));
    }

    // Texts CP932 cannot hold reach the log as references that can be undone.
    void escapes_data() {
        QTest::addColumn<QByteArray>("utf8");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("emoji") << QByteArray("\xF0\x9F\x98\x80") << QByteArray("&#x1F600;");
        QTest::newRow("latin") << QByteArray("caf\xC3\xA9") << QByteArray("caf&#x00E9;");
        QTest::newRow("mixed") << QByteArray("資料\xF0\x9F\x98\x80.txt")
                               << QByteArray("\x8E\x91\x97\xBF&#x1F600;.txt");
        QTest::newRow("text that looks escaped")
            << QByteArray("&#x41;") << QByteArray("&#x0026;#x41;");
        QTest::newRow("plain ampersand") << QByteArray("a&b&") << QByteArray("a&b&");
        QTest::newRow("stray byte") << QByteArray("a\xFF") << QByteArray("a&#xDCFF;");
        QTest::newRow("cut character") << QByteArray("\xE3\x81") << QByteArray("&#xDCE3;&#xDC81;");
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << QByteArray("&#xDCC0;&#xDCAF;");
        QTest::newRow("surrogate")
            << QByteArray("\xED\xA0\x80") << QByteArray("&#xDCED;&#xDCA0;&#xDC80;");
        QTest::newRow("past U+10FFFF")
            << QByteArray("\xF4\x90\x80\x80") << QByteArray("&#xDCF4;&#xDC90;&#xDC80;&#xDC80;");
    }
    void escapes() {
        QFETCH(QByteArray, utf8);
        QFETCH(QByteArray, expected);
        CLogFile log;
        QCOMPARE(log.Open("L:\\Tidewall.log"), 0);
        log.WriteText(utf8.toStdString());
        log.Close();
        QCOMPARE(ReadHostFile(m_strLog), expected);
    }

    void secondWriterRefused() {
        CLogFile first;
        QCOMPARE(first.Open("L:\\Tidewall.log"), 0);
        first.WriteLine("first");
        CLogFile second;
        QCOMPARE(second.Open("L:\\Tidewall.log"), int(ERROR_SHARING_VIOLATION));
        QVERIFY(!second.IsOpen());
        second.WriteLine("intruder");
        QCOMPARE(ReadHostFile(m_strLog), QByteArray("first\r\n"));
        first.WriteLine("second");
        QCOMPARE(ReadHostFile(m_strLog), QByteArray("first\r\nsecond\r\n"));
        first.Close();
        QCOMPARE(second.Open("L:\\Tidewall.log"), 0);
        QCOMPARE(ReadHostFile(m_strLog), QByteArray());
    }

    void otherProcessHoldsTheLog() {
        QVERIFY(WriteHostFile(m_strLog, "their run\r\n"));
        int ready[2];
        int release[2];
        QVERIFY(pipe(ready) == 0 && pipe(release) == 0);
        QByteArray path = QFile::encodeName(m_strLog);
        pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            close(ready[0]);
            close(release[1]); // or the read below never sees the parent let go
            int fd = open(path.constData(), O_WRONLY);
            char c = flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
            (void)!write(ready[1], &c, 1);
            (void)!read(release[0], &c, 1); // until the parent closes its end
            _exit(0);
        }
        close(ready[1]);
        close(release[0]);
        // However this test ends, the child is released and reaped.
        auto reap = qScopeGuard([&] {
            close(release[1]);
            close(ready[0]);
            waitpid(child, nullptr, 0);
        });
        char c = 0;
        QCOMPARE(read(ready[0], &c, 1), ssize_t{1});
        QCOMPARE(c, 'y');

        CLogFile log;
        int r = log.Open("L:\\Tidewall.log");
        QByteArray during = ReadHostFile(m_strLog);
        reap.dismiss();
        close(release[1]);
        close(ready[0]);
        waitpid(child, nullptr, 0);

        QCOMPARE(r, int(ERROR_SHARING_VIOLATION));
        QCOMPARE(during, QByteArray("their run\r\n"));
        QCOMPARE(log.Open("L:\\Tidewall.log"), 0);
        QCOMPARE(ReadHostFile(m_strLog), QByteArray());
    }

    // Each line is in the file as soon as it is written, so a crash still
    // shows how far the run got; the destructor lets the next run in.
    void linesReachDiskAtOnce() {
        QVERIFY(WriteHostFile(m_strLog, "previous run, much longer than this one\r\n"));
        {
            CLogFile log;
            QCOMPARE(log.Open(m_strLog.toStdString()), 0); // a host path works too
            QCOMPARE(ReadHostFile(m_strLog), QByteArray());
            log.WriteLine("one");
            QCOMPARE(ReadHostFile(m_strLog), QByteArray("one\r\n"));
            QCOMPARE(log.WriteError(), 0);
        }
        CLogFile next;
        QCOMPARE(next.Open("L:\\Tidewall.log"), 0);
    }

    void openFailures_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("expected"); // -1: any non-zero code
        QTest::newRow("unmapped drive") << "Q:\\Tidewall.log" << int(ERROR_PATH_NOT_FOUND);
        QTest::newRow("folder") << "L:\\folder" << -1;
        QTest::newRow("missing folder") << "L:\\none\\Tidewall.log" << -1;
        QTest::newRow("named pipe") << "L:\\pipe" << -1;
    }
    void openFailures() {
        QFETCH(QString, path);
        QFETCH(int, expected);
        QVERIFY(QDir().mkpath(m_pTmp->filePath("folder")));
        QVERIFY(mkfifo(QFile::encodeName(m_pTmp->filePath("pipe")).constData(), 0644) == 0);
        QStringList before = NamesIn(m_pTmp->path());
        CLogFile log;
        int r = log.Open(path.toStdString());
        if (expected < 0)
            QVERIFY(r != 0);
        else
            QCOMPARE(r, expected);
        QVERIFY(!log.IsOpen());
        log.WriteLine("nowhere");
        log.WriteText("nowhere\n");
        log.Close();
        QCOMPARE(NamesIn(m_pTmp->path()), before);
    }
};

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_LogFile.moc"
