#pragma once

#include <QByteArray>
#include <QList>
#include <QMutex>
#include <QThread>

#include <atomic>
#include <functional>

class UsbDevice;

// The frame streamer: a worker thread that writes screen-frame packets (header and JPEG) to the
// device, at most one every kMinWriteIntervalMs (start to start), from a queue that holds at most
// one waiting frame (the newest). Whenever it has nothing to write it emits haveNoPacket() and
// sleeps kIdleSleepMs, so frames are made on demand. Owned by WINUSB_MAIN_CTRL; the device object
// is not owned and outlives the streamer.
class USB_DATA_CTRL final : public QThread
{
    Q_OBJECT

public:
    static constexpr int kMinWriteIntervalMs = 25;
    static constexpr int kIdleSleepMs = 10;
    // A device whose frame writes have failed, or not completed, for this long is reported lost.
    static constexpr int kLinkLostMs = 2000;

    // Milliseconds on a monotonic clock; replaceable so tests can step time.
    using Clock = std::function<qint64()>;

    explicit USB_DATA_CTRL(UsbDevice* device, QObject* parent = nullptr);
    ~USB_DATA_CTRL() override;

    // GUI thread. Replaces any waiting frame with this one. The frame's buffer is shared, not copied.
    void pushFrame(const QByteArray& frame);
    // GUI thread. Stops a thread that still runs (dropping its queue), then starts streaming. The
    // first frame after a start is written at once.
    void startStreaming();
    // GUI thread. Drops the waiting frame and waits until the thread has ended; a write that the
    // device does not take ends within about UsbDevice::kTransferSliceMs.
    void stopStreaming();
    bool isStreaming() const { return m_running.load(std::memory_order_acquire); }
    // Frames waiting in the queue (0 or 1).
    int queuedFrames() const;
    // Whether linkLost() has been emitted since the last start.
    bool linkLostReported() const { return m_linkLostReported.load(std::memory_order_acquire); }

    // Before the first start only.
    void setClock(Clock clock) { m_clock = std::move(clock); }

signals:
    // Never emitted; kept so the signal list stays what receivers connect by name.
    void packetReceived(QByteArray packet);
    // Streaming thread: the queue is empty and a frame is wanted.
    void haveNoPacket();
    // Streaming thread: a frame write failed (once per failed frame).
    void deviceDisconnected();
    // Streaming thread, at most once per start: no frame write has succeeded for kLinkLostMs
    // while writes kept failing, or one write has not completed for that long (it is given up).
    // The streamer itself goes on; the controller closes the device.
    void linkLost();

protected:
    void run() override;

private:
    Q_DISABLE_COPY(USB_DATA_CTRL)

    void clearQueue();

    UsbDevice* const m_device;
    std::atomic<bool> m_running{false};
    mutable QMutex m_queueMutex;
    QList<QByteArray> m_queue; // guarded by m_queueMutex
    Clock m_clock;
    // When the previous write began; streaming thread only (reset by a start, before the thread runs).
    qint64 m_lastWriteStartMs = 0;
    bool m_wroteSinceStart = false;
    // When the current run of failed writes began; -1 while the last write succeeded. Streaming
    // thread only (reset by a start, before the thread runs).
    qint64 m_failingSinceMs = -1;
    std::atomic<bool> m_linkLostReported{false};
};
