#include <cmath>
#include <iterator>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "curves.h"
#include "message_sink.h"
#include "number_text.h"
#include "numeric_tables.h"
#include "program_state.h"
#include "term.h"

namespace kalvo {
namespace {

class Tables : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        InitTermTrees();
    }
    void Compile(const char* term) {
        QuietParsing quiet;
        ASSERT_TRUE(ParseTerm(FunktionTermbaum, term, true)) << term;
    }
    MessageRecorder messages;
};

std::string Ohne(const std::string& s) {
    std::string r;
    for (char c : s)
        if (c != ' ') r += c;
    return r;
}

// ---- Newton's method ----

struct NewtonFall {
    const char* term;
    double x0;
    std::vector<std::string> naechstesX;  // column x(n+1) per row, "" for a row without values
    std::string meldung;                  // "" or the start of the message
};

TEST_F(Tables, NewtonStopsWithTheRightReason) {
    const NewtonFall faelle[] = {
        // Converges: f of the last x is below 1e-10.
        {"x^2-2", 1.0, {"1,500000", "1,416667", "1,414216", "1,414214"}, ""},
        // The first step lands where f' = 0; the second row stays empty.
        {"x^2+1", 1.0, {"0,000000", ""}, kAbleitungNull}, {"x^2-1", 0.0, {""}, kAbleitungNull},
        // The first step leaves the domain of ln.
        {"ln(x)", 3.0, {"-0,295837"}, "-0,29583687 ----> nicht definiert !"},
        // Undefined at the start: reported as such, not as a zero.
        {"ln(x)", -1.0, {""}, "-1,00000000 ----> nicht definiert !"},
    };
    for (const NewtonFall& f : faelle) {
        Compile(f.term);
        const NewtonErgebnis e = NewtonBerechnen(f.x0, 0, 6);
        SCOPED_TRACE(std::string(f.term) + " from " + std::to_string(f.x0));
        EXPECT_FALSE(e.startwertIstNullstelle);
        ASSERT_EQ(e.zeilen.size(), f.naechstesX.size());
        for (size_t i = 0; i < e.zeilen.size(); ++i) {
            EXPECT_EQ(Ohne(e.zeilen[i][5]), f.naechstesX[i]) << "row " << i;
            if (!f.naechstesX[i].empty()) {
                EXPECT_EQ(e.zeilen[i][0], std::to_string(i));
            }
        }
        EXPECT_EQ(Ohne(e.meldung), Ohne(f.meldung));
    }
}

TEST_F(Tables, NewtonCountsASmallValueOnlyWhereTheIterateHasSettled) {
    // Zeros by hand: sqrt(2), 1 (a triple zero: f is below 1e-10 long before
    // x is right to six decimals), pi/2, 2.0945514815423265 (x^3-2x-5, the
    // real root by Cardano's formula, evaluated with mpmath).
    struct Fall { const char* term; double x0; const char *letztesX, *meldung; } faelle[] = {
        {"x^2-2", 1, "1,414214", ""}, {"(x-1)^3", 2, nullptr, ""}, {"cos(x)", 1, "1,570796", ""},
        {"x^3-2x-5", 2, "2,094551", ""},
        // Decaying tails: f drops below 1e-10 while every step is about 1.
        {"x*e^(-x)", 2, nullptr, kKonvergiertNicht}, {"e^(-x)", 0, nullptr, kKonvergiertNicht},
        {"x^2*e^(-x)", 3, nullptr, kKonvergiertNicht}, {"1/(1+x^2)", 2, nullptr, kKonvergiertNicht},
        // A start value that is a zero adds no rows.
        {"x^2-4", 2, nullptr, kStartwertIstNullstelle},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.term);
        Compile(f.term);
        const NewtonErgebnis e = NewtonBerechnen(f.x0, 0, 6);
        EXPECT_EQ(e.meldung, f.meldung);
        const bool startIstNullstelle = e.meldung == kStartwertIstNullstelle;
        EXPECT_EQ(e.startwertIstNullstelle, startIstNullstelle);
        EXPECT_EQ(e.zeilen.empty(), startIstNullstelle);
        if (f.letztesX) {
            EXPECT_EQ(Ohne(FormatNumberComma(6, e.letztesX)), f.letztesX);
        }
    }
}

