// The main window under the offscreen platform, driven through its control
// ids: start-up, option rules, the changed state, closing, and rendering.

#include "MainWindowFixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QMovie>
#include <QPushButton>
#include <QTest>

#include <algorithm>

using Dlg = CCopyMainDlg;

namespace {

// The seven copy options and the exclude controls of the option group.
const std::vector<int> kCopyOptions = {Dlg::IDC_NEW_CHK,   Dlg::IDC_USED_CHK, Dlg::IDC_SUBDIR_CHK,
                                       Dlg::IDC_ANS_CHK,   Dlg::IDC_DUST_CHK, Dlg::IDC_COPYDIR_CHK,
                                       Dlg::IDC_ALLCLR_CHK};
const std::vector<int> kClearExcluded = {Dlg::IDC_USED_CHK, Dlg::IDC_ANS_CHK, Dlg::IDC_NEW_CHK,
                                         Dlg::IDC_DUST_CHK};
// Every control but the close button, in the template's order.
const std::vector<int> kAllButClose = {
    Dlg::IDC_SETTING_LIST, Dlg::IDC_DELETE,          Dlg::IDC_SAVE,
    Dlg::IDC_SRC_DIR,      Dlg::IDC_BROWSE_SRC,      Dlg::IDC_DST_DIR,
    Dlg::IDC_BROWSE_DST,   Dlg::IDC_WILD_LIST,       Dlg::IDC_CANDIDATES,
    Dlg::IDC_NEW_CHK,      Dlg::IDC_USED_CHK,        Dlg::IDC_SUBDIR_CHK,
    Dlg::IDC_ANS_CHK,      Dlg::IDC_DUST_CHK,        Dlg::IDC_COPYDIR_CHK,
    Dlg::IDC_ALLCLR_CHK,   Dlg::IDC_OUTDIR_CHK,      Dlg::IDC_OUTDIR_SETTING,
    Dlg::IDC_LHA_CHK,      Dlg::IDC_LHA_SETTING,     Dlg::IDC_RUN,
    Dlg::IDC_RENZOKU_CHK,  Dlg::IDC_RENZOKU_SETTING, Dlg::IDC_LOG,
    Dlg::IDC_HELP};

// The ids of kAllButClose that are enabled.
std::vector<int> EnabledControls(QWidget* pDlg) {
    std::vector<int> ids;
    for (int id : kAllButClose)
        if (IsEnabled(pDlg, id))
            ids.push_back(id);
    return ids;
}

const KeyValues kPlainSpec = {{"SrcDir", "S:\\Work"},
                              {"DstDir", "D:\\Backup"},
                              {"WildList", "*.doc"},
                              {"NewChk", "0"},
                              {"DustChk", "0"}};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:
    void firstStartShowsDefaultsAndFirstEntry();
    void startSelectsUsedDefIgnoringCase();
    void startWithMissingUsedDefSelectsNothing();
    void startLoadsJapaneseSettingsFile();
    void startInContinuousMode();
    void everyControlBoundInTemplateOrder();

    void lhaOptionDisablesCopyOptionsKeepingStates();
    void lhaOffEnablesExcludeSettingsEvenUnchecked();
    void lhaRefusedWithoutArchiver();
    void clearOptionUnchecksFourOptions();
    void clearOptionRefused_data();
    void clearOptionRefused();
    void settingWithLhaAndClearShowsBothRules();
    void excludeCheckEnablesItsButton();
    void continuousModeAsksAndLimitsControls();

    void loadingNeverLeavesChanged();
    void clicksThatMarkChanged_data();
    void clicksThatMarkChanged();
    void clicksThatLeaveUnchanged_data();
    void clicksThatLeaveUnchanged();

    void closeDuringRunOnlyRequestsCancel_data();
    void closeDuringRunOnlyRequestsCancel();
    void closeWritesProfile();
    void closeCancelledAtSaveQuestionKeepsWindowAndProfile();
    void destroyedWithoutCloseWritesNoProfile();
    void closeAfterChoosingAnotherEntryRemembersIt();

    void busyDisplayTakesThePicturePlace();
    void nothingIsCut();
};

