// The settings list of the main window: selecting, saving and deleting
// settings files, with the save dialog answered as a user would.

#include "MainWindowFixture.h"

#include "platform/ErrorCodes.h"

#include <QTest>

using Dlg = CCopyMainDlg;

namespace {

const char kAskSave[] = "設定が変更されています、保存しますか．";

QString EditText(Dlg& dlg, int id) {
    return ControlAs<QLineEdit>(&dlg, id)->text();
}
int CurrentEntry(Dlg& dlg) {
    return ControlAs<QComboBox>(&dlg, Dlg::IDC_SETTING_LIST)->currentIndex();
}
QString CurrentText(Dlg& dlg) {
    return ControlAs<QComboBox>(&dlg, Dlg::IDC_SETTING_LIST)->currentText();
}

// Three settings whose source folders name them.
void WriteThree(CMainWindowFixture& fx) {
    for (const char* name : {"Beta", "Delta", "Gamma"})
        QVERIFY(fx.WriteSetting(name, {{"SrcDir", std::string("S:\\") + name}}));
}

} // namespace

class TestMainWindowSettings : public QObject {
    Q_OBJECT

private slots:
    void choosingLoadsThroughItemData();
    void choosingWithChangesAsks_data();
    void choosingWithChangesAsks();
    void yesSavesUnderNameSortingBeforeChosenAndStillLoadsChosen();

    void saveUnderNewNameSelectsItAndBecomesCurrent();
    void saveUnderExistingNameKeepsOtherSections();
    void saveUnderEmptyNameKeepsChanged();
    void saveCancelledWritesNothing();
    void saveOfUnstorableTextWarnsAndKeepsChanged();

    void deleteAsksAndLoadsNextEntry();
    void deleteAnsweredNoChangesNothing();
    void deleteLastEntrySelectsNewLast();
    void deleteOnlyEntryShowsDefaults();
    void deleteFailureShowsSystemText();
    void deleteAfterSaveUnderEmptyNameLoadsFirstEntry();
    void emptyNamedFileIsListedAndNamedByDelete();
};

void TestMainWindowSettings::choosingLoadsThroughItemData() {
    CMainWindowFixture fx;
    // Listed by the folder as zeta, Alpha, mid (byte order); shown sorted.
    QVERIFY(fx.WriteSetting("zeta", {{"SrcDir", "S:\\zeta"}}));
    QVERIFY(fx.WriteSetting("Alpha", {{"SrcDir", "S:\\Alpha"}}));
    QVERIFY(fx.WriteSetting("mid", {{"SrcDir", "S:\\mid"}}));
    QVERIFY(fx.WriteProfile({{"UsedDef", "Alpha"}}));
    auto dlg = fx.Open();
    QCOMPARE(ListTexts(*dlg), (std::vector<std::string>{"Alpha", "mid", "zeta"}));
    for (int pos : {2, 1, 0}) {
        ChooseEntry(*dlg, pos);
        const QString name = QString::fromStdString(ListTexts(*dlg)[static_cast<size_t>(pos)]);
        QCOMPARE(EditText(*dlg, Dlg::IDC_SRC_DIR), "S:\\" + name);
        QCOMPARE(QString::fromStdString(dlg->m_strUsedDef), name);
        QCOMPARE(dlg->m_nCurSel, pos);
        QCOMPARE(CurrentEntry(*dlg), pos);
    }
    QVERIFY(fx.boxes->Shown().empty());
}

void TestMainWindowSettings::choosingWithChangesAsks_data() {
    QTest::addColumn<int>("answer");
    QTest::newRow("cancel") << int(IDCANCEL);
    QTest::newRow("no") << int(IDNO);
}

void TestMainWindowSettings::choosingWithChangesAsks() {
    QFETCH(int, answer);
    CMainWindowFixture fx;
    WriteThree(fx);
    QVERIFY(fx.WriteProfile({{"UsedDef", "Beta"}}));
    auto dlg = fx.Open();
    TypeInto(dlg.get(), Dlg::IDC_WILD_LIST, QStringLiteral("*.changed"));
    fx.boxes->ExpectExact(kAskSave, answer, MB_YESNOCANCEL | MB_ICONQUESTION);
    ChooseEntry(*dlg, 2);
    QVERIFY(fx.boxes->VerifyAllUsed());
    if (answer == IDCANCEL) {
        // Nothing changes: the list shows the loaded entry, the edits keep
        // the changes.
        QCOMPARE(CurrentText(*dlg), QStringLiteral("Beta"));
        QCOMPARE(EditText(*dlg, Dlg::IDC_WILD_LIST), QStringLiteral("*.changed"));
        QCOMPARE(dlg->m_bChanged, 1);
        QCOMPARE(dlg->m_strUsedDef, std::string("Beta"));
    } else {
        QCOMPARE(CurrentText(*dlg), QStringLiteral("Gamma"));
        QCOMPARE(EditText(*dlg, Dlg::IDC_SRC_DIR), QStringLiteral("S:\\Gamma"));
        QCOMPARE(dlg->m_bChanged, 0);
    }
    // The changes never reached a file.
    QCOMPARE(ProfileValue(fx, "Beta.def", "Spec", "WildList"), std::string("<absent>"));
}

