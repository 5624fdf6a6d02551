// A stand-in for libnvidia-ml.so.1 with one GPU and fixed figures, for the sensor library's NVML
// path. Only the calls the library makes exist.

#include <cstring>

#define NVML_EXPORT extern "C" __attribute__((visibility("default")))

namespace {
int g_device = 0; // the one handle handed out
}

struct FakeUtilization
{
    unsigned int gpu;
    unsigned int memory;
};

NVML_EXPORT int nvmlInit_v2()
{
    return 0;
}

NVML_EXPORT int nvmlShutdown()
{
    return 0;
}

NVML_EXPORT int nvmlDeviceGetCount_v2(unsigned int* count)
{
    *count = 1;
    return 0;
}

NVML_EXPORT int nvmlDeviceGetHandleByIndex_v2(unsigned int index, void** device)
{
    if (index != 0)
        return 2; // NVML_ERROR_INVALID_ARGUMENT
    *device = &g_device;
    return 0;
}

NVML_EXPORT int nvmlDeviceGetName(void* device, char* name, unsigned int length)
{
    if (device != &g_device || length < 24)
        return 2;
    std::strcpy(name, "NVIDIA GeForce RTX 4070");
    return 0;
}

NVML_EXPORT int nvmlDeviceGetTemperature(void*, unsigned int sensor, unsigned int* temperature)
{
    *temperature = 55;
    return sensor == 0 ? 0 : 2;
}

NVML_EXPORT int nvmlDeviceGetClockInfo(void*, unsigned int type, unsigned int* clock)
{
    *clock = type == 0 ? 2475 : type == 2 ? 10501 : 0;
    return 0;
}

NVML_EXPORT int nvmlDeviceGetUtilizationRates(void*, FakeUtilization* utilization)
{
    utilization->gpu = 63;
    utilization->memory = 20;
    return 0;
}

NVML_EXPORT int nvmlDeviceGetPowerUsage(void*, unsigned int* milliwatts)
{
    *milliwatts = 187500;
    return 0;
}

NVML_EXPORT int nvmlDeviceGetFanSpeed(void*, unsigned int*)
{
    return 3; // NVML_ERROR_NOT_SUPPORTED: a card without fan control
}
