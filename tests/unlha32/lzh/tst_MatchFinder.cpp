// The match finder where its 32-bit positions wrap (they count on across the
// files of a call, so a long call passes 2^32): every match it reports is
// real and within reach, and it finds as much as it does elsewhere.
#include "StringSource.h"
#include "TestData.h"
#include "lzh/MatchFinder.h"

#include <QTest>

using namespace unlha;

class CMatchFinderTest : public QObject {
    Q_OBJECT

private slots:
    void Finder_AcrossPositionWrap_data() {
        QTest::addColumn<uint32_t>("start");
        QTest::addRow("far from the wrap") << uint32_t{100000};
        QTest::addRow("wrapping after 64 KiB") << uint32_t{0xFFFF0000u};
        QTest::addRow("wrapping after one byte") << uint32_t{0xFFFFFFFFu};
    }
    void Finder_AcrossPositionWrap() {
        QFETCH(uint32_t, start);
        // Text, then noise (long runs entered without a search), then text.
        const std::string data = WordText(90000, 3) + RandomBytes(20000, 4) + WordText(40000, 5);
        const unsigned window = 1u << 13;
        CMatchFinder finder(13, 32, 256);
        finder.RestartAt(start);
        CStringSource source(data, 5000);
        size_t matched = 0, i = 0;
        while (i < data.size()) {
            uint32_t pos = start + static_cast<uint32_t>(i);
            QVERIFY(finder.Fill(source, pos));
            QVERIFY(finder.Available(pos) >=
                    std::min<size_t>(CMatchFinder::kLookahead, data.size() - i));
            QCOMPARE(finder.ByteAt(pos), static_cast<uint8_t>(data[i]));
            CMatch found[16];
            unsigned n = finder.InsertAndFindAll(pos, found, 16);
            for (unsigned k = 0; k < n; ++k) {
                size_t length = found[k].nLength, distance = found[k].nDistance;
                QVERIFY(distance >= 1 && distance < window && distance <= i);
                QVERIFY(length >= 3 && length <= data.size() - i);
                QVERIFY(data.compare(i - distance, length, data, i, length) == 0);
            }
            matched += n != 0;
            // Where nothing matched, the run that follows may be entered
            // unsearched; it must stop before any position with a match.
            i += 1 + (n == 0 ? finder.InsertUnmatched(pos + 1, 300) : 0);
        }
        // Found about as often as far from the wrap (just past it, empty
        // table entries alias real positions: a few more candidates).
        static size_t matchedFarAway = 0;
        if (start == 100000)
            matchedFarAway = matched;
        QVERIFY(matched > data.size() / 4);
        QVERIFY(matched >= matchedFarAway * 99 / 100 && matched <= matchedFarAway * 101 / 100);
    }
};

QTEST_GUILESS_MAIN(CMatchFinderTest)
#include "tst_MatchFinder.moc"