TEST_F(Tables, NewtonThatRunsAwayOrNeverSettlesSaysSoAndDecimalsSetThePrecision) {
    // arctan pushes the iterates outwards beyond 1e6.
    Compile("arctan(x)");
    NewtonErgebnis e = NewtonBerechnen(2, 0, 6);
    EXPECT_LT(e.zeilen.size(), 20u);
    EXPECT_EQ(e.meldung, kKonvergiertNicht);
    // x^2 + 1 has no zero: from 0.5 the steps wander until the cap.
    Compile("x^2+1");
    e = NewtonBerechnen(0.5, 0, 6);
    EXPECT_EQ(e.zeilen.size(), static_cast<size_t>(kNewtonMaxSchritte));
    EXPECT_EQ(e.meldung, kKonvergiertNicht);
    // The precision follows the decimals.
    Compile("x^2-2");
    EXPECT_EQ(Ohne(NewtonBerechnen(1, 0, 2).zeilen[0][5]), "1,50");
    // Out of range decimals are pulled in, not used for a power of ten of 0 or 1e-99.
    EXPECT_EQ(Ohne(NewtonBerechnen(1, 0, 0).zeilen[0][5]), "1,5");
    EXPECT_EQ(Ohne(NewtonBerechnen(1, 0, 99).zeilen[0][5]), "1,5000000");
}

// Runs to their end: the x the last row shows, every row whole, the message.
struct NewtonLauf {
    const char* term;
    double x0;
    int dezimalen;
    double exakt;  // the zero; NaN where the run must not end on one
    const char* meldung;
};

void PruefeLaeufe(const NewtonLauf* laeufe, size_t anzahl, int nVon = 0, int nBis = 0) {
    for (size_t i = 0; i < anzahl; ++i) {
        const NewtonLauf& l = laeufe[i];
        SCOPED_TRACE(testing::Message() << l.term << " from " << l.x0 << ", " << l.dezimalen << " decimals");
        ResetProgramState();
        gParams.FgSummeVon = nVon;
        gParams.FgSummeBis = nBis;
        {
            QuietParsing quiet;
            ASSERT_TRUE(ParseTerm(FunktionTermbaum, l.term, true));
        }
        const NewtonErgebnis e = NewtonBerechnen(l.x0, 0, l.dezimalen);
        EXPECT_EQ(e.meldung, l.meldung);
        EXPECT_FALSE(e.abgebrochen);
        if (std::isnan(l.exakt)) continue;
        ASSERT_FALSE(e.zeilen.empty());
        for (const NewtonZeile& z : e.zeilen) EXPECT_FALSE(z[5].empty());
        EXPECT_EQ(Ohne(e.zeilen.back()[5]), Ohne(FormatNumberComma(l.dezimalen, l.exakt)));
    }
}

constexpr double kPi = 3.14159265358979323846;
constexpr double kKeine = std::numeric_limits<double>::quiet_NaN();  // no zero to end on

