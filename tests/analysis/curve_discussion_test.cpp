#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "image_checks.h"

#include "analysis_state.h"
#include "canvas_recording.h"
#include "curve_discussion.h"
#include "curves.h"
#include "message_sink.h"
#include "program_state.h"
#include "term.h"
#include "work_test_support.h"

namespace kalvo {
namespace {

using L = Ergebnisliste;
using kalvo::test_support::kNaN;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr const char* kUrsprung = "Das Schaubild ist symmetrisch zum Ursprung.";
constexpr const char* kYAchse = "Das Schaubild ist symmetrisch zur y-Achse.";

// Keeps what a run hands to the window, and offers a printer when given one.
class Sammler : public KurvendiskussionAusgabe {
public:
    std::vector<std::string> listen[5];
    std::string symmetrie = "(nie gesetzt)";
    Canvas* drucker = nullptr;

    const std::vector<std::string>& operator[](L l) const { return listen[static_cast<int>(l)]; }
    // A list's lines without blanks, joined by one blank.
    std::string Kurz(L l) const {
        std::string s;
        for (const std::string& z : (*this)[l]) {
            if (!s.empty()) s += ' ';
            for (char c : z)
                if (c != ' ') s += c;
        }
        return s;
    }
    void ListeLeeren(L l) override { listen[static_cast<int>(l)].clear(); }
    void ZeileHinzufuegen(L l, const std::string& z) override { listen[static_cast<int>(l)].push_back(z); }
    void SymmetrieAnzeigen(const std::string& s) override { symmetrie = s; }
    Canvas* Drucker() override { return drucker; }
};

class Discussion : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        InitTermTrees();
        ResetKurvendiskussion();
    }
    // Compiles the term as the callers do and searches [a, b] with their step.
    void Run(const char* term, double a = -8, double b = 8, double t = 0, bool pole = false) {
        gKurvendiskussion.PoleUndAsymptotenSuchen = pole;
        gKurvendiskussion.SuchintervallVon = a;
        gKurvendiskussion.SuchintervallBis = b;
        ASSERT_TRUE(ParseTerm(FunktionTermbaum, term, true)) << term;
        KurvendiskussionBerechnen(a, b, std::fabs(b - a) / 500, t, out);
    }
    Sammler out;
    MessageRecorder messages;
};

TEST_F(Discussion, FindsZerosExtremaInflectionPointsAndSymmetry) {
    struct Case { const char* term; double a, b, t; const char *nullstellen, *extrema, *wendepunkte, *symmetrie; };
    const std::vector<Case> cases = {
        {"x^2-4", -8, 8, 0, "N(-2,00|0,00)m=-4,00 N(2,00|0,00)m=4,00", "T(0,00|-4,00)m=0,00", "---.---", kYAchse},
        // A minimum on the axis is also a zero (of even order).
        {"x^2", -8, 8, 0, "N(0,00|0,00)m=0,00", "T(0,00|0,00)m=0,00", "---.---", kYAchse},
        {"x^3", -8, 8, 0, "N(0,00|0,00)m=0,00", "---.---", "TR(0,00|0,00)m=0,00", kUrsprung},
        // Straight: the noise of the second difference makes no inflection point.
        {"2x+1", -8, 8, 0, "N(-0,50|0,00)m=2,00", "---.---", "---.---", ""},
        {"x^3-3x", -8, 8, 0, "N(-1,73|0,00)m=6,00 N(0,00|0,00)m=-3,00 N(1,73|0,00)m=6,00",
         "H(-1,00|2,00)m=0,00 T(1,00|-2,00)m=0,00", "W(0,00|0,00)m=-3,00", kUrsprung},
        {"x^4-2x^2", -8, 8, 0, "N(-1,41|0,00)m=-5,66 N(0,00|0,00)m=0,00 N(1,41|0,00)m=5,66",
         "T(-1,00|-1,00)m=0,00 H(0,00|0,00)m=0,00 T(1,00|-1,00)m=0,00",
         "W(-0,58|-0,56)m=1,54 W(0,58|-0,56)m=-1,54", kYAchse},
        {"sin(x)", -4, 4, 0, "N(-3,14|0,00)m=-1,00 N(0,00|0,00)m=1,00 N(3,14|0,00)m=-1,00",
         "T(-1,57|-1,00)m=0,00 H(1,57|1,00)m=0,00", "W(-3,14|0,00)m=-1,00 W(0,00|0,00)m=1,00 W(3,14|0,00)m=-1,00",
         kUrsprung},
        // Across a pole f and f'' change sign by a jump: no zero, no inflection point.
        {"1/x", -8, 8, 0, "---.---", "---.---", "---.---", kUrsprung},
        {"tan(x)", -4, 4, 0, "N(-3,14|0,00)m=1,00 N(0,00|0,00)m=1,00 N(3,14|0,00)m=1,00", "---.---",
         "W(-3,14|0,00)m=1,00 W(0,00|0,00)m=1,00 W(3,14|0,00)m=1,00", kUrsprung},
        // Undefined regions; a bounded domain keeps its symmetry.
        {"ln(x)", -8, 8, 0, "N(1,00|0,00)m=1,00", "---.---", "---.---", ""},
        {"sqrt(4-x^2)", -8, 8, 0, "N(-2,00|0,00)m=nichtdef. N(2,00|0,00)m=nichtdef.", "H(0,00|2,00)m=0,00", "---.---",
         kYAchse},
        {"sqrt(-1-x^2)", -8, 8, 0, "---.---", "---.---", "---.---", ""},
        {"x^2-t", -8, 8, 9, "N(-3,00|0,00)m=-6,00 N(3,00|0,00)m=6,00", "T(0,00|-9,00)m=0,00", "---.---", kYAchse},
        // Small values are values, not 0: the zero at 0.005 and its slope,
        // and the value of a minimum 0.005 above the axis, which is no zero.
        {"0.005*(x-0.005)", -8, 8, 0, "N(5,00E-3|0,00)m=5,00E-3", "---.---", "---.---", ""},
        {"(x-1)^2+0.005", -8, 8, 0, "---.---", "T(1,00|5,00E-3)m=0,00", "---.---", ""},
        // A maximum near the origin, sqrt(0.00001) = 3.16227766e-3 away.
        {"x^2-0.00001", -1, 1, 0, "N(-3,16E-3|0,00)m=-6,32E-3 N(3,16E-3|0,00)m=6,32E-3", "T(0,00|-1,00E-5)m=0,00", "---.---", kYAchse},
        // Points of the domain only: the maxima 1/2 of (1-cos(x))/x^2 and 1 of
        // sin(x)/x lie in the removable gap at 0; f rises towards the poles
        // of tan(x)/x, and e^(x/(1-x)) has underflowed to 0 on (1, 1.011],
        // beside a gap, on its way down to its limit 0 at 1. By hand:
        // sin(x)/x has x = -tan(x) at 2.0816 and 5.9404 for its inflection
        // points, e^(x/(1-x)) has f'' = 0 at 3/2.
        {"(1-cos(x))/x^2", -8, 8, 0, "N(-6,28|0,00)m=0,00 N(6,28|0,00)m=0,00", "T(-6,28|0,00)m=0,00 T(6,28|0,00)m=0,00",
         "W(-7,41|1,05E-2)m=-1,36E-2 W(-2,61|0,27)m=0,14 W(2,61|0,27)m=-0,14 W(7,41|1,05E-2)m=1,36E-2", kYAchse},
        {"sin(x)/x", -8, 8, 0, "N(-6,28|0,00)m=-0,16 N(-3,14|0,00)m=0,32 N(3,14|0,00)m=-0,32 N(6,28|0,00)m=0,16",
         "H(-7,73|0,13)m=0,00 T(-4,49|-0,22)m=0,00 T(4,49|-0,22)m=0,00 H(7,73|0,13)m=0,00",
         "W(-5,94|-5,66E-2)m=-0,17 W(-2,08|0,42)m=0,44 W(2,08|0,42)m=-0,44 W(5,94|-5,66E-2)m=0,17", kYAchse},
        {"tan(x)/x", -7.3, 9.1, 0, "N(-6,28|0,00)m=-0,16 N(-3,14|0,00)m=-0,32 N(3,14|0,00)m=0,32 N(6,28|0,00)m=0,16",
         "---.---", "W(-6,43|2,36E-2)m=-0,16 W(-3,41|7,98E-2)m=-0,29 W(3,41|7,98E-2)m=0,29 W(6,43|2,36E-2)m=0,16", kYAchse},
        {"exp(x/(1-x))", -3, 4, 0, "---.---", "---.---", "W(1,50|4,98E-2)m=0,20", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.term);
        Run(c.term, c.a, c.b, c.t);
        EXPECT_EQ(out.Kurz(L::Nullstellen), c.nullstellen);
        EXPECT_EQ(out.Kurz(L::Extrema), c.extrema);
        EXPECT_EQ(out.Kurz(L::Wendepunkte), c.wendepunkte);
        EXPECT_EQ(out.symmetrie, c.symmetrie);
    }
    // The arrays the drawing reads hold the unrounded values.
    Run("x^3-3x");
    EXPECT_EQ(gDiscussion.AnzahlNullstellen + gDiscussion.AnzahlExtrema + gDiscussion.AnzahlWendepunkte, 6);
    EXPECT_NEAR(gDiscussion.NullstelleX[3], std::sqrt(3.0), 1e-4);
    EXPECT_NEAR(gDiscussion.WendepunktSteigung[1], -3, 1e-4);
    EXPECT_EQ(gDiscussion.ExtremumArt[1], 1);
}

