#pragma once
// Message boxes and the warning sound. The window build shows Qt message
// boxes; the command line prints; tests install a scripted responder that
// records every box and returns queued answers.

#include <string>

// Button sets, icons and answers, numbered as on the platform the program's
// message styles come from.
enum : unsigned {
    MB_OK = 0x00,
    MB_OKCANCEL = 0x01,
    MB_ABORTRETRYIGNORE = 0x02,
    MB_YESNOCANCEL = 0x03,
    MB_YESNO = 0x04,
    MB_RETRYCANCEL = 0x05,
    MB_TYPEMASK = 0x0F,
    MB_ICONHAND = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONEXCLAMATION = 0x30,
    MB_ICONASTERISK = 0x40,
    MB_ICONMASK = 0xF0,
    MB_DEFBUTTON2 = 0x100,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    // Shows a modal box; an empty caption means the application's title.
    virtual int Show(const std::string& text, const std::string& caption, unsigned style) = 0;
    // The platform's warning sound for the given icon style.
    virtual void Beep(unsigned style) = 0;
};

// The application's title, the caption of boxes that have none of their own.
extern const char* const kAppTitle;
