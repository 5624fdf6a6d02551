// vortane-screen-sim: a simulated screen controller for the program and its tools. It appears
// in the simulated-screen folder as <name>.sock and speaks the screen's protocol over it.

#include "shell/ShutdownSignals.h"
#include "simulator/FrameDump.h"
#include "simulator/SimLog.h"
#include "simulator/SimProtocol.h"
#include "simulator/SimulatorCore.h"
#include "simulator/SimulatorWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

bool wantsHeadless(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        // --help and --version print and leave; they need no display either.
        for (const char* consoleOnly : {"--headless", "--help", "-h", "-?", "--help-all", "--version", "-v"}) {
            if (std::strcmp(argv[i], consoleOnly) == 0)
                return true;
        }
    }
    // Without any display there is no window to show; run as if --headless was given.
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

void fail(const QString& message)
{
    std::fprintf(stderr, "vortane-screen-sim: %s\n", qPrintable(message));
}

bool parseCount(const QCommandLineParser& parser, const QString& option, int* value)
{
    if (!parser.isSet(option))
        return true;
    bool ok = false;
    const int v = parser.value(option).toInt(&ok);
    if (!ok || v < 0) {
        fail(QStringLiteral("--%1 needs a whole number of 0 or more").arg(option));
        return false;
    }
    *value = v;
    return true;
}

// The window's language: --language, else the system's, else English.
void installTranslator(QCoreApplication* app, const QString& requested)
{
    QString code = requested.toUpper();
    if (code.isEmpty()) {
        const QString system = QLocale::system().name();
        code = system.startsWith(QLatin1String("zh"))   ? QStringLiteral("CN")
               : system.startsWith(QLatin1String("ja")) ? QStringLiteral("JP")
               : system.startsWith(QLatin1String("ko")) ? QStringLiteral("KR")
                                                        : QStringLiteral("EN");
    }
    const QString file = QStringLiteral("Translate_%1.qm").arg(code);
    const QString appDir = QCoreApplication::applicationDirPath();
    auto* translator = new QTranslator(app);
    for (const QString& dir :
         {appDir + QStringLiteral("/Translator"), appDir + QStringLiteral("/../share/vortane-screen/Translator")}) {
        if (translator->load(dir + QLatin1Char('/') + file)) {
            app->installTranslator(translator);
            return;
        }
    }
    delete translator;
}

} // namespace

