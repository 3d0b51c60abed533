#pragma once
// The rule for the name a setting is saved under. The name becomes a file
// name in the program folder (name + ".def"), so it may hold none of the
// characters the save dialog forbids, and it must survive the trip to a
// Linux file name and to the CP932 texts of the profile and the log.

#include <string>

// Why a save name is refused, in the order the checks run.
enum class ESettingNameProblem {
    None,
    NoCp932Form,   // a character CP932 cannot hold, or bytes that are not UTF-8
    ForbiddenChar, // one of the half-width ; : ? , < > * \ | /
    ControlChar,   // NUL or another control character (a profile line would break)
    DotName,       // "." or ".."
    TooLong,       // the file's path or name would exceed the limits
};

// Checks a save name. The empty name is accepted (it saves the file ".def").
// The length limits: the CP932 form of program folder + name + ".def" at
// most 259 bytes, and name + ".def" at most 255 bytes as a host file name.
ESettingNameProblem CheckSettingName(const std::string& name);

// True when CheckSettingName refuses the name. Only whole characters count,
// so a double-byte character whose CP932 trail byte is 0x5C ("表", "ソ")
// never matches the backslash; full-width forms ("？", "／") are allowed.
bool HasForbiddenChar(const std::string& name);

// The warning shown when a typed name holds a forbidden character.
extern const char* const kForbiddenCharWarning;

// The warning for a refused name: kForbiddenCharWarning for a forbidden
// character, a text naming the problem otherwise; empty for None.
std::string SettingNameWarning(ESettingNameProblem problem);

// A name starting with "." is allowed, but its file is hidden: "file
// managers do not show it". The note asks whether to save it so.
bool IsHiddenSettingName(const std::string& name);
std::string HiddenSettingNote(const std::string& name);
