// Streaming throughput through the simulated link: the program's controller and frame streamer
// send one 100 KB frame over and over to vortane-screen-sim (a separate process), the way the
// main window feeds them. Prints the frames per second the screen received (the streamer's
// pacing allows at most 40) and the CPU time the streaming thread spent per delivered frame,
// beside the same frame written back to back without pacing as the link's reference.
//
// Usage: vortane-bench-streaming [seconds]   (default 5; the simulator is taken from the
// program folder next to this benchmark's build tree, or from $VORTANE_PROGRAM_DIR)

#include "device/Packets.h"
#include "device/USB_DATA_CTRL.h"
#include "device/UsbDevice.h"
#include "device/UsbDeviceFactory.h"
#include "device/WINUSB_MAIN_CTRL.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QLoggingCategory>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <atomic>
#include <cstdio>
#include <ctime>
#include <memory>
#include <pthread.h>

namespace {

constexpr int kTargetJpegBytes = 100 * 1024;

// A 800 x 480 JPEG as close to 100 KB as the quality steps allow: a gradient with some grain,
// so it compresses like a photo rather than like a flat test card.
QByteArray makeJpeg()
{
    QImage image(800, 480, QImage::Format_RGB32);
    QRandomGenerator random(42);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grain = int(random.bounded(48)) - 24;
            line[x] = qRgb(qBound(0, x * 255 / 800 + grain, 255), qBound(0, y * 255 / 480 + grain, 255),
                           qBound(0, 128 + grain, 255));
        }
    }
    QByteArray best;
    for (int quality = 1; quality <= 100; ++quality) {
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "JPG", quality);
        if (best.isEmpty() || qAbs(jpeg.size() - kTargetJpegBytes) < qAbs(best.size() - kTargetJpegBytes))
            best = jpeg;
    }
    return best;
}

double threadCpuMs(clockid_t clock)
{
    timespec ts{};
    if (clock_gettime(clock, &ts) != 0)
        return -1.0;
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

QMap<QString, QString> readCounters(const QString& path)
{
    QMap<QString, QString> values;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : file.readAll().split('\n')) {
            const int eq = line.indexOf('=');
            if (eq > 0)
                values.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
        }
    }
    return values;
}

