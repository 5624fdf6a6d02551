#pragma once

#include <QObject>
#include <QString>

#include <functional>

class DeviceLink;
class QWidget;

// The firmware update as the user runs it from the settings page: choose a ".bin" file, restart
// the device into update mode if it is not there yet, wait for it to come back, send the image with
// a progress dialog, return the device to normal mode and tell the user how it went.
// GUI thread; the waits process events.
class FirmwareUpdateFlow final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(FirmwareUpdateFlow)

public:
    // `device` outlives this object; the dialogs open over `dialogParent`.
    FirmwareUpdateFlow(DeviceLink* device, QWidget* dialogParent);
    ~FirmwareUpdateFlow() override;

    // Asks the user for the firmware file; an empty answer ends the flow. The default shows the
    // open-file dialog "Select Firmware" for ".bin" files; tests put their own in.
    void setFileChooser(std::function<QString()> chooser) { m_fileChooser = std::move(chooser); }
    // How long the flow waits for the device to come back in update mode (30 s unless set).
    void setUpdateModeWaitLimitMs(int ms) { m_updateModeWaitLimitMs = ms; }

    // The whole update; returns when the closing notice has been shown (or the file choice was
    // cancelled).
    void run();

private:
    // False when the device did not come back in update mode within the limit.
    bool waitForUpdateMode();
    QString chooseFile();

    DeviceLink* m_device;
    QWidget* m_dialogParent;
    int m_updateModeWaitLimitMs = 30000;
    std::function<QString()> m_fileChooser;
};
