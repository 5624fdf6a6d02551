// VideoPlayer: output sizes, pacing and the 1/30 s show rule, range looping and the end report,
// seeks, pause and stop, display rotation in playback, grabs and timeline thumbnails, and damaged
// or unsuitable inputs. Clips are encoded by the test; every frame carries its index.

#include "MediaLogCapture.h"
#include "media/VideoPlayer.h"
#include "tests/support/MockClock.h"
#include "tests/support/media/MediaFixtures.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace vortane::test;
using TestSupport::MockClock;

Q_DECLARE_METATYPE(vortane::test::Corner)

namespace {

// What a player delivered, recorded on the GUI thread as the queued signals arrive.
class PlaybackRecorder final : public QObject
{
    Q_OBJECT

public:
    explicit PlaybackRecorder(VideoPlayer& player)
    {
        connect(&player, &VideoPlayer::updataImage, this, [this](const QImage& image) {
            indices.append(readFrameIndex(image));
            sizes.append(image.size());
            corners.append(markerCorner(image));
        });
        connect(&player, &VideoPlayer::signal_range, this, [this](double position) { ranges.append(position); });
        // Queued like every other signal here: this also proves "int64_t" and "PlayState" travel.
        connect(&player, &VideoPlayer::signal_totalTime, this, [this](int64_t seconds) { totalTimes.append(seconds); });
        connect(&player, &VideoPlayer::videoPlayStatusChange, this,
                [this](PlayState state) { statuses.append(static_cast<int>(state)); });
    }

    void clear()
    {
        indices.clear();
        sizes.clear();
        corners.clear();
        ranges.clear();
        statuses.clear();
        totalTimes.clear();
    }

    QList<int> indices;
    QList<QSize> sizes;
    QList<Corner> corners;
    QList<double> ranges;
    QList<int> statuses;
    QList<qint64> totalTimes;
};

// One frame of a 30 fps clip, rounded up so that every step makes exactly the next frame due.
constexpr qint64 kFrameStepUs = 33'334;

// Lets queued signals still in flight arrive.
void settle()
{
    QTest::qWait(150);
}

} // namespace

