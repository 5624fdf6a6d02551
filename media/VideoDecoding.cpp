#include "media/VideoDecoding.h"

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/display.h>
}

#include "media/DisplayMatrix.h"
#include "media/MediaLog.h"

#include <QCoreApplication>
#include <QTransform>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace vortane::media {

namespace {

// Thumbnails of the trim timeline: fitted into this width at this height each, then made this wide.
constexpr int kTimelineWidthPx = 400;
constexpr int kTimelineThumbHeightPx = 24;
constexpr int kThumbnailWidthPx = 240;
// A clip far taller than wide would otherwise ask for hundreds of thumbnails thousands of pixels
// high; the strip shows each in a slot a few pixels wide anyway.
constexpr int kMaxTimelineThumbnails = 100;
constexpr int kMaxThumbnailHeightPx = 2 * kThumbnailWidthPx;

void logText(const char* text)
{
    qCDebug(lcMedia, "%s", text);
}

// Opens a software decoder for `stream`; null on failure.
ffmpeg::CodecContextPtr openSoftwareDecoder(const AVStream* stream)
{
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) {
        return {};
    }
    ffmpeg::CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0) {
        return {};
    }
    decoder->pkt_timebase = stream->time_base;
    decoder->thread_count = 0;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        return {};
    }
    return decoder;
}

} // namespace

ffmpeg::FormatContextPtr openInput(const QString& path, const AVIOInterruptCB* interrupt)
{
    AVFormatContext* context = avformat_alloc_context();
    if (!context) {
        return {};
    }
    if (interrupt) {
        context->interrupt_callback = *interrupt;
    }
    // Media are local files: a path that names a URL ("http:", "concat:", a playlist that points
    // elsewhere) must not make the decoder open anything but files.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    // On failure avformat_open_input frees the context itself.
    const int rc = avformat_open_input(&context, path.toUtf8().constData(), nullptr, &options);
    av_dict_free(&options);
    if (rc < 0) {
        return {};
    }
    return ffmpeg::FormatContextPtr(context);
}

const char* openFailureText(OpenFailure failure)
{
    switch (failure) {
    case OpenFailure::Input:
        return "Can't open input stream.\n";
    case OpenFailure::StreamInfo:
        return "Can't find stream information.\n";
    case OpenFailure::NoVideoStream:
        return "Don't find video stream.\n";
    case OpenFailure::NoDecoder:
        return "Don't find video codec.\n";
    case OpenFailure::None:
    case OpenFailure::DecoderOpen:
        break;
    }
    return "";
}

OpenFailure openVideoSource(const QString& path, const AVIOInterruptCB* interrupt, HardwareDecoding& hardware,
                            VideoSource& source)
{
    source.format = openInput(path, interrupt);
    if (!source.format) {
        return OpenFailure::Input;
    }
    if (avformat_find_stream_info(source.format.get(), nullptr) < 0) {
        return OpenFailure::StreamInfo;
    }
    source.streamIndex = firstVideoStream(source.format.get());
    if (source.streamIndex < 0) {
        return OpenFailure::NoVideoStream;
    }
    source.stream = source.format->streams[source.streamIndex];
    const AVCodec* codec = avcodec_find_decoder(source.stream->codecpar->codec_id);
    source.decoder.reset(codec ? avcodec_alloc_context3(codec) : nullptr);
    if (!source.decoder || avcodec_parameters_to_context(source.decoder.get(), source.stream->codecpar) < 0) {
        return OpenFailure::NoDecoder;
    }
    source.decoder->pkt_timebase = source.stream->time_base;
    source.rotation = displayRotation(source.stream);
    if (hardware.setup(codec, source.decoder.get()) == HardwareDecoding::Result::NoConfiguration) {
        logText("打开硬件解码器失败！");
    }
    // Frame threads add latency that a GPU decoder does not need; software decoding uses every core.
    source.decoder->thread_count = hardware.enabled() ? 1 : 0;
    if (avcodec_open2(source.decoder.get(), codec, nullptr) < 0) {
        return OpenFailure::DecoderOpen;
    }
    return OpenFailure::None;
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
    const int32_t* matrix = streamDisplayMatrix(stream);
    if (!matrix) {
        return 0;
    }
    const double counterClockwise = av_display_rotation_get(matrix);
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

// ---------------------------------------------------------------------------------------------
// One-shot decodes (calling thread)

QImage grabFrame(const QString& path, double f)
{
    ffmpeg::FormatContextPtr format = openInput(path, nullptr);
    if (!format || avformat_find_stream_info(format.get(), nullptr) < 0) {
        return {};
    }
    const int streamIndex = firstVideoStream(format.get());
    if (streamIndex < 0) {
        return {};
    }
    const AVStream* stream = format->streams[streamIndex];
    const int rotation = displayRotation(stream);
    ffmpeg::CodecContextPtr decoder = openSoftwareDecoder(stream);
    if (!decoder) {
        return {};
    }
    const qint64 targetUs = static_cast<qint64>(static_cast<double>(clipDurationUs(format.get(), stream)) * f);
    bool seeking = false;
    if (f != 0.0) {
        if (!repositionTo(format.get(), decoder.get(), stream, targetUs, [] { return true; })) {
            return {};
        }
        seeking = true;
    }
    const QSize outputSize = shownSize(QSize(decoder->width, decoder->height), rotation);
    ffmpeg::PacketPtr packet = ffmpeg::makePacket();
    ffmpeg::FramePtr frame = ffmpeg::makeFrame();
    ffmpeg::FramePtr lastFrame = ffmpeg::makeFrame(); // latest frame before the target, for a target past the end
    if (!packet || !frame || !lastFrame) {
        return {};
    }
    FrameConverter converter;
    QImage image;

    // Returns true once `image` holds the answer.
    auto takeFrames = [&]() -> bool {
        while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
            if (seeking && frameTimeUs(frame.get(), packet.get(), stream) < targetUs) {
                av_frame_unref(lastFrame.get());
                av_frame_move_ref(lastFrame.get(), frame.get());
                continue;
            }
            image = converter.convert(frame.get(), outputSize, rotation);
            av_frame_unref(frame.get());
            if (!image.isNull()) {
                return true;
            }
            seeking = false; // a frame that would not convert: take the next one as it comes
        }
        return false;
    };

    while (av_read_frame(format.get(), packet.get()) >= 0) {
        if (packet->stream_index == streamIndex) {
            const int sent = avcodec_send_packet(decoder.get(), packet.get());
            if ((sent >= 0 || sent == AVERROR(EAGAIN)) && takeFrames()) {
                return image;
            }
        }
        av_packet_unref(packet.get());
    }
    avcodec_send_packet(decoder.get(), nullptr);
    if (takeFrames()) {
        return image;
    }
    if (lastFrame->data[0]) {
        return converter.convert(lastFrame.get(), outputSize, rotation);
    }
    return {};
}