void TestMainWindow::firstStartShowsDefaultsAndFirstEntry() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("beta", kPlainSpec));
    QVERIFY(fx.WriteSetting("Alpha", kPlainSpec));
    QVERIFY(fx.WriteSetting("gamma", kPlainSpec));
    auto dlg = fx.Open();
    // Sorted without regard to case; the first entry is selected.
    QCOMPARE(ListTexts(*dlg), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    auto* pList = ControlAs<QComboBox>(dlg.get(), Dlg::IDC_SETTING_LIST);
    QCOMPARE(pList->currentIndex(), 0);
    QCOMPARE(dlg->m_nCurSel, 0);
    // No used name: the setting shown is the one of no file, the defaults.
    QCOMPARE(dlg->m_strUsedDef, std::string());
    QCOMPARE(ControlAs<QLineEdit>(dlg.get(), Dlg::IDC_SRC_DIR)->text(), QString());
    QCOMPARE(ControlAs<QLineEdit>(dlg.get(), Dlg::IDC_WILD_LIST)->text(), QStringLiteral("*.*"));
    QVERIFY(IsChecked(dlg.get(), Dlg::IDC_NEW_CHK));
    QVERIFY(!IsChecked(dlg.get(), Dlg::IDC_RENZOKU_CHK));
    QCOMPARE(dlg->m_nRenzokuIndex, 0);
    QCOMPARE(dlg->m_bChanged, 0);
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_SAVE));
    QCOMPARE(ControlAs<QLabel>(dlg.get(), Dlg::IDC_STATUS)->text(),
             QStringLiteral("すべての設定を確認後、[実行]を押してください．"));
    QCOMPARE(dlg->windowTitle(), QStringLiteral("Tidewell Ver 1.10"));
    QVERIFY(fx.boxes->Shown().empty());
}

void TestMainWindow::startSelectsUsedDefIgnoringCase() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("Alpha", {{"SrcDir", "S:\\A"}}));
    QVERIFY(fx.WriteSetting("Beta", {{"SrcDir", "S:\\B"}, {"DstDir", "D:\\B"}}));
    QVERIFY(fx.WriteProfile({{"UsedDef", "BETA"}, {"RenzokuIndex", "3"}}));
    auto dlg = fx.Open();
    auto* pList = ControlAs<QComboBox>(dlg.get(), Dlg::IDC_SETTING_LIST);
    QCOMPARE(pList->currentText(), QStringLiteral("Beta"));
    QCOMPARE(dlg->m_nCurSel, 1);
    QCOMPARE(dlg->m_nRenzokuIndex, 3);
    QCOMPARE(ControlAs<QLineEdit>(dlg.get(), Dlg::IDC_SRC_DIR)->text(), QStringLiteral("S:\\B"));
    QCOMPARE(ControlAs<QLineEdit>(dlg.get(), Dlg::IDC_DST_DIR)->text(), QStringLiteral("D:\\B"));
}

void TestMainWindow::startWithMissingUsedDefSelectsNothing() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("Alpha", {{"SrcDir", "S:\\A"}}));
    QVERIFY(fx.WriteProfile({{"UsedDef", "Gone"}}));
    auto dlg = fx.Open();
    QCOMPARE(ControlAs<QComboBox>(dlg.get(), Dlg::IDC_SETTING_LIST)->currentIndex(), -1);
    QCOMPARE(dlg->m_nCurSel, -1);
    QCOMPARE(dlg->m_strUsedDef, std::string("Gone"));
    QCOMPARE(ControlAs<QLineEdit>(dlg.get(), Dlg::IDC_SRC_DIR)->text(), QString());
    QCOMPARE(ControlAs<QLineEdit>(dlg.get(), Dlg::IDC_WILD_LIST)->text(), QStringLiteral("*.*"));
}

void TestMainWindow::startLoadsJapaneseSettingsFile() {
    CMainWindowFixture fx;
    QVERIFY(fx.program.CopyTestData("資料.def"));
    QVERIFY(fx.WriteProfile({{"UsedDef", "資料"}}));
    auto dlg = fx.Open();
    // The values as the reference file (CP932) holds them.
    QCOMPARE(ControlAs<QLineEdit>(dlg.get(), Dlg::IDC_SRC_DIR)->text(),
             QStringLiteral("E:\\資料\\表ソ"));
    QCOMPARE(ControlAs<QLineEdit>(dlg.get(), Dlg::IDC_DST_DIR)->text(),
             QStringLiteral("F:\\控え\\ﾊﾞｯｸｱｯﾌﾟ"));
    QCOMPARE(ControlAs<QLineEdit>(dlg.get(), Dlg::IDC_WILD_LIST)->text(),
             QStringLiteral("*.txt/*.予定"));
    QVERIFY(IsChecked(dlg.get(), Dlg::IDC_ANS_CHK));
    QVERIFY(IsChecked(dlg.get(), Dlg::IDC_COPYDIR_CHK));
    QVERIFY(IsChecked(dlg.get(), Dlg::IDC_OUTDIR_CHK));
    QVERIFY(!IsChecked(dlg.get(), Dlg::IDC_DUST_CHK));
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_OUTDIR_SETTING));
    QCOMPARE(dlg->m_bChanged, 0);
}

