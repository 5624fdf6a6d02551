#pragma once

#include "types/OverlayItem.h"

// Writes the default label positions of overlay item `index` (0..3) into `positions`: landscape
// items in a 2 x 2 grid, centred in the left or right half of the preview; portrait items one
// below the other, centred across the preview. The centring uses the text advances of the item's
// title (displayNameFor) and content (the reading's value text and unit) in its fonts, so the
// sensor catalogue should hold a first reading. GUI thread.
void applyDefaultOverlayLayout(int index, const OverlayItem& item, OverlayPositions& positions);
