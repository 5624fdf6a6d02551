// The GIF encoder behind the default library animations: Qt's own GIF reader (the one the GIF
// player uses) gets back exactly the frames that went in, through LZW table restarts, changed
// rectangles, unchanged frames and tiny pictures.

#include "tools/mediagen/GifWriter.h"

#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// 64 colours far enough apart that dithering never moves a pixel to a neighbour.
QRgb levelColour(quint32 n)
{
    static const int levels[] = {0, 85, 170, 255};
    return qRgb(levels[n & 3], levels[(n >> 2) & 3], levels[(n >> 4) & 3]);
}

QImage noise(QSize size, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, levelColour(random.generate()));
    }
    return image;
}

QVector<QImage> readAll(const QString& path, int* loopCount = nullptr)
{
    QImageReader reader(path);
    if (loopCount)
        *loopCount = reader.loopCount();
    QVector<QImage> frames;
    while (reader.canRead()) {
        const QImage frame = reader.read();
        if (frame.isNull())
            break;
        frames.push_back(frame.convertToFormat(QImage::Format_RGB32));
    }
    return frames;
}

} // namespace

class TestGifWriter : public QObject
{
    Q_OBJECT

private slots:
    void framesComeBackExactly_data();
    void framesComeBackExactly();
    void singlePixelPicture();
    void refusesFramesOfDifferentSizes();

private:
    QTemporaryDir m_dir;
};

void TestGifWriter::framesComeBackExactly_data()
{
    QTest::addColumn<QVector<QImage>>("frames");
    const QSize size(320, 240);

    // Random pixels make the LZW table fill and restart many times within one frame.
    QTest::newRow("noise: code table restarts") << QVector<QImage>{noise(size, 1)};

    QImage changed = noise(size, 2);
    QImage next = changed.copy();
    for (int y = 100; y < 140; ++y) {
        for (int x = 30; x < 90; ++x)
            next.setPixel(x, y, levelColour(quint32(x * 7 + y)));
    }
    QTest::newRow("a changed rectangle over the previous frame") << QVector<QImage>{changed, next};
    QTest::newRow("an unchanged frame") << QVector<QImage>{changed, changed, next};

    QImage flat(size, QImage::Format_RGB32);
    flat.fill(levelColour(21));
    QTest::newRow("flat frames: long runs") << QVector<QImage>{flat, noise(size, 3), flat};
}

void TestGifWriter::framesComeBackExactly()
{
    QFETCH(QVector<QImage>, frames);
    const QString path = m_dir.filePath(QStringLiteral("%1.gif").arg(QTest::currentDataTag()).replace(' ', '_'));
    QString error;
    QVERIFY2(GifWriter::write(path, frames, 7, &error), qPrintable(error));

    int loopCount = 0;
    const QVector<QImage> back = readAll(path, &loopCount);
    QCOMPARE(loopCount, -1); // forever
    QCOMPARE(back.size(), frames.size());
    for (int i = 0; i < frames.size(); ++i) {
        const QImage expected = frames[i].convertToFormat(QImage::Format_RGB32);
        QCOMPARE(back[i].size(), expected.size());
        for (int y = 0; y < expected.height(); ++y) {
            for (int x = 0; x < expected.width(); ++x) {
                if (back[i].pixel(x, y) != expected.pixel(x, y))
                    QFAIL(qPrintable(QStringLiteral("frame %1 differs at (%2, %3)").arg(i).arg(x).arg(y)));
            }
        }
    }
}

void TestGifWriter::singlePixelPicture()
{
    QImage pixel(1, 1, QImage::Format_RGB32);
    pixel.fill(levelColour(5));
    const QString path = m_dir.filePath(QStringLiteral("pixel.gif"));
    QVERIFY(GifWriter::write(path, {pixel, pixel}, 10));
    const QVector<QImage> back = readAll(path);
    QCOMPARE(back.size(), 2);
    QCOMPARE(back[0].pixel(0, 0), levelColour(5));
    QCOMPARE(back[1].pixel(0, 0), levelColour(5));
}

void TestGifWriter::refusesFramesOfDifferentSizes()
{
    QString error;
    QVERIFY(!GifWriter::write(m_dir.filePath(QStringLiteral("mixed.gif")),
                              {noise(QSize(8, 8), 1), noise(QSize(9, 8), 2)}, 10, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(!GifWriter::write(m_dir.filePath(QStringLiteral("empty.gif")), {}, 10, &error));
}

QTEST_GUILESS_MAIN(TestGifWriter)
#include "TestGifWriter.moc"
