#include "screen/OverlayLabels.h"

#include "screen/FlexibleLabel.h"
#include "sensors/SensorCatalogue.h"
#include "shell/AppGlobals.h"

#include <QColor>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVariant>

namespace {

// kTextDpi in dots per metre, as QImage keeps it.
constexpr int kTextDotsPerMeter = 3780; // 96 / 0.0254, rounded

void setTextDpi(QImage& image)
{
    image.setDotsPerMeterX(kTextDotsPerMeter);
    image.setDotsPerMeterY(kTextDotsPerMeter);
}

// A paint device that only carries the text DPI, for measuring.
const QImage& metricsDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_ARGB32_Premultiplied);
        setTextDpi(image);
        return image;
    }();
    return device;
}

} // namespace

OverlayLabels::OverlayLabels(QLabel* preview)
    : m_preview(preview)
{
    for (int i = 0; i < kOverlayItemSlots; ++i) {
        for (int type = 0; type < 2; ++type) {
            auto* label =
                new FlexibleLabel(QStringLiteral("%1%2").arg(type == 0 ? "title" : "content").arg(i), preview);
            label->setProperty("ID", i);
            label->setProperty("Type", type);
            label->setScaledContents(true);
            // The preview's style sheet may give it a background; a label shows only its text.
            label->setStyleSheet(QStringLiteral("background:transparent;"));
            label->setResizable(0);
            label->setMovable(1);
            label->hide();
            (type == 0 ? m_titles : m_contents).append(label);
        }
    }
}

OverlayLabels::~OverlayLabels() = default;

FlexibleLabel* OverlayLabels::titleLabel(int index) const
{
    return m_titles.value(index);
}

FlexibleLabel* OverlayLabels::contentLabel(int index) const
{
    return m_contents.value(index);
}

QFontMetrics OverlayLabels::textMetrics(const QFont& font)
{
    return QFontMetrics(font, &metricsDevice());
}

QImage OverlayLabels::renderText(const QString& text, const QFont& font, const QColor& color)
{
    const QFontMetrics metrics = textMetrics(font);
    const int width = metrics.horizontalAdvance(text);
    const int height = metrics.height();
    if (width <= 0 || height <= 0)
        return {};
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    setTextDpi(image);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setPen(color);
    painter.setFont(font);
    painter.drawText(image.rect(), Qt::AlignCenter, text);
    return image;
}

QSize OverlayLabels::labelSizeFor(const QSize& pictureSize)
{
    return QSize(int(pictureSize.width() * previewScale), int(pictureSize.height() * previewScale));
}

void OverlayLabels::applyItem(int index, const OverlayItem& item)
{
    if (index < 0 || index >= kOverlayItemSlots)
        return;
    for (FlexibleLabel* label : {m_titles.at(index), m_contents.at(index)}) {
        label->setProperty("hardwareName", item.hardwareName);
        label->setProperty("sensorName", item.sensorName);
        label->setProperty("titleColor", item.titleColor);
        label->setProperty("contentColor", item.contentColor);
        label->setProperty("titleFont", item.titleFont);
        label->setProperty("contentFont", item.contentFont);
        label->setProperty("enable", item.enable);
    }
    renderItem(index);
    for (FlexibleLabel* label : {m_titles.at(index), m_contents.at(index)})
        label->setVisible(item.enable);
}

OverlayItem OverlayLabels::item(int index) const
{
    OverlayItem item;
    if (index < 0 || index >= kOverlayItemSlots)
        return item;
    const FlexibleLabel* label = m_titles.at(index);
    item.hardwareName = label->property("hardwareName").toString();
    item.sensorName = label->property("sensorName").toString();
    item.titleColor = label->property("titleColor").value<QColor>();
    item.contentColor = label->property("contentColor").value<QColor>();
    item.titleFont = label->property("titleFont").value<QFont>();
    item.contentFont = label->property("contentFont").value<QFont>();
    item.enable = label->property("enable").toBool();
    return item;
}

void OverlayLabels::renderItem(int index)
{
    if (index < 0 || index >= kOverlayItemSlots)
        return;
    renderLabel(m_titles.at(index));
    renderLabel(m_contents.at(index));
}

void OverlayLabels::renderAll()
{
    for (int i = 0; i < kOverlayItemSlots; ++i)
        renderItem(i);
}

void OverlayLabels::renderLabel(FlexibleLabel* label)
{
    const QString hardwareName = label->property("hardwareName").toString();
    if (hardwareName.isEmpty())
        return;
    const QString sensorName = label->property("sensorName").toString();
    const int index = label->property("ID").toInt();
    const int type = label->property("Type").toInt() == 1 ? 1 : 0;
    // A property that was never set reads as an invalid variant: the default colour and font.
    QString text;
    QFont font;
    QColor color;
    if (type == 1) {
        const SensorReading reading = readingFor(hardwareName, sensorName);
        text = reading.valueText + reading.unit;
        font = label->property("contentFont").value<QFont>();
        color = label->property("contentColor").value<QColor>();
    } else {
        text = displayNameFor(hardwareName, sensorName);
        font = label->property("titleFont").value<QFont>();
        color = label->property("titleColor").value<QColor>();
    }
    const QImage image = renderText(text, font, color);
    m_renderedTexts[size_t(index)][size_t(type)] = text;
    label->setPixmap(QPixmap::fromImage(image));
    const QSize size = labelSizeFor(image.size());
    label->setMinimumSize(size);
    label->setMaximumSize(size);
    label->adjustSize();
}

QString OverlayLabels::renderedText(int index, int type) const
{
    if (index < 0 || index >= kOverlayItemSlots || type < 0 || type > 1)
        return {};
    return m_renderedTexts[size_t(index)][size_t(type)];
}

void OverlayLabels::showByEnable()
{
    for (const QVector<FlexibleLabel*>* list : {&m_titles, &m_contents}) {
        for (FlexibleLabel* label : *list)
            label->setVisible(label->property("enable").toBool());
    }
}

void OverlayLabels::hideAll()
{
    for (const QVector<FlexibleLabel*>* list : {&m_titles, &m_contents}) {
        for (FlexibleLabel* label : *list)
            label->hide();
    }
}

bool OverlayLabels::isPortrait() const
{
    return screenHeight * previewScale == double(m_preview->width());
}

void OverlayLabels::applyPositions()
{
    const bool portrait = isPortrait();
    const OverlayPositionList& titles = portrait ? m_positions.titlePositionsV : m_positions.titlePositionsH;
    const OverlayPositionList& contents = portrait ? m_positions.contentPositionsV : m_positions.contentPositionsH;
    for (int i = 0; i < kOverlayItemSlots; ++i) {
        m_titles.at(i)->move(titles.at(size_t(i)));
        m_contents.at(i)->move(contents.at(size_t(i)));
    }
}

void OverlayLabels::storePosition(const FlexibleLabel* label)
{
    if (label == nullptr)
        return;
    const int index = label->property("ID").toInt();
    if (index < 0 || index >= kOverlayItemSlots)
        return;
    const bool title = label->property("Type").toInt() == 0;
    const bool portrait = isPortrait();
    OverlayPositionList& list = title ? (portrait ? m_positions.titlePositionsV : m_positions.titlePositionsH)
                                      : (portrait ? m_positions.contentPositionsV : m_positions.contentPositionsH);
    list[size_t(index)] = label->pos();
}
