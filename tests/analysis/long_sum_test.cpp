// Every tool on a sum of 9,999 terms, far beyond what a second pays for:
// each stops at its work budget, says so, and shows no number it did not
// finish as if it were the answer. A stepping clock lets a second of work
// pass in a few milliseconds.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "../graph/graph_test_support.h"
#include "analysis_state.h"
#include "canvas.h"
#include "curve_discussion.h"
#include "curves.h"
#include "graph_host.h"
#include "graph_state.h"
#include "integration.h"
#include "iteration.h"
#include "numeric_tables.h"
#include "program_state.h"
#include "redraw.h"
#include "term.h"
#include "view.h"
#include "work_test_support.h"

namespace kalvo {
namespace {

struct ToolHost : GraphHost {
    std::string summen;
    void SummenText(const std::string& text) override { summen = text; }
    void SonderpunkteBerechnen(double a, double b, double step, double t) override {
        KurvendiskussionBerechnen(a, b, step, t);
    }
};

// The graph engine's clean state and recording canvas, with a graph host
// that searches the special points as the main window does.
class LongSum : public GraphTest {
protected:
    void SetUp() override {
        GraphTest::SetUp();
        SetGraphHost(&host);
        gParams.FgSummeVon = 1;
        gParams.FgSummeBis = 9999;
    }
    void TearDown() override {
        SetGraphHost(nullptr);
        GraphTest::TearDown();
    }
    void Compile(const char* term) {
        gTerms.TermF = term;
        QuietParsing quiet;
        ASSERT_TRUE(ParseTerm(FunktionTermbaum, term, true)) << term;
    }

