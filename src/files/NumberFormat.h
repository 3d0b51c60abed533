#pragma once
// Number texts: a picture layout for columns of figures, a byte count with
// a unit, and the decimal text of an integer.

#include <cstdint>
#include <string>

// The value laid out by the picture ("-###,###", "-##,###,###.##"): "#" and
// "Z" are digit positions ("Z" starts zero filling), "," shows only with a
// digit to its left, the first "." starts the decimals. The result is as
// long as the picture, right-aligned; a value that does not fit gives
// blanks with "E" at the last integer position. Halves round away from zero.
std::string FormatPicture(const std::string& picture, double value);

// "512.000000 byte" below 1024, "1.00 KB" below 1024 KB, else "1.000 MB"
// (no larger unit). Halves round away from zero.
std::string FormatSize(double bytes);

// The decimal text of value ("-2"), no blanks, zeros or separators added.
std::string IntToText(int32_t value);

// The fixed-point text of value with the given decimals, as "%.*f" prints
// it but with halves rounded away from zero (1.125 -> "1.13").
std::string FixedText(double value, int decimals);
