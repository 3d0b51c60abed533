// The main window's browse buttons and its drive-letter menu entry.
#include "MainWindowFixture.h"

#include "support/FakeVolumeSource.h"
#include "support/TempTree.h"
#include "ui/files/FolderSelectDlg.h"

#include <QAction>
#include <QTreeWidget>

class TestMainWindowBrowse : public QObject {
    Q_OBJECT
private slots:
    void browseButtons() {
        // Button, item chosen (none: cancel), the dialog's caption and selection, the field after.
        const std::tuple<int, const char*, QString, QString> rows[] = {
            {Dlg::IDC_BROWSE_SRC, "Other", "ｺﾋﾟｰ元ﾌｫﾙﾀﾞの選択 Work", "S:\\Other\\ 1"},
            {Dlg::IDC_BROWSE_SRC, "S:\\", "ｺﾋﾟｰ元ﾌｫﾙﾀﾞの選択 Work", "S:\\ 1"},
            {Dlg::IDC_BROWSE_DST, nullptr, "ｺﾋﾟｰ先ﾌｫﾙﾀﾞの選択 ", "D:\\Backup 0"}};
        for (const auto& [button, choice, shown, after] : rows) {
            CMainWindowFixture fx;
            CTempTree tree('S');
            QVERIFY(tree.AddFolder("Work") && tree.AddFolder("Other"));
            CScopedVolumeSource volumes(std::make_shared<CFakeVolumeSource>(
                CFakeVolumeSource().Set('S', CFakeVolumeSource::Large())));
            auto dlg = fx.Open("");
            QVERIFY(dlg);
            QString seen;
            AnswerNextModal(
                [&, choice = choice](QWidget* pModal) {
                    auto* pTree = ControlAs<QTreeWidget>(pModal, CFolderSelectDlg::IDC_TREE);
                    seen = pModal->windowTitle() + " " +
                           (pTree->selectedItems().isEmpty() ? ""
                                                             : pTree->selectedItems()[0]->text(0));
                    if (!choice)
                        return ClickControl(pModal, CFolderSelectDlg::IDC_CANCEL);
                    pTree->setCurrentItem(
                        pTree->findItems(choice, Qt::MatchExactly | Qt::MatchRecursive).value(0));
                    ClickControl(pModal, CFolderSelectDlg::IDC_OK);
                },
                CFolderSelectDlg::IDD);
            ClickControl(dlg.get(), button);
            QCOMPARE(seen, shown);
            const int field = button == Dlg::IDC_BROWSE_SRC ? Dlg::IDC_SRC_DIR : Dlg::IDC_DST_DIR;
            QCOMPARE(Texts(dlg.get(), {field}) + " " + QString::number(dlg->m_bChanged), after);
            QCOMPARE(IsEnabled(*dlg, Dlg::IDC_SAVE), dlg->m_bChanged == 1);
            QVERIFY(dlg->actions().size() == 2 &&
                    dlg->actions()[1]->text() == "ドライブの割り当て...");
        }
    }
};

QTEST_MAIN(TestMainWindowBrowse)
#include "tst_MainDlgBrowse.moc"
