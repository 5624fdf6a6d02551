#pragma once

#include <QLoggingCategory>

// Logging category of the sensors subsystem ("vortane.sensors").
Q_DECLARE_LOGGING_CATEGORY(lcSensors)
