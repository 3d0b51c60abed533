// Long paths elided in the middle in dialogs that stay within their screen.

#include "ui/framework/PathLabel.h"

#include "support/DialogTestHelpers.h"
#include "support/TestScreens.h"
#include "ui/copyjob/CopyConfirmDlg.h"
#include "ui/copyjob/OverwriteDlg.h"
#include "ui/copyjob/ProgressDlg.h"
#include "ui/framework/QtMessageBox.h"

#include <QMessageBox>

namespace {

const std::string kLong = "D:\\" + std::string(296, 'x') + "\\end";

// The dialog shown on the wide screen: its width and the text its path label shows.
std::pair<int, QString> Measure(QDialog& dlg, int pathId) {
    dlg.setScreen(TestScreen("wide"));
    dlg.show();
    if (!QTest::qWaitForWindowExposed(&dlg))
        return {};
    auto* pLabel = qobject_cast<CPathLabel*>(ControlOf(&dlg, pathId));
    return {dlg.frameGeometry().width(), pLabel ? pLabel->ShownText() : QString()};
}

} // namespace

class CPathLabelTest : public QObject {
    Q_OBJECT
private slots:

    // The confirmation before copying, the overwrite question, the progress window.
    void longPathsFitTheScreen() {
        COverwriteTexts overwrite;
        overwrite.strSrcPath = overwrite.strDstPath = kLong;
        const CCopyConfirmTexts confirm{"S:\\", kLong, "", "", "", "", "", "", "", true};
        const std::pair<std::function<QDialog*()>, int> dialogs[] = {
            {[&] { return new CCopyConfirmDlg(confirm, nullptr); }, CCopyConfirmDlg::IDC_DST_DIR},
            {[&] { return new COverwriteDlg(overwrite, nullptr); }, COverwriteDlg::IDC_DST_PATH},
            {[] { return new CProgressDlg(CProgressDlg::IDS_COPYING); },
             CProgressDlg::IDC_CURRENT_FILE}};
        for (const auto& [make, pathId] : dialogs) {
            std::unique_ptr<QDialog> pDlg(make());
            auto* pProgress = qobject_cast<CProgressDlg*>(pDlg.get());
            if (pProgress) // the file name changes while the window is up
                pProgress->ShowTransfer({1, 2, 3, 4, "S:\\a"});
            const int widthBefore = Measure(*pDlg, pathId).first;
            if (pProgress)
                pProgress->ShowTransfer({2, 2, 4, 4, kLong});
            QTRY_COMPARE(ControlOf(pDlg.get(), pathId)->property("text").toString(),
                         QString::fromStdString(kLong));
            const auto [width, shown] = Measure(*pDlg, pathId);
            QVERIFY2(width <= 1280 && (!pProgress || width == widthBefore),
                     qPrintable(QString::number(width)));
            // The drive and the name's end stay readable around the ellipsis.
            QVERIFY2(shown.startsWith("D:\\xx") && shown.contains(QChar(0x2026)) &&
                         shown.endsWith("x\\end"),
                     qPrintable(shown));
        }
    }

    // Boxes wrap what they cannot elide.
    void messageBoxFitsTheScreen() {
        int width = 0;
        AnswerNextModal([&](QWidget* pBox) {
            width = pBox->frameGeometry().width();
            static_cast<QMessageBox*>(pBox)->accept();
        });
        CQtMessageBoxService().Show("設定ﾌｧｲﾙ[" + kLong + "]を削除しますか．", "", MB_OK);
        QVERIFY(width > 0 && width <= 1280);
    }
};

TIDEWELL_SCREENS_TEST_MAIN(CPathLabelTest)
#include "tst_PathLabel.moc"