void TestMainWindow::startInContinuousMode() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("Alpha", kPlainSpec));
    QVERIFY(fx.WriteProfile({{"UsedDef", "Alpha"}, {"Renzoku", "1"}}));
    auto dlg = fx.Open();
    QVERIFY(IsChecked(dlg.get(), Dlg::IDC_RENZOKU_CHK));
    QCOMPARE(EnabledControls(dlg.get()),
             (std::vector<int>{Dlg::IDC_RUN, Dlg::IDC_RENZOKU_CHK, Dlg::IDC_RENZOKU_SETTING,
                               Dlg::IDC_LOG, Dlg::IDC_HELP}));
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_CLOSE));
}

void TestMainWindow::everyControlBoundInTemplateOrder() {
    CMainWindowFixture fx;
    auto dlg = fx.Open();
    // Tab moves through the focusable controls in the template's order.
    const std::vector<int> focusable = {Dlg::IDC_SETTING_LIST,
                                        Dlg::IDC_DELETE,
                                        Dlg::IDC_SAVE,
                                        Dlg::IDC_SRC_DIR,
                                        Dlg::IDC_BROWSE_SRC,
                                        Dlg::IDC_DST_DIR,
                                        Dlg::IDC_BROWSE_DST,
                                        Dlg::IDC_WILD_LIST,
                                        Dlg::IDC_CANDIDATES,
                                        Dlg::IDC_NEW_CHK,
                                        Dlg::IDC_USED_CHK,
                                        Dlg::IDC_SUBDIR_CHK,
                                        Dlg::IDC_ANS_CHK,
                                        Dlg::IDC_DUST_CHK,
                                        Dlg::IDC_COPYDIR_CHK,
                                        Dlg::IDC_ALLCLR_CHK,
                                        Dlg::IDC_OUTDIR_CHK,
                                        Dlg::IDC_OUTDIR_SETTING,
                                        Dlg::IDC_LHA_CHK,
                                        Dlg::IDC_LHA_SETTING,
                                        Dlg::IDC_RUN,
                                        Dlg::IDC_RENZOKU_CHK,
                                        Dlg::IDC_RENZOKU_SETTING,
                                        Dlg::IDC_LOG,
                                        Dlg::IDC_CLOSE,
                                        Dlg::IDC_HELP};
    std::vector<int> chain;
    QWidget* pWidget = ControlOf(dlg.get(), focusable.front());
    QVERIFY(pWidget);
    do {
        const QVariant id = pWidget->property("controlId");
        if (id.isValid() && pWidget->focusPolicy() & Qt::TabFocus)
            chain.push_back(id.toInt());
        pWidget = pWidget->nextInFocusChain();
    } while (pWidget && pWidget != ControlOf(dlg.get(), focusable.front()));
    QCOMPARE(chain, focusable);
    // The picture, the busy animation and caption and the status line exist too.
    for (int id :
         {Dlg::IDC_IDLE_PICTURE, Dlg::IDC_BUSY_ANIMATION, Dlg::IDC_BUSY_CAPTION, Dlg::IDC_STATUS})
        QVERIFY2(ControlAs<QLabel>(dlg.get(), id), qPrintable(QString::number(id)));
    // The four frames carry their mnemonics.
    QStringList titles;
    for (QGroupBox* pGroup : dlg->findChildren<QGroupBox*>())
        titles << pGroup->title();
    titles.sort();
    QStringList expected = {QStringLiteral("設定ﾌｧｲﾙ(&E)"), QStringLiteral("ｺﾋﾟｰﾘｽﾄ(&W)"),
                            QStringLiteral("ｵﾌﾟｼｮﾝ(&O)"), QStringLiteral("除外ﾌｫﾙﾀﾞ(&M)"),
                            QStringLiteral("LHA(&P)")};
    expected.sort();
    QCOMPARE(titles, expected);
    // Enter presses the run button.
    QVERIFY(ControlAs<QPushButton>(dlg.get(), Dlg::IDC_RUN)->isDefault());
}

