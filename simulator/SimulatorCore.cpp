#include "simulator/SimulatorCore.h"

#include "simulator/SimLog.h"
#include "simulator/SimProtocol.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr int kRateRefreshMs = 250;
constexpr int kRateWindowMs = 1000;
// A firmware image larger than this is refused by the host already; the screen refuses it too.
constexpr int kMaxImageBytes = 64 * 1024 * 1024;
// What the socket of a stalled connection may still buffer here; the rest piles up in the kernel
// until the host's writes block.
constexpr qint64 kStalledReadBuffer = 1;

// The folder of last resort lies under /tmp, where every user may create things: it is used only
// as a folder of this user's that nobody else may enter (mode 0700), made so when missing.
bool sharedFolderIsPrivate(const QString& folder, QString* why)
{
#ifndef _WIN32
    const QByteArray native = QFile::encodeName(folder);
    struct stat st
    {
    };
    if (::lstat(native.constData(), &st) != 0 &&
        ((::mkdir(native.constData(), S_IRWXU) != 0 && errno != EEXIST) || ::lstat(native.constData(), &st) != 0)) {
        *why = QStringLiteral("cannot create %1: %2").arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (!S_ISDIR(st.st_mode) || st.st_uid != ::getuid() || (st.st_mode & 07777) != S_IRWXU) {
        *why = QStringLiteral("%1 is not a folder of this user's with mode 0700; refusing to use it").arg(folder);
        return false;
    }
#else
    Q_UNUSED(folder)
    Q_UNUSED(why)
#endif
    return true;
}

} // namespace

struct SimulatorCore::Connection
{
    QPointer<QLocalSocket> socket;
    QByteArray inbox;
    bool closed = false;
    QByteArray heldReply; // a firmware end reply kept back (lateEndReply)
};

SimulatorCore::SimulatorCore(const SimulatorOptions& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_folder(options.folder.isEmpty() ? SimProtocol::simulatorFolder() : QDir(options.folder).absolutePath())
    , m_mode(options.startInUpdateMode ? Mode::Update : Mode::Normal)
{
    m_clock.start();
    m_rateTimer.setInterval(kRateRefreshMs);
    connect(&m_rateTimer, &QTimer::timeout, this, &SimulatorCore::updateRate);
    m_comeBackTimer.setSingleShot(true);
    connect(&m_comeBackTimer, &QTimer::timeout, this, [this] {
        if (m_presence == Presence::Restarting && !listen()) {
            qCWarning(lcSimulator).noquote() << "cannot come back:" << m_error;
            setPresence(Presence::Stopped);
        }
    });
}

SimulatorCore::~SimulatorCore()
{
    stop();
}

QString SimulatorCore::socketPath() const
{
    return m_folder + QLatin1Char('/') + m_options.name + QStringLiteral(".sock");
}

QString SimulatorCore::firmwareFile() const
{
    if (!m_options.firmwareFile.isEmpty())
        return m_options.firmwareFile;
    return m_folder + QLatin1Char('/') + m_options.name + QStringLiteral(".firmware.bin");
}

void SimulatorCore::setFaults(const SimulatorFaults& faults)
{
    m_options.faults = faults;
}

bool SimulatorCore::start()
{
    if (m_presence == Presence::Present)
        return true;
    m_comeBackTimer.stop();
    m_stalled = false;
    return listen();
}

void SimulatorCore::stop()
{
    m_comeBackTimer.stop();
    if (m_presence == Presence::Stopped)
        return;
    leave(Presence::Stopped);
}

bool SimulatorCore::listen()
{
    if (m_options.name.isEmpty() || m_options.name.contains(QLatin1Char('/'))) {
        m_error = QStringLiteral("the name must not be empty or contain \"/\"");
        return false;
    }
    const bool sharedFallback = m_options.folder.isEmpty() && qEnvironmentVariableIsEmpty("VORTANE_SIM_DIR") &&
                                qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR");
    if (sharedFallback && !sharedFolderIsPrivate(m_folder, &m_error)) {
        qCWarning(lcSimulator).noquote() << m_error;
        return false;
    }
    if (!QDir().mkpath(m_folder)) {
        m_error = QStringLiteral("cannot create the folder %1").arg(m_folder);
        return false;
    }
    // The folder may hold screens of the user's own session only.
    QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    const QString path = socketPath();
    if (QFileInfo::exists(path)) {
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(200)) {
            probe.abort();
            m_error = QStringLiteral("another simulated screen named \"%1\" is running").arg(m_options.name);
            return false;
        }
        QFile::remove(path); // left behind by a screen that was killed
    }

    auto server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) {
        m_error = QStringLiteral("cannot listen on %1: %2").arg(path, server->errorString());
        delete server;
        return false;
    }
    m_server = server;
    connect(m_server, &QLocalServer::newConnection, this, &SimulatorCore::acceptConnections);
    m_rateTimer.start();
    qCInfo(lcSimulator).noquote() << "listening on" << path << (m_mode == Mode::Update ? "in update mode" : "");
    setPresence(Presence::Present);
    return true;
}

