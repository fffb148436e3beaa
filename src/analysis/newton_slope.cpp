#include "newton_slope.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace kalvo {

namespace {

constexpr double kRoundoff = std::numeric_limits<double>::epsilon();
constexpr double kInf = std::numeric_limits<double>::infinity();
// Halvings of the step at most: from 1/8 down to about 1e-20, far enough
// for a zero of order four at 1e-10.
constexpr int kStufen = 64;
// A slope settled to this share of its size is taken at once.
constexpr double kGenau = 1e-14;
// One the step can still use: it then converges a little slower, and its
// convergence is judged from the steps themselves.
constexpr double kBrauchbar = 1e-4;
// The one-sided quotients show that the slope exists when they agree with
// the central one to this share of their size (looser where only a few
// digits settle): at a corner they keep apart, at a cusp they grow.
constexpr double kSeitenGenau = 1e-6;
constexpr double kSeitenBrauchbar = 1e-3;

// Richardson extrapolation of a quotient over halving steps, whose error
// runs in powers of h (factor 2) or of h^2 (factor 4).
template <int kSpalten>
class Extrapolation {
public:
    explicit Extrapolation(double faktor) : faktor_(faktor) {}
    void Abbrechen() { kette_ = 0; }
    // The next quotient, at half the step of the last one.
    void Neu(double quotient) {
        zeile_[0] = quotient;
        breite_ = std::min(kette_ + 1, kSpalten);
        double f = 1;
        for (size_t j = 1; j < static_cast<size_t>(breite_); ++j) {
            f *= faktor_;
            zeile_[j] = zeile_[j - 1] + (zeile_[j - 1] - vorige_[j - 1]) / (f - 1);
        }
        // The column whose neighbours agree best: the higher ones remove
        // more of the error in h, the lower ones magnify rounding less.
        fehler_ = kInf;
        wert_ = zeile_[0];
        for (size_t j = 1; j < static_cast<size_t>(breite_); ++j) {
            const double e = std::max(std::fabs(zeile_[j] - zeile_[j - 1]), std::fabs(zeile_[j] - vorige_[j - 1]));
            if (e < fehler_) {
                fehler_ = e;
                wert_ = zeile_[j];
            }
        }
        vorige_ = zeile_;
        ++kette_;
    }
    bool Bereit() const { return breite_ >= 2; }
    double Wert() const { return wert_; }
    double Fehler() const { return fehler_; }

private:
    double faktor_;
    std::array<double, kSpalten> zeile_{}, vorige_{};
    int kette_ = 0, breite_ = 0;
    double wert_ = 0, fehler_ = kInf;
};

}  // namespace

