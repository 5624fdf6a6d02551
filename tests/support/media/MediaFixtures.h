#pragma once

// Fixture media made by the tests themselves: short clips whose frames carry their own index and a
// corner marker, animated GIFs whose frames carry their index in their colour, and damaged files.

#include <QImage>
#include <QString>
#include <QVector>

namespace vortane::test {

enum class VideoCodec
{
    H264,
    Ffv1
};

struct ClipRecipe
{
    int width = 160;
    int height = 96;
    int fps = 30;
    int frameCount = 30;
    int keyFrameInterval = 30; // frames between key frames
    // Display-matrix angle the file reports (counter-clockwise degrees, as FFmpeg reads it: the
    // picture is shown turned counter-clockwise by this much); 0 writes no matrix.
    int displayMatrixAngle = 0;
    VideoCodec codec = VideoCodec::H264;
    bool indexAtFront = false; // MP4 only: write the index before the media data
};

// Encodes the clip into `path`; the container follows the suffix (.mp4, .mkv, .avi).
bool writeClip(const QString& path, const ClipRecipe& recipe);

// Display-matrix angle of the file's first stream that has one (FFmpeg's reading), or 0.
int reportedDisplayAngle(const QString& path);

// The picture encoded as frame `index`: a red marker in the top-left corner (a fifth of each side)
// and the index in binary as ten black or white cells across the middle.
QImage clipFramePicture(int width, int height, int index);
// The index a frame picture carries (at any scale), or -1 when the cells do not read clearly.
int readFrameIndex(const QImage& picture);

enum class Corner
{
    None,
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight
};
// The corner the red marker is in, or None when not exactly one corner is red.
Corner markerCorner(const QImage& picture);
const char* cornerName(Corner corner);

struct GifRecipe
{
    int width = 32;
    int height = 24;
    int frameCount = 10;
    int delayCs = 2;       // delay of every frame, hundredths of a second
    QVector<int> delaysCs; // per-frame delays; overrides delayCs where given
    int brokenFrame = -1;  // frame whose image data is written damaged
};

// Writes an animated GIF whose frame i is filled with gifFrameColor(i).
bool writeGif(const QString& path, const GifRecipe& recipe);
QRgb gifFrameColor(int index);
// The frame index a GIF frame carries, or -1.
int readGifFrameIndex(const QImage& frame);

// A short mono WAV file (an input with audio and no video).
bool writeWav(const QString& path, int milliseconds);
// `size` pseudo-random bytes from `seed`.
bool writeRandomBytes(const QString& path, qint64 size, quint32 seed);
// Cuts a file down to `fraction` of its length.
bool truncateFile(const QString& path, double fraction);

} // namespace vortane::test
