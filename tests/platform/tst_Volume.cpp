// The host volume source: facts of the mount behind a mapped drive letter.
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
        map.Map('W', tree.HostPath("sub")); // one mount, one volume
        QCOMPARE(CHostVolumeSource().Query('W').value().serialNumber, facts->serialNumber);
        QVERIFY(!CHostVolumeSource().Query('V')); // no drive: unmapped, missing or a file
        for (const char* target : {"gone", "file"})
            QVERIFY2(map.Map('V', tree.HostPath(target)) && !CHostVolumeSource().Query('V'),
                     target);
    }

    void driveTypesAndSerials() {
        // clang-format off
        const std::tuple<const char*, const char*, bool, uint32_t> rows[] = {
            {"ext4", "/", false, DRIVE_FIXED}, {"ext4", "/", true, DRIVE_REMOVABLE},
            {"vfat", "/media/me/USB", false, DRIVE_REMOVABLE}, {"exfat", "/run/media/me/SD", false, DRIVE_REMOVABLE},
            {"ext4", "/media", false, DRIVE_FIXED}, {"ext4", "/mediaX/a", false, DRIVE_FIXED},
            {"iso9660", "/media/me/CD", true, DRIVE_CDROM}, {"udf", "/mnt/dvd", false, DRIVE_CDROM},
            {"nfs4", "/home", false, DRIVE_REMOTE}, {"cifs", "/media/me/share", false, DRIVE_REMOTE},
            {"fuse.sshfs", "/mnt/s", false, DRIVE_REMOTE}, {"tmpfs", "/media/me/t", false, DRIVE_RAMDISK},
            {"proc", "/proc", false, DRIVE_UNKNOWN}};
        // clang-format on
        for (const auto& [fs, mount, removable, type] : rows)
            QVERIFY2(HostDriveType(fs, mount, removable) == type, mount);
        QCOMPARE(SerialFromUuid("1234-ABCD"), std::optional<uint32_t>(0x1234ABCD));
        QCOMPARE(SerialFromUuid("0123456789abcdef"),
                 std::optional<uint32_t>(0x01234567 ^ 0x89abcdef));
        QCOMPARE(SerialFromUuid("f-"), std::optional<uint32_t>(0xF));
        QVERIFY(!SerialFromUuid("--"));
    }
};

QTEST_GUILESS_MAIN(TestVolume)
#include "tst_Volume.moc"
