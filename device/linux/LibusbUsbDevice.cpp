#include "device/linux/LibusbUsbDevice.h"

#include "device/DeviceLog.h"
#include "device/DevicePathRules.h"
#include "device/Packets.h"

#include <QSet>
#include <QThread>
#include <QTimer>

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

// Draining the IN pipe before a command: a reply the device already holds is delivered within a
// (micro)frame, so a short wait per read suffices; a device that keeps sending is not drained forever.
constexpr unsigned kDrainWaitMs = 3;
constexpr int kDrainReadLimit = 16;

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

LibusbUsbDevice::LibusbUsbDevice(Notifications notifications, QObject* parent)
    : UsbDevice(parent)
    , m_notifications(notifications)
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
    const QString path = QStringLiteral("USB:VID_%1&PID_%2#BUS_%3#PORT_%4#ADDR_%5")
                             .arg(descriptor.idVendor, 4, 16, QLatin1Char('0'))
                             .arg(descriptor.idProduct, 4, 16, QLatin1Char('0'))
                             .arg(libusb_get_bus_number(device), 3, 10, QLatin1Char('0'))
                             .arg(depth > 0 ? portText.join(QLatin1Char('.')) : QStringLiteral("0"))
                             .arg(libusb_get_device_address(device), 3, 10, QLatin1Char('0'));
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
                notePermissionDenied(path);
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
        if (opened == LIBUSB_ERROR_ACCESS)
            notePermissionDenied(path);
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

    // The first interface whose alternate setting 0 has bulk pipes in both directions; the last
    // bulk endpoint of each direction wins. Interfaces with pipes of one direction only are noted
    // for the error: the two pipes must be claimable together.
    int interfaceNumber = -1;
    std::uint8_t in = 0;
    std::uint8_t out = 0;
    int inOnlyInterface = -1;
    int outOnlyInterface = -1;
    for (int i = 0; i < config->bNumInterfaces && interfaceNumber < 0; ++i) {
        if (config->interface[i].num_altsetting < 1)
            continue;
        const libusb_interface_descriptor& setting = config->interface[i].altsetting[0];
        std::uint8_t settingIn = 0;
        std::uint8_t settingOut = 0;
        for (int e = 0; e < setting.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
            if ((endpoint.bmAttributes & LIBUSB_TRANSFER_TYPE_MASK) != LIBUSB_TRANSFER_TYPE_BULK)
                continue;
            if (endpoint.bEndpointAddress & LIBUSB_ENDPOINT_IN)
                settingIn = endpoint.bEndpointAddress;
            else
                settingOut = endpoint.bEndpointAddress;
        }
        if (settingIn != 0 && settingOut != 0) {
            interfaceNumber = setting.bInterfaceNumber;
            in = settingIn;
            out = settingOut;
        } else if (settingIn != 0 && inOnlyInterface < 0) {
            inOnlyInterface = setting.bInterfaceNumber;
        } else if (settingOut != 0 && outOnlyInterface < 0) {
            outOnlyInterface = setting.bInterfaceNumber;
        }
    }
    if (interfaceNumber < 0 && inOnlyInterface >= 0 && outOnlyInterface >= 0) {
        setLastError(tr("The device at %1 has its bulk IN pipe on interface %2 and its bulk OUT pipe on interface %3; "
                        "both must be on one interface.")
                         .arg(path)
                         .arg(inOnlyInterface)
                         .arg(outOnlyInterface));
        return false;
    }
    if (interfaceNumber < 0) {
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
        if (result == LIBUSB_ERROR_ACCESS)
            notePermissionDenied(path);
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
    if (!m_context || m_eventThread || m_pollTimer)
        return;
    if (m_notifications == Notifications::PollingOnly) {
        startPolling();
        return;
    }
    if (!libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) {
        qCWarning(lcDevice) << "no USB hotplug notifications on this system; looking for the screen once a second";
        startPolling();
        return;
    }
    const int result = libusb_hotplug_register_callback(
        m_context.get(), libusb_hotplug_event(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
        LIBUSB_HOTPLUG_NO_FLAGS, DevicePathRules::kScreenVid, DevicePathRules::kScreenPid, LIBUSB_HOTPLUG_MATCH_ANY,
        hotplugCallback, this, &m_hotplugHandle);
    if (result != 0) {
        qCWarning(lcDevice) << "no USB hotplug notifications:" << errorText(result)
                            << "- looking for the screen once a second";
        startPolling();
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

void LibusbUsbDevice::startPolling()
{
    for (const UsbDeviceInfo& info : listDevices())
        m_polledPaths.insert(info.path);
    m_pollTimer = new QTimer(this);
    m_pollTimer->setInterval(kPresencePollMs);
    connect(m_pollTimer, &QTimer::timeout, this, &LibusbUsbDevice::pollPresence);
    m_pollTimer->start();
}

void LibusbUsbDevice::pollPresence()
{
    QSet<QString> present;
    for (const UsbDeviceInfo& info : listDevices())
        present.insert(info.path);
    const QSet<QString> removed = m_polledPaths - present;
    const QSet<QString> arrived = present - m_polledPaths;
    m_polledPaths = present;
    for (int i = 0; i < removed.size(); ++i)
        emit deviceRemoved();
    for (int i = 0; i < arrived.size(); ++i)
        emit deviceArrived();
}

void LibusbUsbDevice::clearStall(libusb_device_handle* handle, std::uint8_t endpoint)
{
    const int result = libusb_clear_halt(handle, endpoint);
    qCWarning(lcDevice) << "endpoint" << Qt::hex << endpoint
                        << "stalled; clearing the halt:" << (result == 0 ? QStringLiteral("done") : errorText(result));
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
    bool stallCleared = false;
    for (;;) {
        int transferred = 0;
        const int result =
            libusb_bulk_transfer(handle, m_inPipe, buffer, Packets::kMaxReadSize, &transferred, kTransferSliceMs);
        if (result == 0 || (result == LIBUSB_ERROR_TIMEOUT && transferred > 0))
            return transferred;
        if (result == LIBUSB_ERROR_PIPE && !stallCleared) {
            clearStall(handle, m_inPipe);
            stallCleared = true;
            continue;
        }
        if (result != LIBUSB_ERROR_TIMEOUT || !keepGoing())
            return -1;
    }
}

int LibusbUsbDevice::drainInput(const TransferKeepGoing&)
{
    libusb_device_handle* handle = m_liveHandle.load(std::memory_order_acquire);
    if (!handle)
        return 0;
    int dropped = 0;
    std::uint8_t scratch[Packets::kMaxReadSize];
    for (int i = 0; i < kDrainReadLimit; ++i) {
        int transferred = 0;
        const int result = libusb_bulk_transfer(handle, m_inPipe, scratch, sizeof scratch, &transferred, kDrainWaitMs);
        if (result == LIBUSB_ERROR_PIPE) {
            clearStall(handle, m_inPipe);
            break;
        }
        if (transferred <= 0)
            break;
        ++dropped;
    }
    return dropped;
}

int LibusbUsbDevice::bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing)
{
    libusb_device_handle* handle = m_liveHandle.load(std::memory_order_acquire);
    if (!handle)
        return -1;
    qint64 done = 0;
    bool stallCleared = false;
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
        // A halted endpoint stays halted until it is cleared; one retry after clearing it.
        if (result == LIBUSB_ERROR_PIPE && !stallCleared) {
            clearStall(handle, m_outPipe);
            stallCleared = true;
            continue;
        }
        return -1;
    }
    return 1;
}
