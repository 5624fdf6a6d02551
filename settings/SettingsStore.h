#pragma once

#include "settings/SettingsState.h"

#include <QLocale>
#include <QString>

#include <functional>
#include <memory>

class QSettings;

// The settings file bgConfig.ini and the remark file sensorRemark.ini (locations: AppPaths).
//
// Both are INI files in UTF-8 with every key in the General section. Integers are decimal text,
// doubles QString::number(v, 'g', 6), colours the lowercase hex of QColor::rgba() (read back
// opaque), fonts QFont::toString(). Every save is flushed at once and replaces the file in one
// step, so an interrupted save leaves the previous complete file. A file that cannot be read or
// does not parse behaves as an empty one (what parsed is used) and is kept aside as
// bgConfig.ini.unreadable or bgConfig.ini.broken; a file that cannot be written leaves the
// program running with its values in memory. Nothing of this is reported to the user.
//
// Owned by the main window, created and used on the GUI thread only. It owns both file handles;
// the main window hands the remark file to the sensor catalogue (remarkSettings).
class SettingsStore final
{
public:
    // Writes the default label positions of overlay item `index` (0..3) for `item` into the
    // positions; the overlays know how wide their texts are, the settings do not.
    using DefaultOverlayLayout = std::function<void(int index, const OverlayItem& item, OverlayPositions& positions)>;

    SettingsStore();
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Opens bgConfig.ini and sensorRemark.ini (creating the data folder and its Background folder
    // when needed). Call once, before loadConfig.
    void openSettingsFiles();

    // The layout loadConfig applies to an overlay item whose sensor name is not stored; without
    // one such an item keeps the positions already in the state.
    void setDefaultOverlayLayout(DefaultOverlayLayout layout) { m_defaultOverlayLayout = std::move(layout); }

    // Reads every key into `state`: the media library becomes the default library items found on
    // disk followed by the stored items whose files exist; an ApplyBgID that is not a position of
    // that library reads as 0; the overlay items and their label
    // positions are read, with the default layout for an item whose sensor name is not stored;
    // sets `useFahrenheit`. Values are clamped as the program expects them. On the first launch
    // (isPrivacyPolicyAgree 0) the language comes from the system locale's country.
    // Uses `screenWidth`, `screenHeight`, `previewScale` and `familyMiSansRegular`, so the main
    // window sets those first. Opens the files itself when openSettingsFiles was not called.
    void loadConfig(SettingsState& state);

    // bgMaxCount and the media slots (mediaSlotCount: every item, at least 30 slots), then flush.
    // After a media item is added or deleted, and by saveAppConfig.
    void saveMediaConfig(const SettingsState& state);

    // The four overlay groups with their label positions and ApplyBgID (= currentMediaIndex),
    // then flush. The main window copies its current media index into the state first.
    void saveOverlayConfig(const SettingsState& state);

    // saveMediaConfig, saveOverlayConfig, then temperUnit, SleepMode, ApplyLanguage,
    // ApplyBacklight, ApplyBgCycleMode, ApplyStyleMode, bgDirection, isPrivacyPolicyAgree and
    // screenSwitch, then flush. The main window copies its widgets' values (temperature
    // selector, brightness spin box, toggles) into the state first. First launch and exit.
    void saveAppConfig(const SettingsState& state);

    // Single-key writers: each sets the value in `state` and writes that key at once.
    void saveLanguage(SettingsState& state, int languageIndex);
    void saveTemperUnit(SettingsState& state, int temperUnit);
    void saveScreenSwitch(SettingsState& state, bool on);
    void saveSleepMode(SettingsState& state, int sleepMode);

    // False when the last flush could not write bgConfig.ini: a read-only file or folder (the
    // values are written by the next flush that can), or a write error such as a full disk.
    bool lastSaveSucceeded() const { return m_lastSaveSucceeded; }

    // The bgConfig.ini handle, or null before openSettingsFiles.
    QSettings* settingsFile() const { return m_settings.get(); }
    // The sensorRemark.ini handle, or null before openSettingsFiles. It stays valid while the store
    // lives and is replaced by another openSettingsFiles.
    QSettings* remarkSettings() const { return m_remarks.get(); }

private:
    void ensureOpen();
    void writeMediaSlots(const SettingsState& state);
    void writeOverlayGroups(const SettingsState& state);
    void writeApplicationKeys(const SettingsState& state);
    void flush();

    std::unique_ptr<QSettings> m_settings;
    std::unique_ptr<QSettings> m_remarks;
    DefaultOverlayLayout m_defaultOverlayLayout;
    bool m_lastSaveSucceeded = true;
    bool m_discardUnparsedKeys = false; // the file did not parse; rewrite it whole
};

// The fewest media slots a save writes (bgMaxCount), so readers that expect 30 find them all.
constexpr int kStoredMediaSlots = 30;

// Media slots a save of `state` writes: one per library item, at least kStoredMediaSlots.
int mediaSlotCount(const SettingsState& state);

// Sets the state's default library lists to the default items found in the Default folder
// (HW01H, HW01V, HW02H, HW02V, each with the shipped-medium record of its orientation) and makes
// the media library exactly those items. loadConfig does this before it reads the stored slots.
void resetMediaLibrary(SettingsState& state);

// Overlay item `index` (0..3) as it is before anything is read: "Default Sensor", the index's
// default sensor ("CPU Temp", "GPU Temp", "CPU Usage", "RAM Usage"), opaque white, the MiSans
// family at 0.05 and 0.075 x screenWidth points (weights 57 and 75), disabled.
OverlayItem defaultOverlayItem(int index);

// Language index chosen on the first launch: China 1, Japan 2, South Korea 3, anything else 0.
int languageForCountry(QLocale::Country country);
