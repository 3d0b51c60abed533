#include "lzh/Crc16.h"

#include <array>

namespace unlha {

namespace {

// kTables[0] is the classic byte table; kTables[k][b] is the CRC of byte b
// followed by k zero bytes, so eight bytes are folded in with eight lookups
// that do not wait on each other ("slicing by 8").
constexpr std::array<std::array<uint16_t, 256>, 8> MakeTables() {
    std::array<std::array<uint16_t, 256>, 8> tables{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        tables[0][i] = static_cast<uint16_t>(crc);
    }
    for (unsigned k = 1; k < 8; ++k)
        for (unsigned i = 0; i < 256; ++i)
            tables[k][i] =
                static_cast<uint16_t>(tables[0][tables[k - 1][i] & 0xFF] ^ (tables[k - 1][i] >> 8));
    return tables;
}

constexpr auto kTables = MakeTables();

} // namespace

uint16_t UpdateCrc16(uint16_t crc, const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    unsigned value = crc;
    for (; size >= 8; size -= 8, p += 8) {
        // The CRC touches only the first two bytes of each group of eight.
        unsigned b0 = p[0] ^ (value & 0xFF), b1 = p[1] ^ (value >> 8);
        value = kTables[7][b0] ^ kTables[6][b1] ^ kTables[5][p[2]] ^ kTables[4][p[3]] ^
                kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]];
    }
    for (; size > 0; --size, ++p)
        value = kTables[0][(value ^ *p) & 0xFF] ^ (value >> 8);
    return static_cast<uint16_t>(value);
}

} // namespace unlha
