#pragma once
// Derivatives that are shown as numbers (value table, slopes of special
// points, tangent equations). The evaluator's fixed-step stencils serve the
// drawn curves; a number on the screen must be right to its last digit, so
// here the difference quotients are refined over h, h/2, h/4, ... by
// Richardson extrapolation until they settle, and a derivative counts only
// where the central quotient and both one-sided quotients settle on the same
// value: not at a border of the domain, not at a corner or a jump.

#include <array>
#include <functional>

namespace kalvo {

// The value of a function at x; false where it is undefined.
using FunctionSample = std::function<bool(double x, double& y)>;

// The unit of the last digit shown of a value v: the caller's display
// decides. An estimate counts when it is right to a quarter of it.
using ShownUnit = std::function<double(double v)>;

struct ShownDerivative {
    bool defined = false;  // exists here and settled within the tolerance
    double value = 0;      // rounding noise already snapped to 0
};

inline constexpr int kMaxShownDerivativeOrder = 3;

// The derivatives of order 1 to maxOrder (at most 3) of f at x. Where a
// derivative does not exist, those of higher order do not either.
std::array<ShownDerivative, kMaxShownDerivativeOrder> ShownDerivatives(const FunctionSample& f, double x,
                                                                       int maxOrder, const ShownUnit& unit);

// The unit of the last digit that the number formats show of v with d
// decimals: 10^-d in the fixed band, else that of the mantissa's last digit.
double ShownDigitUnit(double v, int d);

// The unit of a number shown with d decimals, where values below zeroBelow
// in size show as 0.
ShownUnit DecimalsUnit(int d, double zeroBelow);

}  // namespace kalvo
