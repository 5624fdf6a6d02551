#include "media/ImageLabel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace {

// Right and bottom limits of the crop rectangle, widget pixels.
constexpr int kCropMaxRight = ImageLabel::kWidgetWidth - 3;
constexpr int kCropMaxBottom = ImageLabel::kWidgetHeight - 2;

// Handle hit tolerances, widget pixels.
constexpr int kCornerReach = 3;
constexpr int kEdgeMiddleReachAlong = 5;
constexpr int kSideMiddleReachAbove = 7;
constexpr int kSideMiddleReachBelow = 9;

constexpr int kShadeAlpha = 0xB2;
constexpr int kGridAlpha = 0x33;
constexpr int kCornerMarkLength = 7;
const QColor kOutlineColor(0x00, 0xA8, 0xFF);

bool within(QPoint p, QPoint centre, int reachX, int reachY)
{
    return std::abs(p.x() - centre.x()) <= reachX && std::abs(p.y() - centre.y()) <= reachY;
}

} // namespace

ImageLabel::ImageLabel(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(kWidgetWidth, kWidgetHeight);
    setFrameAspect(800, 480);
}

ImageLabel::~ImageLabel() = default;

QSize ImageLabel::sizeHint() const
{
    return {kWidgetWidth, kWidgetHeight};
}

void ImageLabel::setFrameAspect(int frameWidth, int frameHeight)
{
    if (frameWidth <= 0 || frameHeight <= 0)
        return;
    m_aspect = double(frameWidth) / frameHeight;
    const int widthAtFullHeight = int(m_aspect * kCanvasHeight);
    int cropLeft = 0;
    int cropTop = 0;
    int cropRight = 0;
    int cropBottom = 0;
    if (widthAtFullHeight <= kCanvasWidth) {
        const int quarter = widthAtFullHeight / 4;
        cropLeft = 225 - quarter;
        cropRight = 223 + quarter;
        cropBottom = kCropMaxBottom;
    } else {
        const int quarter = int(898 / m_aspect) / 4;
        cropLeft = 1;
        cropRight = kCropMaxRight;
        cropTop = 108 - quarter;
        cropBottom = 106 + quarter;
    }
    m_points[TopLeft] = {cropLeft, cropTop};
    m_points[TopMiddle] = {225, cropTop};
    m_points[TopRight] = {cropRight, cropTop};
    m_points[MiddleLeft] = {cropLeft, 108};
    m_points[MiddleRight] = {cropRight, 108};
    m_points[BottomLeft] = {cropLeft, cropBottom};
    m_points[BottomMiddle] = {225, cropBottom};
    m_points[BottomRight] = {cropRight, cropBottom};
    update();
}

void ImageLabel::setCropEdges(int cropLeft, int cropTop, int cropRight, int cropBottom)
{
    const int middleX = qRound((cropLeft + cropRight) / 2.0);
    const int middleY = qRound((cropTop + cropBottom) / 2.0);
    m_points[TopLeft] = {cropLeft, cropTop};
    m_points[TopMiddle] = {middleX, cropTop};
    m_points[TopRight] = {cropRight, cropTop};
    m_points[MiddleLeft] = {cropLeft, middleY};
    m_points[MiddleRight] = {cropRight, middleY};
    m_points[BottomLeft] = {cropLeft, cropBottom};
    m_points[BottomMiddle] = {middleX, cropBottom};
    m_points[BottomRight] = {cropRight, cropBottom};
}

QSize ImageLabel::scaledSourceSize(double ratio, bool truncate) const
{
    const double width = m_source.width() * ratio;
    const double height = m_source.height() * ratio;
    if (truncate)
        return {int(width), int(height)};
    return {int(width + 0.5), int(height + 0.5)};
}

void ImageLabel::centreOnCanvas()
{
    m_displaySize = scaledSourceSize(m_ratio, false);
    m_picturePos = {int((kCanvasWidth - m_displaySize.width()) * 0.5),
                    int((kCanvasHeight - m_displaySize.height()) * 0.5)};
}

