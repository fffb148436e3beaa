#include "lgs.h"

#include <cmath>

#include "analysis_state.h"
#include "regression_test_support.h"

namespace kalvo {
namespace {

using test::RegressionTest;

LgsMatrix Matrix(std::initializer_list<std::initializer_list<double>> rows) {
    LgsMatrix A{};
    size_t r = 1;
    for (const auto& row : rows) {
        size_t c = 1;
        for (double v : row) A[r][c++] = v;
        ++r;
    }
    return A;
}

TEST(Lgs, ReductionAndVerdict) {
    const struct { const char* name; LgsMatrix input; int m, n; LgsMatrix reduced; LgsUrteil urteil; } cases[] = {
        {"unique", Matrix({{2, 4, 6}, {1, -1, 0}}), 2, 3, Matrix({{1, 0, 1}, {0, 1, 1}}), LgsUrteil::Eindeutig},
        {"dependent", Matrix({{1, 1, 1}, {2, 2, 2}}), 2, 3, Matrix({{1, 1, 1}, {0, 0, 0}}), LgsUrteil::UnendlichViele},
        {"inconsistent", Matrix({{1, 1, 1}, {1, 1, 2}}), 2, 3, Matrix({{1, 1, 0}, {0, 0, 1}}), LgsUrteil::KeineLoesung},
        {"negative slope", Matrix({{1, -1, 3}, {2, -2, 6}}), 2, 3, Matrix({{1, -1, 3}, {0, 0, 0}}),
         LgsUrteil::UnendlichViele},
        {"zero pivot swapped", Matrix({{0, 1, 2}, {1, 0, 3}}), 2, 3, Matrix({{1, 0, 3}, {0, 1, 2}}), LgsUrteil::Eindeutig},
        // 49 * (1/49) is not 1 in floating point; the pivot still is.
        {"pivot 49", Matrix({{49, 0, 49}, {0, 1, 2}}), 2, 3, Matrix({{1, 0, 1}, {0, 1, 2}}), LgsUrteil::Eindeutig},
        {"not square", Matrix({{1, 2, 3, 4}, {2, 4, 7, 9}}), 2, 4, Matrix({{1, 2, 0, 1}, {0, 0, 1, 1}}),
         LgsUrteil::KeinUrteil},
        {"all zero", Matrix({{0, 0, 0}, {0, 0, 0}}), 2, 3, Matrix({{0, 0, 0}, {0, 0, 0}}), LgsUrteil::UnendlichViele},
        // Tiny leftovers of the elimination become zero.
        {"leftover 1e-13", Matrix({{1, 1e-13 + 1, 2}, {1, 1, 2}}), 2, 3, Matrix({{1, 1e-13 + 1, 2}, {0, 0, 0}}),
         LgsUrteil::UnendlichViele},
    };
    for (const auto& c : cases) {
        LgsMatrix A = c.input;
        rref(A, c.m, c.n);
        for (int r = 1; r <= c.m; ++r)
            for (int k = 1; k <= c.n; ++k) EXPECT_NEAR(A[r][k], c.reduced[r][k], 1e-14) << c.name << " " << r << "," << k;
        EXPECT_EQ(LgsLoesungsurteil(A, c.m, c.n), c.urteil) << c.name;
    }
    const LgsMatrix R = Matrix({{1, 0, 2.5}, {0, 1, -1.0 / 3}});
    EXPECT_EQ(LgsUrteilText(LgsUrteil::Eindeutig, R, 2, 3, FormatBruch), "L = {(5/2; -1/3)}");
    EXPECT_EQ(LgsUrteilText(LgsUrteil::KeineLoesung, R, 2, 3, FormatBruch), "keine Lösung!");
    EXPECT_EQ(LgsUrteilText(LgsUrteil::KeinUrteil, R, 2, 3, FormatBruch), "");
}

// Solutions that are fractions come out of the elimination with rounding
// noise; the grid and the solution text show the exact fractions. Exact
// solutions by python fractions (Gauss-Jordan over the rationals), up to
// seven unknowns.
TEST(Lgs, SolutionsThatAreFractionsShowAsFractions) {
    const struct {
        std::vector<std::vector<double>> rows;  // (A | b)
        const char* solution;
    } cases[] = {
        {{{1, 1, 17}, {1, -2, 1}}, "L = {(35/3; 16/3)}"},
        {{{1, 3, 15}, {1, 0, 1}}, "L = {(1; 14/3)}"},
        {{{1, -5, 3, -17}, {-8, -7, 8, 12}, {-6, 2, 9, -7}}, "L = {(-2088/373; -140/373; -1651/373)}"},
        {{{2, -6, 8, 7}, {-7, 9, -8, 0}, {-3, 6, 8, 9}}, "L = {(-26/15; -5/9; 107/120)}"},
        {{{-2, 8, 8, 7, -3}, {1, -2, -3, -2, 10}, {3, -2, -3, 7, -4}, {6, 2, -9, -9, -8}},
         "L = {(-1093/25; 2941/200; -663/20; 204/25)}"},
        {{{2, 5, 2, 2, -15}, {-7, -2, -6, -2, -13}, {6, -3, 1, -3, 4}, {6, -9, 6, 2, -8}},
         "L = {(-1338/73; 261/73; 9517/292; -8965/292)}"},
        {{{-4, 5, 5, -1, 9, -14}, {-2, -5, 1, 5, -2, -10}, {7, -3, -1, 0, -5, -14}, {-5, -2, 1, 7, 2, -8},
          {-4, -2, 1, -3, -1, 4}},
         "L = {(-2020/109; 7586/109; 5708/109; 2132/109; -8216/109)}"},
        {{{3, 1, -4, 3, -7, 3, 6}, {2, 7, 6, 8, -8, -3, 13}, {0, 3, -7, -1, -1, -3, -19}, {2, -8, -6, 7, 8, -9, -6},
          {7, 1, 1, 5, -3, -2, -19}, {9, 0, 9, -6, 1, 6, -9}},
         "L = {(-91243/188; -1368591/188; 408159/188; -1186093/188; -393987/47; -1399091/188)}"},
        {{{6, -7, 9, 0, -7, -2, 1, 19}, {9, -4, 3, -4, 6, -7, 5, 7}, {-2, 4, -3, 1, 0, 6, -8, 5},
          {-4, 5, 7, 5, -9, -2, -1, 4}, {-2, 6, -4, 0, 2, 4, -7, 9}, {3, 9, 2, 7, 4, 0, -5, -19},
          {-5, 8, 9, 4, 1, -6, -1, -4}},
         "L = {(105349/133; 356382/133; 337172/133; -43877/19; 7734/19; 621931/133; 453387/133)}"},
    };
    for (const auto& c : cases) {
        const int m = static_cast<int>(c.rows.size()), n = m + 1;
        LgsMatrix A{};
        for (int r = 1; r <= m; ++r)
            for (int k = 1; k <= n; ++k) A[r][k] = c.rows[r - 1][k - 1];
        rref(A, m, n);
        ASSERT_EQ(LgsLoesungsurteil(A, m, n), LgsUrteil::Eindeutig) << c.solution;
        EXPECT_EQ(LgsUrteilText(LgsUrteil::Eindeutig, A, m, n, FormatBruch), c.solution);
        // The grid shows the same texts, and the unit matrix as whole numbers.
        std::string column = "L = {(";
        for (int r = 1; r <= m; ++r) {
            for (int k = 1; k < n; ++k) EXPECT_EQ(FormatBruch(A[r][k]), r == k ? "1" : "0") << c.solution;
            column += (r > 1 ? "; " : "") + FormatBruch(A[r][n]);
        }
        EXPECT_EQ(column + ")}", c.solution);
    }
}

// A value takes the fraction within its tolerance only where no other fraction
// of its kind lies as close: near-equal values stay apart, numbers that are
// no fractions stay decimals.
TEST(Lgs, FractionTexts) {
    const struct { double x; const char* text; } cases[] = {
        {35.0 / 3 + 2e-15, "35/3"}, {100.0 / 299, "100/299"}, {1.0 / 3 + 1e-9, "0,3333333343"},
        {100.0 / 299 + 1e-10, "0,3344481606"}, {2000001.0 / 6000000, "0,3333335"},
        {1e5 / 3 + 1e-6, "33333,3333343333"}, {std::acos(-1.0), "3,1415926536"}, {std::nan(""), "nicht def."},
        {2.5, "5/2"}, {1.0 / 3, "1/3"}, {-2.0 / 7, "-2/7"}, {0.30000000000000004, "3/10"}, {3, "3"}, {-2, "-2"},
        {0, "0"}, {1e-13, "1E-13"}, {-2e-11, "-2E-11"}, {1.5e-7, "0,00000015"}, {0.999999999999999, "1"},
        {std::sqrt(2.0), "1,4142135624"}, {1.5e15 + 0.5, "1500000000000000,5"}, {2.0 / 1e9 + 1, "1,000000002"},
        {1e20, "100000000000000000000"}, {-3e18, "-3000000000000000000"}, {123456789.123, "123456789,123"},
    };
    for (const auto& c : cases) EXPECT_EQ(FormatBruch(c.x), c.text) << c.x;
    // With fractions off: significant digits.
    EXPECT_EQ(LgsZahltext(1.0 / 3, 4), "0,3333");
    EXPECT_EQ(LgsZahltext(2.5, 0), "2");  // 0 places count as one digit, ties to even
    EXPECT_EQ(LgsZahltext(1234567.0, 5), "1,2346E006");
    EXPECT_EQ(LgsZahltext(0, 4), "0");
}

TEST_F(RegressionTest, HistoryStepsFromTheOldestAndKeepsTheTwentyNewest) {
    LgsMatrix m{};
    EXPECT_FALSE(LgsHistorieNaechste(m));  // nothing stored: nothing to restore
    auto store = [](int k) {
        LgsMatrix in{};
        in[1][1] = k;
        LgsHistorieSpeichern(in);
    };
    auto restore = [&m](int times) {
        std::vector<double> shown;
        for (int k = 0; k < times; ++k) {
            EXPECT_TRUE(LgsHistorieNaechste(m));
            shown.push_back(m[1][1]);
        }
        return shown;
    };
    for (int k = 1; k <= 3; ++k) store(k);
    EXPECT_EQ(restore(5), (std::vector<double>{1, 2, 3, 1, 2}));

    // 25 inputs: the newest 20 (6..25) are kept in order, each one restorable,
    // the newest included; the restore goes on where it was.
    gRegression.LgsHistorieIndex = 1;
    for (int k = 4; k <= 25; ++k) store(k);
    EXPECT_EQ(LgsHistorieGespeichert(), 20);
    std::vector<double> newest;
    for (int k = 6; k <= 25; ++k) newest.push_back(k);
    EXPECT_EQ(restore(20), newest);
    EXPECT_EQ(restore(2), (std::vector<double>{6, 7}));
    store(26);  // drops 6; the next restore still shows 8
    EXPECT_EQ(restore(1), (std::vector<double>{8}));
    EXPECT_EQ(LgsHistorie[20][1][1], 26);
    EXPECT_EQ(LgsHistorie[1][1][1], 7);
}

}  // namespace
}  // namespace kalvo

namespace kalvo {
namespace {

// Beyond the range of 32-bit integers the divisor is found in floating point.
TEST(Lgs, GcdOfLargeWholeNumbers) { EXPECT_EQ(FloatGcd(6e12, 4e12), 2e12); }

}  // namespace
}  // namespace kalvo
