// The profile service on drive-letter paths: the reference settings files
// read with their known values, writes that change only their own lines,
// refusals that leave the file alone.
#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"
#include "platform/Profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <climits>

namespace {

std::string ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

QString Fixture(const char* name) {
    return QDir(QStringLiteral(TIDEWELL_TEST_DATA)).filePath(QString::fromUtf8(name));
}

// Replaces the first occurrence of what in text (it must be there).
std::string Replaced(std::string text, const std::string& what, const std::string& with) {
    size_t at = text.find(what);
    return at == std::string::npos ? std::string() : text.replace(at, what.size(), with);
}

} // namespace

class TestProfile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void readsDailyFixture();
    void readsJapaneseFixtureWith5CTrailBytes();
    void readsApplicationProfileFixture();
    void integerReader_data();
    void integerReader();
    void missingFileDriveOrSectionGivesDefaults();
    void longValuesAreCutAtCharacterBoundary();
    void writeSectionReproducesReferenceFile();
    void replacingKeepsEveryOtherByte();
    void appendingGoesToTheMiddleSection();
    void deletingSectionRemovesOnlyIt();
    void roundTripsJapaneseValues();
    void refusalLeavesFileByteIdentical_data();
    void refusalLeavesFileByteIdentical();
    void writeSectionIsAllOrNothing();
    void unreadableFileIsNeverReplaced();
    void unmappedDriveIsAnError();

private:
    QTemporaryDir m_tempDir;
    // Copies a fixture into the temporary folder; returns its drive path.
    std::string CopyFixture(const char* name);
    QString HostOf(const char* name) const {
        return QDir(m_tempDir.path()).filePath(QString::fromUtf8(name));
    }
};

void TestProfile::init() {
    QVERIFY(m_tempDir.isValid());
    for (const QString& name : QDir(m_tempDir.path()).entryList(QDir::Files | QDir::Hidden))
        QVERIFY(QFile::remove(QDir(m_tempDir.path()).filePath(name)));
    QVERIFY(CHostServices::Get().DriveMap().Map('T', m_tempDir.path().toStdString()));
}

std::string TestProfile::CopyFixture(const char* name) {
    QFile::remove(HostOf(name));
    if (!QFile::copy(Fixture(name), HostOf(name)))
        return {};
    QFile::setPermissions(HostOf(name), QFile::ReadOwner | QFile::WriteOwner);
    return std::string("T:\\") + name;
}

void TestProfile::readsDailyFixture() {
    const std::string path = CopyFixture("Daily.def");
    QCOMPARE(GetProfileString("Spec", "SrcDir", "", path), std::string("E:\\Work"));
    QCOMPARE(GetProfileString("Spec", "DstDir", "", path), std::string("D:\\Backup"));
    QCOMPARE(GetProfileString("Spec", "WildList", "*.*", path), std::string("*.doc/*.txt"));
    QCOMPARE(GetProfileInt("Spec", "NewChk", 0, path), 1);
    QCOMPARE(GetProfileInt("Spec", "OutDirChk", 0, path), 1);
    QCOMPARE(GetProfileInt("Spec", "AnsChk", 1, path), 0);
    QCOMPARE(GetProfileString("LHA", "LhaName", "", path), std::string("*.LZH"));
    QCOMPARE(GetProfileString("LHA", "OptionStr", "dflt", path), std::string());
    QCOMPARE(GetProfileInt("OutDirList", "Count", 0, path), 2);
    QCOMPARE(GetProfileString("OutDirList", "OutDir1", "", path),
             std::string("E:\\Work\\old\\cache"));
    // The same key names in two sections stay apart.
    QCOMPARE(GetProfileInt("lha", "subdirchk", 7, path), 0);
    QCOMPARE(GetProfileKeys("LHA", path),
             (std::vector<std::string>{"LhaName", "OptionStr", "FileHeder", "SubDirChk",
                                       "AllClrChk", "NewChk", "AutoFileChk"}));
}

