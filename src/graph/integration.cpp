#include "integration.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <tuple>
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
// The grid on which an integral looks for the poles of f and the places
// where it is undefined, and the evaluations of the term that the searches
// around its samples may spend.
constexpr int kPruefSchritte = 1024;
constexpr long long kPruefBudget = 1 << 22;
// Values this large next to a place where f is undefined are those of a
// pole that left the evaluator's range there (a quotient ends at 1e15),
// not of a domain that ends; beside much smaller ones, those of a pole.
constexpr double kUeberlauf = 1e12;

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
    double lueckeX = NAN;
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
                lueckeX = x;
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
    e.lueckeX = lueckeX;
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
        if (e.luecke) p.lueckeX = e.lueckeX;
        p.luecke |= e.luecke;
        if (e.unbeschraenkt) {
            p.pol = true;
            break;
        }
    }
    return p;
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
        case kIntegrandQuadrat: return f * f;
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

namespace {

// ---- Gauss-Kronrod rules ----

// The 21-point Kronrod rule on [-1, 1]: its positive abscissae, then 0,
// and their weights; the abscissae at odd places are those of the 10-point
// Gauss rule, with the weights kGaussG. (Computed in 60-digit arithmetic as
// the zeros of the Stieltjes polynomial of degree 11 and checked exact for
// every polynomial of degree 31 or less.)
constexpr double kKronrodX[11] = {
    0.995657163025808080736, 0.973906528517171720078, 0.930157491355708226001, 0.865063366688984510732,
    0.780817726586416897064, 0.679409568299024406234, 0.562757134668604683339, 0.433395394129247190799,
    0.294392862701460198131, 0.148874338981631210885, 0.0};
constexpr double kKronrodG[11] = {
    0.0116946388673718742781, 0.0325581623079647274788, 0.0547558965743519960314, 0.075039674810919952767,
    0.0931254545836976055351, 0.109387158802297641899, 0.123491976262065851078, 0.134709217311473325928,
    0.142775938577060080797, 0.147739104901338491375, 0.149445554002916905665};
constexpr double kGaussG[5] = {0.0666713443086881375936, 0.149451349150580593146, 0.219086362515982043996,
                               0.269266719309996355091, 0.295524224714752870174};

// What the degree-20 polynomial through the 21 Kronrod nodes takes at x = 1
// (and mirrored at -1), as weights of the values at the nodes +x_j, at 0
// and at -x_j: the rule's view of what lies beyond its outermost nodes.
constexpr double kRandPlus[10] = {
    1.45191574520433535648,  -0.704885368800862065821, 0.422706757526320743583, -0.297330412144010180429,
    0.229082073219810370309, -0.184493489507934678418, 0.152280444380946688312, -0.128043029757355899182,
    0.109098853097796423578, -0.09361924834481260077};
constexpr double kRandNull = 0.0805770058948504709771;
constexpr double kRandMinus[10] = {
    0.00315957745574120876345, -0.00931802291736945474549, 0.0152955914212970488335, -0.0215117435215700603637,
    0.0281953222146221644797,  -0.0352188343831305948519,  0.0426064526329504720892, -0.0506139273973570512457,
    0.0594726157993695677347,  -0.0693563620736379293177};

// One piece of an integral: its value by the Kronrod rule, an error bound,
// and the integral of the size of the integrand (for telling rounding noise
// from a value). fa, fb: the integrand at the ends where they are checked,
// NaN where not (an end next to a pole).
struct Stueck {
    double a = 0, b = 0;
    double fa = NAN, fb = NAN;
    double wert = 0, fehler = 0, betrag = 0;
};

bool operator<(const Stueck& p, const Stueck& q) { return p.fehler < q.fehler; }

// f(x, ok) on [a, b]; false where f is undefined at a node. The error bound
// takes the difference of the two rules to the power 1.5 relative to the
// spread of the integrand: a difference that the smoothness of the
// integrand makes far too large for its size is taken at its worth, one that
// shrinks with the piece is taken as the rule's much smaller true error. It
// never falls below what rounding leaves of the nodes' values. A kink or a
// step between an end and the outermost node is not seen by the nodes; the
// value at the end then differs from what their polynomial takes there, and
// what lies between can miss at most 0.005 of the width times that
// difference.
template <class F>
bool Kronrod21(const F& f, Stueck& s) {
    const double a = s.a, b = s.b;
    const double mitte = 0.5 * (a + b), halb = 0.5 * (b - a);
    double links[10], rechts[10];
    bool ok = false;
    const double fm = f(mitte, ok);
    if (!ok) return false;
    double kronrod = kKronrodG[10] * fm, gauss = 0, betrag = std::fabs(kronrod);
    double randA = kRandNull * fm, randB = randA;
    for (int j = 0; j < 10; ++j) {
        const double d = halb * kKronrodX[j];
        links[j] = f(mitte - d, ok);
        if (!ok) return false;
        rechts[j] = f(mitte + d, ok);
        if (!ok) return false;
        kronrod += kKronrodG[j] * (links[j] + rechts[j]);
        betrag += kKronrodG[j] * (std::fabs(links[j]) + std::fabs(rechts[j]));
        if (j % 2 == 1) gauss += kGaussG[j / 2] * (links[j] + rechts[j]);
        randB += kRandPlus[j] * rechts[j] + kRandMinus[j] * links[j];
        randA += kRandPlus[j] * links[j] + kRandMinus[j] * rechts[j];
    }
    const double mittel = 0.5 * kronrod;
    double streuung = kKronrodG[10] * std::fabs(fm - mittel);
    for (int j = 0; j < 10; ++j)
        streuung += kKronrodG[j] * (std::fabs(links[j] - mittel) + std::fabs(rechts[j] - mittel));
    const double h = std::fabs(halb);
    s.wert = kronrod * halb;
    s.betrag = betrag * h;
    streuung *= h;
    double fehler = std::fabs((kronrod - gauss) * halb);
    if (streuung != 0 && fehler != 0) fehler = streuung * std::min(1.0, std::pow(200 * fehler / streuung, 1.5));
    double rand = 0;
    if (std::isfinite(s.fa)) rand += std::fabs(s.fa - randA);
    if (std::isfinite(s.fb)) rand += std::fabs(s.fb - randB);
    fehler += 0.005 * 2 * h * rand;
    s.fehler = std::max(fehler, 50 * std::numeric_limits<double>::epsilon() * s.betrag);
    if (!std::isfinite(s.wert) || !std::isfinite(s.fehler)) s.fehler = INFINITY;
    return true;
}

// A sum of many terms without the rounding error growing with their number.
class Summierer {
public:
    void Add(double v) {
        const double t = summe_ + v;
        korrektur_ += std::fabs(summe_) >= std::fabs(v) ? (summe_ - t) + v : (v - t) + summe_;
        summe_ = t;
    }
    double Wert() const { return summe_ + korrektur_; }

private:
    double summe_ = 0, korrektur_ = 0;
};

// What an integral can be refined to: about ten digits of its value, or a
// millionth of a millionth of the integral of its size where the value is
// small by cancellation.
double Ziel(double wert, double betrag) { return std::max(1e-10 * std::fabs(wert), 1e-12 * betrag); }

// Pieces beyond this many are not split: memory stays in a few megabytes.
constexpr size_t kMaxStuecke = 1 << 16;

struct Summe {
    double wert = 0, fehler = 0, betrag = 0;
    bool undefiniert = false;  // the integrand is undefined at a node
    double bei = NAN;          // there
    bool erreicht = false;     // the error bound fell to the target
    // The work budget ended before every piece had a value: there is no sum.
    bool abgebrochen = false;
};

// Whether the shown result stands for an integral with this value and error bound.
using Steht = std::function<bool(double wert, double fehler)>;

// A piece to integrate; the values at the ends are checked unless the end
// lies next to a pole.
struct Teil {
    double a = 0, b = 0;
    bool pruefeA = true, pruefeB = true;
};

// Integrates f over the pieces given, always splitting the piece with the
// largest error bound in half, until the sum of the bounds reaches the
// target, no piece can be split any more, or the work budget ends (then the
// pieces so far make the sum, with their bounds). With
// `steht`, it also stops where the shown result stands and the bound no
// longer shrinks with more pieces.
template <class F>
Summe Verfeinern(const F& f, const std::vector<Teil>& teile, const Steht& steht) {
    Summe r;
    std::vector<Stueck> offen, fertig;
    double wert = 0, fehler = 0, betrag = 0;
    bool erschoepft = false;
    auto knoten = [&](double x, bool& ok) {
        const double y = f(x, ok);
        if (!ok) r.bei = x;
        return y;
    };
    auto bewerten = [&](Stueck& s) {
        if (Kronrod21(knoten, s)) return true;
        if (WorkBudgetSpent())
            erschoepft = true;
        else
            r.undefiniert = true;
        return false;
    };
    // The sums over all pieces, afresh.
    auto neuSummieren = [&] {
        Summierer w, e, g;
        for (const std::vector<Stueck>* v : {&offen, &fertig})
            for (const Stueck& s : *v) {
                w.Add(s.wert);
                e.Add(s.fehler);
                g.Add(s.betrag);
            }
        wert = w.Wert();
        fehler = e.Wert();
        betrag = g.Wert();
    };
    // An end where the integrand is undefined is not checked.
    auto endwert = [&](double x, bool pruefen) {
        bool ok = false;
        const double y = pruefen ? f(x, ok) : 0.0;
        return ok ? y : NAN;
    };
    for (const Teil& t : teile) {
        if (!(t.a < t.b)) continue;
        Stueck s;
        s.a = t.a;
        s.b = t.b;
        s.fa = endwert(t.a, t.pruefeA);
        s.fb = endwert(t.b, t.pruefeB);
        if (!bewerten(s)) {
            r.abgebrochen = erschoepft;
            return r;
        }
        offen.push_back(s);
        wert += s.wert;
        fehler += s.fehler;
        betrag += s.betrag;
    }
    std::make_heap(offen.begin(), offen.end());
    double fehlerVorher = INFINITY;
    size_t naechstePruefung = std::max<size_t>(64, 2 * offen.size());
    for (long long runde = 1;; ++runde) {
        if (fehler <= Ziel(wert, betrag)) {
            r.erreicht = true;
            break;
        }
        if (offen.empty() || offen.size() + fertig.size() >= kMaxStuecke) break;
        if (WorkBudgetSpent()) break;
        if (runde % 64 == 0) {
            // The running sums drift with every piece added and taken away.
            neuSummieren();
        }
        // Every time the pieces have doubled: a bound that did not even
        // halve is rounding noise or a nowhere smooth integrand, and no
        // more pieces change the shown digits, which stand with room to spare.
        if (offen.size() + fertig.size() >= naechstePruefung) {
            if (steht && steht(wert, 2 * fehler) && fehler > 0.5 * fehlerVorher) break;
            fehlerVorher = fehler;
            naechstePruefung *= 2;
        }
        std::pop_heap(offen.begin(), offen.end());
        const Stueck s = offen.back();
        offen.pop_back();
        const double m = 0.5 * (s.a + s.b);
        // A piece a few units of the last digit of x wide has no nodes of its own.
        const double groesst = std::max(std::fabs(s.a), std::fabs(s.b));
        const double ulp = std::nextafter(groesst, INFINITY) - groesst;
        if (!(s.a < m && m < s.b) || s.b - s.a <= 1024 * ulp || !std::isfinite(s.fehler)) {
            fertig.push_back(s);
            if (!std::isfinite(s.fehler)) break;
            continue;
        }
        bool ok = false;
        const double fm = f(m, ok);
        Stueck l, rr;
        l.a = s.a;
        l.fa = s.fa;
        l.b = rr.a = m;
        l.fb = rr.fa = ok ? fm : NAN;
        rr.b = s.b;
        rr.fb = s.fb;
        if (!bewerten(l) || !bewerten(rr)) {
            // The piece keeps the value it had.
            offen.push_back(s);
            if (r.undefiniert) return r;
            break;
        }
        wert += l.wert + rr.wert - s.wert;
        fehler += l.fehler + rr.fehler - s.fehler;
        betrag += l.betrag + rr.betrag - s.betrag;
        for (const Stueck& neu : {l, rr}) {
            offen.push_back(neu);
            std::push_heap(offen.begin(), offen.end());
        }
    }
    neuSummieren();
    r.wert = wert;
    r.fehler = fehler;
    r.betrag = betrag;
    if (!r.erreicht) r.erreicht = r.fehler <= Ziel(r.wert, r.betrag);
    return r;
}

// ---- what f does on [a, b] ----

// f, the term in the main tree summed over the family's n range, at t.
struct Funktion {
    double t;
    NRange n;
    double operator()(double x, bool& ok) const { return NSum(0, x, t, n, ok); }
};

// Poles beyond this many are not told apart.
constexpr size_t kMaxPole = 512;

// f on a grid of kPruefSchritte steps over [a, b], the poles found by
// searching around every sample that stands out, and the places where f is
// undefined that the searches met.
struct Abtastung {
    std::vector<Nachbarwert> proben;
    std::vector<double> pole, luecken;
};

Abtastung Abtasten(const Funktion& f, double a, double b) {
    Abtastung r;
    const size_t anzahl = kPruefSchritte + 1;
    r.proben.resize(anzahl);
    for (size_t i = 0; i < anzahl; ++i) {
        Nachbarwert& p = r.proben[i];
        p.x = i + 1 == anzahl ? b : a + (b - a) * static_cast<double>(i) / kPruefSchritte;
        p.y = f(p.x, p.definiert);
        p.da = true;
    }
    long long ausgegeben = 0;
    for (size_t i = 0; i < anzahl && ausgegeben < kPruefBudget; ++i) {
        if (!r.proben[i].definiert) continue;
        const Nachbarwert keiner;
        const Nachbarwert& links = i > 0 ? r.proben[i - 1] : keiner;
        const Nachbarwert& rechts = i + 1 < anzahl ? r.proben[i + 1] : keiner;
        // A sample that stands on a pole (tan(x) is 1.6e16 at the double
        // next to pi/2) leaves nothing to search: the search from its
        // neighbours meets the pole's value in one step and sees no growth.
        // Where it is a finite peak after all, the limits towards it say so.
        bool spitze = std::fabs(r.proben[i].y) >= kUeberlauf;
        for (const Nachbarwert* q : {&links, &rechts})
            if (q->da && q->definiert) spitze &= std::fabs(r.proben[i].y) >= 1e6 * std::fabs(q->y);
        if (spitze) {
            r.pole.push_back(r.proben[i].x);
            if (r.pole.size() >= kMaxPole) break;
            continue;
        }
        const Polbefund p =
            PolNeben(f.t, f.n, r.proben[i].x, r.proben[i].y, links, rechts, kPruefBudget - ausgegeben, ausgegeben);
        if (p.luecke && std::isfinite(p.lueckeX)) r.luecken.push_back(p.lueckeX);
        if (p.pol) {
            r.pole.push_back(p.x);
            if (r.pole.size() >= kMaxPole) break;
        }
    }
    return r;
}

// The strict local extremes of f among the samples with defined neighbours,
// inside (lo, hi): a peak narrower than the nodes of a rule starts at an
// end of a piece, where the rule sees it.
void ExtremeDazu(const Abtastung& s, double lo, double hi, std::vector<double>& punkte) {
    const std::vector<Nachbarwert>& p = s.proben;
    for (size_t i = 1; i + 1 < p.size(); ++i) {
        if (!p[i - 1].definiert || !p[i].definiert || !p[i + 1].definiert) continue;
        const bool hoch = p[i].y > p[i - 1].y && p[i].y > p[i + 1].y;
        const bool tief = p[i].y < p[i - 1].y && p[i].y < p[i + 1].y;
        if ((hoch || tief) && p[i].x > lo && p[i].x < hi) punkte.push_back(p[i].x);
    }
}

// A zero of f between l and r, where f has opposite signs yl and yr: by
// regula falsi with the Illinois step, bisecting every third step, down to
// neighbouring doubles.
double NullstelleZwischen(const Funktion& f, double l, double yl, double r, double yr) {
    for (int k = 0; k < 200; ++k) {
        double m = l - yl * (r - l) / (yr - yl);
        if (k % 3 == 2 || !(m > l && m < r)) m = 0.5 * (l + r);
        if (!(m > l && m < r)) break;
        bool ok;
        const double ym = f(m, ok);
        if (!ok) break;
        if (ym == 0) return m;
        if ((ym < 0) == (yr < 0)) {
            r = m;
            yr = ym;
            yl *= 0.5;
        } else {
            l = m;
            yl = ym;
            yr *= 0.5;
        }
    }
    return 0.5 * (l + r);
}

// The zeros of f where it changes sign between samples, or is 0 at one.
void NullstellenDazu(const Funktion& f, const Abtastung& s, std::vector<double>& punkte) {
    const std::vector<Nachbarwert>& p = s.proben;
    for (size_t i = 0; i + 1 < p.size(); ++i) {
        if (!p[i].definiert || !p[i + 1].definiert) continue;
        if (p[i].y == 0 && i > 0) punkte.push_back(p[i].x);
        if ((p[i].y < 0 && p[i + 1].y > 0) || (p[i].y > 0 && p[i + 1].y < 0))
            punkte.push_back(NullstelleZwischen(f, p[i].x, p[i].y, p[i + 1].x, p[i + 1].y));
    }
}

// The pieces between consecutive points of [lo, hi], added to `teile`;
// the values at lo and hi are checked as told.
void TeileDazu(double lo, double hi, std::vector<double> punkte, std::vector<Teil>& teile, bool pruefeLo = true,
               bool pruefeHi = true) {
    punkte.push_back(lo);
    punkte.push_back(hi);
    std::sort(punkte.begin(), punkte.end());
    for (size_t i = 0; i + 1 < punkte.size(); ++i)
        if (punkte[i] >= lo && punkte[i + 1] <= hi && punkte[i] < punkte[i + 1])
            teile.push_back(Teil{punkte[i], punkte[i + 1], pruefeLo || punkte[i] > lo, pruefeHi || punkte[i + 1] < hi});
}

// Where f stops being defined between d (defined) and u (undefined):
// the last defined and the first undefined double found by bisection.
std::pair<double, double> Grenze(const Funktion& f, double d, double u) {
    for (int k = 0; k < 1100; ++k) {
        const double m = 0.5 * (d + u);
        if (m == d || m == u) break;
        bool ok;
        f(m, ok);
        (ok ? d : u) = m;
    }
    return {d, u};
}

// A stretch where f is undefined: from the last defined point lo on its
// left to the first defined point hi on its right (or from a, or to b, where
// it reaches the end of the interval); uLo and uHi are its first and last
// undefined points. A pole at an edge makes that edge singular.
struct Bereich {
    double lo = 0, hi = 0, uLo = 0, uHi = 0;
    bool amAnfang = false, amEnde = false;
    bool polLo = false, polHi = false;
};

// From the undefined point u towards `seite` in doubling distances from
// `erste` on, inside (lo, hi): the first point where f is defined again (or
// that end when there is none) and the last undefined point before it.
std::pair<double, double> BisDefiniert(const Funktion& f, double u, int seite, double erste, double lo, double hi) {
    double zuletzt = u, definiert = seite > 0 ? hi : lo;
    for (double e = erste; e < hi - lo; e *= 2) {
        const double x = u + seite * e;
        if (!(x > lo && x < hi)) break;
        bool ok;
        f(x, ok);
        if (ok) {
            definiert = x;
            break;
        }
        zuletzt = x;
    }
    return {definiert, zuletzt};
}

// The undefined neighbourhood of a pole at c found between two samples
// lo < c < hi: its edges from undefined points near c, both singular. A pole
// whose values never leave the evaluator's range makes a stretch of no width.
Bereich PolZone(const Funktion& f, double c, double lo, double hi) {
    Bereich z;
    z.lo = z.hi = z.uLo = z.uHi = c;
    z.polLo = z.polHi = true;
    double u = c;
    int seite = 0;
    for (double d = std::max(std::fabs(c), std::numeric_limits<double>::min()) * 0x1p-52; d < hi - lo && !seite;
         d *= 2) {
        for (const int s : {-1, +1}) {
            const double x = c + s * d;
            if (!(x > lo && x < hi)) continue;
            bool ok;
            f(x, ok);
            if (!ok) {
                seite = s;
                u = x;
                break;
            }
        }
    }
    if (!seite) return z;
    const auto [d1, u1] = Grenze(f, c, u);
    // Walk on across the undefined stretch until f is defined again.
    const auto [weiter, zuletzt] = BisDefiniert(f, u1, seite, std::fabs(u1 - d1), lo, hi);
    const auto [d2, u2] = Grenze(f, weiter, zuletzt);
    z.lo = std::min(d1, d2);
    z.hi = std::max(d1, d2);
    z.uLo = std::min(u1, u2);
    z.uHi = std::max(u1, u2);
    return z;
}

// The stretch where f is undefined around u, a place where it is undefined
// between the defined samples lo < u < hi: walked out to either side until
// f is defined again, its edges found by bisection.
Bereich LueckeUm(const Funktion& f, double u, double lo, double hi) {
    double rand[2][2];  // per side: the last defined and the first undefined point
    for (int k = 0; k < 2; ++k) {
        const auto [definiert, zuletzt] =
            BisDefiniert(f, u, k == 0 ? -1 : 1, std::max(std::fabs(u), std::numeric_limits<double>::min()) * 0x1p-52, lo, hi);
        std::tie(rand[k][0], rand[k][1]) = Grenze(f, definiert, zuletzt);
    }
    Bereich z;
    z.lo = rand[0][0];
    z.uLo = rand[0][1];
    z.hi = rand[1][0];
    z.uHi = rand[1][1];
    return z;
}

// One end of a stretch where f is defined: a point where f has a value, or
// a singular end, which the integral approaches towards `bezug` (an isolated
// point where f is undefined, a pole or not, or the edge of an undefined
// stretch), x being the last point where f is defined.
struct Ende {
    double x = 0;
    bool singulaer = false;
    double bezug = 0;
    bool pol = false;  // an isolated undefined point lies at the end
};

struct Zerlegung {
    std::vector<std::pair<Ende, Ende>> strecken;
    // f is undefined on a stretch, not only at isolated points.
    bool luecke = false;
};

// [a, b] taken apart into the stretches where f is defined, from the
// samples, the poles found around them and the places where f is
// undefined that the searches or the rule's nodes (`dazu`) met.
Zerlegung Zerlegen(const Funktion& f, const Abtastung& s, double a, double b, const std::vector<double>& dazu) {
    const std::vector<Nachbarwert>& p = s.proben;
    const double schritt = (b - a) / kPruefSchritte;
    // Narrower than this, an undefined stretch is a point to the integral:
    // a pole's neighbourhood where its values leave the evaluator's range,
    // or a gap such as sin(x)/x has at 0.
    const double schmal = 1e-6 * (b - a);
    std::vector<Bereich> bereiche;
    for (size_t i = 0; i < p.size();) {
        if (p[i].definiert) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j + 1 < p.size() && !p[j + 1].definiert) ++j;
        Bereich z;
        if (i == 0) {
            z.amAnfang = true;
            z.lo = z.uLo = a;
        } else {
            std::tie(z.lo, z.uLo) = Grenze(f, p[i - 1].x, p[i].x);
        }
        if (j + 1 == p.size()) {
            z.amEnde = true;
            z.hi = z.uHi = b;
        } else {
            std::tie(z.hi, z.uHi) = Grenze(f, p[j + 1].x, p[j].x);
        }
        bereiche.push_back(z);
        i = j + 1;
    }
    for (const double c : s.pole) {
        bool dabei = false;
        for (Bereich& z : bereiche) {
            if (c < z.lo - schritt || c > z.hi + schritt) continue;
            dabei = true;
            if (!z.amAnfang && std::fabs(c - z.lo) <= schritt) z.polLo = true;
            if (!z.amEnde && std::fabs(c - z.hi) <= schritt) z.polHi = true;
        }
        if (!dabei) bereiche.push_back(PolZone(f, c, std::max(a, c - schritt), std::min(b, c + schritt)));
    }
    // Undefined places between two defined samples.
    std::vector<double> orte = s.luecken;
    orte.insert(orte.end(), dazu.begin(), dazu.end());
    for (const double u : orte) {
        if (!(u > a && u < b)) continue;
        bool bekannt = false;
        for (const Bereich& z : bereiche) bekannt |= u >= z.uLo && u <= z.uHi;
        if (bekannt) continue;
        size_t i = std::min<size_t>(static_cast<size_t>((u - a) / schritt), p.size() - 2);
        while (i > 0 && p[i].x > u) --i;
        while (i + 2 < p.size() && p[i + 1].x < u) ++i;
        if (!(p[i].x < u && u < p[i + 1].x) || !p[i].definiert || !p[i + 1].definiert) continue;
        bereiche.push_back(LueckeUm(f, u, p[i].x, p[i + 1].x));
    }
    std::sort(bereiche.begin(), bereiche.end(), [](const Bereich& x, const Bereich& y) { return x.lo < y.lo; });
    // Overlapping stretches are one.
    std::vector<Bereich> ganz;
    for (const Bereich& z : bereiche) {
        if (!ganz.empty() && z.lo <= ganz.back().hi) {
            Bereich& g = ganz.back();
            if (z.hi > g.hi) {
                g.hi = z.hi;
                g.uHi = z.uHi;
                g.polHi = z.polHi;
                g.amEnde = z.amEnde;
            } else if (z.hi == g.hi) {
                g.polHi |= z.polHi;
            }
            g.uLo = std::min(g.uLo, z.uLo);
            continue;
        }
        ganz.push_back(z);
    }
    Zerlegung r;
    auto punkt = [&](const Bereich& z) { return z.uHi - z.uLo <= schmal; };
    // Every edge is approached as a limit: f may have a pole there, or
    // behave like a root, which the last double before the edge resolves
    // only to a few digits. The limit is taken towards an isolated point
    // (the end of the interval where that reaches it), else towards the
    // edge itself.
    auto nach = [&](const Bereich& z) {
        const double bezug = !punkt(z) ? z.uHi : z.amAnfang ? a : 0.5 * (z.uLo + z.uHi);
        return Ende{z.hi, true, bezug, z.polHi || punkt(z)};
    };
    auto vor = [&](const Bereich& z) {
        const double bezug = !punkt(z) ? z.uLo : z.amEnde ? b : 0.5 * (z.uLo + z.uHi);
        return Ende{z.lo, true, bezug, z.polLo || punkt(z)};
    };
    std::optional<Ende> anfang = Ende{a, false, a};
    for (const Bereich& z : ganz) {
        r.luecke |= !punkt(z);
        if (anfang && !z.amAnfang) r.strecken.emplace_back(*anfang, vor(z));
        anfang.reset();
        if (!z.amEnde) anfang = nach(z);
    }
    if (anfang) r.strecken.emplace_back(*anfang, Ende{b, false, b});
    return r;
}

