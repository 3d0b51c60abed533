#pragma once
// A volume source for tests: answers from a table of letters the test fills,
// with presets for the volumes the drive services must handle.

#include "platform/Volume.h"

#include <map>
#include <memory>

class CFakeVolumeSource : public IVolumeSource {
public:
    // Puts facts behind a letter (either case); replaces earlier facts.
    CFakeVolumeSource& Set(char letter, const CVolumeFacts& facts);
    std::optional<CVolumeFacts> Query(char letter) override;

    // A removable drive without a medium: type 2, the free-space query fails.
    static CVolumeFacts NoMedium();
    // A FAT32 volume of 4 KB clusters, 512-byte sectors, labelled "USBMEM".
    static CVolumeFacts Fat32(uint64_t totalClusters = 500000, uint64_t freeClusters = 125000);
    // A fixed volume with no free cluster left.
    static CVolumeFacts Full(uint64_t totalClusters = 262144) {
        return Fixed(512, 8, totalClusters, 0);
    }
    // A fixed ext4 volume over 4 GB (10 GiB, 6 GiB free, 4 KB clusters), no label.
    static CVolumeFacts Large() { return Fixed(512, 8, 10ull * 262144, 6ull * 262144); }
    // A fixed volume with the given geometry.
    static CVolumeFacts Fixed(uint32_t bytesPerSector, uint32_t sectorsPerCluster,
                              uint64_t totalClusters, uint64_t freeClusters);

private:
    std::map<char, CVolumeFacts> m_aVolumes;
};

// Installs a volume source for the life of the object; afterwards the host
// source is back.
class CScopedVolumeSource {
public:
    explicit CScopedVolumeSource(std::shared_ptr<IVolumeSource> source);
    ~CScopedVolumeSource();
    CScopedVolumeSource(const CScopedVolumeSource&) = delete;
    CScopedVolumeSource& operator=(const CScopedVolumeSource&) = delete;
};