void SimulatorCore::acceptConnections()
{
    while (m_server && m_server->hasPendingConnections()) {
        QLocalSocket* socket = m_server->nextPendingConnection();
        auto connection = std::make_unique<Connection>();
        connection->socket = socket;
        Connection* raw = connection.get();
        m_connections.push_back(std::move(connection));
        if (m_stalled)
            socket->setReadBufferSize(kStalledReadBuffer);
        connect(socket, &QLocalSocket::readyRead, this, [this, raw] { readConnection(raw); });
        connect(socket, &QLocalSocket::disconnected, this, [this, raw] { dropConnection(raw); });
        readConnection(raw);
    }
}

void SimulatorCore::readConnection(Connection* connection)
{
    if (connection->closed || m_stalled || !connection->socket)
        return;
    connection->inbox.append(connection->socket->readAll());

    int pos = 0;
    const QByteArray& inbox = connection->inbox;
    while (!connection->closed && !m_stalled && inbox.size() - pos >= SimProtocol::kMessageHeaderBytes) {
        const auto* head = reinterpret_cast<const uint8_t*>(inbox.constData() + pos);
        const uint32_t length = SimProtocol::readBigEndian32(head + 1);
        if (head[0] != SimProtocol::kEndpointOut || length > SimProtocol::kMaxMessageBytes) {
            qCWarning(lcSimulator) << "broken link message (endpoint" << head[0] << "length" << length
                                   << "), dropping the connection";
            ++m_counters.commandErrors;
            emit countersChanged();
            dropConnection(connection);
            return;
        }
        if (quint64(inbox.size() - pos) < SimProtocol::kMessageHeaderBytes + quint64(length))
            break;
        const QByteArray payload = inbox.mid(pos + SimProtocol::kMessageHeaderBytes, int(length));
        pos += SimProtocol::kMessageHeaderBytes + int(length);
        handlePayload(connection, payload);
    }
    if (!connection->closed)
        connection->inbox.remove(0, pos);
}

void SimulatorCore::handlePayload(Connection* connection, const QByteArray& payload)
{
    const SimProtocol::PacketKind kind = SimProtocol::classify(payload);
    switch (kind) {
    case SimProtocol::PacketKind::ScreenFrame:
        handleFrame(payload);
        return;
    default:
        break;
    }
    if (!connection->heldReply.isEmpty()) {
        // The answer to an earlier command, late: it reaches the host before this one's.
        qCInfo(lcSimulator) << "sending the held-back firmware end reply late";
        const QByteArray held = connection->heldReply;
        connection->heldReply.clear();
        reply(connection, held);
    }
    switch (kind) {
    case SimProtocol::PacketKind::ScreenFrame:
        return;
    case SimProtocol::PacketKind::FirmwareBlock:
        ++m_counters.commands;
        handleFirmwareBlock(connection, payload);
        return;
    case SimProtocol::PacketKind::Unknown:
        qCWarning(lcSimulator) << "unknown packet of" << payload.size() << "bytes starting"
                               << payload.left(6).toHex(' ');
        ++m_counters.commandErrors;
        emit countersChanged();
        return;
    case SimProtocol::PacketKind::Identify:
    case SimProtocol::PacketKind::Restart:
    case SimProtocol::PacketKind::FirmwareEnd:
        break;
    }
    ++m_counters.commands;
    if (!SimProtocol::fixedCommandCrcOk(payload)) {
        // A garbled command is not answered, as the screen could not tell what was asked.
        qCWarning(lcSimulator) << "command with a bad CRC-32 or shorter than 36 bytes, not answered";
        ++m_counters.commandErrors;
        emit countersChanged();
        return;
    }
    if (kind == SimProtocol::PacketKind::Identify)
        handleIdentify(connection);
    else if (kind == SimProtocol::PacketKind::Restart)
        handleRestart(connection, payload);
    else
        handleFirmwareEnd(connection, payload);
}