// Near a zero of order m the error is about m - 1 times the step: a step
// below the last decimal is no stop. Zeros of order 2 to 48, at 0 (which must
// show 0, not the error in exponent form) and away from it.
TEST_F(Tables, NewtonShowsZerosOfHigherOrderRightToTheLastDigit) {
    const NewtonLauf laeufe[] = {
        {"x^2", 1, 6, 0, ""}, {"x^2", 1, 1, 0, ""}, {"x^2", -3, 5, 0, ""}, {"x^3", 2, 7, 0, ""},
        {"x^4", -2, 4, 0, ""}, {"x^2*exp(x)", 1, 6, 0, ""}, {"x*sin(x)", 1, 6, 0, ""},
        {"(x-1)^2*(x+2)", 3, 6, 1, ""}, {"(x-1)^2*(x+2)", 0, 4, 1, ""}, {"(x-1)^3", 0, 7, 1, ""},
        {"(x-2)^4", 3, 5, 2, ""}, {"(x-2)^4", 3, 7, 2, ""}, {"(x+2)^2*(x-5)", 0, 6, -2, ""},
        {"(x-3)^3*(x+1)", 5, 6, 3, ""}, {"(x-0.5)^2", 2, 3, 0.5, ""}, {"x^2-2*x+1", 3, 7, 1, ""},
        // pi itself, not the term language's 3.141592654.
        {"sin(x)^2", 3, 6, kPi, ""}, {"sin(x)^2", 3, 7, kPi, ""}, {"sin(x)^3", 3, 6, kPi, ""},
        // f rounds to 0 before x reaches the zero: it shows 0 all the same.
        {"1-cos(x)", 1, 6, 0, ""}, {"sin(x)-x", 1, 3, 0, ""},
        // Simple zeros as before: x^2 - 2 in four rows.
        {"x^2-2", 1, 7, 1.41421356237309504880, ""}, {"cos(x)-x", 1, 7, 0.73908513321516064166, ""},
        {"7*x-1", 0, 6, 1.0 / 7, ""},
        // Zeros near 0 show in exponent form, right to every digit.
        {"(x-1e-4)^3", 1, 6, 1e-4, ""}, {"(x-1e-4)^3", 1, 3, 1e-4, ""}, {"(x+2e-5)^4", 1, 4, -2e-5, ""},
        // More than 100 steps, shrinking by 1 - 1/m: from 2 to 1e-10 about
        // 112 for x^5 and 480 for a power of order 20 (a product, whose
        // values keep their digits down to 0).
        {"x^5", 2, 3, 0, ""}, {"x^5", -3, 7, 0, ""}, {"x^6*x^6*x^6*x^2", 2, 6, 0, ""},
        {"(x-1)^6", 30, 7, 1, ""}, {"(exp(x)-1)^4", 10, 6, 0, ""},
        // Values that round to 0 on the way (x^k is 0 below e^(-90/k)): the
        // limit the steps head for is the zero.
        {"x^10", 2, 6, 0, ""}, {"x^20", 2, 6, 0, ""}, {"(x-1)^20", 3, 7, 1, ""},
        {"sin(x)^20", 2, 7, kPi, ""}, {"sin(x)^16", 50, 7, 16 * kPi, ""},
        {"(exp(x)-2)^12", 7, 7, 0.69314718055994530942, ""}, {"(x-1e-4)^10", 2, 3, 1e-4, ""},
        // Zeros at 1e-4, 0.1 and 100 lie next to an edge where the text
        // changes, and show as their own.
        {"(x-1e-4)^20", -3, 7, 1e-4, ""}, {"(x-0.1)^12", 1, 7, 0.1, ""}, {"(x-100)^12", 110, 7, 100, ""},
        {"(x-100)^2", 2, 7, 100, ""}, {"(x-0.1)^3", 2, 5, 0.1, ""},
        // Steps the rounding of f tosses about, where f is 0 at 0 as well.
        {"sin(x)-x", 10, 6, 0, ""}, {"x^6*x^6*x^6*x^6*x^6*x^6*x^6*x^6", 5, 7, 0, ""},
        // Steady steps that end where the rounding noise of f leaves no slope.
        {"(x-0.1)^4", 2, 5, 0.1, ""}, {"(x-100)^5", 7, 7, 100, ""}, {"(1-cos(x))^3", 2, 7, 0, ""},
        {"(sin(x)-1)^2", 6.1, 7, 2.5 * kPi, ""},
    };
    PruefeLaeufe(laeufe, std::size(laeufe));
    Compile("x^2-2");
    EXPECT_EQ(NewtonBerechnen(1, 0, 6).zeilen.size(), 4u);
}

