#include "screen/ScreenLog.h"

Q_LOGGING_CATEGORY(lcScreen, "vortane.screen")
