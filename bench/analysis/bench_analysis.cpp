// One curve discussion over [-8, 8] in 500 steps, as the redraw runs it on
// every paint while the special points are marked: the point search alone,
// and with the pole scan (50 times finer) and the asymptote walks.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "analysis_state.h"
#include "curve_discussion.h"
#include "program_state.h"
#include "term.h"

namespace {

using namespace kalvo;

struct Case {
    const char* name;
    const char* term;
    int nBis;  // sum over n = 1..nBis when above 0
};

const Case kCases[] = {
    {"parabola", "x^2-4", 0},
    {"cubic", "x^3-3x", 0},
    {"tan", "tan(x)", 0},
    {"sin50", "sin(50x)", 0},
    {"rational", "(x^2+1)/(x-1)", 0},
    {"sum_n10", "sin(n*x)/n", 10},
};

void BM_Discussion(benchmark::State& state, const Case* c, bool poles) {
    ResetProgramState();
    InitTermTrees();
    ResetKurvendiskussion();
    if (c->nBis > 0) {
        gParams.FgSummeVon = 1;
        gParams.FgSummeBis = c->nBis;
    }
    gKurvendiskussion.PoleUndAsymptotenSuchen = poles;
    if (!ParseTerm(FunktionTermbaum, c->term, true)) std::abort();
    for (auto _ : state) {
        KurvendiskussionBerechnen(-8, 8, 16.0 / 500, 0);
        benchmark::DoNotOptimize(gDiscussion.AnzahlNullstellen);
    }
    state.counters["zeros"] = gDiscussion.AnzahlNullstellen;
    state.counters["poles"] = gDiscussion.AnzahlPole;
}

const bool kRegistered = [] {
    for (const Case& c : kCases) {
        benchmark::RegisterBenchmark((std::string("points/") + c.name).c_str(), BM_Discussion, &c, false)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark((std::string("with_poles/") + c.name).c_str(), BM_Discussion, &c, true)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
