// The homepage tiles and the dashboard that fills them: the thin bar's painting and range, the
// bar rules, the placeholders, the fan fallback and the titles, from hand-made slots, from the
// fake sensor library and from fixture machines, in °C and °F.

#include "sensors/CustomHwinfoProgressbarLight.h"
#include "sensors/CustomProgressBarlight.h"
#include "sensors/CustonHwinfoDisplayLabel.h"
#include "sensors/HomepageDashboard.h"
#include "sensors/homepageHwinfoDisplayWidget.h"
#include "shell/AppGlobals.h"
#include "tests/sensors/SensorTestRows.h"

#include <QImage>
#include <QtTest>

using SensorFixtures::MachineTree;

namespace {

// The 22 tiles on one parent, as the main window's form holds them.
struct TileBoard
{
    QWidget parent;
    HomepageTiles tiles;

    TileBoard()
    {
        const auto display = [this] { return new homepageHwinfoDisplayWidget(&parent); };
        const auto bar = [this] { return new CustomHwinfoProgressbarLight(&parent); };
        const auto line = [this] { return new CustonHwinfoDisplayLabel(&parent); };
        tiles.cpuTemperature = display();
        tiles.cpuPackageTemperature = display();
        tiles.motherboardTemperature = display();
        tiles.chipsetTemperature = display();
        tiles.gpuTemperature = display();
        tiles.mTemperature = display();
        tiles.cpuFanSpeed = bar();
        tiles.aioPump = bar();
        tiles.vrmHsFan = line();
        tiles.chassisFanSpeed = line();
        tiles.cpuCoreVoltage = bar();
        tiles.gpuVoltage = bar();
        tiles.memoryControllerVoltage = line();
        tiles.temp1Voltage = line();
        tiles.cpuAverageUsage = bar();
        tiles.gpuUsage = bar();
        tiles.ramUsage = line();
        tiles.temp1Usage = line();
        tiles.cpuFrequency = bar();
        tiles.gpuFrequency = bar();
        tiles.temp1Frequency = line();
        tiles.temp2Frequency = line();
    }
};

SensorReading reading(const QString& name, double value, const QString& text, const QString& unit)
{
    SensorReading r;
    r.hardwareName = QStringLiteral("Test Device");
    r.sensorName = name;
    r.value = value;
    r.valueText = text;
    r.unit = unit;
    return r;
}

// A placeholder as the catalogue leaves it: name "--", text "- -", the unit last seen.
SensorReading missing(const QString& unit = QString())
{
    return reading(QStringLiteral("--"), 0, QStringLiteral("- -"), unit);
}

// Share of blue pixels along the middle row of a painted bar.
int blueColumns(const QImage& image)
{
    int blue = 0;
    const int y = image.height() / 2;
    for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        blue += c.blue() > 200 && c.red() < 40 && c.green() > 120 && c.green() < 220;
    }
    return blue;
}

// Runs one pass of the sensor source and shows its slots.
void passAndShow(hwinfo& source, const HomepageDashboard& dashboard)
{
    source.refresh();
    dashboard.update(dashboardSlots());
}

// A desktop as the fake library serves it: every dashboard group filled, no VRM fan, the GPU
// clock in GHz.
void scriptDesktop()
{
    FakeSensorsReset();
    const int board = FakeSensorsAddDevice("MSI MAG B650 (NCT6687)");
    scriptDevice(board, {{1, 12, 14, 0, "CPU", "C", 47},
                         {1, 12, 35, 0, "System", "C", 33},
                         {3, 12, 14, 0, "CPU Fan", "RPM", 1250},
                         {3, 12, 901, 0, "Pump Fan", "RPM", 2700},
                         {3, 12, 1, 0, "System Fan 1", "RPM", 800},
                         {3, 12, 1, 0, "System Fan 2", "RPM", 650}});
    const int cpu = FakeSensorsAddDevice("CPU [#0]: Test CPU");
    scriptDevice(cpu, {{1, 11, 10, 0, "CPU Package", "C", 52},
                       {2, 11, 11, 0, "Core 0 Voltage", "V", 1.2},
                       {6, 11, 11, 0, "Core 0 Clock", "MHz", 4700},
                       {6, 11, 11, 0, "Core 1 Clock", "MHz", 4900},
                       {7, 11, 10, 1, "Total CPU Usage", "%", 37.6}});
    const int chipset = FakeSensorsAddDevice("Chipset");
    scriptDevice(chipset, {{1, 14, 500, 0, "Chipset", "C", 41}});
    const int gpu = FakeSensorsAddDevice("GPU [#0]: Test GPU");
    scriptDevice(gpu, {{1, 13, 101, 0, "GPU Temperature", "C", 60},
                       {2, 13, 101, 0, "GPU Core Voltage", "V", 0.95},
                       {6, 13, 101, 0, "GPU Clock", "GHz", 2.4},
                       {7, 13, 101, 0, "GPU Core Load", "%", 55}});
    const int memory = FakeSensorsAddDevice("System");
    scriptDevice(memory, {{8, 10, 0, 0, "Physical Memory Load", "%", 62}});
    const int dimm = FakeSensorsAddDevice("DIMM #0");
    scriptDevice(dimm, {{2, 17, 1, 0, "VDD (SWA) Voltage", "V", 1.1}});
}

} // namespace

