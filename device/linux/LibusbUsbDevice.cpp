#include "device/linux/LibusbUsbDevice.h"

#include "device/DeviceLog.h"
#include "device/DevicePathRules.h"
#include "device/Packets.h"

#include <QSet>
#include <QThread>

#include <libusb.h>

#include <climits>

namespace {

struct DeviceListDeleter
{
    void operator()(libusb_device** list) const { libusb_free_device_list(list, 1); }
};
using DeviceList = std::unique_ptr<libusb_device*, DeviceListDeleter>;

struct ConfigDeleter
{
    void operator()(libusb_config_descriptor* config) const { libusb_free_config_descriptor(config); }
};

bool isScreen(libusb_device* device)
{
    libusb_device_descriptor descriptor{};
    return libusb_get_device_descriptor(device, &descriptor) == 0 &&
           descriptor.idVendor == DevicePathRules::kScreenVid && descriptor.idProduct == DevicePathRules::kScreenPid;
}

QString errorText(int code)
{
    return QString::fromUtf8(libusb_strerror(code));
}

int LIBUSB_CALL hotplugCallback(libusb_context*, libusb_device*, libusb_hotplug_event event, void* self)
{
    auto* device = static_cast<LibusbUsbDevice*>(self);
    // Event thread: the signals are delivered to the GUI thread's receivers queued.
    if (event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED)
        emit device->deviceArrived();
    else
        emit device->deviceRemoved();
    return 0;
}

} // namespace

void LibusbUsbDevice::ContextDeleter::operator()(libusb_context* context) const
{
    libusb_exit(context);
}

void LibusbUsbDevice::HandleDeleter::operator()(libusb_device_handle* handle) const
{
    libusb_close(handle);
}

LibusbUsbDevice::LibusbUsbDevice(QObject* parent)
    : UsbDevice(parent)
{
    libusb_context* context = nullptr;
    const int result = libusb_init(&context);
    if (result != 0) {
        qCWarning(lcDevice) << "USB access unavailable:" << errorText(result);
        return;
    }
    m_context.reset(context);
}

LibusbUsbDevice::~LibusbUsbDevice()
{
    stopEventThread();
    close();
}

QString LibusbUsbDevice::pathOf(libusb_device* device)
{
    libusb_device_descriptor descriptor{};
    libusb_get_device_descriptor(device, &descriptor);
    std::uint8_t ports[8];
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    QStringList portText;
    for (int i = 0; i < depth; ++i)
        portText << QString::number(ports[i]);
    const QString path = QStringLiteral("USB:VID_%1&PID_%2#BUS_%3#PORT_%4")
                             .arg(descriptor.idVendor, 4, 16, QLatin1Char('0'))
                             .arg(descriptor.idProduct, 4, 16, QLatin1Char('0'))
                             .arg(libusb_get_bus_number(device), 3, 10, QLatin1Char('0'))
                             .arg(depth > 0 ? portText.join(QLatin1Char('.')) : QStringLiteral("0"));
    return path.toUpper();
}