void TestMainWindowSettings::yesSavesUnderNameSortingBeforeChosenAndStillLoadsChosen() {
    CMainWindowFixture fx;
    WriteThree(fx);
    QVERIFY(fx.WriteProfile({{"UsedDef", "Beta"}}));
    auto dlg = fx.Open();
    TypeInto(dlg.get(), Dlg::IDC_WILD_LIST, QStringLiteral("*.kept"));
    fx.boxes->ExpectExact(kAskSave, IDYES);
    AnswerSaveDialog("Aaa"); // sorts first, moving "Gamma" one down
    ChooseEntry(*dlg, 2);    // Gamma
    QVERIFY(fx.boxes->VerifyAllUsed());
    QCOMPARE(ListTexts(*dlg), (std::vector<std::string>{"Aaa", "Beta", "Delta", "Gamma"}));
    QCOMPARE(CurrentText(*dlg), QStringLiteral("Gamma"));
    QCOMPARE(EditText(*dlg, Dlg::IDC_SRC_DIR), QStringLiteral("S:\\Gamma"));
    QCOMPARE(dlg->m_nCurSel, 3);
    QCOMPARE(ProfileValue(fx, "Aaa.def", "Spec", "WildList"), std::string("*.kept"));
    QCOMPARE(ProfileValue(fx, "Aaa.def", "Spec", "SrcDir"), std::string("S:\\Beta"));
}

void TestMainWindowSettings::saveUnderNewNameSelectsItAndBecomesCurrent() {
    CMainWindowFixture fx;
    WriteThree(fx);
    QVERIFY(fx.WriteProfile({{"UsedDef", "Delta"}}));
    auto dlg = fx.Open();
    TypeInto(dlg.get(), Dlg::IDC_DST_DIR, QStringLiteral("D:\\新しい"));
    AnswerSaveDialog("Copy of Delta");
    ClickControl(dlg.get(), Dlg::IDC_SAVE);
    QCOMPARE(CurrentText(*dlg), QStringLiteral("Copy of Delta"));
    QCOMPARE(dlg->m_nCurSel, CurrentEntry(*dlg));
    QCOMPARE(dlg->m_bChanged, 0);
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_SAVE));
    QCOMPARE(ProfileValue(fx, "Copy of Delta.def", "Spec", "DstDir"), std::string("D:\\新しい"));
    QCOMPARE(ProfileValue(fx, "Delta.def", "Spec", "DstDir"), std::string("<absent>"));
    // The saved name is the current one: the delete button names it.
    fx.boxes->ExpectExact("設定ﾌｧｲﾙ[Copy of Delta]を削除しますか．", IDNO,
                          MB_YESNO | MB_ICONQUESTION);
    ClickControl(dlg.get(), Dlg::IDC_DELETE);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QCOMPARE(fx.boxes->Shown().back().strCaption, std::string("削除確認"));
}

void TestMainWindowSettings::saveUnderExistingNameKeepsOtherSections() {
    CMainWindowFixture fx;
    QVERIFY(fx.program.CopyTestData("Daily.def"));
    QVERIFY(fx.WriteProfile({{"UsedDef", "Daily"}}));
    auto dlg = fx.Open();
    TypeInto(dlg.get(), Dlg::IDC_WILD_LIST, QStringLiteral("*.xls"));
    AnswerSaveDialog("Daily");
    ClickControl(dlg.get(), Dlg::IDC_SAVE);
    QCOMPARE(ProfileValue(fx, "Daily.def", "Spec", "WildList"), std::string("*.xls"));
    QCOMPARE(ProfileValue(fx, "Daily.def", "Spec", "SrcDir"), std::string("E:\\Work"));
    QCOMPARE(ProfileValue(fx, "Daily.def", "LHA", "LhaName"), std::string("*.LZH"));
    QCOMPARE(ProfileValue(fx, "Daily.def", "OutDirList", "OutDir1"),
             std::string("E:\\Work\\old\\cache"));
    QCOMPARE(ListTexts(*dlg), std::vector<std::string>{"Daily"});
    QCOMPARE(dlg->m_bChanged, 0);
}

