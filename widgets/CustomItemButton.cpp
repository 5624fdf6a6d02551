#include "widgets/CustomItemButton.h"

#include <QPainter>

namespace {

struct ItemColours
{
    QColor fill; // also the outline
    QColor text;
};

const ItemColours kDisabled{QColor(0x28, 0x28, 0x28), QColor(0x4D, 0x4D, 0x4D)};
const ItemColours kPressed{QColor(0x00, 0xA8, 0xFF), QColor(0x0F, 0x0F, 0x0F)};
const ItemColours kHover{QColor(0x64, 0xD0, 0xFF), QColor(0x0F, 0x0F, 0x0F)};
const ItemColours kSelected{QColor(0x0F, 0x0F, 0x0F), QColor(0xF2, 0xF2, 0xF2)};
const ItemColours kNormal{QColor(0x28, 0x28, 0x28), QColor(0xFF, 0xFF, 0xFF)};

constexpr int kTextPixelSize = 16;

} // namespace

CustomItemButton::CustomItemButton(QWidget* parent)
    : TrackedStateButton(parent)
{
}

CustomItemButton::~CustomItemButton() = default;

void CustomItemButton::setSelected(bool on)
{
    selected = on;
    update();
}

void CustomItemButton::paintEvent(QPaintEvent*)
{
    const ItemColours& colours = !isEnabled()  ? kDisabled
                                 : isPressed() ? kPressed
                                 : isHovered() ? kHover
                                 : selected    ? kSelected
                                               : kNormal;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colours.fill);
    painter.setBrush(colours.fill);
    painter.drawRect(rect());

    QFont font(QStringLiteral("MiSans"));
    font.setPixelSize(kTextPixelSize);
    painter.setFont(font);
    painter.setPen(colours.text);
    painter.drawText(rect(), Qt::AlignCenter, text());
}
