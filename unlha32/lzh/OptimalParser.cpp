#include "lzh/OptimalParser.h"

#include <algorithm>
#include <array>
#include <bit>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace unlha {

namespace {

constexpr uint32_t kScale = 16; // prices in 1/16 bit
constexpr unsigned kMaxCandidates = 16;
constexpr uint32_t kUnreached = 0x7FFFFFFF; // compared as signed, four at a time
constexpr uint32_t kClearAhead = 4096;      // nodes set to "unreached" at a time

// 16 * log2(x) for x >= 1, from the position of the top bit and a table of
// the next eight bits.
constexpr auto kLog2Mantissa = [] {
    std::array<uint8_t, 256> t{};
    for (unsigned m = 0; m < 256; ++m) {
        // 16 * log2(1 + m / 256), rounded, without <cmath> in a constant.
        double x = 1.0 + m / 256.0, y = 0;
        for (int i = 0; i < 24; ++i) { // binary digits of log2(x)
            x *= x;
            y *= 2;
            if (x >= 2) {
                x /= 2;
                y += 1;
            }
        }
        t[m] = static_cast<uint8_t>((y * 16 / (1 << 24)) + 0.5);
    }
    return t;
}();

uint32_t Log2x16(uint32_t x) {
    unsigned top = 31 - static_cast<unsigned>(std::countl_zero(x));
    uint32_t mantissa = top >= 8 ? (x >> (top - 8)) & 0xFF : (x << (8 - top)) & 0xFF;
    return top * kScale + kLog2Mantissa[mantissa];
}

// The price of a symbol seen freq times in total; an unseen one costs a
// little more than the rarest seen one.
uint32_t PriceOf(uint32_t freq, uint32_t total) {
    uint32_t bits = freq == 0 ? Log2x16(total + 1) + 2 * kScale : Log2x16(total) - Log2x16(freq);
    return std::clamp<uint32_t>(bits, kScale, 16 * kScale);
}

// length << 16 for every length, four past the longest.
constexpr auto kLengthTag = [] {
    std::array<uint32_t, kMaxMatch + 4> t{};
    for (unsigned len = 0; len < t.size(); ++len)
        t[len] = len << 16;
    return t;
}();

} // namespace

COptimalParser::COptimalParser(unsigned positionCodes, unsigned niceLength, unsigned goodLength,
                               uint32_t chunk)
    : m_nPositionCodes(positionCodes), m_nNice(niceLength), m_nGood(goodLength),
      m_nChunk(std::max(chunk, 1u)), m_aCost(size_t{m_nChunk} + kMaxMatch + 4, kUnreached),
      m_aStep(m_aCost.size(), 0) {
    // First guesses, replaced after the first round: text-like costs.
    for (auto& p : m_aLiteralPrice)
        p = 6 * kScale;
    for (unsigned len = 0; len < kMaxMatch + 4; ++len)
        m_aLengthPrice[len] = (5 + len / 32) * kScale;
    for (unsigned c = 0; c < 17; ++c)
        m_aPositionPrice[c] = (3 + (c >= 2 ? c - 1 : 0)) * kScale;
}

// Relaxes the steps from at: the literal (which wins a tie) and every length
// of every match, each length with the nearest match that reaches it.
inline void COptimalParser::Relax(uint32_t at, uint8_t byte, const CMatch* matches, unsigned n) {
    uint32_t* cost = m_aCost.data() + at;
    uint32_t* step = m_aStep.data() + at;
    uint32_t base = cost[0];
    uint32_t literal = base + m_aLiteralPrice[byte];
    if (literal <= cost[1]) {
        cost[1] = literal;
        step[1] = byte;
    }
    unsigned len = kMinMatch;
    for (unsigned k = 0; k < n; ++k) {
        const CMatch& m = matches[k];
        uint32_t start = base + m_aPositionPrice[PositionBits(m.nDistance - 1u)];
#if defined(__SSE2__)
        // Four lengths at a time: cost and step taken where the new cost is
        // lower.
        const __m128i vStart = _mm_set1_epi32(static_cast<int>(start));
        const __m128i vDistance = _mm_set1_epi32(static_cast<int>(m.nDistance));
        for (; len + 3 <= m.nLength; len += 4) {
            auto* c = reinterpret_cast<__m128i*>(cost + len);
            auto* s = reinterpret_cast<__m128i*>(step + len);
            __m128i now = _mm_add_epi32(
                vStart, _mm_loadu_si128(reinterpret_cast<const __m128i*>(m_aLengthPrice + len)));
            __m128i old = _mm_loadu_si128(c);
            __m128i lower = _mm_cmplt_epi32(now, old);
            _mm_storeu_si128(c,
                             _mm_or_si128(_mm_and_si128(lower, now), _mm_andnot_si128(lower, old)));
            __m128i tag = _mm_or_si128(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(kLengthTag.data() + len)),
                vDistance);
            __m128i oldStep = _mm_loadu_si128(s);
            _mm_storeu_si128(
                s, _mm_or_si128(_mm_and_si128(lower, tag), _mm_andnot_si128(lower, oldStep)));
        }
#endif
        for (; len <= m.nLength; ++len) {
            uint32_t now = start + m_aLengthPrice[len];
            if (now < cost[len]) {
                cost[len] = now;
                step[len] = kLengthTag[len] | m.nDistance;
            }
        }
    }
}

void COptimalParser::ClearNodesTo(uint32_t to) {
    if (to <= m_nCleared)
        return;
    to = std::min<uint32_t>(std::max(to, m_nCleared + kClearAhead),
                            static_cast<uint32_t>(m_aCost.size()));
    std::fill(m_aCost.begin() + m_nCleared, m_aCost.begin() + to, kUnreached);
    m_nCleared = to;
}

