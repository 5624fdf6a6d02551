#include "widgets/CustomGradientBGButton.h"

#include <QPainter>
#include <QPixmap>

namespace {

constexpr char kBackgroundPicture[] = ":/material/Icon/homepageButtonBg.png";
constexpr int kTextPixelSize = 18;

} // namespace

CustomGradientBGButton::CustomGradientBGButton(QWidget* parent)
    : TrackedStateButton(parent)
{
}

CustomGradientBGButton::~CustomGradientBGButton() = default;

void CustomGradientBGButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPixmap(rect(), QPixmap(QString::fromLatin1(kBackgroundPicture)));

    QFont font(QStringLiteral("MISans"));
    font.setPixelSize(kTextPixelSize);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, text());
}
