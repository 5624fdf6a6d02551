// The libusb backend against an emulated screen controller: umockdev puts a USB device with the
// screen's descriptors into a test sysfs and answers the usbdevfs ioctls libusb sends to its
// device node (URB submit, reap and discard, interface claim), so enumeration, pipe choice, one
// identify exchange and one frame write run through the real libusb code paths, along with what
// goes wrong on a real bus: a halted endpoint, replies that come too late, a screen that comes
// back re-enumerated on the same port, a system without hotplug events, a bad pipe layout.
// Runs under umockdev-wrapper; skips without it.

// GLib first: its headers use "signals" as a name, which Qt defines as a keyword.
#include <umockdev.h>

#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>

#include "device/Packets.h"
#include "device/WINUSB_MAIN_CTRL.h"
#include "device/linux/LibusbUsbDevice.h"
#include "tests/support/TestSupport.h"

#include <QSignalSpy>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

namespace {

constexpr std::uint8_t kBulkOut = 0x02;
constexpr std::uint8_t kBulkIn = 0x83; // the last bulk IN endpoint of alternate setting 0
const char* const kProduct = "Vortane LCD";

QByteArray hex(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), int(bytes.size())).toHex();
}

void append(std::vector<std::uint8_t>& to, std::initializer_list<int> bytes)
{
    for (int b : bytes)
        to.push_back(std::uint8_t(b));
}

// Device and configuration descriptors of the screen controller as the test shows it: interface 0
// has only an interrupt endpoint; interface 1 has three bulk endpoints in alternate setting 0
// (IN 0x81, OUT 0x02, IN 0x83) and others in alternate setting 1 that must not be used.
QByteArray screenDescriptors()
{
    std::vector<std::uint8_t> d;
    append(d, {0x12, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x40, 0x67, 0x37, 0x91, 0x77, 0x00, 0x01, 0x01, 0x02, 0x00,
               0x01});
    std::vector<std::uint8_t> c;
    append(c, {0x09, 0x02, 0x00, 0x00, 0x02, 0x01, 0x00, 0x80, 0x32});
    append(c, {0x09, 0x04, 0x00, 0x00, 0x01, 0xFF, 0x00, 0x00, 0x00});
    append(c, {0x07, 0x05, 0x85, 0x03, 0x40, 0x00, 0x01});
    append(c, {0x09, 0x04, 0x01, 0x00, 0x03, 0xFF, 0x00, 0x00, 0x00});
    append(c, {0x07, 0x05, 0x81, 0x02, 0x00, 0x02, 0x00});
    append(c, {0x07, 0x05, kBulkOut, 0x02, 0x00, 0x02, 0x00});
    append(c, {0x07, 0x05, kBulkIn, 0x02, 0x00, 0x02, 0x00});
    append(c, {0x09, 0x04, 0x01, 0x01, 0x02, 0xFF, 0x00, 0x00, 0x00});
    append(c, {0x07, 0x05, 0x86, 0x02, 0x00, 0x02, 0x00});
    append(c, {0x07, 0x05, 0x07, 0x02, 0x00, 0x02, 0x00});
    c[2] = std::uint8_t(c.size());
    d.insert(d.end(), c.begin(), c.end());
    return hex(d);
}

// A device of the screen's kind whose bulk IN pipe is on interface 0 and OUT pipe on interface 1.
QByteArray splitPipeDescriptors()
{
    std::vector<std::uint8_t> d;
    append(d, {0x12, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00, 0x40, 0x67, 0x37, 0x91, 0x77, 0x00, 0x01, 0x01, 0x02, 0x00,
               0x01});
    std::vector<std::uint8_t> c;
    append(c, {0x09, 0x02, 0x00, 0x00, 0x02, 0x01, 0x00, 0x80, 0x32});
    append(c, {0x09, 0x04, 0x00, 0x00, 0x01, 0xFF, 0x00, 0x00, 0x00});
    append(c, {0x07, 0x05, 0x81, 0x02, 0x00, 0x02, 0x00});
    append(c, {0x09, 0x04, 0x01, 0x00, 0x01, 0xFF, 0x00, 0x00, 0x00});
    append(c, {0x07, 0x05, 0x02, 0x02, 0x00, 0x02, 0x00});
    c[2] = std::uint8_t(c.size());
    d.insert(d.end(), c.begin(), c.end());
    return hex(d);
}

