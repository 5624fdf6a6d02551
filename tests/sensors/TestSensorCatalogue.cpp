// The dashboard selection: every rule, fallback and placeholder, driven through the sensor source
// over the fake sensor library.

#include "tests/sensors/SensorTestRows.h"

#include "shell/AppGlobals.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int T = 1, V = 2, F = 3, C = 6, U = 7, O = 8;

} // namespace

class TestSensorCatalogue : public QObject
{
    Q_OBJECT

private:
    // One pass over the records on device "Board"; returns the published slots.
    DashboardSlots runPass(const FakeRecords& records)
    {
        FakeSensorsReset();
        const int board = FakeSensorsAddDevice("Board");
        scriptDevice(board, records);
        auto source = SensorFixtures::fakeSource();
        source->refresh();
        return dashboardSlots();
    }

private slots:
    void init()
    {
        resetSensorCatalogue();
        useFahrenheit = false;
    }

    void slotRules_data()
    {
        QTest::addColumn<FakeRecords>("records");
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("hardwareName");
        QTest::addColumn<QString>("sensorName");
        QTest::addColumn<QString>("valueText");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("unit");
        const QString board = QStringLiteral("Board");
        const QString none;

        // Temperatures
        QTest::newRow("cpu: per-core temperatures average into the CPU tile")
            << FakeRecords{{T, 11, 11, 0, "Core 0", "C", 40}, {T, 11, 11, 0, "Core 1", "C", 51}} << "cpuTemperature"
            << none << "CPU"
            << "46" << 45.5 << kDegreesC;
        QTest::newRow("cpu: core temperatures at sub-index 1 are not averaged")
            << FakeRecords{{T, 11, 11, 0, "Core 0", "C", 40}, {T, 11, 11, 1, "Core 0 Distance", "C", 60}}
            << "cpuTemperature" << none << "CPU"
            << "40" << 40.0 << kDegreesC;
        QTest::newRow("cpu: CPU Package") << FakeRecords{{T, 11, 10, 0, "CPU Package", "C", 61.4}}
                                          << "cpuPackageTemperature" << board << "CPU Package"
                                          << "61" << 61.4 << kDegreesC;
        QTest::newRow("cpu: Package gets CPU in front")
            << FakeRecords{{T, 11, 10, 0, "Package", "C", 58}} << "cpuPackageTemperature" << board << "CPU Package"
            << "58" << 58.0 << kDegreesC;
        QTest::newRow("cpu: package at sub-index 1 ignored")
            << FakeRecords{{T, 11, 10, 1, "CPU Package", "C", 58}} << "cpuPackageTemperature" << none << "--"
            << "- -" << 0.0 << QString();
        QTest::newRow("cpu: other kind-10 names ignored")
            << FakeRecords{{T, 11, 10, 0, "CPU Die", "C", 58}} << "cpuPackageTemperature" << none << "--"
            << "- -" << 0.0 << QString();
        QTest::newRow("temperature of kind 0 ignored")
            << FakeRecords{{T, 12, 0, 0, "CPU", "C", 47}} << "cpuTemperature" << none << "CPU"
            << "0" << 0.0 << kDegreesC;
        QTest::newRow("board: kind 35 is the mainboard")
            << FakeRecords{{T, 12, 35, 0, "Motherboard", "C", 33}} << "motherboardTemperature" << board << "Motherboard"
            << "33" << 33.0 << kDegreesC;
        QTest::newRow("board: kind 706 is the mainboard")
            << FakeRecords{{T, 12, 706, 0, "MB", "C", 31}} << "motherboardTemperature" << board << "MB"
            << "31" << 31.0 << kDegreesC;
        QTest::newRow("board: mainboard at sub-index 1 ignored")
            << FakeRecords{{T, 12, 35, 1, "Motherboard", "C", 33}} << "motherboardTemperature" << none << "--"
            << "- -" << 0.0 << QString();
        QTest::newRow("board: CPU Package wins over the CPU's own")
            << FakeRecords{{T, 11, 10, 0, "CPU Package", "C", 60}, {T, 12, 10, 0, "CPU Package", "C", 55}}
            << "cpuPackageTemperature" << board << "CPU Package"
            << "55" << 55.0 << kDegreesC;
        QTest::newRow("board: CPU socket, kind 14")
            << FakeRecords{{T, 12, 14, 0, "CPU", "C", 47}} << "cpuTemperature" << board << "CPU"
            << "47" << 47.0 << kDegreesC;
        QTest::newRow("board: kind 14 under another name falls back to the cores")
            << FakeRecords{{T, 12, 14, 0, "CPU Socket", "C", 47}, {T, 11, 11, 0, "Core 0", "C", 40}} << "cpuTemperature"
            << none << "CPU"
            << "40" << 40.0 << kDegreesC;
        QTest::newRow("board: system and system1, package shows system1")
            << FakeRecords{{T, 12, 36, 0, "system", "C", 30}, {T, 12, 36, 0, "system1", "C", 41}}
            << "cpuPackageTemperature" << board << "CPU"
            << "41" << 41.0 << kDegreesC;
        QTest::newRow("board: system and system1, CPU tile shows system")
            << FakeRecords{{T, 12, 36, 0, "system", "C", 30}, {T, 12, 36, 0, "system1", "C", 41}} << "cpuTemperature"
            << board << "CPU"
            << "30" << 30.0 << kDegreesC;
        QTest::newRow("board: system1 alone on the CPU tile")
            << FakeRecords{{T, 12, 5, 3, "system1", "C", 41}} << "cpuTemperature" << board << "CPU"
            << "41" << 41.0 << kDegreesC;
        QTest::newRow("board: system ignored for the package when the CPU has one")
            << FakeRecords{{T, 11, 10, 0, "CPU Package", "C", 60}, {T, 12, 36, 0, "system", "C", 30}}
            << "cpuPackageTemperature" << board << "CPU Package"
            << "60" << 60.0 << kDegreesC;
        QTest::newRow("board: system needs a non-zero kind")
            << FakeRecords{{T, 12, 0, 0, "system", "C", 30}} << "cpuPackageTemperature" << none << "--"
            << "- -" << 0.0 << QString();
        QTest::newRow("gpu: GPU Temperature, kind 101")
            << FakeRecords{{T, 13, 101, 0, "GPU Temperature", "C", 48}} << "gpuTemperature" << board << "GPU "
            << "48" << 48.0 << kDegreesC;
        QTest::newRow("gpu: GPU Core Temperature, kind 10, any sub-index")
            << FakeRecords{{T, 13, 10, 3, "GPU Core Temperature", "C", 49}} << "gpuTemperature" << board << "GPU Core "
            << "49" << 49.0 << kDegreesC;
        QTest::newRow("gpu: hot spot ignored")
            << FakeRecords{{T, 13, 101, 0, "GPU Hot Spot Temperature", "C", 70}} << "gpuTemperature" << none << "--"
            << "- -" << 0.0 << QString();
        QTest::newRow("gpu: other kinds ignored")
            << FakeRecords{{T, 13, 102, 0, "GPU Temperature", "C", 48}} << "gpuTemperature" << none << "--"
            << "- -" << 0.0 << QString();
        QTest::newRow("chipset: kind 500")
            << FakeRecords{{T, 14, 500, 0, "PCH", "C", 50}} << "chipsetTemperature" << board << "Chipset"
            << "50" << 50.0 << kDegreesC;
        QTest::newRow("chipset: kind 504 wins over 500")
            << FakeRecords{{T, 14, 504, 0, "EC Chipset", "C", 52}, {T, 14, 500, 0, "PCH", "C", 50}}
            << "chipsetTemperature" << board << "Chipset"
            << "52" << 52.0 << kDegreesC;

        // Fans
        QTest::newRow("fan: kind 14 is the CPU fan")
            << FakeRecords{{F, 12, 14, 2, "CPU Fan", "RPM", 1200}} << "cpuFanSpeed" << board << "CPU Fan"
            << "1200" << 1200.0 << "RPM";
        QTest::newRow("fan: kind 901 is the pump")
            << FakeRecords{{F, 12, 901, 0, "Pump", "RPM", 2100}} << "aioPump" << board << "Pump"
            << "2100" << 2100.0 << "RPM";
        QTest::newRow("fan: kind 1001 is the VRM fan")
            << FakeRecords{{F, 12, 1001, 0, "VRM HS", "RPM", 3000}} << "vrmHsFan" << board << "VRM HS"
            << "3000" << 3000.0 << "RPM";
        QTest::newRow("fan: first generic fan is the chassis fan")
            << FakeRecords{{F, 12, 20, 0, "Fan A", "RPM", 800}, {F, 12, 20, 0, "Fan B", "RPM", 900}}
            << "chassisFanSpeed" << board << "Fan A"
            << "800" << 800.0 << "RPM";
        QTest::newRow("fan: second generic fan is chassis fan 2")
            << FakeRecords{{F, 12, 20, 0, "Fan A", "RPM", 800}, {F, 12, 21, 0, "Fan B", "RPM", 900}}
            << "chassisFanSpeed2" << board << "Fan B"
            << "900" << 900.0 << "RPM";
        QTest::newRow("fan: third generic fan ignored") << FakeRecords{{F, 12, 20, 0, "Fan A", "RPM", 800},
                                                                       {F, 12, 20, 0, "Fan B", "RPM", 900},
                                                                       {F, 12, 20, 0, "Fan C", "RPM", 1000}}
                                                        << "chassisFanSpeed2" << board << "Fan B"
                                                        << "900" << 900.0 << "RPM";
        QTest::newRow("fan: kind 0 ignored")
            << FakeRecords{{F, 12, 0, 0, "Fan A", "RPM", 800}} << "chassisFanSpeed" << none << "--"
            << "- -" << 0.0 << QString();
        QTest::newRow("fan: other classes ignored")
            << FakeRecords{{F, 13, 14, 0, "GPU Fan", "RPM", 1500}} << "cpuFanSpeed" << none << "--"
            << "- -" << 0.0 << QString();

        // Voltages
        QTest::newRow("voltage: core voltages average") << FakeRecords{{V, 11, 11, 0, "Vcore", "V", 1.2},
                                                                       {V, 12, 11, 0, "Other", "V", 9},
                                                                       {V, 11, 11, 0, "SVI2", "V", 1.3}}
                                                        << "cpuCoreVoltage" << none << "CPU Core Voltage"
                                                        << "1.25V" << 1.25 << QString();
        QTest::newRow("voltage: VIDs when no core voltage")
            << FakeRecords{{V, 11, 11, 2, "VID 0", "V", 1.1}, {V, 11, 11, 2, "VID 1", "V", 1.2}} << "cpuCoreVoltage"
            << none << "CPU Core VIDs"
            << "1.15V" << 1.15 << QString();
        QTest::newRow("voltage: core voltage wins over VIDs")
            << FakeRecords{{V, 11, 11, 2, "VID 0", "V", 1.1}, {V, 11, 11, 0, "Vcore", "V", 1.234567}}
            << "cpuCoreVoltage" << none << "CPU Core Voltage"
            << "1.23457V" << 1.234567 << QString();
        QTest::newRow("voltage: neither gives 0V")
            << FakeRecords{{V, 11, 11, 1, "Vcore", "V", 1.2}} << "cpuCoreVoltage" << none << "CPU Core Voltage"
            << "0V" << 0.0 << QString();
        QTest::newRow("voltage: GPU core voltage in g6")
            << FakeRecords{{V, 13, 101, 0, "GPU Core Voltage (VDDC)", "V", 0.8254321}} << "gpuVoltage" << board << "GPU"
            << "0.825432" << 0.8254321 << "V";
        QTest::newRow("voltage: other GPU voltages ignored")
            << FakeRecords{{V, 13, 101, 0, "GPU SoC Voltage", "V", 0.9}} << "gpuVoltage" << none << "--"
            << "- -" << 0.0 << QString();
        QTest::newRow("voltage: memory SWA and SWB average")
            << FakeRecords{{V, 17, 0, 0, "DIMM 1 VDD (SWA) Voltage", "V", 1.1},
                           {V, 17, 0, 0, "DIMM 1 VDD (SWB) Voltage", "V", 1.2}}
            << "memoryControllerVoltage" << none << "Memory"
            << "1.15" << 1.15 << "V";
        QTest::newRow("voltage: memory SWB alone") << FakeRecords{{V, 17, 3, 1, "VDD (SWB) Voltage", "V", 1.125}}
                                                   << "memoryControllerVoltage" << none << "Memory"
                                                   << "1.125" << 1.125 << "V";
        QTest::newRow("voltage: memory SWA alone") << FakeRecords{{V, 17, 0, 0, "VDD (SWA) Voltage", "V", 1.1}}
                                                   << "memoryControllerVoltage" << none << "Memory"
                                                   << "1.1" << 1.1 << "V";

        // Clocks
        QTest::newRow("clock: core clocks average in g6")
            << FakeRecords{{C, 11, 11, 0, "Core 0 Clock", "MHz", 4400.25}, {C, 11, 11, 0, "Core 1 Clock", "MHz", 4600}}
            << "cpuFrequency" << none << "CPU"
            << "4500.13" << 4500.125 << "MHz";
        QTest::newRow("clock: no cores gives 0 MHz") << FakeRecords{} << "cpuFrequency" << none << "CPU"
                                                     << "0" << 0.0 << "MHz";
        QTest::newRow("clock: GPU Clock in g6")
            << FakeRecords{{C, 13, 101, 0, "GPU Clock", "MHz", 2124.5}} << "gpuFrequency" << board << "GPU Clock"
            << "2124.5" << 2124.5 << "MHz";
        QTest::newRow("clock: effective GPU clock ignored")
            << FakeRecords{{C, 13, 101, 0, "GPU Clock (Effective)", "MHz", 2000}} << "gpuFrequency" << none << "--"
            << "- -" << 0.0 << QString();

        // Usage and other values
        QTest::newRow("usage: total CPU usage")
            << FakeRecords{{U, 11, 10, 1, "Total CPU Usage", "%", 37.6}} << "cpuAverageUsage" << board << "CPU Usage"
            << "38" << 37.6 << "%";
        QTest::newRow("usage: CPU usage above 100 is 100")
            << FakeRecords{{U, 11, 10, 1, "Total CPU Usage", "%", 103.7}} << "cpuAverageUsage" << board << "CPU Usage"
            << "100" << 100.0 << "%";
        QTest::newRow("usage: per-core usage ignored")
            << FakeRecords{{U, 11, 10, 0, "Core 0 Usage", "%", 50}} << "cpuAverageUsage" << none << "CPU Usage"
            << "- -" << 0.0 << QString();
        QTest::newRow("usage: GPU usage")
            << FakeRecords{{U, 13, 101, 0, "GPU Core Load", "%", 37}} << "gpuUsage" << board << "GPU Core Load"
            << "37" << 37.0 << "%";
        QTest::newRow("other: Physical Memory Load")
            << FakeRecords{{O, 10, 0, 0, "Physical Memory Load", "%", 25.4}} << "ramUsage" << board << "RAM Usage"
            << "25" << 25.4 << "%";
        QTest::newRow("other: other memory values ignored")
            << FakeRecords{{O, 10, 0, 0, "Physical Memory Used", "MB", 8000}} << "ramUsage" << none << "RAM Usage"
            << "- -" << 0.0 << QString();
    }

