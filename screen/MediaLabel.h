#pragma once

#include "types/MediaScaleRecord.h"
#include "types/OverlayItem.h"

#include <QLabel>
#include <QPixmap>
#include <QVector>

class BackgroundPlayback;
class FlexibleLabel;

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

    // Overlay labels: shown by their "enable" property (dynamic mode) or all hidden (clock modes).
    void showOverlaysByEnable();
    void hideOverlays();
    // Clock labels: the digital pair for style 0, the analog face for style 1; or none.
    void showClockFace(int style);
    void hideClockFaces();
    // Moves the overlay labels to the positions of the current orientation and lays the clock
    // labels out over the whole preview; called after the preview changed size.
    void applyOrientationLayout();

    void setOverlayPositions(const OverlayPositions& positions) { m_positions = positions; }
    const OverlayPositions& overlayPositions() const { return m_positions; }
    // 0 one item (videos and GIFs loop, stills stay), 1 list, 2 shuffle (each medium plays once
    // and mediaOver() follows). Reaches the playing medium at once.
    void setPlayCycleMode(int mode);
    int playCycleMode() const;

    // True when the preview has its portrait size (its width is screenHeight x previewScale).
    bool isPortrait() const;

    QLabel* hourLabel() const { return m_hour; }
    QLabel* minuteLabel() const { return m_minute; }
    QLabel* clockLabel() const { return m_clock; }
    FlexibleLabel* titleLabel(int index) const { return m_titles.value(index); }
    FlexibleLabel* contentLabel(int index) const { return m_contents.value(index); }

signals:
    // The medium has played to its end (list and shuffle modes advance the library).
    void mediaOver();
    // A new background frame is shown; the homepage shows a copy.
    void updatebgImage(QPixmap frame);

public slots:
    // A background frame at screen resolution: becomes the pixmap and goes to updatebgImage().
    void updataImage(const QImage& frame);
    // New sensor readings: re-render the clock and the overlay texts.
    void updataHwinfoLabel();
    // An overlay editor changed its item.
    void updateHwinfoPropertySlot();
    // An overlay label was dragged: remember its position for the current orientation.
    void updateHwLabelXY();

private:
    QLabel* m_hour = nullptr;
    QLabel* m_minute = nullptr;
    QLabel* m_clock = nullptr;
    QVector<FlexibleLabel*> m_titles;
    QVector<FlexibleLabel*> m_contents;
    OverlayPositions m_positions;
    BackgroundPlayback* m_playback = nullptr;
};
