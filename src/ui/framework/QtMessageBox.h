#pragma once
// Message boxes of the window build: Qt message boxes with the icon and the
// buttons of the style, Japanese button texts, and the application's title
// when no caption is given.

#include "platform/MessageBoxService.h"

#include <string>

class CQtMessageBoxService : public IMessageBoxService {
public:
    // Shows a modal box over the active window and returns the ID of the
    // button pressed (IDOK, IDCANCEL, IDYES, ...). Closing a box that has a
    // cancel button answers IDCANCEL; a plain OK box answers IDOK.
    int Show(const std::string& text, const std::string& caption, unsigned style) override;
    // The platform's warning sound (the same for every style here).
    void Beep(unsigned style) override;
};
