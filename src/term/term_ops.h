#pragma once
// The arithmetic of the term language, shared by the compiled evaluator and
// the constant folding so that both give the same bits. Each operation
// returns false where the term is undefined; no value ever reaches 1e50 in
// magnitude, and NaN or infinity never pass.

#include <cmath>
#include <cstdint>
#include <numbers>

namespace kalvo::termops {

// The language's constants at full double precision: with ten digits, as
// older versions stored them, sin(2pi), the area of cos over a period or
// sin(rad(180)) showed values like 4,1 E-10 where the answer is 0.
inline constexpr double kPi = std::numbers::pi;
inline constexpr double kE = std::numbers::e;
inline constexpr double kHalfPi = std::numbers::pi / 2;
inline constexpr double kDegPerRad = 180 / std::numbers::pi;
inline constexpr double kRadPerDeg = std::numbers::pi / 180;

inline constexpr double kValueLimit = 1e50;
inline constexpr double kQuotientLimit = 1e15;

// NaN fails as well.
inline bool InLimit(double v) { return std::fabs(v) < kValueLimit; }

inline bool IsInteger(double v) { return v == std::trunc(v); }

inline bool Add(double l, double r, double& out) {
    out = l + r;
    return InLimit(out);
}

inline bool Sub(double l, double r, double& out) {
    out = l - r;
    return InLimit(out);
}

inline bool Mul(double l, double r, double& out) {
    if (std::fabs(r) * (std::fabs(l) / kValueLimit) >= 1) return false;
    out = l * r;
    return InLimit(out);
}

// Includes 1/0 and 0/0; the quotient stays below 1e15 in magnitude.
inline bool Div(double l, double r, double& out) {
    if (std::fabs(l) >= std::fabs(r) * kQuotientLimit) return false;
    out = l / r;
    return true;
}

// X^Y without the value limit.
bool PowerRaw(double x, double y, double& out);

inline bool Power(double x, double y, double& out) { return PowerRaw(x, y, out) && InLimit(out); }

// X^k for a whole k with |k| < 7 and 1e-30 < |X| < 15, by repeated multiplication.
inline bool SmallIntPowerApplies(double x) { return std::fabs(x) > 1e-30 && std::fabs(x) < 15; }

inline double SmallIntPower(double x, int k) {
    if (k < 0) {
        x = 1 / x;
        k = -k;
    }
    double r = 1;
    for (int i = 0; i < k; ++i) r *= x;
    return r;
}

// A function of the language (node codes 10 to 38) applied to a.
bool Function(uint16_t code, double a, double& out);

double Phi(double a);
double Blanc(double a);
bool Fak(double k, double& out);
// A pseudo-random whole number in 0 .. a-1.
bool Random(double a, double& out);

}  // namespace kalvo::termops
