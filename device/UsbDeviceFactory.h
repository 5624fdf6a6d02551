#pragma once

#include <memory>

class UsbDevice;

// The platform's own USB backend (libusb on Linux, WinUSB on Windows). Defined once per platform.
std::unique_ptr<UsbDevice> createPlatformUsbDevice();

// The device object the program uses: the platform's backend, with simulated screens listed after
// real devices where the platform has the simulated link. Defined once per platform.
std::unique_ptr<UsbDevice> createUsbDevice();
