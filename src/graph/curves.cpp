#include "curves.h"

#include <algorithm>
#include <cmath>

#include "graph_state.h"
#include "number_text.h"
#include "primitives.h"
#include "program_state.h"
#include "term.h"
#include "view.h"

namespace kalvo {

namespace {

// A step that is zero, negative or not a number is mended before a loop uses it.
double MendStep(double step, double fallback) {
    if (step > 0 && std::isfinite(step)) return step;
    if (step < 0 && std::isfinite(step)) return -step;
    return fallback;
}

// The y value of a sample clamped into the value limits; false when the
// term is undefined there.
bool DefinedValue(double& y) {
    if (!gTerms.TermOK || std::isnan(y)) return false;
    y = std::clamp(y, gOutput.ValueLimitLow, gOutput.ValueLimitHigh);
    return true;
}

struct SumRange {
    double start, end, step;
};

SumRange FamilySumRange() {
    return SumRange{SumStartIndex(), static_cast<double>(gParams.FgSummeBis),
                    MendStep(static_cast<double>(gParams.FgSummeSchrittweite), 1.0)};
}

}  // namespace


double SumStartIndex() {
    return FunktionTermbaum.UsesN() ? static_cast<double>(gParams.FgSummeVon) : static_cast<double>(gParams.FgSummeBis);
}

double StartParameter(double tStart, double tEnd) { return FunktionTermbaum.UsesT() ? tStart : tEnd; }

double EvalSumOverN(int order, double x, double t, double nStart, double nEnd, double nStep) {
    if (nStart == nEnd) return EvalTermDerivative(FunktionTermbaum, order, x, 0, t, nStart);
    return EvalFunktionSumN(order, x, t, nStart, nEnd, nStep);
}

double EvalSumClamped(int order, double x, double t) {
    const SumRange n = FamilySumRange();
    double y = EvalSumOverN(order, x, t, n.start, n.end, n.step);
    if (std::isnan(y)) {
        gTerms.TermOK = false;
        return 0;
    }
    return std::clamp(y, gOutput.ValueLimitLow, gOutput.ValueLimitHigh);
}

FamilyWalk::FamilyWalk(double tStart, double tEnd, double tStep) {
    const bool usesT = FunktionTermbaum.UsesT();
    if (gDisplay.FarbspektrumParameter) {
        t0_ = StartParameter(tStart, tEnd);
        step_ = MendStep(tStep, 1.0);
        if (usesT) {
            // A tolerance of a billionth of a step keeps the end of the range
            // that rounding would otherwise lose (-5 + 100 * 0.1 > 5).
            const double extra = std::floor((tEnd - t0_) / step_ + 1e-9);
            if (extra > 0) rangeCount_ = 1 + static_cast<long long>(std::min(extra, double(kMaxFamilyMembers - 1)));
        }
        listIndex_ = 0;
    } else {
        // Without the spectrum the range is not drawn, only the first list value.
        t0_ = gTerms.ParameterWerte[0];
        // The list phase would draw that first value once more; it starts at the second.
        listIndex_ = 1;
    }
    listEnd_ = gTerms.ParameterAusListe && usesT ? ParameterCount(gTerms.ParameterWerte) : 0;
    gGraph.ListenPhase = false;
}

bool FamilyWalk::Next(double& t) {
    if (WorkBudgetSpent()) return false;
    if (rangeIndex_ < rangeCount_) {
        t = t0_ + static_cast<double>(rangeIndex_) * step_;
        ++rangeIndex_;
        gGraph.ListenPhase = false;
        return true;
    }
    gGraph.ListenPhase = true;
    if (listIndex_ >= listEnd_) return false;
    t = gTerms.ParameterWerte[static_cast<size_t>(listIndex_++)];
    return true;
}

namespace {

// The joining of DrawSegmentY (rows true: the row py against the plot's
// top and bottom) and of DrawSegmentX (the column px against its sides).
void DrawSegmentAcross(double px, double py, double& prev, bool rows) {
    const OutputContext& o = gOutput;
    const double v = rows ? py : px;
    const double lo = rows ? o.PlotTop : o.PlotLeft, hi = rows ? o.PlotBottom : o.PlotRight;
    const double maxJump = rows ? 20000 : 10000;
    const double jump = std::fabs(prev - v);
    if (v > hi || v < lo || !(jump < maxJump)) {
        // A jump below the limit ends here only outside the plot.
        if (lo < prev && prev <= hi && jump < maxJump) {
            const double border = v > hi ? hi : lo;
            if (rows)
                ClippedLineTo(px, border);
            else
                ClippedLineTo(border, py);
        }
        ClippedMoveTo(px, py);
    } else {
        ClippedLineTo(px, py);
    }
    prev = v;
}

}  // namespace

void DrawSegmentY(double px, double py, double& prev) { DrawSegmentAcross(px, py, prev, true); }

void DrawSegmentX(double px, double py, double& prev) { DrawSegmentAcross(px, py, prev, false); }

namespace {

// The drawing of one family member: each defined sample is joined to the
// polyline; after an undefined stretch the line starts afresh.
class MemberPlot {
public:
    explicit MemberPlot(double t) { GradientPenColor(t); }

