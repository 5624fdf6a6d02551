// vortane-screenctl: the cooler's screen from the command line, for headless machines and
// scripts. Works with real screens and simulated ones (vortane-screen-sim) alike.
//
// Exit status: 0 success, 1 the operation failed, 2 wrong usage, 3 no screen found.

#include "device/Packets.h"
#include "device/UsbDevice.h"
#include "device/UsbDeviceFactory.h"
#include "device/WINUSB_MAIN_CTRL.h"
#include "shell/ShutdownSignals.h"
#include "tools/screenctl/ChosenUsbDevice.h"

#include <QBuffer>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QLoggingCategory>
#include <QPainter>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <memory>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int kExitNoScreen = 3;

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 480;
constexpr int kJpegQuality = 90;
// How long one identify may take in `list`: the controller's limit of 1000 polls, and some room.
constexpr int kIdentifyTimeoutMs = 2000;
// How long to wait for the screen to come back in normal mode after the update.
constexpr int kNormalModeWaitMs = 30000;
constexpr int kDiscoveryIntervalMs = 100;
constexpr int kProgressBarWidth = 40;

void printError(const QString& text)
{
    std::fprintf(stderr, "vortane-screenctl: %s\n", qPrintable(text));
}

void printLine(const QString& text)
{
    std::fprintf(stdout, "%s\n", qPrintable(text));
    std::fflush(stdout);
}

bool stdoutIsTerminal()
{
#ifndef _WIN32
    return ::isatty(STDOUT_FILENO) == 1;
#else
    return false;
#endif
}

std::unique_ptr<UsbDevice> makeDevice(const QString& choice)
{
    std::unique_ptr<UsbDevice> device = createUsbDevice();
    if (choice.isEmpty())
        return device;
    return std::make_unique<ChosenUsbDevice>(std::move(device), choice);
}

// Spins the event loop for about `ms` milliseconds.
void pause(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
}

// What one identify exchange told about a device, in words for the list.
struct Identity
{
    QString mode;    // "normal", "update", "third state", or what went wrong
    QString version; // normal mode only
};

Identity identifyOnce(UsbDevice& device, const UsbDeviceInfo& info)
{
    if (!info.problem.isEmpty())
        return {QStringLiteral("no access"), QString()};
    if (!device.open(info.path))
        return {QStringLiteral("cannot open: ") + device.lastError(), QString()};

    QElapsedTimer timer;
    timer.start();
    const TransferKeepGoing keepGoing = [&timer] { return timer.elapsed() < kIdentifyTimeoutMs; };
    std::uint8_t tx[Packets::kTxBufferSize] = {};
    std::uint8_t rx[Packets::kRxBufferSize] = {};
    Identity identity;
    const int txLength = Packets::buildIdentifyRequest(tx);
    int rxLength = -1;
    if (device.writeCommand(tx, txLength, keepGoing) == 1)
        rxLength = device.read(rx, keepGoing);
    Packets::IdentifyReply reply;
    const Packets::ReplyCheck check =
        rxLength < 0 ? Packets::ReplyOk : Packets::checkIdentifyReply(rx, rxLength, &reply);
    if (rxLength < 0) {
        identity.mode = QStringLiteral("no answer");
    } else if (check == Packets::ReplyWrongLength) {
        identity.mode = QStringLiteral("bad reply (%1 bytes)").arg(rxLength);
    } else if (check == Packets::ReplyBadCrc) {
        identity.mode = QStringLiteral("bad reply (CRC)");
    } else if (reply.state == Packets::kStateNormal) {
        if (reply.model[0] == 0x00 && reply.model[1] == 0x01) {
            identity.mode = QStringLiteral("normal");
            identity.version = QString::fromUtf8(reply.version, sizeof reply.version);
        } else {
            identity.mode = QStringLiteral("unsupported model %1 %2")
                                .arg(reply.model[0], 2, 16, QLatin1Char('0'))
                                .arg(reply.model[1], 2, 16, QLatin1Char('0'));
        }
    } else if (reply.state == Packets::kStateUpdate) {
        identity.mode = QStringLiteral("update");
    } else if (reply.state == Packets::kStateThird) {
        identity.mode = QStringLiteral("third state");
    } else {
        identity.mode = QStringLiteral("unknown state 0x%1").arg(reply.state, 2, 16, QLatin1Char('0'));
    }
    device.close();
    return identity;
}

