#include "media/PlaybackLoop.h"

#include "media/MediaClock.h"
#include "media/MediaLog.h"
#include "media/PlaybackControls.h"
#include "media/VideoPlayer.h"

extern "C" {
#include <libavutil/hwcontext.h>
}

#include <algorithm>

namespace vortane::media {

namespace {

// Frames closer than this to the last shown one are decoded and paced but not converted: at most
// 30 shown per second. The slack keeps 30 fps clips whole in containers that round their time
// stamps to milliseconds (Matroska, WebM, FLV), where frames arrive 33 ms apart.
constexpr qint64 kShowIntervalUs = 1'000'000 / 30 - 1'500;
// Clips of up to this many whole seconds seek forward by decoding instead of repositioning the file.
constexpr qint64 kDecodeForwardLimitSec = 10;
// Shortest sleep while waiting for a frame, so that a nearly due frame does not spin.
constexpr qint64 kShortestWaitUs = 100;
constexpr qint64 kNothingShown = -1;
// Pictures sent but not yet taken by the owner's thread: about a second of playback. While it is
// this far behind (busy with a transcode, say) further frames are dropped rather than queued
// without bound; short stalls lose nothing.
constexpr int kMaxFramesInFlight = 30;

void logText(const char* text)
{
    qCDebug(lcMedia, "%s", text);
}

} // namespace

PlaybackLoop::PlaybackLoop(VideoPlayer& player, PlaybackControls& controls, Clock& clock)
    : m_player(player)
    , m_controls(controls)
    , m_clock(clock)
{
}

PlaybackLoop::~PlaybackLoop() = default;

int PlaybackLoop::interruptRequested(void* controls)
{
    return static_cast<const PlaybackControls*>(controls)->stopRequested() ? 1 : 0;
}

qint64 PlaybackLoop::rangeStartUs() const
{
    return static_cast<qint64>(static_cast<double>(m_durationUs) * m_controls.rangeStart.load());
}

bool PlaybackLoop::open(const QString& fileName)
{
    const AVIOInterruptCB interrupt{&PlaybackLoop::interruptRequested, &m_controls};
    VideoSource source;
    const OpenFailure failure = openVideoSource(fileName, &interrupt, m_hardware, source);
    if (failure != OpenFailure::None) {
        // A stop during the open abandons its reads; that is no fault of the file.
        const bool abandoned =
            (failure == OpenFailure::Input || failure == OpenFailure::StreamInfo) && m_controls.stopRequested();
        if (!abandoned) {
            logText(failure == OpenFailure::DecoderOpen ? "Can't open video codec.\n" : openFailureText(failure));
        }
        return false;
    }
    m_format = std::move(source.format);
    m_stream = source.stream;
    m_streamIndex = source.streamIndex;
    m_decoder = std::move(source.decoder);
    m_rotation = source.rotation;

    m_durationUs = clipDurationUs(m_format.get(), m_stream);
    m_controls.durationUs = m_durationUs;
    m_controls.durationSec = m_durationUs / 1'000'000;
    emit m_player.signal_totalTime(m_controls.durationSec.load());
    if (m_controls.rangeStart.load() != 0.0) {
        m_controls.requestRangeStartSeek(rangeStartUs());
    }
    m_durationSeconds = static_cast<double>(m_durationUs) / 1e6;
    const AVRational frameRate = m_stream->avg_frame_rate.num > 0 ? m_stream->avg_frame_rate : m_stream->r_frame_rate;
    const qint64 frameIntervalUs = frameRate.num > 0 ? av_rescale_q(1, av_inv_q(frameRate), AV_TIME_BASE_Q) : 0;
    m_lastFrameStartUs = std::max<qint64>(0, m_durationUs - frameIntervalUs);
    m_outputSize = shownSize(QSize(m_decoder->width, m_decoder->height), m_rotation);

    m_packet = ffmpeg::makePacket();
    m_decoded = ffmpeg::makeFrame();
    m_transferred = ffmpeg::makeFrame();
    return m_packet && m_decoded && m_transferred;
}

bool PlaybackLoop::serveSeek(const QString& fileName, End& end)
{
    // Taken before repositioning: a request that arrives meanwhile waits for the next pass.
    const SeekRequest request = m_controls.takeSeek();
    // A target at or past the end (the timeline's right edge) means the last frame.
    m_seekTargetUs = std::clamp<qint64>(request.targetUs, 0, m_lastFrameStartUs);
    const bool decodeForward =
        m_frameUs < m_seekTargetUs && m_durationUs / 1'000'000 <= kDecodeForwardLimitSec && !m_decoderDrained;
    if (!decodeForward) {
        const bool repositioned = repositionTo(m_format.get(), m_decoder.get(), m_stream, m_seekTargetUs,
                                               [this] { return !m_controls.stopRequested(); });
        if (!repositioned) {
            if (m_controls.stopRequested()) {
                end = End::Stopped;
                return false;
            }
            qCDebug(lcMedia) << "Seek failed, playback ends:" << fileName;
            end = End::Failed;
            return false;
        }
        m_decoderDrained = false;
    }
    m_clockStartUs = m_clock.nowUs() - m_seekTargetUs;
    // The owner's seek decides whether to pause on its frame; the loop's own seeks back to the
    // range start keep a pause that is still waiting for a frame to show.
    if (request.fromOwner) {
        m_pauseAfterThisSeek = request.pauseAfter;
    }
    m_seeking = true;
    m_lastShownUs = kNothingShown;
    return true;
}

void PlaybackLoop::holdWhilePaused()
{
    const qint64 pausedAtUs = m_clock.nowUs();
    m_clock.sleepUs(kPollUs);
    m_clockStartUs += m_clock.nowUs() - pausedAtUs;
}

PlaybackLoop::FrameStep PlaybackLoop::waitUntilDue(qint64 timeUs)
{
    for (;;) {
        const int state = m_controls.playState.load();
        if (state == PlayStateStopRequested) {
            return FrameStep::Stop;
        }
        if (m_controls.seekWaiting()) {
            return FrameStep::Seek;
        }
        if (state == PlayStatePaused) {
            holdWhilePaused();
            continue;
        }
        const qint64 remainingUs = timeUs - (m_clock.nowUs() - m_clockStartUs);
        if (remainingUs <= 0) {
            return FrameStep::Next;
        }
        m_clock.sleepUs(std::clamp<qint64>(remainingUs, kShortestWaitUs, kPollUs));
    }
}

PlaybackLoop::FrameStep PlaybackLoop::handleFrame(AVFrame* frame)
{
    AVFrame* picture = frame;
    if (!frame->data[0] || (m_hardware.enabled() && frame->format == m_hardware.pixelFormat())) {
        av_frame_unref(m_transferred.get());
        if (frame->format != m_hardware.pixelFormat() || av_hwframe_transfer_data(m_transferred.get(), frame, 0) < 0 ||
            av_frame_copy_props(m_transferred.get(), frame) < 0) {
            logText("dataCopy fail");
            return FrameStep::Next;
        }
        picture = m_transferred.get();
    }
    m_frameUs = frameTimeUs(frame, m_packet.get(), m_stream);
    if (m_seeking && m_frameUs < m_seekTargetUs) {
        return FrameStep::Next;
    }
    const FrameStep due = waitUntilDue(m_frameUs);
    if (due != FrameStep::Next) {
        return due;
    }
    // The frame a seek stops on is delivered even to an owner that is behind: it is the picture
    // the player then holds.
    const bool ownerKeepsUp = m_controls.framesInFlight.load() < kMaxFramesInFlight || m_pauseAfterThisSeek;
    if (ownerKeepsUp && (m_lastShownUs == kNothingShown || m_frameUs - m_lastShownUs >= kShowIntervalUs)) {
        const QImage image = m_converter.convert(picture, m_outputSize, m_rotation);
        if (!image.isNull() && m_controls.playState.load() == PlayStatePlaying) {
            ++m_controls.framesInFlight;
            emit m_player.updataImage(image);
        }
        emit m_player.signal_range(m_durationSeconds > 0.0 ? static_cast<double>(m_frameUs) / 1e6 / m_durationSeconds
                                                           : 0.0);
        m_lastShownUs = m_frameUs;
    }
    if (m_pauseAfterThisSeek) {
        m_pauseAfterThisSeek = false;
        m_controls.pauseAfterSeekFrame();
    }
    // A range that ends at or before its start would seek back on every frame and never move on;
    // such a range plays to the end of the clip instead.
    const double rangeEnd = m_controls.rangeEnd.load();
    const bool rangeHasEnd = rangeEnd < 1.0 && rangeEnd > m_controls.rangeStart.load();
    if (rangeHasEnd && static_cast<double>(m_frameUs) >= static_cast<double>(m_durationUs) * rangeEnd) {
        m_clockStartUs = m_clock.nowUs();
        m_controls.requestLoopSeek(rangeStartUs());
        if (m_controls.cycleMode.load() != 0) {
            return FrameStep::RangeEnded;
        }
        return FrameStep::Seek;
    }
    m_seeking = false;
    return FrameStep::Next;
}

PlaybackLoop::FrameStep PlaybackLoop::receiveFrames()
{
    for (;;) {
        const int result = avcodec_receive_frame(m_decoder.get(), m_decoded.get());
        if (result < 0) {
            return FrameStep::Next; // EAGAIN (wants input), EOF (drained) or a damaged frame
        }
        const FrameStep step = handleFrame(m_decoded.get());
        av_frame_unref(m_decoded.get());
        if (step != FrameStep::Next) {
            return step;
        }
    }
}

PlaybackLoop::FrameStep PlaybackLoop::decodePacket()
{
    for (;;) {
        const int sent = avcodec_send_packet(m_decoder.get(), m_packet.get());
        if (sent == AVERROR(EAGAIN)) {
            // The decoder wants its finished frames taken before it accepts more input.
            const FrameStep step = receiveFrames();
            if (step != FrameStep::Next) {
                return step;
            }
            continue;
        }
        if (sent < 0 && sent != AVERROR_EOF) {
            return FrameStep::Failed;
        }
        return receiveFrames();
    }
}

PlaybackLoop::End PlaybackLoop::run(const QString& fileName)
{
    if (!open(fileName)) {
        return End::Failed;
    }
    auto endOf = [](FrameStep step) { return step == FrameStep::RangeEnded ? End::RangeEnded : End::Stopped; };

    m_clockStartUs = m_clock.nowUs();
    for (;;) {
        if (m_controls.seekWaiting()) {
            End end = End::Stopped;
            if (!serveSeek(fileName, end)) {
                return end;
            }
        }
        const int state = m_controls.playState.load();
        if (state == PlayStateStopRequested) {
            return End::Stopped;
        }
        if (state == PlayStatePaused) {
            holdWhilePaused();
            continue;
        }

        if (av_read_frame(m_format.get(), m_packet.get()) < 0) {
            if (m_controls.stopRequested()) {
                return End::Stopped;
            }
            // The decoder still holds the last frames of the file; show them before looping.
            if (!m_decoderDrained) {
                m_decoderDrained = true;
                avcodec_send_packet(m_decoder.get(), nullptr);
                const FrameStep step = receiveFrames();
                if (step == FrameStep::Stop || step == FrameStep::RangeEnded) {
                    return endOf(step);
                }
                if (step == FrameStep::Seek) {
                    continue;
                }
            }
            if (m_controls.cycleMode.load() != 0) {
                return End::RangeEnded;
            }
            m_clockStartUs = m_clock.nowUs();
            m_controls.requestLoopSeek(rangeStartUs());
            continue;
        }
        if (m_packet->stream_index != m_streamIndex || m_decoderDrained) {
            av_packet_unref(m_packet.get());
            continue;
        }

        const FrameStep step = decodePacket();
        av_packet_unref(m_packet.get());
        if (step == FrameStep::Failed) {
            return End::Failed;
        }
        if (step == FrameStep::Stop || step == FrameStep::RangeEnded) {
            return endOf(step);
        }
    }
}

} // namespace vortane::media
