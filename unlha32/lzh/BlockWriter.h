#pragma once
// One block of an -lh5-/-lh6-/-lh7- stream: the symbol count, the three code
// tables and the coded symbols.

#include "lzh/BitWriter.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace unlha {

constexpr unsigned kLiteralCount = 256;
constexpr unsigned kMinMatch = 3;
constexpr unsigned kMaxMatch = 256;
constexpr unsigned kCodeCount = kLiteralCount + kMaxMatch - kMinMatch + 1; // 510
constexpr unsigned kMaxBlockSymbols = 65535;

// The symbols of one block: literal bytes and match lengths (as codes
// 256 + length - 3), each match with its position value (distance - 1).
struct CBlockSymbols {
    std::vector<uint16_t> aCodes;
    std::vector<uint16_t> aPositions; // one per match code, in order

    void Clear() {
        aCodes.clear();
        aPositions.clear();
    }
};

// Writes the block with codes [codeBegin, codeEnd) of symbols, whose matches
// start at position index posBegin; positionCodes is 14, 16 or 17 for
// -lh5-, -lh6-, -lh7-. At most kMaxBlockSymbols codes, at least one.
void WriteBlock(CBitWriter& out, const CBlockSymbols& symbols, size_t codeBegin, size_t codeEnd,
                size_t posBegin, unsigned positionCodes);

// Number of significant bits of a position value (0 for 0).
inline unsigned PositionBits(unsigned p) {
    return static_cast<unsigned>(std::bit_width(p));
}

} // namespace unlha
