#pragma once

#include "types/OverlayItem.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>
#include <QVector>

#include <array>

class FlexibleLabel;
class QLabel;

// The eight sensor overlay labels of the preview: title0, content0 ... title3, content3, direct
// children of the preview created in that order (after the clock labels), each a FlexibleLabel
// with the properties "ID" (item 0..3) and "Type" (0 title, 1 content), hidden at first.
//
// An item's settings live on both of its labels as the properties "hardwareName", "sensorName",
// "titleColor", "contentColor", "titleFont", "contentFont" and "enable"; an empty hardware name
// means the item is not rendered. Rendering draws the title (the sensor's display name) or the
// content (value and unit) at screen resolution into a picture exactly as large as the text, and
// gives the label a quarter of that size; the label's position in the preview, divided by
// previewScale, is where the composer paints the picture on the screen.
//
// Texts are measured and drawn at a fixed 96 dots per inch, whatever the desktop's DPI, so the
// device screen shows the same pixels on every desktop and no text is clipped.
//
// Label positions are kept per orientation (landscape H, portrait V) in preview pixels.
// GUI thread only.
class OverlayLabels final
{
public:
    static constexpr int kTextDpi = 96;

    explicit OverlayLabels(QLabel* preview);
    ~OverlayLabels();
    OverlayLabels(const OverlayLabels&) = delete;
    OverlayLabels& operator=(const OverlayLabels&) = delete;

    FlexibleLabel* titleLabel(int index) const;
    FlexibleLabel* contentLabel(int index) const;

    // Puts the item's settings on both labels of item `index`, renders them, and shows them when
    // the item is enabled, else hides them. An index outside 0..3 is ignored.
    void applyItem(int index, const OverlayItem& item);
    // The settings the labels of item `index` hold now (a default item for an index outside 0..3).
    OverlayItem item(int index) const;

    // Renders the labels of item `index` from the current readings of the sensor catalogue.
    void renderItem(int index);
    // Items 0..3 in turn.
    void renderAll();
    // The text last rendered into a label (type 0 title, 1 content); empty before the first.
    QString renderedText(int index, int type) const;

    void showByEnable();
    void hideAll();

    bool isPortrait() const;
    const OverlayPositions& positions() const { return m_positions; }
    void setPositions(const OverlayPositions& positions) { m_positions = positions; }
    // Moves every label to its stored position of the current orientation; sizes stay.
    void applyPositions();
    // Stores the label's current position under its "ID" and "Type" for the current orientation.
    void storePosition(const FlexibleLabel* label);

    // The metrics every overlay text is measured with (fixed DPI, see above).
    static QFontMetrics textMetrics(const QFont& font);
    // `text` in `font` and `color`, centred in a transparent picture of the text's advance by the
    // font's line height. Null for an empty text.
    static QImage renderText(const QString& text, const QFont& font, const QColor& color);
    // The preview size of a label showing a picture of `pictureSize` screen pixels: each side
    // times previewScale, truncated.
    static QSize labelSizeFor(const QSize& pictureSize);

private:
    void renderLabel(FlexibleLabel* label);

    QLabel* m_preview;
    QVector<FlexibleLabel*> m_titles;
    QVector<FlexibleLabel*> m_contents;
    // Indexed [item][type].
    std::array<std::array<QString, 2>, kOverlayItemSlots> m_renderedTexts;
    OverlayPositions m_positions;
};
