#pragma once
// The archive's file name: the stored name, or the automatic name that a
// date and time format gives, and the rule that says whether a name can
// become an archive in the destination folder.

#include <cstdint>
#include <ctime>
#include <string>

class CCopySetting;

// The format (strftime conversions such as %Y %m %d %H %M %S) applied to
// the local time now; an empty format gives an empty name.
std::string FormatArchiveName(const std::string& format, std::time_t now);

// The archive's file name: the automatic name (FileHeder applied to the
// local time now) when AutoFileChk is on, else LhaName as stored.
std::string ArchiveFileName(const CCopySetting& setting, std::time_t now);

// The archive's full path: DstDir with a trailing "\" and the file name.
std::string ArchivePath(const CCopySetting& setting, std::time_t now);

enum class EArchiveNameProblem {
    None,
    Empty,       // nothing to name a file with
    Unquotable,  // a '"' or a control character: the response file's line would break
    Separator,   // "\" or "/": the archive would leave the destination folder
    DotName,     // "." or "..": a folder, not a file
    Pattern,     // "*" or "?": a pattern names no one file (the stored default "*.LZH")
    NotShiftJis, // a character the response file (CP932) cannot hold
};

EArchiveNameProblem CheckArchiveName(const std::string& name);
// One sentence that tells the user what is wrong with a name (UTF-8).
std::string ArchiveNameProblemText(EArchiveNameProblem problem);

// The message that refuses the archive name the LHA fields give (the
// automatic name for the time now when autoFileChk is on, else lhaName),
// naming the value to change; empty when the name is usable.
std::string ArchiveNameRefusal(int32_t autoFileChk, const std::string& lhaName,
                               const std::string& fileHeder, std::time_t now);