void TestMainWindow::lhaOptionDisablesCopyOptionsKeepingStates() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("A", {{"SrcDir", "S:\\A"},
                                  {"NewChk", "1"},
                                  {"SubDirChk", "1"},
                                  {"CopyDirChk", "1"},
                                  {"OutDirChk", "1"}}));
    QVERIFY(fx.WriteProfile({{"UsedDef", "A"}}));
    auto dlg = fx.Open();
    ClickControl(dlg.get(), Dlg::IDC_LHA_CHK);
    QVERIFY(IsChecked(dlg.get(), Dlg::IDC_LHA_CHK));
    for (int id : kCopyOptions)
        QVERIFY2(!IsEnabled(dlg.get(), id), qPrintable(QString::number(id)));
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_OUTDIR_CHK));
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_OUTDIR_SETTING));
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_LHA_SETTING));
    // The states stay while disabled.
    for (int id :
         {Dlg::IDC_NEW_CHK, Dlg::IDC_SUBDIR_CHK, Dlg::IDC_COPYDIR_CHK, Dlg::IDC_OUTDIR_CHK})
        QVERIFY2(IsChecked(dlg.get(), id), qPrintable(QString::number(id)));
    QCOMPARE(dlg->m_bChanged, 1);
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_SAVE));
}

void TestMainWindow::lhaOffEnablesExcludeSettingsEvenUnchecked() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("A", {{"SrcDir", "S:\\A"}, {"LhaChk", "1"}, {"OutDirChk", "0"}}));
    QVERIFY(fx.WriteProfile({{"UsedDef", "A"}}));
    auto dlg = fx.Open();
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_OUTDIR_SETTING));
    ClickControl(dlg.get(), Dlg::IDC_LHA_CHK);
    QVERIFY(!IsChecked(dlg.get(), Dlg::IDC_LHA_CHK));
    for (int id : kCopyOptions)
        QVERIFY2(IsEnabled(dlg.get(), id), qPrintable(QString::number(id)));
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_OUTDIR_CHK));
    QVERIFY(!IsChecked(dlg.get(), Dlg::IDC_OUTDIR_CHK));
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_OUTDIR_SETTING));
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_LHA_SETTING));
    QCOMPARE(dlg->m_bChanged, 1);
}

void TestMainWindow::lhaRefusedWithoutArchiver() {
    CMainWindowFixture fx;
    auto dlg = fx.Open(false);
    fx.boxes->ExpectExact("圧縮を実行するにはUNLHA32.DLLが必要です．", IDOK,
                          MB_OK | MB_ICONEXCLAMATION);
    ClickControl(dlg.get(), Dlg::IDC_LHA_CHK);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QVERIFY(!IsChecked(dlg.get(), Dlg::IDC_LHA_CHK));
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_NEW_CHK));
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_LHA_SETTING));
    QCOMPARE(dlg->m_bChanged, 0);
}

void TestMainWindow::clearOptionUnchecksFourOptions() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("A", {{"SrcDir", "S:\\"},
                                  {"DstDir", "D:\\"},
                                  {"UsedChk", "1"},
                                  {"AnsChk", "1"},
                                  {"NewChk", "1"},
                                  {"DustChk", "1"},
                                  {"SubDirChk", "1"}}));
    QVERIFY(fx.WriteProfile({{"UsedDef", "A"}}));
    auto dlg = fx.Open();
    ClickControl(dlg.get(), Dlg::IDC_ALLCLR_CHK);
    QVERIFY(IsChecked(dlg.get(), Dlg::IDC_ALLCLR_CHK));
    for (int id : kClearExcluded) {
        QVERIFY2(!IsChecked(dlg.get(), id), qPrintable(QString::number(id)));
        QVERIFY2(!IsEnabled(dlg.get(), id), qPrintable(QString::number(id)));
    }
    QVERIFY(IsChecked(dlg.get(), Dlg::IDC_SUBDIR_CHK));
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_SUBDIR_CHK));
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_COPYDIR_CHK));
    QCOMPARE(dlg->m_bChanged, 1);
    // Turning it off enables the four again, unchecked.
    ClickControl(dlg.get(), Dlg::IDC_ALLCLR_CHK);
    for (int id : kClearExcluded) {
        QVERIFY2(IsEnabled(dlg.get(), id), qPrintable(QString::number(id)));
        QVERIFY2(!IsChecked(dlg.get(), id), qPrintable(QString::number(id)));
    }
    QVERIFY(fx.boxes->Shown().empty());
}

