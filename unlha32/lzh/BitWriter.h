#pragma once
// Bit fields packed most significant bit first, as the -lh5-/-lh6-/-lh7-
// stream stores them.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace unlha {

class CBitWriter {
public:
    // Appends the low count bits of value (count <= 32), first bit first.
    void Put(unsigned count, uint32_t value) {
        uint64_t bits = count == 32 ? value : value & ((uint32_t{1} << count) - 1);
        m_nAcc = (m_nAcc << count) | bits;
        m_nBits += count;
        if (m_nBits >= 32) {
            // Four whole bytes at once.
            m_nBits -= 32;
            auto word = static_cast<uint32_t>(m_nAcc >> m_nBits);
            if (m_aBytes.size() - m_nUsed < 4)
                m_aBytes.resize(std::max<size_t>(2 * m_aBytes.size(), 4096));
            uint8_t* at = m_aBytes.data() + m_nUsed;
            at[0] = static_cast<uint8_t>(word >> 24);
            at[1] = static_cast<uint8_t>(word >> 16);
            at[2] = static_cast<uint8_t>(word >> 8);
            at[3] = static_cast<uint8_t>(word);
            m_nUsed += 4;
        }
    }

    // Fills the last partial byte with zero bits and passes on the whole
    // bytes still held.
    void PadToByte() {
        if (m_nBits % 8 != 0)
            Put(8 - m_nBits % 8, 0);
        while (m_nBits >= 8) {
            m_nBits -= 8;
            if (m_nUsed == m_aBytes.size())
                m_aBytes.resize(m_nUsed + 4096);
            m_aBytes[m_nUsed++] = static_cast<uint8_t>(m_nAcc >> m_nBits);
        }
    }

    // Starts a new stream, keeping the buffer.
    void Reset() {
        m_nAcc = 0;
        m_nBits = 0;
        m_nFlushed = 0;
        m_nUsed = 0;
    }

    // For a writer of many fields in a row (the symbols of a block): Suspend
    // hands over the bits held and room for at least bytes more, Resume takes
    // back the bits and the bytes written after them. Nothing else between.
    struct CRaw {
        uint64_t nAcc;  // the bits held are its low nBits
        unsigned nBits; // fewer than 32
        uint8_t* pAt;   // where the next four whole bytes go
    };
    CRaw Suspend(size_t bytes) {
        if (m_aBytes.size() - m_nUsed < bytes)
            m_aBytes.resize(std::max(m_nUsed + bytes, 2 * m_aBytes.size()));
        return CRaw{m_nAcc, m_nBits, m_aBytes.data() + m_nUsed};
    }
    void Resume(const CRaw& raw) {
        m_nAcc = raw.nAcc;
        m_nBits = raw.nBits;
        m_nUsed = static_cast<size_t>(raw.pAt - m_aBytes.data());
    }

    uint64_t BitCount() const { return (m_nFlushed + m_nUsed) * 8 + m_nBits; }

    // Complete bytes not yet dropped (up to 31 bits may still be held until
    // PadToByte); DropBytes forgets them after the caller has passed them
    // on.
    const uint8_t* Data() const { return m_aBytes.data(); }
    size_t Size() const { return m_nUsed; }
    void DropBytes() {
        m_nFlushed += m_nUsed;
        m_nUsed = 0;
    }

private:
    uint64_t m_nAcc = 0;
    unsigned m_nBits = 0; // held in m_nAcc, fewer than 32
    uint64_t m_nFlushed = 0;
    std::vector<uint8_t> m_aBytes; // the first m_nUsed are written
    size_t m_nUsed = 0;
};

} // namespace unlha
