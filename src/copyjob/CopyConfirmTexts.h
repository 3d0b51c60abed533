#pragma once
// The figures and texts of the confirmation before copying, computed without
// any window: what the run will add to or free on the destination volume and
// what will remain there.

#include <cstdint>
#include <string>

// What the confirmation is computed from. Byte counts are 64-bit, so volumes
// of 4 GB and more read right instead of wrapping.
struct CCopyConfirmFigures {
    std::string strSrcDir;
    std::string strDstDir;
    std::string strDriveType; // the destination drive's type name
    uint64_t nTotalBytes = 0; // of the destination volume
    uint64_t nFreeBytes = 0;  // of the destination volume
    uint64_t nClusterBytes = 0;
    int64_t nClusters = 0; // clusters the run adds (negative: frees)
    int64_t nFiles = 0;    // number of items to copy
    bool bFat32 = false;   // the volume's file system is "FAT32"
};

struct CCopyConfirmTexts {
    std::string strSrcDir;    // control 1062
    std::string strDstDir;    // control 1063
    std::string strDriveType; // control 1064
    std::string strTotal;     // control 1047: "... KB(...ｸﾗｽﾀ)"
    std::string strFree;      // control 1065, with the FAT32 mark
    std::string strFiles;     // control 1069: "... ﾌｧｲﾙ"
    std::string strChange;    // control 1066
    std::string strRemaining; // control 1067, with the FAT32 mark
    std::string strMessage;   // control 1004: the question, or why copying cannot start
    bool bCanStart = false;   // the remaining capacity is not negative
};

// Free bytes above which a FAT32 volume's free and remaining texts carry the
// mark "以上 (FAT32)": older FAT32 queries could not report more.
inline constexpr uint64_t kFat32MarkFreeBytes = 2096000;

// Builds the nine texts. Figures too wide for the usual pictures (volumes over
// about 95 GB, more than 999,999 clusters or 9,999 files) are laid out with
// wider pictures of the same form rather than the overflow mark; smaller
// figures read exactly as the usual pictures give them. A cluster size of 0
// gives cluster figures of 0.
CCopyConfirmTexts BuildCopyConfirmTexts(const CCopyConfirmFigures& figures);
