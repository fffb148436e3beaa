#include "plot_support.h"

#include <algorithm>
#include <cmath>

#include "curves.h"
#include "number_text.h"
#include "term.h"
#include "view.h"

namespace kalvo {

NRange CurrentNRange() {
    return NRange{SumStartIndex(), static_cast<double>(gParams.FgSummeBis),
                  MendedStep(static_cast<double>(gParams.FgSummeSchrittweite), 1.0)};
}

double NSum(int order, double x, double t, const NRange& n, bool& defined) {
    const double y = EvalSumOverN(order, x, t, n.start, n.end, n.step);
    defined = gTerms.TermOK && !std::isnan(y);
    return defined ? y : 0;
}

double ColumnOf(double x) {
    double px, py;
    WorldToPixel(x, 1, px, py);
    return px;
}

double RowOf(double y) {
    double px, py;
    WorldToPixel(1, y, px, py);
    return py;
}

double AxisRow() { return gOutput.LogScaleY ? gOutput.PlotBottom : gOutput.PixelOriginY; }

double ClampValue(double y) {
    const OutputContext& o = gOutput;
    if (!(y > o.ValueLimitLow)) return o.ValueLimitLow;
    return y < o.ValueLimitHigh ? y : o.ValueLimitHigh;
}

double ClampX(double x) {
    const double lo = gOutput.LogScaleX ? 1e-20 : -1e10, hi = gOutput.LogScaleX ? 1e20 : 1e10;
    if (!(x > lo)) return lo;
    return x < hi ? x : hi;
}

void PlotLine(double x1, double y1, double x2, double y2) {
    const OutputContext& o = gOutput;
    if (ClipLine(x1, y1, x2, y2, o.PlotLeft, o.PlotTop, o.PlotRight, o.PlotBottom)) ScaledLine(x1, y1, x2, y2);
}

long long StepsWithin(double from, double to, double step, long long maxSteps) {
    if (!std::isfinite(from) || !std::isfinite(to) || !(step > 0) || !(to >= from)) return 0;
    // A billionth of a step keeps the end that rounding would otherwise lose.
    const double k = std::floor((to - from) / step + 1e-9);
    if (!(k >= 1)) return 0;
    return k >= static_cast<double>(maxSteps) ? maxSteps : static_cast<long long>(k);
}

double MendedStep(double step, double fallback) {
    if (step > 0 && std::isfinite(step)) return step;
    if (step < 0 && std::isfinite(step)) return -step;
    return fallback;
}

double WidenedStep(double from, double to, double step, long long maxSteps) {
    const double least = std::fabs(to - from) / static_cast<double>(maxSteps);
    return std::isfinite(least) && least > step ? least : step;
}

double LogAxisStep(double x, int perDecade, bool downward, double finer) {
    int e = DecimalExponent(x);
    if (downward && std::fabs(DecimalMantissa(x) - 1.0) < 1e-12) --e;
    return Pow10(e - perDecade) / finer;
}

AxisSamples::AxisSamples(double lo, double hi, double step, bool logAxis, int perDecade)
    : lo_(lo), hi_(hi), step_(step), log_(logAxis), perDecade_(perDecade) {
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(lo <= hi) || (logAxis && !(lo > 0))) {
        done_ = true;
        return;
    }
    if (!log_) {
        if (!(step > 0) || !std::isfinite(step)) {
            done_ = true;
            return;
        }
        last_ = static_cast<long long>(std::min(std::ceil((hi - lo) / step), double(kMaxSamples)));
    }
    v_ = lo;
}

bool AxisSamples::Next(double& v) {
    if (done_) return false;
    if (!log_) {
        if (k_ > last_) return false;
        v = std::min(lo_ + static_cast<double>(k_++) * step_, hi_);
        return true;
    }
    const bool last = v_ >= hi_ || ++k_ >= kMaxSamples;
    v = last ? hi_ : v_;
    done_ = last;
    v_ += LogAxisStep(v_, perDecade_);
    return true;
}

void AxisTrace::Defined(double px, double py) {
    const OutputContext& o = gOutput;
    if (!started_) {
        if (rows_)
            py = ClampPixel(py, o.PlotTop - overshoot_, o.PlotBottom + overshoot_);
        else
            px = ClampPixel(px, o.PlotLeft - overshoot_, o.PlotRight + overshoot_);
        ClippedMoveTo(px, py);
        started_ = true;
    } else if (gap_) {
        ClippedMoveTo(px, py);
    } else {
        (rows_ ? DrawSegmentY : DrawSegmentX)(px, py, prev_);
        return;
    }
    prev_ = rows_ ? py : px;
    gap_ = false;
}

void FreeTrace::Defined(double px, double py) {
    if (!started_) {
        started_ = true;
        prevX_ = px;
        prevY_ = py;
        penAtPrev_ = false;
        return;
    }
    double x1 = prevX_, y1 = prevY_, x2 = px, y2 = py;
    prevX_ = px;
    prevY_ = py;
    if (!(std::fabs(x2 - x1) < jumpLimit_) || !(std::fabs(y2 - y1) < jumpLimit_)) {
        penAtPrev_ = false;
        return;
    }
    const OutputContext& o = gOutput;
    double t0 = 0, t1 = 1;
    if (!ClipLine(x1, y1, x2, y2, o.PlotLeft, o.PlotTop, o.PlotRight, o.PlotBottom, &t0, &t1)) {
        penAtPrev_ = false;
        return;
    }
    Canvas& c = Ausgabe();
    if (t0 > 0 || !penAtPrev_) c.MoveToExact(x1 * o.AusgabefaktorX, y1 * o.AusgabefaktorY);
    c.LineToExact(x2 * o.AusgabefaktorX, y2 * o.AusgabefaktorY);
    penAtPrev_ = t1 >= 1;
}

}  // namespace kalvo
