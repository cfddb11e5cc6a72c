#include "app/OpenRetry.h"

#include <algorithm>

void OpenRetry::failed()
{
    m_wait = m_wait == 0 ? 1 : std::min(m_wait * 2, kLongestWaitTicks);
    m_due = false;
    m_countdown = m_wait;
}

void OpenRetry::stop()
{
    m_wait = 0;
    m_countdown = 0;
    m_due = false;
}

bool OpenRetry::tick()
{
    int left = m_countdown.load();
    while (left > 0 && !m_countdown.compare_exchange_weak(left, left - 1)) {
    }
    if (left != 1)
        return false;
    m_due = true;
    return true;
}
