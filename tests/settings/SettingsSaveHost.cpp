// Saves the whole settings file over and over, each generation with different values, until it is
// killed. Prints "saved" once the first save is on disk. Argument: the program folder to use.

#include "settings/AppPaths.h"
#include "settings/SettingsStore.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2)
        return 2;
    AppPaths::setProgramFolder(QString::fromLocal8Bit(argv[1]));
    SettingsStore store;
    store.openSettingsFiles();
    SettingsState state;
    store.loadConfig(state);
    for (int generation = 1;; ++generation) {
        state.bgDirection = generation;
        state.mediaPaths.clear();
        state.mediaRecords.clear();
        for (int i = 0; i < kStoredMediaSlots; ++i) {
            state.mediaPaths << QStringLiteral("generation %1 item %2.png").arg(generation).arg(i);
            MediaScaleRecord record = MediaScaleRecord::defaultMedium(800, 480);
            record.x = generation;
            state.mediaRecords << record;
        }
        store.saveAppConfig(state);
        if (generation == 1) {
            std::puts(store.lastSaveSucceeded() ? "saved" : "failed");
            std::fflush(stdout);
        }
    }
}