void TestProfile::readsJapaneseFixtureWith5CTrailBytes() {
    const std::string path = CopyFixture("資料.def");
    QCOMPARE(GetProfileString("Spec", "SrcDir", "", path), std::string("E:\\資料\\表ソ"));
    QCOMPARE(GetProfileString("Spec", "DstDir", "", path), std::string("F:\\控え\\ﾊﾞｯｸｱｯﾌﾟ"));
    QCOMPARE(GetProfileString("Spec", "WildList", "", path), std::string("*.txt/*.予定"));
    QCOMPARE(GetProfileInt("Spec", "AnsChk", 0, path), 1);
    QCOMPARE(GetProfileInt("OutDirList", "Count", 0, path), 3);
    QCOMPARE(GetProfileString("OutDirList", "OutDir0", "", path),
             std::string("E:\\資料\\表ソ\\古い"));
    QCOMPARE(GetProfileString("OutDirList", "OutDir1", "none", path), std::string("none"));
    QCOMPARE(GetProfileString("OutDirList", "OutDir2", "", path),
             std::string("E:\\資料\\表ソ\\ソ\\"));
    QCOMPARE(GetProfileString("LHA", "LhaName", "*.LZH", path), std::string("*.LZH"));
}

void TestProfile::readsApplicationProfileFixture() {
    const std::string path = CopyFixture("Tidewell.Ini");
    QCOMPARE(GetProfileString("CopyInfo", "UsedDef", "", path), std::string("Daily"));
    QCOMPARE(GetProfileInt("CopyInfo", "RenzokuIndex", 0, path), 2);
    QCOMPARE(GetProfileString("Renzoku2", "File2", "", path), std::string("資料.def"));
    QCOMPARE(GetProfileInt("Renzoku1", "Count", -1, path), -1);
}

void TestProfile::integerReader_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("plain") << "123" << 123;
    QTest::newRow("leading blanks") << "  42" << 42;
    QTest::newRow("minus") << "-7" << -7;
    QTest::newRow("plus") << "+5" << 5;
    QTest::newRow("letters") << "abc" << 0;
    QTest::newRow("digits then letters") << "12abc" << 12;
    QTest::newRow("empty value") << "" << 0;
    QTest::newRow("sign only") << "-" << 0;
    QTest::newRow("flag stored as 2") << "2" << 2;
    QTest::newRow("leading zeros") << "007" << 7;
    QTest::newRow("largest") << "2147483647" << INT_MAX;
    QTest::newRow("smallest") << "-2147483648" << INT_MIN;
    QTest::newRow("too large") << "99999999"
                                  "99999999"
                                  "99999999"
                               << INT_MAX;
    QTest::newRow("too small") << "-2147483649" << INT_MIN;
    QTest::newRow("hex is not read") << "0x1F" << 0;
}

void TestProfile::integerReader() {
    QFETCH(QString, value);
    QFETCH(int, expected);
    const std::string path = "T:\\int.ini";
    QCOMPARE(WriteProfileString("Spec", "NewChk", value.toStdString(), path), 0);
    QCOMPARE(GetProfileInt("Spec", "NewChk", 1, path), expected);
    QCOMPARE(GetProfileInt("Spec", "Missing", -3, path), -3);
}

void TestProfile::missingFileDriveOrSectionGivesDefaults() {
    QCOMPARE(GetProfileString("Spec", "WildList", "*.*", "T:\\none.def"), std::string("*.*"));
    QCOMPARE(GetProfileInt("Spec", "NewChk", 1, "T:\\none.def"), 1);
    QCOMPARE(GetProfileString("Spec", "SrcDir", "d", "Q:\\unmapped.def"), std::string("d"));
    QVERIFY(GetProfileKeys("Spec", "T:\\none.def").empty());
    const std::string path = CopyFixture("資料.def");
    QCOMPARE(GetProfileString("LHA", "OptionStr", "", path), std::string());
    QCOMPARE(GetProfileInt("LHA", "NewChk", 1, path), 1);
    QVERIFY(!QFileInfo::exists(HostOf("none.def"))); // reading creates nothing
}

