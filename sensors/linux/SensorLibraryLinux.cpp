#include "sensors/SensorLibrary.h"

#include <dlfcn.h>

#include <cstring>

namespace {

class DlSensorLibrary final : public SensorLibrary
{
public:
    DlSensorLibrary(void* handle, const std::string& fileName)
        : m_handle(handle)
    {
        m_fileName = fileName;
        take(m_entryPoints.Init, "Init");
        take(m_entryPoints.Close, "Close");
        take(m_entryPoints.DeviceCount, "DeviceCount");
        take(m_entryPoints.SelectDevice, "SelectDevice");
        take(m_entryPoints.DeviceName, "DeviceName");
        take(m_entryPoints.ReadSensor, "ReadSensor");
        take(m_entryPoints.MachineFlags, "MachineFlags");
    }
    ~DlSensorLibrary() override { ::dlclose(m_handle); }

private:
    template <typename Fn>
    void take(Fn& fn, const char* name)
    {
        void* symbol = ::dlsym(m_handle, name);
        static_assert(sizeof fn == sizeof symbol, "function and data pointers have one size here");
        std::memcpy(&fn, &symbol, sizeof fn);
    }

    void* m_handle;
};

} // namespace

std::unique_ptr<SensorLibrary> openSensorLibraryFile(const std::string& path)
{
    // RTLD_LOCAL: the library's generic entry point names (Init, Close, ...) stay out of the
    // global symbol namespace.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr)
        return nullptr;
    return std::make_unique<DlSensorLibrary>(handle, path);
}

std::unique_ptr<SensorLibrary> openSensorLibrary(const std::string& programDir)
{
    static const char kFileName[] = "libvortane-sensors.so";
    if (!programDir.empty()) {
        for (const std::string& path :
             {programDir + "/" + kFileName, programDir + "/../lib/vortane-screen/" + kFileName})
            if (auto library = openSensorLibraryFile(path))
                return library;
    }
    return openSensorLibraryFile(kFileName);
}