// What an integral over the stretches where f is defined integrates: f,
// |f|, f^2, or x f (for the integral of x^2 f').
enum class Art { F, Betrag, Quadrat, XF };

double Integrandwert(Art art, double x, double y) {
    switch (art) {
        case Art::Betrag: return std::fabs(y);
        case Art::Quadrat: return y * y;
        case Art::XF: return x * y;
        default: return y;
    }
}

// How the integral and x^2 f behave towards a singular end.
struct Randverlauf {
    bool divergent = false;
    // Whether the integral converges there could not be told.
    bool unentschieden = false;
    bool zuKurz = false;  // the stretch is too short to see a law
    double schnitt = 0;               // where the pieces stop short of the end
    double rest = 0, restFehler = 0;  // the integral from there to the end
    double g = 0, gFehler = 0;        // the limit of x^2 f at the end
};

// Steps towards a singular end halve the distance this often at most.
constexpr int kRandSchritte = 200;

// A power law with an exponent this close to -1 has no integral: a pole
// like 1/x, its exponent blurred by how coarsely x resolves the distance.
// (Closer to -1 the exponents that drift there, as those of 1/(x ln x) do,
// move the rest too much for it to settle: it is cut.)
constexpr double kGrenzExponent = -1 + 1e-4;

// The integral of F from the end up to one of the samples F(h_k) at the
// distances h_k, each half the one before; returns the index of that
// sample (the pieces stop there).
// - A power law, F ~ C h^p (the exponents of the last steps agree): the
//   rest is F(h) h / (p + 1), which exists for p > -1. It is taken where the
//   exponents over the steps before agree best: close to the end x resolves
//   h only to a few digits, farther off F may not follow the law yet.
// - Otherwise the size of F: |F| h shrinks by a factor q a step where the
//   integral exists (F oscillating, as x sin(1/x) does, or erratic), and
//   the rest is bounded by the geometric series; where |F| h does not shrink
//   and F keeps its sign, the integral grows without bound. Between the
//   two, or oscillating without shrinking, it cannot be told.
size_t RestBestimmen(const std::vector<double>& hs, const std::vector<double>& fs, Randverlauf& r) {
    const size_t n = hs.size();
    const size_t w = std::min<size_t>(n, 8) & ~size_t{1};
    // Whether F keeps its sign over the w samples up to k, and never is 0.
    auto gleich = [&](size_t k) {
        for (size_t j = k + 1 - w; j <= k; ++j)
            if (fs[j] == 0 || (fs[j] > 0) != (fs[k] > 0)) return false;
        return true;
    };
    auto exponent = [&](size_t k) { return -std::log2(fs[k] / fs[k - 1]); };
    if (gleich(n - 1)) {
        double pMin = INFINITY, pMax = -INFINITY;
        for (size_t k = n + 1 - w; k < n; ++k) {
            pMin = std::min(pMin, exponent(k));
            pMax = std::max(pMax, exponent(k));
        }
        if (pMax - pMin <= 0.25) {
            const double p2 = exponent(n - 1), p1 = exponent(n - 2);
            if (p2 <= kGrenzExponent || 0.5 * (p1 + p2) <= kGrenzExponent) {
                r.divergent = true;
                return n - 1;
            }
            // The rest at k, and how far the exponents of the steps before
            // move it.
            size_t best = n - 1;
            double bestFehler = INFINITY;
            for (size_t k = n - 1; k >= w; --k) {
                if (!gleich(k)) break;
                const double pk = exponent(k), fh = fs[k] * hs[k], rest = fh / (pk + 1);
                double fehler = 0;
                for (size_t j = k + 2 - w; j <= k && std::isfinite(fehler); ++j) {
                    const double pj = exponent(j);
                    fehler = pj <= kGrenzExponent ? INFINITY : std::max(fehler, std::fabs(fh / (pj + 1) - rest));
                }
                fehler += 1e-12 * std::fabs(rest);
                if (fehler < bestFehler) {
                    bestFehler = fehler;
                    best = k;
                    r.rest = rest;
                }
            }
            r.restFehler = bestFehler;
            return best;
        }
    }
    const size_t von = n - w;
    bool positiv = true, negativ = true;
    double frueh = 0, spaet = 0;
    for (size_t k = von; k < n; ++k) {
        positiv &= fs[k] >= 0;
        negativ &= fs[k] <= 0;
        double& m = k < von + w / 2 ? frueh : spaet;
        m = std::max(m, std::fabs(fs[k]) * hs[k]);
    }
    if (spaet == 0) return n - 1;  // F vanishes there
    const double q = frueh > 0 ? std::pow(spaet / frueh, 2.0 / static_cast<double>(w)) : INFINITY;
    if (q <= std::exp2(-0.05)) {
        const double schranke = 2 * spaet / (1 - q);
        r.rest = positiv ? 0.5 * schranke : negativ ? -0.5 * schranke : 0.0;
        r.restFehler = positiv || negativ ? 0.5 * schranke : schranke;
    } else if (q >= std::exp2(-0.01) && (positiv || negativ)) {
        r.divergent = true;
    } else {
        r.unentschieden = true;
    }
    return n - 1;
}

