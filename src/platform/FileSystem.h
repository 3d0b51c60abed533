#pragma once
// File system primitives on drive-letter paths (D:\Data\a.txt). Each path is
// turned into a host path through the drive map; a path whose drive letter
// is not mapped fails with ERROR_PATH_NOT_FOUND (or finds nothing). Results
// are 0 or an error code of platform/ErrorCodes.h.

#include <cstdint>
#include <string>
#include <vector>

// Attribute bits, numbered as the program stores and tests them.
enum : uint32_t {
    FILE_ATTRIBUTE_READONLY = 0x01, // no write permission bit for the owner
    FILE_ATTRIBUTE_HIDDEN = 0x02,   // the name starts with "."
    FILE_ATTRIBUTE_SYSTEM = 0x04,   // never set here
    FILE_ATTRIBUTE_DIRECTORY = 0x10,
    FILE_ATTRIBUTE_ARCHIVE = 0x20,    // set on every file
    FILE_ATTRIBUTE_TEMPORARY = 0x100, // never set here
};

// One directory entry. Times are seconds since 1970-01-01 UTC (64-bit, so
// they survive 2038); writeTimeNs is the sub-second part of the write time.
struct CFileEntry {
    std::string name; // bare name, UTF-8
    uint32_t attributes = 0;
    int64_t creationTime = 0; // the status-change time on this system
    int64_t accessTime = 0;
    int64_t writeTime = 0;
    uint32_t writeTimeNs = 0;
    uint64_t size = 0;      // 0 for folders
    bool isSymlink = false; // entry is a symbolic link (attributes describe its target)

    bool IsFolder() const { return attributes & FILE_ATTRIBUTE_DIRECTORY; }
};

// True when name matches the pattern: "*" any run, "?" one character,
// letters compared without regard to case; "*.*" and "*" match every name,
// names without a dot included.
bool WildcardMatch(const std::string& pattern, const std::string& name);

// Lists the entries of the folder part of pattern whose names match its last
// component ("D:\Data\*.txt"; a name without wildcards finds at most that
// entry). "." and ".." are never listed, nor host names that hold a "\"
// (no drive-letter path can name them). Entries come sorted by name, byte
// order, so every walk is repeatable. Returns 0, or the error code when the
// folder cannot be read (out stays empty).
int FindEntries(const std::string& pattern, std::vector<CFileEntry>& out);

// The entry that the path itself names (no wildcards), following a final
// symbolic link for the attributes but reporting isSymlink. 0 or error code.
int GetEntry(const std::string& path, CFileEntry& entry);

// Creates one folder (parent must exist). 0, ERROR_ALREADY_EXISTS when
// something of that name exists, ERROR_PATH_NOT_FOUND when the parent is
// missing, or another error code. (Named apart from the utility
// CreateFolder of files/, which treats an existing folder as success.)
int MakeFolder(const std::string& path);

// Removes an empty folder, or a symbolic link that names a folder (the link
// only). 0 or error code.
int RemoveFolder(const std::string& path);

// Deletes a file or a symbolic link (never its target). A read-only file
// (no owner write bit) is refused with ERROR_ACCESS_DENIED, as the program's
// users expect from a read-only mark. 0 or error code.
int DeleteFile(const std::string& path);

// The host path a drive-letter path names, or empty when its drive is not
// mapped. Both "\" and "/" separate; "." and ".." are resolved by name and
// never climb above the drive root, so no path escapes its drive's folder.
// No trailing "/" unless the result is "/". For the host layer's
// neighbours (log, archiver) only.
std::string HostPathOf(const std::string& drivePath);

// The canonical host path (symbolic links resolved) of an existing path,
// or empty when it cannot be resolved.
std::string CanonicalHostPath(const std::string& drivePath);
