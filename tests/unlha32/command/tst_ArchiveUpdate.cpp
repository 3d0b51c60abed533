// Commands "a" and "u" through the library as the program loads it: from a
// folder that also holds its "Tidewell.Ini", driven by response files like
// the archive run writes, its archives checked by independent readers
// (lhasa, bsdtar, 7z; a missing reader fails the test).
#include "command/ArchiveUpdate.h"
#include "lha/UnLha32.h"
#include "lzh/ArchiveReader.h"
#include "lzh/ResultCodes.h"
#include "platform/Cp932.h"
#include "support/TempTree.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <random>

using namespace unlha;

namespace {

QByteArray RunTool(const QString& program, const QStringList& args, int* rc = nullptr) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    bool done = p.waitForStarted(10000) && p.waitForFinished(60000);
    if (rc)
        *rc = done && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return p.readAll();
}

std::string RandomBytes(size_t size) {
    std::mt19937 rng(1);
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

std::vector<std::string> Members(const std::string& hostArchive) {
    CMemoryAccess access(ReadHostFile(hostArchive).toStdString());
    std::vector<CArchiveMember> members;
    std::string detail;
    std::vector<std::string> paths;
    if (ReadArchiveMembers(access, members, detail) == 0)
        for (const CArchiveMember& m : members)
            paths.push_back(m.strPath);
    return paths;
}

} // namespace

class CArchiveUpdateTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void Pack_TreeIsReadByEveryReader_data();
    void Pack_TreeIsReadByEveryReader();
    void Update_ReplacesByTimeAndNameAndSkipsItself();
    void Update_ComparesAtTheHeadersPrecision();
    void Refusals_data();
    void Refusals();
    void Failures_LeaveTheArchiveAlone_data();
    void Failures_LeaveTheArchiveAlone();

private:
    // Writes the response file (CP932, CR LF), calls Unlha with "@" and its
    // drive path and keeps the report in m_report.
    int Run(const QStringList& lines);
    // lhasa t, bsdtar -x and 7z t accept the archive; lhasa lists each name
    // (it stops silently at a bad header).
    void VerifyWithReaders(const std::string& archive, const QStringList& names);

    QTemporaryDir m_libDir;
    std::string m_strLibrary;
    std::unique_ptr<CTempTree> m_src, m_dst;
    std::string m_report;
};

void CArchiveUpdateTest::initTestCase() {
    for (const char* tool : {"lhasa", "bsdtar", "7z"}) {
        int rc = -1;
        RunTool(tool, {"--help"}, &rc);
        QVERIFY2(rc != -1, tool);
    }
    m_strLibrary = m_libDir.filePath("libunlha32.so").toStdString();
    QVERIFY(QFile::copy(LHA_REAL_LIBRARY, QString::fromStdString(m_strLibrary)));
}

