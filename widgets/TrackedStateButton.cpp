#include "widgets/TrackedStateButton.h"

#include <QMouseEvent>

TrackedStateButton::TrackedStateButton(QWidget* parent)
    : QPushButton(parent)
{
}

TrackedStateButton::~TrackedStateButton() = default;

void TrackedStateButton::enterEvent(QEvent* event)
{
    hovered = true;
    update();
    QPushButton::enterEvent(event);
}

void TrackedStateButton::leaveEvent(QEvent* event)
{
    hovered = false;
    update();
    QPushButton::leaveEvent(event);
}

void TrackedStateButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        pressed = true;
        update();
    }
    QPushButton::mousePressEvent(event);
}

void TrackedStateButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        pressed = false;
        update();
    }
    QPushButton::mouseReleaseEvent(event);
}

void TrackedStateButton::changeEvent(QEvent* event)
{
    // A button disabled while held down never sees the release, so it would come back pressed.
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        pressed = false;
    QPushButton::changeEvent(event);
}