QList<UsbDeviceInfo> LibusbUsbDevice::listDevices()
{
    QList<UsbDeviceInfo> found;
    if (!m_context)
        return found;
    libusb_device** raw = nullptr;
    const ssize_t count = libusb_get_device_list(m_context.get(), &raw);
    if (count < 0)
        return found;
    const DeviceList list(raw);
    QSet<QString> present;
    for (ssize_t i = 0; i < count; ++i) {
        libusb_device* device = raw[i];
        if (!isScreen(device))
            continue;
        const QString path = pathOf(device);
        if (!DevicePathRules::isScreenPath(path.toStdString()))
            continue;
        present.insert(path);
        UsbDeviceInfo info{path, QString(), QString()};
        auto cached = m_names.constFind(path);
        if (cached != m_names.constEnd()) {
            info.name = *cached;
        } else {
            libusb_device_handle* handle = nullptr;
            const int opened = libusb_open(device, &handle);
            if (opened == 0) {
                const std::unique_ptr<libusb_device_handle, HandleDeleter> owned(handle);
                libusb_device_descriptor descriptor{};
                libusb_get_device_descriptor(device, &descriptor);
                unsigned char text[256] = {};
                if (descriptor.iProduct != 0) {
                    const int n = libusb_get_string_descriptor_ascii(handle, descriptor.iProduct, text, sizeof text);
                    if (n > 0)
                        info.name = QString::fromLatin1(reinterpret_cast<const char*>(text), n);
                }
                m_names.insert(path, info.name);
            } else if (opened == LIBUSB_ERROR_ACCESS) {
                info.problem = permissionProblemText();
            } else {
                info.problem = errorText(opened);
            }
        }
        if (info.name == QLatin1String("xxx"))
            continue;
        found << info;
    }
    // Forget the names of devices that left: another device may take their port.
    for (auto it = m_names.begin(); it != m_names.end();) {
        if (present.contains(it.key()))
            ++it;
        else
            it = m_names.erase(it);
    }
    return found;
}

bool LibusbUsbDevice::open(const QString& path)
{
    close();
    if (!m_context) {
        setLastError(tr("USB access is not available."));
        return false;
    }
    libusb_device** raw = nullptr;
    const ssize_t count = libusb_get_device_list(m_context.get(), &raw);
    if (count < 0) {
        setLastError(errorText(int(count)));
        return false;
    }
    const DeviceList list(raw);
    for (ssize_t i = 0; i < count; ++i) {
        if (isScreen(raw[i]) && pathOf(raw[i]) == path)
            return openHandle(raw[i], path);
    }
    setLastError(noDeviceText(path));
    return false;
}

