#include "media/VideoTranscoder.h"

#include "media/FFmpegPtr.h"
#include "media/HardwareDecoder.h"
#include "media/MediaFiles.h"
#include "media/MediaLog.h"
#include "media/VideoDecoding.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryFile>

#include <QRect>

#include <algorithm>
#include <cmath>
#include <limits>

namespace vortane::media {

namespace {

constexpr int64_t kBitRateBitsPerSecond = 4'000'000;
constexpr int kKeyFrameInterval = 10;
constexpr FrameRate kFallbackFrameRate{25, 1};
// Rates above this are timer resolutions of variable-rate files, not frame rates.
constexpr int kHighestPlausibleFps = 240;
// Progress stops short of 100, which closes the progress dialog.
constexpr int kLastProgressPercent = 99;

void logText(const char* text)
{
    qCDebug(lcMedia, "%s", text);
}

bool plausible(FrameRate rate)
{
    return rate.num > 0 && rate.den > 0 && rate.num <= qint64(kHighestPlausibleFps) * rate.den;
}

int interruptRequested(void* flag)
{
    return static_cast<const std::atomic<bool>*>(flag)->load() ? 1 : 0;
}

// The output's name while it is written: hidden, in the same folder (so the final rename never
// crosses file systems), removed again unless the transcode keeps it.
class PartialFile final
{
public:
    explicit PartialFile(const QString& output)
    {
        const QFileInfo info(output);
        QTemporaryFile reserve(info.absolutePath() + QStringLiteral("/.") + info.completeBaseName() +
                               QStringLiteral("-XXXXXX.part"));
        reserve.setAutoRemove(false);
        if (reserve.open()) {
            m_path = reserve.fileName();
        }
    }
    ~PartialFile()
    {
        if (!m_path.isEmpty()) {
            QFile::remove(m_path);
        }
    }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    bool isValid() const { return !m_path.isEmpty(); }
    const QString& path() const { return m_path; }

    // Gives the finished file its real name; false (and the partial file removed) when that name
    // is taken or the rename fails.
    bool publishAs(const QString& output)
    {
        // The reserved name was private to this user; the finished video is an ordinary file.
        QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser |
                                          QFileDevice::WriteUser | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        if (!QFile::rename(m_path, output)) {
            return false;
        }
        m_path.clear();
        return true;
    }

private:
    QString m_path;
};

// One transcode from open to close. Members are declared so that everything that refers to
// something else goes first: the muxer before the partial file it writes, hardware decoding before
// the decoder that calls into it.
class TranscodeRun final
{
public:
    using Result = VideoTranscoder::Result;

    TranscodeRun(const MediaScaleRecord& record, const std::atomic<bool>& cancelled,
                 const VideoTranscoder::ProgressHandler& progress)
        : m_record(record)
        , m_cancelled(cancelled)
        , m_progress(progress)
    {
    }
    TranscodeRun(const TranscodeRun&) = delete;
    TranscodeRun& operator=(const TranscodeRun&) = delete;

    Result run(const QString& source, const QString& output);

private:
    enum class Step
    {
        More,     // keep going
        Finish,   // end of range or of input: finish the file
        Failed,   // encoder or muxer error
        Cancelled // cancel() was called
    };

    Result failed() const { return m_cancelled.load() ? Result::Cancelled : Result::Failed; }
    bool openSource(const QString& source);
    bool openOutput(const QString& output, const QString& partialPath);
    bool seekToStart();
    Step decodeAll();
    Step takeFrames();
    Step encodeFrame(AVFrame* frame);
    Step writePackets();
    bool cropOfDecoded(QSize decoded, QRect& crop) const;
    enum class Conversion
    {
        NotApplicable,
        Converted,
        Failed
    };
    Conversion convertDirectly(AVFrame* picture);
    bool convertThroughRendering(const AVFrame* picture);
    int progressPercent(qint64 timeUs) const;

    const MediaScaleRecord m_record;
    const std::atomic<bool>& m_cancelled;
    const VideoTranscoder::ProgressHandler& m_progress;

    AVIOInterruptCB m_interrupt{};
    HardwareDecoding m_hardware;
    ffmpeg::FormatContextPtr m_input;
    ffmpeg::CodecContextPtr m_decoder;
    const AVStream* m_stream = nullptr;
    int m_streamIndex = -1;
    int m_rotation = 0;
    QSize m_pictureSize;