    void slotRules()
    {
        QFETCH(FakeRecords, records);
        QFETCH(QString, slot);
        QVERIFY(slotMembers().contains(slot));
        const SensorReading reading = slotNamed(runPass(records), slot);
        QTEST(reading.hardwareName, "hardwareName");
        QTEST(reading.sensorName, "sensorName");
        QTEST(reading.valueText, "valueText");
        QFETCH(double, value);
        QVERIFY2(qAbs(reading.value - value) < 1e-9, qPrintable(QString::number(reading.value)));
        QTEST(reading.unit, "unit");
    }

    void libraryMissingShowsPlaceholdersAndZeros()
    {
        hwinfo source(nullptr);
        QCOMPARE(source.status, -1);
        QCOMPARE(source.deviceCount, 0);
        source.refresh();
        const DashboardSlots s = dashboardSlots();
        QCOMPARE(s.cpuCoreVoltage.sensorName, QStringLiteral("CPU Core Voltage"));
        QCOMPARE(s.cpuCoreVoltage.valueText, QStringLiteral("0V"));
        QCOMPARE(s.cpuTemperature.sensorName, QStringLiteral("CPU"));
        QCOMPARE(s.cpuTemperature.valueText, QStringLiteral("0"));
        QCOMPARE(s.cpuTemperature.unit, kDegreesC);
        QCOMPARE(s.cpuFrequency.valueText, QStringLiteral("0"));
        QCOMPARE(s.cpuFrequency.unit, QStringLiteral("MHz"));
        QCOMPARE(s.gpuTemperature.sensorName, QStringLiteral("--"));
        QCOMPARE(s.aioPump.valueText, QStringLiteral("- -"));
        const QHash<QString, HardwareEntry> catalogue = sensorCatalogue();
        QCOMPARE(catalogue.keys(), QStringList{defaultSensorName()});
        const HardwareEntry defaults = catalogue.value(defaultSensorName());
        QCOMPARE(defaults.sensors.size(), 4);
        QCOMPARE(defaults.sensors.value(QStringLiteral("CPU Temp")).valueText, QStringLiteral("- -"));
        QCOMPARE(defaults.sensors.value(QStringLiteral("CPU Usage")).sensorName, QStringLiteral("CPU Usage"));
        QCOMPARE(defaults.sensors.value(QStringLiteral("RAM Usage")).sensorName, QStringLiteral("RAM Usage"));
        QCOMPARE(readingFor(defaultSensorName(), QStringLiteral("GPU Temp")).sensorName, QStringLiteral("--"));
    }