// A single large |f| (or |x|) on the way is no divergence, a trend is: |x|
// growing step after step while |f| does not fall, or a tail that flattens
// out without a zero, or steps that never settle. Exact zeros by mpmath.
TEST_F(Tables, NewtonCallsARunDivergentByItsTrendOnly) {
    const NewtonLauf laeufe[] = {
        {"x^2-1000000", 1, 6, 1000, ""}, {"x^2-1000000", 0.001, 6, 1000, ""}, {"x^2-1000000", -1, 6, -1000, ""},
        {"x^3-8000000", 1, 6, 200, ""}, {"x^2-100000000000000", 1, 6, 1e7, ""}, {"x^4-16", 100, 6, 2, ""},
        {"exp(-x)-0.000001", 0, 6, 13.815510557964274104, ""}, {"exp(x/10)-5", 0, 6, 16.094379124341003746, ""},
        // |x| grows eighteenfold a step, but f falls towards the zero.
        {"ln(x)-20", 1, 6, 485165195.40979027797, ""}, {"sqrt(x)-1000", 1, 6, 1e6, ""},
        {"x*exp(-x)", 2, 6, kKeine, kKonvergiertNicht}, {"exp(-x)", 0, 6, kKeine, kKonvergiertNicht},
        {"exp(x)", 0, 6, kKeine, kKonvergiertNicht}, {"arctan(x)", 2, 6, kKeine, kKonvergiertNicht},
        {"sgn(x)*abs(x)^(1/3)", 1, 6, kKeine, kKonvergiertNicht}, {"1/x", 1, 6, kKeine, kKonvergiertNicht},
        {"1/x-1", 3, 6, kKeine, kKonvergiertNicht}, {"x/(1+x^2)", 2, 6, kKeine, kKonvergiertNicht},
        {"1/(1+x^2)", 2, 6, kKeine, kKonvergiertNicht},
        // Cycles: 0, 1, 0, ... and 1, -1, 1, ...
        {"x^3-2*x+2", 0, 6, kKeine, kKonvergiertNicht}, {"x^3-5*x", 1, 6, kKeine, kKonvergiertNicht},
        // Steady steps from far off go on past 100: 110 of them, by 23/24,
        // and by 1/0.55 - 1 changing sides.
        {"x^6*x^6*x^6*x^6-2", 100, 7, 1.0293022366434920288, ""}, {"sgn(x)*abs(x)^0.55", 1, 6, 0, ""},
        // No zero where f rounds to 0: a slope of 0 with f far from it, a
        // step next to a pole, zeros that the rounding of f hides (to 1e-5,
        // and one next to 0 that is not 0).
        {"x^5*exp(x)", -5, 6, kKeine, kAbleitungNull}, {"1/x-1", 2, 6, kKeine, kKonvergiertNicht},
        {"x^3-3*x^2+3*x-1", -3, 6, kKeine, kKonvergiertNicht}, {"1-cos(x-1e-6)", 1, 3, kKeine, kKonvergiertNicht},
    };
    PruefeLaeufe(laeufe, std::size(laeufe));
    Compile("x^3-2*x+2");
    EXPECT_EQ(NewtonBerechnen(0, 0, 6).zeilen.size(), static_cast<size_t>(kNewtonMaxSchritte));
    // Steps that shrink steadily until the cap end there, on what they head for.
    Compile("sgn(x)*abs(x)^0.501");
    const NewtonErgebnis e = NewtonBerechnen(1, 0, 6);
    EXPECT_EQ(e.zeilen.size(), static_cast<size_t>(kNewtonMaxSchritteStetig));
    EXPECT_EQ(Ohne(e.zeilen.back()[5]), "0,000000");
}

// The step needs a slope it can use, not one settled to the digits a table
// shows: a sum of 9,999 terms reaches the zero at -7 pi (from -21,99293772
// the shown f' does not settle to six digits). Only a slope that does not
// exist stops the steps: a corner, a border of the domain, a function
// without a slope anywhere.
TEST_F(Tables, NewtonStepsOnALongSumAndStopsWhereNoSlopeExists) {
    const NewtonLauf summen[] = {{"sin(n*x)/n^2", 1, 6, -7 * kPi, ""},
                                 {"sin(n*x)/n^2", 1, 7, -7 * kPi, ""},
                                 {"sin(n*x)/n^2", -21.99293772, 6, -7 * kPi, ""}};
    PruefeLaeufe(summen, std::size(summen), 1, 9999);
    const char* nichtDefiniert = "    0,00000000      ----> nicht definiert !";
    const NewtonLauf ohneSteigung[] = {{"abs(x)-1", 0, 6, kKeine, nichtDefiniert},
                                       {"x+abs(x)-1", 0, 6, kKeine, nichtDefiniert},
                                       {"sqrt(x)-1", 0, 6, kKeine, nichtDefiniert},
                                       {"blanc(x)-0.7", 0, 6, kKeine, nichtDefiniert}};
    PruefeLaeufe(ohneSteigung, std::size(ohneSteigung));
}

