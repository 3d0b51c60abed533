#include "lzh/Huffman.h"

#include <algorithm>
#include <cstring>

namespace unlha {

namespace {

// How many leaves of a Huffman tree over n >= 2 leaves, whose weights a
// holds in ascending order, lie at each depth (into count, zeroed here);
// returns the greatest depth. The tree is the two-queue one, a leaf taken
// before a merged node of the same weight, built in place in a (Moffat and
// Katajainen): a[i] becomes the weight of merged node i, then its parent,
// then its depth.
unsigned DepthCounts(uint64_t* a, unsigned n, unsigned* count) {
    a[0] += a[1];
    unsigned root = 0, leaf = 2;
    for (unsigned next = 1; next < n - 1; ++next) {
        if (leaf >= n || a[root] < a[leaf]) {
            a[next] = a[root];
            a[root++] = next;
        } else {
            a[next] = a[leaf++];
        }
        if (leaf >= n || (root < next && a[root] < a[leaf])) {
            a[next] += a[root];
            a[root++] = next;
        } else {
            a[next] += a[leaf++];
        }
    }
    a[n - 2] = 0;
    for (unsigned next = n - 2; next-- > 0;)
        a[next] = a[a[next]] + 1;
    // Each level's nodes less its merged ones are its leaves.
    unsigned available = 1, depth = 0;
    int merged = static_cast<int>(n) - 2;
    for (;;) {
        unsigned inner = 0;
        while (merged >= 0 && a[merged] == depth) {
            ++inner;
            --merged;
        }
        count[depth] = available - inner;
        if (inner == 0)
            return depth;
        available = 2 * inner;
        ++depth;
    }
}

// Moves leaves deeper than the limit up to it and then restores Kraft's
// equality: each step takes one leaf off the deepest level and splits the
// deepest shallower leaf into two.
void LimitDepthCounts(unsigned* count, unsigned maxDepth) {
    for (unsigned d = kMaxCodeBits + 1; d <= maxDepth; ++d) {
        count[kMaxCodeBits] += count[d];
        count[d] = 0;
    }
    uint64_t cum = 0;
    for (unsigned d = 1; d <= kMaxCodeBits; ++d)
        cum += static_cast<uint64_t>(count[d]) << (kMaxCodeBits - d);
    while (cum > (1u << kMaxCodeBits)) {
        --count[kMaxCodeBits];
        for (unsigned d = kMaxCodeBits - 1; d > 0; --d) {
            if (count[d] != 0) {
                --count[d];
                count[d + 1] += 2;
                break;
            }
        }
        --cum;
    }
}

} // namespace

unsigned UsedSymbols(const uint32_t* freq, unsigned count, uint16_t* used) {
    unsigned n = 0, s = 0;
    for (; s + 4 <= count; s += 4) {
        uint64_t low, high; // two counts each
        std::memcpy(&low, freq + s, sizeof low);
        std::memcpy(&high, freq + s + 2, sizeof high);
        if ((low | high) == 0)
            continue;
        for (unsigned k = s; k < s + 4; ++k)
            if (freq[k] != 0)
                used[n++] = static_cast<uint16_t>(k);
    }
    for (; s < count; ++s)
        if (freq[s] != 0)
            used[n++] = static_cast<uint16_t>(s);
    return n;
}

CSortedSymbols::CSortedSymbols(const uint32_t* freq, unsigned count) : m_nCount(count) {
    uint16_t used[kMaxHuffmanSymbols];
    Sort(freq, used, UsedSymbols(freq, count, used));
}

CSortedSymbols::CSortedSymbols(const uint32_t* freq, unsigned count, const uint16_t* used,
                               unsigned nUsed)
    : m_nCount(count) {
    Sort(freq, used, nUsed);
}

void CSortedSymbols::Sort(const uint32_t* freq, const uint16_t* used, unsigned nUsed) {
    // Ascending frequency, ties by symbol so the result is repeatable:
    // frequency and symbol packed into one key.
    m_nUsed = nUsed;
    if (nUsed <= 16) { // a small table: sorted at once
        for (unsigned i = 0; i < nUsed; ++i)
            m_aKeys[i] = (uint64_t{freq[used[i]]} << 16) | used[i];
        std::sort(m_aKeys, m_aKeys + nUsed);
        return;
    }
    // Most counts of a block are small: those are placed by count directly
    // (used ascending keeps equal counts in symbol order), the few larger
    // ones sorted after them.
    constexpr uint32_t kPlaced = 32;
    unsigned start[kPlaced + 1] = {};
    for (unsigned i = 0; i < nUsed; ++i) {
        uint32_t f = freq[used[i]];
        if (f < kPlaced)
            ++start[f + 1];
    }
    for (unsigned f = 1; f <= kPlaced; ++f)
        start[f] += start[f - 1];
    unsigned large = start[kPlaced];
    for (unsigned i = 0; i < nUsed; ++i) {
        uint32_t f = freq[used[i]];
        uint64_t key = (uint64_t{f} << 16) | used[i];
        m_aKeys[f < kPlaced ? start[f]++ : large++] = key;
    }
    std::sort(m_aKeys + start[kPlaced - 1], m_aKeys + m_nUsed);
}

uint64_t CSortedSymbols::Lengths(uint32_t floor, uint8_t* lengths) const {
    std::fill(lengths, lengths + m_nCount, 0);
    unsigned used = m_nUsed;
    if (used < 2) {
        if (used == 1)
            lengths[m_aKeys[0] & 0xFFFF] = 1;
        return used == 1 ? m_aKeys[0] >> 16 : 0;
    }
    // Raised to the floor, the weights stay in ascending order.
    uint64_t nodes[kMaxHuffmanSymbols];
    for (unsigned i = 0; i < used; ++i)
        nodes[i] = std::max(static_cast<uint32_t>(m_aKeys[i] >> 16), floor);
    unsigned depthCount[kMaxHuffmanSymbols + 1];
    unsigned maxDepth = DepthCounts(nodes, used, depthCount);
    for (unsigned d = maxDepth + 1; d <= kMaxCodeBits; ++d)
        depthCount[d] = 0;
    maxDepth = std::max(maxDepth, kMaxCodeBits);
    if (maxDepth > kMaxCodeBits)
        LimitDepthCounts(depthCount, maxDepth);
    // Shortest lengths to the most frequent symbols (the end of the list).
    unsigned index = used;
    uint64_t bits = 0;
    for (unsigned d = 1; d <= kMaxCodeBits; ++d) {
        for (unsigned k = 0; k < depthCount[d]; ++k) {
            uint64_t key = m_aKeys[--index];
            lengths[key & 0xFFFF] = static_cast<uint8_t>(d);
            bits += (key >> 16) * d;
        }
    }
    return bits;
}

unsigned MakeCodeLengths(const uint32_t* freq, unsigned count, uint8_t* lengths) {
    CSortedSymbols sorted(freq, count);
    sorted.Lengths(0, lengths);
    return sorted.Used();
}

unsigned MakeCodeLengths(const std::vector<uint32_t>& freq, std::vector<uint8_t>& lengths) {
    lengths.assign(freq.size(), 0);
    return MakeCodeLengths(freq.data(), static_cast<unsigned>(freq.size()), lengths.data());
}

void MakeCanonicalCodes(const uint8_t* lengths, const uint16_t* used, unsigned nUsed,
                        uint16_t* codes) {
    unsigned perLength[kMaxCodeBits + 1] = {};
    for (unsigned i = 0; i < nUsed; ++i)
        ++perLength[lengths[used[i]]];
    uint32_t next[kMaxCodeBits + 2] = {};
    uint32_t code = 0;
    for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
        code = (code + perLength[len - 1]) << 1; // perLength[0] stays 0
        next[len] = code;
    }
    for (unsigned i = 0; i < nUsed; ++i)
        codes[used[i]] = static_cast<uint16_t>(next[lengths[used[i]]]++);
}

