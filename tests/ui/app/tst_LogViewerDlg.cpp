// The log viewer: title and rows in a fixed-pitch font, never cut; warnings for a missing log.
#include "files/PathUtils.h"
#include "platform/Cp932.h"
#include "platform/ErrorCodes.h"
#include "support/DialogTestHelpers.h"
#include "support/ProgramFolder.h"
#include "ui/app/LogViewerDlg.h"

#include <QFontInfo>
#include <QScrollBar>

#include <sys/stat.h>

class CLogViewerDlgTest : public QObject {
    Q_OBJECT
private slots:
    void logsAndWarnings() {
        // Bytes (ﾛｸﾞ = DB B8 DE, 表 = 95 5C, ソ = 83 5C), a pipe or folder; title|rows; warning.
        const QString longRow = "S:\\" + QString(400, 'a') + "\\終わり.txt";
        const std::tuple<std::string, QString, std::string> cases[] = {
            {"\xDB\xB8\xDE\r\nz\r\n\r\n\x95\x5C\x83\x5C\\x", "ﾛｸﾞ|z||表ソ\\x", ""},
            {"h\r\nS:\\caf&#x00E9;.txt\r\nbyte &#xDC81;\r\n", "h|S:\\café.txt|byte &#xDC81;", ""},
            {"h\r\n" + QByteArray("\r\n").repeated(6000).toStdString() +
                 *Utf8ToCp932(longRow.toStdString()),
             "h" + QString("|").repeated(6001) + longRow, ""},
            {"", "ログ", ""},
            {"pipe", "ログ", GetSystemErrorText(ERROR_ACCESS_DENIED)},
            {"folder", "", "ログファイルがありません．"},
            {"none", "", "ログファイルがありません．"}};
        for (const auto& [bytes, shown, warning] : cases) {
            CTestProgramFolder folder;
            CScriptedBoxes boxes;
            if (bytes == "pipe")
                QCOMPARE(::mkfifo(folder.HostFile("Tidewall.log").c_str(), 0600), 0);
            else if (bytes == "folder")
                QVERIFY(QDir(QString::fromStdString(folder.HostPath())).mkdir("Tidewall.log"));
            else if (bytes != "none")
                QVERIFY(folder.WriteFile("Tidewall.log", bytes));
            if (!warning.empty())
                boxes->ExpectExact(warning, IDOK, MB_OK | MB_ICONEXCLAMATION);
            CDeleteLog dlg(GetProgramFolder() + "Tidewall.log", nullptr);
            auto* pList = dlg.Control<QListWidget>(CDeleteLog::IDC_LOG_LIST);
            QStringList texts; // stays empty when no viewer shows
            bool bReachable = false;
            QTimer::singleShot(0, &dlg, [&] {
                for (int i = 0; dlg.isVisible() && i <= pList->count(); ++i)
                    texts << (i == 0 ? dlg.windowTitle() : pList->item(i - 1)->text());
                // The whole long row is reachable: the scroll range covers it.
                const int width =
                    pList->fontMetrics().horizontalAdvance(texts.value(texts.size() - 1));
                bReachable = QTest::qWaitFor([&] {
                    return pList->horizontalScrollBar()->maximum() + pList->viewport()->width() >=
                           width;
                });
                dlg.reject();
            });
            QCOMPARE(dlg.DoModal(), 2);
            QTest::qWait(1);
            QCOMPARE(texts.join('|'), shown);
            QVERIFY(bReachable && boxes->VerifyAllUsed());
            QCOMPARE(QFontInfo(pList->font()).family() + " " +
                         QString::number(pList->font().pointSize()),
                     "IPAGothic 10");
        }
    }
};

QTEST_MAIN(CLogViewerDlgTest)
#include "tst_LogViewerDlg.moc"
