// The run button: folder checks with their messages and focus, whole runs, a cancel by Close.

#include "MainWindowFixture.h"

#include "continuous/RenzokuSet.h"
#include "support/TempTree.h"
#include "ui/app/LogViewerDlg.h"
#include "ui/continuous/RenzokuConfirmDlg.h"
#include "ui/copyjob/CopyConfirmDlg.h"
#include "ui/copyjob/OverwriteDlg.h"
#include "ui/copyjob/ProgressDlg.h"

#include <dlfcn.h>

namespace {

// Drives S: and D:; the setting copies S:\ to D:\ with every option off.
struct CRunFixture : CMainWindowFixture {
    CTempTree source{'S'};
    CTempTree dest{'D'};
    std::unique_ptr<Dlg> OpenJob(const QString& keys = {}) const {
        return Open(keys + ";SrcDir=S:\\;DstDir=D:\\;NewChk=0;DustChk=0");
    }
};

struct CPaintCounter : QObject { // of the objects it watches
    int nPaints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        return (nPaints += e->type() == QEvent::Paint) < 0;
    }
};

const char kDone[] = "ｺﾋﾟｰ処理を終了しました．";

// Whether the controls a run disables are all enabled (idle) or all disabled.
bool Idle(Dlg& dlg, bool bIdle = true) {
    for (int id : {Dlg::IDC_SETTING_LIST, Dlg::IDC_SRC_DIR, Dlg::IDC_RUN, Dlg::IDC_SUBDIR_CHK,
                   Dlg::IDC_LOG, Dlg::IDC_HELP})
        if (IsEnabled(dlg, id) != bIdle)
            return false;
    return dlg.IsRunning() != bIdle;
}

} // namespace

class TestMainWindowRun : public QObject {
    Q_OBJECT

private slots:

    void refusedFolders() {
        // The setting's keys, the one message, the control that gets the focus.
        const int src = Dlg::IDC_SRC_DIR, dst = Dlg::IDC_DST_DIR, run = Dlg::IDC_RUN;
        const std::tuple<QString, const char*, int> cases[] = {
            {"SrcDir=", "ｺﾋﾟｰ元ﾌｫﾙﾀﾞが指定されていません．", src},
            {"SrcDir=S:\\Data;DstDir=s:\\data\\", "ｺﾋﾟｰ元ﾌｫﾙﾀﾞとｺﾋﾟｰ先ﾌｫﾙﾀﾞが同じです．", dst},
            {"SrcDir=S:\\Data;DstDir=S:\\Data\\Backup;AllClrChk=1",
             "[ｺﾋﾟｰ前にｺﾋﾟｰ先ﾌｫﾙﾀﾞを全ｸﾘｱする]ｵﾌﾟｼｮﾝは使用できません．", run}};
        for (const auto& [keys, message, focus] : cases) {
            CRunFixture fx;
            QVERIFY(fx.source.Build({{"Data/a.txt", "a"}}));
            auto dlg = fx.OpenJob(keys);
            QVERIFY(dlg);
            fx.boxes->Expect(message, IDOK, MB_ICONEXCLAMATION);
            ClickControl(dlg.get(), Dlg::IDC_RUN);
            QVERIFY(fx.boxes->VerifyAllUsed() && fx.dest.Read().empty() && Idle(*dlg));
            QCOMPARE(QApplication::focusWidget(), ControlOf(dlg.get(), focus));
        }
    }

    void wholeRunWithTheWindowsQuestions() {
        CRunFixture fx;
        CHostServices::Get().SetClock(
            [] { return std::time_t(1704132245); }); // 2024/01/02 03:04:05
        QVERIFY(fx.source.Build({{"a.txt", "new a"}, {"sub/b.txt", "bb"}, {"c.doc", "c"}}));
        QVERIFY(fx.dest.Build({{"a.txt", "old a"}}));
        auto dlg = fx.OpenJob("AnsChk=1");
        QVERIFY(dlg);
        TypeInto(*dlg, Dlg::IDC_WILD_LIST, "*.txt");
        fx.boxes->ExpectExact(kAskSave, IDCANCEL, MB_YESNOCANCEL | MB_ICONQUESTION);
        ClickControl(dlg.get(), Dlg::IDC_RUN);
        QCOMPARE(fx.dest.Read().size(), size_t(1)); // Cancel: no run
        // No: the run uses the values shown, left unsaved; only the run's windows take input.
        bool bDisabledDuringRun = false;
        AnswerNextModal(
            [&](QWidget* pModal) {
                bDisabledDuringRun = Idle(*dlg, false);
                AnswerWith(COverwriteDlg::IDD, COverwriteDlg::IDC_NO); // keep the old a.txt
                ClickControl(pModal, CCopyConfirmDlg::IDC_START);
            },
            CCopyConfirmDlg::IDD);
        fx.boxes->ExpectExact(kAskSave, IDNO).ExpectExact(kDone, IDOK, MB_ICONASTERISK);
        ClickControl(dlg.get(), Dlg::IDC_RUN);
        CHostServices::Get().SetClock(nullptr);
        QVERIFY(fx.boxes->VerifyAllUsed());
        QVERIFY(bDisabledDuringRun);
        QCOMPARE(CTempTree::WithoutTimes(fx.dest.Read()),
                 (std::vector<CTreeItem>{{"sub/"}, {"a.txt", "old a"}, {"sub/b.txt", "bb"}}));
        QVERIFY(dlg->m_bChanged == 1 && IsEnabled(*dlg, Dlg::IDC_SAVE));
        QCOMPARE(fx.Value("A.def", "WildList"), "<absent>");
        // Idle again with the idle texts; the log button shows the run's log.
        QVERIFY(Idle(*dlg) && ControlOf(dlg.get(), Dlg::IDC_IDLE_PICTURE)->isVisible());
        QCOMPARE(Texts(dlg.get(), {Dlg::IDC_CLOSE, Dlg::IDC_STATUS}),
                 "閉じる(&X)|すべての設定を確認後、[実行]を押してください．");
        QString title;
        AnswerNextModal(
            [&title](QWidget* pViewer) {
                title = pViewer->windowTitle();
                pViewer->close();
            },
            CDeleteLog::IDD);
        ClickControl(dlg.get(), Dlg::IDC_LOG);
        QCOMPARE(title, QStringLiteral("-- Tidewall.Exe  ｺﾋﾟｰ履歴 [2024/01/02 03:04:05] --"));
    }