    ffmpeg::OutputFormatContextPtr m_muxer;
    ffmpeg::CodecContextPtr m_encoder;
    AVStream* m_outputStream = nullptr;

    ffmpeg::PacketPtr m_packet;
    ffmpeg::PacketPtr m_encoded;
    ffmpeg::FramePtr m_decoded;
    ffmpeg::FramePtr m_transferred;
    ffmpeg::FramePtr m_encoderFrame;
    ffmpeg::ScalerPtr m_toEncoder; // rendered RGB picture -> encoder frame
    ffmpeg::ScalerPtr m_direct;    // cropped decoded frame -> encoder frame
    FrameConverter m_converter;

    qint64 m_startUs = 0;
    qint64 m_endUs = std::numeric_limits<qint64>::max();
    qint64 m_progressEndUs = 0;
    bool m_skippingToStart = false;
    int64_t m_framesEncoded = 0;
};

bool TranscodeRun::openSource(const QString& source)
{
    m_interrupt = AVIOInterruptCB{&interruptRequested, const_cast<std::atomic<bool>*>(&m_cancelled)};
    VideoSource opened;
    const OpenFailure failure = openVideoSource(source, &m_interrupt, m_hardware, opened);
    if (failure != OpenFailure::None) {
        if (failure != OpenFailure::DecoderOpen) {
            logText(openFailureText(failure));
        }
        return false;
    }
    m_input = std::move(opened.format);
    m_stream = opened.stream;
    m_streamIndex = opened.streamIndex;
    m_decoder = std::move(opened.decoder);
    m_rotation = opened.rotation;
    // The crop dialog framed the picture that grabFrame shows: upright, capped at maxDecodeSide.
    m_pictureSize = shownSize(QSize(m_decoder->width, m_decoder->height), m_rotation);

    const qint64 durationUs = clipDurationUs(m_input.get(), m_stream);
    if (durationUs > 0) {
        m_startUs = static_cast<qint64>(static_cast<double>(durationUs) * m_record.startPos);
        if (m_record.endPos < 1.0) {
            m_endUs = static_cast<qint64>(static_cast<double>(durationUs) * m_record.endPos);
        }
        m_progressEndUs = std::min(m_endUs, durationUs);
    }
    m_packet = ffmpeg::makePacket();
    m_encoded = ffmpeg::makePacket();
    m_decoded = ffmpeg::makeFrame();
    m_transferred = ffmpeg::makeFrame();
    return m_packet && m_encoded && m_decoded && m_transferred;
}

bool TranscodeRun::openOutput(const QString& output, const QString& partialPath)
{
    // The container is the one the final name asks for; the partial name only holds the bytes.
    const AVOutputFormat* format = av_guess_format(nullptr, output.toUtf8().constData(), nullptr);
    AVFormatContext* muxer = nullptr;
    const QByteArray partialName = partialPath.toUtf8();
    if (!format || avformat_alloc_output_context2(&muxer, format, nullptr, partialName.constData()) < 0 || !muxer) {
        logText("output fail");
        return false;
    }
    m_muxer.reset(muxer);

    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (!codec) {
        codec = avcodec_find_encoder(AV_CODEC_ID_H264);
    }
    if (!codec) {
        logText("Don't find video encode codec.\n");
        return false;
    }
    m_encoder.reset(avcodec_alloc_context3(codec));
    m_outputStream = avformat_new_stream(m_muxer.get(), nullptr);
    if (!m_encoder || !m_outputStream) {
        logText("打开编码器失败");
        return false;
    }
    const FrameRate rate = transcodeFrameRate({m_stream->r_frame_rate.num, m_stream->r_frame_rate.den},
                                              {m_stream->avg_frame_rate.num, m_stream->avg_frame_rate.den});
    m_encoder->codec_id = AV_CODEC_ID_H264;
    m_encoder->width = m_record.width;
    m_encoder->height = m_record.height;
    m_encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    m_encoder->bit_rate = kBitRateBitsPerSecond;
    m_encoder->gop_size = kKeyFrameInterval;
    m_encoder->time_base = AVRational{rate.den, rate.num};
    m_encoder->framerate = AVRational{rate.num, rate.den};
    m_encoder->sample_aspect_ratio = AVRational{1, 1};
    if (format->flags & AVFMT_GLOBALHEADER) {
        m_encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (avcodec_open2(m_encoder.get(), codec, nullptr) < 0) {
        logText("打开编码器失败");
        return false;
    }
    if (avcodec_parameters_from_context(m_outputStream->codecpar, m_encoder.get()) < 0) {
        logText("打开编码器失败");
        return false;
    }
    m_outputStream->time_base = m_encoder->time_base;
    m_outputStream->avg_frame_rate = m_encoder->framerate;
    if (!(format->flags & AVFMT_NOFILE) && avio_open(&m_muxer->pb, partialName.constData(), AVIO_FLAG_WRITE) < 0) {
        logText("打开输出文件失败");
        return false;
    }
    m_encoderFrame = ffmpeg::makeFrame();
    if (m_encoderFrame) {
        m_encoderFrame->format = m_encoder->pix_fmt;
        m_encoderFrame->width = m_encoder->width;
        m_encoderFrame->height = m_encoder->height;
    }
    if (!m_encoderFrame || av_frame_get_buffer(m_encoderFrame.get(), 0) < 0) {
        logText("[encode] Could not allocate video frame");
        return false;
    }
    return avformat_write_header(m_muxer.get(), nullptr) >= 0;
}

bool TranscodeRun::seekToStart()
{
    if (m_record.startPos == 0.0 || m_startUs <= 0) {
        return true;
    }
    m_skippingToStart = true;
    return repositionTo(m_input.get(), m_decoder.get(), m_stream, m_startUs, [this] { return !m_cancelled.load(); });
}

int TranscodeRun::progressPercent(qint64 timeUs) const
{
    if (m_progressEndUs <= 0) {
        return 0;
    }
    return static_cast<int>(std::clamp<qint64>(timeUs * 100 / m_progressEndUs, 0, kLastProgressPercent));
}

TranscodeRun::Step TranscodeRun::writePackets()
{
    for (;;) {
        const int received = avcodec_receive_packet(m_encoder.get(), m_encoded.get());
        if (received == AVERROR(EAGAIN) || received == AVERROR_EOF) {
            return Step::More;
        }
        if (received < 0) {
            return Step::Failed;
        }
        // Each frame lasts one tick of the frame rate; without it the last frame of an MP4 gets no
        // time and its edit list drops it.
        if (m_encoded->duration <= 0) {
            m_encoded->duration = 1;
        }
        av_packet_rescale_ts(m_encoded.get(), m_encoder->time_base, m_outputStream->time_base);
        m_encoded->stream_index = m_outputStream->index;
        const int written = av_interleaved_write_frame(m_muxer.get(), m_encoded.get());
        av_packet_unref(m_encoded.get());
        if (written < 0) {
            return Step::Failed;
        }
    }
}

bool TranscodeRun::cropOfDecoded(QSize decoded, QRect& crop) const
{
    if (m_rotation != 0 || quarterTurns(m_record.rotation) != 0 || m_pictureSize.isEmpty() || decoded.isEmpty()) {
        return false;
    }
    // The scaled picture on the canvas, truncated as renderFrame truncates it.
    const qint64 scaledWidth = static_cast<qint64>(m_pictureSize.width() * m_record.ratio);
    const qint64 scaledHeight = static_cast<qint64>(m_pictureSize.height() * m_record.ratio);
    const qint64 canvasWidth = std::max(1, m_record.canvasWidth);
    const qint64 canvasHeight = std::max(1, m_record.canvasHeight);
    const qint64 x = m_record.x;
    const qint64 y = m_record.y;
    if (scaledWidth <= 0 || scaledHeight <= 0 || x > 0 || y > 0 || x + scaledWidth < canvasWidth ||
        y + scaledHeight < canvasHeight) {
        return false; // black borders or a turn: only the full rendering draws those
    }
    const double toDecodedX = double(decoded.width()) / double(scaledWidth);
    const double toDecodedY = double(decoded.height()) / double(scaledHeight);
    const int left = static_cast<int>(std::lround(double(-x) * toDecodedX));
    const int top = static_cast<int>(std::lround(double(-y) * toDecodedY));
    const int right = static_cast<int>(std::lround(double(canvasWidth - x) * toDecodedX));
    const int bottom = static_cast<int>(std::lround(double(canvasHeight - y) * toDecodedY));
    crop = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(QRect(QPoint(0, 0), decoded));
    return !crop.isEmpty();
}

TranscodeRun::Conversion TranscodeRun::convertDirectly(AVFrame* picture)
{
    // The usual framing, an upright picture that covers the whole crop window, is a crop and a
    // scale of the decoded frame. swscale does both in one pass straight into the encoder's frame:
    // the same part of the picture as renderFrame shows, without two RGB pictures in between.
    QRect crop;
    if (!cropOfDecoded(QSize(picture->width, picture->height), crop)) {
        return Conversion::NotApplicable;
    }
    picture->crop_left = static_cast<size_t>(crop.left());
    picture->crop_top = static_cast<size_t>(crop.top());
    picture->crop_right = static_cast<size_t>(picture->width - crop.right() - 1);
    picture->crop_bottom = static_cast<size_t>(picture->height - crop.bottom() - 1);
    if (av_frame_apply_cropping(picture, AV_FRAME_CROP_UNALIGNED) < 0) {
        return Conversion::Failed;
    }
    m_direct.reset(sws_getCachedContext(m_direct.release(), picture->width, picture->height,
                                        static_cast<AVPixelFormat>(picture->format), m_encoder->width,
                                        m_encoder->height, m_encoder->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!m_direct || av_frame_make_writable(m_encoderFrame.get()) < 0) {
        return Conversion::Failed;
    }
    return sws_scale(m_direct.get(), picture->data, picture->linesize, 0, picture->height, m_encoderFrame->data,
                     m_encoderFrame->linesize) > 0
               ? Conversion::Converted
               : Conversion::Failed;
}

bool TranscodeRun::convertThroughRendering(const AVFrame* picture)
{
    const QImage shown = m_converter.convert(picture, m_pictureSize, m_rotation, SWS_BICUBIC);
    if (shown.isNull()) {
        return false;
    }
    const QImage rendered = renderFrame(shown, m_record);
    if (rendered.size() != QSize(m_encoder->width, m_encoder->height) || rendered.format() != QImage::Format_RGB32) {
        return false;
    }
    if (!m_toEncoder) {
        m_toEncoder.reset(sws_getContext(rendered.width(), rendered.height(), AV_PIX_FMT_RGB32, m_encoder->width,
                                         m_encoder->height, m_encoder->pix_fmt, SWS_FAST_BILINEAR, nullptr, nullptr,
                                         nullptr));
    }
    if (!m_toEncoder || av_frame_make_writable(m_encoderFrame.get()) < 0) {
        return false;
    }
    const uint8_t* planes[1] = {rendered.constBits()};
    const int strides[1] = {static_cast<int>(rendered.bytesPerLine())};
    return sws_scale(m_toEncoder.get(), planes, strides, 0, rendered.height(), m_encoderFrame->data,
                     m_encoderFrame->linesize) > 0;
}

TranscodeRun::Step TranscodeRun::encodeFrame(AVFrame* frame)
{
    AVFrame* picture = frame;
    if (!frame->data[0] || (m_hardware.enabled() && frame->format == m_hardware.pixelFormat())) {
        av_frame_unref(m_transferred.get());
        if (frame->format != m_hardware.pixelFormat() || av_hwframe_transfer_data(m_transferred.get(), frame, 0) < 0 ||
            av_frame_copy_props(m_transferred.get(), frame) < 0) {
            logText("dataCopy fail");
            return Step::More;
        }
        picture = m_transferred.get();
    }
    const qint64 timeUs = frameTimeUs(frame, m_packet.get(), m_stream);
    if (m_skippingToStart && timeUs < m_startUs) {
        return Step::More;
    }
    m_skippingToStart = false;
    if (timeUs >= m_endUs) {
        return Step::Finish;
    }
    if (m_pictureSize.isEmpty()) {
        m_pictureSize = shownSize(QSize(picture->width, picture->height), m_rotation);
    }
    Conversion conversion = convertDirectly(picture);
    if (conversion == Conversion::NotApplicable) {
        conversion = convertThroughRendering(picture) ? Conversion::Converted : Conversion::Failed;
    }
    if (conversion == Conversion::Failed) {
        return Step::More; // a frame that cannot be converted is left out
    }
    m_encoderFrame->pts = m_framesEncoded;
    if (avcodec_send_frame(m_encoder.get(), m_encoderFrame.get()) < 0) {
        return Step::Failed;
    }
    ++m_framesEncoded;
    const Step written = writePackets();
    if (written != Step::More) {
        return written;
    }
    if (m_progress) {
        m_progress(progressPercent(timeUs));
    }
    return m_cancelled.load() ? Step::Cancelled : Step::More;
}

TranscodeRun::Step TranscodeRun::takeFrames()
{
    for (;;) {
        if (m_cancelled.load()) {
            return Step::Cancelled;
        }
        if (avcodec_receive_frame(m_decoder.get(), m_decoded.get()) < 0) {
            return Step::More;
        }
        const Step step = encodeFrame(m_decoded.get());
        av_frame_unref(m_decoded.get());
        if (step != Step::More) {
            return step;
        }
    }
}

TranscodeRun::Step TranscodeRun::decodeAll()
{
    for (;;) {
        if (m_cancelled.load()) {
            return Step::Cancelled;
        }
        const int read = av_read_frame(m_input.get(), m_packet.get());
        if (read < 0) {
            break; // end of input, or a read error: what was decoded so far is the video
        }
        if (m_packet->stream_index != m_streamIndex) {
            av_packet_unref(m_packet.get());
            continue;
        }
        const int sent = avcodec_send_packet(m_decoder.get(), m_packet.get());
        if (sent < 0 && sent != AVERROR(EAGAIN) && sent != AVERROR_EOF) {
            av_packet_unref(m_packet.get());
            break; // damaged data: finish with the frames so far
        }
        const Step step = takeFrames();
        av_packet_unref(m_packet.get());
        if (step != Step::More) {
            return step;
        }
    }
    if (m_cancelled.load()) {
        return Step::Cancelled;
    }
    // The decoder holds back the last frames (reordering, frame threads) until it is drained.
    avcodec_send_packet(m_decoder.get(), nullptr);
    const Step step = takeFrames();
    return step == Step::More ? Step::Finish : step;
}

VideoTranscoder::Result TranscodeRun::run(const QString& source, const QString& output)
{
    if (m_cancelled.load()) {
        return Result::Cancelled;
    }
    if (!openSource(source)) {
        return failed();
    }
    if (QFileInfo::exists(output)) {
        logText("output fail");
        return Result::Failed;
    }
    // Declared here, after the source, and released after the muxer below has closed the file.
    PartialFile partial(output);
    if (!partial.isValid()) {
        logText("打开输出文件失败");
        return Result::Failed;
    }
    const bool opened = openOutput(output, partial.path());
    if (!opened || !seekToStart()) {
        m_muxer.reset();
        return failed();
    }
    const Step step = decodeAll();
    if (step != Step::Finish) {
        m_muxer.reset();
        return step == Step::Cancelled ? Result::Cancelled : Result::Failed;
    }
    if (m_framesEncoded == 0) {
        // Nothing inside the range could be decoded: a video without frames plays nothing.
        m_muxer.reset();
        return Result::Failed;
    }
    bool finished = avcodec_send_frame(m_encoder.get(), nullptr) >= 0 && writePackets() == Step::More;
    finished = finished && av_write_trailer(m_muxer.get()) >= 0;
    m_muxer.reset(); // closes the file
    if (!finished) {
        return Result::Failed;
    }
    if (m_cancelled.load()) {
        return Result::Cancelled;
    }
    return partial.publishAs(output) ? Result::Finished : Result::Failed;
}

} // namespace

FrameRate transcodeFrameRate(FrameRate real, FrameRate average)
{
    if (plausible(real)) {
        return real;
    }
    if (plausible(average)) {
        return average;
    }
    return kFallbackFrameRate;
}

VideoTranscoder::Result VideoTranscoder::run(const QString& source, const QString& output,
                                             const MediaScaleRecord& record)
{
    TranscodeRun run(record, m_cancelled, m_progress);
    return run.run(source, output);
}

} // namespace vortane::media
