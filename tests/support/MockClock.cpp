#include "tests/support/MockClock.h"

#include <QCoreApplication>

#include <chrono>

namespace TestSupport {

namespace {

// How long a sleeper waits in real time for the clock to move before it looks at its flags again.
constexpr std::chrono::milliseconds kRealSlice{1};

} // namespace

MockClock::MockClock(qint64 startUs)
    : m_nowUs(startUs)
{
}

qint64 MockClock::nowUs() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_nowUs;
}

void MockClock::sleepUs(qint64 us)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    ++m_sleeps;
    m_sleeperArrived.notify_all();
    const qint64 deadlineUs = m_nowUs + us;
    m_timeMoved.wait_for(lock, kRealSlice, [this, deadlineUs] { return m_nowUs >= deadlineUs; });
}

std::function<qint64()> MockClock::milliseconds()
{
    return [this] { return nowMs(); };
}

void MockClock::advanceUs(qint64 us)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nowUs += us;
    }
    m_timeMoved.notify_all();
}

bool MockClock::waitForSleeper(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const quint64 mark = m_sleeps;
    return m_sleeperArrived.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                     [this, mark] { return m_sleeps >= mark + 2; });
}

bool MockClock::advanceUntil(const std::function<bool()>& done, qint64 stepUs, int maxSteps)
{
    for (int step = 0; step < maxSteps; ++step) {
        // Whatever the sleeper emitted at this time is posted before it sleeps again.
        const bool settled = waitForSleeper();
        QCoreApplication::processEvents();
        if (done()) {
            return true;
        }
        if (!settled) {
            return false;
        }
        advanceUs(stepUs);
    }
    return false;
}

} // namespace TestSupport
