#pragma once
// The report of one archiver call: CP932 lines with CR LF, copied into the
// caller's buffer at the end.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace unlha {

class CReport {
public:
    // Appends one line given in UTF-8 (converted to CP932; characters
    // without a CP932 form and control characters such as CR, LF and NUL
    // are spelt "[U+XXXX]"), adding CR LF.
    void AddLine(std::string_view utf8Line);

    const std::string& Text() const { return m_strText; }

    // Copies the report into buffer as a zero-terminated string of at most
    // size bytes (terminator included), cut at a character boundary. Writes
    // nothing when buffer is null or size is 0.
    void CopyTo(char* buffer, uint32_t size) const;

private:
    std::string m_strText;
    // The last converted stretch of non-ASCII text and its CP932 form.
    std::string m_strStretch, m_strStretchCp932;
    bool m_bStretchKnown = false;
};

} // namespace unlha
