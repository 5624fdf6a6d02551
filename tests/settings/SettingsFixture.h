#pragma once

#include <functional>

// Helpers shared by the settings suites: a throw-away program folder, raw settings files, and a
// way to make a folder refuse writes even for a user with override rights.

#include "settings/AppPaths.h"
#include "settings/SettingsState.h"
#include "settings/SettingsStore.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QTextCodec>

#include <sys/stat.h>

namespace SettingsFixture {

// Runs a helper tool without letting its complaints (an attribute a file system lacks) reach the
// test log.
inline void runQuietly(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    process.waitForFinished(10000);
}

inline void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

inline QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What a suite does to a store before it loads, as the program does (the default overlay layout and
// the remark file's hand-over); nothing by default.
inline std::function<void(SettingsStore&)> prepareStoreHook;

inline void prepareStore(SettingsStore& store)
{
    if (prepareStoreHook)
        prepareStoreHook(store);
}

// Loads the state the program would start with from the current program folder.
inline SettingsState loadState()
{
    SettingsStore store;
    store.openSettingsFiles();
    prepareStore(store);
    SettingsState state;
    store.loadConfig(state);
    return state;
}

// The settings file as Qt reads it, for checking what was written.
inline QStringList storedKeys(const QString& path)
{
    QSettings settings(path, QSettings::IniFormat);
    settings.setIniCodec(QTextCodec::codecForName("UTF-8"));
    return settings.allKeys();
}

// Makes `folder` refuse new files: by permissions, and where those do not bind (running as root)
// by the immutable attribute. Returns false when neither works here.
inline bool makeReadOnly(const QString& folder)
{
    ::chmod(QFile::encodeName(folder).constData(), 0555);
    if (!AppPaths::folderAcceptsWrites(folder))
        return true;
    runQuietly(QStringLiteral("chattr"), {QStringLiteral("+i"), folder});
    return !AppPaths::folderAcceptsWrites(folder);
}

inline void makeWritable(const QString& folder)
{
    runQuietly(QStringLiteral("chattr"), {QStringLiteral("-i"), folder});
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}

// The same for a single file.
inline bool makeFileReadOnly(const QString& path)
{
    ::chmod(QFile::encodeName(path).constData(), 0444);
    QFile probe(path);
    if (!probe.open(QIODevice::Append)) {
        return true;
    }
    probe.close();
    runQuietly(QStringLiteral("chattr"), {QStringLiteral("+i"), path});
    return !probe.open(QIODevice::Append);
}

inline void makeFileWritable(const QString& path)
{
    runQuietly(QStringLiteral("chattr"), {QStringLiteral("-i"), path});
    ::chmod(QFile::encodeName(path).constData(), 0644);
}

} // namespace SettingsFixture
