// The throttle of per-item displays, on a clock the test moves.
#include "copyjob/UpdateThrottle.h"

#include <QTest>

class TestUpdateThrottle : public QObject {
    Q_OBJECT

private slots:
    // Offers at the given milliseconds ("r" resets first, "m" marks shown): which were due
    // ("-" for a mark), and how long the next one has to wait.
    void dueAtMostOncePerInterval() {
        const std::tuple<QStringList, const char*, int> rows[] = {
            {{"0", "1", "32", "33", "34", "70"}, "100101", 33}, // first at once, then one per 33
            {{"0", "20"}, "10", 13},                            // a held one waits the rest
            {{"0", "r5"}, "11", 33},
            {{"m0", "10", "40"}, "-01", 33}};
        for (const auto& [offers, due, wait] : rows) {
            std::chrono::milliseconds now{1000};
            CUpdateThrottle throttle(std::chrono::milliseconds(33),
                                     [&] { return CUpdateThrottle::Clock::time_point(now); });
            QString seen;
            for (const QString& offer : offers) {
                now = std::chrono::milliseconds(1000 + offer.mid(offer.front().isLetter()).toInt());
                if (offer.front() == 'r')
                    throttle.Reset();
                if (offer.front() == 'm')
                    throttle.MarkShown();
                seen += offer.front() == 'm' ? '-' : throttle.Due() ? '1' : '0';
            }
            QCOMPARE(seen, due);
            QCOMPARE(throttle.MsUntilDue(), wait);
        }
    }
};

QTEST_GUILESS_MAIN(TestUpdateThrottle)
#include "tst_UpdateThrottle.moc"
