// The archiver library as the program uses it: loaded through CUnLha32 from
// a folder that also holds its "Tidewell.Ini", driven by response files like
// the archive run writes, and its archives checked by independent readers
// (lhasa, bsdtar, 7z). A missing reader fails the test.
#include "lha/UnLha32.h"
#include "lzh/ArchiveReader.h"
#include "lzh/ResultCodes.h"
#include "platform/Cp932.h"
#include "support/TempTree.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <random>

namespace {

struct CToolRun {
    int rc = -1;
    QByteArray out;
};

CToolRun RunTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    CToolRun r;
    if (!p.waitForStarted(10000) || !p.waitForFinished(60000))
        return r;
    r.rc = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAll();
    return r;
}

std::string RandomBytes(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string s(size, '\0');
    for (char& c : s)
        c = static_cast<char>(rng() & 0xFF);
    return s;
}

std::string WordText(size_t size) {
    static const char* words[] = {"Copy", "the", "folder", "tree", "onto", "another", "one", "\n"};
    std::mt19937 rng(4);
    std::string s;
    while (s.size() < size)
        s += std::string(words[rng() % 8]) + " ";
    return s.substr(0, size);
}

QByteArray ReadHostFile(const std::string& path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class CLzhArchiveTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void Pack_TreeIsReadByEveryReader_data();
    void Pack_TreeIsReadByEveryReader();
    void Pack_NamesOutsideCp932AreKeptAsUtf8();
    void Update_ReplacesOnlyNewerFiles();
    void Add_ReplacesWhateverTheTime();
    void Update_MatchesNamesWithoutRegardToCase();
    void Pack_ArchiveInsideTheSourceIsNotPackedIntoItself();
    void Refusals_data();
    void Refusals();
    void BrokenArchive_IsRefusedAndLeftAlone_data();
    void BrokenArchive_IsRefusedAndLeftAlone();
    void FailureMidRun_KeepsTheOldArchiveAndNoTemporaryFile();
    void Report_IsCutSafelyToTheBuffer();

private:
    // Writes the response file (CP932, CR LF) and calls Unlha with "@" and
    // its drive path. Returns the result; the report goes to m_report.
    int Run(const std::vector<std::string>& lines);
    std::string ArchiveHost(const std::string& name) const { return m_dst->HostPath(name); }
    // lhasa t, bsdtar -xO and 7z t all accept the archive, and lhasa lists
    // each of the names.
    void VerifyWithReaders(const std::string& archive, const QStringList& names);
    QStringList TemporaryFilesIn(const std::string& hostFolder) const;

    QTemporaryDir m_libDir;
    std::string m_strLibrary;
    std::unique_ptr<CTempTree> m_src, m_dst;
    std::string m_report;
};

void CLzhArchiveTest::initTestCase() {
    for (const char* tool : {"lhasa", "bsdtar", "7z"})
        QVERIFY2(RunTool(tool, {"--help"}).rc != -1,
                 qPrintable(QString("%1 is not installed").arg(tool)));
    QVERIFY(m_libDir.isValid());
    m_strLibrary = m_libDir.filePath("libunlha32.so").toStdString();
    QVERIFY(QFile::copy(LHA_REAL_LIBRARY, QString::fromStdString(m_strLibrary)));
}