int commandList(const QString& choice, bool terse)
{
    std::unique_ptr<UsbDevice> device = makeDevice(choice);
    const QList<UsbDeviceInfo> infos = device->listDevices();
    if (infos.isEmpty()) {
        printError(choice.isEmpty() ? QStringLiteral("no screen found") : QStringLiteral("no screen %1").arg(choice));
        return kExitNoScreen;
    }
    struct Row
    {
        QString path, name, mode, version;
    };
    QList<Row> rows;
    QStringList problems;
    for (const UsbDeviceInfo& info : infos) {
        const Identity identity = identifyOnce(*device, info);
        rows << Row{info.path, info.name, identity.mode,
                    identity.version.isEmpty() ? QStringLiteral("-") : identity.version};
        if (!info.problem.isEmpty())
            problems << info.path + QStringLiteral(": ") + info.problem;
    }
    if (terse) {
        for (const Row& r : rows)
            printLine(QStringList{r.path, r.name, r.mode, r.version}.join(QLatin1Char('\t')));
    } else {
        int widths[3] = {4, 4, 4};
        for (const Row& r : rows) {
            widths[0] = qMax(widths[0], r.path.size());
            widths[1] = qMax(widths[1], r.name.size());
            widths[2] = qMax(widths[2], r.mode.size());
        }
        auto line = [&widths](const QString& a, const QString& b, const QString& c, const QString& d) {
            printLine(QStringLiteral("%1  %2  %3  %4").arg(a, -widths[0]).arg(b, -widths[1]).arg(c, -widths[2]).arg(d));
        };
        line(QStringLiteral("PATH"), QStringLiteral("NAME"), QStringLiteral("MODE"), QStringLiteral("FIRMWARE"));
        for (const Row& r : rows)
            line(r.path, r.name, r.mode, r.version);
    }
    for (const QString& problem : problems)
        printError(problem);
    return kExitOk;
}

// Connects the controller to the first screen that answers; explains on stderr when none does.
bool connectScreen(WINUSB_MAIN_CTRL& controller, int* exitCode)
{
    UsbDevice* device = controller.usbDevice();
    const QList<UsbDeviceInfo> infos = device->listDevices();
    if (infos.isEmpty()) {
        printError(QStringLiteral("no screen found"));
        *exitCode = kExitNoScreen;
        return false;
    }
    controller.openFirstDevice();
    if (controller.isOpen())
        return true;
    bool explained = false;
    for (const UsbDeviceInfo& info : infos) {
        if (!info.problem.isEmpty()) {
            printError(info.path + QStringLiteral(": ") + info.problem);
            explained = true;
        }
    }
    if (!explained)
        printError(QStringLiteral("no screen answered the identify request (see `vortane-screenctl list`)"));
    *exitCode = kExitFailed;
    return false;
}

QString nameOf(UsbDevice& device, const QString& path)
{
    for (const UsbDeviceInfo& info : device.listDevices()) {
        if (info.path == path)
            return info.name;
    }
    return QString();
}

