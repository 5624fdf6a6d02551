#include "sensors/CustomProgressBarRing.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kRingWidthPx = 4;

} // namespace

CustomProgressBarRing::CustomProgressBarRing(QWidget* parent)
    : QProgressBar(parent)
{
}

CustomProgressBarRing::~CustomProgressBarRing() = default;

QString CustomProgressBarRing::valueText() const
{
    const int decimals = unit == QLatin1String("V") ? 3 : 0;
    return QStringLiteral("%1").arg(value, 0, 'f', decimals);
}

int CustomProgressBarRing::sweepDegrees() const
{
    if (!(maximum > 0.0) || !std::isfinite(value))
        return 0;
    const double degrees = std::clamp(value / maximum * 360.0, 0.0, 360.0);
    return int(degrees);
}

void CustomProgressBarRing::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    const int side = std::min(width(), height());
    const int inner = side - 2 * kRingWidthPx;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    const QRect outerSquare(0, 0, side, side);
    painter.setBrush(QColor(77, 77, 77));
    painter.drawEllipse(outerSquare);

    const int sweep = sweepDegrees();
    painter.setBrush(QColor(0, 168, 255));
    painter.drawPie(outerSquare, (270 - sweep) * 16, sweep * 16);

    painter.setBrush(QColor(37, 37, 37));
    painter.drawEllipse(QRect(kRingWidthPx, kRingWidthPx, inner, inner));

    QFont valueFont(QStringLiteral("Microsoft YaHei"));
    valueFont.setPointSize(32);
    valueFont.setWeight(75);
    painter.setFont(valueFont);
    painter.setPen(QColor(QStringLiteral("#FFFFFF")));
    painter.drawText(QRect(kRingWidthPx, kRingWidthPx, inner, inner * 2 / 3), Qt::AlignHCenter | Qt::AlignBottom,
                     valueText());

    QFont unitFont(QStringLiteral("Microsoft YaHei"));
    unitFont.setPointSize(16);
    unitFont.setWeight(50);
    painter.setFont(unitFont);
    painter.setPen(QColor(QStringLiteral("#B3B3B3")));
    painter.drawText(QRect(kRingWidthPx, inner * 2 / 3 + kRingWidthPx, inner, inner / 3),
                     Qt::AlignHCenter | Qt::AlignTop, unit);
}
