// The help window: one at a time, the program's own Japanese page, links
// within the page followed and links leaving it ignored.

#include "ui/app/HelpViewer.h"

#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

class CHelpViewerTest : public QObject {
    Q_OBJECT
private slots:
    void oneWindowWithTheProgramsPage();
};

void CHelpViewerTest::oneWindowWithTheProgramsPage() {
    QWidget owner;
    ShowHelp(&owner);
    QWidget* pWindow = HelpWindow();
    QVERIFY(pWindow && QTest::qWaitForWindowExposed(pWindow) && !pWindow->isModal());
    QCOMPARE(pWindow->windowTitle(), QStringLiteral("Tidewell ヘルプ"));
    auto* pBrowser = pWindow->findChild<QTextBrowser*>();
    QScrollBar* pBar = pBrowser->verticalScrollBar();
    QCOMPARE(pBar->value(), 0);
    for (const char* text : {"ｺﾋﾟｰ前にｺﾋﾟｰ先ﾌｫﾙﾀﾞを全ｸﾘｱする．", "LHA圧縮してｺﾋﾟｰする．",
                             "ｺﾋﾟｰ除外ﾌｫﾙﾀﾞを指定する．", "tidewell --run NAME", "Tidewell.Ini"})
        QVERIFY2(pBrowser->toPlainText().contains(QString::fromUtf8(text)), text);
    emit pBrowser->anchorClicked(QUrl("#cmdline"));
    QTRY_VERIFY(pBar->value() > 0);
    const int commandLine = pBar->value();
    for (const char* link : {"https://example.com/", "file:///etc/passwd"})
        emit pBrowser->anchorClicked(QUrl(link));
    QCOMPARE(pBrowser->source().fragment(), QStringLiteral("cmdline"));
    // A second request raises the open window where the reader was.
    ShowHelp(nullptr);
    QCOMPARE(HelpWindow(), pWindow);
    QCOMPARE(pBar->value(), commandLine);
    // A closed window makes way for a new one, at the page's start.
    pWindow->close();
    QCOMPARE(HelpWindow(), nullptr);
    ShowHelp(nullptr);
    QVERIFY(HelpWindow() && HelpWindow()->isVisible() && HelpWindow() != pWindow);
    QCOMPARE(HelpWindow()->findChild<QTextBrowser*>()->verticalScrollBar()->value(), 0);
    CloseHelp();
    QCOMPARE(HelpWindow(), nullptr);
    CloseHelp(); // harmless when none is open
}

QTEST_MAIN(CHelpViewerTest)
#include "tst_HelpViewer.moc"