NewtonSteigung SteigungFuerSchritt(const FunctionSample& f, double x, double y) {
    NewtonSteigung out;
    if (!std::isfinite(x) || !std::isfinite(y)) return out;
    const double ax = std::fabs(x);
    const double ulp = std::nextafter(ax, kInf) - ax;
    // The coarsest step grows with |x| beyond 1, where x + h must still
    // differ from x in more than its last bits; below that, x + h rounds.
    double h = 0.125 * std::exp2(std::floor(std::log2(std::max(ax, 1.0))));
    const double hMin = 64 * ulp;
    // A slope below 1e-12, and so small against f that the step would leave
    // for a million times f away, counts as 0: it must be told apart from 0
    // to a tenth of that.
    const double null = 0.1 * std::min(1e-12, 1e-6 * std::fabs(y));

    // Where the rounding of f itself is large against its change over that
    // step (f is large and its slope gentle: x^2 - 1e14 at 1), the steps
    // start longer: at the first one, up to a hundredth of the way Newton's
    // step goes, over which the slope shows above the rounding.
    {
        double besterAnteil = kInf, bestesH = h;
        for (double probe = h, i = 0; i < 48; ++i, probe *= 2) {
            double yp = 0, ym = 0;
            if (!f(x + probe, yp) || !f(x - probe, ym) || !std::isfinite(yp) || !std::isfinite(ym)) break;
            const double steigung = std::fabs(yp - ym) / (2 * probe);
            const double anteil = 4 * kRoundoff * (std::fabs(yp) + std::fabs(ym)) / (2 * probe) / steigung;
            // Rounding grows again once f grows faster than the step.
            if (!(anteil < besterAnteil)) break;
            besterAnteil = anteil;
            bestesH = probe;
            if (anteil <= 1e-9 || !(2 * probe * steigung <= 0.01 * std::fabs(y))) break;
        }
        h = bestesH;
    }

    Extrapolation<5> mitte(4);
    Extrapolation<4> vor(2), zurueck(2);
    double bester = 0, besterAnteil = kInf, besteUnsicherheit = kInf;
    bool seitenEinig = false;
    // Samples equal on both sides at every step so far: f is even about x
    // (f' = 0) or flat. Equal only at the finer steps, they no longer
    // resolve f: its rounding has taken over.
    bool immerGleich = true, immerFlach = true;
    for (int k = 0; k < kStufen && h >= hMin; ++k, h *= 0.5) {
        double yp = 0, ym = 0;
        const bool okp = f(x + h, yp) && std::isfinite(yp);
        const bool okm = f(x - h, ym) && std::isfinite(ym);
        const double fw = (yp - y) / h, bw = (y - ym) / h;
        if (okp) vor.Neu(fw); else vor.Abbrechen();
        if (okm) zurueck.Neu(bw); else zurueck.Abbrechen();
        if (!okp || !okm) {
            mitte.Abbrechen();
            continue;
        }
        immerGleich = immerGleich && yp == ym;
        immerFlach = immerFlach && yp == y && ym == y;
        if (yp == ym && !immerGleich) break;
        mitte.Neu((yp - ym) / (2 * h));
        if (!mitte.Bereit()) continue;
        const double wert = mitte.Wert();
        if (!std::isfinite(wert)) continue;

        // What rounding the samples leaves in the quotients.
        const double rauschen = 4 * kRoundoff * (std::fabs(yp) + std::fabs(ym)) / (2 * h);
        const double seitenRauschen = 32 * kRoundoff * (std::fabs(yp) + std::fabs(ym) + 2 * std::fabs(y)) / h;
        const double unsicher = std::max(mitte.Fehler(), rauschen);
        const double massstab = std::max(std::fabs(wert), null / kGenau);
        const double anteil = massstab > 0 ? unsicher / massstab : (unsicher == 0 ? 0.0 : kInf);
        if (anteil < besterAnteil) {
            besterAnteil = anteil;
            besteUnsicherheit = unsicher;
            bester = wert;
        }
        // The best estimate so far, judged relative to its size, and down to
        // `null` where it is 0.
        auto genau = [&](double share) { return besteUnsicherheit <= std::max(share * std::fabs(bester), null); };
        // The sides are judged against the size of the quotients at this
        // step, and only where rounding leaves them something to tell.
        const double seitenMass = std::max({std::fabs(bester), std::fabs(fw), std::fabs(bw)});
        auto einig = [&](double share) {
            if (!vor.Bereit() || !zurueck.Bereit()) return false;
            // Samples that do not change at all: f is flat here.
            if (immerFlach) return true;
            // Down to `null`, below which a slope counts as 0 whatever its sides.
            const double a = std::fabs(vor.Wert() - bester), b = std::fabs(zurueck.Wert() - bester);
            const double toleranz = std::max(share * seitenMass, null);
            return seitenRauschen <= std::max(kSeitenBrauchbar * seitenMass, null) && a <= toleranz && b <= toleranz;
        };
        if (genau(kGenau) && einig(kSeitenGenau)) {
            out.existiert = true;
            out.wert = bester;
            return out;
        }
        seitenEinig = seitenEinig || einig(kSeitenBrauchbar);
        // Past the best estimate finer steps only add rounding noise, and
        // the estimates scatter far beyond what they agreed to.
        if (seitenEinig && (rauschen > 1e4 * besteUnsicherheit || mitte.Fehler() > 1e3 * besteUnsicherheit)) break;
    }
    const bool brauchbar = besteUnsicherheit <= std::max(kBrauchbar * std::fabs(bester), null);
    out.existiert = seitenEinig && brauchbar;
    out.unscharf = seitenEinig && !brauchbar;
    if (out.existiert || out.unscharf) out.wert = bester;
    if (out.unscharf) out.unsicher = besteUnsicherheit;
    return out;
}

}  // namespace kalvo