// F (by `art`) sampled towards `bezug` from side s (+1: the stretch lies
// right of it), the distance halved each step from half of the stretch
// (`weit` is its other end) until f is undefined or x no longer resolves
// the distance; the rest of the integral from there, and for x f the limit
// of x^2 f, which exists where its steps shrink.
Randverlauf RandVerfolgen(const Funktion& f, double bezug, int s, double weit, Art art) {
    Randverlauf r;
    std::vector<double> xs, hs, ys, fs, gs;
    const double weite = 0.5 * std::fabs(weit - bezug);
    // Closer to the end than a million units of its last digit, x resolves
    // the distance h too coarsely for the steps to follow a law (the end
    // itself is known to a unit).
    const double aufloesung = 0x1p20 * (std::nextafter(std::fabs(bezug), INFINITY) - std::fabs(bezug));
    for (int k = 0; k < kRandSchritte; ++k) {
        const double h = std::ldexp(weite, -k);
        if (h < aufloesung) break;
        const double x = bezug + s * h;
        if (!(s > 0 ? x > bezug : x < bezug)) break;
        bool ok;
        const double y = f(x, ok);
        if (!ok) break;
        hs.push_back(h);
        ys.push_back(y);
        fs.push_back(Integrandwert(art, x, y));
        gs.push_back(x * x * y);
        xs.push_back(x);
    }
    // Values that reach the evaluator's limits and stay there before the
    // end (1/x^3 is undefined within 1e-5 of 0): the pole lies beyond the
    // edge, and f shows its law only well below those values.
    bool gekappt = false;
    if (ys.size() >= 2) {
        const double zuletzt = std::fabs(ys.back());
        if (zuletzt >= kUeberlauf && zuletzt < std::exp2(0.1) * std::fabs(ys[ys.size() - 2])) {
            size_t m = 0;
            while (m < ys.size() && std::fabs(ys[m]) <= 1e-3 * zuletzt) ++m;
            for (std::vector<double>* v : {&xs, &hs, &ys, &fs, &gs}) v->resize(m);
            gekappt = true;
        }
    }
    const size_t n = hs.size();
    // Too few steps to tell what happens at the end.
    if (n < 5) {
        r.zuKurz = true;
        // Where f cannot be followed towards the pole, there is no integral.
        r.divergent = gekappt;
        return r;
    }
    r.schnitt = xs[RestBestimmen(hs, fs, r)];
    if (r.divergent || art != Art::XF) return r;
    // x^2 f = L + C h^q has the limit L where q > 0: the steps between its
    // values shrink by r = 2^-q, and L follows from the last of them
    // (Aitken's extrapolation); the two last such limits bound its error.
    // Steps that change sign irregularly (x^2 f oscillating) have a limit
    // where they shrink as a whole; steps that do not shrink mean that x^2 f
    // grows without bound, as a power or a logarithm.
    const double d3 = gs[n - 1] - gs[n - 2], d2 = gs[n - 2] - gs[n - 3], d1 = gs[n - 3] - gs[n - 4],
                 d0 = gs[n - 4] - gs[n - 5];
    const double klein = 1e-14 * std::fabs(gs[n - 1]);
    const double r3 = d2 != 0 ? d3 / d2 : INFINITY, r2 = d1 != 0 ? d2 / d1 : INFINITY;
    r.g = gs[n - 1];
    if (std::fabs(d3) <= klein) {
        r.gFehler = std::fabs(d3) + klein;
    } else if (std::fabs(r3) < 0.985 && std::fabs(r2) < 0.985 && (r3 > 0) == (r2 > 0)) {
        r.g = gs[n - 1] + d3 * r3 / (1 - r3);
        const double vorher = gs[n - 2] + d2 * r2 / (1 - r2);
        r.gFehler = std::fabs(r.g - vorher) + klein;
    } else if (std::max(std::fabs(d3), std::fabs(d2)) <= 0.5 * std::max(std::fabs(d1), std::fabs(d0))) {
        r.gFehler = 2 * std::max(std::fabs(d3), std::fabs(d2)) + klein;
    } else {
        r.divergent = true;
    }
    return r;
}