void ImageLabel::setImage(const QImage& image, bool refit)
{
    m_source = image.copy();
    if (refit) {
        const int width = m_source.width();
        const int height = m_source.height();
        if (width <= kCanvasWidth && height < kCanvasHeight)
            m_ratio = 1.0;
        else if (double(width) / height <= double(kCanvasWidth) / kCanvasHeight)
            m_ratio = double(kCanvasHeight) / height;
        else
            m_ratio = double(kCanvasWidth) / width;
        centreOnCanvas();
    } else {
        m_displaySize = scaledSourceSize(m_ratio, false);
    }
    update();
}

void ImageLabel::fitWidth()
{
    // A picture that failed to load has no size to fit; its ratio stays what it is.
    if (m_source.width() <= 0)
        return;
    m_ratio = double(kCanvasWidth) / m_source.width();
    centreOnCanvas();
    update();
}

void ImageLabel::fitHeight()
{
    if (m_source.height() <= 0)
        return;
    m_ratio = double(kCanvasHeight) / m_source.height();
    centreOnCanvas();
    update();
}

QPoint ImageLabel::imageOffset() const
{
    return {m_picturePos.x() - 2 * left(), m_picturePos.y() - 2 * top()};
}

QSize ImageLabel::cropCanvasSize() const
{
    return {2 * (m_points[TopRight].x() - m_points[TopLeft].x()),
            2 * (m_points[BottomLeft].y() - m_points[TopLeft].y())};
}

void ImageLabel::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint p = event->localPos().toPoint();
    m_lastPointer = p;
    const auto& pts = m_points;
    Qt::CursorShape cursor = Qt::ClosedHandCursor;
    if (within(p, pts[TopLeft], kCornerReach, kCornerReach)) {
        m_dragMode = DragTopLeft;
        cursor = Qt::SizeFDiagCursor;
    } else if (within(p, pts[BottomLeft], kCornerReach, kCornerReach)) {
        m_dragMode = DragBottomLeft;
        cursor = Qt::SizeBDiagCursor;
    } else if (within(p, pts[TopRight], kCornerReach, kCornerReach)) {
        m_dragMode = DragTopRight;
        cursor = Qt::SizeBDiagCursor;
    } else if (within(p, pts[BottomRight], kCornerReach, kCornerReach)) {
        m_dragMode = DragBottomRight;
        cursor = Qt::SizeFDiagCursor;
    } else if (within(p, pts[TopMiddle], kEdgeMiddleReachAlong, kCornerReach)) {
        m_dragMode = DragTopMiddle;
        cursor = Qt::SizeVerCursor;
    } else if (within(p, pts[BottomMiddle], kEdgeMiddleReachAlong, kCornerReach)) {
        m_dragMode = DragBottomMiddle;
        cursor = Qt::SizeVerCursor;
    } else if (std::abs(p.x() - pts[MiddleRight].x()) <= kCornerReach &&
               p.y() >= pts[MiddleRight].y() - kSideMiddleReachAbove &&
               p.y() <= pts[MiddleRight].y() + kSideMiddleReachBelow) {
        m_dragMode = DragMiddleRight;
        cursor = Qt::SizeHorCursor;
    } else if (std::abs(p.x() - pts[MiddleLeft].x()) <= kCornerReach &&
               p.y() >= pts[MiddleLeft].y() - kSideMiddleReachAbove &&
               p.y() <= pts[MiddleLeft].y() + kSideMiddleReachBelow) {
        m_dragMode = DragMiddleLeft;
        cursor = Qt::SizeHorCursor;
    } else if (p.x() >= left() && p.x() <= right() && p.y() >= top() && p.y() <= bottom()) {
        m_dragMode = DragCrop;
    } else {
        m_dragMode = DragPicture;
    }
    setCursor(cursor);
}

void ImageLabel::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint p = event->localPos().toPoint();
    const QPoint delta = p - m_lastPointer;
    m_lastPointer = p;
    if (dragBy(delta.x(), delta.y()))
        update();
}

