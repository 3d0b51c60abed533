#include "files/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <vector>

namespace {

// Adds one unit in the last place of a digit string ("199" -> "200"), with
// a new leading digit when the carry runs off the front.
void IncrementDigits(std::string& digits) {
    for (size_t i = digits.size(); i-- > 0;) {
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(digits.begin(), '1');
}

bool IsDigitPosition(char c) {
    return c == '#' || c == 'Z';
}

std::string Overflow(size_t length, size_t point) {
    std::string r(length, ' ');
    if (point > 0)
        r[point - 1] = 'E';
    return r;
}

// Zero fill from the leftmost "Z" at or left of position j up to j.
void ZeroFill(const std::string& picture, std::string& r, long j) {
    for (long z = 0; z <= j; ++z) {
        if (picture[static_cast<size_t>(z)] != 'Z')
            continue;
        for (long t = z; t <= j; ++t)
            r[static_cast<size_t>(t)] = picture[static_cast<size_t>(t)] == ',' ? ',' : '0';
        return;
    }
}

} // namespace

std::string FixedText(double value, int decimals) {
    if (!std::isfinite(value)) {
        char text[16];
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
        return text;
    }
    // glibc rounds exact binary halves to even (1.125 -> 1.12); the program's
    // figures round them away from zero. Print extra digits, round by hand.
    const int extra = 25;
    std::vector<char> buffer(400 + static_cast<size_t>(decimals + extra));
    std::snprintf(buffer.data(), buffer.size(), "%.*f", decimals + extra, std::fabs(value));
    std::string text = buffer.data();
    size_t point = text.find('.');
    std::string digits =
        text.substr(0, point) + text.substr(point + 1, static_cast<size_t>(decimals));
    if (text[point + 1 + static_cast<size_t>(decimals)] >= '5')
        IncrementDigits(digits);
    size_t intDigits = digits.size() - static_cast<size_t>(decimals);
    std::string out = std::signbit(value) && value != 0.0 ? "-" : "";
    out += digits.substr(0, intDigits);
    if (decimals > 0)
        out += "." + digits.substr(intDigits);
    return out;
}

std::string FormatPicture(const std::string& picture, double value) {
    const size_t length = picture.size();
    std::string r(length, ' ');
    const size_t p = std::min(picture.find('.'), length);
    size_t n = 0;
    for (size_t t = 0; t < p; ++t)
        n += IsDigitPosition(picture[t]) ? 1 : 0;
    const int d = p < length ? static_cast<int>(length - p - 1) : 0;
    const size_t width = n + (length - p);

    std::string s = FixedText(value, d);
    if (s.size() < width)
        s.insert(0, width - s.size(), ' ');
    const size_t k = std::min(s.find('.'), s.size());

    if (p < length) {
        for (size_t t = 0; t < length - p && k + t < s.size(); ++t)
            r[p + t] = s[k + t];
        r[p] = '.';
    }
    long i = static_cast<long>(k) - 1;
    long j = static_cast<long>(p) - 1;
    while (j >= 0 && i >= 0) {
        const char c = s[static_cast<size_t>(i)];
        const char pic = picture[static_cast<size_t>(j)];
        if (c == ' ')
            break;
        if (c == '-') {
            r[static_cast<size_t>(j)] = '-';
            return r;
        }
        if (IsDigitPosition(pic)) {
            r[static_cast<size_t>(j)] = c;
            --i;
            --j;
        } else if (pic == ',') {
            r[static_cast<size_t>(j)] = ',';
            --j;
        } else {
            return Overflow(length, p); // a digit with no digit position left
        }
    }
    if (i >= 0 && s[static_cast<size_t>(i)] != ' ')
        return Overflow(length, p); // digits (or a sign) remain with no position
    ZeroFill(picture, r, j);
    return r;
}

std::string FormatSize(double bytes) {
    if (bytes < 1024)
        return FixedText(bytes, 6) + " byte";
    double kb = bytes / 1024;
    if (kb < 1024)
        return FixedText(kb, 2) + " KB";
    return FixedText(kb / 1024, 3) + " MB";
}

std::string IntToText(int32_t value) {
    return std::to_string(value);
}
