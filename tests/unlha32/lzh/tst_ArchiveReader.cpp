// The reader of existing archives: reference archives of levels 1 and 2,
// and refusal of truncated, corrupt and hostile ones (random damage is the
// fuzz target's: unlha32/fuzz).
#include "TestData.h"
#include "lzh/ArchiveReader.h"
#include "lzh/Crc16.h"
#include "lzh/LzhHeader.h"
#include "lzh/ResultCodes.h"

#include <QTest>

using namespace unlha;

namespace {

// The reader's answer: its code, then "path[/] offset+length time[ dos]" per member.
QString Read(const std::string& bytes) {
    CMemoryAccess access(bytes);
    std::vector<CArchiveMember> members;
    std::string detail;
    int rc = ReadArchiveMembers(access, members, detail);
    QString read = rc != 0 && detail.empty() ? "no reason given" : QString::number(rc, 16);
    for (const CArchiveMember& m : rc == 0 ? members : std::vector<CArchiveMember>())
        read +=
            QString::asprintf(" %s%s %d+%d %x%s", m.strPath.c_str(), m.bFolder ? "/" : "",
                              int(m.nOffset), int(m.nLength), m.nTime, m.bDosTime ? " dos" : "");
    return read;
}

// bytes with bytes[at] = value and, for crcLength > 0, the level-2 header CRC redone.
std::string Patched(std::string bytes, size_t at, int value, size_t crcLength = 0) {
    bytes[at] = static_cast<char>(value);
    if (crcLength != 0) {
        bytes[27] = bytes[28] = 0;
        uint16_t crc = Crc16(bytes.data(), crcLength);
        bytes.replace(27, 2, {static_cast<char>(crc & 0xFF), static_cast<char>(crc >> 8)});
    }
    return bytes;
}

std::string Hostile(const std::string& name, const std::string& dir = "") {
    CMemberInfo info;
    info.strName = name;
    info.strDir = dir;
    return BuildLevel2Header(info) + '\0';
}

} // namespace

class CArchiveReaderTest : public QObject {
    Q_OBJECT

private slots:
    void Read_RefusesTruncatedArchives() {
        std::string both = Hex(kFolderAndFileArchive);
        for (size_t cut = 0; cut < both.size(); ++cut) {
            QString read = Read(both.substr(0, cut)), whole = Read(both);
            if (cut == 0x2F || cut == both.size() - 1) // no end marker: tolerated after a member
                QCOMPARE(read, cut == 0x2F ? whole.section(" docs/hello", 0, 0) : whole);
            else
                QVERIFY2(read == "801b" || (cut >= 21 && read == "8017"),
                         qPrintable(QString("cut %1 gave %2").arg(cut).arg(read)));
        }
    }

    void Read_ReferenceAndBrokenArchives_data() {
        QTest::addColumn<std::string>("bytes");
        QTest::addColumn<QString>("read"); // the code, then "path[/] offset+length time [dos]" each
        std::string both = Hex(kFolderAndFileArchive), level1 = Hex(kLevel1Archive);
        std::string folder = both.substr(0, 0x2F), file = both.substr(0x2F, 0x33);
        std::string level1Abs = Patched(level1, 22, '/'); // "/ello.txt", header sum redone
        level1Abs[1] = static_cast<char>(level1[1] + '/' - level1[22]);
        const struct {
            const char* name;
            std::string bytes;
            const char* read = "8017"; // RESULT_HEADER_BROKEN
        } rows[] = {
            {"level 2, empty file", Hex(kEmptyFileArchive), "0 empty.txt 0+43 60406abf"},
            {"level 2, folder and file", both,
             "0 docs/ 0+47 60406abf docs/hello.txt 47+63 60406abf"},
            {"level 1, DOS time", level1,
             "0 hello.txt 0+48 526428c3 dos"}, // 2021-03-04 05:06:06 local
            {"level-2 header CRC", Patched(both, 27, both[27] ^ 1), "8016"},
            {"level-1 header sum", Patched(level1, 1, level1[1] ^ 1), "8016"},
            {"data past the end", folder + Patched(file, 7, 100, 0x33) + "hello world\n"},
            {"header length too small", Patched(both, 0, 10)},
            {"header length past the end", Patched(Patched(both, 0, 0xFF), 1, 0xFF)},
            {"record shorter than its fields", Patched(folder, 24, 1, 0x2F) + '\0'},
            {"record past the header", Patched(folder, 29, 0x40) + '\0'},
            {"dot-dot folder", Hostile("a.txt", "..\xFF")},
            {"dot-dot inside", Hostile("a.txt", "x\xFF..\xFFy\xFF")},
            {"absolute folder", Hostile("passwd", std::string("\xFF") + "etc\xFF")},
            {"slash in name", Hostile("/etc/passwd")},
            {"backslash dot-dot", Hostile("..\\..\\x")},
            {"drive letter", Hostile("C:evil")},
            {"no name", Hostile("")},
            {"level-1 absolute name", level1Abs},
            {"unknown level", Patched(both, 20, 3)},
            {"text file", "This is not an archive, only text.\n", "801b"}, // RESULT_NOT_LZH
            {"empty file", "", "801b"},
            {"end marker only", std::string(1, '\0'), "801b"},
            {"junk after a member", both.substr(0, both.size() - 1) + "garbage, no header"},
        };
        for (const auto& row : rows)
            QTest::newRow(row.name) << row.bytes << QString(row.read);
    }
    void Read_ReferenceAndBrokenArchives() {
        QFETCH(std::string, bytes);
        QFETCH(QString, read);
        QCOMPARE(Read(bytes), read);
    }
};

QTEST_GUILESS_MAIN(CArchiveReaderTest)
#include "tst_ArchiveReader.moc"
