#include "device/UsbDeviceFactory.h"
#include "device/windows/WinUsbDevice.h"

std::unique_ptr<UsbDevice> createPlatformUsbDevice()
{
    return std::make_unique<WinUsbDevice>();
}

// Simulated screens speak over Unix sockets and are not offered here.
std::unique_ptr<UsbDevice> createUsbDevice()
{
    return createPlatformUsbDevice();
}
