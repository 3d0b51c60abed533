#include "LhDecoder.h"

#include <cstdint>
#include <vector>

namespace {

class CBitReader {
public:
    explicit CBitReader(const std::string& data) : m_data(data) {}
    bool Get(unsigned count, uint32_t& value) {
        value = 0;
        for (unsigned i = 0; i < count; ++i) {
            if (m_nBit >= m_data.size() * 8)
                return false;
            unsigned byte = static_cast<unsigned char>(m_data[m_nBit / 8]);
            value = (value << 1) | ((byte >> (7 - m_nBit % 8)) & 1);
            ++m_nBit;
        }
        return true;
    }
    size_t Position() const { return m_nBit; }
    size_t Size() const { return m_data.size() * 8; }

private:
    const std::string& m_data;
    size_t m_nBit = 0;
};

// A canonical code from its lengths; a single symbol takes no bits.
struct CCode {
    std::vector<uint8_t> lengths;
    int single = -1;

    std::string Check() const {
        uint64_t kraft = 0;
        unsigned used = 0;
        for (uint8_t l : lengths) {
            if (l > 16)
                return "code length over 16";
            if (l != 0) {
                kraft += uint64_t{1} << (16 - l);
                ++used;
            }
        }
        if (used == 1)
            return "one used symbol sent as a table";
        if (used >= 2 && kraft != (uint64_t{1} << 16))
            return "incomplete or oversubscribed code";
        return {};
    }

    // Counts per length and the symbols in canonical order; call once the
    // lengths are known.
    void Prepare() {
        for (unsigned& n : count)
            n = 0;
        sorted.clear();
        for (uint8_t l : lengths)
            ++count[l];
        for (unsigned len = 1; len <= 16; ++len)
            for (unsigned s = 0; s < lengths.size(); ++s)
                if (lengths[s] == len)
                    sorted.push_back(s);
    }

    bool Decode(CBitReader& in, unsigned& symbol) const {
        if (single >= 0) {
            symbol = static_cast<unsigned>(single);
            return true;
        }
        uint32_t code = 0, first = 0;
        size_t index = 0;
        for (unsigned len = 1; len <= 16; ++len) {
            uint32_t bit = 0;
            if (!in.Get(1, bit))
                return false;
            code = (code << 1) | bit;
            if (code - first < count[len]) {
                symbol = sorted[index + (code - first)];
                return true;
            }
            index += count[len];
            first = (first + count[len]) << 1;
        }
        return false;
    }

    unsigned count[17] = {};
    std::vector<unsigned> sorted;
};

bool ReadLengthValue(CBitReader& in, uint8_t& length) {
    uint32_t v = 0;
    if (!in.Get(3, v))
        return false;
    if (v == 7) {
        uint32_t bit = 1;
        while (in.Get(1, bit) && bit == 1)
            if (++v > 16)
                return false;
        if (bit != 0)
            return false;
    }
    length = static_cast<uint8_t>(v);
    return true;
}

std::string ReadSmallTable(CBitReader& in, unsigned symbols, unsigned countBits, bool special,
                           CCode& code) {
    uint32_t n = 0;
    if (!in.Get(countBits, n))
        return "truncated table";
    code.lengths.assign(symbols, 0);
    code.single = -1;
    if (n == 0) {
        uint32_t s = 0;
        if (!in.Get(countBits, s) || s >= symbols)
            return "bad single symbol";
        code.single = static_cast<int>(s);
        return {};
    }
    if (n > symbols)
        return "table too long";
    for (unsigned i = 0; i < n;) {
        if (!ReadLengthValue(in, code.lengths[i++]))
            return "bad length value";
        if (special && i == 3) {
            uint32_t z = 0;
            if (!in.Get(2, z) || i + z > n)
                return "zero count past the table";
            i += z;
        }
    }
    code.Prepare();
    return code.Check();
}

std::string ReadLiteralTable(CBitReader& in, const CCode& t, CCode& c) {
    uint32_t n = 0;
    if (!in.Get(9, n))
        return "truncated table";
    c.lengths.assign(510, 0);
    c.single = -1;
    if (n == 0) {
        uint32_t s = 0;
        if (!in.Get(9, s) || s >= 510)
            return "bad single symbol";
        c.single = static_cast<int>(s);
        return {};
    }
    if (n > 510)
        return "table too long";
    for (unsigned i = 0; i < n;) {
        unsigned sym = 0;
        if (!t.Decode(in, sym))
            return "bad code-length code";
        uint32_t run = 0;
        if (sym == 0) {
            run = 1;
        } else if (sym == 1) {
            if (!in.Get(4, run))
                return "truncated";
            run += 3;
        } else if (sym == 2) {
            if (!in.Get(9, run))
                return "truncated";
            run += 20;
        } else {
            c.lengths[i++] = static_cast<uint8_t>(sym - 2);
            continue;
        }
        if (i + run > n)
            return "zero run past the table";
        i += run;
    }
    c.Prepare();
    return c.Check();
}

} // namespace

std::string LhDecode(const std::string& packed, int method, size_t originalSize, std::string& out,
                     CLhDecodeInfo* info) {
    unsigned dicBit = method == 5 ? 13 : method == 6 ? 15 : 16;
    unsigned np = method == 5 ? 14 : dicBit + 1;
    unsigned pbit = method == 5 ? 4 : 5;
    CLhDecodeInfo local;
    CLhDecodeInfo& stats = info ? *info : local;
    stats = CLhDecodeInfo{};
    out.clear();
    CBitReader in(packed);
    size_t lastBlockStart = 0;
    while (out.size() < originalSize) {
        lastBlockStart = in.Position() / 8;
        uint32_t count = 0;
        if (!in.Get(16, count) || count == 0)
            return "bad block count";
        ++stats.nBlocks;
        CCode t, c, p;
        if (std::string e = ReadSmallTable(in, 19, 5, true, t); !e.empty())
            return "T table: " + e;
        if (std::string e = ReadLiteralTable(in, t, c); !e.empty())
            return "C table: " + e;
        if (std::string e = ReadSmallTable(in, np, pbit, false, p); !e.empty())
            return "P table: " + e;
        for (uint32_t k = 0; k < count; ++k) {
            unsigned sym = 0;
            if (!c.Decode(in, sym))
                return "bad literal/length code";
            if (sym < 256) {
                out += static_cast<char>(sym);
                continue;
            }
            size_t length = sym - 256 + 3;
            unsigned bits = 0;
            if (!p.Decode(in, bits))
                return "bad position code";
            uint32_t pos = bits;
            if (bits >= 2) {
                uint32_t extra = 0;
                if (!in.Get(bits - 1, extra))
                    return "truncated position";
                pos = (1u << (bits - 1)) + extra;
            }
            size_t distance = pos + 1;
            if (distance > out.size())
                return "reference before the start";
            if (distance >= (size_t{1} << dicBit))
                return "distance beyond window - 1";
            stats.nLongestMatch = std::max(stats.nLongestMatch, length);
            stats.nFarthestDistance = std::max(stats.nFarthestDistance, distance);
            for (size_t i = 0; i < length; ++i)
                out += out[out.size() - distance];
        }
        if (out.size() > originalSize)
            return "more data than the original size";
    }
    if (in.Size() - in.Position() >= 8)
        return "bytes left after the data";
    uint32_t pad = 0;
    if (!in.Get(static_cast<unsigned>(in.Size() - in.Position()), pad) || pad != 0)
        return "padding bits not zero";
    if (stats.nBlocks > 1 && packed.size() - lastBlockStart <= 8)
        return "last block starts within the final 8 bytes";
    return {};
}
