#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QString>
#include <QTimer>

#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

class QLocalServer;
class QLocalSocket;

// Ways the simulated screen misbehaves on purpose. Every switch can be changed while it runs.
struct SimulatorFaults
{
    bool noReply = false;          // commands are taken but never answered
    bool wrongReplyLength = false; // replies lose their last byte (35 and 12 bytes)
    bool badReplyCrc = false;      // replies carry a CRC-32 that does not match
    char stateLetter = 0;          // identify answers with this state letter instead of the real one
    bool rejectFirmware = false;   // the firmware end is answered with result 1
    int vanishAfterBlocks = -1;    // after answering this many firmware blocks the device is gone
    int vanishAfterFrames = -1;    // after this many good frames the device is gone
    int stallAfterFrames = -1;     // after this many good frames the device stops taking data
    int ignoreIdentifies = 0;      // the first this many identify requests are never answered
    int wrongModelIdentifies = 0;  // the first this many identify replies carry other model bytes
    bool lateEndReply = false;     // the first firmware end is answered only when the next command arrives
};

struct SimulatorOptions
{
    QString folder;                                    // empty: the simulated-screen folder of this session
    QString name = QStringLiteral("Simulated Screen"); // friendly name; the socket is <name>.sock
    bool startInUpdateMode = false;
    QString firmwareVersion = QStringLiteral("1.1.3"); // five ASCII characters
    uint16_t model = 0x0001;                           // identify reply bytes 27-28
    int restartDelayMs = 500;                          // time between leaving and coming back after a restart
    QString firmwareFile; // where an accepted image goes; empty: <folder>/<name>.firmware.bin
    SimulatorFaults faults;
};

// Running totals of what the screen received. Frame rates are frames per second.
struct SimulatorCounters
{
    quint64 frames = 0;        // frames with a good header and a JPEG that decoded
    quint64 frameErrors = 0;   // writes that looked like frames but failed the length or CRC-16 check
    quint64 jpegErrors = 0;    // frames whose picture did not decode
    quint64 commands = 0;      // command packets received
    quint64 commandErrors = 0; // commands with a bad CRC-32, unknown commands, broken link messages
    quint64 restarts = 0;
    quint64 firmwareBlocks = 0; // good blocks of the current or last image
    quint64 firmwareBlockErrors = 0;
    quint64 firmwareBytes = 0; // bytes assembled so far of the current or last image
    quint64 firmwareAccepted = 0;
    quint64 firmwareRejected = 0;
    int fps = 0;          // frames in the last second
    int peakFps = 0;      // most frames seen within any one second
    double meanFps = 0.0; // over the span from the first to the last frame
    int brightness = -1;  // header of the last good frame; -1 before the first
    int displayMode = -1;
    int sleepFlag = -1;
    int frameWidth = 0;
    int frameHeight = 0;
};

// The screen controller's side of the simulated link: listens on <folder>/<name>.sock, answers
// identify, restart and firmware commands, receives screen frames and counts them.
//
// Lives on the thread that created it and needs that thread's event loop; any number of hosts
// may connect, and each reply goes to the connection that asked. Owns its server, its
// connections and its timers (Qt children).
class SimulatorCore final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(SimulatorCore)

public:
    enum class Mode
    {
        Normal, // identify state ";"
        Update  // identify state "[": firmware blocks are taken
    };
    enum class Presence
    {
        Stopped,    // before start() or after stop()
        Present,    // the socket exists and takes connections
        Restarting, // left after a restart request, coming back shortly
        Vanished    // left on purpose (fault) and stays away
    };

    explicit SimulatorCore(const SimulatorOptions& options, QObject* parent = nullptr);
    ~SimulatorCore() override;

    // Creates the folder and the socket. False (with errorString()) when the socket cannot be
    // made or another simulated screen of this name is running.
    bool start();
    // Leaves: removes the socket and drops every connection.
    void stop();

    QString errorString() const { return m_error; }
    QString socketPath() const;
    QString folder() const { return m_folder; }
    QString name() const { return m_options.name; }
    QString firmwareVersion() const { return m_options.firmwareVersion; }
    uint16_t model() const { return m_options.model; }
    QString firmwareFile() const;
    Mode mode() const { return m_mode; }
    Presence presence() const { return m_presence; }
    const SimulatorCounters& counters() const { return m_counters; }
    // The last firmware image that was accepted (empty before the first).
    QByteArray acceptedFirmware() const { return m_acceptedImage; }

    SimulatorFaults faults() const { return m_options.faults; }
    void setFaults(const SimulatorFaults& faults);

signals:
    // A good frame arrived: the decoded picture, its header bytes and the JPEG as received.
    void frameReceived(const QImage& picture, int brightness, int displayMode, int sleepFlag, const QByteArray& jpeg);
    void countersChanged();
    void stateChanged(); // mode or presence
    // A firmware end was answered; `accepted` tells the result byte (0 when true).
    void firmwareFinished(bool accepted, const QString& savedTo);

private:
    struct Connection;

    bool listen();
    void acceptConnections();
    void readConnection(Connection* connection);
    void handlePayload(Connection* connection, const QByteArray& payload);
    void handleFrame(const QByteArray& payload);
    void handleIdentify(Connection* connection);
    void handleRestart(Connection* connection, const QByteArray& payload);
    void handleFirmwareBlock(Connection* connection, const QByteArray& payload);
    void handleFirmwareEnd(Connection* connection, const QByteArray& payload);
    void reply(Connection* connection, QByteArray packet);
    void leave(Presence presence);
    void dropConnection(Connection* connection);
    void purgeClosedConnections();
    void stallConnections();
    void recordFrameTime();
    void updateRate();
    void setPresence(Presence presence);

    SimulatorOptions m_options;
    QString m_folder;
    QString m_error;
    Mode m_mode = Mode::Normal;
    Presence m_presence = Presence::Stopped;
    bool m_stalled = false;
    QLocalServer* m_server = nullptr;
    std::vector<std::unique_ptr<Connection>> m_connections;
    SimulatorCounters m_counters;

    // Firmware being assembled: blocks are expected in address order; a block may repeat.
    QByteArray m_image;
    bool m_imageBroken = false;
    int m_blocksAnswered = 0;
    int m_identifiesSeen = 0;
    bool m_endReplyHeldOnce = false;
    QByteArray m_acceptedImage;

    QElapsedTimer m_clock;
    std::deque<qint64> m_recentFrames; // arrival times (ms on m_clock) within the last second
    qint64 m_firstFrameMs = -1;
    qint64 m_lastFrameMs = -1;
    QTimer m_rateTimer;
    QTimer m_comeBackTimer;
};