// A step the work budget cuts short is not shown: the table ends with the
// whole steps before it, and says why.
TEST_F(Tables, NewtonCutInsideAStepShowsTheWholeStepsAndSaysSo) {
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 9999;
    // The cycle 0, 1, 0, ... would run its 100 steps.
    Compile("(x^3-2*x+2)*exp(sin(n))");
    const NewtonErgebnis e = NewtonBerechnen(0, 0, 4);
    EXPECT_TRUE(e.abgebrochen);
    EXPECT_EQ(e.meldung, kBerechnungAbgebrochen);
    EXPECT_GT(e.zeilen.size(), 2u);
    EXPECT_LT(e.zeilen.size(), static_cast<size_t>(kNewtonMaxSchritte));
    for (size_t i = 0; i < e.zeilen.size(); ++i) {
        EXPECT_EQ(e.zeilen[i][0], std::to_string(i));
        for (const std::string& zelle : e.zeilen[i]) EXPECT_FALSE(zelle.empty()) << i;
    }
}

// ---- value table ----

TEST_F(Tables, ValueTableMendsItsInputRoundsItsRowsAndMarksUndefinedValues) {
    Compile("x");
    struct Fall { WertetabelleEingabe ein; double von, bis, schritt; } faelle[] = {
        {{0, 3, 0, 0}, 0, 3, 1}, {{0, 3, -0.5, 0}, 0, 3, 0.5}, {{3, 0, 1, 0}, 0, 3, 1},
    };
    for (const Fall& f : faelle) {
        const Wertetabelle t = WertetabelleBerechnen(f.ein, 2);
        EXPECT_EQ(t.eingabe.von, f.von);
        EXPECT_EQ(t.eingabe.bis, f.bis);
        EXPECT_EQ(t.eingabe.schritt, f.schritt);
        EXPECT_EQ(Ohne(t.zeilen.front()[0]), "0,00");
        EXPECT_EQ(Ohne(t.zeilen.back()[0]), "3,00");
    }
    Compile("x^2");
    // The row limit ends the table at 2.
    Wertetabelle t = WertetabelleBerechnen({-8, 8, 0.1, 0}, 2);
    ASSERT_EQ(t.zeilen.size(), 101u);
    EXPECT_EQ(Ohne(t.zeilen.back()[0]), "2,00");
    EXPECT_EQ(Ohne(t.zeilen.back()[1]), "4,00");
    EXPECT_EQ(Ohne(t.zeilen.back()[2]), "4,00");
    EXPECT_EQ(Ohne(t.zeilen.back()[3]), "2,00");
    // Every x is rounded before the step is added.
    t = WertetabelleBerechnen({-8, 8, 0.333, 0}, 2);
    EXPECT_EQ(Ohne(t.zeilen[1][0]), "-7,67");
    EXPECT_EQ(Ohne(t.zeilen[2][0]), "-7,34");
    // Without decimals a small step rounds back: 101 rows of the same x.
    t = WertetabelleBerechnen({-8, 8, 0.4, 0}, 0);
    ASSERT_EQ(t.zeilen.size(), 101u);
    EXPECT_EQ(Ohne(t.zeilen.back()[0]), "-8");
    // Undefined and huge values are marked.
    Compile("1/x");
    t = WertetabelleBerechnen({0, 0, 1, 0}, 2);
    ASSERT_EQ(t.zeilen.size(), 1u);
    EXPECT_EQ(t.zeilen[0][1], " nicht def.");
    for (int c = 2; c <= 4; ++c) EXPECT_EQ(t.zeilen[0][static_cast<size_t>(c)], "");
    Compile("exp(x)");
    t = WertetabelleBerechnen({50, 50, 1, 0}, 2);
    EXPECT_EQ(t.zeilen[0][1], "|f(x)|>1O^20");
}

