#include "platform/EventPump.h"

#include <QCoreApplication>

CEventPump::CEventPump(int intervalMs) : m_nIntervalMs(intervalMs) {}

void CEventPump::Pump() {
    if (m_timer.isValid() && m_timer.elapsed() < m_nIntervalMs)
        return;
    PumpNow();
}

void CEventPump::PumpNow() {
    QCoreApplication::processEvents();
    m_timer.start();
}
