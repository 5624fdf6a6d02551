// Launch on startup through the XDG autostart folder: the session starts every desktop entry it
// finds in $XDG_CONFIG_HOME/autostart (usually ~/.config/autostart) at login.

#include "settings/AutoStart.h"

#include "settings/SettingsLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTextStream>

namespace {

QString entryPath()
{
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) +
           QStringLiteral("/autostart/vortane-screen.desktop");
}

// One Exec argument, quoted: inside the quotes '"', '`', '$' and '\' take a backslash, and a
// literal '%' is doubled so it is not read as a field code.
QString quotedExecArgument(const QString& argument)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar ch : argument) {
        if (ch == QLatin1Char('"') || ch == QLatin1Char('`') || ch == QLatin1Char('$') || ch == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        else if (ch == QLatin1Char('%'))
            quoted += QLatin1Char('%');
        quoted += ch;
    }
    return quoted + QLatin1Char('"');
}

// A value of the desktop entry's string type: backslash, newline, tab and carriage return escaped.
QString escapedValue(const QString& value)
{
    QString escaped;
    for (const QChar ch : value) {
        if (ch == QLatin1Char('\\'))
            escaped += QStringLiteral("\\\\");
        else if (ch == QLatin1Char('\n'))
            escaped += QStringLiteral("\\n");
        else if (ch == QLatin1Char('\t'))
            escaped += QStringLiteral("\\t");
        else if (ch == QLatin1Char('\r'))
            escaped += QStringLiteral("\\r");
        else
            escaped += ch;
    }
    return escaped;
}

bool writeEntry(const QString& path, const QString& executablePath)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << "[Desktop Entry]\n"
        << "Type=Application\n"
        << "Version=1.0\n"
        << "Name=Vortane Screen\n"
        << "Comment=Cooler screen companion, started in the tray\n"
        << "Exec=" << escapedValue(quotedExecArgument(QDir::toNativeSeparators(executablePath))) << " min\n"
        << "Icon=vortane-screen\n"
        << "Terminal=false\n"
        << "X-GNOME-Autostart-enabled=true\n";
    out.flush();
    return out.status() == QTextStream::Ok && file.commit();
}

// An entry counts when it has an Exec line and the desktop has not been told to skip it.
bool entryIsActive(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    bool inMainGroup = false;
    bool hasExec = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inMainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!inMainGroup)
            continue;
        const int equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0)
            continue;
        const QString name = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (name == QLatin1String("Exec"))
            hasExec = !value.isEmpty();
        else if (name == QLatin1String("Hidden") && value == QLatin1String("true"))
            return false;
        else if (name == QLatin1String("X-GNOME-Autostart-enabled") && value == QLatin1String("false"))
            return false;
    }
    return hasExec;
}

} // namespace

bool setAutoStartFor(const QString& executablePath, bool on)
{
    const QString path = entryPath();
    if (on) {
        const bool written = writeEntry(path, executablePath);
        if (!written)
            qCDebug(lcSettings) << "could not write the autostart entry" << path;
        return written;
    }
    if (QFileInfo::exists(path) && !QFile::remove(path)) {
        qCDebug(lcSettings) << "could not remove the autostart entry" << path;
        return false;
    }
    return true;
}

bool isAutoStart()
{
    return entryIsActive(entryPath());
}
