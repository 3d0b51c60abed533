#include "platform/ConsoleMessageBox.h"

#include <iostream>
#include <unistd.h>

const char* const kAppTitle = "Tidewell";

CConsoleMessageBoxService::CConsoleMessageBoxService(std::ostream* out)
    : m_pOut(out ? out : &std::cerr) {}

int CConsoleMessageBoxService::SafeAnswer(unsigned style) {
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
    case MB_RETRYCANCEL:
    case MB_YESNOCANCEL:
        return IDCANCEL;
    case MB_YESNO:
        return IDNO;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    default: // MB_OK and button sets this program never uses
        return IDOK;
    }
}

const char* CConsoleMessageBoxService::AnswerName(int answer) {
    switch (answer) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "Abort";
    case IDRETRY:
        return "Retry";
    case IDIGNORE:
        return "Ignore";
    case IDYES:
        return "Yes";
    case IDNO:
        return "No";
    default:
        return "?";
    }
}

int CConsoleMessageBoxService::Show(const std::string& text, const std::string& caption,
                                    unsigned style) {
    int answer = SafeAnswer(style);
    *m_pOut << (caption.empty() ? kAppTitle : caption) << ": " << text << '\n'
            << "-> " << AnswerName(answer) << std::endl;
    return answer;
}

void CConsoleMessageBoxService::Beep(unsigned) {
    // A bell in a captured log is noise; only a person at a terminal hears it.
    if (m_pOut == &std::cerr && isatty(STDERR_FILENO))
        std::cerr << '\a' << std::flush;
}
