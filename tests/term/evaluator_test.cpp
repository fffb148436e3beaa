#include <numbers>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "image_checks.h"

#include "message_sink.h"
#include "program_state.h"
#include "reference_eval.h"
#include "term.h"

namespace kalvo {
namespace {

constexpr double kUndefined = std::numeric_limits<double>::quiet_NaN();
using kalvo::test_support::kNaN;

class EvaluatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        ParserWMode = false;
        InitTermTrees();
    }
    MessageRecorder messages;
};

struct ValueCase { const char* term; double x, t, expected, tolerance; };

// kUndefined: 0 with the term-OK flag cleared; tolerance 0: exactly these bits.
void ExpectValue(double v, double expected, double tolerance) {
    EXPECT_EQ(gTerms.TermOK, !std::isnan(expected));
    if (std::isnan(expected))
        EXPECT_EQ(v, 0);
    else if (tolerance == 0)
        EXPECT_EQ(v, expected);
    else
        EXPECT_NEAR(v, expected, tolerance);
}

template <size_t N>
void CheckValues(const ValueCase (&cases)[N]) {
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(std::string(c.term) + " at x=" + std::to_string(c.x) + " t=" + std::to_string(c.t));
        ASSERT_TRUE(ParseTerm(FunktionTermbaum, c.term, true));
        ExpectValue(EvalTerm(FunktionTermbaum, c.x, 0, c.t, 0, 0), c.expected, c.tolerance);
    }
}

TEST_F(EvaluatorTest, ArithmeticPrecedenceAndLimits) {
    const ValueCase cases[] = {
        {"2x^2-3sin(pi x)", 0.5, 0, 2 * 0.25 - 3 * std::sin(0.5 * std::numbers::pi), 0}, {"-2^2", 0, 0, -4, 0},
        {"2^3^2", 0, 0, 64, 0}, {"x^-2", 2, 0, 0.25, 0}, {"2^-1", 0, 0, 0.5, 0}, {"2-3-4", 0, 0, -5, 0},
        {"12/3/2", 0, 0, 2, 0}, {"(x+1)(x-1)", 3, 0, 8, 0}, {"x t", 2, 3, 6, 0}, {"pi", 0, 0, std::numbers::pi, 0},
        {"e", 0, 0, std::numbers::e, 0}, {"a+b+c+d", 0, 0, 4, 0}, {"1/0", 0, 0, kUndefined, 0},
        {"0/0", 0, 0, kUndefined, 0}, {"1e16/1", 0, 0, kUndefined, 0}, {"1e15/1", 0, 0, kUndefined, 0},
        {"1e14/1", 0, 0, 1e14, 0}, {"x/t", 1, 0, kUndefined, 0}, {"1e25*1e25", 0, 0, kUndefined, 0},
        {"1e24*1e25", 0, 0, 1e24 * 1e25, 0}, {"x*10", -2e49, 0, kUndefined, 0},
        {"x*10", -1e49, 0, -1e49 * 10, 0},  // just below the limit
        {"x*9.99", 1e49, 0, 1e49 * 9.99, 0}, {"x+x", 4e49, 0, 8e49, 0}, {"x+x", 6e49, 0, kUndefined, 0},
        {"x-t", -6e49, 6e49, kUndefined, 0}, {"1e50", 0, 0, kUndefined, 0}, {"1e50*0", 0, 0, kUndefined, 0},
        {"x", 1e50, 0, kUndefined, 0}, {"x", -std::numeric_limits<double>::infinity(), 0, kUndefined, 0},
        {"x", kNaN, 0, kUndefined, 0}, {"t+1", kNaN, 1, 2, 0}, {"1e-400+x", 1, 0, 1, 0},
        {"2^0.5", 0, 0, std::exp(0.5 * std::log(2.0)), 0},
    };
    CheckValues(cases);
}

