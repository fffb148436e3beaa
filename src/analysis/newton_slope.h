#pragma once
// The slope one step of Newton's method divides by. The step needs it right
// to many digits where the samples allow that, and to a few where they do
// not (a long sum over n whose last digits the difference quotients never
// settle), but never a slope that does not exist: at a border of the
// domain, a corner, a jump or a cusp there is none. Near a zero of higher
// order f' is tiny as well, so the slope is judged relative to its own size
// and to f, not to the digits a table shows.

#include "shown_derivative.h"

namespace kalvo {

struct NewtonSteigung {
    bool existiert = false;
    double wert = 0;
    // It exists, but the rounding of f hides even its first digits (at a
    // zero of higher order of a term that cancels, such as 1 - cos(x)).
    // `wert` is then the best estimate, off by up to `unsicher`.
    bool unscharf = false;
    double unsicher = 0;
};

// f'(x), where f is defined with the value y.
NewtonSteigung SteigungFuerSchritt(const FunctionSample& f, double x, double y);

}  // namespace kalvo
