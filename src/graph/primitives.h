#pragma once
// The funnel every picture of the 2D graph goes through: coordinates in
// screen pixels of the layout, clipped to the plot rectangle where asked,
// times the output factors, onto the current output canvas. So the same
// drawing code serves the screen, the preview, the printer and metafiles.

#include <string>
#include <string_view>

#include <algorithm>

#include "canvas.h"
#include "program_state.h"

namespace kalvo {

Canvas& NoCanvas();
// The current output canvas (a canvas that draws nothing while there is none).
inline Canvas& Ausgabe() { return gOutput.AusgabeCanvas ? *gOutput.AusgabeCanvas : NoCanvas(); }

// The font of the graph area: the label font at its screen size.
CanvasFont GraphAreaFont();

// Screen pixels to device pixels with the output factors.
inline int DeviceX(double x) { return ToDevice(x, gOutput.AusgabefaktorX); }
inline int DeviceY(double y) { return ToDevice(y, gOutput.AusgabefaktorY); }

// v into lo..hi; NaN goes to lo.
inline double ClampPixel(double v, double lo, double hi) {
    if (!(v > lo)) return lo;
    return v < hi ? v : hi;
}

// Cuts the line to the rectangle (bounds included); false when nothing is left. t0 and t1 say
// where the kept part starts and ends along the line (0 and 1 when uncut).
bool ClipLine(double& x1, double& y1, double& x2, double& y2, double left, double top, double right,
              double bottom, double* t0 = nullptr, double* t1 = nullptr);

// Lines are cut to a band around the surface before they are rounded to
// device pixels: what lies beyond can never be seen, and no coordinate then
// leaves the int range (or later the 16-bit range of a metafile).
inline double GuardBand() { return 1000.0 + std::max(gOutput.PlotWidthPx, gOutput.PlotHeightPx); }

// A pen width in screen pixels as the device draws it: times the rounded
// output factor while printing or recording a metafile.
int OutputPenWidth(int width);

void SetPen(Color color, int width, PenStyle style);
void SetBrushFromPen(BrushStyle style);

// Text measures in the graph area's font on the screen; the width grows by
// 1.3 for printers and metafiles, whose fonts are set larger.
int TextWidthScaled(std::string_view text);
int TextHeightPx(std::string_view text);

void AppendPiSuffixX(std::string& text);
void AppendPiSuffixY(std::string& text);

// The colour of the numbered spectrum k (1 to 13) at position u (0 to 255,
// with d = 255 - u): 1 (u, 0, d), 2 (0, d, u), 3 (d, u, 0), 4 (d, 0, 0),
// 5 (0, d, 0), 6 (0, 0, d), 7 (0, u, 255), 8 (u, 0, 255), 9 (128, 0, u),
// 10 (u, 0, 128), 11 (0, u, 128), 12 the grey (grey, grey, grey); 13 and
// any other k black.
Color SpectrumColor(int k, int u, int grey);

// The pen colour of the family member with parameter t.
void GradientPenColor(double t);

// Lines, shapes and markers; all coordinates in screen pixels.
void ScaledLine(double x1, double y1, double x2, double y2);
void ScaledRectangle(double x1, double y1, double x2, double y2);
void ScaledCross(double x, double y);
// The curves' moves and lines: rows into the plot; a move left or right of
// it rests 3 pixels beyond its border.
inline void ClippedMoveTo(double x, double y) {
    const OutputContext& o = gOutput;
    y = ClampPixel(y, o.PlotTop, o.PlotBottom);
    if (!(x >= o.PlotLeft))
        x = o.PlotLeft - 3;
    else if (x > o.PlotRight)
        x = o.PlotRight + 3;
    Ausgabe().MoveToExact(x * o.AusgabefaktorX, y * o.AusgabefaktorY);
}
// Curves hand the canvas their points before rounding: a printer or a
// metafile draws them with as many points as its pixels can show.
inline void ClippedLineTo(double x, double y) {
    const OutputContext& o = gOutput;
    y = ClampPixel(y, o.PlotTop, o.PlotBottom);
    const double g = GuardBand();
    x = ClampPixel(x, o.PlotLeft - g, o.PlotRight + g);
    Ausgabe().LineToExact(x * o.AusgabefaktorX, y * o.AusgabefaktorY);
}
void ClippedMoveToXY(double x, double y);
void ClippedLineToXY(double x, double y);
void ClippedRectangle(double x1, double y1, double x2, double y2);
void ClippedSegment(double x1, double y1, double x2, double y2);
void CircleMarker(double x, double y);
void DotMarker(double x, double y);
void BoxedText(std::string_view text, double x, double y);
// Text with the top-left corner at a screen point, in the canvas font; a
// text beyond the guard band around the surface is left out.
void ScaledText(double x, double y, std::string_view text);

}  // namespace kalvo
