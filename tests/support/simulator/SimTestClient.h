#pragma once

#include <QByteArray>
#include <QColor>
#include <QLocalSocket>
#include <QString>

#include <cstdint>
#include <optional>

// The host's side of the simulated link, written plainly for the tests: a raw socket client
// and the packets a host sends. Waits spin the calling thread's event loop, so an in-process
// simulated screen on the same thread keeps working while a test waits for it.
namespace SimTest {

QByteArray identifyRequest();
QByteArray restartRequest(uint8_t target);
// L bytes at `address`; for L = 22 the packet is written as 38 bytes like the host does.
QByteArray firmwareBlock(uint32_t address, const QByteArray& data);
QByteArray firmwareEnd(uint32_t imageBytes, uint32_t imageCrc);
QByteArray frame(const QByteArray& jpeg, int brightness, int displayMode, int sleepFlag);
// An 800 x 480 JPEG of one colour with a white square at (100, 100).
QByteArray jpegPicture(const QColor& colour, int width = 800, int height = 480);

class Client
{
public:
    Client() = default;
    bool connectTo(const QString& socketPath, int timeoutMs = 5000);
    void send(const QByteArray& payload);
    // The next reply's payload, or nothing when none arrived within the time or the link broke.
    std::optional<QByteArray> readReply(int timeoutMs = 5000);
    // Spins the event loop until the link is closed by the other side.
    bool waitForDisconnect(int timeoutMs = 5000);
    QLocalSocket& socket() { return m_socket; }
    // Replies that have arrived and not been read.
    int pendingReplies();

private:
    std::optional<QByteArray> takeReply();

    QLocalSocket m_socket;
    QByteArray m_inbox;
};

} // namespace SimTest
