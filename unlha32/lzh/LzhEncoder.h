#pragma once
// The -lh5-/-lh6-/-lh7- compressor: price-based (or lazy) LZ77 parsing over
// hash chains, blocks of Huffman-coded symbols cut where the statistics
// change.

#include "lzh/BlockWriter.h"
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

enum class EEncodeResult { Done, SinkStopped, ReadError };

struct CEncodeStats {
    uint64_t nInputBytes = 0;
    uint64_t nOutputBytes = 0;
    uint16_t nCrc = 0; // CRC-16 of the input
};

// Search effort and block size. The defaults are the price-based parser,
// which gives the smallest output; Lazy() is about twice as fast and some
// 2.5 % larger on text.
struct CEncoderParams {
    unsigned nMaxChain = 24;         // candidates tried per position
    unsigned nGoodLength = 8;        // after a match this long, search with less effort
    unsigned nNiceLength = 32;       // a match this long ends the search
    unsigned nMaxLazy = 48;          // lazy: a match this long is taken without looking further
    unsigned nTooFarForThree = 4096; // lazy: 3-byte matches further back cost more than literals
    // Symbols are gathered in fours of this (65535 at most) before block
    // ends are chosen; a block then holds 1/32 of a gathering up to all of it.
    unsigned nBlockSymbols = 16384;
    bool bOptimal = true;    // price-based parsing instead of lazy matching
    unsigned nChunk = 16384; // positions per price-based parsing step

    // Levels 1 (fastest) to 9 (smallest); 0 is kDefaultLevel.
    static constexpr int kDefaultLevel = 6;
    static CEncoderParams ForLevel(int level);
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
    EEncodeResult Encode(IByteSource& source, IByteSink& sink, CEncodeStats& stats);

    int Method() const { return m_nMethod; }

private:
    void AddLiteral(uint8_t byte);
    void AddMatch(unsigned length, unsigned distance);
    void FlushBlocks(bool final);
    void KeepLastBlockLarge(size_t codeBegin, size_t posBegin);
    void JoinSmallLastBlock(std::vector<size_t>& ends) const;
    bool Drain(IByteSink& sink, CEncodeStats& stats);
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
    std::unique_ptr<COptimalParser> m_parser; // for price-based parsing
};

} // namespace unlha
