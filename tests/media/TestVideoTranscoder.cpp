// The transcode of a library video: fixture clips made here are cut, turned and trimmed, and the
// written file is decoded again to check its size, codec, container, length, frames and picture.
// A failed or cancelled transcode leaves nothing in the folder.

#include "MediaLogCapture.h"
#include "media/FFmpegPtr.h"
#include "media/MediaFiles.h"
#include "media/VideoPlayer.h"
#include "media/VideoTranscoder.h"
#include "tests/support/media/MediaFixtures.h"

#include <QDir>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace vortane::test;
using vortane::media::FrameRate;
using vortane::media::VideoTranscoder;

Q_DECLARE_METATYPE(vortane::test::Corner)

namespace {

// What a written file holds, read back with FFmpeg.
struct WrittenVideo
{
    QString container;
    QString codec;
    QSize size;
    int videoStreams = 0;
    int otherStreams = 0;
    int packets = 0;
    qint64 durationUs = 0;
    bool globalHeader = false; // codec set-up in the stream header (extradata)
    int framesPerSecond = 0;
};

WrittenVideo inspect(const QString& path)
{
    WrittenVideo facts;
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, path.toUtf8().constData(), nullptr, nullptr) < 0) {
        return facts;
    }
    vortane::ffmpeg::FormatContextPtr format(raw);
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        return facts;
    }
    facts.container = QString::fromLatin1(format->iformat->name);
    int videoIndex = -1;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVCodecParameters* parameters = format->streams[i]->codecpar;
        if (parameters->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++facts.videoStreams;
            videoIndex = int(i);
            facts.codec = QString::fromLatin1(avcodec_get_name(parameters->codec_id));
            facts.size = QSize(parameters->width, parameters->height);
            facts.globalHeader = parameters->extradata_size > 0;
            const AVRational rate = format->streams[i]->avg_frame_rate;
            facts.framesPerSecond = rate.den > 0 ? qRound(double(rate.num) / rate.den) : 0;
        } else {
            ++facts.otherStreams;
        }
    }
    facts.durationUs = format->duration;
    vortane::ffmpeg::PacketPtr packet = vortane::ffmpeg::makePacket();
    while (av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == videoIndex) {
            ++facts.packets;
        }
        av_packet_unref(packet.get());
    }
    return facts;
}

// A record that shows the whole picture of `pictureSize` on the frame (stretched).
MediaScaleRecord wholePicture(QSize pictureSize, QSize frame = QSize(800, 480))
{
    MediaScaleRecord record;
    record.width = frame.width();
    record.height = frame.height();
    record.canvasWidth = pictureSize.width();
    record.canvasHeight = pictureSize.height();
    record.ratio = 1.0;
    return record;
}

// Mean difference of the colour channels of two pictures of one size, 0..255.
double meanDifference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull()) {
        return 255.0;
    }
    qint64 sum = 0;
    qint64 samples = 0;
    for (int y = 0; y < a.height(); y += 2) {
        for (int x = 0; x < a.width(); x += 2) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            sum += qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q));
            samples += 3;
        }
    }
    return double(sum) / double(samples);
}

bool isRed(QRgb pixel)
{
    return qRed(pixel) > 180 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}

} // namespace

