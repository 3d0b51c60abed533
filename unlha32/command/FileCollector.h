#pragma once
// Finds the files a command names: each base folder with its pattern,
// optionally through subfolders. Hidden folders (name starting with ".") are
// not entered, as in the program's copy; hidden files are taken. Symbolic
// links to folders are not followed, so a link loop cannot trap the walk.

#include "command/CommandLine.h"
#include "command/DriveTable.h"
#include "command/MemberNames.h"
#include "command/Report.h"

#include <cstdint>
#include <string>
#include <vector>

namespace unlha {

struct CCollectedItem {
    std::string strHostPath;
    std::string strStored; // UTF-8, "/" between folders, no trailing "/"
    bool bFolder = false;
    int64_t nTime = 0; // last write, seconds since 1970 UTC
    uint64_t nSize = 0;
    uint16_t nAttribute = 0; // DOS bits
    uint64_t nDevice = 0;    // with nInode: which file it is
    uint64_t nInode = 0;
};

// True when name matches pattern: "*" any run, "?" one character, ASCII
// letters without regard to case; "*.*" matches every name.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// Appends the items of every file spec of command, each stored path once
// (names that differ in letter case are different files). A folder is
// walked once for all the patterns given for it, in the order of its first
// mention. Returns 0, RESULT_BAD_COMMAND for a pattern that climbs out of
// its base folder, or RESULT_FILE_OPEN for a file that cannot be stored
// (4 GiB or more, a name that is not valid UTF-8, a name that no member can
// hold: see IsStorableName); reasons go to the report.
int CollectFiles(const CCommand& command, const CDriveTable& drives,
                 std::vector<CCollectedItem>& items, CReport& report);

} // namespace unlha