void CLzhArchiveTest::init() {
    m_src = std::make_unique<CTempTree>('S');
    m_dst = std::make_unique<CTempTree>('D');
    QVERIFY(m_src->IsValid() && m_dst->IsValid());
    // The library's own drive map: LF lines, other letter case, blanks.
    QFile ini(m_libDir.filePath("Tidewell.Ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(QString("[drives]\n s = %1\nd=%2/\n")
                  .arg(QString::fromStdString(m_src->HostRoot()),
                       QString::fromStdString(m_dst->HostRoot()))
                  .toUtf8());
}

void CLzhArchiveTest::cleanup() {
    m_src.reset();
    m_dst.reset();
}

int CLzhArchiveTest::Run(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        auto cp932 = Utf8ToCp932(line);
        if (!cp932)
            return -1;
        text += *cp932 + "\r\n";
    }
    QFile resp(QString::fromStdString(m_dst->HostPath("TDW1.tmp")));
    if (!resp.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return -1;
    resp.write(text.data(), static_cast<qint64>(text.size()));
    resp.close();
    std::vector<char> buffer(65535, '\x7F');
    CUnLha32 lha(m_strLibrary);
    int rc = lha.CallUnlha(nullptr, "@D:\\TDW1.tmp", buffer.data(), 65535);
    QFile::remove(resp.fileName());
    m_report = Cp932ToUtf8(buffer.data());
    return rc;
}

void CLzhArchiveTest::VerifyWithReaders(const std::string& archive, const QStringList& names) {
    QString a = QString::fromStdString(archive);
    CToolRun test = RunTool("lhasa", {"t", a});
    QVERIFY2(test.rc == 0, test.out.constData());
    // lhasa stops silently at a bad header, so the listing must be complete.
    CToolRun list = RunTool("lhasa", {"l", a});
    for (const QString& name : names)
        QVERIFY2(list.out.contains(name.toUtf8()),
                 qPrintable("lhasa misses " + name + "\n" + list.out));
    CToolRun bsd = RunTool("bsdtar", {"-xOf", a});
    QVERIFY2(bsd.rc == 0, bsd.out.right(400).constData());
    CToolRun sevenZip = RunTool("7z", {"t", a});
    QVERIFY2(sevenZip.rc == 0 && sevenZip.out.contains("Everything is Ok"),
             sevenZip.out.constData());
}

QStringList CLzhArchiveTest::TemporaryFilesIn(const std::string& hostFolder) const {
    return QDir(QString::fromStdString(hostFolder))
        .entryList({"*.tmp*"}, QDir::Files | QDir::Hidden);
}

void CLzhArchiveTest::Pack_TreeIsReadByEveryReader_data() {
    QTest::addColumn<QString>("switches");
    QTest::newRow("default method") << QString("-x1 -r1");
    QTest::newRow("lh6") << QString("-x1 -r1 -lh6");
    QTest::newRow("lh7 run together") << QString("-x1 -r1-lh7");
}

void CLzhArchiveTest::Pack_TreeIsReadByEveryReader() {
    QFETCH(QString, switches);
    // 222 ASCII bytes of name give a header of exactly 256 bytes.
    std::string longName = std::string(218, 'L') + ".txt";
    std::vector<CTreeItem> tree = {
        {"Nested/Deeper/Deepest/Leaf.txt", "leaf\n"},
        {"Nested/Deeper/Empty/"},
        {"EmptyFolder/"},
        {"Empty.txt", ""},
        {"One.bin", "x"},
        {"Random.bin", RandomBytes(30000, 1)},
        {"Same100k.txt", std::string(100000, 'Q')},
        {"Words.txt", WordText(300000)},
        {"資料/表ソ.txt", "Shift-JIS name with 0x5C trail bytes\n"},
        {".Hidden.txt", "hidden files are packed\n"},
        {".git/Config", "hidden folders are not entered\n"},
        {longName, "long name\n"},
    };
    QVERIFY(m_src->Build(tree));
    int rc = Run({"A", "\"D:\\Packed.lzh\"", "\"S:\\\"", "\"*.*\"", switches.toStdString()});
    QCOMPARE(rc, 0);
    QVERIFY(m_report.find("Words.txt") != std::string::npos);
    std::string archive = ArchiveHost("Packed.lzh");
    VerifyWithReaders(archive,
                      {"Nested/Deeper/Deepest/Leaf.txt", "Nested/Deeper/Empty/", "EmptyFolder/",
                       "Empty.txt", "One.bin", "Random.bin", "Same100k.txt", "Words.txt",
                       ".Hidden.txt", QString::fromStdString(longName)});
    if (QTest::currentTestFailed())
        return;
    // Extracted, the tree is the source without the hidden folder.
    QTemporaryDir out;
    CToolRun x = RunTool("bsdtar", {"-xf", QString::fromStdString(archive), "-C", out.path()});
    QCOMPARE(x.rc, 0);
    QDir(QString::fromStdString(m_src->HostPath(".git"))).removeRecursively();
    std::vector<CTreeItem> expected = CTempTree::WithoutTimes(m_src->Read());
    CTempTree extracted('X');
    QDir(QString::fromStdString(extracted.HostRoot())).removeRecursively();
    QVERIFY(QDir().rename(out.path(), QString::fromStdString(extracted.HostRoot())));
    std::vector<CTreeItem> actual = CTempTree::WithoutTimes(extracted.Read());
    QVERIFY2(actual == expected,
             (DescribeTree(actual) + "\n---\n" + DescribeTree(expected)).c_str());
}

void CLzhArchiveTest::Pack_NamesOutsideCp932AreKeptAsUtf8() {
    QVERIFY(m_src->Build({{"한국어/😀 smile.txt", "not in CP932\n"}, {"Plain.txt", "plain\n"}}));
    QCOMPARE(Run({"A", "\"D:\\Wide.lzh\"", "\"S:\\\"", "\"*.*\"", "-x1 -r1"}), 0);
    // The report spells the characters it cannot show.
    QVERIFY2(m_report.find("[U+1F600]") != std::string::npos, m_report.c_str());
    std::string archive = ArchiveHost("Wide.lzh");
    CToolRun list = RunTool("bsdtar", {"-tf", QString::fromStdString(archive)});
    QCOMPARE(list.rc, 0);
    QVERIFY2(list.out.contains("한국어/😀 smile.txt"), list.out.constData());
    CToolRun content =
        RunTool("bsdtar", {"-xOf", QString::fromStdString(archive), "한국어/😀 smile.txt"});
    QCOMPARE(content.out, QByteArray("not in CP932\n"));
    CToolRun sevenZip = RunTool("7z", {"t", QString::fromStdString(archive)});
    QVERIFY(sevenZip.out.contains("Everything is Ok"));
}

void CLzhArchiveTest::Update_ReplacesOnlyNewerFiles() {
    const int64_t t = 1700000000;
    QVERIFY(m_src->Build({{"Newer.txt", "old newer\n", t},
                          {"Equal.txt", "old equal\n", t},
                          {"Older.txt", "old older\n", t}}));
    const std::vector<std::string> update = {"U", "\"D:\\Up.lzh\"", "\"S:\\\"", "\"*.txt\"",
                                             "-x1 -r1"};
    QCOMPARE(Run(update), 0);
    std::string archive = ArchiveHost("Up.lzh");
    QByteArray before = ReadHostFile(archive);

    // Nothing changed: the archive is not rewritten at all.
    QCOMPARE(Run(update), 0);
    QCOMPARE(ReadHostFile(archive), before);

    QVERIFY(m_src->AddFile("Newer.txt", "new newer\n", t + 1));
    QVERIFY(m_src->AddFile("Equal.txt", "new equal\n", t));
    QVERIFY(m_src->AddFile("Older.txt", "new older\n", t - 10));
    QVERIFY(m_src->AddFile("Added.txt", "added\n", t - 100));
    QCOMPARE(Run(update), 0);
    VerifyWithReaders(archive, {"Newer.txt", "Equal.txt", "Older.txt", "Added.txt"});
    auto member = [&](const char* name) {
        return RunTool("bsdtar", {"-xOf", QString::fromStdString(archive), name}).out;
    };
    QCOMPARE(member("Newer.txt"), QByteArray("new newer\n"));
    QCOMPARE(member("Equal.txt"), QByteArray("old equal\n"));
    QCOMPARE(member("Older.txt"), QByteArray("old older\n"));
    QCOMPARE(member("Added.txt"), QByteArray("added\n"));
    // The stored time is the file's, to the second.
    CToolRun listing = RunTool("7z", {"l", "-slt", QString::fromStdString(archive)});
    QVERIFY(listing.out.contains("Modified = 2023-11-14 22:13:21") ||
            listing.out.contains("Modified = 2023-11-15 07:13:21")); // UTC or JST display
}

void CLzhArchiveTest::Add_ReplacesWhateverTheTime() {
    const int64_t t = 1700000000;
    QVERIFY(m_src->Build({{"Doc.txt", "first\n", t}}));
    const std::vector<std::string> add = {"a", "\"D:\\Add.lzh\"", "\"S:\\\"", "\"doc.TXT\"", ""};
    QCOMPARE(Run(add), 0);
    QVERIFY(m_src->AddFile("Doc.txt", "second\n", t - 3600));
    QCOMPARE(Run(add), 0);
    std::string archive = ArchiveHost("Add.lzh");
    QCOMPARE(RunTool("bsdtar", {"-xOf", QString::fromStdString(archive), "Doc.txt"}).out,
             QByteArray("second\n"));
    // Replaced in place, not added twice.
    unlha::CMemoryAccess access(ReadHostFile(archive).toStdString());
    std::vector<unlha::CArchiveMember> members;
    std::string detail;
    QCOMPARE(unlha::ReadArchiveMembers(access, members, detail), 0);
    QCOMPARE(members.size(), size_t{1});
}

// Names compare as on Windows: a member "Doc.txt" is the file "DOC.TXT".
void CLzhArchiveTest::Update_MatchesNamesWithoutRegardToCase() {
    const int64_t t = 1700000000;
    QVERIFY(m_src->Build({{"Doc.txt", "first\n", t}}));
    const std::vector<std::string> update = {"U", "\"D:\\Case.lzh\"", "\"S:\\\"", "\"*.*\"", ""};
    QCOMPARE(Run(update), 0);
    QVERIFY(QFile::remove(QString::fromStdString(m_src->HostPath("Doc.txt"))));
    QVERIFY(m_src->AddFile("DOC.TXT", "second\n", t + 10));
    QCOMPARE(Run(update), 0);
    unlha::CMemoryAccess access(ReadHostFile(ArchiveHost("Case.lzh")).toStdString());
    std::vector<unlha::CArchiveMember> members;
    std::string detail;
    QCOMPARE(unlha::ReadArchiveMembers(access, members, detail), 0);
    QCOMPARE(members.size(), size_t{1});
    QCOMPARE(members[0].strPath, std::string("DOC.TXT"));
}

void CLzhArchiveTest::Pack_ArchiveInsideTheSourceIsNotPackedIntoItself() {
    QVERIFY(m_src->Build({{"A.txt", "a\n"}}));
    const std::vector<std::string> add = {"A", "\"S:\\Self.lzh\"", "\"S:\\\"", "\"*.*\"",
                                          "-x1 -r1"};
    QCOMPARE(Run(add), 0);
    QCOMPARE(Run(add), 0);
    CToolRun list = RunTool("bsdtar", {"-tf", QString::fromStdString(m_src->HostPath("Self.lzh"))});
    QCOMPARE(list.out.trimmed(), QByteArray("A.txt"));
}

void CLzhArchiveTest::Refusals_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reportMentions");
    QTest::newRow("stored default name")
        << QStringList{"U", "\"D:\\*.LZH\"", "\"S:\\\"", "\"*.*\"", "-x1 -r1"}
        << int(unlha::RESULT_NO_ARCHIVE_NAME) << QString("*.LZH");
    QTest::newRow("empty automatic name") << QStringList{"U", "\"D:\\\"", "\"S:\\\"", "\"*.*\"", ""}
                                          << int(unlha::RESULT_NO_ARCHIVE_NAME) << QString();
    QTest::newRow("unknown switch typed after -r1")
        << QStringList{"A", "\"D:\\A.lzh\"", "\"S:\\\"", "\"*.*\"", "-x1 -r1-q"}
        << int(unlha::RESULT_BAD_COMMAND) << QString("-q");
    QTest::newRow("unknown switch")
        << QStringList{"A", "\"D:\\A.lzh\"", "\"S:\\\"", "\"*.*\"", "-x1 -r1 -jf0"}
        << int(unlha::RESULT_BAD_COMMAND) << QString("-jf0");
    QTest::newRow("unknown command") << QStringList{"X", "\"D:\\A.lzh\"", "\"S:\\\"", "\"*.*\"", ""}
                                     << int(unlha::RESULT_BAD_COMMAND) << QString("X");
    QTest::newRow("empty copy list") << QStringList{"A", "\"D:\\A.lzh\"", "-x1 -r1"}
                                     << int(unlha::RESULT_NAME_REQUIRED) << QString();
    QTest::newRow("nothing matches")
        << QStringList{"A", "\"D:\\A.lzh\"", "\"S:\\\"", "\"*.none\"", ""}
        << int(unlha::RESULT_NAME_REQUIRED) << QString();
    QTest::newRow("unmapped drive") << QStringList{"A", "\"Q:\\A.lzh\"", "\"S:\\\"", "\"*.*\"", ""}
                                    << int(unlha::RESULT_ARCHIVE_OPEN) << QString("Q:");
    QTest::newRow("pattern climbing out")
        << QStringList{"A", "\"D:\\A.lzh\"", "\"S:\\\"", "\"..\\*.*\"", ""}
        << int(unlha::RESULT_BAD_COMMAND) << QString();
}

