#include "device/CompositeUsbDevice.h"
#include "device/SimUsbDevice.h"
#include "device/UsbDeviceFactory.h"
#include "device/linux/LibusbUsbDevice.h"

std::unique_ptr<UsbDevice> createPlatformUsbDevice()
{
    return std::make_unique<LibusbUsbDevice>();
}

std::unique_ptr<UsbDevice> createUsbDevice()
{
    auto device = std::make_unique<CompositeUsbDevice>();
    device->addBackend(createPlatformUsbDevice(), [](const QString& path) { return !SimUsbDevice::ownsPath(path); });
    device->addBackend(std::make_unique<SimUsbDevice>(), &SimUsbDevice::ownsPath);
    return device;
}
