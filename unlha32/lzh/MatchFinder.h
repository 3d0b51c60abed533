#pragma once
// Sliding window with hash chains on 5-byte prefixes and a table of the last
// position of each 3-byte prefix. Positions count on across the files one
// finder compresses (a file starts at Start()), so the chains never need
// rebasing when the buffer slides, and a new file needs no clearing: what
// the tables hold of earlier files lies too far back to be taken.

#include "lzh/BlockWriter.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace unlha {

// Where the encoder takes its input from.
class IByteSource {
public:
    virtual ~IByteSource() = default;
    // Reads up to size bytes; returns the count, 0 at the end, -1 on error.
    virtual long Read(uint8_t* buffer, size_t size) = 0;
};

struct CMatch {
    unsigned nLength = 0;   // 0 when nothing of at least 3 bytes was found
    unsigned nDistance = 0; // 1 .. window - 1
};

// True when a position is to be passed over unsearched (it is still
// entered) after misses searches in a row found nothing: from 2048 misses
// on, one position in 2, then in 3 ... up to one in 8 is searched, so that
// data that does not compress (already compressed files) costs less.
// misses counts on over the passed positions.
inline bool SkipInNoise(uint32_t& misses) {
    if (misses < 2048)
        return false;
    uint32_t step = std::min<uint32_t>((misses - 2048) / 512 + 2, 8);
    return misses++ % step != 0;
}

class CMatchFinder {
public:
    static constexpr unsigned kLookahead = 256 + 8; // a little beyond the longest match

    // window = 1 << dicBit; matches reach back at most window - 1 bytes and
    // never before the start of the file. maxChain bounds the candidates
    // tried per position, niceLength ends the search early.
    CMatchFinder(unsigned dicBit, unsigned maxChain, unsigned niceLength);

    // Begins a new file: its first position is Start(); earlier data is
    // never referred to.
    void Restart();
    // The same at a chosen first position, for a finder whose tables hold
    // nothing within reach of it (a new one): tests start near 2^32, where
    // the positions wrap.
    void RestartAt(uint32_t start);
    uint32_t Start() const { return m_nStart; }

    // Keeps at least kMaxMatch bytes ahead of pos in the buffer unless the
    // input ends first. Returns false on a read error.
    bool Fill(IByteSource& source, uint32_t pos) {
        return m_bEof || m_nEnd - pos >= kLookahead || Refill(source, pos);
    }

    // Bytes available from pos to the current end of input.
    uint32_t Available(uint32_t pos) const { return m_nEnd - pos; }
    bool AtEnd() const { return m_bEof; }
    uint32_t End() const { return m_nEnd; } // the first position not yet read
    uint8_t ByteAt(uint32_t pos) const { return m_aData[pos - m_nBase]; }
    const uint8_t* DataAt(uint32_t pos) const { return m_aData.data() + (pos - m_nBase); }

    // Enters pos into its chain (no-op with fewer than 3 bytes left).
    void Insert(uint32_t pos);
    // Enters the positions from .. end - 1 (those inside a match), in a
    // tighter loop than one Insert each.
    void InsertRange(uint32_t from, uint32_t end);

    // Enters up to count positions from pos on, for as long as neither
    // table holds an earlier position within reach of them: no match starts
    // there, and a search would find nothing. Stops short of the last bytes
    // that Fill keeps ahead. Returns how many were entered (the next one has
    // a candidate, or the count or the bytes ran out). Cheaper per position
    // than a search, for the runs of literals of data new to the window.
    uint32_t InsertUnmatched(uint32_t pos, uint32_t count);

    // Enters pos and returns the longest match there that is longer than
    // minLength (nLength 0 if none). A shorter chain is walked when
    // minLength is already good.
    CMatch InsertAndFind(uint32_t pos, unsigned minLength, unsigned goodLength);

    // Enters pos and lists the matches there that are each longer than the
    // one before (shortest first, each at the nearest distance found for
    // its length). Returns how many were written, at most maxOut.
    // shortChain: a quarter of the usual effort (the position before had a
    // good match, whose tail is a candidate here anyway).
    // Only matches longer than longerThan are listed.
    unsigned InsertAndFindAll(uint32_t pos, CMatch* out, unsigned maxOut, bool shortChain = false,
                              unsigned longerThan = 2);

private:
    bool Refill(IByteSource& source, uint32_t pos);
    // Enters pos in both tables; returns the chain's first candidate + 1 and
    // sets near3 to the last position + 1 with the same 3-byte hash.
    uint32_t Enter(uint32_t pos, uint32_t& near3);
    // Notes a match longer than all before it; out keeps the longest at the
    // end when it is full.
    static void Note(CMatch* out, unsigned& found, unsigned maxOut, unsigned len,
                     uint32_t distance);
    struct CHashes {       // full-width indexes: the loops use them as they come
        size_t nHash3 = 0; // index into m_aHead3
        size_t nHash = 0;  // index into m_aHead
    };
    // Both table indexes for the bytes at pos (reads 8 bytes there).
    CHashes HashesAt(uint32_t pos) const { return HashesOf(&m_aData[pos - m_nBase], m_nHashShift); }
    // The same for the bytes at p, hashShift being m_nHashShift (the loops
    // keep both in registers).
    static CHashes HashesOf(const uint8_t* p, unsigned hashShift);
    // Matches longer than bestLength, each longer than the one before.
    unsigned Search(uint32_t pos, unsigned bestLength, unsigned chain, CMatch* out,
                    unsigned maxOut);

