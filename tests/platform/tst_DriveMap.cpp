// Drive letters on the host: the "Drives" section, drive-letter paths to
// host paths and back, and the guarantee that ".." never leaves a drive.
#include "platform/DriveMap.h"
#include "platform/HostServices.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QTest>

namespace {

CDriveMap SampleMap() {
    CDriveMap map; // C is "/"
    map.Map('D', "/srv/d");
    map.Map('e', "/srv/dd");
    map.Map('F', "/srv/d/sub/");
    return map;
}

} // namespace

class TestDriveMap : public QObject {
    Q_OBJECT
private slots:
    void loadsOnlyValidEntries() {
        CTestProgramFolder folder;
        QVERIFY(folder.WriteFile("a.ini",
                                 "[CopyInfo]\r\nD=/wrong\r\n[drives]\r\nd = /srv/data/ \r\n"
                                 "G=relative\r\nH=\r\nII=/x\r\n1=/x\r\nc=/c\r\nK=/a/./b/../k\r\n"));
        CDriveMap map;
        QVERIFY(!map.Map('1', "/x") && !map.Map('\xC3', "/x") && !map.Map('D', "x"));
        QVERIFY(!map.Map('D', std::string("/x\0y", 4)) && map.Map('z', "//z//y/"));
        QCOMPARE(map.HostRoot('Z').value_or("-"), std::string("/z/y"));
        map.LoadFromProfile(folder.HostFile("a.ini")); // Z goes: the map starts again
        QCOMPARE(map.Letters() + map.HostRoot('d').value_or("-") + map.HostRoot('C').value_or("-") +
                     map.HostRoot('K').value_or("-"),
                 std::string("CDK/srv/data/c/a/k"));
        map.LoadFromProfile(TIDEWELL_TEST_DATA "/Tidewell.Ini");
        QCOMPARE(map.HostRoot('E').value_or("-"), std::string("/srv/work"));
        const char garbage[] = "\0\xFF[Drives\0]\r\n=\r\n[\r\n";
        QVERIFY(folder.WriteFile("a.ini", std::string(garbage, sizeof garbage - 1)));
        for (const char* name : {"a.ini", "absent.ini"}) {
            map.LoadFromProfile(folder.HostFile(name));
            QCOMPARE(map.Letters(), std::string("C"));
        }
    }

    void paths() {
        const CDriveMap map = SampleMap();
        // clang-format off
        const std::pair<const char*, const char*> both[] = {{"D:\\a\\b", "/srv/d/a/b"}, {"D:\\", "/srv/d"},
            {"E:\\a", "/srv/dd/a"}, {"F:\\x", "/srv/d/sub/x"}, {"D:\\subway", "/srv/d/subway"}, {"C:\\", "/"},
            {"D:\\資料\\表ソ", "/srv/d/資料/表ソ"}, {"D:\\a..b\\...\\c.", "/srv/d/a..b/.../c."}};
        // A drive-letter path never names anything outside its folder ("-": none).
        const std::pair<const char*, const char*> toHost[] = {{"d:\\a\\b\\", "/srv/d/a/b"}, {"D:", "/srv/d"},
            {"D:/a\\\\.\\b", "/srv/d/a/b"}, {"D:\\a\\..\\b", "/srv/d/b"}, {"D:\\a\\..", "/srv/d"},
            {"D:\\..\\etc", "-"}, {"D:\\a\\..\\..\\dd", "-"}, {"C:\\..", "-"}, {"F:\\..\\secret", "-"},
            {"X:\\a", "-"}, {"D:a", "-"}, {"\\\\server\\a", "-"}, {"/etc/passwd", "-"}, {"", "-"}, {"1:\\a", "-"}};
        const std::pair<const char*, const char*> fromHost[] = {{"D:\\", "/srv/d/"},
            {"E:\\a", "/srv/d/../dd/a"}, {"-", "srv/d"}, {"-", ""}, {"-", "/srv/d/a\\b"}};
        // clang-format on
        for (const auto& [drive, host] : both) {
            QCOMPARE(QString::fromStdString(map.ToHost(drive).value_or("-")), host);
            QCOMPARE(QString::fromStdString(map.FromHost(host).value_or("-")), drive);
        }
        for (const auto& [drive, host] : toHost)
            QCOMPARE(QString::fromStdString(map.ToHost(drive).value_or("-")), host);
        for (const auto& [drive, host] : fromHost)
            QCOMPARE(QString::fromStdString(map.FromHost(host).value_or("-")), drive);
    }

    void clearedMap() {
        CDriveMap map = SampleMap();
        map.Clear();
        QVERIFY(map.Letters().empty() && !map.ToHost("C:\\etc") && !map.FromHost("/etc"));
        map.Map('C', "/home/c");
        map.Map('B', "/home/c");        // two letters on one folder: the first letter
        QVERIFY(!map.FromHost("/etc")); // C no longer holds the whole host
        QCOMPARE(map.FromHost("/home/c/x").value_or("-"), std::string("B:\\x"));
    }

    void programFolderReloadsDriveMap() {
        CTestProgramFolder folder;
        QVERIFY(folder.WriteFile("Tidewell.Ini", "[Drives]\r\nS=/srv/s\r\n"));
        CHostServices& services = CHostServices::Get();
        services.SetProgramFolder(folder.HostPath());
        QCOMPARE(services.DriveMap().Letters(), std::string("CS"));
        QVERIFY(QDir(QString::fromStdString(folder.HostPath())).mkdir("bare"));
        services.SetProgramFolder(folder.HostFile("bare/"));
        QCOMPARE(services.DriveMap().Letters(), std::string("C"));
    }
};

QTEST_GUILESS_MAIN(TestDriveMap)
#include "tst_DriveMap.moc"
