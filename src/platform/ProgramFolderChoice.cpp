#include "platform/ProgramFolderChoice.h"

#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string WithSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string Absolute(const std::string& folder) {
    if (!folder.empty() && folder.front() == '/')
        return folder;
    char cwd[PATH_MAX];
    return getcwd(cwd, sizeof cwd) ? WithSlash(cwd) + folder : folder;
}

bool InGroup(gid_t group) {
    if (group == getegid())
        return true;
    const int count = getgroups(0, nullptr);
    std::vector<gid_t> groups(count > 0 ? static_cast<size_t>(count) : 0);
    if (count > 0 && getgroups(count, groups.data()) == count)
        for (gid_t member : groups)
            if (member == group)
                return true;
    return false;
}

// The folders of a system-wide install belong to root, whose owner bit says
// "writable": the program there must not keep a user's files beside itself.
bool IsSystemFolder(const std::string& folder) {
    return folder.rfind("/usr/", 0) == 0 || folder == "/bin/" || folder == "/sbin/";
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home == '/')
        return home;
    const passwd* entry = getpwuid(getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "/";
}

// $XDG_CONFIG_HOME/tidewell (a relative value is ignored, as the base
// directory rules say), made with its missing parents, all private.
CProgramFolderChoice UserConfigFolder() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const std::string base =
        configHome && *configHome == '/' ? configHome : HomeFolder() + "/.config";
    const std::string folder = WithSlash(base) + "tidewell/";
    for (size_t slash = 1; (slash = folder.find('/', slash)) != std::string::npos; ++slash) {
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return {{},
                    "設定ﾌｫﾙﾀﾞ " + folder + " を作成できません．" +
                        GetSystemErrorText(ErrorFromErrno(errno))};
    }
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return {{}, "設定ﾌｫﾙﾀﾞ " + folder + " はﾌｫﾙﾀﾞではありません．"};
    return {folder, {}};
}

CProgramFolderChoice NamedFolder(const std::string& named) {
    const std::string folder = WithSlash(Absolute(named));
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return {{}, "指定されたﾌｫﾙﾀﾞがありません： " + named};
    return {folder, {}};
}

} // namespace

bool IsFolderWritableByUser(const std::string& hostFolder) {
    struct stat st {};
    if (stat(hostFolder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        access(hostFolder.c_str(), W_OK) != 0) // a read-only mount refuses even root
        return false;
    const mode_t bit = st.st_uid == geteuid() ? S_IWUSR : InGroup(st.st_gid) ? S_IWGRP : S_IWOTH;
    return (st.st_mode & bit) != 0;
}

CProgramFolderChoice ChooseProgramFolder(const std::string& explicitFolder) {
    if (!explicitFolder.empty())
        return NamedFolder(explicitFolder);
    if (const char* fromEnvironment = std::getenv("TIDEWELL_FOLDER");
        fromEnvironment && *fromEnvironment)
        return NamedFolder(fromEnvironment);
    const std::string beside = HostExecutableFolder();
    if (!IsSystemFolder(beside) && IsFolderWritableByUser(beside))
        return {beside, {}};
    return UserConfigFolder();
}
