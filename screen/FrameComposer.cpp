#include "screen/FrameComposer.h"

#include "device/Packets.h"
#include "screen/FlexibleLabel.h"
#include "shell/AppGlobals.h"

#include <QElapsedTimer>
#include <QImageWriter>
#include <QLabel>
#include <QPainter>

#include <algorithm>
#include <memory>

namespace {

// Room for a typical 800 x 480 JPEG at quality 90 plus the header, so the packet rarely grows.
constexpr int kPacketReserveBytes = 256 * 1024;

bool holdsPixmap(const QLabel* label)
{
    return !label->pixmap(Qt::ReturnByValue).isNull();
}

} // namespace

FrameComposer::FrameComposer(Clock clock)
    : m_clock(std::move(clock))
{
    if (!m_clock) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        m_clock = [timer] { return timer->elapsed(); };
    }
    m_packet.reserve(kPacketReserveBytes);
}

FrameComposer::~FrameComposer() = default;

QByteArray FrameComposer::composeFrame(const QLabel& preview, const FrameHeaderFields& fields)
{
    if (!startComposition())
        return {};
    return encodePacket(composeImage(preview, fields.styleMode), fields);
}

bool FrameComposer::startComposition()
{
    const qint64 now = m_clock();
    if (m_composedOnce && now - m_lastComposeMs < kMinIntervalMs)
        return false;
    m_composedOnce = true;
    m_lastComposeMs = now;
    return true;
}

const QImage& FrameComposer::composeImage(const QLabel& preview, int styleMode)
{
    paintBase(preview);
    paintChildren(preview, styleMode);
    return toLandscape();
}

void FrameComposer::paintBase(const QLabel& preview)
{
    const QPixmap pixmap = preview.pixmap(Qt::ReturnByValue);
    const bool hasPixmap = !pixmap.isNull();
    const QSize size = hasPixmap ? pixmap.size() : preview.size();
    if (m_base.size() != size || m_base.isNull())
        m_base = QImage(size, QImage::Format_RGB32);
    if (!hasPixmap) {
        m_base.fill(Qt::black);
        return;
    }
    // Copying into the kept picture instead of pixmap->toImage() keeps a 1.5 MB allocation (and
    // its page faults) out of every frame.
    QPainter painter(&m_base);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawPixmap(0, 0, pixmap);
}

void FrameComposer::paintChildren(const QLabel& preview, int styleMode)
{
    QPainter painter(&m_base);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool clockMode = styleMode == 1 || styleMode == 2;
    // children() is the stacking order, bottom first, so later labels cover earlier ones.
    for (QObject* child : preview.children()) {
        const QLabel* label = nullptr;
        if (clockMode) {
            label = qobject_cast<const QLabel*>(child);
            if (label == nullptr || !holdsPixmap(label))
                continue;
            const QString& name = label->objectName();
            const bool wanted = styleMode == 2 ? name == QLatin1String("Clock")
                                               : (name == QLatin1String("hour") || name == QLatin1String("min"));
            if (!wanted)
                continue;
        } else {
            label = qobject_cast<const FlexibleLabel*>(child);
            if (label == nullptr || !holdsPixmap(label) || label->isHidden())
                continue;
            const QString& name = label->objectName();
            if (!name.contains(QLatin1String("title")) && !name.contains(QLatin1String("content")))
                continue;
        }
        const QPixmap pixmap = label->pixmap(Qt::ReturnByValue);
        const QPoint at(int(label->x() / previewScale), int(label->y() / previewScale));
        painter.drawPixmap(QRect(at, pixmap.size()), pixmap, pixmap.rect());
    }
}

const QImage& FrameComposer::toLandscape()
{
    if (m_base.width() == screenWidth)
        return m_base;
    // A quarter-turn counter-clockwise: the top edge of the source becomes the left edge, so the
    // source pixel (x, y) lands at (y, w - 1 - x).
    const int w = m_base.width();
    const int h = m_base.height();
    if (m_rotated.width() != h || m_rotated.height() != w)
        m_rotated = QImage(h, w, QImage::Format_RGB32);
    const int srcStride = m_base.bytesPerLine() / 4;
    const int dstStride = m_rotated.bytesPerLine() / 4;
    const auto* src = reinterpret_cast<const quint32*>(m_base.constBits());
    auto* dst = reinterpret_cast<quint32*>(m_rotated.bits());
    // Tiles keep both the reads and the scattered writes inside the cache.
    constexpr int kTile = 32;
    for (int ty = 0; ty < h; ty += kTile) {
        const int yEnd = std::min(h, ty + kTile);
        for (int tx = 0; tx < w; tx += kTile) {
            const int xEnd = std::min(w, tx + kTile);
            for (int y = ty; y < yEnd; ++y) {
                const quint32* row = src + qint64(y) * srcStride;
                for (int x = tx; x < xEnd; ++x)
                    dst[qint64(w - 1 - x) * dstStride + y] = row[x];
            }
        }
    }
    return m_rotated;
}

QByteArray FrameComposer::encodePacket(const QImage& frame, const FrameHeaderFields& fields)
{
    // The previous packet may still be queued or being written by the streamer; then this detach
    // gives a new buffer and the old one goes when the streamer lets go of it.
    m_buffer.close();
    m_packet.resize(kHeaderBytes);
    m_buffer.setBuffer(&m_packet);
    m_buffer.open(QIODevice::WriteOnly); // truncates to 0, keeping the reserved capacity
    m_buffer.seek(0);
    static const char kZeros[kHeaderBytes] = {};
    m_buffer.write(kZeros, kHeaderBytes);
    QImageWriter writer(&m_buffer, "JPG");
    writer.setQuality(kJpegQuality);
    writer.write(frame);
    m_buffer.close();
    const quint32 jpegBytes = quint32(m_packet.size() - kHeaderBytes);
    writeHeader(m_packet.data(), jpegBytes, fields);
    return m_packet;
}

void FrameComposer::writeHeader(char* header, quint32 jpegBytes, const FrameHeaderFields& fields)
{
    Packets::buildFrameHeader(reinterpret_cast<std::uint8_t*>(header), jpegBytes, fields.brightness, fields.screenOn,
                              std::uint8_t(fields.styleMode & 0xFF), std::uint8_t(fields.sleepMode & 0xFF));
}

quint16 FrameComposer::crc16Modbus(const uchar* data, int length)
{
    return Packets::crc16Modbus(data, std::size_t(qMax(0, length)));
}
