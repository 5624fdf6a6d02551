#include "media/BackgroundPlayback.h"

#include "media/MediaClock.h"
#include "media/MediaLog.h"
#include "media/VideoPlayer.h"
#include "media/gifThread.h"

#include <QMetaObject>

using vortane::media::MediaKind;

BackgroundPlayback::BackgroundPlayback(QObject* parent)
    : BackgroundPlayback(vortane::media::systemClock(), parent)
{
}

BackgroundPlayback::BackgroundPlayback(vortane::media::Clock& clock, QObject* parent)
    : QObject(parent)
    , m_player(std::make_unique<VideoPlayer>(clock))
    , m_gif(new gifThread(clock, this))
{
    m_stillTimer.setSingleShot(true);
    m_stillTimer.setInterval(kStillPictureMs);
    m_brokenTimer.setSingleShot(true);
    m_brokenTimer.setInterval(kBrokenMediumPauseMs);
    m_firstFrameTimer.setSingleShot(true);
    m_firstFrameTimer.setInterval(kFirstVideoFrameLimitMs);
    connect(&m_stillTimer, &QTimer::timeout, this, &BackgroundPlayback::staticPictureCycleTimeout);
    connect(&m_brokenTimer, &QTimer::timeout, this, &BackgroundPlayback::brokenMediumTimeout);
    connect(&m_firstFrameTimer, &QTimer::timeout, this, &BackgroundPlayback::firstVideoFrameMissing);
}

BackgroundPlayback::~BackgroundPlayback()
{
    stop();
    // The player's thread ends here, so nothing of it can post to this object any more.
    m_player.reset();
}

void BackgroundPlayback::setCycleMode(int mode)
{
    m_cycleMode = mode;
    m_player->setCycleMode(mode);
}

QImage BackgroundPlayback::renderWithCurrentRecord(const QImage& picture) const
{
    return vortane::media::renderFrame(picture, m_record);
}

void BackgroundPlayback::stop()
{
    ++m_generation;
    delete m_session;
    m_session = nullptr;
    m_active = false;
    m_gif->stop();
    m_stillTimer.stop();
    m_brokenTimer.stop();
    m_firstFrameTimer.stop();
    m_player->stop();
}

void BackgroundPlayback::beginSession()
{
    stop();
    m_session = new QObject(this);
    m_active = true;
    m_shownAny = false;
    m_videoEnded = false;
}

void BackgroundPlayback::start(const QString& path, const MediaScaleRecord& record)
{
    beginSession();
    m_record = record;
    m_kind = vortane::media::mediaKindOf(path);
    switch (m_kind) {
    case MediaKind::Gif:
        startGif(path);
        break;
    case MediaKind::Video:
        startVideo(path);
        break;
    case MediaKind::Still:
        startStill(path);
        break;
    }
}

void BackgroundPlayback::startStill(const QString& path)
{
    // A picture that cannot be read shows the black canvas; it still takes its turn in a list.
    showFrame(vortane::media::renderFrame(vortane::media::loadPicture(path), m_record));
    m_stillTimer.start();
}

void BackgroundPlayback::startGif(const QString& path)
{
    if (m_lastFrameSize != frameSize())
        showBlackFrame();
    if (!vortane::media::gifFitsMemoryLimit(path)) {
        qCDebug(lcMedia) << "GIF cannot be played:" << path;
        endAsBroken();
        return;
    }
    connect(m_gif, &gifThread::updataImage, m_session, [this](const QImage& picture) { gifFrame(picture); });
    connect(m_gif, &gifThread::mediaOver, m_session, [this] { gifOverSlot(); });
    m_gif->setFileName(path);
    m_gif->setStartPos(m_record.startPos);
    m_gif->setEndPos(m_record.endPos);
    m_gif->start(QThread::InheritPriority);
}

void BackgroundPlayback::startVideo(const QString& path)
{
    if (m_lastFrameSize != frameSize())
        showBlackFrame();
    QObject* session = m_session;
    connect(m_player.get(), &VideoPlayer::updataImage, session, [this](const QImage& picture) { videoFrame(picture); });
    connect(m_player.get(), &VideoPlayer::videoPlayStatusChange, session,
            [this](PlayState status) { videoStatusSlot(int(status)); });
    m_player->setFile(path);
    m_player->setRange(0.0, 1.0);
    playVideo();
    m_firstFrameTimer.start();
}

