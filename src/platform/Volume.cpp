#include "platform/Volume.h"

#include "platform/HostServices.h"

#include <QStorageInfo>

#include <algorithm>
#include <climits>
#include <cstdlib>
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

uint32_t DriveTypeOf(const std::string& fs, const std::string& device) {
    static const char* const kRemote[] = {"nfs",   "nfs4",       "cifs", "smb3", "smbfs",
                                          "sshfs", "fuse.sshfs", "9p",   "afs",  "ceph"};
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
    if (!device.empty() && IsRemovableDevice(device))
        return DRIVE_REMOVABLE;
    // Block-device file systems and local layered ones (overlay in a
    // container) hold their data on a local disk.
    return DRIVE_FIXED;
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
    facts.driveType = storage.isValid() ? DriveTypeOf(fsType, device) : DRIVE_FIXED;
    facts.fileSystem = FileSystemName(fsType);
    facts.label = device.empty() ? std::string() : storage.name().toStdString();

    struct statvfs vfs {};
    if (statvfs(real.c_str(), &vfs) != 0) {
        facts.mediumPresent = false; // the free-space query fails: not ready
        facts.freeClusters = facts.totalClusters = 0;
        return facts;
    }
    facts.serialNumber = FoldSerial(vfs);
    FillGeometry(vfs, facts);
    return facts;
}
