// The overwrite question, the confirmation before copying and the progress
// window, driven through their control ids under the offscreen platform.

#include "ui/copyjob/CopyConfirmDlg.h"
#include "ui/copyjob/OverwriteDlg.h"
#include "ui/copyjob/ProgressDlg.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace {

COverwriteTexts SampleOverwriteTexts() {
    COverwriteTexts texts;
    texts.strSrcPath = "S:\\データ\\報告書\\2024年度\\" + std::string(120, 'a') + ".doc";
    texts.strSrcSize = "1000 ﾊﾞｲﾄ";
    texts.strSrcDate = "2024/01/02 03:04:05";
    texts.strDstPath = "D:\\バックアップ\\報告書\\2024年度\\" + std::string(120, 'a') + ".doc";
    texts.strDstSize = "3000000000 ﾊﾞｲﾄ";
    texts.strDstDate = "2024/02/03 04:05:06";
    texts.strSizeCompare = "大きい";
    texts.strDateCompare = "新しい";
    return texts;
}

CCopyConfirmTexts SampleConfirmTexts(bool bCanStart) {
    CCopyConfirmTexts texts;
    texts.strSrcDir = "S:\\データ";
    texts.strDstDir = "D:\\バックアップ";
    texts.strDriveType = "ﾘﾑｰﾊﾞﾙ";
    texts.strTotal = "      4,096.00 KB(   1,024ｸﾗｽﾀ)";
    texts.strFree = "      1,024.00 KB(     256ｸﾗｽﾀ)以上 (FAT32)";
    texts.strFiles = "   2 ﾌｧｲﾙ";
    texts.strChange = "         12.00 KB(       3ｸﾗｽﾀ)";
    texts.strRemaining = "      1,012.00 KB(     253ｸﾗｽﾀ)以上 (FAT32)";
    texts.strMessage =
        bCanStart ? "ｺﾋﾟｰを開始しますか？" : "ｺﾋﾟｰ先容量不足のため、ｺﾋﾟｰできません．";
    texts.bCanStart = bCanStart;
    return texts;
}

QString LabelText(CDialogBase& dlg, int id) {
    return dlg.Control<QLabel>(id)->text();
}

// Acts on the next modal window once it is up (a nested exec()).
void OnNextModal(std::function<void(QWidget*)> action, int triesLeft = 200) {
    QTimer::singleShot(10, [action = std::move(action), triesLeft] {
        if (QWidget* pModal = QApplication::activeModalWidget())
            action(pModal);
        else if (triesLeft > 0)
            OnNextModal(action, triesLeft - 1);
    });
}

// Every label and button shows its whole text once the layout has run.
void VerifyNothingCut(QWidget& dlg) {
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    for (QWidget* pWidget : dlg.findChildren<QWidget*>()) {
        if (!qobject_cast<QLabel*>(pWidget) && !qobject_cast<QPushButton*>(pWidget))
            continue;
        QVERIFY2(pWidget->width() >= pWidget->sizeHint().width(),
                 qPrintable(pWidget->property("text").toString()));
        QVERIFY2(pWidget->height() >= pWidget->minimumSizeHint().height(),
                 qPrintable(pWidget->property("text").toString()));
    }
}

QImage IconImage(QWidget& dlg, QStyle::StandardPixmap icon) {
    const int size = dlg.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &dlg);
    return dlg.style()->standardIcon(icon, nullptr, &dlg).pixmap(size).toImage();
}

} // namespace

class CCopyDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void overwriteShowsTheTexts();
    void overwriteButtonsAnswer_data();
    void overwriteButtonsAnswer();
    void overwriteModalRunReturnsTheAnswer();
    void overwriteEscapeAndEnter();

    void confirmShowsTheTexts();
    void confirmAnswers();
    void confirmLackingCapacityAllowsOnlyCancel();
    void confirmContinuousRun();

    void progressInitialState();
    void progressPercentFollowsTheSteps();
    void progressWideRangeIsScaled();
    void progressCancelIsOneRequest();
    void progressEscapeAndCloseBoxOnlyRequestCancel();
    void progressDisablesOwnerUntilDestroyed();
    void progressLeavesADisabledOwnerDisabled();

    void textsAreNotCut();
};