void BackgroundPlayback::showFrame(const QImage& frame)
{
    m_shownAny = true;
    m_lastFrameSize = frame.size();
    emit frameReady(frame);
}

void BackgroundPlayback::showBlackFrame()
{
    const QImage black = vortane::media::renderFrame(QImage(), m_record);
    if (black.isNull())
        return;
    m_lastFrameSize = black.size();
    emit frameReady(black);
}

void BackgroundPlayback::endAsBroken()
{
    m_firstFrameTimer.stop();
    if (!m_shownAny && m_lastFrameSize != frameSize())
        showBlackFrame();
    m_brokenTimer.start();
}

void BackgroundPlayback::videoFrame(const QImage& picture)
{
    if (!m_active || m_kind != MediaKind::Video || picture.isNull())
        return;
    m_firstFrameTimer.stop();
    showFrame(vortane::media::fitVideoFrame(picture, frameSize()));
}

void BackgroundPlayback::gifFrame(const QImage& picture)
{
    if (!m_active || m_kind != MediaKind::Gif)
        return;
    showFrame(renderWithCurrentRecord(picture));
}

void BackgroundPlayback::videoStatusSlot(int status)
{
    if (!m_active || m_kind != MediaKind::Video || status != PlayStateRangeEnded)
        return;
    m_videoEnded = true;
    m_firstFrameTimer.stop();
    if (!m_shownAny) {
        endAsBroken();
    } else if (cycles()) {
        m_active = false;
        emit mediaOver();
    } else {
        // The mode went back to one item while the run ended: loop as that mode does.
        m_videoEnded = false;
        playVideo();
    }
}

void BackgroundPlayback::watchPlayer()
{
    // The run returned. Without an end report it failed: the file could not be opened or a packet
    // was refused.
    if (!m_active || m_kind != MediaKind::Video || m_videoEnded || m_brokenTimer.isActive())
        return;
    qCDebug(lcMedia) << "video run ended without playing to its end";
    endAsBroken();
}

void BackgroundPlayback::firstVideoFrameMissing()
{
    if (!m_active || m_kind != MediaKind::Video || m_shownAny)
        return;
    qCDebug(lcMedia) << "video shows no picture; giving it up";
    // The session stays: the player's late reports are ignored through m_videoEnded and the timer.
    m_videoEnded = true;
    m_player->stop();
    endAsBroken();
}

void BackgroundPlayback::gifOverSlot()
{
    if (!m_active || m_kind != MediaKind::Gif)
        return;
    if (!m_shownAny) {
        // Nothing readable in the file: the thread keeps trying (with its own pause); in a list
        // the item ends after the pause of a broken medium.
        if (cycles() && !m_brokenTimer.isActive()) {
            m_gif->stop();
            endAsBroken();
        }
        return;
    }
    if (!cycles())
        return;
    m_gif->stop();
    m_active = false;
    emit mediaOver();
}

void BackgroundPlayback::staticPictureCycleTimeout()
{
    m_stillTimer.stop();
    if (m_active && cycles()) {
        m_active = false;
        emit mediaOver();
    }
}

void BackgroundPlayback::brokenMediumTimeout()
{
    if (!m_active)
        return;
    if (cycles()) {
        m_active = false;
        emit mediaOver();
        return;
    }
    // One-item mode: a video that played for a while and then failed starts again, as a loop
    // would; one that never showed a picture stays black.
    if (m_kind == MediaKind::Video && m_shownAny && !m_videoEnded) {
        m_player->stop();
        playVideo();
    }
}

void BackgroundPlayback::playVideo()
{
    m_player->setCycleMode(m_cycleMode);
    m_player->play();
    // Runs of the player are sequential: this call is handled by its thread right after the run
    // just requested has returned, however it ended. The run's end report is queued before it, so
    // a run that returns without one has failed. The answer goes to this object (which outlives
    // the player's thread) and is dropped when another medium started meanwhile.
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        m_player.get(),
        [this, generation] {
            QMetaObject::invokeMethod(
                this,
                [this, generation] {
                    if (generation == m_generation)
                        watchPlayer();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}
