// The extension candidates dialog through its control ids: moves, button states, single files, OK.
#include "ui/selection/ExtCandidateDlg.h"

#include "support/DialogTestHelpers.h"
#include "support/TempTree.h"

#include <QFileDialog>
#include <QLineEdit>

using Dlg = CExtCandidateDlg;
using Names = std::vector<std::string>;

namespace {

QString State(Dlg& dlg) {
    return TwoListState(dlg, 'D');
}

const std::map<QString, int> kButtons = {{">", Dlg::IDC_TO_CHOSEN},
                                         {"<", Dlg::IDC_TO_CANDIDATES},
                                         {"all", Dlg::IDC_SELECT_ALL},
                                         {"clr", Dlg::IDC_CLEAR_ALL}};

} // namespace

class TestExtCandidateDlg : public QObject {
    Q_OBJECT
private slots:
    // Actions: "c2"/"s1" select a row of the candidates/chosen, "dc"/"ds" double-click the
    // selected one, ">" "<" "all" "clr" the buttons; then the state and OK's copy list.
    void moves() {
        const Names collected = {"*.h", "*.doc", "*.TXT", "*.htm", "*.c"};
        const std::tuple<Names, const char*, const char*, const char*> rows[] = {
            {{}, "", "**.c *.doc *.h *.htm *.TXT||>A--", ""},
            {{"*.h", "*.doc"}, "", "**.c *.htm *.TXT|**.doc *.h|>A<D", "*.doc/*.h"},
            // *.h comes back as itself beside *.htm, which merely begins with it
            {{"*.h"}, "<", "*.c *.doc **.h *.htm *.TXT||>A--", ""},
            {{"*.h"}, "c3 > s1 ds", "*.c *.doc *.htm **.TXT|**.h|>A<D", "*.h"},
            {{}, "c4 dc", "*.c *.doc *.h **.htm|**.TXT|>A<D", "*.TXT"}, // the one before it
            {{"*.txt"}, "all", "|**.c *.doc *.h *.htm *.txt|--<D", "*.c/*.doc/*.h/*.htm/*.txt"},
            {{"*.c"}, "all clr", "**.c *.doc *.h *.htm *.TXT||>A--", ""},
        };
        for (const auto& [chosen, actions, state, result] : rows) {
            Dlg dlg(collected, chosen, "S:\\", nullptr);
            dlg.show();
            QVERIFY(QTest::qWaitForWindowExposed(&dlg));
            auto* pCandidates = ControlAs<QListWidget>(&dlg, Dlg::IDC_CANDIDATES);
            auto* pChosen = ControlAs<QListWidget>(&dlg, Dlg::IDC_CHOSEN);
            for (const QString& a : QString(actions).split(' ', Qt::SkipEmptyParts)) {
                QListWidget* pList = a.contains('c') ? pCandidates : pChosen;
                if (kButtons.count(a))
                    ClickControl(&dlg, kButtons.at(a));
                else if (a[0] == 'd')
                    emit pList->doubleClicked(pList->currentIndex());
                else
                    pList->setCurrentRow(a.mid(1).toInt());
            }
            QCOMPARE(State(dlg), QString(state));
            ClickControl(&dlg, Dlg::IDC_OK);
            QCOMPARE(dlg.result(), int(Dlg::IDC_OK));
            QCOMPARE(dlg.m_strResult, std::string(result));
        }
    }

    // The file dialog starts in the source folder; only bare names come, each once.
    void singleFiles() {
        CTempTree tree('S');
        QVERIFY(tree.Build({{"Work/README"}, {"Work/a.txt"}}));
        Dlg dlg({"*.txt"}, {}, "S:\\Work", nullptr);
        VerifyNothingCut(dlg);
        QString seen;
        AnswerNextModal([&](QWidget* pModal) {
            auto* pFiles = qobject_cast<QFileDialog*>(pModal);
            QVERIFY(pFiles);
            seen = pFiles->windowTitle() + " " + pFiles->directory().path();
            auto* pName = pModal->findChild<QLineEdit*>("fileNameEdit");
            pName->setText("\"README\" \"a.txt\"");
            QTest::keyClick(pName, Qt::Key_Return);
        });
        ClickControl(&dlg, Dlg::IDC_FILES);
        QCOMPARE(seen,
                 QString::fromStdString("ﾌｧｲﾙの個別選択(複数選択可) " + tree.HostPath("Work")));
        QCOMPARE(State(dlg), "**.txt|*a.txt README|>A<D"); // a.txt was added last
    }
};

QTEST_MAIN(TestExtCandidateDlg)
#include "tst_ExtCandidateDlg.moc"
