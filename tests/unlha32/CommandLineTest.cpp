// The archiver's command line and drive map: tokens, response files,
// switches, base folders with their patterns, and the "Drives" section.
#include "command/CommandLine.h"
#include "command/DriveTable.h"
#include "command/FileCollector.h"
#include "lzh/ResultCodes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace unlha;

class CCommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void SplitTokens_QuotesAndBlanks();
    void Parse_ResponseFileAsTheArchiveRunWritesIt();
    void Parse_ResponseFilePathWithBlanks();
    void Parse_Switches_data();
    void Parse_Switches();
    void Parse_BaseFoldersAndPatterns();
    void Parse_Failures_data();
    void Parse_Failures();
    void DriveTable_ReadsTheDrivesSection();
    void WildcardMatch_data();
    void WildcardMatch();
};

void CCommandLineTest::SplitTokens_QuotesAndBlanks() {
    std::vector<CToken> t = SplitTokens("  a \"D:\\My Files\\x.lzh\"\t-r1  \"\"  ab\"c d\"e \r\n");
    QCOMPARE(t.size(), size_t{5});
    QCOMPARE(t[0].strText, std::string("a"));
    QCOMPARE(t[1].strText, std::string("D:\\My Files\\x.lzh"));
    QVERIFY(t[1].bQuoted && !t[2].bQuoted);
    QCOMPARE(t[3].strText, std::string()); // an empty quoted token is kept
    QCOMPARE(t[4].strText, std::string("abc de"));
    // A CP932 character whose second byte is 0x5C stays whole.
    std::vector<CToken> sjis = SplitTokens("\"S:\\\x95\x5C\\\"");
    QCOMPARE(sjis.size(), size_t{1});
    QCOMPARE(sjis[0].strText, std::string("S:\\\x95\x5C\\"));
}

