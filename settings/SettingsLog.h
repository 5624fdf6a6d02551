#pragma once

#include <QLoggingCategory>

// Logging category of the settings subsystem ("vortane.settings").
Q_DECLARE_LOGGING_CATEGORY(lcSettings)