QByteArray rootHubDescriptors()
{
    std::vector<std::uint8_t> d;
    append(d, {0x12, 0x01, 0x00, 0x02, 0x09, 0x00, 0x01, 0x40, 0x6B, 0x1D, 0x02, 0x00, 0x15, 0x05, 0x03, 0x02, 0x01,
               0x01});
    append(d, {0x09, 0x02, 0x19, 0x00, 0x01, 0x01, 0x00, 0xE0, 0x00});
    append(d, {0x09, 0x04, 0x00, 0x00, 0x01, 0x09, 0x00, 0x00, 0x00});
    append(d, {0x07, 0x05, 0x81, 0x03, 0x04, 0x00, 0x0C});
    return hex(d);
}

// The screen controller's side of usbdevfs. Runs on umockdev's ioctl thread.
struct EmulatedScreen
{
    struct Transfer
    {
        std::uint8_t endpoint;
        QByteArray bytes;
    };

    std::mutex mutex;
    std::deque<UMockdevIoctlData*> done;      // URBs ready to be reaped
    std::deque<UMockdevIoctlData*> waitingIn; // IN URBs waiting for a reply
    std::deque<QByteArray> replies;
    std::deque<QByteArray> late;
    QList<Transfer> outTransfers;
    QList<std::uint8_t> inEndpoints;
    QList<int> claimedInterfaces;
    QList<int> clearedHalts; // endpoints whose halt was cleared
    bool disconnectClaimSeen = false;
    bool stallNextOut = false; // the next OUT transfer ends with a stall (EPIPE)
    bool holdReplies = false;  // replies go to `late` instead of the pipe

    ~EmulatedScreen()
    {
        for (auto* urb : done)
            umockdev_ioctl_data_unref(urb);
        for (auto* urb : waitingIn)
            umockdev_ioctl_data_unref(urb);
    }

    static QByteArray stringDescriptor(int index)
    {
        if (index == 0)
            return QByteArray::fromHex("04030904"); // US English
        const QByteArray text = index == 2 ? QByteArray(kProduct) : QByteArray("Vortane");
        QByteArray d;
        d.append(char(2 + 2 * text.size()));
        d.append(char(0x03));
        for (char ch : text) {
            d.append(ch);
            d.append('\0');
        }
        return d;
    }

    QByteArray answer(const QByteArray& command)
    {
        QByteArray reply(32, '\0');
        if (command.startsWith(QByteArray::fromHex("aa554b4c54"))) {
            reply[2] = ';';
            reply.replace(18, 5, "1.1.3");
            reply[28] = 1;
        } else {
            reply.resize(9);
        }
        const std::uint32_t crc = Packets::packetCrc32(reply.constData(), std::size_t(reply.size()));
        for (int shift = 24; shift >= 0; shift -= 8)
            reply.append(char((crc >> shift) & 0xFF));
        return reply;
    }

    // Hands waiting IN URBs their replies. Locked.
    void matchReplies()
    {
        while (!waitingIn.empty() && !replies.empty()) {
            UMockdevIoctlData* data = waitingIn.front();
            waitingIn.pop_front();
            auto* urb = reinterpret_cast<usbdevfs_urb*>(data->data);
            const QByteArray reply = replies.front();
            replies.pop_front();
            const int n = std::min(int(reply.size()), urb->buffer_length);
            std::memcpy(urb->buffer, reply.constData(), std::size_t(n)); // same address space
            urb->actual_length = n;
            urb->status = 0;
            done.push_back(data);
        }
    }

