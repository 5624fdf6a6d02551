// Opens the crop-and-scale dialog for a still (landscape and portrait), a GIF and a video made on the
// spot, with the crop rectangle resized and moved, the picture moved and zoomed and the trim handles
// pulled in, and saves each dialog as a PNG. Run by scale-dialog-shots.sh under Xvfb.
// Usage: scale-dialog-shots <output folder> [<translation .qm file>]

#include "media/ImageLabel.h"
#include "media/VideoTimeline.h"
#include "media/pixScaleDialog.h"
#include "shell/Fonts.h"
#include "tests/support/media/MediaFixtures.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTranslator>
#include <QWheelEvent>

#include <functional>

namespace {

void sendMouse(QWidget* widget, QEvent::Type type, QPoint pos, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(pos), QPointF(widget->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void drag(QWidget* widget, QPoint from, QPoint delta)
{
    sendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseMove, from + delta, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, from + delta, Qt::NoButton);
}

void wheel(QWidget* widget, QPoint pos, int delta, int times)
{
    for (int i = 0; i < times; ++i) {
        QWheelEvent event(QPointF(pos), QPointF(widget->mapToGlobal(pos)), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &event);
    }
}

void settle(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// A landscape scene: sky gradient, a sun, hills and a grid of labelled posts.
QImage scene(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height);
    sky.setColorAt(0, QColor(40, 90, 200));
    sky.setColorAt(1, QColor(250, 180, 120));
    painter.fillRect(image.rect(), sky);
    painter.setBrush(QColor(255, 230, 80));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(width * 3 / 4, height / 4), height / 8, height / 8);
    painter.setBrush(QColor(40, 120, 60));
    painter.drawEllipse(QRect(-width / 4, height * 2 / 3, width, height));
    painter.setBrush(QColor(30, 90, 50));
    painter.drawEllipse(QRect(width / 3, height * 3 / 4, width, height));
    painter.setPen(QPen(Qt::white, 4));
    QFont font = painter.font();
    font.setPixelSize(height / 12);
    painter.setFont(font);
    for (int i = 1; i < 4; ++i)
        painter.drawText(QRect(i * width / 4 - 100, height / 2 - 50, 200, 100), Qt::AlignCenter, QString::number(i));
    return image;
}

bool shoot(pixScaleDialog& dialog, const QString& file, const std::function<void(pixScaleDialog&)>& adjust)
{
    dialog.show();
    settle(200);
    adjust(dialog);
    settle(300);
    const bool saved = dialog.grab().save(file);
    QTextStream(stdout) << file << (saved ? " saved" : " NOT saved") << Qt::endl;
    dialog.hide();
    return saved;
}

void cropAndZoom(pixScaleDialog& dialog)
{
    ImageLabel* label = dialog.imageLabel();
    drag(label, label->cropPoints()[ImageLabel::BottomRight], {-60, 0});
    drag(label, label->cropPoints()[ImageLabel::TopLeft] + QPoint(30, 30), {20, 12});
    drag(label, {3, 3}, {-30, 10});
    wheel(label, {220, 100}, 120, 12);
}

void trim(pixScaleDialog& dialog)
{
    drag(dialog.timeline(), {0, 14}, {60, 0});
    drag(dialog.timeline(), {399, 14}, {-80, 0});
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    registerFonts();
    if (argc < 2) {
        QTextStream(stderr) << "usage: scale-dialog-shots <output folder>" << Qt::endl;
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QTranslator translator;
    if (argc > 2 && translator.load(QString::fromLocal8Bit(argv[2])))
        QApplication::installTranslator(&translator);
    QDir().mkpath(out);
    QTemporaryDir work;
    const QString stillPath = work.filePath(QStringLiteral("scene.png"));
    const QString gifPath = work.filePath(QStringLiteral("anim.gif"));
    const QString clipPath = work.filePath(QStringLiteral("clip.mp4"));
    vortane::test::GifRecipe gif;
    gif.width = 240;
    gif.height = 160;
    gif.frameCount = 24;
    vortane::test::ClipRecipe clip;
    clip.width = 1280;
    clip.height = 720;
    clip.frameCount = 60;
    if (!scene(1920, 1080).save(stillPath) || !vortane::test::writeGif(gifPath, gif) ||
        !vortane::test::writeClip(clipPath, clip))
        return 1;

    bool ok = true;
    {
        pixScaleDialog dialog;
        dialog.setImageFile(stillPath, 800, 480);
        ok &= shoot(dialog, out + QStringLiteral("/still-landscape.png"), [](pixScaleDialog&) {});
    }
    {
        pixScaleDialog dialog;
        dialog.setImageFile(stillPath, 800, 480);
        ok &= shoot(dialog, out + QStringLiteral("/still-landscape-cropped.png"), cropAndZoom);
    }
    {
        pixScaleDialog dialog;
        dialog.setImageFile(stillPath, 480, 800);
        ok &= shoot(dialog, out + QStringLiteral("/still-portrait-turned.png"), [](pixScaleDialog& d) {
            d.on_pushButton_Rotate_clicked();
            cropAndZoom(d);
        });
    }
    {
        pixScaleDialog dialog;
        dialog.setGifFile(gifPath, 800, 480);
        ok &= shoot(dialog, out + QStringLiteral("/gif-trimmed.png"), [](pixScaleDialog& d) {
            cropAndZoom(d);
            trim(d);
            d.on_pushButton_TimeLineIcon_clicked();
            settle(300);
        });
    }
    {
        pixScaleDialog dialog;
        dialog.setVideoFile(clipPath, 800, 480);
        ok &= shoot(dialog, out + QStringLiteral("/video-trimmed.png"), [](pixScaleDialog& d) {
            cropAndZoom(d);
            trim(d);
        });
    }
    {
        pixScaleDialog dialog;
        dialog.setVideoFile(clipPath, 480, 800);
        ok &= shoot(dialog, out + QStringLiteral("/video-portrait-playing.png"), [](pixScaleDialog& d) {
            trim(d);
            d.on_pushButton_TimeLineIcon_clicked();
            settle(500);
        });
    }
    return ok ? 0 : 1;
}