TEST_F(Discussion, ZerosOfEveryKind) {
    // Zeros and slopes by hand; "nichtdef." where f' does not exist.
    struct Case { const char* term; double a, b; const char* nullstellen; };
    const std::vector<Case> cases = {
        // Where the domain ends and f tends to 0 (sqrt(2) = 1.41421...).
        {"sqrt(9-x^2)", -8, 8, "N(-3,00|0,00)m=nichtdef. N(3,00|0,00)m=nichtdef."},
        {"sqrt(x-1)", -8, 8, "N(1,00|0,00)m=nichtdef."},
        {"sqrt(x^2-2x)", -8, 8, "N(0,00|0,00)m=nichtdef. N(2,00|0,00)m=nichtdef."},
        {"sqrt(2-x^2)", -8, 8, "N(-1,41|0,00)m=nichtdef. N(1,41|0,00)m=nichtdef."},
        {"x*sqrt(4-x^2)", -8, 8, "N(-2,00|0,00)m=nichtdef. N(0,00|0,00)m=2,00 N(2,00|0,00)m=nichtdef."},
        // f' = sqrt(x) + (x-4)/(2 sqrt(x)) is 2 at 4.
        {"sqrt(x)*(x-4)", -8, 8, "N(0,00|0,00)m=nichtdef. N(4,00|0,00)m=2,00"},
        // Ends of the domain where f does not tend to 0.
        {"sqrt(x)+1", -8, 8, "---.---"}, {"ln(x-1)", -8, 8, "N(2,00|0,00)m=1,00"},
        // However steep a crossing, a zero; a jump across the axis is none.
        {"5000*(x-1)", -8, 8, "N(1,00|0,00)m=5,00E+3"}, {"-3000*(x+2.5)", -8, 8, "N(-2,50|0,00)m=-3,00E+3"},
        {"400*(x^2-4)", -8, 8, "N(-2,00|0,00)m=-1,60E+3 N(2,00|0,00)m=1,60E+3"}, {"300*x/abs(x)", -8, 8, "---.---"},
        {"1/x", -8, 8, "---.---"},
        // A minimum or maximum off the axis is no zero; two zeros close
        // together (1 -+ 0.02, 3 -+ 0.001) stay two.
        {"(x+2)^2+0.003", -8, 8, "---.---"}, {"cos(x)+1.005", -8, 8, "---.---"}, {"-(x-5)^2-0.008", -8, 8, "---.---"},
        {"(x-1)^2-0.0004", -8, 8, "N(0,98|0,00)m=-4,00E-2 N(1,02|0,00)m=4,00E-2"},
        {"(x-3)^2-0.000001", -8, 8, "N(3,00|0,00)m=-2,00E-3 N(3,00|0,00)m=2,00E-3"},
        // Touching zeros, with f' = 0 there; at a corner there is no slope.
        {"(x-1)^2", -8, 8, "N(1,00|0,00)m=0,00"}, {"x^2-2x+1", -8, 8, "N(1,00|0,00)m=0,00"},
        {"x^4-2x^2+1", -8, 8, "N(-1,00|0,00)m=0,00 N(1,00|0,00)m=0,00"}, {"cos(x)+1", 0, 6, "N(3,14|0,00)m=0,00"},
        {"abs(x^2-4)", -8, 8, "N(-2,00|0,00)m=nichtdef. N(2,00|0,00)m=nichtdef."},
        // Slopes right to their digits near a pole: f' = -1/x^2 = -90000 at 1/300.
        {"1/x-300", 0.001, 1, "N(3,33E-3|0,00)m=-9,00E+4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.term);
        Run(c.term, c.a, c.b, 0, true);
        EXPECT_EQ(out.Kurz(L::Nullstellen), c.nullstellen);
    }
    // The slope of a zero at a border is stored as not a number.
    Run("sqrt(x-1)");
    EXPECT_TRUE(std::isnan(gDiscussion.NullstelleSteigung[1]));
    // Lines so steep that no sample is below the validity bound at x +- h.
    for (const auto& [term, zeile] : {std::pair{"1e9*(x-3)", "N(3,00|0,00)m=1,00E+9"},
                                      std::pair{"-1e12*(x+2)", "N(-2,00|0,00)m=-1,00E+12"}}) {
        SCOPED_TRACE(term);
        Run(term);
        EXPECT_EQ(out.Kurz(L::Nullstellen), zeile);
    }
}

TEST_F(Discussion, AZeroIsAPointOfTheDomain) {
    // Where f only tends to 0 at a place it is undefined, there is no zero;
    // where f is defined and 0 at the end of its domain, there is one.
    // Zeros and slopes by hand: (x-1)^2 ln(x-1) has f'(2) = 1, sin(x) ln(x)
    // has f' = sin(1), -ln(pi), ln(2 pi) at 1, pi, 2 pi.
    struct Case { const char *term, *nullstellen, *pole; };
    const std::vector<Case> cases = {
        {"x^2*ln(x)", "N(1,00|0,00)m=1,00", "---.----"}, {"sqrt(x)*ln(x)", "N(1,00|0,00)m=1,00", "---.----"},
        {"x^3*ln(x)", "N(1,00|0,00)m=1,00", "---.----"},
        {"sin(x)*ln(x)", "N(1,00|0,00)m=0,84 N(3,14|0,00)m=-1,14 N(6,28|0,00)m=1,84", "---.----"},
        {"(x-1)^2*ln(x-1)", "N(2,00|0,00)m=1,00", "---.----"}, {"(x+2)*ln(x+2)", "N(-1,00|0,00)m=1,00", "---.----"},
        {"x*exp(-1/x)", "---.---", nullptr},
        // f tends to 0 where an e-term passes the language's limits: at 1/90,
        // where e^(1/x) stops, and right of pi/2 and pi, where e^(tan(x)) and
        // e^(1/sin(x)) have underflowed to 0.
        {"1/(1+exp(1/x))", "---.---", "---.----"}, {"exp(tan(x))", "---.---", nullptr},
        {"exp(1/sin(x))", "---.---", nullptr},
        // Gaps of the domain, across which f changes sign or not.
        {"x^2/x", "---.---", "---.----"}, {"x^3/abs(x)", "---.---", "---.----"},
        {"x*ln(abs(x))", "N(-1,00|0,00)m=1,00 N(1,00|0,00)m=1,00", "---.----"},
        // Borders that belong to the domain, and poles at borders.
        {"sqrt(x)", "N(0,00|0,00)m=nichtdef.", "---.----"}, {"x*sqrt(x)", "N(0,00|0,00)m=nichtdef.", "---.----"},
        {"sqrt(-x)", "N(0,00|0,00)m=nichtdef.", "---.----"}, {"sqrt(2.5-x)", "N(2,50|0,00)m=nichtdef.", "---.----"},
        {"sqrt(4-x^2)", "N(-2,00|0,00)m=nichtdef. N(2,00|0,00)m=nichtdef.", "---.----"},
        {"sqrt(2-x^2)", "N(-1,41|0,00)m=nichtdef. N(1,41|0,00)m=nichtdef.", "---.----"},
        {"arccos(x)", "N(1,00|0,00)m=nichtdef.", "---.----"}, {"x", "N(0,00|0,00)m=1,00", "---.----"},
        {"ln(x)", "N(1,00|0,00)m=1,00", "x=0,00"}, {"1/sqrt(x)", "---.---", "x=0,00"},
        // f tends to 0 at the gap around 0, where the language leaves it
        // undefined within 3.2e-8, and is 0 to the language further out.
        {"exp(-1/x^2)", "---.---", nullptr},
        // The same on one side: the border at -+1e-5, where 1/x^3 passes
        // the language's limit, ends a stretch of zeros, not a zero of f.
        {"exp(1/x^3)", "---.---", nullptr}, {"exp(-1/x^3)", "---.---", nullptr}, {"x*exp(1/x^3)", "---.---", nullptr},
    };
    // With 0 a sample of the scan and without.
    for (const auto& [a, b] : {std::pair{-8.0, 8.0}, std::pair{-7.3, 9.1}}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.term << " on " << a << " " << b);
            Run(c.term, a, b, 0, true);
            EXPECT_EQ(out.Kurz(L::Nullstellen), c.nullstellen);
            if (c.pole) {
                EXPECT_EQ(out.Kurz(L::Pole), c.pole);
            }
        }
    }
    // Nor is that stretch of zeros an extremum; the inflection points are
    // at +-sqrt(2/3) with y = e^-1.5, slope 2 sqrt(27/8) e^-1.5.
    Run("exp(-1/x^2)");
    EXPECT_EQ(out.Kurz(L::Extrema), "---.---");
    EXPECT_EQ(out.Kurz(L::Wendepunkte), "W(-0,82|0,22)m=-0,82 W(0,82|0,22)m=0,82");
}

