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

struct SolveCase {
    const char* name;
    LgsMatrix input;
    int m, n;
    LgsMatrix reduced;
    LgsUrteil urteil;
};

TEST(Lgs, ReductionAndVerdict) {
    const SolveCase cases[] = {
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
    };
    for (const SolveCase& c : cases) {
        LgsMatrix A = c.input;
        rref(A, c.m, c.n);
        for (int r = 1; r <= c.m; ++r)
            for (int k = 1; k <= c.n; ++k) EXPECT_NEAR(A[r][k], c.reduced[r][k], 1e-14) << c.name << " " << r << "," << k;
        EXPECT_EQ(LgsLoesungsurteil(A, c.m, c.n), c.urteil) << c.name;
    }
}

TEST(Lgs, TinyLeftoversOfTheEliminationBecomeZero) {
    LgsMatrix A = Matrix({{1, 1e-13 + 1, 2}, {1, 1, 2}});
    rref(A, 2, 3);
    EXPECT_EQ(A[2][2], 0.0);
    EXPECT_EQ(A[2][3], 0.0);
}

TEST(Lgs, SevenBySevenHilbertLikeSystemSolves) {
    LgsMatrix A{};
    for (int r = 1; r <= 7; ++r) {
        double b = 0;
        for (int c = 1; c <= 7; ++c) {
            A[r][c] = 1.0 / (r + c - 1) + (r == c ? 1 : 0);
            b += A[r][c] * c;
        }
        A[r][8] = b;
    }
    rref(A, 7, 8);
    ASSERT_EQ(LgsLoesungsurteil(A, 7, 8), LgsUrteil::Eindeutig);
    for (int r = 1; r <= 7; ++r) EXPECT_NEAR(A[r][8], r, 1e-9);
}

TEST(Lgs, FractionTexts) {
    struct Case {
        double x;
        const char* text;
    } cases[] = {
        {2.5, "5/2"}, {1.0 / 3, "1/3"}, {-2.0 / 7, "-2/7"}, {0.30000000000000004, "3/10"}, {3, "3"}, {-2, "-2"},
        {0, "0"}, {1e-13, "1/10000000000000"}, {1.5e-7, "3/20000000"},
        {std::sqrt(2.0), "1,4142135624"}, {1.5e15 + 0.5, "1500000000000000,5"}, {2.0 / 1e9 + 1, "1,000000002"},
        {1e20, "100000000000000000000"}, {-3e18, "-3000000000000000000"}, {123456789.123, "123456789,123"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatBruch(c.x), c.text) << c.x;
    EXPECT_EQ(FormatBruch(std::nan("")), "nicht def.");
}

TEST(Lgs, FractionExpansionAndGcd) {
    double p = 0, q = 0;
    EXPECT_TRUE(FloatToFraction(0.75, p, q));
    EXPECT_EQ(p, 3);
    EXPECT_EQ(q, 4);
    EXPECT_TRUE(FloatToFraction(-1.25, p, q));
    EXPECT_EQ(p, -5);
    EXPECT_EQ(q, 4);
    EXPECT_EQ(IntGcd(12, 18), 6);
    EXPECT_EQ(IntGcd(7, 0), 7);
    EXPECT_EQ(FloatGcd(6e12, 4e12), 2e12);
}

TEST(Lgs, SignificantDigitsWhenFractionsAreOff) {
    EXPECT_EQ(LgsZahltext(1.0 / 3, 4), "0,3333");
    EXPECT_EQ(LgsZahltext(2.5, 0), "2");  // 0 places count as one digit, ties to even
    EXPECT_EQ(LgsZahltext(1234567.0, 5), "1,2346E006");
    EXPECT_EQ(LgsZahltext(0, 4), "0");
}

TEST_F(RegressionTest, HistoryStepsFromTheOldestAndKeepsTwentySlots) {
    LgsMatrix m{};
    EXPECT_FALSE(LgsHistorieNaechste(m));  // nothing stored: nothing to restore
    for (int k = 1; k <= 3; ++k) {
        LgsMatrix in{};
        in[1][1] = k;
        LgsHistorieSpeichern(in);
    }
    std::vector<double> shown;
    for (int k = 0; k < 5; ++k) {
        ASSERT_TRUE(LgsHistorieNaechste(m));
        shown.push_back(m[1][1]);
    }
    EXPECT_EQ(shown, (std::vector<double>{1, 2, 3, 1, 2}));

    for (int k = 4; k <= 21; ++k) {
        LgsMatrix in{};
        in[1][1] = k;
        LgsHistorieSpeichern(in);
    }
    EXPECT_EQ(gRegression.LgsHistorieAnzahl, 20);
    EXPECT_EQ(LgsHistorie[20][1][1], 21);  // the 21st input replaced slot 20
    EXPECT_EQ(LgsHistorie[19][1][1], 19);
    for (int k = 0; k < 60; ++k) {
        ASSERT_TRUE(LgsHistorieNaechste(m));
        EXPECT_GE(gRegression.LgsHistorieIndex, 1);
        EXPECT_LE(gRegression.LgsHistorieIndex, 20);
    }
}

TEST(Lgs, VerdictText) {
    LgsMatrix R = Matrix({{1, 0, 2.5}, {0, 1, -1.0 / 3}});
    EXPECT_EQ(LgsUrteilText(LgsUrteil::Eindeutig, R, 2, 3, FormatBruch), "L = {(5/2; -1/3)}");
    EXPECT_EQ(LgsUrteilText(LgsUrteil::KeineLoesung, R, 2, 3, FormatBruch), "keine Lösung!");
    EXPECT_EQ(LgsUrteilText(LgsUrteil::KeinUrteil, R, 2, 3, FormatBruch), "");
}

}  // namespace
}  // namespace kalvo
