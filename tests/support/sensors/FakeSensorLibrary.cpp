// A sensor library with scripted devices and records, standing in for the real one in tests.
// Built twice: complete, and without ReadSensor (FAKE_SENSORS_WITHOUT_READSENSOR).

#include "tests/support/sensors/FakeSensorLibrary.h"

#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Script
{
    std::mutex lock;
    int32_t initResult = 0;
    std::vector<std::string> devices;
    std::map<std::tuple<int, int, int>, std::pair<VortaneSensorRecord, int32_t>> records;
    std::map<std::string, int32_t> calls;
    int32_t highestIndex = -1;
    bool countGenerations = false;
    int32_t generation = 0;
};

Script& script()
{
    static Script s;
    return s;
}

void count(Script& s, const char* entryPoint)
{
    ++s.calls[entryPoint];
}

} // namespace

FAKE_EXPORT void FakeSensorsReset(void)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    s.initResult = 0;
    s.devices.clear();
    s.records.clear();
    s.calls.clear();
    s.highestIndex = -1;
    s.countGenerations = false;
    s.generation = 0;
}

FAKE_EXPORT void FakeSensorsSetInitResult(int32_t result)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    s.initResult = result;
}

FAKE_EXPORT int32_t FakeSensorsAddDevice(const char* name)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    s.devices.emplace_back(name);
    return int32_t(s.devices.size() - 1);
}

FAKE_EXPORT void FakeSensorsSetRecord(int32_t device, int32_t type, int32_t index, const VortaneSensorRecord* record,
                                      int32_t result)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    s.records[{device, type, index}] = {*record, result};
}

FAKE_EXPORT void FakeSensorsRemoveRecord(int32_t device, int32_t type, int32_t index)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    s.records.erase({device, type, index});
}

FAKE_EXPORT int32_t FakeSensorsCallCount(const char* entryPoint)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    const auto it = s.calls.find(entryPoint);
    return it == s.calls.end() ? 0 : it->second;
}

FAKE_EXPORT int32_t FakeSensorsHighestIndexRead(void)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.highestIndex;
}

FAKE_EXPORT void FakeSensorsCountGenerations(int32_t on)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    s.countGenerations = on != 0;
}

FAKE_EXPORT int32_t Init(int32_t version)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    count(s, "Init");
    return version == VORTANE_SENSORS_VERSION ? s.initResult : 99;
}

FAKE_EXPORT void Close(void)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    count(s, "Close");
}

FAKE_EXPORT int32_t DeviceCount(void)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    count(s, "DeviceCount");
    return int32_t(s.devices.size());
}

FAKE_EXPORT int32_t SelectDevice(int32_t device)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    count(s, "SelectDevice");
    if (device == 0 && s.countGenerations)
        ++s.generation;
    return 0;
}

FAKE_EXPORT int32_t DeviceName(int32_t device, char* buffer, int32_t size)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    count(s, "DeviceName");
    if (device < 0 || size_t(device) >= s.devices.size() || size <= 0)
        return -1;
    const std::string& name = s.devices[size_t(device)];
    const size_t n = std::min(name.size(), size_t(size - 1));
    std::memcpy(buffer, name.data(), n);
    buffer[n] = '\0';
    return 0;
}

#ifndef FAKE_SENSORS_WITHOUT_READSENSOR
FAKE_EXPORT int32_t ReadSensor(int32_t type, int32_t device, int32_t index, VortaneSensorRecord* record)
{
    Script& s = script();
    std::lock_guard<std::mutex> guard(s.lock);
    count(s, "ReadSensor");
    s.highestIndex = std::max(s.highestIndex, index);
    const auto it = s.records.find({device, type, index});
    if (it == s.records.end())
        return 0;
    *record = it->second.first;
    if (device == 0 && s.countGenerations)
        record->value += s.generation;
    return it->second.second;
}
#endif
