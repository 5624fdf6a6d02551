#include "media/VideoPlayer.h"

#include "media/FFmpegPtr.h"
#include "media/MediaLog.h"
#include "media/PlaybackControls.h"
#include "media/PlaybackLoop.h"
#include "media/VideoDecoding.h"
#include "media/VideoTranscoder.h"

extern "C" {
#include <libavutil/log.h>
}

#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <mutex>

using namespace vortane;
using namespace vortane::media;

namespace {

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

} // namespace

// ---------------------------------------------------------------------------------------------
// Fields

VideoPlayer::VideoPlayer(Clock& clock)
    : m_clock(clock)
    , m_controls(std::make_unique<PlaybackControls>())
{
    qRegisterMetaType<PlayState>("PlayState");
    qRegisterMetaType<int64_t>("int64_t");
    static std::once_flag logHook;
    std::call_once(logHook, [] { av_log_set_callback(&forwardFfmpegLog); });

    // Lives in the owner's thread: it sees a picture arrive just before the owner's receivers do.
    m_deliveryTracker = std::make_unique<QObject>();
    connect(
        this, &VideoPlayer::updataImage, m_deliveryTracker.get(), [this] { --m_controls->framesInFlight; },
        Qt::QueuedConnection);

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
    m_controls->rangeStart = 0.0;
    m_controls->rangeEnd = 1.0;
}

void VideoPlayer::setRange(double start, double end)
{
    m_controls->rangeStart = start;
    m_controls->rangeEnd = end;
}

void VideoPlayer::setCycleMode(int mode)
{
    m_controls->cycleMode = mode;
}

void VideoPlayer::play()
{
    m_controls->playState = PlayStatePlaying;
    ++m_playRequests;
    emit signal_play(m_fileName);
}

void VideoPlayer::pause()
{
    m_controls->playState = PlayStatePaused;
}

int VideoPlayer::state() const
{
    return m_controls->playState.load();
}

void VideoPlayer::stop()
{
    m_controls->playState = PlayStateStopRequested;
    m_cancelledRequests = m_playRequests.load();
    if (QThread::currentThread() == m_workerThread.get()) {
        return; // the run notices the flag when this receiver returns
    }
    while (!m_idle.load()) {
        m_controls->playState = PlayStateStopRequested;
        QThread::msleep(5);
    }
}

void VideoPlayer::seekTo(double f, bool pauseAfter)
{
    m_controls->requestSeek(static_cast<qint64>(static_cast<double>(m_controls->durationUs.load()) * f), pauseAfter);
}

void VideoPlayer::seekAndPause(double f)
{
    seekTo(f, true);
}

void VideoPlayer::seekAndPlay(double f)
{
    seekTo(f, false);
}

qint64 VideoPlayer::durationSec() const
{
    return m_controls->durationSec.load();
}

qint64 VideoPlayer::durationUs() const
{
    return m_controls->durationUs.load();
}

// ---------------------------------------------------------------------------------------------
// Playback run (worker thread)

void VideoPlayer::slot_play(QString fileName)
{
    // Marked busy before the cancellation check: a stop() racing with this start either sees the
    // run and waits for it, or this run sees the stop and never starts.
    m_idle = false;
    const quint64 ordinal = ++m_runsStarted;
    PlaybackLoop::End end = PlaybackLoop::End::Stopped;
    if (ordinal > m_cancelledRequests.load()) {
        PlaybackLoop loop(*this, *m_controls, m_clock);
        end = loop.run(fileName);
    }
    // Every FFmpeg object of the run is released by now.
    m_idle = true;
    if (end == PlaybackLoop::End::RangeEnded) {
        emit videoPlayStatusChange(PlayStateRangeEnded);
    }
}

// ---------------------------------------------------------------------------------------------
// One-shot decodes (calling thread)

QImage VideoPlayer::grabFrame(const QString& path, double f)
{
    return media::grabFrame(path, f);
}

QList<QImage> VideoPlayer::extractTimelineThumbnails(const QString& path)
{
    return media::extractTimelineThumbnails(path, [this](int percent) { emit CroppingProgressbarImage(percent); });
}

bool VideoPlayer::transcodeVideo(const QString& source, const QString& output, const MediaScaleRecord& record)
{
    VideoTranscoder transcoder;
    transcoder.setProgressHandler([this](int percent) {
        emit CroppingProgressbarImage(percent);
        QCoreApplication::processEvents();
    });
    VideoTranscoder* const outer = m_transcoder;
    m_transcoder = &transcoder;
    const VideoTranscoder::Result result = transcoder.run(source, output, record);
    m_transcoder = outer;
    return result == VideoTranscoder::Result::Finished;
}

void VideoPlayer::cancelTranscode()
{
    if (m_transcoder) {
        m_transcoder->cancel();
    }
}
