#include "copyjob/ProgressPercent.h"

#include <cstdint>

std::string PercentText(int pos, int lower, int upper) {
    const int64_t span = static_cast<int64_t>(upper) - lower;
    int64_t percent = 0;
    if (span != 0)
        percent = (static_cast<int64_t>(pos) - lower) * 100 / span;
    if (percent != 100)
        percent %= 100;
    return std::to_string(percent) + "%";
}
