#pragma once

#include <QString>

// Launch on startup for the current user, starting the program hidden in the tray ("min").
// On Linux this is the XDG autostart entry $XDG_CONFIG_HOME/autostart/vortane-screen.desktop
// (usually ~/.config/autostart); on Windows the value named after the application under
// HKEY_CURRENT_USER\Software\Microsoft\Windows\CurrentVersion\Run. Failures are not shown to the
// user; the return value says whether the entry now matches `on`. GUI thread.

// Creates or removes the entry for this program's own executable.
bool setAutoStart(bool on);

// Creates or removes the entry for the given executable (tests, installers).
bool setAutoStartFor(const QString& executablePath, bool on);

// True when the current user's entry exists and is not disabled.
bool isAutoStart();
