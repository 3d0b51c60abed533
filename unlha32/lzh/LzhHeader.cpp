#include "lzh/LzhHeader.h"

#include "lzh/Crc16.h"

namespace unlha {

namespace {

void Put16(std::string& out, uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void Put32(std::string& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutRecord(std::string& out, uint8_t type, const std::string& payload) {
    Put16(out, static_cast<uint32_t>(payload.size() + 3));
    out += static_cast<char>(type);
    out += payload;
}

} // namespace

std::string BuildLevel2Header(const CMemberInfo& info) {
    std::string records;
    PutRecord(records, 0x01, info.strName);
    if (!info.strDir.empty())
        PutRecord(records, 0x02, info.strDir);
    // The method already says "folder": a plain one needs no attribute
    // record (readers take folders from "-lhd-"), a hidden or read-only
    // one keeps it.
    bool folder = info.strMethod == "-lhd-";
    if (info.nAttribute != (folder ? DOS_DIRECTORY : DOS_ARCHIVE)) {
        std::string attr;
        Put16(attr, info.nAttribute);
        PutRecord(records, 0x40, attr);
    }
    if (info.nCodePage != 0) {
        std::string cp;
        Put32(cp, info.nCodePage);
        PutRecord(records, 0x46, cp);
    }
    // 24 fixed bytes, the CRC record, the others, the closing 0x0000.
    size_t total = 24 + 5 + records.size() + 2;
    // A total whose low byte is 0 reads as the end of the archive; one more
    // byte in the CRC record avoids that without the pad byte that 7-Zip
    // misreads.
    bool longCrcRecord = (total & 0xFF) == 0;
    if (longCrcRecord)
        ++total;
    if (total > kMaxHeaderBytes)
        return {};

    std::string h;
    h.reserve(total);
    Put16(h, static_cast<uint32_t>(total));
    h += info.strMethod.substr(0, 5);
    Put32(h, info.nPacked);
    Put32(h, info.nOriginal);
    Put32(h, info.nTime);
    h += '\x20'; // reserved; some readers reject anything else
    h += '\x02'; // level
    Put16(h, info.nCrc);
    h += 'M';
    PutRecord(h, 0x00, longCrcRecord ? std::string(3, '\0') : std::string(2, '\0'));
    h += records;
    Put16(h, 0);
    uint16_t crc = Crc16(h.data(), h.size());
    h[27] = static_cast<char>(crc & 0xFF);
    h[28] = static_cast<char>(crc >> 8);
    return h;
}

} // namespace unlha
