#include "device/USB_BURN_CTRL.h"

#include "device/DeviceLog.h"
#include "device/UsbDevice.h"

#include <QCoreApplication>

#include <chrono>

namespace {

// How long the idle thread sleeps before it looks at its flags again even without a wake-up.
constexpr std::chrono::milliseconds kIdleLookInterval{20};

void pollPause()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QThread::msleep(1);
}

} // namespace

USB_BURN_CTRL::USB_BURN_CTRL(UsbDevice* device, QObject* parent)
    : QThread(parent)
    , m_device(device)
{
    setObjectName(QStringLiteral("vortane-command-exchange"));
}

USB_BURN_CTRL::~USB_BURN_CTRL()
{
    stopExchanges();
}

void USB_BURN_CTRL::startExchanges()
{
    if (isRunning())
        return;
    m_stop.store(false, std::memory_order_release);
    start(QThread::InheritPriority);
}

void USB_BURN_CTRL::stopExchanges()
{
    while (isRunning()) {
        m_stop.store(true, std::memory_order_release);
        wake();
        wait(10);
    }
    wait();
}

void USB_BURN_CTRL::wake()
{
    {
        std::lock_guard<std::mutex> lock(m_wakeMutex);
    }
    m_wakeCondition.notify_all();
}

int USB_BURN_CTRL::exchange(int txLength, int replyPollLimit, int* rxLength)
{
    m_txLength.store(txLength, std::memory_order_relaxed);
    m_replied.store(0, std::memory_order_relaxed);
    m_sent.store(false, std::memory_order_relaxed);
    m_sendRequest.store(true, std::memory_order_release);
    wake();
    QThread::msleep(1);

    bool sent = false;
    for (int poll = 0; poll < kWritePollLimit; ++poll) {
        if (m_sent.load(std::memory_order_acquire)) {
            sent = true;
            break;
        }
        if (!isRunning()) {
            sent = m_sent.load(std::memory_order_acquire); // it may have finished right after writing
            break;
        }
        pollPause();
    }
    if (!sent) {
        m_sendRequest.store(false, std::memory_order_release);
        abandonTransfer();
        return ExchangeWriteNotReported;
    }

    m_sent.store(false, std::memory_order_relaxed);
    m_readRequest.store(true, std::memory_order_release);
    wake();
    QThread::msleep(1);
    for (int poll = 0; poll < replyPollLimit; ++poll) {
        const bool threadEnded = !isRunning(); // looked at before replied, so a last reply is not missed
        const int replied = m_replied.load(std::memory_order_acquire);
        if (replied == 1) {
            const int length = m_rxLength.load(std::memory_order_relaxed);
            if (Packets::replyAnswers(m_txBuffer, m_rxBuffer, length)) {
                *rxLength = length;
                return ExchangeOk;
            }
            // A late answer to an earlier command that arrived after the drain: not this one's.
            qCWarning(lcDevice) << "dropped a late reply of" << length << "bytes to another command";
            ++m_lateRepliesDropped;
            m_replied.store(0, std::memory_order_relaxed);
            m_readRequest.store(true, std::memory_order_release);
            wake();
        } else if (replied == 2 || threadEnded) {
            break;
        }
        pollPause();
    }
    m_readRequest.store(false, std::memory_order_release);
    abandonTransfer();
    return ExchangeNoReply;
}

void USB_BURN_CTRL::abandonTransfer()
{
    // A thread still waiting in the transfer that was given up would take the next exchange's
    // reply for its own, or write into the receive buffer while it is being read. A fresh thread
    // starts clean; one that ended by itself (after a failed transfer) stays ended.
    if (!isRunning())
        return;
    stopExchanges();
    startExchanges();
}

void USB_BURN_CTRL::run()
{
    m_stop.store(false, std::memory_order_release);
    const TransferKeepGoing keepGoing = [this] { return !m_stop.load(std::memory_order_acquire); };
    while (!m_stop.load(std::memory_order_acquire)) {
        bool didWork = false;
        if (m_sendRequest.exchange(false, std::memory_order_acq_rel)) {
            didWork = true;
            // Whatever waits on the IN pipe now answers an earlier command that was given up.
            const int dropped = m_device->drainInput(keepGoing);
            if (dropped > 0) {
                qCWarning(lcDevice) << "dropped" << dropped << "late replies before a command";
                m_lateRepliesDropped.fetch_add(dropped, std::memory_order_relaxed);
            }
            if (m_device->writeCommand(m_txBuffer, m_txLength.load(std::memory_order_relaxed), keepGoing) < 0)
                m_stop.store(true, std::memory_order_release);
            m_sent.store(true, std::memory_order_release);
        }
        if (m_readRequest.exchange(false, std::memory_order_acq_rel)) {
            didWork = true;
            const int count = m_device->read(m_rxBuffer, keepGoing);
            if (count < 0) {
                m_replied.store(2, std::memory_order_release);
                m_stop.store(true, std::memory_order_release);
                break;
            }
            m_rxLength.store(count, std::memory_order_relaxed);
            m_replied.store(1, std::memory_order_release);
        }
        if (!didWork) {
            std::unique_lock<std::mutex> lock(m_wakeMutex);
            m_wakeCondition.wait_for(lock, kIdleLookInterval, [this] {
                return m_stop.load(std::memory_order_acquire) || m_sendRequest.load(std::memory_order_acquire) ||
                       m_readRequest.load(std::memory_order_acquire);
            });
        }
    }
    m_stop.store(false, std::memory_order_release);
}
