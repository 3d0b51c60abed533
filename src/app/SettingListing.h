#pragma once
// The command line's look at the settings of the program folder, for
// scripts and for a user checking a machine over ssh: --list and --show.

#include <string>
#include <vector>

class CCopySetting;

// The settings names (file names less ".def") in the order the window's
// list shows them: ASCII letter case ignored, files of equal names in the
// folder's order.
std::vector<std::string> SettingNamesInListOrder();

// The setting as the window shows it, one line each: the name, the three
// fields as "label: value", then every option as "[x] caption" or
// "[ ] caption" in the window's order, with the window's rules applied (the
// clear option unchecks four options; an option the window disables ends
// in " (無効)"). The exclude folders follow their option, indented, and
// with the archive option on the archive settings follow it. Ends with a
// line feed.
std::string SettingShowText(const CCopySetting& setting);
