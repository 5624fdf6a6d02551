#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

// Encodes a sequence of pictures as an H.264 video (libx264, YUV 4:2:0) into a file whose
// container follows the file name's extension (".mp4", ".mkv", ...).
//
// Usage: open(), then writeFrame() once per frame in display order, then finish(). Frames of
// another size are scaled to the video size. A writer that is destroyed without finish()
// releases everything and leaves a truncated file behind. One thread at a time.
class H264Writer final
{
public:
    struct Options
    {
        QSize frameSize;                             // even width and height, pixels
        int framesPerSecond = 30;                    // constant frame rate
        int constantRateFactor = 20;                 // x264 quality: 0 lossless .. 51 worst
        int keyFrameInterval = 60;                   // frames between key frames
        QString preset = QStringLiteral("veryfast"); // x264 speed preset
        int threads = 2;                             // encoder threads; 0 lets x264 choose
    };

    H264Writer();
    ~H264Writer();
    H264Writer(const H264Writer&) = delete;
    H264Writer& operator=(const H264Writer&) = delete;

    // True when this FFmpeg build carries the libx264 encoder.
    static bool encoderAvailable();

    // Creates the file and the encoder. False (with errorString()) on bad options, a missing
    // encoder or a file that cannot be written.
    bool open(const QString& path, const Options& options);

    // Encodes one frame. False after an encoder or write error, or when the writer is not open.
    bool writeFrame(const QImage& frame);

    // Drains the encoder, writes the container's index and closes the file.
    bool finish();

    // Frames accepted since the last open().
    int framesWritten() const;
    QString errorString() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
    QString m_error;
    int m_framesWritten = 0;

    bool fail(const QString& what, int averror = 0);
    bool drain(bool flushing);
};