Integralwert Undefiniert() {
    Integralwert w;
    w.undefiniert = true;
    return w;
}

Integralwert Abgebrochen() {
    Integralwert w;
    w.abgebrochen = true;
    return w;
}

// Whether the shown result stands: the text of the value and of both ends
// of its error bound agree.
bool TextSteht(const Ergebnistext& text, double wert, double fehler) {
    if (!text || !std::isfinite(wert) || !std::isfinite(fehler)) return false;
    const std::string mitte = text(wert);
    return text(wert - fehler) == mitte && text(wert + fehler) == mitte;
}

// Places where f is undefined that the rule's nodes may meet beyond those
// the samples and searches found; each is taken apart as they are.
constexpr int kMaxNachgefunden = 16;

// The integral (by `art`) over the stretches where f is defined, each up to
// the isolated points and poles at its ends, as an improper integral. For
// x f the result is that of x^2 f': the sum of x^2 f at the ends and -2
// times the integral.
Integralwert Uneigentlich(Art art, double t, double a, double b, const Ergebnistext& text, double sekunden) {
    WorkBudget budget(sekunden);
    if (!std::isfinite(a) || !std::isfinite(b)) return Undefiniert();
    if (a == b) return {};
    const double vorzeichen = a < b ? 1.0 : -1.0;
    if (b < a) std::swap(a, b);
    const Funktion f{t, CurrentNRange()};
    const Abtastung s = Abtasten(f, a, b);
    if (WorkBudgetSpent()) return Abgebrochen();
    const bool xf = art == Art::XF;
    std::vector<double> dazu;
    for (int versuch = 0;; ++versuch) {
        const Zerlegung z = Zerlegen(f, s, a, b, dazu);
        if (WorkBudgetSpent()) return Abgebrochen();
        // Where f is undefined on a stretch there is no area and no solid
        // about the x axis; the solid about the y axis is that of the
        // defined part.
        if ((!xf && z.luecke) || z.strecken.empty()) return Undefiniert();
        // The limits of x^2 f at the ends and the rests of the integral up to them.
        Summierer g, rest;
        double gFehler = 0, gBetrag = 0, restFehler = 0, restBetrag = 0;
        bool offen = false;
        std::vector<Teil> teile;
        for (const auto& [links, rechts] : z.strecken) {
            double lo = links.x, hi = rechts.x;
            for (const Ende* e : {&links, &rechts}) {
                const double seite = e == &links ? -1.0 : 1.0;  // x^2 f enters with this sign
                double gWert;
                Randverlauf v;
                if (e->singulaer) {
                    v = RandVerfolgen(f, e->bezug, e == &links ? +1 : -1, e == &links ? rechts.x : links.x, art);
                    if (WorkBudgetSpent()) return Abgebrochen();
                    // Without a law to follow, a pole has no known limit; the
                    // edge of an undefined stretch is taken where f ends.
                    if (v.divergent || (v.zuKurz && e->pol)) return Undefiniert();
                    offen |= v.unentschieden;
                }
                if (e->singulaer && !v.zuKurz) {
                    (e == &links ? lo : hi) = v.schnitt;
                    rest.Add(v.rest);
                    restFehler += v.restFehler;
                    restBetrag += std::fabs(v.rest);
                    gWert = v.g;
                    gFehler += v.gFehler;
                } else {
                    bool ok = true;
                    const double y = xf ? f(e->x, ok) : 0.0;
                    if (!ok) return WorkBudgetSpent() ? Abgebrochen() : Undefiniert();
                    gWert = e->x * e->x * y;
                }
                if (xf) {
                    g.Add(seite * gWert);
                    gBetrag += std::fabs(gWert);
                }
            }
            if (!(lo < hi)) continue;
            std::vector<double> punkte;
            ExtremeDazu(s, lo, hi, punkte);
            // |f| has a kink at every zero where f changes sign.
            if (art == Art::Betrag) NullstellenDazu(f, s, punkte);
            TeileDazu(lo, hi, punkte, teile, !links.singulaer, !rechts.singulaer);
        }
        // Whether the integral converges at an end could not be told.
        if (offen) return Abgebrochen();
        if (WorkBudgetSpent()) return Abgebrochen();
        const double faktor = xf ? -2.0 : 1.0;
        // The result from the integral over the pieces, and its error bound.
        auto ergebnis = [&](double integral) { return (xf ? g.Wert() : 0.0) + faktor * (integral + rest.Wert()); };
        auto schranke = [&](double fehler) { return gFehler + std::fabs(faktor) * (fehler + restFehler); };
        const Steht steht =
            text ? Steht([&](double w, double e) { return TextSteht(text, vorzeichen * ergebnis(w), schranke(e)); })
                 : Steht();
        auto integrand = [&](double x, bool& ok) { return Integrandwert(art, x, f(x, ok)); };
        const Summe summe = Verfeinern(integrand, teile, steht);
        if (summe.abgebrochen) return Abgebrochen();
        if (summe.undefiniert) {
            // A node met a place where f is undefined: it is taken apart too.
            if (versuch < kMaxNachgefunden && std::isfinite(summe.bei)) {
                dazu.push_back(summe.bei);
                continue;
            }
            return Undefiniert();
        }
        Integralwert w;
        const double groesse = gBetrag + std::fabs(faktor) * (summe.betrag + restBetrag);
        w.wert = vorzeichen * OhneRauschen(ergebnis(summe.wert), groesse);
        w.fehler = schranke(summe.fehler);
        const bool gezeigt = TextSteht(text, vorzeichen * ergebnis(summe.wert), w.fehler);
        w.abgebrochen = !gezeigt && !(summe.erreicht && gFehler + restFehler <= 1e-9 * groesse);
        return w;
    }
}

}  // namespace

