#include "ui/app/CopyApp.h"

#include "platform/HostServices.h"
#include "ui/app/CopyMainDlg.h"
#include "ui/app/HelpViewer.h"
#include "ui/framework/QtMessageBox.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

CCopyApp* g_pApp = nullptr;

// Calls the action once, after the first paint of the watched widget has
// been done.
class CFirstPaintWatcher : public QObject {
public:
    CFirstPaintWatcher(QWidget* pWidget, std::function<void()> action)
        : QObject(pWidget), m_fnAction(std::move(action)) {
        pWidget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override {
        if (pEvent->type() == QEvent::Paint && m_fnAction) {
            pWatched->removeEventFilter(this);
            QTimer::singleShot(0, pWatched, std::exchange(m_fnAction, nullptr));
        }
        return false;
    }

private:
    std::function<void()> m_fnAction;
};

} // namespace

CCopyApp::CCopyApp(QElapsedTimer startTimer) : m_startTimer(startTimer) {
    if (!m_startTimer.isValid())
        m_startTimer.start();
    g_pApp = this;
}

CCopyApp::~CCopyApp() {
    g_pApp = nullptr;
}

CCopyApp* CCopyApp::Instance() {
    return g_pApp;
}

bool CCopyApp::InitInstance() {
    CHostServices::Get().SetMessageBoxService(std::make_shared<CQtMessageBoxService>());
    CCopyMainDlg dlg;
    m_pMainWnd = &dlg;
    if (std::getenv("TIDEWELL_EXIT_AFTER_PAINT"))
        ExitAfterFirstPaint(dlg);
    dlg.exec();
    m_pMainWnd = nullptr;
    return false;
}

void CCopyApp::ExitAfterFirstPaint(CCopyMainDlg& dlg) {
    new CFirstPaintWatcher(&dlg, [this, pDlg = &dlg] {
        std::printf("first paint after %.1f ms\n",
                    static_cast<double>(m_startTimer.nsecsElapsed()) / 1e6);
        std::fflush(stdout);
        pDlg->EndDialog(0);
    });
}

void CCopyApp::WinHelp(uintptr_t /*data*/, unsigned command) {
    if (command == HELP_QUIT) {
        CloseHelp();
        return;
    }
    ShowHelp(m_pMainWnd ? static_cast<QWidget*>(m_pMainWnd) : QApplication::activeWindow());
}
