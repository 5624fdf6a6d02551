// Test host: a single-instance program whose hidden widget reports each time a later launch
// brings it up. Prints "primary" or "secondary" at start, "shown" per activation and "stopped"
// after an orderly end of its event loop (SIGTERM).

#include "app/SingleApplication.h"
#include "shell/ShutdownSignals.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

void say(const char* line)
{
    std::printf("%s\n", line);
    std::fflush(stdout);
}

class ShowReporter final : public QObject
{
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            say("shown");
            // Hide again so the next activation shows it anew.
            QTimer::singleShot(0, static_cast<QWidget*>(watched), &QWidget::hide);
        }
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    SingleApplication app(argc, argv);
    if (app.alreadyRunning()) {
        say("secondary");
        return 0;
    }
    installShutdownSignalHandlers(&app);
    QWidget widget;
    ShowReporter reporter;
    widget.installEventFilter(&reporter);
    app.mainWidget = &widget;
    say("primary");
    const int code = app.exec();
    say("stopped");
    return code;
}
