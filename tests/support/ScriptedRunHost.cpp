#include "support/ScriptedRunHost.h"

#include "platform/HostServices.h"

#include <QTest>

#include <utility>

namespace {
// Counts its steps; Cancel is pressed when the host's chosen step is reached.
class CScriptedProgress : public IProgressDisplay {
public:
    explicit CScriptedProgress(CScriptedRunHost& host) : m_host(host) { ++m_host.progressOpen; }
    ~CScriptedProgress() override { --m_host.progressOpen; }
    void SetProgressRange(int, int) override {}
    void SetProgressStep(int step) override { m_step = step; }
    int SetProgressPos(int pos) override { return std::exchange(m_pos, pos); }
    int StepProgress() override {
        m_cancel |= m_host.cancelAtStep != 0 && m_pos + m_step == m_host.cancelAtStep;
        return std::exchange(m_pos, m_pos + m_step);
    }
    int TakeCancelRequest() override { return std::exchange(m_cancel, false) ? 1 : 0; }
    void PumpPendingMessages() override {}
    void ShowTransfer(const CTransferState& state) override { m_host.transfer = state; }
    int RunBlockingCall(const std::function<int()>& call) override {
        if (m_host.onBlockingCall)
            m_host.onBlockingCall();
        return call();
    }

private:
    CScriptedRunHost& m_host;
    int m_step = 10;
    int m_pos = 0;
    bool m_cancel = false;
};

int TakeAnswer(std::deque<int>& answers, int fallback) {
    const int answer = answers.empty() ? fallback : answers.front();
    if (!answers.empty())
        answers.pop_front();
    return answer;
}
} // namespace

int CScriptedRunHost::MessageBox(const std::string& text, unsigned style) {
    return CHostServices::Get().MessageBoxes().Show(text, "", style);
}

int CScriptedRunHost::AskOverwrite(const COverwriteTexts&) {
    ++overwriteQuestions;
    questionStatus.push_back(statusTexts.empty() ? std::string() : statusTexts.back());
    questionFile.push_back(transfer.strCurrentFile);
    if (overwriteAnswers.empty())
        QTest::qFail("unexpected overwrite question", __FILE__, __LINE__);
    return TakeAnswer(overwriteAnswers, 2);
}

int CScriptedRunHost::AskCopyConfirm(const CCopyConfirmTexts&) {
    ++confirmQuestions;
    return TakeAnswer(confirmAnswers, 1); // "start" unless a test says otherwise
}

std::unique_ptr<IProgressDisplay> CScriptedRunHost::CreateProgress(const std::string&) {
    return std::make_unique<CScriptedProgress>(*this);
}
