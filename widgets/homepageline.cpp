#include "widgets/homepageline.h"

#include <QPainter>
#include <QPixmap>

namespace {

constexpr char kEndPointPicture[] = ":/material/Icon/homepagelinepoint.png";
const QColor kLineColour(0x20, 0x20, 0x20);
constexpr int kLineRows[] = {0, 1, 4, 5, 8, 9};

} // namespace

homepageline::homepageline(QWidget* parent)
    : QWidget(parent)
{
}

homepageline::~homepageline() = default;

void homepageline::paintEvent(QPaintEvent*)
{
    const QPixmap point(QString::fromLatin1(kEndPointPicture));
    const int w = width();

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPixmap(0, 0, point);
    painter.setPen(kLineColour);
    for (const int y : kLineRows)
        painter.drawLine(point.width() + 1, y, w - 1 - point.width(), y);
    painter.drawPixmap(w - point.width(), 0, point);
}
