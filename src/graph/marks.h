#pragma once
// Marks on the graph of the family term in the main tree: the drawing
// objects (tangent, normal, vertical and horizontal line, two point marks),
// the tangents of Newton's method, the special points of the curve
// discussion and the direction field y' = f(x).

#include <string>
#include <string_view>

#include "program_state.h"

namespace kalvo {

// The tangent at x0 with slope m and intercept b as a term: "m*x+(b)", the
// numbers in full precision.
std::string TangentEquationText(double m, double b);

// Tangent at (x0, f(x0, t)): across the window, with a dotted line down to
// the x axis; with ObjektM or ObjektF1 its slope triangle. Steep tangents
// (|m| >= 5000) are left out.
void DrawTangente(Color color, double t, double x0);
// The normal at (x0, f(x0, t)); where f' = 0 it is the line x = x0; steep
// normals (|m| >= 1000) are left out.
void DrawNormale(Color color, double t, double x0);
// The line x = x0 across the plot.
void DrawSenkrechte(Color color, double x0);
// The line y = f(x0, t) across the plot.
void DrawWaagrechte(Color color, double t, double x0);
// A filled (kind 1) or open (kind 2) circle at (x0, f(x0, t)).
void DrawPointMarker(int kind, Color color, double t, double x0);

// The steps of Newton's method from x0: per step a dotted line from the x
// axis up to the graph and the tangent from there back to the x axis.
void DrawNewtonTangents(double t, double x0);

// The zeros, extrema, inflection points, asymptotes and poles of the last
// curve discussion, labelled when SonderpunkteBeschriften is set.
void DrawSpecialPoints();

// Short line elements of slope f(x, t) on a grid over the given window, t
// the current parameter of the overlays; compiles the term.
void DrawDirectionField(std::string_view term, double x1, double x2, double y1, double y2);

}  // namespace kalvo