void TestProfile::longValuesAreCutAtCharacterBoundary() {
    const std::string path = "T:\\long.def";
    std::string ascii(300, 'a');
    std::string kana; // 300 characters of 2 bytes each in CP932
    for (int i = 0; i < 300; ++i)
        kana += "あ";
    QCOMPARE(WriteProfileString("Spec", "A", ascii, path), 0);
    QCOMPARE(WriteProfileString("Spec", "K", "x" + kana, path), 0);
    QCOMPARE(WriteProfileString("Spec", "H", "xx" + kana, path), 0);
    QCOMPARE(GetProfileString("Spec", "A", "", path), std::string(259, 'a'));
    // 1 + 2 * 129 = 259 bytes: the character fits exactly.
    QCOMPARE(GetProfileString("Spec", "K", "", path), "x" + kana.substr(0, 129 * 3));
    // 2 + 2 * 128 = 258; one more character would need 260 bytes.
    QCOMPARE(GetProfileString("Spec", "H", "", path), "xx" + kana.substr(0, 128 * 3));
    // The file itself keeps the whole value.
    QVERIFY(ReadBytes(HostOf("long.def")).find(std::string(300, 'a')) != std::string::npos);
}

void TestProfile::writeSectionReproducesReferenceFile() {
    const std::string path = "T:\\Daily.def";
    QCOMPARE(WriteProfileSection("Spec",
                                 {{"SrcDir", "E:\\Work"},
                                  {"DstDir", "D:\\Backup"},
                                  {"WildList", "*.doc/*.txt"},
                                  {"UsedChk", "0"},
                                  {"SubDirChk", "0"},
                                  {"AllClrChk", "0"},
                                  {"NewChk", "1"},
                                  {"DustChk", "1"},
                                  {"AnsChk", "0"},
                                  {"LhaChk", "0"},
                                  {"CopyDirChk", "0"},
                                  {"OutDirChk", "1"}},
                                 path),
             0);
    const std::string reference = ReadBytes(Fixture("Daily.def"));
    QCOMPARE(ReadBytes(HostOf("Daily.def")), reference.substr(0, reference.find("[LHA]")));
    QCOMPARE(WriteProfileSection("LHA",
                                 {{"LhaName", "*.LZH"},
                                  {"OptionStr", ""},
                                  {"FileHeder", ""},
                                  {"SubDirChk", "0"},
                                  {"AllClrChk", "0"},
                                  {"NewChk", "1"},
                                  {"AutoFileChk", "0"}},
                                 path),
             0);
    QCOMPARE(WriteProfileString("OutDirList", "Count", "2", path), 0);
    QCOMPARE(WriteProfileString("OutDirList", "OutDir0", "E:\\Work\\tmp", path), 0);
    QCOMPARE(WriteProfileString("OutDirList", "OutDir1", "E:\\Work\\old\\cache", path), 0);
    QCOMPARE(ReadBytes(HostOf("Daily.def")), reference);
}

void TestProfile::replacingKeepsEveryOtherByte() {
    const std::string path = CopyFixture("資料.def");
    const std::string before = ReadBytes(HostOf("資料.def"));
    QCOMPARE(WriteProfileString("SPEC", "newchk", "0", path), 0);
    QCOMPARE(WriteProfileString("Spec", "DstDir", "F:\\表", path), 0);
    std::string expected = Replaced(before, "NewChk=1", "NewChk=0");
    expected = Replaced(expected, "DstDir=F:\\\x8D\x54\x82\xA6\\\xCA\xDE\xAF\xB8\xB1\xAF\xCC\xDF",
                        "DstDir=F:\\\x95\x5C");
    QVERIFY(!expected.empty());
    QCOMPARE(ReadBytes(HostOf("資料.def")), expected);
}

void TestProfile::appendingGoesToTheMiddleSection() {
    const std::string path = CopyFixture("Daily.def");
    const std::string before = ReadBytes(HostOf("Daily.def"));
    QCOMPARE(WriteProfileString("LHA", "Extra", "資料", path), 0);
    QCOMPARE(ReadBytes(HostOf("Daily.def")),
             Replaced(before, "AutoFileChk=0\r\n", "AutoFileChk=0\r\nExtra=\x8E\x91\x97\xBF\r\n"));
    QCOMPARE(GetProfileKeys("LHA", path).back(), std::string("Extra"));
}

void TestProfile::deletingSectionRemovesOnlyIt() {
    const std::string path = CopyFixture("Daily.def");
    const std::string before = ReadBytes(HostOf("Daily.def"));
    QCOMPARE(DeleteProfileSection("lha", path), 0);
    size_t from = before.find("[LHA]");
    size_t to = before.find("[OutDirList]");
    QCOMPARE(ReadBytes(HostOf("Daily.def")), before.substr(0, from) + before.substr(to));
    QCOMPARE(GetProfileString("LHA", "LhaName", "*.LZH", path), std::string("*.LZH"));
    QCOMPARE(GetProfileInt("OutDirList", "Count", 0, path), 2);
    // Deleting what is not there creates nothing.
    QCOMPARE(DeleteProfileSection("LHA", "T:\\absent.def"), 0);
    QVERIFY(!QFileInfo::exists(HostOf("absent.def")));
}

