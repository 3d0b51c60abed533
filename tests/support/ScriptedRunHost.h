#pragma once
// A run host for tests: records what a run shows, answers from queues, cancels at a chosen step.

#include "copyjob/RunHost.h"
#include "platform/HostServices.h"

#include <QTest>

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class CScriptedRunHost : public IRunHost {
public:
    void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void ShowBusy(bool on, const std::string& caption = {}) override {
        busyCaptions.push_back(on ? caption : std::string());
    }
    void SetCloseCaption(const std::string& caption) override { closeCaption = caption; }
    void EnableClose(bool enable) override { closeEnabled = enable; }
    void SetWaitCursor(bool) override {}
    void Redraw() override {}
    void PumpEvents() override {
        if (onPump)
            onPump(++pumps);
    }
    int MessageBox(const std::string& text, unsigned style) override { // to the host's service
        return CHostServices::Get().MessageBoxes().Show(text, "", style);
    }
    int AskOverwrite(const COverwriteTexts&) override {
        ++overwriteQuestions;
        questionStatus.push_back(statusTexts.empty() ? std::string() : statusTexts.back());
        questionFile.push_back(transfer.strCurrentFile);
        if (overwriteAnswers.empty())
            QTest::qFail("unexpected overwrite question", __FILE__, __LINE__);
        return TakeAnswer(overwriteAnswers, 2);
    }
    int AskCopyConfirm(const CCopyConfirmTexts&) override {
        ++confirmQuestions;
        return TakeAnswer(confirmAnswers, 1); // "start" unless a test says otherwise
    }
    std::unique_ptr<IProgressDisplay> CreateProgress(const std::string&) override;

    std::function<void(int)> onPump;      // with the 1-based pump count
    std::function<void()> onBlockingCall; // before a progress window's blocking call
    std::deque<int> overwriteAnswers;     // an empty queue fails the test
    std::deque<int> confirmAnswers;       // an empty queue starts
    int cancelAtStep = 0;                 // progress step (1-based) that presses Cancel

    std::vector<std::string> statusTexts;
    std::vector<std::string> busyCaptions; // "" for off
    std::string closeCaption;
    bool closeEnabled = true;
    int pumps = 0;
    int overwriteQuestions = 0;
    int confirmQuestions = 0;
    int progressOpen = 0;    // progress windows that exist now
    CTransferState transfer; // the last one a progress window was shown
    // The status line and the file being copied when each overwrite question came.
    std::vector<std::string> questionStatus;
    std::vector<std::string> questionFile;

private:
    static int TakeAnswer(std::deque<int>& answers, int fallback) {
        const int answer = answers.empty() ? fallback : answers.front();
        if (!answers.empty())
            answers.pop_front();
        return answer;
    }
};

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

inline std::unique_ptr<IProgressDisplay> CScriptedRunHost::CreateProgress(const std::string&) {
    return std::make_unique<CScriptedProgress>(*this);
}
