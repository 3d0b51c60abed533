#include "MatchFinder.h"

#include "BlockWriter.h"

#include <algorithm>
#include <cstring>

namespace unlha {

namespace {

constexpr unsigned kHashBits = 16;
constexpr unsigned kLookahead = kMaxMatch + 8; // a little beyond the longest match

} // namespace

CMatchFinder::CMatchFinder(unsigned dicBit, unsigned maxChain, unsigned niceLength)
    : m_nWindow(1u << dicBit), m_nMaxChain(maxChain), m_nNice(std::min(niceLength, kMaxMatch)),
      m_aData(2 * m_nWindow + 2 * kLookahead, 0), m_aHead(1u << kHashBits, 0),
      m_aPrev(m_nWindow, 0) {}

bool CMatchFinder::Fill(IByteSource& source, uint32_t pos) {
    if (m_bEof || m_nEnd - pos >= kLookahead)
        return true;
    // Slide so that a full window of history stays before pos.
    size_t capacity = m_aData.size() - kLookahead; // slack keeps comparisons in bounds
    if (m_nEnd - m_nBase + kLookahead > capacity && pos - m_nBase > m_nWindow) {
        uint32_t newBase = pos - m_nWindow;
        std::memmove(m_aData.data(), m_aData.data() + (newBase - m_nBase), m_nEnd - newBase);
        m_nBase = newBase;
    }
    while (!m_bEof && m_nEnd - m_nBase < capacity) {
        size_t room = capacity - (m_nEnd - m_nBase);
        long got = source.Read(m_aData.data() + (m_nEnd - m_nBase), room);
        if (got < 0)
            return false;
        if (got == 0)
            m_bEof = true;
        m_nEnd += static_cast<uint32_t>(got);
        if (m_nEnd - pos >= kLookahead)
            break;
    }
    // Bytes past the end of input must not extend a match by accident.
    std::fill(m_aData.begin() + (m_nEnd - m_nBase),
              m_aData.begin() + std::min(m_aData.size(), m_nEnd - m_nBase + size_t{8}), 0);
    return true;
}

uint32_t CMatchFinder::Hash(uint32_t pos) const {
    const uint8_t* p = &m_aData[pos - m_nBase];
    uint32_t v = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    return (v * 2654435761u) >> (32 - kHashBits);
}

void CMatchFinder::Insert(uint32_t pos) {
    if (m_nEnd - pos < kMinMatch)
        return;
    uint32_t h = Hash(pos);
    m_aPrev[pos & (m_nWindow - 1)] = m_aHead[h];
    m_aHead[h] = pos + 1;
}

CMatch CMatchFinder::InsertAndFind(uint32_t pos, unsigned minLength, unsigned goodLength) {
    CMatch best;
    uint32_t avail = m_nEnd - pos;
    if (avail < kMinMatch)
        return best;
    uint32_t h = Hash(pos);
    uint32_t candidate = m_aHead[h];
    m_aPrev[pos & (m_nWindow - 1)] = candidate;
    m_aHead[h] = pos + 1;

    unsigned maxLength = std::min<uint32_t>(kMaxMatch, avail);
    unsigned bestLength = std::max(minLength, kMinMatch - 1);
    if (bestLength >= maxLength)
        return best;
    unsigned chain = minLength >= goodLength ? m_nMaxChain / 4 : m_nMaxChain;
    // Distance window - 1 at most: the longest distance every reader takes.
    uint32_t lowest = pos >= m_nWindow - 1 ? pos - (m_nWindow - 1) : 0;
    const uint8_t* here = &m_aData[pos - m_nBase];
    while (candidate != 0 && chain-- != 0) {
        uint32_t cand = candidate - 1;
        if (cand < lowest || cand >= pos)
            break;
        const uint8_t* there = &m_aData[cand - m_nBase];
        if (there[bestLength] == here[bestLength] && there[0] == here[0] && there[1] == here[1]) {
            unsigned len = 2;
            while (len < maxLength && there[len] == here[len])
                ++len;
            if (len > bestLength) {
                bestLength = len;
                best.nLength = len;
                best.nDistance = pos - cand;
                if (len >= m_nNice || len >= maxLength)
                    break;
            }
        }
        uint32_t next = m_aPrev[cand & (m_nWindow - 1)];
        if (next == 0 || next - 1 >= cand)
            break;
        candidate = next;
    }
    return best;
}

unsigned CMatchFinder::InsertAndFindAll(uint32_t pos, CMatch* out, unsigned maxOut) {
    uint32_t avail = m_nEnd - pos;
    if (avail < kMinMatch) {
        Insert(pos);
        return 0;
    }
    uint32_t h = Hash(pos);
    uint32_t candidate = m_aHead[h];
    m_aPrev[pos & (m_nWindow - 1)] = candidate;
    m_aHead[h] = pos + 1;

    unsigned maxLength = std::min<uint32_t>(kMaxMatch, avail);
    unsigned bestLength = kMinMatch - 1;
    unsigned found = 0;
    unsigned chain = m_nMaxChain;
    uint32_t lowest = pos >= m_nWindow - 1 ? pos - (m_nWindow - 1) : 0;
    const uint8_t* here = &m_aData[pos - m_nBase];
    while (candidate != 0 && chain-- != 0) {
        uint32_t cand = candidate - 1;
        if (cand < lowest || cand >= pos)
            break;
        const uint8_t* there = &m_aData[cand - m_nBase];
        if (there[bestLength] == here[bestLength] && there[0] == here[0] && there[1] == here[1]) {
            unsigned len = 2;
            while (len < maxLength && there[len] == here[len])
                ++len;
            if (len > bestLength) {
                bestLength = len;
                CMatch m{len, pos - cand};
                if (found < maxOut)
                    out[found++] = m;
                else
                    out[maxOut - 1] = m;
                if (len >= m_nNice || len >= maxLength)
                    break;
            }
        }
        uint32_t next = m_aPrev[cand & (m_nWindow - 1)];
        if (next == 0 || next - 1 >= cand)
            break;
        candidate = next;
    }
    return found;
}

} // namespace unlha