    gboolean handle(UMockdevIoctlClient* client)
    {
        const gulong request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        std::lock_guard<std::mutex> lock(mutex);
        switch (request) {
        case USBDEVFS_GET_CAPABILITIES: {
            UMockdevIoctlData* caps = umockdev_ioctl_data_resolve(arg, 0, sizeof(guint32), nullptr);
            *reinterpret_cast<guint32*>(caps->data) = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                                      USBDEVFS_CAP_REAP_AFTER_DISCONNECT | USBDEVFS_CAP_ZERO_PACKET;
            umockdev_ioctl_data_unref(caps);
            umockdev_ioctl_client_complete(client, 0, 0);
            return TRUE;
        }
        case USBDEVFS_CLAIMINTERFACE:
        case USBDEVFS_DISCONNECT_CLAIM: {
            UMockdevIoctlData* number = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), nullptr);
            claimedInterfaces << *reinterpret_cast<int*>(number->data);
            umockdev_ioctl_data_unref(number);
            disconnectClaimSeen = disconnectClaimSeen || request == USBDEVFS_DISCONNECT_CLAIM;
            umockdev_ioctl_client_complete(client, 0, 0);
            return TRUE;
        }
        case USBDEVFS_GETDRIVER:
            umockdev_ioctl_client_complete(client, -1, ENODATA);
            return TRUE;
        case USBDEVFS_CLEAR_HALT: {
            UMockdevIoctlData* endpoint = umockdev_ioctl_data_resolve(arg, 0, sizeof(unsigned int), nullptr);
            clearedHalts << int(*reinterpret_cast<unsigned int*>(endpoint->data));
            umockdev_ioctl_data_unref(endpoint);
            umockdev_ioctl_client_complete(client, 0, 0);
            return TRUE;
        }
        case USBDEVFS_RELEASEINTERFACE:
        case USBDEVFS_IOCTL:
        case USBDEVFS_RESETEP:
            umockdev_ioctl_client_complete(client, 0, 0);
            return TRUE;
        case USBDEVFS_SUBMITURB: {
            UMockdevIoctlData* data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
            auto* urb = reinterpret_cast<usbdevfs_urb*>(data->data);
            UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(data, G_STRUCT_OFFSET(usbdevfs_urb, buffer),
                                                                    gsize(urb->buffer_length), nullptr);
            const QByteArray bytes(reinterpret_cast<const char*>(buffer->data), urb->buffer_length);
            umockdev_ioctl_data_unref(buffer);
            if (urb->type == USBDEVFS_URB_TYPE_CONTROL) {
                // GET_DESCRIPTOR of a string: the reply follows the 8-byte setup packet.
                const auto* setup = reinterpret_cast<const std::uint8_t*>(bytes.constData());
                QByteArray reply;
                if (setup[1] == 0x06 && setup[3] == 0x03)
                    reply = stringDescriptor(setup[2]);
                const int wanted = setup[6] | (setup[7] << 8);
                const int n = std::min(int(reply.size()), wanted);
                std::memcpy(static_cast<std::uint8_t*>(urb->buffer) + 8, reply.constData(), std::size_t(n));
                urb->actual_length = n;
                urb->status = reply.isEmpty() ? -EPIPE : 0;
                done.push_back(data);
            } else if (urb->endpoint & 0x80) {
                inEndpoints << urb->endpoint;
                waitingIn.push_back(data);
            } else if (stallNextOut) {
                stallNextOut = false;
                urb->actual_length = 0;
                urb->status = -EPIPE;
                done.push_back(data);
            } else {
                outTransfers << Transfer{urb->endpoint, bytes};
                urb->actual_length = urb->buffer_length;
                urb->status = 0;
                done.push_back(data);
                if (bytes.startsWith(QByteArray::fromHex("aa55")))
                    (holdReplies ? late : replies).push_back(answer(bytes));
            }
            matchReplies();
            umockdev_ioctl_client_complete(client, 0, 0);
            return TRUE;
        }
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY: {
            matchReplies();
            if (done.empty()) {
                umockdev_ioctl_client_complete(client, -1, EAGAIN);
                return TRUE;
            }
            UMockdevIoctlData* data = done.front();
            done.pop_front();
            UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(arg, 0, sizeof(gpointer), nullptr);
            umockdev_ioctl_data_set_ptr(pointer, 0, data);
            umockdev_ioctl_data_unref(pointer);
            umockdev_ioctl_data_unref(data);
            umockdev_ioctl_client_complete(client, 0, 0);
            return TRUE;
        }
        case USBDEVFS_DISCARDURB: {
            const auto address = gulong(*reinterpret_cast<void**>(arg->data));
            for (auto it = waitingIn.begin(); it != waitingIn.end(); ++it) {
                if ((*it)->client_addr == address) {
                    auto* urb = reinterpret_cast<usbdevfs_urb*>((*it)->data);
                    urb->status = -ENOENT;
                    urb->actual_length = 0;
                    done.push_back(*it);
                    waitingIn.erase(it);
                    umockdev_ioctl_client_complete(client, 0, 0);
                    return TRUE;
                }
            }
            umockdev_ioctl_client_complete(client, -1, EINVAL);
            return TRUE;
        }
        default:
            return FALSE;
        }
    }
};

gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer screen)
{
    return static_cast<EmulatedScreen*>(screen)->handle(client);
}

} // namespace

class TestLibusbBackend : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void enumerationByVidPid();
    void identifyAndFrameThroughPipesOfAlternateSetting0();
    void stalledEndpointIsClearedAndTheWriteRetried();
    void lateRepliesAreDrainedBeforeACommand();
    void pipesOnTwoInterfacesAreRefusedClearly();
    void screenBackOnTheSamePortIsReopened();
    void unplugIsNotified();
    void withoutHotplugPresenceIsPolled();

private:
    // Plugs a screen into port 4 of bus 1 at this bus address; the descriptors default to the screen's.
    bool plug(int address, const char* port = "4", const QByteArray& descriptors = screenDescriptors());
    void unplug(const char* port = "4");

    UMockdevTestbed* m_testbed = nullptr;
    UMockdevIoctlBase* m_handler = nullptr;
    EmulatedScreen m_screen;
};

void TestLibusbBackend::initTestCase()
{
    // Asked of the environment: the preload library must be in place before the process starts.
    if (!qEnvironmentVariable("LD_PRELOAD").contains(QLatin1String("libumockdev-preload")))
        VORTANE_SKIP("needs umockdev-wrapper (Debian package umockdev)");
    m_testbed = umockdev_testbed_new();
    m_handler = umockdev_ioctl_base_new();
    g_signal_connect(m_handler, "handle-ioctl", G_CALLBACK(onIoctl), &m_screen);
    QVERIFY(umockdev_testbed_attach_ioctl(m_testbed, "/dev/bus/usb/001/002", m_handler, nullptr));

    const QByteArray hub = "P: /devices/usb1\n"
                           "N: bus/usb/001/001\n"
                           "E: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n"
                           "E: BUSNUM=001\nE: DEVNUM=001\nE: DEVNAME=/dev/bus/usb/001/001\n"
                           "A: busnum=1\\n\nA: devnum=1\\n\nA: bConfigurationValue=1\\n\nA: speed=480\\n\n"
                           "H: descriptors=" +
                           rootHubDescriptors() + "\n";
    QVERIFY(umockdev_testbed_add_from_string(m_testbed, hub.constData(), nullptr));
    QVERIFY(plug(2));
}

bool TestLibusbBackend::plug(int address, const char* port, const QByteArray& descriptors)
{
    const QByteArray number = QByteArray::number(address).rightJustified(3, '0');
    const QByteArray node = "/dev/bus/usb/001/" + number;
    if (address != 2 && !umockdev_testbed_attach_ioctl(m_testbed, node.constData(), m_handler, nullptr))
        return false;
    const QByteArray device = "P: /devices/usb1/1-" + QByteArray(port) + "\nN: bus/usb/001/" + number +
                              "\nE: SUBSYSTEM=usb\nE: DEVTYPE=usb_device\nE: DRIVER=usb\n"
                              "E: BUSNUM=001\nE: DEVNUM=" +
                              number + "\nE: DEVNAME=" + node +
                              "\nA: busnum=1\\n\nA: devnum=" + QByteArray::number(address) +
                              "\\n\nA: devpath=" + QByteArray(port) +
                              "\\n\nA: bConfigurationValue=1\\n\nA: speed=480\\n\nH: descriptors=" + descriptors + "\n";
    return umockdev_testbed_add_from_string(m_testbed, device.constData(), nullptr);
}

void TestLibusbBackend::unplug(const char* port)
{
    // The kernel's uevent, then the device's sysfs entry goes.
    const QByteArray sysfs = "/sys/devices/usb1/1-" + QByteArray(port);
    umockdev_testbed_uevent(m_testbed, sysfs.constData(), "remove");
    umockdev_testbed_remove_device(m_testbed, sysfs.constData());
}

void TestLibusbBackend::cleanupTestCase()
{
    if (m_handler)
        g_object_unref(m_handler);
    if (m_testbed)
        g_object_unref(m_testbed);
}

