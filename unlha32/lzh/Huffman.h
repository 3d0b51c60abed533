#pragma once
// Huffman code lengths limited to 16 bits, and the canonical codes that the
// LZH stream uses (shortest codes first, symbols in order within a length).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace unlha {

constexpr unsigned kMaxCodeBits = 16;
constexpr unsigned kMaxHuffmanSymbols = 1024;

// Code lengths for the frequencies (0 for unused symbols). Two or more used
// symbols always give a complete code with lengths <= kMaxCodeBits; with one
// used symbol its length is 1 and the caller must use the one-symbol form.
// Returns the number of used symbols. count <= kMaxHuffmanSymbols.
unsigned MakeCodeLengths(const uint32_t* freq, unsigned count, uint8_t* lengths);
unsigned MakeCodeLengths(const std::vector<uint32_t>& freq, std::vector<uint8_t>& lengths);

// The used symbols of a frequency table in ascending order, sorted once for
// several codes over them: Lengths gives MakeCodeLengths' lengths for the
// frequencies raised to at least floor, which spends a little of the data
// on fewer distinct long lengths (cheaper tables). Two or more used
// symbols.
class CSortedSymbols {
public:
    CSortedSymbols(const uint32_t* freq, unsigned count);
    // The same from the used symbols already found (UsedSymbols).
    CSortedSymbols(const uint32_t* freq, unsigned count, const uint16_t* used, unsigned nUsed);
    unsigned Used() const { return m_nUsed; }
    // Returns the bits of the symbols coded with those lengths (their
    // frequencies times their lengths).
    uint64_t Lengths(uint32_t floor, uint8_t* lengths) const;

private:
    void Sort(const uint32_t* freq, const uint16_t* used, unsigned nUsed);

    unsigned m_nCount;
    unsigned m_nUsed = 0;
    uint64_t m_aKeys[kMaxHuffmanSymbols]; // frequency << 16 | symbol
};

// The bits of symbols of these frequencies coded by MakeCodeLengths' code
// for them, the code's table left out; of bytes, by their own frequencies.
uint64_t CodedBits(const uint32_t* freq, unsigned count);
uint64_t OwnCodeBits(const uint8_t* data, size_t size);

// The symbols of non-zero frequency, ascending, into used (count
// entries); returns their number. Runs of unused symbols are passed over
// four at a time: a small block uses few of the 510 codes.
unsigned UsedSymbols(const uint32_t* freq, unsigned count, uint16_t* used);

// Canonical codes for complete code lengths; the second form visits only
// the nUsed symbols of used (ascending), the only ones of non-zero length,
// and leaves the codes of the others unset.
void MakeCanonicalCodes(const uint8_t* lengths, unsigned count, uint16_t* codes);
void MakeCanonicalCodes(const uint8_t* lengths, const uint16_t* used, unsigned nUsed,
                        uint16_t* codes);
std::vector<uint16_t> MakeCanonicalCodes(const std::vector<uint8_t>& lengths);

} // namespace unlha
