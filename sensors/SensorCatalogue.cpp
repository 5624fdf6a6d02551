#include "sensors/SensorCatalogue.h"

#include "sensorlib/VortaneSensors.h"
#include "sensors/SensorsLog.h"
#include "shell/AppGlobals.h"

#include <QSettings>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <utility>

QSettings* remarkStore = nullptr;

namespace {

// The library's class, kind and type codes the selection distinguishes (sensorlib/VortaneSensors.h).
constexpr int kClassSystemMemory = VORTANE_CLASS_SYSTEM_MEMORY;
constexpr int kClassCpu = VORTANE_CLASS_CPU;
constexpr int kClassMainboard = VORTANE_CLASS_MAINBOARD;
constexpr int kClassGpu = VORTANE_CLASS_GPU;
constexpr int kClassChipset = VORTANE_CLASS_CHIPSET;
constexpr int kClassMemoryModule = VORTANE_CLASS_MEMORY_MODULE;

constexpr int kTypeTemperature = VORTANE_TYPE_TEMPERATURE;
constexpr int kTypeVoltage = VORTANE_TYPE_VOLTAGE;
constexpr int kTypeFan = VORTANE_TYPE_FAN;
constexpr int kTypeClock = VORTANE_TYPE_CLOCK;
constexpr int kTypeUsage = VORTANE_TYPE_USAGE;
constexpr int kTypeOther = VORTANE_TYPE_OTHER;

QString f0(double value)
{
    return QString::number(value, 'f', 0);
}

QString g6(double value)
{
    return QString::number(value, 'g', 6);
}

struct SumCount
{
    double sum = 0.0;
    int count = 0;

