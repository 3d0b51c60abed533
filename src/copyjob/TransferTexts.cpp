#include "copyjob/TransferTexts.h"

#include <cstdio>

namespace {

std::string Grouped(uint64_t value) {
    const std::string digits = std::to_string(value);
    std::string text;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

// value in tenths of the unit, cut toward zero: "12.3".
std::string Tenths(uint64_t value, uint64_t unit) {
    const uint64_t tenths = value / unit * 10 + value % unit * 10 / unit;
    return Grouped(tenths / 10) + "." + std::to_string(tenths % 10);
}

} // namespace

std::string TransferFilesText(int64_t done, int64_t total) {
    const auto positive = [](int64_t v) {
        return static_cast<uint64_t>(v < 0 ? 0 : v);
    };
    return Grouped(positive(done)) + " / " + Grouped(positive(total)) + " ﾌｧｲﾙ";
}

std::string TransferBytesText(uint64_t done, uint64_t total) {
    static const char* const units[] = {"B", "KB", "MB", "GB", "TB"};
    uint64_t unit = 1;
    size_t index = 0;
    while (index + 1 < std::size(units) && total / unit >= 1024) {
        unit *= 1024;
        ++index;
    }
    if (index == 0)
        return Grouped(done) + " / " + Grouped(total) + " B";
    return Tenths(done, unit) + " / " + Tenths(total, unit) + " " + units[index];
}