TEST_F(EvaluatorTest, PowerFollowsItsOwnRules) {
    const ValueCase cases[] = {
        {"(-2)^3", 0, 0, -8, 0}, {"(-2)^-3", 0, 0, -0.125, 0}, {"(-2)^0.5", 0, 0, kUndefined, 0},
        {"(-8)^(1/3)", 0, 0, kUndefined, 0}, {"0^0", 0, 0, 1, 0}, {"0^2", 0, 0, 0, 0}, {"0^-1", 0, 0, kUndefined, 0},
        {"x^2", 14.5, 0, 14.5 * 14.5, 0},
        // From |X| = 15 on and for other exponents the power goes through the logarithm.
        {"x^2", 20, 0, std::exp(std::log(20.0) * 2), 0}, {"x^7", 2, 0, std::exp(std::log(2.0) * 7), 0},
        {"x^6", 1.5, 0, 1.5 * 1.5 * 1.5 * 1.5 * 1.5 * 1.5, 0}, {"(-20)^3", 0, 0, -std::exp(std::log(20.0) * 3), 0},
        {"x^2", 1e-31, 0, 0, 0},  // through the logarithm, and below e^-90
        {"x^t", 10, 100, kUndefined, 0}, {"x^t", 10, -100, 0, 0}, {"x^t", 2, 1e21, kUndefined, 0},
        // Multiplied out in full, so the limit catches it.
        {"(2e-30)^-2", 0, 0, kUndefined, 0}, {"x^-6", 1e-9, 0, kUndefined, 0}, {"x^-5", 1e-8, 0, 1e40, 1e26},
        // Parity of big and negative odd exponents.
        {"(-1)^t", 0, 3000000001.0, -1, 0}, {"(-1)^t", 0, 3000000000.0, 1, 0}, {"(-1)^t", 0, -7, -1, 0},
        {"(-0.5)^t", 0, 1e10, 0, 0}, {"(-2)^t", 0, 1e10, kUndefined, 0},
    };
    CheckValues(cases);
}

