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

    // Reads section "Drives" of the profile file at hostIniPath; a missing
    // file or section keeps the default. Values that are not absolute host
    // paths are ignored.
    void LoadFromProfile(const std::string& hostIniPath);

    void Map(char letter, const std::string& hostFolder);
    void Clear(); // no letter mapped at all (not even C)

    // Host folder of a drive letter (either case), or nullopt when unmapped.
    std::optional<std::string> HostRoot(char letter) const;

    // Host path of a drive-letter path ("D:\a\b" -> "/srv/d/a/b"); nullopt
    // when the path has no mapped drive letter. Separators become "/".
    std::optional<std::string> ToHost(const std::string& drivePath) const;

    // Drive-letter path of a host path: the mapping with the longest host
    // folder that holds it; nullopt when no mapping holds it.
    std::optional<std::string> FromHost(const std::string& hostPath) const;

    // Mapped letters, in capitals, in alphabetical order.
    std::string Letters() const;

private:
    std::map<char, std::string> m_roots; // letter in capitals -> host folder without trailing "/"
};
