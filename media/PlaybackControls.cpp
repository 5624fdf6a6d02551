#include "media/PlaybackControls.h"

namespace vortane::media {

void PlaybackControls::post(const SeekRequest& request)
{
    m_request = request;
    m_posted.fetch_add(1, std::memory_order_release);
}

void PlaybackControls::requestSeek(qint64 targetUs, bool pauseAfter)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    playState = PlayStatePlaying;
    post({targetUs, pauseAfter, true});
}

SeekRequest PlaybackControls::takeSeek()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_taken = m_posted.load();
    return m_request;
}

void PlaybackControls::requestLoopSeek(qint64 targetUs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!seekWaiting()) {
        post({targetUs, false, false});
    }
}

void PlaybackControls::requestRangeStartSeek(qint64 targetUs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (seekWaiting()) {
        m_request.targetUs = targetUs;
    } else {
        post({targetUs, false, false});
    }
}

void PlaybackControls::pauseAfterSeekFrame()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!seekWaiting()) {
        int playing = PlayStatePlaying;
        playState.compare_exchange_strong(playing, PlayStatePaused);
    }
}

} // namespace vortane::media