Integralwert Integrieren(int mode, double t, double a, double b, const Ergebnistext& text, double sekunden) {
    if (mode != kIntegrandX2Ableitung) {
        const Art art = mode == kIntegrandQuadrat ? Art::Quadrat : mode == kIntegrandBetrag ? Art::Betrag : Art::F;
        return Uneigentlich(art, t, a, b, text, sekunden);
    }
    WorkBudget budget(sekunden);
    if (!std::isfinite(a) || !std::isfinite(b)) return Undefiniert();
    if (a == b) return {};
    const double vorzeichen = a < b ? 1.0 : -1.0;
    if (b < a) std::swap(a, b);
    const NRange n = CurrentNRange();
    std::vector<double> punkte;
    for (int i = 1; i < 8; ++i) punkte.push_back(a + (b - a) * i / 8);
    auto integrand = [&](double x, bool& ok) {
        bool definiert;
        const double d = NSum(1, x, t, n, definiert);
        // An undefined f' counts 0; only the end of the budget stops.
        ok = definiert || !WorkBudgetSpent();
        return definiert ? x * x * d : 0.0;
    };
    const Steht steht = text ? Steht([&](double w, double e) { return TextSteht(text, vorzeichen * w, e); }) : Steht();
    std::vector<Teil> teile;
    TeileDazu(a, b, punkte, teile);
    const Summe summe = Verfeinern(integrand, teile, steht);
    if (summe.abgebrochen) return Abgebrochen();
    if (summe.undefiniert) return Undefiniert();
    Integralwert w;
    w.wert = vorzeichen * OhneRauschen(summe.wert, summe.betrag);
    w.fehler = summe.fehler;
    w.abgebrochen = !summe.erreicht && !TextSteht(text, vorzeichen * summe.wert, summe.fehler);
    return w;
}

Integralwert IntegralX2Ableitung(double t, double a, double b, const Ergebnistext& text, double sekunden) {
    return Uneigentlich(Art::XF, t, a, b, text, sekunden);
}

double IntegralSimpson(int, int mode, double t, double a, double b) {
    const Integralwert w = Integrieren(mode, t, a, b);
    gOverlay.IntegrandUndefiniert = w.undefiniert;
    gOverlay.IntegralAbgebrochen = w.abgebrochen;
    return w.wert;
}

}  // namespace kalvo
