#include "device/USB_DATA_CTRL.h"

#include "device/UsbDevice.h"

#include <QElapsedTimer>
#include <QMutexLocker>

namespace {

USB_DATA_CTRL::Clock steadyClock()
{
    auto timer = std::make_shared<QElapsedTimer>();
    timer->start();
    return [timer] { return timer->elapsed(); };
}

} // namespace

USB_DATA_CTRL::USB_DATA_CTRL(UsbDevice* device, QObject* parent)
    : QThread(parent)
    , m_device(device)
    , m_clock(steadyClock())
{
    setObjectName(QStringLiteral("vortane-frame-streamer"));
}

USB_DATA_CTRL::~USB_DATA_CTRL()
{
    stopStreaming();
}

void USB_DATA_CTRL::pushFrame(const QByteArray& frame)
{
    if (!m_device)
        return;
    QMutexLocker lock(&m_queueMutex);
    m_queue.clear();
    m_queue.append(frame);
}

void USB_DATA_CTRL::startStreaming()
{
    if (isRunning()) {
        m_running.store(false, std::memory_order_release);
        clearQueue();
        wait();
    }
    m_wroteSinceStart = false;
    m_failingSinceMs = -1;
    m_linkLostReported.store(false, std::memory_order_release);
    m_running.store(true, std::memory_order_release);
    start(QThread::InheritPriority);
}

void USB_DATA_CTRL::stopStreaming()
{
    m_running.store(false, std::memory_order_release);
    clearQueue();
    wait();
}

int USB_DATA_CTRL::queuedFrames() const
{
    QMutexLocker lock(&m_queueMutex);
    return m_queue.size();
}

void USB_DATA_CTRL::clearQueue()
{
    QMutexLocker lock(&m_queueMutex);
    m_queue.clear();
}

void USB_DATA_CTRL::run()
{
    if (!m_device)
        return;
    while (m_running.load(std::memory_order_acquire)) {
        QByteArray frame;
        {
            QMutexLocker lock(&m_queueMutex);
            if (!m_queue.isEmpty())
                frame = m_queue.takeFirst();
        }
        if (frame.isNull() || !m_running.load(std::memory_order_acquire)) {
            emit haveNoPacket();
            msleep(kIdleSleepMs);
            continue;
        }
        const qint64 now = m_clock();
        if (m_wroteSinceStart && now - m_lastWriteStartMs < kMinWriteIntervalMs)
            continue; // too soon after the previous write: dropped, and the next frame is wanted at once
        m_lastWriteStartMs = now;
        m_wroteSinceStart = true;
        // A write that the device does not take is given up once the link has been in trouble
        // for kLinkLostMs; one that makes progress is never cut short (the backends ask only
        // after a slice without progress).
        const qint64 troubleSince = m_failingSinceMs >= 0 ? m_failingSinceMs : now;
        const TransferKeepGoing keepGoing = [this, troubleSince] {
            return m_running.load(std::memory_order_acquire) && m_clock() - troubleSince < kLinkLostMs;
        };
        const int written = m_device->writeFrame(frame, keepGoing);
        if (written >= 0) {
            m_failingSinceMs = -1;
        } else if (m_running.load(std::memory_order_acquire)) {
            // A write given up because the streamer is stopping is not a lost device.
            emit deviceDisconnected();
            m_failingSinceMs = troubleSince;
            if (m_clock() - m_failingSinceMs >= kLinkLostMs &&
                !m_linkLostReported.exchange(true, std::memory_order_acq_rel))
                emit linkLost();
        }
        frame = QByteArray();
        // Frames pushed during the write show the picture of that moment; a fresh one is asked for.
        clearQueue();
        emit haveNoPacket();
        msleep(kIdleSleepMs);
    }
}
