// The help window: one at a time, its own page, links within it followed and others ignored.
#include "ui/app/HelpViewer.h"

#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>

class CHelpViewerTest : public QObject {
    Q_OBJECT
private slots:
    void oneWindowWithTheProgramsPage() {
        QWidget owner;
        ShowHelp(&owner);
        QWidget* pWindow = HelpWindow();
        QVERIFY(pWindow && QTest::qWaitForWindowExposed(pWindow) && !pWindow->isModal());
        auto* pBrowser = pWindow->findChild<QTextBrowser*>();
        QCOMPARE(pWindow->windowTitle(), QStringLiteral("Tidewell ヘルプ"));
        QVERIFY(
            pBrowser->toPlainText().contains(QStringLiteral("ｺﾋﾟｰ前にｺﾋﾟｰ先ﾌｫﾙﾀﾞを全ｸﾘｱする．")));
        emit pBrowser->anchorClicked(QUrl("#cmdline"));
        QTRY_VERIFY(pBrowser->verticalScrollBar()->value() > 0);
        const int commandLine = pBrowser->verticalScrollBar()->value();
        for (const char* link : {"https://example.com/", "file:///etc/passwd"})
            emit pBrowser->anchorClicked(QUrl(link));
        QCOMPARE(pBrowser->source().fragment(), QStringLiteral("cmdline"));
        ShowHelp(nullptr); // raises the open window where the reader was
        QVERIFY(HelpWindow() == pWindow && pBrowser->verticalScrollBar()->value() == commandLine);
        pWindow->close(); // makes way for a new window, at the page's start
        QCOMPARE(HelpWindow(), nullptr);
        ShowHelp(nullptr);
        QVERIFY(HelpWindow() && HelpWindow()->isVisible() && HelpWindow() != pWindow);
        QCOMPARE(HelpWindow()->findChild<QTextBrowser*>()->verticalScrollBar()->value(), 0);
        CloseHelp();
        CloseHelp(); // harmless when none is open
        QCOMPARE(HelpWindow(), nullptr);
    }
};

QTEST_MAIN(CHelpViewerTest)
#include "tst_HelpViewer.moc"
