#pragma once
// Bit fields packed most significant bit first, as the -lh5-/-lh6-/-lh7-
// stream stores them.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace unlha {

class CBitWriter {
public:
    // Appends the low count bits of value (count <= 32), first bit first.
    void Put(unsigned count, uint32_t value) {
        m_nAcc = (m_nAcc << count) | (value & ((count == 32) ? 0xFFFFFFFFu : ((1u << count) - 1)));
        m_nBits += count;
        while (m_nBits >= 8) {
            m_nBits -= 8;
            m_aBytes.push_back(static_cast<uint8_t>(m_nAcc >> m_nBits));
        }
    }

    // Fills the last partial byte with zero bits.
    void PadToByte() {
        if (m_nBits > 0)
            Put(8 - m_nBits, 0);
    }

    uint64_t BitCount() const { return m_nFlushed * 8 + m_aBytes.size() * 8 + m_nBits; }

    // Complete bytes not yet dropped; DropBytes forgets them after the caller
    // has passed them on.
    const std::vector<uint8_t>& Bytes() const { return m_aBytes; }
    void DropBytes() {
        m_nFlushed += m_aBytes.size();
        m_aBytes.clear();
    }

private:
    uint64_t m_nAcc = 0;
    unsigned m_nBits = 0;
    uint64_t m_nFlushed = 0;
    std::vector<uint8_t> m_aBytes;
};

} // namespace unlha
