// The main window with its sensor source over the fake sensor library: the start-up order, the
// stored overlay items on the preview, the temperature unit end to end, what is saved, and the
// overlay and clock labels across the page modes.

#include "app/FramelessWidget.h"
#include "app/MainWindow.h"
#include "screen/FlexibleLabel.h"
#include "screen/FrameComposer.h"
#include "screen/MediaLabel.h"
#include "screen/OverlayLabels.h"
#include "sensors/SensorCatalogue.h"
#include "sensors/hwinfo.h"
#include "settings/AppPaths.h"
#include "settings/SettingsStore.h"
#include "shell/Fonts.h"
#include "tests/support/TestSupport.h"
#include "tests/support/app/AppFakes.h"
#include "tests/support/app/WindowTestFolder.h"
#include "tests/support/sensors/FakeSensorLibrary.h"
#include "tests/support/sensors/SensorFixtures.h"
#include "ui_MainWindow.h"

#include <QDir>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using AppFakes::FakeLink;

// A CPU whose package reads `celsius`: the "Default Sensor" "CPU Temp" of overlay item 0.
void scriptCpu(double celsius)
{
    FakeSensorsReset();
    const int cpu = FakeSensorsAddDevice("CPU [#0]: Test CPU");
    const VortaneSensorRecord package = SensorFixtures::record(11, 10, 0, "CPU Package", "C", celsius);
    FakeSensorsSetRecord(cpu, 1, 0, &package, 1);
}

std::unique_ptr<MainWindow> makeWindow()
{
    return std::make_unique<MainWindow>(nullptr, std::make_unique<FakeLink>(), &SensorFixtures::fakeSource);
}

} // namespace

class TestMainWindowSensors final : public QObject
{
    Q_OBJECT

    QTemporaryDir programFolder;
    QTemporaryDir simFolder;

    // Item 0 enabled, red value over a green title, at stored positions in both orientations.
    static QVariantMap enabledItem0()
    {
        return {{"HwSensorName0", "CPU Temp"},
                {"HwHardwareName0", "Default Sensor"},
                {"HwEnable0", true},
                {"HwTColor0", "ff00ff00"},
                {"HwCColor0", "ffff0000"},
                {"HwHTX0", 12},
                {"HwHTY0", 7},
                {"HwHCX0", 12},
                {"HwHCY0", 25},
                {"HwVTX0", 20},
                {"HwVTY0", 100},
                {"HwVCX0", 20},
                {"HwVCY0", 118}};
    }

private slots:
    void initTestCase()
    {
        registerFonts();
        QVERIFY(WindowTestFolder::prepare(programFolder.path(), simFolder.path()));
    }

    void init()
    {
        resetSensorCatalogue();
        useFahrenheit = false;
        scriptCpu(45);
        WindowTestFolder::writeSettings({});
    }

    // The sensor source is read once before the settings load, so the default layout centres the
    // value that is shown ("45°C", not the placeholder), and its thread runs once the window is
    // built; destroying the window stops it and closes the library.
    void startUpOrder()
    {
        auto window = makeWindow();
        const hwinfo* source = window->sensorSource();
        QCOMPARE(source->status, 1);
        QVERIFY(source->isRunning());
        QVERIFY(FakeSensorsCallCount("SelectDevice") >= 1);

        const QFont font = defaultOverlayItem(0).contentFont;
        const auto leftX = [](const QString& text, const QFont& f) {
            const int w = int(OverlayLabels::textMetrics(f).horizontalAdvance(text) * 0.25);
            return int((800 * 0.25 * 0.5 - w) * 0.5);
        };
        const int measured = leftX(QStringLiteral("45\u00B0C"), font);
        QVERIFY(measured != leftX(QStringLiteral("- -"), font));
        QCOMPARE(window->form()->label_bg->overlayPositions().contentPositionsH[0].x(), measured);

        window.reset();
        QCOMPARE(FakeSensorsCallCount("Close"), 1);
    }

