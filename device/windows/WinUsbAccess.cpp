#include "device/windows/WinUsbAccess.h"

#include "device/DevicePathRules.h"

#include <windows.h>

#include <dbt.h>
#include <setupapi.h>
#include <winusb.h>

#include <cstring>
#include <memory>

namespace WinUsbAccess {

namespace {

// {88BAE032-5A81-49F0-BC3D-A4FF138216D6}: the device interface class of the screen controller.
const GUID kInterfaceClass = {0x88BAE032, 0x5A81, 0x49F0, {0xBC, 0x3D, 0xA4, 0xFF, 0x13, 0x82, 0x16, 0xD6}};

constexpr DWORD kDetailBufferBytes = 1024;
constexpr DWORD kNameBufferBytes = 520;
constexpr ULONG kDeviceSpeedQuery = 1; // DEVICE_SPEED

struct DeviceInfoSetCloser
{
    void operator()(void* set) const { SetupDiDestroyDeviceInfoList(static_cast<HDEVINFO>(set)); }
};

struct EventCloser
{
    void operator()(void* event) const { CloseHandle(static_cast<HANDLE>(event)); }
};

std::string narrowed(const std::wstring& text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text)
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

bool readName(HDEVINFO set, SP_DEVINFO_DATA* info, DWORD property, std::wstring* name)
{
    wchar_t buffer[kNameBufferBytes / sizeof(wchar_t)] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(set, info, property, nullptr, reinterpret_cast<PBYTE>(buffer),
                                           sizeof buffer - sizeof(wchar_t), nullptr))
        return false;
    *name = buffer;
    return true;
}

} // namespace

std::wstring upperCased(std::wstring path)
{
    for (wchar_t& c : path) {
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
    }
    return path;
}

std::vector<FoundDevice> enumerate()
{
    std::vector<FoundDevice> found;
    HDEVINFO rawSet = SetupDiGetClassDevsW(&kInterfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (rawSet == INVALID_HANDLE_VALUE)
        return found;
    const std::unique_ptr<void, DeviceInfoSetCloser> set(rawSet);

    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA info{};
        info.cbSize = sizeof info;
        if (!SetupDiEnumDeviceInfo(rawSet, index, &info))
            break;
        std::wstring name;
        if (!readName(rawSet, &info, SPDRP_FRIENDLYNAME, &name))
            readName(rawSet, &info, SPDRP_DEVICEDESC, &name);
        if (name == L"xxx")
            continue;

        SP_DEVICE_INTERFACE_DATA interfaceData{};
        interfaceData.cbSize = sizeof interfaceData;
        if (!SetupDiEnumDeviceInterfaces(rawSet, nullptr, &kInterfaceClass, index, &interfaceData))
            break;
        alignas(8) unsigned char detailBuffer[kDetailBufferBytes] = {};
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(detailBuffer);
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!SetupDiGetDeviceInterfaceDetailW(rawSet, &interfaceData, detail, kDetailBufferBytes - sizeof(wchar_t),
                                              nullptr, nullptr))
            break;
        const std::wstring path = upperCased(detail->DevicePath);
        if (DevicePathRules::isScreenPath(narrowed(path)))
            found.push_back(FoundDevice{path, name});
    }
    return found;
}

Link::~Link()
{
    close();
}

bool Link::open(const std::wstring& path)
{
    close();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        m_lastError = GetLastError();
        return false;
    }
    WINUSB_INTERFACE_HANDLE usb = nullptr;
    bool ok = WinUsb_Initialize(file, &usb) != FALSE;
    UCHAR speed = 0;
    ULONG speedLength = sizeof speed;
    ok = ok && WinUsb_QueryDeviceInformation(usb, kDeviceSpeedQuery, &speedLength, &speed);
    USB_INTERFACE_DESCRIPTOR setting{};
    ok = ok && WinUsb_QueryInterfaceSettings(usb, 0, &setting);
    std::uint8_t in = 0;
    std::uint8_t out = 0;
    for (UCHAR i = 0; ok && i < setting.bNumEndpoints; ++i) {
        WINUSB_PIPE_INFORMATION pipe{};
        ok = WinUsb_QueryPipe(usb, 0, i, &pipe) != FALSE;
        if (!ok || pipe.PipeType != UsbdPipeTypeBulk)
            continue;
        if (USB_ENDPOINT_DIRECTION_IN(pipe.PipeId))
            in = pipe.PipeId;
        else
            out = pipe.PipeId;
    }
    if (!ok || in == 0 || out == 0) {
        m_lastError = ok ? ERROR_NOT_SUPPORTED : GetLastError();
        if (usb)
            WinUsb_Free(usb);
        CloseHandle(file);
        return false;
    }
    m_file = file;
    m_inPipe = in;
    m_outPipe = out;
    m_lastError = 0;
    m_usb.store(usb, std::memory_order_release);
    return true;
}