    void defaultSensorFollowsTheSlots()
    {
        runPass({{T, 11, 10, 0, "CPU Package", "C", 61},
                 {T, 13, 101, 0, "GPU Temperature", "C", 48},
                 {U, 11, 10, 1, "Total CPU Usage", "%", 12},
                 {O, 10, 10, 0, "Physical Memory Load", "%", 40}});
        const QString d = defaultSensorName();
        QCOMPARE(readingFor(d, QStringLiteral("CPU Temp")).valueText, QStringLiteral("61"));
        QCOMPARE(readingFor(d, QStringLiteral("CPU Temp")).sensorName, QStringLiteral("CPU Package"));
        QCOMPARE(readingFor(d, QStringLiteral("GPU Temp")).valueText, QStringLiteral("48"));
        QCOMPARE(readingFor(d, QStringLiteral("CPU Usage")).valueText, QStringLiteral("12"));
        QCOMPARE(readingFor(d, QStringLiteral("CPU Usage")).sensorName, QStringLiteral("CPU Usage"));
        QCOMPARE(readingFor(d, QStringLiteral("RAM Usage")).valueText, QStringLiteral("40"));
        QCOMPARE(readingFor(d, QStringLiteral("RAM Usage")).hardwareName, QStringLiteral("Board"));
        // The device's own reading keeps its label.
        QCOMPARE(readingFor(QStringLiteral("Board"), QStringLiteral("Total CPU Usage")).valueText,
                 QStringLiteral("12"));
        QCOMPARE(readingFor(QStringLiteral("Board"), QStringLiteral("nothing")).sensorName, QStringLiteral("--"));
        QCOMPARE(readingFor(QStringLiteral("nothing"), QStringLiteral("CPU Temp")).valueText, QStringLiteral("- -"));
    }

