#pragma once
// Drive services: the kind of drive behind a path's drive letter, whether it
// is ready, and its size and free space.

#include <cstdint>
#include <string>

// The answer for one drive. Byte counts are 64-bit so volumes of 4 GB and
// more read correctly; cluster counts and geometry are as reported.
struct CDriveInfo {
    std::string m_strRoot;       // "D:\" in capitals
    std::string m_strVolumeName; // label; empty when none or the query failed
    int m_bReady = 0;            // 1 when the free-space query succeeded
    uint32_t m_nDriveType = 0;   // DRIVE_ code of platform/Volume.h
    uint64_t m_nTotalBytes = 0;  // bytes per sector x sectors per cluster x total clusters
    uint64_t m_nFreeBytes = 0;   // bytes per sector x sectors per cluster x free clusters
    uint64_t m_nClusterBytes = 0;
    uint32_t m_nSectorsPerCluster = 0;
    uint32_t m_nBytesPerSector = 0;
    uint64_t m_nFreeClusters = 0;
    uint64_t m_nTotalClusters = 0;
};

// Stores the root and drive type of the path's drive (its first character
// is the letter). Returns 1 when no drive is behind the letter (type stored
// as 2, removable), else 0; a path whose first character is not a letter
// stores nothing and returns 0.
int GetDriveKind(const std::string& path, CDriveInfo& info);

// Fills info for the path's drive and returns its ready flag: 1 when the
// drive exists and its free-space query succeeds (sizes filled), 0 when
// not. A missing drive returns 0 at once, leaving the ready flag as it was;
// a path that names no drive letter ("\\server\share") is never ready.
int CheckDrive(const std::string& path, CDriveInfo& info);

// Display name of a drive type code ("固定ディスク", ...); "不明" for codes
// outside 2 to 6.
std::string GetDriveTypeName(uint32_t driveType);
