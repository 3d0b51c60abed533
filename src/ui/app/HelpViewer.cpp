#include "ui/app/HelpViewer.h"

#include "ui/app/AboutDlg.h"
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

const char kAboutLink[] = "tidewell:about";

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

    void ShowSection(const char* section) {
        m_pBrowser->scrollToAnchor(QString::fromUtf8(section));
    }

    // Moves the window to another owner where it stands, still open.
    void JoinOwner(QWidget* pOwner) {
        const QRect place = geometry();
        setParent(pOwner, windowFlags());
        setGeometry(place);
        show();
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
        // The page's own command: the version dialog, as the main window's
        // menu opens it.
        if (link == QUrl(QString::fromLatin1(kAboutLink))) {
            CAboutDlg dlg(this);
            dlg.DoModal();
            return;
        }
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

void ShowHelp(QWidget* parent, const char* section) {
    InitResources();
    QPointer<CHelpWindow>& pWindow = OpenWindow();
    if (!pWindow)
        pWindow = new CHelpWindow(parent);
    else if (parent && pWindow->parentWidget() != parent)
        pWindow->JoinOwner(parent);
    // A modal dialog blocks every window but its own: the help joins it,
    // and must leave it before the dialog goes.
    auto* pDialog = qobject_cast<QDialog*>(parent);
    if (pDialog && pDialog->isModal()) {
        QObject::connect(pDialog, &QDialog::finished, pWindow,
                         [pHelp = pWindow.data(), pOwner = QPointer(pDialog->parentWidget())] {
                             if (OpenWindow() == pHelp) // not closed meanwhile
                                 pHelp->JoinOwner(pOwner);
                         });
    }
    if (section)
        pWindow->ShowSection(section);
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
