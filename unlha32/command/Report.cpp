#include "command/Report.h"

#include "lzh/CodePage.h"

#include <cstring>

namespace unlha {

void CReport::AddLine(std::string_view utf8Line) {
    m_strText += Utf8ToCp932ForReport(utf8Line);
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
