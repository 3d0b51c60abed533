// The "Drives" section, drive-letter paths to host paths and back, and ".." kept on a drive.
#include "platform/DriveMap.h"
#include "support/ProgramFolder.h"

#include <QTest>

class TestDriveMap : public QObject {
    Q_OBJECT
private slots:
    void loadsAndMaps() {
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
        map.LoadFromProfile(folder.HostFile("absent.ini"));
        QCOMPARE(map.Letters(), std::string("C"));
        // Paths: "<" to the host, ">" back, "=" both, "-" none; nothing outside a drive's folder.
        map = CDriveMap(); // C is "/"
        map.Map('D', "/srv/d");
        map.Map('e', "/srv/dd");
        map.Map('F', "/srv/d/sub/");
        // clang-format off
        const char* rows[][3] = {{"D:\\a\\b", "/srv/d/a/b", "="}, {"D:\\", "/srv/d", "="},
            {"E:\\a", "/srv/dd/a", "="}, {"F:\\x", "/srv/d/sub/x", "="}, {"D:\\subway", "/srv/d/subway", "="},
            {"C:\\", "/", "="}, {"D:\\資料\\表ソ", "/srv/d/資料/表ソ", "="}, {"D:\\a..b\\...\\c.", "/srv/d/a..b/.../c.", "="},
            {"d:\\a\\b\\", "/srv/d/a/b", "<"}, {"D:", "/srv/d", "<"}, {"D:/a\\\\.\\b", "/srv/d/a/b", "<"},
            {"D:\\a\\..\\b", "/srv/d/b", "<"}, {"D:\\a\\..", "/srv/d", "<"}, {"D:\\..\\etc", "-", "<"},
            {"D:\\a\\..\\..\\dd", "-", "<"}, {"C:\\..", "-", "<"}, {"F:\\..\\secret", "-", "<"}, {"X:\\a", "-", "<"},
            {"D:a", "-", "<"}, {"\\\\server\\a", "-", "<"}, {"/etc/passwd", "-", "<"}, {"", "-", "<"},
            {"1:\\a", "-", "<"}, {"D:\\", "/srv/d/", ">"}, {"E:\\a", "/srv/d/../dd/a", ">"}, {"-", "srv/d", ">"},
            {"-", "", ">"}, {"-", "/srv/d/a\\b", ">"}};
        // clang-format on
        for (const auto& [drive, host, way] : rows) {
            if (*way != '>')
                QCOMPARE(QString::fromStdString(map.ToHost(drive).value_or("-")), host);
            if (*way != '<')
                QCOMPARE(QString::fromStdString(map.FromHost(host).value_or("-")), drive);
        }
        map.Map('C', "/home/c");
        map.Map('B', "/home/c");        // two letters on one folder: the first letter
        QVERIFY(!map.FromHost("/etc")); // C no longer holds the whole host
        QCOMPARE(map.FromHost("/home/c/x").value_or("-"), std::string("B:\\x"));
    }
};

QTEST_GUILESS_MAIN(TestDriveMap)
#include "tst_DriveMap.moc"
