#include "media/VideoPlayer.h"

#include "media/FFmpegPtr.h"
#include "media/HardwareDecoder.h"
#include "media/MediaLog.h"
#include "media/VideoDecoding.h"

extern "C" {
#include <libavutil/hwcontext.h>
#include <libavutil/log.h>
#include <libavutil/time.h>
}

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <mutex>

using namespace vortane;
using namespace vortane::media;

namespace {

// Frames closer than this to the last shown one are decoded and paced but not converted: at most
// 30 shown per second. The slack keeps 30 fps clips whole in containers that round their time
// stamps to milliseconds (Matroska, WebM, FLV), where frames arrive 33 ms apart.
constexpr qint64 kShowIntervalUs = 1'000'000 / 30 - 1'500;
// Clips of up to this many whole seconds seek forward by decoding instead of repositioning the file.
constexpr qint64 kDecodeForwardLimitSec = 10;
// Longest single sleep of the decode loop; bounds how late a stop, pause or seek is noticed.
constexpr qint64 kPollUs = 5'000;
constexpr qint64 kNothingShown = -1;
// Pictures sent but not yet taken by the owner's thread: about a second of playback. While it is
// this far behind (busy with a transcode, say) further frames are dropped rather than queued
// without bound; short stalls lose nothing.
constexpr int kMaxFramesInFlight = 30;
// Thumbnails of the trim timeline: fitted into this width at this height each, then made this wide.
constexpr int kTimelineWidthPx = 400;
constexpr int kTimelineThumbHeightPx = 24;
constexpr int kThumbnailWidthPx = 240;

void logText(const char* text)
{
    qCDebug(lcMedia, "%s", text);
}

// FFmpeg's own warnings go to the media category instead of stderr.
void forwardFfmpegLog(void* object, int level, const char* format, va_list arguments)
{
    if (level > AV_LOG_WARNING) {
        return;
    }
    thread_local int printPrefix = 1;
    char line[1024];
    av_log_format_line2(object, level, format, arguments, line, sizeof line, &printPrefix);
    QByteArray text(line);
    while (text.endsWith('\n')) {
        text.chop(1);
    }
    if (!text.isEmpty()) {
        qCDebug(lcMedia, "ffmpeg: %s", text.constData());
    }
}

qint64 nowUs()
{
    return av_gettime_relative();
}

// Opens a software decoder for `stream`; null on failure.
ffmpeg::CodecContextPtr openSoftwareDecoder(const AVStream* stream)
{
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) {
        return {};
    }
    ffmpeg::CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0) {
        return {};
    }
    decoder->pkt_timebase = stream->time_base;
    decoder->thread_count = 0;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        return {};
    }
    return decoder;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Fields

VideoPlayer::VideoPlayer()
{
    qRegisterMetaType<PlayState>("PlayState");
    qRegisterMetaType<int64_t>("int64_t");
    static std::once_flag logHook;
    std::call_once(logHook, [] { av_log_set_callback(&forwardFfmpegLog); });

    // Lives in the owner's thread: it sees a picture arrive just before the owner's receivers do.
    m_deliveryTracker = std::make_unique<QObject>();
    connect(
        this, &VideoPlayer::updataImage, m_deliveryTracker.get(), [this] { --m_framesInFlight; }, Qt::QueuedConnection);

    m_workerThread = std::make_unique<QThread>();
    m_workerThread->setObjectName(QStringLiteral("VideoPlayer"));
    moveToThread(m_workerThread.get());
    connect(this, &VideoPlayer::signal_play, this, &VideoPlayer::slot_play, Qt::QueuedConnection);
    m_workerThread->start(QThread::InheritPriority);
}

VideoPlayer::~VideoPlayer()
{
    stop();
    m_workerThread->quit();
    m_workerThread->wait();
    m_deliveryTracker.reset();
}

void VideoPlayer::setFile(const QString& fileName)
{
    m_fileName = fileName;
    m_rangeStart = 0.0;
    m_rangeEnd = 1.0;
}

