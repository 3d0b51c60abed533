#include "platform/Volume.h"

#include "platform/HostServices.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <vector>

namespace {

struct CMountLine {
    std::string mountPoint;
    std::string fsType;
    std::string source;
};

// Mount table fields escape space, tab, newline and backslash as "\ooo".
std::string UnescapeOctal(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '3' &&
            text[i + 2] >= '0' && text[i + 2] <= '7' && text[i + 3] >= '0' && text[i + 3] <= '7') {
            out += static_cast<char>((text[i + 1] - '0') * 64 + (text[i + 2] - '0') * 8 +
                                     (text[i + 3] - '0'));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

// /dev/disk/by-label names escape unusual bytes as "\xHH".
std::string UnescapeHex(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
            out += static_cast<char>(std::stoi(text.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

bool HoldsPath(const std::string& mountPoint, const std::string& path) {
    if (mountPoint == "/")
        return true;
    return path.compare(0, mountPoint.size(), mountPoint) == 0 &&
           (path.size() == mountPoint.size() || path[mountPoint.size()] == '/');
}

// The mount that holds path: the longest mount point that is a prefix of it;
// among equal ones the last listed, since a later mount covers an earlier.
std::optional<CMountLine> FindMount(const std::string& path) {
    std::ifstream in("/proc/self/mountinfo");
    std::optional<CMountLine> best;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::vector<std::string> words;
        for (std::string w; fields >> w;)
            words.push_back(w);
        auto dash = std::find(words.begin(), words.end(), "-");
        if (words.size() < 5 || dash == words.end() || words.end() - dash < 3)
            continue;
        CMountLine mount{UnescapeOctal(words[4]), *(dash + 1), UnescapeOctal(*(dash + 2))};
        if (!HoldsPath(mount.mountPoint, path))
            continue;
        if (!best || mount.mountPoint.size() >= best->mountPoint.size())
            best = mount;
    }
    return best;
}

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

uint32_t DriveTypeOf(const CMountLine& mount, const std::string& device) {
    static const char* const kRemote[] = {"nfs",   "nfs4",       "cifs", "smb3", "smbfs",
                                          "sshfs", "fuse.sshfs", "9p",   "afs",  "ceph"};
    static const char* const kPseudo[] = {"proc",    "sysfs",   "devtmpfs",   "devpts",  "cgroup",
                                          "cgroup2", "debugfs", "securityfs", "tracefs", "pstore"};
    const std::string& fs = mount.fsType;
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

std::string LabelOf(const std::string& device) {
    if (device.empty())
        return {};
    DIR* dir = opendir("/dev/disk/by-label");
    if (!dir)
        return {};
    std::string label;
    while (dirent* d = readdir(dir)) {
        std::string name = d->d_name;
        if (name == "." || name == "..")
            continue;
        if (RealPath("/dev/disk/by-label/" + name) == device) {
            label = UnescapeHex(name);
            break;
        }
    }
    closedir(dir);
    return label;
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
    std::ifstream in("/proc/self/mountinfo");
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string word;
        for (int i = 0; i < 5 && fields >> word; ++i) {
        }
        if (UnescapeOctal(word) == hostPath)
            return true;
    }
    return false;
}

std::optional<CVolumeFacts> CHostVolumeSource::Query(char letter) {
    std::optional<std::string> root = CHostServices::Get().DriveMap().HostRoot(letter);
    if (!root)
        return std::nullopt;
    std::string real = RealPath(*root);
    struct stat st {};
    if (real.empty() || stat(real.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return std::nullopt; // no folder behind the letter: the root does not exist

    CVolumeFacts facts;
    std::optional<CMountLine> mount = FindMount(real);
    std::string device;
    if (mount && mount->source.rfind("/dev/", 0) == 0)
        device = RealPath(mount->source);
    facts.driveType = mount ? DriveTypeOf(*mount, device) : DRIVE_FIXED;
    facts.fileSystem = mount ? FileSystemName(mount->fsType) : std::string();
    facts.label = LabelOf(device);

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
