#include "app/DeviceChangeEvent.h"

// Arrivals and removals reach the main window as signals of the device link here.
DeviceChange deviceChangeFromNativeEvent(const QByteArray& eventType, void* message)
{
    Q_UNUSED(eventType)
    Q_UNUSED(message)
    return DeviceChange::None;
}
