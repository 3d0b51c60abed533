// Member headers: the level-2 writer against reference bytes, the reader of
// existing archives against reference archives, and the reader under
// truncation, corruption, hostile names and random mutation.
#include "lzh/LzhHeader.h"
#include "command/ArchiveUpdate.h"
#include "lzh/ArchiveReader.h"
#include "lzh/Crc16.h"
#include "lzh/ResultCodes.h"

#include <QTest>

#include <random>

using namespace unlha;

namespace {

std::string FromHex(const char* hex) {
    return QByteArray::fromHex(hex).toStdString();
}

// Reference archives made by another LZH implementation (format note, 6.1).
// mtime 1614834367 = 2021-03-04 05:06:07 UTC.
const char* kEmptyFileArchive = "2B002D6C68302D0000000000000000BF6A40602002000 04D"
                                "0500003E2B 0C0001656D7074792E747874 0000 00";
const char* kFolderAndFileArchive =
    "2F002D6C68642D0000000000000000BF6A406020020000 4D 050000F348 030001 0800026"
    "46F6373FF 0500401000 0000"
    "33002D6C68302D0C0000000C000000BF6A40602002789 74D 050000D12D 0C000168656C6C"
    "6F2E747874 080002646F6373FF 0000"
    "68656C6C6F20776F726C640A 00";
const char* kLevel1Archive =
    "223F2D6C68302D0C0000000C000000C328645220010968656C6C6F2E74787478974D0000"
    "68656C6C6F20776F726C640A00";

std::string Hex(const char* spaced) {
    QByteArray s(spaced);
    s.replace(" ", "");
    return FromHex(s.constData());
}

int Read(const std::string& bytes, std::vector<CArchiveMember>& members) {
    CMemoryAccess access(bytes);
    std::string detail;
    return ReadArchiveMembers(access, members, detail);
}

void SetCrc(std::string& header, size_t crcAt) {
    header[crcAt] = header[crcAt + 1] = 0;
    uint16_t crc = Crc16(header.data(), header.size());
    header[crcAt] = static_cast<char>(crc & 0xFF);
    header[crcAt + 1] = static_cast<char>(crc >> 8);
}

} // namespace

class CLzhHeaderTest : public QObject {
    Q_OBJECT

private slots:
    void Writer_MatchesReferenceHeaders();
    void Writer_HeaderLengthNeverEndsInZeroByte();
    void Reader_ReadsReferenceArchives();
    void Reader_RefusesTruncatedArchives();
    void Reader_RefusesBrokenHeaders_data();
    void Reader_RefusesBrokenHeaders();
    void Reader_SurvivesRandomMutation();
    void Update_ComparesAtTheHeadersPrecision();
};

void CLzhHeaderTest::Writer_MatchesReferenceHeaders() {
    CMemberInfo empty;
    empty.strName = "empty.txt";
    empty.nTime = 1614834367;
    std::string archive = Hex(kEmptyFileArchive);
    QCOMPARE(QByteArray::fromStdString(BuildLevel2Header(empty)),
             QByteArray::fromStdString(archive.substr(0, 43)));

    CMemberInfo folder;
    folder.strMethod = "-lhd-";
    folder.strDir = "docs\xFF";
    folder.nAttribute = DOS_DIRECTORY;
    folder.nTime = 1614834367;
    std::string both = Hex(kFolderAndFileArchive);
    QCOMPARE(QByteArray::fromStdString(BuildLevel2Header(folder)),
             QByteArray::fromStdString(both.substr(0, 0x2F)));
    CMemberInfo file;
    file.strName = "hello.txt";
    file.strDir = "docs\xFF";
    file.nPacked = file.nOriginal = 12;
    file.nCrc = 0x9778;
    file.nTime = 1614834367;
    QCOMPARE(QByteArray::fromStdString(BuildLevel2Header(file)),
             QByteArray::fromStdString(both.substr(0x2F, 0x33)));
}

void CLzhHeaderTest::Writer_HeaderLengthNeverEndsInZeroByte() {
    int longRecords = 0;
    for (size_t n = 1; n <= 1200; ++n) {
        CMemberInfo info;
        info.strName = std::string(n, 'n');
        info.nCodePage = n % 2 ? 932 : 0;
        std::string h = BuildLevel2Header(info);
        QVERIFY(!h.empty());
        size_t total = static_cast<uint8_t>(h[0]) | (static_cast<uint8_t>(h[1]) << 8);
        QCOMPARE(total, h.size());
        QVERIFY((total & 0xFF) != 0);
        longRecords += h[24] == 6 ? 1 : 0;
        // Readable back, CRC included, with the same name.
        std::vector<CArchiveMember> members;
        QCOMPARE(Read(h + '\0', members), 0);
        QCOMPARE(members.size(), size_t{1});
        QCOMPARE(members[0].strPath, info.strName);
    }
    QVERIFY(longRecords > 0); // some lengths did need the longer CRC record
    CMemberInfo huge;
    huge.strName = std::string(4100, 'x');
    QVERIFY(BuildLevel2Header(huge).empty());
}

