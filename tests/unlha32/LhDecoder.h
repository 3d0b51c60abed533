#pragma once
// A strict -lh5-/-lh6-/-lh7- decoder for the tests, written from the format
// description independently of the library's encoder. Beyond decoding, it
// refuses what some readers refuse: incomplete codes, one used symbol sent as
// a table, zero runs past the table, references before the start of the data
// or beyond window - 1, leftover bytes or padding bits, and a last block that
// starts within the final 8 bytes.

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CLhDecoder {
public:
    CLhDecoder(const std::string& packed, int method) : m_in(packed), m_nMethod(method) {}

    // Decodes into originalSize bytes; an empty string on success, else why.
    std::string Decode(size_t originalSize, std::string& out) try {
        unsigned dicBit = m_nMethod == 5 ? 13 : m_nMethod == 6 ? 15 : 16;
        unsigned np = m_nMethod == 5 ? 14 : dicBit + 1, pbit = m_nMethod == 5 ? 4 : 5;
        size_t lastBlock = 0;
        for (out.clear(); out.size() < originalSize; ++nBlocks) {
            lastBlock = m_nBit / 8;
            uint32_t count = Get(16);
            CCode t = ReadTable(19, 5, nullptr), c = ReadTable(510, 9, &t), p = ReadTable(np, pbit);
            for (uint32_t k = 0; k < count; ++k) {
                unsigned sym = Symbol(c), bits = sym < 256 ? 0 : Symbol(p);
                if (sym < 256) {
                    out += static_cast<char>(sym);
                    continue;
                }
                size_t length = sym - 253,
                       distance = (bits >= 2 ? Get(bits - 1) | 1u << (bits - 1) : bits) + 1;
                Check(distance <= out.size(), "reference before the start");
                Check(distance < size_t{1} << dicBit, "distance beyond window - 1");
                nLongestMatch = std::max(nLongestMatch, length);
                nFarthestDistance = std::max(nFarthestDistance, distance);
                for (size_t i = 0; i < length; ++i)
                    out += out[out.size() - distance];
            }
            Check(count != 0 && out.size() <= originalSize, "empty block or too much data");
        }
        Check(m_in.size() * 8 - m_nBit < 8, "bytes left after the data");
        Check(Get(static_cast<unsigned>(m_in.size() * 8 - m_nBit)) == 0, "padding bits not zero");
        Check(nBlocks < 2 || m_in.size() - lastBlock > 8, "last block within the final 8 bytes");
        return {};
    } catch (const char* why) {
        return why;
    }

    size_t nBlocks = 0, nLongestMatch = 0, nFarthestDistance = 0;

private:
    // Canonical code: (length, code) to symbol; a single symbol takes no bits.
    using CCode = std::map<std::pair<unsigned, uint32_t>, unsigned>;

    static void Check(bool ok, const char* why) {
        if (!ok)
            throw why;
    }
    uint32_t Get(unsigned count) {
        uint32_t value = 0;
        for (; count > 0; --count, ++m_nBit) {
            Check(m_nBit < m_in.size() * 8, "truncated");
            value = value << 1 | ((static_cast<uint8_t>(m_in[m_nBit / 8]) >> (7 - m_nBit % 8)) & 1);
        }
        return value;
    }
    unsigned Symbol(const CCode& code) {
        if (!code.empty() && code.begin()->first.first == 0)
            return code.begin()->second;
        uint32_t bits = 0;
        for (unsigned len = 1; len <= 16; ++len) {
            bits = bits << 1 | Get(1);
            if (auto it = code.find({len, bits}); it != code.end())
                return it->second;
        }
        throw "bad code";
    }
    // A length: 3 bits, and 7 continued in unary.
    unsigned GetLength() {
        unsigned v = Get(3);
        if (v == 7)
            while (Get(1) == 1)
                Check(++v <= 16, "code length over 16");
        return v;
    }
    // A count, then the lengths (through the T code for the literal/length
    // table); a count of 0 sends one symbol instead.
    CCode ReadTable(unsigned symbols, unsigned countBits, const CCode* t = nullptr) {
        unsigned n = Get(countBits);
        if (n == 0) {
            unsigned single = Get(countBits);
            Check(single < symbols, "bad single symbol");
            return {{{0, 0}, single}};
        }
        Check(n <= symbols, "table too long");
        std::vector<unsigned> len(n, 0);
        for (size_t i = 0; i < n; Check(i <= n, "zero run past the table")) {
            if (!t) {
                len[i++] = GetLength();
                if (symbols == 19 && i == 3) // the T table: a zero run after the third
                    i += Get(2);
            } else if (unsigned s = Symbol(*t); s > 2) {
                len[i++] = s - 2;
            } else {
                i += s == 0 ? 1 : s == 1 ? Get(4) + 3 : Get(9) + 20;
            }
        }
        CCode code;
        uint32_t next = 0; // complete when it reaches 1 << 17 after length 16
        for (unsigned l = 1; l <= 16; ++l, next <<= 1)
            for (unsigned s = 0; s < n; ++s)
                if (len[s] == l)
                    code[{l, next++}] = s;
        Check(code.size() != 1, "one used symbol sent as a table");
        Check(code.empty() || next == 1u << 17, "incomplete or oversubscribed code");
        return code;
    }

    const std::string& m_in;
    int m_nMethod;
    size_t m_nBit = 0;
};