void CCopyDialogsTest::overwriteShowsTheTexts() {
    const COverwriteTexts texts = SampleOverwriteTexts();
    COverwriteDlg dlg(texts, nullptr);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("上書き確認"));
    QCOMPARE(LabelText(dlg, COverwriteDlg::IDC_SRC_PATH), QString::fromStdString(texts.strSrcPath));
    QCOMPARE(LabelText(dlg, COverwriteDlg::IDC_SRC_SIZE), QStringLiteral("1000 ﾊﾞｲﾄ"));
    QCOMPARE(LabelText(dlg, COverwriteDlg::IDC_SRC_DATE), QStringLiteral("2024/01/02 03:04:05"));
    QCOMPARE(LabelText(dlg, COverwriteDlg::IDC_DST_PATH), QString::fromStdString(texts.strDstPath));
    QCOMPARE(LabelText(dlg, COverwriteDlg::IDC_DST_SIZE), QStringLiteral("3000000000 ﾊﾞｲﾄ"));
    QCOMPARE(LabelText(dlg, COverwriteDlg::IDC_DST_DATE), QStringLiteral("2024/02/03 04:05:06"));
    QCOMPARE(LabelText(dlg, COverwriteDlg::IDC_SIZE_COMPARE), QStringLiteral("大きい"));
    QCOMPARE(LabelText(dlg, COverwriteDlg::IDC_DATE_COMPARE), QStringLiteral("新しい"));
    QCOMPARE(dlg.Control<QPushButton>(COverwriteDlg::IDC_YES)->text(), QStringLiteral("はい(&Y)"));
    QCOMPARE(dlg.Control<QPushButton>(COverwriteDlg::IDC_NO)->text(), QStringLiteral("いいえ(&N)"));
    QCOMPARE(dlg.Control<QPushButton>(COverwriteDlg::IDC_COPY_ALL)->text(),
             QStringLiteral("すべてｺﾋﾟｰ(&A)"));
    QCOMPARE(dlg.Control<QPushButton>(COverwriteDlg::IDC_ABORT)->text(),
             QStringLiteral("処理中断(&X)"));
    QVERIFY(dlg.Control<QPushButton>(COverwriteDlg::IDC_YES)->isDefault());
    QVERIFY(!dlg.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    bool bQuestionShown = false;
    for (QLabel* pLabel : dlg.findChildren<QLabel*>())
        bQuestionShown |= pLabel->text() == QStringLiteral("このﾌｧｲﾙをｺﾋﾟｰしますか？");
    QVERIFY(bQuestionShown);
    QCOMPARE(QFontInfo(dlg.font()).family(), QStringLiteral("IPAPGothic"));
}

void CCopyDialogsTest::overwriteButtonsAnswer_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << 1 << 1;
    QTest::newRow("no") << 2 << 2;
    QTest::newRow("abort") << 3 << 3;
    QTest::newRow("copy all") << 1047 << 1047;
}

void CCopyDialogsTest::overwriteButtonsAnswer() {
    QFETCH(int, id);
    QFETCH(int, answer);
    COverwriteDlg dlg(SampleOverwriteTexts(), nullptr);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::mouseClick(dlg.FindControl(id), Qt::LeftButton);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), answer);
}

void CCopyDialogsTest::overwriteModalRunReturnsTheAnswer() {
    COverwriteDlg dlg(SampleOverwriteTexts(), nullptr);
    OnNextModal([](QWidget* pModal) {
        auto* pDlg = qobject_cast<COverwriteDlg*>(pModal);
        QVERIFY(pDlg);
        QTest::mouseClick(pDlg->FindControl(COverwriteDlg::IDC_COPY_ALL), Qt::LeftButton);
    });
    QCOMPARE(dlg.DoModal(), 1047);
}

