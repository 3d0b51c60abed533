#include "lzh/Prices.h"

#include <algorithm>
#include <array>
#include <bit>

namespace unlha {

namespace {

constexpr uint32_t kScale = CPrices::kScale;

// 16 * log2(1 + m / 256) for m < 256, rounded: the fraction of a log2 that
// the eight bits below the top one give.
constexpr auto kLog2Mantissa = [] {
    std::array<uint8_t, 256> t{};
    for (unsigned m = 0; m < 256; ++m) {
        double x = 1.0 + m / 256.0, y = 0;
        for (int i = 0; i < 24; ++i) { // binary digits of log2(x), by squaring
            x *= x;
            y *= 2;
            if (x >= 2) {
                x /= 2;
                y += 1;
            }
        }
        t[m] = static_cast<uint8_t>((y * kScale / (1 << 24)) + 0.5);
    }
    return t;
}();

// 16 * log2(x) for x >= 1, without a call to log2.
uint32_t Log2x16(uint32_t x) {
    unsigned top = 31 - static_cast<unsigned>(std::countl_zero(x));
    // The eight bits below the top one, shifted either way.
    auto mantissa = static_cast<uint32_t>(((uint64_t{x} << 8) >> top) & 0xFF);
    return top * kScale + kLog2Mantissa[mantissa];
}

// Prices against one total: a symbol seen freq times; an unseen one costs a
// little more than the rarest seen one.
class CPriceScale {
public:
    explicit CPriceScale(uint32_t total)
        : m_nLogTotal(total != 0 ? Log2x16(total) : 0), // only a seen symbol reads it
          m_nUnseen(Log2x16(total + 1) + 2 * kScale) {}
    uint32_t Of(uint32_t freq) const {
        uint32_t bits = freq == 0 ? m_nUnseen : m_nLogTotal - Log2x16(freq);
        return std::clamp<uint32_t>(bits, kScale, 16 * kScale);
    }

private:
    uint32_t m_nLogTotal, m_nUnseen;
};

} // namespace

CPrices::CPrices(unsigned positionCodes) : m_nPositionCodes(positionCodes) {
    for (auto& p : m_aLiteral)
        p = 6 * kScale;
    for (unsigned len = 0; len < kMaxMatch + 4; ++len)
        m_aLength[len] = (5 + len / 32) * kScale;
    for (unsigned c = 0; c < 17; ++c)
        m_aPosition[c] = (3 + (c >= 2 ? c - 1 : 0)) * kScale;
}

void CPrices::Learn(const CBlockSymbols& symbols, size_t codeFrom, size_t posFrom) {
    if (codeFrom == 0 && posFrom == 0 && symbols.Counted()) {
        for (unsigned c = 0; c < kCodeCount; ++c)
            m_aNewCodeFreq[c] += symbols.aCodeFreq[c];
        for (unsigned c = 0; c < 17; ++c)
            m_aNewPosFreq[c] += symbols.aPosFreq[c];
    } else {
        for (size_t i = codeFrom; i < symbols.aCodes.size(); ++i)
            ++m_aNewCodeFreq[symbols.aCodes[i]];
        for (size_t i = posFrom; i < symbols.aPositions.size(); ++i)
            ++m_aNewPosFreq[PositionBits(symbols.aPositions[i])];
    }
    m_nNew += static_cast<uint32_t>(symbols.aCodes.size() - codeFrom);
    if (m_bLearnt && m_nNew < 4096)
        return;
    for (unsigned c = 0; c < kCodeCount; ++c) {
        m_aCodeFreq[c] = m_aCodeFreq[c] / 2 + m_aNewCodeFreq[c];
        m_aNewCodeFreq[c] = 0;
    }
    for (unsigned c = 0; c < 17; ++c) {
        m_aPosFreq[c] = m_aPosFreq[c] / 2 + m_aNewPosFreq[c];
        m_aNewPosFreq[c] = 0;
    }
    m_nNew = 0;
    uint32_t codes = 0, matches = 0;
    for (uint32_t f : m_aCodeFreq)
        codes += f;
    for (uint32_t f : m_aPosFreq)
        matches += f;
    CPriceScale codePrice(codes), positionPrice(std::max(matches, 1u));
    for (unsigned b = 0; b < 256; ++b)
        m_aLiteral[b] = codePrice.Of(m_aCodeFreq[b]);
    for (unsigned len = kMinMatch; len <= kMaxMatch; ++len)
        m_aLength[len] = codePrice.Of(m_aCodeFreq[kLiteralCount + len - kMinMatch]);
    // A position code is followed by its extra bits.
    for (unsigned c = 0; c < m_nPositionCodes; ++c)
        m_aPosition[c] = positionPrice.Of(m_aPosFreq[c]) + (c >= 2 ? (c - 1) * kScale : 0);
    m_bLearnt = true;
}

} // namespace unlha