void SimulatorCore::handleFrame(const QByteArray& payload)
{
    SimProtocol::FrameHeader header;
    const SimProtocol::FrameError error = SimProtocol::parseFrame(payload, &header);
    if (error != SimProtocol::FrameError::None) {
        ++m_counters.frameErrors;
        qCWarning(lcSimulator) << "frame of" << payload.size() << "bytes refused:"
                               << (error == SimProtocol::FrameError::BadLengthCrc     ? "length CRC-16 does not match"
                                   : error == SimProtocol::FrameError::LengthMismatch ? "length field does not match"
                                                                                      : "too short");
        emit countersChanged();
        return;
    }
    const QByteArray jpeg = payload.mid(SimProtocol::kFrameHeaderBytes);
    QImage picture;
    if (!picture.loadFromData(jpeg, "JPG")) {
        ++m_counters.jpegErrors;
        qCWarning(lcSimulator) << "frame picture of" << jpeg.size() << "bytes is not a decodable JPEG";
        emit countersChanged();
        return;
    }
    ++m_counters.frames;
    m_counters.brightness = header.brightness;
    m_counters.displayMode = header.displayMode;
    m_counters.sleepFlag = header.sleepFlag;
    m_counters.frameWidth = picture.width();
    m_counters.frameHeight = picture.height();
    recordFrameTime();
    emit frameReceived(picture, header.brightness, header.displayMode, header.sleepFlag, jpeg);
    emit countersChanged();

    const auto frames = qint64(m_counters.frames);
    const SimulatorFaults& f = m_options.faults;
    if (f.vanishAfterFrames >= 0 && frames >= f.vanishAfterFrames) {
        qCInfo(lcSimulator) << "vanishing after" << frames << "frames";
        leave(Presence::Vanished);
    } else if (f.stallAfterFrames >= 0 && frames >= f.stallAfterFrames && !m_stalled) {
        qCInfo(lcSimulator) << "stalling after" << frames << "frames";
        stallConnections();
    }
}

void SimulatorCore::handleIdentify(Connection* connection)
{
    const SimulatorFaults& f = m_options.faults;
    ++m_identifiesSeen;
    if (m_identifiesSeen <= f.ignoreIdentifies) {
        qCInfo(lcSimulator) << "identify request" << m_identifiesSeen << "ignored on purpose";
        return;
    }
    char state = m_mode == Mode::Update ? '[' : ';';
    if (f.stateLetter != 0)
        state = f.stateLetter;
    uint16_t model = m_options.model;
    if (m_identifiesSeen <= f.wrongModelIdentifies) {
        model = model == 0x0002 ? 0x0003 : 0x0002;
        qCInfo(lcSimulator) << "identify request" << m_identifiesSeen << "answered with model bytes" << Qt::hex
                            << model;
    }
    reply(connection, SimProtocol::identifyReply(state, m_options.firmwareVersion, model));
}

void SimulatorCore::handleRestart(Connection* connection, const QByteArray& payload)
{
    const int target = SimProtocol::restartTarget(payload);
    if (target != 0 && target != 1) {
        qCWarning(lcSimulator) << "restart into unknown mode" << target << "ignored";
        ++m_counters.commandErrors;
        reply(connection, SimProtocol::shortReply('O', 1));
        emit countersChanged();
        return;
    }
    reply(connection, SimProtocol::shortReply('O', 0));
    ++m_counters.restarts;
    emit countersChanged();
    const Mode next = target == 0 ? Mode::Update : Mode::Normal;
    qCInfo(lcSimulator) << "restarting into" << (next == Mode::Update ? "update" : "normal") << "mode";
    // While away, the mode is the one it comes back in.
    m_mode = next;
    leave(Presence::Restarting);
    m_comeBackTimer.start(std::max(0, m_options.restartDelayMs));
}