TEST_F(Discussion, BothEndsOfTheIntervalAreLookedAtAlike) {
    // Points exactly at a and at b, each case with its mirror image; points
    // just outside are not listed. Slopes by hand: 2x at +-8, (x-8)(x+3)
    // has 11 at 8, sin(pi x/8) has -+pi/8 at +-8.
    struct Case { const char* term; double a, b; const char *nullstellen, *extrema, *wendepunkte, *pole; };
    constexpr double kPi = std::numbers::pi;
    const std::vector<Case> cases = {
        {"x^2-64", -8, 8, "N(-8,00|0,00)m=-16,00 N(8,00|0,00)m=16,00", "T(0,00|-64,00)m=0,00", "---.---", nullptr},
        {"(x-8)*(x+3)", -8, 8, "N(-3,00|0,00)m=-11,00 N(8,00|0,00)m=11,00", "T(2,50|-30,25)m=0,00", "---.---", nullptr},
        // sin(pi) rounds to 1.2e-16, on the side of its left neighbour.
        {"sin(pi*x/8)", -8, 8, "N(-8,00|0,00)m=-0,39 N(0,00|0,00)m=0,39 N(8,00|0,00)m=-0,39",
         "T(-4,00|-1,00)m=0,00 H(4,00|1,00)m=0,00",
         "W(-8,00|0,00)m=-0,39 W(0,00|0,00)m=0,39 W(8,00|0,00)m=-0,39", nullptr},
        {"(x-8)^2", -8, 8, "N(8,00|0,00)m=0,00", "T(8,00|0,00)m=0,00", "---.---", nullptr},
        {"(x+8)^2", -8, 8, "N(-8,00|0,00)m=0,00", "T(-8,00|0,00)m=0,00", "---.---", nullptr},
        {"x^3", -8, 0, "N(0,00|0,00)m=0,00", "---.---", "TR(0,00|0,00)m=0,00", nullptr},
        {"x^3", 0, 8, "N(0,00|0,00)m=0,00", "---.---", "TR(0,00|0,00)m=0,00", nullptr},
        {"sin(x)", 0, kPi / 2, "N(0,00|0,00)m=1,00", "H(1,57|1,00)m=0,00", "W(0,00|0,00)m=1,00", nullptr},
        {"sin(x)", -kPi / 2, 0, "N(0,00|0,00)m=1,00", "T(-1,57|-1,00)m=0,00", "W(0,00|0,00)m=1,00", nullptr},
        // Borders of the domain at an end.
        {"sqrt(4-x^2)", 0, 2, "N(2,00|0,00)m=nichtdef.", "H(0,00|2,00)m=0,00", "---.---", "---.----"},
        {"sqrt(4-x^2)", -2, 0, "N(-2,00|0,00)m=nichtdef.", "H(0,00|2,00)m=0,00", "---.---", "---.----"},
        {"sqrt(-x)", -8, 0, "N(0,00|0,00)m=nichtdef.", "---.---", "---.---", "---.----"},
        {"-x*sqrt(-x)", -8, 0, "N(0,00|0,00)m=nichtdef.", "---.---", "---.---", "---.----"},
        {"x^2*ln(-x)", -8, 0, "N(-1,00|0,00)m=-1,00", nullptr, nullptr, "---.----"},
        {"ln(-x)", -8, 0, "N(-1,00|0,00)m=-1,00", "---.---", "---.---", "x=0,00"},
        {"1/(x-3)", -5, 3, "---.---", "---.---", "---.---", "x=3,00"},
        {"1/(x-3)", 3, 7, "---.---", "---.---", "---.---", "x=3,00"},
        // Just outside either end.
        {"x+8.01", -8, 8, "---.---", "---.---", "---.---", "---.----"},
        {"x-8.01", -8, 8, "---.---", "---.---", "---.---", "---.----"},
        {"1/(x+8.01)", -8, 8, "---.---", "---.---", "---.---", "---.----"},
        {"1/(x-8.01)", -8, 8, "---.---", "---.---", "---.---", "---.----"},
        {"(x-8.01)^2", -8, 8, "---.---", "---.---", "---.---", nullptr},
        // Stretches of zeros up to an end: of a step, of an e-term that has
        // underflowed beside its pole (its limit 0 is not attained, and f is
        // level there, no minimum).
        {"maxint(x)", 0, 3, "---.---", "---.---", "---.---", "---.----"},
        {"exp(1/x^3)", -1, 0, "---.---", "---.---", "W(-0,91|0,26)m=-1,16", "x=0,00(rechtsseitig)"},
        {"exp(-1/x^3)", 0, 2, "---.---", "---.---", "W(0,91|0,26)m=1,16", "x=0,00(linksseitig)"},
        {"exp(x/(1-x))", 0.5, 3, "---.---", "---.---", "W(1,50|4,98E-2)m=0,20", "x=1,00(linksseitig)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.term << " on " << c.a << " " << c.b);
        Run(c.term, c.a, c.b, 0, true);
        EXPECT_EQ(out.Kurz(L::Nullstellen), c.nullstellen);
        if (c.extrema) {
            EXPECT_EQ(out.Kurz(L::Extrema), c.extrema);
        }
        if (c.wendepunkte) {
            EXPECT_EQ(out.Kurz(L::Wendepunkte), c.wendepunkte);
        }
        if (c.pole) {
            EXPECT_EQ(out.Kurz(L::Pole), c.pole);
        }
    }
    // A point at an end is stored at the end itself.
    Run("(x-8)^2", -8, 8);
    EXPECT_EQ(gDiscussion.ExtremumX[1], 8);
    EXPECT_EQ(gDiscussion.NullstelleX[1], 8);
}

TEST_F(Discussion, FlatExtremaSitInTheMiddleOfTheirFlatStretch) {
    // Around these extrema f keeps its value to the last bit over up to
    // 0.05 on either side; the extremum is the middle, by hand.
    struct Case { const char *term, *extrema, *nullstellen; };
    const std::vector<Case> cases = {
        {"x^8", "T(0,00|0,00)m=0,00", "N(0,00|0,00)m=0,00"}, {"x^10", "T(0,00|0,00)m=0,00", "N(0,00|0,00)m=0,00"},
        {"(x-2)^10+3", "T(2,00|3,00)m=0,00", "---.---"}, {"(x-2)^12+3", "T(2,00|3,00)m=0,00", "---.---"},
        {"1e4+x^4", "T(0,00|1,00E+4)m=0,00", "---.---"},
        // (x+1)^12 = 2 at x = -1 -+ 2^(1/12), where f' = -+12 * 2^(11/12).
        {"-(x+1)^12+2", "H(-1,00|2,00)m=0,00", "N(-2,06|0,00)m=22,65 N(5,95E-2|0,00)m=-22,65"},
        {"5", "---.---", "---.---"},
        // Level on one side only, to the last digit: beside a step, where an
        // e-term has reached its limit (e^(x^2)/(1 + e^(x^2)) is 1 from
        // |x| = 6.06 on), or at the removable gap of tanh(x)/x and of the
        // cubic at 1. Where sgn(x)*3 + x^2 falls towards -3 there is no minimum.
        {"arctan(x)+arctan(1/x)", "---.---", "---.---"}, {"exp(x^2)/(1+exp(x^2))", "T(0,00|0,50)m=0,00", "---.---"},
        {"3*exp(x^2)/(1+exp(x^2))", "T(0,00|1,50)m=0,00", "---.---"}, {"tanh(x)/x", "---.---", "---.---"},
        {"(x-1)/(x-1)*(x^3-3*x)", "H(-1,00|2,00)m=0,00", "N(-1,73|0,00)m=6,00 N(0,00|0,00)m=-3,00 N(1,73|0,00)m=6,00"},
        {"sgn(x)*3+x^2", "---.---", "N(-1,73|0,00)m=-3,46 N(0,00|0,00)m=nichtdef."},
        // A jump is no zero, nor is a stretch where f is 0 throughout; the
        // least value of x int(x), 0 on (-1, 1), is kept as a level extremum.
        {"int(x)", "---.---", "---.---"}, {"maxint(x)", "---.---", "---.---"}, {"int(x/2)", "---.---", "---.---"},
        {"0*x", "---.---", "---.---"}, {"x-x", "---.---", "---.---"}, {"int(x)*x", "T(0,00|0,00)m=0,00", "---.---"},
    };
    for (const auto& [a, b] : {std::pair{-8.0, 8.0}, std::pair{-7.3, 9.1}}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << c.term << " on " << a << " " << b);
            Run(c.term, a, b);
            EXPECT_EQ(out.Kurz(L::Extrema), c.extrema);
            EXPECT_EQ(out.Kurz(L::Nullstellen), c.nullstellen);
        }
    }
}

