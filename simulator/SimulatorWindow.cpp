#include "simulator/SimulatorWindow.h"

#include "simulator/ScreenView.h"
#include "simulator/SimulatorCore.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kRefreshMs = 100; // labels follow the counters ten times a second at most

} // namespace

SimulatorWindow::SimulatorWindow(SimulatorCore* core, QWidget* parent)
    : QWidget(parent)
    , m_core(core)
    , m_screen(new ScreenView(this))
    , m_device(new QLabel(this))
    , m_state(new QLabel(this))
    , m_frame(new QLabel(this))
    , m_rate(new QLabel(this))
    , m_errors(new QLabel(this))
    , m_firmware(new QLabel(this))
    , m_faults(new QLabel(this))
{
    setWindowTitle(tr("Simulated screen: %1").arg(core->name()));
    m_device->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_faults->setWordWrap(true);

    auto* form = new QFormLayout;
    form->setContentsMargins(12, 8, 12, 10);
    form->setLabelAlignment(Qt::AlignRight);
    form->setHorizontalSpacing(10);
    form->addRow(tr("Device:"), m_device);
    form->addRow(tr("State:"), m_state);
    form->addRow(tr("Last frame:"), m_frame);
    form->addRow(tr("Frame rate:"), m_rate);
    form->addRow(tr("Errors:"), m_errors);
    form->addRow(tr("Firmware:"), m_firmware);
    form->addRow(tr("Faults:"), m_faults);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_screen);
    layout->addLayout(form);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_refreshTimer.setSingleShot(true);
    m_refreshTimer.setInterval(kRefreshMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, &SimulatorWindow::refresh);
    connect(core, &SimulatorCore::countersChanged, this, [this] {
        if (!m_refreshTimer.isActive())
            m_refreshTimer.start();
    });
    connect(core, &SimulatorCore::stateChanged, this, [this] {
        refresh();
        refreshScreenText();
    });
    connect(core, &SimulatorCore::frameReceived, this,
            [this](const QImage& picture, int brightness, int, int, const QByteArray&) {
                m_screen->setPicture(picture, brightness);
            });
    connect(core, &SimulatorCore::firmwareFinished, this, [this](bool accepted, const QString&) {
        const int bytes = m_core->acceptedFirmware().size();
        m_lastFirmware = accepted ? tr("last image accepted (%n bytes)", nullptr, bytes) : tr("last image rejected");
        refresh();
    });
    refresh();
    refreshScreenText();
}

void SimulatorWindow::refresh()
{
    const SimulatorCounters& c = m_core->counters();
    m_device->setText(tr("%1, firmware %2 (%3)").arg(m_core->name(), m_core->firmwareVersion(), m_core->socketPath()));
    m_state->setText(stateText());

    if (c.brightness < 0) {
        m_frame->setText(tr("none yet"));
    } else {
        const QString standby = c.sleepFlag == 0 ? tr("standby mode on") : tr("standby mode off");
        const QString backlight = c.brightness == 0 ? tr("brightness 0 (dark)") : tr("brightness %1").arg(c.brightness);
        m_frame->setText(tr("%1 x %2, %3, %4, %5")
                             .arg(c.frameWidth)
                             .arg(c.frameHeight)
                             .arg(backlight, displayModeText(c.displayMode), standby));
    }
    m_rate->setText(tr("%1 fps (peak %2, mean %3), %n frames", nullptr, int(qMin<quint64>(c.frames, INT_MAX)))
                        .arg(c.fps)
                        .arg(c.peakFps)
                        .arg(c.meanFps, 0, 'f', 1));
    m_errors->setText(tr("%1 in frame headers, %2 in pictures, %3 in commands, %4 in firmware blocks")
                          .arg(c.frameErrors)
                          .arg(c.jpegErrors)
                          .arg(c.commandErrors)
                          .arg(c.firmwareBlockErrors));
    QString firmware =
        tr("%n blocks, %1 bytes received", nullptr, int(qMin<quint64>(c.firmwareBlocks, INT_MAX))).arg(c.firmwareBytes);
    if (!m_lastFirmware.isEmpty())
        firmware = tr("%1; %2").arg(firmware, m_lastFirmware);
    m_firmware->setText(firmware);
    m_faults->setText(faultsText());
    if (m_core->mode() == SimulatorCore::Mode::Update && m_core->presence() == SimulatorCore::Presence::Present)
        m_screen->setUpdateProgress(tr("Update mode\n%1").arg(firmware));
    else
        m_screen->setUpdateProgress(QString());
}

void SimulatorWindow::refreshScreenText()
{
    switch (m_core->presence()) {
    case SimulatorCore::Presence::Present:
        if (m_core->counters().brightness < 0)
            m_screen->setIdleText(tr("Waiting for frames"));
        break;
    case SimulatorCore::Presence::Restarting:
        m_screen->setIdleText(tr("Restarting"));
        break;
    case SimulatorCore::Presence::Vanished:
        m_screen->setIdleText(tr("Disconnected"));
        break;
    case SimulatorCore::Presence::Stopped:
        m_screen->setIdleText(tr("Switched off"));
        break;
    }
}

QString SimulatorWindow::stateText() const
{
    const bool update = m_core->mode() == SimulatorCore::Mode::Update;
    switch (m_core->presence()) {
    case SimulatorCore::Presence::Present:
        return update ? tr("update mode") : tr("normal mode");
    case SimulatorCore::Presence::Restarting:
        return update ? tr("restarting into update mode") : tr("restarting into normal mode");
    case SimulatorCore::Presence::Vanished:
        return tr("disconnected on purpose");
    case SimulatorCore::Presence::Stopped:
        break;
    }
    return tr("switched off");
}

QString SimulatorWindow::displayModeText(int mode) const
{
    switch (mode) {
    case 0:
        return tr("dynamic display");
    case 1:
        return tr("digital clock");
    case 2:
        return tr("analog clock");
    default:
        return tr("display mode %1").arg(mode);
    }
}

QString SimulatorWindow::faultsText() const
{
    const SimulatorFaults f = m_core->faults();
    QStringList list;
    if (f.noReply)
        list << tr("no replies");
    if (f.wrongReplyLength)
        list << tr("replies one byte short");
    if (f.badReplyCrc)
        list << tr("replies with a bad CRC");
    if (f.stateLetter != 0)
        list << tr("state \"%1\"").arg(QLatin1Char(f.stateLetter));
    if (m_core->model() != 0x0001)
        list << tr("model bytes %1").arg(m_core->model(), 4, 16, QLatin1Char('0'));
    if (f.rejectFirmware)
        list << tr("firmware rejected");
    if (f.vanishAfterBlocks >= 0)
        list << tr("vanishes after %n firmware blocks", nullptr, f.vanishAfterBlocks);
    if (f.vanishAfterFrames >= 0)
        list << tr("vanishes after %n frames", nullptr, f.vanishAfterFrames);
    if (f.stallAfterFrames >= 0)
        list << tr("stalls after %n frames", nullptr, f.stallAfterFrames);
    //: Separator between the faults of the list
    return list.isEmpty() ? tr("none") : list.join(tr(", "));
}