void TestLibusbBackend::enumerationByVidPid()
{
    LibusbUsbDevice device;
    QVERIFY(device.isAvailable());
    const QList<UsbDeviceInfo> found = device.listDevices();
    QCOMPARE(found.size(), 1); // the root hub is not a screen
    QCOMPARE(found[0].path, QStringLiteral("USB:VID_3767&PID_7791#BUS_001#PORT_4#ADDR_002"));
    QCOMPARE(found[0].name, QString::fromLatin1(kProduct));
    QVERIFY(found[0].problem.isEmpty());
}

void TestLibusbBackend::identifyAndFrameThroughPipesOfAlternateSetting0()
{
    {
        std::lock_guard<std::mutex> lock(m_screen.mutex);
        m_screen.outTransfers.clear();
        m_screen.inEndpoints.clear();
        m_screen.claimedInterfaces.clear();
    }
    WINUSB_MAIN_CTRL controller(std::make_unique<LibusbUsbDevice>());
    controller.openFirstDevice();
    QVERIFY(controller.isOpen());
    QCOMPARE(controller.deviceMode(), 1);
    QCOMPARE(controller.firmwareVersion(), QStringLiteral("1.1.3"));

    std::uint8_t header[Packets::kFrameHeaderSize];
    const QByteArray jpeg(3000, 'J');
    Packets::buildFrameHeader(header, std::uint32_t(jpeg.size()), 100, true, 0, 0);
    const QByteArray frame = QByteArray(reinterpret_cast<const char*>(header), sizeof header) + jpeg;
    controller.pushFrame(frame);
    QTRY_VERIFY([&] {
        std::lock_guard<std::mutex> lock(m_screen.mutex);
        return m_screen.outTransfers.size() >= 2;
    }());
    controller.closeDevice();

    std::lock_guard<std::mutex> lock(m_screen.mutex);
    QCOMPARE(m_screen.claimedInterfaces, QList<int>{1});
    QCOMPARE(m_screen.outTransfers.size(), 2);
    QCOMPARE(int(m_screen.outTransfers[0].endpoint), int(kBulkOut));
    QCOMPARE(m_screen.outTransfers[0].bytes.left(5), QByteArray::fromHex("aa554b4c54"));
    QCOMPARE(m_screen.outTransfers[0].bytes.size(), Packets::kCommandSize);
    QCOMPARE(int(m_screen.outTransfers[1].endpoint), int(kBulkOut));
    QCOMPARE(m_screen.outTransfers[1].bytes, frame);
    QVERIFY(!m_screen.inEndpoints.isEmpty());
    for (std::uint8_t endpoint : m_screen.inEndpoints)
        QCOMPARE(int(endpoint), int(kBulkIn));
}

void TestLibusbBackend::stalledEndpointIsClearedAndTheWriteRetried()
{
    LibusbUsbDevice device;
    QVERIFY(device.open(device.enumerateDevices().value(0)));
    {
        std::lock_guard<std::mutex> lock(m_screen.mutex);
        m_screen.outTransfers.clear();
        m_screen.clearedHalts.clear();
        m_screen.stallNextOut = true;
    }
    const QByteArray frame(1000, 'f');
    QCOMPARE(device.writeFrame(frame, [] { return true; }), 1);
    device.close();
    std::lock_guard<std::mutex> lock(m_screen.mutex);
    QCOMPARE(m_screen.clearedHalts, QList<int>{kBulkOut});
    QCOMPARE(m_screen.outTransfers.size(), 1);
    QCOMPARE(m_screen.outTransfers[0].bytes, frame);
}

void TestLibusbBackend::lateRepliesAreDrainedBeforeACommand()
{
    // Two identify exchanges time out; their replies arrive afterwards and wait in the pipe.
    LibusbUsbDevice device;
    QVERIFY(device.open(device.enumerateDevices().value(0)));
    std::uint8_t request[Packets::kTxBufferSize];
    const int length = Packets::buildIdentifyRequest(request);
    {
        std::lock_guard<std::mutex> lock(m_screen.mutex);
        m_screen.holdReplies = true;
    }
    QCOMPARE(device.writeCommand(request, length, [] { return true; }), 1);
    QCOMPARE(device.writeCommand(request, length, [] { return true; }), 1);
    {
        std::lock_guard<std::mutex> lock(m_screen.mutex);
        m_screen.holdReplies = false;
        while (!m_screen.late.empty()) {
            m_screen.replies.push_back(m_screen.late.front());
            m_screen.late.pop_front();
        }
        m_screen.inEndpoints.clear();
    }
    QCOMPARE(device.drainInput([] { return true; }), 2);
    {
        std::lock_guard<std::mutex> lock(m_screen.mutex);
        QVERIFY(m_screen.replies.empty());
        for (std::uint8_t endpoint : m_screen.inEndpoints)
            QCOMPARE(int(endpoint), int(kBulkIn));
    }
    // An empty pipe is left at once; the next reply read is the next command's own.
    QCOMPARE(device.drainInput([] { return true; }), 0);
    device.close();
}

