#pragma once

#include <QByteArray>

// Device-interface arrival and removal carried by a native window message.
enum class DeviceChange { None, Arrival, Removal };

// What a native event of the main window says about devices of the screen's interface class.
// Only Windows sends such messages (WM_DEVICECHANGE); elsewhere the answer is always None.
DeviceChange deviceChangeFromNativeEvent(const QByteArray& eventType, void* message);
