#include "matrices.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>

#include "fmath.h"
#include "numlib_test_support.h"

namespace kalvo {
namespace {

using test::NumlibTest;
using test::RandomMatrix;
using test::Square;

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
        EXPECT_EQ(GaussJordan(rankDeficient, B, lb, ub, Ainv, X), -1);
        EXPECT_EQ(GaussJordan(tiny, B, lb, ub, Ainv, X), -1);
        EXPECT_EQ(GaussJordan(withNaN, B, lb, ub, Ainv, X), -1);
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

}  // namespace
}  // namespace kalvo
