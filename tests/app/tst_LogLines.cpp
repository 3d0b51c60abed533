// Reading the run log: lines, CP932, refusals, and references for what CP932 lacks.
#include "app/LogLines.h"
#include "files/PathUtils.h"
#include "platform/TextFileReader.h"
#include "support/ProgramFolder.h"

#include <QTest>
#include <sys/stat.h>

using CLines = std::vector<std::string>;

class CLogReadingTest : public QObject {
    Q_OBJECT
private slots:
    void linesOfFile() {
        CTestProgramFolder folder;
        const std::string big(65535, 'x'); // CR LF and 表 split by the reader's 64 KiB pieces
        // 表 = 95 5C (its trail byte is "\"), ｶｺ = B6 BA; a bad byte reads U+FFFD.
        // clang-format off
        const std::pair<std::string, CLines> rows[] = {{"", {}}, {"a\r\nb", {"a", "b"}},
            {"a\n\nb\n", {"a", "", "b"}}, {"a\rb\r\r\n", {"a\rb\r"}}, {"\x95\x5C\r\n\xB6\xBA", {"表", "ｶｺ"}},
            {"a\xFF" "b", {"a\xEF\xBF\xBD" "b"}}, {"ab\x95", {"ab\xEF\xBF\xBD"}},
            {big + "\r\n\x95\x5C\r\n" + big.substr(5) + "\x95\x5C", {big, "表", big.substr(5) + "表"}}};
        // Refused: missing, a folder, a pipe (at once, not waited on), no drive.
        const std::string at = GetProgramFolder();
        const std::pair<std::string, int> refused[] = {{at + "none.log", ERROR_FILE_NOT_FOUND},
            {at + "dir.log", ERROR_ACCESS_DENIED}, {at + "fifo.log", ERROR_ACCESS_DENIED},
            {"Q:\\a.log", ERROR_PATH_NOT_FOUND}, {"", ERROR_PATH_NOT_FOUND}};
        // clang-format on
        for (const auto& [bytes, expected] : rows) {
            QVERIFY(folder.WriteFile("t.log", bytes));
            CLines lines{"left over"};
            QCOMPARE(ReadTextFileLines(at + "t.log", lines), 0);
            QCOMPARE(lines, expected);
        }
        QVERIFY(QDir(QString::fromStdString(folder.HostPath())).mkdir("dir.log"));
        QCOMPARE(::mkfifo(folder.HostFile("fifo.log").c_str(), 0600), 0);
        for (const auto& [path, error] : refused) {
            CLines lines{"left over"};
            QCOMPARE(ReadTextFileLines(path, lines), error);
            QVERIFY(lines.empty());
        }
    }

    void references() {
        // clang-format off
        const std::pair<const char*, const char*> rows[] = {
            {"D:\\表\\caf&#x00E9;", "D:\\表\\café"}, {"&#x00e9;&#x00E8;", "éè"}, {"&#x1F600;!", "😀!"},
            {"&#x01F600;", "😀"}, {"a&#x0026;#x41;b", "a&#x41;b"}, {"&#x0000E9;", "é"},
            // Kept as written: stray bytes, NUL, past U+10FFFF, malformed, controls.
            {"a&#x000D;b", nullptr}, {"&#x007F;", nullptr}, {"&#xDC81;", nullptr}, {"&#x0000;", nullptr},
            {"&#x110000;", nullptr}, {"&#x00E9 x", nullptr}, {"&#x0E9;", nullptr}, {"&#x00000E9;", nullptr},
            {"x&#x00", nullptr}, {"&#233;", nullptr}};
        // clang-format on
        for (const auto& [line, shown] : rows)
            QCOMPARE(QString::fromStdString(DecodeLogReferences(line)), shown ? shown : line);
    }
};

QTEST_GUILESS_MAIN(CLogReadingTest)
#include "tst_LogLines.moc"