void VideoPlayer::setRange(double start, double end)
{
    m_rangeStart = start;
    m_rangeEnd = end;
}

void VideoPlayer::setCycleMode(int mode)
{
    m_cycleMode = mode;
}

void VideoPlayer::play()
{
    m_playState = PlayStatePlaying;
    ++m_playRequests;
    emit signal_play(m_fileName);
}

void VideoPlayer::pause()
{
    m_playState = PlayStatePaused;
}

int VideoPlayer::state() const
{
    return m_playState.load();
}

void VideoPlayer::stop()
{
    m_playState = PlayStateStopRequested;
    m_cancelledRequests = m_playRequests.load();
    if (QThread::currentThread() == m_workerThread.get()) {
        return; // the run notices the flag when this receiver returns
    }
    while (!m_idle.load()) {
        m_playState = PlayStateStopRequested;
        QThread::msleep(5);
    }
}

void VideoPlayer::seekTo(double f, bool pauseAfter)
{
    // The target and the pause request are published before the seek flag that the loop polls.
    m_seekTarget = static_cast<qint64>(static_cast<double>(m_durationUs.load()) * f);
    m_pauseAfterSeek = pauseAfter;
    m_seekByOwner = true;
    m_playState = PlayStatePlaying;
    m_seekPending = true;
}

void VideoPlayer::seekAndPause(double f)
{
    seekTo(f, true);
}

void VideoPlayer::seekAndPlay(double f)
{
    seekTo(f, false);
}

void VideoPlayer::requestSeek(qint64 targetUs)
{
    m_seekTarget = targetUs;
    m_seekPending = true;
}

