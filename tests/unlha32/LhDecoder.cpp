#include "LhDecoder.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <vector>

namespace {

class CBitReader {
public:
    explicit CBitReader(const std::string& data) : m_data(data) {}
    bool Get(unsigned count, uint32_t& value) {
        value = 0;
        for (unsigned i = 0; i < count; ++i, ++m_nBit) {
            if (m_nBit >= Size())
                return false;
            unsigned byte = static_cast<unsigned char>(m_data[m_nBit / 8]);
            value = (value << 1) | ((byte >> (7 - m_nBit % 8)) & 1);
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
    unsigned count[17] = {};
    std::vector<unsigned> sorted; // symbols in canonical order

    std::string Prepare() {
        uint64_t kraft = 0;
        unsigned used = 0;
        for (uint8_t l : lengths) {
            if (l > 16)
                return "code length over 16";
            if (l != 0) {
                kraft += uint64_t{1} << (16 - l);
                ++used;
                ++count[l];
            }
        }
        for (unsigned len = 1; len <= 16; ++len)
            for (unsigned s = 0; s < lengths.size(); ++s)
                if (lengths[s] == len)
                    sorted.push_back(s);
        if (used == 1)
            return "one used symbol sent as a table";
        if (used >= 2 && kraft != (uint64_t{1} << 16))
            return "incomplete or oversubscribed code";
        return {};
    }

    bool Decode(CBitReader& in, unsigned& symbol) const {
        if (single >= 0) {
            symbol = static_cast<unsigned>(single);
            return true;
        }
        uint32_t code = 0, first = 0, bit = 0;
        size_t index = 0;
        for (unsigned len = 1; len <= 16; ++len) {
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
};

// A table: its length in countBits, then entries read by next, which stores
// at index i and advances it (past a run of zeros too). Length 0 sends one
// symbol instead.
std::string ReadTable(CBitReader& in, unsigned symbols, unsigned countBits, CCode& code,
                      const std::function<bool(size_t&)>& next) {
    code.lengths.assign(symbols, 0);
    uint32_t n = 0;
    if (!in.Get(countBits, n))
        return "truncated table";
    if (n == 0) {
        uint32_t s = 0;
        if (!in.Get(countBits, s) || s >= symbols)
            return "bad single symbol";
        code.single = static_cast<int>(s);
        return {};
    }
    if (n > symbols)
        return "table too long";
    for (size_t i = 0; i < n;)
        if (!next(i) || i > n)
            return "bad entry or zero run past the table";
    return code.Prepare();
}

// A length: 3 bits, and 7 continued in unary.
bool ReadLengthValue(CBitReader& in, uint8_t& length) {
    uint32_t v = 0, bit = 1;
    if (!in.Get(3, v))
        return false;
    while (v >= 7 && in.Get(1, bit) && bit == 1)
        if (++v > 16)
            return false;
    length = static_cast<uint8_t>(v);
    return v < 7 || bit == 0;
}

} // namespace

std::string LhDecode(const std::string& packed, int method, size_t originalSize, std::string& out,
                     CLhDecodeInfo* info) {
    unsigned dicBit = method == 5 ? 13 : method == 6 ? 15 : 16;
    unsigned np = method == 5 ? 14 : dicBit + 1, pbit = method == 5 ? 4 : 5;
    CLhDecodeInfo local;
    CLhDecodeInfo& stats = info ? *info : local;
    stats = CLhDecodeInfo{};
    out.clear();
    CBitReader in(packed);
    size_t lastBlockStart = 0;
    while (out.size() < originalSize) {
        lastBlockStart = in.Position() / 8;
        uint32_t count = 0, v = 0;
        if (!in.Get(16, count) || count == 0)
            return "bad block count";
        ++stats.nBlocks;
        CCode t, c, p;
        std::string e = ReadTable(in, 19, 5, t, [&](size_t& i) {
            if (!ReadLengthValue(in, t.lengths[i++]) || (i == 3 && !in.Get(2, v)))
                return false;
            i += i == 3 ? v : 0; // zeros after the third length
            return true;
        });
        if (e.empty())
            e = ReadTable(in, 510, 9, c, [&](size_t& i) {
                unsigned sym = 0;
                if (!t.Decode(in, sym))
                    return false;
                if (sym > 2)
                    c.lengths[i++] = static_cast<uint8_t>(sym - 2);
                else if (sym == 0)
                    ++i;
                else if (!in.Get(sym == 1 ? 4 : 9, v))
                    return false;
                else
                    i += v + (sym == 1 ? 3 : 20);
                return true;
            });
        if (e.empty())
            e = ReadTable(in, np, pbit, p,
                          [&](size_t& i) { return ReadLengthValue(in, p.lengths[i++]); });
        if (!e.empty())
            return "table: " + e;
        for (uint32_t k = 0; k < count; ++k) {
            unsigned sym = 0, bits = 0;
            if (!c.Decode(in, sym))
                return "bad literal/length code";
            if (sym < 256) {
                out += static_cast<char>(sym);
                continue;
            }
            size_t length = sym - 256 + 3;
            if (!p.Decode(in, bits) || (bits >= 2 && !in.Get(bits - 1, v)))
                return "bad position";
            size_t distance = (bits >= 2 ? (1u << (bits - 1)) + v : bits) + 1;
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
    uint32_t pad = 0;
    if (in.Size() - in.Position() >= 8)
        return "bytes left after the data";
    if (!in.Get(static_cast<unsigned>(in.Size() - in.Position()), pad) || pad != 0)
        return "padding bits not zero";
    if (stats.nBlocks > 1 && packed.size() - lastBlockStart <= 8)
        return "last block starts within the final 8 bytes";
    return {};
}