void CLzhArchiveTest::Refusals() {
    QFETCH(QStringList, lines);
    QFETCH(int, code);
    QFETCH(QString, reportMentions);
    QVERIFY(m_src->Build({{"A.txt", "a\n"}}));
    std::vector<std::string> response;
    for (const QString& line : lines)
        response.push_back(line.toStdString());
    QCOMPARE(Run(response), code);
    QVERIFY(!m_report.empty());
    QVERIFY2(m_report.find(reportMentions.toStdString()) != std::string::npos, m_report.c_str());
    // Nothing was created: no archive, no literal "*.LZH", no temporary file.
    QCOMPARE(QDir(QString::fromStdString(m_dst->HostRoot())).entryList(QDir::Files | QDir::Hidden),
             QStringList());
}

void CLzhArchiveTest::BrokenArchive_IsRefusedAndLeftAlone_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("code");
    QTest::newRow("header CRC") << "crc" << int(unlha::RESULT_HEADER_CHECKSUM);
    QTest::newRow("cut inside the data") << "cut" << int(unlha::RESULT_HEADER_BROKEN);
    QTest::newRow("not an archive") << "text" << int(unlha::RESULT_NOT_LZH);
    QTest::newRow("empty file") << "empty" << int(unlha::RESULT_NOT_LZH);
}

