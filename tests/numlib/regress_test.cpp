#include "regress.h"

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "numlib_test_support.h"

namespace kalvo {
namespace {

using test::Digits;
using test::NumlibTest;
using test::OneBased;

class RegressTest : public NumlibTest {};

// A NIST StRD data set: observations in 1..N and the certified values by name.
struct NistData {
    TVector x{0.0}, y{0.0};
    int n = 0;
    std::map<std::string, double> certified;  // "B0", "sd B0", ..., "residual_sd", "r_squared"
};

NistData ReadNist(const std::string& name) {
    NistData d;
    std::ifstream in(std::string(KALVO_TEST_DATA_DIR) + "/nist/" + name);
    EXPECT_TRUE(in.good()) << name;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("# certified:", 0) == 0) {
            std::istringstream ss(line.substr(12));
            std::string key, word;
            ss >> key;
            if (key.back() == '=') {
                key.pop_back();
                ss >> d.certified[key];
            } else {
                while (ss >> word) {
                    if (word == "estimate=") ss >> d.certified[key];
                    if (word == "sd=") ss >> d.certified["sd " + key];
                }
            }
        } else if (!line.empty() && line[0] != '#') {
            std::istringstream ss(line);
            double yv, xv;
            if (ss >> yv >> xv) {
                d.y.push_back(yv);
                d.x.push_back(xv);
                ++d.n;
            }
        }
    }
    return d;
}

// Fitted values, statistics and digits reached against every certified value.
std::map<std::string, double> DigitsReached(const NistData& d, const TVector& B, const TMatrix& V,
                                            int deg) {
    TVector ycalc(d.n + 1);
    for (int i = 1; i <= d.n; ++i) ycalc[i] = PolyValue(B, deg, d.x[i]);
    RegressionsStatistik test;
    RegressionTest(d.y, ycalc, d.n, 0, deg, V, test);
    std::map<std::string, double> digits;
    for (int j = 0; j <= deg; ++j) {
        const std::string k = "B" + std::to_string(j);
        digits[k] = Digits(B[j], d.certified.at(k));
        digits["sd " + k] = Digits(std::sqrt(test.ResidualVariance * V[j][j]), d.certified.at("sd " + k));
    }
    digits["residual_sd"] = Digits(std::sqrt(test.ResidualVariance), d.certified.at("residual_sd"));
    digits["r_squared"] = Digits(test.RSquared, d.certified.at("r_squared"));
    return digits;
}

void ExpectDigits(const std::map<std::string, double>& digits, double atLeast, const char* name) {
    std::ostringstream report;
    for (const auto& [key, value] : digits) {
        report << key << " " << std::round(value * 10) / 10 << "; ";
        EXPECT_GE(value, atLeast) << name << ": " << key;
    }
    ::testing::Test::RecordProperty(name, report.str());
    std::cout << "[ digits   ] " << name << ": " << report.str() << "\n";
}

// At least 9 digits on Norris and 6 on Pontius are needed; the bounds below
// are what the fits reach, less a margin, so that a lost digit shows.
TEST_F(RegressTest, NorrisStraightLineToCertifiedDigits) {
    const NistData d = ReadNist("Norris.txt");
    ASSERT_EQ(d.n, 36);
    TVector B(2);
    TMatrix V;
    AllocMatrix(V, 1, 1);
    ASSERT_EQ(LineFit(d.x, d.y, d.n, B, V), 0);
    ExpectDigits(DigitsReached(d, B, V, 1), 12.0, "Norris LineFit");

    AllocMatrix(V, 1, 1);
    ASSERT_EQ(PolyFit(d.x, d.y, d.n, 1, B, V), 0);
    ExpectDigits(DigitsReached(d, B, V, 1), 12.0, "Norris PolyFit");
}

TEST_F(RegressTest, PontiusQuadraticToCertifiedDigits) {
    const NistData d = ReadNist("Pontius.txt");
    ASSERT_EQ(d.n, 40);
    TVector B(3);
    TMatrix V;
    AllocMatrix(V, 2, 2);
    ASSERT_EQ(PolyFit(d.x, d.y, d.n, 2, B, V), 0);
    ExpectDigits(DigitsReached(d, B, V, 2), 11.0, "Pontius PolyFit");
}

