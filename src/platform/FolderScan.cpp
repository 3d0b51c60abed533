#include "platform/FolderScan.h"

#include "platform/ErrorCodes.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>

namespace {

bool IsSubfolderEntry(DIR* dir, const dirent* d) {
    if (std::strcmp(d->d_name, ".") == 0 || std::strcmp(d->d_name, "..") == 0 ||
        std::strchr(d->d_name, '\\'))
        return false;
    if (d->d_type == DT_DIR)
        return true;
    if (d->d_type != DT_LNK && d->d_type != DT_UNKNOWN)
        return false;
    struct stat st {};
    return fstatat(dirfd(dir), d->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

// Calls take(dir, entry) for each entry of the folder until it returns false. 0 or error.
int WalkEntries(const std::string& folder, const std::function<bool(DIR*, const dirent*)>& take) {
    const std::string host = HostPathOf(folder);
    if (host.empty())
        return ERROR_PATH_NOT_FOUND;
    DIR* dir = opendir(host.c_str());
    if (!dir)
        return errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno);
    errno = 0;
    while (const dirent* d = readdir(dir)) {
        if (!take(dir, d))
            break;
        errno = 0;
    }
    const int err = errno;
    closedir(dir);
    return err == 0 ? 0 : ErrorFromErrno(err);
}

// Calls take(name) for each subfolder until it returns false. 0 or error.
int WalkSubfolders(const std::string& folder, const std::function<bool(const char*)>& take) {
    return WalkEntries(folder, [&](DIR* dir, const dirent* d) {
        return !IsSubfolderEntry(dir, d) || take(d->d_name);
    });
}

} // namespace

int ListFolderNames(const std::string& folder, std::vector<std::string>& names) {
    std::vector<std::string> found;
    const int rc = WalkSubfolders(folder, [&](const char* name) {
        found.emplace_back(name);
        return true;
    });
    if (rc == 0)
        names.insert(names.end(), found.begin(), found.end());
    return rc;
}

bool HasSubfolder(const std::string& folder) {
    bool found = false;
    WalkSubfolders(folder, [&](const char*) {
        found = true;
        return false;
    });
    return found;
}

bool IsExistingFolder(const std::string& path) {
    const std::string host = HostPathOf(path);
    struct stat st {};
    return !host.empty() && stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int ReadFolderNames(const std::string& folder, CFolderNames& names) {
    names.files.clear();
    names.folders.clear();
    const int rc = WalkEntries(folder, [&](DIR* dir, const dirent* d) {
        const char* name = d->d_name;
        if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0 || std::strchr(name, '\\'))
            return true;
        unsigned char type = d->d_type;
        struct stat st {};
        // Only a link or an entry of unknown type costs a status call.
        if (type == DT_UNKNOWN && fstatat(dirfd(dir), name, &st, AT_SYMLINK_NOFOLLOW) == 0)
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
        if (type == DT_DIR) {
            if (name[0] != '.')
                names.folders.emplace_back(name);
        } else if (type != DT_LNK || fstatat(dirfd(dir), name, &st, 0) != 0 ||
                   !S_ISDIR(st.st_mode)) {
            names.files.emplace_back(name);
        }
        return true;
    });
    if (rc != 0) {
        names.files.clear();
        names.folders.clear();
        return rc;
    }
    std::sort(names.files.begin(), names.files.end());
    std::sort(names.folders.begin(), names.folders.end());
    return 0;
}
