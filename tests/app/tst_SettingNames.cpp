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
#include <QFile>
#include <QTest>

#include <set>

Q_DECLARE_METATYPE(std::string)

namespace {

bool Exists(const CTestProgramFolder& folder, const std::string& name) {
    return QFile::exists(QString::fromStdString(folder.HostFile(name)));
}

} // namespace

class CSettingNamesTest : public QObject {
    Q_OBJECT
private slots:
    void acceptedNames_data();
    void acceptedNames();
    void refusedNames_data();
    void refusedNames();
    void eachForbiddenCharAnywhere();
    void lengthLimitsCountCp932Bytes();
    void hostNameLimitCountsUtf8Bytes();
    void warningsNameTheProblem();

    void listingOrderAndWhatIsLeftOut();
    void listingOfAnEmptyFolder();
    void deletion();
    void deletionRefusals();
};

void CSettingNamesTest::acceptedNames_data() {
    QTest::addColumn<std::string>("name");
    QTest::newRow("plain") << std::string("Daily");
    QTest::newRow("empty saves .def") << std::string();
    // CP932 trail byte 0x5C: the backslash must not be seen inside them.
    QTest::newRow("hyo") << std::string("表");
    QTest::newRow("so") << std::string("ソース");
    QTest::newRow("trail 5C at end") << std::string("予定表");
    QTest::newRow("half-width katakana") << std::string("ﾊﾞｯｸｱｯﾌﾟ");
    QTest::newRow("period and quote") << std::string("a.b \"c\"");
    QTest::newRow("leading dots") << std::string("...x");
    QTest::newRow("three dots") << std::string("...");
    QTest::newRow("full-width forms") << std::string("；：？，＜＞＊￥｜／＼");
    QTest::newRow("blanks") << std::string(" 月次 ");
}

void CSettingNamesTest::acceptedNames() {
    QFETCH(std::string, name);
    CTestProgramFolder folder;
    QCOMPARE(CheckSettingName(name), ESettingNameProblem::None);
    QVERIFY(!HasForbiddenChar(name));
}

void CSettingNamesTest::refusedNames_data() {
    QTest::addColumn<std::string>("name");
    QTest::addColumn<int>("problem");
    const auto forbidden = static_cast<int>(ESettingNameProblem::ForbiddenChar);
    const auto control = static_cast<int>(ESettingNameProblem::ControlChar);
    const auto noCp932 = static_cast<int>(ESettingNameProblem::NoCp932Form);
    const auto dot = static_cast<int>(ESettingNameProblem::DotName);
    QTest::newRow("backslash after hyo") << std::string("表\\x") << forbidden;
    QTest::newRow("slash climbs") << std::string("../x") << forbidden;
    QTest::newRow("NUL") << std::string("a\0b", 3) << control;
    QTest::newRow("tab") << std::string("a\tb") << control;
    QTest::newRow("line feed") << std::string("a\nUsedDef=x") << control;
    QTest::newRow("DEL") << std::string("a\x7f") << control;
    QTest::newRow("emoji") << std::string("旅行\xF0\x9F\x98\x80") << noCp932;
    QTest::newRow("e acute") << std::string("caf\xC3\xA9") << noCp932;
    QTest::newRow("bad UTF-8") << std::string("a\xFF") << noCp932;
    // CP932 bytes passed by mistake: no backslash is found in them.
    QTest::newRow("CP932 bytes of hyo") << std::string("\x95\x5C") << noCp932;
    QTest::newRow("dot") << std::string(".") << dot;
    QTest::newRow("dot dot") << std::string("..") << dot;
}

void CSettingNamesTest::refusedNames() {
    QFETCH(std::string, name);
    QFETCH(int, problem);
    CTestProgramFolder folder;
    QCOMPARE(static_cast<int>(CheckSettingName(name)), problem);
    QVERIFY(HasForbiddenChar(name));
}

void CSettingNamesTest::eachForbiddenCharAnywhere() {
    CTestProgramFolder folder;
    for (char c : std::string(";:?,<>*\\|/")) {
        for (const std::string& name :
             {std::string(1, c) + "a", "表" + std::string(1, c) + "a", "ab" + std::string(1, c)}) {
            QVERIFY2(CheckSettingName(name) == ESettingNameProblem::ForbiddenChar, name.c_str());
        }
    }
}

void CSettingNamesTest::lengthLimitsCountCp932Bytes() {
    CTestProgramFolder folder;
    const size_t folderBytes = Cp932ByteLength(GetProgramFolder());
    QVERIFY(folderBytes > 3);
    // The full path, name + ".def" included, may take 259 CP932 bytes.
    const size_t room = 259 - folderBytes - 4;
    // A kanji takes two CP932 bytes (three on the Linux disk); letters fill
    // the rest, so the name stays within the 255-byte host name limit.
    std::string fits = "表" + std::string(room - 2, 'a');
    QCOMPARE(Cp932ByteLength(GetProgramFolder() + fits + ".def"), size_t(259));
    QVERIFY(fits.size() + 4 <= 255);
    QCOMPARE(CheckSettingName(fits), ESettingNameProblem::None);
    QCOMPARE(CheckSettingName(fits + "a"), ESettingNameProblem::TooLong);
    QCOMPARE(CheckSettingName(fits.substr(0, fits.size() - 1) + "表"),
             ESettingNameProblem::TooLong);
}

