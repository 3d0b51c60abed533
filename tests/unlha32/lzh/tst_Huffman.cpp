// Code lengths: limited to 16 bits, complete, optimal where the optimum is
// known, and turned into canonical codes.
#include "lzh/Huffman.h"

#include <QTest>

#include <algorithm>

using namespace unlha;

class CHuffmanTest : public QObject {
    Q_OBJECT

private slots:
    void Lengths_LimitedCompleteOptimalAndCanonical_data() {
        QTest::addColumn<std::vector<uint32_t>>("freq");
        QTest::addColumn<uint64_t>("optimalCost"); // sum of freq * length; 0: not known
        std::vector<uint32_t> fib = {1, 1};
        while (fib.size() < 30) // a plain Huffman tree would be 29 deep
            fib.push_back(fib[fib.size() - 1] + fib[fib.size() - 2]);
        QTest::newRow("fibonacci 30") << fib << uint64_t{0};
        QTest::newRow("textbook") << std::vector<uint32_t>{5, 9, 12, 13, 16, 45} << uint64_t{224};
        QTest::newRow("two symbols") << std::vector<uint32_t>{0, 5, 0, 9} << uint64_t{14};
        QTest::newRow("all equal")
            << std::vector<uint32_t>(19, 4) << uint64_t{4 * (13 * 4 + 6 * 5)};
    }
    void Lengths_LimitedCompleteOptimalAndCanonical() {
        QFETCH(std::vector<uint32_t>, freq);
        QFETCH(uint64_t, optimalCost);
        std::vector<uint8_t> len;
        unsigned used = MakeCodeLengths(freq, len);
        std::vector<uint16_t> codes = MakeCanonicalCodes(len);
        uint64_t kraft = 0, cost = 0;
        std::vector<unsigned> order; // used symbols by length, then symbol
        for (unsigned s = 0; s < freq.size(); ++s) {
            QVERIFY((len[s] == 0) == (freq[s] == 0) && len[s] <= 16);
            kraft += len[s] ? uint64_t{1} << (16 - len[s]) : 0;
            cost += uint64_t{freq[s]} * len[s];
            if (len[s] != 0)
                order.push_back(s);
        }
        QVERIFY(used == order.size() && kraft == uint64_t{1} << 16);
        QVERIFY(optimalCost == 0 || cost == optimalCost);
        // Counts raised to a floor: still complete and limited over the same
        // symbols, never cheaper for the data than an optimal code.
        std::vector<uint8_t> flat(freq.size());
        CSortedSymbols(freq.data(), unsigned(freq.size())).Lengths(8, flat.data());
        uint64_t flatKraft = 0, flatCost = 0;
        for (unsigned s = 0; s < freq.size(); ++s) {
            QVERIFY((flat[s] == 0) == (freq[s] == 0) && flat[s] <= 16);
            flatKraft += flat[s] ? uint64_t{1} << (16 - flat[s]) : 0;
            flatCost += uint64_t{freq[s]} * flat[s];
        }
        QVERIFY(flatKraft == uint64_t{1} << 16 && (optimalCost == 0 || flatCost >= cost));
        std::stable_sort(order.begin(), order.end(),
                         [&](unsigned a, unsigned b) { return len[a] < len[b]; });
        // Canonical: the first code is 0, each next one follows the last.
        QCOMPARE(codes[order[0]], uint16_t{0});
        for (size_t k = 1; k < order.size(); ++k) {
            unsigned a = order[k - 1], b = order[k];
            QCOMPARE(codes[b], static_cast<uint16_t>((codes[a] + 1) << (len[b] - len[a])));
        }
    }
};

QTEST_GUILESS_MAIN(CHuffmanTest)
#include "tst_Huffman.moc"
