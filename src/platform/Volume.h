#pragma once
// Facts about the volume behind a drive letter, as the drive services of the
// program expect them. The host source reads them from the mount that holds
// the mapped folder; tests install a fake with the volumes they need.

#include <cstdint>
#include <optional>
#include <string>

// Drive type codes as the program stores and names them.
enum : uint32_t {
    DRIVE_UNKNOWN = 0,
    DRIVE_NO_ROOT_DIR = 1,
    DRIVE_REMOVABLE = 2,
    DRIVE_FIXED = 3,
    DRIVE_REMOTE = 4,
    DRIVE_CDROM = 5,
    DRIVE_RAMDISK = 6,
};

struct CVolumeFacts {
    uint32_t driveType = DRIVE_UNKNOWN;
    bool mediumPresent = true; // false: a removable drive with no medium
    std::string label;
    uint32_t serialNumber = 0;
    std::string fileSystem; // "ext4", "vfat" reported as "FAT32", ...
    uint32_t bytesPerSector = 512;
    uint32_t sectorsPerCluster = 8;
    uint64_t freeClusters = 0;
    uint64_t totalClusters = 0;
    uint32_t maxComponentLength = 255;
};

class IVolumeSource {
public:
    virtual ~IVolumeSource() = default;
    // Facts for a drive letter (capital); nullopt when no drive is behind it.
    virtual std::optional<CVolumeFacts> Query(char letter) = 0;
};

// Reads the host volume (statvfs, the mount table) behind a mapped letter.
class CHostVolumeSource : public IVolumeSource {
public:
    std::optional<CVolumeFacts> Query(char letter) override;
};

// The drive type of a host mount: network file systems (nfs, cifs/smb3,
// sshfs, ...) are DRIVE_REMOTE, iso9660/udf DRIVE_CDROM, tmpfs/ramfs
// DRIVE_RAMDISK, kernel pseudo file systems DRIVE_UNKNOWN; otherwise a
// block device with the "removable" flag, or a mount under /media or
// /run/media (where desktops mount media), is DRIVE_REMOVABLE, and the rest
// DRIVE_FIXED.
uint32_t HostDriveType(const std::string& fsType, const std::string& mountPoint,
                       bool removableDevice);

// The volume serial of a file system UUID: its hex digits as a number when
// there are 8 or fewer ("1234-ABCD" of a FAT volume is 0x1234ABCD), else
// its 8-digit groups combined by exclusive or; nullopt without hex digits.
std::optional<uint32_t> SerialFromUuid(const std::string& uuid);

// True when /proc/self/mountinfo lists the host path (canonical, without a
// trailing "/") as a mount point.
bool MountTableListsPoint(const std::string& hostPath);
