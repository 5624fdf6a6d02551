#include "screen/ClockFaces.h"

#include "shell/AppGlobals.h"

#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QPixmap>

namespace {

QLabel* makeClockLabel(const char* name, QWidget* preview)
{
    auto* label = new QLabel(preview);
    label->setObjectName(QLatin1String(name));
    label->setScaledContents(true);
    // The preview's style sheet may give it a background; a face shows only its picture.
    label->setStyleSheet(QStringLiteral("background:transparent;"));
    label->hide();
    return label;
}

// The hand pictures point from their centre to 3 o'clock; loaded once.
const QImage& minuteHand()
{
    static const QImage hand(QStringLiteral(":/material/Icon/min_line.png"));
    return hand;
}

const QImage& hourHand()
{
    static const QImage hand(QStringLiteral(":/material/Icon/hour_line.png"));
    return hand;
}

void drawHand(QPainter& painter, const QImage& hand, int w, int h, double degrees)
{
    painter.save();
    painter.translate(w / 2, h / 2);
    painter.rotate(degrees);
    painter.drawImage(-hand.width() / 2, -hand.height() / 2, hand);
    painter.restore();
}

QString twoDigits(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

} // namespace

ClockFaces::ClockFaces(QLabel* preview, QObject* parent)
    : QObject(parent)
    , m_preview(preview)
    , m_now([] { return QDateTime::currentDateTime(); })
{
    m_hour = makeClockLabel("hour", preview);
    m_minute = makeClockLabel("min", preview);
    m_clock = makeClockLabel("Clock", preview);
    m_tick.setSingleShot(true);
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &ClockFaces::tick);
}

ClockFaces::~ClockFaces() = default;

void ClockFaces::setClock(Now now)
{
    m_now = now ? std::move(now) : Now([] { return QDateTime::currentDateTime(); });
}

double ClockFaces::minuteHandDegrees(const QTime& t)
{
    return (t.second() / 60.0 + t.minute()) * 6.0 + 270.0;
}

double ClockFaces::hourHandDegrees(const QTime& t)
{
    return (t.minute() / 60.0 + t.hour() % 12) * 30.0 + 270.0;
}

QImage ClockFaces::analogClockImage(const QTime& t, int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(22, 22, 22, 0));
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    drawHand(painter, minuteHand(), w, h, minuteHandDegrees(t));
    drawHand(painter, hourHand(), w, h, hourHandDegrees(t));
    return image;
}

QImage ClockFaces::digitImage(const QString& text)
{
    QImage image(kDigitWidth, kDigitHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setPen(QPen(QColor(255, 255, 255), 5));
    QFont font(familyTenSansBold);
    font.setPixelSize(kDigitPixelSize);
    // The family may hold several weights on this system; the digits use the bold face.
    font.setWeight(QFont::Bold);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, text);
    return image;
}

void ClockFaces::layoutAnalogClock()
{
    const int side = int(kAnalogSide * previewScale);
    const int left = int((m_preview->width() - side) * 0.5);
    const int top = int((m_preview->height() - side) * 0.5);
    m_clock->setGeometry(left, top, side, side);
    m_clock->setPixmap(QPixmap::fromImage(analogClockImage(m_now().time())));
}

void ClockFaces::layoutDigitalClock()
{
    const int w = int(kDigitWidth * previewScale);
    const int h = int(kDigitHeight * previewScale);
    const int left = (m_preview->width() - w) / 2;
    const int top = (m_preview->height() - 2 * h) / 2;
    m_hour->setGeometry(left, top, w, h);
    m_minute->setGeometry(left, top + h, w, h);
    drawDigits(m_now().time());
}

void ClockFaces::drawDigits(const QTime& now)
{
    m_hour->setPixmap(QPixmap::fromImage(digitImage(twoDigits(now.hour()))));
    m_minute->setPixmap(QPixmap::fromImage(digitImage(twoDigits(now.minute()))));
}

void ClockFaces::refreshClock()
{
    // One reading of the clock for all three, so the digits and the hands never disagree.
    const QTime now = m_now().time();
    drawDigits(now);
    m_clock->setPixmap(QPixmap::fromImage(analogClockImage(now)));
}

void ClockFaces::showStyle(int style)
{
    if (style == 1) {
        m_hour->hide();
        m_minute->hide();
        layoutAnalogClock();
        m_clock->show();
    } else {
        m_clock->hide();
        layoutDigitalClock();
        m_hour->show();
        m_minute->show();
    }
    scheduleTick();
}

void ClockFaces::hideAll()
{
    m_hour->hide();
    m_minute->hide();
    m_clock->hide();
    m_tick.stop();
}

void ClockFaces::tick()
{
    refreshClock();
    scheduleTick();
}

void ClockFaces::scheduleTick()
{
    const int msIntoSecond = m_now().time().msec();
    m_tick.start(1000 - msIntoSecond + kTickMarginMs);
}
