// The run button of the main window: the folder checks with their messages
// and focus, the save question, a whole run on temporary drives with the
// window's own questions and progress window, and a cancel request made
// with the close button while the files are collected.

#include "MainWindowFixture.h"

#include "platform/HostServices.h"
#include "support/TempTree.h"
#include "ui/app/CopyApp.h"
#include "ui/app/HelpViewer.h"
#include "ui/copyjob/CopyConfirmDlg.h"
#include "ui/copyjob/OverwriteDlg.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>

using Dlg = CCopyMainDlg;

namespace {

// Drives S: (source) and D: (destination) in a temporary program folder.
struct CRunFixture : CMainWindowFixture {
    CTempTree source{'S'};
    CTempTree dest{'D'};

    // A setting "Job" from S:\ to D:\ (all files, every option off) that the
    // window loads at start, plus extra keys.
    std::unique_ptr<Dlg> OpenJob(const KeyValues& extra = {}) {
        KeyValues spec = {{"SrcDir", "S:\\"},
                          {"DstDir", "D:\\"},
                          {"WildList", "*.*"},
                          {"NewChk", "0"},
                          {"DustChk", "0"}};
        for (const auto& [key, value] : extra) {
            auto it = std::find_if(spec.begin(), spec.end(),
                                   [&key](const auto& kv) { return kv.first == key; });
            if (it != spec.end())
                it->second = value;
            else
                spec.emplace_back(key, value);
        }
        if (!WriteSetting("Job", spec) || !WriteProfile({{"UsedDef", "Job"}}))
            return nullptr;
        auto pDlg = Open();
        pDlg->activateWindow();
        if (!QTest::qWaitForWindowActive(pDlg.get()))
            qWarning("the main window did not become active");
        return pDlg;
    }
};

// Acts on the next modal dialog of the template once it is up.
void OnModalTemplate(int templateId, std::function<void(QWidget*)> action, int triesLeft = 300) {
    QTimer::singleShot(10, [=] {
        QWidget* pModal = QApplication::activeModalWidget();
        if (pModal && pModal->property("templateId").toInt() == templateId)
            action(pModal);
        else if (triesLeft > 0)
            OnModalTemplate(templateId, action, triesLeft - 1);
        else
            qWarning("dialog %d never came", templateId);
    });
}

void Press(QWidget* pDialog, int id) {
    ControlAs<QAbstractButton>(pDialog, id)->click();
}

const std::vector<int> kIdleControls = {Dlg::IDC_SETTING_LIST, Dlg::IDC_SRC_DIR, Dlg::IDC_RUN,
                                        Dlg::IDC_SUBDIR_CHK,   Dlg::IDC_LOG,     Dlg::IDC_HELP};

} // namespace

class TestMainWindowRun : public QObject {
    Q_OBJECT

private slots:
    void refusedFolders_data();
    void refusedFolders();
    void sourceNotReadyRetriesUntilCancel();
    void saveQuestionCancelStopsAndNoRunsUnsaved();
    void runCopiesWithQuestionsOfTheWindow();
    void closeDuringCollectionCancelsTheRun();
    void leftoverCancelRequestDoesNotStopNextRun();
    void continuousModeRunStartsNothing();
    void logButtonWithoutLogWarns();
    void helpOpensAndCloseQuitsIt();
};

