#pragma once

#include <QImage>
#include <QVector>
#include <QWidget>

// The trim timeline of the crop-and-scale dialog: a strip of thumbnails with two range handles (trim
// start and end) and a position marker. Dragging the marker reports the position at once
// (currentRange); moving a range handle reports the new range when the handle is let go
// (currentPosChange). Positions are fractions of the widget width. GUI thread only.
class VideoTimeline final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(VideoTimeline)

public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 28;
    // At most this many thumbnails are kept; more are thinned out evenly.
    static constexpr int kMaxThumbnails = 100;

    enum DragMode
    {
        DragNone = 0,
        DragRangeStart = 1,
        DragRangeEnd = 2,
        DragPosition = 3,
    };

    explicit VideoTimeline(QWidget* parent = nullptr);
    ~VideoTimeline() override;

    // Replaces the strip. Thumbnails are kept only at the size of their slot on the strip, and at
    // most kMaxThumbnails of them, so a long or oddly shaped medium cannot fill the memory.
    void setThumbnails(const QVector<QImage>& thumbnails);
    const QVector<QImage>& thumbnails() const { return m_timelineThumbs; }

    // Handles and marker, pixels.
    int rangeStartPx() const { return m_rangeStartPx; }
    int rangeEndPx() const { return m_rangeEndPx; }
    int currentPx() const { return m_currentPx; }
    void setRangePx(int startPx, int endPx);
    void setCurrentPx(int px);
    int dragMode() const { return m_dragMode; }
    int handleWidth() const { return m_handleWidth; }
    int stripHeight() const { return m_stripHeight; }

signals:
    void rangeChanged(int start, int end);
    void currentChanged(int pos);
    // The marker was dragged to this fraction of the width.
    void currentRange(double range);
    // A range handle was let go; the range as fractions of the width.
    void currentPosChange(double start, double end);

public slots:
    // Playback moved to fraction `range` of the medium.
    void setCurrentRange(double range);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int m_handleWidth = 4;
    int m_stripHeight = 24;
    QVector<QImage> m_timelineThumbs;
    int m_currentPx = 0;
    int m_rangeStartPx = 0;
    int m_rangeEndPx = kWidth - 1;
    int m_dragMode = DragNone;
};
