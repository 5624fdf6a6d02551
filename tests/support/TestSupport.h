#pragma once

#include <QString>

namespace TestSupport {

// The assembled program folder (build/<preset>/bin) that the build under test produced.
QString programDir();

// The repository's root folder.
QString sourceDir();

// Path of an executable in the program folder.
QString programFile(const QString& name);

} // namespace TestSupport
