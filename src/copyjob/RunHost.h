#pragma once
// The narrow interface through which the run logic (collection, copy,
// archive, continuous run) talks to the user. The main window implements
// it on its controls and dialogs; the headless command line and the tests
// implement it too, so every run can be driven without a display.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct COverwriteTexts;
struct CCopyConfirmTexts;

// Where a copy run stands, beside its bar: files and bytes handled of the
// totals, and the source path of the file being copied (empty when none).
struct CTransferState {
    int64_t nFilesDone = 0;
    int64_t nFilesTotal = 0;
    uint64_t nBytesDone = 0;
    uint64_t nBytesTotal = 0;
    std::string strCurrentFile;
};

// The progress window of a copy or archive run.
class IProgressDisplay {
public:
    virtual ~IProgressDisplay() = default;
    virtual void SetProgressRange(int lower, int upper) = 0;
    virtual void SetProgressStep(int step) = 0;
    virtual int SetProgressPos(int pos) = 0; // returns the previous position
    virtual int StepProgress() = 0;          // returns the previous position
    // 1 when Cancel was pressed since the last call (the request is cleared).
    virtual int TakeCancelRequest() = 0;
    // Keeps windows painted during a long single step (a large file).
    virtual void PumpPendingMessages() = 0;
    // Runs a call that blocks for long without reporting progress (the
    // archiver) and returns its result; what it throws is thrown here. The
    // windows stay painted meanwhile, and Cancel is not offered: nothing
    // can stop such a call.
    virtual int RunBlockingCall(const std::function<int()>& call) = 0;
    // The copy run's counts and current file; a display that shows only the
    // bar ignores them.
    virtual void ShowTransfer(const CTransferState& /*state*/) {}
};

class IRunHost {
public:
    virtual ~IRunHost() = default;

    // The one-line status text of the main window.
    virtual void SetStatusText(const std::string& text) = 0;
    // The busy animation with its caption; off when on is false.
    virtual void ShowBusy(bool on, const std::string& caption = {}) = 0;
    // Caption of the close button ("閉じる(&X)", or "中断(&X)" during a walk).
    virtual void SetCloseCaption(const std::string& caption) = 0;
    virtual void EnableClose(bool enable) = 0;
    virtual void SetWaitCursor(bool on) = 0;
    // Redraws the main window at once.
    virtual void Redraw() = 0;
    // Takes at most one pending event from the queue and dispatches it, so
    // that windows stay painted and the cancel request can arrive.
    virtual void PumpEvents() = 0;
    // A message box owned by the main window (the application's title as
    // caption); style and answer use the MB_ and ID values of
    // platform/MessageBoxService.h.
    virtual int MessageBox(const std::string& text, unsigned style) = 0;

    // The overwrite question: 1 yes, 2 no (also Escape), 3 abort,
    // 1047 copy all.
    virtual int AskOverwrite(const COverwriteTexts& texts) = 0;
    // The confirmation before copying: 1 start, 2 cancel. Only asked when
    // the user must see it (not in a continuous run with enough room).
    virtual int AskCopyConfirm(const CCopyConfirmTexts& texts) = 0;
    // A progress window owned by the main window, which it disables until
    // the returned object is destroyed.
    virtual std::unique_ptr<IProgressDisplay> CreateProgress(const std::string& caption) = 0;
};
