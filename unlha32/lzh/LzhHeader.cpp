#include "lzh/LzhHeader.h"

#include "lzh/Crc16.h"

namespace unlha {

namespace {

// Little-endian fields gathered in a small buffer and appended at once.
class CFields {
public:
    void Put16(uint32_t v) {
        m_a[m_n++] = static_cast<char>(v & 0xFF);
        m_a[m_n++] = static_cast<char>((v >> 8) & 0xFF);
    }
    void Put32(uint32_t v) {
        Put16(v & 0xFFFF);
        Put16(v >> 16);
    }
    void PutByte(char c) { m_a[m_n++] = c; }
    void AppendTo(std::string& out) {
        out.append(m_a, m_n);
        m_n = 0;
    }

private:
    char m_a[32];
    size_t m_n = 0;
};

// A record of the given payload size: its size field and type (the payload
// follows).
void PutRecordHead(CFields& f, uint8_t type, size_t payload) {
    f.Put16(static_cast<uint32_t>(payload + 3));
    f.PutByte(static_cast<char>(type));
}

} // namespace

std::string BuildLevel2Header(const CMemberInfo& info) {
    // The method already says "folder": a plain one needs no attribute
    // record (readers take folders from "-lhd-"), a hidden or read-only
    // one keeps it.
    bool folder = info.strMethod == "-lhd-";
    bool attribute = info.nAttribute != (folder ? DOS_DIRECTORY : DOS_ARCHIVE);
    size_t records = 3 + info.strName.size() + (info.strDir.empty() ? 0 : 3 + info.strDir.size()) +
                     (attribute ? 5 : 0) + (info.nCodePage != 0 ? 7 : 0);
    // 24 fixed bytes, the CRC record, the others, the closing 0x0000.
    size_t total = 24 + 5 + records + 2;
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
    CFields f;
    f.Put16(static_cast<uint32_t>(total));
    f.AppendTo(h);
    h.append(info.strMethod, 0, 5);
    f.Put32(info.nPacked);
    f.Put32(info.nOriginal);
    f.Put32(info.nTime);
    f.PutByte('\x20'); // reserved; some readers reject anything else
    f.PutByte('\x02'); // level
    f.Put16(info.nCrc);
    f.PutByte('M');
    PutRecordHead(f, 0x00, longCrcRecord ? 3 : 2);
    f.Put16(0);
    if (longCrcRecord)
        f.PutByte('\0');
    PutRecordHead(f, 0x01, info.strName.size());
    f.AppendTo(h);
    h += info.strName;
    if (!info.strDir.empty()) {
        PutRecordHead(f, 0x02, info.strDir.size());
        f.AppendTo(h);
        h += info.strDir;
    }
    if (attribute) {
        PutRecordHead(f, 0x40, 2);
        f.Put16(info.nAttribute);
    }
    if (info.nCodePage != 0) {
        PutRecordHead(f, 0x46, 4);
        f.Put32(info.nCodePage);
    }
    f.Put16(0);
    f.AppendTo(h);
    uint16_t crc = Crc16(h.data(), h.size());
    h[27] = static_cast<char>(crc & 0xFF);
    h[28] = static_cast<char>(crc >> 8);
    return h;
}

} // namespace unlha
