#pragma once

// What a background medium is and how its pictures become device frames: the kind of a file by
// its suffix, picture loading within a memory limit, the crop-and-scale rendering of a
// MediaScaleRecord, the fitting of video pictures to the frame, and the library thumbnails.
// Pure functions; they decode in the calling thread (the GUI thread in the program).

#include "types/MediaScaleRecord.h"

#include <QImage>
#include <QString>

namespace vortane::media {

enum class MediaKind
{
    Still,
    Gif,
    Video
};

// By suffix, in any letter case: "gif" is a GIF; "mp4", "avi" and "mkv" are videos; anything else
// (png, jpg, bmp, a name without suffix) is a still picture.
MediaKind mediaKindOf(const QString& path);

// Decoded pictures (a still, or all frames of a GIF together) may take at most this much memory;
// a file that claims more is treated as one that cannot be read.
inline constexpr qint64 kMaxDecodedPictureBytes = qint64(256) * 1024 * 1024;

// The picture of a still file, or a null image when it cannot be read or its declared size would
// need more than kMaxDecodedPictureBytes.
QImage loadPicture(const QString& path);

// True when the GIF can be read and all its frames together fit into kMaxDecodedPictureBytes.
bool gifFitsMemoryLimit(const QString& path);

// The crop dialog's rotation as clockwise quarter turns 0..3. The dialog stores quarter turns;
// a value that is a multiple of 90 is read as degrees.
int quarterTurns(qint32 rotation);

// The rendering rule of a still picture or a GIF frame: the source turned by the record's
// rotation, scaled by `ratio` (smooth), placed with its top-left corner at (x, y) on an opaque
// black canvas of canvasWidth x canvasHeight, and that canvas scaled to width x height (aspect
// ignored, smooth). The result is always exactly width x height, opaque (Format_RGB32); a null
// source gives the black canvas. A record without a frame size (width or height 0) gives a null
// image.
QImage renderFrame(const QImage& source, const MediaScaleRecord& record);

// A video picture as a device frame of `size`: unchanged when it already has that size, else
// scaled to fit inside it (aspect kept, smooth) and centred on black.
QImage fitVideoFrame(const QImage& picture, QSize size);

// Library thumbnails: full output frames (record width x height) of an item. The picture of a
// still, the GIF frame at trunc(frame count x startPos), or the video frame at startPos (as the
// file holds it: library videos are already cut to the frame). Null when the file cannot be read.
QImage makeImageThumbnail(const QString& path, const MediaScaleRecord& record);
QImage makeGifThumbnail(const QString& path, const MediaScaleRecord& record);
QImage makeVideoThumbnail(const QString& path, const MediaScaleRecord& record);
// The thumbnail maker of the file's kind.
QImage makeThumbnail(const QString& path, const MediaScaleRecord& record);

} // namespace vortane::media
