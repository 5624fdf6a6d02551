#include "media/gifThread.h"

#include <QMovie>

#include <algorithm>

namespace {

// A file that yields no frames is looked at again after this pause instead of in a busy loop.
constexpr int kEmptyPassPauseMs = 100;
// Longest single sleep inside a frame delay; bounds how late a stop request is noticed.
constexpr int kStopSliceMs = 5;
// Frames that ask for less than this (0 or 1 hundredth, common in files from old editors) are shown
// for kUnsetDelayMs, as browsers do; otherwise the thread would flood its receivers with frames.
constexpr int kShortestDelayMs = 20;
constexpr int kUnsetDelayMs = 100;

} // namespace

gifThread::gifThread(QObject* parent)
    : gifThread(vortane::media::systemClock(), parent)
{
}

gifThread::gifThread(vortane::media::Clock& clock, QObject* parent)
    : QThread(parent)
    , m_clock(clock)
{
    setObjectName(QStringLiteral("gifThread"));
}

gifThread::~gifThread()
{
    stop();
}

void gifThread::stop()
{
    m_running = false;
    if (QThread::currentThread() == this) {
        return; // called from a receiver inside the thread: the run ends after that receiver
    }
    while (isRunning()) {
        m_running = false;
        wait(kStopSliceMs);
    }
}

bool gifThread::sleepWhileRunning(int ms)
{
    const qint64 startUs = m_clock.nowUs();
    for (;;) {
        if (!m_running.load()) {
            return false;
        }
        const qint64 remainingUs = qint64(ms) * 1000 - (m_clock.nowUs() - startUs);
        if (remainingUs <= 0) {
            return true;
        }
        m_clock.sleepUs(std::min<qint64>(remainingUs, qint64(kStopSliceMs) * 1000));
    }
}

void gifThread::run()
{
    m_running = true;
    while (m_running.load()) {
        QMovie movie(m_fileName);
        movie.setCacheMode(QMovie::CacheAll);
        m_frameCount = movie.isValid() ? std::max(0, movie.frameCount()) : 0;
        auto rangeFromPositions = [this] {
            m_firstFrame = static_cast<int>(m_startPos.load() * m_frameCount);
            m_lastFrame = std::min(static_cast<int>(m_frameCount * m_endPos.load()), m_frameCount - 1);
        };
        rangeFromPositions();
        bool shownAny = false;
        int i = m_firstFrame;
        // A moved end is compared only after the frame that follows the move, so the frame shown
        // next is never withheld.
        for (bool more = m_firstFrame <= m_lastFrame; more;) {
            if (!m_running.load()) {
                return;
            }
            // A frame that does not decode (a damaged file) is passed over with the file's delay.
            if (movie.jumpToFrame(i)) {
                const QImage image = movie.currentImage();
                if (!image.isNull()) {
                    // Implicitly shared: the receiver's copy stays as it is whatever the reader
                    // does next, without copying every pixel of every frame.
                    emit updataImage(image);
                    shownAny = true;
                }
            }
            emit signal_range(static_cast<double>(i) / m_frameCount);
            const int delayMs = movie.nextFrameDelay();
            if (!sleepWhileRunning(delayMs < kShortestDelayMs ? kUnsetDelayMs : delayMs)) {
                return;
            }
            ++i;
            more = i <= m_lastFrame;
            if (more) {
                rangeFromPositions();
            }
        }
        emit mediaOver();
        if (!shownAny && !sleepWhileRunning(kEmptyPassPauseMs)) {
            return;
        }
    }
}