// The picture fitted into the screen's 800 x 480 on black, as one screen-frame packet.
QByteArray framePacket(const QImage& picture, int brightness)
{
    QImage screen(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
    screen.fill(Qt::black);
    const QSize fitted = picture.size().scaled(screen.size(), Qt::KeepAspectRatio);
    {
        QPainter painter(&screen);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(
            QRect(QPoint((kScreenWidth - fitted.width()) / 2, (kScreenHeight - fitted.height()) / 2), fitted), picture);
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!screen.save(&buffer, "JPG", kJpegQuality))
        return QByteArray();
    QByteArray packet(Packets::kFrameHeaderSize, '\0');
    Packets::buildFrameHeader(reinterpret_cast<std::uint8_t*>(packet.data()), std::uint32_t(jpeg.size()), brightness,
                              true, 0, 0);
    return packet + jpeg;
}

int commandShow(const QString& choice, const QString& file, int seconds, int brightness)
{
    QImageReader reader(file);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        printError(QStringLiteral("cannot read the picture %1: %2").arg(file, reader.errorString()));
        return kExitFailed;
    }
    const QByteArray packet = framePacket(picture, brightness);
    if (packet.isEmpty()) {
        printError(QStringLiteral("cannot encode the picture as JPEG (is Qt's JPEG plug-in installed?)"));
        return kExitFailed;
    }

    WINUSB_MAIN_CTRL controller(makeDevice(choice));
    controller.usbDevice()->registerNotifications(0);
    int exitCode = kExitOk;
    if (!connectScreen(controller, &exitCode))
        return exitCode;
    const QString path = controller.usbDevice()->devicePath();
    if (controller.deviceMode() != WINUSB_MAIN_CTRL::kModeNormal)
        printError(QStringLiteral("note: the screen is not in normal mode (mode %1)").arg(controller.deviceMode()));
    printLine(seconds > 0 ? QStringLiteral("Showing %1 on %2 (%3) for %4 s")
                                .arg(file, nameOf(*controller.usbDevice(), path), path)
                                .arg(seconds)
                          : QStringLiteral("Showing %1 on %2 (%3) until interrupted")
                                .arg(file, nameOf(*controller.usbDevice(), path), path));

    QObject::connect(
        controller.streamer(), &USB_DATA_CTRL::haveNoPacket, &controller,
        [&controller, &packet] { controller.pushFrame(packet); }, Qt::QueuedConnection);
    QObject::connect(
        controller.streamer(), &USB_DATA_CTRL::deviceDisconnected, &controller,
        [&exitCode] {
            if (exitCode == kExitOk) {
                printError(QStringLiteral("the screen stopped taking frames"));
                exitCode = kExitFailed;
            }
            QCoreApplication::quit();
        },
        Qt::QueuedConnection);
    QObject::connect(controller.usbDevice(), &UsbDevice::deviceRemoved, &controller, [&controller, &exitCode] {
        if (controller.handleDeviceRemoved()) {
            if (exitCode == kExitOk) {
                printError(QStringLiteral("the screen went away"));
                exitCode = kExitFailed;
            }
            QCoreApplication::quit();
        }
    });
    controller.pushFrame(packet);
    if (seconds > 0)
        QTimer::singleShot(seconds * 1000, QCoreApplication::instance(), &QCoreApplication::quit);
    QCoreApplication::exec();
    controller.closeDevice();
    return exitCode;
}

class ProgressBar
{
public:
    void show(int percent)
    {
        percent = qBound(0, percent, 100);
        if (percent == m_last)
            return;
        if (m_terminal) {
            const int filled = percent * kProgressBarWidth / 100;
            std::fprintf(stdout, "\r[%s%s] %3d %%", QByteArray(filled, '#').constData(),
                         QByteArray(kProgressBarWidth - filled, '.').constData(), percent);
            if (percent == 100)
                std::fprintf(stdout, "\n");
        } else if (percent / 10 != m_last / 10 || percent == 100) {
            std::fprintf(stdout, "progress %d %%\n", percent);
        }
        std::fflush(stdout);
        m_last = percent;
    }
    // Ends a bar line that stopped short of 100 %.
    void finish()
    {
        if (m_terminal && m_last >= 0 && m_last < 100)
            std::fprintf(stdout, "\n");
        m_last = -1;
    }

private:
    bool m_terminal = stdoutIsTerminal();
    int m_last = -1;
};

