#include "lzh/Huffman.h"

#include <algorithm>

namespace unlha {

namespace {

// Depth of every leaf of a Huffman tree over n used leaves whose weights
// come sorted ascending. Two-queue construction: leaves and merged nodes are
// both consumed in ascending weight order.
void TreeDepths(const uint32_t* weights, unsigned n, unsigned* depth) {
    uint64_t nodeWeight[2 * kMaxHuffmanSymbols];
    unsigned parent[2 * kMaxHuffmanSymbols];
    std::copy(weights, weights + n, nodeWeight);
    unsigned leaf = 0, inner = n, next = n;
    auto takeSmallest = [&]() {
        if (leaf < n && (inner >= next || nodeWeight[leaf] <= nodeWeight[inner]))
            return leaf++;
        return inner++;
    };
    for (; next < 2 * n - 1; ++next) {
        unsigned a = takeSmallest();
        unsigned b = takeSmallest();
        nodeWeight[next] = nodeWeight[a] + nodeWeight[b];
        parent[a] = next;
        parent[b] = next;
    }
    unsigned nodeDepth[2 * kMaxHuffmanSymbols];
    nodeDepth[2 * n - 2] = 0;
    for (unsigned i = 2 * n - 2; i-- > 0;)
        nodeDepth[i] = nodeDepth[parent[i]] + 1;
    std::copy(nodeDepth, nodeDepth + n, depth);
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
        if ((freq[s] | freq[s + 1] | freq[s + 2] | freq[s + 3]) == 0)
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
    for (unsigned i = 0; i < nUsed; ++i)
        m_aKeys[i] = (uint64_t{freq[used[i]]} << 16) | used[i];
    std::sort(m_aKeys, m_aKeys + m_nUsed);
}

void CSortedSymbols::Lengths(uint32_t floor, uint8_t* lengths) const {
    std::fill(lengths, lengths + m_nCount, 0);
    unsigned used = m_nUsed;
    if (used < 2) {
        if (used == 1)
            lengths[m_aKeys[0] & 0xFFFF] = 1;
        return;
    }
    // Raised to the floor, the weights stay in ascending order.
    uint32_t weights[kMaxHuffmanSymbols];
    for (unsigned i = 0; i < used; ++i)
        weights[i] = std::max(static_cast<uint32_t>(m_aKeys[i] >> 16), floor);
    unsigned depth[kMaxHuffmanSymbols];
    TreeDepths(weights, used, depth);
    unsigned maxDepth = std::max(*std::max_element(depth, depth + used), kMaxCodeBits);
    unsigned depthCount[kMaxHuffmanSymbols + 1];
    std::fill(depthCount, depthCount + maxDepth + 1, 0u);
    for (unsigned i = 0; i < used; ++i)
        ++depthCount[depth[i]];
    LimitDepthCounts(depthCount, maxDepth);
    // Shortest lengths to the most frequent symbols (the end of the list).
    unsigned index = used;
    for (unsigned d = 1; d <= kMaxCodeBits; ++d)
        for (unsigned k = 0; k < depthCount[d]; ++k)
            lengths[m_aKeys[--index] & 0xFFFF] = static_cast<uint8_t>(d);
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

void MakeCanonicalCodes(const uint8_t* lengths, unsigned count, uint16_t* codes) {
    unsigned perLength[kMaxCodeBits + 1] = {};
    for (unsigned s = 0; s < count; ++s)
        ++perLength[lengths[s]];
    perLength[0] = 0;
    uint32_t next[kMaxCodeBits + 2] = {};
    uint32_t code = 0;
    for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
        code = (code + perLength[len - 1]) << 1;
        next[len] = code;
    }
    for (unsigned s = 0; s < count; ++s)
        codes[s] = lengths[s] != 0 ? static_cast<uint16_t>(next[lengths[s]]++) : 0;
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
