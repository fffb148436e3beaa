#include "shown_derivative.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace kalvo {

namespace {

constexpr double kRoundoff = std::numeric_limits<double>::epsilon();
// Steps h, h/2, ... tried at most; each costs four samples. The steps end
// sooner where x + 3h is no longer exact.
constexpr int kRefineRows = 64;
// Orders of extrapolation kept; beyond them rounding eats what they gain.
constexpr int kTableauWidth = 8;
// An estimate is trusted only with this many step sizes behind it, so that
// two quotients agreeing by chance at coarse steps settle nothing.
constexpr int kTrustedRows = 4;
// The coarsest step is this share of |x| (of 1 where |x| is smaller),
// rounded up to a power of two, so that x = 1000 is refined as x = 1 is and
// the stencil stays inside the domain of ln(x) or sqrt(x) however large x is.
constexpr double kCoarsestShare = 0.125;
// A difference of samples is rounding noise up to this many units of the
// last place of the samples it is taken from.
constexpr double kNoiseUlps = 32;
// An estimate within this many times its uncertainty of a border of the
// rounding stands for the border value itself where its estimates agree to
// about their rounding noise (their spread at most this many times it) and
// the uncertainty is below this share of the last digit: values that are
// exactly on a border (x^2 has f' = 2^-11 at 2^-12, -(1 + 2 + ... + 999) is
// -499500) come about far more often than chance puts one that close.
constexpr double kGrenzFenster = 3;
constexpr double kGrenzStreuung = 16;
constexpr double kGrenzGenau = 1e-5;
// Past the noise, probes count as noise up to this many times it.
constexpr double kNachDemBoden = 64;
// Measured noise counts with this margin: the largest of four draws.
constexpr double kMeasuredNoiseMargin = 6;
// Unevenly spaced offsets, in steps, for a check that no frequency escapes;
// the steps of the check, in the last step of the chain, none a power of two
// or a simple fraction of it; and how many such checks a result may take.
constexpr std::array<double, 7> kUngleich = {-2.93, -2.17, -1.31, 0, 0.73, 1.89, 2.71};
constexpr std::array<double, 2> kGegenprobenSchritte = {0.618, 0.382};
constexpr int kGegenproben = 3;
// A raw quotient that has grown by this factor at each of this many halvings
// grows without bound: a cusp, a vertical tangent.
constexpr double kGrowth = 1.2;
constexpr int kGrowthRows = 4;

// Weights of the quotients on the samples x + j h, j = -3..3 (index j + 3),
// for the orders 1 to 3. The central ones have errors in even powers of h,
// the one-sided ones in every power.
using Weights = std::array<double, 7>;
constexpr std::array<Weights, 3> kCentral = {{
    {0, 0, -0.5, 0, 0.5, 0, 0},
    {0, 0, 1, -2, 1, 0, 0},
    {0, -0.5, 1, 0, -1, 0.5, 0},
}};
constexpr std::array<Weights, 3> kForward = {{
    {0, 0, 0, -1, 1, 0, 0},
    {0, 0, 0, 1, -2, 1, 0},
    {0, 0, 0, -1, 3, -3, 1},
}};
constexpr std::array<Weights, 3> kBackward = {{
    {0, 0, -1, 1, 0, 0, 0},
    {0, 1, -2, 1, 0, 0, 0},
    {-1, 3, -3, 1, 0, 0, 0},
}};

// Whether the samples resolve the term at a step is read from differences
// of higher order than the quotients: the sixth central difference for the
// even part of f about x, and a fifth one of its odd part (each blind to the
// other part, so that a term odd or even about x is still seen). Where the
// term is resolved they shrink like a power of h as h halves, down to the
// rounding noise. Where the term varies faster than the step resolves (a sum
// of many frequencies seen at a step longer than its shortest period) they
// stay about as large, and quotients at that step can agree on a value that
// is no derivative of the term at all: the smooth curve the coarse samples
// happen to lie on.
constexpr std::array<Weights, 2> kProbe = {{
    {1, -6, 15, -20, 15, -6, 1},
    {-1, 4, -5, 0, 5, -4, 1},
}};
// The root of the sum of their squared weights: how much noise of a given
// spread in the samples spreads each of them.
constexpr std::array<double, 2> kProbeNorm = {30.397368307141328, 9.1651513899116797};
// The sums of their weights' sizes.
constexpr std::array<double, 2> kProbeSum = {64, 20};
// How much the probes must shrink per halving for the quotients of order k
// to be resolved: by clearly more than 2^k, as where the derivative of order
// k exists (|x|^2.5 has f'' but no f''': the probes shrink like h^2.5).
constexpr std::array<double, 3> kShrink = {2.4, 4.8, 9.6};
// Probes that do not even shrink by this much are not resolved at all: the
// one-sided quotients start afresh too. A corner or a cusp at x still
// shrinks them steadily (like h or the root of h), and there the one-sided
// quotients tell that no derivative exists.
constexpr double kAnyShrink = 1.5;

enum Seite { kMitte, kRechts, kLinks };

// Richardson extrapolation of one quotient over halving steps. It keeps the
// estimate whose neighbours in the tableau agree best relative to its size,
// and stops once the rounding noise of a new step is larger than the error
// it could still remove.
class Extrapolation {
public:
    // Estimates are compared by their uncertainty relative to their size,
    // and to no less than `floor`, the size below which a value shows as 0;
    // with `floor` infinite, by their uncertainty alone.
    explicit Extrapolation(bool evenPowers = true, double floor = 0) : even_(evenPowers), floor_(floor) {}

