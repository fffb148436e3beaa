#include <cmath>
#include <limits>

#include "fmath.h"
#include "numlib_test_support.h"
#include "optim.h"
#include "stat.h"

namespace kalvo {
namespace {

using test::NumlibTest;

class StatTest : public NumlibTest {};
class OptimTest : public NumlibTest {};

TEST_F(StatTest, SortsOnlyTheGivenRange) {
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> u(-5, 5);  // many equal keys
    for (int n : {0, 1, 2, 3, 10, 200}) {
        TVector x(n + 2);
        for (double& v : x) v = u(rng);
        x.front() = 99;
        x.back() = -99;
        TVector up = x, down = x, expected(x.begin() + 1, x.end() - 1);
        SortAscending(up, 1, n);
        SortDescending(down, 1, n);
        std::sort(expected.begin(), expected.end());
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), up.begin() + 1)) << n;
        EXPECT_TRUE(std::equal(expected.rbegin(), expected.rend(), down.begin() + 1)) << n;
        EXPECT_EQ(up.front(), 99);
        EXPECT_EQ(up.back(), -99);
    }
    TVector sorted(100001);  // already sorted input must not exhaust the stack
    for (size_t i = 0; i < sorted.size(); ++i) sorted[i] = static_cast<double>(i % 7);
    SortAscending(sorted, 0, 100000);
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
}

TEST_F(OptimTest, GoldenSectionFindsTheMinimumBeyondTheFirstBracket) {
    auto f = [](double r) { return (r - 3.0) * (r - 3.0) + 1.0; };
    double xmin = 0, ymin = 0;
    EXPECT_EQ(GoldenSectionSearch(f, 0.0, 1.0, 200, 0.0, xmin, ymin), 0);
    EXPECT_NEAR(xmin, 3.0, 1E-7);  // Tol 0 means sqrt(epsilon)
    EXPECT_NEAR(ymin, 1.0, 1E-14);
    EXPECT_EQ(GoldenSectionSearch(f, 0.0, 1.0, 3, 1E-10, xmin, ymin), -3);
}

// A function that keeps falling expanded the bracket into infinity.
TEST_F(OptimTest, BracketStopsBeforeValuesStopBeingFinite) {
    const TObjective1D falling[] = {
        [](double r) { return -r; },
        [](double r) { return std::exp(-r); },
        [](double r) { return r > 1E6 ? std::nan("") : -r; },
    };
    for (const auto& f : falling) {
        double A = 0, B = 1, C = 0, Fa = 0, Fb = 0, Fc = 0;
        BracketMinimum(f, A, B, C, Fa, Fb, Fc);
        for (double v : {A, B, C, Fa, Fb, Fc}) EXPECT_TRUE(std::isfinite(v));
        EXPECT_LE(A, C);
    }
    double A = 5, B = 0, C = 0, Fa = 0, Fb = 0, Fc = 0;
    BracketMinimum([](double r) { return (r - 2) * (r - 2); }, A, B, C, Fa, Fb, Fc);
    EXPECT_LE(A, 2.0);
    EXPECT_GE(C, 2.0);
    EXPECT_LE(Fb, Fa);
    EXPECT_LE(Fb, Fc);
}

// f(x) = (x1 - 1)^2 + 10 (x2 + 2)^2 with its exact gradient and Hessian.
double Quadratic(const TVector& x) { return (x[1] - 1) * (x[1] - 1) + 10 * (x[2] + 2) * (x[2] + 2); }
void QuadraticHessGrad(const TObjective&, const TVector& x, int, int, TVector& G, TMatrix& H) {
    G[1] = 2 * (x[1] - 1);
    G[2] = 20 * (x[2] + 2);
    H[1][1] = 2;
    H[2][2] = 20;
    H[1][2] = H[2][1] = 0;
}

TEST_F(OptimTest, MarquardtEndsAQuadraticWithTheExactNewtonStep) {
    TVector x = {0, 5, 5};
    TMatrix Hinv = test::Square(2);
    double fmin = 0;
    EXPECT_EQ(Marquardt(Quadratic, QuadraticHessGrad, x, 1, 2, 100, 1E-3, fmin, Hinv), 0);
    EXPECT_NEAR(x[1], 1.0, 1E-12);
    EXPECT_NEAR(x[2], -2.0, 1E-12);
    EXPECT_DOUBLE_EQ(Hinv[2][2], 1.0 / 20);

    x = {0, 5, 5};
    EXPECT_EQ(Marquardt(Quadratic, QuadraticHessGrad, x, 1, 2, 1, 1E-3, fmin, Hinv), -3);
    EXPECT_NE(x[1], 5.0);  // one damped step was taken

    // Started on the exact minimum 0, no step can fall further; that was taken as failure (-2).
    x = {0, 1, -2};
    EXPECT_EQ(Marquardt(Quadratic, QuadraticHessGrad, x, 1, 2, 100, 1E-3, fmin, Hinv), 0);
    EXPECT_EQ(x, (TVector{0, 1, -2}));
}

// A singular first system left F_min at a value never set.
TEST_F(OptimTest, MarquardtWithASingularFirstSystemKeepsTheStart) {
    auto flatHessian = [](const TObjective&, const TVector&, int, int, TVector& G, TMatrix& H) {
        G[1] = G[2] = 1;
        H[1][1] = H[1][2] = H[2][1] = H[2][2] = 0;
    };
    TVector x = {0, 5, 5};
    TMatrix Hinv = test::Square(2);
    double fmin = std::nan("");
    EXPECT_EQ(Marquardt(Quadratic, flatHessian, x, 1, 2, 100, 1E-3, fmin, Hinv), -1);
    EXPECT_EQ(fmin, Quadratic(TVector{0, 5, 5}));
    EXPECT_EQ(x, (TVector{0, 5, 5}));
}

}  // namespace
}  // namespace kalvo