class TestVideoPlayer final : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_clip30;  // 1.5 s, 30 fps, key frame every 15 frames
    QString m_clip60;  // 1 s, 60 fps
    QString m_clip20s; // 20 s, 30 fps, key frame every 2 s
    QString m_short;   // 0.5 s, 30 fps
    QString m_wide;    // 320 x 96, 0.5 s: the clip the earlier of two runs plays

    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    QString makeClip(const char* name, const ClipRecipe& recipe)
    {
        const QString file = path(name);
        if (!writeClip(file, recipe)) {
            qFatal("cannot encode fixture %s", name);
        }
        return file;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ClipRecipe recipe;
        recipe.frameCount = 45;
        recipe.keyFrameInterval = 15;
        m_clip30 = makeClip("clip30.mp4", recipe);

        recipe = ClipRecipe();
        recipe.fps = 60;
        recipe.frameCount = 60;
        m_clip60 = makeClip("clip60.mp4", recipe);

        recipe = ClipRecipe();
        recipe.frameCount = 600;
        recipe.keyFrameInterval = 60;
        m_clip20s = makeClip("clip20s.mp4", recipe);

        recipe = ClipRecipe();
        recipe.frameCount = 15;
        m_short = makeClip("short.mp4", recipe);

        recipe.width = 320;
        m_wide = makeClip("wide.mp4", recipe);
    }

    void outputSize_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("1920x1080 landscape is capped to 1280x720") << QSize(1920, 1080) << QSize(1280, 720);
        QTest::newRow("1080x1920 portrait is capped to 720x1280") << QSize(1080, 1920) << QSize(720, 1280);
        QTest::newRow("1280x1280 square stays") << QSize(1280, 1280) << QSize(1280, 1280);
        QTest::newRow("800x480 screen size stays") << QSize(800, 480) << QSize(800, 480);
    }

    void outputSize()
    {
        QFETCH(QSize, source);
        QFETCH(QSize, expected);
        ClipRecipe recipe;
        recipe.width = source.width();
        recipe.height = source.height();
        recipe.frameCount = 3;
        const QString file = makeClip("size.mp4", recipe);

        const QImage grabbed = VideoPlayer::grabFrame(file, 0.0);
        QCOMPARE(grabbed.size(), expected);
        QCOMPARE(grabbed.format(), QImage::Format_RGB888);
        QCOMPARE(readFrameIndex(grabbed), 0);

        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setCycleMode(1);
        player.setFile(file);
        player.play();
        QTRY_COMPARE(recorder.statuses.size(), 1);
        QCOMPARE(recorder.indices, (QList<int>{0, 1, 2}));
        for (const QSize& size : recorder.sizes) {
            QCOMPARE(size, expected);
        }
    }

    void sixtyFramesPerSecondShowsEverySecondFrame()
    {
        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setCycleMode(1);
        player.setFile(m_clip60);
        player.play();
        QTRY_COMPARE(recorder.statuses.size(), 1);
        QList<int> expected;
        for (int i = 0; i < 60; i += 2) {
            expected.append(i);
        }
        QCOMPARE(recorder.indices, expected);
        QCOMPARE(recorder.ranges.size(), expected.size());
    }

    void loopModeRestartsSilently()
    {
        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setCycleMode(0);
        player.setFile(m_short);
        player.play();
        // Two restarts: the index falls back to 0 twice.
        auto restarts = [&recorder] {
            int count = 0;
            for (int i = 1; i < recorder.indices.size(); ++i) {
                count += recorder.indices[i] < recorder.indices[i - 1] ? 1 : 0;
            }
            return count;
        };
        QTRY_VERIFY_WITH_TIMEOUT(restarts() >= 2, 10000);
        player.stop();
        QVERIFY(player.isIdle());
        settle();
        QVERIFY(recorder.statuses.isEmpty());
        QCOMPARE(recorder.indices.mid(0, 15), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
        const int firstRestart = recorder.indices.indexOf(0, 1);
        QCOMPARE(recorder.indices.mid(firstRestart, 15), recorder.indices.mid(0, 15));
    }

    void cycleModeReportsEndOnce()
    {
        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setCycleMode(1);
        player.setFile(m_clip30);
        player.play();
        QTRY_COMPARE(recorder.statuses.size(), 1);
        QCOMPARE(recorder.statuses.first(), int(PlayStateRangeEnded));
        QVERIFY(player.isIdle());
        settle();
        QCOMPARE(recorder.statuses.size(), 1);
        QCOMPARE(recorder.indices.size(), 45);
        QCOMPARE(recorder.indices.last(), 44);
        QCOMPARE(recorder.totalTimes, (QList<qint64>{1})); // whole seconds of 1.5 s
    }

    void rangeEndStopsInCycleMode()
    {
        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setCycleMode(1);
        player.setFile(m_clip30);
        player.setRange(0.0, 0.5);
        player.play();
        QTRY_COMPARE(recorder.statuses.size(), 1);
        // 0.75 s of 1.5 s: frame 23 (at 0.767 s) is the first at or past the end, and the last shown.
        QCOMPARE(recorder.indices.first(), 0);
        QCOMPARE(recorder.indices.last(), 23);
        QCOMPARE(recorder.indices.size(), 24);
    }

    void emptyRangePlaysOnToTheEnd()
    {
        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setCycleMode(0);
        player.setFile(m_clip30);
        player.setRange(0.6, 0.3);
        player.play();
        // 0.9 s of 1.5 s: playback begins at frame 27 and has to get past it to the clip's last frame.
        QTRY_VERIFY(recorder.indices.contains(44));
        player.stop();
        QCOMPARE(recorder.indices.first(), 27);
        QVERIFY(recorder.indices.contains(35));
    }

    void rangeStartIsWherePlaybackBegins()
    {
        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setCycleMode(1);
        player.setFile(m_clip20s);
        player.setRange(0.5, 1.0);
        player.play();
        QTRY_VERIFY(recorder.indices.size() >= 5);
        player.stop();
        // Frames from the key frame at 8 s up to 10 s are decoded but not shown.
        QCOMPARE(recorder.indices.first(), 300);
        for (int index : recorder.indices) {
            QVERIFY2(index >= 300, qPrintable(QString::number(index)));
        }
        for (double position : recorder.ranges) {
            QVERIFY(position >= 0.5 - 1e-9);
        }
    }

    void seekAndPause_data()
    {
        QTest::addColumn<QString>("clip");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<int>("expectedIndex");
        // 1.5 s: forward by decoding; 20 s: the file is repositioned.
        QTest::newRow("short clip, forward by decoding") << QStringLiteral("clip30") << 0.8 << 36;
        QTest::newRow("long clip, repositioned") << QStringLiteral("clip20s") << 0.75 << 450;
        QTest::newRow("short clip, past the end") << QStringLiteral("clip30") << 1.0 << 44;
        QTest::newRow("long clip, past the end") << QStringLiteral("clip20s") << 1.0 << 599;
    }

    void seekAndPause()
    {
        QFETCH(QString, clip);
        QFETCH(double, fraction);
        QFETCH(int, expectedIndex);
        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setFile(clip == QLatin1String("clip30") ? m_clip30 : m_clip20s);
        player.play();
        QTRY_VERIFY(!recorder.indices.isEmpty());
        player.seekAndPause(fraction);
        QTRY_VERIFY(recorder.indices.contains(expectedIndex));
        QTRY_COMPARE(player.state(), int(PlayStatePaused));
        settle();
        // Paused on the target: it is the last frame shown.
        QCOMPARE(recorder.indices.last(), expectedIndex);
        const int shown = recorder.indices.size();
        player.seekAndPlay(0.0);
        QTRY_VERIFY(recorder.indices.size() > shown + 3);
        QCOMPARE(recorder.indices.at(shown), 0);
        QCOMPARE(player.state(), int(PlayStatePlaying));
        player.stop();
    }

    // The trim timeline sends seeks as fast as the mouse moves. However busy the player is with
    // the seeks before it, the last one is where the picture stops.
    void lastOfManySeeksWins()
    {
        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setFile(m_clip20s);
        player.play();
        QTRY_VERIFY(!recorder.indices.isEmpty());
        for (int round = 0; round < 30; ++round) {
            // 20 s at 30 fps: 0.25 is frame 150, 0.75 frame 450; the drag passes over other places.
            const double last = round % 2 == 0 ? 0.25 : 0.75;
            const int expectedIndex = round % 2 == 0 ? 150 : 450;
            for (int i = 0; i < 300; ++i) {
                player.seekAndPause(0.05 + 0.1 * (i % 9));
                QCoreApplication::processEvents();
            }
            player.seekAndPause(last);
            QTRY_VERIFY2(player.state() == int(PlayStatePaused) && !recorder.indices.isEmpty() &&
                             recorder.indices.last() == expectedIndex,
                         qPrintable(QStringLiteral("round %1: paused %2 on frame %3")
                                        .arg(round)
                                        .arg(player.state() == int(PlayStatePaused))
                                        .arg(recorder.indices.isEmpty() ? -1 : recorder.indices.last())));
        }
        player.stop();
    }

    void stopDuringPauseEndsTheRun()
    {
        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setFile(m_clip20s);
        player.play();
        QTRY_VERIFY(recorder.indices.size() >= 2);
        player.pause();
        QTest::qWait(50);
        player.stop();
        QVERIFY(player.isIdle());
        QCOMPARE(player.state(), int(PlayStateStopRequested));
        settle();
        const int shown = recorder.indices.size();
        QTest::qWait(100);
        QCOMPARE(recorder.indices.size(), shown);
        QVERIFY(recorder.statuses.isEmpty());

        // The same player plays again.
        recorder.clear();
        player.setFile(m_short);
        player.setCycleMode(1);
        player.play();
        QTRY_COMPARE(recorder.statuses.size(), 1);
        QCOMPARE(recorder.indices.first(), 0);
    }

    void clipShorterThanOneSecondPlays()
    {
        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setCycleMode(1);
        player.setFile(m_short);
        player.setRange(0.4, 1.0);
        player.play();
        QTRY_COMPARE(recorder.statuses.size(), 1);
        QCOMPARE(player.durationSec(), 0);
        QVERIFY(qAbs(player.durationUs() - 500000) < 40000);
        // 0.4 of 0.5 s is 0.2 s: frame 6 onwards, to the last frame.
        QCOMPARE(recorder.indices, (QList<int>{6, 7, 8, 9, 10, 11, 12, 13, 14}));
        QCOMPARE(recorder.ranges.size(), recorder.indices.size());
        QVERIFY(qAbs(recorder.ranges.first() - 0.4) < 0.02);

        const QImage grabbed = VideoPlayer::grabFrame(m_short, 0.5);
        QCOMPARE(readFrameIndex(grabbed), 8); // 0.25 s is between frames 7 and 8
    }

    void grabPastTheEndGivesTheLastFrame()
    {
        QCOMPARE(readFrameIndex(VideoPlayer::grabFrame(m_clip30, 1.0)), 44);
        QCOMPARE(readFrameIndex(VideoPlayer::grabFrame(m_clip30, 0.0)), 0);
        QCOMPARE(readFrameIndex(VideoPlayer::grabFrame(m_clip20s, 0.5)), 300);
    }

    void timelineThumbnails()
    {
        VideoPlayer player;
        QSignalSpy progress(&player, &VideoPlayer::CroppingProgressbarImage);
        const QList<QImage> thumbnails = player.extractTimelineThumbnails(m_clip20s);
        // 160 x 96 at 24 pixels high is 40 wide: ten fit into 400.
        QCOMPARE(thumbnails.size(), 10);
        int previous = -1;
        for (int k = 0; k < thumbnails.size(); ++k) {
            QCOMPARE(thumbnails[k].size(), QSize(240, 144));
            const int index = readFrameIndex(thumbnails[k]);
            // Target k+1 of 11 equal steps over 600 frames.
            const int expected = ((k + 1) * 600 + 10) / 11;
            QVERIFY2(qAbs(index - expected) <= 1, qPrintable(QStringLiteral("%1 vs %2").arg(index).arg(expected)));
            QVERIFY(index > previous);
            previous = index;
        }
        QVERIFY(!progress.isEmpty());
        QCOMPARE(progress.last().first().toInt(), 100);
        for (const QList<QVariant>& value : progress) {
            QVERIFY(value.first().toInt() >= 0 && value.first().toInt() <= 100);
        }
    }

    void rotation_data()
    {
        QTest::addColumn<int>("angle");
        QTest::addColumn<QSize>("shownSize");
        QTest::addColumn<Corner>("corner");
        // The marker sits in the top-left corner of the stored picture; the display matrix turns
        // the picture counter-clockwise by its angle.
        QTest::newRow("display matrix 90") << 90 << QSize(96, 192) << Corner::BottomLeft;
        QTest::newRow("display matrix -90") << -90 << QSize(96, 192) << Corner::TopRight;
        QTest::newRow("display matrix 180") << 180 << QSize(192, 96) << Corner::BottomRight;
    }

    void rotation()
    {
        QFETCH(int, angle);
        QFETCH(QSize, shownSize);
        QFETCH(Corner, corner);
        ClipRecipe recipe;
        recipe.width = 192;
        recipe.height = 96;
        recipe.frameCount = 10;
        recipe.displayMatrixAngle = angle;
        const QString file = makeClip("rotated.mp4", recipe);

        for (double f : {0.0, 0.5}) {
            const QImage grabbed = VideoPlayer::grabFrame(file, f);
            QCOMPARE(grabbed.size(), shownSize);
            QCOMPARE(cornerName(markerCorner(grabbed)), cornerName(corner));
        }

        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setCycleMode(1);
        player.setFile(file);
        player.play();
        QTRY_COMPARE(recorder.statuses.size(), 1);
        QCOMPARE(recorder.corners.size(), 10);
        for (int i = 0; i < recorder.corners.size(); ++i) {
            QCOMPARE(recorder.sizes[i], shownSize);
            QCOMPARE(cornerName(recorder.corners[i]), cornerName(corner));
        }

        const QList<QImage> thumbnails = player.extractTimelineThumbnails(file);
        // Upright 96 x 192 is 12 wide at 24 high (33 fit); 192 x 96 is 48 wide (8 fit).
        QCOMPARE(thumbnails.size(), 400 / (shownSize.width() * 24 / shownSize.height()));
        for (const QImage& thumbnail : thumbnails) {
            QCOMPARE(thumbnail.width(), 240);
            QCOMPARE(thumbnail.height(), 240 * shownSize.height() / shownSize.width());
            QCOMPARE(cornerName(markerCorner(thumbnail)), cornerName(corner));
        }
    }

    void rotatedPictureIsCappedAfterTurning()
    {
        ClipRecipe recipe;
        recipe.width = 1920;
        recipe.height = 1080;
        recipe.frameCount = 2;
        recipe.displayMatrixAngle = 90;
        const QString file = makeClip("rotated-hd.mp4", recipe);
        const QImage grabbed = VideoPlayer::grabFrame(file, 0.0);
        QCOMPARE(grabbed.size(), QSize(720, 1280));
        QCOMPARE(cornerName(markerCorner(grabbed)), cornerName(Corner::BottomLeft));
    }

    void badInput_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("playMessage");
        QTest::addColumn<QString>("thumbnailMessage");
        QTest::newRow("missing file") << "missing"
                                      << "Can't open input stream.\n"
                                      << "Could not open video file";
        QTest::newRow("zero-byte file") << "empty"
                                        << "Can't open input stream.\n"
                                        << "Could not open video file";
        QTest::newRow("random bytes named .mp4") << "random"
                                                 << ""
                                                 << "";
        QTest::newRow("MP4 cut before its index") << "truncated"
                                                  << "Can't open input stream.\n"
                                                  << "Could not open video file";
        QTest::newRow("audio-only file") << "audio"
                                         << "Don't find video stream.\n"
                                         << "No video stream found";
    }

    void badInput()
    {
        QFETCH(QString, kind);
        QFETCH(QString, playMessage);
        QFETCH(QString, thumbnailMessage);
        MediaLogCapture log;
        QString file;
        if (kind == QLatin1String("missing")) {
            file = path("does-not-exist.mp4");
        } else if (kind == QLatin1String("empty")) {
            file = path("empty.mp4");
            QFile empty(file);
            QVERIFY(empty.open(QIODevice::WriteOnly | QIODevice::Truncate));
        } else if (kind == QLatin1String("random")) {
            file = path("random.mp4");
            QVERIFY(writeRandomBytes(file, 64 * 1024, 7));
        } else if (kind == QLatin1String("truncated")) {
            file = path("truncated.mp4");
            QVERIFY(QFile::copy(m_clip30, file) || QFile::exists(file));
            QVERIFY(truncateFile(file, 0.5));
        } else {
            file = path("audio.wav");
            QVERIFY(writeWav(file, 500));
        }
        const QStringList openingMessages{"Can't open input stream.\n", "Can't find stream information.\n",
                                          "Don't find video stream.\n", "Don't find video codec.\n",
                                          "Can't open video codec.\n"};

        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setCycleMode(1);
        player.setFile(file);
        player.play();
        if (!playMessage.isEmpty()) {
            QTRY_VERIFY(log.contains(playMessage));
        } else {
            QTRY_VERIFY(std::any_of(openingMessages.begin(), openingMessages.end(),
                                    [&log](const QString& m) { return log.contains(m); }));
        }
        QTRY_VERIFY(player.isIdle());
        settle();
        QVERIFY(recorder.indices.isEmpty());
        QVERIFY(recorder.statuses.isEmpty());

        QVERIFY(VideoPlayer::grabFrame(file, 0.0).isNull());
        QVERIFY(VideoPlayer::grabFrame(file, 0.5).isNull());
        log.clear();
        QVERIFY(player.extractTimelineThumbnails(file).isEmpty());
        if (!thumbnailMessage.isEmpty()) {
            QVERIFY(log.contains(thumbnailMessage));
        }

        // Idle and reusable.
        player.setFile(m_short);
        player.play();
        QTRY_COMPARE(recorder.statuses.size(), 1);
        QCOMPARE(recorder.indices.size(), 15);
    }

    void mediaDataCutShortPlaysWhatIsThere()
    {
        ClipRecipe recipe;
        recipe.frameCount = 45;
        recipe.indexAtFront = true;
        const QString file = makeClip("front-index.mp4", recipe);
        QVERIFY(truncateFile(file, 0.6));
        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setCycleMode(1);
        player.setFile(file);
        player.play();
        QTRY_VERIFY(player.isIdle() && (!recorder.statuses.isEmpty() || !recorder.indices.isEmpty()));
        QTRY_VERIFY(player.isIdle());
        settle();
        QVERIFY(!recorder.indices.isEmpty());
        QCOMPARE(recorder.indices.first(), 0);
        QVERIFY(recorder.indices.last() < 44);
        // Grabs and thumbnails of the damaged file do not crash; the start is still there.
        QCOMPARE(readFrameIndex(VideoPlayer::grabFrame(file, 0.0)), 0);
        VideoPlayer::grabFrame(file, 0.9);
        player.extractTimelineThumbnails(file);
    }

    void decoderWithoutHardwareConfigurationDecodesInSoftware()
    {
        MediaLogCapture log;
        ClipRecipe recipe;
        recipe.codec = VideoCodec::Ffv1;
        recipe.frameCount = 5;
        const QString file = makeClip("lossless.mkv", recipe);
        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setCycleMode(1);
        player.setFile(file);
        player.play();
        QTRY_COMPARE(recorder.statuses.size(), 1);
        QVERIFY(log.contains(QString::fromUtf8("打开硬件解码器失败！")));
        QCOMPARE(recorder.indices, (QList<int>{0, 1, 2, 3, 4}));
    }

    void stopCancelsARunStillQueued()
    {
        VideoPlayer player;
        PlaybackRecorder recorder(player);
        player.setCycleMode(1);
        // The first run is asked for and stopped before the worker can have begun it; only the
        // second file may play.
        player.setFile(m_wide);
        player.play();
        player.stop();
        player.setFile(m_short);
        player.play();
        QTRY_COMPARE(recorder.statuses.size(), 1);
        QCOMPARE(recorder.indices.size(), 15);
        for (const QSize& size : recorder.sizes) {
            QCOMPARE(size, QSize(160, 96));
        }
    }

    void busyOwnerDoesNotPileUpFrames()
    {
        MockClock clock;
        VideoPlayer player(clock);
        PlaybackRecorder recorder(player);
        player.setFile(m_clip20s);
        player.play();
        QVERIFY(clock.advanceUntil([&recorder] { return recorder.indices.size() >= 2; }, kFrameStepUs));
        // The GUI thread is busy for 3 s (90 frames' worth) without taking events: about a second
        // of pictures waits for it, the rest is dropped.
        const int before = recorder.indices.size();
        clock.advanceUs(3'000'000);
        QVERIFY(clock.waitForSleeper());
        QCoreApplication::processEvents();
        const int delivered = recorder.indices.size() - before;
        QVERIFY2(delivered <= 32, qPrintable(QString::number(delivered)));
        // Playback goes on at the clip's pace from where the clock is.
        const int resumedAt = recorder.indices.size();
        QVERIFY(clock.advanceUntil([&] { return recorder.indices.size() >= resumedAt + 5; }, kFrameStepUs));
        QVERIFY(recorder.indices.last() > recorder.indices.at(before - 1) + 85);
        player.stop();
    }

    void pauseHoldsThePlaybackClock_data()
    {
        QTest::addColumn<int>("steps");
        QTest::newRow("a 5 s pause in one step: the next frame is still a frame away") << 1;
        QTest::newRow("a 5 s pause in 7 ms steps: the next frame is still a frame away") << 714;
    }

    void pauseHoldsThePlaybackClock()
    {
        QFETCH(int, steps);
        MockClock clock;
        VideoPlayer player(clock);
        PlaybackRecorder recorder(player);
        player.setFile(m_clip20s);
        player.play();
        QVERIFY(clock.advanceUntil([&recorder] { return recorder.indices.contains(10); }, kFrameStepUs));
        QCOMPARE(recorder.indices.last(), 10);

        player.pause();
        QVERIFY(clock.waitForSleeper());
        for (int i = 0; i < steps; ++i) {
            clock.advanceUs(5'000'000 / steps);
            QVERIFY(clock.waitForSleeper());
        }
        player.play(); // resumes this run (the run it also queues is cancelled by stop())
        QVERIFY(clock.waitForSleeper());
        QCoreApplication::processEvents();
        QCOMPARE(recorder.indices.last(), 10);

        clock.advanceUs(kFrameStepUs);
        QVERIFY(clock.waitForSleeper());
        QCoreApplication::processEvents();
        QCOMPARE(recorder.indices.mid(recorder.indices.indexOf(10)), (QList<int>{10, 11}));
        player.stop();
    }

    void destroyingAPlayingPlayerStopsIt()
    {
        auto player = std::make_unique<VideoPlayer>();
        PlaybackRecorder recorder(*player);
        player->setFile(m_clip20s);
        player->play();
        QTRY_VERIFY(!recorder.indices.isEmpty());
        player.reset();
        settle();
        QVERIFY(recorder.statuses.isEmpty());
    }
};

QTEST_MAIN(TestVideoPlayer)
#include "TestVideoPlayer.moc"