void TestMainWindow::clearOptionRefused_data() {
    QTest::addColumn<QString>("src");
    QTest::addColumn<QString>("dst");
    QTest::newRow("source empty") << ""
                                  << "D:\\Backup";
    QTest::newRow("destination empty") << "S:\\Work"
                                       << "";
    QTest::newRow("destination inside source") << "S:\\Work"
                                               << "s:\\work\\Backup";
    QTest::newRow("source inside destination") << "S:\\Work\\Sub"
                                               << "S:\\Work";
    QTest::newRow("same folder") << "S:\\Work"
                                 << "S:\\WORK";
    // A plain text test: without separators the one name starts the other.
    QTest::newRow("name prefix") << "S:\\WORK"
                                 << "S:\\WORK2";
}

void TestMainWindow::clearOptionRefused() {
    QFETCH(QString, src);
    QFETCH(QString, dst);
    CMainWindowFixture fx;
    auto dlg = fx.Open();
    ControlAs<QLineEdit>(dlg.get(), Dlg::IDC_SRC_DIR)->setText(src);
    ControlAs<QLineEdit>(dlg.get(), Dlg::IDC_DST_DIR)->setText(dst);
    dlg->m_bChanged = 0;
    fx.boxes->Expect("[ｺﾋﾟｰ前にｺﾋﾟｰ先ﾌｫﾙﾀﾞを全ｸﾘｱする]ｵﾌﾟｼｮﾝは使用できません．", IDOK,
                     MB_OK | MB_ICONEXCLAMATION);
    ClickControl(dlg.get(), Dlg::IDC_ALLCLR_CHK);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QVERIFY(!IsChecked(dlg.get(), Dlg::IDC_ALLCLR_CHK));
    QVERIFY(IsChecked(dlg.get(), Dlg::IDC_NEW_CHK)); // the default stays
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_NEW_CHK));
    QCOMPARE(dlg->m_bChanged, 0);
}

void TestMainWindow::settingWithLhaAndClearShowsBothRules() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("A", {{"SrcDir", "S:\\A"},
                                  {"DstDir", "D:\\A"},
                                  {"LhaChk", "1"},
                                  {"AllClrChk", "1"},
                                  {"NewChk", "1"},
                                  {"DustChk", "1"},
                                  {"CopyDirChk", "1"}}));
    QVERIFY(fx.WriteProfile({{"UsedDef", "A"}}));
    auto dlg = fx.Open();
    for (int id : kClearExcluded)
        QVERIFY2(!IsChecked(dlg.get(), id), qPrintable(QString::number(id)));
    QVERIFY(IsChecked(dlg.get(), Dlg::IDC_ALLCLR_CHK));
    QVERIFY(IsChecked(dlg.get(), Dlg::IDC_COPYDIR_CHK));
    for (int id : kCopyOptions)
        QVERIFY2(!IsEnabled(dlg.get(), id), qPrintable(QString::number(id)));
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_LHA_SETTING));
    QCOMPARE(dlg->m_bChanged, 0);
}

void TestMainWindow::excludeCheckEnablesItsButton() {
    CMainWindowFixture fx;
    auto dlg = fx.Open();
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_OUTDIR_SETTING));
    ClickControl(dlg.get(), Dlg::IDC_OUTDIR_CHK);
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_OUTDIR_SETTING));
    QCOMPARE(dlg->m_bChanged, 1);
    ClickControl(dlg.get(), Dlg::IDC_OUTDIR_CHK);
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_OUTDIR_SETTING));
}

