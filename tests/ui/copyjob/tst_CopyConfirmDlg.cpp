// The confirmation before copying: its figures in a fixed-pitch font, its answers.

#include "ui/copyjob/CopyConfirmDlg.h"

#include "support/DialogTestHelpers.h"

#include <QFontInfo>
#include <QPushButton>

namespace {

// clang-format off
CCopyConfirmTexts Sample(bool bCanStart) {
    return {"S:\\データ", "D:\\バックアップ", "ﾘﾑｰﾊﾞﾙ", "      4,096.00 KB(   1,024ｸﾗｽﾀ)",
            "      1,024.00 KB(     256ｸﾗｽﾀ)以上 (FAT32)", "   2 ﾌｧｲﾙ", "         12.00 KB(       3ｸﾗｽﾀ)",
            "      1,012.00 KB(     253ｸﾗｽﾀ)以上 (FAT32)",
            bCanStart ? "ｺﾋﾟｰを開始しますか？" : "ｺﾋﾟｰ先容量不足のため、ｺﾋﾟｰできません．", bCanStart};
}
// clang-format on

} // namespace

class CCopyConfirmDlgTest : public QObject {
    Q_OBJECT
private slots:

    void showsTheTexts() {
        const CCopyConfirmTexts texts = Sample(true);
        CCopyConfirmDlg dlg(texts, nullptr);
        QCOMPARE(Texts(&dlg, {1062, 1063, 1064, 1047, 1065, 1069, 1066, 1067, 1004, 1, 2}),
                 QString::fromStdString(texts.strSrcDir + "|" + texts.strDstDir + "|ﾘﾑｰﾊﾞﾙ|" +
                                        texts.strTotal + "|" + texts.strFree + "|   2 ﾌｧｲﾙ|" +
                                        texts.strChange + "|" + texts.strRemaining +
                                        "|ｺﾋﾟｰを開始しますか？|ｺﾋﾟｰ開始|ｷｬﾝｾﾙ"));
        // The blank-padded figures line up only in a fixed-pitch font.
        QCOMPARE(dlg.windowTitle() + QFontInfo(dlg.font()).family(), "ｺﾋﾟｰ前の確認IPAGothic");
        const QFontMetrics metrics(dlg.Control<QLabel>(CCopyConfirmDlg::IDC_TOTAL)->font());
        for (QChar ch : QStringLiteral("0123456789 ,.-"))
            QCOMPARE(metrics.horizontalAdvance(ch), metrics.horizontalAdvance(' '));
        QVERIFY(dlg.Control<QPushButton>(CCopyConfirmDlg::IDC_START)->isDefault());
        QVERIFY(!dlg.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        VerifyNothingCut(dlg);
        CCopyConfirmDlg lacking(Sample(false), nullptr);
        QVERIFY(!lacking.Control<QPushButton>(CCopyConfirmDlg::IDC_START)->isEnabled());
        // The question icon gives way to the stop icon.
        QVERIFY(lacking.Control<QLabel>(CCopyConfirmDlg::IDC_ICON)->pixmap().toImage() !=
                dlg.Control<QLabel>(CCopyConfirmDlg::IDC_ICON)->pixmap().toImage());
    }

    void answers() {
        // Room, continuous, presses (ids or keys; none: not shown), answer; Enter never starts.
        const std::tuple<bool, bool, QList<int>, int> cases[] = {
            {true, false, {CCopyConfirmDlg::IDC_CANCEL}, 2},
            {true, false, {Qt::Key_Escape}, 2},
            {false, false, {CCopyConfirmDlg::IDC_START, Qt::Key_Return, Qt::Key_Escape}, 2},
            {true, true, {}, 1},
            {false, true, {CCopyConfirmDlg::IDC_START, Qt::Key_Escape}, 2}};
        for (const auto& [bCanStart, bContinuous, presses, answer] : cases) {
            CCopyConfirmDlg dlg(Sample(bCanStart), nullptr);
            bool bShown = false;
            QTimer::singleShot(0, &dlg, [&, presses = presses] {
                bShown = dlg.isVisible();
                for (int press : presses)
                    press > 0xFFFF ? QTest::keyClick(&dlg, Qt::Key(press))
                                   : ClickControl(&dlg, press);
                if (dlg.isVisible())
                    dlg.reject(); // a window that should not be there
            });
            QCOMPARE(dlg.DoModal(bContinuous), answer);
            QTest::qWait(1);
            QCOMPARE(bShown, !presses.isEmpty());
        }
    }
};

QTEST_MAIN(CCopyConfirmDlgTest)
#include "tst_CopyConfirmDlg.moc"
