#pragma once
// Helpers shared by the tests of the numerical library.

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <random>

#include <gtest/gtest.h>

#include "matrices.h"
#include "numlib_state.h"

namespace kalvo::test {

// Every test starts from the library's start-up state.
class NumlibTest : public ::testing::Test {
protected:
    void SetUp() override { ResetNumlibState(); }
    void TearDown() override { ResetNumlibState(); }
};

// A vector with the values at 1..n (index 0 unused), as the data points are kept.
inline TVector OneBased(std::initializer_list<double> values) {
    TVector v{0.0};
    v.insert(v.end(), values);
    return v;
}

// Number of agreeing significant digits (log relative error), capped at 15.
inline double Digits(double value, double certified) {
    if (value == certified) return 15.0;
    const double rel = certified == 0.0 ? std::fabs(value) : std::fabs(value - certified) / std::fabs(certified);
    return std::min(15.0, -std::log10(rel));
}

// A matrix with rows and columns lb..ub (0..ub allocated).
inline TMatrix Square(int ub) {
    TMatrix A;
    AllocMatrix(A, ub, ub);
    return A;
}

inline TMatrix RandomMatrix(std::mt19937& rng, int rows, int cols, int lb) {
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    TMatrix A;
    AllocMatrix(A, lb + rows - 1, lb + cols - 1);
    for (int i = lb; i < lb + rows; ++i)
        for (int j = lb; j < lb + cols; ++j) A[i][j] = u(rng);
    return A;
}

}  // namespace kalvo::test