QList<QImage> extractTimelineThumbnails(const QString& path, const std::function<void(int)>& progress)
{
    QList<QImage> thumbnails;
    ffmpeg::FormatContextPtr format = openInput(path, nullptr);
    if (!format) {
        logText("Could not open video file");
        return thumbnails;
    }
    if (avformat_find_stream_info(format.get(), nullptr) < 0) {
        logText("Could not find stream information");
        return thumbnails;
    }
    const int streamIndex = firstVideoStream(format.get());
    if (streamIndex < 0) {
        logText("No video stream found");
        return thumbnails;
    }
    const AVStream* stream = format->streams[streamIndex];
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!codec) {
        logText("Unsupported codec");
        return thumbnails;
    }
    ffmpeg::CodecContextPtr decoder(avcodec_alloc_context3(codec));
    if (!decoder || avcodec_parameters_to_context(decoder.get(), stream->codecpar) < 0) {
        logText("Unsupported codec");
        return thumbnails;
    }
    decoder->pkt_timebase = stream->time_base;
    decoder->thread_count = 0;
    if (avcodec_open2(decoder.get(), codec, nullptr) < 0) {
        logText("Could not open codec");
        return thumbnails;
    }

    const int rotation = displayRotation(stream);
    const QSize upright = (rotation == 90 || rotation == 270) ? QSize(decoder->height, decoder->width)
                                                              : QSize(decoder->width, decoder->height);
    if (upright.isEmpty()) {
        return thumbnails;
    }
    const int thumbWidthAt24 = upright.width() * kTimelineThumbHeightPx / upright.height();
    const int count = thumbWidthAt24 > 0 ? std::min(kTimelineWidthPx / thumbWidthAt24, kMaxTimelineThumbnails) : 0;
    const qint64 durationUs = clipDurationUs(format.get(), stream);
    const qint64 stepUs = durationUs / (count + 1);
    const QSize thumbSize(
        kThumbnailWidthPx,
        std::clamp(qRound(double(upright.height()) * kThumbnailWidthPx / upright.width()), 1, kMaxThumbnailHeightPx));

    ffmpeg::PacketPtr packet = ffmpeg::makePacket();
    ffmpeg::FramePtr frame = ffmpeg::makeFrame();
    ffmpeg::FramePtr lastFrame = ffmpeg::makeFrame();
    if (!packet || !frame || !lastFrame) {
        return thumbnails;
    }
    FrameConverter converter;

    for (int k = 1; k <= count; ++k) {
        const qint64 targetUs = k * stepUs;
        repositionTo(format.get(), decoder.get(), stream, targetUs, [] { return true; });
        av_frame_unref(lastFrame.get());
        QImage thumbnail;
        auto takeFrames = [&]() -> bool {
            while (avcodec_receive_frame(decoder.get(), frame.get()) >= 0) {
                const qint64 timeUs = frameTimeUs(frame.get(), packet.get(), stream);
                const qint64 percent = durationUs > 0 ? std::clamp<qint64>(timeUs * 100 / durationUs, 0, 100) : 0;
                progress(static_cast<int>(percent));
                QCoreApplication::processEvents();
                if (timeUs < targetUs) {
                    av_frame_unref(lastFrame.get());
                    av_frame_move_ref(lastFrame.get(), frame.get());
                    continue;
                }
                thumbnail = converter.convert(frame.get(), thumbSize, rotation);
                av_frame_unref(frame.get());
                return true;
            }
            return false;
        };
        bool found = false;
        while (!found && av_read_frame(format.get(), packet.get()) >= 0) {
            if (packet->stream_index == streamIndex) {
                const int sent = avcodec_send_packet(decoder.get(), packet.get());
                found = (sent >= 0 || sent == AVERROR(EAGAIN)) && takeFrames();
            }
            av_packet_unref(packet.get());
        }
        if (!found) {
            // Past the last packet: the decoder's held-back frames, then the last frame seen.
            avcodec_send_packet(decoder.get(), nullptr);
            found = takeFrames();
            if (!found && lastFrame->data[0]) {
                thumbnail = converter.convert(lastFrame.get(), thumbSize, rotation);
                found = true;
            }
        }
        if (!thumbnail.isNull()) {
            // The converter never writes into a picture that is still held, so the kept
            // thumbnail stays as it is.
            thumbnails.append(thumbnail);
        }
    }
    if (thumbnails.size() == count) {
        progress(100);
    }
    packet.reset();
    frame.reset();
    lastFrame.reset();
    decoder.reset();
    format.reset();
    progress(100);
    return thumbnails;
}

} // namespace vortane::media
