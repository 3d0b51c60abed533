#pragma once
// The encoder suites' input: a string handed out in reads of at most
// maxRead bytes (an odd size makes the finder refill mid-match).

#include "lzh/MatchFinder.h"

#include <algorithm>
#include <cstring>
#include <string>

class CStringSource : public unlha::IByteSource {
public:
    explicit CStringSource(const std::string& data, size_t maxRead = ~size_t{0})
        : m_data(data), m_nMaxRead(maxRead) {}
    long Read(uint8_t* buffer, size_t size) override {
        size_t n = std::min({size, m_nMaxRead, m_data.size() - m_nPos});
        std::memcpy(buffer, m_data.data() + m_nPos, n);
        m_nPos += n;
        return static_cast<long>(n);
    }

private:
    const std::string& m_data;
    size_t m_nMaxRead;
    size_t m_nPos = 0;
};