void TestMainWindowRun::refusedFolders_data() {
    QTest::addColumn<QString>("src");
    QTest::addColumn<QString>("dst");
    QTest::addColumn<bool>("clear");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("focus"); // 0: the focus stays on the run button
    const QString srcMissing = QStringLiteral("ｺﾋﾟｰ元ﾌｫﾙﾀﾞが指定されていません．");
    const QString srcInvalid = QStringLiteral("ｺﾋﾟｰ元ﾌｫﾙﾀﾞ名称が不正です．");
    const QString dstMissing = QStringLiteral("ｺﾋﾟｰ先ﾌｫﾙﾀﾞが指定されていません．");
    const QString dstInvalid = QStringLiteral("ｺﾋﾟｰ先ﾌｫﾙﾀﾞ名称が不正です．");
    const QString same = QStringLiteral("ｺﾋﾟｰ元ﾌｫﾙﾀﾞとｺﾋﾟｰ先ﾌｫﾙﾀﾞが同じです．");
    const QString overlap =
        QStringLiteral("[ｺﾋﾟｰ前にｺﾋﾟｰ先ﾌｫﾙﾀﾞを全ｸﾘｱする]ｵﾌﾟｼｮﾝは使用できません．");
    const int src = Dlg::IDC_SRC_DIR;
    const int dst = Dlg::IDC_DST_DIR;
    QTest::newRow("source empty") << ""
                                  << "D:\\" << false << srcMissing << src;
    QTest::newRow("drive only") << "S:"
                                << "D:\\" << false << srcInvalid << src;
    QTest::newRow("network path") << "\\\\host\\share"
                                  << "D:\\" << false << srcInvalid << src;
    QTest::newRow("destination empty") << "S:\\"
                                       << "" << false << dstMissing << dst;
    QTest::newRow("same folder, other case") << "S:\\Data"
                                             << "s:\\data\\" << false << same << dst;
    QTest::newRow("destination not of drive form") << "S:\\"
                                                   << "Backup" << false << dstInvalid << dst;
    QTest::newRow("clear with destination inside source")
        << "S:\\Data"
        << "S:\\Data\\Backup" << true << overlap << 0;
}

void TestMainWindowRun::refusedFolders() {
    QFETCH(QString, src);
    QFETCH(QString, dst);
    QFETCH(bool, clear);
    QFETCH(QString, message);
    QFETCH(int, focus);
    CRunFixture fx;
    QVERIFY(fx.source.Build({{"Data/a.txt", "a"}}));
    auto dlg = fx.OpenJob({{"SrcDir", src.toStdString()},
                           {"DstDir", dst.toStdString()},
                           {"AllClrChk", clear ? "1" : "0"}});
    QVERIFY(dlg);
    fx.boxes->Expect(message.toStdString(), IDOK, MB_OK | MB_ICONEXCLAMATION);
    ClickControl(dlg.get(), Dlg::IDC_RUN);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QCOMPARE(fx.boxes->Shown().size(), size_t(1)); // exactly one message
    const int expectedFocus = focus != 0 ? focus : int(Dlg::IDC_RUN);
    QCOMPARE(QApplication::focusWidget(), ControlOf(dlg.get(), expectedFocus));
    QVERIFY(fx.dest.Read().empty());
    QVERIFY(!dlg->IsRunning());
    for (int id : kIdleControls)
        QVERIFY(IsEnabled(dlg.get(), id));
}

void TestMainWindowRun::sourceNotReadyRetriesUntilCancel() {
    CRunFixture fx;
    auto dlg = fx.OpenJob({{"SrcDir", "S:\\Later"}});
    QVERIFY(dlg);
    const char kNotReady[] = "ｺﾋﾟｰ元ﾌｫﾙﾀﾞの準備が出来てないか、ﾌｫﾙﾀﾞが無効です．";
    fx.boxes->Expect(kNotReady, IDRETRY, MB_RETRYCANCEL | MB_ICONEXCLAMATION);
    fx.boxes->Expect(kNotReady, IDCANCEL);
    ClickControl(dlg.get(), Dlg::IDC_RUN);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QCOMPARE(QApplication::focusWidget(), ControlOf(dlg.get(), Dlg::IDC_RUN));
    QVERIFY(!fx.program.ReadFile("Tidewall.log").size());
}

