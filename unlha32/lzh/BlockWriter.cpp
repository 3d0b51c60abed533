#include "lzh/BlockWriter.h"

#include "lzh/Huffman.h"

#include <algorithm>
#include <iterator>

namespace unlha {

namespace {

constexpr unsigned kTableCodes = 19; // code-length alphabet

// Zero runs of the literal/length table become code-length symbols 0, 1
// (+4 bits) or 2 (+9 bits); a length k becomes symbol k + 2.
template <typename Emit> void EmitZeroRun(unsigned run, Emit& emit) {
    if (run <= 2) {
        for (unsigned r = 0; r < run; ++r)
            emit(0u, 0u, 0u);
    } else if (run <= 18) {
        emit(1u, 4u, run - 3);
    } else if (run == 19) {
        emit(0u, 0u, 0u);
        emit(1u, 4u, 15u);
    } else {
        emit(2u, 9u, run - 20);
    }
}

// Calls emit(sym, extraBits, extraValue) for every code-length symbol in
// order, up to the last used symbol; used: the nUsed symbols of non-zero
// length, ascending, so that the zero runs are the gaps between them.
template <typename Emit>
void WalkLiteralLengths(const uint8_t* len, const uint16_t* used, unsigned nUsed, Emit emit) {
    unsigned next = 0;
    for (unsigned i = 0; i < nUsed; ++i) {
        unsigned s = used[i];
        if (s > next)
            EmitZeroRun(s - next, emit);
        emit(len[s] + 2u, 0u, 0u);
        next = s + 1;
    }
}

// A code length in the T/P table form: 3 bits up to 6, else "111", k - 7
// one bits and a zero bit.
template <typename Out> void PutLengthValue(Out& out, unsigned k) {
    if (k <= 6) {
        out.Put(3, k);
        return;
    }
    out.Put(3, 7);
    for (unsigned i = 7; i < k; ++i)
        out.Put(1, 1);
    out.Put(1, 0);
}

// Entries up to the last non-zero one.
size_t UsedLength(const uint8_t* len, size_t n) {
    while (n > 0 && len[n - 1] == 0)
        --n;
    return n;
}

// T or P table. withSpecial: the T table's 2-bit count of zero lengths right
// after the third entry. single: the symbol when only one is used.
template <typename Out>
void PutSmallTable(Out& out, const uint8_t* len, size_t count, unsigned used, unsigned single,
                   unsigned countBits, bool withSpecial) {
    if (used < 2) {
        out.Put(countBits, 0);
        out.Put(countBits, single);
        return;
    }
    size_t n = UsedLength(len, count);
    out.Put(countBits, static_cast<uint32_t>(n));
    size_t i = 0;
    while (i < n) {
        PutLengthValue(out, len[i++]);
        if (withSpecial && i == 3) {
            // Readers reject a zero count that runs past the entries sent.
            while (i < 6 && i < n && len[i] == 0)
                ++i;
            out.Put(2, static_cast<uint32_t>(i - 3));
        }
    }
}

// Counts the bits that would be written.
struct CBitCounter {
    uint64_t nBits = 0;
    void Put(unsigned count, uint32_t) { nBits += count; }
};

// The T table that codes a set of literal/length lengths.
struct CTableCode {
    uint32_t aFreq[kTableCodes] = {};
    uint8_t aLen[kTableCodes] = {};
    unsigned nUsed = 0;

