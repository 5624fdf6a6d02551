#pragma once

// The program folder a main-window suite runs in: its own copy of what the built program ships that
// the window needs, and the settings file each case starts from.

#include "app/FramelessWidget.h"
#include "settings/AppPaths.h"
#include "tests/support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QVariantMap>

namespace WindowTestFolder {

inline bool copyFiles(const QString& from, const QString& to, const QStringList& names)
{
    QDir().mkpath(to);
    bool copied = true;
    for (const QFileInfo& file : QDir(from).entryInfoList(names, QDir::Files))
        copied = QFile::copy(file.filePath(), to + QLatin1Char('/') + file.fileName()) && copied;
    return copied;
}

inline bool trayPresent()
{
    return true;
}

// Makes `folder` the program folder: the built clock backgrounds (every shipped medium with
// `allDefaultMedia`; without, the library starts empty) and the translations (a missing one would
// stop every start-up at its notice). Simulated screens are looked for in `simFolder`, the
// autostart entry goes under `folder`/config, and the desktop has a tray. False when a copy failed.
inline bool prepare(const QString& folder, const QString& simFolder, bool allDefaultMedia = false)
{
    const QString built = TestSupport::programDir();
    const QStringList media =
        allDefaultMedia ? QStringList()
                        : QStringList{QStringLiteral("defaultbgClockH.jpg"), QStringLiteral("defaultbgClockV.jpg")};
    const bool copied = copyFiles(built + QStringLiteral("/Default"), folder + QStringLiteral("/Default"), media) &&
                        copyFiles(built + QStringLiteral("/Translator"), folder + QStringLiteral("/Translator"), {});
    AppPaths::setProgramFolder(folder);
    qputenv("VORTANE_SIM_DIR", simFolder.toUtf8());
    qputenv("XDG_CONFIG_HOME", (folder + QStringLiteral("/config")).toUtf8());
    FramelessWidget::setTrayProbeForTesting(trayPresent);
    return copied;
}

// A fresh settings file with the agreement accepted and `values`.
inline void writeSettings(const QVariantMap& values)
{
    QFile::remove(AppPaths::settingsFile());
    QSettings ini(AppPaths::settingsFile(), QSettings::IniFormat);
    ini.setValue(QStringLiteral("isPrivacyPolicyAgree"), 1);
    for (auto it = values.begin(); it != values.end(); ++it)
        ini.setValue(it.key(), it.value());
    ini.sync();
}

} // namespace WindowTestFolder
