// The sensor source over the fake sensor library: loading, status, the GPU list and filter, how
// records become readings, the worker thread, and readers racing the passes.

#include "tests/sensors/SensorTestRows.h"

#include "sensors/SensorLibrary.h"
#include "shell/AppGlobals.h"

#include <QTest>

#include <dlfcn.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

constexpr int T = 1, V = 2, F = 3, C = 6, U = 7, O = 8;

QStringList catalogueDevices()
{
    QStringList names = sensorCatalogue().keys();
    names.removeAll(defaultSensorName());
    names.sort();
    return names;
}

} // namespace

class TestSensorSource : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        FakeSensorsReset();
        resetSensorCatalogue();
        useFahrenheit = false;
    }

    void missingLibraryFileIsStatusMinusOne()
    {
        auto library = openSensorLibraryFile("/nonexistent/libvortane-sensors.so");
        QVERIFY(!library);
        hwinfo source(std::move(library));
        QCOMPARE(source.status, -1);
        QCOMPARE(source.deviceCount, 0);
    }

    void missingEntryPointIsStatusMinusOneAndStillCloses()
    {
        FakeSensorsAddDevice("Board");
        auto library = openSensorLibraryFile(SensorFixtures::fakeLibraryWithoutReadSensorPath().toStdString());
        QVERIFY(library);
        QVERIFY(library->entryPoints().Close != nullptr);
        QVERIFY(library->entryPoints().ReadSensor == nullptr);
        // The variant is a separate library with its own script; look at its counters directly.
        using CountFn = int32_t (*)(const char*);
        auto variant = openSensorLibraryFile(SensorFixtures::fakeLibraryWithoutReadSensorPath().toStdString());
        QVERIFY(variant);
        {
            hwinfo source(std::move(library));
            QCOMPARE(source.status, -1);
            QCOMPARE(source.deviceCount, 0);
            source.refresh();
            QCOMPARE(catalogueDevices(), QStringList());
        }
        // Nothing but Close was called.
        void* handle = ::dlopen(SensorFixtures::fakeLibraryWithoutReadSensorPath().toLocal8Bit().constData(),
                                RTLD_NOW | RTLD_NOLOAD);
        QVERIFY(handle != nullptr);
        CountFn calls = nullptr;
        void* symbol = ::dlsym(handle, "FakeSensorsCallCount");
        std::memcpy(&calls, &symbol, sizeof calls);
        QVERIFY(calls != nullptr);
        QCOMPARE(calls("Init"), 0);
        QCOMPARE(calls("DeviceCount"), 0);
        QCOMPARE(calls("Close"), 1);
        ::dlclose(handle);
    }

    void initFailingIsStatusZero()
    {
        FakeSensorsSetInitResult(3);
        FakeSensorsAddDevice("Board");
        {
            auto source = SensorFixtures::fakeSource();
            QCOMPARE(source->status, 0);
            QCOMPARE(source->deviceCount, 0);
            QCOMPARE(FakeSensorsCallCount("DeviceCount"), 0);
            // The start-up passes still fill the placeholders.
            source->refresh();
            QCOMPARE(dashboardSlots().cpuCoreVoltage.valueText, QStringLiteral("0V"));
            QCOMPARE(FakeSensorsCallCount("SelectDevice"), 0);
            QVERIFY(!source->isRunning());
        }
        QCOMPARE(FakeSensorsCallCount("Close"), 1);
    }

    void readyLibraryListsItsDevices()
    {
        FakeSensorsAddDevice("Board");
        FakeSensorsAddDevice("CPU [#0]: Test CPU");
        auto source = SensorFixtures::fakeSource();
        QCOMPARE(source->status, 1);
        QCOMPARE(source->deviceCount, 2);
        QCOMPARE(FakeSensorsCallCount("Init"), 1);
        // No GPU: the start-up makes no ReadSensor calls.
        QCOMPARE(FakeSensorsCallCount("ReadSensor"), 0);
        source->refresh();
        QCOMPARE(FakeSensorsCallCount("ReadSensor"), 2 * 6 * 512);
        QCOMPARE(FakeSensorsHighestIndexRead(), 511);
        QCOMPARE(catalogueDevices(), (QStringList{QStringLiteral("Board"), QStringLiteral("CPU [#0]: Test CPU")}));
    }

    void gpuFilter_data()
    {
        QTest::addColumn<QStringList>("devices");
        QTest::addColumn<QList<bool>>("hasReadings");
        QTest::addColumn<QStringList>("gpuNames");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("readDevices");

        QTest::newRow("exactly AMD Radeon is never listed nor read")
            << QStringList{"Board", "GPU [#0]: AMD Radeon"} << QList<bool>{true, true} << QStringList{} << -1
            << QStringList{"Board"};
        QTest::newRow("AMD Radeon with a model is listed and read")
            << QStringList{"Board", "GPU [#0]: AMD Radeon RX 7800 XT"} << QList<bool>{true, true}
            << QStringList{"AMD Radeon RX 7800 XT"} << 0 << QStringList{"Board", "GPU [#0]: AMD Radeon RX 7800 XT"};
        QTest::newRow("two models: only the last with readings is read")
            << QStringList{"GPU [#0]: NVIDIA GeForce RTX 3060", "Board", "GPU [#1]: AMD Radeon RX 6600"}
            << QList<bool>{true, true, true} << QStringList{"NVIDIA GeForce RTX 3060", "AMD Radeon RX 6600"} << 1
            << QStringList{"Board", "GPU [#1]: AMD Radeon RX 6600"};
        QTest::newRow("two models: a last GPU without readings is not chosen")
            << QStringList{"GPU [#0]: NVIDIA GeForce RTX 3060", "GPU [#1]: Intel UHD Graphics 770"}
            << QList<bool>{true, false} << QStringList{"NVIDIA GeForce RTX 3060", "Intel UHD Graphics 770"} << 0
            << QStringList{"GPU [#0]: NVIDIA GeForce RTX 3060"};
        QTest::newRow("two of one model share an entry and are both read")
            << QStringList{"GPU [#0]: NVIDIA GeForce RTX 4090", "GPU [#1]: NVIDIA GeForce RTX 4090"}
            << QList<bool>{true, true} << QStringList{"NVIDIA GeForce RTX 4090"} << 0
            << QStringList{"GPU [#0]: NVIDIA GeForce RTX 4090", "GPU [#1]: NVIDIA GeForce RTX 4090"};
        QTest::newRow("no GPU with readings: the first listed is shown")
            << QStringList{"GPU [#0]: Model A", "GPU [#1]: Model B"} << QList<bool>{false, false}
            << QStringList{"Model A", "Model B"} << 0 << QStringList{"GPU [#0]: Model A"};
        QTest::newRow("non-GPU names are always read")
            << QStringList{"Gpu lowercase", "CPU [#0]: X"} << QList<bool>{false, true} << QStringList{} << 0
            << QStringList{"CPU [#0]: X", "Gpu lowercase"};
    }

    void gpuFilter()
    {
        QFETCH(QStringList, devices);
        QFETCH(QList<bool>, hasReadings);
        for (int i = 0; i < devices.size(); ++i) {
            const int d = FakeSensorsAddDevice(devices.at(i).toUtf8().constData());
            // Readings of types 4 and 5 count at start-up too.
            if (hasReadings.at(i))
                scriptDevice(d, {{4, 13, 0, 0, "Current", "A", 1}, {T, 13, 101, 0, "GPU Temperature", "C", 40}});
        }
        auto source = SensorFixtures::fakeSource();
        QTEST(source->gpuNames(), "gpuNames");
        QTEST(source->selectedGpuIndex(), "selected");
        source->refresh();
        QTEST(catalogueDevices(), "readDevices");
    }

    void startupCountsAllEightTypesOfGpuDevices()
    {
        FakeSensorsAddDevice("GPU [#0]: Model A");
        FakeSensorsAddDevice("Board");
        FakeSensorsAddDevice("GPU [#1]: Model B");
        auto source = SensorFixtures::fakeSource();
        QCOMPARE(FakeSensorsCallCount("ReadSensor"), 2 * 8 * 512);
    }

    void recordsBecomeReadings_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("valueText");
        QTest::addColumn<QString>("shownUnit");
        QTest::newRow("temperature in C") << T << "C" << 45.6 << "46" << kDegreesC;
        QTest::newRow("temperature in another unit shows 0") << T << "K" << 300.0 << "0" << QString();
        QTest::newRow("voltage, three decimals") << V << "V" << 1.23456 << "1.235"
                                                 << "V";
        QTest::newRow("fan") << F << "RPM" << 1234.4 << "1234"
                             << "RPM";
        QTest::newRow("clock") << C << "MHz" << 4712.4 << "4712"
                               << "MHz";
        QTest::newRow("usage") << U << "%" << 12.7 << "13"
                               << "%";
        QTest::newRow("other") << O << "W" << 87.2 << "87"
                               << "W";
    }

    void recordsBecomeReadings()
    {
        QFETCH(int, type);
        QFETCH(QString, unit);
        QFETCH(double, value);
        const QByteArray unitBytes = unit.toUtf8();
        const int d = FakeSensorsAddDevice("Board");
        const VortaneSensorRecord r = SensorFixtures::record(16, 0, 0, "Sensor", unitBytes.constData(), value);
        FakeSensorsSetRecord(d, type, 7, &r, 1);
        auto source = SensorFixtures::fakeSource();
        source->refresh();
        const SensorReading reading = readingFor(QStringLiteral("Board"), QStringLiteral("Sensor"));
        QCOMPARE(reading.hardwareName, QStringLiteral("Board"));
        QCOMPARE(reading.sensorName, QStringLiteral("Sensor"));
        QCOMPARE(reading.value, value);
        QTEST(reading.valueText, "valueText");
        QTEST(reading.unit, "shownUnit");
    }

    void laterReadingOfOneLabelWins()
    {
        const int d = FakeSensorsAddDevice("Board");
        // At one index the types are read in the order 1, 3, 2, 6, 7, 8.
        auto set = [d](int type, int index, double value) {
            const VortaneSensorRecord r = SensorFixtures::record(16, 0, 0, "Same", "X", value);
            FakeSensorsSetRecord(d, type, index, &r, 1);
        };
        set(V, 4, 2.0);
        set(F, 4, 3.0);
        set(T, 4, 1.0);
        auto source = SensorFixtures::fakeSource();
        source->refresh();
        QCOMPARE(readingFor(QStringLiteral("Board"), QStringLiteral("Same")).value, 2.0);
        set(T, 9, 9.0); // a higher index beats every type of a lower one
        source->refresh();
        QCOMPARE(readingFor(QStringLiteral("Board"), QStringLiteral("Same")).value, 9.0);
        QCOMPARE(sensorCatalogue().value(QStringLiteral("Board")).sensors.size(), 1);
    }

    void invalidRecordsAreSkipped()
    {
        const int d = FakeSensorsAddDevice("Board");
        VortaneSensorRecord invalid = SensorFixtures::record(16, 0, 0, "Invalid", "V", 1.0, 0);
        FakeSensorsSetRecord(d, V, 0, &invalid, 1);
        const VortaneSensorRecord refused = SensorFixtures::record(16, 0, 0, "Refused", "V", 1.0);
        FakeSensorsSetRecord(d, V, 1, &refused, 0);
        const VortaneSensorRecord beyond = SensorFixtures::record(16, 0, 0, "Beyond", "V", 1.0);
        FakeSensorsSetRecord(d, V, 512, &beyond, 1);
        const VortaneSensorRecord last = SensorFixtures::record(16, 0, 0, "Last", "V", 1.0);
        FakeSensorsSetRecord(d, V, 511, &last, 1);
        auto source = SensorFixtures::fakeSource();
        source->refresh();
        QCOMPARE(sensorCatalogue().value(QStringLiteral("Board")).sensors.keys(), QStringList{QStringLiteral("Last")});
        QCOMPARE(FakeSensorsHighestIndexRead(), 511);
    }

    void yesNoValuesAreNotStoredButStillClassified()
    {
        const int d = FakeSensorsAddDevice("Board");
        scriptDevice(d, {{O, 10, 0, 0, "Physical Memory Load", "Yes/No", 1},
                         {O, 12, 30, 0, "Fan Alarm", "Yes/No", 0},
                         {O, 12, 0, 0, "Power", "W", 50},
                         {T, 12, 36, 0, "Odd", "Yes/No", 1}});
        auto source = SensorFixtures::fakeSource();
        source->refresh();
        const QStringList stored = sensorCatalogue().value(QStringLiteral("Board")).sensors.keys();
        QVERIFY(!stored.contains(QStringLiteral("Fan Alarm")));
        QVERIFY(!stored.contains(QStringLiteral("Physical Memory Load")));
        QVERIFY(stored.contains(QStringLiteral("Power")));
        QVERIFY(stored.contains(QStringLiteral("Odd"))); // only type 8 drops "Yes/No"
        QCOMPARE(dashboardSlots().ramUsage.valueText, QStringLiteral("1"));
    }

    void textFieldsAreReadWithinTheirBounds()
    {
        const int d = FakeSensorsAddDevice("Board");
        VortaneSensorRecord r = SensorFixtures::record(16, 0, 0, "", "", 5.0);
        std::memset(r.label, 'L', sizeof r.label); // no NUL: a misbehaving library
        std::memset(r.unit, 'U', sizeof r.unit);
        FakeSensorsSetRecord(d, O, 0, &r, 1);
        auto source = SensorFixtures::fakeSource();
        source->refresh();
        const SensorReading reading = readingFor(QStringLiteral("Board"), QString(132, QLatin1Char('L')));
        QCOMPARE(reading.valueText, QStringLiteral("5"));
        QCOMPARE(reading.unit, QString(32, QLatin1Char('U')));
    }

    void workerPollsAndStopsPromptly()
    {
        const int d = FakeSensorsAddDevice("Board");
        scriptDevice(d, {{T, 11, 10, 0, "CPU Package", "C", 50}});
        {
            auto source = SensorFixtures::fakeSource();
            // Queued to this thread, as the main window's receivers get it.
            int passes = 0;
            connect(
                source.get(), &hwinfo::upateHwinfo, this, [&passes] { ++passes; }, Qt::QueuedConnection);
            source->start();
            QVERIFY(source->running);
            QVERIFY(source->isRunning());
            QTRY_VERIFY_WITH_TIMEOUT(passes >= 2, 10000);
            QCOMPARE(readingFor(QStringLiteral("Board"), QStringLiteral("CPU Package")).valueText,
                     QStringLiteral("50"));
            // Destroyed while asleep: the destructor wakes it, waits for it and closes the library.
        }
        QCOMPARE(FakeSensorsCallCount("Close"), 1);
    }

    // Readers on this thread while passes run on another: every snapshot must come from one
    // finished pass. Each pass serves its own generation number added to every value, so a
    // snapshot mixing two passes shows two generations.
    void readersNeverSeeAHalfWrittenPass()
    {
        FakeSensorsCountGenerations(1);
        const int d = FakeSensorsAddDevice("Board");
        FakeRecords records{{T, 11, 10, 0, "CPU Package", "C", 50}, {T, 11, 11, 0, "Core 0", "C", 40}};
        for (int i = 0; i < 60; ++i) {
            static const char* const labels[] = {"A", "B", "C", "D", "E", "F"};
            records.append({O, 16, 0, i, labels[i % 6], "W", 0});
        }
        scriptDevice(d, records);
        auto source = SensorFixtures::fakeSource();
        source->refresh();

        std::atomic<bool> done{false};
        std::thread writer([&] {
            for (int pass = 0; pass < 150; ++pass)
                source->refresh();
            done = true;
        });
        int checks = 0;
        while (!done || checks == 0) {
            const QHash<QString, HardwareEntry> catalogue = sensorCatalogue();
            const HardwareEntry board = catalogue.value(QStringLiteral("Board"));
            const double generation = board.sensors.value(QStringLiteral("CPU Package")).value - 50;
            for (auto it = board.sensors.constBegin(); it != board.sensors.constEnd(); ++it) {
                const double base = it.key() == QLatin1String("CPU Package") ? 50
                                    : it.key() == QLatin1String("Core 0")    ? 40
                                                                             : 0;
                if (it.value().value - base != generation)
                    QFAIL(qPrintable(QStringLiteral("mixed passes in one catalogue snapshot: %1").arg(it.key())));
            }
            const SensorReading cpuTemp =
                catalogue.value(defaultSensorName()).sensors.value(QStringLiteral("CPU Temp"));
            QCOMPARE(cpuTemp.value - 50, generation);
            const DashboardSlots s = dashboardSlots();
            QCOMPARE(s.cpuPackageTemperature.value - 50, s.cpuTemperature.value - 40);
            QCOMPARE(s.cpuPackageTemperature.valueText, QString::number(s.cpuPackageTemperature.value, 'f', 0));
            readingFor(QStringLiteral("Board"), QStringLiteral("A"));
            ++checks;
        }
        writer.join();
        QVERIFY(checks > 0);
    }
};

QTEST_GUILESS_MAIN(TestSensorSource)
#include "TestSensorSource.moc"
