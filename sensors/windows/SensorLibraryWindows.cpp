// The Windows sensor library "HWiNFO64.dll", with its six entry points taken by ordinal. Win32
// only, no Qt, so that it compiles with the MinGW cross compiler.

#include "sensors/SensorLibrary.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

// Ordinals of the entry points in HWiNFO64.dll.
constexpr WORD kOrdinalInit = 721;
constexpr WORD kOrdinalClose = 391;
constexpr WORD kOrdinalDeviceCount = 606;
constexpr WORD kOrdinalSelectDevice = 855;
constexpr WORD kOrdinalDeviceName = 379;
constexpr WORD kOrdinalReadSensor = 428;

class Win32SensorLibrary final : public SensorLibrary
{
public:
    Win32SensorLibrary(HMODULE module, const std::string& fileName)
        : m_module(module)
    {
        m_fileName = fileName;
        take(m_entryPoints.Init, kOrdinalInit);
        take(m_entryPoints.Close, kOrdinalClose);
        take(m_entryPoints.DeviceCount, kOrdinalDeviceCount);
        take(m_entryPoints.SelectDevice, kOrdinalSelectDevice);
        take(m_entryPoints.DeviceName, kOrdinalDeviceName);
        take(m_entryPoints.ReadSensor, kOrdinalReadSensor);
    }
    ~Win32SensorLibrary() override { ::FreeLibrary(m_module); }

private:
    template <typename Fn>
    void take(Fn& fn, WORD ordinal)
    {
        const FARPROC symbol = ::GetProcAddress(m_module, MAKEINTRESOURCEA(ordinal));
        static_assert(sizeof fn == sizeof symbol, "entry points are plain function pointers");
        std::memcpy(&fn, &symbol, sizeof fn);
    }

    HMODULE m_module;
};

std::wstring widen(const std::string& utf8)
{
    if (utf8.empty())
        return std::wstring();
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    if (size <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), &wide[0], size);
    return wide;
}

} // namespace

std::unique_ptr<SensorLibrary> openSensorLibraryFile(const std::string& path)
{
    const std::wstring wide = widen(path);
    if (wide.empty())
        return nullptr;
    const HMODULE module = ::LoadLibraryW(wide.c_str());
    if (module == nullptr)
        return nullptr;
    return std::make_unique<Win32SensorLibrary>(module, path);
}

std::unique_ptr<SensorLibrary> openSensorLibrary(const std::string& programDir)
{
    (void)programDir; // the normal search order already starts with the program's folder
    return openSensorLibraryFile("HWiNFO64.dll");
}
