#include "media/H264Writer.h"

#include "media/FFmpegPtr.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <QFile>

namespace {

QString averrorText(int averror)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(averror, text, sizeof text);
    return QString::fromUtf8(text);
}

const char kEncoderName[] = "libx264";

} // namespace

struct H264Writer::State
{
    vortane::ffmpeg::OutputFormatContextPtr output;
    vortane::ffmpeg::CodecContextPtr encoder;
    vortane::ffmpeg::FramePtr frame;
    vortane::ffmpeg::PacketPtr packet;
    vortane::ffmpeg::ScalerPtr scaler;
    AVStream* stream = nullptr; // owned by `output`
    QSize size;
    int64_t nextPts = 0;
};

H264Writer::H264Writer() = default;

H264Writer::~H264Writer() = default;

bool H264Writer::encoderAvailable()
{
    return avcodec_find_encoder_by_name(kEncoderName) != nullptr;
}

bool H264Writer::fail(const QString& what, int averror)
{
    m_error = averror ? QStringLiteral("%1: %2").arg(what, averrorText(averror)) : what;
    m_state.reset();
    return false;
}

bool H264Writer::open(const QString& path, const Options& options)
{
    m_state.reset();
    m_error.clear();
    m_framesWritten = 0;
    const QSize size = options.frameSize;
    if (size.width() <= 0 || size.height() <= 0 || size.width() % 2 || size.height() % 2)
        return fail(QStringLiteral("frame size must be positive and even"));
    if (options.framesPerSecond <= 0)
        return fail(QStringLiteral("frame rate must be positive"));

    const AVCodec* codec = avcodec_find_encoder_by_name(kEncoderName);
    if (!codec)
        return fail(QStringLiteral("this FFmpeg build has no libx264 H.264 encoder"));

    auto state = std::make_unique<State>();
    state->size = size;
    const QByteArray file = QFile::encodeName(path);

    AVFormatContext* output = nullptr;
    int rc = avformat_alloc_output_context2(&output, nullptr, nullptr, file.constData());
    if (rc < 0 || !output)
        return fail(QStringLiteral("no container for %1").arg(path), rc);
    state->output.reset(output);

    state->stream = avformat_new_stream(output, nullptr);
    if (!state->stream)
        return fail(QStringLiteral("cannot add a video stream"));

    state->encoder.reset(avcodec_alloc_context3(codec));
    if (!state->encoder)
        return fail(QStringLiteral("cannot allocate the encoder"));
    AVCodecContext* enc = state->encoder.get();
    enc->width = size.width();
    enc->height = size.height();
    enc->pix_fmt = AV_PIX_FMT_YUV420P;
    enc->time_base = AVRational{1, options.framesPerSecond};
    enc->framerate = AVRational{options.framesPerSecond, 1};
    enc->gop_size = qMax(1, options.keyFrameInterval);
    enc->max_b_frames = 2;
    enc->thread_count = qMax(0, options.threads);
    // swscale's default RGB to YUV matrix is BT.601 in limited range; label the stream so.
    enc->color_range = AVCOL_RANGE_MPEG;
    enc->colorspace = AVCOL_SPC_SMPTE170M;
    if (output->oformat->flags & AVFMT_GLOBALHEADER)
        enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    av_opt_set(enc->priv_data, "preset", options.preset.toUtf8().constData(), 0);
    av_opt_set_int(enc->priv_data, "crf", qBound(0, options.constantRateFactor, 51), 0);
    // x264 reports warnings and errors only; its statistics would fill every build log.
    av_opt_set(enc->priv_data, "x264-params", "log=1", 0);

    rc = avcodec_open2(enc, codec, nullptr);
    if (rc < 0)
        return fail(QStringLiteral("cannot open the H.264 encoder"), rc);
    rc = avcodec_parameters_from_context(state->stream->codecpar, enc);
    if (rc < 0)
        return fail(QStringLiteral("cannot describe the video stream"), rc);
    state->stream->time_base = enc->time_base;
    state->stream->avg_frame_rate = enc->framerate;

    if (!(output->oformat->flags & AVFMT_NOFILE)) {
        rc = avio_open(&output->pb, file.constData(), AVIO_FLAG_WRITE);
        if (rc < 0)
            return fail(QStringLiteral("cannot write %1").arg(path), rc);
    }
    rc = avformat_write_header(output, nullptr);
    if (rc < 0)
        return fail(QStringLiteral("cannot start %1").arg(path), rc);

    state->frame.reset(av_frame_alloc());
    state->packet.reset(av_packet_alloc());
    if (!state->frame || !state->packet)
        return fail(QStringLiteral("out of memory"));
    state->frame->format = enc->pix_fmt;
    state->frame->width = enc->width;
    state->frame->height = enc->height;
    rc = av_frame_get_buffer(state->frame.get(), 0);
    if (rc < 0)
        return fail(QStringLiteral("cannot allocate a frame"), rc);

    const AVPixelFormat argb32 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? AV_PIX_FMT_BGRA : AV_PIX_FMT_ARGB;
    state->scaler.reset(sws_getContext(size.width(), size.height(), argb32, size.width(), size.height(),
                                       AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!state->scaler)
        return fail(QStringLiteral("cannot convert pictures to YUV"));

    m_state = std::move(state);
    return true;
}

bool H264Writer::writeFrame(const QImage& frame)
{
    if (!m_state)
        return fail(m_error.isEmpty() ? QStringLiteral("the writer is not open") : m_error);
    // Format_ARGB32 holds one 0xAARRGGBB word per pixel: B, G, R, A in memory on little-endian machines.
    QImage picture = frame.size() == m_state->size
                         ? frame.convertToFormat(QImage::Format_ARGB32)
                         : frame.scaled(m_state->size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                               .convertToFormat(QImage::Format_ARGB32);
    if (picture.isNull())
        return fail(QStringLiteral("empty frame"));

    AVFrame* out = m_state->frame.get();
    int rc = av_frame_make_writable(out);
    if (rc < 0)
        return fail(QStringLiteral("cannot reuse the frame buffer"), rc);
    const uint8_t* source[1] = {picture.constBits()};
    const int sourceStride[1] = {int(picture.bytesPerLine())};
    sws_scale(m_state->scaler.get(), source, sourceStride, 0, picture.height(), out->data, out->linesize);
    out->pts = m_state->nextPts++;

    rc = avcodec_send_frame(m_state->encoder.get(), out);
    if (rc < 0)
        return fail(QStringLiteral("the encoder refused a frame"), rc);
    ++m_framesWritten;
    return drain(false);
}

bool H264Writer::drain(bool flushing)
{
    AVCodecContext* enc = m_state->encoder.get();
    AVPacket* packet = m_state->packet.get();
    for (;;) {
        const int rc = avcodec_receive_packet(enc, packet);
        if (rc == AVERROR(EAGAIN) && !flushing)
            return true;
        if (rc == AVERROR_EOF)
            return true;
        if (rc < 0)
            return fail(QStringLiteral("encoding failed"), rc);
        av_packet_rescale_ts(packet, enc->time_base, m_state->stream->time_base);
        packet->stream_index = m_state->stream->index;
        const int written = av_interleaved_write_frame(m_state->output.get(), packet);
        av_packet_unref(packet);
        if (written < 0)
            return fail(QStringLiteral("cannot write the video"), written);
    }
}

bool H264Writer::finish()
{
    if (!m_state)
        return fail(m_error.isEmpty() ? QStringLiteral("the writer is not open") : m_error);
    int rc = avcodec_send_frame(m_state->encoder.get(), nullptr);
    if (rc < 0)
        return fail(QStringLiteral("cannot flush the encoder"), rc);
    if (!drain(true))
        return false;
    rc = av_write_trailer(m_state->output.get());
    if (rc < 0)
        return fail(QStringLiteral("cannot finish the video"), rc);
    m_state.reset(); // closes the file
    return true;
}

int H264Writer::framesWritten() const
{
    return m_framesWritten;
}

QString H264Writer::errorString() const
{
    return m_error;
}
