#pragma once
// The coordinate system of the 2D graph: axes with arrowheads, ticks and
// their values, powers of ten, logarithmic decades, pi-scaled axes, grid and
// axis titles, in the axis layout (axes through the origin) or the frame
// layout (labels in margins). The tick spacing it chooses is kept for the
// drawing tools and the print dialog.

namespace kalvo {

void DrawKoordinatensystem(double originX, double originY, double pixelsPerUnitX, double pixelsPerUnitY);

// The least margins, in screen pixels, that hold the texts of the frame
// layout in the label font as the screen measures it: above the frame the
// y title with its raised power of ten; below it the tick values and the x
// title, or on a logarithmic x axis the digits, the decades and the title.
// Zero without a GUI application to measure with.
struct FrameMargins {
    int above = 0, below = 0;
};
FrameMargins MeasuredFrameMargins(bool logScaleX);

// One row of the tick table: a spacing and how its ticks are labelled.
struct TickRow {
    double spacing;    // world units between ticks
    double labelStep;  // the value written at the first tick: spacing / 10^exponent
    int exponent;      // written after the axis title as "/10" with this superscript
    int interval;      // a value at every (1) or every second (2) tick
    int decimals, width, phase;
};

// The 42 rows from 5e9 down to 1e-4.
const TickRow* TickTable();
inline constexpr int kTickRows = 42;

// The row of the smallest spacing giving fewer than maxTicks intervals on a
// window of the given width; nullptr when no row does.
const TickRow* ChooseTickRow(double windowWidth, double maxTicks);

}  // namespace kalvo
