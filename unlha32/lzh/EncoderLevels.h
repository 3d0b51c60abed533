#pragma once
// The encoder's settings: search effort, parsing and block size, and the
// compression levels 1 (fastest) to 9 (smallest) that name sets of them.

namespace unlha {

struct CEncoderParams {
    unsigned nMaxChain = 16;   // candidates tried per position
    unsigned nGoodLength = 8;  // after a match this long, search with less effort
    unsigned nNiceLength = 32; // a match this long ends the search
    unsigned nMaxLazy = 48;    // lazy: a match this long is taken without looking further
    // Price-based parsing: the positions inside a match this long are
    // entered but not searched (the search still runs to nNiceLength).
    unsigned nSkipLength = 20;
    // Symbols are gathered in fours of this (65535 at most) before block
    // ends are chosen; a block then holds 1/32 of a gathering up to all of it.
    unsigned nBlockSymbols = 16384;
    bool bOptimal = true;    // price-based parsing instead of lazy matching
    unsigned nChunk = 16384; // positions per price-based parsing step
    // A file whose first this many bytes compress to nothing (by the sizes of
    // their literals' Huffman code and of their matches) is given up as
    // incompressible, to be stored; 0: never.
    unsigned nProbeBytes = 32768;

    // Level 1 .. 9; any other value gives kDefaultLevel.
    static constexpr int kDefaultLevel = 6;
    static CEncoderParams ForLevel(int level);
};

} // namespace unlha
