#pragma once
// A strict -lh5-/-lh6-/-lh7- decoder for the tests, written from the format
// description independently of the library's encoder. Beyond decoding, it
// refuses what some readers refuse: incomplete codes, zero runs past the
// table, references before the start of the data or beyond window - 1,
// leftover bytes, and a last block that starts within the final 8 bytes.

#include <cstddef>
#include <string>

struct CLhDecodeInfo {
    size_t nBlocks = 0;
    size_t nLongestMatch = 0;
    size_t nFarthestDistance = 0;
};

// Decodes packed into originalSize bytes. method is 5, 6 or 7. Returns an
// empty string on success, else the reason.
std::string LhDecode(const std::string& packed, int method, size_t originalSize, std::string& out,
                     CLhDecodeInfo* info = nullptr);
