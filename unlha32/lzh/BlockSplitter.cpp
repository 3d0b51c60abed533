#include "lzh/BlockSplitter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace unlha {

namespace {

constexpr unsigned kPositionSlots = 17;
constexpr unsigned kColumns = kCodeCount + kPositionSlots;

// Table cost estimates in bits: every block's fixed fields, and each code
// that its tables list.
constexpr double kBlockBits = 80;
constexpr double kCodeLengthBits = 4;

// f * log2(f) for every count up to at least maxCount, made as far as the
// calls have needed (a run of small files never needs the 65536 of a full
// block).
const float* EntropyTable(size_t maxCount) {
    thread_local std::vector<float> table;
    if (table.size() <= maxCount) {
        size_t f = table.size();
        table.resize(maxCount + 1);
        for (; f < table.size(); ++f)
            table[f] = f == 0 ? 0.0f
                              : static_cast<float>(static_cast<double>(f) *
                                                   std::log2(static_cast<double>(f)));
    }
    return table.data();
}

// Entropy bound of the block's codes plus its table cost; position extra
// bits are left out, since every partition pays them alike. The rows hold
// only the columns in use: the first codeColumns of them are codes, the
// rest position slots.
double EstimateBits(const float* xlogx, const uint32_t* lo, const uint32_t* hi, size_t codeColumns,
                    size_t columns) {
    double codeSum = 0, posSum = 0;
    uint32_t codes = 0, positions = 0, used = 0;
    for (size_t s = 0; s < codeColumns; ++s) {
        uint32_t f = hi[s] - lo[s];
        codes += f;
        codeSum += xlogx[f];
        used += f != 0;
    }
    for (size_t s = codeColumns; s < columns; ++s) {
        uint32_t f = hi[s] - lo[s];
        positions += f;
        posSum += xlogx[f];
        used += f != 0;
    }
    return xlogx[codes] - codeSum + xlogx[positions] - posSum + kBlockBits + kCodeLengthBits * used;
}

// Block lengths (in segments) the search tries; a block from the start of
// the buffer may have any length. A sparser set costs little: the
// estimates change slowly with the length.
bool Tried(size_t span) {
    return span <= 4 || span == 6 || span == 8 || span == 12 || span == 16 || span == 24 ||
           span == 32;
}

} // namespace

std::vector<size_t> ChooseBlockEnds(const CBlockSymbols& symbols, unsigned positionCodes,
                                    size_t segment, size_t maxBlock) {
    (void)positionCodes; // slots past the method's codes simply stay empty
    size_t n = symbols.aCodes.size();
    if (n == 0)
        return {};
    segment = std::max<size_t>(segment, 1);
    size_t segments = (n + segment - 1) / segment;
    if (segments == 1)
        return {n};
    size_t maxSpan = std::max<size_t>(maxBlock / segment, 1);
    // The columns (codes, then position slots) that occur at all, so that
    // the estimates skip the many that do not.
    std::vector<uint32_t> total(kColumns, 0);
    for (size_t i = 0, p = 0; i < n; ++i) {
        unsigned code = symbols.aCodes[i];
        ++total[code];
        if (code >= kLiteralCount)
            ++total[kCodeCount + PositionBits(symbols.aPositions[p++])];
    }
    std::vector<uint16_t> column(kColumns, 0); // column -> index among the used
    size_t used = 0, codeColumns = 0;
    for (unsigned c = 0; c < kColumns; ++c) {
        if (total[c] != 0)
            column[c] = static_cast<uint16_t>(used++);
        if (c + 1 == kCodeCount)
            codeColumns = used;
    }
    // Running counts at each segment boundary: a block's counts are the
    // difference of two rows.
    std::vector<uint32_t> prefix((segments + 1) * used, 0);
    size_t posIndex = 0;
    for (size_t k = 0; k < segments; ++k) {
        uint32_t* row = &prefix[(k + 1) * used];
        std::copy(row - used, row, row);
        for (size_t i = k * segment; i < std::min(n, (k + 1) * segment); ++i) {
            unsigned code = symbols.aCodes[i];
            ++row[column[code]];
            if (code >= kLiteralCount)
                ++row[column[kCodeCount + PositionBits(symbols.aPositions[posIndex++])]];
        }
    }
    const float* xlogx = EntropyTable(n); // no count exceeds the symbols held
    std::vector<double> best(segments + 1, std::numeric_limits<double>::infinity());
    std::vector<size_t> from(segments + 1, 0);
    best[0] = 0;
    for (size_t j = 1; j <= segments; ++j) {
        for (size_t i = j > maxSpan ? j - maxSpan : 0; i < j; ++i) {
            if (i != 0 && !Tried(j - i))
                continue;
            double cost = best[i] + EstimateBits(xlogx, &prefix[i * used], &prefix[j * used],
                                                 codeColumns, used);
            if (cost < best[j]) {
                best[j] = cost;
                from[j] = i;
            }
        }
    }
    std::vector<size_t> ends;
    for (size_t j = segments; j > 0; j = from[j])
        ends.push_back(std::min(n, j * segment));
    std::reverse(ends.begin(), ends.end());
    return ends;
}

} // namespace unlha
