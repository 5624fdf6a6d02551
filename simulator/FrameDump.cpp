#include "simulator/FrameDump.h"

#include "simulator/SimLog.h"
#include "simulator/SimProtocol.h"
#include "simulator/SimulatorCore.h"

#include <QDateTime>
#include <QDir>
#include <QImage>

#include <cstdio>

namespace {

constexpr int kCountersEveryMs = 200;

const char* presenceName(SimulatorCore::Presence presence)
{
    switch (presence) {
    case SimulatorCore::Presence::Stopped:
        return "stopped";
    case SimulatorCore::Presence::Present:
        return "present";
    case SimulatorCore::Presence::Restarting:
        return "restarting";
    case SimulatorCore::Presence::Vanished:
        return "vanished";
    }
    return "stopped";
}

} // namespace

FrameDump::FrameDump(SimulatorCore* core, const QString& folder, int frameLimit, QObject* parent)
    : QObject(parent)
    , m_core(core)
    , m_folder(QDir(folder).absolutePath())
    , m_frameLimit(frameLimit)
{
    m_countersTimer.setSingleShot(true);
    m_countersTimer.setInterval(kCountersEveryMs);
    connect(&m_countersTimer, &QTimer::timeout, this, &FrameDump::writeCounters);
    connect(core, &SimulatorCore::countersChanged, this, [this] {
        if (!m_countersTimer.isActive())
            m_countersTimer.start();
    });
    connect(core, &SimulatorCore::stateChanged, this, &FrameDump::writeCounters);
    connect(core, &SimulatorCore::firmwareFinished, this, &FrameDump::writeCounters);
    connect(core, &SimulatorCore::frameReceived, this,
            [this](const QImage& picture, int brightness, int displayMode, int sleepFlag, const QByteArray& jpeg) {
                onFrame(jpeg, brightness, displayMode, sleepFlag, picture.width(), picture.height());
            });
}

FrameDump::~FrameDump()
{
    if (m_log.isOpen())
        writeCounters();
}

QString FrameDump::countersFile() const
{
    return m_folder + QStringLiteral("/counters.txt");
}

bool FrameDump::open()
{
    if (!QDir().mkpath(m_folder))
        return false;
    m_log.setFileName(m_folder + QStringLiteral("/frames.csv"));
    if (!m_log.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    m_log.write("index,arrival_ms,jpeg_bytes,brightness,display_mode,sleep_flag,width,height\n");
    m_log.flush();
    writeCounters();
    return true;
}

void FrameDump::onFrame(const QByteArray& jpeg, int brightness, int displayMode, int sleepFlag, int width, int height)
{
    if (!m_log.isOpen())
        return;
    ++m_frameIndex;
    m_log.write(QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8\n")
                    .arg(m_frameIndex)
                    .arg(QDateTime::currentMSecsSinceEpoch())
                    .arg(jpeg.size())
                    .arg(brightness)
                    .arg(displayMode)
                    .arg(sleepFlag)
                    .arg(width)
                    .arg(height)
                    .toLatin1());
    m_log.flush();
    if (m_frameIndex <= quint64(m_frameLimit))
        writeAtomically(m_folder + QStringLiteral("/frame-%1.jpg").arg(m_frameIndex, 6, 10, QLatin1Char('0')), jpeg);
    writeAtomically(m_folder + QStringLiteral("/latest.jpg"), jpeg);
}

void FrameDump::writeCounters()
{
    m_countersTimer.stop();
    const SimulatorCounters& c = m_core->counters();
    QByteArray text;
    auto line = [&text](const char* key, const QString& value) {
        text += key;
        text += '=';
        text += value.toUtf8();
        text += '\n';
    };
    line("name", m_core->name());
    line("socket", m_core->socketPath());
    line("presence", QString::fromLatin1(presenceName(m_core->presence())));
    line("mode", m_core->mode() == SimulatorCore::Mode::Update ? QStringLiteral("update") : QStringLiteral("normal"));
    line("firmware_version", m_core->firmwareVersion());
    line("frames", QString::number(c.frames));
    line("frame_errors", QString::number(c.frameErrors));
    line("jpeg_errors", QString::number(c.jpegErrors));
    line("fps", QString::number(c.fps));
    line("peak_fps", QString::number(c.peakFps));
    line("mean_fps", QString::number(c.meanFps, 'f', 2));
    line("brightness", QString::number(c.brightness));
    line("display_mode", QString::number(c.displayMode));
    line("sleep_flag", QString::number(c.sleepFlag));
    line("frame_width", QString::number(c.frameWidth));
    line("frame_height", QString::number(c.frameHeight));
    line("commands", QString::number(c.commands));
    line("command_errors", QString::number(c.commandErrors));
    line("restarts", QString::number(c.restarts));
    line("firmware_blocks", QString::number(c.firmwareBlocks));
    line("firmware_block_errors", QString::number(c.firmwareBlockErrors));
    line("firmware_bytes", QString::number(c.firmwareBytes));
    line("firmware_accepted", QString::number(c.firmwareAccepted));
    line("firmware_rejected", QString::number(c.firmwareRejected));
    const QByteArray image = m_core->acceptedFirmware();
    line("firmware_image_bytes", QString::number(image.size()));
    line("firmware_image_crc32",
         image.isEmpty() ? QString() : QStringLiteral("%1").arg(SimProtocol::crc32(image), 8, 16, QLatin1Char('0')));
    line("firmware_file", image.isEmpty() ? QString() : m_core->firmwareFile());
    if (!writeAtomically(countersFile(), text))
        qCWarning(lcSimulator).noquote() << "cannot write" << countersFile();
}

bool FrameDump::writeAtomically(const QString& path, const QByteArray& data)
{
    // Readers poll these files while they change; a rename never shows them half written. No
    // fsync: a crash may lose the last write, which a dump can afford at 40 writes a second.
    const QString temporary = path + QStringLiteral(".part");
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size()) {
        file.remove();
        return false;
    }
    file.close();
    if (::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(temporary);
        return false;
    }
    return true;
}