TEST_F(Tables, ValueTableDerivativesAreRightToTheDigitsShown) {
    constexpr double kNicht = std::numeric_limits<double>::quiet_NaN();
    // Exact derivatives by sympy (diff, then N(..., 20) at the rational x);
    // kNicht where the derivative does not exist.
    struct Fall { const char* term; double x; int dezimalen; double f1, f2, f3; } faelle[] = {
        // Fixed-step quotients are off by percents near a pole.
        {"1/x", 0.2, 2, -25, 250, -3750}, {"1/x", 0.05, 2, -400, 16000, -960000},
        {"1/x", -0.3, 3, -11.111111111111111111, -74.074074074074074074, -740.74074074074074074},
        {"1/(x-1)^2", 1.1, 2, -2000, 60000, -2400000},
        {"tan(x)", 1.5, 2, 199.85004452649245721, 5636.3388086580740665, 238840.84160534013669},
        {"sqrt(x)", 0.01, 2, 5, -250, 37500},
        // And in the last digits elsewhere.
        {"e^x", 3, 4, 20.085536923187667741, 20.085536923187667741, 20.085536923187667741},
        {"e^x", -2, 4, 0.13533528323661269189, 0.13533528323661269189, 0.13533528323661269189},
        {"sin(x)", 1, 3, 0.54030230586813971740, -0.84147098480789650665, -0.54030230586813971740},
        {"ln(x)", 0.5, 3, 2, -4, 16}, {"arctan(x)", 1, 3, 0.5, -0.5, 0.5},
        {"sqrt(x^2+1)", 2, 3, 0.89442719099991587856, 0.089442719099991587856, -0.10733126291998990543},
        {"e^(-x^2)", 0.5, 3, -0.77880078307140486824, -0.77880078307140486824, 3.8940039153570243412},
        {"x^2", 2, 2, 4, 2, 0}, {"x^2/4", 3, 2, 1.5, 0.5, 0}, {"x^3/3-x", -1.7, 3, 1.89, -3.4, 2},
        // Far from 0 and close to it alike: ln(x) has f'''(1000) = 2e-9.
        {"ln(x)", 1000, 2, 1e-3, -1e-6, 2e-9}, {"ln(x)", 0.001, 3, 1000, -1e6, 2e9},
        {"sqrt(x)", 1e6, 2, 5e-4, -2.5e-10, 3.75e-16}, {"1/x", 1000, 3, -1e-6, 2e-9, -6e-12},
        {"x^3", 1000, 2, 3e6, 6000, 6}, {"x^5", 1000, 3, 5e12, 2e10, 6e7}, {"x^5", 0.001, 3, 5e-12, 2e-8, 6e-5},
        {"sqrt(x)", 0.001, 3, 15.811388300841896495, -7905.6941504209480831, 11858541.225631421878},
        // On the border of the fixed band: -100 shows as -1,00 E+2.
        {"exp(-50*x^2)", 0, 2, 0, -100, 0}, {"x*ln(x)", 0.1, 3, -1.3025850929940456840, 10, -100},
        // On a border of the rounding, shown as the number formats show the
        // border value: 9,1875 with three decimals, 0,85 with one (the double
        // nearest to it lies below), 2,5 E+6 and 1,875 E+3 whose estimates
        // lie a little beside the border.
        {"x^4", 0.875, 3, 2.6796875, 9.1875, 21}, {"1/x", 2, 2, -0.25, 0.25, -0.375},
        {"sqrt(x)", 4, 2, 0.25, -0.03125, 0.01171875}, {"0.5*x^2+0.25*x", 0.6, 1, 0.85, 1, 0},
        {"x^5", 50, 0, 31250000, 2500000, 150000}, {"x^2*x^2/64", 100, 2, 62500, 1875, 37.5},
        // A border of the domain: no derivative, and none of higher order.
        {"sqrt(x)", 0, 2, kNicht, kNicht, kNicht}, {"sqrt(4-x^2)", 2, 2, kNicht, kNicht, kNicht},
        {"sqrt(x)^3", 0, 2, kNicht, kNicht, kNicht},
        // Corners: f' jumps, or f'' does (x*|x| has f' = 2|x|).
        {"abs(x)", 0, 2, kNicht, kNicht, kNicht}, {"abs(x^2-4)", 2, 2, kNicht, kNicht, kNicht},
        {"abs(x^3-1)", 1, 2, kNicht, kNicht, kNicht}, {"x*abs(x)", 0, 2, 0, kNicht, kNicht},
        // A cusp: the one-sided quotients grow without bound.
        {"sqrt(abs(x))", 0, 2, kNicht, kNicht, kNicht},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(testing::Message() << f.term << " at " << f.x);
        Compile(f.term);
        const Wertetabelle t = WertetabelleBerechnen({f.x, f.x, 1, 0}, f.dezimalen);
        ASSERT_EQ(t.zeilen.size(), 1u);
        const double exakt[] = {f.f1, f.f2, f.f3};
        for (size_t k = 0; k < 3; ++k) {
            const std::string erwartet =
                std::isnan(exakt[k]) ? NichtDefiniertText() : FormatNumberComma(f.dezimalen, exakt[k]);
            EXPECT_EQ(t.zeilen[0][k + 2], erwartet) << "order " << k + 1;
        }
    }
    EXPECT_EQ(NichtDefiniertText(), " nicht def.");
    // A derivative that does not exist is no derivative left unsettled.
    Compile("abs(x)");
    EXPECT_EQ(WertetabelleBerechnen({0, 0, 1, 0}, 2).meldung, "");
    // Values are those of the family as the graph shows them.
    // A term without n is evaluated once, whatever the n range.
    gParams.FgSummeVon = 0;
    gParams.FgSummeBis = 3;
    Compile("x");
    EXPECT_EQ(Ohne(WertetabelleBerechnen({2, 2, 1, 0}, 2).zeilen[0][1]), "2,00");
    // With n it is the sum over the range: x * (0 + 1 + 2 + 3).
    Compile("n*x");
    EXPECT_EQ(Ohne(WertetabelleBerechnen({2, 2, 1, 0}, 2).zeilen[0][1]), "12,00");
    // t is the table's parameter.
    gParams.FgSummeVon = gParams.FgSummeBis = 0;
    Compile("t*x");
    EXPECT_EQ(Ohne(WertetabelleBerechnen({2, 2, 1, 3}, 2).zeilen[0][1]), "6,00");
}

