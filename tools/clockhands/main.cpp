// Draws the analog clock's hand pictures pixel by pixel. Both are 320 x 10, transparent except
// the hand, which starts at the picture's centre and points to the right (3 o'clock):
//   min:  opaque from x = 160 to 255 on rows 4-5;
//   hour: opaque from x = 160 to 227 on rows 1-8, with a round cap reaching back to x = 156.
// Usage: vortane-clockhands <min|hour> <out.png>

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>

#include <cmath>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 10;
const QColor kHandColour(137, 231, 255);

// Fraction of pixel (x, y) inside the circle, sampled on a 16 x 16 grid.
double circleCoverage(int x, int y, double cx, double cy, double radius)
{
    constexpr int kSamples = 16;
    int inside = 0;
    for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
            const double px = x + (sx + 0.5) / kSamples - cx;
            const double py = y + (sy + 0.5) / kSamples - cy;
            if (px * px + py * py <= radius * radius)
                ++inside;
        }
    }
    return double(inside) / (kSamples * kSamples);
}

QImage drawHand(bool hour)
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const int firstRow = hour ? 1 : 4;
    const int lastRow = hour ? 8 : 5;
    const int lastColumn = hour ? 227 : 255;
    for (int y = firstRow; y <= lastRow; ++y) {
        for (int x = 160; x <= lastColumn; ++x)
            image.setPixelColor(x, y, kHandColour);
    }
    if (hour) {
        // The cap is the half disc left of x = 160 spanning rows 1-8 (radius 4 around y = 5).
        for (int y = firstRow; y <= lastRow; ++y) {
            for (int x = 156; x < 160; ++x) {
                const double coverage = circleCoverage(x, y, 160.0, 5.0, 4.0);
                if (coverage <= 0.0)
                    continue;
                QColor c = kHandColour;
                c.setAlpha(int(std::lround(coverage * 255.0)));
                image.setPixelColor(x, y, c);
            }
        }
    }
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    QTextStream err(stderr);
    if (argc != 3 || (qstrcmp(argv[1], "min") != 0 && qstrcmp(argv[1], "hour") != 0)) {
        err << "usage: vortane-clockhands <min|hour> <out.png>\n";
        return 2;
    }
    const QFileInfo out(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out.absolutePath());
    if (!drawHand(qstrcmp(argv[1], "hour") == 0).save(out.absoluteFilePath(), "PNG")) {
        err << "cannot write " << out.absoluteFilePath() << "\n";
        return 1;
    }
    return 0;
}