    // A step whose samples were not all defined breaks the chain.
    void Break() { width_ = 0; }
    // Starts afresh: what came before does not count.
    void Reset() { *this = Extrapolation(even_, floor_); }

    void Add(double quotient, double noise) {
        if (done_) return;
        if (!std::isfinite(quotient)) {
            Break();
            return;
        }
        std::array<double, kTableauWidth> row{};
        row[0] = quotient;
        const int width = std::min(width_ + 1, kTableauWidth);
        double factor = 1, verstaerkt = noise;
        for (int j = 1; j < width; ++j) {
            factor *= even_ ? 4.0 : 2.0;
            row[j] = (factor * row[j - 1] - previous_[j - 1]) / (factor - 1);
            // Each extrapolation spreads the noise of the two it combines.
            verstaerkt *= std::sqrt(factor * factor + 1) / (factor - 1);
            const double error = std::max(std::fabs(row[j] - row[j - 1]), std::fabs(row[j] - previous_[j - 1]));
            // Rounding noise counted in: an estimate below the noise of its
            // step is not settled, however well the tableau agrees.
            const double unsicher = std::max(error, verstaerkt);
            const double groesse = std::isinf(floor_) ? 1.0 : std::max(std::fabs(row[j]), floor_);
            const double relative = groesse > 0 ? unsicher / groesse
                                                : (unsicher == 0 ? 0.0 : std::numeric_limits<double>::infinity());
            if (std::isfinite(row[j]) && relative <= relative_) {
                relative_ = relative;
                error_ = error;
                best_ = row[j];
                noise_ = verstaerkt;
                found_ = true;
            }
        }
        ++rows_;
        // Noise grows as the step shrinks (unless f itself vanishes there):
        // past the best estimate, finer steps only add noise.
        if (rows_ >= 3 && noise > 4 * error_ && noise > previousNoise_) done_ = true;
        previousNoise_ = noise;
        previous_ = row;
        width_ = width;
    }

    bool Found() const { return found_; }
    bool Done() const { return done_; }
    int Rows() const { return rows_; }
    double Best() const { return best_; }
    double Error() const { return error_; }
    double Noise() const { return noise_; }

private:
    bool even_;
    double floor_;
    std::array<double, kTableauWidth> previous_{};
    int width_ = 0;
    int rows_ = 0;
    bool done_ = false, found_ = false;
    double best_ = 0, error_ = std::numeric_limits<double>::infinity(), noise_ = 0;
    double relative_ = std::numeric_limits<double>::infinity();
    double previousNoise_ = 0;
};

// One probe difference at one step.
struct Probe {
    bool defined = false;
    double value = 0;  // its size
    double scale = 0;  // the sum of its terms' sizes, for the rounding noise
};

Probe ProbeOf(const Weights& w, const std::array<double, 7>& y, const std::array<bool, 7>& ok) {
    Probe p;
    p.defined = true;
    double sum = 0;
    for (size_t i = 0; i < 7; ++i) {
        if (w[i] == 0) continue;
        p.defined = p.defined && ok[i];
        sum += w[i] * y[i];
        p.scale += std::fabs(w[i] * y[i]);
    }
    p.value = std::fabs(sum);
    return p;
}

// What the probes say of one step.
struct Aufloesung {
    bool defined = false;
    std::array<Probe, 2> probe{};
};

// One quotient of one order on one side, refined by Richardson over the
// steps. The central one only over steps that resolve the term: a step at
// which the probes do not shrink starts it afresh, since what it settled on
// before was what coarser steps saw of the term.
struct Kette {
    Extrapolation e;
    size_t order = 0;  // 0 to 2 for f' to f'''
    bool everDefined = false;
    // The rounding noise of the probes is judged against the largest samples
    // of the chain, so that a term that vanishes at x (x^6 at 0) reaches it.
    std::array<double, 2> anchor{};
    // The probes fell to their noise within this chain: nothing above the
    // noise varies faster than its steps resolve.
    bool floorSeen = false;
    // The raw quotient grew at each of the last steps.
    int growing = 0;
    double lastQuotient = std::numeric_limits<double>::quiet_NaN();

