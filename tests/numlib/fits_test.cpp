// Fits: linear and polynomial least squares against the NIST certified
// values and exact data, their statistics, the nonlinear models with their
// formulas, estimates and refinement, and the sine fit.

#include "models.h"
#include "regress.h"
#include "sinefit.h"

#include <Eigen/Dense>
#include <cmath>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>

#include "fmath.h"
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
    const struct { double x0, dx; int n; double b0, b1; } cases[] = {
        {1, 2, 2, 0, 2},     {1e6, 1, 6, 1, 2},       {1e8, 1, 6, 1, 2},
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

TEST_F(RegressTest, StatisticsRecordAndRationalValues) {
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

    // A rational value at a pole of the denominator.
    FitErrorFlag = false;
    const TVector c = {1, 2, -0.5};  // (1 + 2x) / (1 - 0.5x)
    EXPECT_DOUBLE_EQ(RationalValue(c, 1, 1, 1.0), 3.0 / 0.5);
    EXPECT_FALSE(FitErrorFlag);
    EXPECT_NEAR(RationalValue(c, 1, 1, 2.0) / (5.0 / -0.00001), 1.0, 1E-9);
    EXPECT_TRUE(FitErrorFlag);
}

class ModelsTest : public NumlibTest {};

struct FitResult { int code = 0; TVector B, Ycalc, S; RegressionsStatistik Test; };

// The fit as the curve-fitting window runs it: bounds +-10000, estimate on,
// at most 100 iterations, tolerance 0.001.
FitResult Fit(int model, TVector opt, TVector& X, TVector& Y, int N) {
    opt.resize(3, 0.0);
    SetFitModel(model, 0, opt);
    const int last = ModelLastParamIndex();
    FitResult r{0, TVector(last + 1), TVector(N + 1), TVector(N + 1), {}};
    TVector VrOut, Bmin(last + 1), Bmax(last + 1);
    AllocVector(VrOut, WeightModeClass(0));
    TMatrix V = Square(last);
    for (int i = ModelFirstParamIndex(); i <= last; ++i) Bmin[i] = -10000.0, Bmax[i] = 10000.0;
    FitErrorFlag = false;
    MathErr = 0;
    StickyMathErr = 0;
    r.code = FitData(X, TVector{}, Y, N, true, 100, 0.001, VrOut, r.B, Bmin, Bmax, V, r.Ycalc,
                     r.S, r.Test);
    return r;
}

void Sample(const std::function<double(double)>& f, double x0, double dx, int n, TVector& X, TVector& Y) {
    X.assign(n + 1, 0.0);
    Y.assign(n + 1, 0.0);
    for (int i = 1; i <= n; ++i) {
        X[i] = x0 + (i - 1) * dx;
        Y[i] = f(X[i]);
    }
}

TEST_F(ModelsTest, FormulaTextsAndParameterNames) {
    const struct {
        int model;
        TVector opt;
        int first;
        const char* text;  // formula | names of the parameters from the first on
    } cases[] = {
        {0, {}, 0, "y = m*x + c | c m"},
        {2, {2}, 0, "y = ax^2 + bx + c | a0 a1 a2"},
        {2, {3}, 0, "y = a3*x^3+a2*x^2+a1*x^1+a0 | a0 a1 a2 a3"},
        {3, {1, 1, 1}, 0, "y = (p0 + p1*x) / (1 + q1*x) | p0 p1 q1"},
        {3, {2, 2, 1}, 0, "y = (p0 + p1*x + p2*x^2) / (1 + q1*x + q2*x^2) | p0 p1 p2 q1 q2"},
        {4, {1, 0}, 1, "y = a exp(b x) | a b"},
        {5, {}, 0, "y = c - a exp(bx) | b k a"},
        {7, {}, 0, "y = a x^z | a z"},
        {9, {}, 0, "y = m*x | m"},
        {10, {0}, 1, "y = a / [1 + exp(bx + c)] | a b c"},
    };
    for (const auto& c : cases) {
        TVector opt = c.opt;
        opt.resize(3, 0.0);
        SetFitModel(c.model, 0, opt);
        EXPECT_EQ(ModelFirstParamIndex(), c.first) << c.model;
        std::string text = ModelFormula() + " |";
        for (int i = c.first; i <= ModelLastParamIndex(); ++i) text += std::string(" ") + ModelParamName(i);
        EXPECT_EQ(text, c.text) << c.model;
    }
}

TEST_F(ModelsTest, DegreeOptionsOfOneOrLessKeepThePreviousDegree) {
    SetFitModel(2, 0, {4, 0, 0});
    SetFitModel(2, 0, {1, 0, 0});
    EXPECT_EQ(ModelLastParamIndex(), 4);
    SetFitModel(3, 0, {3, 2, 0});
    SetFitModel(3, 0, {0, 0, 0});
    EXPECT_EQ(ModelLastParamIndex(), 5);
    SetFitModel(2, 0, {std::nan(""), 0, 0});
    EXPECT_EQ(ModelLastParamIndex(), 4);
}

TEST_F(ModelsTest, ExactDataGiveTheirParameters) {
    const struct {
        const char* what;
        int model;
        TVector opt;
        std::function<double(double)> f;
        double x0, dx;
        int n;
        TVector expected;  // from the first parameter index on
        double tol;
    } cases[] = {
        {"line", 0, {}, [](double x) { return -1.5 + 0.25 * x; }, -3, 0.5, 12, {-1.5, 0.25}, 1E-13},
        {"proportional", 9, {}, [](double x) { return 2.5 * x; }, 0, 1, 6, {2.5}, 1E-14},
        {"quadratic", 2, {2}, [](double x) { return 3 - x + 0.5 * x * x; }, -2, 0.5, 9, {3, -1, 0.5}, 1E-12},
        {"quartic", 2, {4}, [](double x) { return 1 - 2 * x * x * x + 0.1 * x * x * x * x; }, -3, 0.5, 14,
         {1, 0, 0, -2, 0.1}, 1E-10},
        {"rational 1/1", 3, {1, 1, 1}, [](double x) { return (2 + 3 * x) / (1 + 0.5 * x); }, 0, 0.5, 10,
         {2, 3, 0.5}, 1E-12},
        {"rational 2/1", 3, {2, 1, 1}, [](double x) { return (1 - x + 2 * x * x) / (1 + 0.25 * x); }, 0, 1, 8,
         {1, -1, 2, 0.25}, 1E-11},
        {"power", 7, {}, [](double x) { return 2.5 * std::pow(x, 1.7); }, 0.5, 0.5, 10, {2.5, 1.7}, 1E-13},
        // Refined nonlinearly, then polished by Gauss-Newton steps.
        {"bounded growth", 5, {}, [](double x) { return 10 - 4 * std::exp(-0.5 * x); }, 0, 0.5, 20,
         {4, 0.5, 2.5}, 1E-13},
        {"bounded growth from 0", 5, {}, [](double x) { return 10 * (1 - std::exp(-0.5 * x)); }, 0, 1, 10,
         {10, 0.5, 1}, 1E-13},
    };
    for (const auto& c : cases) {
        TVector X, Y;
        Sample(c.f, c.x0, c.dx, c.n, X, Y);
        const FitResult r = Fit(c.model, c.opt, X, Y, c.n);
        ASSERT_EQ(r.code, 0) << c.what;
        EXPECT_FALSE(FitErrorFlag) << c.what;
        EXPECT_EQ(MathErr, 0) << c.what;
        const int first = ModelFirstParamIndex();
        for (size_t k = 0; k < c.expected.size(); ++k)
            EXPECT_NEAR(r.B[first + k], c.expected[k], c.tol * (1 + std::fabs(c.expected[k])))
                << c.what << " parameter " << first + k;
        EXPECT_NEAR(r.Test.RSquared, 1.0, 1E-9) << c.what;
        for (int i = 1; i <= c.n; ++i) EXPECT_NEAR(r.Ycalc[i], Y[i], 1E-6 * (1 + std::fabs(Y[i]))) << c.what;
    }
}

// The estimate takes the y at the largest x as the level a; here that point
// lies far out on the plateau, where y = a to the last bit.
TEST_F(ModelsTest, LogisticDataReachingTheirPlateauGiveTheirParameters) {
    TVector X, Y;
    Sample([](double x) { return 5 / (1 + std::exp(-2 * x + 4)); }, -1, 0.25, 21, X, Y);
    X.push_back(50);
    Y.push_back(5 / (1 + std::exp(-2 * 50 + 4)));
    const FitResult r = Fit(10, {0}, X, Y, 22);
    ASSERT_EQ(r.code, 0);
    EXPECT_FALSE(FitErrorFlag);
    EXPECT_EQ(r.B[1], 5.0);
    EXPECT_NEAR(r.B[2], 2.0, 1E-12);
    EXPECT_NEAR(r.B[3], 4.0, 1E-12);
}

// The integral equation method replaces the integral by trapezoids; on equal
// steps h it gives exactly the rate (2/h) tanh(r h / 2) instead of r.
TEST_F(ModelsTest, ExponentialEstimateIsTheTrapezoidRate) {
    for (double h : {1.0, 0.1}) {
        for (double x0 : {0.0, 2.0}) {
            TVector X, Y;
            const int n = static_cast<int>(std::lround(5 / h)) + 1;
            Sample([](double x) { return 3 * std::exp(-0.5 * x); }, x0, h, n, X, Y);
            const FitResult r = Fit(4, {1, 0}, X, Y, n);
            ASSERT_EQ(r.code, 0);
            EXPECT_NEAR(r.B[2], 2 / h * std::tanh(0.5 * h / 2), 1E-12) << h;
            EXPECT_NEAR(r.B[1], 3.0, 3.0 * 0.6 * h * h) << h;  // a carries the rate's error
        }
    }
}

// The start values assumed growth from below towards a level above the data;
// data falling towards their level (a cooling curve) stopped the refinement
// without convergence. Parameters as the window shows them: y = c - a e^(b x).
TEST_F(ModelsTest, BoundedGrowthFitsBothSidesOfItsLevel) {
    const struct {
        const char* what;
        std::function<double(double)> f;
        double x0, dx;
        int n;
        double a, b, c;
    } cases[] = {
        {"cooling", [](double x) { return 20 + 60 * std::exp(-0.1 * x); }, 0, 2, 21, -60, -0.1, 20},
        {"cooling, late part", [](double x) { return 20 + 60 * std::exp(-0.1 * x); }, 30, 1, 15, -60, -0.1, 20},
        {"warming", [](double x) { return 80 - 60 * std::exp(-0.1 * x); }, 0, 2, 21, 60, -0.1, 80},
        {"negative level", [](double x) { return -5 + 3 * std::exp(-0.7 * x); }, 1, 0.25, 17, -3, -0.7, -5},
        {"unbounded growth", [](double x) { return 5 + 2 * std::exp(0.3 * x); }, 0, 0.5, 12, -2, 0.3, 5},
    };
    for (const auto& c : cases) {
        TVector X, Y;
        Sample(c.f, c.x0, c.dx, c.n, X, Y);
        const FitResult r = Fit(5, {}, X, Y, c.n);
        ASSERT_EQ(r.code, 0) << c.what;
        EXPECT_FALSE(FitErrorFlag) << c.what;
        EXPECT_NEAR(r.B[0], c.a, 1E-9 * std::fabs(c.a)) << c.what;
        EXPECT_NEAR(-r.B[1], c.b, 1E-9 * std::fabs(c.b)) << c.what;
        EXPECT_NEAR(r.B[2] * r.B[0], c.c, 1E-9 * std::fabs(c.c)) << c.what;
        EXPECT_LT(std::sqrt(r.Test.ResidualVariance), 1E-13 * std::fabs(c.c)) << c.what;
    }
    // Points on a straight line have no level; the fit may fail, but leaves finite numbers.
    TVector X, Y;
    Sample([](double x) { return -x; }, 0, 1, 6, X, Y);
    for (double b : Fit(5, {}, X, Y, 6).B) EXPECT_TRUE(std::isfinite(b));
}

// The straight line ln(a/y - 1) = -b x + c through the points off both levels,
// by an independent least-squares solve: (b, c).
std::pair<double, double> LogisticLine(const TVector& X, const TVector& Y, int N, double a) {
    std::vector<std::pair<double, double>> pts;
    for (int i = 1; i <= N; ++i)
        if (Y[i] != a && Y[i] != 0) pts.emplace_back(X[i], std::log(a / Y[i] - 1));
    Eigen::MatrixXd M(pts.size(), 2);
    Eigen::VectorXd z(pts.size());
    for (size_t k = 0; k < pts.size(); ++k) {
        M(k, 0) = 1;
        M(k, 1) = pts[k].first;
        z(k) = pts[k].second;
    }
    const Eigen::Vector2d line = M.colPivHouseholderQr().solve(z);
    return {-line(1), line(0)};
}

// The guard tested y - 1 instead of y: y = 1 was refused, y = 0 divided by
// zero. y = 0 lies on the lower level and says nothing about the slope, as a
// point on the upper level does, wherever it lies: both are left out.
TEST_F(ModelsTest, LogisticEstimateGuardsAgainstZeroNotOne) {
    TVector X = OneBased({0, 1, 2, 3, 4}), Y = OneBased({0.5, 1.0, 2.0, 3.0, 3.5});
    FitResult r = Fit(10, {0}, X, Y, 5);
    EXPECT_EQ(r.code, 0);
    EXPECT_FALSE(FitErrorFlag);
    EXPECT_NEAR(r.B[1], 3.5, 0);
    // ln(3.5 / 1 - 1) at x = 1
    EXPECT_NEAR(-r.B[2] * 1 + r.B[3], std::log(2.5), 0.2);

    for (const TVector& y : {OneBased({0.5, 0.0, 2.0, 3.0, 3.5}), OneBased({0.5, 3.5, 2.0, 3.0, 3.5})}) {
        Y = y;
        r = Fit(10, {0}, X, Y, 5);
        EXPECT_EQ(r.code, 0) << y[2];
        EXPECT_FALSE(FitErrorFlag) << y[2];
        EXPECT_EQ(StickyMathErr, 0) << y[2];
        const auto [b, c] = LogisticLine(X, Y, 5, 3.5);  // from x = 0, 2, 3
        EXPECT_NEAR(r.B[2], b, 1E-12) << y[2];
        EXPECT_NEAR(r.B[3], c, 1E-12) << y[2];
    }
}

// Data that are logistic fitted: the level is taken where the curve levels
// off, and points on a level are left out. Rounded to four decimals, the
// plateau reads 5,0000 (and far out at the other end 0,0000); a falling
// curve is near 0 at its right end. The estimate is the line through the
// logarithms; where the data do not reach the level it keeps the largest y
// as a, and the curve follows the data less closely the farther they run
// on towards the true level.
TEST_F(ModelsTest, LogisticEstimateTakesTheLevelWhereTheCurveLevelsOff) {
    auto round4 = [](double v) { return std::nearbyint(v * 1E4) / 1E4; };
    // A fixed noise of +-0.03; the largest value, 5.0x, lies inside the data.
    const double noise[] = {0.01, -0.02, 0.03, -0.01, 0.02, -0.03, 0.01, 0.03, -0.02, 0.03, -0.01, 0.0, -0.02};
    const struct {
        const char* what;
        std::function<double(double)> f;
        double x0;
        int n;
        double a, b, c;  // the true curve y = a / (1 + exp(-b x + c))
        double tol;      // relative, on b and c: the logarithms weigh the points near a level most
        double r2;       // the least r^2
    } cases[] = {
        {"rising, rounded", [&](double x) { return round4(5 / (1 + std::exp(-2 * x + 4))); }, 0, 10, 5, 2, 4, 0.015,
         0.999},
        {"rising, rounded, both levels reached", [&](double x) { return round4(5 / (1 + std::exp(-2 * x + 4))); }, -5,
         15, 5, 2, 4, 0.015, 0.999},
        {"falling, exact", [](double x) { return 5 / (1 + std::exp(2 * x - 4)); }, -2, 11, 5, -2, -4, 0.015, 0.999},
        {"falling, rounded", [&](double x) { return round4(5 / (1 + std::exp(2 * x - 4))); }, -4, 15, 5, -2, -4,
         0.015, 0.999},
        {"negative level, rising", [&](double x) { return round4(-3 / (1 + std::exp(-1.5 * x + 3))); }, -6, 15, -3,
         1.5, 3, 0.02, 0.999},
        {"negative level, falling", [](double x) { return -0.5 / (1 + std::exp(0.8 * x + 1)); }, -12, 20, -0.5, -0.8,
         1, 0.03, 0.999},
        {"noisy", [&](double x) { return 5 / (1 + std::exp(-x + 4)) + noise[static_cast<int>(x)]; }, 0, 13, 5, 1, 4,
         0.15, 0.95},
    };
    for (const auto& c : cases) {
        TVector X, Y;
        Sample(c.f, c.x0, 1, c.n, X, Y);
        double level = 0;
        for (int i = 1; i <= c.n; ++i)
            if (std::fabs(Y[i]) > std::fabs(level)) level = Y[i];
        const FitResult r = Fit(10, {0}, X, Y, c.n);
        ASSERT_EQ(r.code, 0) << c.what;
        EXPECT_FALSE(FitErrorFlag) << c.what;
        EXPECT_EQ(StickyMathErr, 0) << c.what;
        EXPECT_EQ(r.B[1], level) << c.what;
        EXPECT_NEAR(r.B[1], c.a, 0.04) << c.what;
        const auto [b, cc] = LogisticLine(X, Y, c.n, level);
        EXPECT_NEAR(r.B[2], b, 1E-10 * (1 + std::fabs(b))) << c.what;
        EXPECT_NEAR(r.B[3], cc, 1E-10 * (1 + std::fabs(cc))) << c.what;
        EXPECT_NEAR(r.B[2], c.b, c.tol * std::fabs(c.b)) << c.what;
        EXPECT_NEAR(r.B[3], c.c, c.tol * std::fabs(c.c)) << c.what;
        EXPECT_GT(r.Test.RSquared, c.r2) << c.what;
    }

    // Short of the level: x = 0..8 keep a = 4,7629, the largest y, and r (as
    // the window shows it) falls as the data run on towards 5.
    double rBefore = 1;
    for (int n = 9; n <= 14; ++n) {
        TVector X, Y;
        Sample([](double x) { return 5 / (1 + std::exp(-0.5 * x + 1)); }, 0, 1, n, X, Y);
        const FitResult r = Fit(10, {0}, X, Y, n);
        ASSERT_EQ(r.code, 0) << n;
        EXPECT_EQ(r.B[1], Y[n]) << n;
        if (n == 9) {
            EXPECT_NEAR(r.B[1], 4.7629, 5E-5);
        }
        const auto [b, c] = LogisticLine(X, Y, n, Y[n]);
        EXPECT_NEAR(r.B[2], b, 1E-12) << n;
        EXPECT_NEAR(r.B[3], c, 1E-12) << n;
        const double q = r.Test.RSquared;
        const double rNow = std::sqrt(q > 1 ? 1 / q : q);
        EXPECT_LT(rNow, rBefore) << n;
        rBefore = rNow;
    }

    // A point far out on a level: e^(-b x + c) underflows there, which is
    // the level itself, not an error.
    for (double far : {400.0, -400.0}) {
        TVector X = OneBased({0, 1, 2, 3, 4, far}), Y = X;
        for (int i = 1; i <= 6; ++i) Y[i] = 5 / (1 + std::exp(-2 * X[i] + 4));
        const FitResult r = Fit(10, {0}, X, Y, 6);
        EXPECT_EQ(r.code, 0) << far;
        EXPECT_EQ(StickyMathErr, 0) << far;
        EXPECT_EQ(r.Ycalc[far > 0 ? 6 : 1], far > 0 ? 5 : 0) << far;
    }
}

// Blank-corrected growth data: the first readings lie slightly below 0,
// where ln(a/y - 1) does not exist. The estimate leaves them out with the
// point on the level, counts them, and fits the line through the others.
// References by mpmath: that line, and the least-squares logistic whose sum
// of squares the estimate comes near (4,198 against 3,13700192857).
TEST_F(ModelsTest, LogisticEstimateLeavesOutReadingsBeyondZeroAndCountsThem) {
    TVector X(21), Y = OneBased({-1.09, -0.78, -0.56, -0.33, -0.15, 0.49, 0.32, 1.39, 1.78, 3.47, 5.25, 6.38, 8.22,
                                 8.76, 9.53, 10.01, 9.65, 10.18, 9.86, 10.13});
    for (int i = 1; i <= 20; ++i) X[i] = i - 1;
    const FitResult r = Fit(10, {0}, X, Y, 20);
    ASSERT_EQ(r.code, 0);
    EXPECT_FALSE(FitErrorFlag);
    EXPECT_EQ(StickyMathErr, 0);
    EXPECT_EQ(EstimateLeftOut, 6);
    EXPECT_EQ(r.B[1], 10.18);
    EXPECT_NEAR(r.B[2], 0.59709946154938520, 1E-13);
    EXPECT_NEAR(r.B[3], 6.1113550337500989, 1E-12);
    EXPECT_NEAR(r.Test.RSquared, 0.87487740922837846, 1E-12);
    double sse = 0;
    for (int i = 1; i <= 20; ++i) sse += (Y[i] - r.Ycalc[i]) * (Y[i] - r.Ycalc[i]);
    EXPECT_LT(sse, 1.35 * 3.13700192857);
    // Only the level is left out of data inside it.
    Y = OneBased({0.5, 1.0, 2.0, 3.0, 3.5});
    EXPECT_EQ(Fit(10, {0}, X, Y, 5).code, 0);
    EXPECT_EQ(EstimateLeftOut, 1);
}

// Data that no logistic curve follows: a clear failure or a fit with finite
// numbers, never a crash. A level of 0, or a slope away from the level end
// cannot be fitted; a value of the other sign than the level is left out.
TEST_F(ModelsTest, LogisticEstimateOnDataThatAreNotLogistic) {
    const struct {
        const char* what;
        TVector y;
        bool fits;
    } cases[] = {
        {"crossing zero: -1 is left out", OneBased({-1, 0.5, 2, 3, 3.5}), true},
        {"all zero", OneBased({0, 0, 0, 0, 0}), false},
        {"alternating", OneBased({1, 2, 1, 2, 1}), false},
        {"away from the level end", OneBased({1, 0.5, 0.3, 0.4, 2}), false},
        {"constant", OneBased({2, 2, 2, 2, 2}), false},
        {"only on the levels", OneBased({0, 0, 4, 4, 4}), false},
        {"hump", OneBased({1, 3, 2.5, 2, 2.2}), true},
        {"straight line", OneBased({1, 2, 3, 4, 5}), true},
    };
    for (const auto& c : cases) {
        TVector X = OneBased({1, 2, 3, 4, 5}), Y = c.y;
        const FitResult r = Fit(10, {0}, X, Y, 5);
        // As the window judges a fit.
        const bool usable = r.code == 0 && !FitErrorFlag && StickyMathErr == 0;
        EXPECT_EQ(usable, c.fits) << c.what;
        for (int i = 1; i <= 3; ++i) EXPECT_TRUE(std::isfinite(r.B[i])) << c.what;
        for (int i = 1; i <= 5; ++i) EXPECT_TRUE(std::isfinite(r.Ycalc[i])) << c.what;
    }
}

// Through the origin the centred r^2 compares with a mean the line cannot
// follow: for these data it is 1.051 (> 1), for a line that leaves 1/1460 of
// sum y^2 unexplained. Exact reference (python fractions): m = 1459/730,
// SSE = 1459/730, sum y^2 = 2918, so r^2 = 1 - SSE / sum y^2 = 1459/1460.
TEST_F(ModelsTest, LineThroughTheOriginReportsTheUncentredRSquared) {
    TVector X = OneBased({10, 11, 12, 13, 14}), Y = OneBased({20, 23, 23, 26, 28});
    FitResult r = Fit(9, {}, X, Y, 5);
    ASSERT_EQ(r.code, 0);
    EXPECT_FALSE(FitErrorFlag);
    EXPECT_NEAR(r.B[0], 1459.0 / 730, 1E-14);
    EXPECT_NEAR(r.Test.RSquared, 1459.0 / 1460, 1E-14);

    // Constant y are fitted too: m = 12/14, r^2 = 1 - SSE/12 = 6/7.
    X = OneBased({1, 2, 3}), Y = OneBased({2, 2, 2});
    r = Fit(9, {}, X, Y, 3);
    EXPECT_FALSE(FitErrorFlag);
    EXPECT_NEAR(r.Test.RSquared, 6.0 / 7, 1E-14);
}

TEST_F(ModelsTest, FailedEstimateStillFillsFittedValuesAndStatistics) {
    TVector X = OneBased({2, 2, 2}), Y = OneBased({1, 2, 4});
    const FitResult r = Fit(0, {}, X, Y, 3);
    EXPECT_EQ(r.code, -1);
    EXPECT_EQ(r.Ycalc, TVector(4, 0.0));
    EXPECT_DOUBLE_EQ(r.Test.ResidualVariance, (1 + 4 + 16) / 1.0);
    EXPECT_DOUBLE_EQ(r.S[3], std::sqrt(21.0));
}

TEST_F(ModelsTest, ModelsAreSortedByXAndDropUnusablePoints) {
    // power: pairs with x <= 0 or y <= 0 are left out of the estimate
    TVector X = OneBased({0, 1, 2, 4, -1}), Y = OneBased({0, 3, 3 * std::sqrt(2.0), 6, 5});
    FitResult r = Fit(7, {}, X, Y, 5);
    EXPECT_EQ(r.code, 0);
    EXPECT_NEAR(r.B[0], 3, 1E-14);
    EXPECT_NEAR(r.B[1], 0.5, 1E-14);

    // bounded growth reorders the caller's pairs
    X = OneBased({3, 0, 2, 1, 4});
    Y = OneBased({3, 0, 2, 1, 4});
    Fit(5, {}, X, Y, 5);
    EXPECT_EQ(X, OneBased({0, 1, 2, 3, 4}));
    EXPECT_EQ(Y, OneBased({0, 1, 2, 3, 4}));
}

TEST_F(ModelsTest, UnknownModelsAreRefusedWithoutTouchingTheResults) {
    for (int model : {1, 6, 8, 11, -1, 100}) {
        TVector X = OneBased({1, 2, 3}), Y = OneBased({1, 2, 3});
        SetFitModel(model, 0, {0, 0, 0});
        EXPECT_EQ(ModelLastParamIndex(), -1);
        EXPECT_EQ(ModelFormula(), "");
        TVector VrOut{-7}, B{-7}, Bmin{0}, Bmax{0}, Ycalc(4, -7), S(4, -7);
        TMatrix V;
        RegressionsStatistik t{-7, -7};
        EXPECT_EQ(FitData(X, {}, Y, 3, true, 100, 0.001, VrOut, B, Bmin, Bmax, V, Ycalc, S, t), -1);
        EXPECT_EQ(Ycalc, TVector(4, -7));
        EXPECT_EQ(t.RSquared, -7);
    }
}

class SinefitTest : public NumlibTest {};

void SineData(int n, double x0, double x1, TVector& X, TVector& Y, double a = 2, double b = 0.5,
              double c = 1, double d = 3) {
    AllocVector(X, n);
    AllocVector(Y, n);
    for (int i = 1; i <= n; ++i) {
        X[i] = x0 + (i - 1) * (x1 - x0) / (n - 1);
        Y[i] = a * std::sin(b * X[i] + c) + d;
    }
}

TEST_F(SinefitTest, ExactSineFromTheAutomaticStart) {
    const std::pair<int, double> cases[] = {{10, 4 * Pi}, {50, 4 * Pi}, {500, 4 * Pi}, {20, 2 * Pi},
                                            {500, 2 * Pi}, {50, 3 * Pi}, {50, 10}};
    for (const auto& [n, range] : cases) {
        TVector X, Y;
        SineData(n, 0, range, X, Y);
        ASSERT_EQ(SinusRegression(X, Y, n), 0) << n << " " << range;
        const double expected[] = {2.0, 0.5, 1.0, 3.0};
        for (int k = 0; k < 4; ++k) EXPECT_NEAR(SinusFit.SinusParameter[k], expected[k], 1E-9) << n << " " << range;
        EXPECT_LT(SinusChiQuadrat, 1E-20);
        EXPECT_NEAR(SinusKorrelation, 1.0, 1E-12);
        ASSERT_EQ(SinusKurve.size(), static_cast<size_t>(n + 1));
        for (int i = 1; i <= n; ++i) EXPECT_NEAR(SinusKurve[i], Y[i], 1E-9);
        EXPECT_EQ(SinusFit.SinusDefaultIterationen, 10);
    }
}

// The start puts one period over the data range, the level midway between the
// extremes and the peak of the start curve at the x of the largest y.
TEST_F(SinefitTest, StartValuesComeFromTheTrueExtremes) {
    for (double d : {0.0, 20000.0, -20000.0}) {  // the extremes were seeded with -10000 and 10000
        TVector X, Y;
        SineData(41, 1, 9, X, Y, 5, 0.8, 0.3, d);
        ASSERT_EQ(SinusRegression(X, Y, 41), 0);
        const auto& s = SinusFit.SinusDefaultStart;
        const double ymax = *std::max_element(Y.begin() + 1, Y.end());
        const double ymin = *std::min_element(Y.begin() + 1, Y.end());
        const int imax = static_cast<int>(std::max_element(Y.begin() + 1, Y.end()) - Y.begin());
        EXPECT_DOUBLE_EQ(s[0], (ymax - ymin) / 2) << d;
        EXPECT_DOUBLE_EQ(s[1], 2 * Pi / 8) << d;
        EXPECT_NEAR(std::sin(s[1] * X[imax] + s[2]), 1.0, 1E-15) << d;
        EXPECT_DOUBLE_EQ(s[3], (ymax + ymin) / 2) << d;
    }
}

TEST_F(SinefitTest, UserStartValuesAndIterationLimit) {
    TVector X, Y;
    SineData(30, 0, 12, X, Y);
    SinusFit.SinusAutomatisch = false;
    std::tie(SinusFit.SinusStartA, SinusFit.SinusStartB, SinusFit.SinusStartC, SinusFit.SinusStartD) =
        std::tuple(1.5, 0.45, 1.2, 2.5);
    SinusFit.SinusIterationen = 30;
    ASSERT_EQ(SinusRegression(X, Y, 30), 0);
    EXPECT_NEAR(SinusFit.SinusParameter[2], 1.0, 1E-9);

    // One uncounted and one counted step: far from converged.
    SinusFit.SinusIterationen = 1;
    ASSERT_EQ(SinusRegression(X, Y, 30), 0);
    EXPECT_GT(std::fabs(SinusFit.SinusParameter[2] - 1.0), 1E-6);

    TSinusParams P{0, 1.5, 0.45, 1.2, 2.5}, Sigma{};
    TVector W(31), Yfit(31);
    double Chi = 0;
    int Iter = 1;
    uint8_t Status = 99;
    MarquardtFit(X, Y, W, SinusModell, SinusModellAbleitungen, 0, 1E-7, 1E-10, Iter, Yfit, Chi,
                 Sigma, P, 4, 30, Status);
    EXPECT_EQ(Iter, 2);
    EXPECT_EQ(Status, FitIterationLimit);
}

TEST_F(SinefitTest, FixedParametersStay) {
    TVector X, Y;
    SineData(25, 0, 12, X, Y);
    TSinusParams P{0, 1.8, 0.52, 0.9, 3.0}, Sigma{0, 0, 0, 0, -1};
    TVector W(26), Yfit(26);
    double Chi = 0;
    int Iter = 50;
    uint8_t Status = 99;
    MarquardtFit(X, Y, W, SinusModell, SinusModellAbleitungen, 0, 1E-7, 1E-10, Iter, Yfit, Chi,
                 Sigma, P, 4, 25, Status);
    EXPECT_EQ(P[4], 3.0);
    EXPECT_NEAR(P[1], 2.0, 1E-9);
    EXPECT_NEAR(P[3], 1.0, 1E-9);
    EXPECT_LE(Status, FitChiConverged);
}

// A step that is never accepted raises the damping from 0.001 by tens past
// 1E36; the curve and chi-square published then must be those of P, not of
// the last rejected trial.
TEST_F(SinefitTest, NeverAcceptedStepEndsWithTheCurveOfTheKeptParameters) {
    int calls = 0;
    auto value = [&calls](const TSinusParams& P, double) {
        ++calls;
        return P[1] == 0.0 ? 1.0 : 1E6;  // every change, however small, makes it far worse
    };
    auto derivs = [](const TSinusParams&, const TSinusParams&, double, TSinusParams& D) {
        D = {0, 1, 0, 0, 0};
    };
    const int n = 6;
    TVector X(n + 1, 0.0), Y(n + 1, 0.0), W(n + 1), Yfit(n + 1);
    TSinusParams P{0, 0.0, 7, 7, 7}, Sigma{};
    double Chi = 0;
    int Iter = 10;
    uint8_t Status = 99;
    MarquardtFit(X, Y, W, value, derivs, 0, 1E-7, 1E-10, Iter, Yfit, Chi, Sigma, P, 1, n, Status);
    EXPECT_EQ(Status, FitStepFailed);
    EXPECT_EQ(P, (TSinusParams{0, 0.0, 7, 7, 7}));
    EXPECT_EQ(calls, n * (1 + 40 + 1));  // start curve, 40 rejected trials, curve of P again
    for (int i = 1; i <= n; ++i) EXPECT_EQ(Yfit[i], 1.0);
    EXPECT_DOUBLE_EQ(Chi, n * 1.0 / (n - 1));
}

TEST_F(SinefitTest, DampingNeverFallsBelowItsFloor) {
    TVector X, Y;
    SineData(20, 0, 10, X, Y);
    TSinusParams P{0, 1.9, 0.5, 1.0, 3.0}, Sigma{};
    TVector W(21, 1.0), Yfit(21);
    double Chi = 0, lambda = 1E-29;
    bool Fail = true;
    uint8_t FailStatus = 0;
    MarquardtStep(X, Y, W, SinusModell, SinusModellAbleitungen, 0, Yfit, Chi, Sigma, P, 4, 20,
                  lambda, Fail, FailStatus);
    EXPECT_FALSE(Fail);
    EXPECT_EQ(lambda, 1E-29);
    EXPECT_NEAR(P[1], 2.0, 1E-6);
    for (int i = 1; i <= 4; ++i) EXPECT_GE(Sigma[i], 0.0);
}

// These published NaN parameters (a division by x[N] - x[1] = 0, by a zero
// diagonal, or values that overflow); now the fit fails and keeps the last result.
TEST_F(SinefitTest, UnusableDataOrFitsFailAndKeepThePublishedResult) {
    TVector X, Y;
    SineData(12, 0, 10, X, Y);
    ASSERT_EQ(SinusRegression(X, Y, 12), 0);
    const auto kept = SinusFit.SinusParameter;
    const TVector keptCurve = SinusKurve;

    const struct {
        const char* what;
        TVector X, Y;
        int n;
        bool automatic;
        double startA;
    } cases[] = {
        {"equal first and last x", TVector(7, 2.0), OneBased({1, 2, 3, 4, 5, 6}), 6, true, 0},
        {"constant y", OneBased({1, 2, 3, 4, 5, 6}), TVector(7, 4.0), 6, true, 0},
        {"zero amplitude typed", X, Y, 12, false, 0.0},
        {"overflowing start", X, Y, 12, false, 1E300},
        {"too few points", X, Y, 4, true, 0},
        {"not a number", OneBased({1, 2, std::nan(""), 4, 5, 6}), OneBased({1, 2, 3, 4, 5, 6}), 6, true, 0},
    };
    for (const auto& c : cases) {
        SinusFit.SinusAutomatisch = c.automatic;
        std::tie(SinusFit.SinusStartA, SinusFit.SinusStartB, SinusFit.SinusStartC, SinusFit.SinusStartD) =
            std::tuple(c.startA, 0.5, 1.0, 3.0);
        SinusFit.SinusIterationen = 10;
        EXPECT_EQ(SinusRegression(c.X, c.Y, c.n), -1) << c.what;
        EXPECT_EQ(SinusFit.SinusParameter, kept) << c.what;
        EXPECT_EQ(SinusKurve, keptCurve) << c.what;
        for (double v : SinusFit.SinusDefaultStart) EXPECT_TRUE(std::isfinite(v)) << c.what;
    }
    // The coefficient of determination of constant y is 0, not a division by 0.
    EXPECT_EQ(Bestimmtheitsmass(TVector(6, 4.0), OneBased({1, 2, 3, 4, 5}), 5), 0.0);
    EXPECT_DOUBLE_EQ(Bestimmtheitsmass(OneBased({1, 2, 4, 5}), OneBased({1, 3, 3, 5}), 4), 0.8);
}

TEST_F(SinefitTest, GaussJordanInvertAgreesWithEigen) {
    std::mt19937 rng(4);
    std::uniform_real_distribution<double> u(-1, 1);
    for (int n = 1; n <= 4; ++n)
        for (bool symmetric : {true, false}) {
            TMatrix4 A{};
            Eigen::MatrixXd M(n, n);
            for (int i = 1; i <= n; ++i)
                for (int j = 1; j <= n; ++j) M(i - 1, j - 1) = u(rng);
            if (symmetric) M = M * M.transpose() + Eigen::MatrixXd::Identity(n, n);
            for (int i = 1; i <= n; ++i)
                for (int j = 1; j <= n; ++j) A[i][j] = M(i - 1, j - 1);
            double Det = 0;
            GaussJordanInvert(A, n, Det);
            const Eigen::MatrixXd inv = M.inverse();
            for (int i = 1; i <= n; ++i)
                for (int j = 1; j <= n; ++j) EXPECT_NEAR(A[i][j], inv(i - 1, j - 1), 1E-12) << n;
            EXPECT_NEAR(std::fabs(Det), std::fabs(M.determinant()), 1E-12);
        }
    TMatrix4 Z{};
    Z[1][1] = 1;
    double Det = 1;
    GaussJordanInvert(Z, 2, Det);
    EXPECT_EQ(Det, 0.0);
}

}  // namespace
}  // namespace kalvo
