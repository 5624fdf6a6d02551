#include "simulator/ScreenView.h"

#include <QPainter>

#include <algorithm>

namespace {

constexpr int kPanelWidth = 800;
constexpr int kPanelHeight = 480;

} // namespace

ScreenView::ScreenView(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(kPanelWidth, kPanelHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize ScreenView::sizeHint() const
{
    return QSize(kPanelWidth, kPanelHeight);
}

void ScreenView::setPicture(const QImage& picture, int brightness)
{
    m_picture = picture;
    m_brightness = brightness;
    m_idleText.clear();
    update();
}

void ScreenView::setIdleText(const QString& text)
{
    m_idleText = text;
    if (!text.isEmpty())
        m_picture = QImage();
    update();
}

void ScreenView::setUpdateProgress(const QString& text)
{
    m_updateText = text;
    update();
}

void ScreenView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!m_picture.isNull()) {
        // A picture of another size is shown as the panel would scale it: fitted, centred.
        const QSize fitted = m_picture.size().scaled(size(), Qt::KeepAspectRatio);
        const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, m_picture.size() != size());
        painter.drawImage(target, m_picture);
        // The backlight: the byte is 0-127 on the wire, 100 and above is full.
        const int level = std::clamp(m_brightness, 0, 100);
        if (level < 100)
            painter.fillRect(rect(), QColor(0, 0, 0, 255 - level * 255 / 100));
    }
    const QString text = !m_updateText.isEmpty() ? m_updateText : m_picture.isNull() ? m_idleText : QString();
    if (!text.isEmpty()) {
        painter.setPen(QColor(150, 150, 150));
        QFont font = painter.font();
        font.setPixelSize(22);
        painter.setFont(font);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, text);
    }
}
