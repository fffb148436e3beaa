#include "fmath.h"

#include <climits>
#include <cmath>

#include "numlib_test_support.h"

namespace kalvo {
namespace {

using test::NumlibTest;

class FmathTest : public NumlibTest {};

struct Case {
    const char* what;
    double (*f)(double, double);
    double x, y;
    double expected;
    int err;
};

double CallExpo(double x, double) { return Expo(x); }
double CallLog(double x, double) { return Log(x); }
double CallRealPower(double x, double y) { return RealPower(x, y); }
double CallIntPower(double x, double y) { return IntPower(x, static_cast<int>(y)); }
double CallArcCosine(double x, double) { return ArcCosine(x); }
double CallPythag(double x, double y) { return Pythag(x, y); }

TEST_F(FmathTest, GuardedFunctionsGiveTheirSubstituteAndCode) {
    const Case cases[] = {
        {"exp above ln of the largest double", CallExpo, 709.79, 0, MaxNum, -3},
        {"exp below ln of the smallest normal", CallExpo, -709, 0, 0.0, -4},
        {"exp at its upper limit is computed", CallExpo, MaxLog, 0, std::exp(MaxLog), 0},
        {"ln 0", CallLog, 0, 0, MaxNum, -2},
        {"ln of a negative number", CallLog, -1, 0, 0.0, -1},
        {"0^0", CallRealPower, 0, 0, 1.0, 0},
        {"0^2.5", CallRealPower, 0, 2.5, 0.0, 0},
        {"0^-1", CallRealPower, 0, -1, MaxNum, -2},
        {"no real cube root of -8", CallRealPower, -8, 1.0 / 3.0, 0.0, -1},
        {"integral exponent of a negative base", CallRealPower, -2, 3, -8.0, 0},
        {"real power overflows", CallRealPower, 10, 400.5, MaxNum, -3},
        {"real power underflows", CallRealPower, 10, -400.5, 0.0, -4},
        {"2^1100 overflows", CallIntPower, 2, 1100, MaxNum, -3},
        {"2^-1100 is 0 without a code", CallIntPower, 2, -1100, 0.0, 0},
        {"10^308", CallIntPower, 10, 308, 1E308, 0},
        // The most negative exponent does not overflow its negation.
        {"1^INT_MIN", CallIntPower, 1, INT_MIN, 1.0, 0},
        {"(-1)^INT_MIN", CallIntPower, -1, INT_MIN, 1.0, 0},
        {"2^INT_MIN", CallIntPower, 2, INT_MIN, 0.0, 0},
        {"0.5^INT_MIN", CallIntPower, 0.5, INT_MIN, MaxNum, -3},
        {"arccos 1", CallArcCosine, 1, 0, 0.0, 0},
        {"arccos -1", CallArcCosine, -1, 0, Pi, 0},
        {"arccos past 1", CallArcCosine, 1.0000001, 0, 0.0, -1},
        {"pythag 0 0", CallPythag, 0, 0, 0.0, 0},
        {"pythag 3 4", CallPythag, 3, 4, 5.0, 0},
    };
    for (const Case& c : cases) {
        MathErr = 0;
        StickyMathErr = 0;
        EXPECT_EQ(c.f(c.x, c.y), c.expected) << c.what;
        EXPECT_EQ(MathErr, c.err) << c.what;
        EXPECT_EQ(StickyMathErr, c.err) << c.what;
    }
    EXPECT_DOUBLE_EQ(ArcCosine(0.5), std::acos(0.5));
    EXPECT_EQ(SignOf(-0.0), 1);
    EXPECT_NEAR(Pythag(1E200, 1E200) / 1E200, std::sqrt(2.0), 1E-15);
}

// Expo and Log clear MathErr on every call, the powers do not; the first
// error of a fit has to outlive the calls after it.
TEST_F(FmathTest, TheFirstErrorStaysUntilClearedWhateverFollows) {
    MathErr = -1;
    EXPECT_DOUBLE_EQ(RealPower(2, 0.5), std::sqrt(2.0));
    EXPECT_EQ(MathErr, -1);
    EXPECT_EQ(Expo(0), 1.0);
    EXPECT_EQ(MathErr, 0);
    StickyMathErr = 0;
    Log(-1);
    Expo(1000);
    EXPECT_EQ(Expo(1), std::exp(1.0));
    EXPECT_EQ(Log(1), 0.0);
    EXPECT_EQ(MathErr, 0);
    EXPECT_EQ(StickyMathErr, -1);
}

// In double, 10^2 came out as 99.99999999999999 (0.1 squared, then inverted).
TEST_F(FmathTest, IntegerPowersAreExactWhereTheResultIsRepresentable) {
    double ten = 1.0;
    for (int n = 1; n <= 22; ++n) {
        ten *= 10.0;  // exact up to 1e22
        EXPECT_EQ(IntPower(10.0, n), ten) << "10^" << n;
        EXPECT_EQ(RealPower(10.0, n), ten) << "10^" << n;
    }
    double three = 1.0;
    for (int n = 1; n <= 33; ++n) {
        three *= 3.0;  // exact below 2^53
        EXPECT_EQ(IntPower(3.0, n), three) << "3^" << n;
        EXPECT_EQ(IntPower(-3.0, n), n % 2 ? -three : three) << "(-3)^" << n;
    }
    EXPECT_EQ(IntPower(2.0, -3), 0.125);
    EXPECT_EQ(IntPower(0.5, 3), 0.125);
    EXPECT_EQ(IntPower(1.5, 2), 2.25);
    EXPECT_EQ(MathErr, 0);
}

}  // namespace
}  // namespace kalvo
