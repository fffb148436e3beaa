#pragma once
// Riemann sums over strips, the area between f and g, and the integrals of
// the family term in the main tree, summed over the n range. The sums and
// the integrals serve the redraw and the area, sums and solids windows alike.

#include <cmath>
#include <functional>
#include <string>

#include "plot_support.h"
#include "work_budget.h"

namespace kalvo {

// A result smaller than this fraction of the size of what it sums (the
// integral of |f|, the sum of the terms' sizes) is rounding noise: it is 0.
inline constexpr double kRauschGrenze = 1e-12;

// x, or 0 when |x| is rounding noise beside `groesse` (see kRauschGrenze).
double OhneRauschen(double x, double groesse);

// Display modes of the sums (SummenAnzeigeart).
enum SummenModus : int {
    kObersumme = 1,
    kUntersumme = 2,
    kOberUndUntersumme = 3,
    kFehlerintervall = 4,
    kZwischenwertsumme = 5,
};

// The strips beyond this count are not computed; the sums are those of the
// count used, which the status line shows.
inline constexpr int kMaxRechtecke = 100000;

struct RiemannSummen {
    int n = 0;  // strips used
    // Not finite where f has a pole in a strip: that sum does not exist.
    double Obersumme = 0, Untersumme = 0, Zwischenwertsumme = 0;
    // The work budget ran out before every strip was known: no sum is.
    bool abgebrochen = false;
};

// Upper, lower and midpoint sums of the term in the main tree at parameter t
// over [a, b] (either order) with n strips: per strip the smallest and
// largest value, found from samples that depend on n alone (not on the
// window) and searched out to the last digit around the best ones; and the
// value at its middle. Within a work budget of its own (kWaitSeconds, and
// no more than an open one leaves).
RiemannSummen RiemannSums(int n, double a, double b, double t);

// Draws the strips of the mode and writes the sums to the status line
// (GraphHost::SummenText); the term in the main tree, t as the family starts.
// Sums cut short by the work budget are not shown, nor are strips whose
// values were not found.
RiemannSummen DrawOberUntersumme(int n, int mode, double a, double b);

// "n = 4  O = 0,6250" and so on, as the status line shows the sums.
std::string SummenText(int mode, const RiemannSummen& s);

// Fills the region between f and g over [a, b] at parameter t with the
// area's pattern and colour.
void DrawFlaeche(double a, double b, double t);

// What an integral integrates, from the term in the main tree.
enum IntegrandModus : int {
    kIntegrandF = 0,          // f
    kIntegrandBetrag = 1,     // |f|
    kIntegrandQuadrat = 2,    // f^2
    kIntegrandX2Ableitung = 3,  // x^2 * f'
};

// The integrand at x; an undefined f gives 0 and sets IntegrandUndefiniert
// (not for x^2 * f', where an undefined f' gives 0).
double Integrand(int mode, double x, double t);

// Simpson's rule with 2 * pairs intervals on [a, b].
double SimpsonStep(long long pairs, int mode, double t, double a, double b);

// The text a result is shown with. Two values that read alike are the same
// answer: an integral has settled once its value and its error bound on
// either side of it read alike.
using Ergebnistext = std::function<std::string(double)>;

struct Integralwert {
    double wert = 0;
    double fehler = 0;  // bound of the error, as estimated
    // No finite value: f is undefined there, or has a pole where no area
    // exists, or the integral grows without bound.
    bool undefiniert = false;
    // The work budget ended before the value settled: it means nothing.
    bool abgebrochen = false;
};

// The integral over [a, b] (either order) at t, refined until it settles:
// to about ten digits, or (given `text`) once the shown digits no longer
// change as the error bound shrinks. Adaptive Gauss-Kronrod rules split
// the interval where the integrand is least smooth, so root-type ends and
// kinks converge; |f| is split at the zeros of f. Rounding noise beside
// the integral of the integrand's size comes back as 0.
// - f, |f| and f^2 (the volume about the x axis): where f is undefined only
//   at isolated points of [a, b] (a gap such as sin(x)/x has at 0, or a
//   pole), the integral is the improper one, taken up to them from either
//   side; it has no value where that grows without bound (1/x on [-1, 1]:
//   no principal value), nor where f is undefined on a stretch.
// - x^2 f': undefined f' counts 0 and never leaves the integral undefined.
// Within a work budget of `sekunden` (inside an open one, no more than it
// leaves); a value that did not settle within it is cut, and so is an
// improper integral of which it could not be told whether it converges.
Integralwert Integrieren(int mode, double t, double a, double b, const Ergebnistext& text = {},
                         double sekunden = kWaitSeconds);

// The integral of x^2 f' over [a, b] at t, whose pi-fold is the volume of
// the solid f sweeps about the y axis, built without f' as the sum over the
// stretches [c, d] where f is defined of d^2 f(d) - c^2 f(c) - 2 * integral
// of x f (limits where f has a pole or a gap at an end: x^2 f -> 0 for 1/x
// at 0). It exists where every one of these does; where f is undefined on a
// stretch the solid is that of the defined part. Settled and cut as
// Integrieren.
Integralwert IntegralX2Ableitung(double t, double a, double b, const Ergebnistext& text = {},
                                 double sekunden = kWaitSeconds);

// Integrieren for the callers that read the shared flags: sets
// IntegrandUndefiniert and IntegralAbgebrochen (a value that did not settle
// within a second) and returns the value. The pair count is that of the
// dialogs' fields and bounds nothing: a result is refined until it settles
// or the work budget ends.
double IntegralSimpson(int maxPairs, int mode, double t, double a, double b);

// The extreme of f (the term in the main tree, summed over n at t) next to a
// sample, and whether f grows without bound there.
struct Extremstelle {
    double x = 0, y = 0;  // y is +-infinity when f grows without bound
    bool unbeschraenkt = false;
    bool luecke = false;  // the search met a place where f is undefined
    double lueckeX = NAN;  // the last such place
};

// The largest (richtung > 0) or smallest (richtung < 0) value of f on
// [lo, hi], searched from the sample x0 with the value y0: eight steps to
// either side of the best value so far, the steps a quarter as wide each
// round, until the value stays put to the last digits. f grows without
// bound when its values kept growing steadily as the steps shrank and the
// search ended at the resolution of x or an undefined place rather than
// settling, or when they more than doubled `skala`, the size of f around
// there, on the way to an undefined place (a pole's values leave the
// evaluator's range next to it). A steep but finite f settles. The search
// stops after about `grenze` evaluations of the term, which it adds to
// `auswertungen`.
Extremstelle ExtremSuchen(double t, const NRange& n, double lo, double hi, double x0, double y0, int richtung,
                          double skala, long long grenze, long long& auswertungen);

// A sample of f next to another one on a walk along x.
struct Nachbarwert {
    double x = 0, y = 0;
    bool da = false;         // false: the walk ends at the sample itself
    bool definiert = false;  // f is defined there
};

// What the search around a sample that stands above or below its neighbours
// finds between them: a pole, a place where f is undefined, and where.
struct Polbefund {
    bool pol = false, luecke = false;
    double x = 0;
    double lueckeX = NAN;  // a place where f is undefined, where the search met one
};
Polbefund PolNeben(double t, const NRange& n, double xm, double ym, const Nachbarwert& a, const Nachbarwert& b,
                   long long grenze, long long& auswertungen);

// The evaluations of the term behind one value of f: the terms of its sum over n.
long long SummandenJeWert(const NRange& n);

}  // namespace kalvo
