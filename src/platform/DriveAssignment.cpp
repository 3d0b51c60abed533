#include "platform/DriveAssignment.h"

#include "platform/AsciiCase.h"
#include "platform/HostServices.h"
#include "platform/IniFile.h"
#include "platform/Profile.h"

#include <QStorageInfo>

#include <algorithm>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char kSection[] = "Drives";

CDriveMap& Map() {
    return CHostServices::Get().DriveMap();
}

std::string UserName() {
    if (const passwd* pw = getpwuid(getuid()))
        return pw->pw_name;
    const char* user = std::getenv("USER");
    return user ? user : "";
}

bool IsHostFolder(const std::string& path) {
    struct stat st {};
    return !path.empty() && path.front() == '/' && stat(path.c_str(), &st) == 0 &&
           S_ISDIR(st.st_mode);
}

} // namespace

std::vector<CDriveMapping> CurrentDriveMappings() {
    std::vector<CDriveMapping> list;
    for (char letter : Map().Letters())
        list.push_back({letter, Map().HostRoot(letter).value_or("")});
    return list;
}

EMappingProblem CheckDriveMapping(const std::vector<CDriveMapping>& list, size_t at,
                                  const CDriveMapping& mapping) {
    if (!IsAsciiLetter(mapping.cLetter))
        return EMappingProblem::BadLetter;
    for (size_t i = 0; i < list.size(); ++i)
        if (i != at && UpperAscii(list[i].cLetter) == UpperAscii(mapping.cLetter))
            return EMappingProblem::LetterTwice;
    return IsHostFolder(mapping.strHostFolder) ? EMappingProblem::None : EMappingProblem::NoFolder;
}

int StoreDriveMappings(const std::vector<CDriveMapping>& list, const std::string& profilePath) {
    const std::vector<std::string> keys = GetProfileKeys(kSection, profilePath);
    const bool fileHasC = std::any_of(
        keys.begin(), keys.end(), [](const std::string& key) { return IniNamesEqual(key, "C"); });
    std::vector<std::pair<std::string, std::string>> values;
    for (const CDriveMapping& mapping : list) {
        if (UpperAscii(mapping.cLetter) == 'C' && mapping.strHostFolder == "/" && !fileHasC)
            continue; // the default needs no line
        values.emplace_back(std::string(1, UpperAscii(mapping.cLetter)), mapping.strHostFolder);
    }
    // Resolved now: the new map may no longer reach the profile the same way.
    const int rc = ReplaceProfileSectionKeys(kSection, values, profilePath);
    Map().Clear();
    Map().Map('C', "/");
    for (const CDriveMapping& mapping : list)
        Map().Map(mapping.cLetter, mapping.strHostFolder);
    return rc;
}

std::string MappingFolderFor(const std::string& hostPath) {
    std::string folder = hostPath;
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        return folder;
    const size_t slash = folder.rfind('/');
    return slash == std::string::npos ? folder : slash == 0 ? "/" : folder.substr(0, slash);
}

std::string HostHomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return home;
    const passwd* pw = getpwuid(getuid());
    return pw && pw->pw_dir && *pw->pw_dir == '/' ? pw->pw_dir : "/";
}

char FreeDriveLetter() {
    const std::string used = Map().Letters();
    for (char letter = 'D'; letter <= 'Z'; ++letter)
        if (used.find(letter) == std::string::npos)
            return letter;
    return '\0';
}

std::vector<std::string> RemovableMediaMounts() {
    const std::string user = UserName();
    std::vector<std::string> mounts;
    if (user.empty())
        return mounts;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const std::string root = volume.rootPath().toStdString();
        for (const std::string& parent : {"/media/" + user + "/", "/run/media/" + user + "/"})
            if (root.size() > parent.size() && root.compare(0, parent.size(), parent) == 0 &&
                root.find('/', parent.size()) == std::string::npos)
                mounts.push_back(root);
    }
    std::sort(mounts.begin(), mounts.end());
    return mounts;
}

std::string AssignRemovableLetters(const std::vector<std::string>& mounts,
                                   const std::string& profilePath) {
    std::vector<std::pair<std::string, std::string>> values;
    std::string given;
    for (const std::string& mount : mounts) {
        const std::vector<CDriveMapping> now = CurrentDriveMappings();
        if (std::any_of(now.begin(), now.end(),
                        [&](const CDriveMapping& m) { return m.strHostFolder == mount; }))
            continue;
        const char letter = FreeDriveLetter();
        if (!letter)
            break;
        if (!Map().Map(letter, mount))
            continue;
        given += letter;
        values.emplace_back(std::string(1, letter), *Map().HostRoot(letter));
    }
    if (!values.empty())
        WriteProfileSection(kSection, values, profilePath);
    return given;
}
