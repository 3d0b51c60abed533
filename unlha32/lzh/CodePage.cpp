#include "lzh/CodePage.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iconv.h>

namespace unlha {

namespace {

const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

// The converter from one code to another, opened once per thread: opening
// one costs far more than converting a name or a report line with it.
iconv_t ConverterFor(const char* to, const char* from) {
    struct CConverter {
        const char* pszTo = nullptr;
        const char* pszFrom = nullptr;
        iconv_t cd = kNoConverter;
        ~CConverter() {
            if (cd != kNoConverter)
                iconv_close(cd);
        }
    };
    thread_local CConverter converters[4];
    for (CConverter& c : converters) {
        if (c.pszTo == nullptr) {
            c.cd = iconv_open(to, from);
            c.pszTo = to;
            c.pszFrom = from;
        }
        if (std::strcmp(c.pszTo, to) == 0 && std::strcmp(c.pszFrom, from) == 0)
            return c.cd;
    }
    return kNoConverter; // more directions than this file uses
}

// Converts in one call; false when iconv refuses a character.
bool Convert(const char* to, const char* from, std::string_view in, std::string& out) {
    iconv_t cd = ConverterFor(to, from);
    if (cd == kNoConverter)
        return false;
    iconv(cd, nullptr, nullptr, nullptr, nullptr); // a refusal before may have left a state
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    bool ok = true;
    char buffer[1024];
    while (ok) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        size_t r = srcLeft > 0 ? iconv(cd, &src, &srcLeft, &dst, &dstLeft)
                               : iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        if (r == static_cast<size_t>(-1) && errno != E2BIG)
            ok = false;
        else if (srcLeft == 0 && r != static_cast<size_t>(-1))
            break;
    }
    return ok;
}

// ASCII is the same in UTF-8 and CP932: no converter needed (most names
// and report lines are ASCII, and opening a converter costs).
bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

bool IsLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

} // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    // Every byte of a longer UTF-8 sequence is 0x80 or above: the ASCII
    // before the first and after the last of them is copied unconverted.
    auto wide = [](char c) {
        return static_cast<unsigned char>(c) >= 0x80;
    };
    auto first = std::find_if(utf8.begin(), utf8.end(), wide);
    if (first == utf8.end())
        return std::string(utf8);
    auto last = std::find_if(utf8.rbegin(), utf8.rend(), wide).base();
    std::string out(utf8.begin(), first);
    if (!Convert("CP932", "UTF-8", std::string_view(&*first, static_cast<size_t>(last - first)),
                 out))
        return std::nullopt;
    out.append(last, utf8.end());
    return out;
}

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
    if (IsAscii(cp932))
        return std::string(cp932);
    std::string out;
    if (!Convert("UTF-8", "CP932", cp932, out))
        return std::nullopt;
    return out;
}

bool IsValidUtf8(std::string_view text) {
    if (IsAscii(text))
        return true;
    std::string out;
    return Convert("UTF-8", "UTF-8", text, out);
}

std::string Utf8ToCp932ForReport(std::string_view utf8) {
    if (auto whole = Utf8ToCp932(utf8))
        return *whole;
    // Character by character: a UTF-8 sequence is a lead byte and its
    // continuation bytes (10xxxxxx).
    std::string out;
    size_t i = 0;
    while (i < utf8.size()) {
        size_t len = 1;
        while (i + len < utf8.size() && (static_cast<unsigned char>(utf8[i + len]) & 0xC0) == 0x80)
            ++len;
        std::string_view ch = utf8.substr(i, len);
        if (auto converted = Utf8ToCp932(ch)) {
            out += *converted;
        } else {
            char32_t code = 0;
            auto lead = static_cast<unsigned char>(ch[0]);
            code = len == 1 ? lead : lead & (0x3F >> (len - 1));
            for (size_t k = 1; k < len; ++k)
                code = (code << 6) | (static_cast<unsigned char>(ch[k]) & 0x3F);
            char hex[16];
            std::snprintf(hex, sizeof hex, "[U+%04X]", static_cast<unsigned>(code));
            out += hex;
        }
        i += len;
    }
    return out;
}

size_t Cp932PrefixLength(std::string_view cp932, size_t maxBytes) {
    size_t i = 0;
    while (i < cp932.size()) {
        size_t step = IsLeadByte(static_cast<unsigned char>(cp932[i])) ? 2 : 1;
        if (i + step > maxBytes || i + step > cp932.size())
            break;
        i += step;
    }
    return i;
}

} // namespace unlha
