#include "app/DeviceChangeEvent.h"

#include <windows.h>
#include <dbt.h>

DeviceChange deviceChangeFromNativeEvent(const QByteArray& eventType, void* message)
{
    if (eventType != "windows_generic_MSG" || message == nullptr)
        return DeviceChange::None;
    const MSG* msg = static_cast<const MSG*>(message);
    if (msg->message != WM_DEVICECHANGE || msg->lParam == 0)
        return DeviceChange::None;
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(msg->lParam);
    if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE)
        return DeviceChange::None;
    if (msg->wParam == DBT_DEVICEARRIVAL)
        return DeviceChange::Arrival;
    if (msg->wParam == DBT_DEVICEREMOVECOMPLETE)
        return DeviceChange::Removal;
    return DeviceChange::None;
}
