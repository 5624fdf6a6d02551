#pragma once

#include "types/OverlayItem.h"

#include <QLabel>
#include <QPixmap>
#include <QVector>

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

    // Shows a still background: `frame` at screen resolution becomes the preview's pixmap, and the
    // homepage copy is told through updatebgImage().
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
    void setPlayCycleMode(int mode) { m_playCycleMode = mode; }
    int playCycleMode() const { return m_playCycleMode; }

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
    int m_playCycleMode = 0;
};
