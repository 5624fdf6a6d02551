#pragma once

#include <QLoggingCategory>

// Logging category of the device subsystem ("vortane.device").
Q_DECLARE_LOGGING_CATEGORY(lcDevice)
