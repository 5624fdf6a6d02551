// gifThread: passes over the frame range, the range moved while it plays, mediaOver after every
// pass, stopping inside a frame delay, and files that yield no frames or a damaged frame. GIFs are
// written by the test; each frame's colour carries its index.

#include "media/gifThread.h"
#include "tests/support/MockClock.h"
#include "tests/support/media/MediaFixtures.h"

#include <QMutex>
#include <QMutexLocker>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace vortane::test;
using TestSupport::MockClock;

namespace {

// The thread's signals in the order it emitted them, recorded in the thread itself (direct
// connections) so that the order is exact. Entries: frame index, or -1 for mediaOver.
class GifRecorder final
{
public:
    static constexpr int kOver = -1;

    // `clock` (if given) times the mediaOver signals; it is the clock the thread paces itself by.
    explicit GifRecorder(gifThread& thread, const MockClock* clock = nullptr)
        : m_thread(&thread)
        , m_clock(clock)
    {
        QObject::connect(
            &thread, &gifThread::updataImage, &thread,
            [this](const QImage& image) { append(readGifFrameIndex(image)); }, Qt::DirectConnection);
        QObject::connect(
            &thread, &gifThread::signal_range, &thread,
            [this](double position) {
                QMutexLocker lock(&m_mutex);
                m_ranges.append(position);
                if (onRange) {
                    onRange(position);
                }
            },
            Qt::DirectConnection);
        QObject::connect(
            &thread, &gifThread::mediaOver, &thread,
            [this] {
                QMutexLocker lock(&m_mutex);
                m_events.append(kOver);
                m_overTimes.append(m_clock ? m_clock->nowMs() : -1);
            },
            Qt::DirectConnection);
    }

    // The thread calls into this recorder, so it is stopped first (also when a check failed).
    ~GifRecorder()
    {
        if (m_thread) {
            m_thread->stop();
        }
    }
    GifRecorder(const GifRecorder&) = delete;
    GifRecorder& operator=(const GifRecorder&) = delete;

    QList<int> events() const
    {
        QMutexLocker lock(&m_mutex);
        return m_events;
    }
    QList<double> ranges() const
    {
        QMutexLocker lock(&m_mutex);
        return m_ranges;
    }
    // Clock milliseconds of every mediaOver so far (-1 without a clock).
    QList<qint64> overTimes() const
    {
        QMutexLocker lock(&m_mutex);
        return m_overTimes;
    }
    int passes() const { return events().count(kOver); }

    // Called in the GIF thread for every signal_range, before the frame's delay.
    std::function<void(double)> onRange;

private:
    void append(int value)
    {
        QMutexLocker lock(&m_mutex);
        m_events.append(value);
    }

    QPointer<gifThread> m_thread;
    mutable QMutex m_mutex;
    QList<int> m_events;
    QList<double> m_ranges;
    QList<qint64> m_overTimes; // clock milliseconds of each mediaOver
    const MockClock* m_clock;
};

QList<int> pass(int first, int last)
{
    QList<int> frames;
    for (int i = first; i <= last; ++i) {
        frames.append(i);
    }
    frames.append(GifRecorder::kOver);
    return frames;
}

} // namespace

