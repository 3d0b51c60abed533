#include "lzh/Crc16.h"

#include <array>

namespace unlha {

namespace {

// kTables[0] is the classic byte table; kTables[k][b] is the CRC of byte b
// followed by k zero bytes, so sixteen bytes are folded in with sixteen
// lookups that do not wait on each other ("slicing by 16").
constexpr std::array<std::array<uint16_t, 256>, 16> MakeTables() {
    std::array<std::array<uint16_t, 256>, 16> tables{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        tables[0][i] = static_cast<uint16_t>(crc);
    }
    for (unsigned k = 1; k < 16; ++k)
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
    for (; size >= 16; size -= 16, p += 16) {
        // The CRC touches only the first two bytes of each group.
        unsigned b0 = p[0] ^ (value & 0xFF), b1 = p[1] ^ (value >> 8);
        value = kTables[15][b0] ^ kTables[14][b1] ^ kTables[13][p[2]] ^ kTables[12][p[3]] ^
                kTables[11][p[4]] ^ kTables[10][p[5]] ^ kTables[9][p[6]] ^ kTables[8][p[7]] ^
                kTables[7][p[8]] ^ kTables[6][p[9]] ^ kTables[5][p[10]] ^ kTables[4][p[11]] ^
                kTables[3][p[12]] ^ kTables[2][p[13]] ^ kTables[1][p[14]] ^ kTables[0][p[15]];
    }
    if (size >= 8) {
        unsigned b0 = p[0] ^ (value & 0xFF), b1 = p[1] ^ (value >> 8);
        value = kTables[7][b0] ^ kTables[6][b1] ^ kTables[5][p[2]] ^ kTables[4][p[3]] ^
                kTables[3][p[4]] ^ kTables[2][p[5]] ^ kTables[1][p[6]] ^ kTables[0][p[7]];
        size -= 8;
        p += 8;
    }
    for (; size > 0; --size, ++p)
        value = kTables[0][(value ^ *p) & 0xFF] ^ (value >> 8);
    return static_cast<uint16_t>(value);
}

} // namespace unlha
