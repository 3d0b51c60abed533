#pragma once
// The -lh5-/-lh6-/-lh7- compressor: price-based (or lazy) LZ77 parsing over
// hash chains, blocks of Huffman-coded symbols cut where the statistics
// change.

#include "lzh/BlockWriter.h"
#include "lzh/EncoderLevels.h"
#include "lzh/MatchFinder.h"
#include "lzh/OptimalParser.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace unlha {

// Receives compressed bytes; returning false stops the compression (the
// output has grown too large to be worth keeping).
class IByteSink {
public:
    virtual ~IByteSink() = default;
    virtual bool Write(const uint8_t* data, size_t size) = 0;
};

// Incompressible: the first nProbeBytes of the input (see CEncoderParams)
// gave nothing to gain, and the rest was not read; the data is better stored.
enum class EEncodeResult { Done, SinkStopped, ReadError, Incompressible };

struct CEncodeStats {
    uint64_t nInputBytes = 0;
    uint64_t nOutputBytes = 0;
    uint16_t nCrc = 0; // CRC-16 of the input
};

class CLzhEncoder {
public:
    // method: 5, 6 or 7. Tests use small blocks to reach multi-block streams
    // quickly.
    explicit CLzhEncoder(int method, const CEncoderParams& params = CEncoderParams());
    ~CLzhEncoder();

    // Compresses all of source into sink. The stream ends on a byte
    // boundary with no byte to spare, and its last block is never a tiny
    // one (some readers reject a block that starts in the last 8 bytes).
    // One encoder compresses the files of an archive one after the other:
    // its tables are reused and its prices carry over, each stream still
    // stands alone.
    // mayGiveUp false: never Incompressible, all of the source is compressed.
    EEncodeResult Encode(IByteSource& source, IByteSink& sink, CEncodeStats& stats,
                         bool mayGiveUp = true);

    int Method() const { return m_nMethod; }

private:
    void AddLiteral(uint8_t byte);
    void AddMatch(unsigned length, unsigned distance);
    void FlushBlocks(bool final);
    void KeepLastBlockLarge(size_t codeBegin, size_t posBegin);
    void JoinSmallLastBlock(std::vector<size_t>& ends) const;
    bool Drain(IByteSink& sink, CEncodeStats& stats);
    // True once, at the first call past nProbeBytes positions of a file, when
    // nothing has been written yet and its symbols so far save nothing.
    bool GiveUp(uint32_t pos) { return pos - m_finder.Start() >= m_nProbeAt && Probe(pos); }
    bool Probe(uint32_t pos);
    struct CScored {
        CMatch match;
        int32_t nSaving = 0;
    };
    CScored BestOf(const CMatch* found, unsigned n, uint32_t at) const;
    EEncodeResult ParseLazy(IByteSource& source, IByteSink& sink, CEncodeStats& stats);
    EEncodeResult ParseOptimal(IByteSource& source, IByteSink& sink, CEncodeStats& stats);

    int m_nMethod;
    unsigned m_nDicBit;
    unsigned m_nPositionCodes;
    size_t m_nBufferSymbols; // symbols gathered before blocks are chosen
    size_t m_nSegment;       // blocks start at multiples of this
    CEncoderParams m_params;
    CBlockSymbols m_symbols;
    CBitWriter m_bits;
    CMatchFinder m_finder;
    std::unique_ptr<COptimalParser> m_parser;   // for price-based parsing
    CPrices m_prices;                           // for lazy matching
    uint32_t m_nProbeAt = ~0u;                  // file position of the probe, ~0u once done
    static constexpr size_t kLearnEvery = 4096; // lazy: symbols between price updates
};

} // namespace unlha
