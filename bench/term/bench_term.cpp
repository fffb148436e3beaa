// Our term evaluation against muParser on the same terms and the same sweep
// of x, plus compiles per second and the cost of a first derivative. Every
// figure is the median of repeated runs.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include <muParser.h>

#include "bench_table.h"
#include "program_state.h"
#include "term.h"

namespace {

using namespace kalvo;

struct Expression {
    const char* name;
    const char* ours;
    const char* muparser;
    double t;
};

const Expression kExpressions[] = {
    {"rational", "(t+x/t)*(x-t/x)", "(t+x/t)*(x-t/x)", 1.7},
    {"sine_quotient", "x^2/sin(2*pi/t)-x/2", "x^2/sin(2*_pi/t)-x/2", 1.7},
    {"sqrt_trig", "sqrt(1-sin(2x)+cos(pi/t)/3)", "sqrt(1-sin(2*x)+cos(_pi/t)/3)", 2.5},
    {"gauss", "exp(-x^2/2)/sqrt(2*pi)", "exp(-x^2/2)/sqrt(2*_pi)", 1.7},
    {"horner5", "((((0.5x-1.2)x+2)x-3.5)x+0.7)x-4", "((((0.5*x-1.2)*x+2)*x-3.5)*x+0.7)*x-4", 1.7},
    {"cubic", "x^3-2x+1", "x^3-2*x+1", 1.7},
    {"long_sum", "1+x+x^2/2+x^3/6+x^4/24+x^5/120+x^6/720+x^7/5040+x^8/40320+x^9/362880+x^10/3628800",
     "1+x+x^2/2+x^3/6+x^4/24+x^5/120+x^6/720+x^7/5040+x^8/40320+x^9/362880+x^10/3628800", 1.7},
    {"deep_nesting", "sin(1+cos(1+sin(1+cos(1+sin(1+cos(1+sin(1+cos(x/t))))))))",
     "sin(1+cos(1+sin(1+cos(1+sin(1+cos(1+sin(1+cos(x/t))))))))", 1.7},
    {"fractional_powers", "abs(x)^(1/3)+(x^2+t)^0.75-abs(x)^2.5", "abs(x)^(1/3)+(x^2+t)^0.75-abs(x)^2.5", 1.7},
};

constexpr int kSweep = 1000;
// Each repetition runs at least this long (seconds).
constexpr double kMinTime = 0.05;

// x from -8 to 8, never exactly 0.
const std::vector<double>& Sweep() {
    static const std::vector<double> xs = [] {
        std::vector<double> v(kSweep);
        for (int i = 0; i < kSweep; ++i) v[static_cast<size_t>(i)] = -8 + (i + 0.5) * 16.0 / kSweep;
        return v;
    }();
    return xs;
}

void CompileOurs(Termbaum& tree, const char* text) {
    if (!ParseTerm(tree, text, true)) std::abort();
}

void BM_Kalvo(benchmark::State& state, const Expression* e) {
    Termbaum tree;
    CompileOurs(tree, e->ours);
    const auto& xs = Sweep();
    for (auto _ : state) {
        double sum = 0;
        for (double x : xs) sum += EvalTerm(tree, x, 0, e->t, 0, 0);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kSweep);
}

void BM_MuParser(benchmark::State& state, const Expression* e) {
    double x = 0, t = e->t;
    mu::Parser p;
    p.DefineVar("x", &x);
    p.DefineVar("t", &t);
    p.SetExpr(e->muparser);
    const auto& xs = Sweep();
    for (auto _ : state) {
        double sum = 0;
        for (double xv : xs) {
            x = xv;
            sum += p.Eval();
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kSweep);
}

void BM_KalvoDerivative1(benchmark::State& state, const Expression* e) {
    Termbaum tree;
    CompileOurs(tree, e->ours);
    const auto& xs = Sweep();
    for (auto _ : state) {
        double sum = 0;
        for (double x : xs) sum += EvalTermDerivative(tree, 1, x, 0, e->t, 0);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kSweep);
}

// 60 characters, every kind of token.
constexpr const char* kCompileTerm = "2x^3-4,5x^2+sin(pi*x/t)-sqrt(abs(x-1))+exp(-x^2/2)*cos(3x)+1";
constexpr const char* kCompileTermMu = "2*x^3-4.5*x^2+sin(_pi*x/t)-sqrt(abs(x-1))+exp(-x^2/2)*cos(3*x)+1";

void BM_KalvoCompile(benchmark::State& state) {
    Termbaum tree;
    for (auto _ : state) {
        ParseTerm(tree, kCompileTerm, true);
        benchmark::DoNotOptimize(tree.Root());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_MuParserCompile(benchmark::State& state) {
    double x = 1, t = 2;
    mu::Parser p;
    p.DefineVar("x", &x);
    p.DefineVar("t", &t);
    for (auto _ : state) {
        p.SetExpr(kCompileTermMu);
        benchmark::DoNotOptimize(p.Eval());  // muParser compiles on the first evaluation
    }
    state.SetItemsProcessed(state.iterations());
}

bool SameValues(const Expression& e) {
    Termbaum tree;
    CompileOurs(tree, e.ours);
    double x = 0, t = e.t;
    mu::Parser p;
    p.DefineVar("x", &x);
    p.DefineVar("t", &t);
    p.SetExpr(e.muparser);
    for (double xv : Sweep()) {
        x = xv;
        const double a = EvalTerm(tree, xv, 0, e.t, 0, 0), b = p.Eval();
        // The language's pi has ten digits; the rest must agree closely.
        if (!gTerms.TermOK || std::fabs(a - b) > 1e-7 * (1 + std::fabs(b))) return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    InitTermTrees();
    auto repeat = [](benchmark::internal::Benchmark* b) { b->Repetitions(kalvo::bench::kRepetitions)->MinTime(kMinTime); };
    for (const auto& e : kExpressions) {
        if (!SameValues(e)) std::fprintf(stderr, "warning: %s differs between the two evaluators\n", e.name);
        repeat(benchmark::RegisterBenchmark((std::string("Eval/kalvo/") + e.name).c_str(), BM_Kalvo, &e));
        repeat(benchmark::RegisterBenchmark((std::string("Eval/muparser/") + e.name).c_str(), BM_MuParser, &e));
        repeat(benchmark::RegisterBenchmark((std::string("Derivative1/kalvo/") + e.name).c_str(), BM_KalvoDerivative1, &e));
    }
    repeat(benchmark::RegisterBenchmark("Compile60/kalvo", BM_KalvoCompile));
    repeat(benchmark::RegisterBenchmark("Compile60/muparser", BM_MuParserCompile));

    benchmark::Initialize(&argc, argv);
    kalvo::bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // Nanoseconds per evaluation.
    auto ns = [&](const std::string& name) { return reporter.Seconds(name) * 1e9 / kSweep; };
    std::printf("\nmedian of %d repetitions, per evaluation\n%-18s %12s %12s %8s %14s\n", kalvo::bench::kRepetitions, "term",
                "kalvo ns", "muparser ns", "ratio", "f' / f (kalvo)");
    for (const auto& e : kExpressions) {
        const double ours = ns(std::string("Eval/kalvo/") + e.name);
        const double theirs = ns(std::string("Eval/muparser/") + e.name);
        const double deriv = ns(std::string("Derivative1/kalvo/") + e.name);
        if (ours <= 0 || theirs <= 0) continue;
        std::printf("%-18s %12.2f %12.2f %8.2f %14.2f\n", e.name, ours, theirs, ours / theirs, deriv / ours);
        kalvo::bench::TableRow(std::string("term ") + e.name + ", one evaluation (vs muParser)", ours, theirs, "ns");
    }
    const double compile = reporter.Seconds("Compile60/kalvo"), compileMu = reporter.Seconds("Compile60/muparser");
    if (compile > 0)
        std::printf("compiles per second, 60 characters: kalvo %.0f, muparser %.0f\n", 1 / compile,
                    compileMu > 0 ? 1 / compileMu : 0.0);
    kalvo::bench::TableRow("term compile, 60 characters (vs muParser)", compile * 1e6, compileMu * 1e6, "us");
    benchmark::Shutdown();
    return 0;
}
