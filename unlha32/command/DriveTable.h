#pragma once
// Drive letters for the archiver: the same rule as the program's drive map.
// Section "Drives" of "Tidewell.Ini" beside the library maps a letter to an
// absolute host folder; C is "/" unless the section maps C elsewhere.

#include <map>
#include <optional>
#include <string>

namespace unlha {

class CDriveTable {
public:
    CDriveTable(); // C mapped to "/"

    // Reads section "Drives" (names compared without case; CR LF or LF
    // lines; blanks around names and values ignored). A missing file keeps
    // the default; values that are not absolute host folders are ignored.
    void LoadFromProfile(const std::string& hostIniPath);

    // Host path of "X:\a\b" (either case), "\" turned into "/". A path that
    // already is an absolute host path ("/...") is returned as it is.
    // nullopt for a relative path or an unmapped letter.
    std::optional<std::string> ToHost(const std::string& path) const;

private:
    std::map<char, std::string> m_roots; // capital letter -> folder without trailing "/"
};

// Folder of the file that holds this code (the library), with a trailing
// "/", or empty when it cannot be found.
std::string LibraryFolder();

} // namespace unlha
