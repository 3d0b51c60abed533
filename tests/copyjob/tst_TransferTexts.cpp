// The counts beside the progress window's bar.
#include "copyjob/TransferTexts.h"

#include <QTest>

class TestTransferTexts : public QObject {
    Q_OBJECT

private slots:
    void texts_data() {
        QTest::addColumn<qulonglong>("done");
        QTest::addColumn<qulonglong>("total");
        QTest::addColumn<QString>("files");
        QTest::addColumn<QString>("bytes");
        QTest::newRow("small") << 0ull << 999ull << "0 / 999 ﾌｧｲﾙ"
                               << "0 / 999 B";
        QTest::newRow("groups") << 1234ull << 1023ull << "1,234 / 1,023 ﾌｧｲﾙ"
                                << "1,234 / 1,023 B";
        QTest::newRow("unit of the total, cut")
            << 1023ull << 1024ull * 1024 - 1 << "1,023 / 1,048,575 ﾌｧｲﾙ"
            << "0.9 / 1,023.9 KB";
        QTest::newRow("MB") << 12900000ull << 478150656ull << "12,900,000 / 478,150,656 ﾌｧｲﾙ"
                            << "12.3 / 456.0 MB";
        QTest::newRow("TB is the last unit")
            << 0ull << (5000ull << 40) << "0 / 5,497,558,138,880,000 ﾌｧｲﾙ"
            << "0.0 / 5,000.0 TB";
    }
    void texts() {
        QFETCH(qulonglong, done);
        QFETCH(qulonglong, total);
        QFETCH(QString, files);
        QFETCH(QString, bytes);
        QCOMPARE(QString::fromStdString(TransferFilesText(qint64(done), qint64(total))), files);
        QCOMPARE(QString::fromStdString(TransferBytesText(done, total)), bytes);
    }
};

QTEST_GUILESS_MAIN(TestTransferTexts)
#include "tst_TransferTexts.moc"
