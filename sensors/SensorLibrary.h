#pragma once

// The loader of the external sensor library. No Qt here, so that the Windows loader compiles
// against Win32 alone. The library's calls are made only through these entry points, by the
// sensor source (hwinfo), never from two threads at once.

#include "sensorlib/VortaneSensors.h"

#include <memory>
#include <string>

// The six entry points as loaded; any of them is null when the library lacks it. MachineFlags is
// optional: only the Linux library has it, and its absence is no failure.
struct SensorEntryPoints
{
    VortaneInitFn Init = nullptr;
    VortaneCloseFn Close = nullptr;
    VortaneDeviceCountFn DeviceCount = nullptr;
    VortaneSelectDeviceFn SelectDevice = nullptr;
    VortaneDeviceNameFn DeviceName = nullptr;
    VortaneReadSensorFn ReadSensor = nullptr;
    VortaneMachineFlagsFn MachineFlags = nullptr;

    bool complete() const { return Init && Close && DeviceCount && SelectDevice && DeviceName && ReadSensor; }
};

// A loaded library file; unloads it when destroyed (after the owner has called Close).
class SensorLibrary
{
public:
    SensorLibrary() = default;
    SensorLibrary(const SensorLibrary&) = delete;
    SensorLibrary& operator=(const SensorLibrary&) = delete;
    virtual ~SensorLibrary() = default;

    const SensorEntryPoints& entryPoints() const { return m_entryPoints; }
    // The file that was loaded, as the platform names it (for the log).
    const std::string& fileName() const { return m_fileName; }

protected:
    SensorEntryPoints m_entryPoints;
    std::string m_fileName;
};

// The platform's sensor library. Linux: libvortane-sensors.so from programDir (UTF-8), then
// from programDir/../lib/vortane-screen, then by plain file name through the loader's search
// path; entry points by name. Windows: "HWiNFO64.dll" by plain file name (normal search order,
// which starts with the program folder); entry points by ordinal. Null when no file loads.
std::unique_ptr<SensorLibrary> openSensorLibrary(const std::string& programDir);

// One library file by path, entry points taken as openSensorLibrary takes them. Null when the
// file does not load.
std::unique_ptr<SensorLibrary> openSensorLibraryFile(const std::string& path);
