#pragma once

#include "sensors/SensorReading.h"

class QSettings;

// The user's sensor remarks (sensorRemark.ini); opened by the settings store, may be null.
extern QSettings* remarkStore;

// A copy of the catalogue's reading for the device and sensor, or the placeholder reading.
// GUI thread.
SensorReading readingFor(const QString& hardwareName, const QString& sensorName);

// The user's remark for the sensor when one is stored and not empty, else the sensor name.
QString displayNameFor(const QString& hardwareName, const QString& sensorName);

// Top of the gauge range for a unit ("°C" 100, "V" 10, "MHz" 9000, ...).
double rangeMaximumFor(const QString& unit);