void CCommandLineTest::Parse_ResponseFileAsTheArchiveRunWritesIt() {
    QTemporaryDir dir;
    QFile f(dir.filePath("TDW1.tmp"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    // Two patterns, the source folder repeated before each, switches last.
    f.write("U\r\n\"D:\\Backup\\SAVE.LZH\"\r\n\"E:\\Work\\\"\r\n\"*.doc\"\r\n\"E:\\Work\\\"\r\n\"*."
            "txt\"\r\n-x1 -r1\r\n");
    f.close();
    CDriveTable drives;
    CCommand command;
    CReport report;
    QCOMPARE(
        ParseCommandLine("@" + dir.filePath("TDW1.tmp").toStdString(), drives, command, report), 0);
    QCOMPARE(command.cCommand, 'u');
    QCOMPARE(command.strArchive, std::string("D:\\Backup\\SAVE.LZH"));
    QCOMPARE(command.aSpecs.size(), size_t{2});
    QCOMPARE(command.aSpecs[0].strBase, std::string("E:\\Work\\"));
    QCOMPARE(command.aSpecs[0].strPattern, std::string("*.doc"));
    QCOMPARE(command.aSpecs[1].strPattern, std::string("*.txt"));
    QVERIFY(command.bRecurse && command.bKeepPaths);
    QCOMPARE(command.nMethod, 5);
}

void CCommandLineTest::Parse_ResponseFilePathWithBlanks() {
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("Temp Folder"));
    QString path = dir.filePath("Temp Folder/TDW2.tmp");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("A\n\"C:\\x.lzh\"\n\"C:\\src\\\"\n\"*.*\"\n\n"); // LF lines and an empty switch line
    f.close();
    CDriveTable drives;
    CCommand command;
    CReport report;
    QCOMPARE(ParseCommandLine("@" + path.toStdString(), drives, command, report), 0);
    QCOMPARE(command.cCommand, 'a');
    QVERIFY(!command.bRecurse && !command.bKeepPaths);
    // The same file named by a drive path through the map.
    drives.LoadFromProfile("/nonexistent");
    std::string drivePath = "C:" + path.toStdString();
    for (char& c : drivePath)
        if (c == '/')
            c = '\\';
    QCOMPARE(ParseCommandLine("@" + drivePath, drives, command, report), 0);
}

void CCommandLineTest::Parse_Switches_data() {
    QTest::addColumn<QString>("switches");
    QTest::addColumn<bool>("recurse");
    QTest::addColumn<bool>("keepPaths");
    QTest::addColumn<int>("method");
    QTest::newRow("none") << "" << false << false << 5;
    QTest::newRow("archive run") << "-x1 -r1" << true << true << 5;
    QTest::newRow("typed without blank") << "-x1 -r1-lh7" << true << true << 7;
    QTest::newRow("typed with blank") << "-x1 -r1 -lh6" << true << true << 6;
    QTest::newRow("upper case, trailing dash") << "-R1 -X1 -LH6-" << true << true << 6;
    QTest::newRow("turned off again") << "-x1 -r1 -r0" << false << true << 5;
    QTest::newRow("bare letters") << "-r -x" << true << true << 5;
}

void CCommandLineTest::Parse_Switches() {
    QFETCH(QString, switches);
    QFETCH(bool, recurse);
    QFETCH(bool, keepPaths);
    QFETCH(int, method);
    CDriveTable drives;
    CCommand command;
    CReport report;
    QCOMPARE(ParseCommandLine("a x.lzh C:\\src\\ *.* " + switches.toStdString(), drives, command,
                              report),
             0);
    QCOMPARE(command.bRecurse, recurse);
    QCOMPARE(command.bKeepPaths, keepPaths);
    QCOMPARE(command.nMethod, method);
}

void CCommandLineTest::Parse_BaseFoldersAndPatterns() {
    CDriveTable drives;
    CCommand command;
    CReport report;
    QCOMPARE(ParseCommandLine("a x.lzh C:\\one\\ C:\\two\\ *.c *.h D:\\abs\\*.txt", drives, command,
                              report),
             0);
    QCOMPARE(command.aSpecs.size(), size_t{4});
    // A base folder followed by no pattern means all of its files.
    QCOMPARE(command.aSpecs[0].strBase, std::string("C:\\one\\"));
    QCOMPARE(command.aSpecs[0].strPattern, std::string("*.*"));
    QCOMPARE(command.aSpecs[2].strBase, std::string("C:\\two\\"));
    QCOMPARE(command.aSpecs[2].strPattern, std::string("*.h"));
    QCOMPARE(command.aSpecs[3].strBase, std::string("D:\\abs\\"));
    QCOMPARE(command.aSpecs[3].strPattern, std::string("*.txt"));
}

void CCommandLineTest::Parse_Failures_data() {
    QTest::addColumn<QByteArray>("cmdLine");
    QTest::addColumn<int>("code");
    QTest::newRow("empty") << QByteArray("") << int(RESULT_BAD_COMMAND);
    QTest::newRow("unknown letter") << QByteArray("x a.lzh") << int(RESULT_BAD_COMMAND);
    QTest::newRow("word for a letter") << QByteArray("add a.lzh") << int(RESULT_BAD_COMMAND);
    QTest::newRow("unknown switch") << QByteArray("a a.lzh -k") << int(RESULT_BAD_COMMAND);
    QTest::newRow("lone dash") << QByteArray("a a.lzh -") << int(RESULT_BAD_COMMAND);
    QTest::newRow("pattern without base") << QByteArray("a a.lzh *.txt") << int(RESULT_BAD_COMMAND);
    QTest::newRow("missing response file")
        << QByteArray("@/nonexistent/TDW9.tmp") << int(RESULT_RESPONSE_FILE);
    QTest::newRow("response file is a folder") << QByteArray("@/tmp") << int(RESULT_RESPONSE_FILE);
    QTest::newRow("not CP932") << QByteArray("a \"\x81\"") << int(RESULT_BAD_COMMAND);
}

void CCommandLineTest::Parse_Failures() {
    QFETCH(QByteArray, cmdLine);
    QFETCH(int, code);
    CDriveTable drives;
    CCommand command;
    CReport report;
    QCOMPARE(ParseCommandLine(cmdLine.toStdString(), drives, command, report), code);
    QVERIFY(!report.Text().empty());
}

void CCommandLineTest::DriveTable_ReadsTheDrivesSection() {
    QTemporaryDir dir;
    QFile ini(dir.filePath("Tidewell.Ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write(
        "[CopyInfo]\r\nE=/wrong\r\n\r\n[ DRIVES ]\r\ne = /srv/work/\r\nF=relative/path\r\nGG=/x\r\n"
        "C=/home/c\r\n[Other]\nH=/h\n");
    ini.close();
    CDriveTable drives;
    QCOMPARE(drives.ToHost("C:\\a\\b.txt").value_or("?"), std::string("/a/b.txt"));
    drives.LoadFromProfile(ini.fileName().toStdString());
    QCOMPARE(drives.ToHost("E:\\Data\\x.txt").value_or("?"), std::string("/srv/work/Data/x.txt"));
    QCOMPARE(drives.ToHost("e:\\").value_or("?"), std::string("/srv/work/"));
    QCOMPARE(drives.ToHost("C:\\a").value_or("?"), std::string("/home/c/a"));
    QVERIFY(!drives.ToHost("F:\\x")); // a relative value maps nothing
    QVERIFY(!drives.ToHost("H:\\x")); // another section
    QVERIFY(!drives.ToHost("E:relative"));
    QVERIFY(!drives.ToHost("x.lzh"));
    QCOMPARE(drives.ToHost("/host/path").value_or("?"), std::string("/host/path"));
}

void CCommandLineTest::WildcardMatch_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("match");
    QTest::newRow("star dot star, no dot") << "*.*"
                                           << "README" << true;
    QTest::newRow("extension, other case") << "*.TXT"
                                           << "a.txt" << true;
    QTest::newRow("extension mismatch") << "*.txt"
                                        << "a.txt.bak" << false;
    QTest::newRow("question mark, kanji") << "?.txt"
                                          << "表.txt" << true;
    QTest::newRow("question mark too short") << "??.txt"
                                             << "a.txt" << false;
    QTest::newRow("star in the middle") << "a*z"
                                        << "abcz" << true;
    QTest::newRow("exact") << "Doc.txt"
                           << "doc.TXT" << true;
}

void CCommandLineTest::WildcardMatch() {
    QFETCH(QString, pattern);
    QFETCH(QString, name);
    QFETCH(bool, match);
    QCOMPARE(unlha::WildcardMatch(pattern.toStdString(), name.toStdString()), match);
}

QTEST_GUILESS_MAIN(CCommandLineTest)
#include "CommandLineTest.moc"