class TestVideoTranscoder : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString makeClip(const QString& name, const ClipRecipe& recipe)
    {
        const QString path = m_dir.filePath(name);
        if (!QFileInfo::exists(path) && !writeClip(path, recipe)) {
            return {};
        }
        return path;
    }
    // A fresh folder for one output; its listing shows leftovers, hidden files included.
    QString outputFolder(const QString& name)
    {
        const QString folder = m_dir.filePath(QStringLiteral("out-") + name);
        QDir().mkpath(folder);
        return folder;
    }
    static QStringList everythingIn(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }
    static bool ffmpegTool() { return !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty(); }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void frameRateFallback_data()
    {
        QTest::addColumn<int>("realNum");
        QTest::addColumn<int>("realDen");
        QTest::addColumn<int>("averageNum");
        QTest::addColumn<int>("averageDen");
        QTest::addColumn<int>("expectedNum");
        QTest::addColumn<int>("expectedDen");
        QTest::newRow("real rate is used") << 30000 << 1001 << 25 << 1 << 30000 << 1001;
        QTest::newRow("unknown real rate 0/0 takes the average") << 0 << 0 << 24 << 1 << 24 << 1;
        QTest::newRow("neither known gives 25") << 0 << 0 << 0 << 0 << 25 << 1;
        QTest::newRow("a timer resolution is no frame rate") << 90000 << 1 << 30 << 1 << 30 << 1;
        QTest::newRow("negative parts are unknown") << -1 << 1 << 0 << 1 << 25 << 1;
    }

    void frameRateFallback()
    {
        QFETCH(int, realNum);
        QFETCH(int, realDen);
        QFETCH(int, averageNum);
        QFETCH(int, averageDen);
        QFETCH(int, expectedNum);
        QFETCH(int, expectedDen);
        const FrameRate rate = vortane::media::transcodeFrameRate({realNum, realDen}, {averageNum, averageDen});
        QCOMPARE(rate.num, expectedNum);
        QCOMPARE(rate.den, expectedDen);
    }

    void containerAndSize_data()
    {
        QTest::addColumn<QString>("outputName");
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QString>("container");
        QTest::addColumn<bool>("globalHeader");
        QTest::newRow("landscape .mp4 is MP4 with global header")
            << "out.mp4" << QSize(800, 480) << "mov,mp4,m4a,3gp,3g2,mj2" << true;
        QTest::newRow("portrait .mp4 is 480 x 800")
            << "tall.mp4" << QSize(480, 800) << "mov,mp4,m4a,3gp,3g2,mj2" << true;
        QTest::newRow("landscape .avi is AVI holding H.264") << "out.avi" << QSize(800, 480) << "avi" << false;
        QTest::newRow("upper-case suffix .MP4 is MP4")
            << "OUT.MP4" << QSize(800, 480) << "mov,mp4,m4a,3gp,3g2,mj2" << true;
    }

    void containerAndSize()
    {
        QFETCH(QString, outputName);
        QFETCH(QSize, frame);
        QFETCH(QString, container);
        QFETCH(bool, globalHeader);
        ClipRecipe recipe;
        recipe.width = 320;
        recipe.height = 180;
        recipe.frameCount = 20;
        const QString source = makeClip(QStringLiteral("container.mp4"), recipe);
        QVERIFY(!source.isEmpty());
        const QString output = outputFolder(outputName) + QLatin1Char('/') + outputName;

        VideoTranscoder transcoder;
        QCOMPARE(transcoder.run(source, output, wholePicture(QSize(320, 180), frame)),
                 VideoTranscoder::Result::Finished);
        const WrittenVideo written = inspect(output);
        QCOMPARE(written.container, container);
        QCOMPARE(written.codec, QStringLiteral("h264"));
        QCOMPARE(written.size, frame);
        QCOMPARE(written.packets, 20);
        if (globalHeader) {
            QVERIFY(written.globalHeader);
        }
        QCOMPARE(everythingIn(QFileInfo(output).absolutePath()), QStringList{outputName});
        // An ordinary file, not one private like the temporary name it was written under.
        QVERIFY(QFileInfo(output).permissions() & QFileDevice::ReadOther);
    }

    void trim_data()
    {
        QTest::addColumn<int>("fps");
        QTest::addColumn<int>("frameCount");
        QTest::addColumn<double>("startPos");
        QTest::addColumn<double>("endPos");
        QTest::addColumn<int>("firstIndex");
        QTest::addColumn<int>("lastIndex");
        // Frame i lies at i / fps seconds; the range is [length x start, length x end).
        QTest::newRow("whole clip") << 25 << 50 << 0.0 << 1.0 << 0 << 49;
        QTest::newRow("middle half of 4 s") << 25 << 100 << 0.25 << 0.75 << 25 << 74;
        QTest::newRow("10.9 s at 0.5 .. 0.9975 keeps the last partial second")
            << 10 << 109 << 0.5 << 0.9975 << 55 << 108;
        QTest::newRow("clip shorter than a second") << 25 << 20 << 0.5 << 1.0 << 10 << 19;
    }

    void trim()
    {
        QFETCH(int, fps);
        QFETCH(int, frameCount);
        QFETCH(double, startPos);
        QFETCH(double, endPos);
        QFETCH(int, firstIndex);
        QFETCH(int, lastIndex);
        ClipRecipe recipe;
        recipe.width = 320;
        recipe.height = 192;
        recipe.fps = fps;
        recipe.frameCount = frameCount;
        recipe.keyFrameInterval = 10;
        const QString source = makeClip(QStringLiteral("trim-%1-%2.mp4").arg(fps).arg(frameCount), recipe);
        QVERIFY(!source.isEmpty());
        const QString output = outputFolder(QTest::currentDataTag()) + QStringLiteral("/trimmed.mp4");
        MediaScaleRecord record = wholePicture(QSize(320, 192));
        record.startPos = startPos;
        record.endPos = endPos;

        QVector<int> progress;
        VideoTranscoder transcoder;
        transcoder.setProgressHandler([&](int percent) { progress.append(percent); });
        QCOMPARE(transcoder.run(source, output, record), VideoTranscoder::Result::Finished);

        const int expectedFrames = lastIndex - firstIndex + 1;
        const WrittenVideo written = inspect(output);
        QCOMPARE(written.packets, expectedFrames);
        QCOMPARE(written.framesPerSecond, fps);
        const qint64 expectedUs = qint64(expectedFrames) * 1'000'000 / fps;
        QVERIFY2(qAbs(written.durationUs - expectedUs) <= 1'000'000 / fps,
                 qPrintable(QStringLiteral("%1 us, expected %2 us").arg(written.durationUs).arg(expectedUs)));
        QCOMPARE(readFrameIndex(VideoPlayer::grabFrame(output, 0.0)), firstIndex);
        QCOMPARE(readFrameIndex(VideoPlayer::grabFrame(output, 1.0)), lastIndex);

        // One report per frame, rising, never 100 (which would close the progress dialog).
        QCOMPARE(progress.size(), expectedFrames);
        QVERIFY(std::is_sorted(progress.begin(), progress.end()));
        QVERIFY(progress.last() <= 99);
        QVERIFY(progress.last() >= 90);
        const qint64 lengthUs = qint64(frameCount) * 1'000'000 / fps;
        const qint64 endUs = qint64(lengthUs * endPos);
        QCOMPARE(progress.first(), int(qint64(firstIndex) * 1'000'000 / fps * 100 / endUs));
    }

    void picture_data()
    {
        QTest::addColumn<int>("displayAngle");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<double>("ratio");
        QTest::addColumn<int>("x");
        QTest::addColumn<QPointF>("redAt");
        QTest::addColumn<QPointF>("notRedAt");
        QTest::addColumn<Corner>("corner");
        // The source (320 x 192) has its marker on the top-left fifth of each side; x is where the
        // scaled picture's left edge lies on the canvas. Points are fractions of the written frame.
        QTest::newRow("whole picture keeps the marker top left")
            << 0 << 0 << 1.0 << 0 << QPointF(0.1, 0.1) << QPointF(0.3, 0.3) << Corner::TopLeft;
        QTest::newRow("zoom 2 on the top-left quarter doubles the marker")
            << 0 << 0 << 2.0 << 0 << QPointF(0.3, 0.3) << QPointF(0.5, 0.1) << Corner::TopLeft;
        QTest::newRow("zoom 2 on the top-right quarter shows no marker")
            << 0 << 0 << 2.0 << -320 << QPointF(-1, -1) << QPointF(0.1, 0.1) << Corner::None;
        QTest::newRow("dialog half turn puts it bottom right")
            << 0 << 2 << 1.0 << 0 << QPointF(0.9, 0.9) << QPointF(0.1, 0.1) << Corner::BottomRight;
        QTest::newRow("display matrix 180 is a half turn")
            << 180 << 0 << 1.0 << 0 << QPointF(0.9, 0.9) << QPointF(0.1, 0.1) << Corner::BottomRight;
        QTest::newRow("display matrix -180 is a half turn, not a mirror")
            << -180 << 0 << 1.0 << 0 << QPointF(0.9, 0.9) << QPointF(0.1, 0.9) << Corner::BottomRight;
        QTest::newRow("zoom 1.5 with the window inside the picture")
            << 0 << 0 << 1.5 << -160 << QPointF(-1, -1) << QPointF(0.1, 0.1) << Corner::None;
        QTest::newRow("zoom 0.5 leaves black borders")
            << 0 << 0 << 0.5 << 0 << QPointF(0.05, 0.05) << QPointF(0.9, 0.9) << Corner::TopLeft;
        QTest::newRow("display matrix 90 then a dialog quarter turn")
            << 90 << 1 << 1.0 << 0 << QPointF(0.1, 0.1) << QPointF(0.9, 0.9) << Corner::TopLeft;
    }

    void picture()
    {
        QFETCH(int, displayAngle);
        QFETCH(int, rotation);
        QFETCH(double, ratio);
        QFETCH(int, x);
        QFETCH(QPointF, redAt);
        QFETCH(QPointF, notRedAt);
        QFETCH(Corner, corner);
        ClipRecipe recipe;
        recipe.width = 320;
        recipe.height = 192;
        recipe.frameCount = 5;
        recipe.displayMatrixAngle = displayAngle;
        const QString source = makeClip(QStringLiteral("picture%1.mp4").arg(displayAngle), recipe);
        QVERIFY(!source.isEmpty());
        // The picture as the dialog sees it (upright), then turned by the dialog's quarter turns.
        const QSize upright = VideoPlayer::grabFrame(source, 0.0).size();
        const QSize turned = rotation % 2 ? upright.transposed() : upright;
        MediaScaleRecord record = wholePicture(turned);
        record.rotation = rotation;
        record.ratio = ratio;
        record.x = x;
        const QString output = outputFolder(QTest::currentDataTag()) + QStringLiteral("/picture.mp4");

        VideoTranscoder transcoder;
        QCOMPARE(transcoder.run(source, output, record), VideoTranscoder::Result::Finished);
        const QImage frame = VideoPlayer::grabFrame(output, 0.0);
        QCOMPARE(frame.size(), QSize(800, 480));
        QCOMPARE(cornerName(markerCorner(frame)), cornerName(corner));
        // What the crop dialog shows for the record (its picture rendered by the shared rule) is
        // what was encoded, up to the encoder's loss.
        const QImage framedInDialog = vortane::media::renderFrame(VideoPlayer::grabFrame(source, 0.0), record);
        const double difference = meanDifference(frame, framedInDialog);
        QVERIFY2(difference < 6.0, qPrintable(QString::number(difference)));
        const auto pixelAt = [&frame](QPointF at) {
            return frame.pixel(int(at.x() * frame.width()), int(at.y() * frame.height()));
        };
        if (redAt.x() >= 0) {
            QVERIFY(isRed(pixelAt(redAt)));
        }
        QVERIFY(!isRed(pixelAt(notRedAt)));
    }

    void oddSourceSize()
    {
        ClipRecipe recipe;
        recipe.width = 161;
        recipe.height = 97;
        recipe.frameCount = 8;
        recipe.codec = VideoCodec::Ffv1;
        const QString source = makeClip(QStringLiteral("odd.mkv"), recipe);
        QVERIFY(!source.isEmpty());
        const QString output = outputFolder(QStringLiteral("odd")) + QStringLiteral("/odd.mkv");
        VideoTranscoder transcoder;
        QCOMPARE(transcoder.run(source, output, wholePicture(QSize(161, 97))), VideoTranscoder::Result::Finished);
        const WrittenVideo written = inspect(output);
        QCOMPARE(written.codec, QStringLiteral("h264"));
        QCOMPARE(written.size, QSize(800, 480));
        QCOMPARE(written.packets, 8);
        QCOMPARE(cornerName(markerCorner(VideoPlayer::grabFrame(output, 0.0))), cornerName(Corner::TopLeft));
    }

    void audioIsDropped()
    {
        if (!ffmpegTool()) {
            QSKIP("the ffmpeg command makes the clip with sound");
        }
        const QString source = m_dir.filePath(QStringLiteral("with-audio.mp4"));
        QProcess ffmpeg;
        ffmpeg.start(QStringLiteral("ffmpeg"),
                     {"-v", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=320x180:rate=25:duration=2", "-f",
                      "lavfi", "-i", "sine=frequency=440:duration=2", "-c:v", "libx264", "-pix_fmt", "yuv420p", "-c:a",
                      "aac", "-shortest", source});
        QVERIFY(ffmpeg.waitForFinished(60000));
        QCOMPARE(ffmpeg.exitCode(), 0);
        QCOMPARE(inspect(source).otherStreams, 1);

        const QString output = outputFolder(QStringLiteral("audio")) + QStringLiteral("/silent.mp4");
        VideoTranscoder transcoder;
        QCOMPARE(transcoder.run(source, output, wholePicture(QSize(320, 180))), VideoTranscoder::Result::Finished);
        const WrittenVideo written = inspect(output);
        QCOMPARE(written.videoStreams, 1);
        QCOMPARE(written.otherStreams, 0);
        QCOMPARE(written.packets, 50);
    }

    void damagedTailKeepsTheFramesBeforeIt()
    {
        ClipRecipe recipe;
        recipe.width = 320;
        recipe.height = 192;
        recipe.frameCount = 60;
        recipe.keyFrameInterval = 10;
        const QString whole = makeClip(QStringLiteral("to-cut.mkv"), recipe);
        QVERIFY(!whole.isEmpty());
        const QString cut = m_dir.filePath(QStringLiteral("cut.mkv"));
        QFile::remove(cut);
        QVERIFY(QFile::copy(whole, cut));
        QVERIFY(truncateFile(cut, 0.5));
        const QString output = outputFolder(QStringLiteral("cut")) + QStringLiteral("/cut.mp4");
        VideoTranscoder transcoder;
        QCOMPARE(transcoder.run(cut, output, wholePicture(QSize(320, 192))), VideoTranscoder::Result::Finished);
        const int frames = inspect(output).packets;
        QVERIFY2(frames > 0 && frames < 60, qPrintable(QString::number(frames)));
        QCOMPARE(readFrameIndex(VideoPlayer::grabFrame(output, 0.0)), 0);
    }

    void failureLeavesNoFile_data()
    {
        QTest::addColumn<QString>("sourceKind");
        QTest::addColumn<QString>("logText");
        QTest::newRow("random bytes") << "random"
                                      << "Can't open input stream.\n";
        QTest::newRow("missing file") << "missing"
                                      << "Can't open input stream.\n";
        QTest::newRow("sound without picture") << "wav"
                                               << "Don't find video stream.\n";
        QTest::newRow("trim range holding no frame") << "empty-range"
                                                     << "";
    }

    void failureLeavesNoFile()
    {
        QFETCH(QString, sourceKind);
        QFETCH(QString, logText);
        QString source = m_dir.filePath(sourceKind);
        MediaScaleRecord record = wholePicture(QSize(320, 192));
        if (sourceKind == QLatin1String("random")) {
            QVERIFY(writeRandomBytes(source, 40000, 7));
        } else if (sourceKind == QLatin1String("wav")) {
            source += QStringLiteral(".wav");
            QVERIFY(writeWav(source, 500));
        } else if (sourceKind == QLatin1String("empty-range")) {
            ClipRecipe recipe;
            recipe.width = 320;
            recipe.height = 192;
            recipe.frameCount = 10;
            source = makeClip(QStringLiteral("short.mp4"), recipe);
            record.startPos = 0.5;
            record.endPos = 0.5;
        }
        const QString folder = outputFolder(QTest::currentDataTag());
        MediaLogCapture log;
        VideoTranscoder transcoder;
        QCOMPARE(transcoder.run(source, folder + QStringLiteral("/out.mp4"), record), VideoTranscoder::Result::Failed);
        QCOMPARE(everythingIn(folder), QStringList());
        if (!logText.isEmpty()) {
            QVERIFY2(log.contains(logText), qPrintable(log.messages().join(QLatin1Char('|'))));
        }
    }

    void existingOutputIsNeverReplaced()
    {
        ClipRecipe recipe;
        recipe.width = 320;
        recipe.height = 192;
        recipe.frameCount = 5;
        const QString source = makeClip(QStringLiteral("five.mp4"), recipe);
        const QString folder = outputFolder(QStringLiteral("taken"));
        const QString output = folder + QStringLiteral("/taken.mp4");
        QFile taken(output);
        QVERIFY(taken.open(QIODevice::WriteOnly));
        taken.write("keep");
        taken.close();
        VideoTranscoder transcoder;
        QCOMPARE(transcoder.run(source, output, wholePicture(QSize(320, 192))), VideoTranscoder::Result::Failed);
        QCOMPARE(everythingIn(folder), QStringList{QStringLiteral("taken.mp4")});
        QVERIFY(taken.open(QIODevice::ReadOnly));
        QCOMPARE(taken.readAll(), QByteArray("keep"));
    }

    void cancelLeavesNoFile_data()
    {
        QTest::addColumn<int>("cancelAfterFrames");
        QTest::newRow("before the run") << 0;
        QTest::newRow("after three frames") << 3;
    }

    void cancelLeavesNoFile()
    {
        QFETCH(int, cancelAfterFrames);
        ClipRecipe recipe;
        recipe.width = 320;
        recipe.height = 192;
        recipe.frameCount = 30;
        const QString source = makeClip(QStringLiteral("cancel.mp4"), recipe);
        const QString folder = outputFolder(QTest::currentDataTag());
        VideoTranscoder transcoder;
        int reports = 0;
        transcoder.setProgressHandler([&](int) {
            if (++reports == cancelAfterFrames) {
                transcoder.cancel();
            }
        });
        if (cancelAfterFrames == 0) {
            transcoder.cancel();
        }
        QCOMPARE(transcoder.run(source, folder + QStringLiteral("/out.mp4"), wholePicture(QSize(320, 192))),
                 VideoTranscoder::Result::Cancelled);
        QCOMPARE(reports, cancelAfterFrames);
        QCOMPARE(everythingIn(folder), QStringList());
    }

    void playerForwardsProgressAndCancel()
    {
        ClipRecipe recipe;
        recipe.width = 320;
        recipe.height = 192;
        recipe.frameCount = 30;
        const QString source = makeClip(QStringLiteral("player.mp4"), recipe);
        const QString folder = outputFolder(QStringLiteral("player"));
        VideoPlayer player;
        QSignalSpy progress(&player, &VideoPlayer::CroppingProgressbarImage);
        QVERIFY(player.transcodeVideo(source, folder + QStringLiteral("/done.mp4"), wholePicture(QSize(320, 192))));
        QCOMPARE(progress.size(), 30);
        QVERIFY(progress.last().first().toInt() < 100);

        // A handler of an event processed during the transcode stops it.
        connect(&player, &VideoPlayer::CroppingProgressbarImage, &player, [&player](int percent) {
            if (percent >= 20) {
                player.cancelTranscode();
            }
        });
        QVERIFY(!player.transcodeVideo(source, folder + QStringLiteral("/stopped.mp4"), wholePicture(QSize(320, 192))));
        QCOMPARE(everythingIn(folder), QStringList{QStringLiteral("done.mp4")});
    }
};

QTEST_MAIN(TestVideoTranscoder)
#include "TestVideoTranscoder.moc"
