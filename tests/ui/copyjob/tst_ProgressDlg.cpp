// The progress window: its captions, the bar and percentage over small and
// wide ranges, the one-shot cancel request, and the owner it disables.

#include "ui/copyjob/ProgressDlg.h"

#include "support/DialogTestHelpers.h"

#include <QProgressBar>

namespace {

QString Percent(CProgressDlg& dlg) {
    return dlg.Control<QLabel>(CProgressDlg::IDC_PERCENT)->text();
}

} // namespace

class CProgressDlgTest : public QObject {
    Q_OBJECT
private slots:
    void captionsAndSteps();
    void barCoversTheRange();
    void cancelAndOwner();
};

void CProgressDlgTest::captionsAndSteps() {
    CProgressDlg defaults;
    QCOMPARE(
        QStringList({defaults.windowTitle(), Percent(defaults),
                     ControlOf(&defaults, CProgressDlg::IDC_CANCEL)->property("text").toString(),
                     CProgressDlg(CProgressDlg::IDS_COMPRESSING).windowTitle(),
                     CProgressDlg(std::string("独自")).windowTitle()}),
        QStringList({"処理中です．．．．．", " 0 %", "ｷｬﾝｾﾙ", "圧縮中です．．．", "独自"}));
    CProgressDlg dlg(CProgressDlg::IDS_COPYING);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("ｺﾋﾟｰ中です．．．．．"));
    dlg.SetProgressRange(0, 3);
    dlg.SetProgressStep(1);
    QCOMPARE(dlg.SetProgressPos(0), 0);
    QCOMPARE(Percent(dlg), QStringLiteral("0%")); // replaces the first " 0 %"
    for (int step = 0; step < 3; ++step) {
        QCOMPARE(dlg.StepProgress(), step);
        QCOMPARE(Percent(dlg), QStringList({"33%", "66%", "100%"})[step]);
        QCOMPARE(dlg.Control<QProgressBar>(CProgressDlg::IDC_PROGRESS)->value(), step + 1);
    }
    QCOMPARE(dlg.SetProgressPos(1), 3);
    VerifyNothingCut(dlg);
}

void CProgressDlgTest::barCoversTheRange() {
    // Lower, upper, position, percentage; the bar holds at most 65535 steps.
    const std::tuple<int, int, int, const char*> cases[] = {{0, 200000, 150000, "75%"},
                                                            {0, 200000, 200000, "100%"},
                                                            {1, 65536, 65536, "100%"},
                                                            {1, 65536, 1, "0%"},
                                                            {1, 65537, 65537, "100%"}};
    for (const auto& [lower, upper, pos, percent] : cases) {
        CProgressDlg dlg;
        dlg.SetProgressRange(lower, upper);
        dlg.SetProgressPos(pos);
        auto* pBar = dlg.Control<QProgressBar>(CProgressDlg::IDC_PROGRESS);
        const int steps = pBar->maximum() - pBar->minimum();
        QVERIFY(steps <= 65535);
        QCOMPARE(qRound(double(pBar->value() - pBar->minimum()) / steps * 1000),
                 qRound(double(pos - lower) / (upper - lower) * 1000));
        QCOMPARE(Percent(dlg), QString(percent));
    }
}

void CProgressDlgTest::cancelAndOwner() {
    QWidget owner;
    auto* pChild = new QWidget(&owner);
    owner.show();
    auto pDlg = std::make_unique<CProgressDlg>();
    QVERIFY(owner.isEnabled());   // no window yet
    pDlg->CreateModeless(pChild); // from a child: the whole window is disabled
    QVERIFY(QTest::qWaitForWindowExposed(pDlg.get()));
    QVERIFY(!owner.isEnabled() && pDlg->isEnabled());
    // Two clicks are one request; Escape and the close box only request too.
    ClickControl(pDlg.get(), CProgressDlg::IDC_CANCEL);
    ClickControl(pDlg.get(), CProgressDlg::IDC_CANCEL);
    QCOMPARE(pDlg->TakeCancelRequest(), 1);
    QCOMPARE(pDlg->TakeCancelRequest(), 0);
    QTest::keyClick(pDlg.get(), Qt::Key_Escape);
    QCOMPARE(pDlg->TakeCancelRequest(), 1);
    QVERIFY(!pDlg->close() && pDlg->isVisible());
    QCOMPARE(pDlg->TakeCancelRequest(), 1);
    pDlg->StepProgress();
    QVERIFY(!owner.isEnabled());
    pDlg.reset();
    QVERIFY(owner.isEnabled());
    // RestoreOwner re-enables at once; an owner disabled before stays so.
    pDlg = std::make_unique<CProgressDlg>();
    pDlg->CreateModeless(&owner);
    pDlg->RestoreOwner();
    QVERIFY(owner.isEnabled());
    pDlg.reset();
    owner.setEnabled(false);
    pDlg = std::make_unique<CProgressDlg>();
    pDlg->CreateModeless(&owner);
    QVERIFY(pDlg->isEnabled());
    pDlg.reset();
    QVERIFY(!owner.isEnabled());
}

QTEST_MAIN(CProgressDlgTest)
#include "tst_ProgressDlg.moc"
