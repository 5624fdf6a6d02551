#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QWidget>

#include <array>

// The crop canvas of the crop-and-scale dialog. The widget is 450 x 216 pixels and shows a canvas of
// 900 x 432 units at half size: the picture lives on the canvas (position and size in canvas units),
// the crop rectangle lies over it in widget pixels and always keeps the target frame's aspect ratio.
// The user moves the picture or the rectangle, resizes the rectangle by its eight handles and zooms
// the picture about the pointer with the wheel. The three queries give the crop in canvas units,
// which is what a MediaScaleRecord holds. GUI thread only.
class ImageLabel final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY(ImageLabel)

public:
    // Widget size in pixels, and the canvas in units (two per widget pixel).
    static constexpr int kWidgetWidth = 450;
    static constexpr int kWidgetHeight = 216;
    static constexpr int kCanvasWidth = 900;
    static constexpr int kCanvasHeight = 432;
    // Smallest crop rectangle width a resize may leave, widget pixels.
    static constexpr int kMinCropWidth = 30;
    // Zoom steps by this much per wheel event, up to a ratio just above kMaxZoomRatio and down to
    // just below kMinZoomRatio.
    static constexpr double kZoomStep = 0.01;
    static constexpr double kMaxZoomRatio = 3.0;
    static constexpr double kMinZoomRatio = 0.05;

    // What a press with the left button started.
    enum DragMode
    {
        DragNone = 0,
        DragPicture = 1,
        DragCrop = 2,
        DragTopLeft = 3,
        DragTopMiddle = 4,
        DragTopRight = 5,
        DragMiddleLeft = 6,
        DragMiddleRight = 7,
        DragBottomLeft = 8,
        DragBottomMiddle = 9,
        DragBottomRight = 10,
    };

    // Crop rectangle points, in this order.
    enum CropPoint
    {
        TopLeft,
        TopMiddle,
        TopRight,
        MiddleLeft,
        MiddleRight,
        BottomLeft,
        BottomMiddle,
        BottomRight,
        CropPointCount
    };

    explicit ImageLabel(QWidget* parent = nullptr);
    ~ImageLabel() override;

    // The largest crop rectangle of frameWidth : frameHeight, centred.
    void setFrameAspect(int frameWidth, int frameHeight);
    // Takes a copy of `image`. With `refit` the picture gets the ratio that fits it into the canvas
    // and is centred; without (a further frame of the same playing medium) it keeps ratio and
    // position. A null image leaves the canvas black.
    void setImage(const QImage& image, bool refit);
    // Scales the picture to the canvas width (height) and centres it. No change without a picture.
    void fitWidth();
    void fitHeight();

    // Picture position relative to the crop rectangle's top-left corner, canvas units.
    QPoint imageOffset() const;
    // Scale of the shown picture relative to the source pixels.
    double imageRatio() const { return m_ratio; }
    // Crop rectangle size, canvas units.
    QSize cropCanvasSize() const;

    // State for tests and the dialog.
    const std::array<QPoint, CropPointCount>& cropPoints() const { return m_points; }
    QPoint picturePosition() const { return m_picturePos; }
    QSize displaySize() const { return m_displaySize; }
    const QImage& sourceImage() const { return m_source; }
    int dragMode() const { return m_dragMode; }

    QSize sizeHint() const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int left() const { return m_points[TopLeft].x(); }
    int top() const { return m_points[TopLeft].y(); }
    int right() const { return m_points[BottomRight].x(); }
    int bottom() const { return m_points[BottomRight].y(); }
    void setCropEdges(int left, int top, int right, int bottom);
    // Applies a move of the pointer by (dx, dy) in the current drag mode; true when something changed.
    bool dragBy(int dx, int dy);
    bool resizeBy(int dx, int dy);
    // Display size of the source at `ratio`: rounded, or truncated when `truncate` is set.
    QSize scaledSourceSize(double ratio, bool truncate) const;
    void centreOnCanvas();

    QImage m_source;
    // The picture is never scaled into an image of its own: painting draws the source through a
    // transform clipped to the canvas, so a deep zoom costs no more than the visible part.
    QSize m_displaySize;
    QPoint m_picturePos;  // canvas units
    QPoint m_lastPointer; // widget pixels
    QPoint m_zoomAnchor;  // source pixels
    std::array<QPoint, CropPointCount> m_points;
    double m_aspect = 800.0 / 480.0;
    int m_dragMode = DragNone;
    double m_ratio = 1.0;
};