class TestGifThread final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_tenFrames;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_tenFrames = m_dir.filePath("ten.gif");
        QVERIFY(writeGif(m_tenFrames, GifRecipe()));
    }

    void passesOverTheRange_data()
    {
        QTest::addColumn<double>("startPos");
        QTest::addColumn<double>("endPos");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("0.0-1.0 shows 0 to 9") << 0.0 << 1.0 << 0 << 9;
        QTest::newRow("0.25-0.5 shows 2 to 5") << 0.25 << 0.5 << 2 << 5;
    }

    void passesOverTheRange()
    {
        QFETCH(double, startPos);
        QFETCH(double, endPos);
        QFETCH(int, first);
        QFETCH(int, last);
        gifThread thread;
        GifRecorder recorder(thread);
        thread.setFileName(m_tenFrames);
        thread.setStartPos(startPos);
        thread.setEndPos(endPos);
        thread.start();
        QTRY_VERIFY(recorder.passes() >= 2);
        thread.stop();
        QVERIFY(thread.isFinished());
        const QList<int> expected = pass(first, last) + pass(first, last);
        QCOMPARE(recorder.events().mid(0, expected.size()), expected);
        // signal_range carries frame index / frame count: frame 5 of 10 is 0.5.
        const QList<double> ranges = recorder.ranges();
        for (int i = 0; i <= last - first; ++i) {
            QCOMPARE(ranges[i], (first + i) / 10.0);
        }
    }

    void endMovedDuringAFrameEndsThePassAfterTheNextFrame()
    {
        gifThread thread;
        GifRecorder recorder(thread);
        bool moved = false;
        recorder.onRange = [&thread, &moved](double position) {
            if (!moved && qFuzzyCompare(position, 0.8)) {
                moved = true;
                thread.setEndPos(0.5);
            }
        };
        thread.setFileName(m_tenFrames);
        thread.start();
        QTRY_VERIFY(recorder.passes() >= 2);
        thread.stop();
        const QList<int> expected = pass(0, 9) + pass(0, 5);
        QCOMPARE(recorder.events().mid(0, expected.size()), expected);
    }

    void startMovedDuringAPassTakesEffectOnTheNextPass()
    {
        gifThread thread;
        GifRecorder recorder(thread);
        bool moved = false;
        recorder.onRange = [&thread, &moved](double position) {
            if (!moved && qFuzzyCompare(position, 0.3)) {
                moved = true;
                thread.setStartPos(0.7);
            }
        };
        thread.setFileName(m_tenFrames);
        thread.start();
        QTRY_VERIFY(recorder.passes() >= 2);
        thread.stop();
        const QList<int> expected = pass(0, 9) + pass(7, 9);
        QCOMPARE(recorder.events().mid(0, expected.size()), expected);
    }

    void stopDuringADelayEmitsNoFurtherMediaOver_data()
    {
        QTest::addColumn<int>("longFrame");
        QTest::newRow("inside the pass") << 3;
        QTest::newRow("last frame of the pass") << 9;
    }

    void stopDuringADelayEmitsNoFurtherMediaOver()
    {
        QFETCH(int, longFrame);
        GifRecipe recipe;
        recipe.delaysCs = QVector<int>(10, 2);
        recipe.delaysCs[longFrame] = 3000; // 30 s: the stop has to cut the delay short
        const QString file = m_dir.filePath("long-delay.gif");
        QVERIFY(writeGif(file, recipe));
        gifThread thread;
        GifRecorder recorder(thread);
        thread.setFileName(file);
        thread.start();
        QTRY_VERIFY(recorder.events().contains(longFrame));
        thread.stop();
        QVERIFY(thread.isFinished());
        QVERIFY(!thread.isPlaying());
        QCOMPARE(recorder.events(), pass(0, longFrame).mid(0, longFrame + 1));
    }

    void unreadableFilesEndEveryPassAndPauseBetweenPasses_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing file") << "missing";
        QTest::newRow("zero-byte file") << "empty";
        QTest::newRow("random bytes named .gif") << "random";
    }

    void unreadableFilesEndEveryPassAndPauseBetweenPasses()
    {
        QFETCH(QString, kind);
        const QString file = m_dir.filePath(kind + ".gif");
        if (kind == QLatin1String("empty")) {
            QFile empty(file);
            QVERIFY(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
        } else if (kind == QLatin1String("random")) {
            QVERIFY(writeRandomBytes(file, 4096, 11));
        }
        MockClock clock;
        gifThread thread(clock);
        GifRecorder recorder(thread, &clock);
        thread.setFileName(file);
        thread.start();
        QVERIFY(clock.advanceUntil([&recorder] { return recorder.passes() >= 3; }, 5'000));
        thread.stop();
        for (int event : recorder.events()) {
            QCOMPARE(event, int(GifRecorder::kOver));
        }
        // A pass that found nothing is followed by a pause, not by the next pass at once.
        const QList<qint64> times = recorder.overTimes();
        for (int i = 1; i < times.size(); ++i) {
            QCOMPARE(times[i] - times[i - 1], qint64(100));
        }
    }

    void framesWithoutADelayArePacedLikeBrowsersDo()
    {
        GifRecipe recipe;
        recipe.frameCount = 3;
        recipe.delayCs = 0;
        const QString file = m_dir.filePath("no-delay.gif");
        QVERIFY(writeGif(file, recipe));
        MockClock clock;
        gifThread thread(clock);
        GifRecorder recorder(thread, &clock);
        thread.setFileName(file);
        thread.start();
        QVERIFY(clock.advanceUntil([&recorder] { return recorder.passes() >= 2; }, 5'000));
        thread.stop();
        const QList<qint64> times = recorder.overTimes();
        // Three frames of 100 ms each per pass.
        QCOMPARE(times[1] - times[0], qint64(300));
        QCOMPARE(recorder.events().mid(0, 8), pass(0, 2) + pass(0, 2));
    }

    void damagedFrameIsPassedOver()
    {
        GifRecipe recipe;
        recipe.brokenFrame = 4;
        const QString file = m_dir.filePath("broken.gif");
        QVERIFY(writeGif(file, recipe));
        gifThread thread;
        GifRecorder recorder(thread);
        thread.setFileName(file);
        thread.start();
        QTRY_VERIFY(recorder.passes() >= 2);
        thread.stop();
        const QList<int> events = recorder.events();
        QVERIFY(events.contains(0));
        QVERIFY(events.contains(3));
        // Every frame emitted is a whole picture of this file.
        for (int event : events) {
            QVERIFY(event == GifRecorder::kOver || (event >= 0 && event < 10));
        }
    }

    void destructorStopsTheThread()
    {
        auto thread = std::make_unique<gifThread>();
        GifRecorder recorder(*thread);
        thread->setFileName(m_tenFrames);
        thread->start();
        QTRY_VERIFY(!recorder.events().isEmpty());
        thread.reset();
    }
};

QTEST_MAIN(TestGifThread)
#include "TestGifThread.moc"
