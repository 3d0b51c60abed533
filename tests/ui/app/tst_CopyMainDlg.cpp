// The main window by its control ids: start-up, option rules, changed state, closing, layout.

#include "MainWindowFixture.h"

#include "support/TestScreens.h"

#include "ui/app/AboutDlg.h"
#include "ui/app/HelpViewer.h"
#include "ui/continuous/RenzokuDlg.h"
#include "ui/lha/LhaSettingDlg.h"

#include <QGroupBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTextBrowser>

#include <algorithm>

namespace {

using Ids = QList<int>;

// clang-format off
const Ids kTabOrder = { // every control of the template
    Dlg::IDC_SETTING_LIST, Dlg::IDC_DELETE, Dlg::IDC_SAVE, Dlg::IDC_SRC_DIR, Dlg::IDC_BROWSE_SRC,
    Dlg::IDC_DST_DIR, Dlg::IDC_BROWSE_DST, Dlg::IDC_WILD_LIST, Dlg::IDC_CANDIDATES,
    Dlg::IDC_NEW_CHK, Dlg::IDC_USED_CHK, Dlg::IDC_SUBDIR_CHK, Dlg::IDC_ANS_CHK, Dlg::IDC_DUST_CHK,
    Dlg::IDC_COPYDIR_CHK, Dlg::IDC_ALLCLR_CHK, Dlg::IDC_OUTDIR_CHK, Dlg::IDC_OUTDIR_SETTING,
    Dlg::IDC_LHA_CHK, Dlg::IDC_LHA_SETTING, Dlg::IDC_RUN, Dlg::IDC_RENZOKU_CHK,
    Dlg::IDC_RENZOKU_SETTING, Dlg::IDC_LOG, Dlg::IDC_CLOSE, Dlg::IDC_HELP};
const int kNew = Dlg::IDC_NEW_CHK, kSub = Dlg::IDC_SUBDIR_CHK, kCopyDir = Dlg::IDC_COPYDIR_CHK,
    kClr = Dlg::IDC_ALLCLR_CHK, kOutDir = Dlg::IDC_OUTDIR_CHK, kLha = Dlg::IDC_LHA_CHK,
    kRen = Dlg::IDC_RENZOKU_CHK, kSave = Dlg::IDC_SAVE;
// Disabled when idle: the buttons of the options that are off, save until a change.
const Ids kIdleChanged = {Dlg::IDC_OUTDIR_SETTING, Dlg::IDC_LHA_SETTING, Dlg::IDC_RENZOKU_SETTING};
const Ids kIdle = kIdleChanged + Ids{kSave};
// The LHA option rules out the copy options and the exclude controls.
const Ids kLhaOn = {kNew, Dlg::IDC_USED_CHK, kSub, Dlg::IDC_ANS_CHK, Dlg::IDC_DUST_CHK, kCopyDir,
                    kClr, kOutDir, Dlg::IDC_OUTDIR_SETTING, Dlg::IDC_RENZOKU_SETTING};
// Continuous mode leaves the run, its own controls, log, close and help.
const Ids kContinuous = kTabOrder.mid(0, kTabOrder.indexOf(Dlg::IDC_RUN));
// clang-format on

// The controls, sorted, whose property has the value.
Ids Where(Dlg& dlg, const char* property, bool value) {
    Ids ids;
    for (int id : kTabOrder)
        if (ControlOf(&dlg, id)->property(property).toBool() == value)
            ids << id;
    std::sort(ids.begin(), ids.end());
    return ids;
}

struct CRuleCase {
    QString keys; // of the setting loaded at start
    Ids clicks;
    Ids disabled;
    Ids checked;
    int changed;
    const char* warning = nullptr; // a warning that must come
    bool lha = true;               // the archiver can be loaded
};

} // namespace

Q_DECLARE_METATYPE(CRuleCase)

class TestMainWindow : public QObject {
    Q_OBJECT

private slots:

