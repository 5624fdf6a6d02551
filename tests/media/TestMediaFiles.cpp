#include "media/MediaFiles.h"
#include "tests/support/media/MediaFixtures.h"

#include <QDataStream>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

using namespace vortane::media;

Q_DECLARE_METATYPE(MediaScaleRecord)

namespace {

MediaScaleRecord record(int x, int y, int width, int height, int canvasWidth, int canvasHeight, double ratio,
                        int rotation = 0, double startPos = 0.0)
{
    MediaScaleRecord r;
    r.x = x;
    r.y = y;
    r.width = width;
    r.height = height;
    r.canvasWidth = canvasWidth;
    r.canvasHeight = canvasHeight;
    r.ratio = ratio;
    r.rotation = rotation;
    r.startPos = startPos;
    return r;
}

// A source picture of four coloured quadrants: red top-left, green top-right, blue bottom-left,
// white bottom-right.
QImage quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::red);
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    painter.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::white);
    return image;
}

bool near(QRgb a, QColor b)
{
    return qAbs(qRed(a) - b.red()) < 40 && qAbs(qGreen(a) - b.green()) < 40 && qAbs(qBlue(a) - b.blue()) < 40;
}

// A BMP header that declares a picture of width x height at 32 bits without its pixels.
bool writeHugeBmpHeader(const QString& path, qint32 width, qint32 height)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    const quint32 pixelBytes = quint32(qint64(width) * height * 4);
    out << quint8('B') << quint8('M') << quint32(54 + pixelBytes) << quint32(0) << quint32(54);
    out << quint32(40) << width << height << quint16(1) << quint16(32) << quint32(0) << pixelBytes << qint32(2835)
        << qint32(2835) << quint32(0) << quint32(0);
    file.write(QByteArray(4096, '\0'));
    return true;
}

} // namespace

class TestMediaFiles final : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

