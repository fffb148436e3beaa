#pragma once
// Riemann sums over strips, the area between f and g, and Simpson
// integration of the family term in the main tree, summed over the n range.
// The sums and the integral serve the redraw and the area, sums and solids
// windows alike.

#include <string>

namespace kalvo {

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
    double Obersumme = 0, Untersumme = 0, Zwischenwertsumme = 0;
};

// Upper, lower and midpoint sums of the term in the main tree at parameter t
// over [a, b] (either order) with n strips: per strip the smallest and
// largest value sampled once per screen pixel, and the value at its middle.
RiemannSummen RiemannSums(int n, double a, double b, double t);

// Draws the strips of the mode and writes the sums to the status line
// (GraphHost::SummenText); the term in the main tree, t as the family starts.
RiemannSummen DrawOberUntersumme(int n, int mode, double a, double b);

// "n = 4  O = 0,6250" and so on, as the status line shows the sums.
std::string SummenText(int mode, const RiemannSummen& s);

// Fills the region between f and g over [a, b] at parameter t with the
// area's pattern and colour.
void DrawFlaeche(double a, double b, double t);

// What IntegralSimpson integrates, from the term in the main tree.
enum IntegrandModus : int {
    kIntegrandF = 0,          // f
    kIntegrandBetrag = 1,     // |f|
    kIntegrandQuadrat = 2,    // f^2, at most 1e10
    kIntegrandX2Ableitung = 3,  // x^2 * f'
};

// The integrand at x; an undefined f gives 0 and sets IntegrandUndefiniert
// (not for x^2 * f').
double Integrand(int mode, double x, double t);

// Simpson's rule with 2 * pairs intervals on [a, b].
double SimpsonStep(long long pairs, int mode, double t, double a, double b);

// Simpson's rule with 2, 8, 16, 32, ... interval pairs (at most maxPairs,
// and never more than kMaxSimpsonPairs, 8 always) until two results differ
// by less than a millionth relative, or the integrand is undefined
// somewhere (IntegrandUndefiniert, which this clears first).
double IntegralSimpson(int maxPairs, int mode, double t, double a, double b);

inline constexpr long long kMaxSimpsonPairs = 1 << 20;

}  // namespace kalvo