    void fanKeepsItsSlotAndALostFanFreesIt()
    {
        FakeSensorsReset();
        const int board = FakeSensorsAddDevice("Board");
        scriptDevice(board, {{F, 12, 20, 0, "Fan A", "RPM", 800},
                             {F, 12, 20, 0, "Fan B", "RPM", 900},
                             {F, 12, 20, 0, "Fan C", "RPM", 1000}});
        auto source = SensorFixtures::fakeSource();
        source->refresh();
        QCOMPARE(dashboardSlots().chassisFanSpeed.sensorName, QStringLiteral("Fan A"));
        QCOMPARE(dashboardSlots().chassisFanSpeed2.sensorName, QStringLiteral("Fan B"));

        // Fan A goes away: its slot resets this pass, and fan C takes it on the next while fan B,
        // read before fan C, stays where it was.
        FakeSensorsRemoveRecord(board, F, 0);
        source->refresh();
        DashboardSlots s = dashboardSlots();
        QCOMPARE(s.chassisFanSpeed.sensorName, QStringLiteral("--"));
        QCOMPARE(s.chassisFanSpeed.valueText, QStringLiteral("- -"));
        QCOMPARE(s.chassisFanSpeed.value, 0.0);
        QCOMPARE(s.chassisFanSpeed.hardwareName, QStringLiteral("Board")); // kept, as is the unit
        QCOMPARE(s.chassisFanSpeed.unit, QStringLiteral("RPM"));
        QCOMPARE(s.chassisFanSpeed2.sensorName, QStringLiteral("Fan B"));
        source->refresh();
        s = dashboardSlots();
        QCOMPARE(s.chassisFanSpeed.sensorName, QStringLiteral("Fan C"));
        QCOMPARE(s.chassisFanSpeed.valueText, QStringLiteral("1000"));
        QCOMPARE(s.chassisFanSpeed2.sensorName, QStringLiteral("Fan B"));
    }

