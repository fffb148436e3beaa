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
#include "message_sink.h"
#include "program_state.h"
#include "term.h"

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
    struct Case {
        const char* term;
        double a, b, t;
        const char *nullstellen, *extrema, *wendepunkte, *symmetrie;
    };
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
        {"sqrt(4-x^2)", -8, 8, 0, "---.---", "H(0,00|2,00)m=0,00", "---.---", kYAchse},
        {"sqrt(-1-x^2)", -8, 8, 0, "---.---", "---.---", "---.---", ""},
        {"x^2-t", -8, 8, 9, "N(-3,00|0,00)m=-6,00 N(3,00|0,00)m=6,00", "T(0,00|-9,00)m=0,00", "---.---", kYAchse},
        // Below 0.01 counts as 0: the zero at 0.005 and its slope, and a
        // minimum 0.005 above the axis, which becomes a zero too.
        {"0.005*(x-0.005)", -8, 8, 0, "N(0,00|0,00)m=0,00", "---.---", "---.---", ""},
        {"(x-1)^2+0.005", -8, 8, 0, "N(1,00|0,00)m=0,00", "T(1,00|0,00)m=0,00", "---.---", ""},
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

TEST_F(Discussion, ListsHoldAtMostFiftyEntries) {
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

    Run("tan(20x)", -8, 8, 0, true);  // about a hundred poles
    EXPECT_EQ(gDiscussion.AnzahlPole, kMaxPoles);
    ASSERT_EQ(out[L::Pole].size(), 50u);
    EXPECT_EQ(out[L::Pole][49], "x = " + RealToStrComma(gDiscussion.PolX[50], 5, 2));
}

TEST_F(Discussion, FindsPoles) {
    struct Case {
        const char* term;
        double a, b;
        const char* pole;
    };
    const std::vector<Case> cases = {
        {"1/x", -8, 8, "x=0,00"},
        {"1/x^2", -8, 8, "x=0,00"},  // f keeps its sign, its slope changes it
        // Placed by the sign change of f, not where the samples first straddle the pole.
        {"tan(x)", -8, 8, "x=-7,85 x=-4,71 x=-1,57 x=1,57 x=4,71 x=7,85"},
        {"1/(x-1)+1/(x+3)", -8, 8, "x=-3,00 x=1,00"},
        // In the last tenth of a step of the pole scan (samples at 0 and 0.00064).
        {"1/(x-0.0006)", -8, 8, "x=0,00"},
        {"1/(x-0.0006)^2", -8, 8, "x=0,00"},
        // The first pole of a run is listed wherever it is.
        {"1/(x+1000)", -1001, -999, "x=-1000,00"},
        {"x^2-4", -8, 8, "---.----"},
        {"sqrt(-1-x^2)", -8, 8, "---.----"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.term);
        Run(c.term, c.a, c.b, 0, true);
        EXPECT_EQ(out.Kurz(L::Pole), c.pole);
    }
    Run("1/(x-0.0006)^2", -8, 8, 0, true);
    EXPECT_NEAR(gDiscussion.PolX[1], 0.0006, 0.0001);
}

TEST_F(Discussion, FindsAsymptotes) {
    struct Case {
        const char *term, *zeilen, *terme;
    };
    const std::vector<Case> cases = {
        // The same line on both sides is listed once.
        {"2x+1", "y=2.00*x+1.00", "2.00*x+1.00"},
        {"1/x", "y=0.0", "0.0"},
        {"(x^2+1)/x", "y=x", "x"},
        {"e^x", "y=0.0", "0.0"},  // left only: on the right f passes 1e7
        // The same intercept with different slopes are two lines, right first.
        {"sqrt(x^2+1)", "y=x y=-x", "x -x"},
        {"arctan(x)", "y=1.57 y=-1.57", "1.57 -1.57"},
        {"200x-3", "y=2.00E+2*x-3.00", "2.00e+2*x-3.00"},
        // Slowly bending graphs pass the slope test far out but approach no line.
        {"sqrt(x)", "---.----", ""},
        {"ln(x)", "---.----", ""},
        {"x^2", "---.----", ""},
        {"sin(x)", "---.----", ""},
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
    struct Case {
        double a, b, step;
        int nullstellen;
    };
    const std::vector<Case> cases = {
        {-8, 8, 0, 2},     {-8, 8, -0.032, 2}, {-8, 8, kNaN, 2},         {-8, 8, kInf, 2},
        {8, -8, 0.032, 2}, {-8, 8, 1e-12, 2},  {2, 2, 0, 0},             {kNaN, 8, 0.1, 0},
        {-kInf, 1, 1, 0},  {-1e300, 1e300, 4e297, 0},                    {-1.7e308, 1.7e308, 1, 0},
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

TEST_F(Discussion, PrintsEachNonEmptyListUnderItsHeading) {
    RecordingCanvas printer;
    out.drucker = &printer;
    KurvendiskussionZustand& z = gKurvendiskussion;
    z.DiskussionDruck = true;
    z.DruckY = 130;
    z.DruckZeilenhoehe = 50;
    Run("x^2-4", -8, 8, 0, true);
    struct Text {
        int y, size;
        std::string text;
    };
    // No inflection points, poles or asymptotes: neither heading nor line.
    const Text expected[] = {
        {230, 11, "Schnittpunkte mit der x-Achse"}, {280, 8, "N( -2,00|  0,00)  m = -4,00"},
        {330, 8, "N(  2,00|  0,00)  m =  4,00"},    {430, 11, "Hoch- und Tiefpunkte"},
        {480, 8, "T(  0,00| -4,00)  m =  0,00"},    {580, 11, kYAchse},
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
    EXPECT_EQ(gedruckt, (std::vector<std::string>{"Pole", "x =  0,00", "Asymptoten", "y =   0.0", kUrsprung}));
    // The next run, not printing, leaves the page alone.
    printer.ClearRecords();
    Run("x^2-4");
    EXPECT_TRUE(printer.Records().empty());
}

}  // namespace
}  // namespace kalvo