void COptimalParser::UpdatePrices(const CBlockSymbols& out, size_t codeFrom, size_t posFrom) {
    // Older counts weigh half: prices follow the data without jumping on
    // the few symbols of a small file.
    for (auto& f : m_aCodeFreq)
        f /= 2;
    for (auto& f : m_aPosFreq)
        f /= 2;
    for (size_t i = codeFrom; i < out.aCodes.size(); ++i)
        ++m_aCodeFreq[out.aCodes[i]];
    for (size_t i = posFrom; i < out.aPositions.size(); ++i)
        ++m_aPosFreq[PositionBits(out.aPositions[i])];
    uint32_t codes = 0, matches = 0;
    for (uint32_t f : m_aCodeFreq)
        codes += f;
    for (uint32_t f : m_aPosFreq)
        matches += f;
    for (unsigned b = 0; b < 256; ++b)
        m_aLiteralPrice[b] = PriceOf(m_aCodeFreq[b], codes);
    for (unsigned len = kMinMatch; len <= kMaxMatch; ++len)
        m_aLengthPrice[len] = PriceOf(m_aCodeFreq[kLiteralCount + len - kMinMatch], codes);
    // A position code is followed by its extra bits.
    for (unsigned c = 0; c < m_nPositionCodes; ++c)
        m_aPositionPrice[c] =
            PriceOf(m_aPosFreq[c], std::max(matches, 1u)) + (c >= 2 ? (c - 1) * kScale : 0);
    m_bPriced = true;
}

bool COptimalParser::Scan(CMatchFinder& finder, IByteSource& source, uint32_t pos, uint32_t& count,
                          bool keep) {
    m_nCleared = 1;
    m_aCost[0] = 0;
    if (keep) {
        m_aBytes.clear();
        m_aFirst.clear();
        m_aMatches.clear();
    }
    CMatch found[kMaxCandidates];
    uint32_t skipUntil = 0;
    unsigned previousLength = 0;
    for (count = 0; count < m_nChunk; ++count) {
        uint32_t at = pos + count;
        if (!finder.Fill(source, at))
            return false;
        if (finder.Available(at) == 0)
            break;
        ClearNodesTo(count + kMaxMatch + 1);
        uint8_t byte = finder.ByteAt(at);
        unsigned n = 0;
        if (count < skipUntil) {
            // Inside a long match, which is taken whole: nothing to search.
            finder.Insert(at);
        } else {
            n = finder.InsertAndFindAll(at, found, kMaxCandidates, previousLength > m_nGood);
            previousLength = n > 0 ? found[n - 1].nLength : 0;
            if (previousLength >= m_nNice)
                skipUntil = count + previousLength;
        }
        if (keep) {
            m_aBytes.push_back(byte);
            m_aFirst.push_back(static_cast<uint32_t>(m_aMatches.size()));
            m_aMatches.insert(m_aMatches.end(), found, found + n);
        }
        Relax(count, byte, found, n);
    }
    if (keep)
        m_aFirst.push_back(static_cast<uint32_t>(m_aMatches.size()));
    return true;
}

void COptimalParser::Rescan(uint32_t count) {
    std::fill(m_aCost.begin(), m_aCost.begin() + m_nCleared, kUnreached);
    m_aCost[0] = 0;
    for (uint32_t i = 0; i < count; ++i)
        Relax(i, m_aBytes[i], m_aMatches.data() + m_aFirst[i], m_aFirst[i + 1] - m_aFirst[i]);
}

// Walks the path back twice: once to count its symbols, once to store them
// from the end.
void COptimalParser::TraceBack(uint32_t count, CBlockSymbols& out) const {
    const uint32_t* steps = m_aStep.data();
    size_t symbols = 0, matches = 0;
    for (uint32_t at = count; at > 0; ++symbols) {
        uint32_t length = steps[at] >> 16;
        matches += length != 0;
        at -= length == 0 ? 1 : length;
    }
    size_t code = out.aCodes.size() + symbols, position = out.aPositions.size() + matches;
    out.aCodes.resize(code);
    out.aPositions.resize(position);
    for (uint32_t at = count; at > 0;) {
        unsigned length = steps[at] >> 16;
        auto low = static_cast<uint16_t>(steps[at] & 0xFFFF);
        if (length == 0) {
            out.aCodes[--code] = low; // the literal byte
            --at;
        } else {
            out.aCodes[--code] = static_cast<uint16_t>(kLiteralCount + length - kMinMatch);
            out.aPositions[--position] = static_cast<uint16_t>(low - 1);
            at -= length;
        }
    }
}

uint32_t COptimalParser::ParseChunk(CMatchFinder& finder, IByteSource& source, uint32_t pos,
                                    CBlockSymbols& out, bool& readError) {
    uint32_t count = 0;
    bool firstRound = !m_bPriced;
    if (!Scan(finder, source, pos, count, firstRound)) {
        readError = true;
        return pos;
    }
    if (count == 0)
        return pos;
    size_t codeStart = out.aCodes.size(), posStart = out.aPositions.size();
    TraceBack(count, out);
    UpdatePrices(out, codeStart, posStart);
    if (firstRound) {
        // Without prices, the first round only taught them.
        out.aCodes.resize(codeStart);
        out.aPositions.resize(posStart);
        Rescan(count);
        TraceBack(count, out);
        UpdatePrices(out, codeStart, posStart);
    }
    return pos + count;
}

} // namespace unlha
