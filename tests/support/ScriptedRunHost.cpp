#include "support/ScriptedRunHost.h"

#include "platform/HostServices.h"

#include <QTest>

namespace {

class CScriptedProgress : public IProgressDisplay {
public:
    explicit CScriptedProgress(CScriptedRunHost& host) : m_host(host) { ++m_host.progressOpen; }
    ~CScriptedProgress() override { --m_host.progressOpen; }
    void SetProgressRange(int lower, int upper) override {
        m_lower = lower;
        m_upper = upper;
    }
    void SetProgressStep(int step) override { m_step = step; }
    int SetProgressPos(int pos) override {
        const int previous = m_pos;
        m_pos = pos;
        m_host.lastProgressPos = pos;
        return previous;
    }
    int StepProgress() override {
        const int previous = m_pos;
        m_pos += m_step;
        m_host.lastProgressPos = m_pos;
        if (m_host.cancelAtStep != 0 && m_pos == m_host.cancelAtStep)
            m_cancel = true;
        return previous;
    }
    int TakeCancelRequest() override {
        const bool cancel = m_cancel;
        m_cancel = false;
        return cancel ? 1 : 0;
    }
    void PumpPendingMessages() override {}

private:
    CScriptedRunHost& m_host;
    int m_lower = 0;
    int m_upper = 100;
    int m_step = 10;
    int m_pos = 0;
    bool m_cancel = false;
};

} // namespace

void CScriptedRunHost::SetStatusText(const std::string& text) {
    statusTexts.push_back(text);
}

void CScriptedRunHost::ShowBusy(bool on, const std::string& caption) {
    busy = on;
    busyCaptions.push_back(on ? caption : std::string());
}

void CScriptedRunHost::SetCloseCaption(const std::string& caption) {
    closeCaption = caption;
}

void CScriptedRunHost::EnableClose(bool enable) {
    closeEnabled = enable;
}

void CScriptedRunHost::SetWaitCursor(bool) {}

void CScriptedRunHost::PumpEvents() {
    ++pumps;
    if (onPump)
        onPump(pumps);
}

int CScriptedRunHost::MessageBox(const std::string& text, unsigned style) {
    return CHostServices::Get().MessageBoxes().Show(text, "", style);
}

int CScriptedRunHost::AskOverwrite(const COverwriteTexts&) {
    ++overwriteQuestions;
    if (overwriteAnswers.empty()) {
        QTest::qFail("unexpected overwrite question", __FILE__, __LINE__);
        return 2;
    }
    const int answer = overwriteAnswers.front();
    overwriteAnswers.pop_front();
    return answer;
}

int CScriptedRunHost::AskCopyConfirm(const CCopyConfirmTexts&) {
    ++confirmQuestions;
    if (confirmAnswers.empty())
        return 1; // the confirmation is answered "start" unless a test says otherwise
    const int answer = confirmAnswers.front();
    confirmAnswers.pop_front();
    return answer;
}

std::unique_ptr<IProgressDisplay> CScriptedRunHost::CreateProgress(const std::string& caption) {
    progressCaptions.push_back(caption);
    return std::make_unique<CScriptedProgress>(*this);
}