void SimulatorCore::handleFirmwareBlock(Connection* connection, const QByteArray& payload)
{
    SimProtocol::FirmwareBlock block;
    const SimProtocol::BlockError error = SimProtocol::parseFirmwareBlock(payload, &block);
    if (error != SimProtocol::BlockError::None) {
        // A block that fails its own check is not answered; the host times out and gives up.
        qCWarning(lcSimulator) << "firmware block of" << payload.size() << "bytes refused:"
                               << (error == SimProtocol::BlockError::BadCrc      ? "CRC-32 does not match"
                                   : error == SimProtocol::BlockError::BadLength ? "length field out of range"
                                                                                 : "shorter than its length field");
        ++m_counters.firmwareBlockErrors;
        emit countersChanged();
        return;
    }
    uint8_t result = 0;
    if (m_mode != Mode::Update) {
        qCWarning(lcSimulator) << "firmware block in normal mode refused";
        ++m_counters.firmwareBlockErrors;
        result = 1;
    } else {
        if (block.address == 0) {
            m_image.clear();
            m_imageBroken = false;
            m_counters.firmwareBlocks = 0;
        }
        const quint64 end = quint64(block.address) + quint64(block.data.size());
        if (block.address > quint32(m_image.size()) || end > quint64(kMaxImageBytes)) {
            qCWarning(lcSimulator) << "firmware block at" << block.address << "leaves a gap after" << m_image.size()
                                   << "bytes";
            m_imageBroken = true;
            ++m_counters.firmwareBlockErrors;
            result = 1;
        } else {
            if (end > quint64(m_image.size()))
                m_image.resize(int(end));
            std::memcpy(m_image.data() + block.address, block.data.constData(), size_t(block.data.size()));
            ++m_counters.firmwareBlocks;
            m_counters.firmwareBytes = quint64(m_image.size());
        }
    }
    reply(connection, SimProtocol::shortReply('J', result));
    emit countersChanged();

    ++m_blocksAnswered;
    const int vanishAfter = m_options.faults.vanishAfterBlocks;
    if (vanishAfter >= 0 && m_blocksAnswered >= vanishAfter) {
        qCInfo(lcSimulator) << "vanishing after" << m_blocksAnswered << "firmware blocks";
        leave(Presence::Vanished);
    }
}

void SimulatorCore::handleFirmwareEnd(Connection* connection, const QByteArray& payload)
{
    const SimProtocol::FirmwareEnd end = SimProtocol::parseFirmwareEnd(payload);
    QString why;
    if (m_mode != Mode::Update)
        why = QStringLiteral("not in update mode");
    else if (m_imageBroken)
        why = QStringLiteral("blocks were missing");
    else if (quint64(end.imageBytes) != quint64(m_image.size()) || m_image.isEmpty())
        why = QStringLiteral("length %1 announced, %2 received").arg(end.imageBytes).arg(m_image.size());
    else if (SimProtocol::crc32(m_image) != end.imageCrc)
        why = QStringLiteral("image CRC-32 does not match");
    else if (m_options.faults.rejectFirmware)
        why = QStringLiteral("rejected on purpose");

    QString savedTo;
    if (why.isEmpty()) {
        QSaveFile file(firmwareFile());
        if (file.open(QIODevice::WriteOnly) && file.write(m_image) == m_image.size() && file.commit()) {
            savedTo = file.fileName();
        } else {
            qCWarning(lcSimulator).noquote() << "cannot save the firmware image to" << file.fileName();
        }
        m_acceptedImage = m_image;
        ++m_counters.firmwareAccepted;
        qCInfo(lcSimulator).noquote() << "firmware of" << m_image.size() << "bytes accepted, saved to" << savedTo;
    } else {
        ++m_counters.firmwareRejected;
        qCWarning(lcSimulator).noquote() << "firmware refused:" << why;
    }
    m_imageBroken = false;
    const QByteArray answer = SimProtocol::shortReply('L', why.isEmpty() ? 0 : 1);
    if (m_options.faults.lateEndReply && !m_endReplyHeldOnce) {
        m_endReplyHeldOnce = true;
        qCInfo(lcSimulator) << "holding the firmware end reply back until the next command";
        connection->heldReply = answer;
    } else {
        reply(connection, answer);
    }
    emit countersChanged();
    emit firmwareFinished(why.isEmpty(), savedTo);
}

