#pragma once
// Writes one file or folder as a member of the new archive: level-2 header,
// then the data compressed with -lh5-/-lh6-/-lh7-, or stored (-lh0-) when
// compression does not pay.

#include "command/FileCollector.h"
#include "command/HostFile.h"
#include "command/Report.h"
#include "lzh/LzhEncoder.h"
#include "lzh/LzhHeader.h"

#include <string>

namespace unlha {

struct CWrittenMember {
    std::string strMethod;
    uint64_t nOriginal = 0;
    uint64_t nPacked = 0;
};

// Appends the member for item at the writer's position, compressed by
// encoder (one for all the members of an archive). Returns 0,
// RESULT_FILE_OPEN when the file cannot be read, RESULT_PATH_TOO_LONG when
// the header would be too long, RESULT_ARCHIVE_OPEN on a write error.
int WriteMember(CArchiveWriter& out, const CCollectedItem& item, CLzhEncoder& encoder,
                CFolderHandle& folder, CWrittenMember& written, CReport& report);

} // namespace unlha
