#include "settings/AutoStart.h"

#include <QCoreApplication>

bool setAutoStart(bool on)
{
    return setAutoStartFor(QCoreApplication::applicationFilePath(), on);
}
