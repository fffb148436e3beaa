#include "integration.h"

#include <algorithm>
#include <cmath>
#include <limits>
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

// Evaluations of the term that the strips of one sum may spend on their
// smallest and largest values (about a twentieth of a second): a strip gets
// more samples the fewer strips there are, never by the width of the window.
constexpr long long kSummenBudget = 1 << 21;
constexpr long long kStreifenProbenMax = 4096;
// The samples of each strip whose neighbourhood is searched for its extreme.
constexpr int kStreifenKandidaten = 3;
// A search that has not settled after this many rounds has reached the
// smallest numbers there are.
constexpr int kMaxSuchRunden = 600;
// Evaluations of the term one integrability check may spend on its searches.
constexpr long long kPruefBudget = 1 << 22;

}  // namespace

long long SummandenJeWert(const NRange& n) {
    if (!(n.end > n.start)) return 1;
    const double k = std::floor((n.end - n.start) / n.step) + 1;
    return k >= static_cast<double>(kMaxSumTerms) ? kMaxSumTerms : std::max<long long>(1, static_cast<long long>(k));
}

namespace {

// Whether (xm, ym) is an extreme of f against its neighbours in direction s
// (+1 a maximum, -1 a minimum): no neighbour beyond it, one strictly below it
// or undefined.
bool ExtremGegen(double ym, double s, const Nachbarwert& a, const Nachbarwert& b) {
    bool strikt = false;
    int nachbarn = 0;
    for (const Nachbarwert* q : {&a, &b}) {
        if (!q->da) continue;
        ++nachbarn;
        if (!q->definiert) {
            strikt = true;
            continue;
        }
        if (s * q->y > s * ym) return false;
        if (s * q->y < s * ym) strikt = true;
    }
    return nachbarn > 0 && strikt;
}

// Whether the best values of a search kept growing as the steps shrank: in
// the later half of the rounds by at least half as much as in the earlier
// half. A pole's values grow ever faster, a logarithm's alike per round; a
// finite f settles, each round adding a fraction of what the one before
// added, so its later half adds next to nothing. Rounds that found nothing
// better only happen where the best value is close to the pole already.
bool StetigWachsend(const std::vector<double>& verlauf) {
    if (verlauf.size() < 9) return false;
    const double anfang = verlauf.front(), mitte = verlauf[verlauf.size() / 2], ende = verlauf.back();
    return mitte > anfang && ende - mitte >= 0.5 * (mitte - anfang);
}

struct StripValues {
    double min = 0, max = 0, mid = 0;
    bool midDefined = false;
};

// Smallest and largest value of f on [xl, xr] from `proben` steps, the best
// samples searched out, and the value at the middle. An undefined start
// counts as 0; undefined samples are passed over.
StripValues Strip(double xl, double xr, double t, const NRange& n, long long proben, long long suchBudget) {
    StripValues s;
    std::vector<double> xs(static_cast<size_t>(proben) + 1), ys(xs.size());
    std::vector<char> def(xs.size());
    const double w = xr - xl;
    double skala = 0;
    for (size_t i = 0; i < xs.size(); ++i) {
        xs[i] = i + 1 == xs.size() ? xr : xl + w * static_cast<double>(i) / static_cast<double>(proben);
        bool ok;
        ys[i] = NSum(0, xs[i], t, n, ok);
        def[i] = ok;
        if (ok) skala = std::max(skala, std::fabs(ys[i]));
    }
    s.min = s.max = def[0] ? ys[0] : 0;
    for (size_t i = 0; i < xs.size(); ++i)
        if (def[i]) {
            s.min = std::min(s.min, ys[i]);
            s.max = std::max(s.max, ys[i]);
        }
    for (const int richtung : {+1, -1}) {
        long long ausgegeben = 0;
        // The samples that stand above (below) their neighbours, best first.
        std::vector<size_t> kandidaten;
        for (size_t i = 0; i < xs.size(); ++i) {
            if (!def[i]) continue;
            Nachbarwert a, b;
            if (i > 0) a = {xs[i - 1], ys[i - 1], true, def[i - 1] != 0};
            if (i + 1 < xs.size()) b = {xs[i + 1], ys[i + 1], true, def[i + 1] != 0};
            if (ExtremGegen(ys[i], richtung, a, b)) kandidaten.push_back(i);
        }
        std::stable_sort(kandidaten.begin(), kandidaten.end(),
                         [&](size_t p, size_t q) { return richtung * ys[p] > richtung * ys[q]; });
        double& extrem = richtung > 0 ? s.max : s.min;
        for (size_t k = 0; k < kandidaten.size() && k < static_cast<size_t>(kStreifenKandidaten); ++k) {
            const long long rest = suchBudget / 2 - ausgegeben;
            if (rest <= 0) break;
            const size_t i = kandidaten[k];
            const double lo = xs[i > 0 ? i - 1 : i], hi = xs[i + 1 < xs.size() ? i + 1 : i];
            const Extremstelle e = ExtremSuchen(t, n, lo, hi, xs[i], ys[i], richtung, skala, rest, ausgegeben);
            if (richtung > 0 ? e.y > extrem : e.y < extrem) extrem = e.y;
        }
        // The search leaves the extreme a few units of the last digit of f's
        // size off an exact 0.
        if (std::isfinite(extrem)) extrem = OhneRauschen(extrem, skala);
    }
    const double mid = NSum(0, (xl + xr) / 2, t, n, s.midDefined);
    s.mid = s.midDefined ? mid : 0;
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
    const long long summanden = SummandenJeWert(range);
    const long long werte = std::max<long long>(kSummenBudget / summanden, 4LL * s.n);
    const long long proben = std::clamp<long long>(werte / (4LL * s.n), 1, kStreifenProbenMax);
    // What the samples leave of the budget, in evaluations of the term.
    const long long suchen = (werte - s.n * (proben + 2)) / s.n * summanden;
    double o = 0, u = 0, z = 0, betragO = 0, betragU = 0, betragZ = 0;
    WorkBudget budget(kWaitSeconds);
    for (int k = 1; k <= s.n; ++k) {
        const double xl = a + (k - 1) * h;
        const double xr = k == s.n ? b : a + k * h;
        const StripValues v = Strip(xl, xr, t, range, proben, suchen);
        // Values the budget did not pay for read as undefined: not this strip's.
        if (WorkBudgetSpent()) break;
        u += v.min;
        o += v.max;
        z += v.mid * h;
        betragU += std::fabs(v.min);
        betragO += std::fabs(v.max);
        betragZ += std::fabs(v.mid * h);
        draw(k, xl, xr, v);
    }
    s.abgebrochen = budget.Cut();
    s.Obersumme = OhneRauschen(o * h, betragO * h);
    s.Untersumme = OhneRauschen(u * h, betragU * h);
    s.Zwischenwertsumme = OhneRauschen(z, betragZ);
    return s;
}

void FilledRectangle(Color color, BrushStyle style, double x1, double y1, double x2, double y2) {
    SetPen(color, OutputPenWidth(1), PenStyle::Solid);
    Ausgabe().SetBrush(color, style);
    ClippedRectangle(x1, y1, x2, y2);
}

}  // namespace

