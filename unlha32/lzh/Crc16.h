#pragma once
// CRC-16 of LZH archives (the "ARC" CRC: polynomial 0x8005 processed
// reflected, initial value 0, no final XOR).

#include <cstddef>
#include <cstdint>

namespace unlha {

// The CRC after feeding size bytes at data into a CRC that stood at crc.
uint16_t UpdateCrc16(uint16_t crc, const void* data, size_t size);

inline uint16_t Crc16(const void* data, size_t size) {
    return UpdateCrc16(0, data, size);
}

} // namespace unlha
