#pragma once

#include <QImage>
#include <QSize>

// The pictures of the default media, drawn for a frame size of either orientation.
//
// `phase` is the position in an animation's loop, 0 <= phase < 1; every animation is periodic in
// it, so the frame for phase 1 equals the frame for phase 0 and the media loop without a seam.
namespace Scenes {

// Fallback video: soft light drifting behind flowing lines.
QImage drift(QSize size, double phase);

// Clock background: a dial of 320 px centred on the frame, where the analog clock's hands turn.
QImage clockFace(QSize size);

// Library item 1: lights orbiting a pulsing core on concentric rings.
QImage orbit(QSize size, double phase);

// Library item 2: layered waves rolling under a starry sky.
QImage waves(QSize size, double phase);

} // namespace Scenes
