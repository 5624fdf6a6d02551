#pragma once

#include <QImage>
#include <QList>
#include <QMetaType>
#include <QObject>
#include <QString>

#include "media/MediaClock.h"
#include "types/MediaScaleRecord.h"

#include <atomic>
#include <cstdint>
#include <memory>

class QThread;

namespace vortane::media {
class PlaybackControls;
class VideoTranscoder;
} // namespace vortane::media

// State of a VideoPlayer's decode loop, as returned by VideoPlayer::state() and carried by
// videoPlayStatusChange. Four bytes wide so that it travels through queued signals unchanged.
enum PlayState : qint32
{
    PlayStatePlaying = 0,
    PlayStatePaused = 1,
    PlayStateStopRequested = 2,
    PlayStateRangeEnded = 3, // the range was played to its end and playback stopped (non-looping mode)
};
Q_DECLARE_METATYPE(PlayState)

// Decodes a video file and delivers its frames as RGB888 pictures at their presentation times,
// looping over a play range or stopping at its end. The player lives in a worker thread of its own
// (created by the constructor, named "VideoPlayer"); create it without a parent and own it from the
// GUI thread (a thread running an event loop: while a second's worth of shown pictures waits there
// undelivered, further frames are dropped instead of queued). The operations below are called from the GUI thread;
// apart from play() and stop() they only set fields that the decode loop polls at least every 5 ms. Shown pictures
// leave the worker by queued signals; their longer side is at most 1280 pixels, and a display matrix in the file is
// applied as a real rotation. Frames are paced by `clock` (the system clock unless a test hands
// in its own), which must outlive the player.
//
// grabFrame() and extractTimelineThumbnails() decode synchronously in the calling thread and do
// not touch the playback state.
class VideoPlayer final : public QObject
{
    Q_OBJECT

public:
    explicit VideoPlayer(vortane::media::Clock& clock = vortane::media::systemClock());
    ~VideoPlayer() override;
    VideoPlayer(const VideoPlayer&) = delete;
    VideoPlayer& operator=(const VideoPlayer&) = delete;

    // File of the next play(); resets the range to the whole clip.
    void setFile(const QString& fileName);
    // Play range as fractions 0..1 of the clip's length. Takes effect at the next range start or
    // end; a new start is where playback begins and where it loops back to.
    void setRange(double start, double end);
    // 0 loops the range forever; any other value stops at its end and emits videoPlayStatusChange(3).
    void setCycleMode(int mode);

    // Starts one playback run of the current file in the worker thread. Runs are sequential: call
    // stop() before playing another file.
    void play();
    // Holds the decode loop; play position and pacing resume where they were.
    void pause();
    // The PlayState value: 0 playing, 1 paused, 2 stop requested.
    int state() const;
    // Ends the active run and any run still queued behind play(); returns once the worker is idle.
    // Returns at once when nothing plays. Must not be called from the worker thread's receivers
    // with a direct connection.
    void stop();
    // Seeks to fraction f of the clip, shows the frame there and pauses. A seek made while the
    // player still handles earlier ones replaces them: the last one asked for is the one shown.
    void seekAndPause(double f);
    // Seeks to fraction f of the clip and plays on from there.
    void seekAndPlay(double f);

    // Whole seconds and microseconds of the file of the current (or last) run; 0 before any run.
    qint64 durationSec() const;
    qint64 durationUs() const;
    // True while no playback run is active.
    bool isIdle() const { return m_idle.load(); }

    // One frame at fraction f of the clip, software-decoded in the calling thread, rotated upright
    // and capped like played frames. A seek past the last frame gives the last frame. Null image
    // when the file cannot be decoded.
    static QImage grabFrame(const QString& path, double f);
    // A row of pictures 240 pixels wide spread evenly over the clip, as many as fit into 400
    // pixels at 24 pixels of height each, for the trim timeline. Decodes in the calling thread,
    // reports progress 0..100 through CroppingProgressbarImage and processes pending events after
    // every decoded frame. Empty when the file cannot be decoded.
    QList<QImage> extractTimelineThumbnails(const QString& path);
    // Writes `source` cropped, scaled, turned and trimmed by `record` into the new file `output`
    // as H.264 (see VideoTranscoder). Works in the calling thread, reports progress 0..99 through
    // CroppingProgressbarImage and processes pending events after every frame. True when the
    // file was written; on false (failure or cancelTranscode) no file is left at `output`.
    bool transcodeVideo(const QString& source, const QString& output, const MediaScaleRecord& record);
    // Stops a transcodeVideo that is running further up the calling thread's stack (from an event
    // it processes); it then returns false. Does nothing when none runs.
    void cancelTranscode();

signals:
    void signal_play(QString fileName);
    void signal_totalTime(int64_t totalTime);
    void signal_show(QImage image, int64_t uSec);
    void updataImage(QImage image);
    void signal_range(double position);
    void videoPlayStatusChange(PlayState state);
    void CroppingProgressbarImage(int progress);

public slots:
    // The playback run (worker thread); reached through signal_play.
    void slot_play(QString fileName);

private:
    void seekTo(double f, bool pauseAfter);

    vortane::media::Clock& m_clock;
    // Shared with the playback run: play state, range, cycle mode, duration and seek requests.
    std::unique_ptr<vortane::media::PlaybackControls> m_controls;
    std::unique_ptr<QThread> m_workerThread;
    std::unique_ptr<QObject> m_deliveryTracker; // owner's thread; counts delivered pictures
    std::atomic<bool> m_idle{true};
    QString m_fileName; // GUI thread only; the run gets its copy through signal_play

    // play() numbers its requests; stop() cancels every request made so far, so a run still queued
    // behind a stop never starts playing once it is dequeued.
    std::atomic<quint64> m_playRequests{0};
    std::atomic<quint64> m_cancelledRequests{0};
    quint64 m_runsStarted = 0;                               // worker thread only
    vortane::media::VideoTranscoder* m_transcoder = nullptr; // the running transcodeVideo's, owner's thread
};
