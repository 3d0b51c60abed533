#include "copyjob/UpdateThrottle.h"

#include <algorithm>

CUpdateThrottle::CUpdateThrottle(std::chrono::milliseconds interval,
                                 std::function<Clock::time_point()> now)
    : m_interval(interval), m_fnNow(std::move(now)) {}

bool CUpdateThrottle::Due() {
    if (MsUntilDue() > 0)
        return false;
    MarkShown();
    return true;
}

void CUpdateThrottle::MarkShown() {
    m_lastShown = Now();
    m_bShown = true;
}

int CUpdateThrottle::MsUntilDue() const {
    if (!m_bShown)
        return 0;
    const auto left =
        m_interval - std::chrono::duration_cast<std::chrono::milliseconds>(Now() - m_lastShown);
    return static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, left.count()));
}