    void startSelectsTheUsedSetting() {
        // The profile's name (ignoring case, or missing: the first entry) -> what is loaded.
        const std::pair<const char*, QString> cases[] = {
            {nullptr, "0 0 Alpha S:\\Alpha 0"},
            {"BETA", "1 1 beta S:\\beta 0"},
            {"Gone", "-1 -1 Gone  0"},
            {"資料", "3 3 資料 E:\\資料\\表ソ 0"}}; // CP932 with 0x5C trail bytes
        for (const auto& [used, state] : cases) {
            CMainWindowFixture fx;
            for (const char* name : {"beta", "Alpha", "gamma"})
                QVERIFY(fx.Write(std::string(name) + ".def", QString("SrcDir=S:\\") + name));
            QVERIFY(fx.program.CopyTestData("資料.def"));
            QVERIFY(!used ||
                    fx.Write("Tidewell.Ini", QString("Renzoku=1;RenzokuIndex=3;UsedDef=") + used));
            auto dlg = fx.Open();
            QCOMPARE(State(*dlg), "Alpha|beta|gamma|資料 " + state);
            QCOMPARE(dlg->m_nRenzokuIndex, used ? 3 : 0);
            Ids disabled = kContinuous; // started in the mode
            std::sort(disabled.begin(), disabled.end());
            QCOMPARE(Where(*dlg, "enabled", false) == disabled, used != nullptr);
            QVERIFY(!IsEnabled(*dlg, kSave));
        }
    }

    void optionRules_data() {
        QTest::addColumn<CRuleCase>("c");
        const char* noClear = "[ｺﾋﾟｰ前にｺﾋﾟｰ先ﾌｫﾙﾀﾞを全ｸﾘｱする]ｵﾌﾟｼｮﾝは使用できません．";
        const QString four = "UsedChk=1;AnsChk=1;DustChk=1;SubDirChk=1";
        const Ids clearOn = {Dlg::IDC_USED_CHK, Dlg::IDC_ANS_CHK, kNew, Dlg::IDC_DUST_CHK};
        // clang-format off
        QTest::newRow("idle") << CRuleCase{"", {}, kIdle, {kNew}, 0};
        QTest::newRow("lha on keeps the states") << CRuleCase{"SubDirChk=1;CopyDirChk=1;OutDirChk=1",
            {kLha}, kLhaOn, {kNew, kSub, kCopyDir, kOutDir, kLha}, 1};
        QTest::newRow("lha off: exclude button") << CRuleCase{"LhaChk=1", {kLha}, kIdleChanged.mid(1),
            {kNew}, 1};
        QTest::newRow("lha refused without the archiver") << CRuleCase{"", {kLha}, kIdle, {kNew}, 0,
            "圧縮を実行するにはUNLHA32.DLLが必要です．", false};
        QTest::newRow("clear on") << CRuleCase{four, {kClr}, kIdleChanged + clearOn, {kSub, kClr}, 1};
        QTest::newRow("clear off") << CRuleCase{four, {kClr, kClr}, kIdleChanged, {kSub}, 1};
        QTest::newRow("clear: no source") << CRuleCase{"SrcDir=", {kClr}, kIdle, {kNew}, 0, noClear};
        QTest::newRow("clear: destination inside") << CRuleCase{"DstDir=s:\\work\\Backup", {kClr},
            kIdle, {kNew}, 0, noClear};
        QTest::newRow("lha and clear") << CRuleCase{"LhaChk=1;AllClrChk=1;DustChk=1;CopyDirChk=1", {},
            kLhaOn + Ids{kSave}, {kClr, kCopyDir, kLha}, 0};
        QTest::newRow("exclude on") << CRuleCase{"", {kOutDir}, kIdleChanged.mid(1), {kNew, kOutDir}, 1};
        QTest::newRow("continuous") << CRuleCase{"", {kRen}, kContinuous, {kNew, kRen}, 0};
        QTest::newRow("continuous off: no save") << CRuleCase{"", {kRen, kRen}, kIdle, {kNew}, 0};
        QTest::newRow("continuous off: lha rule") << CRuleCase{"LhaChk=1", {kRen, kRen},
            kLhaOn + Ids{kSave}, {kNew, kLha}, 0};
        // clang-format on
    }

    void optionRules() {
        QFETCH(CRuleCase, c);
        CMainWindowFixture fx;
        auto dlg = fx.Open(c.keys, c.lha);
        QVERIFY(dlg);
        if (c.warning)
            fx.boxes->Expect(c.warning, IDOK, MB_OK | MB_ICONEXCLAMATION);
        for (int id : c.clicks)
            ClickControl(dlg.get(), id);
        QVERIFY(fx.boxes->VerifyAllUsed());
        std::sort(c.disabled.begin(), c.disabled.end());
        std::sort(c.checked.begin(), c.checked.end());
        QCOMPARE(Where(*dlg, "enabled", false), c.disabled);
        QCOMPARE(Where(*dlg, "checked", true), c.checked);
        QCOMPARE(dlg->m_bChanged, c.changed);
    }

