#pragma once
// One file selected for copying by the collection.

#include <cstdint>
#include <string>

struct CCopyItem {
    std::string SrcFolder; // as the walk formed it: trailing "\" for the top folder only
    std::string DstFolder; // matching destination folder, same form
    std::string FileName;  // bare name as listed
    int64_t SrcTime = 0;   // last-write seconds of the source; set when the destination exists
    int64_t DstTime = 0;   // last-write seconds of the existing destination
    uint64_t SrcSize = 0;
    uint64_t DstSize = 0; // 0 when there is no destination file
};
