#pragma once

#include <QImage>
#include <QString>
#include <QThread>

#include "media/MediaClock.h"

#include <atomic>

// Plays an animated GIF: steps through a frame range of the file, emits each frame at the file's
// native size, waits the frame's own delay and repeats the range until it is stopped. The owner
// (GUI thread) sets the file before start() and may move the range while the thread runs; the
// thread reads it between frames. Signals reach the owner through queued connections. Frame delays
// are waited out on a clock: the system clock, or one a test hands in (it must outlive the thread).
class gifThread final : public QThread
{
    Q_OBJECT

public:
    explicit gifThread(QObject* parent = nullptr);
    explicit gifThread(vortane::media::Clock& clock, QObject* parent = nullptr);
    ~gifThread() override;
    gifThread(const gifThread&) = delete;
    gifThread& operator=(const gifThread&) = delete;

    // File to play; set before start().
    void setFileName(const QString& fileName) { m_fileName = fileName; }
    QString fileName() const { return m_fileName; }
    // Frame range as fractions 0..1 of the frame count. A new start takes effect on the next pass;
    // a new end is first compared after the next frame.
    void setStartPos(double startPos) { m_startPos = startPos; }
    void setEndPos(double endPos) { m_endPos = endPos; }
    double startPos() const { return m_startPos.load(); }
    double endPos() const { return m_endPos.load(); }
    // True while the owner wants playback (set by run(), cleared by stop()).
    bool isPlaying() const { return m_running.load(); }

    // Ends playback and returns once the thread has finished: within one frame-delay slice, and
    // without a further mediaOver(). GUI thread.
    void stop();

signals:
    void updataImage(QImage image);
    void mediaOver();
    void signal_range(double position);

protected:
    void run() override;

private:
    // Sleeps `ms` in short slices; false as soon as the owner stops playback.
    bool sleepWhileRunning(int ms);

    vortane::media::Clock& m_clock;
    QString m_fileName;
    std::atomic<bool> m_running{false};
    std::atomic<double> m_startPos{0.0};
    std::atomic<double> m_endPos{1.0};
    int m_frameCount = 0; // thread only, per pass
    int m_lastFrame = 0;
    int m_firstFrame = 0;
};
