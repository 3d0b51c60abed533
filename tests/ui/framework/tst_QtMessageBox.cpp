// Qt message boxes: buttons and answers, icons, default button, Escape and caption.

#include "ui/framework/QtMessageBox.h"

#include "support/DialogTestHelpers.h"

#include <QMessageBox>
#include <QPushButton>

class CQtMessageBoxTest : public QObject {
    Q_OBJECT
private slots:

    void boxesAnswer() {
        // Style, title icon default buttons (sorted), what is pressed (button or key), answer.
        const std::tuple<unsigned, QString, QString, int> cases[] = {
            {MB_OKCANCEL | MB_ICONHAND, "題名 3 OK OK|キャンセル", "キャンセル", IDCANCEL},
            {MB_YESNO | MB_ICONQUESTION, "題名 4 はい(&Y) いいえ(&N)|はい(&Y)", "いいえ(&N)", IDNO},
            {MB_YESNOCANCEL | MB_ICONEXCLAMATION, "題名 2 はい(&Y) いいえ(&N)|はい(&Y)|キャンセル",
             "はい(&Y)", IDYES},
            {MB_RETRYCANCEL | MB_ICONASTERISK, "題名 1 再試行(&R) キャンセル|再試行(&R)",
             "再試行(&R)", IDRETRY},
            {MB_ABORTRETRYIGNORE, "Tidewell 0 中止(&A) 中止(&A)|再試行(&R)|無視(&I)", "無視(&I)",
             IDIGNORE},
            {MB_YESNO | MB_DEFBUTTON2, "Tidewell 0 いいえ(&N) いいえ(&N)|はい(&Y)", "Enter", IDNO},
            {MB_OK, "Tidewell 0 OK OK", "Escape", IDOK},
            {MB_YESNOCANCEL, "Tidewell 0 はい(&Y) いいえ(&N)|はい(&Y)|キャンセル", "Escape",
             IDCANCEL}};
        for (const auto& [style, shown, press, answer] : cases) {
            QString seen;
            AnswerNextModal([&, press = press](QWidget* pModal) {
                auto* pBox = qobject_cast<QMessageBox*>(pModal);
                QStringList texts;
                for (QAbstractButton* pButton : pBox->buttons())
                    texts << pButton->text();
                texts.sort();
                seen =
                    QStringList({pBox->text(), pBox->windowTitle(), QString::number(pBox->icon()),
                                 pBox->defaultButton()->text(), texts.join('|')})
                        .join(' ');
                for (QAbstractButton* pButton : pBox->buttons())
                    if (pButton->text() == press)
                        QTest::mouseClick(pButton, Qt::LeftButton);
                if (pBox->isVisible())
                    QTest::keyClick(pBox, press == "Enter" ? Qt::Key_Return : Qt::Key_Escape);
            });
            // Without a caption the box carries the application's title.
            const std::string caption = style & MB_ICONMASK ? "題名" : "";
            QCOMPARE(CQtMessageBoxService().Show("ｺﾋﾟｰしますか？", caption, style), answer);
            QCOMPARE(seen, "ｺﾋﾟｰしますか？ " + shown);
        }
    }
};

QTEST_MAIN(CQtMessageBoxTest)
#include "tst_QtMessageBox.moc"
