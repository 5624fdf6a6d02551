// Generates the default media of the program folder: the fallback videos, the clock backgrounds
// and the default library GIFs, each in its orientation's frame size (800 x 480 landscape,
// 480 x 800 portrait). Usage: vortane-mediagen <Default folder>

#include "media/H264Writer.h"
#include "tools/mediagen/GifWriter.h"
#include "tools/mediagen/Scenes.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <QTextStream>

#include <functional>

namespace {

constexpr int kVideoFramesPerSecond = 30;
constexpr int kVideoFrames = 120; // a 4 s loop
constexpr int kGifFrames = 30;
constexpr int kGifFrameDelayCs = 7; // 30 frames of 70 ms: a 2.1 s loop

const QSize kLandscape(800, 480);
const QSize kPortrait(480, 800);

using Scene = std::function<QImage(QSize, double)>;

QString writeVideo(const QString& path, QSize size)
{
    H264Writer writer;
    H264Writer::Options options;
    options.frameSize = size;
    options.framesPerSecond = kVideoFramesPerSecond;
    options.keyFrameInterval = kVideoFrames / 2;
    if (!writer.open(path, options))
        return writer.errorString();
    // Phases i / n for i < n: the frame after the last one is the first one again.
    for (int i = 0; i < kVideoFrames; ++i) {
        if (!writer.writeFrame(Scenes::drift(size, double(i) / kVideoFrames)))
            return writer.errorString();
    }
    return writer.finish() ? QString() : writer.errorString();
}

QString writeGif(const QString& path, QSize size, const Scene& scene)
{
    QVector<QImage> frames;
    frames.reserve(kGifFrames);
    for (int i = 0; i < kGifFrames; ++i)
        frames.push_back(scene(size, double(i) / kGifFrames));
    QString error;
    return GifWriter::write(path, frames, kGifFrameDelayCs, &error) ? QString() : error;
}

QString writeStill(const QString& path, const QImage& picture)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !picture.save(&file, "JPG", 92) || !file.commit())
        return QStringLiteral("cannot write %1").arg(path);
    return QString();
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    if (app.arguments().size() != 2) {
        err << "usage: vortane-mediagen <Default folder>\n";
        return 2;
    }
    if (!H264Writer::encoderAvailable()) {
        err << "vortane-mediagen: FFmpeg's libavcodec has no libx264 encoder; the default videos need it "
               "(on Debian, libavcodec59 provides it)\n";
        return 1;
    }
    const QDir dir(app.arguments().at(1));
    if (!QDir().mkpath(dir.path())) {
        err << "vortane-mediagen: cannot create " << dir.path() << "\n";
        return 1;
    }
    struct Job
    {
        const char* name;
        std::function<QString(const QString&)> make;
    };
    const Job jobs[] = {
        {"defaultbgH.mp4", [](const QString& p) { return writeVideo(p, kLandscape); }},
        {"defaultbgV.mp4", [](const QString& p) { return writeVideo(p, kPortrait); }},
        {"defaultbgClockH.jpg", [](const QString& p) { return writeStill(p, Scenes::clockFace(kLandscape)); }},
        {"defaultbgClockV.jpg", [](const QString& p) { return writeStill(p, Scenes::clockFace(kPortrait)); }},
        {"defaultbgHW01H.gif", [](const QString& p) { return writeGif(p, kLandscape, Scenes::orbit); }},
        {"defaultbgHW01V.gif", [](const QString& p) { return writeGif(p, kPortrait, Scenes::orbit); }},
        {"defaultbgHW02H.gif", [](const QString& p) { return writeGif(p, kLandscape, Scenes::waves); }},
        {"defaultbgHW02V.gif", [](const QString& p) { return writeGif(p, kPortrait, Scenes::waves); }},
    };
    for (const Job& job : jobs) {
        const QString path = dir.filePath(QLatin1String(job.name));
        const QString error = job.make(path);
        if (!error.isEmpty()) {
            err << "vortane-mediagen: " << job.name << ": " << error << "\n";
            QFile::remove(path);
            return 1;
        }
    }
    return 0;
}
