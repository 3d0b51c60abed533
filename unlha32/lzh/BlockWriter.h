#pragma once
// One block of an -lh5-/-lh6-/-lh7- stream: the symbol count, the three code
// tables and the coded symbols.

#include "lzh/BitWriter.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

namespace unlha {

constexpr unsigned kLiteralCount = 256;
constexpr unsigned kMinMatch = 3;
constexpr unsigned kMaxMatch = 256;
constexpr unsigned kCodeCount = kLiteralCount + kMaxMatch - kMinMatch + 1; // 510
constexpr unsigned kMaxBlockSymbols = 65535;

// Number of significant bits of a position value (0 for 0).
inline unsigned PositionBits(unsigned p) {
    return static_cast<unsigned>(std::bit_width(p));
}

// The symbols of one block: literal bytes and match lengths (as codes
// 256 + length - 3), each match with its position value (distance - 1).
struct CBlockSymbols {
    std::vector<uint16_t> aCodes;
    std::vector<uint16_t> aPositions; // one per match code, in order
    // How often each code and position slot occurs among all the symbols
    // held, kept by AddLiteral and AddMatch: a block of all of them, and the
    // prices, need not count them again. A writer that fills the vectors
    // directly leaves the counts behind, and Counted() says so.
    uint32_t aCodeFreq[kCodeCount] = {};
    uint32_t aPosFreq[17] = {};

    void AddLiteral(uint8_t byte) {
        aCodes.push_back(byte);
        ++aCodeFreq[byte];
        ++m_nCountedCodes;
    }
    void AddLiterals(const uint8_t* bytes, size_t count) {
        aCodes.insert(aCodes.end(), bytes, bytes + count);
        for (size_t i = 0; i < count; ++i)
            ++aCodeFreq[bytes[i]];
        m_nCountedCodes += count;
    }
    void AddMatch(unsigned length, unsigned distance) {
        unsigned code = kLiteralCount + length - kMinMatch;
        aCodes.push_back(static_cast<uint16_t>(code));
        aPositions.push_back(static_cast<uint16_t>(distance - 1));
        ++aCodeFreq[code];
        ++aPosFreq[PositionBits(distance - 1)];
        ++m_nCountedCodes;
    }
    // A position comes with a match code: the codes alone tell.
    bool Counted() const { return m_nCountedCodes == aCodes.size(); }
    // After a change other than Add*: the counts no longer hold.
    void ForgetCounts() { m_nCountedCodes = ~size_t{0}; }
    void Clear() {
        aCodes.clear();
        aPositions.clear();
        std::fill(std::begin(aCodeFreq), std::end(aCodeFreq), 0u);
        std::fill(std::begin(aPosFreq), std::end(aPosFreq), 0u);
        m_nCountedCodes = 0;
    }

private:
    size_t m_nCountedCodes = 0;
};

// Writes the block with codes [codeBegin, codeEnd) of symbols, whose matches
// start at position index posBegin; positionCodes is 14, 16 or 17 for
// -lh5-, -lh6-, -lh7-. At most kMaxBlockSymbols codes, at least one.
void WriteBlock(CBitWriter& out, const CBlockSymbols& symbols, size_t codeBegin, size_t codeEnd,
                size_t posBegin, unsigned positionCodes);

} // namespace unlha