    void add(double value)
    {
        sum += value;
        ++count;
    }
    double average() const { return count > 0 ? sum / count : 0.0; }
};

// What one pass collects besides the slots; cleared by beginPass.
struct PassBookkeeping
{
    SensorReading boardCpuPackage, systemTemp, system1Temp, chipsetAltTemp, memoryVoltageA, memoryVoltageB;
    bool cpuPackageFound = false, boardCpuPackageFound = false, cpuTemperatureFound = false;
    bool systemTempFound = false, system1TempFound = false, chipsetAltTempFound = false;
    bool memoryVoltageAFound = false, memoryVoltageBFound = false;
    bool cpuFanFound = false, aioPumpFound = false, vrmHsFanFound = false;
    bool chassisFanFound = false, chassisFan2Found = false;
    SumCount coreTemperatures, coreVoltages, coreVids, coreClocks;
};

// Owned by the writing pass; no reader touches it.
struct PassTables
{
    QHash<QString, HardwareEntry> catalogue;
    DashboardSlots dashboard;
    PassBookkeeping book;
};

PassTables& pass()
{
    static PassTables tables;
    return tables;
}

// What readers see: the last finished pass, replaced whole under the lock. Nothing in it shares
// string data with the writer's tables or with what readers take away: the pass publishes deep
// copies and readers make deep copies, so the only hand-over between threads is this lock (no
// reference count of an implicitly shared string is ever touched from two threads).
struct Published
{
    std::mutex lock; // a plain pthread mutex, so thread checkers see the hand-over
    QHash<QString, HardwareEntry> catalogue;
    DashboardSlots dashboard;
};

Published& published()
{
    static Published p;
    return p;
}

std::atomic<bool> boardChipMissing{false};

QString deepCopy(const QString& text)
{
    return text.isNull() ? QString() : QString(text.unicode(), text.size());
}

SensorReading deepCopy(const SensorReading& r)
{
    SensorReading copy;
    copy.hardwareName = deepCopy(r.hardwareName);
    copy.sensorName = deepCopy(r.sensorName);
    copy.valueText = deepCopy(r.valueText);
    copy.value = r.value;
    copy.unit = deepCopy(r.unit);
    return copy;
}

HardwareEntry deepCopy(const HardwareEntry& entry)
{
    HardwareEntry copy;
    copy.name = deepCopy(entry.name);
    copy.sensors.reserve(entry.sensors.size());
    for (auto it = entry.sensors.constBegin(); it != entry.sensors.constEnd(); ++it)
        copy.sensors.insert(deepCopy(it.key()), deepCopy(it.value()));
    return copy;
}

QHash<QString, HardwareEntry> deepCopy(const QHash<QString, HardwareEntry>& catalogue)
{
    QHash<QString, HardwareEntry> copy;
    copy.reserve(catalogue.size());
    for (auto it = catalogue.constBegin(); it != catalogue.constEnd(); ++it)
        copy.insert(deepCopy(it.key()), deepCopy(it.value()));
    return copy;
}

DashboardSlots deepCopy(const DashboardSlots& d)
{
    DashboardSlots copy;
    SensorReading DashboardSlots::*const members[] = {&DashboardSlots::cpuTemperature,
                                                      &DashboardSlots::cpuPackageTemperature,
                                                      &DashboardSlots::motherboardTemperature,
                                                      &DashboardSlots::chipsetTemperature,
                                                      &DashboardSlots::gpuTemperature,
                                                      &DashboardSlots::cpuFanSpeed,
                                                      &DashboardSlots::aioPump,
                                                      &DashboardSlots::vrmHsFan,
                                                      &DashboardSlots::chassisFanSpeed,
                                                      &DashboardSlots::chassisFanSpeed2,
                                                      &DashboardSlots::cpuCoreVoltage,
                                                      &DashboardSlots::gpuVoltage,
                                                      &DashboardSlots::memoryControllerVoltage,
                                                      &DashboardSlots::cpuAverageUsage,
                                                      &DashboardSlots::gpuUsage,
                                                      &DashboardSlots::ramUsage,
                                                      &DashboardSlots::cpuFrequency,
                                                      &DashboardSlots::gpuFrequency};
    static_assert(sizeof(DashboardSlots) == 18 * sizeof(SensorReading), "every slot is copied");
    for (const auto member : members)
        copy.*member = deepCopy(d.*member);
    return copy;
}

// Temperature slots and candidates always show the value without decimals.
void copyTemperature(SensorReading& target, const SensorReading& reading, const QString& sensorName = QString())
{
    target = reading;
    target.valueText = f0(reading.value);
    if (!sensorName.isNull())
        target.sensorName = sensorName;
}

void classifyTemperature(const SensorReading& r, int classCode, int kind, int subIndex, const QString& label)
{
    if (kind == VORTANE_KIND_UNSPECIFIED)
        return;
    DashboardSlots& s = pass().dashboard;
    PassBookkeeping& b = pass().book;
    switch (classCode) {
    case kClassCpu:
        if (subIndex == VORTANE_SUBINDEX_PRIMARY && kind == VORTANE_KIND_CPU_CORE)
            b.coreTemperatures.add(r.value);
        if (subIndex == VORTANE_SUBINDEX_PRIMARY && kind == VORTANE_KIND_CPU_PACKAGE) {
            const QString name = label.contains(QLatin1String("CPU")) ? label : QStringLiteral("CPU ") + label;
            if (name == QLatin1String("CPU Package")) {
                copyTemperature(s.cpuPackageTemperature, r, name);
                b.cpuPackageFound = true;
            }
        }
        break;
    case kClassMainboard:
        if ((kind == VORTANE_KIND_BOARD_MAINBOARD || kind == VORTANE_KIND_BOARD_MAINBOARD_ALT) &&
            subIndex == VORTANE_SUBINDEX_PRIMARY)
            copyTemperature(s.motherboardTemperature, r);
        if (kind == VORTANE_KIND_BOARD_CPU_PACKAGE && subIndex == VORTANE_SUBINDEX_PRIMARY &&
            label == QLatin1String("CPU Package")) {
            copyTemperature(b.boardCpuPackage, r);
            b.boardCpuPackageFound = true;
        }
        if (kind == VORTANE_KIND_BOARD_CPU && subIndex == VORTANE_SUBINDEX_PRIMARY && label == QLatin1String("CPU")) {
            copyTemperature(s.cpuTemperature, r, QStringLiteral("CPU"));
            b.cpuTemperatureFound = true;
        }
        if (label == QLatin1String("system1")) {
            copyTemperature(b.system1Temp, r, QStringLiteral("CPU"));
            b.system1TempFound = true;
        }
        if (label == QLatin1String("system")) {
            copyTemperature(b.systemTemp, r, QStringLiteral("CPU"));
            b.systemTempFound = true;
        }
        break;
    case kClassGpu:
        if (kind == VORTANE_KIND_GPU_PRIMARY || kind == VORTANE_KIND_GPU_CORE_ALT) {
            QString shortened = label;
            shortened.remove(QStringLiteral("Temperature"), Qt::CaseSensitive);
            if (shortened == QLatin1String("GPU ") || shortened == QLatin1String("GPU Core "))
                copyTemperature(s.gpuTemperature, r, shortened);
        }
        break;
    case kClassChipset:
        if (kind == VORTANE_KIND_CHIPSET_EC && subIndex == VORTANE_SUBINDEX_PRIMARY) {
            copyTemperature(b.chipsetAltTemp, r, QStringLiteral("Chipset"));
            b.chipsetAltTempFound = true;
        }
        if (kind == VORTANE_KIND_CHIPSET_PCH && subIndex == VORTANE_SUBINDEX_PRIMARY)
            copyTemperature(s.chipsetTemperature, r, QStringLiteral("Chipset"));
        break;
    default:
        break;
    }
}

void classifyFan(const SensorReading& r, int classCode, int kind, const QString& label)
{
    if (classCode != kClassMainboard || kind == VORTANE_KIND_UNSPECIFIED)
        return;
    DashboardSlots& s = pass().dashboard;
    PassBookkeeping& b = pass().book;
    const QString placeholder = SensorReading().sensorName;
    switch (kind) {
    case VORTANE_KIND_BOARD_CPU:
        s.cpuFanSpeed = r;
        b.cpuFanFound = true;
        break;
    case VORTANE_KIND_BOARD_PUMP:
        s.aioPump = r;
        b.aioPumpFound = true;
        break;
    case VORTANE_KIND_BOARD_VRM_FAN:
        s.vrmHsFan = r;
        b.vrmHsFanFound = true;
        break;
    default:
        // Slots keep their names from pass to pass. A fan goes back to the slot that carries
        // its name before it may take a free one, so it never hops into a slot another fan
        // has just left.
        if (s.chassisFanSpeed.sensorName == label) {
            s.chassisFanSpeed = r;
            b.chassisFanFound = true;
        } else if (s.chassisFanSpeed2.sensorName == label) {
            s.chassisFanSpeed2 = r;
            b.chassisFan2Found = true;
        } else if (s.chassisFanSpeed.sensorName == placeholder) {
            s.chassisFanSpeed = r;
            b.chassisFanFound = true;
        } else if (s.chassisFanSpeed2.sensorName == placeholder) {
            s.chassisFanSpeed2 = r;
            b.chassisFan2Found = true;
        }
        break;
    }
}

void classifyVoltage(const SensorReading& r, int classCode, int kind, int subIndex, const QString& label)
{
    DashboardSlots& s = pass().dashboard;
    PassBookkeeping& b = pass().book;
    if (classCode == kClassCpu && kind == VORTANE_KIND_CPU_CORE && subIndex == VORTANE_SUBINDEX_PRIMARY)
        b.coreVoltages.add(r.value);
    else if (classCode == kClassCpu && kind == VORTANE_KIND_CPU_CORE && subIndex == VORTANE_SUBINDEX_CPU_VID)
        b.coreVids.add(r.value);
    else if (classCode == kClassGpu && kind == VORTANE_KIND_GPU_PRIMARY && subIndex == VORTANE_SUBINDEX_PRIMARY &&
             label.contains(QLatin1String("GPU Core Voltage"))) {
        s.gpuVoltage = r;
        s.gpuVoltage.sensorName = QStringLiteral("GPU");
        s.gpuVoltage.valueText = g6(r.value);
    } else if (classCode == kClassMemoryModule) {
        if (label.contains(QLatin1String("VDD (SWA) Voltage"))) {
            b.memoryVoltageA = r;
            b.memoryVoltageAFound = true;
        } else if (label.contains(QLatin1String("VDD (SWB) Voltage"))) {
            b.memoryVoltageB = r;
            b.memoryVoltageBFound = true;
        }
    }
}

void classifyClock(const SensorReading& r, int classCode, int kind, int subIndex, const QString& label)
{
    if (classCode == kClassCpu && kind == VORTANE_KIND_CPU_CORE && subIndex == VORTANE_SUBINDEX_PRIMARY)
        pass().book.coreClocks.add(r.value);
    else if (classCode == kClassGpu && kind == VORTANE_KIND_GPU_PRIMARY && subIndex == VORTANE_SUBINDEX_PRIMARY &&
             label.contains(QLatin1String("GPU Clock")) && !label.contains(QLatin1String("Effective"))) {
        pass().dashboard.gpuFrequency = r;
        pass().dashboard.gpuFrequency.valueText = g6(r.value);
    }
}

void classifyUsage(const SensorReading& r, int classCode, int kind, int subIndex)
{
    DashboardSlots& s = pass().dashboard;
    if (classCode == kClassCpu && kind == VORTANE_KIND_CPU_TOTAL_USAGE && subIndex == VORTANE_SUBINDEX_CPU_TOTAL) {
        s.cpuAverageUsage = r;
        s.cpuAverageUsage.value = std::min(r.value, 100.0);
        s.cpuAverageUsage.valueText = f0(s.cpuAverageUsage.value);
    } else if (classCode == kClassGpu && kind == VORTANE_KIND_GPU_PRIMARY && subIndex == VORTANE_SUBINDEX_PRIMARY) {
        s.gpuUsage = r;
    }
}

void resetFan(SensorReading& slot, bool found)
{
    if (found)
        return;
    const SensorReading placeholder;
    slot.sensorName = placeholder.sensorName;
    slot.value = 0.0;
    slot.valueText = placeholder.valueText;
}

} // namespace

