#include "screen/OverlayLayout.h"

#include "screen/OverlayLabels.h"
#include "sensors/SensorCatalogue.h"
#include "shell/AppGlobals.h"

void applyDefaultOverlayLayout(int index, const OverlayItem& item, OverlayPositions& positions)
{
    if (index < 0 || index >= kOverlayItemSlots)
        return;
    const double w = screenWidth;
    const double h = screenHeight;
    const double s = previewScale;
    // Row height, top margin of the portrait column, gap, portrait row spacing.
    const int a = int(h * 0.1 * s);
    const int b = int(0.105 * w * s);
    const int c = int(4 * s);
    const int d = int(w * 0.075 * s);
    const int e = 3 * a + c;
    const int f = int(h * s - 6 * a - 2 * c);

    const SensorReading reading = readingFor(item.hardwareName, item.sensorName);
    const QString title = displayNameFor(item.hardwareName, item.sensorName);
    const QString content = reading.valueText + reading.unit;
    // Measured as the labels will render them, so the centring matches what the screen shows.
    const int tw = int(OverlayLabels::textMetrics(item.titleFont).horizontalAdvance(title) * s);
    const int cw = int(OverlayLabels::textMetrics(item.contentFont).horizontalAdvance(content) * s);

    const auto leftX = [&](int width) { return int((w * s * 0.5 - width) * 0.5); };
    const auto rightX = [&](int width) { return int(w * s * 0.5 + (w * s * 0.5 - width) * 0.5); };
    const auto portraitX = [&](int width) { return int((h * s - width) * 0.5); };

    const bool rightColumn = index % 2 == 1;
    const bool bottomRow = index >= 2;
    const int landscapeTitleX = rightColumn ? rightX(tw) : leftX(tw);
    const int landscapeContentX = rightColumn ? rightX(cw) : leftX(cw);
    const int landscapeTitleY = bottomRow ? e + f : a;
    const int landscapeContentY = bottomRow ? f + 2 * e - 2 * a : 2 * a + c;
    // Portrait rows step by 2a + c + d.
    const int portraitTitleY = 2 * index * a + b + index * c + index * d;
    const int portraitContentY = portraitTitleY + a + c;

    const size_t slot = size_t(index);
    positions.titlePositionsH[slot] = QPoint(landscapeTitleX, landscapeTitleY);
    positions.contentPositionsH[slot] = QPoint(landscapeContentX, landscapeContentY);
    positions.titlePositionsV[slot] = QPoint(portraitX(tw), portraitTitleY);
    positions.contentPositionsV[slot] = QPoint(portraitX(cw), portraitContentY);
}
