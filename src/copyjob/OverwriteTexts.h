#pragma once
// The eight texts of the overwrite question, built from the item asked about
// without any window, so the run logic, the command line and the tests share
// them.

#include "copyjob/CopyItem.h"

#include <cstdint>
#include <string>

struct COverwriteTexts {
    std::string strSrcPath; // control 1048: source folder + "\" + name
    std::string strSrcSize; // control 1049: "n ﾊﾞｲﾄ"
    std::string strSrcDate; // control 1050: local "%Y/%m/%d %H:%M:%S"
    std::string strDstPath; // control 1051
    std::string strDstSize; // control 1052
    std::string strDstDate; // control 1053
    std::string strSizeCompare; // control 1054: "大きい"/"小さい"/"等しい" (of the destination)
    std::string strDateCompare; // control 1055: "新しい"/"古い"/"等しい" (of the destination)
};

// Texts for the item exactly as given: its times and sizes are shown and
// compared as they stand. The collection fills SrcTime, DstTime and DstSize
// only for destinations that existed then, so for a destination that appeared
// later the caller must refresh those fields from the files before asking.
COverwriteTexts BuildOverwriteTexts(const CCopyItem& item);

// "n ﾊﾞｲﾄ" for a byte count (64-bit, so files over 2 GB read right).
std::string ByteCountText(uint64_t bytes);
// Seconds since 1970 as local time "%Y/%m/%d %H:%M:%S"; empty when the time
// cannot be converted.
std::string LocalTimeText(int64_t seconds);
