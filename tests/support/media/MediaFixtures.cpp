#include "tests/support/media/MediaFixtures.h"

#include "media/DisplayMatrix.h"
#include "media/FFmpegPtr.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <QFile>
#include <QPainter>
#include <QRandomGenerator>

#include <cmath>
#include <memory>

namespace vortane::test {

namespace {

constexpr int kIndexBits = 10;

QRect markerRect(int width, int height)
{
    return QRect(0, 0, std::max(2, width / 5), std::max(2, height / 5));
}

QRectF cellRect(qreal width, qreal height, int bit)
{
    const qreal cellWidth = width / 20.0;
    return QRectF(width * 0.25 + bit * cellWidth, height * 0.45, cellWidth, height * 0.15);
}

bool drain(AVCodecContext* encoder, AVFormatContext* output, AVStream* stream, AVPacket* packet)
{
    for (;;) {
        const int result = avcodec_receive_packet(encoder, packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
            return true;
        }
        if (result < 0) {
            return false;
        }
        // Every frame lasts one tick; without it the MP4 writer gives the last frame no time and
        // its edit list cuts that frame off.
        if (packet->duration <= 0) {
            packet->duration = 1;
        }
        av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
        packet->stream_index = stream->index;
        if (av_interleaved_write_frame(output, packet) < 0) {
            return false;
        }
    }
}

} // namespace

QImage clipFramePicture(int width, int height, int index)
{
    QImage picture(width, height, QImage::Format_RGB888);
    picture.fill(QColor(70, 80, 110));
    QPainter painter(&picture);
    painter.fillRect(markerRect(width, height), QColor(230, 20, 20));
    for (int bit = 0; bit < kIndexBits; ++bit) {
        const bool set = (index >> (kIndexBits - 1 - bit)) & 1;
        painter.fillRect(cellRect(width, height, bit), set ? Qt::white : Qt::black);
    }
    return picture;
}

int readFrameIndex(const QImage& picture)
{
    if (picture.isNull()) {
        return -1;
    }
    int index = 0;
    for (int bit = 0; bit < kIndexBits; ++bit) {
        const QPointF centre = cellRect(picture.width(), picture.height(), bit).center();
        const int grey = qGray(picture.pixel(centre.toPoint()));
        if (grey > 190) {
            index |= 1 << (kIndexBits - 1 - bit);
        } else if (grey > 60) {
            return -1;
        }
    }
    return index;
}

Corner markerCorner(const QImage& picture)
{
    if (picture.isNull()) {
        return Corner::None;
    }
    const int w = picture.width();
    const int h = picture.height();
    auto red = [&](int x, int y) {
        const QRgb pixel = picture.pixel(x, y);
        return qRed(pixel) > 150 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
    };
    const int left = w / 12;
    const int right = w - 1 - w / 12;
    const int top = h / 12;
    const int bottom = h - 1 - h / 12;
    const bool corners[4] = {red(left, top), red(right, top), red(left, bottom), red(right, bottom)};
    int found = -1;
    for (int i = 0; i < 4; ++i) {
        if (corners[i]) {
            if (found >= 0) {
                return Corner::None;
            }
            found = i;
        }
    }
    switch (found) {
    case 0:
        return Corner::TopLeft;
    case 1:
        return Corner::TopRight;
    case 2:
        return Corner::BottomLeft;
    case 3:
        return Corner::BottomRight;
    default:
        return Corner::None;
    }
}

const char* cornerName(Corner corner)
{
    switch (corner) {
    case Corner::TopLeft:
        return "top-left";
    case Corner::TopRight:
        return "top-right";
    case Corner::BottomLeft:
        return "bottom-left";
    case Corner::BottomRight:
        return "bottom-right";
    case Corner::None:
        break;
    }
    return "none";
}

namespace {

bool encodeClip(const QString& path, const ClipRecipe& recipe, int writtenAngle)
{
    const QByteArray file = path.toUtf8();
    AVFormatContext* rawOutput = nullptr;
    if (avformat_alloc_output_context2(&rawOutput, nullptr, nullptr, file.constData()) < 0 || !rawOutput) {
        return false;
    }
    ffmpeg::OutputFormatContextPtr output(rawOutput);

    const bool h264 = recipe.codec == VideoCodec::H264;
    const AVCodec* codec = h264 ? avcodec_find_encoder_by_name("libx264") : avcodec_find_encoder(AV_CODEC_ID_FFV1);
    if (!codec) {
        return false;
    }
    ffmpeg::CodecContextPtr encoder(avcodec_alloc_context3(codec));
    if (!encoder) {
        return false;
    }
    encoder->width = recipe.width;
    encoder->height = recipe.height;
    encoder->time_base = AVRational{1, recipe.fps};
    encoder->framerate = AVRational{recipe.fps, 1};
    encoder->gop_size = recipe.keyFrameInterval;
    encoder->pix_fmt = AV_PIX_FMT_YUV420P;
    encoder->thread_count = 1;
    if (h264) {
        av_opt_set(encoder->priv_data, "preset", "superfast", 0);
        av_opt_set(encoder->priv_data, "qp", "12", 0);
        // Key frames exactly every keyFrameInterval frames, so tests know where seeks land.
        av_opt_set(encoder->priv_data, "x264-params", "scenecut=0:min-keyint=1", 0);
    }
    if (output->oformat->flags & AVFMT_GLOBALHEADER) {
        encoder->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    if (avcodec_open2(encoder.get(), codec, nullptr) < 0) {
        return false;
    }
    AVStream* stream = avformat_new_stream(output.get(), nullptr);
    if (!stream || avcodec_parameters_from_context(stream->codecpar, encoder.get()) < 0) {
        return false;
    }
    stream->time_base = encoder->time_base;
    if (writtenAngle != 0) {
        int32_t* matrix = vortane::media::addStreamDisplayMatrix(stream);
        if (!matrix) {
            return false;
        }
        av_display_rotation_set(matrix, writtenAngle);
    }
    if (avio_open(&output->pb, file.constData(), AVIO_FLAG_WRITE) < 0) {
        return false;
    }
    AVDictionary* options = nullptr;
    if (recipe.indexAtFront) {
        av_dict_set(&options, "movflags", "+faststart", 0);
    }
    const int header = avformat_write_header(output.get(), &options);
    av_dict_free(&options);
    if (header < 0) {
        return false;
    }

    ffmpeg::FramePtr frame(av_frame_alloc());
    ffmpeg::PacketPtr packet(av_packet_alloc());
    ffmpeg::ScalerPtr scaler(sws_getContext(recipe.width, recipe.height, AV_PIX_FMT_RGB24, recipe.width, recipe.height,
                                            AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!frame || !packet || !scaler) {
        return false;
    }
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = recipe.width;
    frame->height = recipe.height;
    if (av_frame_get_buffer(frame.get(), 0) < 0) {
        return false;
    }
    for (int i = 0; i < recipe.frameCount; ++i) {
        if (av_frame_make_writable(frame.get()) < 0) {
            return false;
        }
        const QImage picture = clipFramePicture(recipe.width, recipe.height, i);
        const uint8_t* source[1] = {picture.constBits()};
        const int sourceStride[1] = {static_cast<int>(picture.bytesPerLine())};
        sws_scale(scaler.get(), source, sourceStride, 0, recipe.height, frame->data, frame->linesize);
        frame->pts = i;
        if (avcodec_send_frame(encoder.get(), frame.get()) < 0 ||
            !drain(encoder.get(), output.get(), stream, packet.get())) {
            return false;
        }
    }
    if (avcodec_send_frame(encoder.get(), nullptr) < 0 || !drain(encoder.get(), output.get(), stream, packet.get())) {
        return false;
    }
    return av_write_trailer(output.get()) >= 0;
}

} // namespace

int reportedDisplayAngle(const QString& path)
{
    AVFormatContext* context = nullptr;
    if (avformat_open_input(&context, path.toUtf8().constData(), nullptr, nullptr) < 0) {
        return 0;
    }
    int angle = 0;
    if (avformat_find_stream_info(context, nullptr) >= 0) {
        for (unsigned i = 0; i < context->nb_streams; ++i) {
            if (const int32_t* matrix = vortane::media::streamDisplayMatrix(context->streams[i])) {
                angle = static_cast<int>(std::lround(av_display_rotation_get(matrix)));
                break;
            }
        }
    }
    avformat_close_input(&context);
    return angle;
}

namespace {
bool sameTurn(int a, int b)
{
    return ((a - b) % 360 + 360) % 360 == 0;
}
} // namespace

bool writeClip(const QString& path, const ClipRecipe& recipe)
{
    if (!encodeClip(path, recipe, recipe.displayMatrixAngle)) {
        return false;
    }
    // Some muxers store the matrix transposed (the MP4 writer of FFmpeg 5.1 does), so the file
    // would report the opposite turn; the clip is then written again with the angle negated.
    if (recipe.displayMatrixAngle != 0 && !sameTurn(reportedDisplayAngle(path), recipe.displayMatrixAngle)) {
        return encodeClip(path, recipe, -recipe.displayMatrixAngle) &&
               sameTurn(reportedDisplayAngle(path), recipe.displayMatrixAngle);
    }
    return true;
}

// ---- GIF ----

QRgb gifFrameColor(int index)
{
    return qRgb(index & 0xff, 255 - (index & 0xff), 128);
}

int readGifFrameIndex(const QImage& frame)
{
    if (frame.isNull()) {
        return -1;
    }
    const QRgb pixel = frame.pixel(frame.width() / 2, frame.height() / 2);
    if (qGreen(pixel) != 255 - qRed(pixel) || qBlue(pixel) != 128) {
        return -1;
    }
    return qRed(pixel);
}

namespace {

// GIF image data without compression: every pixel is a literal 9-bit code, and a clear code comes
// often enough that the code width never grows.
QByteArray literalLzw(const QByteArray& pixels)
{
    QByteArray bytes;
    quint32 buffer = 0;
    int bits = 0;
    auto put = [&](int code) {
        buffer |= quint32(code) << bits;
        bits += 9;
        while (bits >= 8) {
            bytes.append(char(buffer & 0xff));
            buffer >>= 8;
            bits -= 8;
        }
    };
    constexpr int kClear = 256;
    constexpr int kEnd = 257;
    int sinceClear = 0;
    put(kClear);
    for (char pixel : pixels) {
        if (sinceClear == 250) {
            put(kClear);
            sinceClear = 0;
        }
        put(static_cast<unsigned char>(pixel));
        ++sinceClear;
    }
    put(kEnd);
    if (bits > 0) {
        bytes.append(char(buffer & 0xff));
    }
    return bytes;
}

void appendLe16(QByteArray& out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

void appendSubBlocks(QByteArray& out, const QByteArray& data)
{
    for (int offset = 0; offset < data.size(); offset += 255) {
        const QByteArray block = data.mid(offset, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));
}

} // namespace

bool writeGif(const QString& path, const GifRecipe& recipe)
{
    QByteArray out("GIF89a");
    appendLe16(out, recipe.width);
    appendLe16(out, recipe.height);
    out.append(char(0xF7)); // global colour table of 256 entries, 8 bits per primary
    out.append(char(0));
    out.append(char(0));
    for (int i = 0; i < 256; ++i) {
        const QRgb colour = gifFrameColor(i);
        out.append(char(qRed(colour)));
        out.append(char(qGreen(colour)));
        out.append(char(qBlue(colour)));
    }
    // Loop forever (application extension), as animations on the screen do.
    out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19);
    for (int i = 0; i < recipe.frameCount; ++i) {
        const int delay = i < recipe.delaysCs.size() ? recipe.delaysCs[i] : recipe.delayCs;
        out.append("\x21\xF9\x04", 3);
        out.append(char(0x04)); // keep the frame (disposal 1), no transparency
        appendLe16(out, delay);
        out.append(char(0));
        out.append(char(0));
        out.append(char(0x2C));
        appendLe16(out, 0);
        appendLe16(out, 0);
        appendLe16(out, recipe.width);
        appendLe16(out, recipe.height);
        out.append(char(0));
        out.append(char(8)); // LZW minimum code size
        if (i == recipe.brokenFrame) {
            // Codes far beyond the table: the decoder must give up on this frame.
            appendSubBlocks(out, QByteArray(40, char(0xFF)));
        } else {
            appendSubBlocks(out, literalLzw(QByteArray(recipe.width * recipe.height, char(i & 0xff))));
        }
    }
    out.append(char(0x3B));
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(out) == out.size();
}

// ---- other inputs ----

bool writeWav(const QString& path, int milliseconds)
{
    constexpr int kRate = 8000;
    const int samples = kRate * milliseconds / 1000;
    QByteArray data;
    for (int i = 0; i < samples; ++i) {
        appendLe16(data, (i % 40 < 20) ? 4000 : -4000);
    }
    QByteArray out("RIFF");
    auto le32 = [&out](quint32 value) {
        for (int shift = 0; shift < 32; shift += 8) {
            out.append(char((value >> shift) & 0xff));
        }
    };
    le32(36 + data.size());
    out.append("WAVEfmt ");
    le32(16);
    appendLe16(out, 1); // PCM
    appendLe16(out, 1); // mono
    le32(kRate);
    le32(kRate * 2);
    appendLe16(out, 2);
    appendLe16(out, 16);
    out.append("data");
    le32(data.size());
    out.append(data);
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(out) == out.size();
}

bool writeRandomBytes(const QString& path, qint64 size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(static_cast<int>(size), Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i) {
        bytes[static_cast<int>(i)] = char(generator.bounded(256));
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool truncateFile(const QString& path, double fraction)
{
    QFile file(path);
    return file.resize(static_cast<qint64>(file.size() * fraction));
}

} // namespace vortane::test
