#pragma once
// Level-2 member headers as written by this library: OS id "M", byte 19 =
// 0x20, records 0x00 (header CRC), 0x01 (name), 0x02 (folder, if any), 0x40
// (attribute, when not a plain file or a plain folder), 0x46 (code page, when a name byte is
// not ASCII).

#include <cstdint>
#include <string>

namespace unlha {

constexpr size_t kMaxHeaderBytes = 4096; // readers load headers into 4 KiB

// DOS attribute bits of record 0x40.
enum : uint16_t {
    DOS_READONLY = 0x01,
    DOS_HIDDEN = 0x02,
    DOS_DIRECTORY = 0x10,
    DOS_ARCHIVE = 0x20,
};

struct CMemberInfo {
    std::string strMethod = "-lh0-"; // five characters
    uint32_t nPacked = 0;
    uint32_t nOriginal = 0;
    uint32_t nTime = 0;  // seconds since 1970 UTC
    uint16_t nCrc = 0;   // CRC-16 of the original data
    std::string strName; // base name bytes (empty for a folder entry)
    std::string strDir;  // folder bytes, each component followed by 0xFF
    uint16_t nAttribute = DOS_ARCHIVE;
    uint32_t nCodePage = 0; // 0: no record 0x46
};

// The header bytes, or an empty string when it would exceed
// kMaxHeaderBytes. Its length depends only on the names, the attribute and
// the code page, so a header can be rewritten in place once sizes are known.
std::string BuildLevel2Header(const CMemberInfo& info);

} // namespace unlha
