#include "media/VideoDecoding.h"

extern "C" {
#include <libavutil/display.h>
}

#include <QTransform>

#include <atomic>
#include <cmath>

namespace vortane::media {

ffmpeg::FormatContextPtr openInput(const QString& path, const AVIOInterruptCB* interrupt)
{
    AVFormatContext* context = avformat_alloc_context();
    if (!context) {
        return {};
    }
    if (interrupt) {
        context->interrupt_callback = *interrupt;
    }
    // On failure avformat_open_input frees the context itself.
    if (avformat_open_input(&context, path.toUtf8().constData(), nullptr, nullptr) < 0) {
        return {};
    }
    return ffmpeg::FormatContextPtr(context);
}

int firstVideoStream(const AVFormatContext* format)
{
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* stream = format->streams[i];
        if (stream->codecpar && stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO &&
            !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

qint64 clipDurationUs(const AVFormatContext* format, const AVStream* stream)
{
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0) {
        return format->duration;
    }
    if (stream && stream->duration != AV_NOPTS_VALUE && stream->duration > 0) {
        return av_rescale_q(stream->duration, stream->time_base, AV_TIME_BASE_Q);
    }
    return 0;
}

int displayRotation(const AVStream* stream)
{
    size_t size = 0;
    const uint8_t* matrix = av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!matrix || size < 9 * sizeof(int32_t)) {
        return 0;
    }
    const double counterClockwise = av_display_rotation_get(reinterpret_cast<const int32_t*>(matrix));
    if (std::isnan(counterClockwise)) {
        return 0;
    }
    // Writers store angles such as 89.99; the nearest quarter turn is the one meant.
    const long quarters = std::lround(-counterClockwise / 90.0);
    return static_cast<int>(((quarters % 4) + 4) % 4) * 90;
}

qint64 frameTimeUs(const AVFrame* frame, const AVPacket* packet, const AVStream* stream)
{
    int64_t timestamp = frame ? frame->best_effort_timestamp : AV_NOPTS_VALUE;
    if (timestamp == AV_NOPTS_VALUE && frame) {
        timestamp = frame->pts;
    }
    if (timestamp == AV_NOPTS_VALUE && packet) {
        timestamp = packet->dts;
    }
    if (timestamp == AV_NOPTS_VALUE) {
        return 0;
    }
    const int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    return av_rescale_q(timestamp - start, stream->time_base, AV_TIME_BASE_Q);
}

int64_t streamTimestamp(qint64 timeUs, const AVStream* stream)
{
    const int64_t start = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    return start + av_rescale_q(timeUs, AV_TIME_BASE_Q, stream->time_base);
}

QSize shownSize(QSize decoded, int rotation)
{
    qint64 width = decoded.width();
    qint64 height = decoded.height();
    if (width <= 0 || height <= 0) {
        return {};
    }
    if (rotation == 90 || rotation == 270) {
        std::swap(width, height);
    }
    if (height < width && width > maxDecodeSide) {
        height = std::max<qint64>(1, height * maxDecodeSide / width);
        width = maxDecodeSide;
    } else if (height >= width && height > maxDecodeSide) {
        width = std::max<qint64>(1, width * maxDecodeSide / height);
        height = maxDecodeSide;
    }
    return QSize(static_cast<int>(width), static_cast<int>(height));
}

QImage& FrameConverter::writableImage(QSize size)
{
    for (std::size_t i = 0; i < m_pool.size(); ++i) {
        QImage& candidate = m_pool[(m_nextPoolSlot + i) % m_pool.size()];
        if (candidate.size() == size && candidate.isDetached()) {
            // The receiver's last read of these pixels happened before it released its reference.
            std::atomic_thread_fence(std::memory_order_acquire);
            m_nextPoolSlot = (m_nextPoolSlot + i + 1) % m_pool.size();
            return candidate;
        }
    }
    // Every pooled picture is still held (or has another size): the oldest slot gets a fresh one
    // and its holder keeps the old picture to itself.
    QImage& slot = m_pool[m_nextPoolSlot];
    slot = QImage(size, QImage::Format_RGB888);
    m_nextPoolSlot = (m_nextPoolSlot + 1) % m_pool.size();
    return slot;
}

QImage FrameConverter::convert(const AVFrame* frame, QSize target, int rotation, int scaleFlags)
{
    if (!frame || frame->width <= 0 || frame->height <= 0 || !frame->data[0] || target.isEmpty()) {
        return {};
    }
    const bool quarterTurn = rotation == 90 || rotation == 270;
    const QSize scaled = quarterTurn ? target.transposed() : target;
    m_scaler.reset(sws_getCachedContext(m_scaler.release(), frame->width, frame->height,
                                        static_cast<AVPixelFormat>(frame->format), scaled.width(), scaled.height(),
                                        AV_PIX_FMT_RGB24, scaleFlags, nullptr, nullptr, nullptr));
    if (!m_scaler) {
        return {};
    }

    QImage* destination = nullptr;
    if (rotation == 0) {
        destination = &writableImage(scaled);
    } else {
        if (m_scratch.size() != scaled) {
            m_scratch = QImage(scaled, QImage::Format_RGB888);
        }
        destination = &m_scratch;
    }
    if (destination->isNull()) {
        return {};
    }
    uint8_t* planes[4] = {destination->bits(), nullptr, nullptr, nullptr};
    int strides[4] = {static_cast<int>(destination->bytesPerLine()), 0, 0, 0};
    if (sws_scale(m_scaler.get(), frame->data, frame->linesize, 0, frame->height, planes, strides) <= 0) {
        return {};
    }
    if (rotation == 0) {
        return *destination;
    }
    QImage turned =
        rotation == 180 ? m_scratch.mirrored(true, true) : m_scratch.transformed(QTransform().rotate(rotation));
    if (turned.format() != QImage::Format_RGB888) {
        turned = turned.convertToFormat(QImage::Format_RGB888);
    }
    return turned;
}

} // namespace vortane::media
