// The drive information dialog's figures from fake volumes.

#include "support/DialogTestHelpers.h"
#include "support/FakeVolumeSource.h"
#include "ui/files/DriveInfoDlg.h"

using Dlg = CDriveInfoDlg;

class CDriveInfoDlgTest : public QObject {
    Q_OBJECT
private slots:
    void figures() {
        auto volumes = std::make_shared<CFakeVolumeSource>();
        CScopedVolumeSource scope(volumes);
        CVolumeFacts noSpace = CFakeVolumeSource::Fat32(); // named, free space unread
        noSpace.mediumPresent = false;
        // facts (none: the query fails), then drive|label|file system|free|percent|total
        const std::pair<std::optional<CVolumeFacts>, const char*> rows[] = {
            {CFakeVolumeSource::Large(), "R:||ext4|6144.000 MB|60|10240.000 MB"},
            {CFakeVolumeSource::Full(), "R:||ext4|0.000000 byte|0|1024.000 MB"},
            {CFakeVolumeSource::Fat32(), "R:|USBMEM|FAT32|488.281 MB|25|1953.125 MB"},
            {CFakeVolumeSource::Fat32(3, 2), "R:|USBMEM|FAT32|8.00 KB|67|12.00 KB"},
            {CFakeVolumeSource::Fixed(512, 8, 0, 0), "R:||ext4|0.000000 byte|0|0.000000 byte"},
            {noSpace, "R:|USBMEM|FAT32|不明||不明"},
            {CFakeVolumeSource::NoMedium(), "R:|不明|不明|||"},
            {std::nullopt, "q:|不明|不明|||"}};
        for (const auto& [facts, texts] : rows) {
            if (facts)
                volumes->Set('R', *facts);
            Dlg dlg(facts ? "R:\\Data\\" : "q:\\", nullptr); // nothing behind Q
            QCOMPARE(Texts(&dlg, {1001, 1002, 1003, 1004, 1005, 1006}), QString(texts));
        }
        Dlg dlg("R:\\", nullptr);
        QCOMPARE(dlg.windowTitle(), "ﾄﾞﾗｲﾌﾞ情報");
        VerifyNothingCut(dlg);
    }
};

QTEST_MAIN(CDriveInfoDlgTest)
#include "tst_DriveInfoDlg.moc"
