#pragma once

// The screen controller through SetupAPI and WinUSB, in Win32 and standard C++ alone (no Qt), so
// the Windows cross compiler can check it on any machine. WinUsbDevice wraps it for the program.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace WinUsbAccess {

// Asked while a transfer waits, once per slice: true while the calling thread is meant to run.
using KeepGoing = std::function<bool()>;

// Transfers wait in slices of this length before asking their KeepGoing.
constexpr unsigned long kTransferSliceMs = 200;
constexpr int kMaxReadSize = 512;

struct FoundDevice
{
    std::wstring path; // upper-case device interface path
    std::wstring name; // friendly name, or the device description when there is none
};

// Present devices of the screen's interface class whose path names VID 0x3767 / PID 0x7791, in
// enumeration order. Names exactly "xxx" are skipped; a device whose interface path cannot be
// read ends the enumeration.
std::vector<FoundDevice> enumerate();

// Upper-cases the ASCII letters of a path.
std::wstring upperCased(std::wstring path);

// One opened device. Open, close: GUI thread. Transfers: one device thread at a time, only
// while open; close only after those threads have stopped.
class Link
{
public:
    Link() = default;
    ~Link();
    Link(const Link&) = delete;
    Link& operator=(const Link&) = delete;

    // Opens the interface path and finds the bulk pipes of alternate setting 0 (IN: id with bit 7
    // set; the last pipe of each direction wins). On failure everything is released again and
    // lastError() holds the Win32 error code.
    bool open(const std::wstring& path);
    bool isOpen() const { return m_usb.load(std::memory_order_acquire) != nullptr; }
    void close();
    unsigned long lastError() const { return m_lastError; }

    // One bulk write of the whole buffer: 1 on success, -1 on failure or when given up.
    int write(const std::uint8_t* data, unsigned long length, const KeepGoing& keepGoing);
    // One bulk read of at most kMaxReadSize bytes: the count, or -1.
    int read(std::uint8_t* buffer, const KeepGoing& keepGoing);

private:
    int transfer(bool isWrite, std::uint8_t* data, unsigned long length, const KeepGoing& keepGoing);

    void* m_file = nullptr;            // HANDLE; nullptr when closed
    std::atomic<void*> m_usb{nullptr}; // WINUSB_INTERFACE_HANDLE
    std::uint8_t m_inPipe = 0;
    std::uint8_t m_outPipe = 0;
    unsigned long m_lastError = 0;
};

// Registers the window for arrival and removal messages of the screen's interface class. The
// registration lasts as long as the window.
bool registerNotifications(void* window);

// What a window message says: 1 an interface of the class arrived, 2 one was removed, 0 neither.
// message is the MSG the native event hook received.
int deviceChangeKind(const void* message);

} // namespace WinUsbAccess
