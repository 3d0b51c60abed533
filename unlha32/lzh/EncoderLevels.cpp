#include "lzh/EncoderLevels.h"

namespace unlha {

CEncoderParams CEncoderParams::ForLevel(int level) {
    struct CLevel {
        bool bOptimal;
        unsigned nChain, nGood, nNice;
    };
    // 1-3: lazy matching; 4-9: price-based parsing, 6 the default.
    static constexpr CLevel kLevels[] = {
        {false, 4, 8, 16},  {false, 8, 8, 32},   {false, 32, 16, 64},
        {true, 8, 16, 48},  {true, 16, 8, 32},   {true, 24, 8, 32},
        {true, 48, 16, 64}, {true, 96, 32, 128}, {true, 256, 64, 256},
    };
    const CLevel& l = kLevels[(level >= 1 && level <= 9 ? level : kDefaultLevel) - 1];
    CEncoderParams p;
    p.bOptimal = l.bOptimal;
    p.nMaxChain = l.nChain;
    p.nGoodLength = l.nGood;
    p.nNiceLength = l.nNice;
    p.nMaxLazy = l.nNice;
    return p;
}

} // namespace unlha
