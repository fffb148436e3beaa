#include "number_cells.h"

#include <cmath>

#include "regression_test_support.h"

namespace kalvo {
namespace {

using test::RegressionTest;

TEST(GeneralNumberText, FifteenDigitsWithTheDecimalComma) {
    struct Case {
        double x;
        int precision, expDigits;
        const char* text;
    } cases[] = {
        {1.5, 15, 0, "1,5"},
        {-0.25, 15, 0, "-0,25"},
        {0.1 + 0.2, 15, 0, "0,3"},
        {1234567.0, 15, 0, "1234567"},
        {1e14, 15, 0, "100000000000000"},
        {1e15, 15, 0, "1E15"},
        {0.00001, 15, 0, "0,00001"},
        {0.0000015, 15, 0, "1,5E-6"},
        {1.0 / 3, 15, 0, "0,333333333333333"},
        {1.0 / 3, 4, 3, "0,3333"},
        {123456.0, 4, 3, "1,235E005"},
        {-2.5e-9, 2, 3, "-2,5E-009"},
        {0.0, 15, 0, "0"},
    };
    for (const Case& c : cases) EXPECT_EQ(GeneralNumberText(c.x, c.precision, c.expDigits), c.text) << c.x;
}

TEST_F(RegressionTest, CellTermsAreConstantTermsThatReadBack) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"1,5", true, 1.5}, {"sqrt(2)", true, 1.4142135623730951}, {"2^10", true, 1024},
        {"1,5E-7", true, 1.5e-7}, {"x", false, 0}, {"1/0", false, 0}, {"", false, 0}, {"  ", false, 0},
        {"ln(-1)", false, 0}, {"3+", false, 0},
    };
    for (const Case& c : cases) {
        double v = -99;
        QuietParsing quiet;
        EXPECT_EQ(CellTermValue(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.text;
        }
    }
    // Whatever the general form writes, a cell reads back to the value it shows.
    for (double x : {1.0 / 3, -7.25e-12, 6.02214076e23, 299792458.0}) {
        double v = 0;
        ASSERT_TRUE(CellTermValue(GeneralNumberText(x), v)) << x;
        EXPECT_NEAR(v, x, std::fabs(x) * 1e-14) << x;
    }
}

}  // namespace
}  // namespace kalvo