double OhneRauschen(double x, double groesse) { return std::fabs(x) < kRauschGrenze * groesse ? 0.0 : x; }

Extremstelle ExtremSuchen(double t, const NRange& n, double lo, double hi, double x0, double y0, int richtung,
                          double skala, long long grenze, long long& auswertungen) {
    const double s = richtung < 0 ? -1.0 : 1.0;
    double bx = x0, best = s * y0;
    double halb = std::max(x0 - lo, hi - x0);
    const long long ende = auswertungen + std::max<long long>(grenze, 0);
    const long long jeWert = SummandenJeWert(n);
    // The best value after each round, for telling growth from settling.
    std::vector<double> verlauf{best};
    bool undefiniert = false, gesetzt = false;
    int ruhig = 0;
    for (int runde = 0; runde < kMaxSuchRunden && halb > 0 && auswertungen < ende; ++runde) {
        const double u = halb / 4;
        double nx = bx, nb = best, tiefst = best;
        bool neu = false;
        for (int j = -4; j <= 4; ++j) {
            const double x = bx + j * u;
            if (j == 0 || !(x >= lo && x <= hi) || x == bx) continue;
            neu = true;
            bool ok;
            const double v = s * NSum(0, x, t, n, ok);
            auswertungen += jeWert;
            if (!ok) {
                undefiniert = true;
                continue;
            }
            tiefst = std::min(tiefst, v);
            if (v > nb) {
                nb = v;
                nx = x;
            }
        }
        if (!neu) break;  // the steps are below the resolution of x
        best = nb;
        bx = nx;
        halb = u;
        verlauf.push_back(best);
        // Settled: every value of the round agrees with the best to the last
        // digits. (A round that merely found nothing better does not tell:
        // beside a pole its steps may all have fallen beyond the pole. Nor do
        // steps of a few units of x's last digit, where f may be a staircase.)
        const bool aufloesbar = u > 64 * std::numeric_limits<double>::epsilon() * std::fabs(bx);
        ruhig = aufloesbar && best - tiefst <= 1e-13 * std::max(std::fabs(best), skala) ? ruhig + 1 : 0;
        if (ruhig >= 2) {
            gesetzt = true;
            break;
        }
    }
    Extremstelle e;
    e.x = bx;
    e.y = s * best;
    e.luecke = undefiniert;
    // A search cut short by its budget has not seen where the values go.
    const bool erschoepft = !gesetzt && auswertungen >= ende;
    const bool stetig = !erschoepft && (!gesetzt || undefiniert) && StetigWachsend(verlauf) &&
                        best - verlauf.front() > 1e-3 * best;
    e.unbeschraenkt = best > 0 && (stetig || (undefiniert && best > 2 * std::max(skala, std::fabs(y0))));
    if (e.unbeschraenkt) e.y = s * INFINITY;
    return e;
}

