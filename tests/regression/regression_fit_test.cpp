#include "regression_fit.h"

#include <cmath>

#include "models.h"
#include "number_cells.h"
#include "regression_test_support.h"
#include "sinefit.h"

namespace kalvo {
namespace {

using test::RegressionTest;
using test::Rows;
using test::RowsOf;
using test::Tabelle;

class FitTest : public RegressionTest {
protected:
    // Checks the table and fits without report; the check must pass.
    FitErgebnis Fit(const Rows& rows, int modell, bool report = false) {
        gRegression.RegressionModell = static_cast<uint8_t>(modell);
        tabelle = Tabelle(rows);
        bool fehler = false;
        Tabellepruefen(tabelle, fehler);
        EXPECT_FALSE(fehler) << (messages.messages().empty() ? "" : messages.messages().back());
        return calculate_fit(report);
    }
    Messwerttabelle tabelle;
};

TEST_F(FitTest, TableCheckSortsClosesGapsAndEmptiesHalfRows) {
    Messwerttabelle t = Tabelle({{"3", "9"}, {"", "7"}, {"1", "1"}, {"sqrt(4)", "4"}, {"5", ""}, {"x", "1"}});
    bool fehler = true;
    Tabellepruefen(t, fehler);
    EXPECT_FALSE(fehler);
    EXPECT_EQ(RegrAnzahl, 3);
    EXPECT_EQ((std::vector<std::string>{t.x[1], t.x[2], t.x[3], t.x[4], t.y[2], t.y[4]}),
              (std::vector<std::string>{"1", "2", "3", "", "4", ""}));
    EXPECT_EQ(std::pair(RegrX[3], RegrY[3]), std::pair(3.0, 9.0));
    EXPECT_EQ(gRegression.MesswertTexteX[2], "2");
    EXPECT_EQ(gRegression.MesswertTexteY[3], "9");
    EXPECT_TRUE(messages.messages().empty());
    // An empty table leaves the flag as the caller set it.
    Messwerttabelle leer;
    fehler = true;
    Tabellepruefen(leer, fehler);
    EXPECT_TRUE(fehler);
    EXPECT_EQ(RegrAnzahl, 0);
    // Sorting keeps the pairs together, equal x included.
    TVector x{0, 5, 1, 4, 1, 3, 2, 0}, y{0, 50, 10, 40, 11, 30, 20, 0};
    SortWertepaare(x, y, 7);
    for (int i = 1; i < 7; ++i) EXPECT_LE(x[i], x[i + 1]);
    for (int i = 1; i <= 7; ++i) EXPECT_TRUE(y[i] == 10 * x[i] || y[i] == 11) << i;
}

TEST_F(FitTest, MinimumPairCountsAndPowerModelChecks) {
    const char* more = "Zahl der Wertepaare erhöhen!";
    const struct {
        int modell, pairs, grad, p, q;
        const char* message;  // nullptr: accepted
    } cases[] = {
        {11, 4, 3, 1, 1, more}, {11, 5, 3, 1, 1, nullptr}, {8, 2, 3, 1, 1, more},    {5, 2, 3, 1, 1, more},
        {0, 1, 3, 1, 1, more},  {0, 2, 3, 1, 1, nullptr},  {9, 1, 3, 1, 1, nullptr},
        {3, 4, 3, 2, 2, "Zahl der Wertepaare erhöhen!\nz>=Grad p + Grad q + 1"}, {3, 5, 3, 2, 2, nullptr},
        {2, 4, 4, 1, 1, "Zahl der Wertepaare erhöhen!\nz>=Grad p + 1"},         {2, 5, 4, 1, 1, nullptr},
    };
    for (const auto& c : cases) {
        messages.clear();
        gRegression.RegressionModell = static_cast<uint8_t>(c.modell);
        gRegression.PolynomGrad = c.grad;
        gRegression.ZaehlerGrad = c.p;
        gRegression.NennerGrad = c.q;
        Messwerttabelle t = Tabelle(RowsOf(1, 1, c.pairs, [](double x) { return x * x; }));
        t.x[1] = "9";  // out of order: a failed check keeps what was typed
        bool fehler = false;
        Tabellepruefen(t, fehler);
        if (c.message) {
            EXPECT_TRUE(fehler) << c.modell << "/" << c.pairs;
            ASSERT_EQ(messages.messages().size(), 1u);
            EXPECT_EQ(messages.messages()[0], c.message);
            EXPECT_EQ(t.x[1], "9");
        } else {
            EXPECT_FALSE(fehler) << c.modell << "/" << c.pairs;
            EXPECT_TRUE(messages.messages().empty());
        }
    }

    const std::pair<Rows, const char*> power[] = {
        {{{"0", "0"}, {"1", "1"}, {"2", "4"}}, nullptr},
        {{{"0", "1"}, {"1", "1"}, {"2", "4"}}, "für x = 0 muss y = 0 festgelegt werden!"},
        {{{"-1", "1"}, {"1", "1"}, {"2", "4"}}, "x-Werte:\nx >= 0"},
    };
    gRegression.RegressionModell = 7;
    for (const auto& [rows, message] : power) {
        messages.clear();
        Messwerttabelle t = Tabelle(rows);
        bool fehler = false;
        Tabellepruefen(t, fehler);
        EXPECT_EQ(fehler, message != nullptr);
        EXPECT_EQ(messages.messages(), message ? std::vector<std::string>{message} : std::vector<std::string>{});
    }
}

TEST_F(FitTest, EachModelGivesItsTermAndF) {
    gRegression.PolynomGrad = 3;
    // Exact data for each model, so the terms are known.
    auto rows = [](auto f) { return RowsOf(0.5, 0.5, 6, f); };
    const struct { int modell; Rows rows; const char* function; } cases[] = {
        {0, rows([](double x) { return 2 * x + 1; }), "y = 2,0000*x+1,0000"},
        {9, rows([](double x) { return -3 * x; }), "y = -3,0000*x"},
        {8, rows([](double x) { return x * x - 2 * x + 0.5; }), "y = 0,5000-2,0000x^1+1,0000x^2"},
        {2, rows([](double x) { return x * x * x + 5; }), "y = 5,0000+0,0000x^1+0,0000x^2+1,0000x^3"},
        {4, rows([](double x) { return 3 * std::exp(-0.5 * x); }), "y = 2,9914*exp(-0,4974*x)"},
        {7, rows([](double x) { return 2 * std::pow(x, 1.5); }), "y = 2,0000*x^1,5000"},
        {3, rows([](double x) { return (1 + 2 * x) / (1 + 0.5 * x); }), "y = (1,0000+2,0000x^1)/(1+0,5000x^1)"},
    };
    for (const auto& c : cases) {
        messages.clear();
        const FitErgebnis e = Fit(c.rows, c.modell);
        ASSERT_TRUE(e.ok) << c.modell;
        EXPECT_EQ(e.Funktionstext, c.function) << c.modell;
        EXPECT_EQ(gTerms.TermF.str(), NormalizeTermText(RemoveBlanks(c.function + 4))) << c.modell;
        // f(x) is a term the program can draw.
        QuietParsing quiet;
        EXPECT_TRUE(ParseTerm(FunktionTermbaum, gTerms.TermF.str(), true)) << gTerms.TermF.str();
    }
    // With the function graph off the term is shown, f stays empty.
    gRegression.RegressionsgraphZeichnen = false;
    EXPECT_FALSE(Fit(cases[0].rows, 0).Funktionstext.empty());
    EXPECT_TRUE(gTerms.TermF.empty());
}

TEST_F(FitTest, CorrelationSignFollowsTheSlopeForLinesOnly) {
    const Rows falling = {{"1", "-1"}, {"2", "-2,1"}, {"3", "-2,9"}, {"4", "-4,2"}};
    EXPECT_EQ(Fit(falling, 0).Korrelationstext, "Korrelationskoeffizient: r =  -0,9961     ");
    EXPECT_NE(Fit(falling, 9).Korrelationstext.find("-"), std::string::npos);
    EXPECT_EQ(Fit(falling, 8).Korrelationstext.find("-"), std::string::npos);
}

// Logistic data fitted where the curve levels off: rounded to four
// decimals the plateau reads 5,0000 twice; a falling curve is near 0 at its
// right end, its level is at the left.
TEST_F(FitTest, LogisticDataAreFittedWhereverTheyLevelOff) {
    // Expected values from an independent linearised fit (python).
    const struct { Rows rows; const char* function; const char* r; } cases[] = {
        {RowsOf(0, 1, 10, [](double x) { return std::nearbyint(5E4 / (1 + std::exp(-2 * x + 4))) / 1E4; }),
         "y = 5,0000/(1+exp(-2,0097*x+4,0201))", "0,9991"},
        {RowsOf(-2, 1, 11, [](double x) { return 5 / (1 + std::exp(2 * x - 4)); }),
         "y = 4,9983/(1+exp(2,0088*x-4,0478))", "0,9992"},
    };
    for (const auto& c : cases) {
        messages.clear();
        const FitErgebnis e = Fit(c.rows, 10);
        EXPECT_TRUE(e.ok);
        EXPECT_TRUE(messages.messages().empty());
        EXPECT_EQ(e.Funktionstext, c.function);
        EXPECT_EQ(e.Korrelationstext, std::string("Korrelationskoeffizient: r =   ") + c.r + "     ");
    }
}

// Growth readings below 0 at the start (corrected for a blank value) are
// fitted: the report names the pairs the estimate left out. Values of the
// line through the others, by mpmath.
TEST_F(FitTest, LogisticFitOfReadingsBelowZeroNamesWhatItLeftOut) {
    const char* y[] = {"-1,09", "-0,78", "-0,56", "-0,33", "-0,15", "0,49", "0,32", "1,39", "1,78", "3,47",
                       "5,25",  "6,38",  "8,22",  "8,76",  "9,53",  "10,01", "9,65", "10,18", "9,86", "10,13"};
    Rows rows;
    for (int i = 0; i < 20; ++i) rows.emplace_back(std::to_string(i), y[i]);
    const FitErgebnis e = Fit(rows, 10, true);
    ASSERT_TRUE(e.ok);
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(e.Funktionstext, "y = 10,1800/(1+exp(-0,5971*x+6,1114))");
    ASSERT_GT(e.Protokoll.size(), 8u);
    EXPECT_EQ(e.Protokoll[6].substr(0, 7), "   c = ");
    EXPECT_EQ(e.Protokoll[7], "6 Wertepaare nicht in der Schätzung (y nicht zwischen 0 und a)");
    // The one pair on the level of data that stay inside it.
    EXPECT_EQ(Fit({{"0", "0,5"}, {"1", "1"}, {"2", "2"}, {"3", "3"}, {"4", "3,5"}}, 10, true).Protokoll[7],
              "1 Wertepaar nicht in der Schätzung (y nicht zwischen 0 und a)");
}

// All y equal leave no correlation to report; the logistic estimate needs
// points strictly between 0 and its level that rise towards it: without -1
// (beyond 0) and 3 (on the level) the points fall away from the level; 1, 2,
// 1, 2 leave, without the points on the level 2, no slope towards it.
TEST_F(FitTest, FailedFitsShowTheMessageAndKeepF) {
    const std::pair<Rows, int> cases[] = {
        {{{"1", "2"}, {"2", "2"}, {"3", "2"}}, 0},
        {{{"1", "1"}, {"2", "2"}, {"3", "1"}, {"4", "2"}}, 10},
        {{{"1", "-1"}, {"2", "3"}, {"3", "2,5"}, {"4", "2"}}, 10},
    };
    for (const auto& [rows, modell] : cases) {
        gTerms.TermF = "x^2";
        messages.clear();
        EXPECT_FALSE(Fit(rows, modell).ok) << rows[1].second;
        EXPECT_EQ(messages.messages(), std::vector<std::string>{kMsgFitUnmoeglich});
        EXPECT_EQ(gTerms.TermF.str(), "x^2");
    }
}

TEST_F(FitTest, SineFitAndItsFailurePath) {
    const FitErgebnis e = Fit(RowsOf(0, 0.4, 20, [](double x) { return 2 * std::sin(1.1 * x + 0.3) + 1; }), 11, true);
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(e.Funktionstext.rfind("f(x) = ", 0), 0u);
    EXPECT_NEAR(SinusFit.SinusParameter[1], 1.1, 1e-6);
    EXPECT_EQ(e.Protokoll.front(), "Regressionsmodell: f(x)=a sin(bx + c)+ d");
    EXPECT_EQ(e.Protokoll[4].substr(0, 7), "   a = ");

    // All x equal: no period over the data range; nothing published.
    gTerms.TermF = "1";
    messages.clear();
    const auto before = SinusFit.SinusParameter;
    gRegression.RegressionModell = 11;
    RegrAnzahl = 5;
    AllocVector(RegrX, 5);
    AllocVector(RegrY, 5);
    for (int i = 1; i <= 5; ++i) RegrX[i] = 1, RegrY[i] = i;
    EXPECT_FALSE(calculate_fit(false).ok);
    EXPECT_EQ(messages.messages().at(0), "Die Kurvenanpassung ist nicht möglich!");
    EXPECT_EQ(SinusFit.SinusParameter, before);
    EXPECT_EQ(gTerms.TermF.str(), "1");
}

// A parameter is rounding noise when its term changes the fitted values by no
// more than 1e-12 of the largest |y|, whatever its own size.
TEST_F(FitTest, SmallParametersAreCleanedByTheirEffectOverTheData) {
    const struct {
        const char* what;
        int modell;
        Rows rows;
        const char* function;
    } cases[] = {
        // The intercept of exact data comes out as rounding noise.
        {"exact line", 0, {{"0,1", "0,3"}, {"0,2", "0,6"}, {"0,3", "0,9"}, {"0,7", "2,1"}, {"1,1", "3,3"}},
         "y = 3,0000*x+0,0000"},
        {"3e-13 on y up to 10", 0, RowsOf(1, 1, 5, [](double x) { return 2 * x + 3e-13; }), "y = 2,0000*x+0,0000"},
        // The whole table is small; its parameters are all there is.
        {"small scale", 9, RowsOf(1, 1, 5, [](double x) { return 2.5e-13 * x; }), "y = 2,5000E-13*x"},
        {"small line", 0, RowsOf(1, 1, 5, [](double x) { return 2.5e-13 * x - 1e-13; }), "y = 2,5000E-13*x-1,0000E-13"},
    };
    for (const auto& c : cases) {
        const FitErgebnis e = Fit(c.rows, c.modell);
        ASSERT_TRUE(e.ok) << c.what;
        EXPECT_EQ(e.Funktionstext, c.function) << c.what;
    }
}

// NIST Pontius: y = B0 + B1 x + B2 x^2 with x up to 3e6. B2 = -3.2e-15 moves
// the fitted values by 0.028, over a hundred times the residual standard
// deviation; the term, the report and the drawn f(x) must keep it.
TEST_F(FitTest, PontiusQuadraticIsShownAndDrawnAsCertified) {
    const test_support::NistData d = test_support::ReadNist("Pontius.txt");
    ASSERT_EQ(d.pairs.size(), 40u);
    const double b[] = {d.certified.at("B0"), d.certified.at("B1"), d.certified.at("B2")};
    // Shown texts: the certified values rounded to the decimals by hand.
    const struct {
        int decimals;
        const char* function;
        std::vector<std::string> abc;  // report lines of a, b, c
        double drawnTol;               // what rounding the shown coefficients can change at x = 3e6
    } cases[] = {
        {4, "y = 6,7357E-4+7,3206E-7x^1-3,1608E-15x^2",
         {"   a =    -3,1608 E-15  ", "   b =     7,3206 E-7   ", "   c =     6,7357 E-4   "}, 4e-5},
        {6, "y = 6,735658E-4+7,320592E-7x^1-3,160819E-15x^2",
         {"   a =    -3,160819 E-15", "   b =     7,320592 E-7 ", "   c =     6,735658 E-4 "}, 4e-7},
    };
    for (const auto& c : cases) {
        gRegression.RegressionNachkommastellen = c.decimals;
        const FitErgebnis e = Fit(RowsOf(d), kModellQuadratisch, true);
        ASSERT_TRUE(e.ok);
        EXPECT_EQ(e.Funktionstext, c.function);
        EXPECT_EQ(std::vector(e.Protokoll.begin() + 4, e.Protokoll.begin() + 7), c.abc);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(RegrParameter[k], b[k], 1e-9 * std::fabs(b[k])) << k;
        QuietParsing quiet;
        ASSERT_TRUE(ParseTerm(FunktionTermbaum, gTerms.TermF.str(), true)) << gTerms.TermF.str();
        for (auto [x, y] : d.pairs) {
            const double certified = b[0] + b[1] * x + b[2] * x * x;
            EXPECT_NEAR(EvalTerm(FunktionTermbaum, x, 0, 0, 0, 0), certified, c.drawnTol) << x;
        }
    }
}

// A cooling curve falls towards its level from above; exact data leave no
// standard deviation but rounding noise, which shows as 0.
TEST_F(FitTest, BoundedGrowthFitsACoolingCurveAndExactDataShowNoDeviation) {
    const FitErgebnis e = Fit(RowsOf(0, 4, 11, [](double x) { return 20 + 60 * std::exp(-0.1 * x); }), 5, true);
    ASSERT_TRUE(e.ok) << (messages.messages().empty() ? "" : messages.messages().back());
    EXPECT_EQ(e.Funktionstext, "y = 20,0000+60,0000*exp(-0,1000*x)");
    const std::vector<std::string>& p = e.Protokoll;
    EXPECT_EQ(std::vector(p.begin() + 4, p.begin() + 7),
              (std::vector<std::string>{"   a =   -60,0000       ", "   b =    -0,1000       ", "   c =    20,0000       "}));
    EXPECT_EQ(p.at(p.size() - 2), "Standardabweichung: s =   0,0000     ");

    const FitErgebnis line = Fit({{"0,1", "0,3"}, {"0,2", "0,6"}, {"0,3", "0,9"}, {"0,7", "2,1"}}, 0, true);
    ASSERT_TRUE(line.ok);
    EXPECT_EQ(line.Protokoll.at(line.Protokoll.size() - 2), "Standardabweichung: s =   0,0000     ");
}

// y = m x is measured against y = 0: r^2 = 1 - SSE / sum y^2 = 1459/1460
// for these data (python fractions), where the centred form gives 1.051.
TEST_F(FitTest, LineThroughTheOriginReportsTheUncentredCorrelation) {
    gRegression.RegressionNachkommastellen = 6;
    const FitErgebnis e = Fit({{"10", "20"}, {"11", "23"}, {"12", "23"}, {"13", "26"}, {"14", "28"}}, 9, true);
    ASSERT_TRUE(e.ok);
    EXPECT_EQ(e.Korrelationstext, "Korrelationskoeffizient: r =   0,999657     ");  // sqrt(1459/1460)
    EXPECT_EQ(e.Protokoll.at(7), "                        r² =   0,999315     ");
}

TEST_F(FitTest, LongRationalTermsGetFewerDecimalsInsteadOfBeingCut) {
    gRegression.ZaehlerGrad = 4;
    gRegression.NennerGrad = 4;
    gRegression.RegressionNachkommastellen = 6;
    const FitErgebnis e =
        Fit(RowsOf(0.37, 0.37, 15, [](double x) { return (1 + x - 0.3 * x * x) / (1 + 0.2 * x + 0.01 * x * x * x); }), 3);
    ASSERT_TRUE(e.ok);
    EXPECT_LE(CharCount(gTerms.TermF.str()), kTermChars);
    QuietParsing quiet;
    EXPECT_TRUE(ParseTerm(FunktionTermbaum, gTerms.TermF.str(), true)) << gTerms.TermF.str();
}

TEST_F(FitTest, ReportOfALinearFitOfThreePairs) {
    const FitErgebnis e = Fit({{"1", "2"}, {"2", "4,1"}, {"3", "5,9"}}, 0, true);
    ASSERT_TRUE(e.ok);
    const std::vector<std::string>& p = e.Protokoll;
    ASSERT_EQ(p.size(), 20u);
    const std::string dash(60, '-');
    const std::pair<size_t, std::string> lines[] = {
        {0, "Regressionsmodell: y = m*x + c"}, {1, dash}, {2, "Anpassungsparameter     "}, {3, dash},
        {4, "   c =     1,0000 E-1   "}, {5, "   m =     1,9500       "}, {6, dash}, {9, ""}, {10, "Messwerte"},
        {12, "    x           y gemessen    y berechnet      delta y      "},
        {14, "  1,0000         2,0000         2,0500        -5,0000 E-2   "}, {17, dash}, {19, "    "},
    };
    for (const auto& [i, text] : lines) EXPECT_EQ(p[i], text) << i;
    EXPECT_EQ(p[7].rfind("Korrelationskoeffizient: r =   0,9990", 0), 0u) << p[7];
    EXPECT_EQ(p[8].rfind("                        r² =   0,99", 0), 0u) << p[8];
    EXPECT_EQ(p[18].rfind("Standardabweichung: s = ", 0), 0u);
}

TEST_F(FitTest, NorrisThroughTheTableToTheCertifiedLine) {
    const test_support::NistData d = test_support::ReadNist("Norris.txt");
    ASSERT_EQ(d.pairs.size(), 36u);
    gRegression.RegressionNachkommastellen = 6;
    const FitErgebnis e = Fit(RowsOf(d), 0, true);
    ASSERT_TRUE(e.ok);
    EXPECT_NEAR(RegrParameter[0], d.certified.at("B0"), 1e-10);
    EXPECT_NEAR(RegrParameter[1], d.certified.at("B1"), 1e-12);
    EXPECT_EQ(e.Funktionstext, "y = 1,002117*x-0,262323");
    EXPECT_EQ(e.Korrelationstext, "Korrelationskoeffizient: r =   0,999997     ");
    EXPECT_EQ(e.Protokoll[e.Protokoll.size() - 2], "Standardabweichung: s =   0,884796     ");
    EXPECT_NEAR(std::sqrt(d.certified.at("r_squared")), 0.999997, 1e-6);
}

}  // namespace
}  // namespace kalvo
