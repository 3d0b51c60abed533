#include "command/Report.h"

#include "lzh/CodePage.h"

#include <cstdio>
#include <cstring>

namespace unlha {

void CReport::AddLine(std::string_view utf8Line) {
    // A CR or LF would start a line of its own, a NUL would end the text:
    // control characters are spelt out (no byte of a longer UTF-8 sequence
    // is below 0x80).
    std::string line;
    line.reserve(utf8Line.size());
    for (char c : utf8Line) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            line += c;
            continue;
        }
        char spelt[12];
        std::snprintf(spelt, sizeof spelt, "[U+%04X]", byte);
        line += spelt;
    }
    m_strText += Utf8ToCp932ForReport(line);
    m_strText += "\r\n";
}

void CReport::CopyTo(char* buffer, uint32_t size) const {
    if (buffer == nullptr || size == 0)
        return;
    size_t length = Cp932PrefixLength(m_strText, size - 1);
    std::memcpy(buffer, m_strText.data(), length);
    buffer[length] = '\0';
}

} // namespace unlha
