#include "command/MemberWriter.h"

#include "command/MemberNames.h"
#include "command/MemberTime.h"
#include "lzh/Crc16.h"
#include "lzh/Huffman.h"
#include "lzh/LzhEncoder.h"
#include "lzh/ResultCodes.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace unlha {

namespace {

// Compressed bytes go straight into the archive; once they reach the
// original size, storing is better and compression stops.
class CArchiveSink : public IByteSink {
public:
    CArchiveSink(CArchiveWriter& out, uint64_t limit) : m_out(out), m_nLimit(limit) {}
    bool Write(const uint8_t* data, size_t size) override {
        m_nWritten += size;
        if (m_nWritten >= m_nLimit)
            return false;
        return m_out.Write(data, size);
    }

private:
    CArchiveWriter& m_out;
    uint64_t m_nLimit;
    uint64_t m_nWritten = 0;
};

// Copies the whole file unchanged; fills the sizes and the CRC.
int StoreFile(CArchiveWriter& out, CReadFile& file, CMemberInfo& info) {
    file.Rewind();
    std::vector<uint8_t> buffer(1 << 16);
    uint64_t total = 0;
    uint16_t crc = 0;
    for (;;) {
        long got = file.Read(buffer.data(), buffer.size());
        if (got < 0)
            return RESULT_FILE_OPEN;
        if (got == 0)
            break;
        auto n = static_cast<size_t>(got);
        crc = UpdateCrc16(crc, buffer.data(), n);
        total += n;
        if (total > 0xFFFFFFFFull)
            return RESULT_FILE_OPEN;
        if (!out.Write(buffer.data(), n))
            return RESULT_ARCHIVE_OPEN;
    }
    info.strMethod = "-lh0-";
    info.nOriginal = info.nPacked = static_cast<uint32_t>(total);
    info.nCrc = crc;
    return RESULT_OK;
}

// Whether a file whose head did not compress holds a later stretch that
// would: 4 KiB samples every 256 KiB past the head, weighed by their bytes'
// own Huffman code. A file of unlike pieces (a bundle of photos and texts,
// a disk image) is then compressed to its end rather than stored whole.
bool LaterStretchCompresses(CReadFile& file) {
    constexpr uint64_t kStride = 256 * 1024;
    constexpr size_t kSample = 4096;
    uint8_t sample[kSample];
    for (uint64_t at = kSample; at + 512 <= file.Size(); at += kStride) {
        size_t n = static_cast<size_t>(std::min<uint64_t>(kSample, file.Size() - at));
        if (!file.ReadAt(at, sample, n))
            return true; // the full pass reports what went wrong
        // Noise's own code saves well under 1 % on 4 KiB; text saves a third.
        if (OwnCodeBits(sample, n) * 100 <= uint64_t{8} * n * 97)
            return true;
    }
    return false;
}

} // namespace

int WriteMember(CArchiveWriter& out, const CCollectedItem& item, CLzhEncoder& encoder,
                CFolderHandle& folder, CWrittenMember& written, CReport& report) {
    written = CWrittenMember{};
    CMemberInfo info;
    EncodeMemberNames(item.strStored, item.bFolder, info);
    info.nTime = Level2TimeOf(item.nTime);
    info.nAttribute = item.nAttribute;
    info.strMethod = item.bFolder ? "-lhd-" : "-lh0-";
    std::string header = BuildLevel2Header(info);
    if (header.empty()) {
        report.AddLine("格納名が長すぎます: " + item.strStored);
        return RESULT_PATH_TOO_LONG;
    }
    uint64_t headerAt = out.Tell();
    if (!out.Write(header.data(), header.size()))
        return RESULT_ARCHIVE_OPEN;
    written.strMethod = info.strMethod;
    if (item.bFolder)
        return RESULT_OK;

    CReadFile file;
    if (int err = file.Open(item.strHostPath, &folder)) {
        report.AddLine("ファイルを開けません: " + item.strStored + " (" + std::strerror(err) + ")");
        return RESULT_FILE_OPEN;
    }
    uint64_t dataAt = out.Tell();
    CArchiveSink sink(out, file.Size());
    CEncodeStats stats;
    EEncodeResult result =
        file.Size() == 0 ? EEncodeResult::SinkStopped : encoder.Encode(file, sink, stats);
    if (result == EEncodeResult::Incompressible && LaterStretchCompresses(file)) {
        file.Rewind();
        CArchiveSink whole(out, file.Size());
        result = out.TruncateTo(dataAt) ? encoder.Encode(file, whole, stats, false)
                                        : EEncodeResult::SinkStopped;
    }
    if (result == EEncodeResult::ReadError) {
        report.AddLine("ファイルを読めません: " + item.strStored);
        return RESULT_FILE_OPEN;
    }
    // Fewer than 8 compressed bytes trip some readers, and never pay anyway.
    bool compressed = result == EEncodeResult::Done && stats.nOutputBytes < stats.nInputBytes &&
                      stats.nOutputBytes >= 8 && stats.nInputBytes <= 0xFFFFFFFFull;
    if (out.LastError() != 0)
        return RESULT_ARCHIVE_OPEN;
    if (compressed) {
        info.strMethod = encoder.Method() == 5   ? "-lh5-"
                         : encoder.Method() == 6 ? "-lh6-"
                                                 : "-lh7-";
        info.nOriginal = static_cast<uint32_t>(stats.nInputBytes);
        info.nPacked = static_cast<uint32_t>(stats.nOutputBytes);
        info.nCrc = stats.nCrc;
    } else {
        if (!out.TruncateTo(dataAt))
            return RESULT_ARCHIVE_OPEN;
        if (int rc = StoreFile(out, file, info)) {
            if (rc == RESULT_FILE_OPEN)
                report.AddLine("ファイルを読めません: " + item.strStored);
            return rc;
        }
    }
    if (!out.PatchAt(headerAt, BuildLevel2Header(info)))
        return RESULT_ARCHIVE_OPEN;
    written.strMethod = info.strMethod;
    written.nOriginal = info.nOriginal;
    written.nPacked = info.nPacked;
    return RESULT_OK;
}

} // namespace unlha