TEST_F(RegressTest, LineThroughTwoPoints) {
    const TVector x = OneBased({1, 3}), y = OneBased({2, 6});
    TVector B(2);
    TMatrix V;
    AllocMatrix(V, 1, 1);
    ASSERT_EQ(LineFit(x, y, 2, B, V), 0);
    EXPECT_DOUBLE_EQ(B[0], 0.0 + 0.0);
    EXPECT_DOUBLE_EQ(B[1], 2.0);
    EXPECT_DOUBLE_EQ(V[1][1], 2.0 / (2 * 10 - 16));  // n / D
}

// x far from 0 against their spread (time stamps, years in days): the raw
// sums n Sxx - Sx^2 cancelled all but a few digits. Exact lines, exact answers.
TEST_F(RegressTest, LinesFarFromTheOriginComeOutExact) {
    const struct {
        double x0, dx, b0, b1;
    } cases[] = {{1e6, 1, 1, 2}, {1e8, 1, 1, 2}, {1.7e9, 60, -3, 0.5}, {-2e7, 0.25, 7, -4}, {2000, 1, 12, 3}};
    for (const auto& c : cases) {
        TVector x(7), y(7), B(2);
        for (int i = 1; i <= 6; ++i) {
            x[i] = c.x0 + (i - 1) * c.dx;
            y[i] = c.b0 + c.b1 * x[i];  // exact in double for these values
        }
        TMatrix V;
        AllocMatrix(V, 1, 1);
        ASSERT_EQ(LineFit(x, y, 6, B, V), 0);
        EXPECT_NEAR(B[1], c.b1, 1e-14 * std::fabs(c.b1)) << c.x0;
        // The intercept lies far outside the data: its error is that of the slope times x.
        EXPECT_NEAR(B[0], c.b0, 1e-14 * (std::fabs(c.b0) + std::fabs(c.b1 * c.x0))) << c.x0;
        EXPECT_NEAR(V[1][1], 1 / (17.5 * c.dx * c.dx), 1e-12 * V[1][1]) << c.x0;  // 1 / sum (x - mean)^2
    }
}

// Rounding left D = n Sxx - Sx^2 slightly positive for x = 0.1 five times.
TEST_F(RegressTest, DegenerateLinesAreRefused) {
    const struct {
        const char* what;
        TVector x;
        int n;
    } cases[] = {
        {"0.1 five times", OneBased({0.1, 0.1, 0.1, 0.1, 0.1}), 5},
        {"one point", OneBased({2.0}), 1},
        {"no point", OneBased({}), 0},
        {"all x equal, larger", OneBased({1e8 + 0.3, 1e8 + 0.3, 1e8 + 0.3}), 3},
    };
    for (const auto& c : cases) {
        TVector y(c.x.size(), 1.0), B = {7, 7};
        TMatrix V;
        AllocMatrix(V, 1, 1);
        EXPECT_EQ(LineFit(c.x, y, c.n, B, V), -1) << c.what;
        EXPECT_EQ(B, (TVector{7, 7})) << c.what;
    }
    TVector B(1);
    TMatrix V;
    EXPECT_EQ(ProportionalFit(OneBased({0, 0}), OneBased({1, 2}), 2, B, V), -1);
    EXPECT_EQ(ProportionalFit(OneBased({1, 2}), OneBased({3, 6}), 2, B, V), 0);
    EXPECT_DOUBLE_EQ(B[0], 3.0);
}

TEST_F(RegressTest, CubicThroughFourPointsOnBothSolvers) {
    const TVector x = OneBased({-1, 0.5, 2, 3});
    TVector y(5);
    for (int i = 1; i <= 4; ++i) y[i] = 1 - 2 * x[i] + 0.5 * x[i] * x[i] * x[i];
    for (uint8_t method : {0, 1}) {
        FitMethod = method;
        TVector B(4);
        TMatrix V;
        AllocMatrix(V, 3, 3);
        ASSERT_EQ(PolyFit(x, y, 4, 3, B, V), 0);
        for (int i = 1; i <= 4; ++i) EXPECT_NEAR(PolyValue(B, 3, x[i]), y[i], 1E-12);
        EXPECT_NEAR(B[2], 0.0, 1E-12);
    }
}