void SimulatorCore::reply(Connection* connection, QByteArray packet)
{
    const SimulatorFaults& f = m_options.faults;
    if (f.noReply || connection->closed || !connection->socket)
        return;
    if (f.wrongReplyLength)
        packet.chop(1);
    if (f.badReplyCrc)
        packet[packet.size() - 1] = char(packet.at(packet.size() - 1) ^ 0x5A);
    connection->socket->write(SimProtocol::message(SimProtocol::kEndpointIn, packet));
    connection->socket->flush();
}

void SimulatorCore::leave(Presence presence)
{
    if (m_server) {
        const QString path = socketPath();
        m_server->close();
        m_server->deleteLater();
        m_server = nullptr;
        QFile::remove(path);
    }
    const bool graceful = presence != Presence::Vanished;
    for (auto& connection : m_connections) {
        if (connection->closed || !connection->socket)
            continue;
        connection->closed = true;
        QLocalSocket* socket = connection->socket;
        socket->disconnect(this);
        if (graceful) {
            socket->flush();
            socket->disconnectFromServer(); // after the last reply is out
        } else {
            socket->abort();
        }
        socket->deleteLater();
    }
    purgeClosedConnections();
    m_stalled = false;
    m_rateTimer.stop();
    m_recentFrames.clear();
    m_counters.fps = 0;
    setPresence(presence);
    emit countersChanged();
}

void SimulatorCore::dropConnection(Connection* connection)
{
    if (connection->closed)
        return;
    connection->closed = true;
    if (QLocalSocket* socket = connection->socket) {
        socket->disconnect(this);
        socket->abort();
        socket->deleteLater();
    }
    purgeClosedConnections();
}

void SimulatorCore::purgeClosedConnections()
{
    // A closed connection may still be in use further up the stack (a reply that made the screen
    // leave); its record goes once the stack has unwound.
    QTimer::singleShot(0, this, [this] {
        m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(),
                                           [](const std::unique_ptr<Connection>& c) { return c->closed; }),
                            m_connections.end());
    });
}

void SimulatorCore::stallConnections()
{
    m_stalled = true;
    for (auto& connection : m_connections) {
        if (!connection->closed && connection->socket)
            connection->socket->setReadBufferSize(kStalledReadBuffer);
    }
}

void SimulatorCore::recordFrameTime()
{
    const qint64 now = m_clock.elapsed();
    if (m_firstFrameMs < 0)
        m_firstFrameMs = now;
    m_lastFrameMs = now;
    m_recentFrames.push_back(now);
    while (!m_recentFrames.empty() && m_recentFrames.front() <= now - kRateWindowMs)
        m_recentFrames.pop_front();
    m_counters.fps = int(m_recentFrames.size());
    m_counters.peakFps = std::max(m_counters.peakFps, m_counters.fps);
    if (m_counters.frames >= 2 && m_lastFrameMs > m_firstFrameMs)
        m_counters.meanFps = double(m_counters.frames - 1) * 1000.0 / double(m_lastFrameMs - m_firstFrameMs);
}

void SimulatorCore::updateRate()
{
    const qint64 now = m_clock.elapsed();
    while (!m_recentFrames.empty() && m_recentFrames.front() <= now - kRateWindowMs)
        m_recentFrames.pop_front();
    const int fps = int(m_recentFrames.size());
    if (fps != m_counters.fps) {
        m_counters.fps = fps;
        emit countersChanged();
    }
}

void SimulatorCore::setPresence(Presence presence)
{
    m_presence = presence;
    emit stateChanged();
}