TEST_F(Discussion, InflectionPointsNeedATangent) {
    struct Case { const char *term, *wendepunkte, *extrema; };
    const std::vector<Case> cases = {
        // Corners where the curvature changes sign: no inflection point,
        // and no slope at a corner extremum.
        {"abs(x^2-4)", "---.---", "T(-2,00|0,00)m=nichtdef. H(0,00|4,00)m=0,00 T(2,00|0,00)m=nichtdef."},
        {"abs(x^3-1)", "TR(0,00|1,00)m=0,00", "T(1,00|0,00)m=nichtdef."}, {"abs(x^2-4)+x^3/100", "---.---", nullptr},
        {"abs(x)-2", "---.---", "T(0,00|-2,00)m=nichtdef."},
        // Straight pieces far from the axis: the second difference is
        // rounding noise and changes sign at random.
        {"1e4+3*abs(x-1)", "---.---", "T(1,00|1,00E+4)m=nichtdef."},
        // f' continuous (x*|x| has f' = 2|x|): a terrace point.
        {"x*abs(x)", "TR(0,00|0,00)m=0,00", "---.---"}, {"x^3", "TR(0,00|0,00)m=0,00", "---.---"},
        {"tanh(x)", "W(0,00|0,00)m=1,00", "---.---"}, {"x^5-x", "W(0,00|0,00)m=-1,00", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.term);
        Run(c.term);
        EXPECT_EQ(out.Kurz(L::Wendepunkte), c.wendepunkte);
        if (c.extrema) {
            EXPECT_EQ(out.Kurz(L::Extrema), c.extrema);
        }
    }
}

