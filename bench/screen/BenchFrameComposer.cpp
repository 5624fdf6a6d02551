// Usage: bench-frame-composer [frames] [streaming-seconds]
//
// 1. Compose + encode time per frame (the main window's per-frame work: copy the background,
//    paint eight overlay texts, turn a portrait frame, JPEG at quality 90, header), landscape and
//    portrait, next to the JPEG encode alone through Qt and to libjpeg-turbo's `cjpeg -quality 90`
//    and `tjbench` on the same 800 x 480 picture.
// 2. The whole program's CPU (from /proc) while it streams its still preview to a simulated
//    screen for a while, with the frame rate the screen received.

#include "screen/FlexibleLabel.h"
#include "screen/FrameComposer.h"
#include "screen/MediaLabel.h"
#include "shell/AppGlobals.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageWriter>
#include <QPainter>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>

#include <cstdio>

#ifdef VORTANE_BENCH_PROGRAM
#include "tests/support/device/SimScreenPeer.h"
#include <unistd.h>
#endif

namespace {

QTextStream out(stdout);

// A picture with the detail of a real background: gradients, shapes, fine noise and text.
QImage samplePicture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, w, h);
    gradient.setColorAt(0, QColor(10, 40, 90));
    gradient.setColorAt(0.5, QColor(0, 150, 200));
    gradient.setColorAt(1, QColor(120, 20, 60));
    painter.fillRect(image.rect(), gradient);
    QRandomGenerator random(7);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 60; ++i) {
        painter.setBrush(QColor::fromHsv(random.bounded(360), 180, 220, 120));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(random.bounded(w), random.bounded(h)), random.bounded(10, 80),
                            random.bounded(10, 80));
    }
    painter.end();
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = random.bounded(-12, 13);
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + n, 255), qBound(0, qGreen(p) + n, 255), qBound(0, qBlue(p) + n, 255));
        }
    }
    return image;
}

QPixmap textPixmap(const QString& text, int pixelSize)
{
    QFont font;
    font.setPixelSize(pixelSize);
    const QFontMetrics metrics(font);
    QImage image(metrics.horizontalAdvance(text), metrics.height(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter, text);
    painter.end();
    return QPixmap::fromImage(image);
}

void addOverlays(MediaLabel& preview)
{
    for (int i = 0; i < 4; ++i) {
        FlexibleLabel* title = preview.titleLabel(i);
        FlexibleLabel* content = preview.contentLabel(i);
        title->setPixmap(textPixmap(QStringLiteral("CPU Temp %1").arg(i), 40));
        content->setPixmap(textPixmap(QStringLiteral("%1 °C").arg(40 + i), 60));
        title->setGeometry(10 + (i % 2) * 50, 5 + (i / 2) * 28, 40, 10);
        content->setGeometry(10 + (i % 2) * 50, 16 + (i / 2) * 28, 30, 15);
        title->show();
        content->show();
    }
}

double composeMsPerFrame(int w, int h, int frames, qint64* jpegBytes)
{
    MediaLabel preview;
    preview.resize(int(w * previewScale), int(h * previewScale));
    preview.setPixmap(QPixmap::fromImage(samplePicture(w, h)));
    addOverlays(preview);
    qint64 now = 0;
    FrameComposer composer([&now] { return now; });
    FrameHeaderFields fields;
    for (int i = 0; i < 5; ++i) { // warm-up
        now += 20;
        composer.composeFrame(preview, fields);
    }
    QElapsedTimer timer;
    timer.start();
    qint64 bytes = 0;
    for (int i = 0; i < frames; ++i) {
        now += 20;
        bytes += composer.composeFrame(preview, fields).size();
    }
    const double ms = double(timer.nsecsElapsed()) / 1e6 / frames;
    *jpegBytes = bytes / frames - FrameComposer::kHeaderBytes;
    return ms;
}

double qtEncodeMsPerFrame(const QImage& picture, int frames)
{
    QByteArray data;
    data.reserve(512 * 1024);
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < frames; ++i) {
        data.resize(0);
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "JPG");
        writer.setQuality(90);
        writer.write(picture);
    }
    return double(timer.nsecsElapsed()) / 1e6 / frames;
}