Polbefund PolNeben(double t, const NRange& n, double xm, double ym, const Nachbarwert& a, const Nachbarwert& b,
                   long long grenze, long long& auswertungen) {
    Polbefund p;
    const double lo = std::min(a.da ? a.x : xm, b.da ? b.x : xm);
    const double hi = std::max(a.da ? a.x : xm, b.da ? b.x : xm);
    double skala = std::fabs(ym);
    for (const Nachbarwert* q : {&a, &b})
        if (q->da && q->definiert) skala = std::max(skala, std::fabs(q->y));
    for (const int richtung : {+1, -1}) {
        if (!ExtremGegen(ym, richtung, a, b)) continue;
        const Extremstelle e = ExtremSuchen(t, n, lo, hi, xm, ym, richtung, skala, grenze, auswertungen);
        if (e.unbeschraenkt || (e.luecke && !p.luecke)) p.x = e.x;
        p.luecke |= e.luecke;
        if (e.unbeschraenkt) {
            p.pol = true;
            break;
        }
    }
    return p;
}

Integrierbarkeit IntegrierbarkeitPruefen(double t, double a, double b) {
    Integrierbarkeit r;
    if (!std::isfinite(a) || !std::isfinite(b)) {
        r.luecke = true;
        return r;
    }
    if (a > b) std::swap(a, b);
    if (a == b) return r;
    const NRange n = CurrentNRange();
    const size_t anzahl = kPruefSchritte + 1;
    std::vector<Nachbarwert> probe(anzahl);
    for (size_t i = 0; i < anzahl; ++i) {
        Nachbarwert& p = probe[i];
        p.x = i + 1 == anzahl ? b : a + (b - a) * static_cast<double>(i) / kPruefSchritte;
        p.y = NSum(0, p.x, t, n, p.definiert);
        p.da = true;
        r.luecke |= !p.definiert;
    }
    long long ausgegeben = 0;
    for (size_t i = 0; i < anzahl && ausgegeben < kPruefBudget; ++i) {
        if (!probe[i].definiert) continue;
        const Nachbarwert keiner;
        const Nachbarwert& links = i > 0 ? probe[i - 1] : keiner;
        const Nachbarwert& rechts = i + 1 < anzahl ? probe[i + 1] : keiner;
        const Polbefund p = PolNeben(t, n, probe[i].x, probe[i].y, links, rechts, kPruefBudget - ausgegeben, ausgegeben);
        r.luecke |= p.luecke;
        if (p.pol) {
            r.pol = true;
            break;
        }
    }
    return r;
}

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
    // A sum that does not exist reads "nicht def.", set off like a number.
    auto num = [](double x) { return std::isfinite(x) ? FormatNumberCommaTight(4, x) : " " + std::string(kNotFiniteText); };
    std::string text = "n = " + IntToText(s.n) + "  ";
    if (s.abgebrochen) return text + "Summen nicht berechnet: " + kZuVielRechenaufwand;
    switch (mode) {
        case kObersumme: text += "O =" + num(s.Obersumme); break;
        case kUntersumme: text += "U =" + num(s.Untersumme); break;
        case kOberUndUntersumme:
        case kFehlerintervall:
            text += "O =" + num(s.Obersumme) + "  U =" + num(s.Untersumme) + "  Fehlerintervall D = O - U =" +
                    num(OhneRauschen(s.Obersumme - s.Untersumme, std::fabs(s.Obersumme) + std::fabs(s.Untersumme)));
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

namespace {

// Simpson's rule for the integrand and, with the same weights, for its size.
struct SimpsonWert {
    double wert = 0, betrag = 0;
};

SimpsonWert SimpsonSchritt(long long pairs, int mode, double t, double a, double b) {
    if (pairs < 1) pairs = 1;
    const double h = (b - a) / (2.0 * static_cast<double>(pairs));
    SimpsonWert s;
    auto add = [&](double gewicht, double x) {
        const double v = Integrand(mode, x, t);
        s.wert += gewicht * v;
        s.betrag += gewicht * std::fabs(v);
    };
    add(1, a);
    add(1, b);
    for (long long i = 0; i < pairs; ++i) add(4, a + static_cast<double>(2 * i + 1) * h);
    for (long long i = 1; i < pairs; ++i) add(2, a + static_cast<double>(2 * i) * h);
    s.wert *= h / 3;
    s.betrag *= std::fabs(h) / 3;
    return s;
}

}  // namespace

double SimpsonStep(long long pairs, int mode, double t, double a, double b) {
    return SimpsonSchritt(pairs, mode, t, a, b).wert;
}

double IntegralSimpson(int maxPairs, int mode, double t, double a, double b) {
    OverlayState& ov = gOverlay;
    ov.IntegrandUndefiniert = false;
    ov.IntegralAbgebrochen = false;
    WorkBudget budget(kWaitSeconds);
    // Whatever way it returns, a cut integral says so.
    struct Report {
        const WorkBudget& budget;
        ~Report() { gOverlay.IntegralAbgebrochen = budget.Cut(); }
    } report{budget};
    if (!std::isfinite(a) || !std::isfinite(b)) {
        ov.IntegrandUndefiniert = true;
        return 0;
    }
    if (a == b) return 0;
    const long long cap = std::min<long long>(maxPairs, kMaxSimpsonPairs);
    double r = 1;
    double previous = SimpsonStep(2, mode, t, a, b);
    SimpsonWert integral;
    long long pairs = 8;
    do {
        integral = SimpsonSchritt(pairs, mode, t, a, b);
        if (integral.wert != 0) r = std::fabs((integral.wert - previous) / integral.wert);
        previous = integral.wert;
        pairs *= 2;
    } while (r >= 1e-6 && pairs <= cap && !ov.IntegrandUndefiniert && !WorkBudgetSpent());
    // The nodes can pass a pole, or a short undefined stretch, between them.
    if (mode != kIntegrandX2Ableitung && !ov.IntegrandUndefiniert) {
        const Integrierbarkeit p = IntegrierbarkeitPruefen(t, a, b);
        if (p.pol || p.luecke) ov.IntegrandUndefiniert = true;
    }
    return OhneRauschen(integral.wert, integral.betrag);
}

}  // namespace kalvo
