#include "settings/SettingsStore.h"

#include <QSettings>

SettingsStore::SettingsStore() = default;
SettingsStore::~SettingsStore() = default;

void SettingsStore::openSettingsFiles() {}
void SettingsStore::loadConfig(SettingsState& state)
{
    Q_UNUSED(state)
}
void SettingsStore::saveMediaConfig(const SettingsState& state)
{
    Q_UNUSED(state)
}
void SettingsStore::saveOverlayConfig(const SettingsState& state)
{
    Q_UNUSED(state)
}
void SettingsStore::saveAppConfig(const SettingsState& state)
{
    Q_UNUSED(state)
}
void SettingsStore::saveLanguage(SettingsState& state, int languageIndex)
{
    state.applyLanguage = languageIndex;
}
void SettingsStore::saveTemperUnit(SettingsState& state, int temperUnit)
{
    state.temperUnit = temperUnit;
}
void SettingsStore::saveScreenSwitch(SettingsState& state, bool on)
{
    state.screenSwitch = on;
}
void SettingsStore::saveSleepMode(SettingsState& state, int sleepMode)
{
    state.sleepMode = sleepMode;
}

void resetMediaLibrary(SettingsState& state)
{
    Q_UNUSED(state)
}
OverlayItem defaultOverlayItem(int index)
{
    Q_UNUSED(index)
    return OverlayItem();
}
void applyDefaultOverlayLayout(int index, const OverlayItem& item, OverlayPositions& positions)
{
    Q_UNUSED(index)
    Q_UNUSED(item)
    Q_UNUSED(positions)
}
int languageForCountry(QLocale::Country country)
{
    Q_UNUSED(country)
    return 0;
}
