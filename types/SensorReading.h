#pragma once

#include <QHash>
#include <QString>

// One sensor value as every consumer sees it. A default-constructed reading is the placeholder
// shown when a sensor is missing.
struct SensorReading
{
    QString hardwareName;                      // full device name
    QString sensorName = QStringLiteral("--"); // the sensor's label
    QString valueText = QStringLiteral("- -"); // value formatted for display
    double value = 0.0;                        // value as a number, after temperature conversion
    QString unit;                              // unit shown right after valueText
};

// One device of the catalogue with its sensors by name.
struct HardwareEntry
{
    QString name;
    QHash<QString, SensorReading> sensors;
};
