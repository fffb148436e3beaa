#include "lgs.h"

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <tuple>
#include <vector>

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

// Exact references for the solver, independent of its elimination: Cramer's
// rule with determinants expanded along the first row, in 128-bit integers.
__extension__ typedef __int128 Int;

// Expansion along the first row, then along each next row over the columns
// not yet used; a minor is known by those columns, so each is computed once.
Int Det(const std::vector<std::vector<Int>>& a) {
    const size_t n = a.size();
    std::vector<Int> memo(size_t{1} << n);
    std::vector<bool> known(size_t{1} << n);
    std::function<Int(size_t, unsigned)> minor = [&](size_t row, unsigned used) -> Int {
        if (row == n) return 1;
        if (known[used]) return memo[used];
        Int d = 0;
        int sign = 1;
        for (size_t c = 0; c < n; ++c) {
            if (used & (1u << c)) continue;
            if (a[row][c] != 0) d += sign * a[row][c] * minor(row + 1, used | (1u << c));
            sign = -sign;
        }
        known[used] = true;
        return memo[used] = d;
    };
    return minor(0, 0);
}

std::string Digits(Int v) {
    if (v == 0) return "0";
    std::string s;
    for (Int a = v < 0 ? -v : v; a != 0; a /= 10)
        s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(a % 10)));
    return v < 0 ? "-" + s : s;
}

std::string FractionText(Int p, Int q) {
    if (q < 0) p = -p, q = -q;
    Int a = p < 0 ? -p : p, b = q;
    while (b != 0) std::tie(a, b) = std::pair<Int, Int>(b, a % b);
    p /= a;
    q /= a;
    return q == 1 ? Digits(p) : Digits(p) + "/" + Digits(q);
}

// The solution texts of a square integer system (A | b) with det A != 0.
std::vector<std::string> CramerSolution(const std::vector<std::vector<Int>>& ab) {
    const size_t m = ab.size();
    std::vector<std::vector<Int>> a(m, std::vector<Int>(m));
    for (size_t r = 0; r < m; ++r)
        for (size_t c = 0; c < m; ++c) a[r][c] = ab[r][c];
    const Int d = Det(a);
    std::vector<std::string> x;
    for (size_t k = 0; k < m; ++k) {
        auto ak = a;
        for (size_t r = 0; r < m; ++r) ak[r][k] = ab[r][m];
        x.push_back(FractionText(Det(ak), d));
    }
    return x;
}

std::string Verdict(const std::vector<std::string>& x) {
    std::string s = "L = {(";
    for (size_t k = 0; k < x.size(); ++k) s += (k ? "; " : "") + x[k];
    return s + ")}";
}

// The matrix of the window from integer rows, each divided by `scale`.
LgsMatrix Input(const std::vector<std::vector<Int>>& rows, double scale = 1) {
    LgsMatrix A{};
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c) A[r + 1][c + 1] = static_cast<double>(rows[r][c]) / scale;
    return A;
}

// A unique solution is one form: all fractions when it is one. Whole or
// decimal entries make every component a whole number over det A; with five
// or six digits in the denominator the guard of the floating-point fractions
// let some of them through as decimals. Random systems of every size, with
// entries of one, two and four digits (the last need more than 128 bits
// within a step of the elimination), and with decimal entries.
TEST(Lgs, SolutionsOfWholeAndDecimalSystemsAreAllFractions) {
    std::mt19937 rng(7);
    int checked = 0;
    for (int bound : {9, 99, 9999})
        for (int m = 2; m <= kLgsMaxZeilen; ++m)
            for (int k = 0; k < 40; ++k) {
                std::uniform_int_distribution<int> u(-bound, bound);
                std::vector<std::vector<Int>> rows(m, std::vector<Int>(m + 1));
                for (auto& row : rows)
                    for (Int& v : row) v = u(rng);
                std::vector<std::vector<Int>> a(m, std::vector<Int>(m));
                for (int r = 0; r < m; ++r)
                    for (int c = 0; c < m; ++c) a[r][c] = rows[r][c];
                if (Det(a) == 0) continue;
                // Decimals: the same system with rows divided by 10, 100 or 1000.
                const double scale = k % 4 == 3 ? std::pow(10.0, k % 3 + 1) : 1;
                const LgsErgebnis e = LgsLoesen(Input(rows, scale), m, m + 1, true, 4);
                ASSERT_TRUE(e.exakt) << bound << " " << m << " " << k;
                EXPECT_EQ(e.urteil, LgsUrteil::Eindeutig);
                EXPECT_EQ(e.urteilText, Verdict(CramerSolution(rows))) << bound << " " << m << " " << k;
                EXPECT_EQ(e.texte[m][m], "1");
                ++checked;
            }
    EXPECT_GT(checked, 700);
}

