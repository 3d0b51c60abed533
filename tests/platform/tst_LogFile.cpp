// The run history file: its bytes on disk and the hold that keeps it to one writer.
#include "platform/ErrorCodes.h"
#include "platform/LogFile.h"
#include "support/TempTree.h"

#include <QTest>

// CP932 (iconv -t CP932): ｺﾋﾟｰ = BA CB DF B0, 履歴 = 97 9A 97 F0, 資料 = 8E 91 97 BF.
class TestLogFile : public QObject {
    Q_OBJECT
private slots:
    // Calls ("=": WriteLine, else WriteText), bytes: what CP932 lacks, controls become references.
    void bytesOnDiskAndOneWriter() {
        CTempTree tree('L');
        // clang-format off
        const std::pair<std::vector<std::string>, std::string> rows[] = {
            {{"=ｺﾋﾟｰ履歴 E:\\資料"}, "\xBA\xCB\xDF\xB0\x97\x9A\x97\xF0 E:\\\x8E\x91\x97\xBF\r\n"},
            {{"=\nA\tb\r"}, "\r\nA&#x0009;b&#x000D;\r\n"}, {{"a\r", "\nb"}, "a\r\nb"}, {{"x\ry\n"}, "x\ry\r\n"},
            {{"café 😀"}, "caf&#x00E9; &#x1F600;"}, {{"&#x41;"}, "&#x0026;#x41;"}, {{"a\xFF"}, "a&#xDCFF;"},
            {{"\xED\xA0\x80"}, "&#xDCED;&#xDCA0;&#xDC80;"}, // a surrogate, then past U+10FFFF
            {{"\xF4\x90\x80\x80"}, "&#xDCF4;&#xDC90;&#xDC80;&#xDC80;"}};
        // clang-format on
        for (const auto& [calls, expected] : rows) {
            CLogFile log;
            QCOMPARE(log.Open("L:\\Tidewall.log"), 0);
            for (const std::string& call : calls) {
                if (call[0] == '=')
                    log.WriteLine(call.substr(1));
                else
                    log.WriteText(call);
            }
            log.Close();
            QCOMPARE(tree.Bytes("Tidewall.log"), expected);
        }
        // One writer at a time; each line on disk at once; the next holder empties the file; a
        // failed open writes nothing anywhere, and a named pipe does not hang the run.
        QVERIFY(tree.AddFile("Tidewall.log", "previous run, much longer than this one\r\n"));
        {
            CLogFile first;
            QCOMPARE(first.Open(tree.HostPath("Tidewall.log")), 0); // a host path works too
            QCOMPARE(tree.Bytes("Tidewall.log"), "");
            first.WriteLine("first");
            QCOMPARE(tree.Bytes("Tidewall.log"), "first\r\n");
            CLogFile second;
            QCOMPARE(second.Open("L:\\Tidewall.log"), int(ERROR_SHARING_VIOLATION));
            QVERIFY(!second.IsOpen());
            second.WriteLine("intruder");
            first.WriteLine("second");
            QCOMPARE(tree.Bytes("Tidewall.log"), "first\r\nsecond\r\n");
            QCOMPARE(first.WriteError(), 0);
        }
        CLogFile next;
        QCOMPARE(next.Open("L:\\Tidewall.log"), 0);
        QCOMPARE(tree.Bytes("Tidewall.log"), "");
        QVERIFY(tree.AddFolder("folder") && mkfifo(tree.HostPath("pipe").c_str(), 0644) == 0);
        const QString root = QString::fromStdString(tree.HostRoot());
        const QStringList before = NamesIn(root);
        // clang-format off
        const std::pair<const char*, int> failures[] = {{"Q:\\Tidewall.log", ERROR_PATH_NOT_FOUND},
            {"L:\\folder", ERROR_ACCESS_DENIED}, {"L:\\none\\Tidewall.log", -1}, {"L:\\pipe", -1}};
        // clang-format on
        for (const auto& [path, expected] : failures) {
            CLogFile log;
            const int r = log.Open(path);
            QVERIFY2(expected < 0 ? r != 0 : r == expected, path);
            QVERIFY(!log.IsOpen());
            log.WriteLine("nowhere");
            log.WriteText("nowhere\n");
        }
        QCOMPARE(NamesIn(root), before);
    }
};

QTEST_GUILESS_MAIN(TestLogFile)
#include "tst_LogFile.moc"
