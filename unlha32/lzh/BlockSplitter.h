#pragma once
// Chooses where Huffman blocks end: a block pays for its code tables but
// codes its symbols by their own statistics, so blocks are cut where the
// statistics change and joined where they do not.

#include "lzh/BlockWriter.h"

#include <cstddef>
#include <vector>

namespace unlha {

// Ends (ascending code indices, the last one codes.size()) of the partition
// of symbols into blocks with the least estimated coded size. Blocks start
// at multiples of segment and hold at most maxBlock codes (a multiple of
// segment, at most kMaxBlockSymbols). positionCodes: 14, 16 or 17. Empty
// for no symbols.
std::vector<size_t> ChooseBlockEnds(const CBlockSymbols& symbols, unsigned positionCodes,
                                    size_t segment, size_t maxBlock);

} // namespace unlha
