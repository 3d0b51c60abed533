// Drive kind, readiness and sizes through a fake volume source, and once
// through the host's own volume.

#include "files/DriveUtils.h"
#include "platform/Volume.h"
#include "support/FakeVolumeSource.h"
#include "support/TempTree.h"

#include <QtTest>

class TestDriveUtils : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void typeNames_data();
    void typeNames();
    void readyFat32Volume();
    void volumeOver4GB();
    void fullVolumeIsReady();
    void removableWithoutMedium();
    void letterWithoutDrive();
    void rootReportedMissing();
    void unknownTypeIsStillReady();
    void pathsWithoutDriveLetter_data();
    void pathsWithoutDriveLetter();
    void hostVolumeOfTemporaryFolder();

private:
    std::shared_ptr<CFakeVolumeSource> m_pFake;
    std::unique_ptr<CScopedVolumeSource> m_pScoped;
};

void TestDriveUtils::init() {
    m_pFake = std::make_shared<CFakeVolumeSource>();
    m_pScoped = std::make_unique<CScopedVolumeSource>(m_pFake);
}

void TestDriveUtils::cleanup() {
    m_pScoped.reset();
    m_pFake.reset();
}

void TestDriveUtils::typeNames_data() {
    QTest::addColumn<uint>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("0") << 0u << "不明";
    QTest::newRow("1") << 1u << "不明";
    QTest::newRow("2") << 2u << "フロッピーディスク";
    QTest::newRow("3") << 3u << "固定ディスク";
    QTest::newRow("4") << 4u << "ネットワークドライブ";
    QTest::newRow("5") << 5u << "ＣＤ－ＲＯＭ";
    QTest::newRow("6") << 6u << "ＲＡＭＤＩＳＫ";
    QTest::newRow("7") << 7u << "不明";
    QTest::newRow("largest") << 0xFFFFFFFFu << "不明";
}

void TestDriveUtils::typeNames() {
    QFETCH(uint, code);
    QFETCH(QString, name);
    QCOMPARE(QString::fromStdString(GetDriveTypeName(code)), name);
}

void TestDriveUtils::readyFat32Volume() {
    m_pFake->Set('E', CFakeVolumeSource::Fat32(500000, 125000));
    CDriveInfo info;
    QCOMPARE(CheckDrive("e:\\Data\\x.txt", info), 1); // only the first character counts
    QCOMPARE(info.m_strRoot, std::string("E:\\"));
    QCOMPARE(info.m_strVolumeName, std::string("USBMEM"));
    QCOMPARE(info.m_bReady, 1);
    QCOMPARE(info.m_nDriveType, uint32_t(DRIVE_REMOVABLE));
    QCOMPARE(info.m_nBytesPerSector, uint32_t(512));
    QCOMPARE(info.m_nSectorsPerCluster, uint32_t(8));
    QCOMPARE(info.m_nClusterBytes, uint64_t(4096));
    QCOMPARE(info.m_nTotalClusters, uint64_t(500000));
    QCOMPARE(info.m_nFreeClusters, uint64_t(125000));
    QCOMPARE(info.m_nTotalBytes, uint64_t(2048000000));
    QCOMPARE(info.m_nFreeBytes, uint64_t(512000000));
}

void TestDriveUtils::volumeOver4GB() {
    m_pFake->Set('D', CFakeVolumeSource::Large());
    CDriveInfo info;
    QCOMPARE(CheckDrive("D:\\", info), 1);
    // 64-bit byte counts: no wrap at 4 GB.
    QCOMPARE(info.m_nTotalBytes, uint64_t(10) << 30);
    QCOMPARE(info.m_nFreeBytes, uint64_t(6) << 30);
    QCOMPARE(info.m_nTotalClusters, uint64_t(10) << 18);
    QVERIFY(info.m_strVolumeName.empty());
}

void TestDriveUtils::fullVolumeIsReady() {
    m_pFake->Set('F', CFakeVolumeSource::Full(1000));
    CDriveInfo info;
    QCOMPARE(CheckDrive("F:\\", info), 1);
    QCOMPARE(info.m_nFreeBytes, uint64_t(0));
    QCOMPARE(info.m_nTotalBytes, uint64_t(4096000));
    QCOMPARE(info.m_nDriveType, uint32_t(DRIVE_FIXED));
}

