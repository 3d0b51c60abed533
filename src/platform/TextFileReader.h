#pragma once
// Reading a whole CP932 text file (the run log) as lines of UTF-8.

#include <string>
#include <vector>

// Empties lines, then reads the file at path (a drive-letter path, or an
// absolute host path "/..." as the log file accepts) and appends each line,
// decoded from CP932, without its line end: "\r\n" and "\n" end a line, a
// lone "\r" stays in it. A last line without a line end is kept; a file that
// ends with a line end has no empty line after it; an empty file gives no
// lines. Returns 0, or the error code: ERROR_FILE_NOT_FOUND for a missing
// file, ERROR_PATH_NOT_FOUND for an unmapped drive, ERROR_ACCESS_DENIED for a
// folder, a pipe or device (never waited on) or a file that may not be read. When reading fails
// part way, the complete lines read before the failure stay in lines.
int ReadTextFileLines(const std::string& path, std::vector<std::string>& lines);
