#pragma once
// A run host for tests: records what a run shows, answers from queues, cancels at a chosen step.

#include "copyjob/RunHost.h"

#include <deque>
#include <functional>
#include <string>
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
    int MessageBox(const std::string& text, unsigned style) override; // to the host's service
    int AskOverwrite(const COverwriteTexts& texts) override;
    int AskCopyConfirm(const CCopyConfirmTexts& texts) override;
    std::unique_ptr<IProgressDisplay> CreateProgress(const std::string& caption) override;

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
    // The status line and the file being copied when each overwrite
    // question came.
    std::vector<std::string> questionStatus;
    std::vector<std::string> questionFile;
};
