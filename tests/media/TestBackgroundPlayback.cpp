#include "media/BackgroundPlayback.h"
#include "media/VideoPlayer.h"
#include "media/gifThread.h"
#include "tests/support/media/MediaFixtures.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

namespace {

MediaScaleRecord frameRecord(int width, int height)
{
    return MediaScaleRecord::defaultMedium(width, height);
}

QList<QSize> sizesOf(const QSignalSpy& spy, int from = 0)
{
    QList<QSize> sizes;
    for (int i = from; i < spy.count(); ++i)
        sizes << spy.at(i).at(0).value<QImage>().size();
    return sizes;
}

} // namespace

// The preview's playback: frames at device resolution, end reports per medium and cycle mode,
// and nothing of a previous medium after a switch.
class TestBackgroundPlayback final : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;
    QString still;
    QString gif;
    QString clip;
    QString portraitClip;
    QString brokenClip;
    QString brokenGif;

private slots:
    void initTestCase()
    {
        still = folder.filePath(QStringLiteral("still.png"));
        QImage picture(400, 240, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QVERIFY(picture.save(still));
        gif = folder.filePath(QStringLiteral("anim.gif"));
        vortane::test::GifRecipe recipe;
        recipe.frameCount = 4;
        QVERIFY(vortane::test::writeGif(gif, recipe));
        clip = folder.filePath(QStringLiteral("clip.mp4"));
        vortane::test::ClipRecipe landscape;
        landscape.width = 160;
        landscape.height = 96;
        landscape.frameCount = 6; // 0.2 s
        QVERIFY(vortane::test::writeClip(clip, landscape));
        portraitClip = folder.filePath(QStringLiteral("portrait.mp4"));
        vortane::test::ClipRecipe portrait = landscape;
        portrait.width = 96;
        portrait.height = 160;
        portrait.frameCount = 90;
        QVERIFY(vortane::test::writeClip(portraitClip, portrait));
        brokenClip = folder.filePath(QStringLiteral("broken.mp4"));
        QVERIFY(vortane::test::writeRandomBytes(brokenClip, 8192, 3));
        brokenGif = folder.filePath(QStringLiteral("broken.gif"));
        QVERIFY(vortane::test::writeRandomBytes(brokenGif, 512, 4));
        qRegisterMetaType<QImage>("QImage");
    }

    // Each medium shows frames of the record's size; in list mode each ends with one mediaOver().
    void playsAndEndsInListMode_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("frame");
        QTest::newRow("still picture, landscape") << "still.png" << QSize(800, 480);
        QTest::newRow("GIF, portrait") << "anim.gif" << QSize(480, 800);
        QTest::newRow("video, landscape") << "clip.mp4" << QSize(800, 480);
        QTest::newRow("video, upper-case suffix") << "CLIP.MP4" << QSize(800, 480);
    }
    void playsAndEndsInListMode()
    {
        QFETCH(QString, name);
        QFETCH(QSize, frame);
        const QString path = folder.filePath(name);
        if (!QFile::exists(path))
            QVERIFY(QFile::copy(folder.filePath(name.toLower()), path));
        BackgroundPlayback playback;
        playback.setStillIntervalMs(20);
        playback.setCycleMode(1);
        QSignalSpy frames(&playback, &BackgroundPlayback::frameReady);
        QSignalSpy over(&playback, &BackgroundPlayback::mediaOver);
        playback.start(path, frameRecord(frame.width(), frame.height()));
        QTRY_COMPARE_WITH_TIMEOUT(over.count(), 1, 10000);
        QVERIFY(!frames.isEmpty());
        for (const QSize& size : sizesOf(frames))
            QCOMPARE(size, frame);
        QVERIFY(!playback.isPlaying());
    }

    // In one-item mode nothing ends: a still stays, a GIF and a video loop.
    void oneItemModeNeverEnds_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("still") << "still.png";
        QTest::newRow("GIF") << "anim.gif";
        QTest::newRow("video") << "clip.mp4";
    }
    void oneItemModeNeverEnds()
    {
        QFETCH(QString, name);
        BackgroundPlayback playback;
        playback.setStillIntervalMs(10);
        playback.setCycleMode(0);
        QSignalSpy frames(&playback, &BackgroundPlayback::frameReady);
        QSignalSpy over(&playback, &BackgroundPlayback::mediaOver);
        playback.start(folder.filePath(name), frameRecord(800, 480));
        if (name.endsWith(QLatin1String(".png"))) {
            // The still's timer runs out and the picture simply stays.
            QTRY_VERIFY(!playback.stillTimerActive());
            QCOMPARE(frames.count(), 1);
        } else {
            // Frames keep coming past the end of the medium (4 GIF frames, 6 video frames).
            QTRY_VERIFY_WITH_TIMEOUT(frames.count() > 20, 10000);
        }
        QCOMPARE(over.count(), 0);
        QVERIFY(playback.isPlaying());
    }

    // A medium that shows nothing ends like one that played, after the pause, and shows black.
    void brokenMediumEndsAfterThePause_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("video that cannot be opened") << "broken.mp4";
        QTest::newRow("video file that is missing") << "gone.mp4";
        QTest::newRow("GIF that cannot be read") << "broken.gif";
    }
    void brokenMediumEndsAfterThePause()
    {
        QFETCH(QString, name);
        BackgroundPlayback playback;
        playback.setBrokenMediumPauseMs(30);
        playback.setCycleMode(2);
        QSignalSpy frames(&playback, &BackgroundPlayback::frameReady);
        QSignalSpy over(&playback, &BackgroundPlayback::mediaOver);
        playback.start(folder.filePath(name), frameRecord(480, 800));
        QTRY_COMPARE_WITH_TIMEOUT(over.count(), 1, 10000);
        QCOMPARE(frames.count(), 1);
        const QImage black = frames.at(0).at(0).value<QImage>();
        QCOMPARE(black.size(), QSize(480, 800));
        QCOMPARE(black.pixel(240, 400), qRgb(0, 0, 0));
        // It ends once: no further report follows from the broken medium.
        QTRY_VERIFY(!playback.isPlaying());
        QCOMPARE(over.count(), 1);
    }

    // A video that opens but never shows a picture is given up and does not keep a core busy.
    void videoWithoutPicturesIsGivenUp()
    {
        const QString audioOnly = folder.filePath(QStringLiteral("audio.mkv"));
        QVERIFY(vortane::test::writeWav(audioOnly, 500));
        BackgroundPlayback playback;
        playback.setBrokenMediumPauseMs(10);
        playback.setFirstVideoFrameLimitMs(200);
        playback.setCycleMode(1);
        QSignalSpy over(&playback, &BackgroundPlayback::mediaOver);
        playback.start(audioOnly, frameRecord(800, 480));
        QTRY_COMPARE_WITH_TIMEOUT(over.count(), 1, 10000);
        QTRY_VERIFY(playback.player()->isIdle());
    }

    // Frames the previous medium queued before the switch never reach the new one.
    void framesOfThePreviousMediumAreDropped()
    {
        BackgroundPlayback playback;
        playback.setCycleMode(0);
        QSignalSpy frames(&playback, &BackgroundPlayback::frameReady);
        playback.start(portraitClip, frameRecord(480, 800));
        QTRY_VERIFY_WITH_TIMEOUT(frames.count() > 2, 10000);
        // Let the player queue frames that this thread has not taken yet.
        QThread::msleep(200);
        const int before = frames.count();
        playback.start(still, frameRecord(800, 480));
        QCOMPARE(frames.count(), before + 1);
        QCoreApplication::processEvents();
        QTest::qWait(50);
        for (const QSize& size : sizesOf(frames, before))
            QCOMPARE(size, QSize(800, 480));
    }

    // Switching from a GIF to a video and back: every frame after a switch has the new medium's size.
    void switchingKeepsFrameSizes()
    {
        BackgroundPlayback playback;
        QSignalSpy frames(&playback, &BackgroundPlayback::frameReady);
        for (int round = 0; round < 3; ++round) {
            const int gifStart = frames.count();
            playback.start(gif, frameRecord(480, 800));
            QTRY_VERIFY(frames.count() > gifStart + 2);
            const int videoStart = frames.count();
            playback.start(clip, frameRecord(800, 480));
            QTRY_VERIFY_WITH_TIMEOUT(frames.count() > videoStart + 2, 10000);
            for (const QSize& size : sizesOf(frames, videoStart))
                QCOMPARE(size, QSize(800, 480));
        }
        playback.stop();
        QVERIFY(playback.player()->isIdle());
        QVERIFY(!playback.gif()->isRunning());
    }

    // The mode can change while a medium plays: a looping video then ends at its end.
    void switchingToListModeEndsALoopingVideo()
    {
        BackgroundPlayback playback;
        playback.setCycleMode(0);
        QSignalSpy frames(&playback, &BackgroundPlayback::frameReady);
        QSignalSpy over(&playback, &BackgroundPlayback::mediaOver);
        playback.start(clip, frameRecord(800, 480));
        QTRY_VERIFY_WITH_TIMEOUT(frames.count() > 10, 10000);
        playback.setCycleMode(1);
        QTRY_COMPARE_WITH_TIMEOUT(over.count(), 1, 10000);
    }

    void renderingUsesTheCurrentRecord()
    {
        BackgroundPlayback playback;
        MediaScaleRecord record = frameRecord(800, 480);
        record.canvasWidth = 400;
        record.canvasHeight = 240;
        playback.start(still, record);
        QImage source(200, 120, QImage::Format_RGB32);
        source.fill(Qt::green);
        const QImage frame = playback.renderWithCurrentRecord(source);
        QCOMPARE(frame.size(), QSize(800, 480));
        QCOMPARE(QColor(frame.pixel(100, 100)).green(), 255);
        QCOMPARE(frame.pixel(700, 400), qRgb(0, 0, 0));
    }
};

QTEST_MAIN(TestBackgroundPlayback)
#include "TestBackgroundPlayback.moc"
