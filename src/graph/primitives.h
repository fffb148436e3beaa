#pragma once
// The funnel every picture of the 2D graph goes through: coordinates in
// screen pixels of the layout, clipped to the plot rectangle where asked,
// times the output factors, onto the current output canvas. So the same
// drawing code serves the screen, the preview, the printer and metafiles.

#include <string>
#include <string_view>

#include "canvas.h"
#include "program_state.h"

namespace kalvo {

// The current output canvas (a canvas that draws nothing while there is none).
Canvas& Ausgabe();

// The font of the graph area: the label font at its screen size.
CanvasFont GraphAreaFont();

// Screen pixels to device pixels with the output factors.
int DeviceX(double x);
int DeviceY(double y);

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

// The pen colour of the family member with parameter t.
void GradientPenColor(double t);

// Lines, shapes and markers; all coordinates in screen pixels.
void ScaledLine(double x1, double y1, double x2, double y2);
void ScaledRectangle(double x1, double y1, double x2, double y2);
void ScaledCross(double x, double y);
void ClippedMoveTo(double x, double y);
void ClippedLineTo(double x, double y);
void ClippedMoveToXY(double x, double y);
void ClippedLineToXY(double x, double y);
void ClippedRectangle(double x1, double y1, double x2, double y2);
void ClippedSegment(double x1, double y1, double x2, double y2);
void CircleMarker(double x, double y);
void DotMarker(double x, double y);
void BoxedText(std::string_view text, double x, double y);
// Text with the top-left corner at a screen point, in the canvas font.
void ScaledText(double x, double y, std::string_view text);

}  // namespace kalvo
