#include "platform/Trash.h"

#include "platform/ErrorCodes.h"
#include "platform/HostServices.h"

#include <QUrl>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

// The trash standard is implemented here rather than through GIO's
// g_file_trash: GLib reads HOME and XDG_DATA_HOME once per process and
// caches them, its deletion time cannot follow the host clock, and its
// errors arrive as GError domains instead of errno values.

namespace {

struct CTrashPlace {
    std::string strDir;      // the trash folder holding files/ and info/
    std::string strPathBase; // Path= is relative to this; empty = absolute
};

std::string HomeFolder() {
    if (const char* home = getenv("HOME"); home && *home == '/')
        return home;
    const passwd* pw = getpwuid(getuid());
    return pw && pw->pw_dir ? pw->pw_dir : "";
}

// $XDG_DATA_HOME/Trash; the standard ignores a relative XDG_DATA_HOME.
std::string HomeTrashFolder() {
    if (const char* data = getenv("XDG_DATA_HOME"); data && *data == '/')
        return std::string(data) + "/Trash";
    std::string home = HomeFolder();
    return home.empty() ? "" : home + "/.local/share/Trash";
}

std::string ParentOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// Where an item lives: its file system and the mount that shows it. A rename
// works only within one mount, even between two mounts of one file system
// (a bind mount), so the device alone cannot choose the trash.
struct CMountKey {
    dev_t dev{};
    uint64_t mount = 0; // 0 when the kernel does not tell
};

bool SameMount(const CMountKey& a, const CMountKey& b) {
    return a.dev == b.dev && (a.mount == 0 || b.mount == 0 || a.mount == b.mount);
}

// The key of the path itself (a link, not its target); false when it is missing.
bool MountKeyOf(const std::string& path, CMountKey& key) {
    struct statx stx {};
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_MNT_ID,
              &stx) != 0)
        return false;
    key.dev = makedev(stx.stx_dev_major, stx.stx_dev_minor);
    key.mount = (stx.stx_mask & STATX_MNT_ID) ? stx.stx_mnt_id : 0;
    return true;
}

// The key of the path, or of its nearest existing ancestor.
bool MountKeyOfNearest(std::string path, CMountKey& key) {
    while (!MountKeyOf(path, key)) {
        if (path == "/")
            return false;
        path = ParentOf(path);
    }
    return true;
}

// mkdir -p; every folder it creates gets mode 0700 (the trash is private).
int MakeFolders(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ERROR_DIRECTORY;
    if (path != "/" && ParentOf(path) != path) {
        if (int r = MakeFolders(ParentOf(path)); r != 0)
            return r;
    }
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return ErrorFromErrno(errno);
    return 0;
}

// A trash folder of another user's making, or a link planted to redirect
// our files, must not receive them.
bool IsOwnFolder(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == getuid();
}

// The highest folder above the item's folder within the item's mount.
std::string TopDirOf(const std::string& folder, const CMountKey& item) {
    std::string dir = folder;
    CMountKey key;
    while (dir != "/") {
        std::string up = ParentOf(dir);
        if (!MountKeyOf(up, key) || !SameMount(key, item))
            break;
        dir = up;
    }
    return dir;
}

