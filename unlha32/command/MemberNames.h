#pragma once
// How a file's path becomes a member's names and how files find their
// members again. A name is written so that this library's own reader gives
// back exactly the same path, or it is not written at all; members are found
// by their exact path first, then without regard to letter case.

#include "lzh/LzhHeader.h"

#include <string>
#include <vector>

namespace unlha {

// Stored names (UTF-8 path, "/" between folders): CP932 with code page 932
// recorded when a byte is not ASCII, or, when a character has no CP932 form
// or its CP932 form reads back as another character (U+301C and U+FF5E share
// one code), the UTF-8 bytes of every name of the member with code page 65001.
void EncodeMemberNames(const std::string& stored, bool folder, CMemberInfo& info);

// True when the names EncodeMemberNames writes read back as exactly stored.
// False for names the reader takes apart or refuses: a "\" (a folder
// separator to every reader), a drive letter ("c:name"), "..".
bool IsStorableName(const std::string& stored, bool folder);

// Case-blind key of a stored path (ASCII letters folded, as Windows file
// names compare).
std::string PathKey(const std::string& stored);

// For each item path, the index of the member it updates, or -1 for a new
// member: the first member with exactly that path; else the first member
// whose path differs only in letter case and that neither another item nor
// an earlier match has claimed. So files whose names differ only in case
// keep members of their own, and a file renamed in case alone still
// replaces its member.
std::vector<int> MatchMembers(const std::vector<std::string>& memberPaths,
                              const std::vector<std::string>& itemPaths);

} // namespace unlha
