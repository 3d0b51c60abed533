// Host paths pasted, typed or dropped into a folder field; unmapped ones offer drive letters.

#include "support/DialogTestHelpers.h"
#include "support/ProgramFolder.h"
#include "support/TempTree.h"
#include "ui/files/DriveLettersDlg.h"
#include "ui/files/HostPathInput.h"

#include <QLineEdit>
#include <QMimeData>
#include <QUrl>

class CHostPathInputTest : public QObject {
    Q_OBJECT
private slots:
    void intoDriveLetters() {
        CTestProgramFolder program;
        CTempTree tree;
        QVERIFY(tree.Build({{"sub/f.txt", "x"}}));
        QTemporaryDir outside;
        CDriveMap& map = CHostServices::Get().DriveMap(); // no C: "/" holds every path
        map.Clear();
        map.Map('P', program.HostPath());
        map.Map('T', tree.HostRoot());
        const QString sub = QString::fromStdString(tree.HostPath("sub"));
        const QString gone = outside.path() + "/new";
        // p(aste), t(yped) or d(rop), host path, answer to the message (0: none), field after
        const std::tuple<char, QString, int, QString> rows[] = {
            {'p', sub, 0, "T:\\sub"},
            {'p', sub + "/../sub/", 0, "T:\\sub"},
            {'t', sub, 0, "T:\\sub"},
            {'d', sub + "/f.txt", 0, "T:\\sub"},
            {'p', gone, IDNO, gone},
            {'d', outside.path(), IDYES, "D:\\"}, // it takes the first free letter
            {'p', "T:\\sub", 0, "T:\\sub"}};
        for (const auto& [how, path, answer, text] : rows) {
            CScriptedBoxes boxes;
            if (answer)
                boxes->ExpectExact(UnmappedPathMessage(path.toStdString()), answer);
            if (answer == IDYES)
                AnswerNextModal([](QWidget* pDlg) { ClickControl(pDlg, CDriveLettersDlg::IDC_OK); },
                                CDriveLettersDlg::IDD);
            QWidget window;
            auto* pEdit = new QLineEdit(&window);
            new CHostPathInput(pEdit);
            pEdit->setText("C:\\before");
            if (how == 'd') {
                QMimeData data;
                data.setUrls({QUrl::fromLocalFile(path)});
                QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, {});
                QApplication::sendEvent(pEdit, &enter);
                QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, {});
                QApplication::sendEvent(pEdit, &drop);
                QVERIFY(enter.isAccepted() && drop.isAccepted());
            } else if (how == 't') {
                pEdit->clear();
                TypeText(pEdit, path);
                QTest::keyClick(pEdit, Qt::Key_Return);
            } else {
                pEdit->selectAll();
                pEdit->insert(path);
            }
            QCOMPARE(pEdit->text() + how, text + how);
            QTest::keyClick(pEdit, Qt::Key_Return); // leaving the field asks nothing more
            QCOMPARE(pEdit->text(), text);
            QVERIFY(boxes->VerifyAllUsed());
        }
        QCOMPARE(QString::fromStdString(program.ReadFile("Tidewell.Ini")),
                 "[Drives]\r\nD=" + outside.path() +
                     "\r\nP=" + QString::fromStdString(program.HostPath()) +
                     "\r\nT=" + QString::fromStdString(tree.HostRoot()) + "\r\n");
    }
};

QTEST_MAIN(CHostPathInputTest)
#include "tst_HostPathInput.moc"
