#include "files/FileQueries.h"

#include "files/DriveUtils.h"
#include "files/PathText.h"

int FileExists(const std::string& pattern, CFileEntry* entry) {
    std::vector<CFileEntry> found;
    if (FindEntries(pattern, found) != 0 || found.empty())
        return 0;
    if (found.front().IsFolder())
        return 0;
    if (entry)
        *entry = found.front();
    return 1;
}

int ListFiles(const std::string& pattern, std::vector<std::string>& list) {
    list.clear();
    std::vector<CFileEntry> found;
    FindEntries(pattern, found); // a failed search leaves found empty
    for (const CFileEntry& e : found)
        if (!e.IsFolder())
            list.push_back(e.name);
    return static_cast<int>(list.size());
}

int ListSubfolders(const std::string& folder, std::vector<std::string>& list) {
    std::string pattern = folder;
    AddBackslash(pattern);
    std::vector<CFileEntry> found;
    FindEntries(pattern + "*.*", found);
    const uint32_t skipped =
        FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_TEMPORARY;
    for (const CFileEntry& e : found)
        if (e.IsFolder() && !e.isSymlink && !(e.attributes & skipped))
            list.push_back(e.name);
    return static_cast<int>(list.size());
}

int FolderExists(const std::string& path) {
    std::string copy = path;
    RemoveBackslash(copy);
    CDriveInfo info;
    if (!CheckDrive(copy, info))
        return 0;
    if (copy.size() == 3)
        return 1;
    std::vector<CFileEntry> found;
    if (FindEntries(copy, found) != 0 || found.empty())
        return 0;
    return found.front().IsFolder() ? 1 : 0;
}
