// End to end: the program as its own process, reading a fixture machine through its sensor
// library, streaming to vortane-screen-sim --headless --dump. The dumped frames must show the
// enabled overlay item's title and value where bgConfig.ini puts them, in landscape and turned in
// portrait, follow a changed reading within about two seconds, and show the current time on the
// clock pages.

#include "screen/ClockFaces.h"
#include "screen/OverlayLabels.h"
#include "sensors/SensorCatalogue.h"
#include "sensors/hwinfo.h"
#include "settings/SettingsStore.h"
#include "shell/AppGlobals.h"
#include "shell/Fonts.h"
#include "tests/support/TestSupport.h"
#include "tests/support/sensors/SensorFixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

using SensorFixtures::MachineTree;

constexpr QRgb kTitleColour = 0xff00ff00;
constexpr QRgb kContentColour = 0xffff0000;
// Stored positions of item 0, preview pixels.
const QPoint kTitleH(12, 7);
const QPoint kContentH(12, 25);
const QPoint kTitleV(20, 100);
const QPoint kContentV(20, 118);

// Of the pixels where `picture` is opaque, the share that `frame` shows in `colour` (or, with an
// invalid colour, in the picture's own colour), the picture's top-left corner at `at`.
double match(const QImage& frame, const QImage& picture, const QPoint& at, QRgb colour = 0)
{
    int opaque = 0;
    int matched = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            if (qAlpha(p) < 250)
                continue;
            ++opaque;
            const QPoint f = at + QPoint(x, y);
            if (!frame.rect().contains(f))
                continue;
            const QRgb want = colour != 0 ? colour : p;
            const QRgb seen = frame.pixel(f);
            if (qAbs(qRed(seen) - qRed(want)) < 70 && qAbs(qGreen(seen) - qGreen(want)) < 70 &&
                qAbs(qBlue(seen) - qBlue(want)) < 70)
                ++matched;
        }
    }
    return opaque == 0 ? 0.0 : double(matched) / opaque;
}

} // namespace

