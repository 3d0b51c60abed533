// The host volume source: facts of the mount behind a mapped drive letter.

#include "platform/HostServices.h"
#include "platform/Volume.h"
#include "support/TempTree.h"

#include <QStorageInfo>
#include <QtTest>

class TestVolume : public QObject {
    Q_OBJECT
private slots:
    void tempFolderIsAReadyVolume();
    void sizesAgreeWithQtStorageInfo();
    void noDriveBehindLetter_data();
    void noDriveBehindLetter();
    void ramDiskIsRecognised();
    void serialIsStable();
};

void TestVolume::tempFolderIsAReadyVolume() {
    CTempTree tree;
    std::optional<CVolumeFacts> facts = CHostVolumeSource().Query(tree.Letter());
    QVERIFY(facts);
    QVERIFY(facts->mediumPresent);
    QVERIFY(facts->driveType >= DRIVE_REMOVABLE && facts->driveType <= DRIVE_RAMDISK);
    QCOMPARE(facts->bytesPerSector, uint32_t(512));
    QVERIFY(facts->sectorsPerCluster >= 1);
    QVERIFY(facts->totalClusters > 0);
    QVERIFY(facts->freeClusters <= facts->totalClusters);
    QVERIFY(!facts->fileSystem.empty());
    QVERIFY(facts->maxComponentLength >= 255);
    // Lower-case letters name the same drive.
    std::optional<CVolumeFacts> lower =
        CHostVolumeSource().Query(static_cast<char>(tree.Letter() - 'A' + 'a'));
    QVERIFY(lower && lower->totalClusters == facts->totalClusters);
}

void TestVolume::sizesAgreeWithQtStorageInfo() {
    CTempTree tree;
    std::optional<CVolumeFacts> facts = CHostVolumeSource().Query(tree.Letter());
    QVERIFY(facts);
    QStorageInfo storage(QString::fromStdString(tree.HostRoot()));
    const uint64_t cluster = uint64_t{facts->bytesPerSector} * facts->sectorsPerCluster;
    const uint64_t total = cluster * facts->totalClusters;
    // Rounding down to whole clusters loses less than one cluster.
    QVERIFY(total <= uint64_t(storage.bytesTotal()));
    QVERIFY(uint64_t(storage.bytesTotal()) - total < cluster);
    QCOMPARE(QString::fromStdString(facts->fileSystem) == "FAT32",
             storage.fileSystemType() == "vfat");
}

void TestVolume::noDriveBehindLetter_data() {
    QTest::addColumn<QString>("target"); // "" = unmapped; else relative to a tree
    QTest::newRow("unmapped letter") << "";
    QTest::newRow("mapped to a missing folder") << "gone";
    QTest::newRow("mapped to a file") << "file";
}

void TestVolume::noDriveBehindLetter() {
    QFETCH(QString, target);
    CTempTree tree;
    QVERIFY(tree.AddFile("file", "x"));
    if (!target.isEmpty())
        CHostServices::Get().DriveMap().Map('V', tree.HostPath(target.toStdString()));
    QVERIFY(!CHostVolumeSource().Query('V'));
}

void TestVolume::ramDiskIsRecognised() {
    QStorageInfo shm(QStringLiteral("/dev/shm"));
    if (!shm.isValid() || shm.fileSystemType() != "tmpfs")
        QSKIP("no tmpfs at /dev/shm on this host");
    CTempTree tree;
    CHostServices::Get().DriveMap().Map('R', "/dev/shm");
    std::optional<CVolumeFacts> facts = CHostVolumeSource().Query('R');
    QVERIFY(facts);
    QCOMPARE(facts->driveType, uint32_t(DRIVE_RAMDISK));
    QCOMPARE(facts->fileSystem, std::string("tmpfs"));
}

void TestVolume::serialIsStable() {
    CTempTree tree;
    QVERIFY(tree.AddFolder("sub"));
    CHostServices::Get().DriveMap().Map('W', tree.HostPath("sub"));
    std::optional<CVolumeFacts> a = CHostVolumeSource().Query(tree.Letter());
    std::optional<CVolumeFacts> b = CHostVolumeSource().Query('W');
    QVERIFY(a && b);
    // Two folders on one mount are one volume.
    QCOMPARE(a->serialNumber, b->serialNumber);
    QCOMPARE(a->fileSystem, b->fileSystem);
}

QTEST_GUILESS_MAIN(TestVolume)
#include "tst_Volume.moc"