void TestMainWindow::continuousModeAsksAndLimitsControls() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("A", {{"SrcDir", "S:\\A"}, {"LhaChk", "1"}}));
    QVERIFY(fx.WriteProfile({{"UsedDef", "A"}}));
    auto dlg = fx.Open();
    const std::vector<int> idle = EnabledControls(dlg.get());
    TypeInto(dlg.get(), Dlg::IDC_WILD_LIST, QStringLiteral("*.txt"));
    // With unsaved changes the save question comes first; Cancel keeps the
    // mode off and the controls as they were.
    fx.boxes->ExpectExact("設定が変更されています、保存しますか．", IDCANCEL,
                          MB_YESNOCANCEL | MB_ICONQUESTION);
    ClickControl(dlg.get(), Dlg::IDC_RENZOKU_CHK);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QVERIFY(!IsChecked(dlg.get(), Dlg::IDC_RENZOKU_CHK));
    QVERIFY(!dlg->IsRenzoku());
    QCOMPARE(dlg->m_bChanged, 1);
    // No: the mode goes on with the changes kept, and the changed state is
    // not the continuous mode's business.
    fx.boxes->ExpectExact("設定が変更されています、保存しますか．", IDNO);
    ClickControl(dlg.get(), Dlg::IDC_RENZOKU_CHK);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QVERIFY(dlg->IsRenzoku());
    QCOMPARE(dlg->m_bChanged, 1);
    QCOMPARE(EnabledControls(dlg.get()),
             (std::vector<int>{Dlg::IDC_RUN, Dlg::IDC_RENZOKU_CHK, Dlg::IDC_RENZOKU_SETTING,
                               Dlg::IDC_LOG, Dlg::IDC_HELP}));
    // Off again: the idle enabling with the LHA rule returns (save included).
    ClickControl(dlg.get(), Dlg::IDC_RENZOKU_CHK);
    QVERIFY(!dlg->IsRenzoku());
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_RENZOKU_SETTING));
    std::vector<int> expected = idle;
    expected.insert(std::find(expected.begin(), expected.end(), Dlg::IDC_SRC_DIR), Dlg::IDC_SAVE);
    QCOMPARE(EnabledControls(dlg.get()), expected);
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_LHA_SETTING));
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_NEW_CHK));
}

void TestMainWindow::loadingNeverLeavesChanged() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("A", kPlainSpec));
    QVERIFY(fx.WriteSetting("B", {{"SrcDir", "S:\\B"}, {"DstDir", "D:\\B"}, {"WildList", "*.b"}}));
    QVERIFY(fx.WriteProfile({{"UsedDef", "A"}}));
    auto dlg = fx.Open();
    QCOMPARE(dlg->m_bChanged, 0);
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_SAVE));
    ChooseEntry(*dlg, 1);
    QCOMPARE(ControlAs<QLineEdit>(dlg.get(), Dlg::IDC_WILD_LIST)->text(), QStringLiteral("*.b"));
    QCOMPARE(dlg->m_bChanged, 0);
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_SAVE));
    QVERIFY(fx.boxes->Shown().empty());
}

void TestMainWindow::clicksThatMarkChanged_data() {
    QTest::addColumn<int>("id");
    for (int id : {Dlg::IDC_NEW_CHK, Dlg::IDC_USED_CHK, Dlg::IDC_SUBDIR_CHK, Dlg::IDC_ANS_CHK,
                   Dlg::IDC_DUST_CHK, Dlg::IDC_COPYDIR_CHK, Dlg::IDC_ALLCLR_CHK,
                   Dlg::IDC_OUTDIR_CHK, Dlg::IDC_LHA_CHK})
        QTest::newRow(qPrintable(QString::number(id))) << id;
    QTest::newRow("typing into the source") << int(Dlg::IDC_SRC_DIR);
    QTest::newRow("typing into the destination") << int(Dlg::IDC_DST_DIR);
    QTest::newRow("typing into the copy list") << int(Dlg::IDC_WILD_LIST);
}

void TestMainWindow::clicksThatMarkChanged() {
    QFETCH(int, id);
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("A", {{"SrcDir", "S:\\"}, {"DstDir", "D:\\"}}));
    QVERIFY(fx.WriteProfile({{"UsedDef", "A"}}));
    auto dlg = fx.Open();
    if (qobject_cast<QLineEdit*>(ControlOf(dlg.get(), id)))
        QTest::keyClicks(ControlOf(dlg.get(), id), QStringLiteral("x"));
    else
        ClickControl(dlg.get(), id);
    QCOMPARE(dlg->m_bChanged, 1);
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_SAVE));
    QVERIFY(fx.boxes->Shown().empty());
}

void TestMainWindow::clicksThatLeaveUnchanged_data() {
    QTest::addColumn<int>("id");
    QTest::newRow("continuous mode") << int(Dlg::IDC_RENZOKU_CHK);
    // Buttons whose dialogs are not part of this window yet.
    for (int id :
         {Dlg::IDC_BROWSE_SRC, Dlg::IDC_BROWSE_DST, Dlg::IDC_CANDIDATES, Dlg::IDC_RENZOKU_SETTING})
        QTest::newRow(qPrintable(QString::number(id))) << id;
}

