// The reader of existing archives: reference archives of levels 1 and 2,
// and refusal of truncated, corrupt and hostile ones, also under random
// mutation (the sanitizer build checks memory).
#include "TestData.h"
#include "lzh/ArchiveReader.h"
#include "lzh/Crc16.h"
#include "lzh/LzhHeader.h"
#include "lzh/ResultCodes.h"

#include <QTest>

#include <random>

using namespace unlha;

namespace {

int Read(const std::string& bytes, std::vector<CArchiveMember>& members) {
    CMemoryAccess access(bytes);
    std::string detail;
    int rc = ReadArchiveMembers(access, members, detail);
    return rc != 0 && detail.empty() ? -1 : rc; // a refusal always says why
}

// A copy of bytes with the byte at `at` set, the level-2 header CRC of the
// first crcLength bytes redone (0: left wrong).
std::string Patched(std::string bytes, size_t at, int value, size_t crcLength = 0) {
    bytes[at] = static_cast<char>(value);
    if (crcLength != 0) {
        bytes[27] = bytes[28] = 0;
        uint16_t crc = Crc16(bytes.data(), crcLength);
        bytes[27] = static_cast<char>(crc & 0xFF);
        bytes[28] = static_cast<char>(crc >> 8);
    }
    return bytes;
}

std::string Hostile(const std::string& name, const std::string& dir) {
    CMemberInfo info;
    info.strName = name;
    info.strDir = dir;
    return BuildLevel2Header(info) + '\0';
}

} // namespace

class CArchiveReaderTest : public QObject {
    Q_OBJECT

private slots:
    void Read_ReferenceArchives();
    void Read_RefusesTruncatedArchives();
    void Read_RefusesBrokenHeaders_data();
    void Read_RefusesBrokenHeaders();
    void Read_SurvivesRandomMutation();
};

void CArchiveReaderTest::Read_ReferenceArchives() {
    std::vector<CArchiveMember> m;
    QCOMPARE(Read(Hex(kEmptyFileArchive), m), 0);
    QCOMPARE(m.size(), size_t{1});
    QCOMPARE(m[0].strPath, std::string("empty.txt"));
    QVERIFY(m[0].nTime == 1614834367u && !m[0].bDosTime);
    QCOMPARE(Read(Hex(kFolderAndFileArchive), m), 0);
    QCOMPARE(m.size(), size_t{2});
    QVERIFY(m[0].bFolder && m[0].strPath == "docs" && m[1].strPath == "docs/hello.txt");
    QCOMPARE(m[1].nOffset, uint64_t{0x2F});
    QCOMPARE(m[1].nLength, uint64_t{0x33 + 12});
    QCOMPARE(Read(Hex(kLevel1Archive), m), 0);
    QCOMPARE(m.size(), size_t{1});
    QVERIFY(m[0].strPath == "hello.txt" && m[0].bDosTime);
    QCOMPARE(m[0].nTime, 0x526428C3u); // 2021-03-04 05:06:06 local
    QCOMPARE(m[0].nLength, uint64_t{0x24 + 12});
}

void CArchiveReaderTest::Read_RefusesTruncatedArchives() {
    std::string both = Hex(kFolderAndFileArchive);
    for (size_t cut = 0; cut < both.size(); ++cut) {
        std::vector<CArchiveMember> members;
        int rc = Read(both.substr(0, cut), members);
        if (cut == 0x2F || cut == both.size() - 1) { // a missing end marker is tolerated
            QCOMPARE(rc, 0);                         // at a member boundary
            QCOMPARE(members.size(), cut == 0x2F ? size_t{1} : size_t{2});
        } else {
            QVERIFY2(rc == RESULT_NOT_LZH || (cut >= 21 && rc == RESULT_HEADER_BROKEN),
                     qPrintable(QString("cut %1 gave %2").arg(cut).arg(rc, 0, 16)));
        }
    }
}

