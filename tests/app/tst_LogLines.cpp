// Reading the run log: line splitting, CP932 decoding, refusals of things
// that are no readable file, and the references the log writer uses for
// characters CP932 cannot hold.

#include "app/LogLines.h"
#include "files/PathUtils.h"
#include "platform/ErrorCodes.h"
#include "platform/LogFile.h"
#include "platform/TextFileReader.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>

#include <sys/stat.h>

using CLines = std::vector<std::string>;
Q_DECLARE_METATYPE(std::string)
Q_DECLARE_METATYPE(CLines)

class CLogReadingTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_pFolder = std::make_unique<CTestProgramFolder>(); }
    void cleanup() { m_pFolder.reset(); }

    void linesOfFile_data();
    void linesOfFile();
    void lineEndsAcrossReadChunks();
    void missingFolderPipeAndUnmappedDrive();
    void hostPathIsAccepted();

    void references_data();
    void references();
    void writerAndViewerAgree();

private:
    std::string Path(const std::string& name) const { return GetProgramFolder() + name; }
    std::unique_ptr<CTestProgramFolder> m_pFolder;
};

void CLogReadingTest::linesOfFile_data() {
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<CLines>("expected");
    QTest::newRow("empty") << std::string() << CLines{};
    QTest::newRow("one line, no end") << std::string("a") << CLines{"a"};
    QTest::newRow("one line, CR LF") << std::string("a\r\n") << CLines{"a"};
    QTest::newRow("last line without end") << std::string("a\r\nb") << CLines{"a", "b"};
    QTest::newRow("LF and blank lines") << std::string("a\n\nb\n") << CLines{"a", "", "b"};
    QTest::newRow("only a line end") << std::string("\r\n") << CLines{""};
    QTest::newRow("lone CR stays") << std::string("a\rb\r\n") << CLines{"a\rb"};
    QTest::newRow("CR before CR LF") << std::string("a\r\r\n") << CLines{"a\r"};
    // 表 = 95 5C (its trail byte is "\"), 示 = 8E A6, ｶｺ = B6 BA.
    QTest::newRow("CP932") << std::string("\x95\x5C\x8E\xA6\r\n\xB6\xBA\r\n")
                           << CLines{"表示", "ｶｺ"};
    QTest::newRow("bad byte") << std::string("a\xFF"
                                             "b")
                              << CLines{"a\xEF\xBF\xBD"
                                        "b"};
    QTest::newRow("truncated double-byte") << std::string("ab\x95") << CLines{"ab\xEF\xBF\xBD"};
}

void CLogReadingTest::linesOfFile() {
    QFETCH(std::string, bytes);
    QFETCH(CLines, expected);
    QVERIFY(m_pFolder->WriteFile("t.log", bytes));
    CLines lines{"left over"};
    QCOMPARE(ReadTextFileLines(Path("t.log"), lines), 0);
    QCOMPARE(lines, expected);
}

void CLogReadingTest::lineEndsAcrossReadChunks() {
    // Line ends and double-byte characters falling on the edges of the
    // reader's pieces; sizes around every power of two up to 256 KiB.
    for (size_t size : {65535u, 65536u, 65537u, 131071u, 262143u}) {
        const std::string first(size, 'x');
        const std::string bytes = first + "\r\n\x95\x5C\r\n" + first + "\x95\x5C";
        QVERIFY(m_pFolder->WriteFile("big.log", bytes));
        CLines lines;
        QCOMPARE(ReadTextFileLines(Path("big.log"), lines), 0);
        QCOMPARE(lines.size(), size_t(3));
        QCOMPARE(lines[0], first);
        QCOMPARE(lines[1], std::string("表"));
        QCOMPARE(lines[2], first + "表");
    }
}

