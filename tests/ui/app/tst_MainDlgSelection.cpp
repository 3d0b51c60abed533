// The main window's candidates and exclude-folder buttons: what they open, store and stop.
#include "MainWindowFixture.h"

#include "support/TempTree.h"
#include "ui/selection/ExcludeFolderDlg.h"
#include "ui/selection/ExtCandidateDlg.h"

namespace {
const char kOutDirs[] =
    "[OutDirList]\r\nCount=2\r\nOutDir0=s:\\work\\old\\\r\nOutDir1=S:\\Gone\r\n";

// S:\Work and setting "A" on it, the window open.
struct CSelectionFixture : CMainWindowFixture {
    CTempTree tree{'S'};
    std::unique_ptr<Dlg> dlg;
    CSelectionFixture() {
        if (tree.Build({{"Work/a.TXT"}, {"Work/Old/b.doc"}, {"Work/Café/"}}) &&
            Write("A.def", "SrcDir=S:\\Work;DstDir=D:\\B;WildList=*.doc;OutDirChk=1") &&
            program.WriteFile("A.def", program.ReadFile("A.def") + kOutDirs) &&
            Write("Tidewell.Ini", "UsedDef=A"))
            dlg = Open();
    }
};
} // namespace

class TestMainWindowSelection : public QObject {
    Q_OBJECT
private slots:
    // The candidates' OK writes the chosen list and marks the setting changed; the exclude
    // folders' OK stores the checked folders at once (an entry no longer there is dropped) and
    // refuses a folder the file cannot hold; Cancel changes nothing.
    void dialogsStoreOnOk() {
        using Ext = CExtCandidateDlg;
        using Out = CExcludeFolderDlg;
        const std::string kept = kOutDirs + 14;
        // Button, dialog, clicks there, warning, copy list, changed, stored folders.
        const std::tuple<int, int, QList<int>, const char*, QString, int, std::string> rows[] = {
            {Dlg::IDC_CANDIDATES,
             Ext::IDD,
             {Ext::IDC_SELECT_ALL, Ext::IDC_OK},
             "",
             "*.doc/*.TXT",
             1,
             kept},
            {Dlg::IDC_CANDIDATES,
             Ext::IDD,
             {Ext::IDC_SELECT_ALL, Ext::IDC_CANCEL},
             "",
             "*.doc",
             0,
             kept},
            {Dlg::IDC_OUTDIR_SETTING,
             Out::IDD,
             {Out::IDC_OK},
             "",
             "*.doc",
             0,
             "Count=1\r\nOutDir0=S:\\Work\\Old\r\n"},
            {Dlg::IDC_OUTDIR_SETTING, Out::IDD, {Out::IDC_CANCEL}, "", "*.doc", 0, kept},
            {Dlg::IDC_OUTDIR_SETTING,
             Out::IDD,
             {Out::IDC_SELECT_ALL, Out::IDC_OK},
             "ｺﾋﾟｰ除外ﾌｫﾙﾀﾞに保存できない文字「é」",
             "*.doc",
             0,
             kept}};
        for (const auto& [button, templateId, clicks, warning, texts, changed, stored] : rows) {
            CSelectionFixture fx;
            Dlg* dlg = fx.dlg.get();
            QVERIFY(dlg);
            if (*warning)
                fx.boxes->Expect(warning, IDOK);
            AnswerNextModal(
                [clicks = clicks](QWidget* pModal) {
                    for (int id : clicks)
                        ClickControl(pModal, id);
                },
                templateId);
            ClickControl(dlg, button);
            QVERIFY(fx.boxes->VerifyAllUsed());
            QCOMPARE(Texts(dlg, {Dlg::IDC_WILD_LIST, Dlg::IDC_CLOSE, Dlg::IDC_STATUS}),
                     texts + "|閉じる(&X)|すべての設定を確認後、[実行]を押してください．");
            QCOMPARE(dlg->m_bChanged, changed);
            const std::string file = fx.program.ReadFile("A.def");
            QCOMPARE(file.substr(file.find("[OutDirList]\r\n") + 14), stored);
            QVERIFY(IsEnabled(*dlg, button) && IsEnabled(*dlg, Dlg::IDC_RUN));
        }
    }

    // The close button stops either walk: no dialog opens, nothing changes, the window is idle.
    void closeStopsTheWalk() {
        for (int button : {Dlg::IDC_CANDIDATES, Dlg::IDC_OUTDIR_SETTING}) {
            CSelectionFixture fx;
            Dlg* dlg = fx.dlg.get();
            QVERIFY(dlg);
            QString during;
            QTimer::singleShot(0, dlg, [&] {
                during = Texts(dlg, {Dlg::IDC_CLOSE}) + QString::number(IsEnabled(*dlg, button));
                ClickControl(dlg, Dlg::IDC_CLOSE);
            });
            auto pOpened = std::make_shared<bool>(false); // the answer may come after this loop
            AnswerNextModal([pOpened](QWidget* pModal) {
                *pOpened = true;
                pModal->close();
            });
            ClickControl(dlg, button);
            QCOMPARE(during, "中断(&X)0");
            QVERIFY(!*pOpened && dlg->isVisible() && IsEnabled(*dlg, button));
            QCOMPARE(Texts(dlg, {Dlg::IDC_WILD_LIST, Dlg::IDC_CLOSE}), "*.doc|閉じる(&X)");
            QVERIFY(fx.program.ReadFile("A.def").ends_with(kOutDirs) && dlg->m_bChanged == 0);
        }
    }
};

QTEST_MAIN(TestMainWindowSelection)
#include "tst_MainDlgSelection.moc"
