#include "platform/Volume.h"

#include "platform/HostServices.h"

#include <QStorageInfo>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/statvfs.h>

namespace {

std::string RealPath(const std::string& path) {
    char* resolved = realpath(path.c_str(), nullptr);
    if (!resolved)
        return {};
    std::string out = resolved;
    free(resolved);
    return out;
}

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ReadFirstLine(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// A partition's own entry has no "removable" flag: its disk's entry has.
bool IsRemovableDevice(const std::string& devicePath) {
    std::string sysEntry = RealPath("/sys/class/block/" + BaseName(devicePath));
    if (sysEntry.empty())
        return false;
    std::string flag = ReadFirstLine(sysEntry + "/removable");
    if (flag.empty())
        flag = ReadFirstLine(sysEntry + "/../removable");
    return flag == "1";
}

bool IsUnder(const std::string& path, const char* folder) {
    const size_t n = std::strlen(folder);
    return path.size() > n && path.compare(0, n, folder) == 0 && path[n] == '/';
}

// The UUID the system gives the file system on a device ("" when none):
// /dev/disk/by-uuid holds one link per UUID to its device.
std::string DeviceUuid(const std::string& devicePath) {
    const char kFolder[] = "/dev/disk/by-uuid";
    DIR* dir = opendir(kFolder);
    if (!dir)
        return {};
    std::string uuid;
    while (dirent* d = readdir(dir)) {
        if (d->d_name[0] != '.' && RealPath(std::string(kFolder) + "/" + d->d_name) == devicePath) {
            uuid = d->d_name;
            break;
        }
    }
    closedir(dir);
    return uuid;
}

std::string FileSystemName(const std::string& fsType) {
    if (fsType == "vfat")
        return "FAT32";
    if (fsType == "msdos")
        return "FAT";
    if (fsType == "exfat")
        return "exFAT";
    if (fsType == "ntfs" || fsType == "ntfs3" || fsType == "fuseblk")
        return "NTFS";
    return fsType;
}

uint32_t FoldSerial(const struct statvfs& vfs) {
    uint64_t fsid = static_cast<uint64_t>(vfs.f_fsid);
    return static_cast<uint32_t>(fsid ^ (fsid >> 32));
}

// count * num / den without an intermediate product that could wrap.
uint64_t Scale(uint64_t count, uint64_t num, uint64_t den) {
    return count / den * num + count % den * num / den;
}

void FillGeometry(const struct statvfs& vfs, CVolumeFacts& facts) {
    uint64_t blockBytes = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
    facts.bytesPerSector = 512;
    facts.sectorsPerCluster = std::max<uint32_t>(1, static_cast<uint32_t>(vfs.f_bsize / 512));
    uint64_t clusterBytes = uint64_t{facts.bytesPerSector} * facts.sectorsPerCluster;
    facts.freeClusters = Scale(vfs.f_bavail, blockBytes, clusterBytes);
    facts.totalClusters = Scale(vfs.f_blocks, blockBytes, clusterBytes);
    facts.maxComponentLength =
        static_cast<uint32_t>(std::min<unsigned long>(vfs.f_namemax, UINT32_MAX));
}

} // namespace

uint32_t HostDriveType(const std::string& fs, const std::string& mountPoint, bool removableDevice) {
    static const char* const kRemote[] = {
        "nfs",         "nfs4",  "cifs",      "smb3", "smbfs",       "sshfs",
        "fuse.sshfs",  "9p",    "afs",       "ceph", "fuse.rclone", "davfs",
        "fuse.davfs2", "ncpfs", "glusterfs", "coda", "fuse.s3fs"};
    static const char* const kPseudo[] = {"proc",    "sysfs",   "devtmpfs",   "devpts",  "cgroup",
                                          "cgroup2", "debugfs", "securityfs", "tracefs", "pstore"};
    if (std::find(std::begin(kRemote), std::end(kRemote), fs) != std::end(kRemote))
        return DRIVE_REMOTE;
    if (fs == "iso9660" || fs == "udf")
        return DRIVE_CDROM;
    if (fs == "tmpfs" || fs == "ramfs")
        return DRIVE_RAMDISK;
    if (std::find(std::begin(kPseudo), std::end(kPseudo), fs) != std::end(kPseudo))
        return DRIVE_UNKNOWN;
    if (removableDevice || IsUnder(mountPoint, "/media") || IsUnder(mountPoint, "/run/media"))
        return DRIVE_REMOVABLE;
    // Block-device file systems and local layered ones (overlay in a
    // container) hold their data on a local disk.
    return DRIVE_FIXED;
}

std::optional<uint32_t> SerialFromUuid(const std::string& uuid) {
    std::string digits;
    for (char c : uuid)
        if (std::isxdigit(static_cast<unsigned char>(c)))
            digits += c;
    if (digits.empty())
        return std::nullopt;
    uint32_t serial = 0;
    for (size_t end = digits.size(); end > 0; end -= std::min<size_t>(end, 8)) {
        const size_t begin = end > 8 ? end - 8 : 0;
        serial ^= static_cast<uint32_t>(std::stoul(digits.substr(begin, end - begin), nullptr, 16));
    }
    return serial;
}

bool MountTableListsPoint(const std::string& hostPath) {
    const QStorageInfo storage(QString::fromStdString(hostPath));
    return storage.isValid() && storage.rootPath().toStdString() == hostPath;
}

std::optional<CVolumeFacts> CHostVolumeSource::Query(char letter) {
    std::optional<std::string> root = CHostServices::Get().DriveMap().HostRoot(letter);
    if (!root)
        return std::nullopt;
    std::string real = RealPath(*root);
    struct stat st {};
    if (real.empty() || stat(real.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt; // no folder behind the letter: the root does not exist

    // Qt finds the mount that holds the folder (bind mounts included), its
    // file system type, device and label; the drive kind (removable media),
    // the serial, the cluster geometry and the name limit are not among its
    // facts, so they come from sysfs and statvfs below.
    CVolumeFacts facts;
    const QStorageInfo storage(QString::fromStdString(real));
    std::string device;
    if (storage.isValid() && storage.device().startsWith("/dev/"))
        device = RealPath(storage.device().toStdString());
    const std::string fsType = storage.isValid() ? storage.fileSystemType().toStdString() : "";
    const std::string mountPoint = storage.isValid() ? storage.rootPath().toStdString() : "";
    facts.driveType =
        storage.isValid()
            ? HostDriveType(fsType, mountPoint, !device.empty() && IsRemovableDevice(device))
            : DRIVE_FIXED;
    facts.fileSystem = FileSystemName(fsType);
    facts.label = device.empty() ? std::string() : storage.name().toStdString();

    struct statvfs vfs {};
    if (statvfs(real.c_str(), &vfs) != 0) {
        facts.mediumPresent = false; // the free-space query fails: not ready
        facts.freeClusters = facts.totalClusters = 0;
        return facts;
    }
    // The file system's UUID names the medium: another medium behind the
    // same mount point reads as another serial. Without one, f_fsid.
    const std::optional<uint32_t> uuidSerial =
        device.empty() ? std::nullopt : SerialFromUuid(DeviceUuid(device));
    facts.serialNumber = uuidSerial ? *uuidSerial : FoldSerial(vfs);
    FillGeometry(vfs, facts);
    return facts;
}
