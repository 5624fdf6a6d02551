#include "sensors/SensorsLog.h"

Q_LOGGING_CATEGORY(lcSensors, "vortane.sensors")
