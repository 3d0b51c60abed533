// The rule for save names and the settings files of the program folder:
// listing order, what is left out, and deletion with its refusals.

#include "app/SettingFiles.h"
#include "app/SettingNames.h"
#include "files/PathUtils.h"
#include "platform/Cp932.h"
#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"
#include "support/ProgramFolder.h"

#include <QDir>
#include <QTest>

#include <set>

using EProblem = ESettingNameProblem;
using CNames = std::vector<std::string>;

class CSettingNamesTest : public QObject {
    Q_OBJECT
private slots:
    void names() {
        // CP932 trail byte 0x5C in "表" and "ソ": no backslash is inside them.
        for (const char* name : {"Daily", "", "予定表", "ソース", "ﾊﾞｯｸｱｯﾌﾟ", "...", " a.b \"c\"",
                                 "；：？，＜＞＊￥｜／＼"})
            QVERIFY2(CheckSettingName(name) == EProblem::None && !HasForbiddenChar(name), name);
        for (char c : std::string(";:?,<>*\\|/")) // anywhere, also after a trail byte 0x5C
            for (const std::string& name : {c + std::string("a"), "表" + std::string(1, c)})
                QVERIFY2(HasForbiddenChar(name), name.c_str());
        // clang-format off
        const std::pair<std::string, EProblem> refused[] = {
            {"a\\b", EProblem::ForbiddenChar}, {std::string("a\0b", 3), EProblem::ControlChar},
            {"a\nUsedDef=x", EProblem::ControlChar}, {"a\x7f", EProblem::ControlChar},
            {"旅行\xF0\x9F\x98\x80", EProblem::NoCp932Form}, {"a\xFF", EProblem::NoCp932Form},
            {"\x95\x5C", EProblem::NoCp932Form}, {".", EProblem::DotName}, {"..", EProblem::DotName}};
        // clang-format on
        for (const auto& [name, problem] : refused)
            QCOMPARE(CheckSettingName(name), problem);
    }

    void lengthLimits() {
        CTestProgramFolder folder;
        // The CP932 path, ".def" included, may take 259 bytes: a kanji counts 2.
        const std::string fits =
            "表" + std::string(259 - Cp932ByteLength(GetProgramFolder()) - 6, 'a');
        QCOMPARE(CheckSettingName(fits), EProblem::None);
        QCOMPARE(CheckSettingName(fits + "a"), EProblem::TooLong);
        QCOMPARE(CheckSettingName(fits.substr(0, fits.size() - 1) + "表"), EProblem::TooLong);
        // The host name may take 255 bytes: a kanji counts 3 there.
        std::string kanji;
        for (int i = 0; i < 83; ++i)
            kanji += "表";
        QCOMPARE(CheckSettingName(kanji), EProblem::None);
        QCOMPARE(CheckSettingName(kanji + "表"), EProblem::TooLong);
    }

    void warningsNameTheProblem() {
        QCOMPARE(SettingNameWarning(EProblem::ForbiddenChar),
                 std::string("保存名称はﾌｧｲﾙ名称として使用するため、下記の文字を含んではいけません"
                             "．\n\n使用出来ない文字 (半角のみ)  ；：？，＜＞＊￥｜／"));
        std::set<std::string> texts{SettingNameWarning(EProblem::None)}; // empty
        for (EProblem problem : {EProblem::ForbiddenChar, EProblem::ControlChar,
                                 EProblem::NoCp932Form, EProblem::DotName, EProblem::TooLong})
            if (IsCp932Representable(SettingNameWarning(problem)))
                texts.insert(SettingNameWarning(problem));
        QCOMPARE(texts.size(), size_t(6)); // each its own, each a text CP932 holds
    }

    void listingAndDeletion() {
        CTestProgramFolder folder;
        QVERIFY(ListSettingFiles().empty());
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
        QVERIFY(QDir(QString::fromStdString(folder.HostPath())).mkdir("sub"));
        CHostServices::Get().SetProgramFolder(folder.HostFile("sub") + "/");
        for (const std::string& name :
             {std::string("..\\b"), std::string("../b"), std::string("b\0x", 3)})
            QCOMPARE(DeleteSettingFile(name), int(ERROR_INVALID_NAME));
        CHostServices::Get().SetProgramFolder(folder.HostPath() + "/");
        QCOMPARE(ListSettingFiles(), (CNames{"A.def", "Locked.def", "b.def", "資料.def"}));
    }
};

QTEST_GUILESS_MAIN(CSettingNamesTest)
#include "tst_SettingNames.moc"