    void Sample(double x, double y) {
        if (!DefinedValue(y)) {
            gap_ = true;
            return;
        }
        double px, py;
        WorldToPixel(x, y, px, py);
        const OutputContext& o = gOutput;
        if (!started_) {
            // The first point may lie far outside; as the previous row it
            // counts only as just beyond the border.
            if (py > o.PlotBottom) py = o.PlotBottom + 100;
            if (py < o.PlotTop) py = o.PlotTop - 100;
            ClippedMoveTo(px, py);
            started_ = true;
        } else if (gap_) {
            ClippedMoveTo(px, py);
        } else {
            DrawSegmentY(px, py, prev_);
            return;
        }
        prev_ = py;
        gap_ = false;
    }

private:
    double prev_ = 0;
    bool started_ = false;
    bool gap_ = false;
};

}  // namespace

void PlotCurve(int order, double xStart, double xEnd, double tStart, double tEnd, double tStep) {
    const ViewWindowState& v = gView;
    const OutputContext& o = gOutput;
    if (xStart < v.BereichX1) xStart = v.BereichX1;
    if (xEnd > v.BereichX2) xEnd = v.BereichX2;
    gGraph.ListenPhase = false;
    double spp = o.SamplesPerPixel;
    if (!(spp > 0) || !std::isfinite(spp)) spp = 1;
    const double dx = 1.0 / (o.PixelsPerUnitX * std::min(spp, 64.0));
    if (!(dx > 0) || !std::isfinite(dx) || !(xStart <= xEnd)) return;

    const SumRange n = FamilySumRange();
    // Samples from xStart on, one dx apart by index, so that a step below the
    // resolution of x cannot stall; the last lies within dx beyond xEnd and
    // is taken at xEnd.
    const double span = (xEnd - xStart) / dx;
    const long long lastLinear = static_cast<long long>(std::min(std::ceil(span), double(kMaxSamples)));
    const int perDecade = o.DecadesX < 3 ? 2 : 1;

    FamilyWalk family(tStart, tEnd, tStep);
    double t;
    while (family.Next(t)) {
        MemberPlot plot(t);
        if (!o.LogScaleX) {
            for (long long k = 0; k <= lastLinear && !WorkBudgetSpent(); ++k) {
                // The sample beyond the end is taken, and drawn, at the end.
                const double x = std::min(xStart + static_cast<double>(k) * dx, xEnd);
                plot.Sample(x, EvalSumOverN(order, x, t, n.start, n.end, n.step));
            }
        } else {
            // 900 or 90 samples per decade, ending with the first at or beyond xEnd.
            double x = xStart;
            for (long long k = 0; k < kMaxSamples && !WorkBudgetSpent(); ++k) {
                const bool last = x >= xEnd;
                if (last) x = xEnd;
                plot.Sample(x, EvalSumOverN(order, x, t, n.start, n.end, n.step));
                if (last || !(x > 0)) break;
                x += Pow10(DecimalExponent(x) - perDecade);
            }
        }
    }
}

void DrawFunctionGraph(std::string_view term, int order, double tStart, double tEnd, double tStep) {
    const ViewWindowState& v = gView;
    if (!term.empty() && ParseTerm(FunktionTermbaum, term, true))
        PlotCurve(order, v.FgZeichenbereichVon, v.FgZeichenbereichBis, tStart, tEnd, tStep);
    if (!gGraph.ListentermeZeichnen) return;
    for (size_t i = 1; i <= kListTerms; ++i) {
        const Listenterm& f = gTerms.Listenterme[i];
        if (!f.empty() && ParseTerm(FunktionTermbaum, f.str(), true))
            PlotCurve(order, v.FgZeichenbereichVon, v.FgZeichenbereichBis, tStart, tEnd, tStep);
    }
}

namespace {

double StripValue(double x, double t, int order, bool& defined) {
    const SumRange n = FamilySumRange();
    double y = EvalSumOverN(order, x, t, n.start, n.end, n.step);
    defined = gTerms.TermOK && !std::isnan(y);
    return y;
}

template <typename Better>
double StripExtreme(double a, double b, double t, int order, Better better) {
    bool ok;
    double m = StripValue(a, t, order, ok);
    if (!ok) m = 0;
    // One sample per screen pixel; the step is held in single precision.
    const double step = static_cast<float>(1.0 / gOutput.PixelsPerUnitX);
    if (step > 0 && std::isfinite(step)) {
        const double count = std::floor((b - a) / step);
        const long long last = count >= 0 ? static_cast<long long>(std::min(count, double(kMaxSamples))) : -1;
        for (long long i = 0; i <= last; ++i) {
            const double v = StripValue(a + static_cast<double>(i) * step, t, order, ok);
            if (ok && better(v, m)) m = v;
        }
    }
    const double v = StripValue(b, t, order, ok);
    if (ok && better(v, m)) m = v;
    return m;
}

}  // namespace

double StripMinimum(double a, double b, double t, int order) {
    return StripExtreme(a, b, t, order, [](double v, double m) { return v < m; });
}

double StripMaximum(double a, double b, double t, int order) {
    return StripExtreme(a, b, t, order, [](double v, double m) { return v > m; });
}

double StripMidpoint(double a, double b, double t, int order) {
    bool ok;
    const double v = StripValue((a + b) / 2, t, order, ok);
    return ok ? v : 0;
}

}  // namespace kalvo
