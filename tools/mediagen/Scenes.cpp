#include "tools/mediagen/Scenes.h"

#include <QConicalGradient>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QtMath>

#include <cmath>

namespace {

constexpr double kTau = 6.283185307179586;

const QColor kAccent(0x00, 0xA8, 0xFF);
const QColor kIce(137, 231, 255); // the clock hands' colour
const QColor kDeepBlue(0x0A, 0x2A, 0x52);
const QColor kViolet(0x4B, 0x3A, 0xC8);
const QColor kTopShade(0x05, 0x07, 0x0C);
const QColor kBottomShade(0x0C, 0x14, 0x22);

QColor withAlpha(QColor c, double alpha)
{
    c.setAlphaF(qBound(0.0, alpha, 1.0));
    return c;
}

// Unit of length that keeps the designs alike in both orientations: 1 = 480 px of the short side.
double unitOf(QSize size)
{
    return std::min(size.width(), size.height()) / 480.0;
}

void paintBackdrop(QPainter& p, QSize size)
{
    QLinearGradient shade(0, 0, 0, size.height());
    shade.setColorAt(0.0, kTopShade);
    shade.setColorAt(1.0, kBottomShade);
    p.fillRect(QRect(QPoint(0, 0), size), shade);
}

void paintVignette(QPainter& p, QSize size)
{
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    const double radius = std::hypot(size.width(), size.height()) / 2.0;
    QRadialGradient vignette(centre, radius);
    vignette.setColorAt(0.0, QColor(0, 0, 0, 0));
    vignette.setColorAt(0.65, QColor(0, 0, 0, 0));
    vignette.setColorAt(1.0, QColor(0, 0, 0, 150));
    p.fillRect(QRect(QPoint(0, 0), size), vignette);
}

void paintGlow(QPainter& p, QPointF centre, double radius, const QColor& colour, double strength)
{
    QRadialGradient glow(centre, radius);
    glow.setColorAt(0.0, withAlpha(colour, strength));
    glow.setColorAt(0.45, withAlpha(colour, strength * 0.35));
    glow.setColorAt(1.0, withAlpha(colour, 0.0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, radius, radius);
}

// Fixed star field: the same stars for the same size, in the top `share` of the frame.
void paintStars(QPainter& p, QSize size, double share, quint32 seed)
{
    QRandomGenerator random(seed);
    const int count = int(size.width() * size.height() * share / 2600.0);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        const QPointF at(random.bounded(double(size.width())), random.bounded(size.height() * share));
        const double brightness = 0.15 + random.bounded(0.45);
        const double r = 0.6 + random.bounded(1.0);
        p.setBrush(withAlpha(i % 7 == 0 ? kIce : QColor(200, 215, 235), brightness));
        p.drawEllipse(at, r, r);
    }
}

} // namespace

