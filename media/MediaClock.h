#pragma once

#include <QtGlobal>

namespace vortane::media {

// The time that paces playback: the video decode loop reads it to show frames at their
// presentation times and the GIF thread to wait out frame delays. The program runs on
// systemClock(); a test hands a player or GIF thread a clock it moves by hand. Called from worker
// threads; every implementation is thread-safe.
class Clock
{
public:
    Clock() = default;
    virtual ~Clock() = default;
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;

    // Monotonic time in microseconds from an arbitrary origin.
    virtual qint64 nowUs() const = 0;
    // Waits about `us` microseconds. May return early: callers measure with nowUs() and wait again.
    virtual void sleepUs(qint64 us) = 0;
};

// The monotonic system clock, shared by every player and GIF thread of the process.
Clock& systemClock();

} // namespace vortane::media
