#pragma once
// The archiver's command line: tokens separated by blanks (double quotes
// group a token), or "@path" naming a response file whose lines hold the
// tokens (CP932, or UTF-8 as DecodeResponseText tells; CR LF or LF). Tokens: the command letter,
// the archive path, then base folders (ending in "\") each followed by file patterns relative to
// it, and switches starting with "-" anywhere.

#include "command/DriveTable.h"
#include "command/Report.h"

#include <string>
#include <vector>

namespace unlha {

struct CToken {
    std::string strText;  // CP932 bytes as given, or UTF-8 when bUtf8
    bool bQuoted = false; // any part was in double quotes (never a switch)
    bool bUtf8 = false;   // from a response file, already decoded
};

// Splits text into tokens. A quote may open and close inside a token.
std::vector<CToken> SplitTokens(const std::string& text);

struct CFileSpec {
    std::string strBase;    // drive-letter (or host) folder, UTF-8, ends in "\"
    std::string strPattern; // UTF-8, relative to strBase; may hold folders
};

struct CCommand {
    char cCommand = '\0';   // 'a' or 'u'
    std::string strArchive; // UTF-8, as given
    std::vector<CFileSpec> aSpecs;
    bool bRecurse = false;   // -r1
    bool bKeepPaths = false; // -x1
    int nMethod = 5;         // -lh5 (default), -lh6, -lh7
    int nLevel = 0;          // -l1 (fastest) .. -l9 (smallest); 0: the default level
};

// Parses a command line (CP932), reading response files through their host
// paths. Returns 0, RESULT_RESPONSE_FILE, RESULT_BAD_COMMAND or
// RESULT_NO_ARCHIVE_NAME; the reason goes to the report.
int ParseCommandLine(const std::string& cmdLine, const CDriveTable& drives, CCommand& command,
                     CReport& report);

} // namespace unlha
