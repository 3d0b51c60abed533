#pragma once
// A volume source for tests: answers from a table of letters, with preset volumes.

#include "platform/AsciiCase.h"
#include "platform/HostServices.h"
#include "platform/Volume.h"

#include <map>
#include <memory>

class CFakeVolumeSource : public IVolumeSource {
public:
    // Puts facts behind a letter (either case).
    CFakeVolumeSource& Set(char letter, const CVolumeFacts& facts) {
        m_aVolumes[UpperAscii(letter)] = facts;
        return *this;
    }
    std::optional<CVolumeFacts> Query(char letter) override {
        const auto it = m_aVolumes.find(UpperAscii(letter));
        return it == m_aVolumes.end() ? std::nullopt : std::optional(it->second);
    }

    // A removable drive without a medium: type 2, the free-space query fails.
    static CVolumeFacts NoMedium() {
        CVolumeFacts facts;
        facts.driveType = DRIVE_REMOVABLE;
        facts.mediumPresent = false;
        facts.freeClusters = facts.totalClusters = 0;
        return facts;
    }
    // A FAT32 volume of 4 KB clusters, 512-byte sectors, labelled "USBMEM".
    static CVolumeFacts Fat32(uint64_t totalClusters = 500000, uint64_t freeClusters = 125000) {
        CVolumeFacts facts = Fixed(512, 8, totalClusters, freeClusters);
        facts.driveType = DRIVE_REMOVABLE;
        facts.label = "USBMEM";
        facts.serialNumber = 0x1234ABCD;
        facts.fileSystem = "FAT32";
        return facts;
    }
    // A fixed volume with no free cluster left.
    static CVolumeFacts Full(uint64_t totalClusters = 262144) {
        return Fixed(512, 8, totalClusters, 0);
    }
    // A fixed ext4 volume over 4 GB (10 GiB, 6 GiB free, 4 KB clusters), no label.
    static CVolumeFacts Large() { return Fixed(512, 8, 10ull * 262144, 6ull * 262144); }
    static CVolumeFacts Fixed(uint32_t bytesPerSector, uint32_t sectorsPerCluster,
                              uint64_t totalClusters, uint64_t freeClusters) {
        CVolumeFacts facts;
        facts.driveType = DRIVE_FIXED;
        facts.fileSystem = "ext4";
        facts.bytesPerSector = bytesPerSector;
        facts.sectorsPerCluster = sectorsPerCluster;
        facts.totalClusters = totalClusters;
        facts.freeClusters = freeClusters;
        return facts;
    }

private:
    std::map<char, CVolumeFacts> m_aVolumes;
};

// Installs a volume source for the life of the object; the host source is back after.
struct CScopedVolumeSource {
    explicit CScopedVolumeSource(std::shared_ptr<IVolumeSource> source) {
        CHostServices::Get().SetVolumeSource(std::move(source));
    }
    ~CScopedVolumeSource() {
        CHostServices::Get().SetVolumeSource(std::make_shared<CHostVolumeSource>());
    }
    CScopedVolumeSource(const CScopedVolumeSource&) = delete;
    CScopedVolumeSource& operator=(const CScopedVolumeSource&) = delete;
};
