#include "lzh/MatchFinder.h"

#include "lzh/BlockWriter.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace unlha {

namespace {

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
      m_aHead(1u << HashBitsOf(dicBit), 0), m_aHead3(1u << detail::kHash3Bits, 0),
      m_aPrev(m_nWindow, 0) {}

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
    RestartAt(static_cast<uint32_t>(start));
}

void CMatchFinder::RestartAt(uint32_t start) {
    m_nStart = m_nBase = m_nEnd = start;
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

} // namespace unlha
