#pragma once

#include <QApplication>
#include <QPointer>
#include <QString>

#include <memory>

class QLocalServer;
class QLockFile;
class QWidget;

// What a running instance does when another launch of the same executable knocks.
enum class SecondLaunchAction
{
    Activate, // bring the main widget up
    Arm,      // first knock on an instance started with "min": stay hidden, answer the next one
    Ignore,   // started with some other argument: never brought up this way
};

// Decides from this instance's own arguments (program name first) and its armed flag.
SecondLaunchAction secondLaunchAction(const QStringList& arguments, int minArmed);

// The application object. It allows one running copy per executable: the constructor probes for
// a running instance and, when there is none, listens for later launches.
//
// The instance name is the executable's full path followed by its file name. The local socket
// itself lives in the user's runtime folder under a digest of that name, reachable by this user
// only, so another user's launch of the same executable is a separate instance. Which launch is
// the first is decided by a lock file beside the socket, held for the life of the first instance:
// of two launches at the same moment exactly one gets it, while the socket only carries a later
// launch's knock ("show yourself") to the first instance.
class SingleApplication final : public QApplication
{
    Q_OBJECT
    Q_DISABLE_COPY(SingleApplication)

public:
    SingleApplication(int& argc, char** argv);
    ~SingleApplication() override;

    // True when another instance answered the probe; such a process should exit at once.
    bool alreadyRunning() const { return running; }

    const QString& instanceName() const { return serverName; }
    // Path of the local socket derived from the instance name.
    QString socketPath() const;
    // Path of the lock file that decides which launch is the first.
    QString lockPath() const;

    // Top-level widget brought up by a later launch; not owned.
    QPointer<QWidget> mainWidget;

private slots:
    void NewLocalConnection();

private:
    void probePrimary();
    // Knocks on the first instance, giving it up to kKnockPatienceMs to start listening.
    void knockOnPrimary();
    void listenForSecondaries();
    void activateMainWidget();

    QLocalServer* server = nullptr;
    std::unique_ptr<QLockFile> instanceLock;
    QString serverName;
    bool running = false;
    int minArmed = 0;
};
