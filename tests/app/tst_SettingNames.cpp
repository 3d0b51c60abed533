// The rule for save names; listing and deleting the settings files of the program folder.
#include "app/SettingFiles.h"
#include "app/SettingNames.h"
#include "files/PathUtils.h"
#include "support/ProgramFolder.h"

#include <QTest>

using CNames = std::vector<std::string>;
using enum ESettingNameProblem;

class CSettingNamesTest : public QObject {
    Q_OBJECT
private slots:
    void namesAndFiles() {
        CTestProgramFolder folder;
        // CP932 trail byte 0x5C in "表" and "ソ": no backslash is inside them.
        for (const char* name : {"Daily", "", "予定表", "ソース", "ﾊﾞｯｸｱｯﾌﾟ", "...", " a.b \"c\"",
                                 "；：？，＜＞＊￥｜／＼"})
            QVERIFY2(CheckSettingName(name) == None && !HasForbiddenChar(name), name);
        for (char c : std::string(";:?,<>*\\|/")) // anywhere, also after a trail byte 0x5C
            for (const std::string& name : {c + std::string("a"), "表" + std::string(1, c)})
                QVERIFY2(HasForbiddenChar(name), name.c_str());
        // The host name, ".def" included, may take 255 bytes: a kanji counts 3 there.
        const std::string kanji = QString("表").repeated(83).toStdString();
        // clang-format off
        const std::pair<std::string, ESettingNameProblem> rows[] = {{kanji, None}, {kanji + "表", TooLong},
            {"a\\b", ForbiddenChar}, {std::string("a\0b", 3), ControlChar}, {"a\nUsedDef=x", ControlChar},
            {"a\x7f", ControlChar}, {"旅行\xF0\x9F\x98\x80", NoCp932Form}, {"a\xFF", NoCp932Form},
            {"\x95\x5C", NoCp932Form}, {".", DotName}, {"..", DotName}};
        // clang-format on
        for (const auto& [name, problem] : rows)
            QCOMPARE(CheckSettingName(name), problem);
        // The settings files: listing order, what is left out, deletion.
        for (const char* name :
             {"b.def", "資料.def", "A.def", "c.DEF", ".def", "e.txt", "f.def.bak", "Locked.def"})
            QVERIFY(folder.WriteFile(name, "[Spec]\r\n"));
        QVERIFY(QDir(QString::fromStdString(folder.HostPath())).mkdir("d.def"));
        // "c.DEF" is left out: a setting is opened as <name>.def, another file here.
        QCOMPARE(ListSettingFiles(), (CNames{".def", "A.def", "Locked.def", "b.def", "資料.def"}));
        QCOMPARE(DeleteSettingFile(""), 0);
        QCOMPARE(DeleteSettingFile(""), int(ERROR_FILE_NOT_FOUND));
        QVERIFY(QFile::setPermissions(QString::fromStdString(folder.HostFile("Locked.def")),
                                      QFileDevice::ReadOwner));
        QCOMPARE(DeleteSettingFile("Locked"), int(ERROR_ACCESS_DENIED));
        // A name from a hand-edited profile must not reach outside the folder.
        CHostServices::Get().SetProgramFolder(folder.HostFile("d.def/"));
        for (const std::string& name :
             {std::string("..\\b"), std::string("../b"), std::string("b\0x", 3)})
            QCOMPARE(DeleteSettingFile(name), int(ERROR_INVALID_NAME));
        CHostServices::Get().SetProgramFolder(folder.HostPath() + "/");
        QCOMPARE(ListSettingFiles(), (CNames{"A.def", "Locked.def", "b.def", "資料.def"}));
    }
};

QTEST_GUILESS_MAIN(CSettingNamesTest)
#include "tst_SettingNames.moc"