class TestProgramOverlays final : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<MachineTree> m_machine;
    QProcess m_sim;
    QProcess m_program;
    QString m_dump;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    // A portable program folder with the sensor library, the clock backgrounds only (an empty
    // media library) and the translations, and a bgConfig.ini with overlay item 0 enabled.
    bool prepareFolder(int styleMode, int bgDirection)
    {
        const QString built = TestSupport::programDir();
        if (!QFile::copy(TestSupport::programFile(QStringLiteral("vortane-screen")), path("vortane-screen")) ||
            !QFile::copy(built + QStringLiteral("/libvortane-sensors.so"), path("libvortane-sensors.so")))
            return false;
        QDir().mkpath(path("Default"));
        for (const char* name : {"defaultbgClockH.jpg", "defaultbgClockV.jpg"})
            QFile::copy(built + QStringLiteral("/Default/") + QLatin1String(name),
                        path(QStringLiteral("Default/") + QLatin1String(name)));
        QDir().mkpath(path("Translator"));
        for (const QFileInfo& qm : QDir(built + QStringLiteral("/Translator")).entryInfoList(QDir::Files))
            QFile::copy(qm.filePath(), path(QStringLiteral("Translator/") + qm.fileName()));
        QFile ini(path("bgConfig.ini"));
        if (!ini.open(QIODevice::WriteOnly))
            return false;
        ini.write(QStringLiteral("[General]\nisPrivacyPolicyAgree=1\nApplyStyleMode=%1\nbgDirection=%2\n"
                                 "HwHardwareName0=Default Sensor\nHwSensorName0=CPU Temp\nHwEnable0=true\n"
                                 "HwTColor0=ff00ff00\nHwCColor0=ffff0000\n"
                                 "HwHTX0=%3\nHwHTY0=%4\nHwHCX0=%5\nHwHCY0=%6\n"
                                 "HwVTX0=%7\nHwVTY0=%8\nHwVCX0=%9\nHwVCY0=%10\n")
                      .arg(styleMode)
                      .arg(bgDirection)
                      .arg(kTitleH.x())
                      .arg(kTitleH.y())
                      .arg(kContentH.x())
                      .arg(kContentH.y())
                      .arg(kTitleV.x())
                      .arg(kTitleV.y())
                      .arg(kContentV.x())
                      .arg(kContentV.y())
                      .toUtf8());
        return true;
    }

    bool startBoth()
    {
        const QString screens = path("screens");
        m_dump = path("dump");
        QDir().mkpath(path("runtime"));
        QFile::setPermissions(path("runtime"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VORTANE_SIM_DIR"), screens);
        m_sim.setProcessEnvironment(env);
        m_sim.start(TestSupport::programFile(QStringLiteral("vortane-screen-sim")),
                    {QStringLiteral("--headless"), QStringLiteral("--name"), QStringLiteral("e2e"),
                     QStringLiteral("--dump"), m_dump});
        if (!m_sim.waitForStarted(10000))
            return false;
        while (!m_sim.canReadLine()) {
            if (!m_sim.waitForReadyRead(10000))
                return false;
        }
        // The machine's environment (VORTANE_SYSFS_ROOT, ...) is in this process's environment.
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), path("runtime"));
        env.insert(QStringLiteral("HOME"), m_dir->path());
        m_program.setProcessEnvironment(env);
        m_program.start(path("vortane-screen"), {QStringLiteral("min")});
        return m_program.waitForStarted(10000);
    }

    // The latest frame the screen received, in the orientation of the preview.
    QImage latestFrame(bool portrait) const
    {
        QFile file(m_dump + QStringLiteral("/latest.jpg"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QImage frame = QImage::fromData(file.readAll(), "JPG");
        if (frame.isNull())
            return {};
        frame = frame.convertToFormat(QImage::Format_RGB32);
        return portrait ? frame.transformed(QTransform().rotate(90)) : frame;
    }

    // Waits until a dumped frame satisfies `good`; false after `timeoutMs`.
    bool waitForFrame(bool portrait, const std::function<bool(const QImage&)>& good, int timeoutMs,
                      qint64* elapsedMs = nullptr)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeoutMs) {
            const QImage frame = latestFrame(portrait);
            if (!frame.isNull() && good(frame)) {
                if (elapsedMs != nullptr)
                    *elapsedMs = timer.elapsed();
                return true;
            }
            QTest::qWait(50);
        }
        return false;
    }

    // What the program shows for item 0, from the same library over the same machine.
    static QString expectedValue()
    {
        auto source = SensorFixtures::realSource();
        source->refresh();
        const SensorReading reading = readingFor(defaultSensorName(), QStringLiteral("CPU Temp"));
        return reading.valueText + reading.unit;
    }