int VideoPlayer::interruptRequested(void* player)
{
    return static_cast<const VideoPlayer*>(player)->stopRequested() ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Playback run (worker thread)

void VideoPlayer::slot_play(QString fileName)
{
    // Marked busy before the cancellation check: a stop() racing with this start either sees the
    // run and waits for it, or this run sees the stop and never starts.
    m_idle = false;
    const quint64 ordinal = ++m_runsStarted;
    RunEnd end = RunEnd::Stopped;
    if (ordinal > m_cancelledRequests.load()) {
        end = runPlayback(fileName);
    }
    // Every FFmpeg object of the run is released by now.
    m_idle = true;
    if (end == RunEnd::RangeEnded) {
        emit videoPlayStatusChange(PlayStateRangeEnded);
    }
}

VideoPlayer::RunEnd VideoPlayer::runPlayback(const QString& fileName)
{
    const AVIOInterruptCB interrupt{&VideoPlayer::interruptRequested, this};
    ffmpeg::FormatContextPtr format = openInput(fileName, &interrupt);
    if (!format) {
        if (!stopRequested()) {
            logText("Can't open input stream.\n");
        }
        return RunEnd::Failed;
    }
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        if (!stopRequested()) {
            logText("Can't find stream information.\n");
        }
        return RunEnd::Failed;
    }
    const int streamIndex = firstVideoStream(format.get());
    if (streamIndex < 0) {
        logText("Don't find video stream.\n");
        return RunEnd::Failed;
    }
    const AVStream* stream = format->streams[streamIndex];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    // Declared before the decoder context, which calls back into it until it is freed.
    HardwareDecoding hardware;
    ffmpeg::CodecContextPtr decoder(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0) {
        logText("Don't find video codec.\n");
        return RunEnd::Failed;
    }
    decoder->pkt_timebase = stream->time_base;
    const int rotation = displayRotation(stream);
    if (hardware.setup(codec, decoder.get()) == HardwareDecoding::Result::NoConfiguration) {
        logText("打开硬件解码器失败！");
    }
    // Frame threads add latency that a GPU decoder does not need; software decoding uses every core.
    decoder->thread_count = hardware.enabled() ? 1 : 0;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        logText("Can't open video codec.\n");
        return RunEnd::Failed;
    }

    const qint64 durationUs = clipDurationUs(format.get(), stream);
    m_durationUs = durationUs;
    m_durationSec = durationUs / 1'000'000;
    emit signal_totalTime(m_durationSec.load());
    if (m_rangeStart.load() != 0.0) {
        requestSeek(static_cast<qint64>(static_cast<double>(durationUs) * m_rangeStart.load()));
    }
    const double durationSeconds = static_cast<double>(durationUs) / 1e6;
    const AVRational frameRate = stream->avg_frame_rate.num > 0 ? stream->avg_frame_rate : stream->r_frame_rate;
    const qint64 frameIntervalUs = frameRate.num > 0 ? av_rescale_q(1, av_inv_q(frameRate), AV_TIME_BASE_Q) : 0;
    const qint64 lastFrameStartUs = std::max<qint64>(0, durationUs - frameIntervalUs);
    const QSize outputSize = shownSize(QSize(decoder->width, decoder->height), rotation);

    ffmpeg::PacketPtr packet = ffmpeg::makePacket();
    ffmpeg::FramePtr decoded = ffmpeg::makeFrame();
    ffmpeg::FramePtr transferred = ffmpeg::makeFrame();
    if (!packet || !decoded || !transferred) {
        return RunEnd::Failed;
    }
    FrameConverter converter;

    qint64 clockStartUs = nowUs();
    qint64 lastShownUs = kNothingShown;
    qint64 frameUs = 0;      // time of the last decoded frame
    qint64 seekTargetUs = 0; // target of the seek in progress
    bool seeking = false;    // frames before seekTargetUs are dropped unshown
    bool pauseAfterThisSeek = false;
    bool decoderDrained = false; // the decoder was flushed at the end of the file

    // What a decoded frame asks of the loop.
    enum class FrameStep
    {
        Next,
        Seek,
        Stop,
        RangeEnded
    };

    // Sleeps until the clip time `timeUs` is due. A pause holds the clock, so playback resumes
    // where it was instead of racing to catch up.
    auto waitUntilDue = [&](qint64 timeUs) -> FrameStep {
        for (;;) {
            const int state = m_playState.load();
            if (state == PlayStateStopRequested) {
                return FrameStep::Stop;
            }
            if (m_seekPending.load()) {
                return FrameStep::Seek;
            }
            if (state == PlayStatePaused) {
                QThread::usleep(kPollUs);
                clockStartUs += kPollUs;
                continue;
            }
            const qint64 remainingUs = timeUs - (nowUs() - clockStartUs);
            if (remainingUs <= 0) {
                return FrameStep::Next;
            }
            QThread::usleep(static_cast<unsigned long>(std::clamp<qint64>(remainingUs, 100, kPollUs)));
        }
    };

    auto handleFrame = [&](AVFrame* frame) -> FrameStep {
        AVFrame* picture = frame;
        if (!frame->data[0] || (hardware.enabled() && frame->format == hardware.pixelFormat())) {
            av_frame_unref(transferred.get());
            if (frame->format != hardware.pixelFormat() || av_hwframe_transfer_data(transferred.get(), frame, 0) < 0 ||
                av_frame_copy_props(transferred.get(), frame) < 0) {
                logText("dataCopy fail");
                return FrameStep::Next;
            }
            picture = transferred.get();
        }
        frameUs = frameTimeUs(frame, packet.get(), stream);
        if (seeking && frameUs < seekTargetUs) {
            return FrameStep::Next;
        }
        const FrameStep due = waitUntilDue(frameUs);
        if (due != FrameStep::Next) {
            return due;
        }
        const bool ownerKeepsUp = m_framesInFlight.load() < kMaxFramesInFlight;
        if (ownerKeepsUp && (lastShownUs == kNothingShown || frameUs - lastShownUs >= kShowIntervalUs)) {
            const QImage image = converter.convert(picture, outputSize, rotation);
            if (!image.isNull() && m_playState.load() == PlayStatePlaying) {
                ++m_framesInFlight;
                emit updataImage(image);
            }
            emit signal_range(durationSeconds > 0.0 ? static_cast<double>(frameUs) / 1e6 / durationSeconds : 0.0);
            lastShownUs = frameUs;
        }
        if (pauseAfterThisSeek) {
            pauseAfterThisSeek = false;
            int playing = PlayStatePlaying;
            m_playState.compare_exchange_strong(playing, PlayStatePaused);
        }
        // A range that ends at or before its start would seek back on every frame and never move on;
        // such a range plays to the end of the clip instead.
        const double rangeEnd = m_rangeEnd.load();
        const bool rangeHasEnd = rangeEnd < 1.0 && rangeEnd > m_rangeStart.load();
        if (rangeHasEnd && static_cast<double>(frameUs) >= static_cast<double>(durationUs) * rangeEnd) {
            clockStartUs = nowUs();
            if (!m_seekPending.load()) {
                requestSeek(static_cast<qint64>(static_cast<double>(durationUs) * m_rangeStart.load()));
            }
            if (m_cycleMode.load() != 0) {
                return FrameStep::RangeEnded;
            }
            return FrameStep::Seek;
        }
        seeking = false;
        return FrameStep::Next;
    };

    // Takes every frame the decoder has ready; stops early when a frame asks for more than Next.
    auto receiveFrames = [&]() -> FrameStep {
        for (;;) {
            const int result = avcodec_receive_frame(decoder.get(), decoded.get());
            if (result < 0) {
                return FrameStep::Next; // EAGAIN (wants input), EOF (drained) or a damaged frame
            }
            const FrameStep step = handleFrame(decoded.get());
            av_frame_unref(decoded.get());
            if (step != FrameStep::Next) {
                return step;
            }
        }
    };

    auto endRun = [&](FrameStep step) { return step == FrameStep::RangeEnded ? RunEnd::RangeEnded : RunEnd::Stopped; };

    for (;;) {
        if (m_seekPending.load()) {
            // A target at or past the end (the timeline's right edge) means the last frame.
            seekTargetUs = std::clamp<qint64>(m_seekTarget.load(), 0, lastFrameStartUs);
            const bool decodeForward =
                frameUs < seekTargetUs && durationUs / 1'000'000 <= kDecodeForwardLimitSec && !decoderDrained;
            if (!decodeForward) {
                const bool repositioned = repositionTo(format.get(), decoder.get(), stream, seekTargetUs,
                                                       [this] { return !stopRequested(); });
                if (!repositioned) {
                    if (stopRequested()) {
                        return RunEnd::Stopped;
                    }
                    qCDebug(lcMedia) << "Seek failed, playback ends:" << fileName;
                    return RunEnd::Failed;
                }
                decoderDrained = false;
            }
            clockStartUs = nowUs() - seekTargetUs;
            // The owner's seek decides whether to pause on its frame; the loop's own seeks back to
            // the range start keep a pause that is still waiting for a frame to show.
            if (m_seekByOwner.exchange(false)) {
                pauseAfterThisSeek = m_pauseAfterSeek.load();
            }
            m_seekPending = false;
            seeking = true;
            lastShownUs = kNothingShown;
        }
        const int state = m_playState.load();
        if (state == PlayStateStopRequested) {
            return RunEnd::Stopped;
        }
        if (state == PlayStatePaused) {
            QThread::usleep(kPollUs);
            clockStartUs += kPollUs;
            continue;
        }

        if (av_read_frame(format.get(), packet.get()) < 0) {
            if (stopRequested()) {
                return RunEnd::Stopped;
            }
            // The decoder still holds the last frames of the file; show them before looping.
            if (!decoderDrained) {
                decoderDrained = true;
                avcodec_send_packet(decoder.get(), nullptr);
                const FrameStep step = receiveFrames();
                if (step == FrameStep::Stop || step == FrameStep::RangeEnded) {
                    return endRun(step);
                }
                if (step == FrameStep::Seek) {
                    continue;
                }
            }
            if (m_cycleMode.load() != 0) {
                return RunEnd::RangeEnded;
            }
            clockStartUs = nowUs();
            if (!m_seekPending.load()) {
                requestSeek(static_cast<qint64>(static_cast<double>(durationUs) * m_rangeStart.load()));
            }
            continue;
        }
        if (packet->stream_index != streamIndex || decoderDrained) {
            av_packet_unref(packet.get());
            continue;
        }

        FrameStep step = FrameStep::Next;
        for (;;) {
            const int sent = avcodec_send_packet(decoder.get(), packet.get());
            if (sent == AVERROR(EAGAIN)) {
                // The decoder wants its finished frames taken before it accepts more input.
                step = receiveFrames();
                if (step != FrameStep::Next) {
                    break;
                }
                continue;
            }
            if (sent < 0 && sent != AVERROR_EOF) {
                av_packet_unref(packet.get());
                return RunEnd::Failed;
            }
            step = receiveFrames();
            break;
        }
        av_packet_unref(packet.get());
        if (step == FrameStep::Stop || step == FrameStep::RangeEnded) {
            return endRun(step);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// One-shot decodes (calling thread)

QImage VideoPlayer::grabFrame(const QString& path, double f)
{
    ffmpeg::FormatContextPtr format = openInput(path, nullptr);
    if (!format || avformat_find_stream_info(format.get(), nullptr) < 0) {
        return {};
    }
    const int streamIndex = firstVideoStream(format.get());
    if (streamIndex < 0) {
        return {};
    }
    const AVStream* stream = format->streams[streamIndex];
    const int rotation = displayRotation(stream);
    ffmpeg::CodecContextPtr decoder = openSoftwareDecoder(stream);
    if (!decoder) {
        return {};
    }
    const qint64 targetUs = static_cast<qint64>(static_cast<double>(clipDurationUs(format.get(), stream)) * f);
    bool seeking = false;
    if (f != 0.0) {
        if (!repositionTo(format.get(), decoder.get(), stream, targetUs, [] { return true; })) {
            return {};
        }
        seeking = true;
    }
    const QSize outputSize = shownSize(QSize(decoder->width, decoder->height), rotation);
    ffmpeg::PacketPtr packet = ffmpeg::makePacket();
    ffmpeg::FramePtr frame = ffmpeg::makeFrame();
    ffmpeg::FramePtr lastFrame = ffmpeg::makeFrame(); // latest frame before the target, for a target past the end
    if (!packet || !frame || !lastFrame) {
        return {};
    }
    FrameConverter converter;
    QImage image;

    // Returns true once `image` holds the answer.
    auto takeFrames = [&]() -> bool {
        while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            if (seeking && frameTimeUs(frame.get(), packet.get(), stream) < targetUs) {
                av_frame_unref(lastFrame.get());
                av_frame_move_ref(lastFrame.get(), frame.get());
                continue;
            }
            image = converter.convert(frame.get(), outputSize, rotation);
            av_frame_unref(frame.get());
            if (!image.isNull()) {
                return true;
            }
            seeking = false; // a frame that would not convert: take the next one as it comes
        }
        return false;
    };

    while (av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == streamIndex) {
            const int sent = avcodec_send_packet(decoder.get(), packet.get());
            if ((sent >= 0 || sent == AVERROR(EAGAIN)) && takeFrames()) {
                return image;
            }
        }
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder.get(), nullptr);
    if (takeFrames()) {
        return image;
    }
    if (lastFrame->data[0]) {
        return converter.convert(lastFrame.get(), outputSize, rotation);
    }
    return {};
}

