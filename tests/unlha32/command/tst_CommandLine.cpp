// The archiver's command line: tokens, response files as the archive run
// writes them (CP932, or UTF-8 when marked or readable only so), switches,
// base folders with their patterns, and refusals.
#include "command/CommandLine.h"
#include "support/HostFiles.h"

#include <QTemporaryDir>
#include <QTest>

using namespace unlha;

class CCommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void Parse_data() {
        // "@%D" names the response file by a drive path (C is "/") with a blank.
        QTest::addColumn<QByteArray>("cmdLine");
        QTest::addColumn<QByteArray>("response");
        // "letter archive r x method" then base|pattern for each file pattern, or the code
        QTest::addColumn<QString>("parsed");
        auto row = [](const char* name, const char* cmdLine, const char* parsed,
                      const char* response = "") {
            QTest::newRow(name) << QByteArray(cmdLine) << QByteArray(response) << QString(parsed);
        };
        row("LF lines, empty switch line", "@%D", "a C:\\x.lzh 0 0 5 C:\\src\\|*.*",
            "A\n\"C:\\x.lzh\"\n\"C:\\src\\\"\n\"*.*\"\n\n");
        // Blanks and tabs between tokens, quotes anywhere (an empty token is kept);
        // a quoted "-" token is no switch; a CP932 character ending in 0x5C stays whole.
        row("quotes", " a \"D:\\My Files\\x.lzh\"\tC:\\s\\  ab\"c d\"e \"\" \"-r1\" \r\n",
            "a D:\\My Files\\x.lzh 0 0 5 C:\\s\\|abc de C:\\s\\| C:\\s\\|-r1");
        row("CP932 0x5C trail byte", "a x.lzh \"S:\\\x95\x5C\\\"", "a x.lzh 0 0 5 S:\\表\\|*.*");
        row("typed together", "a x.lzh C:\\s\\ -x1 -r1-lh7", "a x.lzh 1 1 7 C:\\s\\|*.*");
        row("upper case, trailing dash", "A x.lzh C:\\s\\ -R1 -X1 -LH6-",
            "a x.lzh 1 1 6 C:\\s\\|*.*");
        row("turned off again", "a x.lzh C:\\s\\ -x1 -r1 -r0", "a x.lzh 0 1 5 C:\\s\\|*.*");
        row("bare letters", "u x.lzh C:\\s\\ -r -x", "u x.lzh 1 1 5 C:\\s\\|*.*");
        // A base folder followed by no pattern means all of its files.
        row("base folders and patterns", "a x.lzh C:\\one\\ C:\\two\\ *.c *.h D:\\abs\\*.txt",
            "a x.lzh 0 0 5 C:\\one\\|*.* C:\\two\\|*.c C:\\two\\|*.h D:\\abs\\|*.txt");
        row("empty", "", "801c");
        row("unknown letter", "x a.lzh", "801c");
        row("word for a letter", "add a.lzh", "801c");
        row("unknown switch", "a a.lzh -k", "801c");
        row("lone dash", "a a.lzh -", "801c");
        row("pattern without base", "a a.lzh *.txt", "801c");
        row("not CP932", "a \"\x81\"", "801c");
        // A response file in UTF-8: it starts with a byte-order mark, or reads only as UTF-8.
        row("CP932 file", "@%D", "u D:\\写真.lzh 0 0 5 C:\\s\\|*.*",
            "u\nD:\\\x8E\xCA\x90\x5E.lzh\nC:\\s\\");
        row("UTF-8 file, marked", "@%D", "u D:\\写真.lzh 0 0 5 C:\\s\\|*.*",
            "\xEF\xBB\xBFu\nD:\\\xE5\x86\x99\xE7\x9C\x9F.lzh\nC:\\s\\"); // valid CP932 too
        row("UTF-8 file", "@%D", "a D:\\テスト😀.lzh 0 0 5 C:\\s\\|*.*",
            "a\nD:\\テスト😀.lzh\nC:\\s\\");
        row("neither", "@%D", "802a", "a\nD:\\\xFF\xFE.lzh");
        row("marked, then CP932", "@%D", "802a",
            "\xEF\xBB\xBF"
            "a\n\x95\x5C");
        row("missing response file", "@/nonexistent/TDW9.tmp", "802a");
        row("response file is a folder", "@/tmp", "802a");
    }
    void Parse() {
        QFETCH(QByteArray, cmdLine);
        QFETCH(QByteArray, response);
        QFETCH(QString, parsed);
        QTemporaryDir dir;
        QString file = dir.filePath("Temp Folder/TDW1.tmp");
        QVERIFY(QDir(dir.path()).mkdir("Temp Folder") && WriteHostFile(file, response));
        cmdLine.replace("%D", "C:" + file.replace('/', '\\').toUtf8());
        CDriveTable drives;
        CCommand c;
        CReport report;
        int rc = ParseCommandLine(cmdLine.toStdString(), drives, c, report);
        std::string actual = c.cCommand + (" " + c.strArchive) + ' ' + char('0' + c.bRecurse) +
                             ' ' + char('0' + c.bKeepPaths) + ' ' + std::to_string(c.nMethod);
        for (const CFileSpec& spec : c.aSpecs)
            actual += " " + spec.strBase + "|" + spec.strPattern;
        QCOMPARE(rc != 0 ? QString::number(rc, 16) : QString::fromStdString(actual), parsed);
        QCOMPARE(report.Text().empty(), rc == 0); // a refusal says why
    }
};

QTEST_GUILESS_MAIN(CCommandLineTest)
#include "tst_CommandLine.moc"