void MakeCanonicalCodes(const uint8_t* lengths, unsigned count, uint16_t* codes) {
    uint16_t used[kMaxHuffmanSymbols];
    unsigned nUsed = 0;
    for (unsigned s = 0; s < count; ++s)
        if (lengths[s] != 0)
            used[nUsed++] = static_cast<uint16_t>(s);
    std::fill(codes, codes + count, 0);
    MakeCanonicalCodes(lengths, used, nUsed, codes);
}

uint64_t CodedBits(const uint32_t* freq, unsigned count) {
    uint8_t lengths[kMaxHuffmanSymbols];
    MakeCodeLengths(freq, count, lengths);
    uint64_t bits = 0;
    for (unsigned s = 0; s < count; ++s)
        bits += uint64_t{freq[s]} * lengths[s];
    return bits;
}

uint64_t OwnCodeBits(const uint8_t* data, size_t size) {
    uint32_t freq[256] = {};
    for (size_t i = 0; i < size; ++i)
        ++freq[data[i]];
    return CodedBits(freq, 256);
}

std::vector<uint16_t> MakeCanonicalCodes(const std::vector<uint8_t>& lengths) {
    std::vector<uint16_t> codes(lengths.size(), 0);
    MakeCanonicalCodes(lengths.data(), static_cast<unsigned>(lengths.size()), codes.data());
    return codes;
}

} // namespace unlha