QHash<QString, HardwareEntry> sensorCatalogue()
{
    Published& p = published();
    std::lock_guard<std::mutex> locker(p.lock);
    return deepCopy(p.catalogue);
}

DashboardSlots dashboardSlots()
{
    Published& p = published();
    std::lock_guard<std::mutex> locker(p.lock);
    return deepCopy(p.dashboard);
}

SensorReading readingFor(const QString& hardwareName, const QString& sensorName)
{
    Published& p = published();
    std::lock_guard<std::mutex> locker(p.lock);
    const auto entry = p.catalogue.constFind(hardwareName);
    if (entry == p.catalogue.constEnd())
        return SensorReading();
    const auto reading = entry->sensors.constFind(sensorName);
    return reading == entry->sensors.constEnd() ? SensorReading() : deepCopy(*reading);
}

namespace {

QString escapedRemarkName(const QString& name)
{
    QString escaped = name;
    escaped.replace(QLatin1Char('%'), QLatin1String("%25"));
    escaped.replace(QLatin1Char('/'), QLatin1String("%2F"));
    return escaped;
}

} // namespace

QString remarkKey(const QString& hardwareName, const QString& sensorName)
{
    return escapedRemarkName(hardwareName) + QLatin1Char('/') + escapedRemarkName(sensorName);
}

