#include "simulator/SimLog.h"

Q_LOGGING_CATEGORY(lcSimulator, "vortane.simulator")
