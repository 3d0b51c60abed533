#pragma once
// The message-box service of a program without windows: each box is printed
// to a stream (standard error by default) as "caption: text" and answered
// with the answer that changes nothing -- OK where OK is all there is,
// Cancel where there is a Cancel, No for Yes/No, Abort for
// Abort/Retry/Ignore -- and the answer is printed after it.

#include "platform/MessageBoxService.h"

#include <iosfwd>

class CConsoleMessageBoxService : public IMessageBoxService {
public:
    // Prints to out (not owned; must outlive the service), std::cerr when null.
    explicit CConsoleMessageBoxService(std::ostream* out = nullptr);

    int Show(const std::string& text, const std::string& caption, unsigned style) override;
    // Rings the terminal bell when the stream is a terminal's standard error.
    void Beep(unsigned style) override;

    // The answer Show gives for a button set (the MB_TYPEMASK bits of style).
    static int SafeAnswer(unsigned style);
    // The button's name as printed ("OK", "Cancel", "No", "Abort", ...).
    static const char* AnswerName(int answer);

private:
    std::ostream* m_pOut;
};