void CCopyDialogsTest::overwriteEscapeAndEnter() {
    COverwriteDlg escaped(SampleOverwriteTexts(), nullptr);
    OnNextModal([](QWidget* pModal) { QTest::keyClick(pModal, Qt::Key_Escape); });
    QCOMPARE(escaped.DoModal(), 2);

    COverwriteDlg entered(SampleOverwriteTexts(), nullptr);
    OnNextModal([](QWidget* pModal) { QTest::keyClick(pModal, Qt::Key_Return); });
    QCOMPARE(entered.DoModal(), 1);
}

void CCopyDialogsTest::confirmShowsTheTexts() {
    const CCopyConfirmTexts texts = SampleConfirmTexts(true);
    CCopyConfirmDlg dlg(texts, nullptr);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("ｺﾋﾟｰ前の確認"));
    const struct {
        int nId;
        const std::string& text;
    } aExpected[] = {{CCopyConfirmDlg::IDC_SRC_DIR, texts.strSrcDir},
                     {CCopyConfirmDlg::IDC_DST_DIR, texts.strDstDir},
                     {CCopyConfirmDlg::IDC_DRIVE_TYPE, texts.strDriveType},
                     {CCopyConfirmDlg::IDC_TOTAL, texts.strTotal},
                     {CCopyConfirmDlg::IDC_FREE, texts.strFree},
                     {CCopyConfirmDlg::IDC_FILES, texts.strFiles},
                     {CCopyConfirmDlg::IDC_CHANGE, texts.strChange},
                     {CCopyConfirmDlg::IDC_REMAINING, texts.strRemaining},
                     {CCopyConfirmDlg::IDC_MESSAGE, texts.strMessage}};
    for (const auto& expected : aExpected)
        QCOMPARE(LabelText(dlg, expected.nId), QString::fromStdString(expected.text));
    // The blank-padded figures line up only when blanks, digits and signs
    // are equally wide.
    const QFontMetrics metrics(dlg.Control<QLabel>(CCopyConfirmDlg::IDC_TOTAL)->font());
    for (QChar ch : QStringLiteral("0123456789 ,.-"))
        QCOMPARE(metrics.horizontalAdvance(ch), metrics.horizontalAdvance(QLatin1Char(' ')));
    QCOMPARE(QFontInfo(dlg.font()).family(), QStringLiteral("IPAGothic"));
    QCOMPARE(dlg.Control<QPushButton>(CCopyConfirmDlg::IDC_START)->text(),
             QStringLiteral("ｺﾋﾟｰ開始"));
    QCOMPARE(dlg.Control<QPushButton>(CCopyConfirmDlg::IDC_CANCEL)->text(),
             QStringLiteral("ｷｬﾝｾﾙ"));
    QVERIFY(dlg.Control<QPushButton>(CCopyConfirmDlg::IDC_START)->isEnabled());
    QVERIFY(dlg.Control<QPushButton>(CCopyConfirmDlg::IDC_START)->isDefault());
    QCOMPARE(dlg.Control<QLabel>(CCopyConfirmDlg::IDC_ICON)->pixmap().toImage(),
             IconImage(dlg, QStyle::SP_MessageBoxQuestion));
    QVERIFY(!dlg.windowFlags().testFlag(Qt::WindowCloseButtonHint));
}

void CCopyDialogsTest::confirmAnswers() {
    CCopyConfirmDlg started(SampleConfirmTexts(true), nullptr);
    OnNextModal([](QWidget* pModal) {
        QTest::mouseClick(static_cast<CDialogBase*>(pModal)->FindControl(1), Qt::LeftButton);
    });
    QCOMPARE(started.DoModal(), 1);

    CCopyConfirmDlg cancelled(SampleConfirmTexts(true), nullptr);
    OnNextModal([](QWidget* pModal) {
        QTest::mouseClick(static_cast<CDialogBase*>(pModal)->FindControl(2), Qt::LeftButton);
    });
    QCOMPARE(cancelled.DoModal(), 2);

    CCopyConfirmDlg escaped(SampleConfirmTexts(true), nullptr);
    OnNextModal([](QWidget* pModal) { QTest::keyClick(pModal, Qt::Key_Escape); });
    QCOMPARE(escaped.DoModal(), 2);
}

