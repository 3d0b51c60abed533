// The exclude folders dialog through its control ids: indented clicks, OK, Cancel, an empty list.
#include "ui/selection/ExcludeFolderDlg.h"

#include "support/DialogTestHelpers.h"
#include "ui/framework/CheckListBox.h"

using Dlg = CExcludeFolderDlg;
using Folders = std::vector<std::string>;

namespace {
const Folders kCandidates = {"S:\\Src\\", "S:\\Src\\Old", "S:\\Src\\Old\\Deep", "S:\\Src\\New"};

// A user's click on the check box where the indented line draws it.
void ClickCheck(CCheckListBox* pList, int row, int depth) {
    QStyleOptionViewItem option;
    option.initFrom(pList);
    option.rect = pList->visualRect(pList->model()->index(row, 0));
    option.rect.setLeft(option.rect.left() + depth * pList->IndentStep());
    option.features = QStyleOptionViewItem::HasCheckIndicator;
    const QPoint at = pList->style()
                          ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, pList)
                          .center();
    QTest::mouseClick(pList->viewport(), Qt::LeftButton, {}, at);
}
} // namespace

class TestExcludeFolderDlg : public QObject {
    Q_OBJECT
private slots:
    // Entries, the steps ("old"/"deep" click that line's box, "cancel" ends), the entries after.
    void choose() {
        // clang-format off
        const std::tuple<Folders, const char*, Folders> rows[] = {
            {{"s:\\src\\old\\", "S:\\Gone"}, "", {"S:\\Src\\Old"}}, // gone: dropped
            {{"S:\\Gone"}, "cancel", {"S:\\Gone"}},
            {{"S:\\SRC\\"}, "old deep", {"S:\\Src", "S:\\Src\\Old", "S:\\Src\\Old\\Deep"}},
            {{}, "all", {"S:\\Src", "S:\\Src\\Old", "S:\\Src\\Old\\Deep", "S:\\Src\\New"}},
            {{"S:\\Src\\New"}, "all clr", {}}};
        // clang-format on
        for (const auto& [entries, actions, after] : rows) {
            Folders outDirs = entries;
            Dlg dlg(kCandidates, outDirs, nullptr);
            VerifyNothingCut(dlg);
            auto* pList = ControlAs<CCheckListBox>(&dlg, Dlg::IDC_FOLDERS);
            const QString steps(actions);
            if (steps.contains("old"))
                ClickCheck(pList, 1, 1);
            if (steps.contains("deep"))
                ClickCheck(pList, 2, 2);
            if (steps.contains("all"))
                ClickControl(&dlg, Dlg::IDC_SELECT_ALL);
            if (steps.contains("clr"))
                ClickControl(&dlg, Dlg::IDC_CLEAR_ALL);
            ClickControl(&dlg, steps == "cancel" ? Dlg::IDC_CANCEL : Dlg::IDC_OK);
            QCOMPARE(dlg.result(), int(steps == "cancel" ? Dlg::IDC_CANCEL : Dlg::IDC_OK));
            QCOMPARE(outDirs, after);
        }
    }

    void emptyListRefused() {
        CScriptedBoxes boxes;
        boxes->ExpectExact("ﾌｫﾙﾀﾞﾘｽﾄが空です．", IDOK);
        Folders outDirs = {"S:\\Kept"};
        Dlg dlg({}, outDirs, nullptr);
        QCOMPARE(dlg.DoModal(), int(Dlg::IDC_CANCEL));
        QVERIFY(boxes->VerifyAllUsed() && outDirs == Folders{"S:\\Kept"});
    }
};

QTEST_MAIN(TestExcludeFolderDlg)
#include "tst_ExcludeFolderDlg.moc"