    ToolHost host;
    SteppingClock clock;
};

TEST_F(LongSum, OverlaysAreCutAndTheSumsSayTheyWereNotComputed) {
    struct Overlay {
        const char* name;
        void (*on)();
    } overlays[] = {
        {"attractor", [] {
             gIteration.AttraktorAnzeige = true;
             gIteration.VorIterationen = gIteration.NachIterationen = 200;
         }},
        {"iteration path", [] { gIteration.IterPfadAnzeige = gIteration.IterPfadAktiv = true; }},
        {"sequence", [] {
             gIteration.FolgeAnzeige = true;
             gIteration.IterationenN = kMaxIterationSteps;
             gIteration.IterierteK = kMaxIterierteK;
         }},
        {"upper sums", [] {
             gOverlay.SummenZeichnen = true;
             gOverlay.AnzahlRechtecke = 1024;
         }},
        {"upper sums after 2n up to the end", [] {
             gOverlay.SummenZeichnen = true;
             gOverlay.AnzahlRechtecke = kMaxRechtecke;
         }},
        {"special points", [] { gDiscussion.SonderpunkteZeichnen = true; }},
        {"the graph itself", [] {}},
    };
    for (const Overlay& o : overlays) {
        SetUp();
        gTerms.TermF = "sin(n*x)/n^2";
        gDisplay.Schaubilder[1] = Schaubild{0xFF, 0, true};
        gOverlay.GrenzeA = -3;
        gOverlay.GrenzeB = 3;
        host.summen.clear();
        o.on();
        const long long before = SteppingClock::Looks();
        GrafikZeichnen(true);
        EXPECT_TRUE(LastRedrawCut()) << o.name;
        // The redraw's second and no more, whatever the overlay.
        EXPECT_LE(SteppingClock::Looks() - before, 110) << o.name;
        if (gOverlay.SummenZeichnen) {
            EXPECT_NE(host.summen.find("nicht berechnet"), std::string::npos) << host.summen;
            EXPECT_EQ(host.summen.find("O ="), std::string::npos) << host.summen;
        }
    }
}

TEST_F(LongSum, TablesAndIntegralsStopWithTheirMessage) {
    Compile("blanc(n*x)/n^2");
    const RiemannSummen sums = RiemannSums(1024, -3, 3, 0);
    EXPECT_TRUE(sums.abgebrochen);
    EXPECT_NE(SummenText(kObersumme, sums).find(kZuVielRechenaufwand), std::string::npos);

    IntegralSimpson(1 << 20, kIntegrandF, 0, -3, 3);
    EXPECT_TRUE(gOverlay.IntegralAbgebrochen);
    Compile("x^2");
    gParams.FgSummeBis = 0;
    IntegralSimpson(1 << 20, kIntegrandF, 0, -3, 3);
    EXPECT_FALSE(gOverlay.IntegralAbgebrochen);
    gParams.FgSummeBis = 9999;

    // A triple zero: Newton's steps shrink by a third each, far more of
    // them than the budget pays for with 500 terms; a few it does pay for.
    Compile("(x-1)^3/n^2");
    gParams.FgSummeBis = 500;
    const NewtonErgebnis newton = NewtonBerechnen(2, 0, 4);
    EXPECT_TRUE(newton.abgebrochen);
    EXPECT_EQ(newton.meldung, kBerechnungAbgebrochen);
    // The steps shown are whole steps.
    ASSERT_FALSE(newton.zeilen.empty());
    for (const NewtonZeile& z : newton.zeilen)
        for (const std::string& cell : z) EXPECT_FALSE(cell.empty());

    // Every value of f is paid for, no derivative is.
    gParams.FgSummeBis = 9999;
    const Wertetabelle table = WertetabelleBerechnen({-2, 2, 1, 0}, 2);
    EXPECT_EQ(table.meldung, kAbleitungenNichtBerechnet);
    ASSERT_EQ(table.zeilen.size(), 5u);
    for (const WertetabelleZeile& z : table.zeilen) {
        EXPECT_NE(z[1], NichtDefiniertText()) << z[0];
        for (size_t k = 2; k < z.size(); ++k) EXPECT_EQ(z[k], NichtDefiniertText()) << z[0];
    }
    // A sum whose values alone cost more than the budget says so as well.
    Compile("blanc(n*x)/n^2+x-1");
    EXPECT_FALSE(WertetabelleBerechnen({-2, 2, 1, 0}, 2).meldung.empty());
}

// The derivatives of each row get a share of what is left, less what the
// values of the rows still to come will cost: the first rows' refinement
// does not leave the last rows without their values.
TEST_F(LongSum, TheValueTableSharesItsBudgetOutOverItsRows) {
    Compile("sin(n*x)/n^2");
    gParams.FgSummeBis = 2000;
    const Wertetabelle table = WertetabelleBerechnen({-8, 8, 1, 0}, 2);
    EXPECT_EQ(table.meldung, kAbleitungenNichtBerechnet);
    ASSERT_EQ(table.zeilen.size(), 17u);
    EXPECT_EQ(table.zeilen.back()[0], "  8,00     ");
    for (const WertetabelleZeile& z : table.zeilen) EXPECT_NE(z[1], NichtDefiniertText()) << z[0];
}

// A discussion cut short lists nothing as found and nothing as "none":
// every list says why it is empty, and the special points are gone.
TEST_F(LongSum, TheCurveDiscussionStopsAndSaysWhy) {
    struct Lists : KurvendiskussionAusgabe {
        std::map<Ergebnisliste, std::vector<std::string>> zeilen;
        std::string satz;
        void ListeLeeren(Ergebnisliste l) override { zeilen[l].clear(); }
        void ZeileHinzufuegen(Ergebnisliste l, const std::string& z) override { zeilen[l].push_back(z); }
        void SymmetrieAnzeigen(const std::string& s) override { satz = s; }
    } lists;
    Compile("sin(n*x)/n^2");
    gKurvendiskussion.PoleUndAsymptotenSuchen = true;
    gDiscussion.AnzahlNullstellen = 3;
    KurvendiskussionBerechnen(-8, 8, 16.0 / 500, 0, lists);
    EXPECT_EQ(lists.satz, kDiskussionAbgebrochen);
    ASSERT_EQ(lists.zeilen.size(), 5u);
    for (const auto& [liste, zeilen] : lists.zeilen) {
        ASSERT_EQ(zeilen.size(), 1u);
        EXPECT_NE(zeilen[0].find(kZuVielRechenaufwand), std::string::npos);
    }
    const DiscussionResults& d = gDiscussion;
    EXPECT_EQ(d.AnzahlNullstellen + d.AnzahlExtrema + d.AnzahlWendepunkte + d.AnzahlPole + d.AnzahlAsymptoten, 0);
}

}  // namespace
}  // namespace kalvo
