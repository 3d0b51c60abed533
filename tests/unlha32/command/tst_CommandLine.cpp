// The archiver's command line: tokens, response files as the archive run
// writes them, switches, base folders with their patterns, and refusals.
#include "command/CommandLine.h"

#include <QTemporaryDir>
#include <QTest>

using namespace unlha;

class CCommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void SplitTokens_QuotesAndBlanks();
    void Parse_ResponseFiles();
    void Parse_data();
    void Parse();
};

void CCommandLineTest::SplitTokens_QuotesAndBlanks() {
    std::vector<CToken> t = SplitTokens("  a \"D:\\My Files\\x.lzh\"\t-r1  \"\"  ab\"c d\"e \r\n");
    QCOMPARE(t.size(), size_t{5});
    QVERIFY(t[0].strText == "a" && t[1].strText == "D:\\My Files\\x.lzh" &&
            t[4].strText == "abc de");
    QVERIFY(t[1].bQuoted && !t[2].bQuoted);
    QCOMPARE(t[3].strText, std::string()); // an empty quoted token is kept
    // A CP932 character whose second byte is 0x5C stays whole.
    t = SplitTokens("\"S:\\\x95\x5C\\\"");
    QCOMPARE(t.size(), size_t{1});
    QCOMPARE(t[0].strText, std::string("S:\\\x95\x5C\\"));
}

void CCommandLineTest::Parse_ResponseFiles() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("Temp Folder"));
    QString crlf = dir.filePath("Temp Folder/TDW1.tmp"), lf = dir.filePath("TDW2.tmp");
    QFile f(crlf), g(lf);
    // As the archive run writes it: the source folder before each pattern.
    QVERIFY(f.open(QIODevice::WriteOnly) && g.open(QIODevice::WriteOnly));
    f.write("U\r\n\"D:\\Backup\\SAVE.LZH\"\r\n\"E:\\Work\\\"\r\n\"*.doc\"\r\n\"E:\\Work\\\"\r\n"
            "\"*.txt\"\r\n-x1 -r1\r\n");
    g.write("A\n\"C:\\x.lzh\"\n\"C:\\src\\\"\n\"*.*\"\n\n"); // LF lines, empty switch line
    f.close();
    g.close();
    CDriveTable drives;
    CCommand command;
    CReport report;
    QCOMPARE(ParseCommandLine("@" + crlf.toStdString(), drives, command, report), 0);
    QCOMPARE(command.cCommand, 'u');
    QCOMPARE(command.strArchive, std::string("D:\\Backup\\SAVE.LZH"));
    QCOMPARE(command.aSpecs.size(), size_t{2});
    QVERIFY(command.aSpecs[0].strBase == "E:\\Work\\" && command.aSpecs[1].strBase == "E:\\Work\\");
    QVERIFY(command.aSpecs[0].strPattern == "*.doc" && command.aSpecs[1].strPattern == "*.txt");
    QVERIFY(command.bRecurse && command.bKeepPaths && command.nMethod == 5);
    // Named by a drive path with blanks, through the map (C is "/").
    std::string drivePath = "C:" + QString(lf).replace('/', '\\').toStdString();
    CCommand second;
    QCOMPARE(ParseCommandLine("@" + drivePath, drives, second, report), 0);
    QVERIFY(second.cCommand == 'a' && !second.bRecurse && !second.bKeepPaths);
}

void CCommandLineTest::Parse_data() {
    QTest::addColumn<QByteArray>("cmdLine");
    // "r x method" then base|pattern for each file pattern, or the code
    QTest::addColumn<QString>("parsed");
    auto row = [](const char* name, const char* cmdLine, const char* parsed) {
        QTest::newRow(name) << QByteArray(cmdLine) << QString(parsed);
    };
    row("no switches", "a x.lzh C:\\s\\ *.*", "0 0 5 C:\\s\\|*.*");
    row("archive run", "a x.lzh C:\\s\\ *.* -x1 -r1", "1 1 5 C:\\s\\|*.*");
    row("typed together", "a x.lzh C:\\s\\ -x1 -r1-lh7", "1 1 7 C:\\s\\|*.*");
    row("upper case, trailing dash", "a x.lzh C:\\s\\ -R1 -X1 -LH6-", "1 1 6 C:\\s\\|*.*");
    row("turned off again", "a x.lzh C:\\s\\ -x1 -r1 -r0", "0 1 5 C:\\s\\|*.*");
    row("bare letters", "u x.lzh C:\\s\\ -r -x", "1 1 5 C:\\s\\|*.*");
    // A base folder followed by no pattern means all of its files.
    row("base folders and patterns", "a x.lzh C:\\one\\ C:\\two\\ *.c *.h D:\\abs\\*.txt",
        "0 0 5 C:\\one\\|*.* C:\\two\\|*.c C:\\two\\|*.h D:\\abs\\|*.txt");
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

void CCommandLineTest::Parse() {
    QFETCH(QByteArray, cmdLine);
    QFETCH(QString, parsed);
    CDriveTable drives;
    CCommand c;
    CReport report;
    int rc = ParseCommandLine(cmdLine.toStdString(), drives, c, report);
    QString actual = QString("%1 %2 %3").arg(int(c.bRecurse)).arg(int(c.bKeepPaths)).arg(c.nMethod);
    for (const CFileSpec& spec : c.aSpecs)
        actual += QString(" %1|%2").arg(spec.strBase.c_str(), spec.strPattern.c_str());
    QCOMPARE(rc != 0 ? QString::number(rc, 16) : actual, parsed);
    QCOMPARE(report.Text().empty(), rc == 0); // a refusal says why
}

QTEST_GUILESS_MAIN(CCommandLineTest)
#include "tst_CommandLine.moc"
