#pragma once
// What the headless command line needs of its terminal: whether standard
// error is one (for the in-place progress line) and Ctrl+C as a request.

// True when standard error is a terminal.
bool IsStandardErrorTerminal();

// Turns the first SIGINT/SIGTERM/SIGHUP into a counted request (the running loop
// reads it as a cancel); a second one ends the process at once.
void InstallInterruptHandler();

// Interrupts received since InstallInterruptHandler.
int InterruptCount();
