// Copies made ahead on worker threads: a run ends exactly as the loop copying alone would.
#include "copyjob/CopyAhead.h"
#include "support/CopyJobFixture.h"

struct CRunOutcome {
    int code = 0;
    size_t lines = 0;
    std::string log; // the bytes
    QString tree;
};

class TestCopyAhead : public QObject {
    Q_OBJECT

    // 3 folders of 30 files; the listed destination files are read-only.
    static CRunOutcome Run(int threads, const QString& wild, int cancelAtStep,
                           const QStringList& readOnly, const std::string& message) {
        QString source, dest;
        for (const char* folder : {"a", "b", "c"})
            for (int i = 0; i < 30; ++i)
                source += QString(" %1/f%2.txt=%1%2").arg(folder).arg(i, 2, 10, QChar('0'));
        for (const QString& name : readOnly)
            dest += " " + name + "=old";
        CCopyJobFixture f(source + " ro.dat=r", dest);
        for (const QString& name : readOnly)
            f.dest.SetMode(name.toStdString(), 0444);
        f.source.SetMode("ro.dat", 0444);
        f.Setting().WildList = wild.toStdString();
        f.host.cancelAtStep = cancelAtStep;
        f.job.m_nCopyThreads = threads;
        const int code = f.Run(message);
        return {code, f.LogLines().size(), f.program.ReadFile("Tidewall.log"), f.dest.Listing()};
    }

private slots:
    void initTestCase() {
        CHostServices::Get().SetClock([] { return std::time_t{1700000000}; });
        CCopyAhead::SetStageAllFirst(true); // every commit as late as it can be
    }

    void sameOutcomeAsCopyingAlone_data() {
        QTest::addColumn<QString>("wild");
        QTest::addColumn<int>("cancelAtStep");
        QTest::addColumn<QStringList>("readOnly");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("copied");
        QTest::newRow("all") << "*.txt" << 0 << QStringList{} << 0 << 90;
        QTest::newRow("fails in a folder's middle")
            << "*.txt" << 0 << QStringList{"b/f12.txt"} << 1 << 42;
        QTest::newRow("fails at a folder's first")
            << "*.txt" << 0 << QStringList{"c/f00.txt"} << 1 << 60;
        QTest::newRow("cancel") << "*.txt" << 45 << QStringList{} << 9999 << 44;
        // The second copy of the read-only file finds the first one's in the way.
        QTest::newRow("one file twice") << "*.dat/r*" << 0 << QStringList{} << 1 << 1;
    }
    void sameOutcomeAsCopyingAlone() {
        QFETCH(QString, wild);
        QFETCH(int, cancelAtStep);
        QFETCH(QStringList, readOnly);
        QFETCH(int, code);
        QFETCH(int, copied);
        const std::string message = code == 0   ? std::string(kFinished)
                                    : code == 1 ? Failed(1, kDenied)
                                                : Failed(code);
        const CRunOutcome alone = Run(1, wild, cancelAtStep, readOnly, message);
        const CRunOutcome ahead = Run(4, wild, cancelAtStep, readOnly, message);
        QCOMPARE(alone.code, code);
        QCOMPARE(ahead.code, code);
        QCOMPARE(alone.lines, size_t(copied + 1)); // the header and a line per copy
        QCOMPARE(ahead.log, alone.log);
        QCOMPARE(ahead.tree, alone.tree);
    }
};

QTEST_GUILESS_MAIN(TestCopyAhead)
#include "tst_CopyAhead.moc"
