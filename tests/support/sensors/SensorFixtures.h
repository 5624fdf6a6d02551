#pragma once

#include "sensorlib/VortaneSensors.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class hwinfo;

namespace SensorFixtures {

// A record as a library would fill it.
VortaneSensorRecord record(int classCode, int kindCode, int subIndex, const char* label, const char* unit, double value,
                           int valid = 1);

// Path of the fake sensor library and of its variant without ReadSensor.
QString fakeLibraryPath();
QString fakeLibraryWithoutReadSensorPath();
// Path of a stand-in for libnvidia-ml.so.1 with one "NVIDIA GeForce RTX 4070".
QString fakeNvmlPath();

// A sensor source over the fake library as currently scripted.
std::unique_ptr<hwinfo> fakeSource();

// A sensor source over the real library in the program folder.
std::unique_ptr<hwinfo> realSource();

// A machine's /sys and /proc laid out in a temporary folder. The environment variables the
// sensor library reads point at it while the object lives.
class MachineTree
{
public:
    MachineTree();
    ~MachineTree();

    QString sysRoot() const;
    QString procRoot() const;

    // Writes a file below the tree root ("sys/..." or "proc/..."), making its folders.
    void write(const QString& relativePath, const QByteArray& content) const;
    void remove(const QString& relativePath) const;
    // hwmon chip `number` named `name` with files such as {"temp1_input", "42000"}. With a
    // device folder path (relative to sys/), "device" points there.
    void hwmon(int number, const QByteArray& name, const QMap<QString, QByteArray>& files,
               const QString& deviceFolder = QString()) const;
    // DRM card `number` of the PCI device at deviceFolder (relative to sys/), bound to driver, with
    // files in the card's own folder (such as {"gt_cur_freq_mhz", "1300"}).
    void drmCard(int number, const QString& deviceFolder, const QByteArray& driver,
                 const QMap<QString, QByteArray>& cardFiles = {}) const;
    // A powercap RAPL zone such as "intel-rapl:0" named "package-0".
    void raplZone(const QString& zone, const QByteArray& name, quint64 energyUj, quint64 rangeUj) const;
    // CPUs 0..count-1 with cpufreq figures in kHz (none: no cpufreq folders).
    void cpus(int count, const QList<int>& curFreqKHz = {}) const;
    // /proc/stat with a total line and per-CPU lines (user nice system idle iowait irq softirq steal).
    void procStat(const QList<QList<quint64>>& perCpu) const;
    void memInfo(quint64 totalKb, quint64 availableKb) const;
    void cpuInfo(const QByteArray& model, int processors, double mhz = 0) const;

    // Lets the sensor library load NVML from this file (the tree starts with NVML off).
    void useNvml(const QString& file) const;

    // Whole machines.
    static std::unique_ptr<MachineTree> intelDesktop();
    static std::unique_ptr<MachineTree> amdDesktop();
    static std::unique_ptr<MachineTree> laptop();
    // An ITE board chip beside the board's embedded controller (ASUS EC) and an older Kraken.
    static std::unique_ptr<MachineTree> iteAsusBoard();
    // A Ryzen APU laptop (Tctl only, no board chip but the ASUS platform driver) whose integrated
    // GPU has a larger memory carve-out than its discrete Radeon; AMD RAPL.
    static std::unique_ptr<MachineTree> amdApuLaptop();
    // An Intel laptop with integrated graphics (i915, no hwmon), RAPL, and no board chip bound.
    static std::unique_ptr<MachineTree> intelLaptop();
    // A Gigabyte board: IT8688 with its IT8792 companion (listed first), Gigabyte WMI, an ACPI
    // zone, and an NVIDIA card on nouveau.
    static std::unique_ptr<MachineTree> gigabyteBoard();
    // An MSI board with an NCT6687 (labelled inputs), an Intel Arc card beside the CPU's graphics.
    static std::unique_ptr<MachineTree> msiBoard();

private:
    QTemporaryDir m_dir;
    QByteArray m_oldSys, m_oldProc, m_oldNvml, m_oldPciIds;
};

} // namespace SensorFixtures
