// Usage: bench-overlay-refresh [updates]
//
// The cost of one sensor update on the GUI thread (MediaLabel::updataHwinfoLabel: three clock
// pictures, then eight overlay texts rendered at screen resolution), next to the composer's
// per-frame work (compose + JPEG + header) on the same preview, landscape and portrait. An update
// comes once a second, a frame up to forty times a second.

#include "screen/FrameComposer.h"
#include "screen/MediaLabel.h"
#include "sensors/SensorCatalogue.h"
#include "settings/SettingsStore.h"
#include "shell/AppGlobals.h"
#include "shell/Fonts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

QTextStream out(stdout);

void publishReadings(int pass)
{
    beginPass();
    HardwareEntry entry;
    entry.name = QStringLiteral("Board");
    for (int i = 0; i < 4; ++i) {
        SensorReading reading;
        reading.hardwareName = entry.name;
        reading.sensorName = QStringLiteral("Sensor %1").arg(i);
        reading.value = 40 + (pass + i) % 50;
        reading.valueText = QString::number(reading.value, 'f', 0);
        reading.unit = QStringLiteral("\u00B0C");
        entry.sensors.insert(reading.sensorName, reading);
    }
    storeHardwareEntry(entry);
    finishPass();
}

QPixmap background(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, w, h);
    gradient.setColorAt(0, QColor(10, 40, 90));
    gradient.setColorAt(1, QColor(120, 20, 60));
    painter.fillRect(image.rect(), gradient);
    painter.end();
    // Fine noise, so the JPEG encoder has the work of a real picture.
    QRandomGenerator random(7);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = random.bounded(-24, 25);
            const QRgb p = line[x];
            line[x] = qRgb(qBound(0, qRed(p) + n, 255), qBound(0, qGreen(p) + n, 255), qBound(0, qBlue(p) + n, 255));
        }
    }
    return QPixmap::fromImage(image);
}

struct Figures
{
    double medianMs;
    double worstMs;
};

template <typename Work>
Figures measure(int runs, Work work)
{
    std::vector<double> times;
    times.reserve(size_t(runs));
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work(i);
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int updates = argc > 1 ? std::max(10, QString::fromLocal8Bit(argv[1]).toInt()) : 200;
    screenWidth = 800;
    screenHeight = 480;
    previewScale = 0.25;
    overlayItemCount = 4;
    registerFonts();

    out << "one sensor update (8 overlay texts + 3 clock pictures) vs one composed frame, " << updates
        << " runs each, milliseconds (median / worst)\n";
    for (const bool portrait : {false, true}) {
        MediaLabel preview;
        const int w = portrait ? 480 : 800;
        const int h = portrait ? 800 : 480;
        preview.resize(int(w * previewScale), int(h * previewScale));
        preview.setPixmap(background(w, h));
        publishReadings(0);
        for (int i = 0; i < 4; ++i) {
            OverlayItem item = defaultOverlayItem(i);
            item.hardwareName = QStringLiteral("Board");
            item.sensorName = QStringLiteral("Sensor %1").arg(i);
            item.enable = true;
            preview.applyOverlayItem(i, item);
        }
        preview.showClockFace(1);
        preview.hideClockFaces();

        // The readings change between updates, as they do on a real machine; publishing them is
        // the sensor thread's work and is not timed.
        std::vector<double> updateTimes;
        for (int i = 0; i < updates; ++i) {
            publishReadings(i + 1);
            QElapsedTimer timer;
            timer.start();
            preview.updataHwinfoLabel();
            updateTimes.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        std::sort(updateTimes.begin(), updateTimes.end());
        const Figures update{updateTimes[updateTimes.size() / 2], updateTimes.back()};

        qint64 fakeMs = 0;
        FrameComposer composer([&fakeMs] { return fakeMs; });
        FrameHeaderFields fields;
        const Figures frame = measure(updates, [&](int) {
            fakeMs += FrameComposer::kMinIntervalMs;
            composer.composeFrame(preview, fields);
        });

        out << (portrait ? "portrait " : "landscape") << "  sensor update " << QString::number(update.medianMs, 'f', 2)
            << " / " << QString::number(update.worstMs, 'f', 2) << "   composed frame "
            << QString::number(frame.medianMs, 'f', 2) << " / " << QString::number(frame.worstMs, 'f', 2)
            << "   update = " << QString::number(update.medianMs / frame.medianMs, 'f', 2) << " frames\n";
        out.flush();
    }
    return 0;
}
