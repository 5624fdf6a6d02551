#include "media/VideoTimeline.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Extra reach of the range handles beyond their width, pixels.
constexpr int kRangeHandleSlack = 5;
constexpr int kOutsideRangeAlpha = 0x96;
constexpr double kHandleRadius = 2.0;
const QColor kOutsideRangeOutline(0x66, 0x66, 0x66);
const QColor kRangeOutline(0x00, 0xA8, 0xFF);

} // namespace

VideoTimeline::VideoTimeline(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("TimeLine"));
    setFixedSize(kWidth, kHeight);
    setMouseTracking(true);
}

VideoTimeline::~VideoTimeline() = default;

void VideoTimeline::setThumbnails(const QVector<QImage>& thumbnails)
{
    m_timelineThumbs.clear();
    const int total = thumbnails.size();
    const int kept = std::min(total, kMaxThumbnails);
    if (kept == 0) {
        update();
        return;
    }
    const QSize slot(std::max(1, width() / kept), m_stripHeight);
    m_timelineThumbs.reserve(kept);
    for (int i = 0; i < kept; ++i) {
        const QImage& thumbnail = thumbnails[int(qint64(i) * total / kept)];
        m_timelineThumbs.append(thumbnail.isNull() || thumbnail.size() == slot
                                    ? thumbnail
                                    : thumbnail.scaled(slot, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    }
    update();
}

void VideoTimeline::setRangePx(int startPx, int endPx)
{
    m_rangeStartPx = std::clamp(startPx, 0, width() - 1);
    m_rangeEndPx = std::clamp(endPx, m_rangeStartPx, width() - 1);
    update();
}

void VideoTimeline::setCurrentPx(int px)
{
    m_currentPx = px;
    update();
}

void VideoTimeline::setCurrentRange(double range)
{
    m_currentPx = int(width() * range);
    update();
}

void VideoTimeline::mousePressEvent(QMouseEvent* event)
{
    const int x = qRound(event->localPos().x());
    if (std::abs(x - m_rangeStartPx) <= m_handleWidth + kRangeHandleSlack)
        m_dragMode = DragRangeStart;
    else if (std::abs(x - m_rangeEndPx) <= m_handleWidth + kRangeHandleSlack)
        m_dragMode = DragRangeEnd;
    else if (std::abs(x - m_currentPx) < m_handleWidth)
        m_dragMode = DragPosition;
    else
        m_dragMode = DragNone;
}

void VideoTimeline::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragMode == DragNone)
        return;
    const int x = std::clamp(qRound(event->localPos().x()), 0, width() - 1);
    switch (m_dragMode) {
    case DragRangeStart:
        m_rangeStartPx = std::min(x, m_rangeEndPx);
        break;
    case DragRangeEnd:
        m_rangeEndPx = std::max(x, m_rangeStartPx);
        break;
    case DragPosition:
        m_currentPx = x;
        emit currentRange(double(x) / width());
        break;
    default:
        break;
    }
    update();
}

void VideoTimeline::mouseReleaseEvent(QMouseEvent* /*event*/)
{
    if (m_dragMode == DragRangeStart || m_dragMode == DragRangeEnd)
        emit currentPosChange(double(m_rangeStartPx) / width(), double(m_rangeEndPx) / width());
    m_dragMode = DragNone;
}

void VideoTimeline::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const int w = width();
    const int stripTop = (height() - m_stripHeight) / 2;

    const int count = m_timelineThumbs.size();
    if (count > 0) {
        const int slotWidth = w / count;
        for (int i = 0; i < count; ++i) {
            if (!m_timelineThumbs[i].isNull())
                painter.drawImage(QRect(i * slotWidth, stripTop, slotWidth, m_stripHeight), m_timelineThumbs[i]);
        }
    }

    painter.setPen(kOutsideRangeOutline);
    painter.setBrush(QColor(0, 0, 0, kOutsideRangeAlpha));
    if (m_rangeStartPx > 0)
        painter.drawRect(0, stripTop, m_rangeStartPx, m_stripHeight - 1);
    if (m_rangeEndPx < w - 1)
        painter.drawRect(m_rangeEndPx, stripTop, w - 1 - m_rangeEndPx, m_stripHeight - 1);

    painter.setPen(kRangeOutline);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_rangeStartPx, stripTop, m_rangeEndPx - m_rangeStartPx, m_stripHeight - 1);

    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    for (int px : {m_currentPx, m_rangeStartPx, m_rangeEndPx}) {
        const double handleLeft = std::clamp(px - m_handleWidth / 2, 0, w - m_handleWidth);
        painter.drawRoundedRect(QRectF(handleLeft, 0, m_handleWidth, height()), kHandleRadius, kHandleRadius);
    }
}
