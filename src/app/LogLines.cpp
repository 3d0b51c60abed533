#include "app/LogLines.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The code point of a reference at the start of text, with its length.
std::optional<std::pair<uint32_t, size_t>> ParseReference(std::string_view text) {
    if (text.substr(0, 3) != "&#x")
        return std::nullopt;
    uint32_t value = 0;
    size_t i = 3;
    while (i < text.size() && i < 3 + 6 && HexValue(text[i]) >= 0)
        value = value * 16 + static_cast<uint32_t>(HexValue(text[i++]));
    const size_t digits = i - 3;
    if (digits < 4 || i >= text.size() || text[i] != ';')
        return std::nullopt;
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
        return std::nullopt;
    // A control character (a line break in a file name, say) is shown as
    // its reference: as itself it would be invisible or break the row.
    if (value < 0x20 || (value >= 0x7F && value < 0xA0))
        return std::nullopt;
    return std::make_pair(value, i + 1);
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::string DecodeLogReferences(const std::string& line) {
    if (line.find("&#x") == std::string::npos)
        return line;
    std::string out;
    out.reserve(line.size());
    std::string_view rest(line);
    while (!rest.empty()) {
        if (auto ref = ParseReference(rest)) {
            AppendUtf8(out, ref->first);
            rest.remove_prefix(ref->second);
        } else {
            out += rest.front();
            rest.remove_prefix(1);
        }
    }
    return out;
}