    void Make(const uint8_t* cLen, const uint16_t* used, unsigned usedCount) {
        WalkLiteralLengths(cLen, used, usedCount,
                           [&](unsigned s, unsigned, unsigned) { ++aFreq[s]; });
        this->nUsed = MakeCodeLengths(aFreq, kTableCodes, aLen);
    }
};

// The literal/length lengths' own cost, with their T table (made into
// table), plus dataBits, the data bits they give: what choosing among sets
// of lengths weighs.
uint64_t LiteralLengthsCost(uint64_t dataBits, const uint8_t* cLen, const uint16_t* used,
                            unsigned nUsed, CTableCode& table) {
    table.Make(cLen, used, nUsed);
    CBitCounter bits;
    // Symbols 1 and 2 (zero runs) carry 4 and 9 extra bits.
    bits.nBits = dataBits + uint64_t{table.aFreq[1]} * 4 + uint64_t{table.aFreq[2]} * 9;
    if (table.nUsed >= 2)
        for (unsigned s = 0; s < kTableCodes; ++s)
            bits.nBits += uint64_t{table.aFreq[s]} * table.aLen[s];
    PutSmallTable(bits, table.aLen, kTableCodes, table.nUsed, 0, 5, true);
    return bits.nBits;
}

// Literal/length code lengths: the plain Huffman code, or one whose rare
// symbols share fewer distinct lengths when its smaller table outweighs
// the longer data. A block of fewer than kSmallBlock symbols, whose table
// weighs most, nearly always gains from a floor of 3: it starts there and
// tries 5; a larger one starts from the plain code and tries 3, then 5 or
// 2. used: the nUsed symbols of cFreq in use, ascending. True when table
// holds the T table of the lengths chosen.
constexpr size_t kSmallBlock = 8192;
bool ChooseLiteralLengths(const uint32_t* cFreq, size_t symbols, const uint16_t* used,
                          unsigned nUsed, uint8_t* cLen, CTableCode& table) {
    CSortedSymbols sorted(cFreq, kCodeCount, used, nUsed);
    bool small = symbols < kSmallBlock && nUsed >= 8;
    uint64_t dataBits = sorted.Lengths(small ? 3 : 0, cLen);
    if (nUsed < 8)
        return false;
    uint64_t best = LiteralLengthsCost(dataBits, cLen, used, nUsed, table);
    uint32_t floor = small ? 5 : 3;
    for (int tries = small ? 1 : 2; tries > 0; --tries) {
        uint8_t trial[kCodeCount];
        CTableCode trialTable;
        uint64_t cost =
            LiteralLengthsCost(sorted.Lengths(floor, trial), trial, used, nUsed, trialTable);
        bool better = cost < best;
        if (better) {
            best = cost;
            for (unsigned i = 0; i < nUsed; ++i)
                cLen[used[i]] = trial[used[i]];
            table = trialTable;
        }
        floor = better ? 5 : 2;
    }
    return true;
}

// Writes short codes straight into the writer's buffer, 32 bits at a
// time, its state held here meanwhile: the symbols of a block are most of
// its writing. maxBytes: room for all that will be put.
class CBitBatch {
public:
    CBitBatch(CBitWriter& out, size_t maxBytes) : m_out(out), m_raw(out.Suspend(maxBytes)) {}
    // value < 2^count, count <= 32.
    void Put(unsigned count, uint32_t value) {
        m_raw.nAcc = (m_raw.nAcc << count) | value;
        m_raw.nBits += count;
        if (m_raw.nBits >= 32) {
            m_raw.nBits -= 32;
            auto word = static_cast<uint32_t>(m_raw.nAcc >> m_raw.nBits);
            m_raw.pAt[0] = static_cast<uint8_t>(word >> 24);
            m_raw.pAt[1] = static_cast<uint8_t>(word >> 16);
            m_raw.pAt[2] = static_cast<uint8_t>(word >> 8);
            m_raw.pAt[3] = static_cast<uint8_t>(word);
            m_raw.pAt += 4;
        }
    }
    void Flush() { m_out.Resume(m_raw); }

private:
    CBitWriter& m_out;
    CBitWriter::CRaw m_raw;
};

unsigned SingleSymbol(const uint32_t* freq, unsigned count) {
    for (unsigned s = 0; s < count; ++s)
        if (freq[s] != 0)
            return s;
    return 0;
}

} // namespace

void WriteBlock(CBitWriter& out, const CBlockSymbols& symbols, size_t codeBegin, size_t codeEnd,
                size_t posBegin, unsigned positionCodes) {
    uint32_t countedCodes[kCodeCount], countedPositions[17];
    const uint32_t* cFreq = symbols.aCodeFreq;
    const uint32_t* pFreq = symbols.aPosFreq;
    size_t posIndex = posBegin;
    if (codeBegin != 0 || codeEnd != symbols.aCodes.size() || !symbols.Counted()) {
        std::fill(std::begin(countedCodes), std::end(countedCodes), 0u);
        std::fill(std::begin(countedPositions), std::end(countedPositions), 0u);
        for (size_t i = codeBegin; i < codeEnd; ++i) {
            unsigned code = symbols.aCodes[i];
            ++countedCodes[code];
            if (code >= kLiteralCount)
                ++countedPositions[PositionBits(symbols.aPositions[posIndex++])];
        }
        cFreq = countedCodes;
        pFreq = countedPositions;
    }
    // Only the codes in use are visited from here on.
    uint16_t used[kCodeCount];
    unsigned cUsed = UsedSymbols(cFreq, kCodeCount, used);
    uint8_t cLen[kCodeCount], pLen[17];
    CTableCode table;
    bool tableMade = ChooseLiteralLengths(cFreq, codeEnd - codeBegin, used, cUsed, cLen, table);
    unsigned pUsed = MakeCodeLengths(pFreq, positionCodes, pLen);
    size_t cCount = used[cUsed - 1] + size_t{1};
    if (!tableMade && cUsed >= 2)
        table.Make(cLen, used, cUsed);
    const uint8_t* tLen = table.aLen;
    unsigned tUsed = table.nUsed;

    // The count and the tables: well under 4 KiB (510 lengths of at most
    // 16 + 9 bits).
    CBitBatch tables(out, 4096);
    tables.Put(16, static_cast<uint32_t>(codeEnd - codeBegin));
    uint16_t tCode[kTableCodes];
    MakeCanonicalCodes(tLen, kTableCodes, tCode);
    if (cUsed < 2) {
        PutSmallTable(tables, tLen, kTableCodes, 0, 0, 5, true);
        tables.Put(9, 0);
        tables.Put(9, used[0]);
    } else {
        PutSmallTable(tables, tLen, kTableCodes, tUsed, SingleSymbol(table.aFreq, kTableCodes), 5,
                      true);
        tables.Put(9, static_cast<uint32_t>(cCount));
        bool tCoded = tUsed >= 2; // one T symbol takes no bits at all
        WalkLiteralLengths(cLen, used, cUsed, [&](unsigned s, unsigned bits, unsigned value) {
            if (tCoded)
                tables.Put(tLen[s], tCode[s]);
            if (bits != 0)
                tables.Put(bits, value);
        });
    }
    PutSmallTable(tables, pLen, positionCodes, pUsed, SingleSymbol(pFreq, positionCodes),
                  positionCodes == 14 ? 4 : 5, false);
    tables.Flush();

    uint16_t cCode[kCodeCount], pCode[17];
    MakeCanonicalCodes(cLen, used, cUsed, cCode);
    MakeCanonicalCodes(pLen, positionCodes, pCode);
    bool cCoded = cUsed >= 2, pCoded = pUsed >= 2;
    // A position's code and extra bits (at most 16 + 15) go out together.
    uint32_t pCodeBits[17] = {}, pLenBits[17] = {}, pExtraMask[17] = {};
    for (unsigned c = 0; c < positionCodes; ++c) {
        pLenBits[c] = (pCoded ? pLen[c] : 0) + (c >= 2 ? c - 1 : 0);
        pCodeBits[c] = pCoded ? uint32_t{pCode[c]} << (c >= 2 ? c - 1 : 0) : 0;
        pExtraMask[c] = c >= 2 ? (1u << (c - 1)) - 1 : 0;
    }
    uint8_t cBits[kCodeCount]; // set for the codes in use, the only ones read
    for (unsigned i = 0; i < cUsed; ++i)
        cBits[used[i]] = cCoded ? cLen[used[i]] : 0;
    // Pointers held in locals: the bytes written could otherwise alias the
    // vectors' own, and every symbol would reload them.
    const uint16_t* codes = symbols.aCodes.data();
    const uint16_t* positions = symbols.aPositions.data() + posBegin;
    // A symbol takes at most 16 + 16 + 15 bits.
    CBitBatch batch(out, (codeEnd - codeBegin) * 6 + 8);
    for (size_t i = codeBegin; i < codeEnd; ++i) {
        unsigned code = codes[i];
        batch.Put(cBits[code], cCode[code]);
        if (code < kLiteralCount)
            continue;
        unsigned p = *positions++;
        unsigned c = PositionBits(p);
        batch.Put(pLenBits[c], pCodeBits[c] | (p & pExtraMask[c]));
    }
    batch.Flush();
}

} // namespace unlha
