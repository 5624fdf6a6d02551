#include "device/CompositeUsbDevice.h"
#include "device/SimUsbDevice.h"
#include "device/UsbDeviceFactory.h"

std::unique_ptr<UsbDevice> createPlatformUsbDevice()
{
    return nullptr;
}

std::unique_ptr<UsbDevice> createUsbDevice()
{
    auto device = std::make_unique<CompositeUsbDevice>();
    if (std::unique_ptr<UsbDevice> platform = createPlatformUsbDevice())
        device->addBackend(std::move(platform), [](const QString& path) { return !SimUsbDevice::ownsPath(path); });
    device->addBackend(std::make_unique<SimUsbDevice>(), &SimUsbDevice::ownsPath);
    return device;
}
