#pragma once
// AutoCAD colour index 1..255 as screen colours on the window's dark background.

#include <QColor>

namespace acad::ui {

// Colour of index `aci` (1..255); 7 is white on the dark background. Anything
// outside 1..255 (ByBlock or ByLayer left unresolved) gives white.
QColor AciColor(int aci);

// The drawing area's background.
QColor BackgroundColor();

}  // namespace acad::ui
