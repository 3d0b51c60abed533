// The progress window: captions, the bar over any range, the cancel request, its owner.

#include "ui/copyjob/ProgressDlg.h"

#include "support/DialogTestHelpers.h"

#include <QProgressBar>

class CProgressDlgTest : public QObject {
    Q_OBJECT
private slots:

    void captionsAndBar() {
        CProgressDlg dlg(CProgressDlg::IDS_COPYING);
        QCOMPARE(QStringList(
                     {CProgressDlg().windowTitle(), CProgressDlg(std::string("独自")).windowTitle(),
                      CProgressDlg(CProgressDlg::IDS_COMPRESSING).windowTitle(), dlg.windowTitle(),
                      Texts(&dlg, {CProgressDlg::IDC_PERCENT, CProgressDlg::IDC_CANCEL})}),
                 QStringList({"処理中です．．．．．", "独自", "圧縮中です．．．",
                              "ｺﾋﾟｰ中です．．．．．", " 0 %|ｷｬﾝｾﾙ"}));
        VerifyNothingCut(dlg);
        dlg.SetProgressRange(0, 3);
        dlg.SetProgressStep(1);
        dlg.ShowTransfer({20000, 20000, 20000ull * 1024, 20000ull * 1024, "S:\\a"});
        QCOMPARE(dlg.StepProgress() * 10 + dlg.StepProgress(), 1); // the previous positions
        QTRY_COMPARE(Texts(&dlg, {CProgressDlg::IDC_PERCENT, CProgressDlg::IDC_FILE_COUNT,
                                  CProgressDlg::IDC_BYTE_COUNT}),
                     "66%|20,000 / 20,000 ﾌｧｲﾙ|19.5 / 19.5 MB"); // held, then drawn
        // (lower, upper, position): the bar holds any range in at most 65535 steps.
        const std::tuple<int, int, int, const char*> cases[] = {{0, 200000, 150000, "75%"},
                                                                {1, 65536, 65536, "100%"},
                                                                {1, 65536, 1, "0%"},
                                                                {1, 65537, 65537, "100%"},
                                                                {0, 3, 0, "0%"}};
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

    void cancelAndOwner() {
        QWidget owner;
        auto* pChild = new QWidget(&owner);
        owner.show();
        auto pDlg = std::make_unique<CProgressDlg>();
        pDlg->CreateModeless(pChild); // from a child: the whole window is disabled
        QVERIFY(QTest::qWaitForWindowExposed(pDlg.get()));
        QVERIFY(!owner.isEnabled() && pDlg->isEnabled());
        // Two clicks are one request; Escape and the close box only request too.
        for (int click = 0; click < 2; ++click)
            ClickControl(pDlg.get(), CProgressDlg::IDC_CANCEL);
        QCOMPARE(pDlg->TakeCancelRequest() * 10 + pDlg->TakeCancelRequest(), 10);
        QTest::keyClick(pDlg.get(), Qt::Key_Escape);
        QVERIFY(!pDlg->close() && pDlg->isVisible());
        QCOMPARE(pDlg->TakeCancelRequest(), 1);
        pDlg.reset();
        QVERIFY(owner.isEnabled());
        // An owner disabled before stays so.
        owner.setEnabled(false);
        pDlg = std::make_unique<CProgressDlg>();
        pDlg->CreateModeless(&owner);
        pDlg.reset();
        QVERIFY(!owner.isEnabled());
    }
};

QTEST_MAIN(CProgressDlgTest)
#include "tst_ProgressDlg.moc"
