#pragma once

// What a VideoPlayer's owner (GUI thread) and its playback run (worker thread) share: the play
// state, the range and cycle mode, the clip's length, the count of pictures still on their way to
// the owner, and the seek requests. Private to media/.

#include "media/VideoPlayer.h"

#include <QtGlobal>

#include <atomic>
#include <mutex>

namespace vortane::media {

// One request to move the play position.
struct SeekRequest
{
    qint64 targetUs = 0;     // microseconds from the clip's start
    bool pauseAfter = false; // pause once the frame at the target has been shown
    bool fromOwner = false;  // asked for by seekAndPause/seekAndPlay, not by the run's own looping
};

class PlaybackControls final
{
public:
    PlaybackControls() = default;
    PlaybackControls(const PlaybackControls&) = delete;
    PlaybackControls& operator=(const PlaybackControls&) = delete;

    std::atomic<int> playState{PlayStateStopRequested};
    std::atomic<int> cycleMode{0};
    std::atomic<double> rangeStart{0.0};
    std::atomic<double> rangeEnd{1.0};
    std::atomic<qint64> durationUs{0};
    std::atomic<qint64> durationSec{0};
    std::atomic<int> framesInFlight{0}; // pictures sent to the owner and not yet taken there

    bool stopRequested() const { return playState.load() == PlayStateStopRequested; }

    // Owner: moves the play position, replacing any request still waiting, and lets the run play
    // on to show the target.
    void requestSeek(qint64 targetUs, bool pauseAfter);

    // Run: true while a request waits to be served. Cheap enough to poll.
    bool seekWaiting() const { return m_posted.load(std::memory_order_acquire) != m_taken.load(); }
    // Run: the newest request, which counts as served from here on. A request made while the run
    // repositions for this one waits for the next takeSeek(); none is ever lost.
    SeekRequest takeSeek();
    // Run: asks for a seek of its own (back to the range start) unless a request already waits,
    // which then wins.
    void requestLoopSeek(qint64 targetUs);
    // Run, at its start: the play range begins at `targetUs`. A request that waits keeps its pause
    // wish but seeks there instead.
    void requestRangeStartSeek(qint64 targetUs);
    // Run: pauses after a seek's frame was shown, unless a newer request waits (that one clears
    // the pause itself, and must not find the player paused before its own frame is shown).
    void pauseAfterSeekFrame();

private:
    void post(const SeekRequest& request); // callers hold m_mutex

    std::mutex m_mutex; // guards m_request, and orders posting against takeSeek and the pause
    SeekRequest m_request;
    std::atomic<quint64> m_posted{0}; // requests made so far
    std::atomic<quint64> m_taken{0};  // m_posted as the run last took a request
};

} // namespace vortane::media
