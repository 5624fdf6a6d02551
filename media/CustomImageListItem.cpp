#include "media/CustomImageListItem.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kDeleteButtonSide = 16;
constexpr int kDeleteButtonMargin = 2;
constexpr int kCornerLeg = 16;
constexpr int kGreyAlpha = 0x99;

QString deleteButtonStyle()
{
    return QStringLiteral(
        "QPushButton{border:none;background-color:none;background-position:center;background-repeat:no-repeat;"
        "background-image:url(\":/material/Icon/vexa_TOLK IV_delete_n.png\");}"
        "QPushButton:hover{background-image:url(\":/material/Icon/vexa_TOLK IV_delete_h.png\");}"
        "QPushButton:pressed,QPushButton:checked{background-image:url(\":/material/Icon/vexa_TOLK IV_delete_p.png\");}"
        "QPushButton:disabled{background-image:url(\":/material/Icon/vexa_TOLK IV_delete_d.png\");}");
}

} // namespace

CustomImageListItem::CustomImageListItem(QWidget* parent)
    : QPushButton(parent)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    m_deleteButton = new QPushButton(this);
    m_deleteButton->setObjectName(QStringLiteral("deleteButton"));
    m_deleteButton->setFixedSize(kDeleteButtonSide, kDeleteButtonSide);
    m_deleteButton->setStyleSheet(deleteButtonStyle());
    m_deleteButton->setFocusPolicy(Qt::NoFocus);
    m_deleteButton->setCursor(Qt::PointingHandCursor);
    m_deleteButton->hide();
}

CustomImageListItem::~CustomImageListItem() = default;

void CustomImageListItem::setAble(bool able)
{
    m_able = able;
    update();
}

void CustomImageListItem::setDeletable(bool deletable)
{
    m_deletable = deletable;
    if (!deletable)
        m_deleteButton->hide();
}

void CustomImageListItem::enterEvent(QEvent* event)
{
    m_hovered = true;
    if (m_deletable) {
        m_deleteButton->move(width() - kDeleteButtonSide - kDeleteButtonMargin,
                             height() - kDeleteButtonSide - kDeleteButtonMargin);
        m_deleteButton->show();
        m_deleteButton->raise();
    }
    update();
    QPushButton::enterEvent(event);
}

void CustomImageListItem::leaveEvent(QEvent* event)
{
    m_hovered = false;
    m_deleteButton->hide();
    update();
    QPushButton::leaveEvent(event);
}

void CustomImageListItem::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        update();
    }
    QPushButton::mousePressEvent(event);
}

void CustomImageListItem::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = false;
        update();
    }
    QPushButton::mouseReleaseEvent(event);
}

void CustomImageListItem::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor frame = normalColor();
    QImage face = m_thumbnail;
    if (!m_able) {
        frame = greyedColor();
        if (!face.isNull()) {
            face = face.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QPainter dim(&face);
            dim.fillRect(face.rect(), QColor(0, 0, 0, kGreyAlpha));
        }
    } else if (m_pressed || isChecked()) {
        frame = selectedColor();
    } else if (m_hovered) {
        frame = hoverColor();
    }
    if (!face.isNull())
        painter.drawImage(rect(), face.scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
    else
        painter.fillRect(rect(), Qt::black);

    QPen pen(frame, 2.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 1.0, 1.0);

    if (isChecked() && m_able) {
        const int w = width();
        const int h = height();
        painter.setPen(Qt::NoPen);
        painter.setBrush(frame);
        const QPolygon corners[] = {
            QPolygon({QPoint(0, 0), QPoint(kCornerLeg, 0), QPoint(0, kCornerLeg)}),
            QPolygon({QPoint(w, 0), QPoint(w - kCornerLeg, 0), QPoint(w, kCornerLeg)}),
            QPolygon({QPoint(0, h), QPoint(kCornerLeg, h), QPoint(0, h - kCornerLeg)}),
            QPolygon({QPoint(w, h), QPoint(w - kCornerLeg, h), QPoint(w, h - kCornerLeg)}),
        };
        for (const QPolygon& corner : corners)
            painter.drawPolygon(corner);
    }
}