    void closeDuringCollectionCancelsOnlyThatRun() {
        CRunFixture fx;
        QVERIFY(fx.source.Build({{"one/a.txt", "a"}, {"two/b.txt", "b"}}));
        auto dlg = fx.OpenJob();
        QVERIFY(dlg);
        // The click arrives with the first events the collection lets through.
        QString closeCaption;
        QTimer::singleShot(0, [&] {
            closeCaption = Texts(dlg.get(), {Dlg::IDC_CLOSE});
            ClickControl(dlg.get(), Dlg::IDC_CLOSE);
        });
        ClickControl(dlg.get(), Dlg::IDC_RUN);
        QCOMPARE(closeCaption, QStringLiteral("中断(&X)"));
        QVERIFY(dlg->isVisible() && Idle(*dlg) && fx.dest.Read().empty()); // no box either
        QCOMPARE(fx.Value("Tidewell.Ini", "Renzoku"), "<absent>");
        // The next run is not stopped by that request.
        fx.boxes->ExpectExact(kDone, IDOK);
        AnswerWith(CCopyConfirmDlg::IDD, CCopyConfirmDlg::IDC_START);
        ClickControl(dlg.get(), Dlg::IDC_RUN);
        QVERIFY(fx.boxes->VerifyAllUsed());
        QCOMPARE(fx.dest.Read().size(), size_t(4));
    }