TEST_F(Discussion, InflectionPointsOfSteepAndFlatCurves) {
    // By hand: f'' = 6ax (+ its shift) for the cubics, -ln(x)/(4x^1.5) for
    // sqrt(x)ln(x), 2x(x^2-3)/(1+x^2)^3 for x/(1+x^2).
    struct Case { const char* term; double a, b; const char* wendepunkte; };
    const std::vector<Case> cases = {
        // Steep: f changes by far more than 100 across a scan step.
        {"10*x^3+5000*x", -8, 8, "W(0,00|0,00)m=5,00E+3"}, {"100*x^3+5000*x", -8, 8, "W(0,00|0,00)m=5,00E+3"},
        {"1e4*x^3+1e4*x", -8, 8, "W(0,00|0,00)m=1,00E+4"}, {"1e6*x+0.1*x^3", -8, 8, "W(0,00|0,00)m=1,00E+6"},
        {"(x-1)^3+5000*x", -8, 8, "W(1,00|5,00E+3)m=5,00E+3"}, {"x^3+1000*x", -8, 8, "W(0,00|0,00)m=1,00E+3"},
        {"1000*sin(x)", -4, 4, "W(-3,14|0,00)m=-1,00E+3 W(0,00|0,00)m=1,00E+3 W(3,14|0,00)m=-1,00E+3"},
        // On the axis within the rounding of the place: y is 0, not 1e-7.
        {"x^3+3000*x", -8, 8, "W(0,00|0,00)m=3,00E+3"}, {"1000*tanh(x)", -8, 8, "W(0,00|0,00)m=1,00E+3"},
        {"sqrt(x)*ln(x)", -8, 8, "W(1,00|0,00)m=1,00"},
        // f'' = 20x^3 changes sign with a zero of third order: the place is
        // known far less closely, its value still right.
        {"x^5-5x", -8, 8, "W(0,00|0,00)m=-5,00"}, {"x^5-5x+0.0003", -8, 8, "W(0,00|3,00E-4)m=-5,00"},
        // Flat: f' changes by less than 0.00001 over five scan steps.
        {"1e-5*x^3", -8, 8, "TR(0,00|0,00)m=0,00"}, {"1e-6*x^3+x", -8, 8, "W(0,00|0,00)m=1,00"},
        {"x/(1+x^2)", -8, 8, "W(-1,73|-0,43)m=-0,12 W(0,00|0,00)m=1,00 W(1,73|0,43)m=-0,12"},
        // A jump where f'' changes sign is no inflection point, steep or not.
        {"x^3+300*x/abs(x)", -8, 8, "---.---"}, {"(x-0.5)^3+300*(x-0.5)/abs(x-0.5)", -8, 8, "---.---"},
        {"x^3+0.5*x/abs(x)", -8, 8, "---.---"},
        // Straight lines with a removable gap: near the gap and near the zero
        // the quotient's rounding is far above that of f's own size.
        {"(x^2+x-6)/(x-2)", -3, 2, "---.---"}, {"(x^2+x-6)/(x-2)", -5, 5, "---.---"},
        {"(x^2-9)/(x-3)", 3, 8, "---.---"}, {"(x^2-4)/(x+2)", -2, 4, "---.---"},
        // The terrace points of (x-1)^3 and (x-0.5)^3 + 1/8 lie in the gap.
        {"(x-1)/(x-1)*(x-1)^3", -8, 8, "---.---"}, {"(x-0.5)/(x-0.5)*(x^3-1.5*x^2+0.75*x)", -8, 8, "---.---"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.term);
        Run(c.term, c.a, c.b);
        EXPECT_EQ(out.Kurz(L::Wendepunkte), c.wendepunkte);
    }
    // The arrays hold the places themselves, not those of the second
    // difference over +-0.001.
    Run("sqrt(x)*ln(x)");
    ASSERT_EQ(gDiscussion.AnzahlWendepunkte, 1);
    EXPECT_NEAR(gDiscussion.WendepunktX[1], 1, 1e-8);
    Run("exp(-x^2)");
    ASSERT_EQ(gDiscussion.AnzahlWendepunkte, 2);
    EXPECT_NEAR(gDiscussion.WendepunktX[2], std::sqrt(0.5), 1e-8);
    EXPECT_NEAR(gDiscussion.WendepunktY[2], std::exp(-0.5), 1e-8);
}

TEST_F(Discussion, LinesKeepTheWindowsBlanksAndDecimals) {
    Run("x^3-3x");
    EXPECT_EQ(out[L::Nullstellen][0], "N( -1,73|  0,00)  m =  6,00");
    EXPECT_EQ(out[L::Extrema][0], "H( -1,00|  2,00)  m =  0,00");
    EXPECT_EQ(out[L::Wendepunkte][0], "W(  0,00|  0,00)  m = -3,00");
    EXPECT_TRUE(out[L::Pole].empty());  // only emptied without the pole option
    gDisplay.Nachkommastellen = 0;
    Run("x^2-400", -30, 30);
    EXPECT_EQ(out[L::Extrema][0], "T(   0|  -4 E+2)  m =   0");
    EXPECT_EQ(out[L::Wendepunkte][0], kLeerePunktliste);
    gDisplay.Nachkommastellen = 2;
    Run("sqrt(x-1)");
    EXPECT_EQ(out[L::Nullstellen][0], "N(  1,00|  0,00)  m = nicht def.");
    // Poles and asymptotes with the decimal comma, in their own widths; the
    // stored asymptote is a term and keeps its point.
    Run("x+1+1/(x-1)", -8, 8, 0, true);
    EXPECT_EQ(out[L::Pole], std::vector<std::string>{"x =  1,00"});
    EXPECT_EQ(out[L::Asymptoten], std::vector<std::string>{"y =  x +  1,00"});
    EXPECT_EQ(gDiscussion.AsymptotenText[0].str(), "x+1.00");
    Run("-2.5x-150+1/(x+10)", -20, 20, 0, true);
    EXPECT_EQ(out[L::Pole], std::vector<std::string>{"x = -10,00"});
    EXPECT_EQ(out[L::Asymptoten], std::vector<std::string>{"y =  -2,50 * x -  1,50 E+2"});
    EXPECT_EQ(gDiscussion.AsymptotenText[0].str(), "-2.50*x-1.50e+2");
}

TEST_F(Discussion, SumsOverNAsTheGraphDoes) {
    gParams.FgSummeVon = 1;
    gParams.FgSummeBis = 3;
    Run("x^n");  // x + x^2 + x^3
    EXPECT_EQ(out.Kurz(L::Nullstellen), "N(0,00|0,00)m=1,00");
    EXPECT_EQ(out.Kurz(L::Wendepunkte), "W(-0,33|-0,26)m=0,67");
    // A term without n is evaluated once, as drawn, not three times.
    Run("x^2-4");
    EXPECT_EQ(out.Kurz(L::Extrema), "T(0,00|-4,00)m=0,00");
}

