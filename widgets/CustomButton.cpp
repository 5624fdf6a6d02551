#include "widgets/CustomButton.h"

#include <QPainter>

namespace {

struct ButtonColours
{
    QColor frame;
    QColor fill;
    QColor text;
};

const ButtonColours kDisabled{QColor(0x33, 0x33, 0x33), QColor(0, 0, 0, 0x33), QColor(0x4D, 0x4D, 0x4D)};
const ButtonColours kPressed{QColor(0x00, 0xA8, 0xFF), QColor(0x00, 0xA8, 0xFF, 0x1E), QColor(0x00, 0xA8, 0xFF)};
const ButtonColours kHover{QColor(0x64, 0xDD, 0xFF), QColor(0x00, 0xA8, 0xFF, 0x1E), QColor(0x64, 0xDD, 0xFF)};
const ButtonColours kNormal{QColor(0xFF, 0xFF, 0xFF), QColor(0x12, 0x12, 0x12), QColor(0xF2, 0xF2, 0xF2)};

constexpr qreal kFramePenWidth = 2.0;
constexpr qreal kCornerRadius = 5.0;
constexpr int kTextPixelSize = 18;

} // namespace

CustomButton::CustomButton(QWidget* parent)
    : TrackedStateButton(parent)
{
}

CustomButton::~CustomButton() = default;

void CustomButton::paintEvent(QPaintEvent*)
{
    const ButtonColours& colours = !isEnabled() ? kDisabled : isPressed() ? kPressed : isHovered() ? kHover : kNormal;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colours.frame, kFramePenWidth));
    painter.setBrush(colours.fill);
    painter.drawRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);

    QFont font(QStringLiteral("MiSans"));
    font.setPixelSize(kTextPixelSize);
    painter.setFont(font);
    painter.setPen(colours.text);
    painter.drawText(rect(), Qt::AlignCenter, text());
}
