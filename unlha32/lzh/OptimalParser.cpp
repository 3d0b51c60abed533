#include "lzh/OptimalParser.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace unlha {

namespace {

constexpr uint32_t kScale = 16; // prices in 1/16 bit
constexpr unsigned kMaxCandidates = 16;

uint64_t PriceOf(uint32_t freq, uint32_t total) {
    // An unseen symbol costs a little more than the rarest seen one.
    double bits = freq == 0 ? std::log2(static_cast<double>(total) + 1) + 2
                            : std::log2(static_cast<double>(total) / freq);
    return static_cast<uint64_t>(std::clamp(bits, 1.0, 16.0) * kScale) << 32;
}

uint64_t LengthStep(uint64_t price, unsigned len) {
    return price | (uint64_t{len} << 16);
}

} // namespace

COptimalParser::COptimalParser(unsigned positionCodes, unsigned niceLength, unsigned goodLength)
    : m_nPositionCodes(positionCodes), m_nNice(niceLength), m_nGood(goodLength) {
    // First guesses, replaced after the first round: text-like costs.
    for (auto& p : m_aLiteralStep)
        p = uint64_t{6 * kScale} << 32;
    for (unsigned len = 0; len <= kMaxMatch; ++len)
        m_aLengthStep[len] = LengthStep(uint64_t{(5 + len / 32) * kScale} << 32, len);
    for (unsigned c = 0; c < 17; ++c)
        m_aPositionStep[c] = uint64_t{(3 + (c >= 2 ? c - 1 : 0)) * kScale} << 32;
}

// One comparison relaxes cost and step together; on equal cost the literal
// and then the shorter step win.
inline void COptimalParser::Relax(uint32_t at, uint8_t byte, const CMatch* matches, unsigned n) {
    uint64_t* ahead = m_aNodes.data() + at;
    uint64_t base = (ahead[0] >> 32) << 32;
    ahead[1] = std::min(ahead[1], base + m_aLiteralStep[byte] + byte);
    unsigned len = kMinMatch;
    for (unsigned k = 0; k < n; ++k) {
        const CMatch& m = matches[k];
        uint64_t start = base + m_aPositionStep[PositionBits(m.nDistance - 1u)] + m.nDistance;
        for (; len <= m.nLength; ++len)
            ahead[len] = std::min(ahead[len], start + m_aLengthStep[len]);
    }
}

void COptimalParser::UpdatePrices(const CBlockSymbols& out, size_t codeFrom, size_t posFrom) {
    uint32_t codeFreq[kCodeCount] = {};
    uint32_t posFreq[17] = {};
    for (size_t i = codeFrom; i < out.aCodes.size(); ++i)
        ++codeFreq[out.aCodes[i]];
    for (size_t i = posFrom; i < out.aPositions.size(); ++i)
        ++posFreq[PositionBits(out.aPositions[i])];
    auto codes = static_cast<uint32_t>(out.aCodes.size() - codeFrom);
    auto matches = static_cast<uint32_t>(out.aPositions.size() - posFrom);
    for (unsigned b = 0; b < 256; ++b)
        m_aLiteralStep[b] = PriceOf(codeFreq[b], codes);
    for (unsigned len = kMinMatch; len <= kMaxMatch; ++len)
        m_aLengthStep[len] =
            LengthStep(PriceOf(codeFreq[kLiteralCount + len - kMinMatch], codes), len);
    // A position code is followed by its extra bits.
    for (unsigned c = 0; c < m_nPositionCodes; ++c)
        m_aPositionStep[c] = PriceOf(posFreq[c], std::max(matches, 1u)) +
                             (uint64_t{c >= 2 ? (c - 1) * kScale : 0} << 32);
    m_bPriced = true;
}

bool COptimalParser::Scan(CMatchFinder& finder, IByteSource& source, uint32_t pos, uint32_t chunk,
                          uint32_t& count, bool keep) {
    m_aNodes.assign(size_t{chunk} + kMaxMatch + 1, ~uint64_t{0});
    m_aNodes[0] = 0;
    if (keep) {
        m_aBytes.clear();
        m_aFirst.clear();
        m_aMatches.clear();
    }
    CMatch found[kMaxCandidates];
    uint32_t skipUntil = 0;
    unsigned previousLength = 0;
    for (count = 0; count < chunk; ++count) {
        uint32_t at = pos + count;
        if (!finder.Fill(source, at))
            return false;
        if (finder.Available(at) == 0)
            break;
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
    std::fill(m_aNodes.begin(), m_aNodes.end(), ~uint64_t{0});
    m_aNodes[0] = 0;
    for (uint32_t i = 0; i < count; ++i)
        Relax(i, m_aBytes[i], m_aMatches.data() + m_aFirst[i], m_aFirst[i + 1] - m_aFirst[i]);
}

// Walks the path back twice: once to count its symbols, once to store them
// from the end.
void COptimalParser::TraceBack(uint32_t count, CBlockSymbols& out) const {
    const uint64_t* nodes = m_aNodes.data();
    size_t symbols = 0, matches = 0;
    for (uint32_t at = count; at > 0; ++symbols) {
        auto length = static_cast<uint32_t>((nodes[at] >> 16) & 0xFFFF);
        matches += length != 0;
        at -= length == 0 ? 1 : length;
    }
    size_t code = out.aCodes.size() + symbols, position = out.aPositions.size() + matches;
    out.aCodes.resize(code);
    out.aPositions.resize(position);
    for (uint32_t at = count; at > 0;) {
        auto length = static_cast<unsigned>((nodes[at] >> 16) & 0xFFFF);
        auto low = static_cast<uint16_t>(nodes[at] & 0xFFFF);
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
                                    uint32_t chunk, CBlockSymbols& out, bool& readError) {
    uint32_t count = 0;
    bool firstRound = !m_bPriced;
    if (!Scan(finder, source, pos, chunk, count, firstRound)) {
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
