// Drive kind, readiness and sizes through a fake volume source.
#include "files/DriveUtils.h"
#include "support/FakeVolumeSource.h"

#include <QtTest>

class TestDriveUtils : public QObject {
    Q_OBJECT
private slots:
    void checkDrive() {
        auto fake = std::make_shared<CFakeVolumeSource>();
        CScopedVolumeSource scoped(fake);
        CVolumeFacts noRoot = CFakeVolumeSource::Large(), unknown = noRoot;
        noRoot.driveType = DRIVE_NO_ROOT_DIR;
        unknown.driveType = DRIVE_UNKNOWN;
        fake->Set('E', CFakeVolumeSource::Fat32(500000, 125000)).Set('M', noRoot).Set('K', unknown);
        fake->Set('D', CFakeVolumeSource::Large()).Set('F', CFakeVolumeSource::Full(1000));
        fake->Set('A', CFakeVolumeSource::NoMedium());
        // Kind, ready, flag, root, type, bytes, label; a missing drive leaves flag 9, label "?".
        // clang-format off
        const std::pair<const char*, const char*> rows[] = {
            {"e:\\Data\\x", "0 1 1 E:\\ 2 2048000000 512000000 USBMEM"}, // only the letter counts
            {"D:\\", "0 1 1 D:\\ 3 10737418240 6442450944 "}, // past 4 GB
            {"F:\\", "0 1 1 F:\\ 3 4096000 0 "},             // full is still ready
            {"A:\\", "0 0 0 A:\\ 2 0 0 "},                    // no medium
            {"M:", "1 0 9 M:\\ 2 0 0 ?"}, {"x:\\", "1 0 9 X:\\ 2 0 0 ?"}, // no drive: "removable"
            {"K:\\", "0 1 1  0 10737418240 6442450944 "},   // unknown type: no root stored
            {"\\\\server\\share", "0 0 0  0 0 0 ?"}, {"", "0 0 0  0 0 0 ?"}, {"1:\\", "0 0 0  0 0 0 ?"}};
        // clang-format on
        for (const auto& [path, expected] : rows) {
            CDriveInfo kind, info;
            info.m_bReady = 9;
            info.m_strVolumeName = "?";
            const int missing = GetDriveKind(path, kind), ready = CheckDrive(path, info);
            QCOMPARE(QString::asprintf("%d %d %d %s %u %llu %llu %s", missing, ready, info.m_bReady,
                                       info.m_strRoot.c_str(), info.m_nDriveType,
                                       qulonglong(info.m_nTotalBytes),
                                       qulonglong(info.m_nFreeBytes), info.m_strVolumeName.c_str()),
                     expected);
        }
        QString names;
        for (uint32_t code : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 0xFFFFFFFFu})
            names += QString::fromStdString(GetDriveTypeName(code)) + " ";
        QCOMPARE(names, "不明 不明 フロッピーディスク 固定ディスク ネットワークドライブ "
                        "ＣＤ－ＲＯＭ ＲＡＭＤＩＳＫ 不明 不明 ");
    }
};

QTEST_GUILESS_MAIN(TestDriveUtils)
#include "tst_DriveUtils.moc"
