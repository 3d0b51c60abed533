#pragma once
// The response file that tells the archiver what to pack: the command
// letter, the archive path, a base folder and a pattern per copy-list entry,
// and the switch line. Lines end in CR LF; text is CP932.

#include <ctime>
#include <optional>
#include <string>
#include <vector>

class CCopySetting;

// The response file's text (UTF-8) for the setting and the copy-list
// patterns, with the archive named for the time now.
std::string ResponseFileText(const CCopySetting& setting, const std::vector<std::string>& patterns,
                             std::time_t now);
