#pragma once

// Inside the sensor library: the devices found by Init, their sensor channels, and the sampling
// that SelectDevice runs. No Qt; callers hold the library lock.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vortane_sensors {

// Where a channel's value comes from.
enum class Source
{
    File,         // one sysfs file holding an integer; value = raw * scale
    ProcStatCpu,  // usage of one logical CPU (arg) or of all (arg -1), from /proc/stat deltas
    CpuInfoClock, // "cpu MHz" of processor arg in /proc/cpuinfo
    MemInfo,      // arg: 0 load %, 1 used MB, 2 available MB
    Nvml,         // arg: an NvmlMetric of the device's NVML handle
    EnergyRate    // power from an energy counter file (path, microjoules): the change since the last
                  // sample over the time between them; no value on the first sample
};

struct Channel
{
    int type = 0;
    int classCode = 0;
    int kindCode = 0;
    int subIndex = 0;
    std::string label;
    std::string unit;

    Source source = Source::File;
    std::string path; // Source::File
    double scale = 1.0;
    int arg = 0;
    double minValid = -1e9; // a sample outside [minValid, maxValid] is no reading
    double maxValid = 1e9;
    bool hiddenUntilNonZero = false; // fan headers, unconnected inputs: listed once non-zero
    long long energyRange = 0;       // Source::EnergyRate: the counter wraps to 0 after this (0: never)

    // Current sample.
    bool present = false;
    double value = 0.0;
    bool seenNonZero = false;
    // Source::EnergyRate: the counter at the last sample that read it.
    bool haveEnergy = false;
    long long lastEnergy = 0;
    double lastEnergySeconds = 0.0;
};

struct CpuTimes
{
    uint64_t busy = 0;
    uint64_t total = 0;
};

struct Device
{
    std::string name;
    std::vector<Channel> channels;
    std::map<int, std::vector<size_t>> byType; // type -> channel indexes, in ReadSensor index order
    // Set by SelectDevice (and at first): the next ReadSensor takes a new sample first. A device that
    // is selected but never read is never sampled.
    bool sampleDue = true;

    // Shared inputs read once per sample when a channel needs them.
    bool needsProcStat = false;
    bool needsCpuInfo = false;
    bool needsMemInfo = false;
    void* nvmlHandle = nullptr;

    // /proc/stat state between samples: index 0 is the "cpu" total line, i + 1 is cpu i.
    std::vector<CpuTimes> lastCpuTimes;
    std::vector<double> lastUsage;
};

struct Roots
{
    std::string sys = "/sys";
    std::string proc = "/proc";
};

// File helpers. All return false (or an empty string) for a missing, unreadable, empty or
// malformed file; none of them throws.
bool readTextFile(const std::string& path, std::string& text, size_t limit = 4096);
std::string readTrimmed(const std::string& path);
bool readInteger(const std::string& path, long long& value);
std::vector<std::string> listDirectory(const std::string& path);
bool isDirectory(const std::string& path);
// The path with every symbolic link resolved, or "" when it does not exist.
std::string resolvedPath(const std::string& path);
bool fileExists(const std::string& path);
bool parseInteger(const std::string& text, long long& value);
// Cuts text to at most maxBytes without splitting a UTF-8 sequence.
void truncateUtf8(std::string& text, size_t maxBytes);

struct Machine
{
    std::vector<std::unique_ptr<Device>> devices;
    // No mainboard monitoring chip (Super I/O, embedded controller, WMI board or laptop platform
    // driver) is bound, so board temperatures and fans are missing.
    bool boardChipMissing = false;
};

// Finds every device; the order is CPU, platform sensors, mainboard chips, coolers, memory, GPUs
// (integrated first, then by video memory), drives, others.
Machine discoverMachine(const Roots& roots);

// Reads the device's inputs once and updates every channel's sample. nowSeconds: a monotonic
// clock, used for rates of energy counters.
void sampleDevice(Device& device, const Roots& roots, double nowSeconds);

// Power in watts from two readings of a microjoule counter taken the given seconds apart. range:
// the value after which the counter wraps to 0 (0: it never wraps). False when no figure can be
// given (no time passed, or the counter went back without a known range).
bool energyRate(long long previousMicrojoules, long long nowMicrojoules, long long range, double seconds,
                double& watts);

// Fills byType from channels and makes the labels of one type unique within the device.
void finishDevice(Device& device);

// NVML, loaded at run time. All calls are harmless when NVML is absent.
struct NvmlGpu
{
    void* handle = nullptr;
    std::string name;
};
bool nvmlOpen();
void nvmlClose();
std::vector<NvmlGpu> nvmlDevices();
enum NvmlMetric
{
    NvmlTemperature,
    NvmlGraphicsClock,
    NvmlMemoryClock,
    NvmlGpuLoad,
    NvmlMemoryLoad,
    NvmlPower,
    NvmlFan
};
bool nvmlRead(void* handle, int metric, double& value);

} // namespace vortane_sensors