TEST_F(EvaluatorTest, EveryFunctionAndItsGuard) {
    const double halfPi = (std::numbers::pi / 2);
    const ValueCase cases[] = {
        {"ln(e)", 0, 0, std::log(std::numbers::e), 0}, {"ln(0)", 0, 0, kUndefined, 0},
        {"ln(-1)", 0, 0, kUndefined, 0}, {"lg(1000)", 0, 0, 3, 0}, {"lg(0)", 0, 0, kUndefined, 0},
        {"ld(8)", 0, 0, 3, 0}, {"ld(-8)", 0, 0, kUndefined, 0}, {"exp(1)", 0, 0, std::exp(1.0), 0},
        {"exp(89.9)", 0, 0, std::exp(89.9), 0}, {"exp(100)", 0, 0, kUndefined, 0}, {"exp(-100)", 0, 0, 0, 0},
        {"sin(x)", 1e49, 0, std::sin(1e49), 0}, {"cos(x)", 0.5, 0, std::cos(0.5), 0},
        {"tan(x)", 0.5, 0, std::sin(0.5) / std::cos(0.5), 0}, {"tan(0)", 0, 0, 0, 0},
        {"cot(x)", 0.5, 0, std::cos(0.5) / std::sin(0.5), 0}, {"cot(0)", 0, 0, kUndefined, 0},
        {"cot(x)", 1e-60, 0, kUndefined, 0}, {"arcsin(1)", 0, 0, halfPi, 0}, {"arcsin(-1)", 0, 0, -halfPi, 0},
        {"arcsin(0.5)", 0, 0, std::atan(0.5 / std::sqrt(0.75)), 0}, {"arcsin(1.5)", 0, 0, kUndefined, 0},
        {"arccos(-1)", 0, 0, std::numbers::pi, 0}, {"arccos(1)", 0, 0, 0, 0},
        {"arccos(0.5)", 0, 0, std::atan(-0.5 / std::sqrt(0.75)) + halfPi, 0}, {"arccos(-1.01)", 0, 0, kUndefined, 0},
        {"arctan(1)", 0, 0, std::atan(1.0), 0}, {"arccot(1)", 0, 0, halfPi - std::atan(1.0), 0},
        {"sinh(1)", 0, 0, (std::exp(1.0) - 1 / std::exp(1.0)) / 2, 0}, {"sinh(100)", 0, 0, 5e49, 1e34},
        {"sinh(-100)", 0, 0, -5e49, 1e34}, {"cosh(1)", 0, 0, (1 / std::exp(1.0) + std::exp(1.0)) / 2, 0},
        {"cosh(-100)", 0, 0, 5e49, 1e34}, {"tanh(1)", 0, 0, 1 - 2 / (1 + std::exp(2.0)), 0},
        {"tanh(100)", 0, 0, 1, 0}, {"tanh(-100)", 0, 0, -1, 0},
        {"coth(1)", 0, 0, 1 / (1 - 2 / (1 + std::exp(2.0))), 0}, {"coth(-100)", 0, 0, -1, 0},
        {"coth(0)", 0, 0, kUndefined, 0}, {"sqrt(2)", 0, 0, std::sqrt(2.0), 0}, {"wurzel(4)", 0, 0, 2, 0},
        {"sqrt(-1)", 0, 0, kUndefined, 0}, {"sqr(-3)", 0, 0, 9, 0}, {"sqr(x)", 1e25, 0, kUndefined, 0},
        {"normal(0)", 0, 0, 1 / std::sqrt(2 * std::numbers::pi), 0}, {"normal(11)", 0, 0, 0, 0},
        {"normal(10.9)", 0, 0, std::exp(-(10.9 * 10.9) / 2) / std::sqrt(2 * std::numbers::pi), 0},
        {"phi(0)", 0, 0, 0.5, 0}, {"phi(1.96)", 0, 0, 0.9750021, 1e-6}, {"phi(-1.96)", 0, 0, 0.0249979, 1e-6},
        {"phi(10)", 0, 0, 1, 0}, {"phi(-10)", 0, 0, 0, 0}, {"abs(-2)", 0, 0, 2, 0}, {"sgn(0)", 0, 0, 0, 0},
        {"sign(-3)", 0, 0, -1, 0}, {"sgn(0.1)", 0, 0, 1, 0}, {"maxint(-2.5)", 0, 0, -3, 0},
        {"maxint(-2)", 0, 0, -2, 0}, {"maxint(2.7)", 0, 0, 2, 0}, {"int(-2.5)", 0, 0, -2, 0},
        {"int(2.7)", 0, 0, 2, 0}, {"deg(pi)", 0, 0, 180, 0}, {"sin(rad(180))", 0, 0, std::sin(std::numbers::pi), 0},
        {"rad(180)", 0, 0, std::numbers::pi, 0}, {"deg(x)", 1e49, 0, kUndefined, 0}, {"fak(0)", 0, 0, 1, 0},
        {"fak(10)", 0, 0, 3628800, 0}, {"fak(17)", 0, 0, 20922789890000.0 * 17, 0},
        {"fak(32)", 0, 0, 2.631308368e35, 0}, {"fak(33)", 0, 0, kUndefined, 0}, {"fak(-1)", 0, 0, kUndefined, 0},
        {"fak(2.5)", 0, 0, kUndefined, 0}, {"random(1)", 0, 0, 0, 0}, {"random(0)", 0, 0, 0, 0},
        {"random(-5)", 0, 0, 0, 0}, {"random(1.5)", 0, 0, kUndefined, 0}, {"random(3000000000)", 0, 0, kUndefined, 0},
        {"blanc(0)", 0, 0, 0, 0}, {"blanc(0.5)", 0, 0, 0.5, 1e-15}, {"blanc(1/3)", 0, 0, 2.0 / 3, 1e-14},
        {"blanc(-0.25)", 0, 0, 0.5, 1e-15}, {"blanc(x)", 1e40, 0, 0, 0},
    };
    CheckValues(cases);
}

