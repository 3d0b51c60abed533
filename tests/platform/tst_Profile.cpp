// The profile service on drive-letter paths: the reference settings files
// read with their known values, writes that change only their own lines,
// refusals that leave the file alone.
#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"
#include "platform/Profile.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QTest>

#include <climits>

class TestProfile : public QObject {
    Q_OBJECT
    std::unique_ptr<CTestProgramFolder> m_pFolder; // mapped to T:

    std::string Bytes(const std::string& name) const { return m_pFolder->ReadFile(name); }
    // Copies a reference file to T:, returns its drive path.
    std::string Fixture(const std::string& name) {
        return m_pFolder->CopyTestData(name) ? "T:\\" + name : std::string();
    }
    static std::string Get(const char* section, const char* key, const std::string& path) {
        return GetProfileString(section, key, "-", path);
    }

private slots:
    void init() {
        m_pFolder = std::make_unique<CTestProgramFolder>();
        QVERIFY(CHostServices::Get().DriveMap().Map('T', m_pFolder->HostPath()));
    }
    void cleanup() { m_pFolder.reset(); }

    void readsReferenceFiles() {
        const std::string daily = Fixture("Daily.def"), jp = Fixture("資料.def");
        QCOMPARE(Get("Spec", "WildList", daily) + Get("LHA", "OptionStr", daily),
                 std::string("*.doc/*.txt"));
        QCOMPARE(GetProfileInt("lha", "subdirchk", 7, daily) +
                     GetProfileInt("Spec", "SubDirChk", 7, daily),
                 0);
        QCOMPARE(GetProfileKeys("LHA", daily),
                 (std::vector<std::string>{"LhaName", "OptionStr", "FileHeder", "SubDirChk",
                                           "AllClrChk", "NewChk", "AutoFileChk"}));
        // CP932 with 0x5C trail bytes and half-width katakana.
        QCOMPARE(Get("Spec", "SrcDir", jp) + Get("Spec", "DstDir", jp),
                 std::string("E:\\資料\\表ソF:\\控え\\ﾊﾞｯｸｱｯﾌﾟ"));
        QCOMPARE(Get("OutDirList", "OutDir2", jp), std::string("E:\\資料\\表ソ\\ソ\\"));
        QCOMPARE(Get("Renzoku2", "File2", Fixture("Tidewell.Ini")), std::string("資料.def"));
        // Missing key, section, file or drive: the default, and no file made.
        QCOMPARE(Get("OutDirList", "OutDir1", jp) + Get("LHA", "LhaName", jp) +
                     Get("Spec", "SrcDir", "T:\\none.def") + Get("Spec", "SrcDir", "Q:\\a.def"),
                 std::string("----"));
        QCOMPARE(GetProfileInt("LHA", "NewChk", -1, jp), -1);
        QVERIFY(GetProfileKeys("Spec", "T:\\none.def").empty());
        QVERIFY(!QFile::exists(QString::fromStdString(m_pFolder->HostFile("none.def"))));
    }