QList<QImage> VideoPlayer::extractTimelineThumbnails(const QString& path)
{
    QList<QImage> thumbnails;
    ffmpeg::FormatContextPtr format = openInput(path, nullptr);
    if (!format) {
        logText("Could not open video file");
        return thumbnails;
    }
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        logText("Could not find stream information");
        return thumbnails;
    }
    const int streamIndex = firstVideoStream(format.get());
    if (streamIndex < 0) {
        logText("No video stream found");
        return thumbnails;
    }
    const AVStream* stream = format->streams[streamIndex];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) {
        logText("Unsupported codec");
        return thumbnails;
    }
    ffmpeg::CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0) {
        logText("Unsupported codec");
        return thumbnails;
    }
    decoder->pkt_timebase = stream->time_base;
    decoder->thread_count = 0;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        logText("Could not open codec");
        return thumbnails;
    }

    const int rotation = displayRotation(stream);
    const QSize upright = (rotation == 90 || rotation == 270) ? QSize(decoder->height, decoder->width)
                                                              : QSize(decoder->width, decoder->height);
    if (upright.isEmpty()) {
        return thumbnails;
    }
    const int thumbWidthAt24 = upright.width() * kTimelineThumbHeightPx / upright.height();
    const int count = thumbWidthAt24 > 0 ? kTimelineWidthPx / thumbWidthAt24 : 0;
    const qint64 durationUs = clipDurationUs(format.get(), stream);
    const qint64 stepUs = durationUs / (count + 1);
    const QSize thumbSize(kThumbnailWidthPx,
                          std::max(1, qRound(double(upright.height()) * kThumbnailWidthPx / upright.width())));

    ffmpeg::PacketPtr packet = ffmpeg::makePacket();
    ffmpeg::FramePtr frame = ffmpeg::makeFrame();
    ffmpeg::FramePtr lastFrame = ffmpeg::makeFrame();
    if (!packet || !frame || !lastFrame) {
        return thumbnails;
    }
    FrameConverter converter;

    for (int k = 1; k <= count; ++k) {
        const qint64 targetUs = k * stepUs;
        repositionTo(format.get(), decoder.get(), stream, targetUs, [] { return true; });
        av_frame_unref(lastFrame.get());
        QImage thumbnail;
        auto takeFrames = [&]() -> bool {
            while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
                const qint64 timeUs = frameTimeUs(frame.get(), packet.get(), stream);
                const qint64 percent = durationUs > 0 ? std::clamp<qint64>(timeUs * 100 / durationUs, 0, 100) : 0;
                emit CroppingProgressbarImage(static_cast<int>(percent));
                QCoreApplication::processEvents();
                if (timeUs < targetUs) {
                    av_frame_unref(lastFrame.get());
                    av_frame_move_ref(lastFrame.get(), frame.get());
                    continue;
                }
                thumbnail = converter.convert(frame.get(), thumbSize, rotation);
                av_frame_unref(frame.get());
                return true;
            }
            return false;
        };
        bool found = false;
        while (!found && av_read_frame(format.get(), packet.get()) >= 0) {
            if (packet->stream_index == streamIndex) {
                const int sent = avcodec_send_packet(decoder.get(), packet.get());
                found = (sent >= 0 || sent == AVERROR(EAGAIN)) && takeFrames();
            }
            av_packet_unref(packet.get());
        }
        if (!found) {
            // Past the last packet: the decoder's held-back frames, then the last frame seen.
            avcodec_send_packet(decoder.get(), nullptr);
            found = takeFrames();
            if (!found && lastFrame->data[0]) {
                thumbnail = converter.convert(lastFrame.get(), thumbSize, rotation);
                found = true;
            }
        }
        if (!thumbnail.isNull()) {
            // The converter never writes into a picture that is still held, so the kept
            // thumbnail stays as it is.
            thumbnails.append(thumbnail);
        }
    }
    if (thumbnails.size() == count) {
        emit CroppingProgressbarImage(100);
    }
    packet.reset();
    frame.reset();
    lastFrame.reset();
    decoder.reset();
    format.reset();
    emit CroppingProgressbarImage(100);
    return thumbnails;
}
