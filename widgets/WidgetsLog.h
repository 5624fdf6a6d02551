#pragma once

#include <QLoggingCategory>

// Logging category of the widgets subsystem ("vortane.widgets").
Q_DECLARE_LOGGING_CATEGORY(lcWidgets)
