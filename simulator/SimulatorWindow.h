#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;
class ScreenView;
class SimulatorCore;

// The simulated screen's window: the panel, and below it what the screen knows: its state, the
// header bytes of the last frame, frame rate and error counters, the firmware it received and
// the faults switched on. GUI thread; observes the core, which must outlive it.
class SimulatorWindow final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(SimulatorWindow)

public:
    explicit SimulatorWindow(SimulatorCore* core, QWidget* parent = nullptr);

    ScreenView* screenView() const { return m_screen; }

private:
    void refresh();
    void refreshScreenText();
    QString stateText() const;
    QString displayModeText(int mode) const;
    QString faultsText() const;

    SimulatorCore* m_core;
    ScreenView* m_screen;
    QLabel* m_device;
    QLabel* m_state;
    QLabel* m_frame;
    QLabel* m_rate;
    QLabel* m_errors;
    QLabel* m_firmware;
    QLabel* m_faults;
    QString m_lastFirmware;
    QTimer m_refreshTimer;
};