    // The continuous mode (kept in the profile) and its set dialog change no setting; the set
    // chosen counts on OK only, the dialog starting on the window's set.
    void whatMarksTheSettingChanged() {
        CMainWindowFixture fx;
        QVERIFY(fx.Write("A.def", "") && fx.Write("Tidewell.Ini", "UsedDef=A;RenzokuIndex=1"));
        auto dlg = fx.Open();
        ClickControl(dlg.get(), kRen);
        for (int button : {CRenzokuDlg::IDC_CANCEL, CRenzokuDlg::IDC_OK}) {
            AnswerNextModal(
                [button](QWidget* pModal) {
                    auto* pSets = ControlAs<QComboBox>(pModal, CRenzokuDlg::IDC_SET_LIST);
                    pSets->setCurrentIndex(pSets->currentIndex() + 2);
                    emit pSets->activated(pSets->currentIndex());
                    ClickControl(pModal, button);
                },
                CRenzokuDlg::IDD);
            ClickControl(dlg.get(), Dlg::IDC_RENZOKU_SETTING);
        }
        ClickControl(dlg.get(), kRen);
        QVERIFY(dlg->m_nRenzokuIndex == 3 && dlg->m_bChanged == 0 && dlg->isVisible());
        for (int id : Ids{kNew, Dlg::IDC_USED_CHK, kSub, Dlg::IDC_ANS_CHK, Dlg::IDC_DUST_CHK,
                          kCopyDir, Dlg::IDC_SRC_DIR, Dlg::IDC_DST_DIR, Dlg::IDC_WILD_LIST}) {
            dlg->m_bChanged = 0;
            if (auto* pEdit = ControlAs<QLineEdit>(dlg.get(), id))
                QTest::keyClicks(pEdit, "x");
            else
                ClickControl(dlg.get(), id);
            QVERIFY2(dlg->m_bChanged == 1, qPrintable(QString::number(id)));
        }
    }

    void closeDuringRunOnlyRequestsCancel() {
        for (int way : {0, 1, 2}) { // the close button, Escape, the close box
            CMainWindowFixture fx;
            auto dlg = fx.Open();
            TypeInto(*dlg, Dlg::IDC_WILD_LIST, "*.txt"); // unsaved changes
            dlg->SetRunState(0);
            dlg->Job().m_bRunning = 1;
            way == 0   ? ClickControl(dlg.get(), Dlg::IDC_CLOSE)
            : way == 1 ? QTest::keyClick(dlg.get(), Qt::Key_Escape)
                       : void(dlg->close());
            QVERIFY(dlg->Job().m_bCancel == 1 && dlg->isVisible());
            QVERIFY(fx.program.ReadFile("Tidewell.Ini").empty());
            dlg->Job().m_bRunning = 0;
        }
    }

    void closeAsksAndWritesTheProfile() {
        CMainWindowFixture fx;
        QVERIFY(fx.Write("Alpha.def", "SrcDir=S:\\Work"));
        QVERIFY(fx.Write("Tidewell.Ini", "UsedDef=alpha;Renzoku=0;RenzokuIndex=4"));
        const std::string profile = fx.program.ReadFile("Tidewell.Ini");
        auto dlg = fx.Open();
        TypeInto(*dlg, Dlg::IDC_SRC_DIR, "S:\\Other");
        fx.boxes->ExpectExact(kAskSave, IDCANCEL, MB_YESNOCANCEL | MB_ICONQUESTION);
        QTest::keyClick(dlg.get(), Qt::Key_Escape);
        QVERIFY(dlg->isVisible());
        QCOMPARE(fx.program.ReadFile("Tidewell.Ini"), profile);
        // No drops the changes; the profile names the list's entry as spelt there.
        fx.boxes->ExpectExact(kAskSave, IDNO);
        ClickControl(dlg.get(), Dlg::IDC_CLOSE);
        QVERIFY(fx.boxes->VerifyAllUsed());
        QVERIFY(!dlg->isVisible() && dlg->result() == Dlg::IDC_CLOSE);
        QCOMPARE(fx.Value("Tidewell.Ini", "UsedDef") + fx.Value("Tidewell.Ini", "Renzoku") +
                     fx.Value("Tidewell.Ini", "RenzokuIndex") + fx.Value("Alpha.def", "SrcDir"),
                 "Alpha04S:\\Work");
    }