    void memoryVoltageKeepsItsLastValueWhenGone()
    {
        FakeSensorsReset();
        const int board = FakeSensorsAddDevice("Board");
        scriptDevice(board, {{V, 17, 0, 0, "VDD (SWA) Voltage", "V", 1.1}});
        auto source = SensorFixtures::fakeSource();
        source->refresh();
        QCOMPARE(dashboardSlots().memoryControllerVoltage.valueText, QStringLiteral("1.1"));
        FakeSensorsRemoveRecord(board, V, 0);
        source->refresh();
        QCOMPARE(dashboardSlots().memoryControllerVoltage.valueText, QStringLiteral("1.1"));
        QCOMPARE(dashboardSlots().memoryControllerVoltage.sensorName, QStringLiteral("Memory"));
    }

    void slotsKeepValuesAcrossPasses()
    {
        // A GPU temperature that disappears leaves the last value on its tile.
        FakeSensorsReset();
        const int board = FakeSensorsAddDevice("Board");
        scriptDevice(board, {{T, 13, 101, 0, "GPU Temperature", "C", 48}});
        auto source = SensorFixtures::fakeSource();
        source->refresh();
        FakeSensorsRemoveRecord(board, T, 0);
        source->refresh();
        QCOMPARE(dashboardSlots().gpuTemperature.valueText, QStringLiteral("48"));
        // ...while the device's own table no longer has it.
        QCOMPARE(readingFor(QStringLiteral("Board"), QStringLiteral("GPU Temperature")).valueText,
                 QStringLiteral("- -"));
    }

