// The continuous set dialog: moves, selections, button states, reordering, which set is saved.
#include "ui/continuous/RenzokuDlg.h"

#include "continuous/RenzokuSet.h"
#include "support/DialogTestHelpers.h"
#include "support/ProgramFolder.h"
#include "ui/framework/DragListBox.h"

#include <QComboBox>

using Dlg = CRenzokuDlg;

namespace {

const std::vector<std::string> kFiles = {"p.def", "Q.def", "R.def", "S.def", "Sa.def"};

QString State(Dlg& dlg) {
    return TwoListState(dlg, 'Z');
}

// Plays the actions: "c1"/"s1" select row 1 of the candidates/chosen ("s-" none), ">" "<" "all"
// "clr" "up" "down" "cancel" the buttons, "set3" a switch to set 3, "^up"/"^down" Ctrl+Up/Down in
// the chosen list, "dbl" a double click on the selected candidate, "d0>5" a mouse drag of chosen
// row 0 to before row 5.
void Play(Dlg& dlg, const QString& actions) {
    auto* pChosen = ControlAs<CDragListBox>(&dlg, Dlg::IDC_CHOSEN);
    auto* pCandidates = ControlAs<QListWidget>(&dlg, Dlg::IDC_CANDIDATES);
    const std::map<QString, int> buttons = {
        {">", Dlg::IDC_TO_CHOSEN},   {"<", Dlg::IDC_TO_CANDIDATES}, {"all", Dlg::IDC_SELECT_ALL},
        {"clr", Dlg::IDC_CLEAR_ALL}, {"up", Dlg::IDC_MOVE_UP},      {"down", Dlg::IDC_MOVE_DOWN},
        {"cancel", Dlg::IDC_CANCEL}};
    for (const QString& a : actions.split(' ', Qt::SkipEmptyParts)) {
        if (buttons.count(a))
            ClickControl(&dlg, buttons.at(a));
        else if (a == "s-")
            pChosen->clearSelection();
        else if (a == "set3") {
            ControlAs<QComboBox>(&dlg, Dlg::IDC_SET_LIST)->setCurrentIndex(3);
            emit ControlAs<QComboBox>(&dlg, Dlg::IDC_SET_LIST)->activated(3);
        } else if (a[0] == 'c' || a[0] == 's')
            (a[0] == 'c' ? pCandidates : pChosen)->setCurrentRow(a.mid(1).toInt());
        else if (a[0] == '^')
            QTest::keyClick(pChosen, a == "^up" ? Qt::Key_Up : Qt::Key_Down, Qt::ControlModifier);
        else if (a == "dbl")
            emit pCandidates->doubleClicked(pCandidates->currentIndex());
        else { // a drag, with the insertion mark on the way
            QWidget* pView = pChosen->viewport();
            const int to = a.mid(3).toInt();
            const QPoint start =
                pChosen->visualRect(pChosen->model()->index(a.mid(1, 1).toInt(), 0)).center();
            const QPoint end =
                to < pChosen->count()
                    ? pChosen->visualRect(pChosen->model()->index(to, 0)).topLeft() + QPoint(4, 1)
                    : QPoint(4, pView->height() - 2);
            QTest::mousePress(pView, Qt::LeftButton, {}, start);
            for (const QPoint& at : {start + QPoint(0, 20), end}) {
                QMouseEvent move(QEvent::MouseMove, at, pView->mapToGlobal(at), Qt::NoButton,
                                 Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(pView, &move);
            }
            QTest::mouseRelease(pView, Qt::LeftButton, {}, end);
        }
    }
}

QString Saved(int set) {
    std::vector<std::string> aSet;
    LoadRenzokuSet(set, aSet);
    QStringList names;
    for (const std::string& name : aSet)
        names << QString::fromStdString(RenzokuEntryName(name));
    return names.join(' ');
}

} // namespace

class TestRenzokuDlg : public QObject {
    Q_OBJECT
private slots:
    // The state after the actions; OK saves the order shown. A switch saves the set left;
    // Cancel then drops only the later changes.
    void moves() {
        // clang-format off
        const std::pair<const char*, const char*> rows[] = {
            {"", "*p Q R Sa|*S|>A<Z"}, // at the start every button is enabled
            {"c1 >", "p *R Sa|*Q S|>A<Z"}, // before the selection; the next candidate selected
            {"c3 dbl", "p Q *R|*Sa S|>A<Z"}, // the last candidate: the one before it selected
            {"s- >", "*Q R Sa|S *p|>A<Z"}, // nothing chosen selected: appended
            {"<", "p Q R *S Sa||>A--"}, // Sa begins with S, yet S comes back as itself
            {"s- all", "|S *Sa R Q p|--<Z"}, // after the entries, in reverse order
            {"all", "|*Sa R Q p S|--<Z"}, // before the selection
            {"s- all clr", "*p Q R S Sa||>A--"},
            {"s- all s1 down down up ^down ^down", "|S R Q p *Sa|--<Z"},
            {"s- > ^down s0 up", "*Q R Sa|*S p|>A<Z"}, // the edges do not move
            {"s- all d0>2 d1>5 d3>0", "|*p Sa R Q S|--<Z"}, // down, to the end, to the top
            {"s- > set3 s0 < cancel", "p *Q R S Sa||>A--"}}; // set 0 saved as "S p"
        // clang-format on
        for (const auto& [actions, state] : rows) {
            CTestProgramFolder program; // set 0 holds S, set 3 holds Q
            for (const std::string& file : kFiles)
                QVERIFY(program.WriteFile(file, ""));
            QVERIFY(program.WriteFile("Tidewell.Ini", "[Renzoku0]\r\nCount=1\r\nFile0=S.def\r\n"
                                                      "[Renzoku3]\r\nCount=1\r\nFile0=Q.def\r\n"));
            Dlg dlg(0, kFiles, nullptr);
            VerifyNothingCut(dlg);
            auto* pSets = ControlAs<QComboBox>(&dlg, Dlg::IDC_SET_LIST);
            QCOMPARE(pSets->itemText(0) + "|" + pSets->itemText(4) + "|" + pSets->currentText(),
                     "連続実行設定 00|連続実行設定 04|連続実行設定 00");
            Play(dlg, actions);
            QCOMPARE(State(dlg), QString(state));
            const bool bCancel = QString(actions).endsWith("cancel");
            if (!bCancel)
                ClickControl(&dlg, Dlg::IDC_OK);
            QCOMPARE(dlg.result(), int(bCancel ? Dlg::IDC_CANCEL : Dlg::IDC_OK));
            QCOMPARE(Saved(0) + "|" + Saved(3),
                     (bCancel ? "S p" : QString(state).section('|', 1, 1).remove('*')) + "|Q");
        }
    }
};

QTEST_MAIN(TestRenzokuDlg)
#include "tst_RenzokuDlg.moc"
