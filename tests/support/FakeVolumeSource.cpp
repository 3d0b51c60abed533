#include "FakeVolumeSource.h"

#include "platform/AsciiCase.h"
#include "platform/HostServices.h"

CFakeVolumeSource& CFakeVolumeSource::Set(char letter, const CVolumeFacts& facts) {
    m_aVolumes[UpperAscii(letter)] = facts;
    return *this;
}

std::optional<CVolumeFacts> CFakeVolumeSource::Query(char letter) {
    const auto it = m_aVolumes.find(UpperAscii(letter));
    return it == m_aVolumes.end() ? std::nullopt : std::optional(it->second);
}

CVolumeFacts CFakeVolumeSource::NoMedium() {
    CVolumeFacts facts;
    facts.driveType = DRIVE_REMOVABLE;
    facts.mediumPresent = false;
    facts.freeClusters = facts.totalClusters = 0;
    return facts;
}

CVolumeFacts CFakeVolumeSource::Fat32(uint64_t totalClusters, uint64_t freeClusters) {
    CVolumeFacts facts = Fixed(512, 8, totalClusters, freeClusters);
    facts.driveType = DRIVE_REMOVABLE;
    facts.label = "USBMEM";
    facts.serialNumber = 0x1234ABCD;
    facts.fileSystem = "FAT32";
    return facts;
}

CVolumeFacts CFakeVolumeSource::Fixed(uint32_t bytesPerSector, uint32_t sectorsPerCluster,
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

CScopedVolumeSource::CScopedVolumeSource(std::shared_ptr<IVolumeSource> source) {
    CHostServices::Get().SetVolumeSource(std::move(source));
}

CScopedVolumeSource::~CScopedVolumeSource() {
    CHostServices::Get().SetVolumeSource(std::make_shared<CHostVolumeSource>());
}