bool LibusbUsbDevice::openHandle(libusb_device* device, const QString& path)
{
    libusb_device_handle* raw = nullptr;
    const int opened = libusb_open(device, &raw);
    if (opened != 0) {
        setLastError(opened == LIBUSB_ERROR_ACCESS ? permissionProblemText() : errorText(opened));
        return false;
    }
    std::unique_ptr<libusb_device_handle, HandleDeleter> handle(raw);

    libusb_config_descriptor* rawConfig = nullptr;
    int result = libusb_get_active_config_descriptor(device, &rawConfig);
    if (result != 0) {
        setLastError(errorText(result));
        return false;
    }
    const std::unique_ptr<libusb_config_descriptor, ConfigDeleter> config(rawConfig);

    int interfaceNumber = -1;
    std::uint8_t in = 0;
    std::uint8_t out = 0;
    for (int i = 0; i < config->bNumInterfaces && interfaceNumber < 0; ++i) {
        if (config->interface[i].num_altsetting < 1)
            continue;
        const libusb_interface_descriptor& setting = config->interface[i].altsetting[0];
        for (int e = 0; e < setting.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
            if ((endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK)
                continue;
            // The last bulk endpoint of each direction wins.
            if (endpoint.bEndpointAddress & LIBUSB_ENDPOINT_IN)
                in = endpoint.bEndpointAddress;
            else
                out = endpoint.bEndpointAddress;
            interfaceNumber = setting.bInterfaceNumber;
        }
    }
    if (interfaceNumber < 0 || in == 0 || out == 0) {
        setLastError(tr("The device at %1 has no bulk pipes.").arg(path));
        return false;
    }
    // The kernel driver, if one is bound, is detached while the interface is claimed and bound
    // again when it is released.
    libusb_set_auto_detach_kernel_driver(handle.get(), 1);
    result = libusb_claim_interface(handle.get(), interfaceNumber);
    if (result != 0) {
        setLastError(result == LIBUSB_ERROR_ACCESS ? permissionProblemText()
                                                   : tr("The device at %1 is in use: %2").arg(path, errorText(result)));
        return false;
    }
    m_interface = interfaceNumber;
    m_inPipe = in;
    m_outPipe = out;
    m_handle = std::move(handle);
    m_liveHandle.store(m_handle.get(), std::memory_order_release);
    setDevicePath(path);
    setLastError(QString());
    qCDebug(lcDevice) << "opened" << path << "interface" << interfaceNumber << "in" << Qt::hex << in << "out" << out;
    return true;
}

bool LibusbUsbDevice::isOpen() const
{
    return m_liveHandle.load(std::memory_order_acquire) != nullptr;
}

bool LibusbUsbDevice::close()
{
    m_liveHandle.store(nullptr, std::memory_order_release);
    if (m_handle) {
        libusb_release_interface(m_handle.get(), m_interface);
        m_handle.reset();
    }
    m_interface = -1;
    m_inPipe = 0;
    m_outPipe = 0;
    return true;
}

void LibusbUsbDevice::registerNotifications(quintptr)
{
    if (!m_context || m_eventThread || !libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG))
        return;
    const int result = libusb_hotplug_register_callback(
        m_context.get(), libusb_hotplug_event(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
        LIBUSB_HOTPLUG_NO_FLAGS, DevicePathRules::kScreenVid, DevicePathRules::kScreenPid, LIBUSB_HOTPLUG_MATCH_ANY,
        hotplugCallback, this, &m_hotplugHandle);
    if (result != 0) {
        qCWarning(lcDevice) << "no USB hotplug notifications:" << errorText(result);
        return;
    }
    m_hotplugRegistered = true;
    m_stopEvents.store(false);
    libusb_context* context = m_context.get();
    m_eventThread = QThread::create([this, context] {
        while (!m_stopEvents.load(std::memory_order_acquire)) {
            timeval slice{0, UsbDevice::kTransferSliceMs * 1000};
            libusb_handle_events_timeout_completed(context, &slice, nullptr);
        }
    });
    m_eventThread->setObjectName(QStringLiteral("vortane-usb-events"));
    m_eventThread->start();
}

void LibusbUsbDevice::stopEventThread()
{
    m_stopEvents.store(true, std::memory_order_release);
    if (m_hotplugRegistered) {
        // Also wakes the event thread out of its wait.
        libusb_hotplug_deregister_callback(m_context.get(), m_hotplugHandle);
        m_hotplugRegistered = false;
    }
    if (m_eventThread) {
        m_eventThread->wait();
        delete m_eventThread;
        m_eventThread = nullptr;
    }
}

int LibusbUsbDevice::read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing)
{
    libusb_device_handle* handle = m_liveHandle.load(std::memory_order_acquire);
    if (!handle)
        return -1;
    for (;;) {
        int transferred = 0;
        const int result =
            libusb_bulk_transfer(handle, m_inPipe, buffer, Packets::kMaxReadSize, &transferred, kTransferSliceMs);
        if (result == 0 || (result == LIBUSB_ERROR_TIMEOUT && transferred > 0))
            return transferred;
        if (result != LIBUSB_ERROR_TIMEOUT || !keepGoing())
            return -1;
    }
}

int LibusbUsbDevice::bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing)
{
    libusb_device_handle* handle = m_liveHandle.load(std::memory_order_acquire);
    if (!handle)
        return -1;
    qint64 done = 0;
    while (done < length) {
        const int chunk = int(std::min<qint64>(length - done, INT_MAX));
        int transferred = 0;
        // libusb does not write through a const pointer, but an OUT transfer never changes the buffer.
        const int result = libusb_bulk_transfer(handle, m_outPipe, const_cast<std::uint8_t*>(data + done), chunk,
                                                &transferred, kTransferSliceMs);
        done += transferred;
        if (result == 0)
            continue;
        // A slice that moved data is progress: the device is taking the frame, so it is not cut short.
        if (result == LIBUSB_ERROR_TIMEOUT && (transferred > 0 || keepGoing()))
            continue;
        return -1;
    }
    return 1;
}