    // A small screen (scale factor 2) gets a window that fits and scrolls to every control.
    void layoutOnTheScreens() {
        for (const auto& [screen, scrolls] : {std::pair{"wide", false}, {"scaled", true}}) {
            CMainWindowFixture fx;
            Dlg dlg;
            dlg.setScreen(TestScreen(screen));
            dlg.move(dlg.screen()->availableGeometry().topLeft());
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            const QRect available = dlg.screen()->availableGeometry();
            QVERIFY(dlg.frameGeometry().width() <= available.width() &&
                    dlg.frameGeometry().height() <= available.height());
            auto* pScroll = dlg.findChild<QScrollArea*>();
            QCOMPARE(pScroll->verticalScrollBar()->maximum() > 0, scrolls);
            QCOMPARE(dlg.size() == pScroll->widget()->size(), !scrolls);
            for (int id : kTabOrder + Ids{Dlg::IDC_STATUS}) {
                QWidget* pControl = ControlOf(&dlg, id);
                const QRect inPage(pControl->mapTo(pScroll->widget(), QPoint(0, 0)),
                                   pControl->size());
                pScroll->ensureVisible(inPage.center().x(), inPage.center().y(),
                                       inPage.width() / 2 + 1, inPage.height() / 2 + 1);
                // Whole, or (the status line) over the width of the view.
                const QRect at(pControl->mapTo(&dlg, QPoint(0, 0)), pControl->size());
                const QRect view = pScroll->viewport()->geometry();
                const QRect seen = at.intersected(view);
                QVERIFY2(seen.height() == at.height() &&
                             seen.width() >= std::min(at.width(), view.width() - 1),
                         qPrintable(QString::number(id)));
            }
            if (scrolls)
                continue;
            // The template: caption, default button, tab order, groups, the longer close caption.
            QCOMPARE(dlg.windowTitle(), QStringLiteral("Tidewell Ver 1.10"));
            QVERIFY(ControlAs<QPushButton>(&dlg, Dlg::IDC_RUN)->isDefault());
            Ids chain;
            QWidget* pWidget = ControlOf(&dlg, kTabOrder.front());
            do {
                if (pWidget->property("controlId").isValid() &&
                    pWidget->focusPolicy() & Qt::TabFocus)
                    chain << pWidget->property("controlId").toInt();
                pWidget = pWidget->nextInFocusChain();
            } while (pWidget != ControlOf(&dlg, kTabOrder.front()));
            QCOMPARE(chain, kTabOrder);
            QStringList titles;
            for (QGroupBox* pGroup : dlg.findChildren<QGroupBox*>()) {
                titles << pGroup->title();
                QVERIFY(pGroup->width() > pGroup->fontMetrics().horizontalAdvance(pGroup->title()));
            }
            titles.sort();
            QCOMPARE(titles.join('|'), "LHA(&P)|設定ﾌｧｲﾙ(&E)|除外ﾌｫﾙﾀﾞ(&M)|ｵﾌﾟｼｮﾝ(&O)|ｺﾋﾟｰﾘｽﾄ(&W)");
            dlg.SetCloseCaption("中断(&X)"); // the longer caption of the close button
            VerifyNothingCut(dlg);
            QVERIFY(dlg.width() <= 1024 && dlg.height() <= 740); // fits a small screen
        }
    }

    // The LHA dialog's help joins it; the version dialog opens from the menu and the help.
    void settingAndVersionDialogs() {
        CMainWindowFixture fx;
        auto dlg = fx.Open("LhaChk=1");
        QStringList seen;
        for (int id : {int(CLhaSettingDlg::IDD), int(CAboutDlg::IDD), int(CAboutDlg::IDD)})
            AnswerNextModal(
                [&seen, id](QWidget* pModal) {
                    if (id == CLhaSettingDlg::IDD)
                        ClickControl(pModal, CLhaSettingDlg::IDC_HELP);
                    seen << pModal->windowTitle() +
                                (HelpWindow()->parentWidget() == pModal ? "+" : "");
                    pModal->close();
                },
                id);
        ClickControl(dlg.get(), Dlg::IDC_LHA_SETTING);
        dlg->actions().constFirst()->trigger();
        emit HelpWindow()->findChild<QTextBrowser*>()->anchorClicked(QUrl("tidewell:about"));
        QVERIFY(HelpWindow()->parentWidget() == dlg.get()); // back with the window
        CloseHelp();
        QCOMPARE(seen.join('|'), "LHAの設定+|ﾊﾞｰｼﾞｮﾝ情報 Tidewell|ﾊﾞｰｼﾞｮﾝ情報 Tidewell");
    }
};

TIDEWELL_SCREENS_TEST_MAIN(TestMainWindow)
#include "tst_CopyMainDlg.moc"
