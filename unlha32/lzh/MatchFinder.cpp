#include "lzh/MatchFinder.h"

#include "lzh/BlockWriter.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace unlha {

namespace {

constexpr unsigned kHash3Bits = 14;
constexpr uint32_t kLow3Bytes =
    std::endian::native == std::endian::little ? 0x00FFFFFFu : 0xFFFFFF00u;

uint32_t Load32(const uint8_t* p) {
    uint32_t v = 0;
    std::memcpy(&v, p, 4);
    return v;
}

uint16_t Load16(const uint8_t* p) {
    uint16_t v = 0;
    std::memcpy(&v, p, 2);
    return v;
}

// Length of the common prefix, at most maxLength, compared 8 bytes at a
// time (the buffer's slack keeps the reads in bounds).
[[gnu::always_inline]] inline unsigned CommonLength(const uint8_t* a, const uint8_t* b,
                                                    unsigned maxLength) {
    unsigned len = 0;
    if constexpr (std::endian::native == std::endian::little) {
        while (len < maxLength) {
            uint64_t x = 0, y = 0;
            std::memcpy(&x, a + len, 8);
            std::memcpy(&y, b + len, 8);
            if (uint64_t diff = x ^ y) {
                len += static_cast<unsigned>(std::countr_zero(diff)) / 8;
                break;
            }
            len += 8;
        }
        return std::min(len, maxLength);
    }
    while (len < maxLength && a[len] == b[len])
        ++len;
    return len;
}

// Twice as many heads as window positions keeps false sharing rare while
// the table stays in the faster caches.
unsigned HashBitsOf(unsigned dicBit) {
    return std::min(dicBit + 1, 16u);
}

} // namespace

static_assert(CMatchFinder::kLookahead >= kMaxMatch + 8, "comparisons run 8 bytes past a match");

CMatchFinder::CMatchFinder(unsigned dicBit, unsigned maxChain, unsigned niceLength)
    : m_nWindow(1u << dicBit), m_nMaxChain(maxChain), m_nNice(std::min(niceLength, kMaxMatch)),
      m_nHashShift(32 - HashBitsOf(dicBit)), m_aData(2 * m_nWindow + 2 * kLookahead, 0),
      m_aHead(1u << HashBitsOf(dicBit), 0), m_aHead3(1u << kHash3Bits, 0), m_aPrev(m_nWindow, 0) {}

void CMatchFinder::Restart() {
    // A window and more past the last file's end: every table entry and
    // chain link left from it is farther back than any match may reach.
    uint64_t start = uint64_t{m_nEnd} + m_nWindow + kLookahead;
    if (start > 0xC0000000u) { // a file of up to 4 GiB still fits: start over
        std::fill(m_aHead.begin(), m_aHead.end(), 0);
        std::fill(m_aHead3.begin(), m_aHead3.end(), 0);
        std::fill(m_aPrev.begin(), m_aPrev.end(), 0);
        start = m_nWindow + kLookahead;
    }
    m_nStart = m_nBase = m_nEnd = static_cast<uint32_t>(start);
    m_bEof = false;
    m_nNextPos = ~0u;
}

