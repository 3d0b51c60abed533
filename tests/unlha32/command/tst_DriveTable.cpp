// The library's drive map: section "Drives" of its profile, and C as "/"
// unless mapped elsewhere.
#include "command/DriveTable.h"
#include "support/HostFiles.h"

#include <QTemporaryDir>
#include <QTest>

class CDriveTableTest : public QObject {
    Q_OBJECT

private slots:
    void ToHost_ThroughTheDrivesSection() {
        QTemporaryDir dir;
        QString ini = dir.filePath("Tidewell.Ini");
        QVERIFY(WriteHostFile(
            ini, "[CopyInfo]\r\nE=/wrong\r\n\r\n[ DRIVES ]\r\n;G=/comment\r\ne = /srv/work/\r\n"
                 "F=relative/path\r\nGG=/x\r\nC=/home/c\r\n[Other]\nH=/h\n"));
        unlha::CDriveTable drives;
        QCOMPARE(drives.ToHost("C:\\a\\b.txt").value_or("?"), std::string("/a/b.txt"));
        drives.LoadFromProfile(ini.toStdString());
        QCOMPARE(drives.ToHost("E:\\Data\\x.txt").value_or("?"),
                 std::string("/srv/work/Data/x.txt"));
        QCOMPARE(drives.ToHost("e:\\").value_or("?"), std::string("/srv/work/"));
        QCOMPARE(drives.ToHost("C:\\a").value_or("?"), std::string("/home/c/a"));
        QCOMPARE(drives.ToHost("/host/path").value_or("?"), std::string("/host/path"));
        // Unmapped: a relative value, a comment, another section, no drive.
        for (const char* path : {"F:\\x", "G:\\x", "H:\\x", "E:relative", "x.lzh"})
            QVERIFY2(!drives.ToHost(path), path);
    }
};

QTEST_GUILESS_MAIN(CDriveTableTest)
#include "tst_DriveTable.moc"