void CSettingNamesTest::hostNameLimitCountsUtf8Bytes() {
    CTestProgramFolder folder;
    // Each "表" is three bytes on the Linux disk but two in CP932: 84 of them
    // fit the CP932 path but not a 255-byte Linux name.
    std::string name;
    for (int i = 0; i < 83; ++i)
        name += "表";
    QVERIFY(Cp932ByteLength(GetProgramFolder() + name + "表.def") <= 259);
    QCOMPARE(CheckSettingName(name), ESettingNameProblem::None);
    QCOMPARE(CheckSettingName(name + "表"), ESettingNameProblem::TooLong);
}

void CSettingNamesTest::warningsNameTheProblem() {
    QCOMPARE(SettingNameWarning(ESettingNameProblem::ForbiddenChar),
             std::string(kForbiddenCharWarning));
    QVERIFY(SettingNameWarning(ESettingNameProblem::None).empty());
    // The warning lists every forbidden character in its full-width form.
    for (const char* shown : {"；", "：", "？", "，", "＜", "＞", "＊", "￥", "｜", "／"})
        QVERIFY2(std::string(kForbiddenCharWarning).find(shown) != std::string::npos, shown);
    std::set<std::string> texts;
    for (ESettingNameProblem problem :
         {ESettingNameProblem::ForbiddenChar, ESettingNameProblem::ControlChar,
          ESettingNameProblem::NoCp932Form, ESettingNameProblem::DotName,
          ESettingNameProblem::TooLong}) {
        const std::string text = SettingNameWarning(problem);
        QVERIFY(IsCp932Representable(text));
        QVERIFY(text.find("保存名称") != std::string::npos);
        texts.insert(text);
    }
    QCOMPARE(texts.size(), size_t(5));
}

void CSettingNamesTest::listingOrderAndWhatIsLeftOut() {
    CTestProgramFolder folder;
    for (const char* name :
         {"b.def", "資料.def", "A.def", "c.DEF", ".def", "e.txt", "f.def.bak", "def", "ab.def"})
        QVERIFY(folder.WriteFile(name, "[Spec]\r\n"));
    QVERIFY(QDir(QString::fromStdString(folder.HostPath())).mkdir(QStringLiteral("d.def")));
    // "c.DEF" is left out: a setting is opened as <name>.def, which is
    // another file on this system.
    const std::vector<std::string> expected = {".def", "A.def", "ab.def", "b.def", "資料.def"};
    QCOMPARE(ListSettingFiles(), expected);
}

void CSettingNamesTest::listingOfAnEmptyFolder() {
    CTestProgramFolder folder;
    QVERIFY(ListSettingFiles().empty());
}

void CSettingNamesTest::deletion() {
    CTestProgramFolder folder;
    QVERIFY(folder.WriteFile("Daily.def", "[Spec]\r\n"));
    QVERIFY(folder.WriteFile("表.def", "[Spec]\r\n"));
    QVERIFY(folder.WriteFile(".def", "[Spec]\r\n"));
    QCOMPARE(DeleteSettingFile("表"), 0);
    QVERIFY(!Exists(folder, "表.def"));
    QCOMPARE(DeleteSettingFile(""), 0);
    QVERIFY(!Exists(folder, ".def"));
    QVERIFY(Exists(folder, "Daily.def"));
    QCOMPARE(DeleteSettingFile("表"), int(ERROR_FILE_NOT_FOUND));
    QCOMPARE(ListSettingFiles(), std::vector<std::string>{"Daily.def"});
}

void CSettingNamesTest::deletionRefusals() {
    CTestProgramFolder folder;
    QVERIFY(folder.WriteFile("Locked.def", "[Spec]\r\n"));
    const QString locked = QString::fromStdString(folder.HostFile("Locked.def"));
    QVERIFY(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    QCOMPARE(DeleteSettingFile("Locked"), int(ERROR_ACCESS_DENIED));
    QVERIFY(QFile::exists(locked));

    // A name from a hand-edited profile must not reach outside the folder:
    // the program folder is "sub" and the file beside it must survive.
    QVERIFY(QDir(QString::fromStdString(folder.HostPath())).mkdir(QStringLiteral("sub")));
    QVERIFY(folder.WriteFile("Outside.def", "[Spec]\r\n"));
    QVERIFY(folder.WriteFile("sub/Inner.def", "[Spec]\r\n"));
    CHostServices::Get().SetProgramFolder(folder.HostFile("sub") + "/");
    QCOMPARE(ListSettingFiles(), std::vector<std::string>{"Inner.def"});
    QCOMPARE(DeleteSettingFile("..\\Outside"), int(ERROR_INVALID_NAME));
    QCOMPARE(DeleteSettingFile("../Outside"), int(ERROR_INVALID_NAME));
    QCOMPARE(DeleteSettingFile(std::string("Inner\0x", 7)), int(ERROR_INVALID_NAME));
    CHostServices::Get().SetProgramFolder(folder.HostPath() + "/");
    QVERIFY(Exists(folder, "Outside.def"));
    QVERIFY(Exists(folder, "sub/Inner.def"));
}

QTEST_GUILESS_MAIN(CSettingNamesTest)
#include "tst_SettingNames.moc"
