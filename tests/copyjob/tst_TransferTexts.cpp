// The texts of the progress window: the percentage, and the counts beside its bar.
#include "copyjob/ProgressPercent.h"
#include "copyjob/TransferTexts.h"

#include <QTest>

class TestTransferTexts : public QObject {
    Q_OBJECT

private slots:
    void percentTexts() {
        // Past the end wraps; an empty range; 30,000,000 * 100 does not fit 32 bits.
        // clang-format off
        const std::tuple<int, int, int, const char*> rows[] = {{1, 0, 3, "33%"}, {2, 0, 3, "66%"},
            {3, 0, 3, "100%"}, {15, 10, 20, "50%"}, {150, 0, 100, "50%"}, {200, 0, 100, "0%"},
            {-10, 0, 100, "-10%"}, {5, 5, 5, "0%"}, {30000000, 0, 40000000, "75%"}};
        // clang-format on
        for (const auto& [pos, lower, upper, text] : rows)
            QCOMPARE(PercentText(pos, lower, upper), std::string(text));
    }
    void texts() {
        // The unit is the total's, cut to one decimal; TB is the last.
        // clang-format off
        const std::tuple<qulonglong, qulonglong, const char*, const char*> rows[] = {
            {0, 999, "0 / 999 ﾌｧｲﾙ", "0 / 999 B"},
            {1234, 1023, "1,234 / 1,023 ﾌｧｲﾙ", "1,234 / 1,023 B"},
            {1023, 1024 * 1024 - 1, "1,023 / 1,048,575 ﾌｧｲﾙ", "0.9 / 1,023.9 KB"},
            {12900000, 478150656, "12,900,000 / 478,150,656 ﾌｧｲﾙ", "12.3 / 456.0 MB"},
            {0, 5000ull << 40, "0 / 5,497,558,138,880,000 ﾌｧｲﾙ", "0.0 / 5,000.0 TB"}};
        // clang-format on
        for (const auto& [done, total, files, bytes] : rows) {
            QCOMPARE(TransferFilesText(qint64(done), qint64(total)), std::string(files));
            QCOMPARE(TransferBytesText(done, total), std::string(bytes));
        }
    }
};

QTEST_GUILESS_MAIN(TestTransferTexts)
#include "tst_TransferTexts.moc"
