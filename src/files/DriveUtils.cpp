#include "files/DriveUtils.h"

#include "platform/AsciiCase.h"
#include "platform/HostServices.h"
#include "platform/Volume.h"

#include <optional>

namespace {

std::optional<CVolumeFacts> QueryVolume(const std::string& path) {
    if (path.empty() || !IsAsciiLetter(path[0]))
        return std::nullopt;
    return CHostServices::Get().Volumes().Query(UpperAscii(path[0]));
}

// The drive-kind step on facts already queried (one volume query per call).
int StoreKind(const std::string& path, const std::optional<CVolumeFacts>& facts, CDriveInfo& info) {
    const std::string root = std::string(1, UpperAscii(path[0])) + ":\\";
    if (!facts || facts->driveType == DRIVE_NO_ROOT_DIR) {
        info.m_strRoot = root;
        info.m_nDriveType = DRIVE_REMOVABLE; // a missing root is recorded as removable
        return 1;
    }
    if (facts->driveType == DRIVE_UNKNOWN)
        return 0; // nothing stored
    info.m_strRoot = root;
    info.m_nDriveType = facts->driveType;
    return 0;
}

} // namespace

int GetDriveKind(const std::string& path, CDriveInfo& info) {
    if (path.empty() || !IsAsciiLetter(path[0]))
        return 0; // no letter: the type cannot be determined
    return StoreKind(path, QueryVolume(path), info);
}

int CheckDrive(const std::string& path, CDriveInfo& info) {
    if (path.empty() || !IsAsciiLetter(path[0])) {
        info.m_bReady = 0; // a share path names no drive: never ready
        return 0;
    }
    std::optional<CVolumeFacts> facts = QueryVolume(path);
    if (StoreKind(path, facts, info))
        return 0;
    info.m_strVolumeName = facts->mediumPresent ? facts->label : std::string();
    if (!facts->mediumPresent) {
        info.m_bReady = 0;
        return 0;
    }
    info.m_bReady = 1;
    info.m_nBytesPerSector = facts->bytesPerSector;
    info.m_nSectorsPerCluster = facts->sectorsPerCluster;
    info.m_nFreeClusters = facts->freeClusters;
    info.m_nTotalClusters = facts->totalClusters;
    info.m_nClusterBytes = uint64_t{facts->bytesPerSector} * facts->sectorsPerCluster;
    info.m_nTotalBytes = info.m_nClusterBytes * facts->totalClusters;
    info.m_nFreeBytes = info.m_nClusterBytes * facts->freeClusters;
    return 1;
}

std::string GetDriveTypeName(uint32_t driveType) {
    switch (driveType) {
    case DRIVE_REMOVABLE:
        return "フロッピーディスク";
    case DRIVE_FIXED:
        return "固定ディスク";
    case DRIVE_REMOTE:
        return "ネットワークドライブ";
    case DRIVE_CDROM:
        return "ＣＤ－ＲＯＭ";
    case DRIVE_RAMDISK:
        return "ＲＡＭＤＩＳＫ";
    default:
        return "不明";
    }
}
