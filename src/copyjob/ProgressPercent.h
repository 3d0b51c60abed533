#pragma once
// The percentage text of the progress window, apart from the window.

#include <string>

// The text the percentage shows before the first update.
inline constexpr const char* kInitialPercentText = " 0 %";

// "n%" for pos within lower..upper: n = (pos - lower) * 100 / (upper - lower),
// truncated toward zero; any n other than exactly 100 is taken modulo 100
// (signed), so 150 reads "50%" and -10 reads "-10%". The product is formed in
// 64 bits, so ranges beyond 21 million items do not wrap. An empty range
// (lower == upper) reads "0%".
std::string PercentText(int pos, int lower, int upper);
