#pragma once

// The device side of the simulated link, small enough for tests of the host side: a Unix socket
// "<name>.sock" in a folder, answering identify like a screen in normal mode and recording every
// message it receives. Runs its own thread.

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

class SimScreenPeer
{
public:
    struct Message
    {
        std::uint8_t endpoint = 0;
        QByteArray payload;
    };

    // Listens at folder/<name>.sock.
    SimScreenPeer(const QString& folder, const QString& name);
    ~SimScreenPeer();
    SimScreenPeer(const SimScreenPeer&) = delete;
    SimScreenPeer& operator=(const SimScreenPeer&) = delete;

    bool isListening() const { return m_listenFd >= 0; }
    QString socketPath() const { return m_path; }

    // Stops reading from the host entirely (its writes back up).
    void setStalled(bool stalled) { m_stalled.store(stalled); }
    // Before each reply, sends these device-to-host or stray messages first.
    void setPrelude(QList<Message> messages);
    QList<Message> received() const;
    // Closes the connection and removes the socket file.
    void vanish();

private:
    void serve();
    void handle(int fd, const Message& message);

    QString m_path;
    int m_listenFd = -1;
    std::atomic<bool> m_quit{false};
    std::atomic<bool> m_stalled{false};
    mutable std::mutex m_mutex;
    QList<Message> m_received;
    QList<Message> m_prelude;
    std::thread m_thread;
};
