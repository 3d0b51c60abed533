#pragma once
// Chooses literals and matches by their price in bits instead of by length
// alone: every position's matches are collected for a chunk of input, then a
// shortest path through the chunk picks the cheapest sequence. Prices come
// from the symbol counts of the chunk before (two rounds for the first).

#include "BlockWriter.h"
#include "MatchFinder.h"

#include <cstdint>
#include <vector>

namespace unlha {

struct CParsedSymbol {
    uint16_t nLength; // 0 for a literal
    uint16_t nDistance;
    uint8_t nLiteral;
};

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
                        std::vector<CParsedSymbol>& out, bool& readError);

private:
    struct CCandidate {
        uint16_t nLength;
        uint16_t nDistance;
    };

    // Searches the chunk's positions, noting bytes and candidates; false on
    // a read error. count receives the positions taken.
    bool Collect(CMatchFinder& finder, IByteSource& source, uint32_t pos, uint32_t chunk,
                 uint32_t& count);
    void ShortestPath(uint32_t count);
    // Appends the cheapest path to the chunk's end, in order.
    void TraceBack(uint32_t count, std::vector<CParsedSymbol>& out) const;
    void UpdatePrices(const std::vector<CParsedSymbol>& symbols, size_t from);

    unsigned m_nPositionCodes;
    unsigned m_nNice;
    unsigned m_nGood;
    bool m_bPriced = false;
    uint32_t m_aLiteralPrice[256];
    uint32_t m_aLengthPrice[kMaxMatch + 1];
    uint32_t m_aPositionPrice[17];
    // Per chunk position: its byte and the range of its candidates.
    std::vector<uint8_t> m_aBytes;
    std::vector<uint32_t> m_aFirst;
    std::vector<CCandidate> m_aCandidates;
    std::vector<uint64_t> m_aNodes; // per position: cost << 32 | length << 16 | distance
};

} // namespace unlha
