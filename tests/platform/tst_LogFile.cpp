// The run history file: the bytes on disk (CP932, CR LF, escapes for what
// CP932 cannot hold) and the exclusive hold that keeps two runs from
// writing into one history.
#include "support/HostFiles.h"

#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"
#include "platform/LogFile.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

// CP932 bytes below are taken from the CP932 code table (checked with
// `iconv -t CP932`): ｺﾋﾟｰ = BA CB DF B0, 履歴 = 97 9A 97 F0, 資料 = 8E 91 97 BF.

class TestLogFile : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_pTmp;
    QString m_strLog; // host path of L:\Tidewall.log

private slots:
    void init() {
        m_pTmp = std::make_unique<QTemporaryDir>();
        CHostServices::Get().DriveMap().Map('L', m_pTmp->path().toStdString());
        m_strLog = m_pTmp->filePath("Tidewall.log");
    }

    // The calls in order: "=" starts a WriteLine, anything else is WriteText.
    void bytesOnDisk_data() {
        QTest::addColumn<QByteArrayList>("calls");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("CP932 line")
            << QByteArrayList{"=ｺﾋﾟｰ履歴 E:\\資料"}
            << QByteArray("\xBA\xCB\xDF\xB0\x97\x9A\x97\xF0 E:\\\x8E\x91\x97\xBF\r\n");
        QTest::newRow("leading line feed") << QByteArrayList{"=\nA"} << QByteArray("\r\nA\r\n");
        QTest::newRow("CR LF across calls") << QByteArrayList{"a\r", "\nb"} << QByteArray("a\r\nb");
        QTest::newRow("lone CR") << QByteArrayList{"x\ry"} << QByteArray("x\ry");
        // Texts CP932 cannot hold reach the log as references that can be undone.
        QTest::newRow("emoji") << QByteArrayList{"\xF0\x9F\x98\x80"} << QByteArray("&#x1F600;");
        QTest::newRow("text that looks escaped")
            << QByteArrayList{"&#x41;"} << QByteArray("&#x0026;#x41;");
        QTest::newRow("stray byte") << QByteArrayList{"a\xFF"} << QByteArray("a&#xDCFF;");
        QTest::newRow("surrogate")
            << QByteArrayList{"\xED\xA0\x80"} << QByteArray("&#xDCED;&#xDCA0;&#xDC80;");
        QTest::newRow("past U+10FFFF")
            << QByteArrayList{"\xF4\x90\x80\x80"} << QByteArray("&#xDCF4;&#xDC90;&#xDC80;&#xDC80;");
    }
    void bytesOnDisk() {
        QFETCH(QByteArrayList, calls);
        QFETCH(QByteArray, expected);
        CLogFile log;
        QCOMPARE(log.Open("L:\\Tidewall.log"), 0);
        for (const QByteArray& call : calls) {
            if (call.startsWith('='))
                log.WriteLine(call.mid(1).toStdString());
            else
                log.WriteText(call.toStdString());
        }
        log.Close();
        QCOMPARE(ReadHostFile(m_strLog), expected);
    }

    // One writer at a time; each line is on disk as soon as it is written
    // (a crash still shows how far the run got); the next holder empties
    // the file; the destructor lets the next run in.
    void oneWriterAtATime() {
        QVERIFY(WriteHostFile(m_strLog, "previous run, much longer than this one\r\n"));
        {
            CLogFile first;
            QCOMPARE(first.Open(m_strLog.toStdString()), 0); // a host path works too
            QCOMPARE(ReadHostFile(m_strLog), QByteArray());
            first.WriteLine("first");
            QCOMPARE(ReadHostFile(m_strLog), QByteArray("first\r\n"));
            CLogFile second;
            QCOMPARE(second.Open("L:\\Tidewall.log"), int(ERROR_SHARING_VIOLATION));
            QVERIFY(!second.IsOpen());
            second.WriteLine("intruder");
            first.WriteLine("second");
            QCOMPARE(ReadHostFile(m_strLog), QByteArray("first\r\nsecond\r\n"));
            QCOMPARE(first.WriteError(), 0);
        }
        CLogFile next;
        QCOMPARE(next.Open("L:\\Tidewall.log"), 0);
        QCOMPARE(ReadHostFile(m_strLog), QByteArray());
    }

    // Nothing is written anywhere, and a named pipe does not hang the run.
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
        const QStringList before = NamesIn(m_pTmp->path());
        CLogFile log;
        const int r = log.Open(path.toStdString());
        QVERIFY(expected < 0 ? r != 0 : r == expected);
        QVERIFY(!log.IsOpen());
        log.WriteLine("nowhere");
        log.WriteText("nowhere\n");
        log.Close();
        QCOMPARE(NamesIn(m_pTmp->path()), before);
    }
};

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_LogFile.moc"