// Sums of many frequencies: steps longer than the shortest period agree on
// the derivatives of the smooth curve the samples happen to lie on.
TEST_F(Tables, ValueTableDerivativesOfLongSumsAreRightOrSayWhy) {
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 999;
    Compile("sin(n*x)/n^2");
    // f'' and f''' of the sum from n = 1 to 999 at x = -8 .. 8 (mpmath); the
    // sum is odd, f'' odd and f''' even. At 0, f''' = -499500 lies on the
    // rounding border of -4,995 E+5 and shows as that value does.
    constexpr double f2[] = {-0.0954244969376, -0.0692571097196, -0.123182754797, -0.0718175585479,
                             -0.0541097504014, -0.0395423893432, -0.0260019126748, -0.0129099064588, 0};
    constexpr double f3[] = {-397.683699414, -245.307783638, -1047.11820458, -583.345471976, -520.855745849,
                             -495.116606958, -481.832713763, -475.130897264, -499500};
    const Wertetabelle t = WertetabelleBerechnen({-8, 8, 1, 0}, 2);
    ASSERT_EQ(t.zeilen.size(), 17u);
    for (size_t r = 0; r < 17; ++r) {
        const size_t i = r <= 8 ? r : 16 - r;
        const double seite = r <= 8 ? 1 : -1;
        SCOPED_TRACE(t.zeilen[r][0]);
        EXPECT_EQ(t.zeilen[r][3], FormatNumberComma(2, seite * f2[i]));
        EXPECT_EQ(t.zeilen[r][4], FormatNumberComma(2, f3[i]));
    }
    EXPECT_EQ(t.meldung, "");

    // Right, or "nicht def." and the message: where the halved steps are all
    // blind to the highest frequencies (2000 x 1/2^k close to multiples of
    // 2 pi), with 9999 terms, where the estimates cannot be told from 0 yet
    // could show as a number, next to a border of the rounding (-5,6499 E-2),
    // and for a term that rounds in steps coarser than its size suggests.
    struct Fall { const char* term; int bis; double x; int dezimalen; size_t k; double exakt; } faelle[] = {
        {"sin(n*x)/n^3", 2000, 4, 2, 3, 0.695512637158}, {"sin(n*x)/n^3", 2000, 5, 2, 3, 0.771522619295},
        {"sin(n*x)/n^2", 9999, -7, 2, 3, 13829.4480234}, {"sin(n*x)/n^2", 9999, 6, 2, 3, 32157.8128498},
        {"sin(n*x)/n^3", 3016, 4, 1, 3, 0.0842217567948},
        {"sin(n*x)/n^3", 2000, -2.3, 1, 3, -0.0252941306921},
        {"sin((2*n-1)*x)/(2*n-1)^3", 500, 3.55, 2, 3, 0.000379510159845},
        {"cos(n*x/3)/n^3", 999, -3.8, 1, 3, -0.0564988936389},
        {"tanh((x-1)/(1+(2*x)^6))", 0, -4.37, 2, 2, -2.03358098765e-5},
        // On the border of -4,9995 E+7 = -(1 + 2 + ... + 9999).
        {"sin(n*x)/n^2", 9999, 0, 3, 3, -49995000},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(testing::Message() << f.term << " at " << f.x);
        gParams.FgSummeBis = f.bis;
        Compile(f.term);
        const Wertetabelle e = WertetabelleBerechnen({f.x, f.x, 1, 0}, f.dezimalen);
        const std::string zelle = e.zeilen.at(0)[f.k + 1];
        if (zelle == NichtDefiniertText())
            EXPECT_EQ(e.meldung, kAbleitungenNichtGesichert);
        else
            EXPECT_EQ(zelle, FormatNumberComma(f.dezimalen, f.exakt));
    }
    // Terms whose samples round more coarsely off the grid of the halved
    // steps than on it are still settled.
    gParams.FgSummeBis = 500;
    Compile("sin(n*x)*exp(-n/50)");
    const WertetabelleZeile z = WertetabelleBerechnen({3, 3, 1, 0}, 0).zeilen.at(0);
    EXPECT_EQ(z[2] + z[3] + z[4], FormatNumberComma(0, -0.253271848388) + FormatNumberComma(0, 5.56847307803) +
                                       FormatNumberComma(0, 510.538892778));
    // A term without a derivative anywhere says why it shows none.
    gParams.FgSummeBis = 0;
    Compile("blanc(x)");
    const Wertetabelle b = WertetabelleBerechnen({0.3, 0.3, 1, 0}, 2);
    EXPECT_EQ(b.zeilen.at(0)[2], NichtDefiniertText());
    EXPECT_EQ(b.meldung, kAbleitungenNichtGesichert);
}

// Newton's steps from 1 towards the zero of x^2 halve x exactly: f' = 2 x
// is a power of two, and at some decimals it lies on a border of the
// rounding (4,8828125 E-4 with six). The column shows it as that value does.
TEST_F(Tables, NewtonSlopesOnABorderOfTheRoundingShowAsThatValueDoes) {
    Compile("x^2");
    for (int d = 1; d <= 7; ++d) {
        const NewtonErgebnis e = NewtonBerechnen(1, 0, d);
        ASSERT_GT(e.zeilen.size(), 20u);
        for (int n = 0; n <= 20; ++n)
            EXPECT_EQ(e.zeilen[static_cast<size_t>(n)][3], FormatNumberComma(d, std::ldexp(2.0, -n)))
                << d << " decimals, row " << n;
    }
}

}  // namespace
}  // namespace kalvo