TEST_F(EvaluatorTest, RandomStaysInItsRangeAndTheFlagIsOnlyCleared) {
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, "random(x)", true));
    for (double a : {2.0, 6.0, 1000.0, 2147483647.0}) {
        bool seenNonZero = false;
        for (int i = 0; i < 200; ++i) {
            const double v = EvalTerm(FunktionTermbaum, a, 0, 0, 0, 0);
            ASSERT_TRUE(gTerms.TermOK);
            ASSERT_GE(v, 0);
            ASSERT_LT(v, a);
            ASSERT_EQ(v, std::trunc(v));
            seenNonZero = seenNonZero || v != 0;
        }
        EXPECT_TRUE(seenNonZero);
    }
    // The functions called directly clear the flag but never set it.
    EXPECT_EQ(TermPower(-2, 3), -8);
    EXPECT_TRUE(gTerms.TermOK);
    EXPECT_EQ(TermPower(10, 60), 0);
    EXPECT_FALSE(gTerms.TermOK);
    EXPECT_EQ(TermPower(2, 3), 8);  // computed, though the flag was already clear
    EXPECT_FALSE(gTerms.TermOK);
    gTerms.TermOK = true;
    EXPECT_EQ(TermPower(-8, 1.0 / 3), 0);
    EXPECT_FALSE(gTerms.TermOK);
    gTerms.TermOK = true;
    EXPECT_NEAR(TermLg(100), 2, 1e-8);
    EXPECT_TRUE(gTerms.TermOK);
    EXPECT_EQ(TermLg(0), 0);
    EXPECT_FALSE(gTerms.TermOK);
    EXPECT_EQ(TermSgn(-0.5), -1);
    EXPECT_EQ(TermSgn(0), 0);
    EXPECT_EQ(TermSgn(7), 1);
    // An empty tree is undefined.
    {
        QuietParsing quiet;
        ASSERT_FALSE(ParseTerm(FunktionTermbaum, "x)", true));
    }
    EXPECT_EQ(EvalTerm(FunktionTermbaum, 1, 0, 0, 0, 0), 0);
    EXPECT_FALSE(gTerms.TermOK);
    EXPECT_EQ(EvalTermDerivative(FunktionTermbaum, 1, 1, 0, 0, 0), 0);
    EXPECT_FALSE(gTerms.TermOK);
}

struct DerivativeCase { const char* term; int order; double x, expected, tolerance; };

TEST_F(EvaluatorTest, DerivativesOfOrderOneToThreeUseTheStatedStencils) {
    const DerivativeCase cases[] = {
        {"x^3", 0, 2, 8, 0}, {"x^3", 1, 2, 12, 1e-9}, {"x^3", 2, 2, 12, 1e-5}, {"x^3", 3, 2, 6, 1e-6},
        {"x^2", 2, 7, 2, 1e-5}, {"sin(x)", 1, 0.3, std::cos(0.3), 1e-9}, {"sin(x)", 2, 0.3, -std::sin(0.3), 1e-5},
        {"sin(x)", 3, 0.3, -std::cos(0.3), 1e-4},
        {"x^4", 7, 1, 24, 1e-3},  // every other order is the third
        {"x^4", -1, 1, 24, 1e-3},
        // Undefined at one sample though defined at x.
        {"sqrt(x)", 0, 0.001, std::sqrt(0.001), 0}, {"sqrt(x)", 1, 0.001, kUndefined, 0},
        {"sqrt(x)", 2, 0.003, kUndefined, 0}, {"1/x", 3, 0.02, kUndefined, 0}, {"1/x", 3, 1, -6, 1e-2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.term) + " order " + std::to_string(c.order));
        ASSERT_TRUE(ParseTerm(FunktionTermbaum, c.term, true));
        ExpectValue(EvalTermDerivative(FunktionTermbaum, c.order, c.x, 0, 0, 0), c.expected, c.tolerance);
    }
    // The stencils use the stated steps and order.
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, "sin(x)*t+x^3", true));
    const double x = 0.7, t = 1.3;
    auto f = [&](double xs) { return EvalTerm(FunktionTermbaum, xs, 0, t, 0, 0); };
    EXPECT_EQ(EvalTermDerivative(FunktionTermbaum, 1, x, 0, t, 0),
              (f(x - 0.002) - 8 * f(x - 0.001) + 8 * f(x + 0.001) - f(x + 0.002)) / 0.012);
    EXPECT_EQ(EvalTermDerivative(FunktionTermbaum, 2, x, 0, t, 0),
              (f(x + 0.005) - 2 * f(x) + f(x - 0.005)) / 2.5e-05);
    EXPECT_EQ(EvalTermDerivative(FunktionTermbaum, 3, x, 0, t, 0),
              (2 * f(x - 0.01) - f(x - 0.02) - 2 * f(x + 0.01) + f(x + 0.02)) / 2e-06);

    ParserWMode = true;
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, "t^3+w", true));
    ParserWMode = false;
    auto g = [&](double ts) { return EvalTerm(FunktionTermbaum, 0, 0, ts, 0, 5); };
    EXPECT_EQ(EvalTermDerivativeArg2(FunktionTermbaum, 0, 2, 5), 13);
    EXPECT_EQ(EvalTermDerivativeArg2(FunktionTermbaum, 1, 2, 5),
              (g(2 - 0.002) - 8 * g(2 - 0.001) + 8 * g(2 + 0.001) - g(2 + 0.002)) / 0.012);
    EXPECT_NEAR(EvalTermDerivativeArg2(FunktionTermbaum, 2, 2, 5), 12, 1e-5);
}