// Waits until the controller holds a screen in normal mode, closing one that left and
// connecting one that came back, for at most timeoutMs.
bool waitForNormalMode(WINUSB_MAIN_CTRL& controller, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs) {
        if (controller.isOpen())
            controller.handleDeviceRemoved();
        if (!controller.isOpen())
            controller.openFirstDevice();
        if (controller.isOpen() && controller.deviceMode() == WINUSB_MAIN_CTRL::kModeNormal)
            return true;
        pause(kDiscoveryIntervalMs);
    }
    return false;
}

int commandFirmware(const QString& choice, const QString& file)
{
    const QFileInfo fileInfo(file);
    if (!fileInfo.isFile() || !fileInfo.isReadable()) {
        printError(QStringLiteral("cannot read the firmware file %1").arg(file));
        return kExitFailed;
    }
    if (fileInfo.size() < WINUSB_MAIN_CTRL::kFirmwareMinBytes ||
        fileInfo.size() > WINUSB_MAIN_CTRL::kFirmwareMaxBytes) {
        printError(
            QStringLiteral("%1 has %2 bytes; a firmware image has 8 bytes to 64 MiB").arg(file).arg(fileInfo.size()));
        return kExitFailed;
    }

    WINUSB_MAIN_CTRL controller(makeDevice(choice));
    const QList<UsbDeviceInfo> present = controller.usbDevice()->listDevices();
    if (present.size() > 1) {
        // Writing firmware into the wrong screen is not something to guess about.
        printError(QStringLiteral("%1 screens found; choose one with --device PATH (see `vortane-screenctl list`)")
                       .arg(present.size()));
        return kExitUsage;
    }
    int exitCode = kExitOk;
    if (!connectScreen(controller, &exitCode))
        return exitCode;
    const QString name = nameOf(*controller.usbDevice(), controller.usbDevice()->devicePath());

    if (controller.deviceMode() == WINUSB_MAIN_CTRL::kModeNormal) {
        printLine(
            QStringLiteral("Restarting %1 (firmware %2) into update mode").arg(name, controller.firmwareVersion()));
        const int restart = controller.enterUpdateMode();
        if (restart != 0) {
            printError(QStringLiteral("the screen did not take the restart request (code %1)").arg(restart));
            return kExitFailed;
        }
    } else if (controller.deviceMode() == WINUSB_MAIN_CTRL::kModeUpdate) {
        printLine(QStringLiteral("%1 is already in update mode").arg(name));
    } else {
        // Neither mode: no restart request applies, and waiting for update mode would be in vain.
        printError(QStringLiteral("the screen reports a state (mode %1) from which it cannot be updated")
                       .arg(controller.deviceMode()));
        return kExitFailed;
    }
    if (!controller.waitForUpdateMode(WINUSB_MAIN_CTRL::kUpdateModeWaitMs, true)) {
        printError(QStringLiteral("the screen did not come back in update mode within %1 s")
                       .arg(WINUSB_MAIN_CTRL::kUpdateModeWaitMs / 1000));
        return kExitFailed;
    }

    printLine(QStringLiteral("Writing %1 (%2 bytes); do not unplug the screen").arg(file).arg(fileInfo.size()));
    ProgressBar bar;
    bar.show(0);
    QObject::connect(&controller, &WINUSB_MAIN_CTRL::burnMcuProgress, &controller,
                     [&bar](int percent) { bar.show(percent); });
    const int written = controller.writeFirmwareFile(file);
    bar.finish();
    if (written < 1) {
        // A screen that left during the transfer may not have been noticed yet.
        const bool gone = controller.handleDeviceRemoved() || !controller.isOpen();
        printError(written == -3 ? QStringLiteral("cannot read the firmware file %1").arg(file)
                   : gone
                       ? QStringLiteral("the screen went away during the update; plug it in again and retry")
                       : QStringLiteral("the screen did not accept the firmware; it stays in update mode, try again"));
        return kExitFailed;
    }

    pause(200);
    const int back = controller.returnToNormalMode();
    if (back != 0) {
        printError(QStringLiteral("the firmware was accepted, but the screen did not take the restart into normal mode "
                                  "(code %1); unplug it and plug it in again")
                       .arg(back));
        return kExitFailed;
    }
    printLine(QStringLiteral("Firmware accepted; waiting for the screen to restart"));
    if (!waitForNormalMode(controller, kNormalModeWaitMs)) {
        printError(
            QStringLiteral("the firmware was accepted, but the screen did not come back in normal mode within %1 s")
                .arg(kNormalModeWaitMs / 1000));
        return kExitFailed;
    }
    printLine(QStringLiteral("Updated: %1 runs firmware %2").arg(name, controller.firmwareVersion()));
    controller.closeDevice();
    return kExitOk;
}

