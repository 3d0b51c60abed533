#include "lzh/Huffman.h"

#include <algorithm>

namespace unlha {

namespace {

// Depth of every leaf of a Huffman tree over the given (used) leaves, which
// come sorted by ascending frequency. Two-queue construction: leaves and
// merged nodes are both consumed in ascending weight order.
std::vector<unsigned> TreeDepths(const std::vector<uint64_t>& weights) {
    size_t n = weights.size();
    std::vector<uint64_t> nodeWeight(weights);
    std::vector<size_t> parent(2 * n - 1, 0);
    nodeWeight.resize(2 * n - 1);
    size_t leaf = 0, inner = n, next = n;
    auto takeSmallest = [&]() {
        if (leaf < n && (inner >= next || nodeWeight[leaf] <= nodeWeight[inner]))
            return leaf++;
        return inner++;
    };
    for (; next < 2 * n - 1; ++next) {
        size_t a = takeSmallest();
        size_t b = takeSmallest();
        nodeWeight[next] = nodeWeight[a] + nodeWeight[b];
        parent[a] = next;
        parent[b] = next;
    }
    std::vector<unsigned> depth(2 * n - 1, 0);
    for (size_t i = 2 * n - 1; i-- > 0;)
        if (i != 2 * n - 2)
            depth[i] = depth[parent[i]] + 1;
    depth.resize(n);
    return depth;
}

// Moves leaves deeper than the limit up to it and then restores Kraft's
// equality: each step takes one leaf off the deepest level and splits the
// deepest shallower leaf into two.
void LimitDepthCounts(std::vector<unsigned>& count) {
    for (size_t d = kMaxCodeBits + 1; d < count.size(); ++d) {
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

unsigned MakeCodeLengths(const std::vector<uint32_t>& freq, std::vector<uint8_t>& lengths) {
    lengths.assign(freq.size(), 0);
    std::vector<unsigned> used;
    for (unsigned s = 0; s < freq.size(); ++s)
        if (freq[s] != 0)
            used.push_back(s);
    if (used.size() < 2) {
        if (used.size() == 1)
            lengths[used[0]] = 1;
        return static_cast<unsigned>(used.size());
    }
    // Ascending frequency; ties by symbol so the result is repeatable.
    std::stable_sort(used.begin(), used.end(),
                     [&](unsigned a, unsigned b) { return freq[a] < freq[b]; });
    std::vector<uint64_t> weights(used.size());
    for (size_t i = 0; i < used.size(); ++i)
        weights[i] = freq[used[i]];
    std::vector<unsigned> depth = TreeDepths(weights);
    unsigned maxDepth = *std::max_element(depth.begin(), depth.end());
    std::vector<unsigned> count(std::max(maxDepth, kMaxCodeBits) + 1, 0);
    for (unsigned d : depth)
        ++count[d];
    LimitDepthCounts(count);
    // Shortest lengths to the most frequent symbols (the end of the list).
    size_t index = used.size();
    for (unsigned d = 1; d <= kMaxCodeBits; ++d)
        for (unsigned k = 0; k < count[d]; ++k)
            lengths[used[--index]] = static_cast<uint8_t>(d);
    return static_cast<unsigned>(used.size());
}

std::vector<uint16_t> MakeCanonicalCodes(const std::vector<uint8_t>& lengths) {
    unsigned count[kMaxCodeBits + 1] = {};
    for (uint8_t len : lengths)
        ++count[len];
    count[0] = 0;
    uint32_t next[kMaxCodeBits + 2] = {};
    uint32_t code = 0;
    for (unsigned len = 1; len <= kMaxCodeBits; ++len) {
        code = (code + count[len - 1]) << 1;
        next[len] = code;
    }
    std::vector<uint16_t> codes(lengths.size(), 0);
    for (size_t s = 0; s < lengths.size(); ++s)
        if (lengths[s] != 0)
            codes[s] = static_cast<uint16_t>(next[lengths[s]]++);
    return codes;
}

} // namespace unlha