void TestMainWindowSettings::saveUnderEmptyNameKeepsChanged() {
    CMainWindowFixture fx;
    WriteThree(fx);
    QVERIFY(fx.WriteProfile({{"UsedDef", "Beta"}}));
    auto dlg = fx.Open();
    TypeInto(dlg.get(), Dlg::IDC_WILD_LIST, QStringLiteral("*.nameless"));
    AnswerSaveDialog("");
    ClickControl(dlg.get(), Dlg::IDC_SAVE);
    QCOMPARE(ProfileValue(fx, ".def", "Spec", "WildList"), std::string("*.nameless"));
    QCOMPARE(ListTexts(*dlg), (std::vector<std::string>{"", "Beta", "Delta", "Gamma"}));
    QCOMPARE(CurrentEntry(*dlg), -1);
    QCOMPARE(dlg->m_bChanged, 1);
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_SAVE));
}

void TestMainWindowSettings::saveCancelledWritesNothing() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("Beta", {{"SrcDir", "S:\\Beta"}}));
    auto dlg = fx.Open();
    TypeInto(dlg.get(), Dlg::IDC_SRC_DIR, QStringLiteral("S:\\Changed"));
    const std::string before = fx.program.ReadFile("Beta.def");
    AnswerSaveDialog(nullptr);
    ClickControl(dlg.get(), Dlg::IDC_SAVE);
    QCOMPARE(fx.program.ReadFile("Beta.def"), before);
    QCOMPARE(ListTexts(*dlg), std::vector<std::string>{"Beta"});
    QCOMPARE(dlg->m_bChanged, 1);
}

void TestMainWindowSettings::saveOfUnstorableTextWarnsAndKeepsChanged() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("Beta", {{"SrcDir", "S:\\Beta"}}));
    QVERIFY(fx.WriteProfile({{"UsedDef", "Beta"}}));
    auto dlg = fx.Open();
    const std::string before = fx.program.ReadFile("Beta.def");
    // An emoji has no CP932 form: the settings file cannot hold it.
    TypeInto(dlg.get(), Dlg::IDC_SRC_DIR, QString::fromUtf8("S:\\\xF0\x9F\x98\x80"));
    AnswerSaveDialog("Beta");
    fx.boxes->ExpectExact("保存できない文字が含まれています．", IDOK, MB_OK | MB_ICONEXCLAMATION);
    ClickControl(dlg.get(), Dlg::IDC_SAVE);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QCOMPARE(fx.program.ReadFile("Beta.def"), before);
    QCOMPARE(dlg->m_bChanged, 1);
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_SAVE));
    QCOMPARE(CurrentText(*dlg), QStringLiteral("Beta"));
}

void TestMainWindowSettings::deleteAsksAndLoadsNextEntry() {
    CMainWindowFixture fx;
    WriteThree(fx);
    QVERIFY(fx.WriteProfile({{"UsedDef", "Beta"}}));
    auto dlg = fx.Open();
    fx.boxes->ExpectExact("設定ﾌｧｲﾙ[Beta]を削除しますか．", IDYES, MB_YESNO | MB_ICONQUESTION);
    ClickControl(dlg.get(), Dlg::IDC_DELETE);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QVERIFY(fx.program.ReadFile("Beta.def").empty());
    QCOMPARE(ListTexts(*dlg), (std::vector<std::string>{"Delta", "Gamma"}));
    // The entry that took the deleted one's place is loaded.
    QCOMPARE(CurrentText(*dlg), QStringLiteral("Delta"));
    QCOMPARE(EditText(*dlg, Dlg::IDC_SRC_DIR), QStringLiteral("S:\\Delta"));
    QCOMPARE(dlg->m_strUsedDef, std::string("Delta"));
    QCOMPARE(dlg->m_nCurSel, 0);
}

void TestMainWindowSettings::deleteAnsweredNoChangesNothing() {
    CMainWindowFixture fx;
    WriteThree(fx);
    QVERIFY(fx.WriteProfile({{"UsedDef", "Delta"}}));
    auto dlg = fx.Open();
    fx.boxes->ExpectExact("設定ﾌｧｲﾙ[Delta]を削除しますか．", IDNO);
    ClickControl(dlg.get(), Dlg::IDC_DELETE);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QVERIFY(!fx.program.ReadFile("Delta.def").empty());
    QCOMPARE(ListTexts(*dlg).size(), size_t(3));
    QCOMPARE(CurrentText(*dlg), QStringLiteral("Delta"));
}

void TestMainWindowSettings::deleteLastEntrySelectsNewLast() {
    CMainWindowFixture fx;
    WriteThree(fx);
    QVERIFY(fx.WriteProfile({{"UsedDef", "Gamma"}}));
    auto dlg = fx.Open();
    TypeInto(dlg.get(), Dlg::IDC_WILD_LIST, QStringLiteral("*.dropped"));
    fx.boxes->ExpectExact("設定ﾌｧｲﾙ[Gamma]を削除しますか．", IDYES);
    // Loading the next entry asks about the unsaved changes first.
    fx.boxes->ExpectExact(kAskSave, IDNO);
    ClickControl(dlg.get(), Dlg::IDC_DELETE);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QCOMPARE(ListTexts(*dlg), (std::vector<std::string>{"Beta", "Delta"}));
    QCOMPARE(CurrentText(*dlg), QStringLiteral("Delta"));
    QCOMPARE(EditText(*dlg, Dlg::IDC_SRC_DIR), QStringLiteral("S:\\Delta"));
    QCOMPARE(dlg->m_bChanged, 0);
}

