// The log viewer driven through its control id: title and rows from the
// file, the fixed-pitch font, resizing and sideways scrolling, and the
// warnings for a missing or unreadable log.

#include "files/PathUtils.h"
#include "platform/Cp932.h"
#include "platform/ErrorCodes.h"
#include "platform/MessageBoxService.h"
#include "support/DialogTestHelpers.h"
#include "support/ProgramFolder.h"
#include "ui/app/LogViewerDlg.h"

#include <QDir>
#include <QFontInfo>
#include <QListWidget>
#include <QScrollBar>
#include <QTest>

#include <sys/stat.h>

namespace {

constexpr unsigned kWarningStyle = MB_OK | MB_ICONEXCLAMATION;

// A log as the runs write it: CP932, CR LF after every line.
std::string LogBytes(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines)
        bytes += Utf8ToCp932(line).value() + "\r\n";
    return bytes;
}

QListWidget* List(CDeleteLog& dlg) {
    return dlg.Control<QListWidget>(CDeleteLog::IDC_LOG_LIST);
}

QStringList Rows(CDeleteLog& dlg) {
    QStringList rows;
    for (int i = 0; i < List(dlg)->count(); ++i)
        rows << List(dlg)->item(i)->text();
    return rows;
}

} // namespace

class CLogViewerDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init() { m_pFolder = std::make_unique<CTestProgramFolder>(); }
    void cleanup() { m_pFolder.reset(); }

    void titleFromFirstLineRowsInFileOrder();
    void oneLineAndEmptyFiles();
    void handWrittenCp932Bytes();
    void namesCp932CannotHoldAreShown();
    void fixedPitchFontAndResizing();
    void longRowsScrollSideways();
    void modalRunEndsWithEscape();
    void noLogFile_data();
    void noLogFile();
    void unreadableLogShowsSystemText();

private:
    std::string LogPath() const { return GetProgramFolder() + "Tidewall.log"; }
    std::unique_ptr<CTestProgramFolder> m_pFolder;
};

void CLogViewerDlgTest::titleFromFirstLineRowsInFileOrder() {
    CScriptedBoxes boxes;
    const std::string header = "-- Tidewall.Exe  ｺﾋﾟｰ履歴 [2024/01/02 03:04:05] --";
    QVERIFY(m_pFolder->WriteFile("Tidewall.log",
                                 LogBytes({header, "S:\\資料\\表.doc -> D:\\控え\\表.doc", "",
                                           "z last but sorted first?", "終了ｺｰﾄﾞ 0"})));
    CDeleteLog dlg(LogPath(), nullptr);
    QCOMPARE(dlg.TemplateId(), 136);
    QVERIFY(dlg.OnInitDialog());
    QCOMPARE(dlg.windowTitle(), QString::fromStdString(header));
    const QStringList expected = {QStringLiteral("S:\\資料\\表.doc -> D:\\控え\\表.doc"), QString(),
                                  QStringLiteral("z last but sorted first?"),
                                  QStringLiteral("終了ｺｰﾄﾞ 0")};
    QCOMPARE(Rows(dlg), expected);
    QVERIFY(boxes->Shown().empty());
}

void CLogViewerDlgTest::oneLineAndEmptyFiles() {
    CScriptedBoxes boxes;
    QVERIFY(m_pFolder->WriteFile("Tidewall.log", LogBytes({"-- only the header --"})));
    CDeleteLog one(LogPath(), nullptr);
    QVERIFY(one.OnInitDialog());
    QCOMPARE(one.windowTitle(), QStringLiteral("-- only the header --"));
    QCOMPARE(List(one)->count(), 0);

    QVERIFY(m_pFolder->WriteFile("Tidewall.log", ""));
    CDeleteLog empty(LogPath(), nullptr);
    QVERIFY(empty.OnInitDialog());
    QCOMPARE(empty.windowTitle(), QStringLiteral("ログ"));
    QCOMPARE(List(empty)->count(), 0);
    QVERIFY(boxes->Shown().empty());
}

void CLogViewerDlgTest::handWrittenCp932Bytes() {
    CScriptedBoxes boxes;
    // "ﾛｸﾞ" = DB B8 DE, 表 = 95 5C, ソ = 83 5C; the last line has no line end.
    QVERIFY(m_pFolder->WriteFile("Tidewall.log", "\xDB\xB8\xDE\r\n\x95\x5C\x83\x5C\\x"));
    CDeleteLog dlg(LogPath(), nullptr);
    QVERIFY(dlg.OnInitDialog());
    QCOMPARE(dlg.windowTitle(), QStringLiteral("ﾛｸﾞ"));
    QCOMPARE(Rows(dlg), QStringList{QStringLiteral("表ソ\\x")});
}

void CLogViewerDlgTest::namesCp932CannotHoldAreShown() {
    CScriptedBoxes boxes;
    QVERIFY(
        m_pFolder->WriteFile("Tidewall.log", "head\r\nS:\\caf&#x00E9;.txt\r\nbyte &#xDC81;\r\n"));
    CDeleteLog dlg(LogPath(), nullptr);
    QVERIFY(dlg.OnInitDialog());
    QCOMPARE(Rows(dlg),
             (QStringList{QStringLiteral("S:\\café.txt"), QStringLiteral("byte &#xDC81;")}));
}

