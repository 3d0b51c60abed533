// Block ends: cut where the statistics change, never where they do not
// (any ends give a valid stream: the encoder suite checks that).
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
    void ChooseBlockEnds_FollowsStatistics() {
        QVERIFY(ChooseBlockEnds(CBlockSymbols(), 14, 512, 65024).empty());
        CBlockSymbols even, halves;
        AddLiterals(even, "abcd", 16000, 3); // cutting would only add tables
        QCOMPARE(ChooseBlockEnds(even, 14, 512, 65024), std::vector<size_t>{16000});
        AddLiterals(halves, "abcd", 8192, 1); // disjoint alphabets: cut between
        AddLiterals(halves, "WXYZ", 8192, 2);
        QCOMPARE(ChooseBlockEnds(halves, 14, 512, 65024), (std::vector<size_t>{8192, 16384}));
    }
};

QTEST_GUILESS_MAIN(CBlockSplitterTest)
#include "tst_BlockSplitter.moc"