namespace Scenes {

QImage drift(QSize size, double phase)
{
    // The soft lights are drawn at a quarter of the size and enlarged: they have no detail to
    // lose, and the frame costs a sixteenth of the fill.
    const QSize small(size.width() / 4, size.height() / 4);
    QImage lights(small, QImage::Format_RGB32);
    {
        QPainter p(&lights);
        p.setRenderHint(QPainter::Antialiasing);
        paintBackdrop(p, small);
        p.setCompositionMode(QPainter::CompositionMode_Plus);
        struct Light
        {
            QColor colour;
            double strength, radius;
            int cyclesX, cyclesY; // whole cycles per loop keep the loop seamless
            double offsetX, offsetY, reachX, reachY;
        };
        const Light lightsTable[] = {
            {kAccent, 0.42, 0.55, 1, 1, 0.00, 0.25, 0.30, 0.25},
            {kViolet, 0.40, 0.50, 1, 2, 0.50, 0.10, 0.35, 0.20},
            {kDeepBlue, 0.65, 0.70, 2, 1, 0.25, 0.60, 0.25, 0.30},
            {kIce, 0.18, 0.35, 1, 1, 0.70, 0.85, 0.32, 0.28},
        };
        const double longSide = std::max(small.width(), small.height());
        for (const Light& l : lightsTable) {
            const QPointF centre(small.width() * (0.5 + l.reachX * std::sin(kTau * (l.cyclesX * phase + l.offsetX))),
                                 small.height() * (0.5 + l.reachY * std::cos(kTau * (l.cyclesY * phase + l.offsetY))));
            paintGlow(p, centre, l.radius * longSide, l.colour, l.strength);
        }
    }
    QImage frame = lights.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    QPainter p(&frame);
    p.setRenderHint(QPainter::Antialiasing);
    // Flowing lines: a ribbon of sine curves whose phase advances one full turn per loop.
    const bool landscape = size.width() >= size.height();
    const double length = landscape ? size.width() : size.height();
    const double across = landscape ? size.height() : size.width();
    constexpr int kLines = 22;
    for (int i = 0; i < kLines; ++i) {
        const double t = double(i) / (kLines - 1);
        QPainterPath path;
        constexpr int kSteps = 80;
        for (int s = 0; s <= kSteps; ++s) {
            const double u = double(s) / kSteps;
            const double wave = 0.16 * std::sin(kTau * (u * 1.1 + phase + t * 0.35)) +
                                0.07 * std::sin(kTau * (u * 2.3 - 2 * phase + t * 0.8));
            const double v = 0.5 + (t - 0.5) * 0.28 + wave;
            const QPointF at = landscape ? QPointF(u * length, v * across) : QPointF(v * across, u * length);
            if (s == 0)
                path.moveTo(at);
            else
                path.lineTo(at);
        }
        QLinearGradient ink(0, 0, landscape ? length : 0, landscape ? 0 : length);
        const double alpha = 0.10 + 0.30 * std::sin(kTau * t / 2.0);
        ink.setColorAt(0.0, withAlpha(kAccent, 0.0));
        ink.setColorAt(0.3, withAlpha(kAccent, alpha));
        ink.setColorAt(0.7, withAlpha(kIce, alpha));
        ink.setColorAt(1.0, withAlpha(kViolet, 0.0));
        p.setPen(QPen(QBrush(ink), 1.2 * unitOf(size)));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    paintVignette(p, size);
    return frame;
}

QImage clockFace(QSize size)
{
    QImage frame(size, QImage::Format_RGB32);
    QPainter p(&frame);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackdrop(p, size);
    paintStars(p, size, 1.0, 0x5eed0001u);

    // The analog clock is 320 x 320 and centred on the screen; its hands reach 95 px (minute)
    // and 71 px (hour) from the centre, so the marks stay outside 110 px.
    const QPointF centre(size.width() / 2, size.height() / 2);
    paintGlow(p, centre, 280, kAccent, 0.20);

    // Outer decoration: thin rings and a dotted track beyond the dial.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(kAccent, 0.18), 1.0));
    p.drawEllipse(centre, 188, 188);
    p.setPen(QPen(withAlpha(kIce, 0.10), 1.0));
    p.drawEllipse(centre, 214, 214);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 120; ++i) {
        const double a = kTau * i / 120.0;
        p.setBrush(withAlpha(kIce, i % 10 == 0 ? 0.45 : 0.14));
        p.drawEllipse(centre + QPointF(std::cos(a), std::sin(a)) * 201.0, 1.3, 1.3);
    }

    // The dial.
    QRadialGradient face(centre, 158);
    face.setColorAt(0.0, QColor(0x17, 0x1E, 0x2B));
    face.setColorAt(0.85, QColor(0x0E, 0x13, 0x1C));
    face.setColorAt(1.0, QColor(0x0A, 0x0D, 0x14));
    p.setPen(Qt::NoPen);
    p.setBrush(face);
    p.drawEllipse(centre, 158, 158);

    QConicalGradient rim(centre, 90);
    rim.setColorAt(0.0, kAccent);
    rim.setColorAt(0.5, withAlpha(kViolet, 0.55));
    rim.setColorAt(1.0, kAccent);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(rim), 3.0));
    p.drawEllipse(centre, 157, 157);
    p.setPen(QPen(withAlpha(kIce, 0.12), 1.0));
    p.drawEllipse(centre, 112, 112);

    // Minute and hour marks; 12 o'clock is doubled.
    for (int i = 0; i < 60; ++i) {
        const double a = kTau * i / 60.0 - kTau / 4.0;
        const QPointF dir(std::cos(a), std::sin(a));
        if (i % 5 == 0) {
            const bool top = i == 0;
            p.setPen(QPen(top ? kIce : kAccent, top ? 3.0 : 4.0, Qt::SolidLine, Qt::RoundCap));
            if (top) {
                const QPointF side(-dir.y() * 4.0, dir.x() * 4.0);
                p.drawLine(centre + dir * 124 + side, centre + dir * 146 + side);
                p.drawLine(centre + dir * 124 - side, centre + dir * 146 - side);
            } else {
                p.drawLine(centre + dir * (i % 15 == 0 ? 122 : 128), centre + dir * 146);
            }
        } else {
            p.setPen(QPen(QColor(0x6A, 0x7B, 0x92), 1.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(centre + dir * 139, centre + dir * 146);
        }
    }

    // The hub under the hands.
    p.setPen(QPen(kAccent, 2.0));
    p.setBrush(QColor(0x0A, 0x0D, 0x14));
    p.drawEllipse(centre, 9, 9);
    paintVignette(p, size);
    return frame;
}

QImage orbit(QSize size, double phase)
{
    QImage frame(size, QImage::Format_RGB32);
    QPainter p(&frame);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackdrop(p, size);
    paintStars(p, size, 1.0, 0x5eed0002u);

    const double u = unitOf(size);
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    paintGlow(p, centre, 230 * u, kDeepBlue, 0.9);

    struct Ring
    {
        double radius;
        int turns; // whole turns per loop, sign gives the direction
        double start;
        QColor colour;
    };
    const Ring rings[] = {
        {70 * u, 2, 0.10, kIce},
        {120 * u, -1, 0.55, kAccent},
        {175 * u, 1, 0.30, kViolet.lighter(150)},
    };
    for (const Ring& ring : rings) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(withAlpha(ring.colour, 0.16), 1.2 * u));
        p.drawEllipse(centre, ring.radius, ring.radius);

        const double angle = 360.0 * (ring.start + ring.turns * phase); // degrees, counter-clockwise
        // A comet: the head leads, the tail fades out over 100 degrees behind it.
        const QRectF box(centre.x() - ring.radius, centre.y() - ring.radius, 2 * ring.radius, 2 * ring.radius);
        constexpr int kTailPieces = 25;
        constexpr double kTailDegrees = 100.0;
        const double piece = kTailDegrees / kTailPieces;
        for (int k = 0; k < kTailPieces; ++k) {
            const double fade = std::pow(1.0 - double(k) / kTailPieces, 1.6);
            p.setPen(QPen(withAlpha(ring.colour, 0.85 * fade), (1.0 + 2.5 * fade) * u, Qt::SolidLine, Qt::FlatCap));
            const double from = ring.turns > 0 ? angle - (k + 1) * piece : angle + k * piece;
            p.drawArc(box, int(std::lround(from * 16)), int(std::lround(piece * 16)) + 1);
        }

        const double a = qDegreesToRadians(angle);
        const QPointF head = centre + QPointF(std::cos(a), -std::sin(a)) * ring.radius;
        paintGlow(p, head, 16 * u, ring.colour, 0.8);
        p.setBrush(QColor(255, 255, 255, 230));
        p.setPen(Qt::NoPen);
        p.drawEllipse(head, 2.6 * u, 2.6 * u);
    }

    // The core breathes once per loop.
    const double breath = 0.5 - 0.5 * std::cos(kTau * phase);
    paintGlow(p, centre, (34 + 12 * breath) * u, kAccent, 0.55 + 0.35 * breath);
    p.setBrush(withAlpha(kIce, 0.9));
    p.drawEllipse(centre, 7 * u, 7 * u);
    paintVignette(p, size);
    return frame;
}

