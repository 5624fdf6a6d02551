#pragma once

class QCoreApplication;

// Makes the system's requests to end the program (SIGTERM, SIGINT and SIGHUP on Linux: a logout,
// `kill`, Ctrl+C) quit the event loop the way the tray's "Quit" does, so the orderly shutdown
// runs and the settings are written. Call once, on the GUI thread, after the application exists.
void installShutdownSignalHandlers(QCoreApplication* app);

// True once such a request has been handled. A request that arrives while start-up still runs a
// nested event loop (a notice shown during construction) only ends that loop, so main checks this
// before entering its own.
bool shutdownRequested();
