#include "device/WINUSB_MAIN_CTRL.h"

#include "device/DeviceLog.h"
#include "device/Packets.h"
#include "device/UsbDeviceFactory.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

namespace {

constexpr int kDiscoveryIntervalMs = 100;

} // namespace

WINUSB_MAIN_CTRL::WINUSB_MAIN_CTRL(QObject* parent)
    : WINUSB_MAIN_CTRL(createUsbDevice(), parent)
{
}

WINUSB_MAIN_CTRL::WINUSB_MAIN_CTRL(std::unique_ptr<UsbDevice> device, QObject* parent)
    : QObject(parent)
    , m_usbDevice(std::move(device))
    , m_streamer(m_usbDevice.get())
    , m_exchanger(m_usbDevice.get())
{
    if (!m_usbDevice)
        return;
    // Connected before anyone else can connect to the device object, so a stale handle is closed
    // before other receivers of the same notice look at the controller.
    connect(m_usbDevice.get(), &UsbDevice::deviceRemoved, this, &WINUSB_MAIN_CTRL::onDeviceRemoved);
    connect(m_usbDevice.get(), &UsbDevice::permissionDenied, this, &WINUSB_MAIN_CTRL::permissionDenied);
    connect(&m_streamer, &USB_DATA_CTRL::linkLost, this, &WINUSB_MAIN_CTRL::onStreamLinkLost, Qt::QueuedConnection);
}

WINUSB_MAIN_CTRL::~WINUSB_MAIN_CTRL()
{
    m_streamer.stopStreaming();
    m_exchanger.stopExchanges();
    if (m_usbDevice)
        m_usbDevice->close();
}

bool WINUSB_MAIN_CTRL::deviceOpen() const
{
    return m_usbDevice && m_usbDevice->isOpen();
}

bool WINUSB_MAIN_CTRL::isOpen() const
{
    return !m_connecting && deviceOpen();
}

int WINUSB_MAIN_CTRL::openFirstDevice()
{
    if (m_connecting)
        return kConnectBusy;
    if (!m_usbDevice)
        return kConnectNoDevice;
    if (deviceOpen())
        return 0;
    m_connecting = true;
    const QStringList paths = m_usbDevice->enumerateDevices();
    m_lastConnectResult = kConnectNoDevice;
    bool connected = false;
    for (const QString& path : paths) {
        if (!m_usbDevice->open(path)) {
            const QString problem = m_usbDevice->lastError();
            if (m_openProblems.value(path) != problem) {
                m_openProblems.insert(path, problem);
                qCDebug(lcDevice) << "cannot open" << path << problem;
            }
            m_lastConnectResult = -1;
            continue;
        }
        m_openProblems.remove(path);
        m_exchanger.startExchanges();
        const int result = identify();
        m_lastConnectResult = result;
        if (result == 0 && deviceOpen()) {
            m_exchanger.stopExchanges();
            m_streamer.startStreaming();
            qCDebug(lcDevice) << "connected" << path << "mode" << m_deviceMode << m_firmwareVersion;
            connected = true;
            break;
        }
        qCDebug(lcDevice) << "identify failed" << path << result;
        closeDevice();
    }
    m_connecting = false;
    return connected ? 0 : m_lastConnectResult;
}

void WINUSB_MAIN_CTRL::closeDevice()
{
    m_streamer.stopStreaming();
    m_exchanger.stopExchanges();
    if (deviceOpen())
        m_usbDevice->close();
    m_deviceMode = kModeNone;
}

bool WINUSB_MAIN_CTRL::handleDeviceRemoved()
{
    if (!m_usbDevice)
        return false;
    if (m_usbDevice->openDeviceStillPresent())
        return false;
    if (deviceOpen())
        closeDevice();
    return true;
}

