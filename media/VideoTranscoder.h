#pragma once

#include "types/MediaScaleRecord.h"

#include <QString>

#include <atomic>
#include <functional>

namespace vortane::media {

// Burns a library item's crop, scale, rotation and trim into a new video file: the source is
// decoded, every frame inside the trim range is turned upright (display matrix), capped at
// maxDecodeSide like every shown picture, rendered through the record exactly as the crop dialog
// and the thumbnails render it (renderFrame), and encoded as H.264 (4 Mbit/s, a key frame every
// 10 frames, YUV 4:2:0) at the record's width x height. The container follows the output name's
// suffix; only the video stream is written.
//
// The file appears under its name only when the transcode finished: it is written under a hidden
// temporary name in the same folder and renamed at the end, and removed on failure or cancel, so
// no partial file is ever left behind. A decode error part-way through ends the video with the
// frames decoded so far.
//
// run() works synchronously in the calling thread. cancel() may be called from any thread,
// including from the progress handler; the run stops at its next frame or blocking read.
class VideoTranscoder final
{
public:
    enum class Result
    {
        Finished,  // the output file exists and holds at least one frame
        Failed,    // nothing was written (the reason went to the media log)
        Cancelled, // cancel() stopped it; nothing was written
    };
    // Called after every encoded frame with the position in the trim range, 0..99.
    using ProgressHandler = std::function<void(int percent)>;

    VideoTranscoder() = default;
    VideoTranscoder(const VideoTranscoder&) = delete;
    VideoTranscoder& operator=(const VideoTranscoder&) = delete;

    void setProgressHandler(ProgressHandler handler) { m_progress = std::move(handler); }

    // Stops the running (or the next) run; it returns Cancelled. Thread-safe.
    void cancel() { m_cancelled.store(true); }
    bool cancelRequested() const { return m_cancelled.load(); }

    // `output` must not exist yet; an existing file is never replaced (the run fails).
    Result run(const QString& source, const QString& output, const MediaScaleRecord& record);

private:
    ProgressHandler m_progress;
    std::atomic<bool> m_cancelled{false};
};

// Frame rate of the encoded video as a fraction: the source stream's real frame rate, else its
// average frame rate (when the real one is unknown, 0/0, or beyond any screen), else 25 fps.
struct FrameRate
{
    int num = 25;
    int den = 1;
};
FrameRate transcodeFrameRate(FrameRate real, FrameRate average);

} // namespace vortane::media
