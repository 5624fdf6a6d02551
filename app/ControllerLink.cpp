#include "app/DeviceLink.h"

#include "device/UsbDevice.h"
#include "device/WINUSB_MAIN_CTRL.h"

#include <QGuiApplication>
#include <QWidget>

namespace {

// The device controller behind the main window's view of it.
class ControllerLink final : public DeviceLink
{
public:
    explicit ControllerLink(QObject* parent)
        : DeviceLink(parent)
    {
        connect(controller.streamer(), &USB_DATA_CTRL::haveNoPacket, this, &DeviceLink::haveNoPacket);
        connect(controller.usbDevice(), &UsbDevice::deviceArrived, this, &DeviceLink::deviceArrived);
        connect(&controller, &WINUSB_MAIN_CTRL::deviceRemovalNoticed, this, &DeviceLink::deviceRemoved);
        connect(&controller, &WINUSB_MAIN_CTRL::burnMcuProgress, this, &DeviceLink::burnMcuProgress);
        connect(&controller, &WINUSB_MAIN_CTRL::deviceLost, this, &DeviceLink::deviceLost);
        connect(&controller, &WINUSB_MAIN_CTRL::permissionDenied, this, [this](const QString& devicePath) {
            emit permissionDenied(devicePath, UsbDevice::permissionProblemText());
        });
    }

    void openFirstDevice() override { controller.openFirstDevice(); }
    void closeDevice() override { controller.closeDevice(); }
    bool isOpen() const override { return controller.isOpen(); }
    int deviceMode() const override { return controller.deviceMode(); }
    QString firmwareVersion() const override { return controller.firmwareVersion(); }
    bool openDeviceStillPresent() const override { return controller.usbDevice()->openDeviceStillPresent(); }
    void pushFrame(const QByteArray& frame) override { controller.pushFrame(frame); }
    int enterUpdateMode() override { return controller.enterUpdateMode(); }
    int returnToNormalMode() override { return controller.returnToNormalMode(); }
    int writeFirmwareFile(const QString& path) override { return controller.writeFirmwareFile(path); }
    void registerNotifications(QWidget* window) override
    {
        // Only Windows delivers device notifications to a window; elsewhere asking for a native
        // handle would needlessly turn the embedded main window into a native child window.
        const bool windowMessages = QGuiApplication::platformName() == QLatin1String("windows");
        controller.usbDevice()->registerNotifications(windowMessages && window != nullptr ? quintptr(window->winId())
                                                                                          : quintptr(0));
    }
    bool handleNativeEvent(const QByteArray& eventType, void* message) override
    {
        return controller.usbDevice()->handleNativeEvent(eventType, message);
    }

private:
    // mutable: the const queries of the link ask the device object, whose listing is not const.
    mutable WINUSB_MAIN_CTRL controller;
};

} // namespace

std::unique_ptr<DeviceLink> DeviceLink::createControllerLink(QObject* parent)
{
    return std::make_unique<ControllerLink>(parent);
}