bool ImageLabel::dragBy(int dx, int dy)
{
    switch (m_dragMode) {
    case DragPicture:
        // Widget pixels added to canvas units: the picture follows at half the pointer's speed,
        // which makes fine placement easy.
        m_picturePos += QPoint(dx, dy);
        return true;
    case DragCrop: {
        if (left() + dx < 0 || top() + dy < 0 || right() + dx > kCropMaxRight || bottom() + dy > kCropMaxBottom)
            return false;
        for (QPoint& point : m_points)
            point += QPoint(dx, dy);
        return true;
    }
    case DragNone:
        return false;
    default:
        return resizeBy(dx, dy);
    }
}

bool ImageLabel::resizeBy(int dx, int dy)
{
    const int l = left();
    const int t = top();
    const int r = right();
    const int b = bottom();
    int newLeft = l;
    int newTop = t;
    int newRight = r;
    int newBottom = b;
    // One edge follows the pointer; a second moves by the truncated difference between the width
    // (height) the aspect asks for and the current one, so the rectangle keeps the frame's shape.
    switch (m_dragMode) {
    case DragTopLeft:
    case DragTopMiddle:
        newTop = t + dy;
        newLeft = l - int(m_aspect * (b - newTop) - (r - l));
        if (newLeft < 0 || newTop < 0 || r - newLeft < kMinCropWidth)
            return false;
        break;
    case DragTopRight:
        newTop = t + dy;
        newRight = r + int(m_aspect * (b - newTop) - (r - l));
        if (newTop < 0 || newRight > kCropMaxRight || newRight - l < kMinCropWidth)
            return false;
        break;
    case DragMiddleLeft:
        newLeft = l + dx;
        newTop = t - int((r - newLeft) / m_aspect - (b - t));
        if (r - newLeft < kMinCropWidth || newLeft < 0 || newTop < 0)
            return false;
        break;
    case DragMiddleRight:
    case DragBottomRight:
        newRight = r + dx;
        newBottom = b + int((newRight - l) / m_aspect - (b - t));
        if (newRight > kCropMaxRight || newRight - l < kMinCropWidth || newBottom > kCropMaxBottom)
            return false;
        break;
    case DragBottomLeft:
        newBottom = b + dy;
        newLeft = l - int(m_aspect * (newBottom - t) - (r - l));
        if (newBottom > kCropMaxBottom || newLeft < 0 || r - newLeft < kMinCropWidth)
            return false;
        break;
    case DragBottomMiddle:
        newBottom = b + dy;
        newRight = r + int(m_aspect * (newBottom - t) - (r - l));
        if (newRight > kCropMaxRight || newBottom > kCropMaxBottom || newRight - l < kMinCropWidth)
            return false;
        break;
    default:
        return false;
    }
    setCropEdges(newLeft, newTop, newRight, newBottom);
    return true;
}

void ImageLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    setCursor(Qt::ArrowCursor);
    m_dragMode = DragNone;
}

void ImageLabel::wheelEvent(QWheelEvent* event)
{
    event->ignore();
    // Without a picture there is nothing to zoom, and the ratio stays the one "Done" reports.
    if (m_source.isNull())
        return;
    // The pointer on the canvas: the source pixel under it stays under it while the ratio changes.
    const QPoint p = (event->position() * 2.0).toPoint();
    const int displayWidth = m_displaySize.width();
    const int displayHeight = m_displaySize.height();
    int anchorX = 0;
    if (m_picturePos.x() >= p.x())
        anchorX = 0;
    else if (m_picturePos.x() + displayWidth <= p.x())
        anchorX = m_source.width();
    else
        anchorX = int(double(m_source.width()) * (p.x() - m_picturePos.x()) / displayWidth);
    int anchorY = 0;
    if (m_picturePos.y() >= p.y())
        anchorY = 0;
    else if (m_picturePos.y() + displayHeight <= p.y())
        anchorY = m_source.height();
    else
        anchorY = int(double(m_source.height()) * (p.y() - m_picturePos.y()) / displayHeight);
    m_zoomAnchor = {anchorX, anchorY};

    const bool zoomIn = event->angleDelta().y() >= 0;
    bool changed = false;
    if (zoomIn && m_ratio <= kMaxZoomRatio) {
        m_ratio += kZoomStep;
        m_displaySize = scaledSourceSize(m_ratio, true);
        changed = true;
    } else if (!zoomIn && m_ratio >= kMinZoomRatio) {
        m_ratio -= kZoomStep;
        m_displaySize = scaledSourceSize(m_ratio, false);
        changed = true;
    }
    if (changed) {
        m_picturePos = p - QPoint(qRound(anchorX * m_ratio), qRound(anchorY * m_ratio));
        update();
    }
}

