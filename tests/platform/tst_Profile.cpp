// The profile service on drive-letter paths: reference files read and
// rewritten byte for byte, writes that change only their own lines,
// refusals that leave the file alone.
#include "platform/ErrorCodes.h"
#include "platform/Profile.h"
#include "support/TempTree.h"

#include <QTest>

#include <climits>

class TestProfile : public QObject {
    Q_OBJECT
    static std::string Reference(const std::string& name) {
        QFile file(QString::fromStdString(TIDEWELL_TEST_DATA "/" + name));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }
    static std::string Get(const char* section, const char* key, const std::string& name) {
        return GetProfileString(section, key, "-", "T:\\" + name);
    }

private slots:
    void readsAndRewritesReferenceFiles() {
        CTempTree tree('T');
        for (const char* name : {"Daily.def", "資料.def", "Tidewell.Ini"})
            QVERIFY(tree.AddFile(name, Reference(name)));
        // CP932 with 0x5C trail bytes and half-width katakana; "-" is the default, given
        // for a missing key, section, file or drive.
        // clang-format off
        const char* reads[][4] = {{"Spec", "WildList", "Daily.def", "*.doc/*.txt"},
            {"LHA", "OptionStr", "Daily.def", ""}, {"lha", "lhaname", "Daily.def", "*.LZH"},
            {"Spec", "SrcDir", "資料.def", "E:\\資料\\表ソ"}, {"Spec", "DstDir", "資料.def", "F:\\控え\\ﾊﾞｯｸｱｯﾌﾟ"},
            {"OutDirList", "OutDir2", "資料.def", "E:\\資料\\表ソ\\ソ\\"}, {"Renzoku2", "File2", "Tidewell.Ini", "資料.def"},
            {"OutDirList", "OutDir1", "資料.def", "-"}, {"LHA", "LhaName", "資料.def", "-"},
            {"Spec", "SrcDir", "none", "-"}, {"Spec", "SrcDir", "..\\a.def", "-"}};
        // clang-format on
        for (const auto& [section, key, name, value] : reads)
            QCOMPARE(QString::fromStdString(Get(section, key, name)), value);
        QVERIFY(GetProfileKeys("Spec", "T:\\none").empty() && !tree.Exists("none"));
        // Every section written back as it was read gives the same bytes.
        for (const std::string name : {"Daily.def", "資料.def"}) {
            for (const char* section : {"Spec", "LHA", "OutDirList"}) {
                std::vector<std::pair<std::string, std::string>> values;
                for (const std::string& key : GetProfileKeys(section, "T:\\" + name))
                    values.emplace_back(key, Get(section, key.c_str(), name));
                QCOMPARE(
                    values.empty() ? 0 : WriteProfileSection(section, values, "T:\\new" + name), 0);
            }
            QCOMPARE(tree.Bytes("new" + name), Reference(name));
        }
    }

    void integersAndLongValues() {
        CTempTree tree('T');
        // clang-format off
        const std::pair<const char*, int> rows[] = {{"  42", 42}, {"-7", -7}, {"+5", 5}, {"12abc", 12},
            {"abc", 0}, {"", 0}, {"0x1F", 0}, {"-2147483648", INT_MIN}, {"999999999999", INT_MAX}};
        // clang-format on
        for (const auto& [value, expected] : rows) {
            QCOMPARE(WriteProfileString("Spec", "NewChk", value, "T:\\a.ini"), 0);
            QCOMPARE(GetProfileInt("Spec", "NewChk", 1, "T:\\a.ini"), expected);
        }
        std::string kana; // 2 bytes each in CP932: a value read is cut at 259 bytes, stored whole
        for (int i = 0; i < 300; ++i)
            kana += "あ";
        QCOMPARE(WriteProfileString("Spec", "x", "x" + kana, "T:\\a.ini"), 0);
        QCOMPARE(WriteProfileString("Spec", "xx", "xx" + kana, "T:\\a.ini"), 0);
        QCOMPARE(Get("Spec", "x", "a.ini"), "x" + kana.substr(0, 129 * 3));   // 259 bytes
        QCOMPARE(Get("Spec", "xx", "a.ini"), "xx" + kana.substr(0, 128 * 3)); // 258 bytes
        QVERIFY(tree.Bytes("a.ini").size() > 1200);
    }

    void writesChangeOnlyTheirLines() {
        CTempTree tree('T');
        std::string jp = Reference("資料.def"), daily = Reference("Daily.def");
        QVERIFY(tree.AddFile("jp.def", jp) && tree.AddFile("d.def", daily));
        QCOMPARE(WriteProfileString("SPEC", "newchk", "0", "T:\\jp.def"), 0);
        QCOMPARE(WriteProfileString("Spec", "DstDir", "F:\\表", "T:\\jp.def"), 0);
        jp.replace(jp.find("NewChk=1"), 8, "NewChk=0");
        jp.replace(jp.find("DstDir=") + 10, 13, "\x95\x5C"); // after "F:\"
        QCOMPARE(tree.Bytes("jp.def"), jp);
        // A new key goes to the end of its section, here the middle one.
        QCOMPARE(WriteProfileString("LHA", "Extra", "資料", "T:\\d.def"), 0);
        const size_t lha = daily.find("[LHA]"), next = daily.find("[OutDirList]");
        QCOMPARE(tree.Bytes("d.def"),
                 std::string(daily).insert(next, "Extra=\x8E\x91\x97\xBF\r\n"));
        QCOMPARE(DeleteProfileSection("lha", "T:\\d.def") + DeleteProfileSection("LHA", "T:\\none"),
                 0);
        QCOMPARE(tree.Bytes("d.def"), daily.erase(lha, next - lha));
        QCOMPARE(WriteProfileString("資料", "①", "Ⅱ№㈱", "T:\\d.def"), 0); // CP932's own rows
        QCOMPARE(Get("資料", "①", "d.def"), std::string("Ⅱ№㈱"));
    }

    void refusalsLeaveFilesAlone() {
        CTempTree tree('T');
        QVERIFY(tree.AddFile("jp.def", Reference("資料.def")) && tree.AddFolder("Busy.def/keep"));
        // clang-format off
        const std::tuple<const char*, const char*, int> rows[] = {
            {"SrcDir", "E:\\😀", ERROR_NO_UNICODE_TRANSLATION}, {"한", "1", ERROR_NO_UNICODE_TRANSLATION},
            {"SrcDir", "E:\\a\r\nLhaChk=1", ERROR_INVALID_PARAMETER}, {"SrcDir", "a\nLhaChk=1", ERROR_INVALID_PARAMETER}};
        // clang-format on
        for (const auto& [key, value, error] : rows)
            for (const char* path : {"T:\\jp.def", "T:\\new.def"}) {
                QCOMPARE(WriteProfileString("Spec", key, value, path), error);
                QCOMPARE(WriteProfileSection("Spec", {{"NewChk", "0"}, {key, value}}, path), error);
            }
        // A folder where the file should be: the write fails, not replaces it.
        QCOMPARE(WriteProfileString("Spec", "SrcDir", "x", "T:\\Busy.def"), ERROR_ACCESS_DENIED);
        QCOMPARE(tree.Listing(), QString::fromStdString("Busy.def/ Busy.def/keep/ jp.def=" +
                                                        Reference("資料.def")));
        QCOMPARE(WriteProfileString("Spec", "SrcDir", "x", "Q:\\a.def"), ERROR_PATH_NOT_FOUND);
        QCOMPARE(WriteProfileString("Spec", "SrcDir", "x", "T:\\..\\escape.def"),
                 ERROR_PATH_NOT_FOUND);
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_Profile.moc"
