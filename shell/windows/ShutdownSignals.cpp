#include "shell/ShutdownSignals.h"

#include <QCoreApplication>

// On Windows a logout reaches the program as a session-end message, which Qt already turns into
// the application's orderly quit; there are no POSIX signals to route.
void installShutdownSignalHandlers(QCoreApplication*) {}

bool shutdownRequested()
{
    return false;
}
