#include "settings/AutoStart.h"

bool setAutoStartFor(const QString& executablePath, bool on)
{
    Q_UNUSED(executablePath)
    return !on;
}

bool isAutoStart()
{
    return false;
}