    // The stored item is on the preview from the start in the dynamic mode, at its stored position,
    // and the next composed frame paints it; in a clock mode it is hidden.
    void storedItemOnThePreview_data()
    {
        QTest::addColumn<int>("styleMode");
        QTest::addColumn<int>("bgDirection");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QPoint>("contentAt");
        QTest::newRow("dynamic, landscape: shown at HwHC") << 0 << 0 << true << QPoint(12, 25);
        QTest::newRow("dynamic, portrait: shown at HwVC") << 0 << 1 << true << QPoint(20, 118);
        QTest::newRow("digital clock: hidden") << 1 << 0 << false << QPoint(12, 25);
        QTest::newRow("analog clock: hidden") << 2 << 0 << false << QPoint(12, 25);
    }
    void storedItemOnThePreview()
    {
        QFETCH(int, styleMode);
        QFETCH(int, bgDirection);
        QFETCH(bool, shown);
        QFETCH(QPoint, contentAt);
        QVariantMap settings = enabledItem0();
        settings.insert(QStringLiteral("ApplyStyleMode"), styleMode);
        settings.insert(QStringLiteral("bgDirection"), bgDirection);
        WindowTestFolder::writeSettings(settings);
        auto window = makeWindow();
        MediaLabel* preview = window->form()->label_bg;
        FlexibleLabel* content = preview->contentLabel(0);
        QCOMPARE(!content->isHidden(), shown);
        QCOMPARE(!preview->titleLabel(0)->isHidden(), shown);
        QCOMPARE(content->pos(), contentAt);
        QCOMPARE(preview->overlays().renderedText(0, 1), QStringLiteral("45\u00B0C"));
        QCOMPARE(preview->overlays().renderedText(0, 0), QStringLiteral("CPU Temp"));
        QCOMPARE(preview->overlayItem(0).contentColor, QColor(255, 0, 0));
        // The other items are stored disabled: hidden.
        QVERIFY(preview->contentLabel(1)->isHidden());

        FrameComposer composer([] { return qint64(0); });
        QImage frame = composer.composeImage(*preview, window->styleMode());
        if (bgDirection == 1)
            frame = frame.transformed(QTransform().rotate(90));
        const QImage text =
            OverlayLabels::renderText(QStringLiteral("45\u00B0C"), preview->overlayItem(0).contentFont, Qt::white);
        int ink = 0;
        int red = 0;
        for (int y = 0; y < text.height(); ++y) {
            for (int x = 0; x < text.width(); ++x) {
                if (qAlpha(text.pixel(x, y)) < 250)
                    continue;
                ++ink;
                const QRgb seen = frame.pixel(contentAt * 4 + QPoint(x, y));
                red += qRed(seen) > 200 && qGreen(seen) < 60 && qBlue(seen) < 60;
            }
        }
        QVERIFY(ink > 100);
        if (shown)
            QVERIFY2(red > ink * 9 / 10, qPrintable(QStringLiteral("%1 of %2").arg(red).arg(ink)));
        else
            QCOMPARE(red, 0);
    }

    // The temperature selector reaches the screen: the next pass converts, the labels follow.
    void temperatureUnitEndToEnd()
    {
        WindowTestFolder::writeSettings(enabledItem0());
        auto window = makeWindow();
        MediaLabel* preview = window->form()->label_bg;
        QCOMPARE(preview->overlays().renderedText(0, 1), QStringLiteral("45\u00B0C"));
        window->form()->comboBox_temperature->setCurrentRow(1);
        QVERIFY(useFahrenheit.load());
        QTRY_COMPARE_WITH_TIMEOUT(preview->overlays().renderedText(0, 1), QStringLiteral("113\u00B0F"), 5000);
        window->form()->comboBox_temperature->setCurrentRow(0);
        QTRY_COMPARE_WITH_TIMEOUT(preview->overlays().renderedText(0, 1), QStringLiteral("45\u00B0C"), 5000);
    }

