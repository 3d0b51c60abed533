// The level-2 member header: reference bytes, and a length whose low byte
// is never 0 (it would read as the end of the archive).
#include "TestData.h"
#include "lzh/LzhHeader.h"

#include <QTest>

using namespace unlha;

class CLzhHeaderTest : public QObject {
    Q_OBJECT

private slots:
    void Build_MatchesReferenceHeaders() {
        CMemberInfo empty, folder, file;
        empty.strName = "empty.txt";
        folder.strMethod = "-lhd-";
        folder.strDir = file.strDir = "docs\xFF";
        folder.nAttribute = DOS_DIRECTORY | DOS_HIDDEN;
        file.strName = "hello.txt";
        file.nPacked = file.nOriginal = 12;
        file.nCrc = 0x9778;
        empty.nTime = folder.nTime = file.nTime = 1614834367;
        std::string both = Hex(kFolderAndFileArchive);
        QCOMPARE(BuildLevel2Header(empty), Hex(kEmptyFileArchive).substr(0, 43));
        std::string hidden = both.substr(0, 0x2F);
        hidden[0x2B] = 0x12;
        hidden[27] = '\xF2'; // header CRC
        hidden[28] = '\xF0';
        QCOMPARE(BuildLevel2Header(folder), hidden);
        folder.nAttribute = DOS_DIRECTORY; // a plain folder: no record 0x40
        std::string plain = BuildLevel2Header(folder);
        QVERIFY(plain.size() == 0x2A &&
                plain.find(std::string("\x05\x00\x40", 3), 24) == std::string::npos);
        QCOMPARE(BuildLevel2Header(file), both.substr(0x2F, 0x33));
    }

    void Build_LengthNeverEndsInZeroByte() {
        int longRecords = 0;
        for (size_t n = 1; n <= 1200; ++n) {
            CMemberInfo info;
            info.strName = std::string(n, 'n');
            info.nCodePage = n % 2 ? 932 : 0;
            std::string h = BuildLevel2Header(info);
            QVERIFY(size_t(uint8_t(h[0]) | uint8_t(h[1]) << 8) == h.size() &&
                    (h.size() & 0xFF) != 0);
            longRecords += h[24] == 6 ? 1 : 0;
        }
        QVERIFY(longRecords > 0); // some lengths did need the longer CRC record
        CMemberInfo huge;
        huge.strName = std::string(4100, 'x');
        QVERIFY(BuildLevel2Header(huge).empty());
    }
};

QTEST_GUILESS_MAIN(CLzhHeaderTest)
#include "tst_LzhHeader.moc"
