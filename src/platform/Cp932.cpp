#include "platform/Cp932.h"

#include <cerrno>
#include <iconv.h>

namespace {

// One iconv conversion descriptor per direction and thread; iconv_t is not
// safe to share between threads and opening one per call is slow.
class CIconv {
public:
    CIconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~CIconv() {
        if (m_cd != reinterpret_cast<iconv_t>(-1))
            iconv_close(m_cd);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;

    // Converts one chunk; returns false when the input has a character that
    // cannot be converted. *consumed tells how many input bytes were taken.
    bool Convert(std::string_view in, std::string& out, size_t* consumed) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char buffer[4096];
        bool ok = true;
        while (srcLeft > 0) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            size_t r = iconv(m_cd, &src, &srcLeft, &dst, &dstLeft);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                ok = false;
                break;
            }
        }
        if (ok) {
            char* dst = buffer;
            size_t dstLeft = sizeof buffer;
            iconv(m_cd, nullptr, nullptr, &dst, &dstLeft);
            out.append(buffer, static_cast<size_t>(dst - buffer));
        }
        if (consumed)
            *consumed = in.size() - srcLeft;
        return ok;
    }

private:
    iconv_t m_cd;
};

CIconv& ToCp932() {
    thread_local CIconv cd("CP932", "UTF-8");
    return cd;
}

CIconv& FromCp932() {
    thread_local CIconv cd("UTF-8", "CP932");
    return cd;
}

bool IsAscii(std::string_view text) {
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

// Length of the UTF-8 sequence that starts with this byte (1 for a stray byte).
size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0xC0)
        return 1;
    if (lead < 0xE0)
        return 2;
    if (lead < 0xF0)
        return 3;
    return 4;
}

} // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    if (IsAscii(utf8))
        return std::string(utf8);
    std::string out;
    if (!ToCp932().Convert(utf8, out, nullptr))
        return std::nullopt;
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    if (IsAscii(cp932))
        return std::string(cp932);
    std::string out;
    while (!cp932.empty()) {
        size_t consumed = 0;
        if (FromCp932().Convert(cp932, out, &consumed))
            break;
        out += "\xEF\xBF\xBD"; // U+FFFD for the byte that does not decode
        cp932.remove_prefix(consumed + 1);
    }
    return out;
}

bool IsCp932Representable(std::string_view utf8) {
    return Utf8ToCp932(utf8).has_value();
}

size_t Cp932ByteLength(std::string_view utf8) {
    if (IsAscii(utf8))
        return utf8.size();
    size_t total = 0;
    for (size_t i = 0; i < utf8.size();) {
        size_t n =
            std::min(Utf8SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        auto encoded = n == 1 ? std::optional<std::string>(std::string(1, utf8[i]))
                              : Utf8ToCp932(utf8.substr(i, n));
        total += encoded ? encoded->size() : 2;
        i += n;
    }
    return total;
}

std::string TruncateToCp932Bytes(std::string_view utf8, size_t maxBytes) {
    size_t total = 0;
    size_t i = 0;
    while (i < utf8.size()) {
        size_t n =
            std::min(Utf8SequenceLength(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
        size_t bytes = n == 1 ? 1 : Cp932ByteLength(utf8.substr(i, n));
        if (total + bytes > maxBytes)
            break;
        total += bytes;
        i += n;
    }
    return std::string(utf8.substr(0, i));
}
