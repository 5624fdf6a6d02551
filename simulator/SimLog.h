#pragma once

#include <QLoggingCategory>

// Logging category of the simulated screen ("vortane.simulator").
Q_DECLARE_LOGGING_CATEGORY(lcSimulator)
