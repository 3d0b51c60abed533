#pragma once
// Sliding window with hash chains on 5-byte prefixes and a table of the last
// position of each 3-byte prefix. Positions count on across the files one
// finder compresses (a file starts at Start()), so the chains never need
// rebasing when the buffer slides, and a new file needs no clearing: what
// the tables hold of earlier files lies too far back to be taken.

#include <algorithm>
#include <cstddef>
#include <cstdint>
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
    uint32_t Start() const { return m_nStart; }

    // Keeps at least kMaxMatch bytes ahead of pos in the buffer unless the
    // input ends first. Returns false on a read error.
    bool Fill(IByteSource& source, uint32_t pos) {
        return m_bEof || m_nEnd - pos >= kLookahead || Refill(source, pos);
    }

    // Bytes available from pos to the current end of input.
    uint32_t Available(uint32_t pos) const { return m_nEnd - pos; }
    bool AtEnd() const { return m_bEof; }
    uint8_t ByteAt(uint32_t pos) const { return m_aData[pos - m_nBase]; }

    // Enters pos into its chain (no-op with fewer than 3 bytes left).
    void Insert(uint32_t pos);

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
    struct CHashes {
        uint32_t nHash3 = 0; // index into m_aHead3
        uint32_t nHash = 0;  // index into m_aHead
    };
    // Both table indexes for the bytes at pos (reads 8 bytes there).
    CHashes HashesAt(uint32_t pos) const;
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
    CHashes m_next; // of m_nNextPos, computed one position early
    uint32_t m_nNextPos = ~0u;
    std::vector<uint32_t> m_aHead;  // per 5-byte hash: last position + 1, 0 = none
    std::vector<uint32_t> m_aHead3; // per 3-byte hash: last position + 1
    std::vector<uint32_t> m_aPrev;  // per position mod window: previous + 1
};

} // namespace unlha
