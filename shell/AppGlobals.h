#pragma once

#include <QString>

#include <atomic>

// Process-wide values shared by every subsystem. They are written on the GUI thread during
// start-up (and `useFahrenheit` also by the temperature selector) and read everywhere.

extern int screenWidth;      // device frame width in landscape, 800
extern int screenHeight;     // device frame height in landscape, 480
extern double previewScale;  // on-screen preview pixels per device pixel, 0.25
extern int overlayItemCount; // number of sensor overlay items, 4

// Read by the sensor thread on every temperature record, so it is atomic.
extern std::atomic<bool> useFahrenheit;

// First family names reported for the embedded fonts; empty when a font failed to load.
extern QString familyMiSansRegular;
extern QString familyAlibabaExtraBold;
extern QString familyTenSansBold;