    void Restart() {
        e.Reset();
        anchor = {};
        floorSeen = false;
    }
};

// The border of the rounding between unten and unten + 1 units of the last
// digit, as the double nearest to it: a decimal border such as 0.15 is then
// shown as the number formats show the value 0.15 itself.
double RundungsGrenze(double unten, double einheit) {
    const double stelle = std::round(std::log10(einheit));
    const double zaehler = 10 * unten + 5;
    if (einheit == std::pow(10.0, stelle) && zaehler < 0x1p53) {
        char text[64];
        char* ende = std::to_chars(text, text + 40, zaehler, std::chars_format::fixed, 0).ptr;
        *ende++ = 'e';
        ende = std::to_chars(ende, text + sizeof text, static_cast<int>(stelle) - 1).ptr;
        double grenze = 0;
        if (std::from_chars(text, ende, grenze).ec == std::errc()) return grenze;
    }
    return (unten + 0.5) * einheit;
}

}  // namespace

double ShownDigitUnit(double v, int d) {
    const double a = std::fabs(v);
    const double fixed = std::pow(10.0, -d);
    // The number formats: fixed between 0.1 and 100 (and for 0), else a
    // mantissa with d decimals.
    if ((0.1 < a && a < 100) || a < 1e-20 || !std::isfinite(a)) return fixed;
    return std::pow(10.0, std::floor(std::log10(a)) - d);
}

ShownUnit DecimalsUnit(int d, double zeroBelow) {
    return [d, zeroBelow](double v) { return std::fabs(v) < zeroBelow ? std::pow(10.0, -d) : ShownDigitUnit(v, d); };
}

