#include "regress.h"

#include <cmath>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include "nist_data.h"
#include "numlib_test_support.h"

namespace kalvo {
namespace {

using test::Digits;
using test::NumlibTest;
using test::OneBased;
using test::Square;

class RegressTest : public NumlibTest {};

// Fitted values, statistics and digits reached against every certified value.
std::map<std::string, double> DigitsReached(const test_support::NistData& d, const TVector& x, const TVector& y,
                                            const TVector& B, const TMatrix& V, int deg) {
    const int n = static_cast<int>(d.pairs.size());
    TVector ycalc(n + 1);
    for (int i = 1; i <= n; ++i) ycalc[i] = PolyValue(B, deg, x[i]);
    RegressionsStatistik test;
    RegressionTest(y, ycalc, n, 0, deg, V, test);
    std::map<std::string, double> digits;
    for (int j = 0; j <= deg; ++j) {
        const std::string k = "B" + std::to_string(j);
        digits[k] = Digits(B[j], d.certified.at(k));
        digits["sd " + k] = Digits(std::sqrt(test.ResidualVariance * V[j][j]), d.certified.at("sd " + k));
    }
    digits["residual_sd"] = Digits(std::sqrt(test.ResidualVariance), d.certified.at("residual_sd"));
    digits["r_squared"] = Digits(test.RSquared, d.certified.at("r_squared"));
    return digits;
}

// At least 9 digits on Norris and 6 on Pontius are needed; the bounds below
// are what the fits reach, less a margin, so that a lost digit shows.
TEST_F(RegressTest, NistDataToCertifiedDigits) {
    const struct {
        const char* file;
        bool lineFit;
        int deg, observations;
        double digits;
    } cases[] = {{"Norris.txt", true, 1, 36, 12.0}, {"Norris.txt", false, 1, 36, 12.0}, {"Pontius.txt", false, 2, 40, 11.0}};
    for (const auto& c : cases) {
        const std::string name = std::string(c.file) + (c.lineFit ? " LineFit" : " PolyFit");
        const test_support::NistData d = test_support::ReadNist(c.file);
        ASSERT_EQ(d.pairs.size(), static_cast<size_t>(c.observations)) << name;
        TVector x{0.0}, y{0.0}, B(c.deg + 1);
        for (auto [xv, yv] : d.pairs) x.push_back(xv), y.push_back(yv);
        TMatrix V = Square(c.deg);
        ASSERT_EQ(c.lineFit ? LineFit(x, y, c.observations, B, V) : PolyFit(x, y, c.observations, c.deg, B, V), 0);
        std::ostringstream report;
        for (const auto& [key, value] : DigitsReached(d, x, y, B, V, c.deg)) {
            report << key << " " << std::round(value * 10) / 10 << "; ";
            EXPECT_GE(value, c.digits) << name << ": " << key;
        }
        ::testing::Test::RecordProperty(name, report.str());
        std::cout << "[ digits   ] " << name << ": " << report.str() << "\n";
    }
}

// x far from 0 against their spread (time stamps, years in days): the raw
// sums n Sxx - Sx^2 cancelled all but a few digits. Exact lines, exact answers.
TEST_F(RegressTest, LinesFarFromTheOriginComeOutExact) {
    const struct {
        double x0, dx;
        int n;
        double b0, b1;
    } cases[] = {{1, 2, 2, 0, 2},     {1e6, 1, 6, 1, 2},       {1e8, 1, 6, 1, 2},
                 {1.7e9, 60, 6, -3, 0.5}, {-2e7, 0.25, 6, 7, -4}, {2000, 1, 6, 12, 3}};
    for (const auto& c : cases) {
        TVector x(c.n + 1), y(c.n + 1), B(2);
        for (int i = 1; i <= c.n; ++i) {
            x[i] = c.x0 + (i - 1) * c.dx;
            y[i] = c.b0 + c.b1 * x[i];  // exact in double for these values
        }
        TMatrix V = Square(1);
        ASSERT_EQ(LineFit(x, y, c.n, B, V), 0);
        EXPECT_NEAR(B[1], c.b1, 1e-14 * std::fabs(c.b1)) << c.x0;
        // The intercept lies far outside the data: its error is that of the slope times x.
        EXPECT_NEAR(B[0], c.b0, 1e-14 * (std::fabs(c.b0) + std::fabs(c.b1 * c.x0))) << c.x0;
        // 1 / sum (x - mean)^2 = 12 / (dx^2 n (n^2 - 1))
        EXPECT_NEAR(V[1][1], 12 / (c.dx * c.dx * c.n * (c.n * c.n - 1)), 1e-12 * V[1][1]) << c.x0;
    }
}

// Rounding left D = n Sxx - Sx^2 slightly positive for x = 0.1 five times.
TEST_F(RegressTest, DegenerateFitsAreRefused) {
    const struct { const char* what; TVector x; int n; } cases[] = {
        {"0.1 five times", OneBased({0.1, 0.1, 0.1, 0.1, 0.1}), 5},
        {"one point", OneBased({2.0}), 1},
        {"no point", OneBased({}), 0},
        {"all x equal, larger", OneBased({1e8 + 0.3, 1e8 + 0.3, 1e8 + 0.3}), 3},
    };
    for (const auto& c : cases) {
        TVector y(c.x.size(), 1.0), B = {7, 7};
        TMatrix V = Square(1);
        EXPECT_EQ(LineFit(c.x, y, c.n, B, V), -1) << c.what;
        EXPECT_EQ(B, (TVector{7, 7})) << c.what;
    }
    TVector B(4);
    TMatrix V = Square(3);
    EXPECT_EQ(PolyFit(OneBased({1, 2}), OneBased({1, 4}), 2, 3, B, V), -1);  // too few points
    EXPECT_EQ(ProportionalFit(OneBased({0, 0}), OneBased({1, 2}), 2, B, V), -1);
    EXPECT_EQ(ProportionalFit(OneBased({1, 2}), OneBased({3, 6}), 2, B, V), 0);
    EXPECT_DOUBLE_EQ(B[0], 3.0);
}

TEST_F(RegressTest, CubicAndWeightsAgreeOnBothSolvers) {
    const TVector x = OneBased({-1, 0.5, 2, 3});
    TVector y(5);
    for (int i = 1; i <= 4; ++i) y[i] = 1 - 2 * x[i] + 0.5 * x[i] * x[i] * x[i];
    // Integer weights act as repeated points.
    const TVector xw = OneBased({0, 1, 2, 4}), yw = OneBased({1, 2.5, 2.7, 6}), w = OneBased({1, 3, 1, 2});
    const TVector xr = OneBased({0, 1, 1, 1, 2, 4, 4}), yr = OneBased({1, 2.5, 2.5, 2.5, 2.7, 6, 6});
    for (uint8_t method : {0, 1}) {
        FitMethod = method;
        TVector B(4), Bw(3), Br(3);
        TMatrix V = Square(3), Vw = Square(2), Vr = Square(2);
        ASSERT_EQ(PolyFit(x, y, 4, 3, B, V), 0);
        for (int i = 1; i <= 4; ++i) EXPECT_NEAR(PolyValue(B, 3, x[i]), y[i], 1E-12);
        EXPECT_NEAR(B[2], 0.0, 1E-12);
        ASSERT_EQ(PolyFitWeighted(true, xw, yw, 4, 2, w, Bw, Vw), 0);
        ASSERT_EQ(PolyFit(xr, yr, 7, 2, Br, Vr), 0);
        for (int j = 0; j <= 2; ++j) {
            EXPECT_NEAR(Bw[j], Br[j], 1E-12);
            EXPECT_NEAR(Vw[j][j], Vr[j][j], 1E-12);
        }
    }
}

TEST_F(RegressTest, IdenticalRegressorsSplitOnSVDAndFailOnNormalEquations) {
    const int n = 6;
    TMatrix X;
    AllocMatrix(X, 2, n);
    TVector y(n + 1), B(3);
    for (int i = 1; i <= n; ++i) {
        X[1][i] = X[2][i] = i;
        y[i] = 1 + 4.0 * i;
    }
    TMatrix V = Square(2);
    FitMethod = 1;
    ASSERT_EQ(MultiFit(X, y, n, true, 2, B, V), 0);
    EXPECT_NEAR(B[0], 1.0, 1E-12);
    EXPECT_NEAR(B[1], 2.0, 1E-12);  // the minimum-norm split of the slope 4
    EXPECT_NEAR(B[2], 2.0, 1E-12);
    FitMethod = 0;
    EXPECT_EQ(MultiFit(X, y, n, true, 2, B, V), -1);
}

TEST_F(RegressTest, StatisticsRecord) {
    RegressionsStatistik t{9, 9, 9, 9, 9};
    TMatrix V;
    RegressionTest(OneBased({1, 2}), OneBased({1, 2}), 2, 0, 1, V, t);
    EXPECT_EQ(t.ResidualVariance, 0.0);
    EXPECT_EQ(t.RSquared, 1.0);
    EXPECT_EQ(t.Reserve3, 1.0);

    t = {};
    RegressionTest(OneBased({1, 2, 4, 5}), OneBased({1, 3, 3, 5}), 4, 0, 1, V, t);
    EXPECT_DOUBLE_EQ(t.ResidualVariance, 2.0 / 2);
    EXPECT_DOUBLE_EQ(t.RSquared, 8.0 / 10);
    EXPECT_FALSE(FitErrorFlag);

    RegressionTest(OneBased({3, 3, 3}), OneBased({3, 3, 3}), 3, 0, 1, V, t);
    EXPECT_TRUE(FitErrorFlag);
    EXPECT_EQ(t.RSquared, 0.0);

    // Small values, and values that differ late, still vary: a fixed 1E-10
    // for the total sum of squares refused both.
    for (const TVector& y : {OneBased({1e-6, 2e-6, 4e-6}), OneBased({1.000001, 1.000002, 1.000004})}) {
        FitErrorFlag = false;
        RegressionTest(y, y, 3, 0, 1, V, t);
        EXPECT_FALSE(FitErrorFlag) << y[1];
        EXPECT_EQ(t.RSquared, 1.0) << y[1];
    }
    FitErrorFlag = false;
    RegressionTest(OneBased({0.3, 0.1 + 0.2, 0.3}), OneBased({0.3, 0.3, 0.3}), 3, 0, 1, V, t);
    EXPECT_TRUE(FitErrorFlag);  // equal but for rounding
}

TEST_F(RegressTest, RationalValueAtAPoleOfTheDenominator) {
    const TVector c = {1, 2, -0.5};  // (1 + 2x) / (1 - 0.5x)
    EXPECT_DOUBLE_EQ(RationalValue(c, 1, 1, 1.0), 3.0 / 0.5);
    EXPECT_FALSE(FitErrorFlag);
    EXPECT_NEAR(RationalValue(c, 1, 1, 2.0) / (5.0 / -0.00001), 1.0, 1E-9);
    EXPECT_TRUE(FitErrorFlag);
}

}  // namespace
}  // namespace kalvo
