#pragma once

// Building blocks shared by the playback run, the one-shot frame grabs and the transcoder: opening
// a file, stream facts (exact duration, display rotation, frame times), the conversion of a
// decoded frame into the RGB picture that is shown, and the one-shot grabs themselves. Private to
// media/; VideoPlayer offers the grabs to the rest of the program.

#include "media/FFmpegPtr.h"
#include "media/HardwareDecoder.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <array>
#include <functional>

namespace vortane::media {

// Longest side of any picture the player produces, in pixels.
inline constexpr int maxDecodeSide = 1280;

// How often a failed repositioning is attempted before the seek is given up.
inline constexpr int kSeekAttempts = 3;

// Opens `path` (UTF-8) and returns the context, or null. `interrupt` (may be null) lets a blocking
// read be abandoned; it is copied into the context before the file is opened.
ffmpeg::FormatContextPtr openInput(const QString& path, const AVIOInterruptCB* interrupt);

// A clip opened for decoding: the file, its first video stream and an open decoder for it.
struct VideoSource
{
    ffmpeg::FormatContextPtr format;
    AVStream* stream = nullptr;
    int streamIndex = -1;
    ffmpeg::CodecContextPtr decoder;
    int rotation = 0; // displayRotation of the stream
};

// The step at which opening a clip failed; each has the message the log gives it.
enum class OpenFailure
{
    None,
    Input,         // "Can't open input stream.\n"
    StreamInfo,    // "Can't find stream information.\n"
    NoVideoStream, // "Don't find video stream.\n"
    NoDecoder,     // "Don't find video codec.\n"
    DecoderOpen,   // avcodec_open2 refused; callers decide whether to say so
};

// The log message of a failed step (empty for None and DecoderOpen).
const char* openFailureText(OpenFailure failure);

// Opens `path` and a decoder for its first video stream into `source`, with `hardware` attached
// when the platform's decoder device can be used (`hardware` must outlive the decoder). Frame
// threads only for software decoding.
OpenFailure openVideoSource(const QString& path, const AVIOInterruptCB* interrupt, HardwareDecoding& hardware,
                            VideoSource& source);

// Index of the first video stream, or -1.
int firstVideoStream(const AVFormatContext* format);

// Length of the clip in microseconds: the container's duration, else the stream's; 0 if unknown.
qint64 clipDurationUs(const AVFormatContext* format, const AVStream* stream);

// Clockwise quarter turn (0, 90, 180 or 270 degrees) that shows the stream upright, taken from its
// display matrix (whose angle FFmpeg reports counter-clockwise); 0 without one.
int displayRotation(const AVStream* stream);

// Presentation time of a decoded frame in microseconds from the stream's start. Falls back to the
// packet's decoding time stamp, then to 0.
qint64 frameTimeUs(const AVFrame* frame, const AVPacket* packet, const AVStream* stream);

// Stream time stamp of a clip time in microseconds (the inverse of frameTimeUs), for seeking.
int64_t streamTimestamp(qint64 timeUs, const AVStream* stream);

// Size of the shown picture for a decoded size and rotation: the rotated picture with its longer
// side capped at maxDecodeSide (integer arithmetic, aspect kept).
QSize shownSize(QSize decoded, int rotation);

// Repositions to `timeUs` (backward: the key frame at or before it), trying up to kSeekAttempts
// times while `keepTrying` returns true. Flushes `decoder` on success.
template <typename KeepTrying>
bool repositionTo(AVFormatContext* format, AVCodecContext* decoder, const AVStream* stream, qint64 timeUs,
                  KeepTrying keepTrying);

// Turns decoded frames into deep-copied RGB888 pictures of a chosen size and rotation. The scaler
// is made on first use and kept while the source stays alike. Unrotated pictures are written into
// a small pool of images that is reused once their receivers have let go of them, so steady
// playback does not allocate a picture per frame. One converter per thread.
class FrameConverter final
{
public:
    FrameConverter() = default;
    FrameConverter(const FrameConverter&) = delete;
    FrameConverter& operator=(const FrameConverter&) = delete;

    // `target` is the size after rotation; `scaleFlags` the swscale filter (SWS_BICUBIC, ...).
    // Returns a null image when the frame cannot be converted.
    QImage convert(const AVFrame* frame, QSize target, int rotation, int scaleFlags = SWS_BICUBIC);

private:
    QImage& writableImage(QSize size);

    ffmpeg::ScalerPtr m_scaler;
    std::array<QImage, 3> m_pool;
    std::size_t m_nextPoolSlot = 0;
    QImage m_scratch; // unrotated picture of a rotated clip; never handed out
};

// One frame at fraction f of the clip, software-decoded in the calling thread, rotated upright and
// capped like played frames. A target past the last frame gives the last frame. Null image when
// the file cannot be decoded.
QImage grabFrame(const QString& path, double f);

// A row of pictures 240 pixels wide (and at most 480 high) spread evenly over the clip, as many as
// fit into 400 pixels at 24 pixels of height each but at most 100, for the trim timeline. Decodes
// in the calling thread; after every decoded frame calls `progress` with 0..100 and processes the
// thread's pending events, and at the end calls `progress(100)`. Empty when the file cannot be
// decoded.
QList<QImage> extractTimelineThumbnails(const QString& path, const std::function<void(int)>& progress);

// ---- implementation of the template ----

template <typename KeepTrying>
bool repositionTo(AVFormatContext* format, AVCodecContext* decoder, const AVStream* stream, qint64 timeUs,
                  KeepTrying keepTrying)
{
    // Each attempt asks less of the demuxer: the key frame at or before the target, then any
    // position near it, then the start of the stream (the caller discards frames up to the target).
    const int64_t timestamp = streamTimestamp(timeUs, stream);
    for (int attempt = 0; attempt < kSeekAttempts; ++attempt) {
        if (!keepTrying()) {
            return false;
        }
        int result = -1;
        switch (attempt) {
        case 0:
            result = av_seek_frame(format, stream->index, timestamp, AVSEEK_FLAG_BACKWARD);
            break;
        case 1:
            result = avformat_seek_file(format, stream->index, INT64_MIN, timestamp, INT64_MAX, 0);
            break;
        default:
            result = av_seek_frame(format, stream->index, streamTimestamp(0, stream), AVSEEK_FLAG_BACKWARD);
            break;
        }
        if (result >= 0) {
            avcodec_flush_buffers(decoder);
            return true;
        }
    }
    return false;
}

} // namespace vortane::media