void CArchiveUpdateTest::init() {
    m_src = std::make_unique<CTempTree>('S');
    m_dst = std::make_unique<CTempTree>('D');
    // The library's own drive map: LF lines, other letter case, blanks.
    QFile ini(m_libDir.filePath("Tidewell.Ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ini.write(QString("[drives]\n s = %1\nd=%2/\n")
                  .arg(QString::fromStdString(m_src->HostRoot()),
                       QString::fromStdString(m_dst->HostRoot()))
                  .toUtf8());
}

int CArchiveUpdateTest::Run(const QStringList& lines) {
    std::string text;
    for (const QString& line : lines)
        text += Utf8ToCp932(line.toStdString()).value_or("?") + "\r\n";
    if (!m_dst->AddFile("TDW1.tmp", text))
        return -1;
    std::vector<char> buffer(65535, '\x7F');
    int rc = CUnLha32(m_strLibrary).CallUnlha(nullptr, "@D:\\TDW1.tmp", buffer.data(), 65535);
    QFile::remove(QString::fromStdString(m_dst->HostPath("TDW1.tmp")));
    m_report = Cp932ToUtf8(buffer.data());
    return rc;
}

void CArchiveUpdateTest::VerifyWithReaders(const std::string& archive, const QStringList& names) {
    QString a = QString::fromStdString(archive);
    int rc = -1;
    QByteArray out = RunTool("lhasa", {"t", a}, &rc);
    QVERIFY2(rc == 0, out.constData());
    out = RunTool("lhasa", {"l", a});
    for (const QString& name : names)
        QVERIFY2(out.contains(name.toUtf8()), qPrintable("lhasa misses " + name + "\n" + out));
    out = RunTool("bsdtar", {"-xOf", a}, &rc);
    QVERIFY2(rc == 0, out.right(400).constData());
    out = RunTool("7z", {"t", a}, &rc);
    QVERIFY2(rc == 0 && out.contains("Everything is Ok"), out.constData());
}

void CArchiveUpdateTest::Pack_TreeIsReadByEveryReader_data() {
    QTest::addColumn<QString>("switches");
    QTest::newRow("default method") << QString("-x1 -r1");
    QTest::newRow("lh6") << QString("-x1 -r1 -lh6");
    QTest::newRow("lh7 run together") << QString("-x1 -r1-lh7");
}

void CArchiveUpdateTest::Pack_TreeIsReadByEveryReader() {
    QFETCH(QString, switches);
    QString longName = QString(218, 'L') + ".txt"; // a header of exactly 256 bytes
    QStringList names = {"Nested/Deeper/Deepest/Leaf.txt",
                         "Nested/Deeper/Empty/",
                         "EmptyFolder/",
                         "Empty.txt",
                         "One.bin",
                         "Random.bin",
                         "Same100k.txt",
                         "Words.txt",
                         ".Hidden.txt",

                         longName};
    QVERIFY(m_src->Build({{"Nested/Deeper/Deepest/Leaf.txt", "leaf\n"},
                          {"Nested/Deeper/Empty/"},
                          {"EmptyFolder/"},
                          {"Empty.txt", ""},
                          {"One.bin", "x"},
                          {"Random.bin", RandomBytes(30000)},
                          {"Same100k.txt", std::string(100000, 'Q')},
                          {"Words.txt", WordText(300000)},
                          {"資料/表ソ.txt", "CP932 name with 0x5C trail bytes\n"},
                          {"한국어/😀 smile.txt", "a name outside CP932, kept as UTF-8\n"},
                          {".Hidden.txt", "hidden files are packed\n"},
                          {".git/Config", "hidden folders are not entered\n"},
                          {longName.toStdString(), "long name\n"}}));
    QCOMPARE(Run({"A", "\"D:\\Packed.lzh\"", "\"S:\\\"", "\"*.*\"", switches}), 0);
    QVERIFY(m_report.find("Words.txt") != std::string::npos);
    std::string archive = m_dst->HostPath("Packed.lzh");
    VerifyWithReaders(archive, names);
    if (QTest::currentTestFailed())
        return;
    // Extracted, the tree is the source without the hidden folder.
    CTempTree extracted('X');
    int rc = -1;
    RunTool("bsdtar",
            {"-xf", QString::fromStdString(archive), "-C",
             QString::fromStdString(extracted.HostRoot())},
            &rc);
    QCOMPARE(rc, 0);
    QDir(QString::fromStdString(m_src->HostPath(".git"))).removeRecursively();
    std::vector<CTreeItem> expected = CTempTree::WithoutTimes(m_src->Read());
    std::vector<CTreeItem> actual = CTempTree::WithoutTimes(extracted.Read());
    QVERIFY2(actual == expected,
             (DescribeTree(actual) + "\n---\n" + DescribeTree(expected)).c_str());
}

// "u" replaces a member only with a strictly newer file, "a" whatever the
// time; names compare as on Windows; the archive inside the packed folder
// is not packed into itself, and a call that changes nothing writes nothing.
void CArchiveUpdateTest::Update_ReplacesByTimeAndNameAndSkipsItself() {
    const int64_t t = 1700000000;
    QVERIFY(m_src->Build({{"Newer.txt", "old newer\n", t},
                          {"Equal.txt", "old equal\n", t},
                          {"Older.txt", "old older\n", t},
                          {"Doc.txt", "first\n", t}}));
    const QStringList update = {"U", "\"S:\\Up.lzh\"", "\"S:\\\"", "\"*.*\"", "-x1 -r1"};
    QCOMPARE(Run(update), 0);
    std::string archive = m_src->HostPath("Up.lzh");
    QByteArray before = ReadHostFile(archive);
    QCOMPARE(Run(update), 0);
    QCOMPARE(ReadHostFile(archive), before);

    QVERIFY(m_src->AddFile("Newer.txt", "new newer\n", t + 1));
    QVERIFY(m_src->AddFile("Equal.txt", "new equal\n", t));
    QVERIFY(m_src->AddFile("Older.txt", "new older\n", t - 10));
    QVERIFY(m_src->AddFile("Added.txt", "added\n", t - 100));
    QVERIFY(QFile::remove(QString::fromStdString(m_src->HostPath("Doc.txt"))));
    QVERIFY(m_src->AddFile("DOC.TXT", "second\n", t + 10));
    QCOMPARE(Run(update), 0);
    VerifyWithReaders(archive, {"Newer.txt", "Equal.txt", "Older.txt", "Added.txt"});
    auto member = [&](const char* name) {
        return RunTool("bsdtar", {"-xOf", QString::fromStdString(archive), name});
    };
    QCOMPARE(member("Newer.txt"), QByteArray("new newer\n"));
    QCOMPARE(member("Equal.txt"), QByteArray("old equal\n"));
    QCOMPARE(member("Older.txt"), QByteArray("old older\n"));
    QCOMPARE(member("Added.txt"), QByteArray("added\n"));
    QCOMPARE(member("DOC.TXT"), QByteArray("second\n"));
    // The stored time is the file's, to the second (shown in UTC or JST).
    QByteArray listing = RunTool("7z", {"l", "-slt", QString::fromStdString(archive)});
    QVERIFY(listing.contains("Modified = 2023-11-14 22:13:21") ||
            listing.contains("Modified = 2023-11-15 07:13:21"));

    QCOMPARE(Run({"a", "\"S:\\Up.lzh\"", "\"S:\\\"", "\"older.TXT\"", ""}), 0);
    QCOMPARE(member("Older.txt"), QByteArray("new older\n"));
    std::vector<std::string> paths = Members(archive); // replaced in place, never twice
    std::sort(paths.begin(), paths.end());
    QCOMPARE(paths, (std::vector<std::string>{"Added.txt", "DOC.TXT", "Equal.txt", "Newer.txt",
                                              "Older.txt"}));
}

// Level-0/1 members hold local MS-DOS time in 2-second steps: a file whose
// time differs only in the dropped odd second is not newer.
void CArchiveUpdateTest::Update_ComparesAtTheHeadersPrecision() {
    QByteArray savedTz = qgetenv("TZ");
    qputenv("TZ", "UTC");
    tzset();
    const int64_t t = 1614834366;        // 2021-03-04 05:06:06 UTC
    QCOMPARE(DosTimeOf(t), 0x526428C3u); // the format's worked example
    QCOMPARE(DosTimeOf(t + 1), 0x526428C3u);
    QCOMPARE(DosTimeOf(315532800 - 1), 0u); // before 1980: no DOS time
    QVERIFY(!IsNewerThanMember(t + 1, true, DosTimeOf(t)) &&
            IsNewerThanMember(t + 2, true, DosTimeOf(t)));
    QVERIFY(!IsNewerThanMember(t - 2, true, DosTimeOf(t)));
    // Level 2: whole seconds since 1970.
    QVERIFY(!IsNewerThanMember(t, false, uint32_t(t)) &&
            IsNewerThanMember(t + 1, false, uint32_t(t)));
    QVERIFY(!IsNewerThanMember(-5, false, 0));
    qputenv("TZ", savedTz);
    tzset();
}

void CArchiveUpdateTest::Refusals_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("reportMentions");
    auto row = [](const char* name, QString archive, QString pattern, QString switches, int code,
                  QString mention) {
        QTest::newRow(name) << QStringList{"A", archive, "\"S:\\\"", pattern, switches} << code
                            << mention;
    };
    row("stored default name", "\"D:\\*.LZH\"", "\"*.*\"", "", RESULT_NO_ARCHIVE_NAME, "*.LZH");
    row("empty automatic name", "\"D:\\\"", "\"*.*\"", "", RESULT_NO_ARCHIVE_NAME, "");
    row("unknown switch typed after -r1", "\"D:\\A.lzh\"", "\"*.*\"", "-x1 -r1-q",
        RESULT_BAD_COMMAND, "-q");
    row("unknown switch", "\"D:\\A.lzh\"", "\"*.*\"", "-x1 -r1 -jf0", RESULT_BAD_COMMAND, "-jf0");
    row("nothing matches", "\"D:\\A.lzh\"", "\"*.none\"", "", RESULT_NAME_REQUIRED, "");
    row("unmapped drive", "\"Q:\\A.lzh\"", "\"*.*\"", "", RESULT_ARCHIVE_OPEN, "Q:");
    row("pattern climbing out", "\"D:\\A.lzh\"", "\"..\\*.*\"", "", RESULT_BAD_COMMAND, "");
    QTest::newRow("unknown command")
        << QStringList{"X", "\"D:\\A.lzh\"", "\"S:\\\""} << int(RESULT_BAD_COMMAND) << "X";
    QTest::newRow("empty copy list")
        << QStringList{"U", "\"D:\\A.lzh\"", "-x1 -r1"} << int(RESULT_NAME_REQUIRED) << "";
}

