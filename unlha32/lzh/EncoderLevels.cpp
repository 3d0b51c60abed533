#include "lzh/EncoderLevels.h"

namespace unlha {

CEncoderParams CEncoderParams::ForLevel(int level) {
    struct CLevel {
        bool bOptimal;
        unsigned nChain, nGood, nNice, nSkip;
    };
    // 1-3: lazy matching; 4-9: price-based parsing, 6 the default.
    static constexpr CLevel kLevels[] = {
        {false, 28, 16, 128, 0}, {false, 40, 16, 128, 0},  {false, 64, 16, 128, 0},
        {true, 10, 32, 32, 20},  {true, 13, 32, 32, 20},   {true, 48, 32, 256, 16},
        {true, 48, 16, 64, 64},  {true, 96, 32, 128, 128}, {true, 256, 64, 256, 256},
    };
    const CLevel& l = kLevels[(level >= 1 && level <= 9 ? level : kDefaultLevel) - 1];
    CEncoderParams p;
    p.bOptimal = l.bOptimal;
    p.nMaxChain = l.nChain;
    p.nGoodLength = l.nGood;
    p.nNiceLength = l.nNice;
    p.nMaxLazy = l.nNice;
    p.nSkipLength = l.nSkip;
    return p;
}

} // namespace unlha
