#pragma once
// Commands "a" and "u": the new archive is built in a temporary file beside
// the old one (members kept are copied byte for byte) and renamed over it
// only when everything succeeded. A failed or refused call leaves an
// existing archive untouched and no temporary file behind.

#include "command/CommandLine.h"
#include "command/DriveTable.h"
#include "command/FileCollector.h"
#include "command/Report.h"

#include <cstdint>

namespace unlha {

// The MS-DOS stamp ((date << 16) | time, local time, 2-second steps) of a
// time, as level-0/1 headers hold it; 0 before 1980.
uint32_t DosTimeOf(int64_t unixTime);

// True when the file is strictly newer than the member at the precision of
// the member's header ("u" replaces only such members).
bool IsNewerThanMember(int64_t fileTime, bool memberDosTime, uint32_t memberTime);

// Runs the parsed command. Returns 0 when the archive was written or was
// already up to date, else a result code with its reason in the report.
int RunArchiveCommand(const CCommand& command, const CDriveTable& drives, CReport& report);

} // namespace unlha
