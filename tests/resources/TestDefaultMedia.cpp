// The default media in the program folder's Default/: all eight files are there in their
// orientation's frame size, the animations loop without a visible jump, the videos are H.264
// that FFmpeg decodes, and the clock backgrounds put their dial where the analog clock turns.

#include "tests/support/TestSupport.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>
#include <QtMath>
#include <QtTest>

#include <cmath>

namespace {

const QSize kLandscape(800, 480);
const QSize kPortrait(480, 800);

QString defaultFile(const QString& name)
{
    return TestSupport::programFile(QStringLiteral("Default/") + name);
}

// Mean absolute difference of two equally sized pictures, 0..255 per channel.
double meanDifference(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0.0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const QRgb* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            sum += std::abs(qRed(p[col]) - qRed(q[col])) + std::abs(qGreen(p[col]) - qGreen(q[col])) +
                   std::abs(qBlue(p[col]) - qBlue(q[col]));
        }
    }
    return sum / (3.0 * x.width() * x.height());
}

// Checks that the step from the last frame back to the first is no bigger than the steps
// between neighbouring frames: the loop has no seam. Also that the picture moves at all.
void verifySeamlessLoop(const QVector<QImage>& frames)
{
    QVERIFY(frames.size() >= 10);
    double largestStep = 0.0;
    for (int i = 1; i < frames.size(); ++i)
        largestStep = std::max(largestStep, meanDifference(frames[i - 1], frames[i]));
    const double seam = meanDifference(frames.last(), frames.first());
    QVERIFY2(largestStep > 0.01, "the animation does not move");
    QVERIFY2(seam <= largestStep * 1.5 + 0.05,
             qPrintable(QStringLiteral("loop seam %1 against largest step %2").arg(seam).arg(largestStep)));
}

// A designed picture, not a flat fill: it has a real spread of brightness.
void verifyNotFlat(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int darkest = 255, brightest = 0;
    for (int y = 0; y < rgb.height(); y += 4) {
        for (int x = 0; x < rgb.width(); x += 4) {
            const int v = qGray(rgb.pixel(x, y));
            darkest = std::min(darkest, v);
            brightest = std::max(brightest, v);
        }
    }
    QVERIFY2(brightest - darkest > 60, "the picture is nearly flat");
    QVERIFY2(darkest < 40, "the picture lacks the dark ground of the interface");
}

QString ffmpegTool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// Decodes the frames of a video (all, or the first `maxFrames`), scaled to `size`, through the
// ffmpeg command line.
QVector<QImage> decodeVideo(const QString& path, QSize size, int maxFrames = 0)
{
    QStringList arguments{"-v", "error", "-i", path};
    if (maxFrames > 0)
        arguments << "-frames:v" << QString::number(maxFrames);
    arguments << "-vf" << QStringLiteral("scale=%1:%2").arg(size.width()).arg(size.height());
    arguments << "-f"
              << "rawvideo"
              << "-pix_fmt"
              << "rgb24"
              << "-";
    QProcess ffmpeg;
    ffmpeg.start(ffmpegTool("ffmpeg"), arguments);
    ffmpeg.waitForFinished(60000);
    const QByteArray data = ffmpeg.readAllStandardOutput();
    const int frameBytes = size.width() * size.height() * 3;
    QVector<QImage> frames;
    for (int at = 0; at + frameBytes <= data.size(); at += frameBytes) {
        QImage frame(reinterpret_cast<const uchar*>(data.constData() + at), size.width(), size.height(),
                     size.width() * 3, QImage::Format_RGB888);
        frames.push_back(frame.copy());
    }
    return frames;
}

} // namespace

class TestDefaultMedia : public QObject
{
    Q_OBJECT

private slots:
    void fileExistsInFrameSize_data();
    void fileExistsInFrameSize();
    void gifLoopsForeverWithoutSeam_data();
    void gifLoopsForeverWithoutSeam();
    void videoIsLoopingH264_data();
    void videoIsLoopingH264();
    void clockDialIsCentredWhereTheClockTurns_data();
    void clockDialIsCentredWhereTheClockTurns();
};

void TestDefaultMedia::fileExistsInFrameSize_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("fallback video, landscape") << "defaultbgH.mp4" << kLandscape;
    QTest::newRow("fallback video, portrait") << "defaultbgV.mp4" << kPortrait;
    QTest::newRow("clock background, landscape") << "defaultbgClockH.jpg" << kLandscape;
    QTest::newRow("clock background, portrait") << "defaultbgClockV.jpg" << kPortrait;
    QTest::newRow("library item 1, landscape") << "defaultbgHW01H.gif" << kLandscape;
    QTest::newRow("library item 1, portrait") << "defaultbgHW01V.gif" << kPortrait;
    QTest::newRow("library item 2, landscape") << "defaultbgHW02H.gif" << kLandscape;
    QTest::newRow("library item 2, portrait") << "defaultbgHW02V.gif" << kPortrait;
}