struct SumCase { const char* term; int order; double x, nStart, nEnd, nStep, expected; };

TEST_F(EvaluatorTest, SumsOverN) {
    const SumCase cases[] = {
        {"n", 0, 0, 1, 10, 1, 55}, {"x^n", 0, 2, 0, 3, 1, 15}, {"n", 0, 0, 1, 10, 2, 25},
        {"n", 0, 0, 1, 10, 0, 55},  // a step below 1 counts as 1
        {"n", 0, 0, 1, 10, 0.5, 55}, {"n", 0, 0, 1, 10, -3, 55}, {"n", 0, 0, 1, 10, kNaN, 55},
        {"n", 0, 0, 5, 4, 1, 0}, {"n", 0, 0, kNaN, 4, 1, 0},
        {"1/(n-3)", 0, 0, 1, 5, 1, kUndefined},  // stops at the first undefined term
        {"1/(n-3)", 0, 0, 4, 5, 1, 1.5}, {"x^2*n", 1, 1, 1, 3, 1, 12},
        // At most kMaxSumTerms (10000) terms; past that undefined, never a partial sum.
        {"n", 0, 0, 1, 10000, 1, 50005000}, {"n", 0, 0, 0, 19998, 2, 99990000}, {"n", 0, 0, 1, 10001, 1, kUndefined},
        {"n", 0, 0, 0, 20000, 2, kUndefined}, {"n", 0, 0, 0, 1e12, 1, kUndefined},
        {"n", 0, 0, 1e20, 2e20, 1, kUndefined},  // n + 1 == n there
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.term) + " from " + std::to_string(c.nStart) + " to " + std::to_string(c.nEnd));
        ASSERT_TRUE(ParseTerm(FunktionTermbaum, c.term, true));
        gTerms.TermOK = false;
        ExpectValue(EvalFunktionSumN(c.order, c.x, 0, c.nStart, c.nEnd, c.nStep), c.expected, 1e-6);
    }
}

TEST_F(EvaluatorTest, SurfaceAndParametricSurfaceTerms) {
    gTerms.ParserAllowsY = true;
    ASSERT_TRUE(ParseTerm(FlaechenTermbaum, "x*y-t", true));
    gTerms.ParserAllowsY = false;
    EXPECT_EQ(EvalSurfaceTerm(2, 3), 6);

    gTerms.KonstanteA = 7;
    gTerms.KonstanteB = 8;
    ASSERT_TRUE(ParseTerm(ParamTermbaum1, "a+2b", true));
    ASSERT_TRUE(ParseTerm(ParamTermbaum2, "a*b*c", true));
    ASSERT_TRUE(ParseTerm(ParamTermbaum3, "sqrt(a-b)", true));
    EXPECT_EQ(EvalParamTerm1(3, 4), 11);
    EXPECT_EQ(EvalParamTerm2(3, 4), 12);
    EXPECT_EQ(EvalParamTerm3(3, 4), 0);
    EXPECT_FALSE(gTerms.TermOK);
    EXPECT_EQ(gTerms.KonstanteA, 7);
    EXPECT_EQ(gTerms.KonstanteB, 8);
}

