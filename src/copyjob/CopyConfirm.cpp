// The confirmation before copying: how much the run adds to or frees on the
// destination volume, counted in whole clusters, and whether it fits.
#include "copyjob/CopyConfirmTexts.h"
#include "copyjob/CopyJob.h"

#include "files/DriveUtils.h"
#include "files/PathUtils.h"
#include "platform/AsciiCase.h"
#include "platform/HostServices.h"

namespace {
const char kDestDriveInvalid[] = "ｺﾋﾟｰ先ﾄﾞﾗｲﾌﾞが無効です．";
constexpr uint64_t kFat32ClusterBytes = 4096;

// The file system name of the volume behind the path's drive letter.
std::string FileSystemName(const std::string& path) {
    if (path.empty())
        return {};
    const std::optional<CVolumeFacts> facts =
        CHostServices::Get().Volumes().Query(UpperAscii(path[0]));
    return facts ? facts->fileSystem : std::string();
}
} // namespace

// The cluster size of the folder's volume (4096 for FAT32, whatever its
// own query says); 0 when the drive is not ready.
static uint64_t ClusterBytesOf(const std::string& folder) {
    if (FileSystemName(folder) == "FAT32")
        return kFat32ClusterBytes;
    CDriveInfo info;
    return CheckDrive(folder, info) ? info.m_nClusterBytes : 0;
}

// Whole clusters a file of size bytes takes: 0 for an empty file, -1 when
// the cluster size is unknown (the drive is not ready).
static int64_t ClustersFor(uint64_t size, uint64_t clusterBytes) {
    if (size == 0)
        return 0;
    if (clusterBytes == 0)
        return -1;
    const uint64_t q = size / clusterBytes;
    return static_cast<int64_t>(q * clusterBytes < size ? q + 1 : q);
}

int64_t CCopyJob::ClustersNeeded(const std::string& folder, uint64_t size) {
    return size == 0 ? 0 : ClustersFor(size, ClusterBytesOf(folder));
}

int CCopyJob::ConfirmCopy() {
    const CCopySetting& setting = *m_pSetting;
    CDriveInfo info;
    if (!CheckDrive(setting.DstDir, info)) {
        WarningBox(kDestDriveInvalid);
        return CONFIRM_DRIVE_NOT_READY;
    }
    const bool fat32 = FileSystemName(setting.DstDir) == "FAT32";
    if (fat32) {
        info.m_nClusterBytes = kFat32ClusterBytes;
        info.m_nSectorsPerCluster = 8;
        info.m_nBytesPerSector = 512;
    }
    // One volume query for the whole list: every file lands on the same volume.
    const uint64_t clusterBytes = ClusterBytesOf(setting.DstDir);
    int64_t clusters = 0;
    for (const CCopyItem& item : m_aCopyItems) {
        const int64_t freed = setting.AllClrChk ? 0 : ClustersFor(item.DstSize, clusterBytes);
        clusters += ClustersFor(item.SrcSize, clusterBytes) - freed;
    }
    CCopyConfirmFigures figures;
    figures.strSrcDir = setting.SrcDir;
    figures.strDstDir = setting.DstDir;
    figures.strDriveType = GetDriveTypeName(info.m_nDriveType);
    figures.nTotalBytes = info.m_nTotalBytes;
    figures.nFreeBytes = info.m_nFreeBytes;
    figures.nClusterBytes = info.m_nClusterBytes;
    figures.nClusters = clusters;
    figures.nFiles = static_cast<int64_t>(m_aCopyItems.size());
    figures.bFat32 = fat32;
    const CCopyConfirmTexts texts = BuildCopyConfirmTexts(figures);
    // A continuous run confirms by itself, unless the destination lacks room:
    // then the user must see why nothing is copied.
    if (m_bRenzoku && texts.bCanStart)
        return CONFIRM_START;
    const int answer = m_host.AskCopyConfirm(texts);
    return texts.bCanStart ? answer : CONFIRM_CANCEL;
}
