#include "shown_derivative.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kalvo {

namespace {

constexpr double kRoundoff = std::numeric_limits<double>::epsilon();
// Steps h, h/2, ... tried at most; each costs four samples.
constexpr int kRefineRows = 48;
// Orders of extrapolation kept; beyond them rounding eats what they gain.
constexpr int kTableauWidth = 8;
// An estimate is trusted only with this many step sizes behind it, so that
// two quotients agreeing by chance at coarse steps settle nothing.
constexpr int kTrustedRows = 4;
// The coarsest step: small against the features of the functions plotted,
// large against the spacing of doubles.
constexpr double kCoarsestStep = 0.125;

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

// Richardson extrapolation of one quotient over halving steps. It keeps the
// estimate whose neighbours in the tableau agree best relative to its size,
// and stops once the rounding noise of a new step is larger than the error
// it could still remove.
class Extrapolation {
public:
    // Estimates are compared by their uncertainty relative to their size,
    // and to no less than `floor`, the size below which a value shows as 0.
    explicit Extrapolation(bool evenPowers = true, double floor = 0) : even_(evenPowers), floor_(floor) {}

    // A step whose samples were not all defined breaks the chain.
    void Break() { width_ = 0; }

    void Add(double quotient, double noise) {
        if (done_) return;
        if (!std::isfinite(quotient)) {
            Break();
            return;
        }
        std::array<double, kTableauWidth> row{};
        row[0] = quotient;
        const int width = std::min(width_ + 1, kTableauWidth);
        double factor = 1;
        for (int j = 1; j < width; ++j) {
            factor *= even_ ? 4.0 : 2.0;
            row[j] = (factor * row[j - 1] - previous_[j - 1]) / (factor - 1);
            const double error = std::max(std::fabs(row[j] - row[j - 1]), std::fabs(row[j] - previous_[j - 1]));
            // Rounding noise counted in: an estimate below the noise of its
            // step is not settled, however well the tableau agrees.
            const double unsicher = std::max(error, noise);
            const double groesse = std::max(std::fabs(row[j]), floor_);
            const double relative = groesse > 0 ? unsicher / groesse
                                                : (unsicher == 0 ? 0.0 : std::numeric_limits<double>::infinity());
            if (std::isfinite(row[j]) && relative <= relative_) {
                relative_ = relative;
                error_ = error;
                best_ = row[j];
                noise_ = noise;
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

enum Seite { kMitte, kRechts, kLinks };

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
    double h = kCoarsestStep;
    if (h < ulp * 0x1p20) h = std::exp2(std::ceil(std::log2(ulp * 0x1p20)));
    if (!std::isfinite(h)) return result;

    const double nullEinheit = unit(0);
    std::array<std::array<Extrapolation, 3>, kMaxShownDerivativeOrder> tab;
    for (auto& order : tab)
        order = {Extrapolation(true, nullEinheit), Extrapolation(false, nullEinheit), Extrapolation(false, nullEinheit)};

    std::array<double, 7> y{};
    std::array<bool, 7> ok{};
    auto sample = [&](int j) {
        double v = 0;
        ok[static_cast<size_t>(j + 3)] = f(x + j * h, v) && std::isfinite(v);
        y[static_cast<size_t>(j + 3)] = ok[static_cast<size_t>(j + 3)] ? v : 0.0;
    };

    for (int row = 0; row < kRefineRows && h >= 4 * ulp; ++row) {
        if (row == 0) {
            for (int j = -3; j <= 3; ++j) sample(j);
        } else {
            // Halved: the old +-h are the new +-2h, x stays.
            y[1] = y[2], ok[1] = ok[2];
            y[5] = y[4], ok[5] = ok[4];
            for (int j : {-3, -1, 1, 3}) sample(j);
        }
        for (int k = 1; k <= maxOrder; ++k) {
            const double hk = std::pow(h, k);
            const std::array<const Weights*, 3> weights = {&kCentral[k - 1], &kForward[k - 1], &kBackward[k - 1]};
            for (int s = kMitte; s <= kLinks; ++s) {
                Extrapolation& e = tab[static_cast<size_t>(k - 1)][static_cast<size_t>(s)];
                double sum = 0, size = 0;
                bool defined = true;
                for (size_t i = 0; i < 7; ++i) {
                    const double w = (*weights[static_cast<size_t>(s)])[i];
                    if (w == 0) continue;
                    defined = defined && ok[i];
                    sum += w * y[i];
                    size += std::fabs(w * y[i]);
                }
                if (defined)
                    e.Add(sum / hk, 4 * kRoundoff * size / hk);
                else
                    e.Break();
            }
        }
        // Done when every quotient has settled to what will be shown; the
        // one-sided ones only have to confirm the central one.
        bool fertig = true;
        for (int k = 1; k <= maxOrder && fertig; ++k) {
            for (int s = kMitte; s <= kLinks; ++s) {
                const Extrapolation& e = tab[static_cast<size_t>(k - 1)][static_cast<size_t>(s)];
                if (e.Done()) continue;
                if (!e.Found() || e.Rows() < kTrustedRows) {
                    fertig = false;
                    break;
                }
                const double genug = 0.25 * unit(e.Best());
                if (e.Error() > (s == kMitte ? genug : std::min(genug, 1e-8 * std::fabs(e.Best())))) {
                    fertig = false;
                    break;
                }
            }
        }
        if (fertig) break;
        h /= 2;
    }

    for (int k = 1; k <= maxOrder; ++k) {
        const Extrapolation& c = tab[static_cast<size_t>(k - 1)][kMitte];
        const Extrapolation& r = tab[static_cast<size_t>(k - 1)][kRechts];
        const Extrapolation& l = tab[static_cast<size_t>(k - 1)][kLinks];
        // Undefined on a side at every step: a border of the domain.
        if (!c.Found() || !r.Found() || !l.Found()) break;
        double v = c.Best();
        if (std::fabs(v) <= 4 * std::max(c.Error(), c.Noise())) v = 0;
        const double u = unit(v);
        if (!(c.Error() <= 0.25 * u)) {
            // Short of the digits shown but settled to a few: the higher
            // orders may still be shown. Growing without bound: none exists.
            if (!(c.Error() <= 1e-3 * std::fabs(c.Best()))) break;
            continue;
        }
        // A one-sided quotient that grows without bound: a cusp.
        if (!(r.Error() <= std::max(2 * u, 1e-3 * std::fabs(r.Best())))) break;
        if (!(l.Error() <= std::max(2 * u, 1e-3 * std::fabs(l.Best())))) break;
        // Two sides with two slopes: a corner (or a jump of f'' for k = 2).
        const double spread = std::fabs(r.Best() - l.Best());

        if (spread > std::max(8 * (r.Error() + l.Error() + 2 * c.Error()), 1e-6 * (std::fabs(r.Best()) + std::fabs(l.Best()))))
            break;
        result[static_cast<size_t>(k - 1)] = ShownDerivative{true, v};
    }
    return result;
}

}  // namespace kalvo
