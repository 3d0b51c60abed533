#pragma once
// The narrow interface through which the run logic (collection, copy,
// archive, continuous run) talks to the user. The main window implements
// it on its controls; the headless command line and the tests implement it
// too, so every run can be driven without a display.

#include <string>

class IRunHost {
public:
    virtual ~IRunHost() = default;

    // The one-line status text under the options.
    virtual void SetStatusText(const std::string& text) = 0;
    // The busy animation with its caption; off when on is false.
    virtual void ShowBusy(bool on, const std::string& caption = {}) = 0;
    // Caption of the close button ("閉じる(&X)", or "中断(&X)" during a walk).
    virtual void SetCloseCaption(const std::string& caption) = 0;
    virtual void EnableClose(bool enable) = 0;
    virtual void SetWaitCursor(bool on) = 0;
    // Takes at most one pending event from the queue and dispatches it, so
    // that windows stay painted and the cancel request can arrive.
    virtual void PumpEvents() = 0;
    // A message box owned by the main window (the application's title as
    // caption); style and answer use the Win32 MB_ and ID values.
    virtual int MessageBox(const std::string& text, unsigned style) = 0;
};
