#pragma once
// The run host of the headless command line: no window, messages on
// standard error, the safe answer to every question, and a one-line
// progress display when standard error is a terminal.

#include "copyjob/RunHost.h"
#include "platform/ConsoleMessageBox.h"

#include <functional>

class CConsoleRunHost : public IRunHost {
public:
    // Quiet: only what goes wrong reaches standard error (no busy captions,
    // progress, skipped overwrites or a confirmation that proceeds).
    explicit CConsoleRunHost(bool bQuiet = false);

    void SetStatusText(const std::string&) override {}
    // A busy caption (clearing, waiting for the log) goes to standard error.
    void ShowBusy(bool on, const std::string& caption = {}) override;
    void SetCloseCaption(const std::string&) override {}
    void EnableClose(bool) override {}
    void SetWaitCursor(bool) override {}
    void Redraw() override {}
    // Delivers an interrupt (Ctrl+C) as the cancel request.
    void PumpEvents() override;
    int MessageBox(const std::string& text, unsigned style) override;
    // Answers No: the file is skipped, never overwritten unasked.
    int AskOverwrite(const COverwriteTexts& texts) override;
    // Proceeds unless the destination lacks room, as a continuous run does.
    int AskCopyConfirm(const CCopyConfirmTexts& texts) override;
    std::unique_ptr<IProgressDisplay> CreateProgress(const std::string& caption) override;

    // Called when an interrupt arrived since the last pump.
    std::function<void()> onInterrupt;

    // True once the first interrupt arrived; a second one ends the process.
    static bool Interrupted();

private:
    bool m_bTerminal;
    bool m_bQuiet;
};

// The message boxes of a quiet command line: warnings and errors are
// printed as the console prints them, every other box is answered as it
// would be, without a word.
class CQuietMessageBoxService : public IMessageBoxService {
public:
    int Show(const std::string& text, const std::string& caption, unsigned style) override;
    void Beep(unsigned style) override;

private:
    CConsoleMessageBoxService m_console;
};
