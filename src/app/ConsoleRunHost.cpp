#include "app/ConsoleRunHost.h"

#include "copyjob/CopyConfirmTexts.h"
#include "copyjob/OverwriteTexts.h"
#include "copyjob/TransferTexts.h"
#include "copyjob/UpdateThrottle.h"
#include "platform/HostServices.h"
#include "platform/Terminal.h"

#include <cstdio>

namespace {

class CConsoleProgress : public IProgressDisplay {
public:
    CConsoleProgress(bool terminal, std::string caption)
        : m_bTerminal(terminal), m_strCaption(std::move(caption)) {}
    ~CConsoleProgress() override {
        if (m_bTerminal && m_bShown) {
            Draw(); // the last state, which the throttle may have held
            std::fputs("\n", stderr);
        }
    }
    void SetProgressRange(int lower, int upper) override {
        m_nLower = lower;
        m_nUpper = upper;
    }
    void SetProgressStep(int step) override { m_nStep = step; }
    int SetProgressPos(int pos) override {
        const int previous = m_nPos;
        m_nPos = pos;
        Show();
        return previous;
    }
    int StepProgress() override {
        const int previous = m_nPos;
        m_nPos += m_nStep;
        Show();
        return previous;
    }
    int TakeCancelRequest() override { return CConsoleRunHost::Interrupted() ? 1 : 0; }
    void PumpPendingMessages() override {}
    // No window to keep painted: the call runs on this thread.
    int RunBlockingCall(const std::function<int()>& call) override { return call(); }
    void ShowTransfer(const CTransferState& state) override {
        m_strBytes = TransferBytesText(state.nBytesDone, state.nBytesTotal);
        Show();
    }

private:
    // A terminal line redrawn for every file would cost more than the copy.
    void Show() {
        if (m_bTerminal && m_throttle.Due())
            Draw();
    }
    void Draw() {
        const long long span = m_nUpper - m_nLower;
        const long long percent = span > 0 ? (m_nPos - m_nLower) * 100LL / span : 0;
        std::fprintf(stderr, "\r%s %d/%d %s%s%lld%%\x1b[K", m_strCaption.c_str(), m_nPos - m_nLower,
                     m_nUpper - m_nLower, m_strBytes.c_str(), m_strBytes.empty() ? "" : " ",
                     percent);
        std::fflush(stderr);
        m_bShown = true;
    }
    CUpdateThrottle m_throttle;
    std::string m_strBytes;
    bool m_bTerminal;
    std::string m_strCaption;
    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep = 10;
    int m_nPos = 0;
    bool m_bShown = false;
};

} // namespace

CConsoleRunHost::CConsoleRunHost(bool bQuiet)
    : m_bTerminal(IsStandardErrorTerminal() && !bQuiet), m_bQuiet(bQuiet) {
    InstallInterruptHandler();
}

bool CConsoleRunHost::Interrupted() {
    return InterruptCount() > 0;
}

void CConsoleRunHost::ShowBusy(bool on, const std::string& caption) {
    if (on && !caption.empty() && !m_bQuiet)
        std::fprintf(stderr, "%s\n", caption.c_str());
}

void CConsoleRunHost::PumpEvents() {
    if (Interrupted() && onInterrupt)
        onInterrupt();
}

int CConsoleRunHost::MessageBox(const std::string& text, unsigned style) {
    return CHostServices::Get().MessageBoxes().Show(text, "", style);
}

int CConsoleRunHost::AskOverwrite(const COverwriteTexts& texts) {
    if (!m_bQuiet)
        std::fprintf(stderr, "上書き確認: %s -> %s: いいえ (スキップ)\n", texts.strSrcPath.c_str(),
                     texts.strDstPath.c_str());
    return 2;
}

int CConsoleRunHost::AskCopyConfirm(const CCopyConfirmTexts& texts) {
    if (!m_bQuiet || !texts.bCanStart)
        std::fprintf(stderr, "ｺﾋﾟｰ前の確認: %s\n", texts.strMessage.c_str());
    return texts.bCanStart ? 1 : 2;
}

std::unique_ptr<IProgressDisplay> CConsoleRunHost::CreateProgress(const std::string& caption) {
    return std::make_unique<CConsoleProgress>(m_bTerminal, caption);
}

int CQuietMessageBoxService::Show(const std::string& text, const std::string& caption,
                                  unsigned style) {
    const unsigned icon = style & MB_ICONMASK;
    if (icon == MB_ICONHAND || icon == MB_ICONEXCLAMATION)
        return m_console.Show(text, caption, style);
    return CConsoleMessageBoxService::SafeAnswer(style);
}

void CQuietMessageBoxService::Beep(unsigned style) {
    m_console.Beep(style);
}