void TestMainWindow::clicksThatLeaveUnchanged() {
    QFETCH(int, id);
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("A", kPlainSpec));
    auto dlg = fx.Open();
    if (id == Dlg::IDC_RENZOKU_SETTING)
        ClickControl(dlg.get(), Dlg::IDC_RENZOKU_CHK);
    ClickControl(dlg.get(), id);
    QCOMPARE(dlg->m_bChanged, 0);
    QVERIFY(!IsEnabled(dlg.get(), Dlg::IDC_SAVE));
    QVERIFY(dlg->isVisible());
}

void TestMainWindow::closeDuringRunOnlyRequestsCancel_data() {
    QTest::addColumn<int>("way");
    QTest::newRow("close button") << 0;
    QTest::newRow("Escape") << 1;
    QTest::newRow("close box") << 2;
}

void TestMainWindow::closeDuringRunOnlyRequestsCancel() {
    QFETCH(int, way);
    CMainWindowFixture fx;
    auto dlg = fx.Open();
    TypeInto(dlg.get(), Dlg::IDC_WILD_LIST, QStringLiteral("*.txt")); // unsaved changes
    dlg->SetRunState(0);
    dlg->Job().m_bRunning = 1;
    if (way == 0)
        ClickControl(dlg.get(), Dlg::IDC_CLOSE);
    else if (way == 1)
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
    else
        dlg->close();
    QCOMPARE(dlg->Job().m_bCancel, 1);
    QVERIFY(dlg->isVisible());
    QVERIFY(fx.boxes->Shown().empty()); // no save question
    QVERIFY(fx.program.ReadFile("Tidewell.Ini").empty());
    dlg->Job().m_bRunning = 0;
    dlg->SetRunState(1);
}

void TestMainWindow::closeWritesProfile() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("Alpha", kPlainSpec));
    QVERIFY(fx.WriteProfile({{"UsedDef", "alpha"}, {"Renzoku", "0"}, {"RenzokuIndex", "4"}}));
    auto dlg = fx.Open();
    ClickControl(dlg.get(), Dlg::IDC_RENZOKU_CHK);
    ClickControl(dlg.get(), Dlg::IDC_CLOSE);
    QVERIFY(!dlg->isVisible());
    QCOMPARE(dlg->result(), int(Dlg::IDC_CLOSE));
    // The list's text, not the profile's spelling, is written back.
    QCOMPARE(ProfileValue(fx, "Tidewell.Ini", "CopyInfo", "UsedDef"), std::string("Alpha"));
    QCOMPARE(ProfileValue(fx, "Tidewell.Ini", "CopyInfo", "Renzoku"), std::string("1"));
    QCOMPARE(ProfileValue(fx, "Tidewell.Ini", "CopyInfo", "RenzokuIndex"), std::string("4"));
}

void TestMainWindow::closeCancelledAtSaveQuestionKeepsWindowAndProfile() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("Alpha", kPlainSpec));
    auto dlg = fx.Open();
    TypeInto(dlg.get(), Dlg::IDC_SRC_DIR, QStringLiteral("S:\\Other"));
    fx.boxes->ExpectExact("設定が変更されています、保存しますか．", IDCANCEL,
                          MB_YESNOCANCEL | MB_ICONQUESTION);
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QVERIFY(dlg->isVisible());
    QVERIFY(fx.program.ReadFile("Tidewell.Ini").empty());
    // No: the changes are dropped and the window closes with the profile.
    fx.boxes->ExpectExact("設定が変更されています、保存しますか．", IDNO);
    ClickControl(dlg.get(), Dlg::IDC_CLOSE);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QVERIFY(!dlg->isVisible());
    QCOMPARE(ProfileValue(fx, "Tidewell.Ini", "CopyInfo", "UsedDef"), std::string("Alpha"));
    QCOMPARE(ProfileValue(fx, "Alpha.def", "Spec", "SrcDir"), std::string("S:\\Work"));
}

void TestMainWindow::destroyedWithoutCloseWritesNoProfile() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("Alpha", kPlainSpec));
    const std::string before = "[CopyInfo]\r\nUsedDef=Beta\r\nRenzoku=1\r\n";
    QVERIFY(fx.program.WriteFile("Tidewell.Ini", before));
    {
        auto dlg = fx.Open();
        ChooseEntry(*dlg, 0);
        ClickControl(dlg.get(), Dlg::IDC_RENZOKU_CHK);
    }
    QCOMPARE(fx.program.ReadFile("Tidewell.Ini"), before);
}

