#include "command/Report.h"

#include "lzh/CodePage.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace unlha {

void CReport::AddLine(std::string_view utf8Line) {
    // A CR or LF would start a line of its own, a NUL would end the text:
    // control characters are spelt out (no byte of a longer UTF-8 sequence
    // is below 0x80).
    auto control = [](char c) {
        auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    };
    unsigned controls = 0; // one pass without a branch per byte
    for (char c : utf8Line)
        controls |= static_cast<unsigned>(control(c));
    std::string spelt;
    if (controls != 0) {
        for (char c : utf8Line) {
            if (!control(c)) {
                spelt += c;
                continue;
            }
            char code[12];
            std::snprintf(code, sizeof code, "[U+%04X]", static_cast<unsigned char>(c));
            spelt += code;
        }
        utf8Line = spelt;
    }
    // ASCII is the same in CP932. The stretch from the first byte above it
    // to the last is converted, and kept: the lines of one call mostly share
    // it (the verb of a member line).
    auto wide = [](char c) {
        return static_cast<unsigned char>(c) >= 0x80;
    };
    auto first = std::find_if(utf8Line.begin(), utf8Line.end(), wide);
    if (first == utf8Line.end()) {
        m_strText += utf8Line;
    } else {
        auto last = std::find_if(utf8Line.rbegin(), utf8Line.rend(), wide).base();
        std::string_view stretch(&*first, static_cast<size_t>(last - first));
        if (!m_bStretchKnown || stretch != m_strStretch) {
            auto converted = Utf8ToCp932(stretch);
            m_bStretchKnown = converted.has_value();
            m_strStretch = stretch;
            m_strStretchCp932 = converted ? *converted : std::string();
        }
        if (m_bStretchKnown) {
            m_strText.append(utf8Line.begin(), first);
            m_strText += m_strStretchCp932;
            m_strText.append(last, utf8Line.end());
        } else {
            m_strText += Utf8ToCp932ForReport(utf8Line); // character by character
        }
    }
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
