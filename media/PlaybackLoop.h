#pragma once

// One playback run of a VideoPlayer: opens the file, decodes it and delivers its frames at their
// presentation times until a stop request, a failure or (in a non-looping cycle mode) the end of
// the range. Private to media/.

#include "media/FFmpegPtr.h"
#include "media/HardwareDecoder.h"
#include "media/VideoDecoding.h"

#include <QSize>
#include <QString>

class VideoPlayer;

namespace vortane::media {

class Clock;
class PlaybackControls;

// Lives for one run on the player's worker thread. It reads the owner's requests from `controls`
// (polled at least every kPollUs), paces frames by `clock`, and emits the player's updataImage,
// signal_range and signal_totalTime. Every FFmpeg object it opens is released when it is destroyed,
// whichever way run() returned.
class PlaybackLoop final
{
public:
    enum class End
    {
        Stopped,   // a stop request
        Failed,    // the file could not be opened, decoded or repositioned
        RangeEnded // a non-looping run reached the end of its range or the file
    };

    // Longest single sleep of the loop; bounds how late a stop, pause or seek is noticed.
    static constexpr qint64 kPollUs = 5'000;

    PlaybackLoop(VideoPlayer& player, PlaybackControls& controls, Clock& clock);
    ~PlaybackLoop();
    PlaybackLoop(const PlaybackLoop&) = delete;
    PlaybackLoop& operator=(const PlaybackLoop&) = delete;

    // Plays `fileName` once through; call once per loop object.
    End run(const QString& fileName);

private:
    // What a decoded frame asks of the loop.
    enum class FrameStep
    {
        Next,
        Seek,
        Stop,
        RangeEnded,
        Failed // the decoder refused a packet
    };

    bool open(const QString& fileName);
    // Serves the newest seek request; false when the run has to end (stop request or failure).
    bool serveSeek(const QString& fileName, End& end);
    // One poll slice of a pause. The clock start moves on by the time the slice really took, so
    // playback resumes where it was instead of racing to catch up or lagging behind.
    void holdWhilePaused();
    // Sleeps until the clip time `timeUs` is due.
    FrameStep waitUntilDue(qint64 timeUs);
    FrameStep handleFrame(AVFrame* frame);
    // Takes every frame the decoder has ready; stops early when a frame asks for more than Next.
    FrameStep receiveFrames();
    // Decodes the packet in m_packet (which the caller unreferences).
    FrameStep decodePacket();
    qint64 rangeStartUs() const;

    static int interruptRequested(void* controls);

    VideoPlayer& m_player;
    PlaybackControls& m_controls;
    Clock& m_clock;

    // Destroyed in reverse order: the decoder before the hardware device it calls back into, the
    // file last.
    ffmpeg::FormatContextPtr m_format;
    const AVStream* m_stream = nullptr;
    int m_streamIndex = -1;
    HardwareDecoding m_hardware;
    ffmpeg::CodecContextPtr m_decoder;
    ffmpeg::PacketPtr m_packet;
    ffmpeg::FramePtr m_decoded;
    ffmpeg::FramePtr m_transferred; // a hardware frame copied to system memory
    FrameConverter m_converter;

    // Facts of the open file.
    int m_rotation = 0;
    qint64 m_durationUs = 0;
    double m_durationSeconds = 0.0;
    qint64 m_lastFrameStartUs = 0; // a seek target at or past the end means the last frame
    QSize m_outputSize;

    // Playback position. A frame at clip time t is due when now - m_clockStartUs >= t.
    qint64 m_clockStartUs = 0;
    qint64 m_lastShownUs = -1; // clip time of the last shown frame; -1 until one is shown after a seek
    qint64 m_frameUs = 0;      // time of the last decoded frame
    qint64 m_seekTargetUs = 0; // target of the seek in progress
    bool m_seeking = false;    // frames before m_seekTargetUs are dropped unshown
    bool m_pauseAfterThisSeek = false;
    bool m_decoderDrained = false; // the decoder was flushed at the end of the file
};

} // namespace vortane::media
