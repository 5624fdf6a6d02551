#include "app/DeviceDiscovery.h"

#include "app/DeviceLink.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QPushButton>
#include <QTimer>

namespace {
Q_LOGGING_CATEGORY(lcDiscovery, "vortane.app.discovery")
} // namespace

DeviceDiscovery::DeviceDiscovery(DeviceLink* device, QPushButton* statusButton, QLabel* firmwareVersionLabel,
                                 QObject* parent)
    : QObject(parent)
    , m_device(device)
    , m_statusButton(statusButton)
    , m_firmwareVersionLabel(firmwareVersionLabel)
    , m_connectTimer(new QTimer(this))
{
    connect(m_connectTimer, &QTimer::timeout, this, &DeviceDiscovery::connectDevice);
    connect(m_device, &DeviceLink::deviceArrived, this, &DeviceDiscovery::deviceArrived);
    connect(m_device, &DeviceLink::deviceRemoved, this, &DeviceDiscovery::deviceRemoved);
    connect(m_device, &DeviceLink::deviceLost, this, &DeviceDiscovery::deviceLost);
    connect(m_device, &DeviceLink::permissionDenied, this, [this](const QString& devicePath, const QString& advice) {
        qCWarning(lcDiscovery).noquote() << "cannot open" << devicePath << "-" << advice;
        if (m_permissionProblemShown)
            return;
        m_permissionProblemShown = true;
        emit permissionProblem(advice);
    });
}

DeviceDiscovery::~DeviceDiscovery() = default;

void DeviceDiscovery::start()
{
    m_connectTimer->start(kConnectIntervalMs);
}

void DeviceDiscovery::stop()
{
    m_connectTimer->stop();
    disconnect(m_device, nullptr, this, nullptr);
}

int DeviceDiscovery::intervalMs() const
{
    return m_connectTimer->isActive() ? m_connectTimer->interval() : 0;
}

void DeviceDiscovery::showConnected(bool connected)
{
    // The button's texts belong to the main window's page and are translated there.
    m_statusButton->setText(connected ? QCoreApplication::translate("MainWindow", "Screen Settings")
                                      : QCoreApplication::translate("MainWindow", "Not Connected"));
    m_statusButton->setCursor(connected ? Qt::PointingHandCursor : Qt::ForbiddenCursor);
}

void DeviceDiscovery::connectDevice()
{
    if (m_connecting)
        return;
    m_connecting = true;
    m_device->openFirstDevice();
    m_connecting = false;
    if (!m_device->isOpen()) {
        // A screen that is slow to answer after power-up, or answered wrongly, is tried again.
        if (!m_connectTimer->isActive())
            keepLooking(kConnectIntervalMs);
        return;
    }
    if (m_device->deviceMode() == 1) {
        m_firmwareVersionLabel->setText(m_device->firmwareVersion());
        showConnected(true);
    }
    m_connectTimer->stop();
}

void DeviceDiscovery::deviceArrived()
{
    keepLooking(kArrivalConnectIntervalMs);
}

void DeviceDiscovery::deviceRemoved()
{
    if (m_device->openDeviceStillPresent())
        return;
    if (m_device->isOpen())
        m_device->closeDevice();
    showConnected(false);
    // Keep looking, so a device that comes back without an arrival notice is still found.
    if (!m_connectTimer->isActive())
        keepLooking(kConnectIntervalMs);
}

void DeviceDiscovery::deviceLost()
{
    showConnected(false);
    keepLooking(kArrivalConnectIntervalMs);
}

void DeviceDiscovery::keepLooking(int intervalMs)
{
    m_connectTimer->start(intervalMs);
}
