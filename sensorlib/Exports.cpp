// The six entry points of libvortane-sensors and the optional MachineFlags. Everything else in the
// library is hidden.

#include "sensorlib/SensorDevices.h"
#include "sensorlib/VortaneSensors.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>

#define VORTANE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

using namespace vortane_sensors;

struct LibraryState
{
    std::mutex lock;
    Roots roots;
    std::vector<std::unique_ptr<Device>> devices;
    int32_t machineFlags = 0;
};

double monotonicSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

LibraryState& state()
{
    static LibraryState s;
    return s;
}

std::string rootFromEnvironment(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    std::string root = value != nullptr && *value != '\0' ? value : fallback;
    while (root.size() > 1 && root.back() == '/')
        root.pop_back();
    return root;
}

void copyText(char* field, size_t size, const std::string& text)
{
    std::string cut = text;
    truncateUtf8(cut, size - 1);
    std::memset(field, 0, size);
    std::memcpy(field, cut.data(), cut.size());
}

Device* deviceAt(int32_t index)
{
    LibraryState& s = state();
    if (index < 0 || size_t(index) >= s.devices.size())
        return nullptr;
    return s.devices[size_t(index)].get();
}

} // namespace

VORTANE_EXPORT int32_t Init(int32_t version)
{
    if (version != VORTANE_SENSORS_VERSION)
        return 1;
    LibraryState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.devices.clear();
    s.machineFlags = 0;
    nvmlClose();
    s.roots.sys = rootFromEnvironment("VORTANE_SYSFS_ROOT", "/sys");
    s.roots.proc = rootFromEnvironment("VORTANE_PROCFS_ROOT", "/proc");
    nvmlOpen();
    Machine machine = discoverMachine(s.roots);
    s.devices = std::move(machine.devices);
    s.machineFlags = machine.boardChipMissing ? VORTANE_MACHINE_NO_BOARD_CHIP : 0;
    return 0;
}

VORTANE_EXPORT void Close(void)
{
    LibraryState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    s.devices.clear();
    s.machineFlags = 0;
    nvmlClose();
}

VORTANE_EXPORT int32_t DeviceCount(void)
{
    LibraryState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return int32_t(s.devices.size());
}

VORTANE_EXPORT int32_t SelectDevice(int32_t device)
{
    LibraryState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    Device* d = deviceAt(device);
    if (d == nullptr)
        return -1;
    d->sampleDue = true; // sampled by the first ReadSensor, so devices never read are never woken
    return 0;
}

VORTANE_EXPORT int32_t DeviceName(int32_t device, char* buffer, int32_t size)
{
    if (buffer == nullptr || size <= 0)
        return -1;
    LibraryState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    const Device* d = deviceAt(device);
    copyText(buffer, size_t(size), d != nullptr ? d->name : std::string());
    return d != nullptr ? 0 : -1;
}

VORTANE_EXPORT int32_t ReadSensor(int32_t type, int32_t device, int32_t index, VortaneSensorRecord* record)
{
    if (record == nullptr || index < 0 || index >= VORTANE_SENSORS_MAX_INDEX)
        return 0;
    LibraryState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    Device* d = deviceAt(device);
    if (d == nullptr)
        return 0;
    const auto list = d->byType.find(type);
    if (list == d->byType.end() || size_t(index) >= list->second.size())
        return 0;
    if (d->sampleDue)
        sampleDevice(*d, s.roots, monotonicSeconds());
    const Channel& c = d->channels[list->second[size_t(index)]];
    if (!c.present)
        return 0;
    std::memset(record, 0, sizeof *record);
    record->valid = 1;
    record->value = c.value;
    copyText(record->unit, sizeof record->unit, c.unit);
    record->classCode = c.classCode;
    record->kindCode = c.kindCode;
    copyText(record->label, sizeof record->label, c.label);
    record->subIndex = c.subIndex;
    return 1;
}

VORTANE_EXPORT int32_t MachineFlags(void)
{
    LibraryState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.machineFlags;
}
