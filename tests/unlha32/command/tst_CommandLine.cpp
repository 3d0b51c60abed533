// The archiver's command line: tokens, response files as the archive run
// writes them, switches, base folders with their patterns, and refusals.
#include "command/CommandLine.h"

#include <QTemporaryDir>
#include <QTest>

using namespace unlha;

class CCommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void SplitTokens_QuotesAndBlanks() {
        std::vector<CToken> t =
            SplitTokens("  a \"D:\\My Files\\x.lzh\"\t-r1  \"\"  ab\"c d\"e \r\n");
        QCOMPARE(t.size(), size_t{5});
        QVERIFY(t[0].strText == "a" && t[1].strText == "D:\\My Files\\x.lzh" &&
                t[4].strText == "abc de");
        QVERIFY(t[1].bQuoted && !t[2].bQuoted &&
                t[3].strText.empty()); // an empty quoted token is kept
        // A CP932 character whose second byte is 0x5C stays whole.
        t = SplitTokens("\"S:\\\x95\x5C\\\"");
        QVERIFY(t.size() == 1 && t[0].strText == "S:\\\x95\x5C\\");
    }

    void Parse_data() {
        // "@%F" names the response file, "@%D" the same by a drive path (C is
        // "/"), in a folder with a blank.
        QTest::addColumn<QByteArray>("cmdLine");
        QTest::addColumn<QByteArray>("response");
        // "letter archive r x method" then base|pattern for each file pattern, or the code
        QTest::addColumn<QString>("parsed");
        auto row = [](const char* name, const char* cmdLine, const char* parsed,
                      const char* response = "") {
            QTest::newRow(name) << QByteArray(cmdLine) << QByteArray(response) << QString(parsed);
        };
        // As the archive run writes it: the source folder before each pattern.
        row("response file", "@%F",
            "u D:\\Backup\\SAVE.LZH 1 1 5 E:\\Work\\|*.doc E:\\Work\\|*.txt",
            "U\r\n\"D:\\Backup\\SAVE.LZH\"\r\n\"E:\\Work\\\"\r\n\"*.doc\"\r\n\"E:\\Work\\\"\r\n\"*."
            "txt\"\r\n-x1 -r1\r\n");
        row("LF lines, empty switch line", "@%D", "a C:\\x.lzh 0 0 5 C:\\src\\|*.*",
            "A\n\"C:\\x.lzh\"\n\"C:\\src\\\"\n\"*.*\"\n\n");
        row("no switches", "a x.lzh C:\\s\\ *.*", "a x.lzh 0 0 5 C:\\s\\|*.*");
        row("archive run", "a x.lzh C:\\s\\ *.* -x1 -r1", "a x.lzh 1 1 5 C:\\s\\|*.*");
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
        row("missing response file", "@/nonexistent/TDW9.tmp", "802a");
        row("response file is a folder", "@/tmp", "802a");
    }
    void Parse() {
        QFETCH(QByteArray, cmdLine);
        QFETCH(QByteArray, response);
        QFETCH(QString, parsed);
        QTemporaryDir dir;
        QString file = dir.filePath("Temp Folder/TDW1.tmp");
        QFile f(file);
        QVERIFY(QDir(dir.path()).mkdir("Temp Folder") && f.open(QIODevice::WriteOnly));
        QVERIFY(f.write(response) == response.size() && f.flush());
        cmdLine.replace("%F", file.toUtf8()).replace("%D", "C:" + file.replace('/', '\\').toUtf8());
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
