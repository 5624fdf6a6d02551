#include "screen/FlexibleLabel.h"

#include <QMouseEvent>

#include <algorithm>

FlexibleLabel::FlexibleLabel(const QString& name, QWidget* parent)
    : QLabel(nullptr)
    , parentArea(parent)
{
    setParent(parent);
    setObjectName(name);
    setMouseTracking(true);
}

FlexibleLabel::~FlexibleLabel() = default;

void FlexibleLabel::mousePressEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        QLabel::mousePressEvent(event);
        return;
    }
    if (rect().contains(event->localPos().toPoint())) {
        setCursor(Qt::ClosedHandCursor);
        lastMousePos = event->globalPos();
        dragging = true;
    }
    raise();
    emit clicked(this);
}

void FlexibleLabel::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton) {
        setCursor(rect().contains(event->localPos().toPoint()) ? Qt::OpenHandCursor : Qt::ArrowCursor);
        return;
    }
    if (!(event->buttons() & Qt::LeftButton) || !dragging || !movable || parentArea == nullptr)
        return;
    setCursor(Qt::ClosedHandCursor);
    const QPoint cursor = event->screenPos().toPoint();
    int x = pos().x() + cursor.x() - lastMousePos.x();
    int y = pos().y() + cursor.y() - lastMousePos.y();
    x = std::min(std::max(x, 0), parentArea->width() - width());
    y = std::min(std::max(y, 0), parentArea->height() - height());
    move(x, y);
    lastMousePos = cursor;
}

void FlexibleLabel::mouseReleaseEvent(QMouseEvent* event)
{
    Q_UNUSED(event)
    if (dragging) {
        setCursor(Qt::OpenHandCursor);
        emit geometryChanged();
    } else {
        setCursor(Qt::ArrowCursor);
    }
    dragging = false;
}