QString storedRemark(const QString& hardwareName, const QString& sensorName)
{
    if (remarkStore == nullptr)
        return QString();
    const QString key = remarkKey(hardwareName, sensorName);
    if (remarkStore->contains(key))
        return remarkStore->value(key).toString();
    const QString plainKey = hardwareName + QLatin1Char('/') + sensorName;
    return plainKey == key ? QString() : remarkStore->value(plainKey).toString();
}

void storeRemark(const QString& hardwareName, const QString& sensorName, const QString& remark)
{
    if (remarkStore != nullptr)
        remarkStore->setValue(remarkKey(hardwareName, sensorName), remark);
}

QString displayNameFor(const QString& hardwareName, const QString& sensorName)
{
    const QString remark = storedRemark(hardwareName, sensorName);
    return remark.isEmpty() ? sensorName : remark;
}

const QStringList& unitList()
{
    static const QStringList units{QStringLiteral("\u00B0C"), QStringLiteral("\u00B0F"), QStringLiteral("V"),
                                   QStringLiteral("W"),       QStringLiteral("MHz"),     QStringLiteral("%"),
                                   QStringLiteral("RPM"),     QStringLiteral("KB/s")};
    return units;
}

double rangeMaximumFor(const QString& unit)
{
    static const double maxima[] = {100.0, 100.0, 10.0, 1000.0, 9000.0, 100.0, 3000.0, 100000.0};
    const int index = unitList().indexOf(unit);
    return index >= 0 ? maxima[index] : 100.0;
}

