// Vortane Screen: companion program for the pump-head LCD of an all-in-one liquid cooler.

#include "app/FramelessWidget.h"
#include "app/MainWindow.h"
#include "app/SingleApplication.h"
#include "shell/Fonts.h"
#include "shell/ShutdownSignals.h"

#include <QTabWidget>
#include <QTextCodec>

int main(int argc, char** argv)
{
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
