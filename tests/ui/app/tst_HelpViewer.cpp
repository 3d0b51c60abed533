// The help window: one at a time, the program's own Japanese page, links
// within the page followed, links leaving it ignored.

#include "ui/app/HelpViewer.h"
#include "ui/framework/Resources.h"

#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QWidget>

namespace {

QTextBrowser* Browser() {
    QWidget* pWindow = HelpWindow();
    return pWindow ? pWindow->findChild<QTextBrowser*>(QStringLiteral("helpBrowser")) : nullptr;
}

int HelpWindowCount() {
    int count = 0;
    for (QWidget* pWidget : QApplication::topLevelWidgets())
        count += pWidget->isVisible() && pWidget->findChild<QTextBrowser*>() ? 1 : 0;
    return count;
}

QString PageSource() {
    InitResources();
    QFile file(QString::fromLatin1(kHelpPageResource));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

class CHelpViewerTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        CloseHelp();
        QTest::qWait(1); // let the closed window go
    }

    void opensTheJapanesePage();
    void pageCoversTheProgram();
    void secondRequestRaisesTheOpenWindow();
    void linksWithinThePageAreFollowed();
    void everyLinkOfThePageHasItsTarget();
    void linksLeavingThePageAreIgnored();
    void closedWindowMakesWayForANewOne();
};

void CHelpViewerTest::opensTheJapanesePage() {
    QWidget owner;
    ShowHelp(&owner);
    QWidget* pWindow = HelpWindow();
    QVERIFY(pWindow);
    QVERIFY(QTest::qWaitForWindowExposed(pWindow));
    QVERIFY(pWindow->isWindow());
    QVERIFY(!pWindow->isModal());
    QCOMPARE(pWindow->windowTitle(), QStringLiteral("Tidewell ヘルプ"));
    QTextBrowser* pBrowser = Browser();
    QVERIFY(pBrowser);
    QCOMPARE(pBrowser->source().scheme(), QStringLiteral("qrc"));
    const QString text = pBrowser->toPlainText();
    QVERIFY(text.contains(QStringLiteral("コピー元フォルダ")));
    QVERIFY(text.contains(QStringLiteral("tidewell --run NAME")));
    // The page opens at its start.
    QCOMPARE(pBrowser->verticalScrollBar()->value(), 0);
}

void CHelpViewerTest::pageCoversTheProgram() {
    ShowHelp(nullptr);
    const QString text = Browser()->toPlainText();
    // Every option by its caption, so the reader finds what the window shows.
    for (const char* caption :
         {"ﾀｲﾑｽﾀﾝﾌﾟを評価して新しいﾌｧｲﾙだけをｺﾋﾟｰする．", "ｺﾋﾟｰ先に存在するﾌｧｲﾙだけをｺﾋﾟｰする．",
          "下位ﾌｫﾙﾀﾞをﾌｧｲﾙｺﾋﾟｰの対象としない．", "上書き時、ﾌｧｲﾙごとに確認を取る．",
          "ｺﾋﾟｰ先の既存ﾌｧｲﾙをごみ箱へ転送する．", "ﾌｫﾙﾀﾞ構造は完全ｺﾋﾟｰする．",
          "ｺﾋﾟｰ前にｺﾋﾟｰ先ﾌｫﾙﾀﾞを全ｸﾘｱする．", "ｺﾋﾟｰ除外ﾌｫﾙﾀﾞを指定する．", "LHA圧縮してｺﾋﾟｰする．",
          "ｺﾋﾟｰ前に既存書庫ﾌｧｲﾙを削除する．", "自動生成ﾌｫｰﾏｯﾄ", "連続実行", "[Drives]",
          "Tidewell.Ini", "Tidewall.log", "--help", "--version", "終了状態"})
        QVERIFY2(text.contains(QString::fromUtf8(caption)), caption);
}

void CHelpViewerTest::secondRequestRaisesTheOpenWindow() {
    ShowHelp(nullptr);
    QWidget* pFirst = HelpWindow();
    QVERIFY(QTest::qWaitForWindowExposed(pFirst));
    Browser()->verticalScrollBar()->setValue(Browser()->verticalScrollBar()->maximum());
    const int position = Browser()->verticalScrollBar()->value();
    QVERIFY(position > 0);
    ShowHelp(nullptr);
    QCOMPARE(HelpWindow(), pFirst);
    QCOMPARE(HelpWindowCount(), 1);
    // The reader's place is kept.
    QCOMPARE(Browser()->verticalScrollBar()->value(), position);
}

void CHelpViewerTest::linksWithinThePageAreFollowed() {
    ShowHelp(nullptr);
    QVERIFY(QTest::qWaitForWindowExposed(HelpWindow()));
    QTextBrowser* pBrowser = Browser();
    emit pBrowser->anchorClicked(QUrl(QStringLiteral("#cmdline")));
    QCOMPARE(pBrowser->source().fragment(), QStringLiteral("cmdline"));
    QTRY_VERIFY(pBrowser->verticalScrollBar()->value() > 0);
    const int commandLine = pBrowser->verticalScrollBar()->value();
    // "#top" sits in the page's margin, a few pixels down.
    emit pBrowser->anchorClicked(QUrl(QStringLiteral("#top")));
    QTRY_VERIFY(pBrowser->verticalScrollBar()->value() < commandLine / 4);
}

void CHelpViewerTest::everyLinkOfThePageHasItsTarget() {
    const QString page = PageSource();
    QVERIFY(!page.isEmpty());
    QSet<QString> anchors;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(QStringLiteral("name=\"([^\"]+)\"")).globalMatch(page))
        anchors.insert(m.captured(1));
    int links = 0;
    for (const QRegularExpressionMatch& m :
         QRegularExpression(QStringLiteral("href=\"([^\"]*)\"")).globalMatch(page)) {
        const QString href = m.captured(1);
        // Nothing outside the program: only links within the page.
        QVERIFY2(href.startsWith(QLatin1Char('#')), qPrintable(href));
        QVERIFY2(anchors.contains(href.mid(1)), qPrintable(href));
        ++links;
    }
    QVERIFY(links >= 9);
}

void CHelpViewerTest::linksLeavingThePageAreIgnored() {
    ShowHelp(nullptr);
    QTextBrowser* pBrowser = Browser();
    const QUrl before = pBrowser->source();
    const QString text = pBrowser->toPlainText();
    for (const char* link : {"https://example.com/", "file:///etc/passwd", "mailto:x@example.com"})
        emit pBrowser->anchorClicked(QUrl(QString::fromLatin1(link)));
    QCOMPARE(pBrowser->source(), before);
    QCOMPARE(pBrowser->toPlainText(), text);
}

void CHelpViewerTest::closedWindowMakesWayForANewOne() {
    ShowHelp(nullptr);
    QWidget* pFirst = HelpWindow();
    QVERIFY(QTest::qWaitForWindowExposed(pFirst));
    Browser()->verticalScrollBar()->setValue(Browser()->verticalScrollBar()->maximum());
    pFirst->close(); // the close box
    QCOMPARE(HelpWindow(), nullptr);
    ShowHelp(nullptr); // before the closed one is gone
    QVERIFY(HelpWindow());
    QVERIFY(HelpWindow()->isVisible());
    QCOMPARE(Browser()->verticalScrollBar()->value(), 0);
    CloseHelp();
    QCOMPARE(HelpWindow(), nullptr);
    CloseHelp(); // harmless when none is open
    QTRY_COMPARE(HelpWindowCount(), 0);
}

QTEST_MAIN(CHelpViewerTest)
#include "tst_HelpViewer.moc"
