// The real sensor library (libvortane-sensors.so from the program folder) against sysfs/procfs
// trees laid out like real machines, through its C entry points and through the sensor source.

#include "tests/sensors/SensorTestRows.h"

#include "sensors/SensorLibrary.h"
#include "shell/AppGlobals.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <sys/stat.h>

#include <cstring>

using SensorFixtures::MachineTree;

namespace {

std::unique_ptr<MachineTree> machine(const QString& name)
{
    if (name == QLatin1String("intel desktop"))
        return MachineTree::intelDesktop();
    if (name == QLatin1String("amd desktop"))
        return MachineTree::amdDesktop();
    if (name == QLatin1String("ite asus board"))
        return MachineTree::iteAsusBoard();
    if (name == QLatin1String("amd apu laptop"))
        return MachineTree::amdApuLaptop();
    if (name == QLatin1String("intel laptop"))
        return MachineTree::intelLaptop();
    if (name == QLatin1String("gigabyte board"))
        return MachineTree::gigabyteBoard();
    if (name == QLatin1String("msi board"))
        return MachineTree::msiBoard();
    return MachineTree::laptop();
}

QString libraryPath()
{
    return TestSupport::programDir() + QStringLiteral("/libvortane-sensors.so");
}

std::unique_ptr<SensorLibrary> openLibrary()
{
    return openSensorLibraryFile(QFile::encodeName(libraryPath()).toStdString());
}

QStringList catalogueDevices()
{
    QStringList names = sensorCatalogue().keys();
    names.removeAll(defaultSensorName());
    names.sort();
    return names;
}

const QString kIntelCpu = QStringLiteral("CPU [#0]: 12th Gen Intel(R) Core(TM) i7-12700K");
const QString kIntelBoard = QStringLiteral("Nuvoton NCT6798");
const QString kAmdCpu = QStringLiteral("CPU [#0]: AMD Ryzen 7 7800X3D 8-Core Processor");
const QString kAmdBoard = QStringLiteral("Nuvoton NCT6799");
const QString kAmdGpu = QStringLiteral("GPU [#1]: AMD Radeon RX 7700 XT / 7800 XT");
const QString kCooler = QStringLiteral("NZXT Kraken Z53/Z63/Z73");
const QString kLaptopCpu = QStringLiteral("CPU [#0]: 11th Gen Intel(R) Core(TM) i5-1135G7 @ 2.40GHz");
const QString kApuCpu = QStringLiteral("CPU [#0]: AMD Ryzen 7 6800H with Radeon Graphics");
const QString kApuDiscrete = QStringLiteral("GPU [#1]: AMD Radeon RX 6400/6500 XT/6500M");
const QString kIntelLaptopCpu = QStringLiteral("CPU [#0]: 11th Gen Intel(R) Core(TM) i7-1165G7 @ 2.80GHz");
const QString kIrisXe = QStringLiteral("GPU [#0]: Intel Iris Xe Graphics");
const QString kRyzen5900 = QStringLiteral("CPU [#0]: AMD Ryzen 9 5900X 12-Core Processor");
const QString kIt8688 = QStringLiteral("ITE IT8688");
const QString kIt8792 = QStringLiteral("ITE IT8792");
const QString kGtx1060 = QStringLiteral("GPU [#0]: NVIDIA GeForce GTX 1060 6GB");
const QString kMsiBoard = QStringLiteral("Nuvoton NCT6687");
const QString kArc = QStringLiteral("GPU [#1]: Intel Arc A770");

} // namespace

