#include "number_text.h"

#include <clocale>
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace kalvo {
namespace {

TEST(NumberText, FormattersGiveTheExactText) {
    const auto blanks = FormatNumberCommaBlanks, tight = FormatNumberCommaTight, comma = FormatNumberComma;
    const auto wide = FormatNumberWide, point = FormatNumberPoint;
    const struct { std::string (*format)(int, double); int d; double x; const char* expected; } cases[] = {
        {blanks, 2, 12345, "  1,23 E+4"},  {blanks, 2, 0.05, "  5,00 E-2"},      {blanks, 2, 3.14159, "  3,14     "},
        {blanks, 2, 0, "  0,00     "},     {blanks, 2, 0.1, "  1,00 E-1"},       {blanks, 2, 99.999, "100,00     "},
        {blanks, 2, 100, "  1,00 E+2"},    {blanks, 2, -12345, " -1,23 E+4"},    {blanks, 0, 5.5, "   6     "},
        {blanks, 3, -0.5, " -0,500     "}, {blanks, 2, 1e-12, "  1,00 E-12"},
        // The mantissa rounds with its exponent: never 10,00 E+2.
        {blanks, 2, 999.999, "  1,00 E+3"}, {blanks, 2, -0.0999999, " -1,00 E-1"}, {tight, 1, 9.96e-5, "  1,0 E-4"},
        {comma, 2, 1e-12, "  0,00     "},  {comma, 2, -3e-11, "  0,00     "},    {tight, 2, -7.5, " -7,50"},
        {tight, 1, 2.25, "  2,2"},         {tight, 2, 250, "  2,50 E+2"},        {wide, 3, 5000, " 5000.000     "},
        {wide, 3, 10000, "    1.000 E+4"}, {wide, 2, 0.25, "    0.25     "},     {point, 2, 1, "  1.00"},
        {point, 2, -1, " -1.00"},          {point, 2, 0.01, "  1.00 E-2"},
    };
    for (size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(cases[i].format(cases[i].d, cases[i].x), cases[i].expected) << "case " << i;
}

TEST(NumberText, ExtremeValuesNeverHangOrPrintGarbage) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double x : {inf, -inf, nan}) {
        EXPECT_EQ(FormatNumberCommaBlanks(2, x), std::string(kNotFiniteText));
        EXPECT_EQ(FormatNumberWide(2, x), std::string(kNotFiniteText));
        EXPECT_NE(ScientificText(5, 2, x).find(kNotFiniteText), std::string::npos);
        EXPECT_NE(Fixed(x, 8, 2).find(kNotFiniteText), std::string::npos);
    }
    EXPECT_EQ(ScientificText(5, 2, 0), "  0.00 E+0");
    EXPECT_EQ(FormatNumberCommaBlanks(2, 5e-20), "  5,00 E-20");
    EXPECT_EQ(FormatNumberCommaBlanks(2, std::numeric_limits<double>::max()), "  1,80 E+308");
    EXPECT_EQ(FormatNumberCommaBlanks(2, -1e-25), "  0,00     ");  // no "-0,00"
}

TEST(NumberText, FixedHelpersAndCharacterCounts) {
    EXPECT_EQ(RealToStrFixed(2.5, 5, 2), " 2.50");
    EXPECT_EQ(RealToStrFixed(12345.678, 3, 1), "12345.7");
    EXPECT_EQ(RealToStrComma(-2.5, 0, 3), "-2,500");
    EXPECT_EQ(RealToStrFixed(7.0, 4, 0), "   7");
    EXPECT_EQ(FormatTwoDecimals(0.5), "0,50");
    EXPECT_EQ(FormatTwoDecimals(-123.456), "-123,46");
    EXPECT_EQ(PointToComma("1.2.3"), "1,2,3");
    EXPECT_EQ(CommaToPoint("1,5"), "1.5");
    EXPECT_EQ(RepeatChar('-', 3), "---");
    EXPECT_EQ(RepeatChar('-', 300).size(), 255u);
    EXPECT_EQ(PadRightWith("ab", 5, '.'), "ab..");
    EXPECT_EQ(PadRightWith("abcdef", 3, '.'), "abcdef");
    EXPECT_EQ(MakeRGB(0x112, 0x34, 0x56), 0x563412u);
    EXPECT_EQ(DecimalExponent(12345.0), 4);
    EXPECT_EQ(DecimalExponent(-0.00123), -3);
    EXPECT_DOUBLE_EQ(DecimalMantissa(12345.0), 1.2345);
    EXPECT_EQ(CutToChars("äöüß", 2), "äö");
    EXPECT_EQ(CharCount("x\xC2\xB6"), 2u);
    EXPECT_EQ(CutToChars("abc", 10), "abc");
    EXPECT_EQ(RoundToInt(2.5), 2);
    EXPECT_EQ(RoundToInt(3.5), 4);
    EXPECT_EQ(RoundToInt(1e300), std::numeric_limits<int>::max());
    EXPECT_EQ(RoundToInt(-std::numeric_limits<double>::infinity()), std::numeric_limits<int>::min());
    EXPECT_EQ(ClampToInt(std::nan(""), -5, 5), -5);
}

TEST(NumberText, ReadingNumbers) {
    struct { const char* text; double value; } cases[] = {
        {"2,5", 2.5}, {"2.5", 2.5},   {" -3 ", -3},  {"+4", 4},     {"1e3", 1000}, {"1,5E-2", 0.015},
        {"abc", 0},   {"", 0},        {"inf", 0},    {"nan", 0},    {"-inf", 0},   {"0x1A", 0},
        {"1e999", 0}, {"2,5,3", 0},   {"1 2", 0},    {"+-1", 0},    {"-", 0},      {".5", 0.5},
    };
    for (const auto& c : cases) EXPECT_EQ(StrToRealComma(c.text), c.value) << '"' << c.text << '"';
}

TEST(NumberText, ReadingAndWritingIgnoreTheProcessLocale) {
    const char* old = std::setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(StrToRealComma("2.5"), 2.5);
    EXPECT_EQ(FormatNumberCommaTight(2, 2.5), "  2,50");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(NumberText, RoundToDecimals) {
    struct { int n; double x, expected; } cases[] = {
        {1, -0.25, -0.3}, {0, 2.5, 2},      {0, 3.5, 4},     {2, 1.005, 1.0},  // 1.005 is 1.00499... in binary
        {2, 2.675, 2.68}, {0, 0, 0},        {3, 1e300, 1e300}, {1, 0.05, 0.1}, {0, -2.5, -2},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(RoundToDecimals(c.n, c.x), c.expected) << c.n << ", " << c.x;
}

TEST(NumberText, NormalizeTermText) {
    EXPECT_EQ(NormalizeTermText("Sin(PI x) {Test}"), "sin(\xC2\xB6x){Test}");
    EXPECT_EQ(NormalizeTermText("2,5 X^2"), "2.5x^2");
    EXPECT_EQ(NormalizeTermText("ppii"), "p\xC2\xB6i");
    EXPECT_EQ(NormalizeTermText("x {a, B pi}"), "x{a, B pi}");
    // A typed π (or Π) is pi; shown again, pi reads π.
    EXPECT_EQ(NormalizeTermText("2\u03C0 x + \u03A0/2"), "2\xC2\xB6x+\xC2\xB6/2");
    EXPECT_EQ(TermShown("cos(a*2*\xC2\xB6)"), "cos(a*2*\u03C0)");
    EXPECT_EQ(TermFromShown("cos(a*2*\u03C0)"), "cos(a*2*\xC2\xB6)");
    EXPECT_EQ(TermFromShown(TermShown("\xC2\xB6\xC2\xB6x")), "\xC2\xB6\xC2\xB6x");
    EXPECT_EQ(NormalizeTermText("ÄX"), "Äx");  // only ASCII letters change case
}

TEST(NumberText, LineEquationText) {
    EXPECT_EQ(LineEquationText(1, 0), "y =  x");
    EXPECT_EQ(LineEquationText(-1, 2), "y =  - x +  2.00");
    EXPECT_EQ(LineEquationText(2.5, -1.5), "y =   2.50 * x -  1.50");
    EXPECT_EQ(LineEquationText(0.001, 3), "y =   3.00");
    EXPECT_EQ(LineEquationText(0, 0.001), "y =   0.0");
    EXPECT_EQ(LineEquationText(1000, 0), "y =   1.00 E+3 * x");
    EXPECT_EQ(LineEquationText(1e-6, 3, 0), "y =   1.00 E-6 * x +  3.00");
}

}  // namespace
}  // namespace kalvo
