#pragma once

#include "device/Packets.h"

#include <QThread>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

class UsbDevice;

// The command exchange thread: writes one command packet and reads its reply on request, so the
// GUI thread can wait for the device while it keeps processing events. Runs only during a
// handshake or a firmware update, never together with the frame streamer. Owned by
// WINUSB_MAIN_CTRL; the device object is not owned and outlives it.
//
// Hand-over: the GUI thread fills txBuffer() and the length before it sets the send request
// (release); the thread writes rxLength before it sets replied (release), and the GUI thread
// reads rxBuffer() only after it has seen replied (acquire).
class USB_BURN_CTRL final : public QThread
{
    Q_OBJECT

public:
    static constexpr int kWritePollLimit = 1000;

    // Exchange outcomes before the reply is looked at (the result codes of every exchange).
    enum Result : int
    {
        ExchangeOk = 0,
        ExchangeWriteNotReported = -1,
        ExchangeNoReply = -2,
    };

    explicit USB_BURN_CTRL(UsbDevice* device, QObject* parent = nullptr);
    ~USB_BURN_CTRL() override;

    // GUI thread. Starts the thread if it does not run.
    void startExchanges();
    // GUI thread. Asks the thread to end until it has; a transfer the device does not complete
    // ends within about UsbDevice::kTransferSliceMs.
    void stopExchanges();

    // GUI thread, between exchanges: the packet to write next.
    std::uint8_t* txBuffer() { return m_txBuffer; }
    // GUI thread, after exchange() returned ExchangeOk: the reply, rxLength bytes of it.
    const std::uint8_t* rxBuffer() const { return m_rxBuffer; }

    // GUI thread. Writes txLength bytes of txBuffer() and reads one reply. While it waits it
    // processes pending events and sleeps 1 ms per look: at most kWritePollLimit looks for the
    // write, then at most replyPollLimit looks for the reply. Returns ExchangeOk with *rxLength
    // set, ExchangeWriteNotReported, or ExchangeNoReply (also for a failed read, and at once when
    // the thread has ended and can no longer answer). A running thread whose transfer was given
    // up is replaced by a fresh one. Late replies to earlier exchanges are dropped: those already
    // waiting on the IN pipe before the write, and those read afterwards that plainly answer
    // another command (Packets::replyAnswers); the reply limit counts on across them.
    int exchange(int txLength, int replyPollLimit, int* rxLength);

    // Any thread. Late replies dropped so far (logged as they go).
    int lateRepliesDropped() const { return m_lateRepliesDropped.load(std::memory_order_relaxed); }

protected:
    void run() override;

private:
    Q_DISABLE_COPY(USB_BURN_CTRL)

    void wake();
    void abandonTransfer();

    alignas(8) std::uint8_t m_txBuffer[Packets::kTxBufferSize] = {};
    alignas(8) std::uint8_t m_rxBuffer[Packets::kRxBufferSize] = {};
    std::atomic<int> m_txLength{0};
    std::atomic<int> m_rxLength{0};
    std::atomic<bool> m_sendRequest{false};
    std::atomic<bool> m_sent{false};
    std::atomic<bool> m_readRequest{false};
    std::atomic<int> m_replied{0}; // 1 a reply was read, 2 the read failed
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_lateRepliesDropped{0};
    UsbDevice* const m_device;

    // Lets the idle thread sleep until a request or a stop arrives instead of spinning.
    std::mutex m_wakeMutex;
    std::condition_variable m_wakeCondition;
};