bool CMatchFinder::Refill(IByteSource& source, uint32_t pos) {
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

// The chains link positions with equal 5-byte hashes (short chains, few
// false candidates, which is where the time goes); 3-byte matches, and the
// longer ones that start there, come from the last position with the same 3
// bytes, the nearest and so the cheapest one. Bytes past the end of
// input read as the zeros that Fill leaves there.
[[gnu::always_inline]] inline uint32_t CMatchFinder::Enter(uint32_t pos, uint32_t& near3) {
    CHashes hashes = pos == m_nNextPos ? m_next : HashesAt(pos);
    // The next position's table entries load while this one is searched.
    if (m_nEnd - pos > kMinMatch) {
        m_next = HashesAt(pos + 1);
        m_nNextPos = pos + 1;
        __builtin_prefetch(&m_aHead3[m_next.nHash3]);
        __builtin_prefetch(&m_aHead[m_next.nHash]);
    }
    near3 = m_aHead3[hashes.nHash3];
    m_aHead3[hashes.nHash3] = pos + 1;
    uint32_t candidate = m_aHead[hashes.nHash];
    m_aPrev[pos & (m_nWindow - 1)] = candidate;
    m_aHead[hashes.nHash] = pos + 1;
    return candidate;
}

[[gnu::always_inline]] inline CMatchFinder::CHashes CMatchFinder::HashesAt(uint32_t pos) const {
    uint64_t w = 0;
    std::memcpy(&w, &m_aData[pos - m_nBase], 8);
    uint32_t v = 0;
    std::memcpy(&v, &w, 4);
    CHashes hashes;
    hashes.nHash3 = ((v & kLow3Bytes) * 2654435761u) >> (32 - kHash3Bits);
    // The first five bytes at the top of the word, whatever the byte order.
    w = std::endian::native == std::endian::little ? w << 24 : w >> 24 << 24;
    hashes.nHash = static_cast<uint32_t>((w * 0x9E3779B97F4A7C15ull) >> (32 + m_nHashShift));
    return hashes;
}

void CMatchFinder::Insert(uint32_t pos) {
    if (m_nEnd - pos < kMinMatch)
        return;
    uint32_t near3 = 0;
    Enter(pos, near3);
}

// Notes a match longer than all before it; out keeps the longest at the end
// when it is full.
static inline void Note(CMatch* out, unsigned& found, unsigned maxOut, unsigned len,
                        uint32_t distance) {
    CMatch m{len, distance};
    if (found < maxOut)
        out[found++] = m;
    else
        out[maxOut - 1] = m;
}

unsigned CMatchFinder::Search(uint32_t pos, unsigned bestLength, unsigned chain, CMatch* out,
                              unsigned maxOut) {
    uint32_t near3 = 0;
    uint32_t candidate = Enter(pos, near3);
    unsigned maxLength = std::min<uint32_t>(kMaxMatch, m_nEnd - pos);
    if (bestLength >= maxLength)
        return 0;
    unsigned stopAt = std::min(m_nNice, maxLength);
    // A candidate is taken when its distance lies in 1 .. limit: window - 1
    // at most (the longest distance every reader takes), never before the
    // start of the file. "None" (0, as entries hold position + 1) fails that
    // test too, and so do entries left from earlier files. Within the window the links are intact
    // (a slot is reused only a window later), and the chain bound ends the walk in any case.
    uint32_t limit = std::min(m_nWindow - 1, pos - m_nStart);
    const uint8_t* here = m_aData.data() + (pos - m_nBase);
    unsigned found = 0;
    uint32_t nearDistance = pos - (near3 - 1);
    if (nearDistance - 1 < limit && bestLength < kMinMatch) {
        const uint8_t* there = here - nearDistance;
        if (there[0] == here[0] && there[1] == here[1] && there[2] == here[2]) {
            bestLength = CommonLength(there, here, maxLength);
            Note(out, found, maxOut, bestLength, nearDistance);
            if (bestLength >= stopAt)
                return found;
        }
    }
    if (maxLength < 4) // chain candidates are compared 4 bytes at once
        return found;
    uint32_t head = Load32(here);
    const uint32_t* prev = m_aPrev.data();
    uint32_t mask = m_nWindow - 1;
    uint32_t cand = candidate - 1;
    for (; chain != 0; --chain) {
        uint32_t distance = pos - cand;
        if (distance - 1 >= limit)
            break;
        const uint8_t* there = here - distance;
        if (Load16(there + bestLength - 1) == Load16(here + bestLength - 1) &&
            Load32(there) == head) {
            unsigned len =
                std::min(4 + CommonLength(there + 4, here + 4, maxLength - 4), maxLength);
            if (len > bestLength) {
                bestLength = len;
                Note(out, found, maxOut, len, distance);
                if (len >= stopAt)
                    break;
            }
        }
        cand = prev[cand & mask] - 1;
    }
    return found;
}

CMatch CMatchFinder::InsertAndFind(uint32_t pos, unsigned minLength, unsigned goodLength) {
    if (m_nEnd - pos < kMinMatch)
        return CMatch{};
    CMatch found[1];
    unsigned chain = minLength >= goodLength ? m_nMaxChain / 4 : m_nMaxChain;
    unsigned n = Search(pos, std::max(minLength, kMinMatch - 1), chain, found, 1);
    return n != 0 ? found[0] : CMatch{};
}

unsigned CMatchFinder::InsertAndFindAll(uint32_t pos, CMatch* out, unsigned maxOut, bool shortChain,
                                        unsigned longerThan) {
    if (m_nEnd - pos < kMinMatch)
        return 0;
    return Search(pos, std::max(longerThan, kMinMatch - 1),
                  shortChain ? (m_nMaxChain + 3) / 4 : m_nMaxChain, out, maxOut);
}

} // namespace unlha