private slots:
    void initTestCase()
    {
        screenWidth = 800;
        screenHeight = 480;
        previewScale = 0.25;
        registerFonts();
    }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_machine = MachineTree::intelDesktop();
        resetSensorCatalogue();
        useFahrenheit = false;
    }

    void cleanup()
    {
        for (QProcess* process : {&m_program, &m_sim}) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(10000)) {
                    process->kill();
                    process->waitForFinished();
                }
            }
        }
        if (QTest::currentTestFailed()) {
            qWarning().noquote() << "program said:\n" << m_program.readAllStandardError();
            qWarning().noquote() << "simulator said:\n" << m_sim.readAllStandardError();
            QFile::copy(m_dump + QStringLiteral("/latest.jpg"),
                        QDir::tempPath() + QStringLiteral("/overlays-failed.jpg"));
        }
        m_machine.reset();
        m_dir.reset();
    }

    void overlayItemOnTheScreen_data()
    {
        QTest::addColumn<bool>("portrait");
        QTest::newRow("landscape") << false;
        QTest::newRow("portrait, turned into the screen's landscape") << true;
    }
    void overlayItemOnTheScreen()
    {
        QFETCH(bool, portrait);
        QVERIFY(prepareFolder(0, portrait ? 1 : 0));
        const QString value = expectedValue();
        QVERIFY2(value.endsWith(QStringLiteral("\u00B0C")) && value != QStringLiteral("- -\u00B0C"), qPrintable(value));
        QVERIFY(startBoth());

        const OverlayItem item = defaultOverlayItem(0);
        const QImage title = OverlayLabels::renderText(QStringLiteral("CPU Temp"), item.titleFont, Qt::white);
        const QImage content = OverlayLabels::renderText(value, item.contentFont, Qt::white);
        const QPoint titleAt = (portrait ? kTitleV : kTitleH) * 4;
        const QPoint contentAt = (portrait ? kContentV : kContentH) * 4;
        const auto shows = [&](const QImage& valueText) {
            return [&, valueText](const QImage& frame) {
                return match(frame, title, titleAt, kTitleColour) > 0.85 &&
                       match(frame, valueText, contentAt, kContentColour) > 0.85;
            };
        };
        QVERIFY2(waitForFrame(portrait, shows(content), 15000), qPrintable(value));
        // The match is the text, not merely coloured pixels there.
        const QImage other = OverlayLabels::renderText(QStringLiteral("18\u00B0C"), item.contentFont, Qt::white);
        QVERIFY(match(latestFrame(portrait), other, contentAt, kContentColour) < 0.8);

        // The machine warms up: a frame within about two seconds shows the new value.
        for (const char* file : {"sys/class/hwmon/hwmon0/temp1_input", "sys/class/hwmon/hwmon1/temp7_input"})
            m_machine->write(QLatin1String(file), "83000\n");
        const QString warmer = expectedValue();
        QVERIFY2(warmer != value, qPrintable(warmer));
        const QImage warmerContent = OverlayLabels::renderText(warmer, item.contentFont, Qt::white);
        qint64 elapsed = 0;
        QVERIFY2(waitForFrame(portrait, shows(warmerContent), 2500, &elapsed), qPrintable(warmer));
        qInfo("%s shown %lld ms after the reading changed", qPrintable(warmer), elapsed);
    }

    void clockPagesShowTheTime_data()
    {
        QTest::addColumn<int>("styleMode");
        QTest::newRow("ApplyStyleMode 1: digital") << 1;
        QTest::newRow("ApplyStyleMode 2: analog") << 2;
    }
    void clockPagesShowTheTime()
    {
        QFETCH(int, styleMode);
        QVERIFY(prepareFolder(styleMode, 0));
        QVERIFY(startBoth());
        const auto showsTime = [styleMode](const QImage& frame, const QTime& t) {
            if (styleMode == 2)
                return match(frame, ClockFaces::analogClockImage(t), QPoint(240, 80)) > 0.85;
            const auto digits = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
            return match(frame, ClockFaces::digitImage(digits(t.hour())), QPoint(348, 172)) > 0.85 &&
                   match(frame, ClockFaces::digitImage(digits(t.minute())), QPoint(348, 240)) > 0.85;
        };
        // The frame may have been made a moment before the look at it.
        const auto showsNow = [&](const QImage& frame) {
            const QTime now = QTime::currentTime();
            return showsTime(frame, now) || showsTime(frame, now.addSecs(-2));
        };
        QVERIFY(waitForFrame(false, showsNow, 15000));
        // Another time does not match, and the overlay item stays off the clock pages.
        const QImage frame = latestFrame(false);
        QVERIFY(!showsTime(frame, QTime::currentTime().addSecs(3 * 3600 + 17 * 60)));
        const QImage title =
            OverlayLabels::renderText(QStringLiteral("CPU Temp"), defaultOverlayItem(0).titleFont, Qt::white);
        QVERIFY(match(frame, title, kTitleH * 4, kTitleColour) < 0.2);
    }
};

QTEST_MAIN(TestProgramOverlays)
#include "TestProgramOverlays.moc"
