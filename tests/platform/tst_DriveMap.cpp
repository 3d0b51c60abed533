// Drive letters on the host: the "Drives" section, drive-letter paths to
// host paths and back, and the guarantee that ".." never leaves a drive.
#include "platform/DriveMap.h"
#include "platform/HostServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

bool WriteBytes(const QString& path, const std::string& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
               static_cast<qint64>(bytes.size());
}

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
    void readsReferenceProfile();
    void readsOnlyValidEntries();
    void mapRefusesBadLettersAndRelativeFolders();
    void toHost_data();
    void toHost();
    void fromHost_data();
    void fromHost();
    void unmappedCAndClearedMap();
    void roundTrip();
    void programFolderReloadsDriveMap();
};

void TestDriveMap::readsReferenceProfile() {
    CDriveMap map;
    map.Map('Z', "/z");
    map.LoadFromProfile(
        QDir(QStringLiteral(TIDEWELL_TEST_DATA)).filePath("Tidewell.Ini").toStdString());
    QCOMPARE(map.Letters(), std::string("CEF")); // Z was dropped by the reload
    QCOMPARE(map.HostRoot('e').value_or("-"), std::string("/srv/work"));
    QCOMPARE(map.HostRoot('F').value_or("-"), std::string("/media/backup"));
    QCOMPARE(map.HostRoot('C').value_or("-"), std::string("/"));
}

void TestDriveMap::readsOnlyValidEntries() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString ini = dir.filePath("Tidewell.Ini");
    QVERIFY(WriteBytes(ini, "[CopyInfo]\r\nD=/wrong/section\r\n"
                            "[drives]\r\n"
                            "d = /srv/data/ \r\n" // lower case, blanks, trailing slash
                            "G=relative/path\r\n" // not absolute
                            "H=\r\n"              // empty
                            "II=/two/letters\r\n"
                            "1=/digit\r\n"
                            "c=/home/c\r\n" // C mapped elsewhere
                            "D=/second/wins/not\r\n"
                            "K=/a/./b/../k\r\n"));
    CDriveMap map;
    map.LoadFromProfile(ini.toStdString());
    QCOMPARE(map.Letters(), std::string("CDK"));
    QCOMPARE(map.HostRoot('D').value_or("-"), std::string("/srv/data"));
    QCOMPARE(map.HostRoot('c').value_or("-"), std::string("/home/c"));
    QCOMPARE(map.HostRoot('K').value_or("-"), std::string("/a/k"));
    QVERIFY(!map.HostRoot('G'));
    // Missing file: the default map.
    map.LoadFromProfile(dir.filePath("absent.ini").toStdString());
    QCOMPARE(map.Letters(), std::string("C"));
    // Garbage: the default map, no crash.
    const char garbage[] = "\x00\xFF[Drives\x00]\r\n=\r\n[\r\n";
    QVERIFY(WriteBytes(ini, std::string(garbage, sizeof garbage - 1)));
    map.LoadFromProfile(ini.toStdString());
    QCOMPARE(map.Letters(), std::string("C"));
}

void TestDriveMap::mapRefusesBadLettersAndRelativeFolders() {
    CDriveMap map;
    QVERIFY(!map.Map('1', "/x"));
    QVERIFY(!map.Map('\xC3', "/x"));
    QVERIFY(!map.Map('D', "x"));
    QVERIFY(!map.Map('D', ""));
    QVERIFY(!map.Map('D', std::string("/x\0y", 4)));
    QCOMPARE(map.Letters(), std::string("C"));
    QVERIFY(map.Map('d', "//x//y/"));
    QCOMPARE(map.HostRoot('D').value_or("-"), std::string("/x/y"));
}

void TestDriveMap::toHost_data() {
    QTest::addColumn<QString>("drivePath");
    QTest::addColumn<bool>("mapped");
    QTest::addColumn<QString>("host");
    QTest::newRow("plain") << "D:\\a\\b" << true << "/srv/d/a/b";
    QTest::newRow("lower-case letter") << "d:\\a" << true << "/srv/d/a";
    QTest::newRow("drive only") << "D:" << true << "/srv/d";
    QTest::newRow("drive root") << "D:\\" << true << "/srv/d";
    QTest::newRow("trailing separator") << "D:\\a\\" << true << "/srv/d/a";
    QTest::newRow("forward slashes") << "D:/a/b" << true << "/srv/d/a/b";
    QTest::newRow("doubled and dot components") << "D:\\a\\\\.\\b" << true << "/srv/d/a/b";
    QTest::newRow("dot-dot inside the drive") << "D:\\a\\..\\b" << true << "/srv/d/b";
    QTest::newRow("dot-dot back to the root") << "D:\\a\\.." << true << "/srv/d";
    QTest::newRow("dots in a name") << "D:\\a..b\\...\\c." << true << "/srv/d/a..b/.../c.";
    QTest::newRow("Japanese") << QString::fromUtf8("D:\\資料\\表ソ") << true
                              << QString::fromUtf8("/srv/d/資料/表ソ");
    QTest::newRow("C is the host root") << "C:\\etc\\hosts" << true << "/etc/hosts";
    QTest::newRow("C root") << "C:\\" << true << "/";
    QTest::newRow("longer mapping is its own drive") << "F:\\x" << true << "/srv/d/sub/x";
    QTest::newRow("dot-dot above the root") << "D:\\..\\etc" << false << "";
    QTest::newRow("dot-dot climbing out later") << "D:\\a\\..\\..\\dd" << false << "";
    QTest::newRow("dot-dot above C") << "C:\\.." << false << "";
    QTest::newRow("dot-dot from a nested drive") << "F:\\..\\secret" << false << "";
    QTest::newRow("unmapped letter") << "X:\\a" << false << "";
    QTest::newRow("drive-relative") << "D:a" << false << "";
    QTest::newRow("network path") << "\\\\server\\share\\a" << false << "";
    QTest::newRow("host path") << "/etc/passwd" << false << "";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("digit as drive") << "1:\\a" << false << "";
}

