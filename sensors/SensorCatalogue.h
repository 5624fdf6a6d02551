#pragma once

#include "types/SensorReading.h"

#include <QHash>
#include <QString>
#include <QStringList>

class QSettings;

// The sensor catalogue: every device's readings by name, the pseudo-device "Default Sensor",
// and the eighteen dashboard slots of the homepage.
//
// Threads: the polling pass writes (on the sensor thread, or on the GUI thread during start-up
// before that thread runs; never two passes at once). It builds each pass into its own tables
// and publishes them whole at the end of the pass under a lock, so readers on any thread see
// the last finished pass and never a half-written entry or slot. The readers return copies.

// One reading per homepage tile; placeholders until a pass writes them.
struct DashboardSlots
{
    SensorReading cpuTemperature;
    SensorReading cpuPackageTemperature;
    SensorReading motherboardTemperature;
    SensorReading chipsetTemperature;
    SensorReading gpuTemperature;
    SensorReading cpuFanSpeed;
    SensorReading aioPump;
    SensorReading vrmHsFan;
    SensorReading chassisFanSpeed;
    SensorReading chassisFanSpeed2; // shown on the VRM fan tile while vrmHsFan is "--"
    SensorReading cpuCoreVoltage;
    SensorReading gpuVoltage;
    SensorReading memoryControllerVoltage;
    SensorReading cpuAverageUsage;
    SensorReading gpuUsage;
    SensorReading ramUsage;
    SensorReading cpuFrequency;
    SensorReading gpuFrequency;
};

// Name of the pseudo-device holding the default overlay sources "CPU Temp", "GPU Temp",
// "CPU Usage" and "RAM Usage".
inline QString defaultSensorName()
{
    return QStringLiteral("Default Sensor");
}

// ---- Readers: any thread ----

// The catalogue of the last finished pass: device name -> entry. Entries are never removed.
QHash<QString, HardwareEntry> sensorCatalogue();

// The dashboard slots of the last finished pass.
DashboardSlots dashboardSlots();

// A copy of the catalogue's reading for the device and sensor, or the placeholder reading when
// either is missing.
SensorReading readingFor(const QString& hardwareName, const QString& sensorName);

// The user's sensor remarks (sensorRemark.ini); opened by the settings store, may be null.
// GUI thread only.
extern QSettings* remarkStore;

// The user's remark for the sensor when one is stored and not empty, else the sensor name.
// GUI thread (reads remarkStore).
QString displayNameFor(const QString& hardwareName, const QString& sensorName);

// The remark store's key of a sensor: device name, "/", sensor name, with every "%" in the two
// names written "%25" and every "/" written "%2F". The settings class reads a "/" in a key as a
// group separator (and merges "//"), so a name holding one would land in another device's group or
// collide with another sensor; names without "%" and "/" keep their plain key.
QString remarkKey(const QString& hardwareName, const QString& sensorName);

// The stored remark of a sensor (empty when none or when the store is not open). A name holding
// "%" or "/" whose escaped key is absent is also looked up under its plain key, as files written
// before the escaping hold it. GUI thread.
QString storedRemark(const QString& hardwareName, const QString& sensorName);

// Writes a sensor's remark under its escaped key; nothing when the store is not open. GUI thread.
void storeRemark(const QString& hardwareName, const QString& sensorName, const QString& remark);

// The units a sensor can be shown with, in this order:
// "°C", "°F", "V", "W", "MHz", "%", "RPM", "KB/s".
const QStringList& unitList();

// Top of the gauge range for a unit ("°C" 100, "V" 10, "MHz" 9000, ...; 100 for any other).
double rangeMaximumFor(const QString& unit);

// True when the sensor library found no mainboard monitoring chip (no Super I/O, embedded
// controller, WMI board or laptop platform driver bound), so board temperatures and fans stay
// empty. Any thread.
bool boardSensorChipMissing();

// Set by the sensor source after the library's Init; logs once when the chip is missing.
void setBoardSensorChipMissing(bool missing);

// ---- The polling pass: called by hwinfo::refresh only, in this order ----

// Clears the per-pass found-flags, sums and counts.
void beginPass();

// Offers one stored reading to the dashboard selection. sensorType is the library's type
// (1 temperature, 2 voltage, 3 fan, 6 clock, 7 usage, 8 other); the reading's temperatures are
// already in the unit shown.
void classify(int sensorType, const SensorReading& reading, int classCode, int kindCode, int subIndex,
              const QString& label, const QString& unit);

// Puts one device's entry into this pass's catalogue, replacing the device's earlier entry.
void storeHardwareEntry(const HardwareEntry& entry);

// Fallbacks and placeholders, the "Default Sensor" entry, then publishes the pass.
void finishPass();

// Back to the program-start state: empty catalogue, placeholder slots. For tests.
void resetSensorCatalogue();