TEST_F(Discussion, PointListsHoldFiftyEntriesThePoleListEveryPole) {
    Run("sin(50x)", -8, 8, 0, true);  // about 250 of each, no pole
    for (L l : {L::Nullstellen, L::Extrema, L::Wendepunkte}) EXPECT_EQ(out[l].size(), 50u);
    EXPECT_EQ(gDiscussion.AnzahlNullstellen + gDiscussion.AnzahlExtrema + gDiscussion.AnzahlWendepunkte, 150);
    EXPECT_EQ(out[L::Pole], std::vector<std::string>{kLeerePolliste});

    // 49 simple zeros, then the double zero at 0 that only the minimum
    // there finds: it becomes the 50th, and the 49th stays.
    const double z49 = -49 * std::numbers::pi / 50;
    Run("x*sin(50x)", z49 - 0.02, 0.01);
    ASSERT_EQ(gDiscussion.AnzahlNullstellen, 50);
    EXPECT_NEAR(gDiscussion.NullstelleX[49], -std::numbers::pi / 50, 0.001);
    EXPECT_EQ(gDiscussion.NullstelleX[50], 0);

    // Every pole is listed (tan(20x) has 102 in [-8, 8]), up to the room
    // for them; past it the list says that it is cut.
    Run("tan(20x)", -8, 8, 0, true);
    EXPECT_EQ(gDiscussion.AnzahlPole, 102);
    ASSERT_EQ(out[L::Pole].size(), 102u);
    EXPECT_EQ(out[L::Pole][101], "x = " + RealToStrComma(gDiscussion.PolX[102], 5, 2));
    // Poles every pi/125.66 = 0.025 in [-100, 100]: some 8000.
    Run("1/sin(125.66x)^10", -100, 100, 0, true);
    EXPECT_EQ(gDiscussion.AnzahlPole, kMaxPoles);
    ASSERT_EQ(out[L::Pole].size(), static_cast<size_t>(kMaxPoles) + 1);
    EXPECT_EQ(out[L::Pole].back(), PollisteGekuerztText());
}

TEST_F(Discussion, FindsPoles) {
    struct Case { const char* term; double a, b; const char* pole; };
    const std::vector<Case> cases = {
        {"1/x", -8, 8, "x=0,00"},
        {"1/x^2", -8, 8, "x=0,00"},  // f keeps its sign, its slope changes it
        // Placed by the sign change of f, not where the samples first straddle the pole.
        {"tan(x)", -8, 8, "x=-7,85 x=-4,71 x=-1,57 x=1,57 x=4,71 x=7,85"},
        {"1/(x-1)+1/(x+3)", -8, 8, "x=-3,00 x=1,00"},
        // In the last tenth of a step of the pole scan (samples at 0 and 0.00064).
        {"1/(x-0.0006)", -8, 8, "x=0,00"}, {"1/(x-0.0006)^2", -8, 8, "x=0,00"},
        // The first pole of a run is listed wherever it is.
        {"1/(x+1000)", -1001, -999, "x=-1000,00"}, {"x^2-4", -8, 8, "---.----"}, {"sqrt(-1-x^2)", -8, 8, "---.----"},
        // tan has its poles at odd multiples of pi/2: 64 of them in [-100, 100].
        {"tan(x)", -100, 100, nullptr},
        // Slow poles, which the scan's thresholds of 100 and 1000 never see.
        {"ln(abs(x))", -8, 8, "x=0,00"}, {"1/sqrt(abs(x-1))", -8, 8, "x=1,00"},
        // Where the domain ends and |f| grows without bound.
        {"ln(x-1)", -8, 8, "x=1,00"}, {"1/sqrt(x-2)", -8, 8, "x=2,00"}, {"sqrt(x)+2/x", -8, 8, "x=0,00"},
        {"ln(x)", -8, 8, "x=0,00"}, {"1/sqrt(4-x^2)", -8, 8, "x=-2,00 x=2,00"},
        {"ln(4-x^2)", -8, 8, "x=-2,00 x=2,00"},
        // Ends of the domain where f stays bounded.
        {"sqrt(x)", -8, 8, "---.----"}, {"sqrt(x)+1", -8, 8, "---.----"}, {"sqrt(9-x^2)", -8, 8, "---.----"},
        // Large values alone are no pole: a steep zero, a steep extremum, a jump.
        {"5000*(x-1)", -8, 8, "---.----"}, {"400*(x^2-4)", -8, 8, "---.----"},
        {"-500*(x-3)^2+200", -8, 8, "---.----"}, {"300*x/abs(x)", -8, 8, "---.----"},
        // Unbounded on one side only, finite on the other: a pole, with its
        // side. Beside it the language leaves f undefined where e^(1/x)
        // passes e^90, out to 1/90 (and to 10/90 for e^(10/x)).
        {"exp(1/x)", -8, 8, "x=0,00(rechtsseitig)"}, {"exp(-1/x)", -8, 8, "x=0,00(linksseitig)"},
        {"x*exp(1/x)", -8, 8, "x=0,00(rechtsseitig)"}, {"x*exp(-1/x)", -8, 8, "x=0,00(linksseitig)"},
        {"exp(1/(x-2))", -8, 8, "x=2,00(rechtsseitig)"}, {"exp(-1/(x+3))", -8, 8, "x=-3,00(linksseitig)"},
        {"exp(10/x)", -8, 8, "x=0,00(rechtsseitig)"}, {"(1+sgn(x))/x", -8, 8, "x=0,00(rechtsseitig)"},
        {"exp(1/(x^2-1))", -8, 8, "x=-1,00(linksseitig) x=1,00(rechtsseitig)"},
        {"exp(1/sin(x))", -7.3, 9.1,
         "x=-6,28(rechtsseitig) x=-3,14(linksseitig) x=0,00(rechtsseitig) x=3,14(linksseitig) x=6,28(rechtsseitig)"},
        // At an end, also with f unbounded only outside; beyond it, none.
        {"exp(-1/x)", 0, 8, "x=0,00(linksseitig)"}, {"exp(1/x)", -8, 0, "x=0,00(rechtsseitig)"},
        {"exp(1/x)", 0.5, 8, "---.----"},
        // Unbounded on both sides of such a stretch, or of a pole where f
        // changes sign: no side is named.
        {"exp(1/x^2)", -8, 8, "x=0,00"}, {"exp(1/(x-1)^2)", -8, 8, "x=1,00"}, {"exp(1/x)-exp(-1/x)", -8, 8, "x=0,00"},
        // A stretch that lies off the pole: e^(1/x^2 + 1/x) ends at -0.1 and
        // 1/9, e^(1/x^2 + 10/x) falls again left of -0.1; and one that lies
        // around it, at 0.05, which stays where it is.
        {"exp(1/x^2+1/x)", -8, 8, "x=0,00"}, {"exp(1/x^2-1/x)", -7.3, 9.1, "x=0,00"}, {"exp(1/x^2+10/x)", -8, 8, "x=0,00"},
        {"exp(1/(x-2.5)^2+1/(x-2.5))", -8, 8, "x=2,50"}, {"exp(1/(x-0.05)^2)", -8, 8, "x=0,05"},
        {"1/(1-exp(x))", -8, 8, "x=0,00"},
        // Finite on both sides: a removable point, a jump, a step.
        {"sin(x)/x", -8, 8, "---.----"}, {"(x^2-1)/(x-1)", -8, 8, "---.----"}, {"sgn(x)", -8, 8, "---.----"},
        {"maxint(x)", -8, 8, "---.----"}, {"1/(1+exp(1/x))", -8, 8, "---.----"},
        {"exp(1/x)/(1+exp(1/x))", -8, 8, "---.----"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.term);
        Run(c.term, c.a, c.b, 0, true);
        if (c.pole) {
            EXPECT_EQ(out.Kurz(L::Pole), c.pole);
            continue;
        }
        ASSERT_EQ(gDiscussion.AnzahlPole, 64);
        for (int k = 1; k <= 64; ++k)
            EXPECT_NEAR(gDiscussion.PolX[static_cast<size_t>(k)], (k - 32.5) * std::numbers::pi, 1e-3);
    }
    Run("1/(x-0.0006)^2", -8, 8, 0, true);
    EXPECT_NEAR(gDiscussion.PolX[1], 0.0006, 0.0001);
    // The drawing's line goes through the pole itself.
    Run("exp(1/x^2+1/x)", -8, 8, 0, true);
    EXPECT_EQ(gDiscussion.PolX[1], 0);
}