void CCopyDialogsTest::confirmLackingCapacityAllowsOnlyCancel() {
    CCopyConfirmDlg dlg(SampleConfirmTexts(false), nullptr);
    auto* pStart = dlg.Control<QPushButton>(CCopyConfirmDlg::IDC_START);
    QVERIFY(!pStart->isEnabled());
    QCOMPARE(dlg.Control<QLabel>(CCopyConfirmDlg::IDC_ICON)->pixmap().toImage(),
             IconImage(dlg, QStyle::SP_MessageBoxCritical));
    // A click on the disabled button and Enter both leave the copy unstarted.
    OnNextModal([](QWidget* pModal) {
        auto* pDlg = static_cast<CDialogBase*>(pModal);
        QTest::mouseClick(pDlg->FindControl(CCopyConfirmDlg::IDC_START), Qt::LeftButton);
        if (pDlg->isVisible())
            QTest::keyClick(pDlg, Qt::Key_Return);
        if (pDlg->isVisible())
            pDlg->reject();
    });
    QCOMPARE(dlg.DoModal(), 2);
}

void CCopyDialogsTest::confirmContinuousRun() {
    // Enough room: answered at once without a window (a shown window would
    // wait here until the safety timer below ends it with 2).
    CCopyConfirmDlg quiet(SampleConfirmTexts(true), nullptr);
    QTimer safety;
    safety.setSingleShot(true);
    QObject::connect(&safety, &QTimer::timeout, &quiet, [&quiet] { quiet.EndDialog(2); });
    safety.start(3000);
    QCOMPARE(quiet.DoModal(true), 1);
    QVERIFY(!quiet.isVisible());

    // Lacking room is shown in a continuous run too.
    CCopyConfirmDlg shown(SampleConfirmTexts(false), nullptr);
    bool bSeen = false;
    OnNextModal([&bSeen](QWidget* pModal) {
        bSeen = true;
        QTest::keyClick(pModal, Qt::Key_Escape);
    });
    QCOMPARE(shown.DoModal(true), 2);
    QVERIFY(bSeen);
}

void CCopyDialogsTest::progressInitialState() {
    CProgressDlg defaults;
    QCOMPARE(defaults.windowTitle(), QStringLiteral("処理中です．．．．．"));
    QCOMPARE(LabelText(defaults, CProgressDlg::IDC_PERCENT), QStringLiteral(" 0 %"));
    QCOMPARE(defaults.Control<QPushButton>(CProgressDlg::IDC_CANCEL)->text(),
             QStringLiteral("ｷｬﾝｾﾙ"));
    QCOMPARE(CProgressDlg(CProgressDlg::IDS_COPYING).windowTitle(),
             QStringLiteral("ｺﾋﾟｰ中です．．．．．"));
    QCOMPARE(CProgressDlg(CProgressDlg::IDS_COMPRESSING).windowTitle(),
             QStringLiteral("圧縮中です．．．"));
    QCOMPARE(CProgressDlg(std::string("独自")).windowTitle(), QStringLiteral("独自"));
    QVERIFY(!defaults.isVisible());
}

void CCopyDialogsTest::progressPercentFollowsTheSteps() {
    QWidget owner;
    owner.show();
    CProgressDlg dlg(CProgressDlg::IDS_COPYING);
    QCOMPARE(dlg.CreateModeless(&owner), 1);
    dlg.SetProgressRange(0, 3);
    dlg.SetProgressStep(1);
    QCOMPARE(dlg.SetProgressPos(0), 0);
    // The first update replaces the initial " 0 %".
    QCOMPARE(LabelText(dlg, CProgressDlg::IDC_PERCENT), QStringLiteral("0%"));
    const char* aExpected[] = {"33%", "66%", "100%"};
    for (int step = 0; step < 3; ++step) {
        QCOMPARE(dlg.StepProgress(), step);
        QCOMPARE(LabelText(dlg, CProgressDlg::IDC_PERCENT), QString::fromLatin1(aExpected[step]));
        QCOMPARE(dlg.Control<QProgressBar>(CProgressDlg::IDC_PROGRESS)->value(), step + 1);
    }
    QCOMPARE(dlg.SetProgressPos(1), 3);
    QCOMPARE(LabelText(dlg, CProgressDlg::IDC_PERCENT), QStringLiteral("33%"));
}

