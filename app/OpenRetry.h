#pragma once
#include <atomic>

// When a display that is listed but refuses to open is tried again. Attempts ride on the
// refresh tick, so the program wakes no more often than it already does; each refusal doubles
// the wait, up to kLongestWaitTicks, so a display that stays closed costs little.
//
// tick() is called by the sensor thread once a pass; failed(), stop() and takeDue() by the
// GUI thread.
class OpenRetry
{
public:
    static constexpr int kLongestWaitTicks = 8;

    /// An open failed: the next attempt comes one tick later after the first failure of an
    /// outage, twice as long after each further one.
    void failed();
    /// The display opened or is no longer listed: no attempt is due.
    void stop();
    /// True while an outage lasts (since the first failure, until stop()).
    bool failing() const { return m_wait > 0; }
    /// The wait before the next attempt, in ticks; 0 when none is planned.
    int waitTicks() const { return m_wait; }

    /// One refresh tick: true when an attempt falls due on it.
    bool tick();
    /// True once per due attempt, clearing it.
    bool takeDue() { return m_due.exchange(false); }

private:
    int m_wait = 0; // GUI thread
    std::atomic<int> m_countdown{0};
    std::atomic<bool> m_due{false};
};