void spin(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("vortane.*.debug=false\nvortane.*.info=false"));
    const int seconds = argc > 1 ? qMax(1, QByteArray(argv[1]).toInt()) : 5;
    QString programDir = qEnvironmentVariable("VORTANE_PROGRAM_DIR");
    if (programDir.isEmpty())
        programDir = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin");

    QTemporaryDir dir;
    const QString screens = dir.path() + QStringLiteral("/screens");
    const QString dump = dir.path() + QStringLiteral("/dump");
    qputenv("VORTANE_SIM_DIR", QFile::encodeName(screens));

    QProcess sim;
    sim.setStandardErrorFile(QProcess::nullDevice());
    sim.start(programDir + QStringLiteral("/vortane-screen-sim"),
              {"--headless", "--name", "bench", "--dump", dump, "--dump-frames", "0"});
    if (!sim.waitForStarted(10000) || !sim.waitForReadyRead(10000)) {
        std::fprintf(stderr, "cannot start %s/vortane-screen-sim\n", qPrintable(programDir));
        return 1;
    }

    const QByteArray jpeg = makeJpeg();
    QByteArray frame(Packets::kFrameHeaderSize, '\0');
    Packets::buildFrameHeader(reinterpret_cast<std::uint8_t*>(frame.data()), std::uint32_t(jpeg.size()), 100, true, 0,
                              0);
    frame += jpeg;

    WINUSB_MAIN_CTRL controller;
    USB_DATA_CTRL* streamer = controller.streamer();
    // The streaming thread's CPU clock, taken on that thread as it starts.
    std::atomic<clockid_t> streamClock{clockid_t(-1)};
    QObject::connect(
        streamer, &QThread::started, streamer,
        [&streamClock] {
            clockid_t clock;
            if (pthread_getcpuclockid(pthread_self(), &clock) == 0)
                streamClock.store(clock, std::memory_order_release);
        },
        Qt::DirectConnection);
    std::atomic<int> failedWrites{0};
    QObject::connect(
        streamer, &USB_DATA_CTRL::deviceDisconnected, streamer,
        [&failedWrites] { failedWrites.fetch_add(1, std::memory_order_relaxed); }, Qt::DirectConnection);
    // As the main window does: a frame on every request, on the GUI thread.
    QObject::connect(
        streamer, &USB_DATA_CTRL::haveNoPacket, &controller, [&controller, &frame] { controller.pushFrame(frame); },
        Qt::QueuedConnection);

    controller.openFirstDevice();
    if (!controller.isOpen()) {
        std::fprintf(stderr, "the simulated screen did not answer\n");
        return 1;
    }
    QElapsedTimer wall;
    while (streamClock.load(std::memory_order_acquire) == clockid_t(-1))
        spin(1);
    const clockid_t clock = streamClock.load(std::memory_order_acquire);
    const double cpuStart = threadCpuMs(clock);
    const double guiStart = threadCpuMs(CLOCK_THREAD_CPUTIME_ID);
    wall.start();
    spin(seconds * 1000);
    const double cpuEnd = threadCpuMs(clock); // read while the thread still exists
    const double guiEnd = threadCpuMs(CLOCK_THREAD_CPUTIME_ID);
    const double elapsedS = double(wall.elapsed()) / 1000.0;
    const QString path = controller.usbDevice()->devicePath();
    controller.closeDevice();
    // The screen's counters of the streamed part; it rewrites them within 200 ms.
    spin(500);
    const auto counters = readCounters(dump + QStringLiteral("/counters.txt"));

    // Reference in the same run: the same frame written back to back without the streamer, so
    // the link and the screen's own decoding are the only limits.
    std::unique_ptr<UsbDevice> raw = createUsbDevice();
    int unpacedFrames = 0;
    double unpacedS = 0.0;
    double unpacedCpu = 0.0;
    if (raw->open(path)) {
        const TransferKeepGoing always = [] { return true; };
        const double cpu0 = threadCpuMs(CLOCK_THREAD_CPUTIME_ID);
        QElapsedTimer unpaced;
        unpaced.start();
        while (unpaced.elapsed() < seconds * 1000 && raw->writeFrame(frame, always) == 1)
            ++unpacedFrames;
        unpacedS = double(unpaced.elapsed()) / 1000.0;
        unpacedCpu = threadCpuMs(CLOCK_THREAD_CPUTIME_ID) - cpu0;
        raw->close();
    }

    sim.terminate();
    sim.waitForFinished(10000);
    const long frames = counters.value(QStringLiteral("frames")).toLong();
    const double fps = counters.value(QStringLiteral("mean_fps")).toDouble();
    const double streamCpu = cpuEnd - cpuStart;

    std::printf("frame            %d bytes (40-byte header and a %d-byte 800 x 480 JPEG)\n", int(frame.size()),
                int(jpeg.size()));
    std::printf("streamed         %.2f s, %ld frames received by the screen, %s refused\n", elapsedS, frames,
                qPrintable(counters.value(QStringLiteral("frame_errors"))));
    std::printf("frames/s         %.1f delivered (pacing limit %d), peak %s in one second\n", fps,
                1000 / USB_DATA_CTRL::kMinWriteIntervalMs, qPrintable(counters.value(QStringLiteral("peak_fps"))));
    std::printf("throughput       %.2f MB/s\n", frames > 0 ? double(frames) * frame.size() / elapsedS / 1e6 : 0.0);
    std::printf("streaming thread %.1f ms CPU, %.3f ms per frame\n", streamCpu,
                frames > 0 ? streamCpu / double(frames) : 0.0);
    std::printf("GUI thread       %.1f ms CPU (pushes and event loop), %.3f ms per frame\n", guiEnd - guiStart,
                frames > 0 ? (guiEnd - guiStart) / double(frames) : 0.0);
    std::printf("failed writes    %d\n", failedWrites.load());
    std::printf("reference        unpaced writes of the same frame: %.1f frames/s, %.2f MB/s, %.3f ms CPU per write\n",
                unpacedS > 0 ? unpacedFrames / unpacedS : 0.0,
                unpacedS > 0 ? double(unpacedFrames) * frame.size() / unpacedS / 1e6 : 0.0,
                unpacedFrames > 0 ? unpacedCpu / unpacedFrames : 0.0);
    return frames > 0 ? 0 : 1;
}
