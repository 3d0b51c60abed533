// Long paths elided in the middle in dialogs that stay within their screen.

#include "ui/framework/PathLabel.h"

#include "platform/MessageBoxService.h"
#include "support/DialogTestHelpers.h"
#include "support/TestScreens.h"
#include "ui/copyjob/CopyConfirmDlg.h"
#include "ui/copyjob/OverwriteDlg.h"
#include "ui/copyjob/ProgressDlg.h"
#include "ui/framework/QtMessageBox.h"

#include <QMessageBox>

namespace {

const std::string kLong = "D:\\" + std::string(296, 'x') + "\\end";

// The shown dialog's width on the wide screen, and the text its path label shows.
struct CShown {
    int width = 0;
    QString shown;
};

CShown Measure(QDialog& dlg, int pathId) {
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
        for (int which : {0, 1, 2}) {
            std::unique_ptr<QDialog> pDlg;
            int pathId = 0;
            if (which == 0) {
                pDlg = std::make_unique<CCopyConfirmDlg>(
                    CCopyConfirmTexts{"S:\\", kLong, "", "", "", "", "", "", "ｺﾋﾟｰを開始しますか？",
                                      true},
                    nullptr);
                pathId = CCopyConfirmDlg::IDC_DST_DIR;
            } else if (which == 1) {
                COverwriteTexts texts;
                texts.strSrcPath = texts.strDstPath = kLong;
                pDlg = std::make_unique<COverwriteDlg>(texts, nullptr);
                pathId = COverwriteDlg::IDC_DST_PATH;
            } else {
                auto pProgress = std::make_unique<CProgressDlg>(CProgressDlg::IDS_COPYING);
                pProgress->ShowTransfer({1, 2, 3, 4, "S:\\a"});
                pDlg = std::move(pProgress);
                pathId = CProgressDlg::IDC_CURRENT_FILE;
            }
            const int widthBefore = Measure(*pDlg, pathId).width;
            if (which == 2) // the file name changes while the window is up
                static_cast<CProgressDlg*>(pDlg.get())->ShowTransfer({2, 2, 4, 4, kLong});
            QTRY_COMPARE(ControlOf(pDlg.get(), pathId)->property("text").toString(),
                         QString::fromStdString(kLong));
            const CShown shown = Measure(*pDlg, pathId);
            QVERIFY2(shown.width <= 1280, qPrintable(QString::number(shown.width)));
            QVERIFY(which != 2 || shown.width == widthBefore);
            // The drive and the name's end stay readable around the ellipsis.
            QVERIFY2(shown.shown.startsWith("D:\\xx") && shown.shown.contains(QChar(0x2026)) &&
                         shown.shown.endsWith("x\\end"),
                     qPrintable(shown.shown));
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