    // A new reading reaches the labels through the sensor thread's signal.
    void newReadingReachesTheLabels()
    {
        WindowTestFolder::writeSettings(enabledItem0());
        auto window = makeWindow();
        MediaLabel* preview = window->form()->label_bg;
        scriptCpu(71);
        QTRY_COMPARE_WITH_TIMEOUT(preview->overlays().renderedText(0, 1), QStringLiteral("71\u00B0C"), 5000);
    }

    // What is saved is what the labels hold: an item applied through the editors' entry point and a
    // dragged position are written back.
    void savedStateFollowsTheLabels()
    {
        {
            auto window = makeWindow();
            MediaLabel* preview = window->form()->label_bg;
            OverlayItem item = preview->overlayItem(2);
            item.sensorName = QStringLiteral("RAM Usage");
            item.enable = true;
            item.titleColor = QColor(10, 20, 30);
            preview->applyOverlayItem(2, item);
            QVERIFY(!preview->titleLabel(2)->isHidden());
            window->saveOverlayConfig();
            QSettings ini(AppPaths::settingsFile(), QSettings::IniFormat);
            QCOMPARE(ini.value(QStringLiteral("HwSensorName2")).toString(), QStringLiteral("RAM Usage"));
            QCOMPARE(ini.value(QStringLiteral("HwEnable2")).toBool(), true);
            QCOMPARE(ini.value(QStringLiteral("HwTColor2")).toString(), QStringLiteral("ff0a141e"));
        }
        auto again = makeWindow();
        const OverlayItem loaded = again->form()->label_bg->overlayItem(2);
        QCOMPARE(loaded.sensorName, QStringLiteral("RAM Usage"));
        QVERIFY(loaded.enable);
        QVERIFY(!again->form()->label_bg->titleLabel(2)->isHidden());
    }

    // The time tab hides the overlays and shows the clock of the checked style; the dynamic tab
    // hides the clocks and shows the overlays by "enable"; turning the preview in the time tab
    // keeps the clock centred and the overlays hidden.
    void pageModesAndOrientation()
    {
        WindowTestFolder::writeSettings(enabledItem0());
        auto window = makeWindow();
        Ui::MainWindow* ui = window->form();
        MediaLabel* preview = ui->label_bg;
        QVERIFY(!preview->contentLabel(0)->isHidden());
        QVERIFY(preview->clockLabel()->isHidden());

        ui->pushButton_Time->click();
        QCOMPARE(window->styleMode(), 1);
        QVERIFY(preview->contentLabel(0)->isHidden());
        QVERIFY(!preview->hourLabel()->isHidden());
        QCOMPARE(preview->hourLabel()->geometry(), QRect(87, 43, 26, 17));

        window->findChild<QRadioButton*>(QStringLiteral("radioButton_timeStyle1"))->click();
        QCOMPARE(window->styleMode(), 2);
        QVERIFY(preview->hourLabel()->isHidden());
        QVERIFY(!preview->clockLabel()->isHidden());
        QCOMPARE(preview->clockLabel()->geometry(), QRect(60, 20, 80, 80));
        QVERIFY(preview->clockFaces().tickScheduled());

        ui->pushButton_Vertical->click();
        QCOMPARE(preview->clockLabel()->geometry(), QRect(20, 60, 80, 80));
        QVERIFY(!preview->clockLabel()->isHidden());
        QVERIFY(preview->contentLabel(0)->isHidden());

        ui->pushButton_DynamicSetting->click();
        QCOMPARE(window->styleMode(), 0);
        QVERIFY(preview->clockLabel()->isHidden());
        QVERIFY(!preview->contentLabel(0)->isHidden());
        QCOMPARE(preview->contentLabel(0)->pos(), QPoint(20, 118));
        QVERIFY(!preview->clockFaces().tickScheduled());
    }
};

QTEST_MAIN(TestMainWindowSensors)
#include "TestMainWindowSensors.moc"
