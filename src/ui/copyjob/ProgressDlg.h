#pragma once
// The modeless progress window of a copy or archive run (template 104): a
// caption naming the activity, a bar, a percentage and Cancel. While it exists
// its top-level owner is disabled, so the main window takes no input during
// the run; Cancel (also Escape and the close box) only raises a request that
// the run reads at its next check, and never closes the window. A copy run
// also shows the files and bytes handled and the file being copied.
//
// A run steps it once per file, thousands of times a second: the bar, the
// percentage and the counts are redrawn at most about 30 times a second
// (the last state always follows within that time), and pending events are
// dispatched at most every 15 ms.

#include "copyjob/RunHost.h"
#include "copyjob/UpdateThrottle.h"
#include "platform/EventPump.h"
#include "ui/framework/DialogBase.h"

#include <QPointer>
#include <QTimer>

class CProgressDlg : public CDialogBase, public IProgressDisplay {
    Q_OBJECT

public:
    enum : int { IDD = 104 };
    enum : int {
        IDC_CANCEL = 2,
        IDC_PROGRESS = 1003,
        IDC_PERCENT = 1004,
        IDC_CURRENT_FILE = 1005, // the file being copied, elided in the middle
        IDC_FILE_COUNT = 1006,   // "1,234 / 50,000 ﾌｧｲﾙ"
        IDC_BYTE_COUNT = 1007,   // "12.3 / 456.7 MB"
    };
    // Caption strings.
    enum : int { IDS_PROCESSING = 105, IDS_COPYING = 106, IDS_COMPRESSING = 107 };

    // The window is built hidden with the caption of the string id (0: 105).
    explicit CProgressDlg(int captionId = 0);
    // The same with a caption text of the caller's.
    explicit CProgressDlg(const std::string& caption);
    // Re-enables the owner (RestoreOwner) and hides the window. Must run before
    // the parent given to CreateModeless is destroyed.
    ~CProgressDlg() override;

    // The caption text of a string id; empty for an unknown id.
    static std::string CaptionString(int captionId);

    // Disables the parent's top-level window when it is enabled (remembered
    // for RestoreOwner) and shows the window above the parent. Returns 1.
    int CreateModeless(QWidget* parent);
    // Enables the owner again when CreateModeless disabled it; then forgets it.
    void RestoreOwner();

    // Range of the bar (0 % .. 100 %). Ranges wider than 65,535 positions are
    // scaled onto the bar; the percentage uses the true positions.
    void SetProgressRange(int lower, int upper) override;
    void SetProgressStep(int step) override;
    // Pumps pending events, moves the bar, updates the percentage; returns the
    // previous position.
    int SetProgressPos(int pos) override;
    // Pumps pending events, advances by the step (starting over at the lower
    // end when the upper is passed); returns the previous position.
    int StepProgress() override;
    // Pumps pending events; 1 when Cancel was pressed since the last call.
    int TakeCancelRequest() override;
    // Dispatches the pending events, unless that was done less than 15 ms ago.
    void PumpPendingMessages() override;
    // The counts and the current file, shown from the first call on.
    void ShowTransfer(const CTransferState& state) override;
    // Runs the call on a worker thread while this thread keeps dispatching
    // events (paints, moves); the bar shows that work goes on and Cancel is
    // disabled until the call returns.
    int RunBlockingCall(const std::function<int()>& call) override;
    // Shows the percentage of pos (see PercentText); the text is replaced only
    // when it differs, which avoids flicker.
    void ShowPercent(int pos);

private:
    static const CMessageEntry<CProgressDlg> s_aMessageMap[];
    void BuildLayout();
    // A request during a blocking call would be left over for nobody.
    void OnCancel() { m_bCancel = !m_bBlocking; }
    void ApplyBarRange();
    int BarValue(int pos) const;
    // A change of the shown state: drawn now when due, else held for the timer.
    void UpdateDisplay();
    void DrawState();

    int m_nLower = 0;
    int m_nUpper = 100;
    int m_nStep = 10;
    int m_nPos = 0;
    int m_nPercentPos = 0; // the position the percentage shows
    CTransferState m_transfer;
    bool m_bTransferShown = false;
    bool m_bHeld = false; // a change not drawn yet
    CUpdateThrottle m_throttle;
    QTimer m_heldTimer;
    CEventPump m_pump;
    bool m_bCancel = false;
    bool m_bBlocking = false; // inside RunBlockingCall
    bool m_bOwnerDisabled = false;
    QPointer<QWidget> m_pOwner;
};