int main(int argc, char** argv)
{
    const bool headless = wantsHeadless(argc, argv);
    std::unique_ptr<QCoreApplication> app =
        headless ? std::make_unique<QCoreApplication>(argc, argv) : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vortane-screen-sim"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VORTANE_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated screen controller of the Vortane cooler. It appears as <name>.sock in the folder\n"
        "$VORTANE_SIM_DIR (else $XDG_RUNTIME_DIR/vortane-screen-sim, else /tmp/vortane-screen-sim-<uid>),\n"
        "answers identify, restart and firmware commands and shows the frames it receives."));
    parser.addHelpOption();
    parser.addVersionOption();
    const SimulatorOptions defaults;
    parser.addOptions({
        {"name", QStringLiteral("Friendly name; the socket is <name>.sock (default \"%1\").").arg(defaults.name),
         "NAME"},
        {"folder", "Folder of simulated screens (default: as described above).", "DIR"},
        {"headless", "No window; pair with --dump to see what arrives."},
        {"dump", "Write received frames, frames.csv and counters.txt into DIR.", "DIR"},
        {"dump-frames", "Keep the first N frames as frame-NNNNNN.jpg (default 100; latest.jpg always).", "N", "100"},
        {"update-mode", "Start in update mode (identify state \"[\")."},
        {"firmware-version",
         QStringLiteral("Five-character firmware version reported (default %1).").arg(defaults.firmwareVersion),
         "X.Y.Z"},
        {"firmware-out",
         "Where an accepted firmware image is saved (default: DIR/firmware.bin with --dump, else "
         "<folder>/<name>.firmware.bin).",
         "FILE"},
        {"restart-delay", "Milliseconds between leaving and coming back after a restart (default 500).", "MS"},
        {"language", "Window language: EN, CN, JP or KR (default: the system's).", "LANG"},
        {"no-reply", "Fault: take commands but never answer them."},
        {"short-reply", "Fault: replies lose their last byte (35 and 12 bytes)."},
        {"bad-crc", "Fault: replies carry a wrong CRC-32."},
        {"state", "Fault: identify reports this state letter (for example [ or + or X).", "C"},
        {"model", "Fault: identify reports these model bytes, four hex digits (default 0001).", "HHHH"},
        {"reject-firmware", "Fault: answer the firmware end with result 1."},
        {"vanish-after-blocks", "Fault: disappear for good after answering N firmware blocks.", "N"},
        {"vanish-after-frames", "Fault: disappear for good after N good frames.", "N"},
        {"stall-after-frames", "Fault: stop taking data after N good frames (writes block).", "N"},
        {"ignore-identify", "Fault: never answer the first N identify requests.", "N"},
        {"wrong-model-identify", "Fault: answer the first N identify requests with other model bytes.", "N"},
        {"late-end-reply",
         "Fault: answer the first firmware end only when the next command arrives, just before its reply."},
    });
    parser.process(*app);
    if (!parser.positionalArguments().isEmpty()) {
        fail(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().constFirst()));
        return 2;
    }

    SimulatorOptions options;
    if (parser.isSet("name"))
        options.name = parser.value("name");
    options.folder = parser.value("folder");
    options.startInUpdateMode = parser.isSet("update-mode");
    if (parser.isSet("firmware-version")) {
        options.firmwareVersion = parser.value("firmware-version");
        if (options.firmwareVersion.size() != 5 ||
            options.firmwareVersion.toLatin1() != options.firmwareVersion.toUtf8()) {
            fail(QStringLiteral("--firmware-version needs five ASCII characters, for example 1.1.3"));
            return 2;
        }
    }
    if (!parseCount(parser, "restart-delay", &options.restartDelayMs))
        return 2;
    SimulatorFaults& faults = options.faults;
    faults.noReply = parser.isSet("no-reply");
    faults.wrongReplyLength = parser.isSet("short-reply");
    faults.badReplyCrc = parser.isSet("bad-crc");
    faults.rejectFirmware = parser.isSet("reject-firmware");
    faults.lateEndReply = parser.isSet("late-end-reply");
    if (parser.isSet("state")) {
        const QByteArray letter = parser.value("state").toLatin1();
        if (letter.size() != 1) {
            fail(QStringLiteral("--state needs one character"));
            return 2;
        }
        faults.stateLetter = letter.at(0);
    }
    if (parser.isSet("model")) {
        bool ok = false;
        const uint model = parser.value("model").toUInt(&ok, 16);
        if (!ok || parser.value("model").size() != 4) {
            fail(QStringLiteral("--model needs four hex digits, for example 0002"));
            return 2;
        }
        options.model = uint16_t(model);
    }
    if (!parseCount(parser, "vanish-after-blocks", &faults.vanishAfterBlocks) ||
        !parseCount(parser, "vanish-after-frames", &faults.vanishAfterFrames) ||
        !parseCount(parser, "stall-after-frames", &faults.stallAfterFrames) ||
        !parseCount(parser, "ignore-identify", &faults.ignoreIdentifies) ||
        !parseCount(parser, "wrong-model-identify", &faults.wrongModelIdentifies))
        return 2;
    int dumpFrames = 100;
    if (!parseCount(parser, "dump-frames", &dumpFrames))
        return 2;
    const QString dumpFolder = parser.value("dump");
    options.firmwareFile = parser.value("firmware-out");
    if (options.firmwareFile.isEmpty() && !dumpFolder.isEmpty())
        options.firmwareFile = QDir(dumpFolder).absoluteFilePath(QStringLiteral("firmware.bin"));

    installShutdownSignalHandlers(app.get());

    SimulatorCore core(options);
    std::unique_ptr<FrameDump> dump;
    if (!dumpFolder.isEmpty()) {
        dump = std::make_unique<FrameDump>(&core, dumpFolder, dumpFrames);
        if (!dump->open()) {
            fail(QStringLiteral("cannot write into %1").arg(dumpFolder));
            return 1;
        }
    }
    std::unique_ptr<SimulatorWindow> window;
    if (!headless) {
        installTranslator(app.get(), parser.value("language"));
        window = std::make_unique<SimulatorWindow>(&core);
    }
    if (!core.start()) {
        fail(core.errorString());
        return 1;
    }
    if (dump)
        dump->writeCounters();
    std::fprintf(stdout, "%s\n", qPrintable(core.socketPath()));
    std::fflush(stdout);
    if (window)
        window->show();

    const int status = app->exec();
    window.reset();
    core.stop();
    dump.reset();
    return status;
}
