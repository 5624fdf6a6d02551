#include "sensors/hwinfo.h"

#include "sensors/SensorCatalogue.h"
#include "sensors/SensorLibrary.h"
#include "sensors/SensorsLog.h"
#include "shell/AppGlobals.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutexLocker>

#include <chrono>
#include <cstring>

namespace {

constexpr int kInitVersion = 64;
constexpr int kSensorIndexes = 512;
constexpr int kNameBufferSize = 256;
constexpr int kGpuPrefixLength = 10; // "GPU [#0]: "
constexpr int kPassIntervalMs = 1000;
// The polling order of the types of one sensor index; 4 and 5 are not shown.
constexpr int kPassTypes[] = {1, 3, 2, 6, 7, 8};

// Text of a fixed-size record field: up to the first NUL, never past the field.
QString fieldText(const char* field, size_t size)
{
    const void* nul = std::memchr(field, '\0', size);
    const size_t length = nul != nullptr ? size_t(static_cast<const char*>(nul) - field) : size;
    return QString::fromUtf8(field, int(length));
}

QString fixed(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

SensorReading readingFromRecord(int type, const QString& deviceName, const VortaneSensorRecord& record)
{
    SensorReading reading;
    reading.hardwareName = deviceName;
    reading.sensorName = fieldText(record.label, sizeof record.label);
    reading.value = record.value;
    const QString unit = fieldText(record.unit, sizeof record.unit);
    switch (type) {
    case 1:
        // The setting is read afresh for every record, so a change shows with the next pass.
        if (useFahrenheit.load(std::memory_order_relaxed)) {
            reading.value = record.value * 1.8 + 32.0;
            reading.valueText = fixed(reading.value, 0);
            reading.unit = QStringLiteral("\u00B0F");
        } else if (unit == QLatin1String("C")) {
            reading.valueText = fixed(record.value, 0);
            reading.unit = QStringLiteral("\u00B0C");
        } else {
            reading.valueText = QStringLiteral("0");
            reading.unit = QString();
        }
        break;
    case 2:
        reading.valueText = fixed(record.value, 3);
        reading.unit = unit;
        break;
    default:
        reading.valueText = fixed(record.value, 0);
        reading.unit = unit;
        break;
    }
    return reading;
}

std::unique_ptr<SensorLibrary> openDefaultLibrary()
{
    const QString programDir =
        QCoreApplication::instance() != nullptr ? QCoreApplication::applicationDirPath() : QString();
    return openSensorLibrary(QFile::encodeName(programDir).toStdString());
}

} // namespace

hwinfo::hwinfo(QObject* parent)
    : hwinfo(openDefaultLibrary(), parent)
{
}

hwinfo::hwinfo(std::unique_ptr<SensorLibrary> library, QObject* parent)
    : QThread(parent)
    , m_library(std::move(library))
{
    setObjectName(QStringLiteral("hwinfo"));
    status = 0;
    deviceCount = 0;
    if (!m_library || !m_library->entryPoints().complete()) {
        status = -1;
        qCInfo(lcSensors) << "sensor library not available" << (m_library ? m_library->fileName().c_str() : "");
        return;
    }
    const SensorEntryPoints& lib = m_library->entryPoints();
    if (lib.Init(kInitVersion) != 0) {
        status = 0;
        qCWarning(lcSensors) << "sensor library failed to initialise";
        return;
    }
    status = 1;
    setBoardSensorChipMissing(lib.MachineFlags != nullptr && (lib.MachineFlags() & VORTANE_MACHINE_NO_BOARD_CHIP) != 0);
    deviceCount = lib.DeviceCount();
    if (deviceCount <= 0) {
        deviceCount = 0;
        return;
    }
    listGpus();
}

hwinfo::~hwinfo()
{
    {
        std::lock_guard<std::mutex> locker(m_sleepMutex);
        running.store(false, std::memory_order_release);
        m_wake.notify_all();
    }
    wait();
    std::lock_guard<std::mutex> finished(m_sleepMutex);
    if (m_library && m_library->entryPoints().Close)
        m_library->entryPoints().Close();
}

void hwinfo::start()
{
    running.store(true, std::memory_order_release);
    QThread::start(QThread::InheritPriority);
}

void hwinfo::run()
{
    std::unique_lock<std::mutex> locker(m_sleepMutex);
    while (running.load(std::memory_order_acquire)) {
        locker.unlock();
        refresh();
        locker.lock();
        if (!running.load(std::memory_order_acquire))
            break;
        // The full interval unless the destructor wakes it (spurious wake-ups sleep on).
        m_wake.wait_for(locker, std::chrono::milliseconds(kPassIntervalMs),
                        [this] { return !running.load(std::memory_order_acquire); });
    }
}

QString hwinfo::deviceName(int device) const
{
    char buffer[kNameBufferSize] = {};
    m_library->entryPoints().DeviceName(device, buffer, kNameBufferSize);
    return fieldText(buffer, sizeof buffer);
}

void hwinfo::listGpus()
{
    const SensorEntryPoints& lib = m_library->entryPoints();
    m_gpuNames.clear();
    m_selectedGpuIndex = 0;
    for (int d = 0; d < deviceCount; ++d) {
        lib.SelectDevice(d);
        const QString name = deviceName(d);
        if (!name.startsWith(QLatin1String("GPU")))
            continue;
        const QString trimmed = name.mid(kGpuPrefixLength);
        if (!m_gpuNames.contains(trimmed) && trimmed != QLatin1String("AMD Radeon"))
            m_gpuNames.append(trimmed);
        int readings = 0;
        for (int index = 0; index < kSensorIndexes; ++index) {
            for (int type = 1; type <= 8; ++type) {
                VortaneSensorRecord record;
                std::memset(&record, 0, sizeof record);
                if (lib.ReadSensor(type, d, index, &record) != 0 && record.valid != 0)
                    ++readings;
            }
        }
        if (readings != 0)
            m_selectedGpuIndex = int(m_gpuNames.size()) - 1;
    }
    qCDebug(lcSensors) << "GPUs" << m_gpuNames << "showing" << m_selectedGpuIndex;
}

void hwinfo::readDevice(int device, const QString& name)
{
    const SensorEntryPoints& lib = m_library->entryPoints();
    HardwareEntry entry;
    entry.name = name;
    VortaneSensorRecord record;
    for (int index = 0; index < kSensorIndexes; ++index) {
        // One zeroed record per index; the types of that index read into it in turn.
        std::memset(&record, 0, sizeof record);
        for (const int type : kPassTypes) {
            if (lib.ReadSensor(type, device, index, &record) == 0 || record.valid == 0)
                continue;
            const SensorReading reading = readingFromRecord(type, name, record);
            const QString label = fieldText(record.label, sizeof record.label);
            const QString unit = fieldText(record.unit, sizeof record.unit);
            if (!(type == 8 && unit == QLatin1String("Yes/No")))
                entry.sensors.insert(reading.sensorName, reading);
            classify(type, reading, record.classCode, record.kindCode, record.subIndex, label, unit);
        }
    }
    storeHardwareEntry(entry);
}

void hwinfo::refresh()
{
    {
        QMutexLocker passLocker(&m_passMutex);
        beginPass();
        const SensorEntryPoints* lib = m_library ? &m_library->entryPoints() : nullptr;
        for (int d = 0; d < deviceCount && lib != nullptr; ++d) {
            lib->SelectDevice(d);
            const QString name = deviceName(d);
            if (name.startsWith(QLatin1String("GPU"))) {
                const QString trimmed = name.mid(kGpuPrefixLength);
                if (!m_gpuNames.contains(trimmed))
                    continue;
                if (m_selectedGpuIndex >= 0 && m_selectedGpuIndex < m_gpuNames.size() &&
                    !name.contains(m_gpuNames.at(m_selectedGpuIndex)))
                    continue;
            }
            readDevice(d, name);
        }
        finishPass();
    }
    emit upateHwinfo();
}
