#pragma once

// The scripting side of the fake sensor library (libvortane-fake-sensors.so). The library also
// exports the six sensor entry points, serving the devices and records scripted here. A test
// links the library (for these calls) and hands its path to the sensor source, which loads the
// same instance by path.

#include "sensorlib/VortaneSensors.h"

#ifdef __cplusplus
extern "C" {
#endif

// No devices, Init returns 0, call counts 0, generation counting off.
void FakeSensorsReset(void);
void FakeSensorsSetInitResult(int32_t result);
// Adds a device and returns its index.
int32_t FakeSensorsAddDevice(const char* name);
// ReadSensor(type, device, index) returns `result` and copies the record.
void FakeSensorsSetRecord(int32_t device, int32_t type, int32_t index, const VortaneSensorRecord* record,
                          int32_t result);
void FakeSensorsRemoveRecord(int32_t device, int32_t type, int32_t index);
// Calls made to one entry point ("Init", "Close", "DeviceCount", "SelectDevice", "DeviceName",
// "ReadSensor") since the last reset.
int32_t FakeSensorsCallCount(const char* entryPoint);
// The highest sensor index ReadSensor was asked for since the last reset (-1: none).
int32_t FakeSensorsHighestIndexRead(void);
// When on, every SelectDevice(0) starts a new generation and every value served for device 0
// is its record's value plus the generation number.
void FakeSensorsCountGenerations(int32_t on);

#ifdef __cplusplus
}
#endif
