#pragma once
// Commands "a" and "u": the new archive is built in a temporary file beside
// the old one (members kept are copied byte for byte) and renamed over it
// only when everything succeeded. A failed or refused call leaves an
// existing archive untouched and no temporary file behind.

#include "command/CommandLine.h"
#include "command/DriveTable.h"
#include "command/FileCollector.h"
#include "command/MemberTime.h"
#include "command/Report.h"

namespace unlha {

// Runs the parsed command. Returns 0 when the archive was written or was
// already up to date, else a result code with its reason in the report.
int RunArchiveCommand(const CCommand& command, const CDriveTable& drives, CReport& report);

} // namespace unlha
