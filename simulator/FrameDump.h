#pragma once

#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>

class SimulatorCore;

// Writes what a simulated screen receives into a folder, for headless runs and scripts:
//   counters.txt        key=value lines (frames, errors, rates, mode, firmware), rewritten whole
//                        at most every 200 ms and at every state change, atomically by rename
//   frames.csv          one line per good frame: index, arrival ms, JPEG bytes, brightness,
//                        display mode, sleep flag, width, height
//   frame-000001.jpg …  the first `frameLimit` JPEGs exactly as received
//   latest.jpg          the last JPEG received
//
// GUI thread (the core's thread). Observes the core, which must outlive it.
class FrameDump final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(FrameDump)

public:
    FrameDump(SimulatorCore* core, const QString& folder, int frameLimit, QObject* parent = nullptr);
    ~FrameDump() override;

    // Creates the folder and frames.csv. False when it cannot be written.
    bool open();
    // Writes counters.txt now.
    void writeCounters();

    QString countersFile() const;

private:
    void onFrame(const QByteArray& jpeg, int brightness, int displayMode, int sleepFlag, int width, int height);
    bool writeAtomically(const QString& path, const QByteArray& data);

    SimulatorCore* m_core;
    QString m_folder;
    int m_frameLimit;
    quint64 m_frameIndex = 0;
    QFile m_log;
    QTimer m_countersTimer;
};
