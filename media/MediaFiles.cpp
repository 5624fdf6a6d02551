#include "media/MediaFiles.h"

#include "media/VideoPlayer.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QTransform>

namespace vortane::media {

namespace {

constexpr qint64 kBytesPerPixel = 4;
// A source scaled beyond this many pixels is drawn straight onto the canvas instead of being
// scaled as a whole first: only the part on the canvas is computed then.
constexpr qint64 kMaxScaledSourcePixels = qint64(32) * 1024 * 1024;

qint64 pictureBytes(QSize size)
{
    return qint64(qMax(0, size.width())) * qMax(0, size.height()) * kBytesPerPixel;
}

QImage blackFrame(QSize size)
{
    QImage frame(size, QImage::Format_RGB32);
    frame.fill(Qt::black);
    return frame;
}

} // namespace

MediaKind mediaKindOf(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("gif"))
        return MediaKind::Gif;
    if (suffix == QLatin1String("mp4") || suffix == QLatin1String("avi") || suffix == QLatin1String("mkv"))
        return MediaKind::Video;
    return MediaKind::Still;
}

QImage loadPicture(const QString& path)
{
    QImageReader reader(path);
    const QSize declared = reader.size();
    if (declared.isValid() && pictureBytes(declared) > kMaxDecodedPictureBytes)
        return {};
    QImage picture = reader.read();
    if (pictureBytes(picture.size()) > kMaxDecodedPictureBytes)
        return {};
    return picture;
}

bool gifFitsMemoryLimit(const QString& path)
{
    QImageReader reader(path);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid())
        return false;
    const qint64 frames = qMax(1, reader.imageCount());
    return frames * pictureBytes(size) <= kMaxDecodedPictureBytes;
}

int quarterTurns(qint32 rotation)
{
    const qint64 steps = (rotation % 90 == 0 && rotation != 0) ? rotation / 90 : rotation;
    return int(((steps % 4) + 4) % 4);
}

QImage renderFrame(const QImage& source, const MediaScaleRecord& record)
{
    if (record.width <= 0 || record.height <= 0)
        return {};
    const QSize output(record.width, record.height);
    const QSize canvasSize(qMax(1, record.canvasWidth), qMax(1, record.canvasHeight));
    if (source.isNull())
        return blackFrame(output);

    QImage turned = source;
    if (const int turns = quarterTurns(record.rotation); turns != 0)
        turned = source.transformed(QTransform().rotate(90.0 * turns), Qt::FastTransformation);

    const int scaledWidth = int(turned.width() * record.ratio);
    const int scaledHeight = int(turned.height() * record.ratio);
    // The usual case of a picture cut for the frame: no canvas work at all.
    if (record.x == 0 && record.y == 0 && turned.size() == canvasSize && scaledWidth == canvasSize.width() &&
        scaledHeight == canvasSize.height() && canvasSize == output)
        return turned.convertToFormat(QImage::Format_RGB32);

    QImage canvas = blackFrame(canvasSize);
    if (scaledWidth > 0 && scaledHeight > 0) {
        QPainter painter(&canvas);
        const QRect target(record.x, record.y, scaledWidth, scaledHeight);
        if (qint64(scaledWidth) * scaledHeight <= kMaxScaledSourcePixels) {
            painter.drawImage(target.topLeft(), turned.scaled(scaledWidth, scaledHeight, Qt::IgnoreAspectRatio,
                                                              Qt::SmoothTransformation));
        } else {
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, turned);
        }
    }
    if (canvas.size() == output)
        return canvas;
    return canvas.scaled(output, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage fitVideoFrame(const QImage& picture, QSize size)
{
    if (picture.size() == size || picture.isNull() || size.isEmpty())
        return picture;
    QImage frame = blackFrame(size);
    const QSize fitted = picture.size().scaled(size, Qt::KeepAspectRatio);
    QPainter painter(&frame);
    painter.drawImage((size.width() - fitted.width()) / 2, (size.height() - fitted.height()) / 2,
                      picture.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    return frame;
}

QImage makeImageThumbnail(const QString& path, const MediaScaleRecord& record)
{
    const QImage picture = loadPicture(path);
    if (picture.isNull())
        return {};
    return renderFrame(picture, record);
}

QImage makeGifThumbnail(const QString& path, const MediaScaleRecord& record)
{
    if (!gifFitsMemoryLimit(path))
        return {};
    // Read in order up to the frame: later frames may paint over earlier ones, and reading
    // sequentially keeps only one frame in memory.
    QImageReader reader(path);
    const int count = reader.imageCount();
    const int wanted = count > 0 ? qBound(0, int(count * record.startPos), count - 1) : 0;
    QImage frame;
    for (int i = 0; i <= wanted; ++i) {
        QImage next = reader.read();
        if (next.isNull())
            break;
        frame = next;
    }
    if (frame.isNull())
        return {};
    return renderFrame(frame, record);
}

QImage makeVideoThumbnail(const QString& path, const MediaScaleRecord& record)
{
    return VideoPlayer::grabFrame(path, record.startPos);
}

QImage makeThumbnail(const QString& path, const MediaScaleRecord& record)
{
    switch (mediaKindOf(path)) {
    case MediaKind::Gif:
        return makeGifThumbnail(path, record);
    case MediaKind::Video:
        return makeVideoThumbnail(path, record);
    case MediaKind::Still:
        break;
    }
    return makeImageThumbnail(path, record);
}

} // namespace vortane::media