int TopDirTrash(const std::string& topDir, CTrashPlace& place) {
    std::string base = topDir == "/" ? "" : topDir;
    std::string uid = std::to_string(getuid());
    struct stat st {};
    // "$topdir/.Trash" counts only as a sticky real folder an administrator made.
    std::string admin = base + "/.Trash";
    if (lstat(admin.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        std::string dir = admin + "/" + uid;
        if ((mkdir(dir.c_str(), 0700) == 0 || errno == EEXIST) && IsOwnFolder(dir)) {
            place = {dir, topDir};
            return 0;
        }
    }
    std::string dir = base + "/.Trash-" + uid;
    if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return ErrorFromErrno(errno);
    if (!IsOwnFolder(dir))
        return ERROR_ACCESS_DENIED;
    place = {dir, topDir};
    return 0;
}

// Percent-encoding as in URLs: only unreserved characters and "/" stay.
std::string PercentEncode(const std::string& path) {
    return QUrl::toPercentEncoding(QByteArray::fromStdString(path), "/").toStdString();
}

std::string DeletionDate() {
    std::time_t now = CHostServices::Get().Now();
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

// The name inside the trash: the item's own name, or "name.N" when taken,
// cut so that "name.N.trashinfo" still fits a file name.
std::string TrashName(const std::string& name, int n) {
    std::string suffix = n > 1 ? "." + std::to_string(n) : "";
    size_t room = NAME_MAX - (sizeof ".trashinfo" - 1) - suffix.size();
    std::string base = name;
    if (base.size() > room) {
        base.resize(room);
        while (!base.empty() && (static_cast<unsigned char>(base.back()) & 0xC0) == 0x80)
            base.pop_back(); // never leave half a UTF-8 character
        if (!base.empty() && static_cast<unsigned char>(base.back()) >= 0xC0)
            base.pop_back();
    }
    return base + suffix;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Reserves a free name by creating its info record exclusively, as the
// standard asks, so two programs trashing at once never share a name.
int WriteInfo(const CTrashPlace& place, const std::string& name, const std::string& record,
              std::string& trashName) {
    for (int n = 1; n < 100000; ++n) {
        trashName = TrashName(name, n);
        struct stat st {};
        if (lstat((place.strDir + "/files/" + trashName).c_str(), &st) == 0)
            continue;
        std::string info = place.strDir + "/info/" + trashName + ".trashinfo";
        int fd = open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            return ErrorFromErrno(errno);
        bool bOk = WriteAll(fd, record);
        int err = bOk ? 0 : errno;
        if (close(fd) != 0 && bOk)
            err = errno;
        if (bOk && err == 0)
            return 0;
        unlink(info.c_str());
        return ErrorFromErrno(err);
    }
    return ERROR_ALREADY_EXISTS;
}

// Renames without ever replacing something already in the trash.
int MoveNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return ErrorFromErrno(errno);
    struct stat st {};
    if (lstat(to.c_str(), &st) == 0)
        return ERROR_ALREADY_EXISTS;
    return rename(from.c_str(), to.c_str()) == 0 ? 0 : ErrorFromErrno(errno);
}

// Records and moves the item into one trash. The record goes again when
// the move fails.
int TrashInto(const CTrashPlace& place, const std::string& host, const std::string& name,
              const std::string& original) {
    for (const char* sub : {"/files", "/info"}) {
        if (mkdir((place.strDir + sub).c_str(), 0700) != 0 && errno != EEXIST)
            return ErrorFromErrno(errno);
        // A link planted there would carry the file out of the trash.
        if (!IsOwnFolder(place.strDir + sub))
            return ERROR_ACCESS_DENIED;
    }
    // A volume's own trash records the path from its top, so the volume can
    // be mounted elsewhere and still restore.
    std::string recorded = original;
    if (!place.strPathBase.empty() && place.strPathBase != "/")
        recorded = original.substr(place.strPathBase.size() + 1);
    else if (place.strPathBase == "/")
        recorded = original.substr(1);
    std::string record =
        "[Trash Info]\nPath=" + PercentEncode(recorded) + "\nDeletionDate=" + DeletionDate() + "\n";
    std::string trashName;
    if (int r = WriteInfo(place, name, record, trashName); r != 0)
        return r;
    int r = MoveNoReplace(host, place.strDir + "/files/" + trashName);
    if (r != 0)
        unlink((place.strDir + "/info/" + trashName + ".trashinfo").c_str());
    return r;
}

int TrashHostItem(std::string host) {
    while (host.size() > 1 && host.back() == '/')
        host.pop_back();
    CMountKey item;
    if (!MountKeyOf(host, item))
        return ErrorFromErrno(errno);
    // The folder's real place: a restore must find the way back.
    char* real = realpath(ParentOf(host).c_str(), nullptr);
    if (!real)
        return ErrorFromErrno(errno);
    std::string folder = real;
    free(real);
    std::string name = host.substr(host.rfind('/') + 1);
    std::string original = (folder == "/" ? "" : folder) + "/" + name;

    const std::string home = HomeTrashFolder();
    auto tryHome = [&]() -> int {
        if (home.empty())
            return ERROR_PATH_NOT_FOUND;
        if (int r = MakeFolders(home); r != 0)
            return r;
        return TrashInto({home, ""}, host, name, original);
    };
    auto tryTop = [&]() -> int {
        CTrashPlace place;
        if (int r = TopDirTrash(TopDirOf(folder, item), place); r != 0)
            return r;
        return TrashInto(place, host, name, original);
    };
    // The home trash takes what lies on its mount, the mount's own trash
    // the rest; when rename still cannot reach the chosen one (a mount
    // inside the trash, a kernel that names no mounts), the other is tried.
    CMountKey homeKey;
    const bool homeFirst =
        !home.empty() && MountKeyOfNearest(home, homeKey) && SameMount(homeKey, item);
    int r = homeFirst ? tryHome() : tryTop();
    if (r == ERROR_NOT_SAME_DEVICE)
        r = homeFirst ? tryTop() : tryHome();
    return r;
}

} // namespace

int SendToTrash(const std::string& path) {
    const CDriveMap& map = CHostServices::Get().DriveMap();
    std::optional<std::string> host = map.ToHost(path);
    if (!host)
        return ERROR_PATH_NOT_FOUND;
    // A whole drive is never one item to throw away.
    if (host == map.HostRoot(path.front()) || *host == "/")
        return ERROR_ACCESS_DENIED;
    return TrashHostItem(*host);
}
