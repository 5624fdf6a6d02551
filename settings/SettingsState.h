#pragma once

#include "types/MediaScaleRecord.h"
#include "types/OverlayItem.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

// Every value the program keeps in bgConfig.ini, as plain data. The main window holds one
// instance, keeps it current (copying widget values in before a full save) and hands it to
// SettingsStore to load and save. GUI thread only.
struct SettingsState
{
    int isPrivacyPolicyAgree = 0; // 0 until the first launch without arguments has completed
    int applyLanguage = 0;        // 0 English, 1 simplified Chinese, 2 Japanese, 3 Korean
    int temperUnit = 0;           // 0 Celsius, any other value Fahrenheit
    int applyBacklight = 100;     // screen brightness 0..100
    int applyBgCycleMode = 0;     // 0 repeat one, 1 repeat list, 2 shuffle
    int applyStyleMode = 0;       // 0 sensor overlays, 1 digital clock, 2 analog clock
    int bgDirection = 0;          // start-up orientation without a valid item: 1 portrait, else landscape
    int sleepMode = 0;            // standby toggle: 0 shows it on, 1 off
    bool screenSwitch = true;     // screen on/off toggle
    int currentMediaIndex = 0;    // applied library item, stored as ApplyBgID

    // The media library: one path per item (a bare file name for a file in the Background
    // folder, else a full path) and its record, in the same order. The default library items
    // come first; they are never stored, their slots are written empty.
    QStringList mediaPaths;
    QVector<MediaScaleRecord> mediaRecords;

    // The default library items that exist on disk, in the order HW01H, HW01V, HW02H, HW02V.
    QStringList defaultMediaPaths;
    QVector<MediaScaleRecord> defaultMediaRecords;

    std::array<OverlayItem, kOverlayItemSlots> overlayItems{};
    OverlayPositions overlayPositions;
};