bool boardSensorChipMissing()
{
    return boardChipMissing.load(std::memory_order_acquire);
}

void setBoardSensorChipMissing(bool missing)
{
    if (boardChipMissing.exchange(missing, std::memory_order_acq_rel) == missing || !missing)
        return;
    qCInfo(lcSensors) << "no mainboard sensor chip is bound, so board temperatures and fans are missing;"
                         " loading the board's hwmon driver (for example `modprobe nct6775` or `modprobe it87`)"
                         " usually fixes this";
}

void beginPass()
{
    pass().book = PassBookkeeping();
}

void classify(int sensorType, const SensorReading& reading, int classCode, int kindCode, int subIndex,
              const QString& label, const QString& unit)
{
    Q_UNUSED(unit)
    switch (sensorType) {
    case kTypeTemperature:
        classifyTemperature(reading, classCode, kindCode, subIndex, label);
        break;
    case kTypeFan:
        classifyFan(reading, classCode, kindCode, label);
        break;
    case kTypeVoltage:
        classifyVoltage(reading, classCode, kindCode, subIndex, label);
        break;
    case kTypeClock:
        classifyClock(reading, classCode, kindCode, subIndex, label);
        break;
    case kTypeUsage:
        classifyUsage(reading, classCode, kindCode, subIndex);
        break;
    case kTypeOther:
        if (classCode == kClassSystemMemory && label == QLatin1String("Physical Memory Load"))
            pass().dashboard.ramUsage = reading;
        break;
    default:
        break;
    }
}

void storeHardwareEntry(const HardwareEntry& entry)
{
    pass().catalogue.insert(entry.name, entry);
}

