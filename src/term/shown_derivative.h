#pragma once
// Derivatives that are shown as numbers (value table, slopes of special
// points, tangent equations). The evaluator's fixed-step stencils serve the
// drawn curves; a number on the screen must be right to its last digit, so
// here the difference quotients are refined over h, h/2, h/4, ... (from a
// step scaled to |x|) by Richardson extrapolation until they settle, and a
// derivative counts only where the central quotient and both one-sided
// quotients settle on the same value: not at a border of the domain, not at
// a corner or a jump. Steps that do not resolve the term (a sum of many
// frequencies seen at a step longer than its shortest period) settle
// nothing, and a value is shown only once the steps have come down to where
// nothing but rounding noise is left unresolved, on unevenly spaced samples
// too, and every value it may stand for shows the same digits.

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
    // Not defined, yet nothing showed that it does not exist: the estimates
    // did not agree to the digits shown, or the term varies faster than the
    // finest step resolves. The caller says so besides showing no number.
    bool unconfirmed = false;
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
