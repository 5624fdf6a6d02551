#include "app/SingleApplication.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>

namespace {

constexpr int kProbeTimeoutMs = 500;
constexpr int kSecondaryWaitMs = 1000;
// A first instance that has just taken the lock listens a moment later; a later launch keeps
// knocking this long before it gives up (it exits either way).
constexpr int kKnockPatienceMs = 3000;
constexpr int kKnockRetryMs = 20;

} // namespace

SecondLaunchAction secondLaunchAction(const QStringList& arguments, int minArmed)
{
    if (arguments.size() <= 1 || minArmed == 1)
        return SecondLaunchAction::Activate;
    if (arguments.at(1) == QLatin1String("min"))
        return SecondLaunchAction::Arm;
    return SecondLaunchAction::Ignore;
}

SingleApplication::SingleApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("vortane-screen"));
    setApplicationDisplayName(QStringLiteral("Vortane Screen"));
    setDesktopFileName(QStringLiteral("vortane-screen"));

    const QString path = applicationFilePath();
    serverName = path + QFileInfo(path).fileName();
    minArmed = 0;
    running = false;

    instanceLock = std::make_unique<QLockFile>(lockPath());
    // Never stale by age: the first instance may run for weeks. A lock whose process is gone is
    // still taken over.
    instanceLock->setStaleLockTime(0);
    if (instanceLock->tryLock(0)) {
        listenForSecondaries();
        return;
    }
    if (instanceLock->error() == QLockFile::LockFailedError) {
        running = true;
        knockOnPrimary();
        return;
    }
    // The lock cannot be made at all (the folder is not writable): the socket alone decides.
    instanceLock.reset();
    probePrimary();
    if (!running)
        listenForSecondaries();
}

SingleApplication::~SingleApplication() = default;

namespace {

QString instanceFile(const QString& serverName, const QString& suffix)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    const QByteArray digest = QCryptographicHash::hash(serverName.toUtf8(), QCryptographicHash::Sha256).toHex();
    return folder + QStringLiteral("/vortane-screen-") + QString::fromLatin1(digest.left(24)) + suffix;
}

} // namespace

QString SingleApplication::socketPath() const
{
    return instanceFile(serverName, QStringLiteral(".sock"));
}

QString SingleApplication::lockPath() const
{
    return instanceFile(serverName, QStringLiteral(".lock"));
}

void SingleApplication::knockOnPrimary()
{
    QElapsedTimer patience;
    patience.start();
    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(socketPath(), QIODevice::ReadWrite);
        if (socket.waitForConnected(kProbeTimeoutMs)) {
            socket.close();
            return;
        }
        if (patience.elapsed() >= kKnockPatienceMs)
            return;
        QThread::msleep(kKnockRetryMs);
    }
}

void SingleApplication::probePrimary()
{
    QLocalSocket socket;
    socket.connectToServer(socketPath(), QIODevice::ReadWrite);
    if (socket.waitForConnected(kProbeTimeoutMs)) {
        running = true;
        socket.close();
    }
}

void SingleApplication::listenForSecondaries()
{
    server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server, &QLocalServer::newConnection, this, &SingleApplication::NewLocalConnection);
    const QString name = socketPath();
    if (!server->listen(name) && server->serverError() == QAbstractSocket::AddressInUseError) {
        // A crashed instance left its socket behind; nobody answered the probe, so it is stale.
        QLocalServer::removeServer(name);
        server->listen(name);
    }
}

void SingleApplication::NewLocalConnection()
{
    QLocalSocket* connection = server->nextPendingConnection();
    if (connection == nullptr)
        return;
    // The other launch sends nothing; this returns as soon as it disconnects.
    connection->waitForReadyRead(kSecondaryWaitMs);
    delete connection;

    switch (secondLaunchAction(arguments(), minArmed)) {
    case SecondLaunchAction::Activate:
        activateMainWidget();
        break;
    case SecondLaunchAction::Arm:
        minArmed = 1;
        break;
    case SecondLaunchAction::Ignore:
        break;
    }
}

void SingleApplication::activateMainWidget()
{
    if (mainWidget.isNull())
        return;
    mainWidget->raise();
    mainWidget->showNormal();
    mainWidget->activateWindow();
}
