#pragma once
// Lines of the run log as the viewer shows them.

#include <string>

// The text of a log line as it was meant: each "&#xHHHH;" (four to six
// hexadecimal digits, either case) that the log writer put for a character
// CP932 cannot hold becomes that character again, "&#x0026;" an "&".
// References that name no character (0, surrogates such as the "&#xDCHH;"
// of a stray byte, values past U+10FFFF), control characters (the log
// writes a CR or LF of a file name so) and malformed ones stay as written.
std::string DecodeLogReferences(const std::string& line);