void TestMainWindowRun::saveQuestionCancelStopsAndNoRunsUnsaved() {
    CRunFixture fx;
    QVERIFY(fx.source.Build({{"a.txt", "aaa"}, {"b.doc", "bbb"}}));
    auto dlg = fx.OpenJob();
    QVERIFY(dlg);
    TypeInto(dlg.get(), Dlg::IDC_WILD_LIST, QStringLiteral("*.doc"));
    fx.boxes->ExpectExact("設定が変更されています、保存しますか．", IDCANCEL,
                          MB_YESNOCANCEL | MB_ICONQUESTION);
    ClickControl(dlg.get(), Dlg::IDC_RUN);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QVERIFY(fx.dest.Read().empty());
    // No: the run uses the values shown, and they stay unsaved.
    fx.boxes->ExpectExact("設定が変更されています、保存しますか．", IDNO);
    fx.boxes->ExpectExact("ｺﾋﾟｰ処理を終了しました．", IDOK);
    OnModalTemplate(CCopyConfirmDlg::IDD,
                    [](QWidget* pModal) { Press(pModal, CCopyConfirmDlg::IDC_START); });
    ClickControl(dlg.get(), Dlg::IDC_RUN);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QCOMPARE(CTempTree::WithoutTimes(fx.dest.Read()), (std::vector<CTreeItem>{{"b.doc", "bbb"}}));
    QCOMPARE(dlg->m_bChanged, 1);
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_SAVE));
    QCOMPARE(ProfileValue(fx, "Job.def", "Spec", "WildList"), std::string("*.*"));
}

void TestMainWindowRun::runCopiesWithQuestionsOfTheWindow() {
    CRunFixture fx;
    CHostServices::Get().SetClock(
        [] { return std::time_t(1704132245); }); // 2024/01/02 03:04:05 JST
    QVERIFY(fx.source.Build({{"a.txt", "new a"}, {"sub/b.txt", "bb"}}));
    QVERIFY(fx.dest.Build({{"a.txt", "old a"}}));
    auto dlg = fx.OpenJob({{"AnsChk", "1"}});
    QVERIFY(dlg);
    bool bDisabledDuringRun = false;
    int overwriteQuestions = 0;
    OnModalTemplate(CCopyConfirmDlg::IDD, [&](QWidget* pModal) {
        // While the run waits, only the run's own windows take input.
        bDisabledDuringRun = dlg->IsRunning();
        for (int id : kIdleControls)
            bDisabledDuringRun = bDisabledDuringRun && !IsEnabled(dlg.get(), id);
        OnModalTemplate(COverwriteDlg::IDD, [&](QWidget* pQuestion) {
            ++overwriteQuestions;
            Press(pQuestion, COverwriteDlg::IDC_NO); // keep the old a.txt
        });
        Press(pModal, CCopyConfirmDlg::IDC_START);
    });
    fx.boxes->ExpectExact("ｺﾋﾟｰ処理を終了しました．", IDOK, MB_ICONASTERISK);
    ClickControl(dlg.get(), Dlg::IDC_RUN);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QVERIFY(bDisabledDuringRun);
    QCOMPARE(overwriteQuestions, 1);
    QCOMPARE(CTempTree::WithoutTimes(fx.dest.Read()),
             (std::vector<CTreeItem>{{"sub/"}, {"a.txt", "old a"}, {"sub/b.txt", "bb"}}));
    // The window is idle again, with its idle texts.
    QVERIFY(!dlg->IsRunning());
    for (int id : kIdleControls)
        QVERIFY(IsEnabled(dlg.get(), id));
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_CLOSE));
    QCOMPARE(ControlAs<QPushButton>(dlg.get(), Dlg::IDC_CLOSE)->text(),
             QStringLiteral("閉じる(&X)"));
    QCOMPARE(ControlAs<QLabel>(dlg.get(), Dlg::IDC_STATUS)->text(),
             QStringLiteral("すべての設定を確認後、[実行]を押してください．"));
    QVERIFY(ControlOf(dlg.get(), Dlg::IDC_IDLE_PICTURE)->isVisible());
    QCOMPARE(dlg->m_bChanged, 0);
    // The log of the run is in the program folder; the log button shows it
    // with its first line as the title.
    QVERIFY(!fx.program.ReadFile("Tidewall.log").empty());
    QString title;
    OnModalTemplate(136, [&](QWidget* pViewer) {
        title = pViewer->windowTitle();
        pViewer->close();
    });
    ClickControl(dlg.get(), Dlg::IDC_LOG);
    QCOMPARE(title, QStringLiteral("-- Tidewall.Exe  ｺﾋﾟｰ履歴 [2024/01/02 03:04:05] --"));
    CHostServices::Get().SetClock(nullptr);
}

