#include <array>
#include <chrono>
#include <cmath>

#include "program_state.h"
#include "term.h"
#include "term_ops.h"

namespace kalvo {

namespace termops {

bool PowerRaw(double x, double y, double& out) {
    if (std::fabs(y) > 1e20) return false;
    const bool wholeY = IsInteger(y);
    if (wholeY && std::fabs(y) < 7 && SmallIntPowerApplies(x)) {
        out = SmallIntPower(x, static_cast<int>(y));
        return true;
    }
    if (x < 0) {
        if (!wholeY) return false;
        double p = 0;
        if (!PowerRaw(-x, y, p)) return false;
        // Every double of magnitude 2^53 or more is even; fmod is exact.
        out = std::fmod(y, 2.0) != 0 ? -p : p;
        return true;
    }
    if (x > 0) {
        const double p = std::log(x) * y;
        if (std::fabs(p) < 90)
            out = std::exp(p);
        else
            out = p < 0 ? 0 : kValueLimit;
        return true;
    }
    if (y > 0) {
        out = 0;
    } else if (y == 0) {
        out = 1;
    } else {
        return false;
    }
    return true;
}

double Phi(double a) {
    const double x = std::fabs(a);
    double p = 1;
    if (x < 10) {
        constexpr double d1 = 0.049867347, d2 = 0.0211410061, d3 = 0.0032776263, d4 = 3.80036e-05,
                         d5 = 4.88906e-05, d6 = 5.383e-06;
        p = ((((((d6 * x + d5) * x + d4) * x + d3) * x + d2) * x + d1) * x) + 1;
        p *= p;
        p *= p;
        p *= p;
        p *= p;
        p = 1 - 0.5 / p;
    }
    return a > 0 ? p : 1 - p;
}

namespace {

// 2^k as the language's power computes it (exp(k ln 2) from k = 7 on).
const std::array<double, 50>& BlancDivisors() {
    static const std::array<double, 50> divisors = [] {
        std::array<double, 50> d{};
        for (int k = 0; k < 50; ++k) PowerRaw(2, k, d[static_cast<size_t>(k)]);
        return d;
    }();
    return divisors;
}

uint64_t& RandomState() {
    static uint64_t state = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                            static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
    return state;
}

// splitmix64: small, fast, no allocation, good enough for a classroom random().
uint64_t NextRandom() {
    uint64_t z = (RandomState() += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

}  // namespace

double Blanc(double a) {
    const auto& divisors = BlancDivisors();
    long double s = 0;
    double v = a;
    for (size_t k = 0; k < 50; ++k) {
        v = v >= 0 ? v - std::trunc(v) : v - std::trunc(v - 1);
        const double dist = v < 0.5 ? v : 1 - v;
        s += static_cast<long double>(dist) / divisors[k];
        v = 2 * v;
    }
    return static_cast<double>(s);
}

bool Fak(double k, double& out) {
    if (!IsInteger(k) || k < 0 || k > 32) return false;
    static constexpr double kStored[] = {1, 40320, 20922789890000, 6.204484016e23, 2.631308368e35};
    const int n = static_cast<int>(k);
    const int base = 8 * (n / 8);
    double r = kStored[n / 8];
    for (int i = base + 1; i <= n; ++i) r *= i;
    out = r;
    return true;
}

bool Random(double a, double& out) {
    if (!IsInteger(a) || a > 2147483647.0) return false;
    if (a < 1) {
        out = 0;
        return true;
    }
    const uint64_t range = static_cast<uint64_t>(a);
    out = static_cast<double>(((NextRandom() >> 32) * range) >> 32);
    return true;
}

bool Function(uint16_t code, double a, double& out) {
    namespace K = TermNodeKind;
    switch (code) {
        case K::Ln:
            if (!(a > 0)) return false;
            out = std::log(a);
            return true;
        case K::Lg:
            if (!(a > 0)) return false;
            out = std::log10(a);
            return true;
        case K::Ld:
            if (!(a > 0)) return false;
            out = std::log2(a);
            return true;
        case K::Exp:
            if (std::fabs(a) >= 90) {
                out = 0;
                return a < 0;  // e^90 and more is beyond the value limit
            }
            out = std::exp(a);
            return true;
        case K::Sin:
            out = std::sin(a);
            return true;
        case K::Cos:
            out = std::cos(a);
            return true;
        case K::Tan: {
            const double c = std::cos(a);
            if (c == 0) return false;
            out = std::sin(a) / c;
            return InLimit(out);
        }
        case K::Cot: {
            const double s = std::sin(a);
            if (s == 0) return false;
            out = std::cos(a) / s;
            return InLimit(out);
        }
        case K::Arcsin:
            if (std::fabs(a) > 1) return false;
            if (a == 1)
                out = kHalfPi;
            else if (a == -1)
                out = -kHalfPi;
            else
                out = std::atan(a / std::sqrt(1 - a * a));
            return true;
        case K::Arccos:
            if (std::fabs(a) > 1) return false;
            if (a == 1)
                out = 0;
            else if (a == -1)
                out = kPi;
            else
                out = std::atan(-a / std::sqrt(1 - a * a)) + kHalfPi;
            return true;
        case K::Arctan:
            out = std::atan(a);
            return true;
        case K::Arccot:
            out = kHalfPi - std::atan(a);
            return true;
        case K::Sinh: {
            // From |a| = 90 on the exponential is held at 1e50: the value is 5e49 with the sign of a.
            const double e = std::fabs(a) >= 90 ? kValueLimit : std::exp(a);
            const double v = (e - 1 / e) / 2;
            out = a <= -90 ? -v : v;
            return true;
        }
        case K::Cosh: {
            const double e = std::fabs(a) >= 90 ? kValueLimit : std::exp(a);
            out = (1 / e + e) / 2;
            return true;
        }
        case K::Tanh:
        case K::Coth: {
            const double e = 2 * a >= 90 ? kValueLimit : std::exp(2 * a);
            const double th = 1 - 2 / (1 + e);
            if (code == K::Tanh) {
                out = th;
                return true;
            }
            if (th == 0) return false;
            out = 1 / th;
            return InLimit(out);
        }
        case K::Sqrt:
            if (!(a >= 0)) return false;
            out = std::sqrt(a);
            return true;
        case K::Sqr:
            out = a * a;
            return InLimit(out);
        case K::Normal:
            out = std::fabs(a) >= 11 ? 0 : std::exp(-(a * a) / 2) / std::sqrt(2 * kPi);
            return true;
        case K::Phi:
            out = Phi(a);
            return true;
        case K::Abs:
            out = std::fabs(a);
            return true;
        case K::Sgn:
            out = a > 0 ? 1 : (a < 0 ? -1 : 0);
            return true;
        case K::Maxint:
            out = std::floor(a);
            return true;
        case K::Int:
            out = std::trunc(a);
            return true;
        case K::Deg:
            out = a * kDegPerRad;
            return InLimit(out);
        case K::Rad:
            out = a * kRadPerDeg;
            return true;
        case K::Fak:
            return Fak(a, out);
        case K::Random:
            return Random(a, out);
        case K::Blanc:
            out = Blanc(a);
            return true;
        default:
            return false;
    }
}

}  // namespace termops

void SetTermError() { gTerms.TermOK = false; }

double TermPower(double x, double y) {
    double r = 0;
    if (!termops::InLimit(x) || !termops::InLimit(y) || !termops::Power(x, y, r)) {
        SetTermError();
        return 0;
    }
    return r;
}

double TermLg(double a) {
    double r = 0;
    if (!termops::InLimit(a) || !termops::Function(TermNodeKind::Lg, a, r)) {
        SetTermError();
        return 0;
    }
    return r;
}

double TermSgn(double a) { return a > 0 ? 1 : (a < 0 ? -1 : 0); }

}  // namespace kalvo
