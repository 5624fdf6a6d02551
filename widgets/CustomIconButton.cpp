#include "widgets/CustomIconButton.h"

#include <QPainter>
#include <QPixmap>

namespace {

struct IconButtonColours
{
    QColor frame;
    QColor fill;
    QColor text;
};

const IconButtonColours kDisabled{QColor(0x4D, 0x4D, 0x4D), QColor(0x09, 0x09, 0x09), QColor(0x4D, 0x4D, 0x4D)};
// Pressed and selected share the active look.
const IconButtonColours kActive{QColor(0x00, 0xA8, 0xFF), QColor(0x00, 0x14, 0x1F), QColor(0x00, 0xA8, 0xFF)};
const IconButtonColours kHover{QColor(0x64, 0xD0, 0xFF), QColor(0x00, 0x14, 0x1F), QColor(0x64, 0xD0, 0xFF)};
const IconButtonColours kNormal{QColor(0x60, 0x60, 0x60), QColor(0x12, 0x12, 0x12), QColor(0xFF, 0xFF, 0xFF)};

constexpr int kIconLeftPx = 16;
constexpr int kContentPaddingPx = 48; // icon inset, gap and label margins together
constexpr int kLabelLeftGapPx = 20;   // label area starts this far after the icon width
constexpr int kLabelRightMarginPx = 5;
constexpr qreal kFramePenWidth = 2.0;
constexpr qreal kCornerRadius = 4.0;
constexpr int kTextPixelSize = 16;

QFont labelFont()
{
    QFont font(QStringLiteral("MiSans"));
    font.setPixelSize(kTextPixelSize);
    return font;
}

} // namespace

CustomIconButton::CustomIconButton(QWidget* parent)
    : TrackedStateButton(parent)
{
}

CustomIconButton::~CustomIconButton() = default;

void CustomIconButton::setIcons(const QString& active, const QString& hover, const QString& normal,
                                const QString& disabled)
{
    iconActive = active;
    iconHover = hover;
    iconNormal = normal;
    iconDisabled = disabled;
    update();
}

void CustomIconButton::setSelected(bool on)
{
    selected = on;
    update();
}

const QString& CustomIconButton::iconForState() const
{
    if (!isEnabled())
        return iconDisabled;
    if (isPressed() || selected)
        return iconActive;
    if (isHovered())
        return iconHover;
    return iconNormal;
}

int CustomIconButton::contentWidth() const
{
    const QPixmap icon(iconForState());
    return icon.width() + kContentPaddingPx + QFontMetrics(labelFont(), this).boundingRect(text()).width();
}

void CustomIconButton::paintEvent(QPaintEvent*)
{
    const IconButtonColours& colours = !isEnabled()                ? kDisabled
                                       : (isPressed() || selected) ? kActive
                                       : isHovered()               ? kHover
                                                                   : kNormal;
    const QPixmap icon(iconForState());

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(labelFont());

    const int needed = icon.width() + kContentPaddingPx + painter.fontMetrics().boundingRect(text()).width();
    if (width() < needed)
        setMaximumSize(needed, height());
    else
        setMaximumSize(kUnboundedSize, kUnboundedSize);
    setMinimumSize(needed, height());

    painter.fillRect(rect(), colours.fill);
    if (!icon.isNull())
        painter.drawPixmap(kIconLeftPx, (height() - icon.height()) / 2, icon);

    QPen frame(colours.frame, kFramePenWidth, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()), kCornerRadius, kCornerRadius);

    painter.setPen(colours.text);
    const int labelLeft = icon.width() + kLabelLeftGapPx;
    painter.drawText(QRect(labelLeft, 0, width() - kLabelRightMarginPx - labelLeft, height()), Qt::AlignCenter, text());
}