    void fahrenheitWithinOnePass()
    {
        FakeSensorsReset();
        const int board = FakeSensorsAddDevice("Board");
        scriptDevice(board, {{T, 11, 10, 0, "CPU Package", "C", 50},
                             {T, 11, 11, 0, "Core 0", "C", 40},
                             {T, 12, 35, 0, "Motherboard", "C", 30},
                             {T, 15, 20, 0, "Drive", "", 35},
                             {V, 11, 11, 0, "Vcore", "V", 1.2}});
        auto source = SensorFixtures::fakeSource();
        source->refresh();
        QCOMPARE(readingFor(QStringLiteral("Board"), QStringLiteral("Drive")).valueText, QStringLiteral("0"));
        QCOMPARE(readingFor(QStringLiteral("Board"), QStringLiteral("Drive")).unit, QString());

        useFahrenheit = true;
        source->refresh();
        const SensorReading package = readingFor(QStringLiteral("Board"), QStringLiteral("CPU Package"));
        QCOMPARE(package.valueText, QStringLiteral("122"));
        QCOMPARE(package.value, 122.0);
        QCOMPARE(package.unit, kDegreesF);
        // A record whose unit is not "C" converts too.
        QCOMPARE(readingFor(QStringLiteral("Board"), QStringLiteral("Drive")).valueText, QStringLiteral("95"));
        QCOMPARE(readingFor(QStringLiteral("Board"), QStringLiteral("Drive")).unit, kDegreesF);
        QCOMPARE(readingFor(QStringLiteral("Board"), QStringLiteral("Vcore")).unit, QStringLiteral("V"));
        const DashboardSlots s = dashboardSlots();
        QCOMPARE(s.cpuPackageTemperature.valueText, QStringLiteral("122"));
        QCOMPARE(s.cpuPackageTemperature.unit, kDegreesF);
        QCOMPARE(s.motherboardTemperature.valueText, QStringLiteral("86"));
        QCOMPARE(s.cpuTemperature.valueText, QStringLiteral("104"));
        QCOMPARE(s.cpuTemperature.unit, kDegreesF);
        QCOMPARE(readingFor(defaultSensorName(), QStringLiteral("CPU Temp")).unit, kDegreesF);

        useFahrenheit = false;
        source->refresh();
        QCOMPARE(dashboardSlots().cpuTemperature.unit, kDegreesC);
        QCOMPARE(dashboardSlots().cpuPackageTemperature.valueText, QStringLiteral("50"));
    }

