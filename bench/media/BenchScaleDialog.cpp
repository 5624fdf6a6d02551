// What the crop canvas of the crop-and-scale dialog costs per repaint: drawing the source through
// the canvas transform (what ImageLabel does) beside building the zoomed picture first and drawing
// that, for a 1080p video frame at its fitted ratio (every frame during playback in the dialog) and
// for a 4000 x 3000 photo at the deepest zoom. Prints milliseconds per repaint and the memory the
// zoomed picture would have needed.
// Usage: BenchScaleDialog [repaints]

#include "media/ImageLabel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QTextStream>
#include <QWheelEvent>

namespace {

QTextStream out(stdout);

QImage photo(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, width, height);
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(1, Qt::yellow);
    painter.fillRect(image.rect(), gradient);
    return image;
}

void zoomIn(ImageLabel& label, int steps)
{
    for (int i = 0; i < steps; ++i) {
        QWheelEvent event(QPointF(225, 108), QPointF(225, 108), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(&label, &event);
    }
}

double msPerRepaint(ImageLabel& label, int repaints)
{
    QImage target(label.size(), QImage::Format_RGB32);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < repaints; ++i)
        label.render(&target);
    return double(timer.nsecsElapsed()) / 1e6 / repaints;
}

// The same repaint done by scaling the source to the display size first.
double msPerPrescaledRepaint(const ImageLabel& label, int repaints)
{
    QImage target(label.size(), QImage::Format_RGB32);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < repaints; ++i) {
        const QImage display = label.sourceImage().scaled(label.displaySize());
        QImage canvas(ImageLabel::kCanvasWidth, ImageLabel::kCanvasHeight, QImage::Format_RGB32);
        canvas.fill(Qt::black);
        QPainter(&canvas).drawImage(label.picturePosition(), display);
        QPainter(&target).drawImage(target.rect(), canvas);
    }
    return double(timer.nsecsElapsed()) / 1e6 / repaints;
}

void report(const char* name, ImageLabel& label, int repaints)
{
    const qint64 prescaledBytes = qint64(label.displaySize().width()) * label.displaySize().height() * 4;
    out << name << ": source " << label.sourceImage().width() << "x" << label.sourceImage().height() << ", ratio "
        << label.imageRatio() << ", display " << label.displaySize().width() << "x" << label.displaySize().height()
        << "\n  through the transform: " << msPerRepaint(label, repaints) << " ms per repaint\n"
        << "  zoomed picture first:  " << msPerPrescaledRepaint(label, qMax(1, repaints / 10))
        << " ms per repaint, and " << prescaledBytes / (1024 * 1024) << " MiB for the zoomed picture\n";
    out.flush();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const int repaints = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100;

    ImageLabel frame;
    frame.setFrameAspect(800, 480);
    frame.setImage(photo(1920, 1080), true);
    report("1080p video frame, fitted", frame, repaints);

    ImageLabel still;
    still.setFrameAspect(800, 480);
    still.setImage(photo(4000, 3000), true);
    zoomIn(still, 400);
    report("4000x3000 photo, deepest zoom", still, repaints);
    return 0;
}
