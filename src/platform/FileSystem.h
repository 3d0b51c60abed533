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

// What an entry is. Only files and folders can be copied; the others are
// named so a run can say why it left them.
enum class EEntryKind : uint8_t {
    File,
    Folder,
    Fifo,
    Socket,
    Device,     // character or block device
    BrokenLink, // a symbolic link whose target does not exist
    LinkLoop,   // a symbolic link that leads back to itself
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
    uint64_t size = 0;                  // 0 for folders
    bool isSymlink = false;             // entry is a symbolic link (attributes describe its target)
    EEntryKind kind = EEntryKind::File; // of the target for a link that leads somewhere
    uint64_t device = 0;                // file system and number of the target, which
    uint64_t inode = 0;                 // tell a mount point and a folder seen twice

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
// folder cannot be read (out stays empty). With unnamable, the names the
// listing left out for their "\" are handed there, so a caller can say so.
int FindEntries(const std::string& pattern, std::vector<CFileEntry>& out,
                std::vector<std::string>* unnamable = nullptr);

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

// The identity of a folder on this system: a bind mount, a second drive
// letter or a link show the same folder under another path, and only this
// tells them apart.
struct CFolderId {
    uint64_t device = 0;
    uint64_t inode = 0;
    bool operator==(const CFolderId&) const = default;
};

// The identities of the folder that path names (a drive-letter path, or an
// absolute host path "/..."; a final link is followed) and of each folder
// above it, nearest first, up to the host's root: the way ".." leads, so a
// bind mount leads up through the place where it is mounted. 0, or the
// error code when the path is no folder (chain stays empty).
int GetFolderChain(const std::string& path, std::vector<CFolderId>& chain);

// True when the folder is the root of a mount (of another file system, or a
// bind mount of this one): the kernel says so where it can, the mount table
// otherwise.
bool IsMountRoot(const std::string& drivePath);

// False when the host path of a drive-letter path is too long for the
// system to open it.
bool FitsHostPathLimit(const std::string& drivePath);
// The same for the entry name (no separators) of the folder whose host
// path HostPathOf gave, without resolving the whole path again.
bool FitsHostPathLimit(const std::string& hostFolder, const std::string& name);