void CLogReadingTest::missingFolderPipeAndUnmappedDrive() {
    CLines lines{"left over"};
    QCOMPARE(ReadTextFileLines(Path("none.log"), lines), int(ERROR_FILE_NOT_FOUND));
    QVERIFY(lines.empty());
    QVERIFY(QDir(QString::fromStdString(m_pFolder->HostPath())).mkdir(QStringLiteral("dir.log")));
    QCOMPARE(ReadTextFileLines(Path("dir.log"), lines), int(ERROR_ACCESS_DENIED));
    // A pipe under the log's name is refused at once instead of waited on.
    QCOMPARE(::mkfifo(m_pFolder->HostFile("fifo.log").c_str(), 0600), 0);
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(ReadTextFileLines(Path("fifo.log"), lines), int(ERROR_ACCESS_DENIED));
    QVERIFY(timer.elapsed() < 5000);
    QCOMPARE(ReadTextFileLines("Q:\\Tidewall.log", lines), int(ERROR_PATH_NOT_FOUND));
    QCOMPARE(ReadTextFileLines("", lines), int(ERROR_PATH_NOT_FOUND));
}

void CLogReadingTest::hostPathIsAccepted() {
    QVERIFY(m_pFolder->WriteFile("h.log", "head\r\nrow\r\n"));
    CLines lines;
    QCOMPARE(ReadTextFileLines(m_pFolder->HostFile("h.log"), lines), 0);
    QCOMPARE(lines, (CLines{"head", "row"}));
}

void CLogReadingTest::references_data() {
    QTest::addColumn<std::string>("line");
    QTest::addColumn<std::string>("shown");
    QTest::newRow("plain") << std::string("D:\\表\\a.txt") << std::string("D:\\表\\a.txt");
    QTest::newRow("e acute") << std::string("caf&#x00E9;.txt") << std::string("café.txt");
    QTest::newRow("lower-case digits") << std::string("&#x00e9;") << std::string("é");
    QTest::newRow("astral") << std::string("&#x1F600;!") << std::string("\xF0\x9F\x98\x80!");
    QTest::newRow("six digits") << std::string("&#x01F600;") << std::string("\xF0\x9F\x98\x80");
    QTest::newRow("escaped ampersand") << std::string("a&#x0026;#x41;b") << std::string("a&#x41;b");
    QTest::newRow("two in a row") << std::string("&#x00E9;&#x00E8;") << std::string("éè");
    // Stray bytes are carried as surrogates, which no UTF-8 text can hold.
    QTest::newRow("stray byte kept") << std::string("&#xDC81;") << std::string("&#xDC81;");
    QTest::newRow("no semicolon") << std::string("&#x00E9 x") << std::string("&#x00E9 x");
    QTest::newRow("too few digits") << std::string("&#xE9;") << std::string("&#xE9;");
    QTest::newRow("six digits, leading zeros") << std::string("&#x0000E9;") << std::string("é");
    QTest::newRow("seven digits") << std::string("&#x00000E9;") << std::string("&#x00000E9;");
    QTest::newRow("NUL kept") << std::string("&#x0000;") << std::string("&#x0000;");
    // A control character in a name is shown as written, never as a line break.
    QTest::newRow("CR kept") << std::string("a&#x000D;b") << std::string("a&#x000D;b");
    QTest::newRow("DEL kept") << std::string("&#x007F;") << std::string("&#x007F;");
    QTest::newRow("past U+10FFFF") << std::string("&#x110000;") << std::string("&#x110000;");
    QTest::newRow("cut at end") << std::string("x&#x00") << std::string("x&#x00");
    QTest::newRow("decimal form kept") << std::string("&#233;") << std::string("&#233;");
}

void CLogReadingTest::references() {
    QFETCH(std::string, line);
    QFETCH(std::string, shown);
    QCOMPARE(DecodeLogReferences(line), shown);
}

void CLogReadingTest::writerAndViewerAgree() {
    // What the run writes for names CP932 cannot hold reads back as the
    // names themselves.
    const CLines written = {"-- 履歴 --", "S:\\café\\naïve.txt", "音楽 \xF0\x9F\x8E\xB5",
                            "a&#x41;b & c", "表"};
    {
        CLogFile log;
        QCOMPARE(log.Open(Path("Tidewall.log")), 0);
        for (const std::string& line : written)
            log.WriteLine(line);
    }
    CLines lines;
    QCOMPARE(ReadTextFileLines(Path("Tidewall.log"), lines), 0);
    QCOMPARE(lines.size(), written.size());
    for (size_t i = 0; i < lines.size(); ++i)
        QCOMPARE(DecodeLogReferences(lines[i]), written[i]);
}

QTEST_GUILESS_MAIN(CLogReadingTest)
#include "tst_LogLines.moc"
