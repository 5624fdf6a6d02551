// Launch on startup through the current user's Run key in the registry.

#include "settings/AutoStart.h"

#include "settings/SettingsLog.h"

#include <QCoreApplication>
#include <QSettings>

namespace {

const QString kUserRunKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");

// The machine-wide key an older setup may have written; entries there are removed when the user
// turns launch on startup off (this needs administrator rights and fails silently otherwise).
const QString kMachineRunKey =
    QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Run");

} // namespace

bool setAutoStartFor(const QString& executablePath, bool on)
{
    const QString name = QCoreApplication::applicationName();
    QSettings user(kUserRunKey, QSettings::NativeFormat);
    if (on) {
        user.setValue(name,
                      QString(executablePath).replace(QLatin1Char('/'), QLatin1Char('\\')) + QStringLiteral(" min"));
    } else {
        user.remove(name);
        QSettings machine(kMachineRunKey, QSettings::NativeFormat);
        machine.remove(name);
        machine.sync();
    }
    user.sync();
    const bool ok = user.status() == QSettings::NoError;
    if (!ok)
        qCDebug(lcSettings) << "could not change the Run value" << name;
    return ok;
}

bool isAutoStart()
{
    const QSettings user(kUserRunKey, QSettings::NativeFormat);
    return !user.value(QCoreApplication::applicationName()).toString().isEmpty();
}
