#pragma once

// Scripted records for the fake sensor library, and running one pass over them.

#include "sensors/SensorCatalogue.h"
#include "sensors/hwinfo.h"
#include "tests/support/sensors/FakeSensorLibrary.h"
#include "tests/support/sensors/SensorFixtures.h"

#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVector>

struct FakeRecord
{
    int type;
    int classCode;
    int kindCode;
    int subIndex;
    const char* label;
    const char* unit;
    double value;
};
using FakeRecords = QVector<FakeRecord>;
Q_DECLARE_METATYPE(FakeRecords)

// Scripts the records on one device, each at its own sensor index.
inline void scriptDevice(int device, const FakeRecords& records, int firstIndex = 0)
{
    int index = firstIndex;
    for (const FakeRecord& r : records) {
        const VortaneSensorRecord record =
            SensorFixtures::record(r.classCode, r.kindCode, r.subIndex, r.label, r.unit, r.value);
        FakeSensorsSetRecord(device, r.type, index++, &record, 1);
    }
}

inline const QMap<QString, SensorReading DashboardSlots::*>& slotMembers()
{
    static const QMap<QString, SensorReading DashboardSlots::*> members{
        {QStringLiteral("cpuTemperature"), &DashboardSlots::cpuTemperature},
        {QStringLiteral("cpuPackageTemperature"), &DashboardSlots::cpuPackageTemperature},
        {QStringLiteral("motherboardTemperature"), &DashboardSlots::motherboardTemperature},
        {QStringLiteral("chipsetTemperature"), &DashboardSlots::chipsetTemperature},
        {QStringLiteral("gpuTemperature"), &DashboardSlots::gpuTemperature},
        {QStringLiteral("cpuFanSpeed"), &DashboardSlots::cpuFanSpeed},
        {QStringLiteral("aioPump"), &DashboardSlots::aioPump},
        {QStringLiteral("vrmHsFan"), &DashboardSlots::vrmHsFan},
        {QStringLiteral("chassisFanSpeed"), &DashboardSlots::chassisFanSpeed},
        {QStringLiteral("chassisFanSpeed2"), &DashboardSlots::chassisFanSpeed2},
        {QStringLiteral("cpuCoreVoltage"), &DashboardSlots::cpuCoreVoltage},
        {QStringLiteral("gpuVoltage"), &DashboardSlots::gpuVoltage},
        {QStringLiteral("memoryControllerVoltage"), &DashboardSlots::memoryControllerVoltage},
        {QStringLiteral("cpuAverageUsage"), &DashboardSlots::cpuAverageUsage},
        {QStringLiteral("gpuUsage"), &DashboardSlots::gpuUsage},
        {QStringLiteral("ramUsage"), &DashboardSlots::ramUsage},
        {QStringLiteral("cpuFrequency"), &DashboardSlots::cpuFrequency},
        {QStringLiteral("gpuFrequency"), &DashboardSlots::gpuFrequency},
    };
    return members;
}

inline SensorReading slotNamed(const DashboardSlots& dashboard, const QString& name)
{
    return dashboard.*(slotMembers().value(name));
}

inline const QString kDegreesC = QStringLiteral("\u00B0C");
inline const QString kDegreesF = QStringLiteral("\u00B0F");
