// Whole clusters a file takes on the destination volume, summed up against its free space.
#include "copyjob/CopyJob.h"
#include "support/FakeVolumeSource.h"
#include "support/ScriptedRunHost.h"

#include <QTest>

class TestCopyConfirm : public QObject {
    Q_OBJECT

private slots:
    void clustersNeeded() {
        auto fake = std::make_shared<CFakeVolumeSource>();
        CScopedVolumeSource scoped(fake);
        fake->Set('F', CFakeVolumeSource::Fixed(512, 8, 1000, 500)); // 4 KB clusters
        fake->Set('E', CFakeVolumeSource::Fat32());
        CScriptedRunHost host;
        CCopyJob job(host);
        const std::pair<uint64_t, int64_t> rows[] = {
            {0, 0}, {1, 1}, {4095, 1}, {4096, 1}, {4097, 2}, {8192, 2}, {5ull << 32, 5ll << 20}};
        for (const char* folder : {"F:\\data\\", "E:\\"})
            for (const auto& [size, clusters] : rows)
                QCOMPARE(job.ClustersNeeded(folder, size), clusters);
        QCOMPARE(job.ClustersNeeded("Q:\\", 1), int64_t(-1)); // no drive: size unknown
        QCOMPARE(job.ClustersNeeded("Q:\\", 0), int64_t(0));  // an empty file takes none
    }
};

QTEST_GUILESS_MAIN(TestCopyConfirm)
#include "tst_CopyConfirm.moc"