void TestDriveUtils::removableWithoutMedium() {
    m_pFake->Set('A', CFakeVolumeSource::NoMedium());
    CDriveInfo info;
    info.m_bReady = 1;
    QCOMPARE(CheckDrive("A:\\", info), 0);
    QCOMPARE(info.m_bReady, 0);
    QCOMPARE(info.m_nDriveType, uint32_t(DRIVE_REMOVABLE));
    QCOMPARE(info.m_strRoot, std::string("A:\\"));
    QVERIFY(info.m_strVolumeName.empty());
    QCOMPARE(info.m_nTotalBytes, uint64_t(0));
}

void TestDriveUtils::letterWithoutDrive() {
    CDriveInfo info;
    info.m_bReady = 1; // a missing root leaves the flag as it was
    info.m_strVolumeName = "before";
    QCOMPARE(GetDriveKind("x:\\", info), 1);
    QCOMPARE(info.m_strRoot, std::string("X:\\"));
    QCOMPARE(info.m_nDriveType, uint32_t(DRIVE_REMOVABLE));
    QCOMPARE(CheckDrive("X:\\", info), 0);
    QCOMPARE(info.m_bReady, 1);
    QCOMPARE(info.m_strVolumeName, std::string("before"));
}

void TestDriveUtils::rootReportedMissing() {
    CVolumeFacts facts = CFakeVolumeSource::Large();
    facts.driveType = DRIVE_NO_ROOT_DIR;
    m_pFake->Set('M', facts);
    CDriveInfo info;
    QCOMPARE(GetDriveKind("M:", info), 1);
    QCOMPARE(info.m_nDriveType, uint32_t(DRIVE_REMOVABLE));
    QCOMPARE(CheckDrive("M:", info), 0);
    QCOMPARE(info.m_nTotalBytes, uint64_t(0));
}

void TestDriveUtils::unknownTypeIsStillReady() {
    CVolumeFacts facts = CFakeVolumeSource::Fixed(512, 1, 100, 50);
    facts.driveType = DRIVE_UNKNOWN;
    m_pFake->Set('K', facts);
    CDriveInfo info;
    QCOMPARE(GetDriveKind("K:\\", info), 0);
    QVERIFY(info.m_strRoot.empty()); // nothing stored for an unknown type
    QCOMPARE(CheckDrive("K:\\", info), 1);
    QCOMPARE(info.m_nDriveType, uint32_t(DRIVE_UNKNOWN));
    QCOMPARE(info.m_nTotalBytes, uint64_t(51200));
}

void TestDriveUtils::pathsWithoutDriveLetter_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("network share") << "\\\\server\\share";
    QTest::newRow("empty") << "";
    QTest::newRow("digit") << "1:\\";
}

void TestDriveUtils::pathsWithoutDriveLetter() {
    QFETCH(QString, path);
    m_pFake->Set('C', CFakeVolumeSource::Large());
    CDriveInfo info;
    QCOMPARE(GetDriveKind(path.toStdString(), info), 0);
    QCOMPARE(CheckDrive(path.toStdString(), info), 0);
    QCOMPARE(info.m_bReady, 0);
}

void TestDriveUtils::hostVolumeOfTemporaryFolder() {
    m_pScoped.reset(); // the host's own volumes
    CTempTree tree;
    CDriveInfo info;
    QCOMPARE(CheckDrive(tree.DriveRoot(), info), 1);
    QCOMPARE(info.m_strRoot, tree.DriveRoot());
    QVERIFY(info.m_nTotalBytes > 0);
    QVERIFY(info.m_nFreeBytes <= info.m_nTotalBytes);
    QCOMPARE(info.m_nTotalBytes, info.m_nClusterBytes * info.m_nTotalClusters);
}

QTEST_GUILESS_MAIN(TestDriveUtils)
#include "tst_DriveUtils.moc"
