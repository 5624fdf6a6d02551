#pragma once

#include <QColor>
#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>

#include <cmath>

// Pixel helpers for the rendering tests of the custom controls.
namespace PixelChecks {

// `colour` (which may carry alpha) composited over the opaque `background`.
inline QColor over(const QColor& colour, const QColor& background)
{
    const double a = colour.alphaF();
    auto mix = [a](int top, int bottom) { return int(std::lround(top * a + bottom * (1.0 - a))); };
    return QColor(mix(colour.red(), background.red()), mix(colour.green(), background.green()),
                  mix(colour.blue(), background.blue()));
}

inline int distance(const QColor& a, const QColor& b)
{
    return std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
}

inline bool near(const QColor& actual, const QColor& expected, int tolerance = 6)
{
    return distance(actual, expected) <= tolerance;
}

inline QString describe(const QColor& colour)
{
    return colour.name(QColor::HexRgb);
}

// Paints the widget into an image with `background` filled behind it first (through its palette's
// background role, as a parent page's background would show through).
inline QImage render(QWidget& widget, const QColor& background)
{
    QPalette palette = widget.palette();
    palette.setColor(widget.backgroundRole(), background);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// True when text in `textColour` is drawn on `fill` somewhere in `area`: the pixel that differs most
// from the fill lies on the way from the fill towards the text colour, at least most of the way.
// Antialiased glyph edges are mixtures of the two, so a pixel of the exact colour need not exist.
inline bool showsText(const QImage& image, const QRect& area, const QColor& fill, const QColor& textColour,
                      QString* why)
{
    QColor strongest = fill;
    int strongestDistance = -1;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const int d = distance(pixel, fill);
            if (d > strongestDistance) {
                strongestDistance = d;
                strongest = pixel;
            }
        }
    }
    const double dr = textColour.red() - fill.red();
    const double dg = textColour.green() - fill.green();
    const double db = textColour.blue() - fill.blue();
    const double length2 = dr * dr + dg * dg + db * db;
    const double pr = strongest.red() - fill.red();
    const double pg = strongest.green() - fill.green();
    const double pb = strongest.blue() - fill.blue();
    const double t = length2 > 0 ? (pr * dr + pg * dg + pb * db) / length2 : 0.0;
    const double residual =
        std::sqrt((pr - t * dr) * (pr - t * dr) + (pg - t * dg) * (pg - t * dg) + (pb - t * db) * (pb - t * db));
    if (t > 0.6 && residual < 20)
        return true;
    if (why != nullptr) {
        *why = QStringLiteral("strongest text pixel %1 on fill %2 is not text colour %3 (t=%4, off by %5)")
                   .arg(describe(strongest), describe(fill), describe(textColour))
                   .arg(t)
                   .arg(residual);
    }
    return false;
}

} // namespace PixelChecks
