#pragma once
// The view window in world units, the plot rectangle in screen pixels and the
// transform between them. Every change of the window ends in SetupAxes (which
// normalises the window and computes the transform) and a redraw.

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

// World to screen pixels (not rounded) and back.
void WorldToPixel(double x, double y, double& px, double& py);
double PixelToWorldX(double px);
double PixelToWorldY(double py);

double Pow10(int e);

// The view backup of the iteration dialog.
void SaveViewState();
void RestoreViewState();

// The whole graph state to and from one function set.
void StoreGraphState(ArchivEintrag& e);
void LoadGraphState(const ArchivEintrag& e);

}  // namespace kalvo
