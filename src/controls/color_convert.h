#pragma once
// The state and the files keep colours as 0x00BBGGRR and brush hatchings as
// ordinals 0..7; widgets need QColor and Qt::BrushStyle. Both conversions
// live with the canvas, so a widget shows exactly what the graph draws.

#include <QColor>

#include "canvas.h"
#include "canvas_qpainter.h"
#include "program_state.h"

namespace kalvo {

// Solid, clear, horizontal, vertical, forward diagonal (falling from left to
// right), backward diagonal (rising), cross, diagonal cross.
inline Qt::BrushStyle QtBrushFromOrdinal(int ordinal) { return ToQtBrushStyle(BrushStyleFromOrdinal(ordinal)); }

}  // namespace kalvo
