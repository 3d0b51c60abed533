// The throttle of per-item displays, on a clock the test moves.
#include "copyjob/UpdateThrottle.h"

#include <QTest>

class TestUpdateThrottle : public QObject {
    Q_OBJECT

private slots:
    // Offers at the given milliseconds ("r" resets first, "m" marks shown):
    // which were due, and how long the next one has to wait.
    void dueAtMostOncePerInterval_data() {
        QTest::addColumn<QStringList>("offers");
        QTest::addColumn<QString>("due");
        QTest::addColumn<int>("wait");
        QTest::newRow("first at once, then one per interval")
            << QStringList{"0", "1", "32", "33", "34", "70"} << "100101" << 33;
        QTest::newRow("held one waits the rest") << QStringList{"0", "20"} << "10" << 13;
        QTest::newRow("reset makes the next due") << QStringList{"0", "r5"} << "11" << 33;
        QTest::newRow("a mark counts as a show") << QStringList{"m0", "10", "40"} << "-01" << 33;
    }
    void dueAtMostOncePerInterval() {
        QFETCH(QStringList, offers);
        QFETCH(QString, due);
        QFETCH(int, wait);
        std::chrono::milliseconds now{1000};
        CUpdateThrottle throttle(std::chrono::milliseconds(33),
                                 [&] { return CUpdateThrottle::Clock::time_point(now); });
        QString seen;
        for (QString offer : offers) {
            const QChar first = offer.front();
            if (first.isLetter())
                offer.remove(0, 1);
            now = std::chrono::milliseconds(1000 + offer.toInt());
            if (first == 'r')
                throttle.Reset();
            if (first == 'm') {
                throttle.MarkShown();
                seen += '-';
                continue;
            }
            seen += throttle.Due() ? '1' : '0';
        }
        QCOMPARE(seen, due);
        QCOMPARE(throttle.MsUntilDue(), wait);
    }
};

QTEST_GUILESS_MAIN(TestUpdateThrottle)
#include "tst_UpdateThrottle.moc"
