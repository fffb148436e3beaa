#include "derived_curves.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "curves.h"
#include "graph_state.h"
#include "integration.h"
#include "plot_support.h"
#include "program_state.h"
#include "term.h"
#include "view.h"

namespace kalvo {

namespace {

// Samples per screen pixel of the current output, as the curve plotter takes them.
double SamplingDensity() {
    const double spp = gOutput.SamplesPerPixel;
    return spp > 0 && std::isfinite(spp) ? std::min(spp, 64.0) : 1.0;
}

int PerDecade(int decades) { return decades < 3 ? 2 : 1; }

// A walk of the integral function never takes more steps than this; a start
// far outside the window is walked with wider steps instead.
constexpr long long kMaxWalkSteps = 1 << 17;
constexpr long long kMaxParamSamples = 1 << 16;
// Evaluations of the term one walk may spend searching for poles between its
// samples; only a walk far beyond the window through a wildly oscillating f
// uses them up.
constexpr long long kWalkSearchBudget = 1 << 22;

// One side of the integral function from xo towards `end` (dir +1 or -1):
// right-endpoint sums to the right, left-endpoint sums to the left. There is
// no integral from xo across a place where f is undefined or has a pole: the
// curve ends before it. Returns the evaluations spent.
long long IntegralWalk(double xo, double end, int dir, double t, const NRange& n, double dx) {
    const OutputContext& o = gOutput;
    long long spent = 1, searched = 0;
    const long long terms = SummandenJeWert(n);
    bool defined;
    const double f0 = NSum(0, xo, t, n, defined);
    if (!defined) return spent;
    double prev = ClampPixel(RowOf(0), o.PlotTop - 1, o.PlotBottom + 1);
    ClippedMoveTo(ColumnOf(xo), prev);
    double s = 0;
    // The sample before the last one, and the last one, which is drawn once
    // the next has shown that no pole lies between them.
    Nachbarwert before;
    double xm = xo, ym = f0, sm = 0;
    bool drawn = true;
    auto draw = [&] {
        if (!drawn) DrawSegmentY(ColumnOf(xm), RowOf(sm), prev);
        drawn = true;
    };
    // False where the curve ends.
    auto accumulate = [&](double x, double width) {
        const Nachbarwert next{x, NSum(0, x, t, n, defined), true, defined};
        ++spent;
        Polbefund p;
        if (searched < kWalkSearchBudget) {
            const long long was = searched;
            p = PolNeben(t, n, xm, ym, before, next, kWalkSearchBudget - searched, searched);
            spent += (searched - was) / terms;
        }
        if (p.pol || p.luecke) {
            if (dir * (p.x - xm) > 0) draw();
            return false;
        }
        draw();
        if (!next.definiert) return false;
        s = ClampValue(s + dir * next.y * width);
        before = Nachbarwert{xm, ym, true, true};
        xm = x;
        ym = next.y;
        sm = s;
        drawn = false;
        return true;
    };
    if (!o.LogScaleX) {
        dx = WidenedStep(xo, end, dx, kMaxWalkSteps);
        const long long steps = dir > 0 ? StepsWithin(xo, end, dx, kMaxWalkSteps) : StepsWithin(end, xo, dx, kMaxWalkSteps);
        for (long long k = 1; k <= steps && spent < kEvaluationBudget; ++k)
            if (!accumulate(xo + dir * static_cast<double>(k) * dx, dx)) break;
    } else {
        // Ten samples to each of the plotter's, decade by decade.
        const int perDecade = PerDecade(o.DecadesX);
        double x = xo;
        for (long long k = 0; k < kMaxWalkSteps && x > 0 && spent < kEvaluationBudget; ++k) {
            const double width = LogAxisStep(x, perDecade, dir < 0, 10.0);
            const double next = x + dir * width;
            if (dir > 0 ? !(next <= end) : !(next >= end && next > 0)) break;
            x = next;
            if (!accumulate(x, width)) break;
        }
    }
    draw();
    return spent;
}

// Every member of the family in its pen colour, for as long as the
// evaluation budget lasts; `draw` draws one member and returns what it cost.
template <class Draw>
void ForEachMember(Draw draw) {
    const ParameterState& p = gParams;
    FamilyWalk family(p.FgTVon, p.FgTBis, p.FgTSchrittweite);
    long long spent = 0;
    double t;
    while (spent < kEvaluationBudget && family.Next(t)) {
        GradientPenColor(t);
        spent += draw(t);
    }
}

// Keeps the parser in w-mode (parametric terms) for as long as it lives.
class WModeParsing {
public:
    WModeParsing() { ParserWMode = true; }
    ~WModeParsing() { ParserWMode = false; }
    WModeParsing(const WModeParsing&) = delete;
    WModeParsing& operator=(const WModeParsing&) = delete;
};

// The parametric t range cut to lo..hi with its step, mended and widened.
struct TRange {
    double from = 0, step = 1;
    long long steps = -1;  // none
};

TRange ParametricRange(double lo, double hi) {
    const ParameterState& p = gParams;
    TRange r;
    r.from = std::max(p.ParamkurveTVon, lo);
    const double to = std::min(p.ParamkurveTBis, hi);
    if (!std::isfinite(r.from) || !std::isfinite(to) || !(r.from <= to)) return r;
    r.step = WidenedStep(r.from, to, MendedStep(p.ParamkurveTSchrittweite, 1.0), kMaxParamSamples);
    r.steps = StepsWithin(r.from, to, r.step, kMaxParamSamples);
    return r;
}

// Puts the h parameter range and list in the place of the family's while the
// pieces are drawn, and the family's back afterwards.
class HFamilyInPlace {
public:
    HFamilyInPlace() : params_(gParams), liste_(gTerms.ParameterListe), werte_(gTerms.ParameterWerte) {
        gParams.FgTVon = gParams.HTVon;
        gParams.FgTBis = gParams.HTBis;
        gParams.FgTSchrittweite = gParams.HTSchrittweite;
        gTerms.ParameterListe = gTerms.ParameterListe2;
        gTerms.ParameterWerte = gTerms.ParameterWerte2;
    }
    ~HFamilyInPlace() {
        gParams.FgTVon = params_.FgTVon;
        gParams.FgTBis = params_.FgTBis;
        gParams.FgTSchrittweite = params_.FgTSchrittweite;
        gTerms.ParameterListe = liste_;
        gTerms.ParameterWerte = werte_;
    }
    HFamilyInPlace(const HFamilyInPlace&) = delete;
    HFamilyInPlace& operator=(const HFamilyInPlace&) = delete;

private:
    ParameterState params_;
    Funktionsterm liste_;
    ParameterWerteFeld werte_;
};

bool StartsWithName(std::string_view s, size_t i, std::string_view name) {
    if (s.size() - i < name.size()) return false;
    for (size_t k = 0; k < name.size(); ++k)
        if (std::tolower(static_cast<unsigned char>(s[i + k])) != name[k]) return false;
    return true;
}

}  // namespace

std::string_view WithoutRemark(std::string_view term) {
    const size_t brace = term.find('{');
    return brace == std::string_view::npos || brace == 0 ? term : term.substr(0, brace);
}

void DrawIntegralFunction(std::string_view term) {
    if (term.empty() || !ParseTerm(FunktionTermbaum, term, true)) return;
    const ViewWindowState& v = gView;
    const OutputContext& o = gOutput;
    // Ten samples per device pixel column, the step held in single precision.
    const double dx = static_cast<float>(1.0 / (10 * o.PixelsPerUnitX * SamplingDensity()));
    if (!(dx > 0) || !std::isfinite(dx)) return;
    const double xo = v.IntegralfunktionXo;
    if (!std::isfinite(xo)) return;
    // Beyond the window nothing can be seen; the sums start at xo wherever it lies.
    const double right = std::min(v.FgZeichenbereichBis, v.BereichX2);
    const double left = std::max(v.FgZeichenbereichVon, v.BereichX1);
    const NRange n = CurrentNRange();
    ForEachMember([&](double t) {
        const long long spent = IntegralWalk(xo, right, +1, t, n, dx);
        return spent + IntegralWalk(xo, left, -1, t, n, dx);
    });
}

void DrawInverseRelation(std::string_view term) {
    if (term.empty() || !ParseTerm(FunktionTermbaum, term, true)) return;
    const ViewWindowState& v = gView;
    const OutputContext& o = gOutput;
    // v is the vertical coordinate: it runs over the drawing range as far as
    // the window shows it, stepped like the y axis.
    const double lo = std::max(v.FgZeichenbereichVon, v.BereichY1);
    const double hi = std::min(v.FgZeichenbereichBis, v.BereichY2);
    const double dv = 1.0 / (o.PixelsPerUnitY * SamplingDensity());
    const NRange n = CurrentNRange();
    ForEachMember([&](double t) {
        ColumnTrace trace(1);
        AxisSamples samples(lo, hi, dv, o.LogScaleY, PerDecade(o.DecadesY));
        long long spent = 0;
        double y;
        while (samples.Next(y)) {
            bool defined;
            const double x = NSum(0, y, t, n, defined);
            ++spent;
            if (defined)
                trace.Defined(ColumnOf(ClampX(x)), RowOf(y));
            else
                trace.Undefined();
        }
        return spent;
    });
}

std::string CombinedTermText(std::string_view f, std::string_view g, char op) {
    f = WithoutRemark(f);
    g = WithoutRemark(g);
    std::string s = "(";
    s += f.empty() ? std::string_view("0") : f;
    s += ')';
    s += op;
    s += '(';
    s += g.empty() ? std::string_view("0") : g;
    s += ')';
    return s;
}

bool CombineTerms(std::string_view f, std::string_view g, char op) {
    return ParseTerm(FunktionTermbaum, CombinedTermText(f, g, op), true);
}

void DrawCombination(std::string_view f, std::string_view g, char op) {
    if (f.empty() || g.empty() || !CombineTerms(f, g, op)) return;
    const ParameterState& p = gParams;
    PlotCurve(0, gView.FgZeichenbereichVon, gView.FgZeichenbereichBis, p.FgTVon, p.FgTBis, p.FgTSchrittweite);
}

std::string ComposedTermText(std::string_view outer, std::string_view inner) {
    outer = WithoutRemark(outer);
    inner = WithoutRemark(inner);
    std::string s;
    for (size_t i = 0; i < outer.size();) {
        // Function names that hold an x are copied whole.
        bool name = false;
        for (std::string_view fn : {std::string_view("exp"), std::string_view("maxint")}) {
            if (StartsWithName(outer, i, fn)) {
                s.append(outer.substr(i, fn.size()));
                i += fn.size();
                name = true;
                break;
            }
        }
        if (name) continue;
        const char c = outer[i++];
        if (c == 'x' || c == 'X') {
            s += '(';
            s += inner;
            s += ')';
        } else {
            s += c;
        }
    }
    return s;
}

void DrawComposition(std::string_view outer, std::string_view inner) {
    if (outer.empty() || inner.empty()) return;
    if (!ParseTerm(FunktionTermbaum, ComposedTermText(outer, inner), true)) return;
    const ParameterState& p = gParams;
    PlotCurve(0, gView.FgZeichenbereichVon, gView.FgZeichenbereichBis, p.FgTVon, p.FgTBis, p.FgTSchrittweite);
}

void DrawVerticalLineU(double u) {
    const ViewWindowState& v = gView;
    if (!(v.BereichX1 < u && u < v.BereichX2) || u == 0) return;
    const double px = ColumnOf(u);
    ScaledLine(px, gOutput.PlotTop, px, gOutput.PlotBottom);
}

void DrawParametricCurve(std::string_view xTerm, std::string_view yTerm, int mode) {
    if (xTerm.empty() || yTerm.empty()) return;
    WModeParsing wMode;
    std::string text = "w*(";
    text += WithoutRemark(xTerm);
    text += ")+(1-w)*(";
    text += WithoutRemark(yTerm);
    text += ')';
    if (!ParseTerm(FunktionTermbaum, text, true)) return;
    const Termbaum& tree = FunktionTermbaum;
    const TRange r = ParametricRange(-INFINITY, INFINITY);
    FreeTrace trace(8000);
    for (long long k = 0; k <= r.steps && !WorkBudgetSpent(); ++k) {
        const double t = r.from + static_cast<double>(k) * r.step;
        double x = 0, y = 0;
        bool defined;
        if (mode == 0) {
            x = EvalTerm(tree, 0, 0, t, 0, 1);
            defined = gTerms.TermOK;
            if (defined) y = EvalTerm(tree, 0, 0, t, 0, 0);
            defined = defined && gTerms.TermOK;
        } else {
            const double dx = EvalTermDerivativeArg2(tree, 1, t, 1);
            defined = gTerms.TermOK && dx != 0;
            const double dy = defined ? EvalTermDerivativeArg2(tree, 1, t, 0) : 0;
            defined = defined && gTerms.TermOK;
            if (defined) {
                y = dy / dx;
                x = EvalTerm(tree, 0, 0, t, 0, 1);
                defined = gTerms.TermOK;
            }
        }
        if (defined)
            trace.Defined(ColumnOf(ClampX(x)), RowOf(ClampValue(y)));
        else
            trace.Undefined();
    }
}

namespace {

// x(t) (yOfT false) with t running up the vertical axis, or y(t) with t
// along the horizontal one: beyond the window's extent in t nothing is seen.
void DrawComponentItem(std::string_view term, int order, bool yOfT) {
    if (term.empty()) return;
    WModeParsing wMode;
    if (!ParseTerm(FunktionTermbaum, WithoutRemark(term), true)) return;
    const ViewWindowState& v = gView;
    const TRange r = yOfT ? ParametricRange(v.BereichX1, v.BereichX2) : ParametricRange(v.BereichY1, v.BereichY2);
    AxisTrace trace(yOfT, 1);
    for (long long k = 0; k <= r.steps && !WorkBudgetSpent(); ++k) {
        const double t = r.from + static_cast<double>(k) * r.step;
        const double value = EvalTermDerivativeArg2(FunktionTermbaum, order, t, yOfT ? 0 : 1);
        if (!gTerms.TermOK)
            trace.Undefined();
        else if (yOfT)
            trace.Defined(ColumnOf(t), RowOf(ClampValue(value)));
        else
            trace.Defined(ColumnOf(ClampX(value)), RowOf(t));
    }
}

}  // namespace

void DrawXtItem(std::string_view xTerm, int order) { DrawComponentItem(xTerm, order, false); }

void DrawYtItem(std::string_view yTerm, int order) { DrawComponentItem(yTerm, order, true); }

void DrawPiecewise(int order) {
    HFamilyInPlace hFamily;
    const ViewWindowState& v = gView;
    const ParameterState& p = gParams;
    const struct {
        const Funktionsterm& term;
        double von, bis;
    } pieces[] = {
        {gTerms.TermH1, v.H1Von, v.H1Bis},
        {gTerms.TermH2, v.H2Von, v.H2Bis},
        {gTerms.TermH3, v.H3Von, v.H3Bis},
        {gTerms.TermH4, v.H4Von, v.H4Bis},
    };
    for (const auto& piece : pieces) {
        if (piece.term.empty() || !ParseTerm(FunktionTermbaum, piece.term.str(), true)) continue;
        PlotCurve(order, piece.von, piece.bis, p.FgTVon, p.FgTBis, p.FgTSchrittweite);
    }
}

}  // namespace kalvo