void CArchiveReaderTest::Read_RefusesBrokenHeaders_data() {
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<int>("code");
    std::string both = Hex(kFolderAndFileArchive), level1 = Hex(kLevel1Archive);
    std::string folder = both.substr(0, 0x2F), file = both.substr(0x2F, 0x33);
    int broken = RESULT_HEADER_BROKEN;
    QTest::newRow("level-2 header CRC")
        << Patched(both, 27, both[27] ^ 1) << int(RESULT_HEADER_CHECKSUM);
    QTest::newRow("level-1 header sum")
        << Patched(level1, 1, level1[1] ^ 1) << int(RESULT_HEADER_CHECKSUM);
    QTest::newRow("data past the end") << folder + Patched(file, 7, 100, 0x33) + "hello world\n"
                                       << broken;
    QTest::newRow("header length too small") << Patched(both, 0, 10) << broken;
    QTest::newRow("header length past the end")
        << Patched(Patched(both, 0, '\xFF'), 1, '\xFF') << broken;
    QTest::newRow("record shorter than its fields")
        << Patched(folder, 24, 1, 0x2F) + '\0' << broken;
    QTest::newRow("record past the header") << Patched(folder, 29, 0x40) + '\0' << broken;
    QTest::newRow("dot-dot folder") << Hostile("a.txt", "..\xFF") << broken;
    QTest::newRow("dot-dot inside") << Hostile("a.txt", "x\xFF..\xFFy\xFF") << broken;
    QTest::newRow("absolute folder") << Hostile("passwd", "\xFF"
                                                          "etc\xFF")
                                     << broken;
    QTest::newRow("slash in name") << Hostile("/etc/passwd", "") << broken;
    QTest::newRow("backslash dot-dot") << Hostile("..\\..\\x", "") << broken;
    QTest::newRow("drive letter") << Hostile("C:evil", "") << broken;
    QTest::newRow("no name") << Hostile("", "") << broken;
    std::string level1Abs = Patched(level1, 22, '/'); // "/ello.txt", header sum redone
    level1Abs[1] = static_cast<char>(level1[1] + '/' - level1[22]);
    QTest::newRow("level-1 absolute name") << level1Abs << broken;
    QTest::newRow("unknown level") << Patched(both, 20, 3) << broken;
    QTest::newRow("text file") << std::string("This is not an archive, only text.\n")
                               << int(RESULT_NOT_LZH);
    QTest::newRow("empty file") << std::string() << int(RESULT_NOT_LZH);
    QTest::newRow("end marker only") << std::string(1, '\0') << int(RESULT_NOT_LZH);
    QTest::newRow("junk after a member")
        << both.substr(0, both.size() - 1) + "garbage, no header" << broken;
}

void CArchiveReaderTest::Read_RefusesBrokenHeaders() {
    QFETCH(std::string, bytes);
    QFETCH(int, code);
    std::vector<CArchiveMember> members;
    QCOMPARE(Read(bytes, members), code);
}

// Random damage gives a refusal or members that stay inside the file in
// order, with safe names.
void CArchiveReaderTest::Read_SurvivesRandomMutation() {
    std::string seed = Hex(kFolderAndFileArchive);
    seed = seed.substr(0, seed.size() - 1) + Hex(kEmptyFileArchive);
    std::mt19937 rng(20261206);
    int accepted = 0, refused = 0;
    for (int round = 0; round < 10000; ++round) {
        std::string bytes = seed;
        for (int e = 0, edits = 1 + int(rng() % 4); e < edits && !bytes.empty(); ++e) {
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
        int rc = Read(bytes, members);
        QVERIFY(rc == 0 || rc == RESULT_NOT_LZH || rc == RESULT_HEADER_BROKEN ||
                rc == RESULT_HEADER_CHECKSUM);
        ++(rc == 0 ? accepted : refused);
        if (rc != 0)
            continue;
        uint64_t end = 0;
        for (const CArchiveMember& m : members) {
            QVERIFY(m.nOffset >= end && m.nLength >= 22 && m.nOffset + m.nLength <= bytes.size());
            end = m.nOffset + m.nLength;
            QVERIFY(!m.strPath.empty() && m.strPath[0] != '/');
            QVERIFY(("/" + m.strPath + "/").find("/../") == std::string::npos);
        }
    }
    QVERIFY(accepted > 0 && refused > 0);
}

QTEST_GUILESS_MAIN(CArchiveReaderTest)
#include "tst_ArchiveReader.moc"
