#pragma once

#include "media/MediaFiles.h"
#include "types/MediaScaleRecord.h"

#include <QImage>
#include <QObject>
#include <QSize>
#include <QString>
#include <QTimer>

#include <memory>

class VideoPlayer;
class gifThread;

namespace vortane::media {
class Clock;
}

// Plays the preview's background medium and hands out its frames at device resolution: a still
// picture (rendered once, then a 5 s timer), a GIF (a gifThread, every frame rendered through the
// item's record) or a video (a VideoPlayer, its pictures fitted to the frame). In the one-item
// cycle mode (0) videos and GIFs loop and stills stay; in the list (1) and shuffle (2) modes every
// medium plays once and mediaOver() reports its end.
//
// Each start opens a session of its own: signals of the player and the GIF thread reach this
// object through a context object of that session, which is destroyed at the next start or stop,
// so frames and end reports of a previous medium that are still queued are dropped.
//
// A medium that shows nothing (a video that cannot be opened or decoded, a loop that never yields
// a picture, a GIF that cannot be read or is too large) ends like one that played, after
// brokenMediumPauseMs, so list and shuffle cycling go on without spinning; its frame is black.
//
// Owned by the preview label and used on the GUI thread only.
class BackgroundPlayback final : public QObject
{
    Q_OBJECT

public:
    static constexpr int kStillPictureMs = 5000;
    static constexpr int kBrokenMediumPauseMs = 1000;
    // A video that has shown no picture this long after its start counts as broken.
    static constexpr int kFirstVideoFrameLimitMs = 5000;

    // `clock` paces the player and the GIF thread (the system clock unless a test hands in its
    // own); it must outlive this object.
    explicit BackgroundPlayback(QObject* parent = nullptr);
    BackgroundPlayback(vortane::media::Clock& clock, QObject* parent);
    ~BackgroundPlayback() override;
    BackgroundPlayback(const BackgroundPlayback&) = delete;
    BackgroundPlayback& operator=(const BackgroundPlayback&) = delete;

    // Stops the current medium and starts `path` with the record's crop, scale and trim: by its
    // suffix in any letter case a GIF, a video (mp4, avi, mkv) or a still picture. A video plays
    // whole: library videos are already cut to the frame.
    void start(const QString& path, const MediaScaleRecord& record);
    // Ends the current medium; returns once the GIF thread and the player are idle.
    void stop();

    // 0 one item, 1 list, 2 shuffle. Reaches a playing video at once (it then ends at its end).
    void setCycleMode(int mode);
    int cycleMode() const { return m_cycleMode; }

    // The rendering rule with the current medium's record.
    QImage renderWithCurrentRecord(const QImage& picture) const;

    vortane::media::MediaKind currentKind() const { return m_kind; }
    bool isPlaying() const { return m_active; }
    const MediaScaleRecord& currentRecord() const { return m_record; }
    QSize frameSize() const { return QSize(m_record.width, m_record.height); }

    // Timings, for tests that cannot wait seconds.
    void setStillIntervalMs(int ms) { m_stillTimer.setInterval(ms); }
    void setBrokenMediumPauseMs(int ms) { m_brokenTimer.setInterval(ms); }
    void setFirstVideoFrameLimitMs(int ms) { m_firstFrameTimer.setInterval(ms); }

    bool stillTimerActive() const { return m_stillTimer.isActive(); }
    VideoPlayer* player() const { return m_player.get(); }
    gifThread* gif() const { return m_gif; }

signals:
    // A new background frame at device resolution (record width x height, opaque).
    void frameReady(QImage frame);
    // The medium played to its end in the list or shuffle mode.
    void mediaOver();

private slots:
    void videoFrame(const QImage& picture);
    void gifFrame(const QImage& picture);
    void videoStatusSlot(int status);
    void gifOverSlot();
    void staticPictureCycleTimeout();
    void brokenMediumTimeout();
    // The player's run returned.
    void watchPlayer();
    void firstVideoFrameMissing();

private:
    void startStill(const QString& path);
    void startGif(const QString& path);
    void startVideo(const QString& path);
    void beginSession();
    // play() on the player, and a look at it once that run has returned.
    void playVideo();
    void showFrame(const QImage& frame);
    void showBlackFrame();
    // The medium showed nothing: a black frame, and an end after the pause.
    void endAsBroken();
    bool cycles() const { return m_cycleMode == 1 || m_cycleMode == 2; }

    std::unique_ptr<VideoPlayer> m_player;
    gifThread* m_gif = nullptr;
    QTimer m_stillTimer;
    QTimer m_brokenTimer;
    QTimer m_firstFrameTimer;
    QObject* m_session = nullptr; // receives the current medium's signals; replaced at every start
    quint64 m_generation = 0;     // counts stops; a late answer of an earlier run carries an older one

    MediaScaleRecord m_record;
    vortane::media::MediaKind m_kind = vortane::media::MediaKind::Still;
    bool m_active = false;     // a medium is running (not stopped)
    bool m_shownAny = false;   // the current medium has delivered a picture
    bool m_videoEnded = false; // the player reported the end of the range
    QSize m_lastFrameSize;     // size of the last frame handed out
    int m_cycleMode = 0;
};