TEST_F(RegressTest, IdenticalRegressorsSplitOnSVDAndFailOnNormalEquations) {
    const int n = 6;
    TMatrix X;
    AllocMatrix(X, 2, n);
    TVector y(n + 1);
    for (int i = 1; i <= n; ++i) {
        X[1][i] = X[2][i] = i;
        y[i] = 1 + 4.0 * i;
    }
    TVector B(3);
    TMatrix V;
    AllocMatrix(V, 2, 2);
    FitMethod = 1;
    ASSERT_EQ(MultiFit(X, y, n, true, 2, B, V), 0);
    EXPECT_NEAR(B[0], 1.0, 1E-12);
    EXPECT_NEAR(B[1], 2.0, 1E-12);  // the minimum-norm split of the slope 4
    EXPECT_NEAR(B[2], 2.0, 1E-12);
    FitMethod = 0;
    EXPECT_EQ(MultiFit(X, y, n, true, 2, B, V), -1);
}

TEST_F(RegressTest, IntegerWeightsActAsRepeatedPoints) {
    const TVector x = OneBased({0, 1, 2, 4}), y = OneBased({1, 2.5, 2.7, 6}), w = OneBased({1, 3, 1, 2});
    const TVector xr = OneBased({0, 1, 1, 1, 2, 4, 4}), yr = OneBased({1, 2.5, 2.5, 2.5, 2.7, 6, 6});
    for (uint8_t method : {0, 1}) {
        FitMethod = method;
        TVector Bw(3), Br(3);
        TMatrix Vw, Vr;
        AllocMatrix(Vw, 2, 2);
        AllocMatrix(Vr, 2, 2);
        ASSERT_EQ(PolyFitWeighted(true, x, y, 4, 2, w, Bw, Vw), 0);
        ASSERT_EQ(PolyFit(xr, yr, 7, 2, Br, Vr), 0);
        for (int j = 0; j <= 2; ++j) {
            EXPECT_NEAR(Bw[j], Br[j], 1E-12);
            EXPECT_NEAR(Vw[j][j], Vr[j][j], 1E-12);
        }
    }
}

TEST_F(RegressTest, TooFewPointsForTheParametersAreRefused) {
    TVector B(4);
    TMatrix V;
    AllocMatrix(V, 3, 3);
    EXPECT_EQ(PolyFit(OneBased({1, 2}), OneBased({1, 4}), 2, 3, B, V), -1);
}

TEST_F(RegressTest, StatisticsRecord) {
    RegressionsStatistik t{9, 9, 9, 9, 9};
    TMatrix V;
    RegressionTest(OneBased({1, 2}), OneBased({1, 2}), 2, 0, 1, V, t);
    EXPECT_EQ(t.ResidualVariance, 0.0);
    EXPECT_EQ(t.RSquared, 1.0);
    EXPECT_EQ(t.Reserve3, 1.0);

    t = {};
    RegressionTest(OneBased({1, 2, 4, 5}), OneBased({1, 3, 3, 5}), 4, 0, 1, V, t);
    EXPECT_DOUBLE_EQ(t.ResidualVariance, 2.0 / 2);
    EXPECT_DOUBLE_EQ(t.RSquared, 8.0 / 10);
    EXPECT_FALSE(FitErrorFlag);

    RegressionTest(OneBased({3, 3, 3}), OneBased({3, 3, 3}), 3, 0, 1, V, t);
    EXPECT_TRUE(FitErrorFlag);
    EXPECT_EQ(t.RSquared, 0.0);

    // Small values, and values that differ late, still vary: a fixed 1E-10
    // for the total sum of squares refused both.
    for (const TVector& y : {OneBased({1e-6, 2e-6, 4e-6}), OneBased({1.000001, 1.000002, 1.000004})}) {
        FitErrorFlag = false;
        RegressionTest(y, y, 3, 0, 1, V, t);
        EXPECT_FALSE(FitErrorFlag) << y[1];
        EXPECT_EQ(t.RSquared, 1.0) << y[1];
    }
    FitErrorFlag = false;
    RegressionTest(OneBased({0.3, 0.1 + 0.2, 0.3}), OneBased({0.3, 0.3, 0.3}), 3, 0, 1, V, t);
    EXPECT_TRUE(FitErrorFlag);  // equal but for rounding
}

TEST_F(RegressTest, RationalValueAtAPoleOfTheDenominator) {
    const TVector c = {1, 2, -0.5};  // (1 + 2x) / (1 - 0.5x)
    EXPECT_DOUBLE_EQ(RationalValue(c, 1, 1, 1.0), 3.0 / 0.5);
    EXPECT_FALSE(FitErrorFlag);
    EXPECT_NEAR(RationalValue(c, 1, 1, 2.0) / (5.0 / -0.00001), 1.0, 1E-9);
    EXPECT_TRUE(FitErrorFlag);
}

}  // namespace
}  // namespace kalvo
