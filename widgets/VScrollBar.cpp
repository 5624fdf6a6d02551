#include "widgets/VScrollBar.h"

#include <QPainter>

namespace {

const QColor kTrackColour(0x66, 0x66, 0x66);
const QColor kHandleFill(0xCC, 0xCC, 0xCC);
const QColor kHandleOutline(0x66, 0x66, 0x66);

} // namespace

VScrollBar::VScrollBar(QWidget* parent)
    : QScrollBar(Qt::Vertical, parent)
{
}

VScrollBar::~VScrollBar() = default;

int VScrollBar::handleTop() const
{
    // Measured from the minimum, so a range that does not start at 0 still ends at the bottom.
    const qint64 span = qint64(maximum()) - minimum();
    const int travel = height() - kHandleHeightPx;
    if (span <= 0 || travel <= 0)
        return 0;
    return int(qint64(travel) * (qint64(value()) - minimum()) / span);
}

void VScrollBar::paintEvent(QPaintEvent*)
{
    const int half = width() / 2;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(kTrackColour);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(half - 1, 0, 1.0, height()), 1.0, 1.0);

    painter.setPen(kHandleOutline);
    painter.setBrush(kHandleFill);
    painter.drawRoundedRect(QRectF(half - 3, handleTop(), kHandleWidthPx, kHandleHeightPx), 3.0, 3.0);
}