void finishPass()
{
    DashboardSlots& s = pass().dashboard;
    const PassBookkeeping& b = pass().book;

    resetFan(s.aioPump, b.aioPumpFound);
    resetFan(s.cpuFanSpeed, b.cpuFanFound);
    resetFan(s.vrmHsFan, b.vrmHsFanFound);
    resetFan(s.chassisFanSpeed, b.chassisFanFound);
    resetFan(s.chassisFanSpeed2, b.chassisFan2Found);

    s.cpuCoreVoltage.sensorName = QStringLiteral("CPU Core Voltage");
    if (b.coreVoltages.count > 0) {
        s.cpuCoreVoltage.value = b.coreVoltages.average();
    } else if (b.coreVids.count > 0) {
        s.cpuCoreVoltage.sensorName = QStringLiteral("CPU Core VIDs");
        s.cpuCoreVoltage.value = b.coreVids.average();
    } else {
        s.cpuCoreVoltage.value = 0.0;
    }
    s.cpuCoreVoltage.valueText = g6(s.cpuCoreVoltage.value) + QLatin1Char('V');

    // The mainboard's "CPU Package" wins over the CPU's own.
    if (b.boardCpuPackageFound) {
        s.cpuPackageTemperature = b.boardCpuPackage;
    } else if (!b.cpuPackageFound) {
        if (b.systemTempFound)
            s.cpuPackageTemperature = b.systemTemp;
        if (b.system1TempFound)
            s.cpuPackageTemperature = b.system1Temp;
    }

    if (b.chipsetAltTempFound)
        s.chipsetTemperature = b.chipsetAltTemp;

    if (!b.cpuTemperatureFound) {
        if (b.systemTempFound) {
            s.cpuTemperature = b.systemTemp;
        } else if (b.system1TempFound) {
            s.cpuTemperature = b.system1Temp;
        } else {
            s.cpuTemperature.sensorName = QStringLiteral("CPU");
            s.cpuTemperature.value = b.coreTemperatures.average();
            s.cpuTemperature.valueText = f0(s.cpuTemperature.value);
        }
    }
    s.cpuTemperature.unit =
        useFahrenheit.load(std::memory_order_relaxed) ? QStringLiteral("\u00B0F") : QStringLiteral("\u00B0C");

    s.cpuFrequency.sensorName = QStringLiteral("CPU");
    s.cpuFrequency.value = b.coreClocks.average();
    s.cpuFrequency.valueText = g6(s.cpuFrequency.value);
    s.cpuFrequency.unit = QStringLiteral("MHz");

    if (b.memoryVoltageAFound || b.memoryVoltageBFound) {
        if (b.memoryVoltageAFound && b.memoryVoltageBFound)
            s.memoryControllerVoltage.value = (b.memoryVoltageA.value + b.memoryVoltageB.value) * 0.5;
        else
            s.memoryControllerVoltage.value = b.memoryVoltageAFound ? b.memoryVoltageA.value : b.memoryVoltageB.value;
        s.memoryControllerVoltage.sensorName = QStringLiteral("Memory");
        s.memoryControllerVoltage.valueText = g6(s.memoryControllerVoltage.value);
        s.memoryControllerVoltage.unit = QStringLiteral("V");
    }

    s.cpuAverageUsage.sensorName = QStringLiteral("CPU Usage");
    s.ramUsage.sensorName = QStringLiteral("RAM Usage");
    HardwareEntry defaults;
    defaults.name = defaultSensorName();
    defaults.sensors.insert(QStringLiteral("CPU Temp"), s.cpuPackageTemperature);
    defaults.sensors.insert(QStringLiteral("GPU Temp"), s.gpuTemperature);
    defaults.sensors.insert(QStringLiteral("CPU Usage"), s.cpuAverageUsage);
    defaults.sensors.insert(QStringLiteral("RAM Usage"), s.ramUsage);
    pass().catalogue.insert(defaults.name, defaults);

    // Copies made outside the lock; the swap hands them over, and the last pass's tables are
    // freed here after the lock, on this thread, which made them.
    QHash<QString, HardwareEntry> catalogue = deepCopy(pass().catalogue);
    DashboardSlots dashboard = deepCopy(s);
    {
        Published& p = published();
        std::lock_guard<std::mutex> locker(p.lock);
        std::swap(p.catalogue, catalogue);
        std::swap(p.dashboard, dashboard);
    }
}

void resetSensorCatalogue()
{
    boardChipMissing.store(false, std::memory_order_release);
    pass() = PassTables();
    Published& p = published();
    std::lock_guard<std::mutex> locker(p.lock);
    p.catalogue = QHash<QString, HardwareEntry>();
    p.dashboard = DashboardSlots();
}
