// Qt message boxes behind the message-box service: buttons, answers, icons,
// default button and caption.

#include "ui/framework/QtMessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

struct CSeenBox {
    QString strTitle;
    QString strText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList aButtons;
    QString strDefault;
};

// Records the next message box and then acts on it.
void OnNextBox(CSeenBox& seen, std::function<void(QMessageBox*)> action, int triesLeft = 200) {
    QTimer::singleShot(10, [&seen, action = std::move(action), triesLeft] {
        auto* pBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!pBox) {
            if (triesLeft > 0)
                OnNextBox(seen, action, triesLeft - 1);
            return;
        }
        seen.strTitle = pBox->windowTitle();
        seen.strText = pBox->text();
        seen.icon = pBox->icon();
        for (QAbstractButton* pButton : pBox->buttons())
            seen.aButtons << pButton->text();
        seen.aButtons.sort();
        if (pBox->defaultButton())
            seen.strDefault = pBox->defaultButton()->text();
        action(pBox);
    });
}

void ClickButton(QMessageBox* pBox, const QString& text) {
    for (QAbstractButton* pButton : pBox->buttons()) {
        if (pButton->text() == text) {
            QTest::mouseClick(pButton, Qt::LeftButton);
            return;
        }
    }
    QFAIL(qPrintable("no button " + text));
}

QStringList Sorted(QStringList list) {
    list.sort();
    return list;
}

} // namespace

class CQtMessageBoxTest : public QObject {
    Q_OBJECT
private slots:
    void buttonsAnswer_data();
    void buttonsAnswer();
    void iconsFollowTheStyle_data();
    void iconsFollowTheStyle();
    void secondDefaultButton();
    void captionDefaultsToTheApplicationTitle();
    void escapeAnswers_data();
    void escapeAnswers();
};

void CQtMessageBoxTest::buttonsAnswer_data() {
    QTest::addColumn<uint>("style");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<QString>("click");
    QTest::addColumn<int>("answer");
    QTest::newRow("ok") << uint(MB_OK) << QStringList{"OK"} << "OK" << int(IDOK);
    QTest::newRow("ok cancel: cancel")
        << uint(MB_OKCANCEL) << QStringList{"OK", "キャンセル"} << "キャンセル" << int(IDCANCEL);
    QTest::newRow("yes no: no") << uint(MB_YESNO) << QStringList{"はい(&Y)", "いいえ(&N)"}
                                << "いいえ(&N)" << int(IDNO);
    QTest::newRow("yes no cancel: yes")
        << uint(MB_YESNOCANCEL) << QStringList{"はい(&Y)", "いいえ(&N)", "キャンセル"} << "はい(&Y)"
        << int(IDYES);
    QTest::newRow("retry cancel: retry")
        << uint(MB_RETRYCANCEL) << QStringList{"再試行(&R)", "キャンセル"} << "再試行(&R)"
        << int(IDRETRY);
    QTest::newRow("abort retry ignore: ignore")
        << uint(MB_ABORTRETRYIGNORE) << QStringList{"中止(&A)", "再試行(&R)", "無視(&I)"}
        << "無視(&I)" << int(IDIGNORE);
    QTest::newRow("abort retry ignore: abort")
        << uint(MB_ABORTRETRYIGNORE) << QStringList{"中止(&A)", "再試行(&R)", "無視(&I)"}
        << "中止(&A)" << int(IDABORT);
}

void CQtMessageBoxTest::buttonsAnswer() {
    QFETCH(uint, style);
    QFETCH(QStringList, buttons);
    QFETCH(QString, click);
    QFETCH(int, answer);
    CQtMessageBoxService service;
    CSeenBox seen;
    OnNextBox(seen, [click](QMessageBox* pBox) { ClickButton(pBox, click); });
    QCOMPARE(service.Show("ｺﾋﾟｰしますか？", "題名", style | MB_ICONQUESTION), answer);
    QCOMPARE(seen.aButtons, Sorted(buttons));
    QCOMPARE(seen.strText, QStringLiteral("ｺﾋﾟｰしますか？"));
    QCOMPARE(seen.strTitle, QStringLiteral("題名"));
    QCOMPARE(seen.strDefault, buttons.front());
}

void CQtMessageBoxTest::iconsFollowTheStyle_data() {
    QTest::addColumn<uint>("style");
    QTest::addColumn<int>("icon");
    QTest::newRow("hand") << uint(MB_ICONHAND) << int(QMessageBox::Critical);
    QTest::newRow("question") << uint(MB_ICONQUESTION) << int(QMessageBox::Question);
    QTest::newRow("exclamation") << uint(MB_ICONEXCLAMATION) << int(QMessageBox::Warning);
    QTest::newRow("asterisk") << uint(MB_ICONASTERISK) << int(QMessageBox::Information);
    QTest::newRow("none") << uint(0) << int(QMessageBox::NoIcon);
}

void CQtMessageBoxTest::iconsFollowTheStyle() {
    QFETCH(uint, style);
    QFETCH(int, icon);
    CQtMessageBoxService service;
    CSeenBox seen;
    OnNextBox(seen, [](QMessageBox* pBox) { ClickButton(pBox, "OK"); });
    QCOMPARE(service.Show("text", "", style | MB_OK), int(IDOK));
    QCOMPARE(int(seen.icon), icon);
}

void CQtMessageBoxTest::secondDefaultButton() {
    CQtMessageBoxService service;
    CSeenBox seen;
    OnNextBox(seen, [](QMessageBox* pBox) { QTest::keyClick(pBox, Qt::Key_Return); });
    QCOMPARE(service.Show("text", "", MB_YESNO | MB_DEFBUTTON2), int(IDNO));
    QCOMPARE(seen.strDefault, QStringLiteral("いいえ(&N)"));
}

void CQtMessageBoxTest::captionDefaultsToTheApplicationTitle() {
    CQtMessageBoxService service;
    CSeenBox seen;
    OnNextBox(seen, [](QMessageBox* pBox) { ClickButton(pBox, "OK"); });
    service.Show("text", "", MB_OK | MB_ICONEXCLAMATION);
    QCOMPARE(seen.strTitle, QString::fromUtf8(kAppTitle));
    QVERIFY(!seen.strTitle.isEmpty());
}

void CQtMessageBoxTest::escapeAnswers_data() {
    QTest::addColumn<uint>("style");
    QTest::addColumn<int>("answer");
    QTest::newRow("ok") << uint(MB_OK) << int(IDOK);
    QTest::newRow("ok cancel") << uint(MB_OKCANCEL) << int(IDCANCEL);
    QTest::newRow("yes no cancel") << uint(MB_YESNOCANCEL) << int(IDCANCEL);
    QTest::newRow("retry cancel") << uint(MB_RETRYCANCEL) << int(IDCANCEL);
}

void CQtMessageBoxTest::escapeAnswers() {
    QFETCH(uint, style);
    QFETCH(int, answer);
    CQtMessageBoxService service;
    CSeenBox seen;
    OnNextBox(seen, [](QMessageBox* pBox) { QTest::keyClick(pBox, Qt::Key_Escape); });
    QCOMPARE(service.Show("text", "", style), answer);
}

QTEST_MAIN(CQtMessageBoxTest)
#include "tst_QtMessageBox.moc"
