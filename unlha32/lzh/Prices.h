#pragma once
// What symbols cost, in 1/16 bit, learnt from the symbols chosen before:
// the parsers weigh literals against matches by these prices.

#include "lzh/BlockWriter.h"

#include <cstdint>

namespace unlha {

class CPrices {
public:
    static constexpr uint32_t kScale = 16; // 1/16 bit

    // positionCodes: 14, 16 or 17. Until Learn, text-like guesses.
    explicit CPrices(unsigned positionCodes);

    // Takes in the symbols of symbols from code index codeFrom and position
    // index posFrom on. The prices follow once 4096 symbols are in (the
    // first time at once), older counts weighing half: they follow the data
    // without jumping on the few symbols of a small file, and are not
    // recomputed for every one of many small files.
    void Learn(const CBlockSymbols& symbols, size_t codeFrom, size_t posFrom);
    bool Learnt() const { return m_bLearnt; }

    uint32_t Literal(uint8_t byte) const { return m_aLiteral[byte]; }
    // kMaxMatch + 4 entries, so that four lengths can be read at once.
    const uint32_t* Lengths() const { return m_aLength; }
    // A match's position value distance - 1: its code and extra bits.
    uint32_t Position(unsigned distance) const { return m_aPosition[PositionBits(distance - 1)]; }
    uint32_t Match(unsigned length, unsigned distance) const {
        return m_aLength[length] + Position(distance);
    }

private:
    unsigned m_nPositionCodes;
    bool m_bLearnt = false;
    uint32_t m_aCodeFreq[kCodeCount] = {};
    uint32_t m_aPosFreq[17] = {};
    uint32_t m_aNewCodeFreq[kCodeCount] = {}; // taken in since the prices were made
    uint32_t m_aNewPosFreq[17] = {};
    uint32_t m_nNew = 0;
    uint32_t m_aLiteral[256];
    uint32_t m_aLength[kMaxMatch + 4];
    uint32_t m_aPosition[17];
};

} // namespace unlha