private slots:
    void kindBySuffix_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("kind");
        QTest::newRow("gif is a GIF") << "a/anim.gif" << int(MediaKind::Gif);
        QTest::newRow("GIF in capitals is a GIF") << "anim.GIF" << int(MediaKind::Gif);
        QTest::newRow("mp4 is a video") << "clip.mp4" << int(MediaKind::Video);
        QTest::newRow("MP4 in capitals is a video") << "clip.MP4" << int(MediaKind::Video);
        QTest::newRow("Avi in mixed case is a video") << "clip.Avi" << int(MediaKind::Video);
        QTest::newRow("mkv placed by hand is a video") << "/x/clip.mkv" << int(MediaKind::Video);
        QTest::newRow("JPG is a still") << "photo.JPG" << int(MediaKind::Still);
        QTest::newRow("no suffix is a still") << "picture" << int(MediaKind::Still);
        QTest::newRow("a folder named .gif does not make a GIF") << "x.gif/photo.png" << int(MediaKind::Still);
    }
    void kindBySuffix()
    {
        QFETCH(QString, path);
        QFETCH(int, kind);
        QCOMPARE(int(mediaKindOf(path)), kind);
    }

    // Where the source's quadrants land in the output frame.
    void renderingRule_data()
    {
        QTest::addColumn<QSize>("source");
        QTest::addColumn<MediaScaleRecord>("rec");
        QTest::addColumn<QPoint>("probe");
        QTest::addColumn<QColor>("expected");
        const QSize src(400, 240);
        QTest::newRow("ratio 2 fills the frame: top-left red")
            << src << record(0, 0, 800, 480, 800, 480, 2.0) << QPoint(100, 100) << QColor(Qt::red);
        QTest::newRow("ratio 2 fills the frame: bottom-right white")
            << src << record(0, 0, 800, 480, 800, 480, 2.0) << QPoint(700, 400) << QColor(Qt::white);
        QTest::newRow("ratio 1 leaves black right of the picture")
            << src << record(0, 0, 800, 480, 800, 480, 1.0) << QPoint(600, 100) << QColor(Qt::black);
        QTest::newRow("offset moves the picture right")
            << src << record(400, 0, 800, 480, 800, 480, 1.0) << QPoint(500, 50) << QColor(Qt::red);
        QTest::newRow("offset leaves black where it was")
            << src << record(400, 0, 800, 480, 800, 480, 1.0) << QPoint(100, 50) << QColor(Qt::black);
        QTest::newRow("negative offset crops the left half away")
            << src << record(-200, 0, 800, 480, 200, 240, 1.0) << QPoint(100, 100) << QColor(Qt::green);
        QTest::newRow("small canvas is scaled up to the frame")
            << src << record(0, 0, 800, 480, 400, 240, 1.0) << QPoint(700, 400) << QColor(Qt::white);
        QTest::newRow("portrait frame from a canvas")
            << src << record(0, 0, 480, 800, 200, 240, 1.0) << QPoint(240, 600) << QColor(Qt::blue);
        QTest::newRow("one quarter turn: blue comes to the top-left")
            << src << record(0, 0, 480, 800, 240, 400, 1.0, 1) << QPoint(50, 50) << QColor(Qt::blue);
        QTest::newRow("two quarter turns: white comes to the top-left")
            << src << record(0, 0, 800, 480, 400, 240, 1.0, 2) << QPoint(50, 50) << QColor(Qt::white);
        QTest::newRow("three quarter turns: green comes to the top-left")
            << src << record(0, 0, 480, 800, 240, 400, 1.0, 3) << QPoint(50, 50) << QColor(Qt::green);
        QTest::newRow("rotation 90 stored in degrees is one quarter turn")
            << src << record(0, 0, 480, 800, 240, 400, 1.0, 90) << QPoint(50, 50) << QColor(Qt::blue);
    }
    void renderingRule()
    {
        QFETCH(QSize, source);
        QFETCH(MediaScaleRecord, rec);
        QFETCH(QPoint, probe);
        QFETCH(QColor, expected);
        const QImage frame = renderFrame(quadrants(source.width(), source.height()), rec);
        QCOMPARE(frame.size(), QSize(rec.width, rec.height));
        QVERIFY(!frame.hasAlphaChannel());
        const QRgb got = frame.pixel(probe);
        QVERIFY2(near(got, expected), qPrintable(QStringLiteral("%1").arg(got, 8, 16)));
    }

    void unreadablePictureRendersTheBlackFrame()
    {
        const QImage frame = renderFrame(loadPicture(folder.filePath(QStringLiteral("missing.png"))),
                                         record(0, 0, 480, 800, 480, 800, 1.0));
        QCOMPARE(frame.size(), QSize(480, 800));
        QCOMPARE(frame.pixel(240, 400), qRgb(0, 0, 0));
    }

    void pictureOverTheMemoryLimitIsNotLoaded()
    {
        const QString huge = folder.filePath(QStringLiteral("huge.bmp"));
        QVERIFY(writeHugeBmpHeader(huge, 10000, 10000)); // 400 MB decoded
        QVERIFY(loadPicture(huge).isNull());
        QVERIFY(makeImageThumbnail(huge, record(0, 0, 800, 480, 800, 480, 1.0)).isNull());
    }

    void gifOverTheMemoryLimitIsRefused()
    {
        const QString small = folder.filePath(QStringLiteral("small.gif"));
        vortane::test::GifRecipe recipe;
        QVERIFY(vortane::test::writeGif(small, recipe));
        QVERIFY(gifFitsMemoryLimit(small));
        // 300 frames of 500 x 500 need 300 MB decoded.
        const QString big = folder.filePath(QStringLiteral("big.gif"));
        recipe.width = 500;
        recipe.height = 500;
        recipe.frameCount = 300;
        QVERIFY(vortane::test::writeGif(big, recipe));
        QVERIFY(!gifFitsMemoryLimit(big));
        QVERIFY(!gifFitsMemoryLimit(folder.filePath(QStringLiteral("none.gif"))));
    }

    void videoPictureIsFittedToTheFrame_data()
    {
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<QSize>("frame");
        QTest::addColumn<QPoint>("blackAt");
        QTest::newRow("frame size passes unchanged") << QSize(800, 480) << QSize(800, 480) << QPoint(-1, -1);
        QTest::newRow("1280 x 720 gets bars above and below") << QSize(1280, 720) << QSize(800, 480) << QPoint(400, 2);
        QTest::newRow("portrait clip in a landscape frame gets side bars")
            << QSize(720, 1280) << QSize(800, 480) << QPoint(5, 240);
    }
    void videoPictureIsFittedToTheFrame()
    {
        QFETCH(QSize, picture);
        QFETCH(QSize, frame);
        QFETCH(QPoint, blackAt);
        QImage source(picture, QImage::Format_RGB888);
        source.fill(Qt::red);
        const QImage fitted = fitVideoFrame(source, frame);
        QCOMPARE(fitted.size(), frame);
        QVERIFY(near(fitted.pixel(frame.width() / 2, frame.height() / 2), Qt::red));
        if (blackAt.x() >= 0)
            QCOMPARE(fitted.pixel(blackAt), qRgb(0, 0, 0));
    }

    void thumbnails_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<MediaScaleRecord>("rec");
        QTest::newRow("still: the rendered picture") << "still.png" << record(0, 0, 800, 480, 400, 240, 1.0);
        QTest::newRow("GIF: the frame at startPos") << "anim.gif" << record(0, 0, 480, 800, 32, 24, 1.0, 0, 0.5);
        QTest::newRow("video: the frame at startPos") << "clip.mp4" << record(0, 0, 800, 480, 800, 480, 1.0, 0, 0.5);
    }
    void thumbnails()
    {
        QFETCH(QString, name);
        QFETCH(MediaScaleRecord, rec);
        const QString path = folder.filePath(name);
        if (name.endsWith(QLatin1String(".png"))) {
            QVERIFY(quadrants(400, 240).save(path));
            const QImage thumb = makeThumbnail(path, rec);
            QCOMPARE(thumb.size(), QSize(800, 480));
            QVERIFY(near(thumb.pixel(700, 400), Qt::white));
        } else if (name.endsWith(QLatin1String(".gif"))) {
            QVERIFY(vortane::test::writeGif(path, vortane::test::GifRecipe()));
            const QImage thumb = makeThumbnail(path, rec);
            QCOMPARE(thumb.size(), QSize(480, 800));
            QCOMPARE(vortane::test::readGifFrameIndex(thumb.scaled(32, 24)), 5);
        } else {
            vortane::test::ClipRecipe clip;
            clip.width = 800;
            clip.height = 480;
            clip.frameCount = 30;
            QVERIFY(vortane::test::writeClip(path, clip));
            const QImage thumb = makeThumbnail(path, rec);
            QCOMPARE(thumb.size(), QSize(800, 480));
            QVERIFY(qAbs(vortane::test::readFrameIndex(thumb) - 15) <= 1);
        }
    }

    void thumbnailOfAnUnreadableFileIsNull()
    {
        const QString broken = folder.filePath(QStringLiteral("broken.mp4"));
        QVERIFY(vortane::test::writeRandomBytes(broken, 4096, 7));
        QVERIFY(makeThumbnail(broken, record(0, 0, 800, 480, 800, 480, 1.0)).isNull());
        QVERIFY(
            makeThumbnail(folder.filePath(QStringLiteral("gone.gif")), record(0, 0, 800, 480, 32, 24, 1.0)).isNull());
    }
};

QTEST_MAIN(TestMediaFiles)
#include "TestMediaFiles.moc"
