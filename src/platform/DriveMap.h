#pragma once
// Drive letters on a system without them. Paths inside the program keep the
// drive-letter form (D:\Data\); the drive map turns a letter into a host
// folder. It comes from section "Drives" of "Tidewell.Ini" in the program
// folder (key: the letter, value: an absolute host folder). C is "/" unless
// the section maps C elsewhere.

#include <map>
#include <optional>
#include <string>

class CDriveMap {
public:
    CDriveMap(); // C mapped to "/"

    // Starts again from the default (C mapped to "/") and applies section
    // "Drives" of the profile file at hostIniPath: a key of one letter A-Z
    // (either case) maps that letter. A missing file or section keeps the
    // default; other keys, and values that are not absolute host paths
    // (empty, relative), are ignored.
    void LoadFromProfile(const std::string& hostIniPath);

    // Maps a letter (either case) to an absolute host folder, replacing its
    // old mapping; "." and ".." in the folder are resolved as text. False,
    // and nothing changed, for a letter outside A-Z or a folder that is not
    // absolute.
    bool Map(char letter, const std::string& hostFolder);
    void Clear(); // no letter mapped at all (not even C)

    // Host folder of a drive letter (either case), or nullopt when unmapped.
    std::optional<std::string> HostRoot(char letter) const;

    // Host path of a drive-letter path ("D:\a\b" -> "/srv/d/a/b"; "D:" and
    // "D:\" -> "/srv/d"). Both "\" and "/" separate; empty and "."
    // components vanish, ".." goes up one component, and a trailing
    // separator is dropped. nullopt when the drive letter is unmapped, the
    // path is not absolute ("D:a", "\\server\share"), holds a NUL, or its
    // ".." would climb above the drive's root: a drive-letter path never
    // names anything outside its mapped folder.
    std::optional<std::string> ToHost(const std::string& drivePath) const;

    // Drive-letter path of an absolute host path: the mapping with the
    // longest host folder that holds it at a component boundary (the
    // alphabetically first letter on a tie); the root itself gives "D:\".
    // "." and ".." are resolved as text first. nullopt when no mapping
    // holds it, the path is not absolute, or a name in it holds a backslash.
    std::optional<std::string> FromHost(const std::string& hostPath) const;

    // Mapped letters, in capitals, in alphabetical order.
    std::string Letters() const;

private:
    std::map<char, std::string> m_roots; // letter in capitals -> host folder without trailing "/"
};