void CLogViewerDlgTest::fixedPitchFontAndResizing() {
    CScriptedBoxes boxes;
    QVERIFY(m_pFolder->WriteFile("Tidewall.log", LogBytes({"head", "row"})));
    CDeleteLog dlg(LogPath(), nullptr);
    QVERIFY(dlg.OnInitDialog());
    const QFontInfo info(List(dlg)->font());
    QCOMPARE(info.family(), QStringLiteral("IPAGothic"));
    // Columns line up: narrow and wide letters take the same room, and a
    // double-byte character that of two single-byte ones.
    const QFontMetrics metrics(List(dlg)->font());
    QCOMPARE(metrics.horizontalAdvance(QStringLiteral("iiii")),
             metrics.horizontalAdvance(QStringLiteral("WWWW")));
    QCOMPARE(metrics.horizontalAdvance(QStringLiteral("表")),
             metrics.horizontalAdvance(QStringLiteral("ab")));
    QCOMPARE(List(dlg)->font().pointSize(), 10);
    QVERIFY(dlg.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!List(dlg)->isSortingEnabled());
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QVERIFY(dlg.width() >= dlg.Units().X(282) - 1);
    for (const QSize size : {QSize(900, 700), QSize(300, 200)}) {
        dlg.resize(size);
        QTRY_COMPARE(List(dlg)->geometry(), dlg.rect());
    }
    dlg.showMaximized();
    QTRY_COMPARE(List(dlg)->geometry(), dlg.rect());
}

void CLogViewerDlgTest::longRowsScrollSideways() {
    CScriptedBoxes boxes;
    const std::string longRow = "S:\\" + std::string(400, 'a') + "\\終わり.txt";
    // The long row comes late, after rows that are measured in later batches.
    std::vector<std::string> lines(5000, "short");
    lines.front() = "head";
    lines.push_back(longRow);
    QVERIFY(m_pFolder->WriteFile("Tidewall.log", LogBytes(lines)));
    CDeleteLog dlg(LogPath(), nullptr);
    QVERIFY(dlg.OnInitDialog());
    dlg.resize(400, 300);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QScrollBar* pBar = List(dlg)->horizontalScrollBar();
    QTRY_VERIFY(pBar->maximum() > 0);
    // The whole row is reachable: the scroll range covers its width.
    const int rowWidth =
        List(dlg)->fontMetrics().horizontalAdvance(QString::fromStdString(longRow));
    QTRY_VERIFY(pBar->maximum() + List(dlg)->viewport()->width() >= rowWidth);
    QCOMPARE(List(dlg)->item(List(dlg)->count() - 1)->text().toStdString(), longRow);
}

void CLogViewerDlgTest::modalRunEndsWithEscape() {
    CScriptedBoxes boxes;
    QVERIFY(m_pFolder->WriteFile("Tidewall.log", LogBytes({"head", "row"})));
    CDeleteLog dlg(LogPath(), nullptr);
    int nRows = -1;
    OnNextModal([&nRows](QWidget* pModal) {
        auto* pDlg = qobject_cast<CDeleteLog*>(pModal);
        QVERIFY(pDlg);
        nRows = List(*pDlg)->count();
        QTest::keyClick(pModal, Qt::Key_Escape);
    });
    QCOMPARE(dlg.DoModal(), 2);
    QCOMPARE(nRows, 1);
}

void CLogViewerDlgTest::noLogFile_data() {
    QTest::addColumn<bool>("bFolder");
    QTest::newRow("missing") << false;
    QTest::newRow("folder of that name") << true;
}

void CLogViewerDlgTest::noLogFile() {
    QFETCH(bool, bFolder);
    if (bFolder)
        QVERIFY(QDir(QString::fromStdString(m_pFolder->HostPath()))
                    .mkdir(QStringLiteral("Tidewall.log")));
    CScriptedBoxes boxes;
    boxes->ExpectExact("ログファイルがありません．", IDOK, kWarningStyle);
    CDeleteLog dlg(LogPath(), nullptr);
    bool bShown = false;
    OnNextModal([&bShown](QWidget* pModal) {
        bShown = true;
        QTest::keyClick(pModal, Qt::Key_Escape);
    });
    QCOMPARE(dlg.DoModal(), 2);
    QTest::qWait(50); // time for a window that should not be there to show
    QVERIFY(!bShown);
    QVERIFY(boxes->VerifyAllUsed());
    QCOMPARE(boxes->Beeps().size(), size_t(1));
}

void CLogViewerDlgTest::unreadableLogShowsSystemText() {
    // A pipe under the log's name is listed as a file but cannot be read.
    QCOMPARE(::mkfifo(m_pFolder->HostFile("Tidewall.log").c_str(), 0600), 0);
    const std::string systemText = GetSystemErrorText(ERROR_ACCESS_DENIED);
    QVERIFY(!systemText.empty());
    CScriptedBoxes boxes;
    boxes->ExpectExact(systemText, IDOK, kWarningStyle);
    CDeleteLog dlg(LogPath(), nullptr);
    QVERIFY(dlg.OnInitDialog()); // the viewer stays open with what it has
    QCOMPARE(dlg.windowTitle(), QStringLiteral("ログ"));
    QCOMPARE(List(dlg)->count(), 0);
    QVERIFY(boxes->VerifyAllUsed());
}

QTEST_MAIN(CLogViewerDlgTest)
#include "tst_LogViewerDlg.moc"
