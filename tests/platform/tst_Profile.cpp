// The profile service on drive-letter paths: reference files read, edits and refusals.
#include "platform/ErrorCodes.h"
#include "platform/Profile.h"
#include "support/ProgramFolder.h"
#include "support/TempTree.h"

#include <QTest>
#include <climits>

namespace {
const auto Reference = CTestProgramFolder::ReadTestData;
std::string Get(const char* section, const char* key, const std::string& name) {
    return GetProfileString(section, key, "-", "T:\\" + name);
}
} // namespace

class TestProfile : public QObject {
    Q_OBJECT
private slots:
    void readsAndWrites() {
        CTempTree tree('T');
        for (const char* name : {"Daily.def", "資料.def", "Tidewell.Ini"})
            QVERIFY(tree.AddFile(name, Reference(name)));
        // 0x5C trail bytes, half-width katakana; "-" (the default) for no key, section or file.
        // clang-format off
        const char* reads[][4] = {{"Spec", "WildList", "Daily.def", "*.doc/*.txt"},
            {"LHA", "OptionStr", "Daily.def", ""}, {"lha", "lhaname", "Daily.def", "*.LZH"},
            {"Spec", "SrcDir", "資料.def", "E:\\資料\\表ソ"}, {"Spec", "DstDir", "資料.def", "F:\\控え\\ﾊﾞｯｸｱｯﾌﾟ"},
            {"OutDirList", "OutDir2", "資料.def", "E:\\資料\\表ソ\\ソ\\"},
            {"Renzoku2", "File2", "Tidewell.Ini", "資料.def"}, {"OutDirList", "OutDir1", "資料.def", "-"},
            {"LHA", "LhaName", "資料.def", "-"}, {"Spec", "SrcDir", "none", "-"}, {"Spec", "SrcDir", "..\\a.def", "-"}};
        const std::pair<const char*, int> rows[] = {{"  42", 42}, {"-7", -7}, {"+5", 5}, {"12abc", 12},
            {"abc", 0}, {"", 0}, {"0x1F", 0}, {"-2147483648", INT_MIN}, {"999999999999", INT_MAX}};
        // clang-format on
        for (const auto& [section, key, name, value] : reads)
            QCOMPARE(QString::fromStdString(Get(section, key, name)), value);
        QVERIFY(GetProfileKeys("Spec", "T:\\none").empty() && !tree.Exists("none"));
        for (const auto& [value, expected] : rows) {
            QCOMPARE(WriteProfileString("Spec", "NewChk", value, "T:\\a.ini"), 0);
            QCOMPARE(GetProfileInt("Spec", "NewChk", 1, "T:\\a.ini"), expected);
        }
        // 2 bytes each in CP932: a value read is cut at 259 bytes, stored whole.
        const std::string kana = QString("あ").repeated(300).toStdString();
        QCOMPARE(WriteProfileString("Spec", "x", "x" + kana, "T:\\a.ini"), 0);
        QCOMPARE(WriteProfileString("Spec", "xx", "xx" + kana, "T:\\a.ini"), 0);
        QCOMPARE(Get("Spec", "x", "a.ini"), "x" + kana.substr(0, 129 * 3));   // 259 bytes
        QCOMPARE(Get("Spec", "xx", "a.ini"), "xx" + kana.substr(0, 128 * 3)); // 258 bytes
        QVERIFY(tree.Bytes("a.ini").size() > 1200);
        // Writes change only their own lines; refusals leave files alone.
        std::string jp = Reference("資料.def"), daily = Reference("Daily.def");
        QVERIFY(tree.AddFile("jp.def", jp) && tree.AddFile("d.def", daily) &&
                tree.AddFolder("Busy.def/keep"));
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
        // Refused, writing nothing: no CP932 form, a line break, a folder in the way, no drive.
        // clang-format off
        const std::tuple<const char*, const char*, const char*, int> refused[] = {
            {"SrcDir", "E:\\😀", "T:\\jp.def", ERROR_NO_UNICODE_TRANSLATION}, {"SrcDir", "x", "Q:\\a.def", ERROR_PATH_NOT_FOUND},
            {"한", "1", "T:\\new.def", ERROR_NO_UNICODE_TRANSLATION}, {"SrcDir", "x", "T:\\Busy.def", ERROR_ACCESS_DENIED},
            {"SrcDir", "a\nLhaChk=1", "T:\\jp.def", ERROR_INVALID_PARAMETER}};
        // clang-format on
        for (const auto& [key, value, path, error] : refused) {
            QCOMPARE(WriteProfileString("Spec", key, value, path), error);
            QCOMPARE(WriteProfileSection("Spec", {{"NewChk", "0"}, {key, value}}, path), error);
        }
        QCOMPARE(tree.Bytes("jp.def"), jp);
        QVERIFY(tree.Exists("Busy.def/keep") && !tree.Exists("new.def"));
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "tst_Profile.moc"
