#pragma once

#include <QLoggingCategory>

// Logging category of the media subsystem ("vortane.media").
Q_DECLARE_LOGGING_CATEGORY(lcMedia)
