// The host volume source: facts of the mount behind a mapped drive letter.
#include "platform/HostServices.h"
#include "platform/Volume.h"
#include "support/TempTree.h"

#include <QStorageInfo>
#include <QtTest>

class TestVolume : public QObject {
    Q_OBJECT
private slots:
    void factsOfTheMount() {
        CTempTree tree;
        QVERIFY(tree.AddFolder("sub") && tree.AddFile("file", "x"));
        const std::optional<CVolumeFacts> facts = CHostVolumeSource().Query('t'); // either case
        QVERIFY(facts && facts->mediumPresent && facts->freeClusters <= facts->totalClusters);
        // Rounding down to whole clusters loses less than one cluster.
        QStorageInfo storage(QString::fromStdString(tree.HostRoot()));
        const uint64_t cluster = uint64_t{facts->bytesPerSector} * facts->sectorsPerCluster;
        QVERIFY(uint64_t(storage.bytesTotal()) - cluster * facts->totalClusters < cluster);
        QCOMPARE(facts->fileSystem == "FAT32", storage.fileSystemType() == "vfat");
        CDriveMap& map = CHostServices::Get().DriveMap();
        QVERIFY(!CHostVolumeSource().Query('V')); // no drive: unmapped, missing or a file
        for (const char* target : {"gone", "file"})
            QVERIFY2(map.Map('V', tree.HostPath(target)) && !CHostVolumeSource().Query('V'),
                     target);
    }
};

QTEST_GUILESS_MAIN(TestVolume)
#include "tst_Volume.moc"