void TestMainWindowSettings::deleteOnlyEntryShowsDefaults() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("Only", {{"SrcDir", "S:\\Only"}, {"NewChk", "0"}}));
    QVERIFY(fx.WriteProfile({{"UsedDef", "Only"}}));
    auto dlg = fx.Open();
    QVERIFY(!IsChecked(dlg.get(), Dlg::IDC_NEW_CHK));
    fx.boxes->ExpectExact("設定ﾌｧｲﾙ[Only]を削除しますか．", IDYES);
    ClickControl(dlg.get(), Dlg::IDC_DELETE);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QVERIFY(ListTexts(*dlg).empty());
    QCOMPARE(dlg->m_strUsedDef, std::string());
    QCOMPARE(EditText(*dlg, Dlg::IDC_SRC_DIR), QString());
    QCOMPARE(EditText(*dlg, Dlg::IDC_WILD_LIST), QStringLiteral("*.*"));
    QVERIFY(IsChecked(dlg.get(), Dlg::IDC_NEW_CHK));
    QCOMPARE(dlg->m_bChanged, 0);
    // A delete with nothing listed does nothing (no question).
    ClickControl(dlg.get(), Dlg::IDC_DELETE);
    QCOMPARE(fx.boxes->Shown().size(), size_t(1));
}

void TestMainWindowSettings::deleteFailureShowsSystemText() {
    CMainWindowFixture fx;
    WriteThree(fx);
    QVERIFY(fx.WriteProfile({{"UsedDef", "Missing"}}));
    auto dlg = fx.Open();
    fx.boxes->ExpectExact("設定ﾌｧｲﾙ[Missing]を削除しますか．", IDYES);
    fx.boxes->ExpectExact(GetSystemErrorText(ERROR_FILE_NOT_FOUND), IDOK,
                          MB_OK | MB_ICONEXCLAMATION);
    ClickControl(dlg.get(), Dlg::IDC_DELETE);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QVERIFY(!GetSystemErrorText(ERROR_FILE_NOT_FOUND).empty());
    QCOMPARE(ListTexts(*dlg).size(), size_t(3));
    QCOMPARE(CurrentEntry(*dlg), -1);
    QCOMPARE(dlg->m_strUsedDef, std::string("Missing"));
}

void TestMainWindowSettings::deleteAfterSaveUnderEmptyNameLoadsFirstEntry() {
    CMainWindowFixture fx;
    WriteThree(fx);
    QVERIFY(fx.WriteProfile({{"UsedDef", "Delta"}}));
    auto dlg = fx.Open();
    TypeInto(dlg.get(), Dlg::IDC_WILD_LIST, QStringLiteral("*.nameless"));
    AnswerSaveDialog("");
    ClickControl(dlg.get(), Dlg::IDC_SAVE);
    QCOMPARE(CurrentEntry(*dlg), -1);
    // The question names the loaded file; afterwards the first entry is
    // loaded (after the question about the still unsaved changes).
    fx.boxes->ExpectExact("設定ﾌｧｲﾙ[Delta]を削除しますか．", IDYES);
    fx.boxes->ExpectExact(kAskSave, IDNO);
    ClickControl(dlg.get(), Dlg::IDC_DELETE);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QCOMPARE(ListTexts(*dlg), (std::vector<std::string>{"", "Beta", "Gamma"}));
    QCOMPARE(CurrentEntry(*dlg), 0);
    QCOMPARE(dlg->m_strUsedDef, std::string());
    QCOMPARE(EditText(*dlg, Dlg::IDC_WILD_LIST), QStringLiteral("*.nameless"));
    QCOMPARE(dlg->m_bChanged, 0);
}

void TestMainWindowSettings::emptyNamedFileIsListedAndNamedByDelete() {
    CMainWindowFixture fx;
    QVERIFY(fx.program.WriteFile(".def", "")); // hidden, listed only by name
    QVERIFY(fx.program.WriteFile("notes.txt", "x"));
    auto dlg = fx.Open();
    QCOMPARE(ListTexts(*dlg), std::vector<std::string>{""});
    fx.boxes->ExpectExact("設定ﾌｧｲﾙ[]を削除しますか．", IDNO);
    ClickControl(dlg.get(), Dlg::IDC_DELETE);
    QVERIFY(fx.boxes->VerifyAllUsed());
}

QTEST_MAIN(TestMainWindowSettings)
#include "tst_MainDlgSettings.moc"
