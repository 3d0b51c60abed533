#pragma once
// A run host for tests: records what a run shows, answers its questions
// from queues, and lets a test raise the cancel request at a chosen point.

#include "copyjob/RunHost.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

class CScriptedRunHost : public IRunHost {
public:
    void SetStatusText(const std::string& text) override { statusTexts.push_back(text); }
    void ShowBusy(bool on, const std::string& caption = {}) override;
    void SetCloseCaption(const std::string& caption) override { closeCaption = caption; }
    void EnableClose(bool enable) override { closeEnabled = enable; }
    void SetWaitCursor(bool) override {}
    void Redraw() override {}
    void PumpEvents() override;
    // Goes to the message-box service of the host layer, where tests queue
    // their answers (CScriptedMessageBox).
    int MessageBox(const std::string& text, unsigned style) override;
    int AskOverwrite(const COverwriteTexts& texts) override;
    int AskCopyConfirm(const CCopyConfirmTexts& texts) override;
    std::unique_ptr<IProgressDisplay> CreateProgress(const std::string& caption) override;

    // Called on every pump with its 1-based count.
    std::function<void(int)> onPump;
    // Called before a progress window's blocking call runs.
    std::function<void()> onBlockingCall;
    // Answers for the overwrite question (an empty queue fails the test)
    // and the confirmation (an empty queue starts).
    std::deque<int> overwriteAnswers;
    std::deque<int> confirmAnswers;
    // The progress window's Cancel is pressed when this step is reached
    // (1-based; 0: never).
    int cancelAtStep = 0;

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
