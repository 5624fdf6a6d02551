#pragma once

#include <QString>

// Where the program's files are. Every caller asks here instead of building paths itself.
//
// The program folder holds the executable. When it accepts writes (a portable copy, the build
// tree) the user's files live right there; otherwise (an installed program) they live in the
// per-user data folder ($XDG_DATA_HOME/vortane-screen, usually ~/.local/share/vortane-screen).
// The read-only folders (Default, Translator, UserAgreement) are found next to the executable or,
// for an installed program, in ../share/vortane-screen/ beside its bin folder.
//
// All paths use forward slashes and carry no trailing slash. GUI thread; the answers are cheap
// (the writability probe runs once per program folder).
namespace AppPaths {

// The folder of the executable, or the folder set with setProgramFolder.
QString programFolder();

// Treat `folder` as the program folder from now on (tests, diagnostics); an empty text returns
// to the executable's own folder.
void setProgramFolder(const QString& folder);

// True when the user's files live in the program folder (it accepted a probe write).
bool isPortable();

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
