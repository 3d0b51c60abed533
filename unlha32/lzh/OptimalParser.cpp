#include "lzh/OptimalParser.h"

#include <algorithm>
#include <array>
#include <bit>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace unlha {

namespace {

constexpr unsigned kMaxCandidates = 16;
constexpr uint32_t kUnreached = 0x7FFFFFFF; // compared as signed, four at a time
constexpr uint32_t kClearAhead = 4096;      // nodes set to "unreached" at a time

// length << 16 for every length, four past the longest.
constexpr auto kLengthTag = [] {
    std::array<uint32_t, kMaxMatch + 4> t{};
    for (unsigned len = 0; len < t.size(); ++len)
        t[len] = len << 16;
    return t;
}();

} // namespace

COptimalParser::COptimalParser(unsigned positionCodes, const CEncoderParams& params)
    : m_nSkip(params.nSkipLength), m_nGood(params.nGoodLength),
      m_nChunk(std::max(params.nChunk, 1u)), m_prices(positionCodes),
      m_aCost(size_t{m_nChunk} + kMaxMatch + 4, kUnreached), m_aStep(m_aCost.size(), 0) {}

// Relaxes the steps from at: the literal (which wins a tie) and every length
// of every match, each length with the nearest match that reaches it.
inline void COptimalParser::Relax(uint32_t at, uint8_t byte, const CMatch* matches, unsigned n) {
#if defined(__SSE2__)
    const __m128i kLanes = _mm_set_epi32(3, 2, 1, 0);
#endif
    uint32_t* cost = m_aCost.data() + at;
    uint32_t* step = m_aStep.data() + at;
    uint32_t base = cost[0];
    const uint32_t* lengths = m_prices.Lengths();
    uint32_t literal = base + m_prices.Literal(byte);
    if (literal <= cost[1]) {
        cost[1] = literal;
        step[1] = byte;
    }
    unsigned len = kMinMatch;
    for (unsigned k = 0; k < n; ++k) {
        const CMatch& m = matches[k];
        uint32_t start = base + m_prices.Position(m.nDistance);
#if defined(__SSE2__)
        // Four lengths at a time: cost and step taken where the new cost is
        // lower and the length within the match (the arrays run four past
        // the longest length, so the last group may reach beyond it).
        const __m128i vStart = _mm_set1_epi32(static_cast<int>(start));
        const __m128i vDistance = _mm_set1_epi32(static_cast<int>(m.nDistance));
        const __m128i vLast = _mm_set1_epi32(static_cast<int>(m.nLength));
        for (; len <= m.nLength; len += 4) {
            auto* c = reinterpret_cast<__m128i*>(cost + len);
            auto* s = reinterpret_cast<__m128i*>(step + len);
            __m128i now = _mm_add_epi32(
                vStart, _mm_loadu_si128(reinterpret_cast<const __m128i*>(lengths + len)));
            __m128i old = _mm_loadu_si128(c);
            __m128i within = _mm_cmpgt_epi32(
                _mm_add_epi32(_mm_set1_epi32(static_cast<int>(len)), kLanes), vLast);
            __m128i lower = _mm_andnot_si128(within, _mm_cmplt_epi32(now, old));
            _mm_storeu_si128(c,
                             _mm_or_si128(_mm_and_si128(lower, now), _mm_andnot_si128(lower, old)));
            __m128i tag = _mm_or_si128(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(kLengthTag.data() + len)),
                vDistance);
            __m128i oldStep = _mm_loadu_si128(s);
            _mm_storeu_si128(
                s, _mm_or_si128(_mm_and_si128(lower, tag), _mm_andnot_si128(lower, oldStep)));
        }
        len = m.nLength + 1;
#else
        for (; len <= m.nLength; ++len) {
            uint32_t now = start + lengths[len];
            if (now < cost[len]) {
                cost[len] = now;
                step[len] = kLengthTag[len] | m.nDistance;
            }
        }
#endif
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
    uint32_t misses = 0; // positions searched in a row without a match
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
            // Inside a long match: entered already, not searched.
        } else if (SkipInNoise(misses)) {
            // Data without matches for long: only some positions are
            // searched, fewer the longer it lasts.
            finder.Insert(at);
        } else {
            n = finder.InsertAndFindAll(at, found, kMaxCandidates, previousLength > m_nGood);
            misses = n > 0 ? 0 : misses + 1;
            previousLength = n > 0 ? found[n - 1].nLength : 0;
            if (previousLength >= m_nSkip) {
                // Entered at once, up to the chunk's end.
                skipUntil = std::min(count + previousLength, m_nChunk);
                finder.InsertRange(at + 1, pos + skipUntil);
            }
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
    bool firstRound = !m_prices.Learnt();
    if (!Scan(finder, source, pos, count, firstRound)) {
        readError = true;
        return pos;
    }
    if (count == 0)
        return pos;
    size_t codeStart = out.aCodes.size(), posStart = out.aPositions.size();
    TraceBack(count, out);
    m_prices.Learn(out, codeStart, posStart);
    if (firstRound) {
        // Without prices, the first round only taught them.
        out.aCodes.resize(codeStart);
        out.aPositions.resize(posStart);
        Rescan(count);
        TraceBack(count, out);
        m_prices.Learn(out, codeStart, posStart);
    }
    return pos + count;
}

} // namespace unlha