void Link::close()
{
    if (void* usb = m_usb.exchange(nullptr, std::memory_order_acq_rel))
        WinUsb_Free(static_cast<WINUSB_INTERFACE_HANDLE>(usb));
    if (m_file) {
        CloseHandle(static_cast<HANDLE>(m_file));
        m_file = nullptr;
    }
}

int Link::write(const std::uint8_t* data, unsigned long length, const KeepGoing& keepGoing)
{
    // WinUSB does not write through a const pointer, but an OUT transfer never changes the buffer.
    return transfer(true, const_cast<std::uint8_t*>(data), length, keepGoing);
}

int Link::read(std::uint8_t* buffer, const KeepGoing& keepGoing)
{
    return transfer(false, buffer, kMaxReadSize, keepGoing);
}

int Link::transfer(bool isWrite, std::uint8_t* data, unsigned long length, const KeepGoing& keepGoing)
{
    auto usb = static_cast<WINUSB_INTERFACE_HANDLE>(m_usb.load(std::memory_order_acquire));
    if (!usb)
        return -1;
    HANDLE rawEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!rawEvent)
        return -1;
    const std::unique_ptr<void, EventCloser> event(rawEvent);
    OVERLAPPED overlapped{};
    overlapped.hEvent = rawEvent;
    const UCHAR pipe = isWrite ? m_outPipe : m_inPipe;
    const BOOL started = isWrite ? WinUsb_WritePipe(usb, pipe, data, length, nullptr, &overlapped)
                                 : WinUsb_ReadPipe(usb, pipe, data, length, nullptr, &overlapped);
    if (!started && GetLastError() != ERROR_IO_PENDING)
        return -1;
    // The transfer runs without a pipe time-out, so a frame is never cut short while the device
    // takes it; the wait is sliced so a thread that is told to stop can abort it.
    for (;;) {
        const DWORD waited = WaitForSingleObject(rawEvent, kTransferSliceMs);
        if (waited == WAIT_OBJECT_0)
            break;
        if (waited != WAIT_TIMEOUT || !keepGoing()) {
            WinUsb_AbortPipe(usb, pipe);
            DWORD ignored = 0;
            WinUsb_GetOverlappedResult(usb, &overlapped, &ignored, TRUE);
            return -1;
        }
    }
    DWORD transferred = 0;
    if (!WinUsb_GetOverlappedResult(usb, &overlapped, &transferred, FALSE))
        return -1;
    return isWrite ? 1 : static_cast<int>(transferred);
}

bool registerNotifications(void* window)
{
    DEV_BROADCAST_DEVICEINTERFACE_W filter{};
    filter.dbcc_size = sizeof filter;
    filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    filter.dbcc_classguid = kInterfaceClass;
    return RegisterDeviceNotificationW(static_cast<HWND>(window), &filter, DEVICE_NOTIFY_WINDOW_HANDLE) != nullptr;
}

int deviceChangeKind(const void* message)
{
    const auto* msg = static_cast<const MSG*>(message);
    if (!msg || msg->message != WM_DEVICECHANGE || msg->lParam == 0)
        return 0;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(msg->lParam);
    if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return 0;
    if (msg->wParam == DBT_DEVICEARRIVAL)
        return 1;
    if (msg->wParam == DBT_DEVICEREMOVECOMPLETE)
        return 2;
    return 0;
}

} // namespace WinUsbAccess