void CLzhHeaderTest::Reader_ReadsReferenceArchives() {
    std::vector<CArchiveMember> members;
    QCOMPARE(Read(Hex(kEmptyFileArchive), members), 0);
    QCOMPARE(members.size(), size_t{1});
    QCOMPARE(members[0].strPath, std::string("empty.txt"));
    QCOMPARE(members[0].nTime, 1614834367u);
    QVERIFY(!members[0].bDosTime);

    std::string both = Hex(kFolderAndFileArchive);
    QCOMPARE(Read(both, members), 0);
    QCOMPARE(members.size(), size_t{2});
    QVERIFY(members[0].bFolder);
    QCOMPARE(members[0].strPath, std::string("docs"));
    QCOMPARE(members[1].strPath, std::string("docs/hello.txt"));
    QCOMPARE(members[1].nOffset, uint64_t{0x2F});
    QCOMPARE(members[1].nLength, uint64_t{0x33 + 12});

    QCOMPARE(Read(Hex(kLevel1Archive), members), 0);
    QCOMPARE(members.size(), size_t{1});
    QCOMPARE(members[0].strPath, std::string("hello.txt"));
    QVERIFY(members[0].bDosTime);
    QCOMPARE(members[0].nTime, 0x526428C3u); // 2021-03-04 05:06:06 local
    QCOMPARE(members[0].nLength, uint64_t{0x24 + 12});
}

void CLzhHeaderTest::Reader_RefusesTruncatedArchives() {
    std::string both = Hex(kFolderAndFileArchive);
    const size_t firstEnd = 0x2F, secondEnd = both.size() - 1;
    for (size_t cut = 0; cut < both.size(); ++cut) {
        std::vector<CArchiveMember> members;
        int rc = Read(both.substr(0, cut), members);
        if (cut == firstEnd || cut == secondEnd) {
            QCOMPARE(rc, 0); // a missing end marker is tolerated at a member boundary
            QCOMPARE(members.size(), cut == firstEnd ? size_t{1} : size_t{2});
        } else if (cut < 21) {
            QCOMPARE(rc, static_cast<int>(RESULT_NOT_LZH));
        } else {
            QVERIFY2(rc == RESULT_HEADER_BROKEN || rc == RESULT_NOT_LZH,
                     qPrintable(QString("cut %1 gave %2").arg(cut).arg(rc, 0, 16)));
        }
    }
}

void CLzhHeaderTest::Reader_RefusesBrokenHeaders_data() {
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<int>("code");
    std::string both = Hex(kFolderAndFileArchive);
    std::string level1 = Hex(kLevel1Archive);

    std::string badCrc = both;
    badCrc[27] ^= 1;
    QTest::newRow("level-2 header CRC") << badCrc << int(RESULT_HEADER_CHECKSUM);
    std::string badSum = level1;
    badSum[1] ^= 1;
    QTest::newRow("level-1 header sum") << badSum << int(RESULT_HEADER_CHECKSUM);
    std::string fileHeader = both.substr(0x2F, 0x33);
    fileHeader[7] = 100; // packed size beyond the file
    SetCrc(fileHeader, 27);
    std::string pastEnd = both.substr(0, 0x2F) + fileHeader + "hello world\n";
    QTest::newRow("data past the end") << pastEnd << int(RESULT_HEADER_BROKEN);
    std::string tiny = both;
    tiny[0] = 10;
    QTest::newRow("header length too small") << tiny << int(RESULT_HEADER_BROKEN);
    std::string huge = both;
    huge[0] = '\xFF';
    huge[1] = '\xFF';
    QTest::newRow("header length past the end") << huge << int(RESULT_HEADER_BROKEN);
    std::string shortRecord = both.substr(0, 0x2F);
    shortRecord[24] = 1; // a record claiming one byte
    SetCrc(shortRecord, 27);
    QTest::newRow("record shorter than its fields")
        << shortRecord + '\0' << int(RESULT_HEADER_BROKEN);
    std::string longRecord = both.substr(0, 0x2F);
    longRecord[29] = 0x40; // the name record runs past the header
    QTest::newRow("record past the header") << longRecord + '\0' << int(RESULT_HEADER_BROKEN);
    auto hostile = [](const std::string& name, const std::string& dir) {
        CMemberInfo info;
        info.strName = name;
        info.strDir = dir;
        return BuildLevel2Header(info) + '\0';
    };
    QTest::newRow("dot-dot folder")
        << hostile("a.txt", std::string("..\xFF")) << int(RESULT_HEADER_BROKEN);
    QTest::newRow("dot-dot inside")
        << hostile("a.txt", std::string("x\xFF..\xFFy\xFF")) << int(RESULT_HEADER_BROKEN);
    QTest::newRow("absolute folder") << hostile("passwd", std::string("\xFF"
                                                                      "etc\xFF"))
                                     << int(RESULT_HEADER_BROKEN);
    QTest::newRow("slash in name") << hostile("/etc/passwd", "") << int(RESULT_HEADER_BROKEN);
    QTest::newRow("backslash dot-dot") << hostile("..\\..\\x", "") << int(RESULT_HEADER_BROKEN);
    QTest::newRow("drive letter") << hostile("C:evil", "") << int(RESULT_HEADER_BROKEN);
    QTest::newRow("no name") << hostile("", "") << int(RESULT_HEADER_BROKEN);
    std::string level1Abs = level1;
    level1Abs[22] = '/'; // "/ello.txt"
    uint8_t sum = 0;
    for (size_t i = 2; i < 0x24; ++i)
        sum = static_cast<uint8_t>(sum + static_cast<uint8_t>(level1Abs[i]));
    level1Abs[1] = static_cast<char>(sum);
    QTest::newRow("level-1 absolute name") << level1Abs << int(RESULT_HEADER_BROKEN);
    std::string level3 = both;
    level3[20] = 3;
    QTest::newRow("unknown level") << level3 << int(RESULT_HEADER_BROKEN);
    QTest::newRow("text file") << std::string("This is not an archive at all, only text.\n")
                               << int(RESULT_NOT_LZH);
    QTest::newRow("empty file") << std::string() << int(RESULT_NOT_LZH);
    QTest::newRow("end marker only") << std::string(1, '\0') << int(RESULT_NOT_LZH);
    std::string junkAfter = both.substr(0, both.size() - 1) + "garbage that is not a header";
    QTest::newRow("junk after a member") << junkAfter << int(RESULT_HEADER_BROKEN);
}