class TestSensorLibrary : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        resetSensorCatalogue();
        useFahrenheit = false;
    }

    void exportsTheSixEntryPointsAndMachineFlagsOnly()
    {
        const QString nm = QStandardPaths::findExecutable(QStringLiteral("nm"));
        if (nm.isEmpty())
            VORTANE_SKIP("nm (binutils) is not installed");
        QProcess process;
        process.start(nm, {QStringLiteral("-D"), QStringLiteral("--defined-only"), libraryPath()});
        QVERIFY(process.waitForFinished(30000));
        QCOMPARE(process.exitCode(), 0);
        QStringList symbols;
        for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() == 3)
                symbols << QString::fromLatin1(fields.at(2));
        }
        symbols.sort();
        QCOMPARE(symbols, (QStringList{"Close", "DeviceCount", "DeviceName", "Init", "MachineFlags", "ReadSensor",
                                       "SelectDevice"}));
    }

    void loadsFromTheProgramFolder()
    {
        auto library = openSensorLibrary(QFile::encodeName(TestSupport::programDir()).toStdString());
        QVERIFY(library);
        QCOMPARE(QString::fromStdString(library->fileName()), libraryPath());
        QVERIFY(library->entryPoints().complete());
    }

    void entryPointContract()
    {
        auto tree = MachineTree::intelDesktop();
        tree->cpuInfo("\xC3\x84\xC3\x84\xC3\x84", 4);
        auto library = openLibrary();
        QVERIFY(library && library->entryPoints().complete());
        const SensorEntryPoints& lib = library->entryPoints();
        QVERIFY(lib.Init(63) != 0);
        QCOMPARE(lib.Init(64), 0);
        QCOMPARE(lib.DeviceCount(), 4);

        char name[256];
        std::memset(name, 'x', sizeof name);
        QCOMPARE(lib.DeviceName(0, name, 256), 0);
        QCOMPARE(QString::fromUtf8(name), QStringLiteral("CPU [#0]: \u00C4\u00C4\u00C4"));
        // A short buffer cuts on a character boundary.
        std::memset(name, 'x', sizeof name);
        lib.DeviceName(0, name, 12);
        QCOMPARE(QByteArray(name), QByteArray("CPU [#0]: "));
        QVERIFY(lib.DeviceName(4, name, 256) != 0);
        QCOMPARE(name[0], '\0');
        QVERIFY(lib.SelectDevice(-1) != 0);

        VortaneSensorRecord record;
        std::memset(&record, 0x5A, sizeof record);
        QCOMPARE(lib.ReadSensor(1, 0, 512, &record), 0);
        QCOMPARE(lib.ReadSensor(9, 0, 0, &record), 0);
        QCOMPARE(lib.ReadSensor(1, 9, 0, &record), 0);
        QCOMPARE(lib.ReadSensor(1, 0, -1, &record), 0);
        QCOMPARE(record.valid, 0x5A5A5A5A); // untouched

        QCOMPARE(lib.SelectDevice(0), 0);
        std::memset(&record, 0, sizeof record);
        QCOMPARE(lib.ReadSensor(1, 0, 0, &record), 1);
        QCOMPARE(record.valid, 1);
        QCOMPARE(QByteArray(record.label), QByteArray("CPU Package"));
        QCOMPARE(QByteArray(record.unit), QByteArray("C"));
        QCOMPARE(record.value, 55.0);
        QCOMPARE(record.classCode, 11);
        QCOMPARE(record.kindCode, 10);
        QCOMPARE(record.subIndex, 0);
        lib.Close();
    }

    void theFirstReadAfterSelectingSamples()
    {
        auto tree = MachineTree::intelDesktop();
        auto library = openLibrary();
        const SensorEntryPoints& lib = library->entryPoints();
        QCOMPARE(lib.Init(64), 0);
        const QString package = QStringLiteral("sys/class/hwmon/hwmon0/temp1_input");
        VortaneSensorRecord record{};
        lib.SelectDevice(0);
        // Selecting reads nothing: the sample is taken by the first read.
        tree->write(package, "70000\n");
        QCOMPARE(lib.ReadSensor(1, 0, 0, &record), 1);
        QCOMPARE(record.value, 70.0);
        // Later reads of the same pass are served from that sample.
        tree->write(package, "75000\n");
        QCOMPARE(lib.ReadSensor(1, 0, 0, &record), 1);
        QCOMPARE(record.value, 70.0);
        lib.SelectDevice(0);
        QCOMPARE(lib.ReadSensor(1, 0, 0, &record), 1);
        QCOMPARE(record.value, 75.0);
        lib.Close();
    }

    void cpuUsageFromTwoSnapshots()
    {
        auto tree = std::make_unique<MachineTree>();
        tree->cpuInfo("Test CPU", 2);
        tree->procStat({{100, 0, 100, 800, 0, 0, 0, 0}, {100, 0, 100, 800, 0, 0, 0, 0}});
        auto library = openLibrary();
        const SensorEntryPoints& lib = library->entryPoints();
        QCOMPARE(lib.Init(64), 0);
        const auto usage = [&](int index) {
            VortaneSensorRecord record{};
            return lib.ReadSensor(7, 0, index, &record) == 1 ? record.value : -1.0;
        };
        lib.SelectDevice(0);
        QCOMPARE(usage(0), 20.0); // no earlier snapshot: the average since boot
        // CPU 0 ran 80 of 100 ticks, CPU 1 idled all 100.
        tree->procStat({{160, 0, 120, 820, 0, 0, 0, 0}, {100, 0, 100, 900, 0, 0, 0, 0}});
        lib.SelectDevice(0);
        QCOMPARE(usage(0), 40.0);
        QCOMPARE(usage(1), 80.0);
        QCOMPARE(usage(2), 0.0);
        // No tick in between: the last figures stay.
        lib.SelectDevice(0);
        QCOMPARE(usage(1), 80.0);
        VortaneSensorRecord record{};
        lib.ReadSensor(7, 0, 0, &record);
        QCOMPARE(QByteArray(record.label), QByteArray("Total CPU Usage"));
        QCOMPARE(record.kindCode, 10);
        QCOMPARE(record.subIndex, 1);
        QCOMPARE(QByteArray(record.unit), QByteArray("%"));
        lib.Close();
    }

    void machines_data()
    {
        QTest::addColumn<QString>("machine");
        QTest::addColumn<QString>("slot");
        QTest::addColumn<QString>("hardwareName");
        QTest::addColumn<QString>("sensorName");
        QTest::addColumn<QString>("valueText");
        QTest::addColumn<QString>("unit");
        const QString none;
        const QString intel = QStringLiteral("intel desktop"), amd = QStringLiteral("amd desktop"),
                      laptop = QStringLiteral("laptop");

        QTest::newRow("intel: package from coretemp") << intel << "cpuPackageTemperature" << kIntelCpu << "CPU Package"
                                                      << "55" << kDegreesC;
        QTest::newRow("intel: CPU from the board's CPUTIN") << intel << "cpuTemperature" << kIntelBoard << "CPU"
                                                            << "45" << kDegreesC;
        QTest::newRow("intel: mainboard from SYSTIN")
            << intel << "motherboardTemperature" << kIntelBoard << "Motherboard"
            << "33" << kDegreesC;
        QTest::newRow("intel: chipset from the PCH input") << intel << "chipsetTemperature" << kIntelBoard << "Chipset"
                                                           << "48" << kDegreesC;
        QTest::newRow("intel: CPU fan on fan2") << intel << "cpuFanSpeed" << kIntelBoard << "CPU Fan"
                                                << "1250"
                                                << "RPM";
        QTest::newRow("intel: first chassis fan") << intel << "chassisFanSpeed" << kIntelBoard << "System Fan 1"
                                                  << "650"
                                                  << "RPM";
        QTest::newRow("intel: a header that never turned is skipped")
            << intel << "chassisFanSpeed2" << kIntelBoard << "System Fan 3"
            << "720"
            << "RPM";
        QTest::newRow("intel: no pump") << intel << "aioPump" << none << "--"
                                        << "- -" << QString();
        QTest::newRow("intel: core voltage from Vcore") << intel << "cpuCoreVoltage" << none << "CPU Core Voltage"
                                                        << "1.192V" << QString();
        QTest::newRow("intel: clock from cpufreq") << intel << "cpuFrequency" << none << "CPU"
                                                   << "4750"
                                                   << "MHz";
        QTest::newRow("intel: usage since boot") << intel << "cpuAverageUsage" << kIntelCpu << "CPU Usage"
                                                 << "19"
                                                 << "%";
        QTest::newRow("intel: memory load") << intel << "ramUsage"
                                            << "System Memory"
                                            << "RAM Usage"
                                            << "25"
                                            << "%";
        QTest::newRow("intel: no GPU") << intel << "gpuTemperature" << none << "--"
                                       << "- -" << QString();

        QTest::newRow("amd: package from Tctl") << amd << "cpuPackageTemperature" << kAmdCpu << "CPU Package"
                                                << "71" << kDegreesC;
        QTest::newRow("amd: CPU from CPUTIN") << amd << "cpuTemperature" << kAmdBoard << "CPU"
                                              << "52" << kDegreesC;
        QTest::newRow("amd: pump from the cooler") << amd << "aioPump" << kCooler << "Pump speed"
                                                   << "2100"
                                                   << "RPM";
        QTest::newRow("amd: radiator fan as chassis fan") << amd << "chassisFanSpeed" << kCooler << "Fan speed"
                                                          << "950"
                                                          << "RPM";
        QTest::newRow("amd: CPU fan") << amd << "cpuFanSpeed" << kAmdBoard << "CPU Fan"
                                      << "1100"
                                      << "RPM";
        QTest::newRow("amd: coolant is not the mainboard")
            << amd << "motherboardTemperature" << kAmdBoard << "Motherboard"
            << "34" << kDegreesC;
        QTest::newRow("amd: core voltage") << amd << "cpuCoreVoltage" << none << "CPU Core Voltage"
                                           << "1.05V" << QString();
        QTest::newRow("amd: GPU temperature from the discrete GPU") << amd << "gpuTemperature" << kAmdGpu << "GPU "
                                                                    << "48" << kDegreesC;
        QTest::newRow("amd: GPU voltage") << amd << "gpuVoltage" << kAmdGpu << "GPU"
                                          << "0.825"
                                          << "V";
        QTest::newRow("amd: GPU clock") << amd << "gpuFrequency" << kAmdGpu << "GPU Clock"
                                        << "2124"
                                        << "MHz";
        QTest::newRow("amd: GPU usage") << amd << "gpuUsage" << kAmdGpu << "GPU Core Load"
                                        << "37"
                                        << "%";
        QTest::newRow("amd: clock") << amd << "cpuFrequency" << none << "CPU"
                                    << "4500"
                                    << "MHz";
        QTest::newRow("amd: usage") << amd << "cpuAverageUsage" << kAmdCpu << "CPU Usage"
                                    << "30"
                                    << "%";

        const QString ite = QStringLiteral("ite asus board");
        const QString zenCpu = QStringLiteral("CPU [#0]: AMD Ryzen 9 5950X 16-Core Processor");
        QTest::newRow("ite: package from Tdie") << ite << "cpuPackageTemperature" << zenCpu << "CPU Package"
                                                << "58" << kDegreesC;
        QTest::newRow("ite: CPU from temp3") << ite << "cpuTemperature"
                                             << "ITE IT8688"
                                             << "CPU"
                                             << "50" << kDegreesC;
        QTest::newRow("ite: mainboard from temp1") << ite << "motherboardTemperature"
                                                   << "ITE IT8688"
                                                   << "Motherboard"
                                                   << "36" << kDegreesC;
        QTest::newRow("ite: the EC's chipset input wins") << ite << "chipsetTemperature"
                                                          << "ASUS EC"
                                                          << "Chipset"
                                                          << "61" << kDegreesC;
        QTest::newRow("ite: CPU fan on fan1") << ite << "cpuFanSpeed"
                                              << "ITE IT8688"
                                              << "CPU Fan"
                                              << "1400"
                                              << "RPM";
        QTest::newRow("ite: VRM heatsink fan from the EC") << ite << "vrmHsFan"
                                                           << "ASUS EC"
                                                           << "VRM HS"
                                                           << "2700"
                                                           << "RPM";
        QTest::newRow("ite: pump by its label") << ite << "aioPump"
                                                << "NZXT Kraken X42/X52/X62/X72"
                                                << "Pump"
                                                << "2800"
                                                << "RPM";
        QTest::newRow("ite: CPU optional fan takes no chassis slot") << ite << "chassisFanSpeed"
                                                                     << "ITE IT8688"
                                                                     << "System Fan 1"
                                                                     << "800"
                                                                     << "RPM";
        QTest::newRow("ite: radiator fans as chassis fan 2") << ite << "chassisFanSpeed2"
                                                             << "NZXT Kraken X42/X52/X62/X72"
                                                             << "Fans"
                                                             << "700"
                                                             << "RPM";
        QTest::newRow("ite: core voltage averages SVI2 and Vcore")
            << ite << "cpuCoreVoltage" << none << "CPU Core Voltage"
            << "1.35V" << QString();

        QTest::newRow("laptop: package") << laptop << "cpuPackageTemperature" << kLaptopCpu << "CPU Package"
                                         << "62" << kDegreesC;
        QTest::newRow("laptop: CPU from the platform driver") << laptop << "cpuTemperature"
                                                              << "ThinkPad"
                                                              << "CPU"
                                                              << "61" << kDegreesC;
        QTest::newRow("laptop: mainboard from the ACPI zone") << laptop << "motherboardTemperature"
                                                              << "ACPI Thermal Zone"
                                                              << "ACPI Thermal Zone"
                                                              << "51" << kDegreesC;
        QTest::newRow("laptop: chipset from the PCH") << laptop << "chipsetTemperature"
                                                      << "Intel PCH"
                                                      << "Chipset"
                                                      << "47" << kDegreesC;
        QTest::newRow("laptop: CPU fan") << laptop << "cpuFanSpeed"
                                         << "ThinkPad"
                                         << "CPU Fan"
                                         << "2900"
                                         << "RPM";
        QTest::newRow("laptop: no core voltage") << laptop << "cpuCoreVoltage" << none << "CPU Core Voltage"
                                                 << "0V" << QString();
        QTest::newRow("laptop: clock") << laptop << "cpuFrequency" << none << "CPU"
                                       << "2000"
                                       << "MHz";
        QTest::newRow("laptop: memory load") << laptop << "ramUsage"
                                             << "System Memory"
                                             << "RAM Usage"
                                             << "75"
                                             << "%";

        const QString apu = QStringLiteral("amd apu laptop");
        QTest::newRow("apu: Tctl alone fills the CPU tile") << apu << "cpuTemperature" << QString() << "CPU"
                                                            << "68" << kDegreesC;
        QTest::newRow("apu: Tctl alone fills the package tile")
            << apu << "cpuPackageTemperature" << kApuCpu << "CPU Package"
            << "68" << kDegreesC;
        QTest::newRow("apu: the discrete GPU wins over a larger carve-out")
            << apu << "gpuTemperature" << kApuDiscrete << "GPU "
            << "61" << kDegreesC;
        QTest::newRow("apu: discrete GPU clock") << apu << "gpuFrequency" << kApuDiscrete << "GPU Clock"
                                                 << "2400"
                                                 << "MHz";
        QTest::newRow("apu: discrete GPU load") << apu << "gpuUsage" << kApuDiscrete << "GPU Core Load"
                                                << "55"
                                                << "%";
        QTest::newRow("apu: CPU fan from the ASUS platform driver") << apu << "cpuFanSpeed"
                                                                    << "ASUS Laptop"
                                                                    << "CPU Fan"
                                                                    << "3100"
                                                                    << "RPM";
        QTest::newRow("apu: the laptop's GPU fan takes no chassis tile")
            << apu << "chassisFanSpeed" << QString() << "--"
            << "- -" << QString();
        QTest::newRow("apu: mainboard from the ACPI zone") << apu << "motherboardTemperature"
                                                           << "ACPI Thermal Zone"
                                                           << "ACPI Thermal Zone"
                                                           << "45" << kDegreesC;

        const QString intelLaptop = QStringLiteral("intel laptop");
        QTest::newRow("intel laptop: integrated GPU clock from i915")
            << intelLaptop << "gpuFrequency" << kIrisXe << "GPU Clock"
            << "1300"
            << "MHz";
        QTest::newRow("intel laptop: no GPU temperature without hwmon")
            << intelLaptop << "gpuTemperature" << QString() << "--"
            << "- -" << QString();
        QTest::newRow("intel laptop: CPU tile averages the cores")
            << intelLaptop << "cpuTemperature" << QString() << "CPU"
            << "62" << kDegreesC;
        QTest::newRow("intel laptop: first ACPI zone is the mainboard") << intelLaptop << "motherboardTemperature"
                                                                        << "ACPI Thermal Zone"
                                                                        << "ACPI Thermal Zone"
                                                                        << "47" << kDegreesC;
        QTest::newRow("intel laptop: chipset from the PCH") << intelLaptop << "chipsetTemperature"
                                                            << "Intel PCH"
                                                            << "Chipset"
                                                            << "49" << kDegreesC;

        const QString gigabyte = QStringLiteral("gigabyte board");
        QTest::newRow("gigabyte: CPU from the main ITE chip, not its companion")
            << gigabyte << "cpuTemperature" << kIt8688 << "CPU"
            << "55" << kDegreesC;
        QTest::newRow("gigabyte: mainboard from the main ITE chip, not the ACPI zone")
            << gigabyte << "motherboardTemperature" << kIt8688 << "Motherboard"
            << "33" << kDegreesC;
        QTest::newRow("gigabyte: CPU fan from the main ITE chip") << gigabyte << "cpuFanSpeed" << kIt8688 << "CPU Fan"
                                                                  << "1350"
                                                                  << "RPM";
        QTest::newRow("gigabyte: main chip's fans take chassis fan 1")
            << gigabyte << "chassisFanSpeed" << kIt8688 << "System Fan 1"
            << "800"
            << "RPM";
        QTest::newRow("gigabyte: companion's fan takes chassis fan 2")
            << gigabyte << "chassisFanSpeed2" << kIt8792 << "IT8792 Fan 1"
            << "900"
            << "RPM";
        QTest::newRow("gigabyte: core voltage from the main chip only")
            << gigabyte << "cpuCoreVoltage" << QString() << "CPU Core Voltage"
            << "1.38V" << QString();
        QTest::newRow("gigabyte: package from Tctl")
            << gigabyte << "cpuPackageTemperature" << kRyzen5900 << "CPU Package"
            << "64" << kDegreesC;
        QTest::newRow("gigabyte: nouveau GPU temperature") << gigabyte << "gpuTemperature" << kGtx1060 << "GPU "
                                                           << "56" << kDegreesC;
        QTest::newRow("gigabyte: nouveau GPU voltage") << gigabyte << "gpuVoltage" << kGtx1060 << "GPU"
                                                       << "0.85"
                                                       << "V";

        const QString msi = QStringLiteral("msi board");
        QTest::newRow("msi: CPU by its label") << msi << "cpuTemperature" << kMsiBoard << "CPU"
                                               << "48" << kDegreesC;
        QTest::newRow("msi: System is the mainboard") << msi << "motherboardTemperature" << kMsiBoard << "System"
                                                      << "35" << kDegreesC;
        QTest::newRow("msi: PCH is the chipset") << msi << "chipsetTemperature" << kMsiBoard << "Chipset"
                                                 << "44" << kDegreesC;
        QTest::newRow("msi: CPU fan") << msi << "cpuFanSpeed" << kMsiBoard << "CPU Fan"
                                      << "1100"
                                      << "RPM";
        QTest::newRow("msi: pump fan") << msi << "aioPump" << kMsiBoard << "Pump Fan"
                                       << "2600"
                                       << "RPM";
        QTest::newRow("msi: first system fan") << msi << "chassisFanSpeed" << kMsiBoard << "System Fan #1"
                                               << "700"
                                               << "RPM";
        QTest::newRow("msi: a system fan that never turned is skipped")
            << msi << "chassisFanSpeed2" << kMsiBoard << "System Fan #3"
            << "650"
            << "RPM";
        QTest::newRow("msi: CPU Vcore is the core voltage")
            << msi << "cpuCoreVoltage" << QString() << "CPU Core Voltage"
            << "1.25V" << QString();
        QTest::newRow("msi: the Arc card's clock, not the integrated GPU's")
            << msi << "gpuFrequency" << kArc << "GPU Clock"
            << "2100"
            << "MHz";
        QTest::newRow("msi: the Arc card's voltage") << msi << "gpuVoltage" << kArc << "GPU"
                                                     << "0.68"
                                                     << "V";
    }

    void machines()
    {
        QFETCH(QString, machine);
        QFETCH(QString, slot);
        auto tree = ::machine(machine);
        auto source = SensorFixtures::realSource();
        QCOMPARE(source->status, 1);
        source->refresh();
        const SensorReading reading = slotNamed(dashboardSlots(), slot);
        QTEST(reading.hardwareName, "hardwareName");
        QTEST(reading.sensorName, "sensorName");
        QTEST(reading.valueText, "valueText");
        QTEST(reading.unit, "unit");
    }

    void machineDevices_data()
    {
        QTest::addColumn<QString>("machine");
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<QStringList>("gpuNames");
        QTest::addColumn<QString>("cpuTemp");
        QTest::addColumn<QString>("gpuTemp");
        QTest::newRow("intel desktop") << "intel desktop"
                                       << QStringList{kIntelCpu, "Drive: Samsung SSD 980 PRO 1TB", kIntelBoard,
                                                      "System Memory"}
                                       << QStringList{} << "55"
                                       << "- -";
        QTest::newRow("amd desktop: the integrated GPU is listed but not read")
            << "amd desktop" << QStringList{kAmdCpu, kAmdGpu, kCooler, kAmdBoard, "System Memory"}
            << QStringList{"AMD Raphael", "AMD Radeon RX 7700 XT / 7800 XT"} << "71"
            << "48";
        QTest::newRow("apu laptop: integrated GPU listed first")
            << "amd apu laptop"
            << QStringList{"ACPI Thermal Zone", "ASUS Laptop", kApuCpu, "Drive: NVMe", kApuDiscrete, "System Memory"}
            << QStringList{"AMD Radeon 680M", "AMD Radeon RX 6400/6500 XT/6500M"} << "68"
            << "61";
        QTest::newRow("intel laptop: the integrated GPU is a GPU")
            << "intel laptop"
            << QStringList{"ACPI Thermal Zone", kIntelLaptopCpu, "Drive: NVMe", kIrisXe, "Intel PCH", "System Memory"}
            << QStringList{"Intel Iris Xe Graphics"} << "64"
            << "- -";
        QTest::newRow("gigabyte board") << "gigabyte board" << QStringList{"ACPI Thermal Zone", kRyzen5900, kGtx1060,
                                                                           "Gigabyte WMI",      kIt8688,    kIt8792,
                                                                           "System Memory"}
                                        << QStringList{"NVIDIA GeForce GTX 1060 6GB"} << "64"
                                        << "56";
        QTest::newRow("msi board: integrated GPU first, Arc last")
            << "msi board"
            << QStringList{"CPU [#0]: 13th Gen Intel(R) Core(TM) i9-13900K", kArc, kMsiBoard, "System Memory"}
            << QStringList{"Intel UHD Graphics 770", "Intel Arc A770"} << "51"
            << "- -";
        QTest::newRow("laptop") << "laptop"
                                << QStringList{"ACPI Thermal Zone", "BAT0",          kLaptopCpu, "Drive: WDC PC SN730",
                                               "Intel PCH",         "System Memory", "ThinkPad"}
                                << QStringList{} << "62"
                                << "- -";
    }

    void machineDevices()
    {
        QFETCH(QString, machine);
        auto tree = ::machine(machine);
        auto source = SensorFixtures::realSource();
        source->refresh();
        QTEST(catalogueDevices(), "devices");
        QTEST(source->gpuNames(), "gpuNames");
        QTEST(readingFor(defaultSensorName(), QStringLiteral("CPU Temp")).valueText, "cpuTemp");
        QTEST(readingFor(defaultSensorName(), QStringLiteral("GPU Temp")).valueText, "gpuTemp");
        QCOMPARE(readingFor(defaultSensorName(), QStringLiteral("CPU Usage")).unit, QStringLiteral("%"));
        QCOMPARE(readingFor(defaultSensorName(), QStringLiteral("RAM Usage")).unit, QStringLiteral("%"));
    }

    void catalogueCarriesEveryKind()
    {
        auto tree = MachineTree::amdDesktop();
        auto source = SensorFixtures::realSource();
        source->refresh();
        const HardwareEntry gpu = sensorCatalogue().value(kAmdGpu);
        QCOMPARE(gpu.sensors.value(QStringLiteral("GPU Hot Spot Temperature")).valueText, QStringLiteral("61"));
        QCOMPARE(gpu.sensors.value(QStringLiteral("GPU Memory Clock")).valueText, QStringLiteral("1218"));
        QCOMPARE(gpu.sensors.value(QStringLiteral("GPU Power")).valueText, QStringLiteral("187"));
        QCOMPARE(gpu.sensors.value(QStringLiteral("GPU Power")).unit, QStringLiteral("W"));
        QCOMPARE(gpu.sensors.value(QStringLiteral("GPU Fan")).valueText, QStringLiteral("1450"));
        QCOMPARE(gpu.sensors.value(QStringLiteral("GPU Memory Allocated")).valueText, QStringLiteral("1024"));
        const HardwareEntry cooler = sensorCatalogue().value(kCooler);
        QCOMPARE(cooler.sensors.value(QStringLiteral("Coolant temp")).valueText, QStringLiteral("32"));
        const HardwareEntry cpu = sensorCatalogue().value(kAmdCpu);
        QCOMPARE(cpu.sensors.value(QStringLiteral("CPU CCD1")).valueText, QStringLiteral("66"));
        QCOMPARE(cpu.sensors.value(QStringLiteral("CPU 1 Clock")).valueText, QStringLiteral("4000"));
        QCOMPARE(cpu.sensors.value(QStringLiteral("CPU 0 Usage")).valueText, QStringLiteral("40"));
    }

    void nvidiaThroughNvml()
    {
        auto tree = MachineTree::amdDesktop();
        tree->useNvml(SensorFixtures::fakeNvmlPath());
        auto source = SensorFixtures::realSource();
        QCOMPARE(source->gpuNames(),
                 (QStringList{"AMD Raphael", "AMD Radeon RX 7700 XT / 7800 XT", "NVIDIA GeForce RTX 4070"}));
        QCOMPARE(source->selectedGpuIndex(), 2);
        source->refresh();
        const QString nvidia = QStringLiteral("GPU [#2]: NVIDIA GeForce RTX 4070");
        QVERIFY(!sensorCatalogue().contains(kAmdGpu)); // the GPU listed last is the one shown
        const DashboardSlots s = dashboardSlots();
        QCOMPARE(s.gpuTemperature.hardwareName, nvidia);
        QCOMPARE(s.gpuTemperature.valueText, QStringLiteral("55"));
        QCOMPARE(s.gpuFrequency.valueText, QStringLiteral("2475"));
        QCOMPARE(s.gpuUsage.valueText, QStringLiteral("63"));
        QCOMPARE(s.gpuVoltage.sensorName, QStringLiteral("--")); // NVML has no voltage
        const HardwareEntry gpu = sensorCatalogue().value(nvidia);
        QCOMPARE(gpu.sensors.value(QStringLiteral("GPU Memory Clock")).valueText, QStringLiteral("10501"));
        QCOMPARE(gpu.sensors.value(QStringLiteral("GPU Power")).valueText, QStringLiteral("188"));
        QCOMPARE(gpu.sensors.value(QStringLiteral("GPU Memory Controller Load")).valueText, QStringLiteral("20"));
        QVERIFY(!gpu.sensors.contains(QStringLiteral("GPU Fan Duty"))); // not supported by this card
    }

    void boardChipPresence_data()
    {
        QTest::addColumn<QString>("machine");
        QTest::addColumn<bool>("missing");
        QTest::newRow("Super I/O chip bound") << "intel desktop" << false;
        QTest::newRow("two ITE chips and Gigabyte WMI") << "gigabyte board" << false;
        QTest::newRow("laptop platform driver counts as the board's chip") << "amd apu laptop" << false;
        QTest::newRow("only ACPI zones and the PCH: missing") << "intel laptop" << true;
    }

    void boardChipPresence()
    {
        QFETCH(QString, machine);
        auto tree = ::machine(machine);
        auto library = openLibrary();
        QVERIFY(library->entryPoints().MachineFlags != nullptr);
        QCOMPARE(library->entryPoints().MachineFlags(), 0); // before Init
        library.reset();
        auto source = SensorFixtures::realSource();
        QTEST(boardSensorChipMissing(), "missing");
    }

    void labelsSharedAcrossTypesBothSurvive()
    {
        auto tree = MachineTree::iteAsusBoard();
        tree->hwmon(2, "asusec",
                    {{"temp1_label", "Chipset"},
                     {"temp1_input", "61000"},
                     {"fan1_label", "Chipset"},
                     {"fan1_input", "2300"},
                     {"fan2_label", "VRM HS"},
                     {"fan2_input", "2700"}});
        auto source = SensorFixtures::realSource();
        source->refresh();
        const HardwareEntry ec = sensorCatalogue().value(QStringLiteral("ASUS EC"));
        QCOMPARE(ec.sensors.value(QStringLiteral("Chipset")).valueText, QStringLiteral("61"));
        QCOMPARE(ec.sensors.value(QStringLiteral("Chipset")).unit, kDegreesC);
        QCOMPARE(ec.sensors.value(QStringLiteral("Chipset Fan")).valueText, QStringLiteral("2300"));
        QCOMPARE(ec.sensors.value(QStringLiteral("Chipset Fan")).unit, QStringLiteral("RPM"));
        QCOMPARE(dashboardSlots().chipsetTemperature.valueText, QStringLiteral("61"));
    }

    void gpusNotShownAreNeverSampled()
    {
        auto tree = MachineTree::amdApuLaptop();
        auto source = SensorFixtures::realSource();
        QCOMPARE(source->gpuNames(), (QStringList{"AMD Radeon 680M", "AMD Radeon RX 6400/6500 XT/6500M"}));
        QCOMPARE(source->selectedGpuIndex(), 1);
        source->refresh();
        QVERIFY(!sensorCatalogue().contains(QStringLiteral("GPU [#0]: AMD Radeon 680M")));
        // A FIFO without a writer in place of every file of the integrated GPU: reading one would
        // show up as a missing reading, and the pass must not depend on it at all.
        auto library = openLibrary();
        const SensorEntryPoints& lib = library->entryPoints();
        QCOMPARE(lib.Init(64), 0);
        int integrated = -1;
        for (int d = 0; d < lib.DeviceCount(); ++d) {
            char name[256] = {};
            lib.DeviceName(d, name, sizeof name);
            if (QByteArray(name) == "GPU [#0]: AMD Radeon 680M")
                integrated = d;
        }
        QVERIFY(integrated >= 0);
        const QString edge = QStringLiteral("sys/class/hwmon/hwmon2/temp1_input");
        lib.SelectDevice(integrated);
        tree->write(edge, "99000\n"); // selected, not yet read: the sample is still to come
        VortaneSensorRecord record{};
        QCOMPARE(lib.ReadSensor(1, integrated, 0, &record), 1);
        QCOMPARE(record.value, 99.0);
        lib.Close();
    }

    void cpuPowerFromRapl_data()
    {
        QTest::addColumn<QString>("machine");
        QTest::addColumn<QString>("zone");
        QTest::addColumn<quint64>("before");
        QTest::addColumn<quint64>("after");
        QTest::addColumn<double>("joules");
        // Small steps: the two samples are microseconds apart, and power is only plausible up to 5 kW.
        const quint64 range = 262143328850ull;
        QTest::newRow("intel package") << "intel laptop"
                                       << "intel-rapl:0" << quint64(5000000) << quint64(5001000) << 0.001;
        QTest::newRow("amd package") << "amd apu laptop"
                                     << "intel-rapl:0" << quint64(1000000) << quint64(1002500) << 0.0025;
        QTest::newRow("counter wraps at its range") << "intel laptop"
                                                    << "intel-rapl:0" << range - 600 << quint64(400) << 0.001;
    }

    // Power is the energy used between two samples over the time between them; the library's
    // clock is bracketed by the test's own readings around the two samples.
    void cpuPowerFromRapl()
    {
        QFETCH(QString, machine);
        QFETCH(QString, zone);
        QFETCH(quint64, before);
        QFETCH(quint64, after);
        QFETCH(double, joules);
        auto tree = ::machine(machine);
        const QString file = QStringLiteral("sys/class/powercap/") + zone + QStringLiteral("/energy_uj");
        tree->write(file, QByteArray::number(before) + '\n');
        auto library = openLibrary();
        const SensorEntryPoints& lib = library->entryPoints();
        QCOMPARE(lib.Init(64), 0);
        const auto packagePower = [&](VortaneSensorRecord& record) {
            for (int index = 0; index < 512; ++index) {
                std::memset(&record, 0, sizeof record);
                if (lib.ReadSensor(8, 0, index, &record) == 1 &&
                    QByteArray(record.label) == QByteArrayLiteral("CPU Package Power"))
                    return true;
            }
            return false;
        };
        VortaneSensorRecord record{};
        QElapsedTimer clock;
        clock.start();
        lib.SelectDevice(0);
        QVERIFY(!packagePower(record)); // the first sample has no figure
        const qint64 firstDone = clock.nsecsElapsed();
        tree->write(file, QByteArray::number(after) + '\n');
        const qint64 secondStart = clock.nsecsElapsed();
        lib.SelectDevice(0);
        QVERIFY(packagePower(record));
        const qint64 secondDone = clock.nsecsElapsed();
        QCOMPARE(QByteArray(record.unit), QByteArray("W"));
        QCOMPARE(record.classCode, int(VORTANE_CLASS_CPU));
        QCOMPARE(record.kindCode, int(VORTANE_KIND_CPU_POWER));
        const double longest = secondDone * 1e-9, shortest = (secondStart - firstDone) * 1e-9;
        QVERIFY2(record.value >= joules / longest * (1 - 1e-9), qPrintable(QString::number(record.value)));
        QVERIFY2(shortest <= 0 || record.value <= joules / shortest * (1 + 1e-9),
                 qPrintable(QString::number(record.value)));
        lib.Close();
    }

    void badFilesAreSkipped_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("asDirectory");
        QTest::addColumn<bool>("asFifo");
        QTest::newRow("empty") << QByteArray() << false << false;
        QTest::newRow("only a newline") << QByteArray("\n") << false << false;
        QTest::newRow("not a number") << QByteArray("N/A\n") << false << false;
        QTest::newRow("trailing garbage") << QByteArray("42000abc\n") << false << false;
        QTest::newRow("beyond 64 bits") << QByteArray("99999999999999999999999\n") << false << false;
        QTest::newRow("implausibly hot") << QByteArray("900000000\n") << false << false;
        QTest::newRow("binary") << QByteArray("\x01\x02\xff\x00\x41", 5) << false << false;
        QTest::newRow("unreadable: a folder") << QByteArray() << true << false;
        QTest::newRow("a FIFO without a writer") << QByteArray() << false << true;
    }

    void badFilesAreSkipped()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, asDirectory);
        QFETCH(bool, asFifo);
        auto tree = MachineTree::intelDesktop();
        const QString file = QStringLiteral("sys/class/hwmon/hwmon1/temp1_input");
        const QString full = tree->sysRoot() + QStringLiteral("/class/hwmon/hwmon1/temp1_input");
        auto source = SensorFixtures::realSource();
        source->refresh();
        QCOMPARE(sensorCatalogue().value(kIntelBoard).sensors.value(QStringLiteral("Motherboard")).valueText,
                 QStringLiteral("33"));
        tree->remove(file);
        if (asDirectory)
            QVERIFY(QDir().mkpath(full));
        else if (asFifo)
            QCOMPARE(::mkfifo(QFile::encodeName(full).constData(), 0644), 0);
        else
            tree->write(file, content);
        source->refresh();
        const HardwareEntry board = sensorCatalogue().value(kIntelBoard);
        QVERIFY(!board.sensors.contains(QStringLiteral("Motherboard")));
        QCOMPARE(board.sensors.value(QStringLiteral("CPU")).valueText, QStringLiteral("45"));
        // The mainboard tile keeps its last value; the rest of the pass went on.
        QCOMPARE(dashboardSlots().motherboardTemperature.valueText, QStringLiteral("33"));
        QCOMPARE(dashboardSlots().cpuFanSpeed.valueText, QStringLiteral("1250"));
    }

    void vanishingFilesComeBack()
    {
        auto tree = MachineTree::intelDesktop();
        auto source = SensorFixtures::realSource();
        source->refresh();
        QCOMPARE(dashboardSlots().cpuFanSpeed.valueText, QStringLiteral("1250"));
        tree->remove(QStringLiteral("sys/class/hwmon/hwmon1/fan2_input"));
        tree->remove(QStringLiteral("proc/meminfo"));
        tree->remove(QStringLiteral("proc/stat"));
        source->refresh();
        QCOMPARE(dashboardSlots().cpuFanSpeed.sensorName, QStringLiteral("--"));
        QVERIFY(!sensorCatalogue()
                     .value(QStringLiteral("System Memory"))
                     .sensors.contains(QStringLiteral("Physical Memory Load")));
        QVERIFY(!sensorCatalogue().value(kIntelCpu).sensors.contains(QStringLiteral("Total CPU Usage")));
        tree->write(QStringLiteral("sys/class/hwmon/hwmon1/fan2_input"), "1300\n");
        source->refresh();
        QCOMPARE(dashboardSlots().cpuFanSpeed.valueText, QStringLiteral("1300"));
    }

    void emptyTreesGiveAWorkingLibrary()
    {
        MachineTree tree; // no hwmon chips, no procfs files
        auto source = SensorFixtures::realSource();
        QCOMPARE(source->status, 1);
        source->refresh();
        QCOMPARE(dashboardSlots().cpuTemperature.valueText, QStringLiteral("0"));
        QVERIFY(sensorCatalogue().contains(defaultSensorName()));
    }
};

QTEST_GUILESS_MAIN(TestSensorLibrary)
#include "TestSensorLibrary.moc"