TEST_F(Discussion, FindsAsymptotes) {
    struct Case { const char *term, *zeilen, *terme; };
    const std::vector<Case> cases = {
        // The same line on both sides is listed once.
        {"2x+1", "y=2,00*x+1,00", "2.00*x+1.00"}, {"1/x", "y=0,0", "0.0"}, {"(x^2+1)/x", "y=x", "x"},
        {"e^x", "y=0,0", "0.0"},  // left only: on the right f passes 1e7
        // The same intercept with different slopes are two lines, right first.
        {"sqrt(x^2+1)", "y=x y=-x", "x -x"}, {"arctan(x)", "y=1,57 y=-1,57", "1.57 -1.57"},
        {"200x-3", "y=2,00E+2*x-3,00", "2.00e+2*x-3.00"},
        // Slowly bending graphs pass the slope test far out but approach no line.
        {"sqrt(x)", "---.----", ""}, {"ln(x)", "---.----", ""}, {"x^2", "---.----", ""}, {"sin(x)", "---.----", ""},
        // The limit line, not the value at the last test point, however
        // slowly f approaches it (limits by hand).
        {"2/sqrt(x+1)", "y=0,0", "0.0"}, {"1/sqrt(x-2)", "y=0,0", "0.0"}, {"1+1/ln(x+3)", "y=1,00", "1.00"},
        {"3-5/ln(x+1)", "y=3,00", "3.00"}, {"x+1/sqrt(x)", "y=x", "x"}, {"(2x^3+1)/(x^2+1)", "y=2,00*x", "2.00*x"},
        {"sin(x)/x", "y=0,0", "0.0"},
        // No limit far out: none is listed.
        {"ln(ln(x))", "---.----", ""}, {"x+sin(x)", "---.----", ""}, {"x+sqrt(x)", "---.----", ""},
        // A line is its own asymptote, once, however steep or flat; far out
        // m x leaves the intercept no digits, so it comes from nearer in.
        {"1000000*(x-0.5)", "y=1,00E+6*x-5,00E+5", "1.00e+6*x-5.00e+5"}, {"1000000*x", "y=1,00E+6*x", "1.00e+6*x"},
        {"1000000*x+1", "y=1,00E+6*x+1,00", "1.00e+6*x+1.00"}, {"1e9*x", "y=1,00E+9*x", "1.00e+9*x"},
        {"-1e7*x+123", "y=-1,00E+7*x+1,23E+2", "-1.00e+7*x+1.23e+2"}, {"5x+1e5", "y=5,00*x+1,00E+5", "5.00*x+1.00e+5"},
        {"1e-6*x+3", "y=1,00E-6*x+3,00", "1.00e-6*x+3.00"}, {"-1e-6*x", "y=-1,00E-6*x", "-1.00e-6*x"},
        {"x+0.05", "y=x+5,00E-2", "x+5.00e-2"},
        // Near-lines: a line and a term that fades, 1/x even where m x is huge.
        {"1e6*x+1/x", "y=1,00E+6*x", "1.00e+6*x"}, {"1e9*x+1/x", "y=1,00E+9*x", "1.00e+9*x"},
        {"5e5*x+3e5/x", "y=5,00E+5*x", "5.00e+5*x"}, {"1e8*(x-3)+1/x", "y=1,00E+8*x-3,00E+8", "1.00e+8*x-3.00e+8"},
        {"x^2/(x+1)", "y=x-1,00", "x-1.00"}, {"3x+exp(-x)", "y=3,00*x", "3.00*x"},
        // Lines a little apart are two, not their mean: x + 1/4 and x - 1/4,
        // y = pi/20 and y = -pi/20.
        {"x+0.25*tanh(x)", "y=x+0,25 y=x-0,25", "x+0.25 x-0.25"}, {"arctan(x)/10", "y=0,16 y=-0,16", "0.16 -0.16"},
        // Where an e-term passes the language's limits (e^90) before the far
        // samples, the line is found closer in: logistic and saturation
        // curves, tanh written with e, lines plus such terms.
        {"exp(x)/(exp(x)+1)", "y=1,00 y=0,0", "1.00 0.0"},
        {"(exp(x)-exp(-x))/(exp(x)+exp(-x))", "y=1,00 y=-1,00", "1.00 -1.00"},
        {"5*exp(2*x)/(exp(2*x)+4)", "y=5,00 y=0,0", "5.00 0.0"}, {"exp(x)/(exp(x)+1)+x", "y=x+1,00 y=x", "x+1.00 x"},
        {"1/(1-exp(x))", "y=0,0 y=1,00", "0.0 1.00"}, {"ln(exp(x)+1)", "y=x y=0,0", "x 0.0"},
        {"10/(1+9*exp(-0.5*x))", "y=10,00 y=0,0", "10.00 0.0"}, {"exp(x-80)/(exp(x-80)+1)", "y=1,00 y=0,0", "1.00 0.0"},
        {"exp(0.01*x)/(exp(0.01*x)+1)", "y=1,00 y=0,0", "1.00 0.0"}, {"exp(x^2)/(1+exp(x^2))", "y=1,00", "1.00"},
        {"2x+3+exp(-x)/(1+exp(-x))", "y=2,00*x+3,00 y=2,00*x+4,00", "2.00*x+3.00 2.00*x+4.00"},
        // Such a term with a rational approach beside it, which has not
        // reached the line where the e-term ends f.
        {"exp(x)/(exp(x)+1)+1/x", "y=1,00 y=0,0", "1.00 0.0"},
        {"3*exp(x)/(exp(x)+1)+1/(x+2)", "y=3,00 y=0,0", "3.00 0.0"},
        {"(exp(x)-exp(-x))/(exp(x)+exp(-x))+1/x", "y=1,00 y=-1,00", "1.00 -1.00"},
        {"exp(x)/(exp(x)+1)+x+1/x", "y=x+1,00 y=x", "x+1.00 x"},
        // Beside it a slow bend is no such approach.
        {"exp(x)/(exp(x)+1)+ln(x+9)", "---.----", ""},
        // Poles that recur, and spikes that keep their height, far out
        // between the samples: no line, however small f is at the samples.
        {"tan(x)/x", "---.----", ""}, {"tan(x)/x^2", "---.----", ""}, {"x+tan(x)/x", "---.----", ""},
        {"1/(1+x^2*sin(x)^2)", "---.----", ""}, {"x+sin(x)/x", "y=x", "x"},
        // Bending too slowly to tell up to the language's limit on x: no line.
        {"x^0.001", "---.----", ""},
        // The same value at every far sample of a period, and the level at
        // which sinh and cosh stop, are no lines.
        {"cos(pi*x/8)", "---.----", ""}, {"cos(2*pi*x/13)", "---.----", ""}, {"cosh(x)", "---.----", ""},
        {"sinh(x)", "---.----", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.term);
        Run(c.term, -8, 8, 0, true);
        EXPECT_EQ(out.Kurz(L::Asymptoten), c.zeilen);
        std::string terme;
        for (int i = 0; i < gDiscussion.AnzahlAsymptoten; ++i) {
            terme += (i ? " " : "") + gDiscussion.AsymptotenText[static_cast<size_t>(i)].str();
            // The drawing compiles the stored text as a term of its own.
            Termbaum tree;
            EXPECT_TRUE(ParseTerm(tree, gDiscussion.AsymptotenText[static_cast<size_t>(i)].str(), true));
        }
        EXPECT_EQ(terme, c.terme);
    }
}

