#include "ui/app/HelpViewer.h"

#include "ui/framework/DialogBase.h"
#include "ui/framework/Resources.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFontMetrics>
#include <QIcon>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

class CHelpWindow;
QPointer<CHelpWindow>& OpenWindow();

class CHelpWindow : public QDialog {
public:
    explicit CHelpWindow(QWidget* parent) : QDialog(parent) {
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                       Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
        setWindowIcon(QIcon(QString::fromLatin1(kAppIconResource)));
        setFont(TemplateFont(kProportionalFace, 10));
        m_pBrowser = new QTextBrowser(this);
        m_pBrowser->setObjectName(QStringLiteral("helpBrowser"));
        // The browser would try to load any link itself; only the page's
        // own resources are followed, so nothing is ever fetched.
        m_pBrowser->setOpenLinks(false);
        m_pBrowser->setOpenExternalLinks(false);
        connect(m_pBrowser, &QTextBrowser::anchorClicked, this, &CHelpWindow::Follow);
        connect(m_pBrowser, &QTextBrowser::sourceChanged, this,
                [this] { setWindowTitle(m_pBrowser->documentTitle()); });
        auto* pLayout = new QVBoxLayout(this);
        pLayout->setContentsMargins(0, 0, 0, 0);
        pLayout->addWidget(m_pBrowser);
        const QFontMetrics metrics(font());
        resize(metrics.averageCharWidth() * 90, metrics.height() * 40);
        m_pBrowser->setSource(QUrl(QStringLiteral("qrc") + QString::fromLatin1(kHelpPageResource)));
    }

protected:
    // A closed window is deleted a little later; from now on a request for
    // help opens a new one instead of showing this one again.
    void closeEvent(QCloseEvent* pEvent) override {
        QDialog::closeEvent(pEvent);
        if (pEvent->isAccepted() && OpenWindow() == this)
            OpenWindow() = nullptr;
    }

private:
    void Follow(const QUrl& link) {
        const QUrl target = m_pBrowser->source().resolved(link);
        if (target.scheme() == QStringLiteral("qrc"))
            m_pBrowser->setSource(target);
    }

    QTextBrowser* m_pBrowser;
};

QPointer<CHelpWindow>& OpenWindow() {
    static QPointer<CHelpWindow> s_pWindow;
    return s_pWindow;
}

} // namespace

void ShowHelp(QWidget* parent) {
    InitResources();
    QPointer<CHelpWindow>& pWindow = OpenWindow();
    if (!pWindow)
        pWindow = new CHelpWindow(parent);
    pWindow->show();
    pWindow->raise();
    pWindow->activateWindow();
}

void CloseHelp() {
    if (QPointer<CHelpWindow>& pWindow = OpenWindow())
        pWindow->close();
}

QWidget* HelpWindow() {
    return OpenWindow().data();
}
