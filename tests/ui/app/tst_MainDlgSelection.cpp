// The main window's candidates and exclude-folder buttons: what they open, store and stop.
#include "MainWindowFixture.h"

#include "support/TempTree.h"
#include "ui/selection/ExcludeFolderDlg.h"
#include "ui/selection/ExtCandidateDlg.h"

namespace {
const char kOutDirs[] =
    "[OutDirList]\r\nCount=2\r\nOutDir0=s:\\work\\old\\\r\nOutDir1=S:\\Gone\r\n";

std::unique_ptr<Dlg> OpenOn(CMainWindowFixture& fx, CTempTree& tree) {
    if (!tree.Build({{"Work/a.TXT"}, {"Work/Old/b.doc"}, {"Work/Café/"}}) ||
        !fx.Write("A.def", "SrcDir=S:\\Work;DstDir=D:\\B;WildList=*.doc;OutDirChk=1") ||
        !fx.program.WriteFile("A.def", fx.program.ReadFile("A.def") + kOutDirs) ||
        !fx.Write("Tidewell.Ini", "UsedDef=A"))
        return nullptr;
    return fx.Open();
}
} // namespace

class TestMainWindowSelection : public QObject {
    Q_OBJECT
private slots:
    // OK writes the chosen list and marks the setting changed; Cancel changes nothing.
    void candidates() {
        for (const bool bOk : {true, false}) {
            CMainWindowFixture fx;
            CTempTree tree('S');
            auto dlg = OpenOn(fx, tree);
            QVERIFY(dlg);
            AnswerNextModal(
                [&](QWidget* pModal) {
                    ClickControl(pModal, CExtCandidateDlg::IDC_SELECT_ALL);
                    ClickControl(pModal,
                                 bOk ? CExtCandidateDlg::IDC_OK : CExtCandidateDlg::IDC_CANCEL);
                },
                CExtCandidateDlg::IDD);
            ClickControl(dlg.get(), Dlg::IDC_CANDIDATES);
            QCOMPARE(Texts(dlg.get(), {Dlg::IDC_WILD_LIST, Dlg::IDC_CLOSE, Dlg::IDC_STATUS}) +
                         QString::number(dlg->m_bChanged),
                     QString(bOk ? "*.doc/*.TXT" : "*.doc") +
                         "|閉じる(&X)|すべての設定を確認後、[実行]を押してください．" +
                         (bOk ? "1" : "0"));
            QVERIFY(IsEnabled(*dlg, Dlg::IDC_CANDIDATES) && IsEnabled(*dlg, Dlg::IDC_RUN));
        }
    }

    // OK stores the checked folders at once (an entry no longer there is dropped); Cancel keeps
    // the file; a folder the file cannot hold is refused and the stored list stays.
    void excludeFolders() {
        const std::tuple<int, const char*, std::string> rows[] = {
            {CExcludeFolderDlg::IDC_OK, "", "Count=1\r\nOutDir0=S:\\Work\\Old\r\n"},
            {CExcludeFolderDlg::IDC_CANCEL, "", kOutDirs + 14},
            {CExcludeFolderDlg::IDC_SELECT_ALL, "ｺﾋﾟｰ除外ﾌｫﾙﾀﾞに保存できない文字「é」",
             kOutDirs + 14}};
        for (const auto& [button, warning, stored] : rows) {
            CMainWindowFixture fx;
            CTempTree tree('S');
            auto dlg = OpenOn(fx, tree);
            QVERIFY(dlg);
            if (*warning)
                fx.boxes->Expect(warning, IDOK);
            AnswerNextModal(
                [&, button = button](QWidget* pModal) {
                    ClickControl(pModal, button);
                    if (button == CExcludeFolderDlg::IDC_SELECT_ALL)
                        ClickControl(pModal, CExcludeFolderDlg::IDC_OK);
                },
                CExcludeFolderDlg::IDD);
            ClickControl(dlg.get(), Dlg::IDC_OUTDIR_SETTING);
            const std::string file = fx.program.ReadFile("A.def");
            QCOMPARE(file.substr(file.find("[OutDirList]\r\n") + 14), stored);
            QVERIFY(fx.boxes->VerifyAllUsed() && dlg->m_bChanged == 0);
        }
    }

    // The close button stops either walk: no dialog opens, nothing changes, the window is idle.
    void closeStopsTheWalk() {
        for (int button : {Dlg::IDC_CANDIDATES, Dlg::IDC_OUTDIR_SETTING}) {
            CMainWindowFixture fx;
            CTempTree tree('S');
            auto dlg = OpenOn(fx, tree);
            QVERIFY(dlg);
            QString during;
            QTimer::singleShot(0, dlg.get(), [&] {
                during =
                    Texts(dlg.get(), {Dlg::IDC_CLOSE}) + QString::number(IsEnabled(*dlg, button));
                ClickControl(dlg.get(), Dlg::IDC_CLOSE);
            });
            auto pOpened = std::make_shared<bool>(false); // the answer may come after this loop
            AnswerNextModal([pOpened](QWidget* pModal) {
                *pOpened = true;
                pModal->close();
            });
            ClickControl(dlg.get(), button);
            QCOMPARE(during, "中断(&X)0");
            QVERIFY(!*pOpened && dlg->isVisible() && IsEnabled(*dlg, button));
            QCOMPARE(Texts(dlg.get(), {Dlg::IDC_WILD_LIST, Dlg::IDC_CLOSE}), "*.doc|閉じる(&X)");
            QVERIFY(fx.program.ReadFile("A.def").ends_with(kOutDirs) && dlg->m_bChanged == 0);
        }
    }
};

QTEST_MAIN(TestMainWindowSelection)
#include "tst_MainDlgSelection.moc"