void WINUSB_MAIN_CTRL::onDeviceRemoved()
{
    if (m_exchangesWaiting > 0) {
        m_removalDeferred = true;
        return;
    }
    const bool wasOpen = deviceOpen();
    if (handleDeviceRemoved() && wasOpen) {
        qCDebug(lcDevice) << "the open screen left" << m_usbDevice->devicePath();
        emit deviceLost();
    }
    emit deviceRemovalNoticed();
}

void WINUSB_MAIN_CTRL::onStreamLinkLost()
{
    // Queued from the streaming thread: only a report about the streaming that still runs counts.
    if (!deviceOpen() || !m_streamer.isStreaming() || !m_streamer.linkLostReported())
        return;
    qCWarning(lcDevice) << "the screen stopped taking frames; closing" << m_usbDevice->devicePath();
    closeDevice();
    emit deviceLost();
}

int WINUSB_MAIN_CTRL::exchangeDeferringRemoval(int txLength, int replyPollLimit, int* rxLength)
{
    ++m_exchangesWaiting;
    const int exchanged = m_exchanger.exchange(txLength, replyPollLimit, rxLength);
    if (--m_exchangesWaiting == 0 && m_removalDeferred) {
        m_removalDeferred = false;
        // After the caller has finished with the reply.
        QMetaObject::invokeMethod(this, &WINUSB_MAIN_CTRL::onDeviceRemoved, Qt::QueuedConnection);
    }
    return exchanged;
}

int WINUSB_MAIN_CTRL::identify()
{
    const int txLength = Packets::buildIdentifyRequest(m_exchanger.txBuffer());
    int rxLength = 0;
    const int exchanged = exchangeDeferringRemoval(txLength, kReplyPollLimitIdentify, &rxLength);
    if (exchanged != USB_BURN_CTRL::ExchangeOk)
        return exchanged;
    Packets::IdentifyReply reply;
    const int checked = Packets::checkIdentifyReply(m_exchanger.rxBuffer(), rxLength, &reply);
    if (checked != Packets::ReplyOk)
        return checked;
    switch (reply.state) {
    case Packets::kStateNormal:
        m_deviceMode = kModeNormal;
        if (reply.model[0] != 0x00 || reply.model[1] != 0x01)
            return -6;
        m_firmwareVersion = QString::fromUtf8(reply.version, sizeof reply.version);
        return 0;
    case Packets::kStateUpdate:
        m_deviceMode = kModeUpdate;
        return 0;
    case Packets::kStateThird:
        m_deviceMode = kModeThird;
        return 0;
    default:
        return -5;
    }
}

int WINUSB_MAIN_CTRL::shortExchange(int txLength, int replyPollLimit, std::uint8_t* result)
{
    int rxLength = 0;
    const int exchanged = exchangeDeferringRemoval(txLength, replyPollLimit, &rxLength);
    if (exchanged != USB_BURN_CTRL::ExchangeOk)
        return exchanged;
    return Packets::checkShortReply(m_exchanger.rxBuffer(), rxLength, result);
}

int WINUSB_MAIN_CTRL::restartDevice(int target)
{
    const int txLength = Packets::buildRestartRequest(m_exchanger.txBuffer(), std::uint8_t(target));
    std::uint8_t ignored = 0;
    return shortExchange(txLength, kReplyPollLimitRestart, &ignored);
}

int WINUSB_MAIN_CTRL::enterUpdateMode()
{
    if (!isOpen() || m_deviceMode != kModeNormal)
        return -1;
    m_streamer.stopStreaming();
    m_exchanger.startExchanges();
    return restartDevice(Packets::kRestartIntoUpdate);
}

int WINUSB_MAIN_CTRL::returnToNormalMode()
{
    if (!isOpen() || m_deviceMode != kModeUpdate)
        return -1;
    // Normally the firmware transfer has left streaming stopped and the exchange thread running;
    // after a reconnect in update mode it has not, and the two must never run together.
    m_streamer.stopStreaming();
    m_exchanger.startExchanges();
    return restartDevice(Packets::kRestartIntoNormal);
}