void TestDriveMap::toHost() {
    QFETCH(QString, drivePath);
    QFETCH(bool, mapped);
    QFETCH(QString, host);
    std::optional<std::string> got = SampleMap().ToHost(drivePath.toStdString());
    QCOMPARE(got.has_value(), mapped);
    if (mapped)
        QCOMPARE(QString::fromStdString(*got), host);
}

void TestDriveMap::fromHost_data() {
    QTest::addColumn<QString>("hostPath");
    QTest::addColumn<bool>("held");
    QTest::addColumn<QString>("drivePath");
    QTest::newRow("inside D") << "/srv/d/a/b" << true << "D:\\a\\b";
    QTest::newRow("D's root") << "/srv/d" << true << "D:\\";
    QTest::newRow("D's root with slash") << "/srv/d/" << true << "D:\\";
    QTest::newRow("name sharing D's prefix") << "/srv/dd/a" << true << "E:\\a";
    QTest::newRow("longest mapping wins") << "/srv/d/sub/x" << true << "F:\\x";
    QTest::newRow("prefix of the longer mapping") << "/srv/d/subway" << true << "D:\\subway";
    QTest::newRow("anything else is C") << "/etc/hosts" << true << "C:\\etc\\hosts";
    QTest::newRow("host root") << "/" << true << "C:\\";
    QTest::newRow("dot-dot resolved first") << "/srv/d/../dd/a" << true << "E:\\a";
    QTest::newRow("Japanese") << QString::fromUtf8("/srv/d/資料/表ソ") << true
                              << QString::fromUtf8("D:\\資料\\表ソ");
    QTest::newRow("relative") << "srv/d" << false << "";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("backslash in a host name") << "/srv/d/a\\b" << false << "";
}

void TestDriveMap::fromHost() {
    QFETCH(QString, hostPath);
    QFETCH(bool, held);
    QFETCH(QString, drivePath);
    std::optional<std::string> got = SampleMap().FromHost(hostPath.toStdString());
    QCOMPARE(got.has_value(), held);
    if (held)
        QCOMPARE(QString::fromStdString(*got), drivePath);
}

void TestDriveMap::unmappedCAndClearedMap() {
    CDriveMap map = SampleMap();
    map.Clear();
    QCOMPARE(map.Letters(), std::string());
    QVERIFY(!map.ToHost("C:\\etc"));
    QVERIFY(!map.FromHost("/etc"));
    map.Map('C', "/home/c");
    QVERIFY(!map.FromHost("/etc")); // C no longer holds the whole host
    QCOMPARE(map.FromHost("/home/c/x").value_or("-"), std::string("C:\\x"));
    map.Map('B', "/home/c"); // two letters on one folder: the first letter
    QCOMPARE(map.FromHost("/home/c/x").value_or("-"), std::string("B:\\x"));
}

void TestDriveMap::roundTrip() {
    CDriveMap map = SampleMap();
    for (const char* path : {"D:\\a\\b", "E:\\x", "F:\\y\\z", "C:\\etc", "D:\\"}) {
        std::optional<std::string> host = map.ToHost(path);
        QVERIFY(host);
        QCOMPARE(map.FromHost(*host).value_or("-"), std::string(path));
    }
}

void TestDriveMap::programFolderReloadsDriveMap() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(WriteBytes(dir.filePath("Tidewell.Ini"), "[Drives]\r\nS=/srv/s\r\n"));
    CHostServices& services = CHostServices::Get();
    services.SetProgramFolder(dir.path().toStdString());
    QCOMPARE(services.ProgramFolderHost(), dir.path().toStdString() + "/");
    QCOMPARE(services.DriveMap().Letters(), std::string("CS"));
    QTemporaryDir bare;
    QVERIFY(bare.isValid());
    services.SetProgramFolder(bare.path().toStdString() + "/");
    QCOMPARE(services.ProgramFolderHost(), bare.path().toStdString() + "/");
    QCOMPARE(services.DriveMap().Letters(), std::string("C"));
    QCOMPARE(HostExecutableFolder(), QCoreApplication::applicationDirPath().toStdString() + "/");
}

QTEST_GUILESS_MAIN(TestDriveMap)
#include "tst_DriveMap.moc"