void CCopyDialogsTest::progressWideRangeIsScaled() {
    CProgressDlg dlg;
    dlg.SetProgressRange(0, 200000);
    dlg.SetProgressPos(150000);
    auto* pBar = dlg.Control<QProgressBar>(CProgressDlg::IDC_PROGRESS);
    QVERIFY(pBar->maximum() <= 65535);
    QCOMPARE(pBar->minimum(), 0);
    const double shown = double(pBar->value()) / pBar->maximum();
    QVERIFY2(shown > 0.74 && shown < 0.76, qPrintable(QString::number(shown)));
    QCOMPARE(LabelText(dlg, CProgressDlg::IDC_PERCENT), QStringLiteral("75%"));
    dlg.SetProgressPos(200000);
    QCOMPARE(pBar->value(), pBar->maximum());
    QCOMPARE(LabelText(dlg, CProgressDlg::IDC_PERCENT), QStringLiteral("100%"));
}

void CCopyDialogsTest::progressCancelIsOneRequest() {
    QWidget owner;
    owner.show();
    CProgressDlg dlg;
    dlg.CreateModeless(&owner);
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.TakeCancelRequest(), 0);
    QWidget* pCancel = dlg.FindControl(CProgressDlg::IDC_CANCEL);
    QVERIFY(pCancel->isEnabled()); // clickable although the owner is disabled
    QTest::mouseClick(pCancel, Qt::LeftButton);
    QTest::mouseClick(pCancel, Qt::LeftButton);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.TakeCancelRequest(), 1);
    QCOMPARE(dlg.TakeCancelRequest(), 0);
}

void CCopyDialogsTest::progressEscapeAndCloseBoxOnlyRequestCancel() {
    QWidget owner;
    owner.show();
    CProgressDlg dlg;
    dlg.CreateModeless(&owner);
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.TakeCancelRequest(), 1);
    QVERIFY(!dlg.close());
    QVERIFY(dlg.isVisible());
    QCOMPARE(dlg.TakeCancelRequest(), 1);
    QCOMPARE(dlg.TakeCancelRequest(), 0);
}

void CCopyDialogsTest::progressDisablesOwnerUntilDestroyed() {
    QWidget owner;
    auto* pChild = new QWidget(&owner);
    owner.show();
    QVERIFY(owner.isEnabled());
    {
        auto pDlg = std::make_unique<CProgressDlg>(CProgressDlg::IDS_COPYING);
        QVERIFY(owner.isEnabled()); // no window yet
        // Created from a child control, the whole top-level window is disabled.
        pDlg->CreateModeless(pChild);
        QVERIFY(!owner.isEnabled());
        QVERIFY(pDlg->isEnabled());
        QVERIFY(pDlg->isVisible());
        pDlg->StepProgress();
        QVERIFY(!owner.isEnabled());
    }
    QVERIFY(owner.isEnabled());

    // RestoreOwner re-enables at once, and destruction afterwards keeps it so.
    auto pDlg = std::make_unique<CProgressDlg>();
    pDlg->CreateModeless(&owner);
    pDlg->RestoreOwner();
    QVERIFY(owner.isEnabled());
    pDlg.reset();
    QVERIFY(owner.isEnabled());
}

void CCopyDialogsTest::progressLeavesADisabledOwnerDisabled() {
    QWidget owner;
    owner.show();
    owner.setEnabled(false);
    {
        CProgressDlg dlg;
        dlg.CreateModeless(&owner);
        QVERIFY(dlg.isEnabled());
    }
    QVERIFY(!owner.isEnabled());
}

void CCopyDialogsTest::textsAreNotCut() {
    COverwriteDlg overwrite(SampleOverwriteTexts(), nullptr);
    VerifyNothingCut(overwrite);
    CCopyConfirmDlg confirm(SampleConfirmTexts(true), nullptr);
    VerifyNothingCut(confirm);
    CProgressDlg progress(CProgressDlg::IDS_COPYING);
    VerifyNothingCut(progress);
}

QTEST_MAIN(CCopyDialogsTest)
#include "tst_CopyDialogs.moc"