void TestLibusbBackend::pipesOnTwoInterfacesAreRefusedClearly()
{
    QVERIFY(plug(5, "5", splitPipeDescriptors()));
    LibusbUsbDevice device;
    const QString path = QStringLiteral("USB:VID_3767&PID_7791#BUS_001#PORT_5#ADDR_005");
    QTRY_VERIFY(device.enumerateDevices().contains(path));
    QVERIFY(!device.open(path));
    QVERIFY(!device.isOpen());
    QVERIFY2(device.lastError().contains(QLatin1String("interface 0")) &&
                 device.lastError().contains(QLatin1String("interface 1")),
             qPrintable(device.lastError()));
    unplug("5");
    QTRY_VERIFY(!device.enumerateDevices().contains(path));
}

void TestLibusbBackend::screenBackOnTheSamePortIsReopened()
{
    // The screen restarts and is on the bus again, in the same port, before the removal was
    // handled: it got a new bus address, so it is not the device that was opened. (The handle is
    // closed before the emulated device goes: the emulation cannot take a node away from an open
    // handle. What the controller does with a stale handle is covered against the in-process
    // simulated screen.)
    WINUSB_MAIN_CTRL controller(std::make_unique<LibusbUsbDevice>());
    QCOMPARE(controller.openFirstDevice(), 0);
    const QString before = controller.usbDevice()->devicePath();
    QVERIFY(controller.usbDevice()->openDeviceStillPresent());
    controller.closeDevice();

    unplug();
    QVERIFY(plug(3));
    QTRY_VERIFY(!controller.usbDevice()->enumerateDevices().isEmpty());
    QVERIFY(!controller.usbDevice()->openDeviceStillPresent());
    QCOMPARE(controller.openFirstDevice(), 0);
    QCOMPARE(controller.usbDevice()->devicePath(), QStringLiteral("USB:VID_3767&PID_7791#BUS_001#PORT_4#ADDR_003"));
    QVERIFY(controller.usbDevice()->devicePath() != before);
    controller.closeDevice();
}

void TestLibusbBackend::unplugIsNotified()
{
    LibusbUsbDevice device;
    // Emitted on the event thread; received queued on this one, as the main window receives it.
    int removed = 0;
    QObject receiver;
    connect(&device, &UsbDevice::deviceRemoved, &receiver, [&] {
        QCOMPARE(QThread::currentThread(), receiver.thread());
        ++removed;
    });
    device.registerNotifications(0);
    QVERIFY(!device.isPolling());
    unplug();
    QTRY_COMPARE(removed, 1);
    QVERIFY(device.listDevices().isEmpty());
}

void TestLibusbBackend::withoutHotplugPresenceIsPolled()
{
    QVERIFY(plug(7));
    LibusbUsbDevice device(LibusbUsbDevice::Notifications::PollingOnly);
    QTRY_COMPARE(device.listDevices().size(), 1);
    QSignalSpy removed(&device, &UsbDevice::deviceRemoved);
    QSignalSpy arrived(&device, &UsbDevice::deviceArrived);
    device.registerNotifications(0);
    QVERIFY(device.isPolling());

    unplug();
    QTRY_COMPARE_WITH_TIMEOUT(removed.count(), 1, 5000);
    QCOMPARE(arrived.count(), 0);
    QVERIFY(plug(8));
    QTRY_COMPARE_WITH_TIMEOUT(arrived.count(), 1, 5000);
    QCOMPARE(removed.count(), 1);
}

QTEST_GUILESS_MAIN(TestLibusbBackend)
#include "TestLibusbBackend.moc"
