#include "lzh/Crc16.h"

#include <array>

namespace unlha {

namespace {

constexpr std::array<uint16_t, 256> MakeTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        table[i] = static_cast<uint16_t>(crc);
    }
    return table;
}

constexpr std::array<uint16_t, 256> kTable = MakeTable();

} // namespace

uint16_t UpdateCrc16(uint16_t crc, const void* data, size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    unsigned value = crc;
    for (size_t i = 0; i < size; ++i)
        value = kTable[(value ^ p[i]) & 0xFF] ^ (value >> 8);
    return static_cast<uint16_t>(value);
}

} // namespace unlha
