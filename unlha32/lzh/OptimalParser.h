#pragma once
// Chooses literals and matches by their price in bits instead of by length
// alone: a shortest path through a chunk of input picks the cheapest
// sequence. The path is relaxed while the chunk is searched, so matches are
// never stored. Prices come from the symbols chosen in the chunk before; the
// first chunk is parsed twice, once only to learn them.

#include "lzh/BlockWriter.h"
#include "lzh/MatchFinder.h"

#include <cstdint>
#include <vector>

namespace unlha {

class COptimalParser {
public:
    // positionCodes: 14, 16 or 17. niceLength: a match this long is taken as
    // it is and the positions inside it are not searched.
    // goodLength: after a match this long, the next position is searched
    // with less effort.
    COptimalParser(unsigned positionCodes, unsigned niceLength, unsigned goodLength);

    // Parses from pos up to chunk positions (fewer at the end of input),
    // appending the symbols to out. Returns the position after the chunk, or
    // pos itself on a read error (readError is set).
    uint32_t ParseChunk(CMatchFinder& finder, IByteSource& source, uint32_t pos, uint32_t chunk,
                        CBlockSymbols& out, bool& readError);

private:
    // Searches the chunk's positions and relaxes their steps; keep also
    // stores bytes and matches for a second round. False on a read error;
    // count receives the positions taken.
    bool Scan(CMatchFinder& finder, IByteSource& source, uint32_t pos, uint32_t chunk,
              uint32_t& count, bool keep);
    // The second round over what Scan kept, with the new prices.
    void Rescan(uint32_t count);
    void Relax(uint32_t at, uint8_t byte, const CMatch* matches, unsigned n);
    // Appends the cheapest path to the chunk's end, in order.
    void TraceBack(uint32_t count, CBlockSymbols& out) const;
    // Prices from the symbols of out from the given code and position index.
    void UpdatePrices(const CBlockSymbols& out, size_t codeFrom, size_t posFrom);

    unsigned m_nPositionCodes;
    unsigned m_nNice;
    unsigned m_nGood;
    bool m_bPriced = false;
    // Prices in 1/16 bit, already shifted into the nodes' cost field; a
    // length step also carries its length.
    uint64_t m_aLiteralStep[256];
    uint64_t m_aLengthStep[kMaxMatch + 1];
    uint64_t m_aPositionStep[17];
    // Per chunk position: cost << 32 | length << 16 | distance (or the byte
    // when length is 0), the cheapest step that reaches it.
    std::vector<uint64_t> m_aNodes;
    // Kept by the first chunk's first round only.
    std::vector<uint8_t> m_aBytes;
    std::vector<uint32_t> m_aFirst;
    std::vector<CMatch> m_aMatches;
};

} // namespace unlha