void TestProfile::roundTripsJapaneseValues() {
    const std::string path = "T:\\設定.def";
    const std::vector<std::pair<std::string, std::string>> values = {{"SrcDir", "E:\\資料\\表ソ\\"},
                                                                     {"DstDir", "F:\\ﾊﾞｯｸｱｯﾌﾟ\\能"},
                                                                     {"WildList", "*.txt/*.予定"},
                                                                     {"Blank", ""},
                                                                     {"①", "Ⅱ№㈱"}};
    for (const auto& [key, value] : values)
        QCOMPARE(WriteProfileString("資料", key, value, path), 0);
    for (const auto& [key, value] : values)
        QCOMPARE(GetProfileString("資料", key, "-", path), value);
    const std::string bytes = ReadBytes(HostOf("設定.def"));
    QVERIFY(bytes.rfind("[\x8E\x91\x97\xBF]\r\nSrcDir=E:\\\x8E\x91\x97\xBF\\\x95\x5C\x83\x5C\\\r\n",
                        0) == 0);
    QVERIFY(bytes.find('\n') == bytes.find("\r\n") + 1); // CR LF line ends
}

void TestProfile::refusalLeavesFileByteIdentical_data() {
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("error");
    QTest::newRow("emoji value") << "Spec"
                                 << "SrcDir" << QString::fromUtf8("E:\\😀")
                                 << int(ERROR_NO_UNICODE_TRANSLATION);
    QTest::newRow("hangul key") << "Spec" << QString::fromUtf8("한") << "1"
                                << int(ERROR_NO_UNICODE_TRANSLATION);
    QTest::newRow("value with line break") << "Spec"
                                           << "SrcDir"
                                           << "E:\\a\r\nLhaChk=1" << int(ERROR_INVALID_PARAMETER);
}

void TestProfile::refusalLeavesFileByteIdentical() {
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(int, error);
    const std::string path = CopyFixture("資料.def");
    const std::string before = ReadBytes(HostOf("資料.def"));
    QCOMPARE(
        WriteProfileString(section.toStdString(), key.toStdString(), value.toStdString(), path),
        error);
    QCOMPARE(ReadBytes(HostOf("資料.def")), before);
    // A refused first write creates no file either.
    QCOMPARE(WriteProfileString(section.toStdString(), key.toStdString(), value.toStdString(),
                                "T:\\new.def"),
             error);
    QVERIFY(!QFileInfo::exists(HostOf("new.def")));
}

void TestProfile::writeSectionIsAllOrNothing() {
    const std::string path = CopyFixture("Daily.def");
    const std::string before = ReadBytes(HostOf("Daily.def"));
    QCOMPARE(WriteProfileSection("Spec", {{"SrcDir", "E:\\New"}, {"DstDir", "D:\\😀"}}, path),
             ERROR_NO_UNICODE_TRANSLATION);
    QCOMPARE(ReadBytes(HostOf("Daily.def")), before);
}

void TestProfile::unreadableFileIsNeverReplaced() {
    // A folder where the file should be: the write must fail, not replace it.
    QVERIFY(QDir(m_tempDir.path()).mkpath("Busy.def/keep"));
    QCOMPARE(WriteProfileString("Spec", "SrcDir", "x", "T:\\Busy.def"), ERROR_ACCESS_DENIED);
    QVERIFY(QFileInfo(HostOf("Busy.def/keep")).isDir());
    QVERIFY(QDir(HostOf("Busy.def")).removeRecursively());
}

void TestProfile::unmappedDriveIsAnError() {
    QCOMPARE(WriteProfileString("Spec", "SrcDir", "x", "Q:\\a.def"), ERROR_PATH_NOT_FOUND);
    QCOMPARE(WriteProfileString("Spec", "SrcDir", "x", "T:\\..\\escape.def"), ERROR_PATH_NOT_FOUND);
    QVERIFY(!QFileInfo::exists(QDir(m_tempDir.path()).filePath("../escape.def")));
}

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_Profile.moc"
