#pragma once
// The headless command line, for scheduled runs and scripts:
//   tidewell --run NAME     runs the settings file NAME.def of the program folder
//   tidewell --continuous N runs continuous execution set N (0 to 4)
//   tidewell --list         the settings, one a line
//   tidewell --show NAME    the values of a setting as the window shows them
//   tidewell --help | --version
//   --quiet (anywhere)      nothing but errors on standard error
// Exit status: 0 when the run ended with end code 0 (or found every matching
// file of the source up to date; a continuous run: every step of the set ran
// and ended with 0), 1 for any other end code, a source without any matching
// file, a refused run or a set with nothing to run, 2 for bad arguments.

#include <string>
#include <vector>

// True when the arguments ask for the command line rather than the window
// (a first argument starting with "--", or "-h").
bool WantsCommandLine(const std::vector<std::string>& args);

// Runs the command line; returns the exit status.
int RunCommandLine(const std::vector<std::string>& args);