// Singular integer systems: a last row that is the sum of the first two
// leaves infinitely many solutions, or none when its b is 1 more. Exactly,
// whatever the rounding of the elimination would make of them.
TEST(Lgs, SingularSystemsAreJudgedExactly) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> u(-99, 99);
    for (int m = 3; m <= kLgsMaxZeilen; ++m)
        for (int k = 0; k < 30; ++k) {
            std::vector<std::vector<Int>> rows(m, std::vector<Int>(m + 1));
            for (int r = 0; r + 1 < m; ++r)
                for (Int& v : rows[r]) v = u(rng);
            for (int c = 0; c <= m; ++c) rows[m - 1][c] = rows[0][c] + rows[1][c];
            const bool none = k % 2 == 1;
            if (none) rows[m - 1][m] += 1;
            const LgsErgebnis e = LgsLoesen(Input(rows), m, m + 1, true, 4);
            ASSERT_TRUE(e.exakt);
            EXPECT_EQ(e.urteil, none ? LgsUrteil::KeineLoesung : LgsUrteil::UnendlichViele) << m << " " << k;
            // The last row reduces to 0 = 0, or to 0 = 1.
            for (int c = 1; c <= m + 1; ++c)
                EXPECT_EQ(e.texte[m][c], none && c == m + 1 ? "1" : "0") << m << " " << k;
        }
    // 1,0000000000001 against 1: the difference 1e-13 is real, the solution unique.
    const LgsErgebnis e = LgsLoesen(Matrix({{1, 1e-13 + 1, 2}, {1, 1, 2}}), 2, 3, true, 4);
    EXPECT_EQ(e.urteilText, "L = {(2; 0)}");
    EXPECT_EQ(e.texte[1][2], "0");
    // A system that is not square gets its exact reduced form.
    const LgsErgebnis r = LgsLoesen(Matrix({{2, 4, 1, 3}, {1, 3, 0, 5}}), 2, 4, true, 4);
    EXPECT_EQ(r.urteil, LgsUrteil::KeinUrteil);
    EXPECT_EQ((std::vector<std::string>{r.texte[1][1], r.texte[1][2], r.texte[1][3], r.texte[1][4], r.texte[2][1],
                                        r.texte[2][2], r.texte[2][3], r.texte[2][4]}),
              (std::vector<std::string>{"1", "0", "3/2", "-11/2", "0", "1", "-1/2", "7/2"}));
}

// Where nothing is known exactly no fraction is guessed that could be wrong:
// entries that are no decimals keep the guard of the floating-point
// fractions (the square root of 2 is none), one component that is no
// fraction makes the whole solution decimals, and decimals too large to
// reduce in 128 bits show as decimals.
TEST(Lgs, WithoutAnExactReductionNoFractionIsGuessed) {
    const double r2 = std::sqrt(2.0);
    const struct {
        const char* what;
        LgsMatrix input;
        int m;
        const char* verdict;
    } cases[] = {
        {"square root of 2", Matrix({{1, 0, r2}, {0, 1, 0.5}}), 2, "L = {(1,4142135624; 0,5)}"},
        {"thirds", Matrix({{3, 0, 1}, {0, 1.0 / 3, 1}}), 2, "L = {(1/3; 3)}"},
        {"thirds and a root", Matrix({{3, 0, 0, 1}, {0, 1.0 / 3, 0, 1}, {0, 0, 1, r2}}), 3,
         "L = {(0,3333333333; 3; 1,4142135624)}"},
        {"fifteen digits", Matrix({{123456789012.345, 234567890123.456, 345678901234.567, 1},
                                   {456789012345.678, 567890123456.789, 678901234567.891, 2},
                                   {789012345678.912, 891234567891.234, 912345678912.345, 3}}),
         3, nullptr},
    };
    for (const auto& c : cases) {
        const LgsErgebnis e = LgsLoesen(c.input, c.m, c.m + 1, true, 4);
        EXPECT_FALSE(e.exakt) << c.what;
        ASSERT_EQ(e.urteil, LgsUrteil::Eindeutig) << c.what;
        if (c.verdict) EXPECT_EQ(e.urteilText, c.verdict) << c.what;
        else EXPECT_EQ(e.urteilText.find('/'), std::string::npos) << e.urteilText;
        for (int r = 1; r <= c.m; ++r) EXPECT_EQ(e.texte[r][r], "1") << c.what;
    }
    // With fractions off the exact values are rounded to the digits asked for.
    const LgsErgebnis e = LgsLoesen(Matrix({{3, 0, 1}, {0, 7, 2}}), 2, 3, false, 3);
    EXPECT_EQ(e.urteilText, "L = {(0,333; 0,286)}");
    EXPECT_EQ(e.werte[2][3], 2.0 / 7);
}

TEST(Lgs, FractionTextsOfExactValues) {
    const Int big = Int{1} << 100;
    const struct { LgsBruch b; const char* text; double value; } cases[] = {
        {{0, 1}, "0", 0}, {{-7, 1}, "-7", -7}, {{-22005, 41822}, "-22005/41822", -22005.0 / 41822},
        {{big + 1, 3}, "1267650600228229401496703205377/3", 4.2255020007607644e29},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(BruchText(c.b), c.text);
        EXPECT_EQ(BruchWert(c.b), c.value) << c.text;
    }
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