    void integerReader() {
        // clang-format off
        const std::pair<const char*, int> rows[] = {{"  42", 42}, {"-7", -7}, {"+5", 5}, {"12abc", 12},
            {"abc", 0}, {"", 0}, {"-", 0}, {"0x1F", 0}, {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
            {"999999999999", INT_MAX}, {"-2147483649", INT_MIN}};
        // clang-format on
        for (const auto& [value, expected] : rows) {
            QCOMPARE(WriteProfileString("Spec", "NewChk", value, "T:\\int.ini"), 0);
            QCOMPARE(GetProfileInt("Spec", "NewChk", 1, "T:\\int.ini"), expected);
        }
    }

    void longValuesAreCutAtCharacterBoundary() {
        std::string kana; // 2 bytes each in CP932
        for (int i = 0; i < 300; ++i)
            kana += "あ";
        QCOMPARE(WriteProfileString("Spec", "A", std::string(300, 'a'), "T:\\long.def"), 0);
        QCOMPARE(WriteProfileString("Spec", "K", "x" + kana, "T:\\long.def"), 0);
        QCOMPARE(WriteProfileString("Spec", "H", "xx" + kana, "T:\\long.def"), 0);
        QCOMPARE(Get("Spec", "A", "T:\\long.def"), std::string(259, 'a'));
        // 1 + 2 * 129 = 259 bytes: the last character fits exactly; 2 + 2 * 129 does not.
        QCOMPARE(Get("Spec", "K", "T:\\long.def"), "x" + kana.substr(0, 129 * 3));
        QCOMPARE(Get("Spec", "H", "T:\\long.def"), "xx" + kana.substr(0, 128 * 3));
        QVERIFY(Bytes("long.def").find(std::string(300, 'a')) != std::string::npos); // kept whole
    }

    void rewritingReproducesReferenceFiles() {
        for (const std::string name : {"Daily.def", "資料.def"}) {
            const std::string from = Fixture(name);
            for (const char* section : {"Spec", "LHA", "OutDirList"}) {
                std::vector<std::pair<std::string, std::string>> values;
                for (const std::string& key : GetProfileKeys(section, from))
                    values.emplace_back(key, GetProfileString(section, key, "", from));
                QCOMPARE(values.empty() ? 0
                                        : WriteProfileSection(section, values, "T:\\copy" + name),
                         0);
            }
            QCOMPARE(Bytes("copy" + name), CTestProgramFolder::ReadTestData(name));
        }
        QCOMPARE(WriteProfileString("資料", "①", "Ⅱ№㈱", "T:\\nec.def"), 0); // CP932's own rows
        QCOMPARE(Get("資料", "①", "T:\\nec.def"), std::string("Ⅱ№㈱"));
    }

    void writesChangeOnlyTheirLines() {
        const std::string jp = Fixture("資料.def"), daily = Fixture("Daily.def");
        std::string jpBytes = Bytes("資料.def"), dailyBytes = Bytes("Daily.def");
        QCOMPARE(WriteProfileString("SPEC", "newchk", "0", jp), 0);
        QCOMPARE(WriteProfileString("Spec", "DstDir", "F:\\表", jp), 0);
        jpBytes.replace(jpBytes.find("NewChk=1"), 8, "NewChk=0");
        jpBytes.replace(jpBytes.find("DstDir=") + 10, 13, "\x95\x5C"); // after "F:\"
        QCOMPARE(Bytes("資料.def"), jpBytes);
        // A new key goes to the end of its section, here the middle one.
        QCOMPARE(WriteProfileString("LHA", "Extra", "資料", daily), 0);
        QCOMPARE(Bytes("Daily.def"),
                 std::string(dailyBytes)
                     .insert(dailyBytes.find("[OutDirList]"), "Extra=\x8E\x91\x97\xBF\r\n"));
        QCOMPARE(DeleteProfileSection("lha", daily), 0);
        QCOMPARE(Bytes("Daily.def"),
                 dailyBytes.erase(dailyBytes.find("[LHA]"),
                                  dailyBytes.find("[OutDirList]") - dailyBytes.find("[LHA]")));
        QCOMPARE(DeleteProfileSection("LHA", "T:\\absent.def"), 0);
        QVERIFY(!QFile::exists(QString::fromStdString(m_pFolder->HostFile("absent.def"))));
    }

    void refusalsLeaveFilesAlone() {
        const std::string path = Fixture("資料.def"), before = Bytes("資料.def");
        // clang-format off
        const std::tuple<const char*, const char*, int> rows[] = {
            {"SrcDir", "E:\\😀", ERROR_NO_UNICODE_TRANSLATION}, {"한", "1", ERROR_NO_UNICODE_TRANSLATION},
            {"SrcDir", "E:\\a\r\nLhaChk=1", ERROR_INVALID_PARAMETER}, {"SrcDir", "a\nLhaChk=1", ERROR_INVALID_PARAMETER}};
        // clang-format on
        for (const auto& [key, value, error] : rows) {
            QCOMPARE(WriteProfileString("Spec", key, value, path), error);
            QCOMPARE(WriteProfileString("Spec", key, value, "T:\\new.def"), error);
            QCOMPARE(WriteProfileSection("Spec", {{"SrcDir", "E:\\New"}, {key, value}}, path),
                     error);
        }
        QCOMPARE(Bytes("資料.def"), before);
        QVERIFY(!QFile::exists(QString::fromStdString(m_pFolder->HostFile("new.def"))));
        // A folder where the file should be: the write fails, not replaces it.
        QVERIFY(QDir(QString::fromStdString(m_pFolder->HostPath())).mkpath("Busy.def/keep"));
        QCOMPARE(WriteProfileString("Spec", "SrcDir", "x", "T:\\Busy.def"), ERROR_ACCESS_DENIED);
        QVERIFY(QFile::exists(QString::fromStdString(m_pFolder->HostFile("Busy.def/keep"))));
        QCOMPARE(WriteProfileString("Spec", "SrcDir", "x", "Q:\\a.def"), ERROR_PATH_NOT_FOUND);
        QCOMPARE(WriteProfileString("Spec", "SrcDir", "x", "T:\\..\\escape.def"),
                 ERROR_PATH_NOT_FOUND);
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_Profile.moc"
