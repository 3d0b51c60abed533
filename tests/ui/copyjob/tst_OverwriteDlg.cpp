// The overwrite question: its texts and the answer of each button and key.

#include "ui/copyjob/OverwriteDlg.h"

#include "support/DialogTestHelpers.h"

#include <QFontInfo>
#include <QPushButton>

class COverwriteDlgTest : public QObject {
    Q_OBJECT
private slots:

    void textsAndAnswers() {
        const std::string path = "\\報告書\\" + std::string(120, 'a') + ".doc";
        const COverwriteTexts texts{"S:" + path, "1000 ﾊﾞｲﾄ",       "2024/01/02 03:04:05",
                                    "D:" + path, "3000000000 ﾊﾞｲﾄ", "2024/02/03 04:05:06",
                                    "大きい",    "新しい"};
        COverwriteDlg dlg(texts, nullptr);
        QCOMPARE(
            Texts(&dlg, {1048, 1049, 1050, 1051, 1052, 1053, 1054, 1055, 1, 2, 1047, 3}),
            QString::fromStdString("S:" + path + "|1000 ﾊﾞｲﾄ|2024/01/02 03:04:05|D:" + path +
                                   "|3000000000 ﾊﾞｲﾄ|2024/02/03 04:05:06|大きい|新しい|はい(&Y)|"
                                   "いいえ(&N)|すべてｺﾋﾟｰ(&A)|処理中断(&X)"));
        QCOMPARE(dlg.windowTitle() + dlg.findChildren<QLabel*>().last()->text(),
                 "上書き確認このﾌｧｲﾙをｺﾋﾟｰしますか？");
        QVERIFY(dlg.Control<QPushButton>(COverwriteDlg::IDC_YES)->isDefault());
        QVERIFY(!dlg.windowFlags().testFlag(Qt::WindowCloseButtonHint));
        QCOMPARE(QFontInfo(dlg.font()).family(), QStringLiteral("IPAPGothic"));
        VerifyNothingCut(dlg);
        // Each button ends with its id; Escape skips the file, Enter replaces it.
        for (const auto& [press, answer] : std::initializer_list<std::pair<int, int>>{
                 {1, 1}, {2, 2}, {3, 3}, {1047, 1047}, {Qt::Key_Escape, 2}, {Qt::Key_Return, 1}}) {
            COverwriteDlg asked(texts, nullptr);
            AnswerNextModal([press = press](QWidget* pModal) {
                if (press > 0xFFFF)
                    QTest::keyClick(pModal, Qt::Key(press));
                else
                    ClickControl(pModal, press);
            });
            QCOMPARE(asked.DoModal(), answer);
        }
    }
};

QTEST_MAIN(COverwriteDlgTest)
#include "tst_OverwriteDlg.moc"
