// Qt message boxes behind the message-box service: buttons and their
// answers, icons, the default button, Escape and the caption.

#include "ui/framework/QtMessageBox.h"

#include "support/DialogTestHelpers.h"

#include <QMessageBox>
#include <QPushButton>

namespace {

struct CBoxCase {
    unsigned style;
    QStringList buttons; // the default first
    QString press;       // a button's text, "Enter" or "Escape"
    int answer;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

} // namespace

Q_DECLARE_METATYPE(CBoxCase)

class CQtMessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    void boxesAnswer_data();
    void boxesAnswer();
};

void CQtMessageBoxTest::boxesAnswer_data() {
    QTest::addColumn<CBoxCase>("c");
    const QString cancel = "キャンセル", yes = "はい(&Y)", no = "いいえ(&N)", retry = "再試行(&R)";
    QTest::newRow("ok") << CBoxCase{MB_OK, {"OK"}, "OK", IDOK};
    QTest::newRow("ok cancel, hand") << CBoxCase{
        MB_OKCANCEL | MB_ICONHAND, {"OK", cancel}, cancel, IDCANCEL, QMessageBox::Critical};
    QTest::newRow("yes no, question")
        << CBoxCase{MB_YESNO | MB_ICONQUESTION, {yes, no}, no, IDNO, QMessageBox::Question};
    QTest::newRow("yes no cancel, exclamation") << CBoxCase{
        MB_YESNOCANCEL | MB_ICONEXCLAMATION, {yes, no, cancel}, yes, IDYES, QMessageBox::Warning};
    QTest::newRow("retry cancel, asterisk") << CBoxCase{MB_RETRYCANCEL | MB_ICONASTERISK,
                                                        {retry, cancel},
                                                        retry,
                                                        IDRETRY,
                                                        QMessageBox::Information};
    QTest::newRow("abort retry ignore")
        << CBoxCase{MB_ABORTRETRYIGNORE, {"中止(&A)", retry, "無視(&I)"}, "無視(&I)", IDIGNORE};
    QTest::newRow("second default") << CBoxCase{MB_YESNO | MB_DEFBUTTON2, {no, yes}, "Enter", IDNO};
    QTest::newRow("ok, Escape") << CBoxCase{MB_OK, {"OK"}, "Escape", IDOK};
    QTest::newRow("yes no cancel, Escape")
        << CBoxCase{MB_YESNOCANCEL, {yes, no, cancel}, "Escape", IDCANCEL};
    QTest::newRow("retry cancel, Escape")
        << CBoxCase{MB_RETRYCANCEL, {retry, cancel}, "Escape", IDCANCEL};
}

void CQtMessageBoxTest::boxesAnswer() {
    QFETCH(CBoxCase, c);
    QStringList seen;
    AnswerNextModal([&](QWidget* pModal) {
        auto* pBox = qobject_cast<QMessageBox*>(pModal);
        seen << pBox->windowTitle() << pBox->text() << QString::number(pBox->icon())
             << pBox->defaultButton()->text();
        QStringList texts;
        for (QAbstractButton* pButton : pBox->buttons())
            texts << pButton->text();
        texts.sort();
        seen << texts.join('|');
        for (QAbstractButton* pButton : pBox->buttons())
            if (pButton->text() == c.press)
                QTest::mouseClick(pButton, Qt::LeftButton);
        if (pBox->isVisible())
            QTest::keyClick(pBox, c.press == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
    });
    // Without a caption the box carries the application's title.
    const bool bTitled = c.icon != QMessageBox::NoIcon;
    QCOMPARE(CQtMessageBoxService().Show("ｺﾋﾟｰしますか？", bTitled ? "題名" : "", c.style),
             c.answer);
    QStringList sorted = c.buttons;
    sorted.sort();
    QCOMPARE(seen, (QStringList{bTitled ? "題名" : "Tidewell", "ｺﾋﾟｰしますか？",
                                QString::number(c.icon), c.buttons.front(), sorted.join('|')}));
}

QTEST_MAIN(CQtMessageBoxTest)
#include "tst_QtMessageBox.moc"