    // While the archiver blocks, the progress window is painted, closing locked; the release
    // comes from this thread's event loop (the stand-in fails after a minute without it).
    void archiveRunKeepsTheWindowPainted() {
        CRunFixture fx;
        auto dlg = fx.OpenJob("LhaChk=1");
        QVERIFY(dlg);
        dlg->Setting().LhaName = "SAVE.LZH";
        dlg->Setting().SaveLha();
        dlg->Job().m_strLhaLibrary = LHA_BLOCKING_LIBRARY;
        void* pLibrary = dlopen(LHA_BLOCKING_LIBRARY, RTLD_NOW); // the handle the run gets too
        auto* pRelease = reinterpret_cast<void (*)()>(dlsym(pLibrary, "UnlhaTestRelease"));
        CPaintCounter counter;
        QString locked;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&, ticks = 0]() mutable {
            for (QWidget* pWindow : QApplication::topLevelWidgets()) {
                auto* pProgress = qobject_cast<CProgressDlg*>(pWindow);
                if (!pProgress || !pProgress->isVisible())
                    continue;
                // The busy bar moves by itself: its paints show the loop turning.
                ControlOf(pProgress, CProgressDlg::IDC_PROGRESS)->installEventFilter(&counter);
                locked = QString("%1 %2 %3 ")
                             .arg(dlg->isEnabled())
                             .arg(ControlOf(dlg.get(), Dlg::IDC_CLOSE)->isEnabledTo(dlg.get()))
                             .arg(ControlOf(pProgress, CProgressDlg::IDC_CANCEL)->isEnabled()) +
                         pProgress->windowTitle();
                if (counter.nPaints >= 3 || ++ticks == 1000)
                    pRelease();
            }
        });
        timer.start(10);
        fx.boxes->ExpectExact("圧縮処理を終了しました．", IDOK, MB_ICONASTERISK);
        ClickControl(dlg.get(), Dlg::IDC_RUN);
        timer.stop();
        dlclose(pLibrary);
        QVERIFY(fx.boxes->VerifyAllUsed() && counter.nPaints >= 3);
        QCOMPARE(locked, "0 0 0 圧縮中です．．．");
        // The archiver's report follows the header line.
        QVERIFY(QByteArray::fromStdString(fx.program.ReadFile("Tidewall.log"))
                    .endsWith(" --\r\nreleased\r\n"));
        // What the call throws on its thread is reported here; the window is idle again.
        dlg->Job().m_strLhaLibrary = "/nonexistent/libunlha32.so";
        fx.boxes->ExpectExact("UNLHA32.DLLが見つからないか、ロードできません。", IDOK);
        ClickControl(dlg.get(), Dlg::IDC_RUN);
        QVERIFY(fx.boxes->VerifyAllUsed() && !dlg->IsRunning() && IsEnabled(*dlg, Dlg::IDC_CLOSE));
    }

    void continuousRun() {
        CRunFixture fx;
        QVERIFY(fx.source.Build({{"one/a.txt", "a"}, {"two/b.txt", "b"}}));
        QVERIFY(fx.Write("B.def", "SrcDir=S:\\one;DstDir=D:\\one;WildList=*.*;NewChk=0;DustChk=0"));
        QVERIFY(fx.Write("C.def", "SrcDir=S:\\two;DstDir=D:\\two;WildList=*.*;NewChk=0;DustChk=0"));
        auto dlg = fx.OpenJob();
        QVERIFY(dlg && SaveRenzokuSet(2, {"B", "C"}) == 0);
        dlg->m_nRenzokuIndex = 2;
        TypeInto(*dlg, Dlg::IDC_WILD_LIST, "*.txt");
        fx.boxes->ExpectExact(kAskSave, IDCANCEL, MB_YESNOCANCEL | MB_ICONQUESTION)
            .ExpectExact(kAskSave, IDNO);
        ClickControl(dlg.get(), Dlg::IDC_RENZOKU_CHK); // Cancel: the mode stays off
        QVERIFY(!dlg->IsRenzoku());
        ClickControl(dlg.get(), Dlg::IDC_RENZOKU_CHK); // on, the changes kept unsaved
        // One save question before the order; Cancel at either runs nothing, keeps the changes.
        QStringList order;
        std::function<void()> closeOnceRunning = [&] {
            if (!dlg->IsRunning())
                return QTimer::singleShot(0, closeOnceRunning);
            order << QString::number(Idle(*dlg, false));
            ClickControl(dlg.get(), Dlg::IDC_CLOSE);
        };
        auto answerOrder = [&](int button, bool bCloseAtOnce = false) {
            AnswerNextModal(
                [&, button, bCloseAtOnce](QWidget* pModal) {
                    VerifyNothingCut(*pModal);
                    order = {pModal->windowTitle()};
                    auto* pList = ControlAs<QListWidget>(pModal, CRenzokuConfirmDlg::IDC_ORDER);
                    for (int i = 0; i < pList->count(); ++i)
                        order << pList->item(i)->text();
                    ClickControl(pModal, button);
                    if (bCloseAtOnce) // with the first events the run lets through
                        closeOnceRunning();
                },
                CRenzokuConfirmDlg::IDD);
        };
        fx.boxes->ExpectExact(kAskSave, IDCANCEL).ExpectExact(kAskSave, IDNO);
        ClickControl(dlg.get(), Dlg::IDC_RUN);
        answerOrder(CRenzokuConfirmDlg::IDC_CANCEL);
        ClickControl(dlg.get(), Dlg::IDC_RUN);
        QCOMPARE(order.join('|'), "連続処理実行前の確認|  1 .... B|  2 .... C");
        QVERIFY(dlg->m_bChanged == 1 && fx.program.ReadFile("Tidewall.log").empty());
        // The close button cancels the running step, which ends the run.
        fx.boxes->ExpectExact(kAskSave, IDNO)
            .ExpectExact("連続処理は異常終了しました．終了ｺｰﾄﾞ[9999]", IDOK, MB_ICONEXCLAMATION);
        answerOrder(CRenzokuConfirmDlg::IDC_OK, true);
        ClickControl(dlg.get(), Dlg::IDC_RUN);
        QCOMPARE(order.last(), "1"); // the window was disabled while it ran
        fx.boxes->ExpectExact("連続処理を終了しました．", IDOK, MB_ICONASTERISK);
        answerOrder(CRenzokuConfirmDlg::IDC_OK);
        ClickControl(dlg.get(), Dlg::IDC_RUN);
        QVERIFY(fx.boxes->VerifyAllUsed());
        QCOMPARE(fx.dest.Read().size(), size_t(4));
        // The setting shown before comes back from its file, in continuous mode.
        QCOMPARE(State(*dlg), "A|B|C 0 0 A S:\\ 0");
        QVERIFY(!dlg->IsRunning() && IsEnabled(*dlg, Dlg::IDC_RUN) &&
                !IsEnabled(*dlg, Dlg::IDC_SRC_DIR));
        QCOMPARE(Texts(dlg.get(), {Dlg::IDC_CLOSE, Dlg::IDC_STATUS}),
                 "閉じる(&X)|すべての設定を確認後、[実行]を押してください．");
        ClickControl(dlg.get(), Dlg::IDC_CLOSE); // the mode and its set kept in the profile
        QCOMPARE(fx.Value("Tidewell.Ini", "Renzoku") + fx.Value("Tidewell.Ini", "RenzokuIndex"),
                 "12");
    }
};

QTEST_MAIN(TestMainWindowRun)
#include "tst_MainDlgRun.moc"