TEST_F(Discussion, EveryRunStartsFromEmptyResults) {
    Run("1/x", -8, 8, 0, true);
    ASSERT_EQ(gDiscussion.AnzahlPole + gDiscussion.AnzahlAsymptoten, 2);
    // Without the option the drawing must not meet the last run's poles.
    Run("x^2-4");
    EXPECT_EQ(gDiscussion.AnzahlPole + gDiscussion.AnzahlAsymptoten, 0);
    Run("sqrt(-1-x^2)");
    EXPECT_EQ(gDiscussion.AnzahlNullstellen + gDiscussion.AnzahlExtrema + gDiscussion.AnzahlWendepunkte, 0);
    // A term that did not compile leaves an empty tree: undefined everywhere.
    Run("x^2-4", -8, 8, 0, true);
    QuietParsing quiet;
    ASSERT_FALSE(ParseTerm(FunktionTermbaum, "x)", true));
    KurvendiskussionBerechnen(-8, 8, 0.032, 0, out);
    EXPECT_EQ(gDiscussion.AnzahlNullstellen + gDiscussion.AnzahlExtrema + gDiscussion.AnzahlPole, 0);
    EXPECT_EQ(out.Kurz(L::Nullstellen) + out.Kurz(L::Pole) + out.Kurz(L::Asymptoten), "---.------.-------.----");
}

TEST_F(Discussion, AwkwardIntervalsAndStepsNeitherHangNorCrash) {
    struct Case { double a, b, step; int nullstellen; };
    const std::vector<Case> cases = {
        {-8, 8, 0, 2}, {-8, 8, -0.032, 2}, {-8, 8, kNaN, 2}, {-8, 8, kInf, 2}, {8, -8, 0.032, 2}, {-8, 8, 1e-12, 2},
        // An interval of one point holds the zero there, and nothing beside it.
        {2, 2, 0, 1}, {3, 3, 0, 0}, {kNaN, 8, 0.1, 0}, {-kInf, 1, 1, 0}, {-1e300, 1e300, 4e297, 0}, {-1.7e308, 1.7e308, 1, 0},
    };
    gKurvendiskussion.PoleUndAsymptotenSuchen = true;
    ASSERT_TRUE(ParseTerm(FunktionTermbaum, "x^2-4", true));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a << " " << c.b << " " << c.step);
        KurvendiskussionBerechnen(c.a, c.b, c.step, 0, out);
        EXPECT_EQ(gDiscussion.AnzahlNullstellen, c.nullstellen);
    }
    // Far out the bisection cannot halve below the spacing of doubles.
    Run("x-1e12-3", 1e12 - 8, 1e12 + 8);
    EXPECT_EQ(out.Kurz(L::Nullstellen).substr(0, 16), "N(1,00E+12|0,00)");
    EXPECT_NEAR(gDiscussion.NullstelleX[1], 1e12 + 3, 0.001);
    // Asymptote searches that start where a step of 10 is lost, or nowhere.
    for (double von : {1e300, kNaN}) {
        gKurvendiskussion.SuchintervallVon = gKurvendiskussion.SuchintervallBis = von;
        KurvendiskussionBerechnen(-8, 8, 0.032, 0, out);
        EXPECT_EQ(gDiscussion.AnzahlAsymptoten, 0);
    }
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(Discussion, AWorkBudgetSpentInThePoleSearchEmptiesItsListsAndSaysWhy) {
    // A second of work passes after some 200,000 units: the point search of
    // x^2 - 4 takes a sixth of that, the pole search with its fiftyfold
    // finer scan six times as much.
    SteppingClock clock(100'000'000);
    Run("x^2-4", -8, 8, 0, false);
    EXPECT_EQ(out.symmetrie, kYAchse);
    Run("x^2-4", -8, 8, 0, true);
    // The point lists were finished and stay; poles and asymptotes say why they are empty.
    EXPECT_EQ(out.Kurz(L::Nullstellen), "N(-2,00|0,00)m=-4,00 N(2,00|0,00)m=4,00");
    for (L l : {L::Pole, L::Asymptoten}) {
        ASSERT_EQ(out[l].size(), 1u);
        EXPECT_NE(out[l][0].find(kZuVielRechenaufwand), std::string::npos);
    }
    EXPECT_EQ(out.symmetrie, kDiskussionAbgebrochen);
    EXPECT_EQ(gDiscussion.AnzahlPole + gDiscussion.AnzahlAsymptoten, 0);
    EXPECT_FALSE(gKurvendiskussion.DiskussionDruck);
}

TEST_F(Discussion, PrintsEachNonEmptyListUnderItsHeading) {
    RecordingCanvas printer;
    out.drucker = &printer;
    KurvendiskussionZustand& z = gKurvendiskussion;
    z.DiskussionDruck = true;
    z.DruckY = 130;
    z.DruckZeilenhoehe = 50;
    Run("x^2-4", -8, 8, 0, true);
    struct Text { int y, size; std::string text; };
    // No inflection points, poles or asymptotes: neither heading nor line.
    const Text expected[] = {
        {230, 11, "Schnittpunkte mit der x-Achse"}, {280, 8, "N( -2,00|  0,00)  m = -4,00"},
        {330, 8, "N(  2,00|  0,00)  m =  4,00"}, {430, 11, "Hoch- und Tiefpunkte"},
        {480, 8, "T(  0,00| -4,00)  m =  0,00"}, {580, 11, kYAchse},
    };
    const std::vector<CanvasRecord>& texts = printer.Records();
    ASSERT_EQ(texts.size(), std::size(expected));
    for (size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(texts[i].text, expected[i].text);
        EXPECT_EQ(texts[i].at, (CanvasPoint{200, expected[i].y})) << expected[i].text;
        EXPECT_EQ(texts[i].font.size, expected[i].size) << expected[i].text;
    }
    EXPECT_EQ(z.DruckY, 580);
    EXPECT_FALSE(z.DiskussionDruck);

    printer.ClearRecords();
    z.DiskussionDruck = true;
    Run("1/x", -8, 8, 0, true);
    std::vector<std::string> gedruckt;
    for (const CanvasRecord& r : printer.Records()) gedruckt.push_back(r.text);
    EXPECT_EQ(gedruckt, (std::vector<std::string>{"Pole", "x =  0,00", "Asymptoten", "y =   0,0", kUrsprung}));
    // The next run, not printing, leaves the page alone.
    printer.ClearRecords();
    Run("x^2-4");
    EXPECT_TRUE(printer.Records().empty());
}

}  // namespace
}  // namespace kalvo