void CLzhArchiveTest::BrokenArchive_IsRefusedAndLeftAlone() {
    QFETCH(QString, damage);
    QFETCH(int, code);
    QVERIFY(m_src->Build({{"A.txt", WordText(5000)}, {"B.txt", "b\n"}}));
    const std::vector<std::string> update = {"U", "\"D:\\Broken.lzh\"", "\"S:\\\"", "\"*.*\"",
                                             "-x1 -r1"};
    QCOMPARE(Run(update), 0);
    std::string host = ArchiveHost("Broken.lzh");
    QByteArray bytes = ReadHostFile(host);
    if (damage == "crc")
        bytes[27] = static_cast<char>(bytes[27] ^ 0x5A);
    else if (damage == "cut")
        bytes.chop(bytes.size() / 3);
    else if (damage == "text")
        bytes = "Not an archive, just some text that happens to be here.\n";
    else
        bytes.clear();
    QVERIFY(m_dst->AddFile("Broken.lzh", bytes.toStdString()));
    QVERIFY(m_src->AddFile("C.txt", "new file\n"));
    QCOMPARE(Run(update), code);
    QCOMPARE(ReadHostFile(host), bytes);
    QCOMPARE(TemporaryFilesIn(m_dst->HostRoot()), QStringList());
}

void CLzhArchiveTest::FailureMidRun_KeepsTheOldArchiveAndNoTemporaryFile() {
    QVERIFY(m_src->Build({{"First.txt", WordText(20000)}}));
    const std::vector<std::string> add = {"A", "\"D:\\Keep.lzh\"", "\"S:\\\"", "\"*.*\"",
                                          "-x1 -r1"};
    QCOMPARE(Run(add), 0);
    QByteArray before = ReadHostFile(ArchiveHost("Keep.lzh"));
    // A file that lists as a regular file but fails when read: the run
    // fails after First.txt has already been written to the new archive.
    QVERIFY(m_src->AddSymlink("Z.bin", "/proc/self/mem"));
    QCOMPARE(Run(add), int(unlha::RESULT_FILE_OPEN));
    QVERIFY2(m_report.find("Z.bin") != std::string::npos, m_report.c_str());
    QCOMPARE(ReadHostFile(ArchiveHost("Keep.lzh")), before);
    QCOMPARE(TemporaryFilesIn(m_dst->HostRoot()), QStringList());
}

