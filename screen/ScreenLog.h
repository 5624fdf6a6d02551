#pragma once

#include <QLoggingCategory>

// Logging category of the screen subsystem ("vortane.screen").
Q_DECLARE_LOGGING_CATEGORY(lcScreen)
