#pragma once

#include "media/MediaClock.h"

#include <QtGlobal>

#include <condition_variable>
#include <functional>
#include <mutex>

namespace TestSupport {

// A clock that moves only when the test moves it, for everything that paces itself: the frame
// composer's throttle (through milliseconds()), the video player's frame times and the GIF
// thread's frame delays. A thread sleeping on it wakes when the test moves the time past its
// deadline, and also after a short real slice so that it notices stop requests; while the time
// stands still a sleeper keeps coming back to sleep, which is how waitForSleeper() knows that it
// has done all the work the current time allows. Thread-safe.
class MockClock final : public vortane::media::Clock
{
public:
    explicit MockClock(qint64 startUs = 0);

    qint64 nowUs() const override;
    void sleepUs(qint64 us) override;

    qint64 nowMs() const { return nowUs() / 1000; }
    // The clock in milliseconds, as FrameComposer takes it. The function refers to this clock.
    std::function<qint64()> milliseconds();

    void advanceUs(qint64 us);
    void advanceMs(qint64 ms) { advanceUs(ms * 1000); }

    // Blocks the calling thread, without processing its events, until a thread has gone to sleep
    // on this clock twice since the call: it caught up with the current time and waits for it to
    // move. False when that did not happen within `timeoutMs` of real time.
    bool waitForSleeper(int timeoutMs = 10000);

    // Moves the time on in steps of `stepUs` until `done` holds. Before each check a sleeper has
    // caught up with the time and the calling thread's events are processed, so `done` sees
    // everything the time so far allowed. False when a sleeper did not come
    // back or `maxSteps` steps did not do it.
    bool advanceUntil(const std::function<bool()>& done, qint64 stepUs, int maxSteps = 10000);

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_timeMoved;
    std::condition_variable m_sleeperArrived;
    qint64 m_nowUs;
    quint64 m_sleeps = 0; // sleepUs calls so far
};

} // namespace TestSupport
