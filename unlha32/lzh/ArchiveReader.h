#pragma once
// Reads the member list of an existing LZH archive (header levels 0, 1 and
// 2) without decompressing anything: enough to copy members unchanged and
// to compare their names and times with files on disk. Every size and
// length is checked against the file, so a broken or hostile archive is
// refused instead of trusted.

#include <cstdint>
#include <string>
#include <vector>

namespace unlha {

class IRandomAccess {
public:
    virtual ~IRandomAccess() = default;
    virtual uint64_t Size() const = 0;
    // Reads exactly size bytes at offset; false when that is not possible.
    virtual bool ReadAt(uint64_t offset, void* buffer, size_t size) = 0;
};

struct CArchiveMember {
    uint64_t nOffset = 0; // first byte of the header
    uint64_t nLength = 0; // header and data together
    std::string strPath;  // UTF-8, "/" between folders, no trailing "/"
    bool bFolder = false;
    bool bDosTime = false; // nTime is an MS-DOS local stamp, else Unix seconds
    uint32_t nTime = 0;
    int nLevel = 0;
};

// Fills members in archive order. Returns 0, RESULT_NOT_LZH when the file
// does not start with an LZH member, RESULT_HEADER_BROKEN or
// RESULT_HEADER_CHECKSUM for a damaged or unsafe member (sizes past the end,
// absurd lengths, absolute paths or ".." components), RESULT_ARCHIVE_READ on
// a read error. detail receives a short English reason.
int ReadArchiveMembers(IRandomAccess& in, std::vector<CArchiveMember>& members,
                       std::string& detail);

// The path a member's name records give, as the reader above builds it:
// name (record 0x01) and folders (record 0x02, each followed by 0xFF) in the
// code page of record 0x46 (0 when absent). hasDir: record 0x02 is present.
// False for a name the reader refuses (empty, absolute, "..", drive letter).
bool DecodeMemberPath(const std::string& name, const std::string& dir, bool hasDir,
                      uint32_t codePage, std::string& path);

// IRandomAccess over bytes in memory (tests, fuzzing).
class CMemoryAccess : public IRandomAccess {
public:
    explicit CMemoryAccess(std::string bytes) : m_strBytes(std::move(bytes)) {}
    uint64_t Size() const override { return m_strBytes.size(); }
    bool ReadAt(uint64_t offset, void* buffer, size_t size) override;

private:
    std::string m_strBytes;
};

} // namespace unlha
