#pragma once
// Keeps windows alive during a long loop on the user-interface thread. A
// loop calls Pump() once per step (per file or folder); pending events are
// processed at most every few milliseconds, so a walk over 100,000 files
// does not spend its time in the event loop, while paints and a cancel
// click still arrive within a frame.

#include <QElapsedTimer>

class CEventPump {
public:
    explicit CEventPump(int intervalMs = 15);
    // Processes pending events when the interval has passed since the last
    // time; always on the first call.
    void Pump();
    // Processes pending events now.
    void PumpNow();

private:
    QElapsedTimer m_timer;
    int m_nIntervalMs;
};