    unsigned m_nWindow;
    unsigned m_nMaxChain;
    unsigned m_nNice;
    unsigned m_nHashShift;        // 32 - bits of the 5-byte hash
    std::vector<uint8_t> m_aData; // bytes of the file from m_nBase on
    uint32_t m_nBase = 0;
    uint32_t m_nStart = 0; // first position of the current file
    uint32_t m_nEnd = 0;   // first file position not yet read
    bool m_bEof = false;
    CHashes m_next; // of m_nNextPos, where InsertUnmatched stopped
    uint32_t m_nNextPos = ~0u;
    std::vector<uint32_t> m_aHead;  // per 5-byte hash: last position + 1, 0 = none
    std::vector<uint32_t> m_aHead3; // per 3-byte hash: last position + 1
    std::vector<uint32_t> m_aPrev;  // per position mod window: previous + 1
};

namespace detail {

constexpr unsigned kHash3Bits = 14;
constexpr uint32_t kLow3Bytes =
    std::endian::native == std::endian::little ? 0x00FFFFFFu : 0xFFFFFF00u;

inline uint32_t Load32(const uint8_t* p) {
    uint32_t v = 0;
    std::memcpy(&v, p, 4);
    return v;
}

inline uint16_t Load16(const uint8_t* p) {
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

} // namespace detail

// The chains link positions with equal 5-byte hashes (short chains, few
// false candidates, which is where the time goes); 3-byte matches, and the
// longer ones that start there, come from the last position with the same 3
// bytes, the nearest and so the cheapest one. Bytes past the end of
// input read as the zeros that Fill leaves there.
[[gnu::always_inline]] inline uint32_t CMatchFinder::Enter(uint32_t pos, uint32_t& near3) {
    CHashes hashes = pos == m_nNextPos ? m_next : HashesAt(pos);
    near3 = m_aHead3[hashes.nHash3];
    m_aHead3[hashes.nHash3] = pos + 1;
    uint32_t candidate = m_aHead[hashes.nHash];
    m_aPrev[pos & (m_nWindow - 1)] = candidate;
    m_aHead[hashes.nHash] = pos + 1;
    return candidate;
}

[[gnu::always_inline]] inline CMatchFinder::CHashes CMatchFinder::HashesOf(const uint8_t* p,
                                                                           unsigned hashShift) {
    uint64_t w = 0;
    std::memcpy(&w, p, 8);
    uint32_t v = 0;
    std::memcpy(&v, &w, 4);
    CHashes hashes;
    hashes.nHash3 = ((v & detail::kLow3Bytes) * 2654435761u) >> (32 - detail::kHash3Bits);
    // The first five bytes at the top of the word, whatever the byte order.
    w = std::endian::native == std::endian::little ? w << 24 : w >> 24 << 24;
    hashes.nHash = (w * 0x9E3779B97F4A7C15ull) >> (32 + hashShift);
    return hashes;
}

inline void CMatchFinder::Insert(uint32_t pos) {
    if (m_nEnd - pos < kMinMatch)
        return;
    uint32_t near3 = 0;
    Enter(pos, near3);
}

inline void CMatchFinder::InsertRange(uint32_t from, uint32_t end) {
    end = std::min(end, m_nEnd - std::min(m_nEnd, kMinMatch - 1));
    if (from >= end)
        return;
    uint32_t* head = m_aHead.data();
    uint32_t* head3 = m_aHead3.data();
    uint32_t* prev = m_aPrev.data();
    const uint32_t mask = m_nWindow - 1;
    const unsigned shift = m_nHashShift;
    const uint8_t* bytes = m_aData.data() + (from - m_nBase);
    for (uint32_t pos = from; pos < end; ++pos, ++bytes) {
        CHashes hashes = HashesOf(bytes, shift);
        head3[hashes.nHash3] = pos + 1;
        prev[pos & mask] = head[hashes.nHash];
        head[hashes.nHash] = pos + 1;
    }
}

inline uint32_t CMatchFinder::InsertUnmatched(uint32_t pos, uint32_t count) {
    // Within the lookahead Fill keeps; at the end of input, while there are
    // bytes enough for an entry. Positions and distances are reckoned modulo
    // 2^32 throughout: they may pass it in a long call.
    uint32_t available = m_nEnd - pos;
    uint32_t usable = m_bEof ? (available > kMinMatch ? available - kMinMatch : 0)
                             : (available >= kLookahead ? available - kLookahead + 1 : 0);
    count = std::min(count, usable);
    uint32_t* head = m_aHead.data();
    uint32_t* head3 = m_aHead3.data();
    uint32_t* prev = m_aPrev.data();
    const uint32_t mask = m_nWindow - 1, start = m_nStart;
    const unsigned shift = m_nHashShift;
    const uint8_t* here = m_aData.data() + (pos - m_nBase);
    for (uint32_t i = 0; i < count; ++i, ++pos, ++here) {
        CHashes hashes = HashesOf(here, shift);
        // Entries hold position + 1 (0: none); one lies within reach when
        // its distance is 1 .. limit, as in Search. The 3-byte entry counts
        // only when its bytes are the same.
        uint32_t limit = std::min(mask, pos - start);
        uint32_t near3 = head3[hashes.nHash3], candidate = head[hashes.nHash];
        uint32_t nearDistance = pos + 1 - near3;
        if (pos - candidate < limit ||
            (nearDistance - 1 < limit &&
             ((detail::Load32(here - nearDistance) ^ detail::Load32(here)) & detail::kLow3Bytes) ==
                 0)) {
            m_next = hashes;
            m_nNextPos = pos;
            return i;
        }
        head3[hashes.nHash3] = pos + 1;
        prev[pos & mask] = candidate;
        head[hashes.nHash] = pos + 1;
    }
    return count;
}

// Notes a match longer than all before it; out keeps the longest at the end
// when it is full.
[[gnu::always_inline]] inline void CMatchFinder::Note(CMatch* out, unsigned& found, unsigned maxOut,
                                                      unsigned len, uint32_t distance) {
    CMatch m{len, distance};
    if (found < maxOut)
        out[found++] = m;
    else
        out[maxOut - 1] = m;
}

inline unsigned CMatchFinder::Search(uint32_t pos, unsigned bestLength, unsigned chain, CMatch* out,
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
            bestLength = detail::CommonLength(there, here, maxLength);
            Note(out, found, maxOut, bestLength, nearDistance);
            if (bestLength >= stopAt)
                return found;
        }
    }
    if (maxLength < 4) // chain candidates are compared 4 bytes at once
        return found;
    if (pos - candidate >= limit) // no candidate within reach (see below)
        return found;
    uint32_t head = detail::Load32(here);
    const uint32_t* prev = m_aPrev.data();
    uint32_t mask = m_nWindow - 1;
    // The two bytes that end a longer match: most candidates fail on them.
    uint16_t tail = detail::Load16(here + bestLength - 1);
    // Entries hold position + 1, so pos - entry is the distance less one,
    // reckoned modulo 2^32 as positions may pass it in a long call.
    const uint8_t* before = here - 1;
    for (uint32_t entry = candidate; chain != 0; --chain) {
        uint32_t back = pos - entry;
        if (back >= limit)
            break;
        const uint8_t* there = before - back;
        if (detail::Load16(there + bestLength - 1) == tail && detail::Load32(there) == head) {
            unsigned len =
                std::min(4 + detail::CommonLength(there + 4, here + 4, maxLength - 4), maxLength);
            if (len > bestLength) {
                bestLength = len;
                tail = detail::Load16(here + bestLength - 1);
                Note(out, found, maxOut, len, back + 1);
                if (len >= stopAt)
                    break;
            }
        }
        entry = prev[(entry - 1) & mask];
    }
    return found;
}

inline CMatch CMatchFinder::InsertAndFind(uint32_t pos, unsigned minLength, unsigned goodLength) {
    if (m_nEnd - pos < kMinMatch)
        return CMatch{};
    CMatch found[1];
    unsigned chain = minLength >= goodLength ? m_nMaxChain / 4 : m_nMaxChain;
    unsigned n = Search(pos, std::max(minLength, kMinMatch - 1), chain, found, 1);
    return n != 0 ? found[0] : CMatch{};
}

inline unsigned CMatchFinder::InsertAndFindAll(uint32_t pos, CMatch* out, unsigned maxOut,
                                               bool shortChain, unsigned longerThan) {
    if (m_nEnd - pos < kMinMatch)
        return 0;
    return Search(pos, std::max(longerThan, kMinMatch - 1),
                  shortChain ? (m_nMaxChain + 3) / 4 : m_nMaxChain, out, maxOut);
}

} // namespace unlha
