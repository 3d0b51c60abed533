// The percentage text of the progress window.
#include "copyjob/ProgressPercent.h"

#include <QTest>

class CProgressPercentTest : public QObject {
    Q_OBJECT
private slots:
    void percentTexts() {
        const std::tuple<int, int, int, const char*> rows[] = {
            {1, 0, 3, "33%"},
            {2, 0, 3, "66%"},
            {3, 0, 3, "100%"},
            {15, 10, 20, "50%"},
            {150, 0, 100, "50%"},
            {200, 0, 100, "0%"},
            {-10, 0, 100, "-10%"},           // past the end wraps
            {5, 5, 5, "0%"},                 // empty range
            {30000000, 0, 40000000, "75%"}}; // 30,000,000 * 100 does not fit 32 bits
        for (const auto& [pos, lower, upper, text] : rows)
            QCOMPARE(PercentText(pos, lower, upper), std::string(text));
    }
};

QTEST_APPLESS_MAIN(CProgressPercentTest)
#include "tst_ProgressPercent.moc"