void CArchiveUpdateTest::Refusals() {
    QFETCH(QStringList, lines);
    QFETCH(int, code);
    QFETCH(QString, reportMentions);
    QVERIFY(m_src->Build({{"A.txt", "a\n"}}));
    QCOMPARE(Run(lines), code);
    QVERIFY2(!m_report.empty() && m_report.find(reportMentions.toStdString()) != std::string::npos,
             m_report.c_str());
    // Nothing was created: no archive, no literal "*.LZH", no temporary file.
    QCOMPARE(QDir(QString::fromStdString(m_dst->HostRoot())).entryList(QDir::Files | QDir::Hidden),
             QStringList());
}

void CArchiveUpdateTest::Failures_LeaveTheArchiveAlone_data() {
    QTest::addColumn<QString>("damage");
    QTest::addColumn<int>("code");
    QTest::newRow("header CRC") << "crc" << int(RESULT_HEADER_CHECKSUM);
    QTest::newRow("cut inside the data") << "cut" << int(RESULT_HEADER_BROKEN);
    QTest::newRow("not an archive") << "text" << int(RESULT_NOT_LZH);
    QTest::newRow("empty file") << "empty" << int(RESULT_NOT_LZH);
    // Lists as a regular file but fails when read: the run fails after the
    // other files went into the new archive.
    QTest::newRow("unreadable source") << "source" << int(RESULT_FILE_OPEN);
}

