#include "models.h"

#include <cmath>
#include <functional>
#include <string>

#include "fmath.h"
#include "numlib_test_support.h"

namespace kalvo {
namespace {

using test::NumlibTest;

class ModelsTest : public NumlibTest {};

struct FitResult {
    int code = 0;
    TVector B, Ycalc, S;
    RegressionsStatistik Test;
};

// The fit as the curve-fitting window runs it: bounds +-10000, estimate on,
// at most 100 iterations, tolerance 0.001.
FitResult Fit(int model, TVector opt, TVector& X, TVector& Y, int N) {
    opt.resize(3, 0.0);
    SetFitModel(model, 0, opt);
    const int last = ModelLastParamIndex();
    FitResult r{0, TVector(last + 1), TVector(N + 1), TVector(N + 1), {}};
    TVector VrOut, Bmin(last + 1), Bmax(last + 1);
    AllocVector(VrOut, WeightModeClass(0));
    TMatrix V = test::Square(last);
    for (int i = ModelFirstParamIndex(); i <= last; ++i) Bmin[i] = -10000.0, Bmax[i] = 10000.0;
    FitErrorFlag = false;
    MathErr = 0;
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

// The guard tested y - 1 instead of y: y = 1 was refused, y = 0 divided by zero.
TEST_F(ModelsTest, LogisticEstimateGuardsAgainstZeroNotOne) {
    TVector X = test::OneBased({0, 1, 2, 3, 4}), Y = test::OneBased({0.5, 1.0, 2.0, 3.0, 3.5});
    FitResult r = Fit(10, {0}, X, Y, 5);
    EXPECT_EQ(r.code, 0);
    EXPECT_FALSE(FitErrorFlag);
    EXPECT_NEAR(r.B[1], 3.5, 0);
    // ln(3.5 / 1 - 1) at x = 1
    EXPECT_NEAR(-r.B[2] * 1 + r.B[3], std::log(2.5), 0.2);

    Y = test::OneBased({0.5, 0.0, 2.0, 3.0, 3.5});
    r = Fit(10, {0}, X, Y, 5);
    EXPECT_EQ(r.code, -1);
    EXPECT_TRUE(FitErrorFlag);

    // the largest-x value also at a smaller x: ln 0, clipped
    Y = test::OneBased({0.5, 3.5, 2.0, 3.0, 3.5});
    r = Fit(10, {0}, X, Y, 5);
    EXPECT_TRUE(FitErrorFlag);
}

// Through the origin the centred r^2 compares with a mean the line cannot
// follow: for these data it is 1.051 (> 1), for a line that leaves 1/1460 of
// sum y^2 unexplained. Exact reference (python fractions): m = 1459/730,
// SSE = 1459/730, sum y^2 = 2918, so r^2 = 1 - SSE / sum y^2 = 1459/1460.
TEST_F(ModelsTest, LineThroughTheOriginReportsTheUncentredRSquared) {
    TVector X = test::OneBased({10, 11, 12, 13, 14}), Y = test::OneBased({20, 23, 23, 26, 28});
    FitResult r = Fit(9, {}, X, Y, 5);
    ASSERT_EQ(r.code, 0);
    EXPECT_FALSE(FitErrorFlag);
    EXPECT_NEAR(r.B[0], 1459.0 / 730, 1E-14);
    EXPECT_NEAR(r.Test.RSquared, 1459.0 / 1460, 1E-14);

    // Constant y are fitted too: m = 12/14, r^2 = 1 - SSE/12 = 6/7.
    X = test::OneBased({1, 2, 3}), Y = test::OneBased({2, 2, 2});
    r = Fit(9, {}, X, Y, 3);
    EXPECT_FALSE(FitErrorFlag);
    EXPECT_NEAR(r.Test.RSquared, 6.0 / 7, 1E-14);
}

TEST_F(ModelsTest, FailedEstimateStillFillsFittedValuesAndStatistics) {
    TVector X = test::OneBased({2, 2, 2}), Y = test::OneBased({1, 2, 4});
    const FitResult r = Fit(0, {}, X, Y, 3);
    EXPECT_EQ(r.code, -1);
    EXPECT_EQ(r.Ycalc, TVector(4, 0.0));
    EXPECT_DOUBLE_EQ(r.Test.ResidualVariance, (1 + 4 + 16) / 1.0);
    EXPECT_DOUBLE_EQ(r.S[3], std::sqrt(21.0));
}

TEST_F(ModelsTest, ModelsAreSortedByXAndDropUnusablePoints) {
    // power: pairs with x <= 0 or y <= 0 are left out of the estimate
    TVector X = test::OneBased({0, 1, 2, 4, -1}), Y = test::OneBased({0, 3, 3 * std::sqrt(2.0), 6, 5});
    FitResult r = Fit(7, {}, X, Y, 5);
    EXPECT_EQ(r.code, 0);
    EXPECT_NEAR(r.B[0], 3, 1E-14);
    EXPECT_NEAR(r.B[1], 0.5, 1E-14);

    // bounded growth reorders the caller's pairs
    X = test::OneBased({3, 0, 2, 1, 4});
    Y = test::OneBased({3, 0, 2, 1, 4});
    Fit(5, {}, X, Y, 5);
    EXPECT_EQ(X, test::OneBased({0, 1, 2, 3, 4}));
    EXPECT_EQ(Y, test::OneBased({0, 1, 2, 3, 4}));
}

TEST_F(ModelsTest, UnknownModelsAreRefusedWithoutTouchingTheResults) {
    for (int model : {1, 6, 8, 11, -1, 100}) {
        TVector X = test::OneBased({1, 2, 3}), Y = test::OneBased({1, 2, 3});
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

}  // namespace
}  // namespace kalvo
