#include "platform/FileSystem.h"

#include "platform/AsciiCase.h"

#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"
#include "platform/Volume.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <linux/stat.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Byte length of the UTF-8 character that starts with byte c (1 for a stray
// continuation or invalid byte, so every walk moves on).
size_t CharLength(unsigned char c) {
    if (c >= 0xF0 && c <= 0xF7)
        return 4;
    if (c >= 0xE0)
        return c <= 0xEF ? 3 : 1;
    if (c >= 0xC2)
        return 2;
    return 1;
}

// Splits a text into its UTF-8 characters, so "?" takes one whole character.
std::vector<std::string_view> Characters(const std::string& text) {
    std::vector<std::string_view> chars;
    for (size_t i = 0; i < text.size();) {
        size_t n = std::min(CharLength(static_cast<unsigned char>(text[i])), text.size() - i);
        chars.emplace_back(text.data() + i, n);
        i += n;
    }
    return chars;
}

bool SameChar(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    if (a.size() == 1)
        return UpperAscii(a[0]) == UpperAscii(b[0]);
    return a == b;
}

bool MatchChars(const std::vector<std::string_view>& pat,
                const std::vector<std::string_view>& name) {
    // Greedy match with one backtrack point per "*": linear in practice.
    size_t p = 0, n = 0, starP = SIZE_MAX, starN = 0;
    while (n < name.size()) {
        if (p < pat.size() && pat[p] == "*") {
            starP = p++;
            starN = n;
        } else if (p < pat.size() && (pat[p] == "?" || SameChar(pat[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP != SIZE_MAX) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pat.size() && pat[p] == "*")
        ++p;
    return p == pat.size();
}

bool HasWildcard(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

// Drive-letter path -> host path (see HostPathOf), or empty.
std::string ToHostPath(const std::string& drivePath) {
    if (drivePath.size() < 2 || drivePath[1] != ':')
        return {};
    std::vector<std::string> parts;
    size_t i = 2;
    while (i <= drivePath.size()) {
        size_t end = i;
        while (end < drivePath.size() && !IsSeparator(drivePath[end]))
            ++end;
        std::string part = drivePath.substr(i, end - i);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        i = end + 1;
    }
    std::string normal = drivePath.substr(0, 2) + "\\";
    for (size_t k = 0; k < parts.size(); ++k)
        normal += (k ? "\\" : "") + parts[k];
    std::optional<std::string> host = CHostServices::Get().DriveMap().ToHost(normal);
    if (!host || host->empty())
        return {};
    std::string out = *host;
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

std::string ParentOf(const std::string& hostPath) {
    size_t slash = hostPath.find_last_of('/');
    if (slash == std::string::npos)
        return {};
    return slash == 0 ? "/" : hostPath.substr(0, slash);
}

// ENOENT means "file not found" only when the folder that should hold it
// exists; otherwise the path itself is missing.
int MissingError(const std::string& hostPath) {
    struct stat st {};
    std::string parent = ParentOf(hostPath);
    if (!parent.empty() && stat(parent.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
        return ERROR_FILE_NOT_FOUND;
    return ERROR_PATH_NOT_FOUND;
}

int ErrorAt(const std::string& hostPath, int err) {
    if (err == ENOENT)
        return MissingError(hostPath);
    return ErrorFromErrno(err);
}

EEntryKind KindOf(mode_t mode) {
    if (S_ISDIR(mode))
        return EEntryKind::Folder;
    if (S_ISFIFO(mode))
        return EEntryKind::Fifo;
    if (S_ISSOCK(mode))
        return EEntryKind::Socket;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return EEntryKind::Device;
    return EEntryKind::File;
}

// Fills entry from the lstat (and, for a link, stat) results of an entry.
void FillEntry(const std::string& name, const struct stat& link, const struct stat& st,
               CFileEntry& entry) {
    entry.isSymlink = S_ISLNK(link.st_mode);
    entry.kind = KindOf(st.st_mode);
    entry.device = static_cast<uint64_t>(st.st_dev);
    entry.inode = static_cast<uint64_t>(st.st_ino);
    entry.name = name;
    entry.attributes = 0;
    if (S_ISDIR(st.st_mode))
        entry.attributes |= FILE_ATTRIBUTE_DIRECTORY;
    else
        entry.attributes |= FILE_ATTRIBUTE_ARCHIVE;
    if (!(st.st_mode & S_IWUSR))
        entry.attributes |= FILE_ATTRIBUTE_READONLY;
    if (!name.empty() && name[0] == '.')
        entry.attributes |= FILE_ATTRIBUTE_HIDDEN;
    entry.creationTime = st.st_ctim.tv_sec;
    entry.accessTime = st.st_atim.tv_sec;
    entry.writeTime = st.st_mtim.tv_sec;
    entry.writeTimeNs = static_cast<uint32_t>(st.st_mtim.tv_nsec);
    entry.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
}

// Fills entry for the name inside the folder open as dirFd (AT_FDCWD with
// an absolute path works too); false when the entry has vanished. Looking
// up relative to the open folder saves resolving the whole path per entry.
bool StatEntryAt(int dirFd, const char* path, const std::string& name, CFileEntry& entry) {
    struct stat link {};
    if (fstatat(dirFd, path, &link, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    struct stat st = link;
    int linkError = 0;
    if (S_ISLNK(link.st_mode) && fstatat(dirFd, path, &st, 0) != 0) {
        linkError = errno;
        st = link; // a dangling link is reported as what it is: a small file
    }
    FillEntry(name, link, st, entry);
    if (linkError != 0)
        entry.kind = linkError == ELOOP ? EEntryKind::LinkLoop : EEntryKind::BrokenLink;
    return true;
}

// Fills entry from the host path; false when the path has vanished.
bool StatEntry(const std::string& hostPath, const std::string& name, CFileEntry& entry) {
    return StatEntryAt(AT_FDCWD, hostPath.c_str(), name, entry);
}

std::string JoinHost(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

// Reads the names of a host folder ("." and ".." left out). 0 or error.
// With keepOpen, the open folder is handed over for look-ups by name (the
// caller closes it); otherwise it is closed here.
int ReadNames(const std::string& hostFolder, std::vector<std::string>& names,
              DIR** keepOpen = nullptr, std::vector<std::string>* unnamable = nullptr) {
    DIR* dir = opendir(hostFolder.c_str());
    if (!dir) {
        int err = errno;
        return err == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(err);
    }
    errno = 0;
    while (dirent* d = readdir(dir)) {
        std::string name = d->d_name;
        // A host name holding a backslash cannot be named by a drive-letter
        // path: it would address another entry, even one above the folder.
        const bool dots = name == "." || name == "..";
        if (!dots && name.find('\\') == std::string::npos)
            names.push_back(std::move(name));
        else if (!dots && unnamable)
            unnamable->push_back(std::move(name));
        errno = 0;
    }
    int err = errno;
    if (err != 0) {
        closedir(dir);
        names.clear();
        return ErrorFromErrno(err);
    }
    if (keepOpen)
        *keepOpen = dir;
    else
        closedir(dir);
    return 0;
}

} // namespace

bool WildcardMatch(const std::string& pattern, const std::string& name) {
    if (pattern == "*" || pattern == "*.*")
        return true;
    std::vector<std::string_view> pat = Characters(pattern);
    std::vector<std::string_view> chars = Characters(name);
    if (MatchChars(pat, chars))
        return true;
    // A final ".*" also matches a name without an extension ("a*.*" finds
    // "abc"), as the program's users expect from their file searches.
    if (pat.size() >= 2 && pat[pat.size() - 2] == "." && pat.back() == "*") {
        pat.resize(pat.size() - 2);
        return name.find('.') == std::string::npos && MatchChars(pat, chars);
    }
    return false;
}

int FindEntries(const std::string& pattern, std::vector<CFileEntry>& out,
                std::vector<std::string>* unnamable) {
    out.clear();
    size_t cut = pattern.find_last_of("\\/");
    if (cut == std::string::npos)
        return ERROR_PATH_NOT_FOUND;
    std::string folder = ToHostPath(pattern.substr(0, cut + 1));
    std::string last = pattern.substr(cut + 1);
    if (folder.empty())
        return ERROR_PATH_NOT_FOUND;
    if (last.empty() || last == "." || last == "..")
        return ERROR_FILE_NOT_FOUND;

    std::vector<std::string> names;
    if (!HasWildcard(last)) {
        CFileEntry entry;
        if (StatEntry(JoinHost(folder, last), last, entry)) {
            out.push_back(std::move(entry));
            return 0;
        }
    }
    DIR* dir = nullptr;
    if (int rc = ReadNames(folder, names, &dir, unnamable))
        return rc;
    std::sort(names.begin(), names.end());
    const int dirFd = dirfd(dir);
    for (const std::string& name : names) {
        if (!WildcardMatch(last, name))
            continue;
        CFileEntry entry;
        if (StatEntryAt(dirFd, name.c_str(), name, entry)) // vanished: skip
            out.push_back(std::move(entry));
        if (!HasWildcard(last) && !out.empty())
            break; // a plain name finds at most one entry
    }
    closedir(dir);
    return 0;
}

int GetEntry(const std::string& path, CFileEntry& entry) {
    std::string host = ToHostPath(path);
    if (host.empty())
        return ERROR_PATH_NOT_FOUND;
    size_t cut = path.find_last_of("\\/");
    std::string name = cut == std::string::npos ? std::string() : path.substr(cut + 1);
    if (!StatEntry(host, name, entry))
        return ErrorAt(host, errno);
    return 0;
}

int MakeFolder(const std::string& path) {
    std::string host = ToHostPath(path);
    if (host.empty())
        return ERROR_PATH_NOT_FOUND;
    if (mkdir(host.c_str(), 0777) != 0)
        return errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno);
    return 0;
}

int RemoveFolder(const std::string& path) {
    std::string host = ToHostPath(path);
    if (host.empty())
        return ERROR_PATH_NOT_FOUND;
    struct stat link {};
    if (lstat(host.c_str(), &link) != 0)
        return ErrorAt(host, errno);
    if (S_ISLNK(link.st_mode)) {
        struct stat target {};
        if (stat(host.c_str(), &target) != 0 || !S_ISDIR(target.st_mode))
            return ERROR_DIRECTORY;
        return unlink(host.c_str()) == 0 ? 0 : ErrorFromErrno(errno);
    }
    if (!S_ISDIR(link.st_mode))
        return ERROR_DIRECTORY;
    if (rmdir(host.c_str()) != 0)
        return errno == EEXIST ? ERROR_DIR_NOT_EMPTY : ErrorAt(host, errno);
    return 0;
}

int DeleteFile(const std::string& path) {
    std::string host = ToHostPath(path);
    if (host.empty())
        return ERROR_PATH_NOT_FOUND;
    struct stat link {};
    if (lstat(host.c_str(), &link) != 0)
        return ErrorAt(host, errno);
    if (S_ISDIR(link.st_mode))
        return ERROR_ACCESS_DENIED;
    // The owner write bit is the read-only mark; root would otherwise ignore it.
    if (S_ISREG(link.st_mode) && !(link.st_mode & S_IWUSR))
        return ERROR_ACCESS_DENIED;
    if (unlink(host.c_str()) != 0)
        return ErrorAt(host, errno);
    return 0;
}

std::string HostPathOf(const std::string& drivePath) {
    return ToHostPath(drivePath);
}

std::string CanonicalHostPath(const std::string& drivePath) {
    std::string host = ToHostPath(drivePath);
    if (host.empty())
        return {};
    char* resolved = realpath(host.c_str(), nullptr);
    if (!resolved)
        return {};
    std::string out = resolved;
    free(resolved);
    return out;
}

int GetFolderChain(const std::string& path, std::vector<CFolderId>& chain) {
    chain.clear();
    const std::string host = !path.empty() && path.front() == '/' ? path : ToHostPath(path);
    if (host.empty())
        return ERROR_PATH_NOT_FOUND;
    int fd = open(host.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return ErrorAt(host, errno);
    // ".." of the root is the root itself; the depth bound only guards
    // against a file system that answers otherwise.
    for (int depth = 0; depth < 4096; ++depth) {
        struct stat st {};
        if (fstat(fd, &st) != 0)
            break;
        const CFolderId id{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
        if (!chain.empty() && chain.back() == id)
            break;
        chain.push_back(id);
        const int up = openat(fd, "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
        close(fd);
        fd = up;
        if (fd < 0)
            break;
    }
    if (fd >= 0)
        close(fd);
    return chain.empty() ? ERROR_PATH_NOT_FOUND : 0;
}

bool IsMountRoot(const std::string& drivePath) {
    const std::string host = ToHostPath(drivePath);
    if (host.empty())
        return false;
    struct statx stx {};
    if (statx(AT_FDCWD, host.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &stx) == 0 &&
        (stx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT))
        return (stx.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    return MountTableListsPoint(host);
}

bool FitsHostPathLimit(const std::string& drivePath) {
    const std::string host = ToHostPath(drivePath);
    return !host.empty() && host.size() < PATH_MAX;
}

bool FitsHostPathLimit(const std::string& hostFolder, const std::string& name) {
    if (hostFolder.empty())
        return false;
    const size_t folder = hostFolder == "/" ? 0 : hostFolder.size();
    return folder + 1 + name.size() < PATH_MAX;
}