void TestDefaultMedia::fileExistsInFrameSize()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QString path = defaultFile(name);
    QVERIFY2(QFile::exists(path), qPrintable(path + QStringLiteral(" is missing")));
    QVERIFY2(QFileInfo(path).size() > 10 * 1024, "the file is suspiciously small");

    if (name.endsWith(QStringLiteral(".mp4"))) {
        if (ffmpegTool("ffprobe").isEmpty())
            VORTANE_SKIP("ffprobe is not installed (Debian package ffmpeg)");
        QProcess probe;
        probe.start(ffmpegTool("ffprobe"),
                    {"-v", "error", "-select_streams", "v:0", "-show_entries", "stream=codec_name,width,height,pix_fmt",
                     "-of", "default=noprint_wrappers=1", path});
        QVERIFY(probe.waitForFinished(30000));
        const QString out = QString::fromUtf8(probe.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("codec_name=h264")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("pix_fmt=yuv420p")), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("width=%1").arg(size.width())), qPrintable(out));
        QVERIFY2(out.contains(QStringLiteral("height=%1").arg(size.height())), qPrintable(out));
        const QVector<QImage> first = decodeVideo(path, size, 1);
        QVERIFY2(!first.isEmpty(), "FFmpeg decodes no frame");
        verifyNotFlat(first.first());
        return;
    }

    QImageReader reader(path);
    QCOMPARE(reader.size(), size);
    const QImage first = reader.read();
    QVERIFY2(!first.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(first.size(), size);
    verifyNotFlat(first);
}

void TestDefaultMedia::gifLoopsForeverWithoutSeam_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("library item 1, landscape") << "defaultbgHW01H.gif" << kLandscape;
    QTest::newRow("library item 1, portrait") << "defaultbgHW01V.gif" << kPortrait;
    QTest::newRow("library item 2, landscape") << "defaultbgHW02H.gif" << kLandscape;
    QTest::newRow("library item 2, portrait") << "defaultbgHW02V.gif" << kPortrait;
}

void TestDefaultMedia::gifLoopsForeverWithoutSeam()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QImageReader reader(defaultFile(name));
    QVERIFY(reader.supportsAnimation());
    QCOMPARE(reader.loopCount(), -1); // forever
    QVector<QImage> frames;
    while (reader.canRead()) {
        const QImage frame = reader.read();
        if (frame.isNull())
            break;
        QCOMPARE(frame.size(), size);
        QVERIFY2(reader.nextImageDelay() >= 20, "frames too short for players that clamp small delays");
        // Later frames store only what changed; composed on the frames before, every frame is whole.
        const QImage argb = frame.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < argb.height(); y += 3) {
            const QRgb* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
            for (int x = 0; x < argb.width(); ++x) {
                if (qAlpha(line[x]) != 255)
                    QFAIL(
                        qPrintable(QStringLiteral("frame %1 has a hole at (%2, %3)").arg(frames.size()).arg(x).arg(y)));
            }
        }
        frames.push_back(frame.scaled(size / 4, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    QCOMPARE(frames.size(), reader.imageCount());
    verifySeamlessLoop(frames);
}

void TestDefaultMedia::videoIsLoopingH264_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("fallback video, landscape") << "defaultbgH.mp4" << kLandscape;
    QTest::newRow("fallback video, portrait") << "defaultbgV.mp4" << kPortrait;
}

void TestDefaultMedia::videoIsLoopingH264()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    if (ffmpegTool("ffmpeg").isEmpty())
        VORTANE_SKIP("ffmpeg is not installed");
    const QVector<QImage> frames = decodeVideo(defaultFile(name), size / 8);
    // A few seconds at 30 frames per second.
    QVERIFY2(frames.size() >= 60 && frames.size() <= 300, qPrintable(QString::number(frames.size())));
    verifySeamlessLoop(frames);
}

void TestDefaultMedia::clockDialIsCentredWhereTheClockTurns_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::newRow("landscape") << "defaultbgClockH.jpg" << kLandscape;
    QTest::newRow("portrait") << "defaultbgClockV.jpg" << kPortrait;
}

void TestDefaultMedia::clockDialIsCentredWhereTheClockTurns()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    const QImage image = QImage(defaultFile(name)).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(image.size(), size);
    // The analog clock is a 320 x 320 picture centred on the screen; its hands turn around the
    // screen centre. In every direction the dial's rim (its brightest ring between 100 and 200 px
    // out) must lie at the same distance, just inside 160 px. The directions fall midway between
    // the minute marks.
    const QPointF centre(size.width() / 2, size.height() / 2);
    for (const double degrees : {3.0, 93.0, 183.0, 273.0, 45.0, 225.0}) {
        const double a = qDegreesToRadians(degrees);
        int rimAt = 0, rimValue = -1;
        for (int r = 100; r <= 200; ++r) {
            const QPointF at = centre + QPointF(std::cos(a), std::sin(a)) * r;
            const int blue = qBlue(image.pixel(at.toPoint()));
            if (blue > rimValue) {
                rimValue = blue;
                rimAt = r;
            }
        }
        QVERIFY2(rimAt >= 148 && rimAt <= 160,
                 qPrintable(QStringLiteral("rim at %1 px at %2 degrees").arg(rimAt).arg(degrees)));
        QVERIFY2(rimValue > 100, "the dial's rim is not drawn in a light colour");
    }
    // Where the hands sweep (out to 95 px) the face stays dark, so the light hands read clearly.
    int brightest = 0;
    for (int y = -95; y <= 95; ++y) {
        for (int x = -95; x <= 95; ++x) {
            const int r2 = x * x + y * y;
            if (r2 < 14 * 14 || r2 > 95 * 95)
                continue; // the hub under the hands is allowed to be bright
            brightest = std::max(brightest, qGray(image.pixel(centre.toPoint() + QPoint(x, y))));
        }
    }
    QVERIFY2(brightest < 90, qPrintable(QStringLiteral("hand area brightness %1").arg(brightest)));
}

QTEST_GUILESS_MAIN(TestDefaultMedia)
#include "TestDefaultMedia.moc"