class TestHomepageDashboard final : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetSensorCatalogue();
        useFahrenheit = false;
    }

    void tileSizesAndFirstTexts()
    {
        homepageHwinfoDisplayWidget display;
        QCOMPARE(display.minimumSize(), QSize(176, 173));
        QCOMPARE(display.objectName(), QStringLiteral("homepageHwinfoDisplayWidget"));
        CustonHwinfoDisplayLabel line;
        QCOMPARE(line.size(), QSize(236, 33));
        QCOMPARE(line.value(), QStringLiteral("50\u00B0C"));
        CustomHwinfoProgressbarLight tile;
        QCOMPARE(tile.size(), QSize(275, 29));
        QCOMPARE(tile.barValue(), 24);
        QCOMPARE(tile.bar()->maximum(), 100);
        QVERIFY(!tile.bar()->isTextVisible());
        QCOMPARE(tile.textLine()->height(), 20);
        QCOMPARE(tile.bar()->height(), 4);
        tile.setValueText(QStringLiteral("1250RPM"));
        QCOMPARE(tile.textLine()->value(), QStringLiteral("1250RPM"));
    }

    // The tile keeps its bar within 0..100 so no value leaves an old one standing.
    void barTileRange_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("shown");
        QTest::newRow("inside the range: as given") << 42 << 42;
        QTest::newRow("top of the range") << 100 << 100;
        QTest::newRow("above the range: at the end") << 150 << 100;
        QTest::newRow("negative: 0") << -7 << 0;
        QTest::newRow("zero") << 0 << 0;
    }
    void barTileRange()
    {
        QFETCH(int, value);
        QFETCH(int, shown);
        CustomHwinfoProgressbarLight tile;
        tile.setBarValue(60);
        tile.setBarValue(value);
        QCOMPARE(tile.barValue(), shown);
    }

    void fillWidth_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("fill");
        QTest::newRow("share of the width, truncated") << 275 << 24 << 0 << 100 << 66;
        QTest::newRow("full") << 275 << 100 << 0 << 100 << 275;
        QTest::newRow("empty") << 275 << 0 << 0 << 100 << 0;
        QTest::newRow("maximum equal to minimum: nothing") << 275 << 5 << 5 << 5 << 0;
        QTest::newRow("below the minimum: nothing") << 275 << -1 << 0 << 100 << 0;
        QTest::newRow("above the maximum: the whole track") << 275 << 300 << 0 << 100 << 275;
        QTest::newRow("offset range") << 200 << 60 << 20 << 120 << 80;
        QTest::newRow("wide range does not overflow") << 1000 << 2000000000 << 0 << 2100000000 << 952;
    }
    void fillWidth()
    {
        QFETCH(int, width);
        QFETCH(int, value);
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QTEST(CustomProgressBarlight::fillWidth(width, value, minimum, maximum), "fill");
    }

    // Grey track over the whole widget, blue from the left for the value's share.
    void barPainting_data()
    {
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("blue");
        QTest::newRow("half") << 0 << 100 << 50 << 100;
        QTest::newRow("none") << 0 << 100 << 0 << 0;
        QTest::newRow("maximum equal to minimum: track only") << 0 << 0 << 0 << 0;
    }
    void barPainting()
    {
        QFETCH(int, minimum);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QFETCH(int, blue);
        CustomProgressBarlight bar;
        bar.setRange(minimum, maximum);
        bar.setValue(value);
        bar.resize(200, 8);
        const QImage image = bar.grab().toImage();
        QVERIFY(qAbs(blueColumns(image) - blue) <= 3);
        const QColor track = image.pixelColor(image.width() - 10, image.height() / 2);
        if (blue < image.width() - 10)
            QCOMPARE(track, QColor(85, 85, 85));
    }

    void barValue_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("bar");
        QTest::newRow("fan: percentage truncated") << 1299.0 << 3000 << 43;
        QTest::newRow("fan above the maximum: at the end") << 3600.0 << 3000 << 100;
        QTest::newRow("voltage") << 1.25 << 10 << 12;
        QTest::newRow("clock in GHz against 8") << 2.4 << 8 << 30;
        QTest::newRow("clock in MHz") << 4800.0 << 9000 << 53;
        QTest::newRow("negative: 0") << -3.0 << 100 << 0;
        QTest::newRow("small negative truncates to 0") << -0.5 << 100 << 0;
        QTest::newRow("huge value stays in range") << 1e300 << 100 << 100;
        QTest::newRow("not a number: 0") << qQNaN() << 100 << 0;
    }
    void barValue()
    {
        QFETCH(double, value);
        QFETCH(int, maximum);
        QTEST(HomepageDashboard::barValue(value, maximum), "bar");
    }

    void initialTitles()
    {
        TileBoard board;
        HomepageDashboard dashboard(board.tiles);
        dashboard.setInitialTitles();
        const HomepageTiles& t = board.tiles;
        QCOMPARE(t.cpuTemperature->title(), QStringLiteral("CPU"));
        QCOMPARE(t.cpuPackageTemperature->title(), QStringLiteral("CPU Package"));
        QCOMPARE(t.motherboardTemperature->title(), QStringLiteral("Motherboard"));
        QCOMPARE(t.chipsetTemperature->title(), QStringLiteral("Chipset"));
        QCOMPARE(t.gpuTemperature->title(), QStringLiteral("GPU"));
        QCOMPARE(t.mTemperature->title(), QStringLiteral("----"));
        QCOMPARE(t.aioPump->title(), QStringLiteral("AIO Pump"));
        QCOMPARE(t.cpuCoreVoltage->title(), QStringLiteral("CPU Core"));
        QCOMPARE(t.cpuAverageUsage->title(), QStringLiteral("CPU Average"));
        QCOMPARE(t.ramUsage->title(), QStringLiteral("RAM"));
        QCOMPARE(t.vrmHsFan->title(), QStringLiteral("--"));
        QCOMPARE(t.vrmHsFan->value(), QStringLiteral("50\u00B0C"));
        for (CustonHwinfoDisplayLabel* spare : {t.temp1Voltage, t.temp1Usage, t.temp1Frequency, t.temp2Frequency}) {
            QCOMPARE(spare->title(), QStringLiteral("--"));
            QCOMPARE(spare->value(), QStringLiteral("- -"));
        }
    }

    // Every rule of the update, from slots made by hand.
    void updateFromSlots()
    {
        TileBoard board;
        HomepageDashboard dashboard(board.tiles);
        dashboard.setInitialTitles();
        DashboardSlots s;
        s.cpuTemperature = reading("CPU", 47, "47", "\u00B0C");
        s.cpuPackageTemperature = reading("CPU Package", 52, "52", "\u00B0C");
        s.motherboardTemperature = missing("\u00B0C");
        s.chipsetTemperature = missing();
        s.gpuTemperature = reading("GPU ", 60, "60", "\u00B0C");
        s.cpuFanSpeed = reading("CPU Fan", 1299, "1299", "RPM");
        s.aioPump = reading("Pump Fan", 3600, "3600", "RPM");
        s.vrmHsFan = missing("RPM");
        s.chassisFanSpeed = reading("System Fan 1", 800, "800", "RPM");
        s.chassisFanSpeed2 = reading("System Fan 2", 650, "650", "RPM");
        s.cpuCoreVoltage = reading("CPU Core VIDs", 1.25, "1.25V", QString());
        s.gpuVoltage = reading("GPU", 0.95, "0.95", "V");
        s.memoryControllerVoltage = reading("Memory", 1.1, "1.1", "V");
        s.cpuAverageUsage = reading("CPU Usage", 37.6, "38", "%");
        s.gpuUsage = reading("GPU Core Load", 55, "55", "%");
        s.ramUsage = reading("RAM Usage", 62, "62", "%");
        s.cpuFrequency = reading("CPU", 4800, "4800", "MHz");
        s.gpuFrequency = reading("GPU Clock", 2.4, "2.4", "GHz");
        dashboard.update(s);
        const HomepageTiles& t = board.tiles;

        QCOMPARE(t.cpuTemperature->value(), QStringLiteral("47"));
        QCOMPARE(t.cpuTemperature->unit(), QStringLiteral("\u00B0C"));
        QCOMPARE(t.motherboardTemperature->value(), QStringLiteral("--"));
        QCOMPARE(t.motherboardTemperature->unit(), QStringLiteral("-"));
        QCOMPARE(t.chipsetTemperature->value(), QStringLiteral("--"));
        QCOMPARE(t.chipsetTemperature->unit(), QStringLiteral("-"));
        // Temperature titles stay.
        QCOMPARE(t.gpuTemperature->title(), QStringLiteral("GPU"));

        QCOMPARE(t.cpuFanSpeed->title(), QStringLiteral("CPU Fan"));
        QCOMPARE(t.cpuFanSpeed->valueText(), QStringLiteral("1299RPM"));
        QCOMPARE(t.cpuFanSpeed->barValue(), 43);
        QCOMPARE(t.aioPump->barValue(), 100);
        // No VRM fan: the first generic fan on the chassis line, the second on the VRM line.
        QCOMPARE(t.chassisFanSpeed->title(), QStringLiteral("System Fan 1"));
        QCOMPARE(t.chassisFanSpeed->value(), QStringLiteral("800RPM"));
        QCOMPARE(t.vrmHsFan->title(), QStringLiteral("System Fan 2"));
        QCOMPARE(t.vrmHsFan->value(), QStringLiteral("650RPM"));

        QCOMPARE(t.cpuCoreVoltage->title(), QStringLiteral("CPU Core VIDs"));
        QCOMPARE(t.cpuCoreVoltage->valueText(), QStringLiteral("1.25V"));
        QCOMPARE(t.cpuCoreVoltage->barValue(), 12);
        QCOMPARE(t.gpuVoltage->title(), QStringLiteral("GPU"));
        QCOMPARE(t.gpuVoltage->valueText(), QStringLiteral("0.95V"));
        QCOMPARE(t.gpuVoltage->barValue(), 9);
        QCOMPARE(t.memoryControllerVoltage->title(), QStringLiteral("Memory"));
        QCOMPARE(t.memoryControllerVoltage->value(), QStringLiteral("1.1V"));

        QCOMPARE(t.cpuAverageUsage->title(), QStringLiteral("CPU Average"));
        QCOMPARE(t.cpuAverageUsage->valueText(), QStringLiteral("38%"));
        QCOMPARE(t.cpuAverageUsage->barValue(), 37);
        QCOMPARE(t.gpuUsage->barValue(), 55);
        QCOMPARE(t.ramUsage->title(), QStringLiteral("RAM"));
        QCOMPARE(t.ramUsage->value(), QStringLiteral("62%"));

        QCOMPARE(t.cpuFrequency->valueText(), QStringLiteral("4800MHz"));
        QCOMPARE(t.cpuFrequency->barValue(), 53);
        QCOMPARE(t.gpuFrequency->valueText(), QStringLiteral("2.4GHz"));
        QCOMPARE(t.gpuFrequency->barValue(), 30);
        QCOMPARE(t.temp1Frequency->value(), QStringLiteral("- -"));

        // A fan that disappears keeps its title and shows "- -" with the unit last seen; its bar
        // goes to 0. A VRM fan that appears takes its own line back.
        s.cpuFanSpeed = missing("RPM");
        s.vrmHsFan = reading("VRM HS Fan", 1900, "1900", "RPM");
        s.memoryControllerVoltage = missing("V");
        dashboard.update(s);
        QCOMPARE(t.cpuFanSpeed->title(), QStringLiteral("CPU Fan"));
        QCOMPARE(t.cpuFanSpeed->valueText(), QStringLiteral("- -RPM"));
        QCOMPARE(t.cpuFanSpeed->barValue(), 0);
        QCOMPARE(t.vrmHsFan->title(), QStringLiteral("VRM HS Fan"));
        QCOMPARE(t.vrmHsFan->value(), QStringLiteral("1900RPM"));
        QCOMPARE(t.chassisFanSpeed->title(), QStringLiteral("System Fan 1"));
        QCOMPARE(t.memoryControllerVoltage->title(), QStringLiteral("Memory"));
        QCOMPARE(t.memoryControllerVoltage->value(), QStringLiteral("- -V"));

        // A language switch sets the fixed titles again but leaves a title a sensor gave.
        dashboard.retranslate();
        QCOMPARE(t.aioPump->title(), QStringLiteral("Pump Fan"));
        QCOMPARE(t.motherboardTemperature->title(), QStringLiteral("Motherboard"));
    }

    // Without any sensor data the passes still fill the CPU tiles with zeros.
    void noSensorData()
    {
        FakeSensorsReset();
        auto source = SensorFixtures::fakeSource();
        TileBoard board;
        HomepageDashboard dashboard(board.tiles);
        dashboard.setInitialTitles();
        passAndShow(*source, dashboard);
        const HomepageTiles& t = board.tiles;
        QCOMPARE(t.cpuTemperature->value(), QStringLiteral("0"));
        QCOMPARE(t.cpuTemperature->unit(), QStringLiteral("\u00B0C"));
        QCOMPARE(t.cpuPackageTemperature->value(), QStringLiteral("--"));
        QCOMPARE(t.cpuPackageTemperature->unit(), QStringLiteral("-"));
        QCOMPARE(t.gpuTemperature->value(), QStringLiteral("--"));
        QCOMPARE(t.cpuCoreVoltage->title(), QStringLiteral("CPU Core Voltage"));
        QCOMPARE(t.cpuCoreVoltage->valueText(), QStringLiteral("0V"));
        QCOMPARE(t.cpuFrequency->valueText(), QStringLiteral("0MHz"));
        QCOMPARE(t.cpuFanSpeed->valueText(), QStringLiteral("- -"));
        QCOMPARE(t.cpuFanSpeed->barValue(), 0);
        QCOMPARE(t.gpuUsage->valueText(), QStringLiteral("- -"));
        QCOMPARE(t.ramUsage->value(), QStringLiteral("- -"));
        QCOMPARE(t.ramUsage->title(), QStringLiteral("RAM"));
    }

    // The fake library's desktop on the tiles, in °C and, after the switch, in °F on the next pass.
    void fromTheFakeLibrary()
    {
        scriptDesktop();
        auto source = SensorFixtures::fakeSource();
        QCOMPARE(source->status, 1);
        TileBoard board;
        HomepageDashboard dashboard(board.tiles);
        dashboard.setInitialTitles();
        passAndShow(*source, dashboard);
        const HomepageTiles& t = board.tiles;
        QCOMPARE(t.cpuTemperature->value(), QStringLiteral("47"));
        QCOMPARE(t.cpuTemperature->unit(), QStringLiteral("\u00B0C"));
        QCOMPARE(t.cpuPackageTemperature->value(), QStringLiteral("52"));
        QCOMPARE(t.motherboardTemperature->value(), QStringLiteral("33"));
        QCOMPARE(t.chipsetTemperature->value(), QStringLiteral("41"));
        QCOMPARE(t.gpuTemperature->value(), QStringLiteral("60"));
        QCOMPARE(t.cpuFanSpeed->title(), QStringLiteral("CPU Fan"));
        QCOMPARE(t.cpuFanSpeed->valueText(), QStringLiteral("1250RPM"));
        QCOMPARE(t.cpuFanSpeed->barValue(), 41);
        QCOMPARE(t.aioPump->title(), QStringLiteral("Pump Fan"));
        QCOMPARE(t.aioPump->barValue(), 90);
        QCOMPARE(t.chassisFanSpeed->title(), QStringLiteral("System Fan 1"));
        QCOMPARE(t.vrmHsFan->title(), QStringLiteral("System Fan 2"));
        QCOMPARE(t.vrmHsFan->value(), QStringLiteral("650RPM"));
        QCOMPARE(t.cpuCoreVoltage->title(), QStringLiteral("CPU Core Voltage"));
        QCOMPARE(t.cpuCoreVoltage->valueText(), QStringLiteral("1.2V"));
        QCOMPARE(t.cpuCoreVoltage->barValue(), 12);
        QCOMPARE(t.gpuVoltage->valueText(), QStringLiteral("0.95V"));
        QCOMPARE(t.memoryControllerVoltage->title(), QStringLiteral("Memory"));
        QCOMPARE(t.memoryControllerVoltage->value(), QStringLiteral("1.1V"));
        QCOMPARE(t.cpuAverageUsage->valueText(), QStringLiteral("38%"));
        QCOMPARE(t.cpuAverageUsage->barValue(), 37);
        QCOMPARE(t.gpuUsage->barValue(), 55);
        QCOMPARE(t.ramUsage->title(), QStringLiteral("RAM"));
        QCOMPARE(t.ramUsage->value(), QStringLiteral("62%"));
        QCOMPARE(t.cpuFrequency->valueText(), QStringLiteral("4800MHz"));
        QCOMPARE(t.cpuFrequency->barValue(), 53);
        QCOMPARE(t.gpuFrequency->valueText(), QStringLiteral("2.4GHz"));
        QCOMPARE(t.gpuFrequency->barValue(), 30);

        useFahrenheit = true;
        passAndShow(*source, dashboard);
        QCOMPARE(t.cpuTemperature->value(), QStringLiteral("117"));
        QCOMPARE(t.cpuTemperature->unit(), QStringLiteral("\u00B0F"));
        QCOMPARE(t.gpuTemperature->value(), QStringLiteral("140"));
        QCOMPARE(t.gpuTemperature->unit(), QStringLiteral("\u00B0F"));
        // Fan speeds and the rest do not depend on the unit.
        QCOMPARE(t.cpuFanSpeed->valueText(), QStringLiteral("1250RPM"));
        useFahrenheit = false;
    }

    // Fixture machines through the real sensor library: what a user of such a machine sees.
    void fixtureMachines_data()
    {
        QTest::addColumn<QString>("machine");
        QTest::addColumn<QStringList>("temperatures"); // CPU, package, board, chipset, GPU
        QTest::addColumn<QString>("cpuFan");
        QTest::addColumn<QString>("chassisFan");
        QTest::addColumn<QString>("cpuUsage");
        QTest::addColumn<QString>("cpuFrequency");
        QTest::newRow("intel desktop") << "intel desktop" << QStringList{"45", "55", "33", "48", "--"} << "1250RPM"
                                       << "650RPM"
                                       << "19%"
                                       << "4750MHz";
        QTest::newRow("intel laptop: no board chip, no board fans")
            << "intel laptop" << QStringList{"x", "x", "47", "49", "--"} << "- -"
            << "- -"
            << "x"
            << "x";
    }
    void fixtureMachines()
    {
        QFETCH(QString, machine);
        QFETCH(QStringList, temperatures);
        std::unique_ptr<MachineTree> tree =
            machine == QLatin1String("intel desktop") ? MachineTree::intelDesktop() : MachineTree::intelLaptop();
        auto source = SensorFixtures::realSource();
        QCOMPARE(source->status, 1);
        QCOMPARE(boardSensorChipMissing(), machine == QLatin1String("intel laptop"));
        TileBoard board;
        HomepageDashboard dashboard(board.tiles);
        dashboard.setInitialTitles();
        passAndShow(*source, dashboard);
        const HomepageTiles& t = board.tiles;
        const QList<homepageHwinfoDisplayWidget*> tiles{t.cpuTemperature, t.cpuPackageTemperature,
                                                        t.motherboardTemperature, t.chipsetTemperature,
                                                        t.gpuTemperature};
        for (int i = 0; i < tiles.size(); ++i) {
            if (temperatures[i] == QLatin1String("x"))
                continue;
            QCOMPARE(tiles[i]->value(), temperatures[i]);
            QCOMPARE(tiles[i]->unit(),
                     temperatures[i] == QLatin1String("--") ? QStringLiteral("-") : QStringLiteral("\u00B0C"));
        }
        QFETCH(QString, cpuFan);
        QFETCH(QString, chassisFan);
        QFETCH(QString, cpuUsage);
        QFETCH(QString, cpuFrequency);
        QCOMPARE(t.cpuFanSpeed->valueText().startsWith(QLatin1String("- -")) ? QStringLiteral("- -")
                                                                             : t.cpuFanSpeed->valueText(),
                 cpuFan);
        QCOMPARE(t.chassisFanSpeed->value().startsWith(QLatin1String("- -")) ? QStringLiteral("- -")
                                                                             : t.chassisFanSpeed->value(),
                 chassisFan);
        if (cpuUsage != QLatin1String("x"))
            QCOMPARE(t.cpuAverageUsage->valueText(), cpuUsage);
        if (cpuFrequency != QLatin1String("x"))
            QCOMPARE(t.cpuFrequency->valueText(), cpuFrequency);

        useFahrenheit = true;
        passAndShow(*source, dashboard);
        QCOMPARE(t.cpuTemperature->unit(), QStringLiteral("\u00B0F"));
        useFahrenheit = false;
    }
};

QTEST_MAIN(TestHomepageDashboard)
#include "TestHomepageDashboard.moc"
