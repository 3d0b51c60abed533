// The continuous execution settings dialog used through its control ids:
// the moves and their selections, the button states, reordering by mouse
// and keyboard, and which set is saved when.
#include "ui/continuous/RenzokuDlg.h"

#include "continuous/RenzokuSet.h"
#include "support/DialogTestHelpers.h"
#include "support/ProgramFolder.h"
#include "ui/framework/DragListBox.h"

#include <QComboBox>
#include <QListWidget>

using Dlg = CRenzokuDlg;

namespace {

const std::vector<std::string> kFiles = {"p.def", "Q.def", "R.def", "S.def", "Sa.def"};

// Set 0 holds S, set 3 holds Q.
struct CFixture {
    CTestProgramFolder program;
    CFixture() {
        for (const std::string& file : kFiles)
            program.WriteFile(file, "");
        program.WriteFile("Tidewell.Ini",
                          "[Renzoku0]\r\nCount=1\r\nFile0=S.def\r\n[Renzoku3]\r\nCount=1\r\n"
                          "File0=Q.def\r\n");
    }
};

// A list's texts with "*" before the selected one.
QString Entries(Dlg& dlg, int id) {
    auto* pList = ControlAs<QListWidget>(&dlg, id);
    QStringList texts;
    for (int i = 0; i < pList->count(); ++i)
        texts << (pList->item(i)->isSelected() ? "*" : "") + pList->item(i)->text();
    return texts.join(' ');
}
// Candidates|chosen|the enabled ones of move-to-chosen, select all,
// move back and clear all as "> A < Z".
QString State(Dlg& dlg) {
    QString buttons;
    for (auto [id, mark] : {std::pair{Dlg::IDC_TO_CHOSEN, '>'},
                            {Dlg::IDC_SELECT_ALL, 'A'},
                            {Dlg::IDC_TO_CANDIDATES, '<'},
                            {Dlg::IDC_CLEAR_ALL, 'Z'}})
        buttons += ControlOf(&dlg, id)->isEnabled() ? mark : '-';
    return Entries(dlg, Dlg::IDC_CANDIDATES) + "|" + Entries(dlg, Dlg::IDC_CHOSEN) + "|" + buttons;
}

// Drags row from of the chosen list to the place before row to (the
// list's end when to is its count).
void Drag(Dlg& dlg, int from, int to) {
    auto* pList = ControlAs<CDragListBox>(&dlg, Dlg::IDC_CHOSEN);
    QWidget* pView = pList->viewport();
    const QPoint start = pList->visualRect(pList->model()->index(from, 0)).center();
    const QPoint end =
        to < pList->count()
            ? pList->visualRect(pList->model()->index(to, 0)).topLeft() + QPoint(4, 1)
            : QPoint(4, pView->height() - 2);
    QTest::mousePress(pView, Qt::LeftButton, {}, start);
    for (const QPoint& at : {start + QPoint(0, 20), end}) {
        QMouseEvent move(QEvent::MouseMove, at, pView->mapToGlobal(at), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pView, &move);
    }
    QTest::mouseRelease(pView, Qt::LeftButton, {}, end);
}

// Plays the actions: "c1"/"s1" select row 1 of the candidates/chosen
// ("s-" none), ">" "<" "all" "clr" "up" "down" the buttons, "^up"/"^down"
// Ctrl+Up/Down in the chosen list, "dbl" a double click on the selected
// candidate, "d0>5" a drag.
void Play(Dlg& dlg, const QString& actions) {
    auto* pChosen = ControlAs<QListWidget>(&dlg, Dlg::IDC_CHOSEN);
    const std::map<QString, int> buttons = {
        {">", Dlg::IDC_TO_CHOSEN},   {"<", Dlg::IDC_TO_CANDIDATES}, {"all", Dlg::IDC_SELECT_ALL},
        {"clr", Dlg::IDC_CLEAR_ALL}, {"up", Dlg::IDC_MOVE_UP},      {"down", Dlg::IDC_MOVE_DOWN}};
    for (const QString& a : actions.split(' ', Qt::SkipEmptyParts)) {
        if (buttons.count(a))
            ClickControl(&dlg, buttons.at(a));
        else if (a == "s-")
            pChosen->clearSelection();
        else if (a[0] == 'c' || a[0] == 's')
            ControlAs<QListWidget>(&dlg, a[0] == 'c' ? Dlg::IDC_CANDIDATES : Dlg::IDC_CHOSEN)
                ->setCurrentRow(a.mid(1).toInt());
        else if (a[0] == '^')
            QTest::keyClick(pChosen, a == "^up" ? Qt::Key_Up : Qt::Key_Down, Qt::ControlModifier);
        else if (a == "dbl") {
            auto* pCandidates = ControlAs<QListWidget>(&dlg, Dlg::IDC_CANDIDATES);
            emit pCandidates->doubleClicked(pCandidates->currentIndex());
        } else if (a[0] == 'd')
            Drag(dlg, a.mid(1, 1).toInt(), a.mid(3).toInt());
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
    void moves_data() {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QString>("state");
        QTest::newRow("start: all enabled") << ""
                                            << "*p Q R Sa|*S|>A<Z";
        QTest::newRow("to chosen goes before the selection; the next candidate selected")
            << "c1 >"
            << "p *R Sa|*Q S|>A<Z";
        QTest::newRow("last candidate moved: the one before it selected") << "c3 dbl"
                                                                          << "p Q *R|*Sa S|>A<Z";
        QTest::newRow("nothing chosen selected: appended") << "s- >"
                                                           << "*Q R Sa|S *p|>A<Z";
        // Sa begins with S, yet S comes back as itself.
        QTest::newRow("back to the sorted candidates") << "<"
                                                       << "p Q R *S Sa||>A--";
        QTest::newRow("select all after the entries, reversed") << "s- all"
                                                                << "|S *Sa R Q p|--<Z";
        QTest::newRow("select all before the selection") << "all"
                                                         << "|*Sa R Q p S|--<Z";
        QTest::newRow("clear all") << "s- all clr"
                                   << "*p Q R S Sa||>A--";
        QTest::newRow("buttons and keys reorder") << "s- all s1 down down up ^down ^down"
                                                  << "|S R Q p *Sa|--<Z";
        QTest::newRow("edges do not move") << "s- > ^down s0 up"
                                           << "*Q R Sa|*S p|>A<Z";
        QTest::newRow("drag down, to the end, to the top") << "s- all d0>2 d1>5 d3>0"
                                                           << "|*p Sa R Q S|--<Z";
    }
    // The state after the actions; OK saves the order shown.
    void moves() {
        QFETCH(QString, actions);
        QFETCH(QString, state);
        CFixture fx;
        Dlg dlg(0, kFiles, nullptr);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        Play(dlg, actions);
        QCOMPARE(State(dlg), state);
        ClickControl(&dlg, Dlg::IDC_OK);
        QCOMPARE(dlg.result(), int(Dlg::IDC_OK));
        QCOMPARE(Saved(0), state.section('|', 1, 1).remove('*'));
    }

    // A switch saves the set left; Cancel then drops only the later changes.
    void switchThenCancel() {
        CFixture fx;
        Dlg dlg(0, kFiles, nullptr);
        VerifyNothingCut(dlg);
        auto* pSets = ControlAs<QComboBox>(&dlg, Dlg::IDC_SET_LIST);
        QCOMPARE(pSets->itemText(0) + "|" + pSets->itemText(4) + "|" + pSets->currentText(),
                 "連続実行設定 00|連続実行設定 04|連続実行設定 00");
        Play(dlg, "s- >");
        pSets->setCurrentIndex(3);
        emit pSets->activated(3);
        QCOMPARE(State(dlg), "*p R S Sa|*Q|>A<Z");
        Play(dlg, "clr");
        ClickControl(&dlg, Dlg::IDC_CANCEL);
        QCOMPARE(dlg.result(), int(Dlg::IDC_CANCEL));
        QCOMPARE(Saved(0) + "|" + Saved(3), "S p|Q");
    }
};

QTEST_MAIN(TestRenzokuDlg)
#include "tst_RenzokuDlg.moc"