QImage waves(QSize size, double phase)
{
    QImage frame(size, QImage::Format_RGB32);
    QPainter p(&frame);
    p.setRenderHint(QPainter::Antialiasing);
    paintBackdrop(p, size);
    paintStars(p, size, 0.55, 0x5eed0003u);

    const double w = size.width(), h = size.height();
    // A low moon and its halo above the horizon.
    const QPointF moon(w * 0.72, h * 0.30);
    paintGlow(p, moon, 120 * unitOf(size), kAccent, 0.30);
    p.setBrush(withAlpha(kIce, 0.85));
    p.setPen(Qt::NoPen);
    p.drawEllipse(moon, 18 * unitOf(size), 18 * unitOf(size));

    struct Layer
    {
        double level;     // share of the height where the wave rests
        double amplitude; // share of the height
        double waves;     // wave crests across the width
        int cycles;       // whole cycles per loop, sign gives the direction
        QColor top, bottom;
    };
    const Layer layers[] = {
        {0.58, 0.035, 1.5, 1, withAlpha(kViolet, 0.55), withAlpha(kDeepBlue, 0.55)},
        {0.66, 0.045, 2.0, -1, withAlpha(kAccent, 0.55), withAlpha(kDeepBlue, 0.75)},
        {0.76, 0.040, 2.5, 2, withAlpha(kIce, 0.45), withAlpha(QColor(0x06, 0x18, 0x30), 0.95)},
        {0.86, 0.030, 3.0, -2, withAlpha(kAccent, 0.75), QColor(0x04, 0x0A, 0x14)},
    };
    for (const Layer& layer : layers) {
        QPainterPath path(QPointF(0, h));
        constexpr int kSteps = 96;
        for (int s = 0; s <= kSteps; ++s) {
            const double x = w * s / kSteps;
            // Crests keep their width and height in both orientations.
            const double arg = kTau * (layer.waves * (w / 800.0) * s / kSteps + layer.cycles * phase);
            const double y = h * layer.level +
                             480.0 * unitOf(size) * layer.amplitude * (std::sin(arg) + 0.35 * std::sin(2 * arg + 1.3));
            path.lineTo(x, y);
        }
        path.lineTo(w, h);
        path.closeSubpath();
        QLinearGradient fill(0, h * (layer.level - layer.amplitude * 1.4), 0, h);
        fill.setColorAt(0.0, layer.top);
        fill.setColorAt(0.35, layer.bottom);
        fill.setColorAt(1.0, layer.bottom);
        p.setBrush(fill);
        p.setPen(QPen(withAlpha(layer.top, 0.9), 1.2 * unitOf(size)));
        p.drawPath(path);
    }

    // The moon's reflection: short strokes on the water that shimmer twice per loop.
    const double u = unitOf(size);
    p.setPen(Qt::NoPen);
    int k = 0;
    for (double y = h * 0.64; y < h * 0.98; y += 7 * u, ++k) {
        const double depth = (y - h * 0.64) / (h * 0.34);
        const double shimmer = 0.55 + 0.45 * std::sin(kTau * (2 * phase + k * 0.37));
        const double half = (10 + 34 * depth) * u * shimmer;
        p.setBrush(withAlpha(kIce, 0.38 * (1.0 - depth) * shimmer));
        p.drawRoundedRect(QRectF(moon.x() - half, y, 2 * half, 2.2 * u), 1.1 * u, 1.1 * u);
    }
    paintVignette(p, size);
    return frame;
}

} // namespace Scenes
