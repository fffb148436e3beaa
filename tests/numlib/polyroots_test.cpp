#include "polyroots.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <vector>

#include "numlib_test_support.h"

namespace kalvo {
namespace {

using test::NumlibTest;

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
