// The building blocks of the library: the guarded functions, linear systems
// and singular value decomposition against Eigen, sorting, one-dimensional and
// Marquardt minimisation, and the roots of polynomials.

#include <Eigen/Dense>
#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "fmath.h"
#include "matrices.h"
#include "numlib_test_support.h"
#include "optim.h"
#include "polyroots.h"
#include "stat.h"

namespace kalvo {
namespace {

using test::NumlibTest;
using test::RandomMatrix;
using test::Square;

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

class MatricesTest : public NumlibTest {};

Eigen::MatrixXd ToEigen(const TMatrix& A, int lb, int ub1, int ub2) {
    Eigen::MatrixXd M(ub1 - lb + 1, ub2 - lb + 1);
    for (int i = lb; i <= ub1; ++i)
        for (int j = lb; j <= ub2; ++j) M(i - lb, j - lb) = A[i][j];
    return M;
}

Eigen::VectorXd ToEigen(const TVector& v, int lb, int ub) {
    Eigen::VectorXd e(ub - lb + 1);
    for (int i = lb; i <= ub; ++i) e(i - lb) = v[i];
    return e;
}

// The solution and the unscrambled inverse, whatever the pivots, and A and B
// as they were.
TEST_F(MatricesTest, GaussJordanAgreesWithFullPivLUOnRandomSystems) {
    std::mt19937 rng(7);
    for (int lb : {0, 1})
        for (int n : {1, 2, 3, 5, 10, 25}) {
            const int ub = lb + n - 1;
            TMatrix A = RandomMatrix(rng, n, n, lb), Ainv = Square(ub);
            TVector B = RandomMatrix(rng, 1, n, lb)[lb], X(ub + 1, 0.0);
            const TMatrix A0 = A;
            const TVector B0 = B;
            ASSERT_EQ(GaussJordan(A, B, lb, ub, Ainv, X), 0) << n;
            EXPECT_TRUE(A == A0 && B == B0) << n;
            const Eigen::MatrixXd Ae = ToEigen(A, lb, ub, ub);
            Eigen::FullPivLU<Eigen::MatrixXd> lu(Ae);
            const Eigen::VectorXd xe = lu.solve(ToEigen(B, lb, ub));
            const double cond = Ae.norm() * lu.inverse().norm();
            EXPECT_LT((ToEigen(X, lb, ub) - xe).norm(), 1E-13 * cond * xe.norm()) << n;
            EXPECT_LT((ToEigen(Ainv, lb, ub, ub) - lu.inverse()).norm(), 1E-13 * cond * cond) << n;
            if (lb == 1) {
                EXPECT_EQ(X[0], 0.0) << "nothing below the lower bound is written";
            }
        }
}

TEST_F(MatricesTest, GaussJordanReportsSingularAndTinyMatrices) {
    std::mt19937 rng(11);
    const int n = 6;
    for (int lb : {0, 1}) {
        const int ub = lb + n - 1;
        TMatrix Ainv = Square(ub), rankDeficient = RandomMatrix(rng, n, n, lb);
        for (int j = lb; j <= ub; ++j)  // last row the sum of the first two
            rankDeficient[ub][j] = rankDeficient[lb][j] + rankDeficient[lb + 1][j];
        TMatrix tiny = RandomMatrix(rng, n, n, lb);  // invertible, but every element below epsilon
        for (auto& row : tiny)
            for (double& v : row) v *= 1E-17;
        TMatrix withNaN = RandomMatrix(rng, n, n, lb);
        withNaN[lb + 2][lb + 3] = std::nan("");
        TMatrix nearlySingular = Square(lb + 1);
        nearlySingular[lb][lb] = nearlySingular[lb][lb + 1] = nearlySingular[lb + 1][lb] = 1.0;
        nearlySingular[lb + 1][lb + 1] = 1.0 + 1E-17;  // rounds to 1: the pivot left is 0

        TVector B(ub + 1, 1.0), X(ub + 1, 0.0);
        for (const TMatrix* A : {&rankDeficient, &tiny, &withNaN}) EXPECT_EQ(GaussJordan(*A, B, lb, ub, Ainv, X), -1);
        EXPECT_EQ(GaussJordan(nearlySingular, B, lb, lb + 1, Ainv, X), -1);

        // Ill-conditioned but above the bound: solved, close to the oracle.
        nearlySingular[lb + 1][lb + 1] = 1.0 + 1E-9;
        B[lb] = 2.0;
        B[lb + 1] = 2.0 + 1E-9;  // solution (1, 1)
        ASSERT_EQ(GaussJordan(nearlySingular, B, lb, lb + 1, Ainv, X), 0);
        EXPECT_NEAR(X[lb], 1.0, 1E-6);
        EXPECT_NEAR(X[lb + 1], 1.0, 1E-6);
    }
}

// U diag(S) V^T must give A back, with orthonormal U and V and the singular values of the oracle.
void CheckDecomposition(const TMatrix& A0, const TMatrix& U, const TVector& S, const TMatrix& V,
                        int lb, int ub1, int ub2) {
    const Eigen::MatrixXd Ae = ToEigen(A0, lb, ub1, ub2);
    const Eigen::MatrixXd Ue = ToEigen(U, lb, ub1, ub2), Ve = ToEigen(V, lb, ub2, ub2);
    const Eigen::VectorXd Se = ToEigen(S, lb, ub2);
    const double scale = std::max(1.0, Ae.norm());
    EXPECT_LT((Ue * Se.asDiagonal() * Ve.transpose() - Ae).norm(), 1E-13 * scale);
    const auto n = Se.size();
    EXPECT_LT((Ue.transpose() * Ue - Eigen::MatrixXd::Identity(n, n)).norm(), 1E-13);
    EXPECT_LT((Ve.transpose() * Ve - Eigen::MatrixXd::Identity(n, n)).norm(), 1E-13);
    EXPECT_GE(Se.minCoeff(), 0.0);
    Eigen::VectorXd sorted = Se;
    std::sort(sorted.data(), sorted.data() + n, std::greater<double>());
    Eigen::JacobiSVD<Eigen::MatrixXd> svd(Ae);
    EXPECT_LT((sorted - svd.singularValues()).norm(), 1E-13 * scale);
}

TEST_F(MatricesTest, SVDecompAgreesWithJacobiSVD) {
    std::mt19937 rng(3);
    const std::pair<int, int> shapes[] = {{1, 1}, {3, 3}, {5, 2}, {8, 8}, {40, 6}, {30, 30}};
    for (int lb : {0, 1})
        for (auto [rows, cols] : shapes) {
            const int ub1 = lb + rows - 1, ub2 = lb + cols - 1;
            TMatrix A = RandomMatrix(rng, rows, cols, lb), V = Square(ub2);
            if (cols >= 3)  // make it rank deficient: one column a combination of two others
                for (int i = lb; i <= ub1; ++i) A[i][ub2] = A[i][lb] - 2.0 * A[i][lb + 1];
            const TMatrix A0 = A;
            TVector S(ub2 + 1);
            ASSERT_EQ(SVDecomp(A, lb, ub1, ub2, S, V), 0) << rows << "x" << cols;
            CheckDecomposition(A0, A, S, V, lb, ub1, ub2);
        }
}

TEST_F(MatricesTest, SVDecompOfADiagonalMatrixWithANegativeEntry) {
    const TMatrix A0 = {{2, 0, 0}, {0, -3, 0}, {0, 0, 0.5}};
    TMatrix A = A0, V = Square(2);
    TVector S(3);
    ASSERT_EQ(SVDecomp(A, 0, 2, 2, S, V), 0);
    EXPECT_EQ(S, (TVector{2.0, 3.0, 0.5}));  // in place, the sign moved into U or V
    CheckDecomposition(A0, A, S, V, 0, 2, 2);
}

// The reduction read rows that do not exist when there were fewer rows than columns.
TEST_F(MatricesTest, SVDecompRefusesFewerRowsThanColumns) {
    std::mt19937 rng(5);
    for (int lb : {0, 1}) {
        TMatrix A = RandomMatrix(rng, 2, 4, lb), V = Square(lb + 3);
        TVector S(lb + 4);
        EXPECT_EQ(SVDecomp(A, lb, lb + 1, lb + 3, S, V), -1);
    }
}

TEST_F(MatricesTest, SVSolveGivesTheMinimumNormLeastSquaresSolution) {
    std::mt19937 rng(9);
    for (int lb : {0, 1}) {
        const int rows = 12, cols = 4, ub1 = lb + rows - 1, ub2 = lb + cols - 1;
        TMatrix A = RandomMatrix(rng, rows, cols, lb), V = Square(ub2);
        for (int i = lb; i <= ub1; ++i) A[i][lb + 2] = A[i][lb + 1];  // two equal columns
        const TVector b = RandomMatrix(rng, 1, rows, lb)[lb];
        const Eigen::MatrixXd Ae = ToEigen(A, lb, ub1, ub2);
        TVector S(ub2 + 1), X(ub2 + 1);
        ASSERT_EQ(SVDecomp(A, lb, ub1, ub2, S, V), 0);
        SVZeroSmall(S, lb, ub2, 1E-12);
        EXPECT_EQ(std::count(S.begin() + lb, S.end(), 0.0), 1);
        SVSolve(A, S, V, b, lb, ub1, ub2, X);
        const Eigen::VectorXd expected =
            Ae.completeOrthogonalDecomposition().solve(ToEigen(b, lb, ub1));
        EXPECT_LT((ToEigen(X, lb, ub2) - expected).norm(), 1E-12);
        EXPECT_NEAR(X[lb + 1], X[lb + 2], 1E-12);
    }
}

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
        EXPECT_EQ(std::pair(up.front(), up.back()), std::pair(99.0, -99.0));  // outside the range
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
    EXPECT_TRUE(A <= 2 && 2 <= C) << A << ".." << C;
    EXPECT_TRUE(Fb <= Fa && Fb <= Fc);
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

TEST_F(OptimTest, MarquardtEndsAQuadraticWithTheExactNewtonStepAndKeepsASingularStart) {
    TVector x = {0, 5, 5};
    TMatrix Hinv = Square(2);
    double fmin = 0;
    EXPECT_EQ(Marquardt(Quadratic, QuadraticHessGrad, x, 1, 2, 100, 1E-3, fmin, Hinv), 0);
    EXPECT_LT(std::hypot(x[1] - 1, x[2] + 2), 1E-12);
    EXPECT_DOUBLE_EQ(Hinv[2][2], 1.0 / 20);

    x = {0, 5, 5};
    EXPECT_EQ(Marquardt(Quadratic, QuadraticHessGrad, x, 1, 2, 1, 1E-3, fmin, Hinv), -3);
    EXPECT_NE(x[1], 5.0);  // one damped step was taken

    // Started on the exact minimum 0, no step can fall further; that was taken as failure (-2).
    x = {0, 1, -2};
    EXPECT_EQ(Marquardt(Quadratic, QuadraticHessGrad, x, 1, 2, 100, 1E-3, fmin, Hinv), 0);
    EXPECT_EQ(x, (TVector{0, 1, -2}));

    // A singular first system left F_min at a value never set.
    auto flatHessian = [](const TObjective&, const TVector&, int, int, TVector& G, TMatrix& H) {
        G[1] = G[2] = 1;
        H[1][1] = H[1][2] = H[2][1] = H[2][2] = 0;
    };
    x = {0, 5, 5};
    fmin = std::nan("");
    EXPECT_EQ(Marquardt(Quadratic, flatHessian, x, 1, 2, 100, 1E-3, fmin, Hinv), -1);
    EXPECT_EQ(fmin, Quadratic(TVector{0, 5, 5}));
    EXPECT_EQ(x, (TVector{0, 5, 5}));
}

class PolyRootsTest : public NumlibTest {};

// Coefficients C[0..] of the product of (z - r) over the given roots.
TVector FromRoots(std::initializer_list<double> roots) {
    TVector c = {1.0};
    for (double r : roots) {
        TVector next(c.size() + 1, 0.0);
        for (size_t k = 0; k < c.size(); ++k) {
            next[k + 1] += c[k];
            next[k] -= r * c[k];
        }
        c = next;
    }
    return c;
}

TEST_F(PolyRootsTest, RealRootsAscending) {
    const struct {
        const char* what;
        TVector c;
        std::vector<double> roots;
        double tol;
    } cases[] = {
        {"2 + z", {2, 1}, {-2}, 0},
        {"z^2 + 1", {1, 0, 1}, {}, 0},
        {"z^2 - 3z + 2", {2, -3, 1}, {1, 2}, 1E-15},
        {"z^3 - 1", {-1, 0, 0, 1}, {1}, 1E-15},
        {"three real roots", FromRoots({-1.5, 0.25, 4}), {-1.5, 0.25, 4}, 1E-14},
        {"z^4 - 5z^2 + 4", {4, 0, -5, 0, 1}, {-2, -1, 1, 2}, 1E-14},
        {"degree 5", FromRoots({5, -3, 1, 2.5, -0.5}), {-3, -0.5, 1, 2.5, 5}, 1E-12},
        {"complex pair among reals", {6, -5, 7, -5, 1}, {2, 3}, 1E-13},  // (z^2+1)(z-2)(z-3)
        {"leading zero coefficient", {-6, 3, 0}, {2}, 0},
        // These gave NaN or lost roots:
        {"z^2, double root 0", {0, 0, 1}, {0, 0}, 0},
        {"3 z^2", {0, 0, 3}, {0, 0}, 0},
        {"triple root 1", {-1, 3, -3, 1}, {1, 1, 1}, 1E-15},
        {"triple root 0.1", FromRoots({0.1, 0.1, 0.1}), {0.1, 0.1, 0.1}, 1E-15},
        {"double root, argument past 1", FromRoots({0.1, 0.1, -2.5}), {-2.5, 0.1, 0.1}, 1E-7},
        {"double root, argument at -1", FromRoots({-0.1, -0.1, 2.5}), {-0.1, -0.1, 2.5}, 1E-7},
    };
    for (const auto& c : cases) {
        MathErr = 0;
        const int deg = static_cast<int>(c.c.size()) - 1;
        TVector roots(deg + 1, -99.0);
        const int n = PolyRoots(c.c, deg, roots);
        ASSERT_EQ(n, static_cast<int>(c.roots.size())) << c.what;
        for (int i = 0; i < n; ++i) EXPECT_NEAR(roots[i + 1], c.roots[i], c.tol) << c.what << " root " << i + 1;
        EXPECT_EQ(MathErr, 0) << c.what;
    }
}

TEST_F(PolyRootsTest, CompanionEigenvaluesAgreeWithEigenSolver) {
    std::mt19937 rng(2);
    std::uniform_real_distribution<double> u(-3.0, 3.0);
    for (int deg : {4, 5, 8, 12}) {
        TVector c(deg + 1);
        for (double& v : c) v = u(rng);
        Eigen::MatrixXd companion = Eigen::MatrixXd::Zero(deg, deg);
        for (int j = 0; j < deg; ++j) companion(0, j) = -c[deg - 1 - j] / c[deg];
        for (int i = 0; i + 1 < deg; ++i) companion(i + 1, i) = 1.0;
        Eigen::VectorXcd expected = Eigen::EigenSolver<Eigen::MatrixXd>(companion, false).eigenvalues();
        TVector wr, wi;
        ASSERT_EQ(CompanionRoots(c, deg, wr, wi), 0) << deg;
        for (int i = 1; i < deg; ++i) EXPECT_LE(wr[i], wr[i + 1]);
        // every eigenvalue found matches one of the oracle's
        for (int i = 1; i <= deg; ++i) {
            double best = 1E300;
            for (int k = 0; k < deg; ++k)
                best = std::min(best, std::abs(expected[k] - std::complex<double>(wr[i], wi[i])));
            EXPECT_LT(best, 1E-9) << deg << " eigenvalue " << i;
        }
    }
}

}  // namespace
}  // namespace kalvo