void TestMainWindow::closeAfterChoosingAnotherEntryRemembersIt() {
    CMainWindowFixture fx;
    QVERIFY(fx.WriteSetting("Alpha", kPlainSpec));
    QVERIFY(fx.WriteSetting("Beta", kPlainSpec));
    QVERIFY(fx.WriteProfile({{"UsedDef", "Alpha"}}));
    auto dlg = fx.Open();
    ChooseEntry(*dlg, 1);
    ClickControl(dlg.get(), Dlg::IDC_CLOSE);
    QCOMPARE(ProfileValue(fx, "Tidewell.Ini", "CopyInfo", "UsedDef"), std::string("Beta"));
    QCOMPARE(ProfileValue(fx, "Tidewell.Ini", "CopyInfo", "Renzoku"), std::string("0"));
    QCOMPARE(ProfileValue(fx, "Tidewell.Ini", "CopyInfo", "RenzokuIndex"), std::string("0"));
}

void TestMainWindow::busyDisplayTakesThePicturePlace() {
    CMainWindowFixture fx;
    auto dlg = fx.Open();
    QWidget* pPicture = ControlOf(dlg.get(), Dlg::IDC_IDLE_PICTURE);
    QWidget* pAnimation = ControlOf(dlg.get(), Dlg::IDC_BUSY_ANIMATION);
    auto* pCaption = ControlAs<QLabel>(dlg.get(), Dlg::IDC_BUSY_CAPTION);
    QVERIFY(pPicture->isVisible());
    QVERIFY(!pAnimation->isVisible() && !pCaption->isVisible());
    // The pictures come from the program's resources.
    QVERIFY(!ControlAs<QLabel>(dlg.get(), Dlg::IDC_IDLE_PICTURE)->pixmap().isNull());
    QVERIFY(!dlg->windowIcon().isNull());
    const QRect runButton = ControlOf(dlg.get(), Dlg::IDC_RUN)->geometry();
    dlg->ShowBusy(true, "ﾌｫﾙﾀﾞ検索中");
    QVERIFY(!pPicture->isVisible());
    QVERIFY(pAnimation->isVisible() && pCaption->isVisible());
    QCOMPARE(pCaption->text(), QStringLiteral("ﾌｫﾙﾀﾞ検索中"));
    QCOMPARE(pAnimation->geometry(), pPicture->geometry());
    QMovie* pMovie = ControlAs<QLabel>(dlg.get(), Dlg::IDC_BUSY_ANIMATION)->movie();
    QVERIFY(pMovie && pMovie->isValid());
    QCOMPARE(pMovie->state(), QMovie::Running);
    QCOMPARE(ControlOf(dlg.get(), Dlg::IDC_RUN)->geometry(), runButton); // nothing moves
    // Without a caption the last one stays.
    dlg->ShowBusy(false);
    dlg->ShowBusy(true);
    QCOMPARE(pCaption->text(), QStringLiteral("ﾌｫﾙﾀﾞ検索中"));
    dlg->ShowBusy(false);
    QVERIFY(pPicture->isVisible());
    QVERIFY(!pAnimation->isVisible() && !pCaption->isVisible());
}

void TestMainWindow::nothingIsCut() {
    CMainWindowFixture fx;
    auto dlg = fx.Open();
    dlg->SetCloseCaption("中断(&X)"); // the longer caption of the close button
    int checked = 0;
    for (QWidget* pWidget : dlg->findChildren<QWidget*>()) {
        if (!pWidget->isVisible())
            continue;
        if (!qobject_cast<QLabel*>(pWidget) && !qobject_cast<QAbstractButton*>(pWidget))
            continue;
        const QString text = pWidget->property("text").toString();
        QVERIFY2(pWidget->width() >= pWidget->sizeHint().width(), qPrintable(text));
        QVERIFY2(pWidget->height() >= pWidget->minimumSizeHint().height(), qPrintable(text));
        ++checked;
    }
    for (QGroupBox* pGroup : dlg->findChildren<QGroupBox*>()) {
        const int titleWidth = pGroup->fontMetrics().horizontalAdvance(pGroup->title());
        QVERIFY2(pGroup->width() > titleWidth, qPrintable(pGroup->title()));
    }
    QVERIFY(checked >= 25);
    // The whole window fits on a common small screen.
    QVERIFY(dlg->width() <= 1024 && dlg->height() <= 740);
}

QTEST_MAIN(TestMainWindow)
#include "tst_CopyMainDlg.moc"
