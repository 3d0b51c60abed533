// Block ends: cut where the statistics change, never where they do not,
// and within the block limit at segment starts.
#include "lzh/BlockSplitter.h"

#include <QTest>

#include <random>

using namespace unlha;

class CBlockSplitterTest : public QObject {
    Q_OBJECT

    static void AddLiterals(CBlockSymbols& symbols, const std::string& alphabet, size_t count,
                            unsigned seed) {
        std::mt19937 rng(seed);
        for (size_t i = 0; i < count; ++i)
            symbols.aCodes.push_back(static_cast<uint8_t>(alphabet[rng() % alphabet.size()]));
    }

private slots:
    void ChooseBlockEnds_FollowsStatisticsWithinLimits() {
        QVERIFY(ChooseBlockEnds(CBlockSymbols(), 14, 512, 65024).empty());
        CBlockSymbols even, halves, mixed;
        AddLiterals(even, "abcd", 16384, 3); // cutting would only add tables
        QCOMPARE(ChooseBlockEnds(even, 14, 512, 65024), std::vector<size_t>{16384});
        AddLiterals(halves, "abcd", 8192, 1); // disjoint alphabets: cut between
        AddLiterals(halves, "WXYZ", 8192, 2);
        QCOMPARE(ChooseBlockEnds(halves, 14, 512, 65024), (std::vector<size_t>{8192, 16384}));
        AddLiterals(mixed, "abcd", 10000, 4);
        for (unsigned i = 0; i < 1000; ++i) { // matches, with their positions
            mixed.aCodes.push_back(static_cast<uint16_t>(kLiteralCount + i % 20));
            mixed.aPositions.push_back(static_cast<uint16_t>(i * 7 % 8191));
        }
        AddLiterals(mixed, "abcd", 2345, 5);
        size_t begin = 0;
        for (size_t end : ChooseBlockEnds(mixed, 14, 100, 1000)) {
            QVERIFY(end > begin && end - begin <= 1000 && begin % 100 == 0);
            begin = end;
        }
        QCOMPARE(begin, mixed.aCodes.size());
    }
};

QTEST_GUILESS_MAIN(CBlockSplitterTest)
#include "tst_BlockSplitter.moc"