void CArchiveUpdateTest::Failures_LeaveTheArchiveAlone() {
    QFETCH(QString, damage);
    QFETCH(int, code);
    QVERIFY(m_src->Build({{"A.txt", WordText(20000)}, {"B.txt", "b\n"}}));
    const QStringList add = {"A", "\"D:\\Keep.lzh\"", "\"S:\\\"", "\"*.*\"", "-x1 -r1"};
    QCOMPARE(Run(add), 0);
    std::string host = m_dst->HostPath("Keep.lzh");
    QByteArray bytes = ReadHostFile(host);
    if (damage == "crc")
        bytes[27] = static_cast<char>(bytes[27] ^ 0x5A);
    else if (damage == "cut")
        bytes.chop(bytes.size() / 3);
    else if (damage == "text")
        bytes = "Not an archive, just some text that happens to be here.\n";
    else if (damage == "empty")
        bytes.clear();
    else
        QVERIFY(m_src->AddSymlink("Z.bin", "/proc/self/mem"));
    QVERIFY(m_dst->AddFile("Keep.lzh", bytes.toStdString()));
    QCOMPARE(Run(add), code);
    QVERIFY2(damage != "source" || m_report.find("Z.bin") != std::string::npos, m_report.c_str());
    QCOMPARE(ReadHostFile(host), bytes);
    QCOMPARE(QDir(QString::fromStdString(m_dst->HostRoot())).entryList(QDir::Files | QDir::Hidden),
             QStringList{"Keep.lzh"});
}

QTEST_GUILESS_MAIN(CArchiveUpdateTest)
#include "tst_ArchiveUpdate.moc"