void referenceTools(const QImage& picture, int frames)
{
    QTemporaryDir folder;
    const QString ppm = folder.filePath(QStringLiteral("frame.ppm"));
    picture.convertToFormat(QImage::Format_RGB888).save(ppm, "PPM");

    // cjpeg: one process per frame, so its start-up is included; the line shows both.
    QProcess probe;
    probe.start(QStringLiteral("cjpeg"), {QStringLiteral("-version")});
    if (!probe.waitForFinished(5000) || probe.exitStatus() != QProcess::NormalExit) {
        out << "cjpeg: not installed (Debian package libjpeg-turbo-progs)\n";
    } else {
        const int runs = qMax(10, frames / 4);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < runs; ++i) {
            QProcess cjpeg;
            cjpeg.start(QStringLiteral("cjpeg"),
                        {QStringLiteral("-quality"), QStringLiteral("90"), QStringLiteral("-outfile"),
                         folder.filePath(QStringLiteral("out.jpg")), ppm});
            cjpeg.waitForFinished(10000);
        }
        const double total = double(timer.nsecsElapsed()) / 1e6 / runs;
        QElapsedTimer startOnly;
        startOnly.start();
        for (int i = 0; i < runs; ++i) {
            QProcess noop;
            noop.start(QStringLiteral("cjpeg"), {QStringLiteral("-version")});
            noop.waitForFinished(10000);
        }
        const double start = double(startOnly.nsecsElapsed()) / 1e6 / runs;
        out << QStringLiteral(
                   "cjpeg -quality 90, same picture: %1 ms per run, of which process start %2 ms, encode ~%3 ms\n")
                   .arg(total, 0, 'f', 2)
                   .arg(start, 0, 'f', 2)
                   .arg(total - start, 0, 'f', 2);
    }

    QProcess tjbench;
    tjbench.setWorkingDirectory(folder.path());
    tjbench.start(QStringLiteral("tjbench"),
                  {ppm, QStringLiteral("90"), QStringLiteral("-subsamp"), QStringLiteral("420"),
                   QStringLiteral("-componly"), QStringLiteral("-nowrite"), QStringLiteral("-quiet"),
                   QStringLiteral("-benchtime"), QStringLiteral("2"), QStringLiteral("-warmup"),
                   QStringLiteral("0.5")});
    if (!tjbench.waitForFinished(60000) || tjbench.exitCode() != 0) {
        out << "tjbench: not available (Debian package libjpeg-turbo-progs)\n";
        return;
    }
    out << "tjbench 90 -subsamp 420 -componly (libjpeg-turbo's own figures, Comp Perf in Mpixels/s):\n";
    const QStringList lines = QString::fromLocal8Bit(tjbench.readAllStandardOutput()).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (!line.trimmed().isEmpty())
            out << "  " << line << '\n';
    }
    out << QStringLiteral("  (%1 Mpixels/s would be 1 ms per 800 x 480 frame)\n").arg(800 * 480 / 1000.0, 0, 'f', 1);
}

#ifdef VORTANE_BENCH_PROGRAM
qint64 cpuTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(stat.readAll());
    const QStringList fields = text.mid(text.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
    return fields.value(11).toLongLong() + fields.value(12).toLongLong(); // utime + stime
}

