// The log viewer: title and rows from the file, the fixed-pitch font, rows
// never cut, and the warnings for a missing or unreadable log.

#include "files/PathUtils.h"
#include "platform/Cp932.h"
#include "platform/ErrorCodes.h"
#include "support/DialogTestHelpers.h"
#include "support/ProgramFolder.h"
#include "ui/app/LogViewerDlg.h"

#include <QDir>
#include <QFontInfo>
#include <QListWidget>
#include <QScrollBar>

#include <sys/stat.h>

class CLogViewerDlgTest : public QObject {
    Q_OBJECT
private slots:
    void titleAndRowsFromTheFile();
    void warnings();
};

void CLogViewerDlgTest::titleAndRowsFromTheFile() {
    // CP932 ﾛｸﾞ = DB B8 DE, 表 = 95 5C, ソ = 83 5C; rows stay in file order;
    // the long row comes after rows measured in later batches.
    const QString longRow = "S:\\" + QString(400, 'a') + "\\終わり.txt";
    const std::pair<std::string, QString> cases[] = {
        {"\xDB\xB8\xDE\r\nz\r\n\r\n\x95\x5C\x83\x5C\\x", "ﾛｸﾞ|z||表ソ\\x"},
        {"head\r\nS:\\caf&#x00E9;.txt\r\nbyte &#xDC81;\r\n", "head|S:\\café.txt|byte &#xDC81;"},
        {"", "ログ"},
        {"h\r\n" + QByteArray("a\r\n").repeated(3000).toStdString() +
             *Utf8ToCp932(longRow.toStdString()),
         "h|" + QStringList(3000, "a").join('|') + "|" + longRow}};
    for (const auto& [bytes, shown] : cases) {
        CTestProgramFolder folder;
        CScriptedBoxes boxes;
        QVERIFY(folder.WriteFile("Tidewall.log", bytes));
        CDeleteLog dlg(GetProgramFolder() + "Tidewall.log", nullptr);
        auto* pList = dlg.Control<QListWidget>(CDeleteLog::IDC_LOG_LIST);
        QStringList texts;
        AnswerNextModal([&](QWidget* pModal) {
            texts << pModal->windowTitle();
            for (int i = 0; i < pList->count(); ++i)
                texts << pList->item(i)->text();
            // The whole long row is reachable: the scroll range covers it.
            const int width = pList->fontMetrics().horizontalAdvance(texts.last());
            QTRY_VERIFY(pList->horizontalScrollBar()->maximum() + pList->viewport()->width() >=
                        width);
            QTest::keyClick(pModal, Qt::Key_Escape);
        });
        QCOMPARE(dlg.DoModal(), 2);
        QCOMPARE(texts.join('|'), shown);
        QVERIFY(dlg.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        // Columns line up: narrow and wide letters take the same room, and a
        // double-byte character that of two single-byte ones.
        const QFontMetrics metrics(pList->font());
        QCOMPARE(QFontInfo(pList->font()).family(), QStringLiteral("IPAGothic"));
        QCOMPARE(metrics.horizontalAdvance("iiii"), metrics.horizontalAdvance("WWWW"));
        QCOMPARE(metrics.horizontalAdvance("表"), metrics.horizontalAdvance("ab"));
    }
}

void CLogViewerDlgTest::warnings() {
    for (int kind : {0, 1, 2}) { // no file, a folder of that name, a pipe that cannot be read
        CTestProgramFolder folder;
        CScriptedBoxes boxes;
        if (kind == 1)
            QVERIFY(QDir(QString::fromStdString(folder.HostPath())).mkdir("Tidewall.log"));
        if (kind == 2)
            QCOMPARE(::mkfifo(folder.HostFile("Tidewall.log").c_str(), 0600), 0);
        boxes->ExpectExact(kind == 2 ? GetSystemErrorText(ERROR_ACCESS_DENIED)
                                     : "ログファイルがありません．",
                           IDOK, MB_OK | MB_ICONEXCLAMATION);
        CDeleteLog dlg(GetProgramFolder() + "Tidewall.log", nullptr);
        bool bShown = false;
        QTimer::singleShot(0, &dlg, [&] {
            bShown = dlg.isVisible();
            dlg.reject();
        });
        QCOMPARE(dlg.DoModal(), 2);
        QTest::qWait(1);
        // An unreadable log leaves the viewer open with what it has.
        QCOMPARE(bShown, kind == 2);
        QCOMPARE(dlg.windowTitle(), "ログ");
        QCOMPARE(dlg.findChild<QListWidget*>()->count(), 0);
        QVERIFY(boxes->VerifyAllUsed());
        QCOMPARE(boxes->Beeps().size(), size_t(1));
    }
}

QTEST_MAIN(CLogViewerDlgTest)
#include "tst_LogViewerDlg.moc"
