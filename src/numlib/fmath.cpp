#include "fmath.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace kalvo {

double SetMathErr(int32_t code) {
    MathErr = code;
    if (code != 0 && StickyMathErr == 0) StickyMathErr = code;
    return (code == -2 || code == -3) ? MaxNum : 0.0;
}

int IMin(int a, int b) { return a < b ? a : b; }
double FMax(double x, double y) { return x > y ? x : y; }
int SignOf(double x) { return x >= 0.0 ? 1 : -1; }
void FSwap(double& a, double& b) { std::swap(a, b); }

double Expo(double x) {
    MathErr = 0;
    if (x < MinLog) return SetMathErr(-4);
    if (x > MaxLog) return SetMathErr(-3);
    return std::exp(x);
}

double Log(double x) {
    MathErr = 0;
    if (x < 0.0) return SetMathErr(-1);
    if (x == 0.0) return SetMathErr(-2);
    return std::log(x);
}

bool PowerSpecialCase(double x, double y, double& r) {
    if (x == 0.0) {
        if (y == 0.0) r = 1.0;
        else if (y > 0.0) r = 0.0;
        else r = SetMathErr(-2);
        return true;
    }
    if (y == 0.0) { r = 1.0; return true; }
    if (y == 1.0) { r = x; return true; }
    return false;
}

double IntPower(double x, int n) {
    double special;
    if (PowerSpecialCase(x, n, special)) return special;
    // Extended precision keeps small integer powers exact (10^2 must be 100,
    // not 99.99999999999999 after the inversion below); 64-bit m keeps
    // the most negative int from overflowing.
    bool invert = n < 0;
    long double b = x;
    if (std::fabs(b) > 1.0L) {
        b = 1.0L / b;
        invert = !invert;
    }
    long double r = 1.0L;
    for (int64_t m = std::llabs(static_cast<long long>(n)); m > 0; m /= 2) {
        if (m % 2 != 0) r *= b;
        b *= b;
    }
    if (invert) {
        if (std::fabs(r) < 1.0L / static_cast<long double>(MaxNum)) return SetMathErr(-3);
        r = 1.0L / r;
    }
    return static_cast<double>(r);
}

double RealPower(double x, double y) {
    double special;
    if (PowerSpecialCase(x, y, special)) return special;
    if (std::fabs(y) < 2147483647.0 && std::trunc(y) == y) return IntPower(x, static_cast<int>(y));
    if (x < 0.0) return SetMathErr(-1);
    const double l = std::log(x) * y;
    if (l < MinLog) return SetMathErr(-4);
    if (l > MaxLog) return SetMathErr(-3);
    return std::exp(l);
}

double Pythag(double x, double y) {
    MathErr = 0;
    const double a = std::fabs(x);
    const double b = std::fabs(y);
    if (a > b) {
        const double q = b / a;
        return a * std::sqrt(1.0 + q * q);
    }
    if (b == 0.0) return 0.0;
    const double q = a / b;
    return b * std::sqrt(1.0 + q * q);
}

double ArcCosine(double x) {
    MathErr = 0;
    if (x < -1.0 || x > 1.0) return SetMathErr(-1);
    if (x == 1.0) return 0.0;
    if (x == -1.0) return Pi;
    return Pi / 2.0 - std::atan(x / std::sqrt(1.0 - x * x));
}

}  // namespace kalvo