    void unitRanges_data()
    {
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("maximum");
        QTest::newRow("°C") << kDegreesC << 100.0;
        QTest::newRow("°F") << kDegreesF << 100.0;
        QTest::newRow("V") << "V" << 10.0;
        QTest::newRow("W") << "W" << 1000.0;
        QTest::newRow("MHz") << "MHz" << 9000.0;
        QTest::newRow("%") << "%" << 100.0;
        QTest::newRow("RPM") << "RPM" << 3000.0;
        QTest::newRow("KB/s") << "KB/s" << 100000.0;
        QTest::newRow("MB: anything else") << "MB" << 100.0;
        QTest::newRow("empty") << QString() << 100.0;
    }

    void unitRanges()
    {
        QFETCH(QString, unit);
        QTEST(rangeMaximumFor(unit), "maximum");
    }

    void unitListOrder()
    {
        QCOMPARE(unitList(),
                 (QStringList{kDegreesC, kDegreesF, QStringLiteral("V"), QStringLiteral("W"), QStringLiteral("MHz"),
                              QStringLiteral("%"), QStringLiteral("RPM"), QStringLiteral("KB/s")}));
    }

    void displayNameHonoursRemarks()
    {
        QTemporaryDir dir;
        QSettings remarks(dir.filePath(QStringLiteral("sensorRemark.ini")), QSettings::IniFormat);
        remarks.setIniCodec("UTF-8");
        remarks.setValue(QStringLiteral("Board/CPU Package"), QStringLiteral("Prozessor"));
        remarks.setValue(QStringLiteral("Board/Core 0"), QString());
        QCOMPARE(displayNameFor(QStringLiteral("Board"), QStringLiteral("CPU Package")), QStringLiteral("CPU Package"));
        remarkStore = &remarks;
        QCOMPARE(displayNameFor(QStringLiteral("Board"), QStringLiteral("CPU Package")), QStringLiteral("Prozessor"));
        QCOMPARE(displayNameFor(QStringLiteral("Board"), QStringLiteral("Core 0")), QStringLiteral("Core 0"));
        QCOMPARE(displayNameFor(QStringLiteral("Other"), QStringLiteral("CPU Package")), QStringLiteral("CPU Package"));
        remarkStore = nullptr;
    }
};

QTEST_GUILESS_MAIN(TestSensorCatalogue)
#include "TestSensorCatalogue.moc"