std::array<ShownDerivative, kMaxShownDerivativeOrder> ShownDerivatives(const FunctionSample& f, double x,
                                                                       int maxOrder, const ShownUnit& unit) {
    std::array<ShownDerivative, kMaxShownDerivativeOrder> result{};
    maxOrder = std::clamp(maxOrder, 1, kMaxShownDerivativeOrder);
    if (!std::isfinite(x)) return result;

    // Steps are powers of two no finer than allows x + 3h to be exact.
    const double ulp = std::nextafter(std::fabs(x), std::numeric_limits<double>::infinity()) - std::fabs(x);
    double h = kCoarsestShare * std::exp2(std::ceil(std::log2(std::max(1.0, std::fabs(x)))));
    if (h < ulp * 0x1p20) h = std::exp2(std::ceil(std::log2(ulp * 0x1p20)));
    if (!std::isfinite(h)) return result;
    // The finest step: x + 3h still exact, and next to 0 no finer than terms
    // such as |x|^2.5 can be evaluated before they round to 0.
    const double hMin = std::max(4 * ulp, std::fabs(x) < 0x1p-20 ? 0x1p-40 : 0.0);

    const double nullEinheit = unit(0);
    std::array<std::array<Kette, 3>, kMaxShownDerivativeOrder> tab;
    for (size_t k = 0; k < tab.size(); ++k) {
        auto& order = tab[k];
        for (Kette& c : order) c.order = k;
        order[kMitte].e = Extrapolation(true, nullEinheit);
        // The one-sided quotients converge like h, often towards a smaller
        // value than they start from: their best estimate is the one known
        // best, not the one known best relative to its size.
        order[kRechts].e = Extrapolation(false, std::numeric_limits<double>::infinity());
        order[kLinks].e = Extrapolation(false, std::numeric_limits<double>::infinity());
    }

    std::array<double, 7> y{};
    std::array<bool, 7> ok{};
    double fx = 0;
    auto sample = [&](int j) {
        double v = 0;
        ok[static_cast<size_t>(j + 3)] = f(x + j * h, v) && std::isfinite(v);
        y[static_cast<size_t>(j + 3)] = ok[static_cast<size_t>(j + 3)] ? v : 0.0;
    };
    auto pruefen = [](const std::array<double, 7>& ys, const std::array<bool, 7>& oks) {
        Aufloesung a;
        a.defined = true;
        for (size_t p = 0; p < kProbe.size(); ++p) {
            a.probe[p] = ProbeOf(kProbe[p], ys, oks);
            a.defined = a.defined && a.probe[p].defined;
        }
        return a;
    };

    // Whether v shows as 0 (within the caller's band of values shown so).
    auto zeigtNull = [&](double v) {
        v = std::fabs(v);
        return v == 0 || (v < 0.1 && unit(v) >= nullEinheit);
    };
    // An estimate that cannot be told from 0 shows as 0 where every value
    // it may stand for does, and where it is the rounding noise of the
    // samples, far below the size of the term and of its lower derivatives
    // (1/(1+x^2) has f''' = 0 at 1); one that merely has not settled yet
    // shows nothing.
    auto gezeigt = [&](const Kette& c) {
        const Extrapolation& e = c.e;
        const double unsicher = std::max(e.Error(), e.Noise());
        if (std::fabs(e.Best()) > 4 * unsicher) return e.Best();
        double groesse = std::fabs(fx);
        for (size_t j = 0; j < c.order; ++j) groesse = std::max(groesse, std::fabs(tab[j][kMitte].e.Best()));
        const bool rauschen = e.Error() <= 4 * e.Noise() && 4 * unsicher <= 0.025 * nullEinheit &&
                              4 * unsicher <= 1e-6 * groesse;
        if (zeigtNull(std::fabs(e.Best()) + 4 * unsicher) || rauschen) return 0.0;
        // Not told from 0, yet possibly shown as a number: not settled.
        return e.Best() != 0 ? e.Best() : std::numeric_limits<double>::min();
    };
    // The value shown for an estimate, NaN while it has not settled to it:
    // every value the estimate may stand for must show the same digits. One
    // that lies on a border (of the last digit's rounding, of the fixed band)
    // is put on it where it is exact to far less than the last digit (as an
    // exact 1.5 or 100 is), or where it lies on the border within its own
    // rounding noise; one that straddles a border otherwise has not settled.
    auto wert = [&](const Kette& c) {
        constexpr double kNichts = std::numeric_limits<double>::quiet_NaN();
        const double unsicher = std::max(c.e.Error(), c.e.Noise());
        const double v = gezeigt(c);
        if (v == 0) return unsicher <= 0.25 * nullEinheit ? 0.0 : kNichts;
        const double a = std::fabs(v);
        if (a <= 2 * unsicher) return kNichts;
        const double einheit = std::min({unit(a), unit(a - 2 * unsicher), unit(a + 2 * unsicher)});
        const bool nurRauschen = c.e.Error() <= kGrenzStreuung * c.e.Noise();
        auto aufGrenze = [&](double grenze, double fenster, double genau, double stelle) {
            const double abstand = std::fabs(a - grenze);
            return (abstand <= fenster * unsicher && unsicher <= genau) ||
                   (nurRauschen && abstand <= kGrenzFenster * unsicher && unsicher <= kGrenzGenau * stelle);
        };
        for (double grenze : {0.1, 100.0}) {
            // Values close to the border on either side show the border's
            // value in one form or the other: the coarser last digit counts.
            const double stelle = std::max(unit(grenze * (1 - 1e-9)), unit(grenze * (1 + 1e-9)));
            if (aufGrenze(grenze, 2, 1e-9 * grenze, stelle))
                return unsicher <= 0.25 * unit(grenze) ? std::copysign(grenze, v) : kNichts;
            if (std::fabs(a - grenze) <= 2 * unsicher) return kNichts;
        }
        if (!(unsicher <= 0.25 * einheit)) return kNichts;
        const double unten = std::floor(a / einheit);
        if (aufGrenze((unten + 0.5) * einheit, 1, 1e-9 * einheit, einheit))
            return std::copysign(RundungsGrenze(unten, einheit), v);
        if (std::fabs(a - (unten + 0.5) * einheit) < unsicher) return kNichts;
        return v;
    };
    // Settled to the digits shown, over enough steps, and on steps fine
    // enough that nothing but noise is left unresolved.
    auto bestaetigt = [&](const Kette& c) {
        return c.e.Found() && (c.e.Rows() >= kTrustedRows || c.e.Done()) && c.floorSeen && !std::isnan(wert(c));
    };

    // The sixth divided difference on the uneven offsets at step s, scaled
    // so that a smooth term gives about f^(6) s^6, as the sixth central
    // difference does; with the sizes its noise is judged by.
    struct Ungleich {
        bool defined = true;
        double value = 0, scale = 0, norm = 0, sum = 0;
    };
    auto ungleich = [&](double s) {
        Ungleich u;
        std::array<double, 7> d{};
        // The offsets as they come out after rounding x + t s.
        for (size_t j = 0; j < 7; ++j) d[j] = j == 3 ? 0.0 : (x + kUngleich[j] * s) - x;
        double quadrate = 0;
        for (size_t j = 0; j < 7; ++j) {
            double produkt = 1;
            for (size_t i = 0; i < 7; ++i)
                if (i != j) produkt *= (d[j] - d[i]) / s;
            const double w = 720 / produkt;
            double v = 0;
            if (!std::isfinite(w) || !f(x + d[j], v) || !std::isfinite(v)) {
                u.defined = false;
                return u;
            }
            u.value += w * v;
            u.scale += std::fabs(w * v);
            u.sum += std::fabs(w);
            quadrate += w * w;
        }
        u.value = std::fabs(u.value);
        u.norm = std::sqrt(quadrate);
        return u;
    };
    // The rounding noise of one sample, measured where the samples lie so
    // close that nothing but rounding tells them apart: a term such as
    // sin(x + 1000), a sum of many terms, or tanh of a small argument rounds
    // far more coarsely than its size suggests. The steps of powers of two
    // round alike where the samples of the chain do (a sum's n x share their
    // rounding there); uneven offsets round as the check's samples do.
    double sampleRauschen = 0;
    {
        // Close enough that no curvature shows, far enough apart that the
        // intermediate values of the term round differently.
        const double u = std::exp2(std::ceil(std::log2(0x1p20 * std::max(ulp, 0x1p-62))));
        for (double t : {u, 2 * u}) {
            std::array<double, 7> ys{};
            std::array<bool, 7> oks{};
            for (int j = -3; j <= 3; ++j) {
                double v = 0;
                const auto i = static_cast<size_t>(j + 3);
                oks[i] = f(x + j * t, v) && std::isfinite(v);
                ys[i] = oks[i] ? v : 0.0;
            }
            const Aufloesung a = pruefen(ys, oks);
            for (size_t p = 0; p < kProbe.size(); ++p)
                if (a.probe[p].defined) sampleRauschen = std::max(sampleRauschen, a.probe[p].value / kProbeNorm[p]);
        }
        // Where the chain's samples round alike its own noise is less; the
        // larger of the two keeps every estimate on the safe side.
        for (double t : {u, 2 * u}) {
            const Ungleich n = ungleich(t);
            if (n.defined) sampleRauschen = std::max(sampleRauschen, n.value / n.norm);
        }
    }
    std::array<double, 2> gemessenesRauschen{};
    for (size_t p = 0; p < kProbe.size(); ++p) gemessenesRauschen[p] = sampleRauschen * kProbeNorm[p];

    // Halved steps can all miss the same thing: a sum whose highest
    // frequency n has n h a multiple of 2 pi at several steps in a row shows
    // none of it at those steps, and the quotients there settle on the
    // smooth curve the samples happen to lie on. Every stencil on a grid has
    // such blind frequencies; before a result counts, the sixth divided
    // difference on unevenly spaced samples, which has none to speak of,
    // must be down to the noise as well.
    int pruefungen = 0;
    bool gesichert = false;
    auto gegenprobe = [&](double letzterSchritt) {
        for (double schritt : kGegenprobenSchritte) {
            const Ungleich g = ungleich(schritt * letzterSchritt);
            if (!g.defined) return false;
            for (int k = 1; k <= maxOrder; ++k) {
                const Kette& c = tab[static_cast<size_t>(k - 1)][kMitte];
                if (!bestaetigt(c)) continue;
                // The chain's noise per sample, carried over to these weights.
                double anker = 0;
                for (size_t p = 0; p < kProbe.size(); ++p) anker = std::max(anker, c.anchor[p] / kProbeSum[p]);
                const double boden = std::max(kNoiseUlps * kRoundoff * std::max(g.scale, anker * g.sum),
                                              kMeasuredNoiseMargin * sampleRauschen * g.norm);
                if (g.value > boden) return false;
            }
        }
        return true;
    };

    auto etwasBestaetigt = [&] {
        for (const auto& order : tab)
            if (bestaetigt(order[kMitte])) return true;
        return false;
    };

    Aufloesung vorher;
    // The raw central quotient of each order at the last step, and its noise.
    std::array<double, kMaxShownDerivativeOrder> rohWert{}, rohRauschen{};
    for (int row = 0; row < kRefineRows && h >= hMin; ++row) {
        if (row == 0) {
            for (int j = -3; j <= 3; ++j) sample(j);
            fx = y[3];
        } else {
            // Halved: the old +-h are the new +-2h, x stays.
            y[1] = y[2], ok[1] = ok[2];
            y[5] = y[4], ok[5] = ok[4];
            for (int j : {-3, -1, 1, 3}) sample(j);
        }
        const Aufloesung jetzt = pruefen(y, ok);

        for (int k = 1; k <= maxOrder; ++k) {
            const auto ki = static_cast<size_t>(k - 1);
            const double hk = std::pow(h, k);
            const std::array<const Weights*, 3> weights = {&kCentral[ki], &kForward[ki], &kBackward[ki]};
            bool ungeloest = false;
            for (int s = kMitte; s <= kLinks; ++s) {
                Kette& c = tab[ki][static_cast<size_t>(s)];
                const Probe quotient = ProbeOf(*weights[static_cast<size_t>(s)], y, ok);
                if (!quotient.defined) {
                    if (s == kMitte)
                        c.Restart();
                    else
                        c.e.Break();
                    c.growing = 0;
                    c.lastQuotient = std::numeric_limits<double>::quiet_NaN();
                    continue;
                }
                c.everDefined = true;
                if (s != kMitte && ungeloest) c.e.Reset();
                if (s == kMitte) {
                    // Resolved: every probe at its noise or shrunk since the
                    // last step as a term resolved there does.
                    auto amBoden = [&](size_t p, double faktor) {
                        const double boden = kNoiseUlps * kRoundoff * std::max(jetzt.probe[p].scale, c.anchor[p]);
                        // Where the term has a cusp at x, what was measured is
                        // the cusp, which looks the same at every scale: the
                        // measured noise only ends a chain of resolved steps.
                        const double gemessen =
                            c.e.Rows() >= 2 ? kMeasuredNoiseMargin * gemessenesRauschen[p] : 0.0;
                        return jetzt.probe[p].value <= faktor * std::max(boden, gemessen);
                    };
                    auto glatt = [&](double shrink, bool& boden) {
                        boden = jetzt.defined;
                        bool glatt = jetzt.defined;
                        for (size_t p = 0; p < kProbe.size() && jetzt.defined; ++p) {
                            const bool b = amBoden(p, 1);
                            boden = boden && b;
                            glatt = glatt && (b || (vorher.defined &&
                                                    jetzt.probe[p].value * shrink <= vorher.probe[p].value));
                        }
                        return glatt;
                    };
                    bool boden = false;
                    bool aufgeloest = glatt(kShrink[ki], boden);
                    // Once the probes were down to their noise, what they do
                    // after is noise, unless they rise far above it.
                    if (!aufgeloest && c.floorSeen && jetzt.defined) {
                        aufgeloest = true;
                        for (size_t p = 0; p < kProbe.size(); ++p)
                            aufgeloest = aufgeloest && amBoden(p, kNachDemBoden);
                    }
                    // Not even shrinking a little: the one-sided quotients
                    // start afresh too.
                    bool egal = false;
                    ungeloest = jetzt.defined && !aufgeloest && !glatt(kAnyShrink, egal);
                    if (!aufgeloest) c.Restart();
                    if (jetzt.defined)
                        for (size_t p = 0; p < kProbe.size(); ++p)
                            c.anchor[p] = std::max(c.anchor[p], jetzt.probe[p].scale);
                    if (boden) c.floorSeen = true;
                }
                double sum = 0;
                for (size_t i = 0; i < 7; ++i) sum += (*weights[static_cast<size_t>(s)])[i] * y[i];
                const double wert = sum / hk;
                // Rounding noise: as the sizes of the samples suggest, or as
                // measured where the term rounds more coarsely than that.
                double norm = 0;
                for (double w : *weights[static_cast<size_t>(s)]) norm += w * w;
                const double rauschen =
                    std::max(4 * kRoundoff * quotient.scale, sampleRauschen * std::sqrt(norm)) / hk;
                c.e.Add(wert, rauschen);
                if (s == kMitte) {
                    rohWert[ki] = wert;
                    rohRauschen[ki] = rauschen;
                }
                const double betrag = std::fabs(wert);
                const bool waechst =
                    std::isfinite(c.lastQuotient) && betrag >= kGrowth * c.lastQuotient && betrag > 4 * rauschen;
                c.growing = waechst ? c.growing + 1 : 0;
                c.lastQuotient = betrag;
            }
        }
        vorher = jetzt;

        // Done when every order is settled to what will be shown, or can no
        // longer be; the one-sided quotients only have to confirm the
        // central one.
        bool fertig = true;
        for (int k = 1; k <= maxOrder && fertig; ++k) {
            const auto ki = static_cast<size_t>(k - 1);
            const auto& t = tab[ki];
            const Kette& c = t[kMitte];
            if (bestaetigt(c)) continue;
            // Settled as far as rounding lets it, on steps that resolve the
            // term, yet short of the digits shown.
            if (c.e.Done() && c.floorSeen) continue;
            // The rounding noise of one quotient is far beyond what may be
            // shown: finer steps only make it worse.
            const double ziel = 0.25 * unit(std::fabs(rohWert[ki]) <= 4 * rohRauschen[ki] ? 0.0 : rohWert[ki]);
            if (c.everDefined && rohRauschen[ki] > 16 * ziel) continue;
            fertig = false;
        }
        if (fertig) {
            if (!etwasBestaetigt() || pruefungen == kGegenproben) break;
            ++pruefungen;
            gesichert = gegenprobe(h);
            if (gesichert) break;
            // Something above the noise that the halved steps did not see:
            // every chain starts afresh with the next step.
            for (auto& order : tab) {
                order[kMitte].Restart();
                order[kRechts].e.Reset();
                order[kLinks].e.Reset();
            }
        }
        h /= 2;
    }
    // The steps ran out with some order settled and others not.
    if (!gesichert && pruefungen < kGegenproben && etwasBestaetigt()) gesichert = gegenprobe(2 * h);

    for (int k = 1; k <= maxOrder; ++k) {
        const auto& t = tab[static_cast<size_t>(k - 1)];
        const Kette& c = t[kMitte];
        const Kette& r = t[kRechts];
        const Kette& l = t[kLinks];
        // Undefined on a side at every step: a border of the domain.
        if (!c.everDefined || !r.everDefined || !l.everDefined) break;
        const double v = wert(c);
        // Settled on steps that resolve the term: no corner either, since a
        // jump of the derivative of order k keeps the probes from shrinking
        // faster than h^k.
        if (bestaetigt(c) && gesichert) {
            result[static_cast<size_t>(k - 1)] = ShownDerivative{true, v};
            continue;
        }
        // Two sides with two slopes: a corner (or a jump of f'' for k = 2).
        // The one-sided quotients converge more slowly than the central one;
        // settled to a few digits they tell the two slopes apart.
        auto gefunden = [](const Extrapolation& e) {
            return e.Found() && e.Error() <= 0.05 * std::fabs(e.Best());
        };
        auto unsicher = [](const Extrapolation& e) { return std::max(e.Error(), e.Noise()); };
        const double spread = std::fabs(r.e.Best() - l.e.Best());
        if (gefunden(r.e) && gefunden(l.e) && spread > 8 * (unsicher(r.e) + unsicher(l.e))) break;
        // A quotient that grows without bound: a cusp or a vertical tangent.
        // (Where the central one is settled on resolved steps a one-sided
        // one may grow for a while on its way to the same value.)
        if (c.growing >= kGrowthRows || r.growing >= kGrowthRows || l.growing >= kGrowthRows) break;
        // It may well exist, but the steps could not show it to the digits
        // shown; the higher orders may still be shown.
        result[static_cast<size_t>(k - 1)].unconfirmed = true;
    }
    return result;
}

}  // namespace kalvo
