// The progress window: its captions, the bar and percentage over small and
// wide ranges, the one-shot cancel request, and the owner it disables.

#include "ui/copyjob/ProgressDlg.h"

#include "support/DialogTestHelpers.h"

#include <QProgressBar>

class CProgressDlgTest : public QObject {
    Q_OBJECT
private slots:
    void captionsBarAndPercentage();
    void cancelAndOwner();
};

void CProgressDlgTest::captionsBarAndPercentage() {
    CProgressDlg dlg(CProgressDlg::IDS_COPYING);
    QCOMPARE(
        QStringList({CProgressDlg().windowTitle(), CProgressDlg(std::string("独自")).windowTitle(),
                     CProgressDlg(CProgressDlg::IDS_COMPRESSING).windowTitle(), dlg.windowTitle(),
                     Texts(&dlg, {CProgressDlg::IDC_PERCENT, CProgressDlg::IDC_CANCEL})}),
        QStringList({"処理中です．．．．．", "独自", "圧縮中です．．．", "ｺﾋﾟｰ中です．．．．．",
                     " 0 %|ｷｬﾝｾﾙ"}));
    VerifyNothingCut(dlg);
    // Steps of 1 over 0..3; then (lower, upper, position) the bar holds in
    // at most 65535 steps, with the percentage.
    dlg.SetProgressRange(0, 3);
    dlg.SetProgressStep(1);
    QStringList percents;
    for (int step = 0; step < 3; ++step) {
        const int previous = dlg.StepProgress();
        percents << QString::number(previous) + Texts(&dlg, {CProgressDlg::IDC_PERCENT});
    }
    QCOMPARE(percents.join(' '), "033% 166% 2100%");
    QCOMPARE(dlg.Control<QProgressBar>(CProgressDlg::IDC_PROGRESS)->value(), 3);
    const std::tuple<int, int, int, const char*> cases[] = {
        {0, 200000, 150000, "75%"}, {0, 200000, 200000, "100%"}, {1, 65536, 65536, "100%"},
        {1, 65536, 1, "0%"},        {1, 65537, 65537, "100%"},   {0, 3, 0, "0%"}};
    for (const auto& [lower, upper, pos, percent] : cases) {
        CProgressDlg fresh;
        fresh.SetProgressRange(lower, upper);
        fresh.SetProgressPos(pos);
        auto* pBar = fresh.Control<QProgressBar>(CProgressDlg::IDC_PROGRESS);
        const int steps = pBar->maximum() - pBar->minimum();
        QVERIFY(steps <= 65535);
        QCOMPARE(qRound(double(pBar->value() - pBar->minimum()) / steps * 1000),
                 qRound(double(pos - lower) / (upper - lower) * 1000));
        QCOMPARE(Texts(&fresh, {CProgressDlg::IDC_PERCENT}), percent);
    }
}

void CProgressDlgTest::cancelAndOwner() {
    QWidget owner;
    auto* pChild = new QWidget(&owner);
    owner.show();
    auto pDlg = std::make_unique<CProgressDlg>();
    pDlg->CreateModeless(pChild); // from a child: the whole window is disabled
    QVERIFY(QTest::qWaitForWindowExposed(pDlg.get()));
    QVERIFY(!owner.isEnabled() && pDlg->isEnabled());
    // Two clicks are one request; Escape and the close box only request too.
    ClickControl(pDlg.get(), CProgressDlg::IDC_CANCEL);
    ClickControl(pDlg.get(), CProgressDlg::IDC_CANCEL);
    QCOMPARE(pDlg->TakeCancelRequest() * 10 + pDlg->TakeCancelRequest(), 10);
    QTest::keyClick(pDlg.get(), Qt::Key_Escape);
    QCOMPARE(pDlg->TakeCancelRequest(), 1);
    QVERIFY(!pDlg->close() && pDlg->isVisible());
    QCOMPARE(pDlg->TakeCancelRequest(), 1);
    pDlg.reset();
    QVERIFY(owner.isEnabled());
    // RestoreOwner re-enables at once; an owner disabled before stays so.
    pDlg = std::make_unique<CProgressDlg>();
    pDlg->CreateModeless(&owner);
    pDlg->RestoreOwner();
    QVERIFY(owner.isEnabled());
    owner.setEnabled(false);
    pDlg = std::make_unique<CProgressDlg>();
    pDlg->CreateModeless(&owner);
    QVERIFY(pDlg->isEnabled());
    pDlg.reset();
    QVERIFY(!owner.isEnabled());
}

QTEST_MAIN(CProgressDlgTest)
#include "tst_ProgressDlg.moc"
