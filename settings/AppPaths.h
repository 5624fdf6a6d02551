#pragma once

#include <QString>

// Where the program's files are. Every caller asks here instead of building paths itself.
//
// The program folder holds the executable. A self-contained program folder (the build's bin/ or
// a copy of it) that accepts writes keeps the user's files right there (portable mode). An
// installed program never does, not even when its folder happens to be writable (a program
// started by root): its user's files live in the per-user data folder ($XDG_DATA_HOME/
// vortane-screen, usually ~/.local/share/vortane-screen). The read-only folders (Default,
// Translator, UserAgreement) are found next to the executable or, for an installed program, in
// ../share/vortane-screen/ beside its bin folder.
//
// All paths use forward slashes and carry no trailing slash. GUI thread; the answers are cheap
// (the writability probe runs once per program folder).
namespace AppPaths {

// The folder of the executable, or the folder set with setProgramFolder.
QString programFolder();

// Treat `folder` as the program folder from now on (tests, diagnostics); an empty text returns
// to the executable's own folder.
void setProgramFolder(const QString& folder);

// True when the user's files live in the program folder: it is not an installed layout and it
// accepted a probe write. Nothing is written into an installed layout, not even the probe.
bool isPortable();

// True when `folder` is the bin folder of an installed program: a folder beside
// ../share/vortane-screen (what `cmake --install` and the Debian package lay out), or one of the
// system's command folders (/usr/bin, /usr/local/bin, ...), whatever else they hold.
bool isInstalledLayout(const QString& folder);

// The folder that holds bgConfig.ini, sensorRemark.ini and Background/.
QString dataFolder();

QString settingsFile();     // .../bgConfig.ini
QString remarkFile();       // .../sensorRemark.ini
QString backgroundFolder(); // .../Background: the user's media copies and transcoded videos

QString defaultFolder();       // .../Default: the shipped media
QString translatorFolder();    // .../Translator: Translate_EN.qm ...
QString userAgreementFolder(); // .../UserAgreement: UserAgreement_EN.html ...

// A shipped medium by file name, e.g. defaultMediaFile("defaultbgH.mp4").
QString defaultMediaFile(const QString& fileName);

// The file a stored media path refers to: an absolute path itself when that file exists, else
// the file of that name in the Background folder (which may not exist either).
QString resolveMediaPath(const QString& storedPath);

// True when a new file can be created in `folder` right now. Permission bits alone do not
// tell (read-only mounts, immutable folders, users with override rights), so this creates and
// removes a small probe file.
bool folderAcceptsWrites(const QString& folder);

} // namespace AppPaths
