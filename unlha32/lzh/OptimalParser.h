#pragma once
// Chooses literals and matches by their price in bits instead of by length
// alone: a shortest path through a chunk of input picks the cheapest
// sequence. The path is relaxed while the chunk is searched, so matches are
// never stored. Prices come from the symbols chosen before, the previous
// chunks' and, at the start of a file, the previous file's: one parser
// serves all the files of an archive, and only the very first chunk is
// parsed twice, once only to learn prices.

#include "lzh/BlockWriter.h"
#include "lzh/EncoderLevels.h"
#include "lzh/MatchFinder.h"
#include "lzh/Prices.h"

#include <cstdint>
#include <vector>

namespace unlha {

class COptimalParser {
public:
    // positionCodes: 14, 16 or 17. From params: nSkipLength (the positions
    // inside a match this long are not searched), nGoodLength (after a match
    // this long, the next position is searched with less effort) and nChunk
    // (positions per step).
    COptimalParser(unsigned positionCodes, const CEncoderParams& params);

    // Parses from pos up to the chunk size (fewer at the end of input),
    // appending the symbols to out. Returns the position after the chunk, or
    // pos itself on a read error (readError is set).
    uint32_t ParseChunk(CMatchFinder& finder, IByteSource& source, uint32_t pos, CBlockSymbols& out,
                        bool& readError);

private:
    // Searches the chunk's positions and relaxes their steps; keep also
    // stores bytes and matches for a second round. False on a read error;
    // count receives the positions taken.
    bool Scan(CMatchFinder& finder, IByteSource& source, uint32_t pos, uint32_t& count, bool keep);
    // The second round over what Scan kept, with the new prices.
    void Rescan(uint32_t count);
    void Relax(uint32_t at, uint8_t byte, const CMatch* matches, unsigned n);
    // Nodes up to `to` set to "not reached".
    void ClearNodesTo(uint32_t to);
    // Appends the cheapest path to the chunk's end, in order.
    void TraceBack(uint32_t count, CBlockSymbols& out) const;

    unsigned m_nSkip;
    unsigned m_nGood;
    uint32_t m_nChunk;
    CPrices m_prices;
    // Per chunk position: the cost of the cheapest path that reaches it and
    // its last step, length << 16 | distance, or the byte when length is 0.
    std::vector<uint32_t> m_aCost;
    std::vector<uint32_t> m_aStep;
    uint32_t m_nCleared = 0; // nodes below this are set for the chunk
    // Kept by the first chunk's first round only.
    std::vector<uint8_t> m_aBytes;
    std::vector<uint32_t> m_aFirst;
    std::vector<CMatch> m_aMatches;
};

} // namespace unlha