void wholeProgram(int seconds)
{
    QTemporaryDir programFolder;
    QTemporaryDir simFolder;
    QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString program = QStringLiteral(VORTANE_BENCH_PROGRAM);
    const QString binDir = QFileInfo(program).absolutePath();
    QFile::copy(program, programFolder.filePath(QStringLiteral("vortane-screen")));
    QFile::setPermissions(programFolder.filePath(QStringLiteral("vortane-screen")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    for (const char* sub : {"Default", "Translator", "UserAgreement"}) {
        QDir().mkpath(programFolder.filePath(QLatin1String(sub)));
        for (const QFileInfo& file : QDir(binDir + QLatin1Char('/') + QLatin1String(sub)).entryInfoList(QDir::Files))
            QFile::copy(file.filePath(),
                        programFolder.filePath(QLatin1String(sub) + QLatin1Char('/') + file.fileName()));
    }
    {
        QFile ini(programFolder.filePath(QStringLiteral("bgConfig.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write("[General]\nisPrivacyPolicyAgree=1\nApplyStyleMode=1\n"); // the clock background: a still
    }
    SimScreenPeer screen(simFolder.path(), QStringLiteral("bench"));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("VORTANE_SIM_DIR"), simFolder.path());
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
    env.insert(QStringLiteral("HOME"), programFolder.path());
    process.setProcessEnvironment(env);
    process.start(programFolder.filePath(QStringLiteral("vortane-screen")), {QStringLiteral("min")});
    if (!process.waitForStarted()) {
        out << "whole program: could not start " << program << '\n';
        return;
    }
    // Measure from the first frame on.
    QElapsedTimer wait;
    wait.start();
    while (screen.received().size() < 3 && wait.elapsed() < 10000)
        QThread::msleep(20);
    const int framesBefore = screen.received().size();
    const qint64 ticksBefore = cpuTicks(process.processId());
    QElapsedTimer timer;
    timer.start();
    QThread::sleep(ulong(seconds));
    const qint64 ticksAfter = cpuTicks(process.processId());
    const double wall = timer.elapsed() / 1000.0;
    const int frames = screen.received().size() - framesBefore;
    process.terminate();
    process.waitForFinished(10000);
    const double cpu = double(ticksAfter - ticksBefore) / double(sysconf(_SC_CLK_TCK));
    out << QStringLiteral("whole program, streaming its still preview for %1 s: %2 frames received (%3 fps), "
                          "CPU %4 s = %5 % of one core, %6 ms CPU per frame\n")
               .arg(wall, 0, 'f', 1)
               .arg(frames)
               .arg(frames / wall, 0, 'f', 1)
               .arg(cpu, 0, 'f', 2)
               .arg(100.0 * cpu / wall, 0, 'f', 1)
               .arg(frames > 0 ? 1000.0 * cpu / frames : 0.0, 0, 'f', 2);
}
#endif

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    screenWidth = 800;
    screenHeight = 480;
    previewScale = 0.25;
    const int frames = argc > 1 ? qMax(10, atoi(argv[1])) : 200;
    const int seconds = argc > 2 ? qMax(1, atoi(argv[2])) : 30;

    qint64 bytes = 0;
    const double landscape = composeMsPerFrame(800, 480, frames, &bytes);
    out << QStringLiteral("compose + encode, landscape 800 x 480: %1 ms per frame (JPEG %2 bytes)\n")
               .arg(landscape, 0, 'f', 2)
               .arg(bytes);
    const double portrait = composeMsPerFrame(480, 800, frames, &bytes);
    out << QStringLiteral("compose + encode, portrait 480 x 800 turned to 800 x 480: %1 ms per frame (JPEG %2 bytes)\n")
               .arg(portrait, 0, 'f', 2)
               .arg(bytes);
    const QImage picture = samplePicture(800, 480);
    out << QStringLiteral("Qt JPEG writer alone, quality 90, same picture: %1 ms per frame\n")
               .arg(qtEncodeMsPerFrame(picture, frames), 0, 'f', 2);
    out.flush();
    referenceTools(picture, frames);
    out.flush();
#ifdef VORTANE_BENCH_PROGRAM
    wholeProgram(seconds);
#endif
    out.flush();
    return 0;
}
