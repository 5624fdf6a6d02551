#pragma once

#include "screen/ClockFaces.h"
#include "types/MediaScaleRecord.h"
#include "types/OverlayItem.h"

#include <QLabel>
#include <QPixmap>

#include <memory>

class BackgroundPlayback;
class FlexibleLabel;
class OverlayLabels;

// The screen preview `label_bg`: a label that holds the current background frame at screen
// resolution (800 x 480 or 480 x 800) and shows it scaled down to its own size. Its direct
// children are the clock labels "hour", "min" and "Clock" and the eight overlay labels
// title0, content0 ... title3, content3 (FlexibleLabel, properties "ID" 0..3 and "Type" 0 title,
// 1 content), created in that order, all hidden, all showing screen-resolution pixmaps scaled
// down. The composer reads exactly these children. GUI thread only.
class MediaLabel final : public QLabel
{
    Q_OBJECT
    Q_DISABLE_COPY(MediaLabel)

public:
    explicit MediaLabel(QWidget* parent = nullptr);
    ~MediaLabel() override;

    // Stops the current background medium and starts `path` (a still picture, a GIF or a video,
    // by its suffix) cropped, scaled and trimmed by `record`. Its frames become the preview's
    // pixmap at screen resolution (record width x height) and are told through updatebgImage().
    void setBackgroundMedia(const QString& path, const MediaScaleRecord& record);
    // Ends the background medium; the last frame stays.
    void stopMedia();
    // The crop-and-scale rendering of the current medium's record applied to `picture`.
    QImage getLabelScaleImage(const QImage& picture) const;
    BackgroundPlayback* playback() const { return m_playback; }

    // Shows a still background: `frame` at screen resolution becomes the preview's pixmap, and the
    // homepage copy is told through updatebgImage(). Stops the background medium.
    void showStillFrame(const QPixmap& frame);
    // Loads a picture file and shows it as a still; false (and nothing changes) when it cannot be
    // read.
    bool showStillFile(const QString& path);

    // Overlay labels (OverlayLabels.h): shown by their "enable" property (dynamic mode) or all
    // hidden (clock modes).
    void showOverlaysByEnable();
    void hideOverlays();
    // Puts an overlay item's settings on its labels, renders and shows or hides them. The overlay
    // editor and the start-up use this; `index` is 0..3.
    void applyOverlayItem(int index, const OverlayItem& item);
    // The settings the labels of item `index` hold now.
    OverlayItem overlayItem(int index) const;
    // Clock labels (ClockFaces.h): the digital pair for style 0, the analog face for style 1,
    // laid out and drawn; or none.
    void showClockFace(int style);
    void hideClockFaces();
    void layoutAnalogClock();
    void layoutDigitalClock();
    void refreshClock();
    // The local time the clock faces show; the default is the system clock.
    void setClockSource(ClockFaces::Now now);
    // Moves the overlay labels to the positions of the current orientation and lays the clock
    // labels out again in the middle of the preview; called after the preview changed size.
    void applyOrientationLayout();

    void setOverlayPositions(const OverlayPositions& positions);
    const OverlayPositions& overlayPositions() const;
    // 0 one item (videos and GIFs loop, stills stay), 1 list, 2 shuffle (each medium plays once
    // and mediaOver() follows). Reaches the playing medium at once.
    void setPlayCycleMode(int mode);
    int playCycleMode() const;

    // True when the preview has its portrait size (its width is screenHeight x previewScale).
    bool isPortrait() const;

    QLabel* hourLabel() const { return m_clockFaces->hourLabel(); }
    QLabel* minuteLabel() const { return m_clockFaces->minuteLabel(); }
    QLabel* clockLabel() const { return m_clockFaces->clockLabel(); }
    FlexibleLabel* titleLabel(int index) const;
    FlexibleLabel* contentLabel(int index) const;
    OverlayLabels& overlays() const { return *m_overlays; }
    ClockFaces& clockFaces() const { return *m_clockFaces; }

signals:
    // The medium has played to its end (list and shuffle modes advance the library).
    void mediaOver();
    // A new background frame is shown; the homepage shows a copy.
    void updatebgImage(QPixmap frame);

public slots:
    // A background frame at screen resolution: becomes the pixmap and goes to updatebgImage().
    void updataImage(const QImage& frame);
    // New sensor readings: redraw the clock faces, then render overlay items 0..3.
    void updataHwinfoLabel();
    // An overlay editor changed its item: the sender carries the item index as its property "ID"
    // and the item as the properties "hardwareName", "sensorName", "titleColor", "contentColor",
    // "titleFont", "contentFont" and "enable"; applied as applyOverlayItem does. A sender without
    // an "ID" is ignored.
    void updateHwinfoPropertySlot();
    // An overlay label was dragged: remember its position for the current orientation.
    void updateHwLabelXY();

private:
    // Created in this order, which is the order of the preview's children the composer paints.
    ClockFaces* m_clockFaces = nullptr;
    std::unique_ptr<OverlayLabels> m_overlays;
    BackgroundPlayback* m_playback = nullptr;
};
