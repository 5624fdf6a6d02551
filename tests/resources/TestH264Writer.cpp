// The H.264 writer that encodes the default videos: what it writes is a video FFmpeg reads back
// frame for frame, in the right size and colours; bad input is refused with a reason.

#include "media/H264Writer.h"
#include "tests/support/TestSupport.h"

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString tool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// Runs ffmpeg on `path` and returns every frame as raw RGB24 bytes.
QByteArray decodeRgb(const QString& path)
{
    QProcess ffmpeg;
    ffmpeg.start(tool("ffmpeg"), {"-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    ffmpeg.waitForFinished(30000);
    return ffmpeg.readAllStandardOutput();
}

QImage solid(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

class TestH264Writer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void writesFramesThatDecodeBack();
    void scalesFramesOfAnotherSize();
    void refusesBadOptions_data();
    void refusesBadOptions();
    void refusesFramesWhenNotOpen();
    void reportsUnwritableFile();

private:
    QTemporaryDir m_dir;
};

void TestH264Writer::initTestCase()
{
    QVERIFY(m_dir.isValid());
    QVERIFY2(H264Writer::encoderAvailable(), "FFmpeg has no libx264 encoder");
}

void TestH264Writer::writesFramesThatDecodeBack()
{
    if (tool("ffmpeg").isEmpty())
        VORTANE_SKIP("ffmpeg is not installed");
    const QString path = m_dir.filePath(QStringLiteral("colours.mp4"));
    const QSize size(64, 48);
    const QColor colours[] = {QColor(0, 168, 255), QColor(220, 40, 40), QColor(30, 200, 60), QColor(240, 240, 240)};
    H264Writer writer;
    H264Writer::Options options;
    options.frameSize = size;
    options.framesPerSecond = 10;
    options.constantRateFactor = 10;
    QVERIFY2(writer.open(path, options), qPrintable(writer.errorString()));
    for (const QColor& c : colours) {
        for (int i = 0; i < 3; ++i)
            QVERIFY2(writer.writeFrame(solid(size, c)), qPrintable(writer.errorString()));
    }
    QCOMPARE(writer.framesWritten(), 12);
    QVERIFY2(writer.finish(), qPrintable(writer.errorString()));

    const QByteArray rgb = decodeRgb(path);
    const int frameBytes = size.width() * size.height() * 3;
    QCOMPARE(rgb.size(), 12 * frameBytes);
    for (int f = 0; f < 12; ++f) {
        const QColor expected = colours[f / 3];
        // Middle pixel of the frame, allowing for YUV 4:2:0 rounding.
        const auto* p = reinterpret_cast<const uchar*>(rgb.constData() + f * frameBytes +
                                                       ((size.height() / 2) * size.width() + size.width() / 2) * 3);
        QVERIFY2(std::abs(p[0] - expected.red()) <= 8 && std::abs(p[1] - expected.green()) <= 8 &&
                     std::abs(p[2] - expected.blue()) <= 8,
                 qPrintable(QStringLiteral("frame %1: got %2 %3 %4").arg(f).arg(p[0]).arg(p[1]).arg(p[2])));
    }
}

void TestH264Writer::scalesFramesOfAnotherSize()
{
    if (tool("ffprobe").isEmpty())
        VORTANE_SKIP("ffprobe is not installed");
    const QString path = m_dir.filePath(QStringLiteral("scaled.mp4"));
    H264Writer writer;
    H264Writer::Options options;
    options.frameSize = QSize(32, 32);
    QVERIFY(writer.open(path, options));
    QVERIFY(writer.writeFrame(solid(QSize(100, 20), Qt::blue)));
    QVERIFY(writer.writeFrame(solid(QSize(32, 32), Qt::red).convertToFormat(QImage::Format_RGB888)));
    QVERIFY(writer.finish());
    QProcess probe;
    probe.start(tool("ffprobe"), {"-v", "error", "-count_frames", "-show_entries", "stream=width,height,nb_read_frames",
                                  "-of", "csv=p=0", path});
    QVERIFY(probe.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(probe.readAllStandardOutput()).trimmed(), QStringLiteral("32,32,2"));
}

void TestH264Writer::refusesBadOptions_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("framesPerSecond");
    QTest::newRow("odd width (4:2:0 needs even sizes)") << QSize(63, 48) << 30;
    QTest::newRow("odd height") << QSize(64, 47) << 30;
    QTest::newRow("empty size") << QSize(0, 0) << 30;
    QTest::newRow("no frame rate") << QSize(64, 48) << 0;
}

void TestH264Writer::refusesBadOptions()
{
    QFETCH(QSize, size);
    QFETCH(int, framesPerSecond);
    const QString path = m_dir.filePath(QStringLiteral("refused.mp4"));
    H264Writer writer;
    H264Writer::Options options;
    options.frameSize = size;
    options.framesPerSecond = framesPerSecond;
    QVERIFY(!writer.open(path, options));
    QVERIFY(!writer.errorString().isEmpty());
    QVERIFY(!writer.writeFrame(solid(QSize(64, 48), Qt::black)));
    QVERIFY(!QFile::exists(path));
}

void TestH264Writer::refusesFramesWhenNotOpen()
{
    H264Writer writer;
    QVERIFY(!writer.writeFrame(solid(QSize(64, 48), Qt::black)));
    QVERIFY(!writer.finish());
    QVERIFY(!writer.errorString().isEmpty());
}

void TestH264Writer::reportsUnwritableFile()
{
    H264Writer writer;
    H264Writer::Options options;
    options.frameSize = QSize(64, 48);
    QVERIFY(!writer.open(m_dir.filePath(QStringLiteral("no/such/folder/clip.mp4")), options));
    QVERIFY(writer.errorString().contains(QStringLiteral("cannot write")));
}

QTEST_GUILESS_MAIN(TestH264Writer)
#include "TestH264Writer.moc"
