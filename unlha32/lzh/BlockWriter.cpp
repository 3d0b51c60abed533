#include "lzh/BlockWriter.h"

#include "lzh/Huffman.h"

namespace unlha {

namespace {

constexpr unsigned kTableCodes = 19; // code-length alphabet

// Zero runs of the literal/length table become code-length symbols 0, 1
// (+4 bits) or 2 (+9 bits); a length k becomes symbol k + 2. Calls emit(sym,
// extraBits, extraValue) for every symbol in order.
template <typename Emit> void WalkLiteralLengths(const std::vector<uint8_t>& len, Emit emit) {
    size_t n = len.size();
    while (n > 0 && len[n - 1] == 0)
        --n;
    size_t i = 0;
    while (i < n) {
        unsigned k = len[i++];
        if (k != 0) {
            emit(k + 2, 0u, 0u);
            continue;
        }
        unsigned run = 1;
        while (i < n && len[i] == 0) {
            ++i;
            ++run;
        }
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
}

// A code length in the T/P table form: 3 bits up to 6, else "111", k - 7
// one bits and a zero bit.
void PutLengthValue(CBitWriter& out, unsigned k) {
    if (k <= 6) {
        out.Put(3, k);
        return;
    }
    out.Put(3, 7);
    for (unsigned i = 7; i < k; ++i)
        out.Put(1, 1);
    out.Put(1, 0);
}

// T or P table. withSpecial: the T table's 2-bit count of zero lengths right
// after the third entry. single: the symbol when only one is used.
void PutSmallTable(CBitWriter& out, const std::vector<uint8_t>& len, unsigned used, unsigned single,
                   unsigned countBits, bool withSpecial) {
    if (used < 2) {
        out.Put(countBits, 0);
        out.Put(countBits, single);
        return;
    }
    size_t n = len.size();
    while (n > 0 && len[n - 1] == 0)
        --n;
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

// Gathers short codes and passes them on 32 bits at a time: the symbols of
// a block are most of its writing.
class CBitBatch {
public:
    explicit CBitBatch(CBitWriter& out) : m_out(out) {}
    // value < 2^count, count <= 32.
    void Put(unsigned count, uint32_t value) {
        m_nAcc = (m_nAcc << count) | value;
        m_nBits += count;
        if (m_nBits >= 32) {
            m_nBits -= 32;
            m_out.Put(32, static_cast<uint32_t>(m_nAcc >> m_nBits));
        }
    }
    void Flush() {
        if (m_nBits != 0)
            m_out.Put(m_nBits, static_cast<uint32_t>(m_nAcc) & ((1u << m_nBits) - 1));
        m_nBits = 0;
    }

private:
    CBitWriter& m_out;
    uint64_t m_nAcc = 0;
    unsigned m_nBits = 0;
};

unsigned SingleSymbol(const std::vector<uint32_t>& freq) {
    for (unsigned s = 0; s < freq.size(); ++s)
        if (freq[s] != 0)
            return s;
    return 0;
}

} // namespace

void WriteBlock(CBitWriter& out, const CBlockSymbols& symbols, size_t codeBegin, size_t codeEnd,
                size_t posBegin, unsigned positionCodes) {
    std::vector<uint32_t> cFreq(kCodeCount, 0), pFreq(positionCodes, 0);
    size_t posIndex = posBegin;
    for (size_t i = codeBegin; i < codeEnd; ++i) {
        unsigned code = symbols.aCodes[i];
        ++cFreq[code];
        if (code >= kLiteralCount)
            ++pFreq[PositionBits(symbols.aPositions[posIndex++])];
    }
    std::vector<uint8_t> cLen, pLen, tLen;
    unsigned cUsed = MakeCodeLengths(cFreq, cLen);
    unsigned pUsed = MakeCodeLengths(pFreq, pLen);
    std::vector<uint32_t> tFreq(kTableCodes, 0);
    if (cUsed >= 2)
        WalkLiteralLengths(cLen, [&](unsigned s, unsigned, unsigned) { ++tFreq[s]; });
    unsigned tUsed = MakeCodeLengths(tFreq, tLen);

    out.Put(16, static_cast<uint32_t>(codeEnd - codeBegin));
    std::vector<uint16_t> tCode = MakeCanonicalCodes(tLen);
    if (cUsed < 2) {
        PutSmallTable(out, tLen, 0, 0, 5, true);
        out.Put(9, 0);
        out.Put(9, SingleSymbol(cFreq));
    } else {
        PutSmallTable(out, tLen, tUsed, SingleSymbol(tFreq), 5, true);
        size_t n = cLen.size();
        while (n > 0 && cLen[n - 1] == 0)
            --n;
        out.Put(9, static_cast<uint32_t>(n));
        bool tCoded = tUsed >= 2; // one T symbol takes no bits at all
        WalkLiteralLengths(cLen, [&](unsigned s, unsigned bits, unsigned value) {
            if (tCoded)
                out.Put(tLen[s], tCode[s]);
            if (bits != 0)
                out.Put(bits, value);
        });
    }
    PutSmallTable(out, pLen, pUsed, SingleSymbol(pFreq), positionCodes == 14 ? 4 : 5, false);

    std::vector<uint16_t> cCode = MakeCanonicalCodes(cLen);
    std::vector<uint16_t> pCode = MakeCanonicalCodes(pLen);
    bool cCoded = cUsed >= 2, pCoded = pUsed >= 2;
    posIndex = posBegin;
    // A position's code and extra bits (at most 16 + 15) go out together.
    uint32_t pCodeBits[17] = {}, pLenBits[17] = {};
    for (unsigned c = 0; c < positionCodes; ++c) {
        pLenBits[c] = (pCoded ? pLen[c] : 0) + (c >= 2 ? c - 1 : 0);
        pCodeBits[c] = pCoded ? uint32_t{pCode[c]} << (c >= 2 ? c - 1 : 0) : 0;
    }
    CBitBatch batch(out);
    for (size_t i = codeBegin; i < codeEnd; ++i) {
        unsigned code = symbols.aCodes[i];
        if (cCoded)
            batch.Put(cLen[code], cCode[code]);
        if (code < kLiteralCount)
            continue;
        unsigned p = symbols.aPositions[posIndex++];
        unsigned c = PositionBits(p);
        uint32_t extra = c >= 2 ? p & ((1u << (c - 1)) - 1) : 0;
        batch.Put(pLenBits[c], pCodeBits[c] | extra);
    }
    batch.Flush();
}

} // namespace unlha
