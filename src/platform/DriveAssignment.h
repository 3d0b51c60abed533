#pragma once
// Which drive letter names which host folder: the mappings as the user
// edits them, kept in section "Drives" of the profile (key: the letter,
// value: the host folder), and the letters removable media get on their
// own the first time they are seen, so that a letter keeps naming the same
// medium in every saved setting.

#include <string>
#include <vector>

struct CDriveMapping {
    char cLetter = 0;          // 'A' to 'Z'
    std::string strHostFolder; // absolute host folder, no trailing "/"
    bool operator==(const CDriveMapping&) const = default;
};

// The drive map's mappings, in letter order.
std::vector<CDriveMapping> CurrentDriveMappings();

enum class EMappingProblem {
    None,
    BadLetter,   // not a letter A-Z
    LetterTwice, // another row of the list holds the letter
    NoFolder,    // not an absolute path of an existing folder
};

// Whether mapping may stand at position at of list (at == list.size():
// as a new row); the row at that position is not counted as another.
EMappingProblem CheckDriveMapping(const std::vector<CDriveMapping>& list, size_t at,
                                  const CDriveMapping& mapping);

// Makes list the drive map and section "Drives" of the profile at
// profilePath (a drive-letter path, resolved before the map changes): keys
// of kept letters stay on their lines, new letters are appended, removed
// ones lose their lines, and the rest of the file stays byte for byte. A
// list without C leaves C at "/", the map's default; C at "/" is written
// only when the section holds a C key already. 0 or the profile's error
// code; the drive map is replaced either way, so the session goes on with
// what the user chose.
int StoreDriveMappings(const std::vector<CDriveMapping>& list, const std::string& profilePath);

// The folder a host path stands for in a folder field: the folder holding
// it when it names an existing file (a file dropped from a file manager),
// else the path itself (a folder yet to be made included); no trailing "/".
std::string MappingFolderFor(const std::string& hostPath);

// The user's home folder ($HOME, else the password entry's), where a folder
// picker starts; "/" when neither is known.
std::string HostHomeFolder();

// The first letter from D to Z that the drive map leaves free, or '\0'.
char FreeDriveLetter();

// Mount points (host paths) of the media the desktop mounted for the user
// running the program: the mounts just below /media/<user> and
// /run/media/<user>, in name order.
std::vector<std::string> RemovableMediaMounts();

// Gives each mount point that no mapping names yet (exactly that folder)
// the next free letter from D upwards, in the drive map and in section
// "Drives" of the profile at profilePath. Returns the letters given, in
// order; "" when every mount had one, or no letter was free.
std::string AssignRemovableLetters(const std::vector<std::string>& mounts,
                                   const std::string& profilePath);