void ImageLabel::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);

    // The canvas at half size, fast filtering, clipped to the canvas.
    if (!m_source.isNull() && !m_displaySize.isEmpty()) {
        painter.save();
        painter.scale(0.5, 0.5);
        painter.setClipRect(QRect(0, 0, kCanvasWidth, kCanvasHeight));
        painter.drawImage(QRect(m_picturePos, m_displaySize), m_source);
        painter.restore();
    }

    const int l = left();
    const int t = top();
    const int r = right();
    const int b = bottom();
    const int w = width();
    const int h = height();

    // Shade around the crop rectangle: the three bands above, the two beside, the three below.
    const QColor shade(0, 0, 0, kShadeAlpha);
    painter.fillRect(QRect(QPoint(0, 0), QPoint(l - 1, t - 1)), shade);
    painter.fillRect(QRect(QPoint(l, 0), QPoint(r, t - 1)), shade);
    painter.fillRect(QRect(QPoint(r + 1, 0), QPoint(w - 1, t - 1)), shade);
    painter.fillRect(QRect(QPoint(0, t), QPoint(l - 1, b)), shade);
    painter.fillRect(QRect(QPoint(r + 1, t), QPoint(w - 1, b)), shade);
    painter.fillRect(QRect(QPoint(0, b + 1), QPoint(l - 1, h - 1)), shade);
    painter.fillRect(QRect(QPoint(l, b + 1), QPoint(r, h - 1)), shade);
    painter.fillRect(QRect(QPoint(r + 1, b + 1), QPoint(w - 1, h - 1)), shade);

    painter.setPen(QPen(kOutlineColor, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRect(QPoint(l, t), QPoint(r, b)));

    painter.setPen(QPen(Qt::white, 4));
    const int m = kCornerMarkLength;
    painter.drawLine(l, t, l + m, t);
    painter.drawLine(l, t, l, t + m);
    painter.drawLine(r, t, r - m, t);
    painter.drawLine(r, t, r, t + m);
    painter.drawLine(l, b, l + m, b);
    painter.drawLine(l, b, l, b - m);
    painter.drawLine(r, b, r - m, b);
    painter.drawLine(r, b, r, b - m);
    for (CropPoint point : {TopMiddle, BottomMiddle})
        painter.drawLine(m_points[point].x() - 5, m_points[point].y(), m_points[point].x() + 10, m_points[point].y());
    for (CropPoint point : {MiddleLeft, MiddleRight})
        painter.drawLine(m_points[point].x(), m_points[point].y() - 5, m_points[point].x(), m_points[point].y() + 10);

    QColor gridColor(Qt::white);
    gridColor.setAlpha(kGridAlpha);
    painter.setPen(QPen(gridColor, 1));
    const int thirdWidth = (r - l) / 3;
    const int thirdHeight = (b - t) / 3;
    painter.drawLine(l, t + thirdHeight, r, t + thirdHeight);
    painter.drawLine(l, t + 2 * thirdHeight, r, t + 2 * thirdHeight);
    painter.drawLine(l + thirdWidth, t, l + thirdWidth, b);
    painter.drawLine(l + 2 * thirdWidth, t, l + 2 * thirdWidth, b);
}