bool parseNumber(const QString& text, int low, int high, int* value)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high)
        return false;
    *value = v;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vortane-screenctl"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORTANE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "The Vortane cooler's screen from the command line.\n\n"
        "Commands:\n"
        "  list                    screens present: device path, name, mode, firmware version\n"
        "  show FILE               show a picture (fitted to 800 x 480) for --seconds seconds\n"
        "  firmware FILE.bin       write a firmware image (restart into update mode, transfer, restart)\n\n"
        "Simulated screens (vortane-screen-sim) are listed after real ones.\n"
        "Exit status: 0 success, 1 failure, 2 wrong usage, 3 no screen found."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("list, show or firmware"));
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("picture or firmware image"),
                                 QStringLiteral("[FILE]"));
    parser.addOptions({
        {"device", "Use only this screen: a device path or name from `list`.", "PATH"},
        {"seconds", "show: how long to keep streaming; 0 until interrupted (default 10).", "N", "10"},
        {"brightness", "show: brightness 0-100 (default 100).", "B", "100"},
        {{"t", "terse"}, "list: tab-separated columns without a heading."},
        {{"v", "verbose"}, "Also print the device link's own messages."},
        // Long form only: -v is --verbose here.
        {"version", "Show the version and exit."},
    });
    parser.process(app);
    if (parser.isSet("version"))
        parser.showVersion();
    if (!parser.isSet("verbose") && qEnvironmentVariableIsEmpty("QT_LOGGING_RULES"))
        QLoggingCategory::setFilterRules(QStringLiteral("vortane.*.debug=false\nvortane.*.info=false"));

    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    const QString choice = parser.value("device");
    auto usage = [](const QString& text) {
        printError(text + QStringLiteral(" (see --help)"));
        return kExitUsage;
    };

    if (command == QLatin1String("list")) {
        if (args.size() != 1)
            return usage(QStringLiteral("list takes no file"));
        return commandList(choice, parser.isSet("terse"));
    }
    if (command == QLatin1String("show")) {
        if (args.size() != 2)
            return usage(QStringLiteral("show needs one picture file"));
        int seconds = 10;
        int brightness = 100;
        if (!parseNumber(parser.value("seconds"), 0, 24 * 3600, &seconds))
            return usage(QStringLiteral("--seconds needs a whole number of 0 or more"));
        if (!parseNumber(parser.value("brightness"), 0, 100, &brightness))
            return usage(QStringLiteral("--brightness needs a whole number from 0 to 100"));
        // Ctrl+C ends the show in order: the streamer stops and the link is closed. The firmware
        // command keeps the default, since an interrupted update is repaired by running it again.
        installShutdownSignalHandlers(&app);
        return commandShow(choice, args.at(1), seconds, brightness);
    }
    if (command == QLatin1String("firmware")) {
        if (args.size() != 2)
            return usage(QStringLiteral("firmware needs one image file"));
        return commandFirmware(choice, args.at(1));
    }
    return usage(command.isEmpty() ? QStringLiteral("a command is needed")
                                   : QStringLiteral("unknown command %1").arg(command));
}