void CLzhHeaderTest::Reader_RefusesBrokenHeaders() {
    QFETCH(std::string, bytes);
    QFETCH(int, code);
    std::vector<CArchiveMember> members;
    CMemoryAccess access(bytes);
    std::string detail;
    QCOMPARE(ReadArchiveMembers(access, members, detail), code);
    QVERIFY(!detail.empty());
}

// Random damage must give a refusal or a member list that stays inside the
// file with safe names, never a crash (the sanitizer build checks memory).
void CLzhHeaderTest::Reader_SurvivesRandomMutation() {
    std::string seed = Hex(kFolderAndFileArchive);
    seed = seed.substr(0, seed.size() - 1) + Hex(kEmptyFileArchive);
    std::mt19937 rng(20261206);
    int accepted = 0, refused = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string bytes = seed;
        int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits && !bytes.empty(); ++e) {
            size_t at = rng() % bytes.size();
            switch (rng() % 4) {
            case 0:
                bytes[at] = static_cast<char>(rng() & 0xFF);
                break;
            case 1:
                bytes[at] = static_cast<char>(bytes[at] ^ (1 << (rng() % 8)));
                break;
            case 2:
                bytes.erase(at, 1 + rng() % 8);
                break;
            default:
                bytes.insert(at, std::string(1 + rng() % 8, static_cast<char>(rng() & 0xFF)));
            }
        }
        std::vector<CArchiveMember> members;
        CMemoryAccess access(bytes);
        std::string detail;
        int rc = ReadArchiveMembers(access, members, detail);
        if (rc != 0) {
            QVERIFY(rc == RESULT_NOT_LZH || rc == RESULT_HEADER_BROKEN ||
                    rc == RESULT_HEADER_CHECKSUM);
            ++refused;
            continue;
        }
        ++accepted;
        uint64_t end = 0;
        for (const CArchiveMember& m : members) {
            QVERIFY(m.nOffset >= end);
            QVERIFY(m.nLength >= 22);
            QVERIFY(m.nOffset + m.nLength <= bytes.size());
            end = m.nOffset + m.nLength;
            QVERIFY(!m.strPath.empty());
            QVERIFY(m.strPath[0] != '/');
            QVERIFY(("/" + m.strPath + "/").find("/../") == std::string::npos);
        }
    }
    QVERIFY(accepted > 0 && refused > 0);
}

// Level-0/1 members hold local MS-DOS time in 2-second steps: a file whose
// time differs only in the dropped odd second is not newer.
void CLzhHeaderTest::Update_ComparesAtTheHeadersPrecision() {
    QByteArray savedTz = qgetenv("TZ");
    qputenv("TZ", "UTC");
    tzset();
    const int64_t t = 1614834366;        // 2021-03-04 05:06:06 UTC
    QCOMPARE(DosTimeOf(t), 0x526428C3u); // the format note's worked example
    QCOMPARE(DosTimeOf(t + 1), 0x526428C3u);
    QVERIFY(!IsNewerThanMember(t + 1, true, DosTimeOf(t)));
    QVERIFY(IsNewerThanMember(t + 2, true, DosTimeOf(t)));
    QVERIFY(!IsNewerThanMember(t - 2, true, DosTimeOf(t)));
    QCOMPARE(DosTimeOf(315532800 - 1), 0u); // before 1980: no DOS time
    // Level 2: whole seconds since 1970.
    QVERIFY(!IsNewerThanMember(t, false, static_cast<uint32_t>(t)));
    QVERIFY(IsNewerThanMember(t + 1, false, static_cast<uint32_t>(t)));
    QVERIFY(!IsNewerThanMember(-5, false, 0));
    qputenv("TZ", savedTz);
    tzset();
}

QTEST_GUILESS_MAIN(CLzhHeaderTest)
#include "LzhHeaderTest.moc"
