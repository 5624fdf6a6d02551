#pragma once

#include <QMutex>
#include <QStringList>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

class SensorLibrary;

// The sensor source: owns the sensor library, lists the machine's devices once at construction
// and, on its own thread, reads every sensor of every device once a second into the sensor
// catalogue (SensorCatalogue.h), then emits upateHwinfo().
//
// Threads: constructed, started and destroyed on the GUI thread. refresh() runs on the worker
// thread once started, and on the GUI thread during start-up before start(); passes never
// overlap. The library is called only from inside a pass, the constructor and the destructor.
class hwinfo final : public QThread
{
    Q_OBJECT
    Q_DISABLE_COPY(hwinfo)

public:
    // Loads the platform's sensor library (Linux: libvortane-sensors.so, program folder first;
    // Windows: "HWiNFO64.dll"), initialises it and builds the GPU list.
    explicit hwinfo(QObject* parent = nullptr);
    // The same with a library the caller has loaded; null stands for a library that is missing.
    explicit hwinfo(std::unique_ptr<SensorLibrary> library, QObject* parent = nullptr);
    // Stops the worker (waking it from its sleep), then calls the library's Close.
    ~hwinfo() override;

    // Sets running and starts the worker thread with the inherited priority. Call once, and
    // only when status is not 0.
    void start();

    // One polling pass: every listed device into the catalogue, then the dashboard selection's
    // finishing step, then upateHwinfo().
    void refresh();

    // The GPU names without their "GPU [#n]: " prefix, in listing order, without duplicates and
    // never "AMD Radeon"; and the index of the GPU whose readings are shown (-1 or an index).
    // Fixed after construction.
    const QStringList& gpuNames() const { return m_gpuNames; }
    int selectedGpuIndex() const { return m_selectedGpuIndex; }

    // Set once by the constructor. -1: the library or one of its six entry points did not
    // load; 0: the library's Init failed; 1: ready.
    int status = 0;
    // Devices reported by the library at construction; 0 unless status is 1.
    int deviceCount = 0;
    // The worker's loop flag: set by start(), cleared by the destructor.
    std::atomic<bool> running{false};

signals:
    // After every pass; connected by the main window with automatic connection type.
    void upateHwinfo();

protected:
    void run() override;

private:
    QString deviceName(int device) const;
    void listGpus();
    void readDevice(int device, const QString& name);

    std::unique_ptr<SensorLibrary> m_library;
    QStringList m_gpuNames;
    int m_selectedGpuIndex = 0;
    QMutex m_passMutex; // one pass at a time
    // The worker's interruptible 1000 ms sleep. Plain pthread primitives: the worker's last act
    // is to release m_sleepMutex, and the destructor takes it after wait(), which hands every
    // access of the worker over to the destructor in a way thread checkers can see.
    std::mutex m_sleepMutex;
    std::condition_variable m_wake;
};
