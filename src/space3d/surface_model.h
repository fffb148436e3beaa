#pragma once
// What the 3D window computes without its controls: the grid of a function
// surface z(x, y) or of a parametric surface (x, y, z)(a, b) from the
// surface term trees, the world box around it and the ranges put in order.

#include <memory>
#include <string_view>

#include "flaeche.h"

namespace kalvo {

class Grafik3DEngine;

// Cells per direction: at least kMinZerlegung, at most kMaxZerlegung (two
// digits in the field); kStandardZerlegung where the field holds no number
// or too small a one.
inline constexpr int kMinZerlegung = 5;
inline constexpr int kMaxZerlegung = 99;
inline constexpr int kStandardZerlegung = 30;

// "Zerlegung": the integer in the field, 30 when it is none or below 5,
// at most 99.
int ZerlegungAusText(std::string_view text);

// A reversed range is exchanged; a range narrower than 1e-5 becomes
// -pi..pi (parametric) or -3..3 (function surface).
void BereichPruefen(double& min, double& max, bool parameter);

// n x n cells over the ranges: z(x, y) from FlaechenTermbaum, or the point
// (x(a, b), y(a, b), z(a, b)) from the three parametric trees. An undefined
// point takes the value the evaluator gives it.
std::unique_ptr<TFlaeche> FlaecheBerechnen(bool parameter, int n, double u1, double u2, double v1, double v2);

// The box of the grid itself: a flat surface gets 1e-5 above and below it, a
// zero x or y width 1 on each side.
void WeltkoordinatenFestlegen(Grafik3DEngine& g, const TFlaeche& gitter);

}  // namespace kalvo
