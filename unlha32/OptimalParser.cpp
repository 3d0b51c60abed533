#include "OptimalParser.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace unlha {

namespace {

constexpr uint32_t kScale = 16; // prices in 1/16 bit
constexpr uint32_t kInfinite = 0xFFFFFFFFu;
constexpr unsigned kMaxCandidates = 16;

uint32_t PriceOf(uint32_t freq, uint32_t total) {
    // An unseen symbol costs a little more than the rarest seen one.
    double bits = freq == 0 ? std::log2(static_cast<double>(total) + 1) + 2
                            : std::log2(static_cast<double>(total) / freq);
    return static_cast<uint32_t>(std::clamp(bits, 1.0, 16.0) * kScale);
}

} // namespace

COptimalParser::COptimalParser(unsigned positionCodes, unsigned niceLength, unsigned goodLength)
    : m_nPositionCodes(positionCodes), m_nNice(niceLength), m_nGood(goodLength) {
    // First guesses, replaced after the first round: text-like costs.
    for (auto& p : m_aLiteralPrice)
        p = 6 * kScale;
    for (unsigned len = 0; len <= kMaxMatch; ++len)
        m_aLengthPrice[len] = (5 + len / 32) * kScale;
    for (unsigned c = 0; c < 17; ++c)
        m_aPositionPrice[c] = 3 * kScale;
}

// Each node packs the cheapest cost to reach it (high half) with the step
// that reaches it (length, distance), so one comparison relaxes both.
void COptimalParser::ShortestPath(uint32_t count) {
    m_aNodes.assign(count + kMaxMatch + 1, ~uint64_t{0});
    m_aNodes[0] = 0;
    uint64_t* nodes = m_aNodes.data();
    for (uint32_t i = 0; i < count; ++i) {
        uint64_t base = (nodes[i] >> 32) << 32;
        uint64_t lit = base + (uint64_t{m_aLiteralPrice[m_aBytes[i]]} << 32);
        nodes[i + 1] = std::min(nodes[i + 1], lit);
        unsigned shorter = kMinMatch - 1;
        uint64_t* ahead = nodes + i;
        for (uint32_t k = m_aFirst[i]; k < m_aFirst[i + 1]; ++k) {
            const CCandidate& c = m_aCandidates[k];
            unsigned bits = PositionBits(c.nDistance - 1u);
            uint64_t distPrice = m_aPositionPrice[bits] + (bits >= 2 ? (bits - 1) * kScale : 0);
            uint64_t start = base + (distPrice << 32) + c.nDistance;
            for (unsigned len = shorter + 1; len <= c.nLength; ++len) {
                uint64_t v = start + (uint64_t{m_aLengthPrice[len]} << 32) + (uint64_t{len} << 16);
                ahead[len] = std::min(ahead[len], v);
            }
            shorter = c.nLength;
        }
    }
}

void COptimalParser::UpdatePrices(const std::vector<CParsedSymbol>& symbols, size_t from) {
    uint32_t codeFreq[kCodeCount] = {};
    uint32_t posFreq[17] = {};
    uint32_t codes = 0, matches = 0;
    for (size_t i = from; i < symbols.size(); ++i) {
        const CParsedSymbol& s = symbols[i];
        ++codes;
        if (s.nLength == 0) {
            ++codeFreq[s.nLiteral];
        } else {
            ++codeFreq[kLiteralCount + s.nLength - kMinMatch];
            ++posFreq[PositionBits(s.nDistance - 1u)];
            ++matches;
        }
    }
    for (unsigned b = 0; b < 256; ++b)
        m_aLiteralPrice[b] = PriceOf(codeFreq[b], codes);
    for (unsigned len = kMinMatch; len <= kMaxMatch; ++len)
        m_aLengthPrice[len] = PriceOf(codeFreq[kLiteralCount + len - kMinMatch], codes);
    for (unsigned c = 0; c < m_nPositionCodes; ++c)
        m_aPositionPrice[c] = PriceOf(posFreq[c], std::max(matches, 1u));
    m_bPriced = true;
}

bool COptimalParser::Collect(CMatchFinder& finder, IByteSource& source, uint32_t pos,
                             uint32_t chunk, uint32_t& count) {
    m_aBytes.clear();
    m_aFirst.clear();
    m_aCandidates.clear();
    CMatch found[kMaxCandidates];
    uint32_t skipUntil = 0;
    uint16_t skipDistance = 0;
    unsigned previousLength = 0;
    for (count = 0; count < chunk; ++count) {
        if (!finder.Fill(source, pos + count))
            return false;
        if (finder.Available(pos + count) == 0)
            break;
        m_aBytes.push_back(finder.ByteAt(pos + count));
        m_aFirst.push_back(static_cast<uint32_t>(m_aCandidates.size()));
        if (count < skipUntil) {
            // Inside a long match: its tail is the candidate, unsearched.
            finder.Insert(pos + count);
            unsigned rest = skipUntil - count;
            if (rest >= kMinMatch)
                m_aCandidates.push_back(CCandidate{static_cast<uint16_t>(rest), skipDistance});
            continue;
        }
        unsigned n =
            finder.InsertAndFindAll(pos + count, found, kMaxCandidates, previousLength > m_nGood);
        previousLength = n > 0 ? found[n - 1].nLength : 0;
        for (unsigned k = 0; k < n; ++k)
            m_aCandidates.push_back(CCandidate{static_cast<uint16_t>(found[k].nLength),
                                               static_cast<uint16_t>(found[k].nDistance)});
        if (n > 0 && found[n - 1].nLength >= m_nNice) {
            skipUntil = count + found[n - 1].nLength;
            skipDistance = static_cast<uint16_t>(found[n - 1].nDistance);
        }
    }
    m_aFirst.push_back(static_cast<uint32_t>(m_aCandidates.size()));
    return true;
}

void COptimalParser::TraceBack(uint32_t count, std::vector<CParsedSymbol>& out) const {
    std::vector<CParsedSymbol> reversed;
    for (uint32_t at = count; at > 0;) {
        auto length = static_cast<uint16_t>((m_aNodes[at] >> 16) & 0xFFFF);
        auto distance = static_cast<uint16_t>(m_aNodes[at] & 0xFFFF);
        if (length == 0) {
            reversed.push_back(CParsedSymbol{0, 0, m_aBytes[at - 1]});
            --at;
        } else {
            reversed.push_back(CParsedSymbol{length, distance, 0});
            at -= length;
        }
    }
    out.insert(out.end(), reversed.rbegin(), reversed.rend());
}

uint32_t COptimalParser::ParseChunk(CMatchFinder& finder, IByteSource& source, uint32_t pos,
                                    uint32_t chunk, std::vector<CParsedSymbol>& out,
                                    bool& readError) {
    uint32_t count = 0;
    if (!Collect(finder, source, pos, chunk, count)) {
        readError = true;
        return pos;
    }
    if (count == 0)
        return pos;
    // Without prices yet, a first round parses only to learn them.
    for (int round = m_bPriced ? 1 : 0; round < 2; ++round) {
        ShortestPath(count);
        size_t start = out.size();
        TraceBack(count, out);
        UpdatePrices(out, start);
        if (round == 0)
            out.resize(start);
    }
    return pos + count;
}

} // namespace unlha
