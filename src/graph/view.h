#pragma once
// The view window in world units, the plot rectangle in screen pixels and the
// transform between them. Every change of the window ends in SetupAxes (which
// normalises the window and computes the transform) and a redraw.

#include <cmath>

#include "function_set.h"  // StoreGraphState, LoadGraphState
#include "graph_state.h"
#include "object_lists.h"
#include "program_state.h"

namespace kalvo {

// Axis flags, value limits and plot rectangle from the record, then
// NormalizeWindow and ComputeScreenTransform.
void SetupAxes(KoordinatensystemEinstellung k);

// Repairs the view window and the parameter ranges in place.
void NormalizeWindow();
void SetWindowLimits();
// Widens low..high to whole decades; low and high become powers of ten.
void SnapLogDecades(double& low, double& high, int& expLow, int& decades, int& expHigh);
void SetDefaultWindow();
void ComputeScreenTransform();

// Logarithms of values that are not positive (only callers outside the
// value limits produce them) land far outside the picture instead of at NaN.
inline double SafeLg(double v) { return v > 0 ? std::log10(v) : -400.0; }

// World to screen pixels (not rounded) and back.
inline void WorldToPixel(double x, double y, double& px, double& py) {
    const OutputContext& o = gOutput;
    const GraphState& g = gGraph;
    if (o.LogScaleY)
        py = (g.LogExpLowY - SafeLg(y)) * g.PixelsPerDecadeY + o.PlotBottom;
    else
        py = o.PixelOriginY - y * o.PixelsPerUnitY;
    if (o.LogScaleX)
        px = (SafeLg(x) - g.LogExpLowX) * g.PixelsPerDecadeX + o.PlotLeft;
    else
        px = x * o.PixelsPerUnitX + o.PixelOriginX;
}
double PixelToWorldX(double px);
double PixelToWorldY(double py);

double Pow10(int e);

// The view backup of the iteration dialog.
void SaveViewState();
void RestoreViewState();


}  // namespace kalvo
