#include "integration.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "analysis_state.h"
#include "curves.h"
#include "graph_host.h"
#include "number_text.h"
#include "plot_support.h"
#include "primitives.h"
#include "program_state.h"
#include "term.h"
#include "view.h"

namespace kalvo {

namespace {

// Evaluations all strips of one sum may spend on their smallest and largest
// values; only strips far wider than the screen are sampled more coarsely.
constexpr long long kStripSampleBudget = 1 << 18;

struct StripValues {
    double min = 0, max = 0, mid = 0;
    bool midDefined = false;
};

StripValues Strip(double xl, double xr, double t, const NRange& n, long long maxSamples) {
    StripValues s;
    bool ok;
    const double first = NSum(0, xl, t, n, ok);
    s.min = s.max = ok ? first : 0;
    auto take = [&](double x) {
        const double v = NSum(0, x, t, n, ok);
        if (!ok) return;
        s.min = std::min(s.min, v);
        s.max = std::max(s.max, v);
    };
    // One sample per screen pixel; the step is held in single precision.
    double step = static_cast<float>(1.0 / gOutput.PixelsPerUnitX);
    if (step > 0 && std::isfinite(step)) {
        step = WidenedStep(xl, xr, step, maxSamples);
        const long long count = StepsWithin(xl, xr, step, maxSamples);
        for (long long i = 1; i <= count; ++i) take(xl + static_cast<double>(i) * step);
    }
    take(xr);
    const double mid = NSum(0, (xl + xr) / 2, t, n, ok);
    s.mid = ok ? mid : 0;
    s.midDefined = ok;
    return s;
}

// Walks the strips of [a, b] (either order) and hands each to `draw`.
template <class Draw>
RiemannSummen WalkStrips(int n, double a, double b, double t, Draw draw) {
    RiemannSummen s;
    s.n = std::min(n, kMaxRechtecke);
    if (n <= 0 || !std::isfinite(a) || !std::isfinite(b)) return s;
    if (b < a) std::swap(a, b);
    const double h = (b - a) / s.n;
    const NRange range = CurrentNRange();
    const long long perStrip = std::max<long long>(2, kStripSampleBudget / s.n);
    double o = 0, u = 0, z = 0;
    for (int k = 1; k <= s.n; ++k) {
        const double xl = a + (k - 1) * h;
        const double xr = k == s.n ? b : a + k * h;
        const StripValues v = Strip(xl, xr, t, range, perStrip);
        u += v.min;
        o += v.max;
        z += v.mid * h;
        draw(k, xl, xr, v);
    }
    s.Obersumme = o * h;
    s.Untersumme = u * h;
    s.Zwischenwertsumme = z;
    return s;
}

void FilledRectangle(Color color, BrushStyle style, double x1, double y1, double x2, double y2) {
    SetPen(color, OutputPenWidth(1), PenStyle::Solid);
    Ausgabe().SetBrush(color, style);
    ClippedRectangle(x1, y1, x2, y2);
}

}  // namespace

RiemannSummen RiemannSums(int n, double a, double b, double t) {
    return WalkStrips(n, a, b, t, [](int, double, double, const StripValues&) {});
}

RiemannSummen DrawOberUntersumme(int n, int mode, double a, double b) {
    const OverlayState& ov = gOverlay;
    const OutputContext& o = gOutput;
    const double t = StartParameter(gParams.FgTVon, gParams.FgTBis);
    const double axis = AxisRow();
    const BrushStyle pattern = BrushStyleFromOrdinal(ov.FuellmusterSummen);
    double left = ColumnOf(std::min(a, b));
    const RiemannSummen sums = WalkStrips(n, a, b, t, [&](int k, double, double xr, const StripValues& v) {
        const double right = ColumnOf(xr);
        const double rowMin = RowOf(ClampValue(v.min)), rowMax = RowOf(ClampValue(v.max));
        const double rowMid = RowOf(ClampValue(v.mid));
        // A strip beyond the plot would be squeezed onto its border.
        const bool visible = right >= o.PlotLeft && left <= o.PlotRight;
        if (v.midDefined && visible) {
            switch (mode) {
                case kObersumme: FilledRectangle(ov.FarbeObersumme, pattern, left, axis, right, rowMax); break;
                case kUntersumme: FilledRectangle(ov.FarbeUntersumme, pattern, left, axis, right, rowMin); break;
                case kZwischenwertsumme:
                    FilledRectangle(ov.FarbeZwischenwertsumme, pattern, left, axis, right, rowMid);
                    break;
                case kOberUndUntersumme:
                    if (rowMin > axis)
                        FilledRectangle(ov.FarbeObersumme, BrushStyle::BDiagonal, left, axis, right, rowMin);
                    else
                        FilledRectangle(ov.FarbeUntersumme, BrushStyle::FDiagonal, left, axis, right, rowMax);
                    FilledRectangle(ov.FarbeFehlerintervall, BrushStyle::DiagCross, left, rowMin, right, rowMax);
                    break;
                case kFehlerintervall: {
                    SetPen(kBlack, OutputPenWidth(1), PenStyle::Solid);
                    const double end = rowMin > axis ? rowMax : rowMin;
                    if (k == 1) PlotLine(left, axis, left, end);
                    PlotLine(right, axis, right, end);
                    FilledRectangle(ov.FarbeFehlerintervall, pattern, left, rowMin, right, rowMax);
                    FilledRectangle(ov.FarbeFehlerintervall, BrushStyle::DiagCross, left, rowMin, right, rowMax);
                    break;
                }
                default: break;
            }
        }
        left = right;
    });
    Ausgabe().SetBrushStyle(BrushStyle::Clear);
    SetPen(kBlack, 1, PenStyle::Solid);
    Host().SummenText(SummenText(mode, sums));
    return sums;
}

std::string SummenText(int mode, const RiemannSummen& s) {
    auto num = [](double x) { return FormatNumberCommaTight(4, x); };
    std::string text = "n = " + IntToText(s.n) + "  ";
    switch (mode) {
        case kObersumme: text += "O =" + num(s.Obersumme); break;
        case kUntersumme: text += "U =" + num(s.Untersumme); break;
        case kOberUndUntersumme:
        case kFehlerintervall:
            text += "O =" + num(s.Obersumme) + "  U =" + num(s.Untersumme) +
                    "  Fehlerintervall D = O - U =" + num(s.Obersumme - s.Untersumme);
            break;
        case kZwischenwertsumme: text += "Z =" + num(s.Zwischenwertsumme); break;
        default: break;
    }
    return text;
}

void DrawFlaeche(double a, double b, double t) {
    const ViewWindowState& v = gView;
    const OutputContext& o = gOutput;
    if (!std::isfinite(a) || !std::isfinite(b)) return;
    if (a > b) std::swap(a, b);
    a = std::max(a, v.BereichX1);
    b = std::min(b, v.BereichX2);
    if (!(a <= b)) return;
    const int ca = RoundToInt(ColumnOf(a)), cb = RoundToInt(ColumnOf(b));
    if (ca > cb) return;
    std::vector<CanvasPoint> points;
    points.reserve(2 * static_cast<size_t>(cb - ca + 1));
    // An undefined value enters as the evaluator gives it, 0.
    auto edge = [&](const Funktionsterm& term, int from, int to, int dir) {
        const bool compiled = ParseTerm(FunktionTermbaum, term.str(), true);
        const NRange n = CurrentNRange();
        for (int c = from;; c += dir) {
            bool defined;
            const double y = compiled ? NSum(0, PixelToWorldX(c), t, n, defined) : 0;
            const double row = ClampPixel(RowOf(ClampValue(y)), o.PlotTop, o.PlotBottom);
            points.push_back(CanvasPoint{DeviceX(c), DeviceY(row)});
            if (c == to) break;
        }
    };
    edge(gTerms.TermF, ca, cb, +1);
    edge(gTerms.TermG, cb, ca, -1);
    Ausgabe().SetBrush(gOverlay.FuellfarbeFlaeche, BrushStyleFromOrdinal(gOverlay.FuellmusterFlaeche));
    Ausgabe().Polygon(points);
}

double Integrand(int mode, double x, double t) {
    const NRange n = CurrentNRange();
    bool defined;
    if (mode == kIntegrandX2Ableitung) {
        const double d = NSum(1, x, t, n, defined);
        return defined ? x * x * d : 0;
    }
    const double f = NSum(0, x, t, n, defined);
    if (!defined) {
        gOverlay.IntegrandUndefiniert = true;
        return 0;
    }
    switch (mode) {
        case kIntegrandBetrag: return std::fabs(f);
        case kIntegrandQuadrat: return std::fabs(f) >= 1e10 ? 1e10 : f * f;
        default: return f;
    }
}

double SimpsonStep(long long pairs, int mode, double t, double a, double b) {
    if (pairs < 1) pairs = 1;
    const double h = (b - a) / (2.0 * static_cast<double>(pairs));
    double s = Integrand(mode, a, t) + Integrand(mode, b, t);
    for (long long i = 0; i < pairs; ++i) s += 4 * Integrand(mode, a + static_cast<double>(2 * i + 1) * h, t);
    for (long long i = 1; i < pairs; ++i) s += 2 * Integrand(mode, a + static_cast<double>(2 * i) * h, t);
    return s * h / 3;
}

double IntegralSimpson(int maxPairs, int mode, double t, double a, double b) {
    OverlayState& ov = gOverlay;
    ov.IntegrandUndefiniert = false;
    if (!std::isfinite(a) || !std::isfinite(b)) {
        ov.IntegrandUndefiniert = true;
        return 0;
    }
    if (a == b) return 0;
    const long long cap = std::min<long long>(maxPairs, kMaxSimpsonPairs);
    double r = 1;
    double previous = SimpsonStep(2, mode, t, a, b);
    double integral = previous;
    long long pairs = 8;
    do {
        integral = SimpsonStep(pairs, mode, t, a, b);
        if (integral != 0) r = std::fabs((integral - previous) / integral);
        previous = integral;
        pairs *= 2;
    } while (r >= 1e-6 && pairs <= cap && !ov.IntegrandUndefiniert);
    return integral;
}

}  // namespace kalvo
