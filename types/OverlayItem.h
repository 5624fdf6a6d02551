#pragma once

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QString>

#include <array>

// One sensor overlay on the device screen: which sensor it shows, how its title (the sensor's
// display name) and its content (the value and unit) look, and whether it is drawn at all.
// Plain value type, used on the GUI thread.
struct OverlayItem
{
    QString hardwareName = QStringLiteral("Default Sensor"); // catalogue device name
    QString sensorName;                                      // sensor within that device
    QColor titleColor = QColor(255, 255, 255);
    QColor contentColor = QColor(255, 255, 255);
    QFont titleFont;     // sized for the device screen's resolution
    QFont contentFont;   // sized for the device screen's resolution
    bool enable = false; // drawn on the device screen

    friend bool operator==(const OverlayItem& a, const OverlayItem& b)
    {
        return a.hardwareName == b.hardwareName && a.sensorName == b.sensorName && a.titleColor == b.titleColor &&
               a.contentColor == b.contentColor && a.titleFont == b.titleFont && a.contentFont == b.contentFont &&
               a.enable == b.enable;
    }
    friend bool operator!=(const OverlayItem& a, const OverlayItem& b) { return !(a == b); }
};

// Number of overlay items; the same as the process-wide `overlayItemCount`.
constexpr int kOverlayItemSlots = 4;

// One point per overlay item index: the top-left corner of a label in preview pixels
// (device pixels x `previewScale`).
using OverlayPositionList = std::array<QPoint, kOverlayItemSlots>;

// Where the title and content labels of every overlay item sit, in landscape (H) and portrait (V).
struct OverlayPositions
{
    OverlayPositionList titlePositionsH{};
    OverlayPositionList contentPositionsH{};
    OverlayPositionList titlePositionsV{};
    OverlayPositionList contentPositionsV{};

    friend bool operator==(const OverlayPositions& a, const OverlayPositions& b)
    {
        return a.titlePositionsH == b.titlePositionsH && a.contentPositionsH == b.contentPositionsH &&
               a.titlePositionsV == b.titlePositionsV && a.contentPositionsV == b.contentPositionsV;
    }
    friend bool operator!=(const OverlayPositions& a, const OverlayPositions& b) { return !(a == b); }
};
