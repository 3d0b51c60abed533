#pragma once
// Keeps a display that a loop updates per item (a status line, a progress
// bar) from being redrawn thousands of times a second: an update is shown
// at once when the last one shown is at least one interval old, otherwise
// the caller holds it and shows the held one once the interval has passed,
// so the display always ends on the last state.

#include <chrono>
#include <functional>

class CUpdateThrottle {
public:
    using Clock = std::chrono::steady_clock;
    // About 30 updates a second: smooth to the eye, cheap for the run.
    static constexpr std::chrono::milliseconds kInterval{33};

    // now replaces the clock (tests); empty: the steady clock.
    explicit CUpdateThrottle(std::chrono::milliseconds interval = kInterval,
                             std::function<Clock::time_point()> now = {});

    // True when an update may be shown now; the moment then counts as the
    // last show. The first call is always due.
    bool Due();
    // Counts now as the last show (an update shown without asking Due).
    void MarkShown();
    // Milliseconds until the next update is due (0 when due now).
    int MsUntilDue() const;
    // Forgets the last show: the next update is due at once.
    void Reset() { m_bShown = false; }

private:
    Clock::time_point Now() const { return m_fnNow ? m_fnNow() : Clock::now(); }

    std::chrono::milliseconds m_interval;
    std::function<Clock::time_point()> m_fnNow;
    Clock::time_point m_lastShown{};
    bool m_bShown = false;
};
