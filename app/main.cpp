// Vortane Screen: companion program for the pump-head LCD of an all-in-one liquid cooler.

#include "app/FramelessWidget.h"
#include "app/MainWindow.h"
#include "app/SingleApplication.h"
#include "shell/Fonts.h"
#include "shell/ShutdownSignals.h"

#include <QTabWidget>
#include <QTextCodec>

#include <cstdio>
#include <cstring>

namespace {

// The command line as --help describes it. It stays English, like the other command-line texts.
const char kUsage[] = "Usage: vortane-screen [min]\n"
                      "\n"
                      "Decides what the LCD of the Vortane liquid cooler shows and streams it to the cooler over USB.\n"
                      "A second launch brings the running window up instead of starting another copy.\n"
                      "\n"
                      "Arguments:\n"
                      "  min            start in the system tray without showing the window (as launch on login does)\n"
                      "  -h, --help     show this help and exit\n"
                      "  --version      show the version and exit\n"
                      "\n"
                      "Other arguments are ignored. Settings and media are kept in ~/.local/share/vortane-screen\n"
                      "($XDG_DATA_HOME/vortane-screen), or beside the program when it runs from a writable program\n"
                      "folder of its own (the build's bin/ folder or a copy of it).\n";

// --help and --version are answered before any display connection or single-instance probe, so they
// work on a console, over ssh and while the program already runs. Every other argument is the
// window's: only "min" has a meaning there.
bool answeredInformationRequest(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("vortane-screen " VORTANE_VERSION "\n", stdout);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (answeredInformationRequest(argc, argv))
        return 0;
    SingleApplication app(argc, argv);
    if (app.alreadyRunning())
        return 0;
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    registerFonts();
    app.setWindowIcon(QIcon(QStringLiteral(":/favicon.ico")));
    installShutdownSignalHandlers(&app);

    FramelessWidget frame;
    auto* window = new MainWindow;
    frame.setMainWidget(window);
    app.mainWidget = &frame;

    const QStringList args = app.arguments();
    if (args.size() > 1) {
        if (args.at(1) == QLatin1String("min")) {
            frame.hide();
        } else {
            frame.show();
            frame.raise();
        }
    } else if (window->isPrivacyPolicyAgree != 0) {
        frame.show();
    } else {
        window->tabWidget_home->setCurrentIndex(1);
        frame.show();
        frame.raise();
        window->isPrivacyPolicyAgree = 1;
        window->saveAppConfig();
    }

    const int code = shutdownRequested() ? 0 : app.exec();
    delete window;
    return code;
}
