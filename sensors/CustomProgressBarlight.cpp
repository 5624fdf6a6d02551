#include "sensors/CustomProgressBarlight.h"

#include <QPainter>

namespace {

constexpr qreal kCornerRadiusPx = 3;
const QColor kTrackColour(85, 85, 85);
const QColor kFillColour(0, 170, 255);

} // namespace

CustomProgressBarlight::CustomProgressBarlight(QWidget* parent)
    : QProgressBar(parent)
{
}

CustomProgressBarlight::~CustomProgressBarlight() = default;

int CustomProgressBarlight::fillWidth(int width, int value, int minimum, int maximum)
{
    if (maximum == minimum || width <= 0)
        return 0;
    // In floating point: width × (value − minimum) overflows int for wide ranges.
    const double share = (double(value) - double(minimum)) / (double(maximum) - double(minimum));
    const double fill = double(width) * share;
    if (!(fill > 0))
        return 0;
    return fill >= width ? width : int(fill);
}

void CustomProgressBarlight::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int w = width();
    const int h = height();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(kTrackColour);
    painter.setBrush(kTrackColour);
    painter.drawRoundedRect(QRectF(0, 0, w, h), kCornerRadiusPx, kCornerRadiusPx);
    const int fill = fillWidth(w, value(), minimum(), maximum());
    if (fill > 0) {
        painter.setPen(kFillColour);
        painter.setBrush(kFillColour);
        painter.drawRoundedRect(QRectF(0, 0, fill, h), kCornerRadiusPx, kCornerRadiusPx);
    }
}
