// NVIDIA GPUs through NVML, loaded at run time so that machines without the NVIDIA driver need
// nothing. Only the handful of NVML calls used here are declared; their types follow the public
// NVML reference.

#include "sensorlib/SensorDevices.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

namespace vortane_sensors {

namespace {

using NvmlReturn = int; // nvmlReturn_t; 0 is NVML_SUCCESS
using NvmlDevice = void*;

struct NvmlUtilization
{
    unsigned int gpu;
    unsigned int memory;
};

constexpr unsigned int kNvmlTemperatureGpu = 0; // NVML_TEMPERATURE_GPU
constexpr unsigned int kNvmlClockGraphics = 0;  // NVML_CLOCK_GRAPHICS
constexpr unsigned int kNvmlClockMemory = 2;    // NVML_CLOCK_MEM
constexpr unsigned int kNvmlNameSize = 96;      // NVML_DEVICE_NAME_V2_BUFFER_SIZE

struct NvmlApi
{
    void* library = nullptr;
    NvmlReturn (*init)() = nullptr;
    NvmlReturn (*shutdown)() = nullptr;
    NvmlReturn (*count)(unsigned int*) = nullptr;
    NvmlReturn (*handleByIndex)(unsigned int, NvmlDevice*) = nullptr;
    NvmlReturn (*name)(NvmlDevice, char*, unsigned int) = nullptr;
    NvmlReturn (*temperature)(NvmlDevice, unsigned int, unsigned int*) = nullptr;
    NvmlReturn (*clock)(NvmlDevice, unsigned int, unsigned int*) = nullptr;
    NvmlReturn (*utilization)(NvmlDevice, NvmlUtilization*) = nullptr;
    NvmlReturn (*power)(NvmlDevice, unsigned int*) = nullptr;
    NvmlReturn (*fan)(NvmlDevice, unsigned int*) = nullptr;
};

NvmlApi g_nvml;

template <typename Fn>
void take(Fn& fn, const char* name)
{
    void* symbol = ::dlsym(g_nvml.library, name);
    std::memcpy(&fn, &symbol, sizeof fn);
}

} // namespace

bool nvmlOpen()
{
    nvmlClose();
    const char* file = std::getenv("VORTANE_NVML_LIBRARY");
    if (file == nullptr)
        file = "libnvidia-ml.so.1";
    if (*file == '\0')
        return false;
    g_nvml.library = ::dlopen(file, RTLD_NOW | RTLD_LOCAL);
    if (g_nvml.library == nullptr)
        return false;
    take(g_nvml.init, "nvmlInit_v2");
    take(g_nvml.shutdown, "nvmlShutdown");
    take(g_nvml.count, "nvmlDeviceGetCount_v2");
    take(g_nvml.handleByIndex, "nvmlDeviceGetHandleByIndex_v2");
    take(g_nvml.name, "nvmlDeviceGetName");
    take(g_nvml.temperature, "nvmlDeviceGetTemperature");
    take(g_nvml.clock, "nvmlDeviceGetClockInfo");
    take(g_nvml.utilization, "nvmlDeviceGetUtilizationRates");
    take(g_nvml.power, "nvmlDeviceGetPowerUsage");
    take(g_nvml.fan, "nvmlDeviceGetFanSpeed");
    if (!g_nvml.init || !g_nvml.shutdown || !g_nvml.count || !g_nvml.handleByIndex || !g_nvml.name ||
        g_nvml.init() != 0) {
        ::dlclose(g_nvml.library);
        g_nvml = NvmlApi();
        return false;
    }
    return true;
}

void nvmlClose()
{
    if (g_nvml.library == nullptr)
        return;
    g_nvml.shutdown();
    ::dlclose(g_nvml.library);
    g_nvml = NvmlApi();
}

std::vector<NvmlGpu> nvmlDevices()
{
    std::vector<NvmlGpu> gpus;
    unsigned int count = 0;
    if (g_nvml.library == nullptr || g_nvml.count(&count) != 0)
        return gpus;
    for (unsigned int i = 0; i < count && i < 16; ++i) {
        NvmlGpu gpu;
        char name[kNvmlNameSize] = {};
        if (g_nvml.handleByIndex(i, &gpu.handle) != 0 || g_nvml.name(gpu.handle, name, kNvmlNameSize) != 0)
            continue;
        name[kNvmlNameSize - 1] = '\0';
        gpu.name = name[0] != '\0' ? name : "NVIDIA GPU";
        gpus.push_back(gpu);
    }
    return gpus;
}

bool nvmlRead(void* handle, int metric, double& value)
{
    if (g_nvml.library == nullptr || handle == nullptr)
        return false;
    unsigned int v = 0;
    NvmlUtilization util{};
    switch (metric) {
    case NvmlTemperature:
        if (!g_nvml.temperature || g_nvml.temperature(handle, kNvmlTemperatureGpu, &v) != 0)
            return false;
        value = v;
        return true;
    case NvmlGraphicsClock:
    case NvmlMemoryClock:
        if (!g_nvml.clock ||
            g_nvml.clock(handle, metric == NvmlGraphicsClock ? kNvmlClockGraphics : kNvmlClockMemory, &v) != 0)
            return false;
        value = v;
        return true;
    case NvmlGpuLoad:
    case NvmlMemoryLoad:
        if (!g_nvml.utilization || g_nvml.utilization(handle, &util) != 0)
            return false;
        value = metric == NvmlGpuLoad ? util.gpu : util.memory;
        return true;
    case NvmlPower:
        if (!g_nvml.power || g_nvml.power(handle, &v) != 0)
            return false;
        value = v / 1000.0; // milliwatts
        return true;
    case NvmlFan:
        if (!g_nvml.fan || g_nvml.fan(handle, &v) != 0)
            return false;
        value = v;
        return true;
    default:
        return false;
    }
}

} // namespace vortane_sensors
