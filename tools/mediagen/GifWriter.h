#pragma once

#include <QImage>
#include <QString>
#include <QVector>

#include <cstdint>

// Writes an endlessly looping animated GIF (GIF89a) from frames of one size.
//
// All frames share one palette of up to 255 colours chosen by median cut over every frame's
// pixels; pixels are mapped to it through an ordered (Bayer) dither, which is the same in every
// frame, so still areas stay still. Each frame after the first stores only the rectangle that
// changed, with unchanged pixels inside it transparent on top of the previous frame.
class GifWriter final
{
public:
    // delayCentiseconds: display time of each frame, in 1/100 s.
    static bool write(const QString& path, const QVector<QImage>& frames, int delayCentiseconds,
                      QString* error = nullptr);

    // LZW code stream of one frame's indexes (GIF variant, minimum code size 8, codes of 9 to
    // 12 bits, least significant bit first), before it is cut into sub-blocks.
    static QByteArray compress(const uint8_t* indexes, int count);
};
