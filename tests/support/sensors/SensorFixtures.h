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

private:
    QTemporaryDir m_dir;
    QByteArray m_oldSys, m_oldProc, m_oldNvml, m_oldPciIds;
};

} // namespace SensorFixtures
