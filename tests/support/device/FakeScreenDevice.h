#pragma once

// An in-process simulated screen controller behind the UsbDevice interface, for controller,
// streamer and firmware tests: it answers identify, restart, firmware blocks and the firmware
// end like the device, records every write, and misbehaves on request.

#include "device/UsbDevice.h"

#include <QByteArray>
#include <QList>
#include <QVector>

#include <atomic>
#include <condition_variable>
#include <mutex>

class FakeScreenDevice final : public UsbDevice
{
    Q_OBJECT

public:
    enum class Fault
    {
        None,
        NoReply,           // commands are taken but never answered
        WrongLength,       // replies one byte short
        BadCrc,            // replies with a flipped CRC bit
        FailWrites,        // every write fails
        StallWrites,       // writes never complete (until the writing thread is told to stop)
        VanishAfterBlocks, // leaves after vanishAfterBlocks firmware blocks
    };

    struct Screen
    {
        QString path;
        QString name = QStringLiteral("Fake screen");
        char state = ';';
        QByteArray version = "1.1.3";
        std::uint8_t model[2] = {0x00, 0x01};
        Fault fault = Fault::None;
        int vanishAfterBlocks = 0;
        int firmwareEndResult = -1; // -1: 0 when length and CRC match, else 2
        int unansweredBlocks = 0;   // the first this many firmware blocks get no reply
        int restartDelayMs = 30;    // how long a restart keeps the screen away
        bool present = true;
        bool permissionDenied = false; // listed, but open() fails as for a user without access
        // The replies to the first this many firmware end commands are held back (the exchange
        // times out) and sent late: by releaseHeldReplies(), or just before the reply to the next
        // command when releaseHeldWithNextCommand is set.
        int heldEndReplies = 0;
        bool releaseHeldWithNextCommand = false;
        int generation = 0; // bumped each time the screen re-enumerates
    };

    // What the screen received, in order.
    struct Received
    {
        QString path;
        QByteArray bytes;
    };

    explicit FakeScreenDevice(QObject* parent = nullptr);
    ~FakeScreenDevice() override;

    // GUI thread, while no device thread runs.
    int addScreen(const Screen& screen);
    Screen& screen(int index) { return m_screens[index]; }

    QList<UsbDeviceInfo> listDevices() override;
    bool open(const QString& path) override;
    bool isOpen() const override;
    bool close() override;
    bool openDeviceStillPresent() override;
    int read(std::uint8_t* buffer, const TransferKeepGoing& keepGoing) override;
    int drainInput(const TransferKeepGoing& keepGoing) override;

    // GUI thread. Sends the held-back replies now: they wait on the IN pipe for the next read.
    void releaseHeldReplies();
    // GUI thread. The screen restarts and comes back under the same path at once (a new
    // generation): the open connection to it goes stale. Emits deviceRemoved() and deviceArrived().
    void reenumerate(int index);
    // Replies waiting to be read.
    int pendingReplies() const;
    // GUI thread. The screen is unplugged: it is no longer listed, and transfers on a connection
    // to it fail. Emits deviceRemoved().
    void unplug(int index);
    // GUI thread. An unplugged screen is plugged in again (a new generation). Emits deviceArrived().
    void plugIn(int index);
    // Any thread. While set, frame writes fail at once (commands still pass).
    void setFrameWritesFail(bool fail) { m_failFrames.store(fail); }
    // Any thread.
    QList<Received> commands() const; // packets starting AA 55
    QList<QByteArray> frames() const; // everything else (screen frames)
    int commandCount() const;
    int frameCount() const;
    QByteArray firmwareImage() const; // assembled from the blocks received
    QList<quint32> blockAddresses() const;
    QList<int> blockWriteLengths() const; // bytes per block write, padding included
    void clearRecords();

    // While closed, frame writes wait (in slices, giving up as the caller asks) until opened.
    void setFrameGate(bool closed);
    // Number of frame writes currently waiting at the gate or stalled.
    int blockedWrites() const { return m_blocked.load(); }

protected:
    int bulkWrite(const std::uint8_t* data, qint64 length, const TransferKeepGoing& keepGoing) override;

private:
    void answerCommand(const std::uint8_t* data, qint64 length);
    void queueReply(QByteArray reply);
    // GUI thread: the screen leaves, and comes back in `mode` after its delay (mode 0 stays away).
    void leave(int index, char comeBackState);
    bool waitWhile(const std::function<bool()>& blocked, const TransferKeepGoing& keepGoing);

    QVector<Screen> m_screens;
    std::atomic<int> m_open{-1}; // index of the open screen
    int m_openGeneration = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    QList<Received> m_commands;
    QList<QByteArray> m_frames;
    QList<QByteArray> m_replies;
    QList<QByteArray> m_held;
    int m_endRepliesHeld = 0;
    QByteArray m_image;
    QList<quint32> m_blockAddresses;
    QList<int> m_blockWriteLengths;
    int m_blocksSeen = 0;
    int m_blocksUnanswered = 0;
    bool m_gateClosed = false;
    bool m_gone = false; // the open screen vanished: its transfers fail
    // A restart request was answered: the screen leaves (index, state it comes back in) once the
    // host has read that answer, as a real screen does. Index -1: nothing armed.
    int m_leaveAfterReply = -1;
    char m_leaveComeBack = 0;
    std::atomic<int> m_blocked{0};
    std::atomic<bool> m_failFrames{false};
};
