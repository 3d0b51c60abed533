#pragma once
// Tidewell's own help: a Japanese page of the program's resources shown in
// a window of the program. Nothing is fetched from outside; links within
// the page work, links that leave it are ignored.

class QWidget;

// Opens the help window at the start of the page, or, when it is open
// already, raises it and leaves it where the reader was; with a section
// (an anchor of the page, such as "lha") it shows that section. The window
// is modeless, owned by parent, and deletes itself when closed. Asked from
// a modal dialog, the window joins the dialog, so it can be read while the
// dialog waits, and goes back to the dialog's owner when the dialog ends.
void ShowHelp(QWidget* parent, const char* section = nullptr);

// Closes the help window when one is open (the main window's close path);
// harmless otherwise.
void CloseHelp();

// The open help window, or nullptr.
QWidget* HelpWindow();