// Random terms over every operator and function: the compiled evaluator must
// give the bits of the plain walk, and fail exactly where it fails.
std::string RandomTerm(std::mt19937& rng, int depth) {
    static const char* const leaves[] = {"x", "t", "n", "a", "b", "pi", "e", "0", "1", "2", "0.5", "3", "7",
                                         "14.9", "15", "1e-31", "1e-20", "1e20", "1e25", "6e49", "2.5e-3"};
    static const char* const functions[] = {
        "ln", "lg", "ld", "exp", "sin", "cos", "tan", "cot", "arcsin", "arccos", "arctan", "arccot", "sinh", "cosh",
        "tanh", "coth", "sqrt", "sqr", "normal", "phi", "abs", "sgn", "maxint", "int", "deg", "rad", "fak", "blanc"};
    static const char ops[] = {'+', '-', '*', '/', '^'};
    const unsigned pick = rng() % 16;
    if (depth == 0 || pick < 5) return leaves[rng() % std::size(leaves)];
    if (pick < 11) {
        const std::string l = RandomTerm(rng, depth - 1), r = RandomTerm(rng, depth - 1);
        const char op = ops[rng() % std::size(ops)];
        return rng() % 2 ? "(" + l + ")" + op + "(" + r + ")" : l + op + r;
    }
    if (pick < 13) return "(-" + RandomTerm(rng, depth - 1) + ")";
    return std::string(functions[rng() % std::size(functions)]) + "(" + RandomTerm(rng, depth - 1) + ")";
}

TEST_F(EvaluatorTest, CompiledEvaluationGivesTheBitsOfTheNodeByNodeWalk) {
    std::mt19937 rng(20240611);
    gTerms.KonstanteA = -2.5;
    gTerms.KonstanteB = 1e-31;
    const test_support::RefVars points[] = {
        {0, 0, 0, 0, 0}, {1, 0, -1, 2, 0}, {2.5, 0, 0.5, 3, 0}, {-3.7, 0, 14.99, 7, 0}, {1e-31, 0, 15, -1, 0},
        {1e20, 0, 1e-20, 0, 0}, {1e49, 0, -1e49, 5, 0}, {-0.0, 0, 89.9, 1, 0}, {90, 0, -90, 33, 0}, {6, 0, -6, -7, 0},
    };
    // Shapes the compiler treats specially first: polynomials, saved left operands, deep right operands.
    const char* const fixed[] = {
        "x^3-2x+1", "((((0.5x-1.2)x+2)x-3.5)x+0.7)x-4", "(t+x/t)*(x-t/x)", "x^2/sin(2*pi/t)-x/2",
        "sqrt(1-sin(2x)+cos(pi/t)/3)", "exp(-x^2/2)/sqrt(2*pi)", "2x^-3+x^5-x^-1+t^2*x^3", "a*x^2+b*x+c-d*t*n",
        "x+(x+(x+(x+(x+(x+x)))))", "x-(t-(x-(t-(x*t))))", "(x*t)^(t*x)-(x/t)^2", "x^t^n", "1/(x*x)-1/(t*t)",
    };
    std::vector<std::string> texts(std::begin(fixed), std::end(fixed));
    for (int i = 0; i < 4000; ++i) texts.push_back(RandomTerm(rng, 5));

    QuietParsing quiet;
    int compared = 0, defined = 0;
    for (const std::string& text : texts) {
        if (!ParseTerm(FunktionTermbaum, text, true)) continue;
        for (const auto& p : points) {
            double expected = 0;
            const bool refOK = test_support::ReferenceEval(FunktionTermbaum.Root(), p, expected);
            const double v = EvalTerm(FunktionTermbaum, p.x, p.y, p.t, p.n, p.w);
            ASSERT_EQ(gTerms.TermOK, refOK) << text << " at x=" << p.x << " t=" << p.t << " n=" << p.n;
            if (refOK) {
                ASSERT_EQ(std::bit_cast<uint64_t>(v), std::bit_cast<uint64_t>(expected))
                    << text << " at x=" << p.x << ": " << v << " vs " << expected;
            }
            ++compared;
            defined += refOK;
        }
    }
    // The mix must exercise both outcomes well.
    EXPECT_GT(compared, 20000);
    EXPECT_GT(defined, compared / 5);
    EXPECT_LT(defined, compared * 4 / 5);
}

}  // namespace
}  // namespace kalvo
