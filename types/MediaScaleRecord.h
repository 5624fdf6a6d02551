#pragma once

#include <QtGlobal>

// How one library item is cropped, scaled, rotated and trimmed to become a device frame.
//
// Rendering a still picture or a GIF frame: scale the source by `ratio`, draw it with its top-left
// corner at (`x`, `y`) on an opaque black canvas of `canvasWidth` x `canvasHeight`, then scale the
// canvas to `width` x `height` ignoring the aspect ratio. A video item's file is already cut to
// `width` x `height` and plays whole; its `startPos` only picks the thumbnail frame.
//
// An item is a landscape item exactly when `width` is the landscape frame width (800). A
// default-constructed record (all zero, `endPos` 1.0) is what a cancelled crop dialog returns:
// `width` 0 marks it. Plain value type, used on the GUI thread.
struct MediaScaleRecord
{
    qint32 x = 0;            // scaled picture's left edge on the canvas, canvas pixels (may be negative)
    qint32 y = 0;            // scaled picture's top edge on the canvas
    qint32 width = 0;        // output frame width: 800 landscape, 480 portrait
    qint32 height = 0;       // output frame height: 480 landscape, 800 portrait
    qint32 canvasWidth = 0;  // crop window width
    qint32 canvasHeight = 0; // crop window height
    double ratio = 0.0;      // factor applied to the source before it is placed
    qint32 rotation = 0;     // rotation chosen in the crop dialog, kept with the item
    double startPos = 0.0;   // trim start, fraction 0..1 of the medium's length
    double endPos = 1.0;     // trim end, fraction 0..1; 1.0 plays to the end

    // The record of a shipped medium (default library items, fallback video, clock backgrounds):
    // the whole picture, unscaled, on a canvas of the frame size.
    static MediaScaleRecord defaultMedium(qint32 frameWidth, qint32 frameHeight)
    {
        MediaScaleRecord record;
        record.width = record.canvasWidth = frameWidth;
        record.height = record.canvasHeight = frameHeight;
        record.ratio = 1.0;
        return record;
    }

    friend bool operator==(const MediaScaleRecord& a, const MediaScaleRecord& b)
    {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height &&
               a.canvasWidth == b.canvasWidth && a.canvasHeight == b.canvasHeight && a.ratio == b.ratio &&
               a.rotation == b.rotation && a.startPos == b.startPos && a.endPos == b.endPos;
    }
    friend bool operator!=(const MediaScaleRecord& a, const MediaScaleRecord& b) { return !(a == b); }
};
