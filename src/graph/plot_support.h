#pragma once
// What the derived curves, the sums, the marks and the iteration pictures
// share beyond the curve plotter: pixel positions of world points, lines cut
// to the plot rectangle, counted sampling steps and the polylines that join
// samples along rows, along columns or freely.

#include "primitives.h"
#include "program_state.h"

namespace kalvo {

// The family's n range for the term in the main tree: from SumStartIndex
// to FgSummeBis, the step mended.
struct NRange {
    double start = 0, end = 0, step = 1;
};
NRange CurrentNRange();

// The order-th derivative of the term in the main tree summed over n;
// 0 with defined false where it is undefined.
double NSum(int order, double x, double t, const NRange& n, bool& defined);

// Pixel column of world x and pixel row of world y (not rounded).
double ColumnOf(double x);
double RowOf(double y);
// The row of the x axis: y = 0, or the bottom of the plot on a logarithmic
// y axis, which has no 0.
double AxisRow();

// A world y value clamped into the value limits; NaN goes to the lower limit.
double ClampValue(double y);
// The same for a world x value that a curve computes: +-1e10, or 1e-20 to
// 1e20 on a logarithmic x axis.
double ClampX(double x);

// The part of a line inside the plot rectangle (bounds included), drawn
// with the current pen; nothing when the line misses the plot.
void PlotLine(double x1, double y1, double x2, double y2);

// The number of steps k >= 1 with from + k * step <= to, at most maxSteps;
// 0 when the range is empty or a value is not finite. The step must be
// positive.
long long StepsWithin(double from, double to, double step, long long maxSteps);

// A step that is zero, negative or not a number, mended: a negative step
// counts by its size, the others become the fallback.
double MendedStep(double step, double fallback);

// A step widened so that from..to takes at most maxSteps of it.
double WidenedStep(double from, double to, double step, long long maxSteps);

// The step to the next sample of a logarithmic axis from x > 0: 900
// (perDecade 2) or 90 (1) samples per decade, times `finer`. Downward from a
// power of ten the step is that of the decade below.
double LogAxisStep(double x, int perDecade, bool downward = false, double finer = 1.0);

// The samples of an axis range lo..hi: one step apart on a linear axis, the
// last one at hi itself; on a logarithmic axis (lo > 0) by LogAxisStep,
// ending with the first sample at or beyond hi, taken at hi. At most
// kMaxSamples of them.
class AxisSamples {
public:
    AxisSamples(double lo, double hi, double step, bool logAxis, int perDecade);
    bool Next(double& v);

private:
    double lo_, hi_, step_, v_ = 0;
    bool log_;
    int perDecade_;
    long long k_ = 0, last_ = -1;
    bool done_ = false;
};

// A polyline of samples along one axis. Over columns (rows true: y as a
// function of x) rows leaving the plot are joined to its border
// (DrawSegmentY); over rows (x as a function of y) columns are
// (DrawSegmentX). Undefined samples break it; the first point lies at most
// `overshoot` pixels beyond the plot.
class AxisTrace {
public:
    AxisTrace(bool rows, double overshoot) : rows_(rows), overshoot_(overshoot) {}
    void Defined(double px, double py);
    void Undefined() { gap_ = started_; }

private:
    bool rows_;
    double overshoot_;
    double prev_ = 0;
    bool started_ = false, gap_ = false;
};

// y as a function of x.
class RowTrace : public AxisTrace {
public:
    explicit RowTrace(double overshoot) : AxisTrace(true, overshoot) {}
};

// x as a function of y.
class ColumnTrace : public AxisTrace {
public:
    explicit ColumnTrace(double overshoot) : AxisTrace(false, overshoot) {}
};

// A polyline of samples that may move anywhere (a parametric curve): each
// segment is cut to the plot; a jump of `jumpLimit` pixels or more in either
// direction is never joined, nor are the samples on either side of an
// undefined one.
class FreeTrace {
public:
    explicit FreeTrace(double jumpLimit) : jumpLimit_(jumpLimit) {}
    void Defined(double px, double py);
    void Undefined() { started_ = penAtPrev_ = false; }

private:
    double jumpLimit_;
    double prevX_ = 0, prevY_ = 0;
    bool started_ = false;
    bool penAtPrev_ = false;
};

// A loop that has spent this many evaluations on one picture stops there;
// it only ever ends pictures no screen could show.
inline constexpr long long kEvaluationBudget = 1LL << 24;

}  // namespace kalvo
