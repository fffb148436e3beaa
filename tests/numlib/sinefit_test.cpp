#include "sinefit.h"

#include <Eigen/Dense>
#include <cmath>
#include <tuple>

#include "fmath.h"
#include "numlib_test_support.h"

namespace kalvo {
namespace {

using test::NumlibTest;

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
        {"equal first and last x", TVector(7, 2.0), test::OneBased({1, 2, 3, 4, 5, 6}), 6, true, 0},
        {"constant y", test::OneBased({1, 2, 3, 4, 5, 6}), TVector(7, 4.0), 6, true, 0},
        {"zero amplitude typed", X, Y, 12, false, 0.0},
        {"overflowing start", X, Y, 12, false, 1E300},
        {"too few points", X, Y, 4, true, 0},
        {"not a number", test::OneBased({1, 2, std::nan(""), 4, 5, 6}), test::OneBased({1, 2, 3, 4, 5, 6}), 6, true, 0},
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

TEST_F(SinefitTest, Bestimmtheitsmass) {
    EXPECT_EQ(Bestimmtheitsmass(TVector(6, 4.0), test::OneBased({1, 2, 3, 4, 5}), 5), 0.0);
    EXPECT_DOUBLE_EQ(Bestimmtheitsmass(test::OneBased({1, 2, 4, 5}), test::OneBased({1, 3, 3, 5}), 4), 0.8);
}

}  // namespace
}  // namespace kalvo
