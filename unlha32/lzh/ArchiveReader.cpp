#include "lzh/ArchiveReader.h"

#include "lzh/CodePage.h"
#include "lzh/Crc16.h"
#include "lzh/ResultCodes.h"

#include <algorithm>
#include <cstring>

namespace unlha {

namespace {

uint16_t Get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t Get32(const uint8_t* p) {
    return Get16(p) | (static_cast<uint32_t>(Get16(p + 2)) << 16);
}

bool IsMethodId(const uint8_t* m) {
    if (m[0] != '-' || m[4] != '-')
        return false;
    for (int i = 1; i < 4; ++i) {
        uint8_t c = m[i];
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

// What the records and base header say about names, before decoding.
struct CRawNames {
    std::string strName;
    std::string strDir; // components separated by 0xFF
    bool bHasDir = false;
    uint32_t nCodePage = 0;
};

void TakeRecord(uint8_t type, const uint8_t* payload, size_t size, CRawNames& names,
                CArchiveMember& member) {
    const char* p = reinterpret_cast<const char*>(payload);
    if (type == 0x01) {
        names.strName.assign(p, size);
    } else if (type == 0x02) {
        names.strDir.assign(p, size);
        names.bHasDir = true;
    } else if (type == 0x46 && size >= 4) {
        names.nCodePage = Get32(payload);
    } else if (type == 0x54 && size >= 4) {
        member.nTime = Get32(payload);
        member.bDosTime = false;
    }
}

std::string DecodeName(const std::string& bytes, uint32_t codePage) {
    bool ascii = std::all_of(bytes.begin(), bytes.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii || (codePage == 65001 && IsValidUtf8(bytes)))
        return bytes; // ASCII reads the same in every code page used here
    if (auto text = Cp932ToUtf8(bytes))
        return *text;
    // Unknown bytes: a lossless Latin-1 reading keeps the name distinct and
    // never equal to a real file's name by accident.
    std::string out;
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Appends the components of text (separated by "/" or "\") to path; false
// for an unsafe name: absolute, with a drive letter, or with "..".
bool AppendComponents(const std::string& text, bool first, std::string& path) {
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != '/' && text[i] != '\\')
            continue;
        std::string part = text.substr(start, i - start);
        if (part.empty() && start == 0 && i < text.size() && first && path.empty())
            return false; // leading separator: absolute path
        if (part == "..")
            return false;
        if (part.size() >= 2 && part[1] == ':')
            return false;
        if (!part.empty() && part != ".") {
            if (!path.empty())
                path += '/';
            path += part;
        }
        start = i + 1;
    }
    return true;
}

bool BuildPath(const CRawNames& names, CArchiveMember& member) {
    return DecodeMemberPath(names.strName, names.strDir, names.bHasDir, names.nCodePage,
                            member.strPath);
}

// Walks a record chain held in buf from the size field at q; stops at the
// 0 size. Returns the offset just past that field, or 0 when a record is
// malformed or runs past limit.
size_t WalkRecords(const uint8_t* buf, size_t q, size_t limit, CRawNames& names,
                   CArchiveMember& member, size_t* crcAt) {
    for (;;) {
        if (q + 2 > limit)
            return 0;
        uint16_t size = Get16(buf + q);
        if (size == 0)
            return q + 2;
        if (size < 3 || q + size + 2 > limit)
            return 0;
        uint8_t type = buf[q + 2];
        if (type == 0x00 && crcAt != nullptr && size >= 5)
            *crcAt = q + 3;
        TakeRecord(type, buf + q + 3, size - 3u, names, member);
        q += size;
    }
}

class CMemberParser {
public:
    CMemberParser(IRandomAccess& in, std::string& detail) : m_in(in), m_detail(detail) {}

    // Parses the member at offset; *end receives the offset after its data.
    int Parse(uint64_t offset, bool first, CArchiveMember& member, uint64_t* end);

private:
    int Fail(int code, const char* why) {
        m_detail = why;
        return code;
    }
    int ParseLevel01(uint64_t offset, const uint8_t* base, CArchiveMember& member, uint64_t* end);
    int ParseLevel2(uint64_t offset, const uint8_t* base, CArchiveMember& member, uint64_t* end);
    int Finish(uint64_t dataStart, uint64_t packed, uint64_t offset, const CRawNames& names,
               CArchiveMember& member, uint64_t* end);

    IRandomAccess& m_in;
    std::string& m_detail;
};

int CMemberParser::Parse(uint64_t offset, bool first, CArchiveMember& member, uint64_t* end) {
    uint8_t base[21];
    if (m_in.Size() - offset < sizeof base)
        return Fail(first ? RESULT_NOT_LZH : RESULT_HEADER_BROKEN, "truncated header");
    if (!m_in.ReadAt(offset, base, sizeof base))
        return Fail(RESULT_ARCHIVE_READ, "read error");
    if (!IsMethodId(base + 2))
        return Fail(first ? RESULT_NOT_LZH : RESULT_HEADER_BROKEN, "no method id");
    member.nOffset = offset;
    member.nLevel = base[20];
    member.bFolder = std::memcmp(base + 2, "-lhd-", 5) == 0;
    if (base[20] <= 1)
        return ParseLevel01(offset, base, member, end);
    if (base[20] == 2)
        return ParseLevel2(offset, base, member, end);
    return Fail(RESULT_HEADER_BROKEN, "unsupported header level");
}

int CMemberParser::ParseLevel01(uint64_t offset, const uint8_t* base, CArchiveMember& member,
                                uint64_t* end) {
    size_t headerLength = base[0] + 2u;
    uint8_t hdr[257];
    size_t nameLength = 0;
    if (headerLength < 24 || m_in.Size() - offset < headerLength)
        return Fail(RESULT_HEADER_BROKEN, "bad header length");
    if (!m_in.ReadAt(offset, hdr, headerLength))
        return Fail(RESULT_ARCHIVE_READ, "read error");
    uint8_t sum = 0;
    for (size_t i = 2; i < headerLength; ++i)
        sum = static_cast<uint8_t>(sum + hdr[i]);
    if (sum != hdr[1])
        return Fail(RESULT_HEADER_CHECKSUM, "header checksum mismatch");
    nameLength = hdr[21];
    bool level1 = base[20] == 1;
    if (22 + nameLength + 2 + (level1 ? 3u : 0u) > headerLength)
        return Fail(RESULT_HEADER_BROKEN, "name runs past the header");
    CRawNames names;
    names.strName.assign(reinterpret_cast<const char*>(hdr + 22), nameLength);
    member.bDosTime = true;
    member.nTime = Get32(hdr + 15);
    uint64_t skip = Get32(hdr + 7);
    if (!level1)
        return Finish(offset + headerLength, skip, offset, names, member, end);

    // Level 1: the records follow the base header, whose last two bytes
    // announce the first; the skip size counts the records and the data.
    uint64_t q = offset + headerLength - 2;
    uint64_t records = 0;
    uint8_t buf[65536 + 4];
    for (;;) {
        if (m_in.Size() - q < 2 || !m_in.ReadAt(q, buf, 2))
            return Fail(RESULT_HEADER_BROKEN, "records run past the end");
        uint16_t size = Get16(buf);
        if (size == 0)
            break;
        if (size < 3 || m_in.Size() - q < size + 2u || !m_in.ReadAt(q, buf, size + 2u))
            return Fail(RESULT_HEADER_BROKEN, "bad extension record");
        records += size;
        if (records > skip)
            return Fail(RESULT_HEADER_BROKEN, "records larger than the skip size");
        TakeRecord(buf[2], buf + 3, size - 3u, names, member);
        q += size;
    }
    return Finish(q + 2, skip - records, offset, names, member, end);
}

int CMemberParser::ParseLevel2(uint64_t offset, const uint8_t* base, CArchiveMember& member,
                               uint64_t* end) {
    size_t total = Get16(base);
    if (total < 26 || m_in.Size() - offset < total)
        return Fail(RESULT_HEADER_BROKEN, "bad header length");
    std::string hdr(total, '\0');
    auto* h = reinterpret_cast<uint8_t*>(hdr.data());
    if (!m_in.ReadAt(offset, h, total))
        return Fail(RESULT_ARCHIVE_READ, "read error");
    CRawNames names;
    member.bDosTime = false;
    member.nTime = Get32(h + 15);
    size_t crcAt = 0;
    size_t after = WalkRecords(h, 24, total, names, member, &crcAt);
    // One pad byte after the chain is allowed (some writers add it).
    if (after == 0 || after + 1 < total)
        return Fail(RESULT_HEADER_BROKEN, "bad extension records");
    if (crcAt != 0) {
        uint16_t stored = Get16(h + crcAt);
        h[crcAt] = h[crcAt + 1] = 0;
        if (Crc16(h, total) != stored)
            return Fail(RESULT_HEADER_CHECKSUM, "header CRC mismatch");
    }
    return Finish(offset + total, Get32(h + 7), offset, names, member, end);
}

int CMemberParser::Finish(uint64_t dataStart, uint64_t packed, uint64_t offset,
                          const CRawNames& names, CArchiveMember& member, uint64_t* end) {
    if (dataStart > m_in.Size() || m_in.Size() - dataStart < packed)
        return Fail(RESULT_HEADER_BROKEN, "data runs past the end");
    if (!BuildPath(names, member))
        return Fail(RESULT_HEADER_BROKEN, "unsafe or empty member name");
    *end = dataStart + packed;
    member.nLength = *end - offset;
    return RESULT_OK;
}

} // namespace

bool DecodeMemberPath(const std::string& name, const std::string& dir, bool hasDir,
                      uint32_t codePage, std::string& path) {
    path.clear();
    if (hasDir) {
        if (!dir.empty() && static_cast<uint8_t>(dir[0]) == 0xFF)
            return false; // leading 0xFF: absolute folder
        size_t start = 0;
        for (size_t i = 0; i <= dir.size(); ++i) {
            if (i < dir.size() && static_cast<uint8_t>(dir[i]) != 0xFF)
                continue;
            if (!AppendComponents(DecodeName(dir.substr(start, i - start), codePage), start == 0,
                                  path))
                return false;
            start = i + 1;
        }
    }
    if (!AppendComponents(DecodeName(name, codePage), path.empty(), path))
        return false;
    return !path.empty();
}

bool CMemoryAccess::ReadAt(uint64_t offset, void* buffer, size_t size) {
    if (offset > m_strBytes.size() || m_strBytes.size() - offset < size)
        return false;
    std::memcpy(buffer, m_strBytes.data() + offset, size);
    return true;
}

int ReadArchiveMembers(IRandomAccess& in, std::vector<CArchiveMember>& members,
                       std::string& detail) {
    members.clear();
    CMemberParser parser(in, detail);
    uint64_t offset = 0;
    for (;;) {
        uint8_t first = 0;
        if (offset == in.Size())
            break; // no end marker: every reader accepts that
        if (!in.ReadAt(offset, &first, 1))
            return RESULT_ARCHIVE_READ;
        if (first == 0) {
            if (members.empty()) {
                detail = "no members";
                return RESULT_NOT_LZH;
            }
            break;
        }
        CArchiveMember member;
        uint64_t end = 0;
        int rc = parser.Parse(offset, members.empty(), member, &end);
        if (rc != RESULT_OK)
            return rc;
        members.push_back(member);
        offset = end;
    }
    if (members.empty()) {
        detail = "empty file";
        return RESULT_NOT_LZH;
    }
    return RESULT_OK;
}

} // namespace unlha