void CLzhArchiveTest::Report_IsCutSafelyToTheBuffer() {
    QVERIFY(m_src->Build({{"表ソ.txt", "x\n"}, {"B.txt", "b\n"}}));
    CUnLha32 lha(m_strLibrary);
    const std::string cmd = "a \"D:\\Cut.lzh\" \"S:\\\" *.txt";
    std::string full;
    for (uint32_t size : {0u, 1u, 2u, 3u, 4u, 5u, 9u, 64u, 65535u}) {
        QFile::remove(QString::fromStdString(ArchiveHost("Cut.lzh")));
        std::vector<char> buffer(size + 16, '#');
        char* output = size == 0 ? nullptr : buffer.data();
        QCOMPARE(lha.CallUnlha(nullptr, cmd, output, size), 0);
        for (size_t i = size; i < buffer.size(); ++i)
            QCOMPARE(buffer[i], '#'); // nothing past the given size
        if (size == 0)
            continue;
        size_t length = std::strlen(buffer.data());
        QVERIFY(length < size);
        if (size == 65535)
            full = std::string(buffer.data(), length);
        // Never half a two-byte character: the text converts back whole.
        QVERIFY(Cp932ToUtf8(std::string(buffer.data(), length)).find("\xEF\xBF\xBD") ==
                std::string::npos);
    }
    QVERIFY(full.size() > 9);
    QVERIFY(Cp932ToUtf8(full).find("表ソ.txt") != std::string::npos);
}

QTEST_GUILESS_MAIN(CLzhArchiveTest)
#include "LzhArchiveTest.moc"
