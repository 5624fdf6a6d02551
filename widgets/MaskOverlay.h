#pragma once

class QWidget;

// The dark mask laid over the application's window while one of its modal dialogs runs.
//
// showMaskOverlay creates a plain widget as a child of `parent`'s top-level window, covering all of
// it in 90 % black, raises and shows it, and returns it; it returns null for a null parent. The
// mask deletes itself when closed. closeMaskOverlay closes and deletes it at once, so it exists
// exactly as long as the dialog it accompanies; a null mask is ignored. GUI thread only.
QWidget* showMaskOverlay(QWidget* parent);
void closeMaskOverlay(QWidget* mask);

// Object name of the mask widget, for finding it among the window's children.
inline constexpr char kMaskOverlayObjectName[] = "maskOverlay";
