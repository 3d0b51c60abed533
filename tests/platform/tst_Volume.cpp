// The host volume source: facts of the mount behind a mapped drive letter.

#include "platform/HostServices.h"
#include "platform/Volume.h"
#include "support/TempTree.h"

#include <QStorageInfo>
#include <QtTest>

class TestVolume : public QObject {
    Q_OBJECT
private slots:
    void tempFolderAgreesWithQtStorageInfo() {
        CTempTree tree;
        QVERIFY(tree.AddFolder("sub"));
        CHostServices::Get().DriveMap().Map('W', tree.HostPath("sub"));
        const std::optional<CVolumeFacts> facts = CHostVolumeSource().Query('t'); // either case
        QVERIFY(facts && facts->mediumPresent);
        QVERIFY(facts->driveType >= DRIVE_REMOVABLE && facts->driveType <= DRIVE_RAMDISK);
        QVERIFY(facts->freeClusters <= facts->totalClusters && facts->maxComponentLength >= 255);
        // Rounding down to whole clusters loses less than one cluster.
        QStorageInfo storage(QString::fromStdString(tree.HostRoot()));
        const uint64_t cluster = uint64_t{facts->bytesPerSector} * facts->sectorsPerCluster;
        QVERIFY(uint64_t(storage.bytesTotal()) - cluster * facts->totalClusters < cluster);
        QCOMPARE(facts->fileSystem == "FAT32", storage.fileSystemType() == "vfat");
        // Two folders on one mount are one volume.
        const std::optional<CVolumeFacts> sub = CHostVolumeSource().Query('W');
        QVERIFY(sub && sub->serialNumber == facts->serialNumber);
    }

    void noDriveBehindLetter() {
        CTempTree tree;
        QVERIFY(tree.AddFile("file", "x"));
        QVERIFY(!CHostVolumeSource().Query('V')); // unmapped
        for (const char* target : {"gone", "file"}) {
            CHostServices::Get().DriveMap().Map('V', tree.HostPath(target));
            QVERIFY2(!CHostVolumeSource().Query('V'), target);
        }
    }

    void ramDiskIsRecognised() {
        QTemporaryDir shm(QStringLiteral("/dev/shm/tidewell-XXXXXX")); // below the mount point
        if (!shm.isValid() || QStorageInfo(shm.path()).fileSystemType() != "tmpfs")
            QSKIP("no tmpfs at /dev/shm on this host");
        CTempTree tree;
        CHostServices::Get().DriveMap().Map('R', shm.path().toStdString());
        const std::optional<CVolumeFacts> facts = CHostVolumeSource().Query('R');
        QVERIFY(facts);
        QCOMPARE(facts->driveType, uint32_t(DRIVE_RAMDISK));
        QCOMPARE(facts->fileSystem, std::string("tmpfs"));
    }
};

QTEST_GUILESS_MAIN(TestVolume)
#include "tst_Volume.moc"