void TestMainWindowRun::closeDuringCollectionCancelsTheRun() {
    CRunFixture fx;
    QVERIFY(fx.source.Build({{"one/a.txt", "a"}, {"two/b.txt", "b"}, {"three/c.txt", "c"}}));
    auto dlg = fx.OpenJob();
    QVERIFY(dlg);
    // The click arrives with the first events the collection lets through.
    QString closeCaption;
    QTimer::singleShot(0, [&] {
        closeCaption = ControlAs<QPushButton>(dlg.get(), Dlg::IDC_CLOSE)->text();
        ClickControl(dlg.get(), Dlg::IDC_CLOSE);
    });
    ClickControl(dlg.get(), Dlg::IDC_RUN);
    QCOMPARE(closeCaption, QStringLiteral("中断(&X)"));
    QVERIFY(dlg->isVisible());
    QVERIFY(fx.boxes->Shown().empty()); // neither the save question nor a result box
    QVERIFY(fx.dest.Read().empty());
    QCOMPARE(dlg->Job().m_bCancel, 0); // taken by the collection
    QVERIFY(!dlg->IsRunning());
    QCOMPARE(ControlAs<QPushButton>(dlg.get(), Dlg::IDC_CLOSE)->text(),
             QStringLiteral("閉じる(&X)"));
    QVERIFY(fx.program.ReadFile("Tidewell.Ini").find("Renzoku") == std::string::npos);
}

void TestMainWindowRun::leftoverCancelRequestDoesNotStopNextRun() {
    CRunFixture fx;
    QVERIFY(fx.source.Build({{"one/a.txt", "a"}}));
    auto dlg = fx.OpenJob();
    QVERIFY(dlg);
    dlg->Job().m_bCancel = 1; // raised where no loop took it
    OnModalTemplate(CCopyConfirmDlg::IDD,
                    [](QWidget* pModal) { Press(pModal, CCopyConfirmDlg::IDC_START); });
    fx.boxes->ExpectExact("ｺﾋﾟｰ処理を終了しました．", IDOK);
    ClickControl(dlg.get(), Dlg::IDC_RUN);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QCOMPARE(CTempTree::WithoutTimes(fx.dest.Read()),
             (std::vector<CTreeItem>{{"one/"}, {"one/a.txt", "a"}}));
}

void TestMainWindowRun::continuousModeRunStartsNothing() {
    CRunFixture fx;
    QVERIFY(fx.source.Build({{"a.txt", "a"}}));
    auto dlg = fx.OpenJob({{"SrcDir", ""}}); // would be refused by the checks
    QVERIFY(dlg);
    ClickControl(dlg.get(), Dlg::IDC_RENZOKU_CHK);
    ClickControl(dlg.get(), Dlg::IDC_RUN);
    QVERIFY(fx.boxes->Shown().empty());
    QVERIFY(fx.dest.Read().empty());
    QVERIFY(IsEnabled(dlg.get(), Dlg::IDC_RUN));
}

void TestMainWindowRun::logButtonWithoutLogWarns() {
    CRunFixture fx;
    auto dlg = fx.OpenJob();
    QVERIFY(dlg);
    fx.boxes->ExpectExact("ログファイルがありません．", IDOK);
    ClickControl(dlg.get(), Dlg::IDC_LOG);
    QVERIFY(fx.boxes->VerifyAllUsed());
    QVERIFY(dlg->isVisible());
}

void TestMainWindowRun::helpOpensAndCloseQuitsIt() {
    CRunFixture fx;
    CCopyApp app;
    auto dlg = fx.OpenJob();
    QVERIFY(dlg);
    QVERIFY(!HelpWindow());
    QTest::keyClick(dlg.get(), Qt::Key_F1);
    QVERIFY(HelpWindow());
    QVERIFY(HelpWindow()->isVisible());
    CloseHelp();
    QTRY_VERIFY(!HelpWindow() || !HelpWindow()->isVisible());
    ClickControl(dlg.get(), Dlg::IDC_HELP);
    QVERIFY(HelpWindow());
    QVERIFY(HelpWindow()->isVisible());
    ClickControl(dlg.get(), Dlg::IDC_CLOSE);
    QVERIFY(!dlg->isVisible());
    QTRY_VERIFY(!HelpWindow() || !HelpWindow()->isVisible());
}

QTEST_MAIN(TestMainWindowRun)
#include "tst_MainDlgRun.moc"
