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
        QVERIFY(folder.WriteFile(
            "a.ini",
            "[CopyInfo]\r\nD=/wrong\r\n[drives]\r\nd = /srv/data/ "
            "\r\nG=relative\r\nH=\r\nII=/two\r\n1=/digit\r\nc=/home/c\r\nK=/a/./b/../k\r\n"));
        CDriveMap map;
        QVERIFY(!map.Map('1', "/x") && !map.Map('\xC3', "/x") && !map.Map('D', "x") &&
                !map.Map('D', std::string("/x\0y", 4)));
        QVERIFY(map.Map('z', "//z//y/"));
        QCOMPARE(map.HostRoot('Z').value_or("-"), std::string("/z/y"));
        map.LoadFromProfile(folder.HostFile("a.ini"));
        QCOMPARE(map.Letters(), std::string("CDK")); // Z dropped by the reload
        QCOMPARE(map.HostRoot('d').value_or("-") + map.HostRoot('C').value_or("-") +
                     map.HostRoot('K').value_or("-"),
                 std::string("/srv/data/home/c/a/k"));
        map.LoadFromProfile(std::string(TIDEWELL_TEST_DATA) + "/Tidewell.Ini");
        QCOMPARE(map.HostRoot('E').value_or("-"), std::string("/srv/work"));
        const char garbage[] = "\0\xFF[Drives\0]\r\n=\r\n[\r\n";
        QVERIFY(folder.WriteFile("a.ini", std::string(garbage, sizeof garbage - 1)));
        for (const char* name : {"a.ini", "absent.ini"}) {
            map.LoadFromProfile(folder.HostFile(name));
            QCOMPARE(map.Letters(), std::string("C"));
        }
    }

    void toHost() {
        // clang-format off
        const std::pair<const char*, const char*> rows[] = {{"d:\\a\\b\\", "/srv/d/a/b"}, {"D:", "/srv/d"},
            {"D:\\", "/srv/d"}, {"D:/a\\\\.\\b", "/srv/d/a/b"}, {"D:\\a\\..\\b", "/srv/d/b"}, {"D:\\a\\..", "/srv/d"},
            {"D:\\a..b\\...\\c.", "/srv/d/a..b/.../c."}, {"D:\\資料\\表ソ", "/srv/d/資料/表ソ"}, {"C:\\", "/"},
            {"F:\\x", "/srv/d/sub/x"},
            // A drive-letter path never names anything outside its folder.
            {"D:\\..\\etc", "-"}, {"D:\\a\\..\\..\\dd", "-"}, {"C:\\..", "-"}, {"F:\\..\\secret", "-"},
            {"X:\\a", "-"}, {"D:a", "-"}, {"\\\\server\\a", "-"}, {"/etc/passwd", "-"}, {"", "-"}, {"1:\\a", "-"}};
        // clang-format on
        for (const auto& [path, host] : rows)
            QCOMPARE(QString::fromStdString(SampleMap().ToHost(path).value_or("-")), host);
    }

    void fromHost() {
        // clang-format off
        const std::pair<const char*, const char*> rows[] = {{"/srv/d/a/b", "D:\\a\\b"}, {"/srv/d/", "D:\\"},
            {"/srv/dd/a", "E:\\a"}, {"/srv/d/sub/x", "F:\\x"}, {"/srv/d/subway", "D:\\subway"},
            {"/etc/hosts", "C:\\etc\\hosts"}, {"/", "C:\\"}, {"/srv/d/../dd/a", "E:\\a"},
            {"/srv/d/資料/表ソ", "D:\\資料\\表ソ"}, {"srv/d", "-"}, {"", "-"}, {"/srv/d/a\\b", "-"}};
        // clang-format on
        for (const auto& [host, path] : rows)
            QCOMPARE(QString::fromStdString(SampleMap().FromHost(host).value_or("-")), path);
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
        QCOMPARE(services.ProgramFolderHost(), folder.HostPath() + "/");
        QCOMPARE(services.DriveMap().Letters(), std::string("CS"));
        QVERIFY(QDir(QString::fromStdString(folder.HostPath())).mkdir("bare"));
        services.SetProgramFolder(folder.HostFile("bare/"));
        QCOMPARE(services.DriveMap().Letters(), std::string("C"));
        QCOMPARE(HostExecutableFolder(),
                 QCoreApplication::applicationDirPath().toStdString() + "/");
    }
};

QTEST_GUILESS_MAIN(TestDriveMap)
#include "tst_DriveMap.moc"
