#pragma once
// What the solids-of-revolution window computes without its controls: the
// mesh of the solid that the graph of f (the term in the main tree) sweeps
// over [a, b] when it turns about the x or the y axis, its world box, and
// the two volumes.

#include <memory>
#include <string>

#include "flaeche.h"

namespace kalvo {

class Grafik3DEngine;

// Iterations: at most 500 interval pairs, 200 where the field holds no number.
inline constexpr int kMaxKoerperIterationen = 500;
inline constexpr int kStandardKoerperIterationen = 200;

struct Koerperdaten {
    double a = 0, b = 1, t = 0;
    int n = 30;
    // Turn range as fractions of a full turn.
    double u1 = 0, u2 = 1;
    bool umYAchse = false;
    // Discs close the ends (x axis) or the top and bottom (y axis).
    bool geschlossen = false;
};

// a > b exchanged; an interval narrower than 1e-5 becomes 0..1.
void KoerperGrenzenPruefen(double& a, double& b);

// "Maximale Zahl der Iterationen": |the integer in the field|, 200 when it
// is none, at most 500.
int KoerperIterationenAusText(const std::string& text);

// The mesh: n x n cells, or n + 2 x n for a closed solid whose first and
// last rows lie on the axis. The radius is f at t summed over the family's
// n range; an undefined value counts as 0.
std::unique_ptr<TFlaeche> BuildKoerper(const Koerperdaten& k);

// The box of the mesh; equal z extremes are moved apart by 1 each way.
void KoerperWeltkoordinaten(Grafik3DEngine& g, const TFlaeche& netz);

struct Rauminhalte {
    // pi times these: V1 about the x axis (the integral of f^2), V2 about the
    // y axis (the integral of x^2 f').
    double v1 = 0, v2 = 0;
    // No finite volume: f is undefined on a stretch of [a, b], or f^2 is not
    // integrable up to a pole or another point where f is undefined.
    bool v1Undefiniert = false;
    // No finite volume: x^2 f grows without bound towards a pole (one that
    // is not at x = 0), or x f is not integrable up to it. Where f is
    // undefined on a stretch, V2 is that of the defined part.
    bool v2Undefiniert = false;
    // The work budget ran out before that volume settled: it is not known.
    bool v1Abgebrochen = false, v2Abgebrochen = false;
    bool abgebrochen = false;  // either of them
};

// Both volumes over [a, b] at t, within one work budget of kWaitSeconds
// (half of it for V1), each refined until it settles to the digits the
// result labels show with `nachkommastellen` decimals. The iteration count
// of the window's field bounds nothing: a volume settles or says so.
Rauminhalte KoerperVolumen(int maxPaare, double t, double a, double b, int nachkommastellen = 2);

// The volume as the result labels show it: the number with the decimal
// places, "•pi [VE]" after it.
std::string VolumenText(double v, int nachkommastellen);

// The phi field of the solids window counts from the view along the y axis:
// it shows (360 - round(Zrot + 90) mod 360) mod 360 and sets Zrot := 270 - |phi|.
int KoerperPhiAnzeige(double zrot);
double KoerperZrotAusPhi(double phi);

}  // namespace kalvo