bool WINUSB_MAIN_CTRL::waitForMode(int mode, int timeoutMs, bool driveDiscovery)
{
    QElapsedTimer waited;
    waited.start();
    QElapsedTimer sinceDiscovery;
    sinceDiscovery.start();
    while (!(isOpen() && m_deviceMode == mode)) {
        if (waited.elapsed() >= timeoutMs)
            return false;
        if (driveDiscovery && sinceDiscovery.elapsed() >= kDiscoveryIntervalMs) {
            sinceDiscovery.restart();
            if (isOpen())
                closeDevice();
            openFirstDevice();
            continue;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        QThread::msleep(1);
    }
    return true;
}

int WINUSB_MAIN_CTRL::writeFirmwareFile(const QString& path)
{
    if (!isOpen() || m_deviceMode != kModeUpdate)
        return -1;
    if (path.isEmpty())
        return -2;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -3;
    m_streamer.stopStreaming();
    m_exchanger.startExchanges();

    const qint64 size = file.size();
    int result = kFirmwareBadLength;
    if (size >= kFirmwareMinBytes && size <= kFirmwareMaxBytes) {
        const QByteArray image = file.read(size);
        if (image.size() == size) {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(image.constData());
            result = sendFirmware(bytes, size, Packets::packetCrc32(bytes, std::size_t(size)));
        } else {
            qCWarning(lcDevice) << "firmware file shorter than its size" << path;
            result = kFirmwareBlockFailed;
        }
    }
    qCDebug(lcDevice) << "firmware transfer" << path << "result" << result;
    return result == 0 ? 1 : 0;
}

int WINUSB_MAIN_CTRL::sendFirmware(const std::uint8_t* bytes, qint64 length, std::uint32_t imageCrc)
{
    if (length < kFirmwareMinBytes || length > kFirmwareMaxBytes)
        return kFirmwareBadLength;
    const qint64 fullBlocks = length / Packets::kFirmwareBlockMax;
    for (qint64 k = 0; k < fullBlocks; ++k) {
        const qint64 address = k * Packets::kFirmwareBlockMax;
        if (firmwareBlock(std::uint32_t(address), bytes + address, Packets::kFirmwareBlockMax) != 0)
            return kFirmwareBlockFailed;
        emit burnMcuProgress(int((k + 1) * Packets::kFirmwareBlockMax * 100 / length));
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (!isOpen())
            return kFirmwareDeviceGone;
    }
    const int remainder = int(length % Packets::kFirmwareBlockMax);
    if (remainder != 0) {
        const qint64 address = length - remainder;
        if (firmwareBlock(std::uint32_t(address), bytes + address, remainder) != 0)
            return kFirmwareLastBlockFailed;
    }
    emit burnMcuProgress(100);
    if (!isOpen())
        return kFirmwareDeviceGone;
    if (firmwareEnd(std::uint32_t(length), imageCrc) != 0)
        return kFirmwareNotAccepted;
    return 0;
}

int WINUSB_MAIN_CTRL::firmwareBlock(std::uint32_t address, const std::uint8_t* data, int length)
{
    const int txLength = Packets::buildFirmwareBlock(m_exchanger.txBuffer(), address, data, length);
    std::uint8_t ignored = 0;
    return shortExchange(txLength, kReplyPollLimitFirmwareBlock, &ignored);
}

int WINUSB_MAIN_CTRL::firmwareEnd(std::uint32_t imageLength, std::uint32_t imageCrc)
{
    const int txLength = Packets::buildFirmwareEnd(m_exchanger.txBuffer(), imageLength, imageCrc);
    std::uint8_t accepted = 0;
    const int checked = shortExchange(txLength, kReplyPollLimitFirmwareEnd, &accepted);
    if (checked != 0)
        return checked;
    return accepted;
}

void WINUSB_MAIN_CTRL::pushFrame(const QByteArray& frame)
{
    m_streamer.pushFrame(frame);
}
