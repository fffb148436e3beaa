// Fitting every regression model and the sine model to 500 points, and
// Gauss-Jordan and SVD against Eigen's FullPivLU and JacobiSVD. Figures are
// medians of repeated runs.

#include <benchmark/benchmark.h>

#include <Eigen/Dense>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "bench_table.h"

#include "matrices.h"
#include "models.h"
#include "numlib_state.h"
#include "sinefit.h"

namespace {

using namespace kalvo;

constexpr int Points = 500;

struct ModelCase {
    int model;
    TVector opt;
    double (*f)(double);
    double x0, x1;
};

// Data of each model's own shape with a little noise, so the fits have work to do.
const ModelCase kCases[] = {
    {0, {}, [](double x) { return 1.5 + 0.3 * x; }, 0, 10},
    {2, {2}, [](double x) { return 3 - x + 0.5 * x * x; }, -5, 5},
    {2, {6}, [](double x) { return 1 - x + 0.2 * std::pow(x, 3) - 0.01 * std::pow(x, 6); }, -3, 3},
    {3, {2, 2, 1}, [](double x) { return (1 + x + 2 * x * x) / (1 + 0.5 * x + 0.1 * x * x); }, 0, 10},
    {4, {1, 0}, [](double x) { return 3 * std::exp(-0.5 * x); }, 0, 8},
    {5, {}, [](double x) { return 10 - 4 * std::exp(-0.5 * x); }, 0, 10},
    {7, {}, [](double x) { return 2.5 * std::pow(x, 1.7); }, 0.1, 10},
    {9, {}, [](double x) { return 2.5 * x; }, 0, 10},
    {10, {0}, [](double x) { return 5 / (1 + std::exp(-2 * x + 4)); }, -2, 8},
};

void MakeData(double (*f)(double), double x0, double x1, TVector& X, TVector& Y) {
    std::mt19937 rng(1);
    std::normal_distribution<double> noise(0.0, 0.01);
    AllocVector(X, Points);
    AllocVector(Y, Points);
    for (int i = 1; i <= Points; ++i) {
        X[i] = x0 + (i - 1) * (x1 - x0) / (Points - 1);
        Y[i] = f(X[i]) * (1 + noise(rng));
    }
}

void BM_FitModel(benchmark::State& state) {
    const ModelCase& c = kCases[state.range(0)];
    TVector X0, Y0;
    MakeData(c.f, c.x0, c.x1, X0, Y0);
    ResetNumlibState();
    TVector opt = c.opt;
    opt.resize(3, 0.0);
    int code = 0;
    double r2 = 0;
    for (auto _ : state) {
        TVector X = X0, Y = Y0, VrOut, B, Bmin, Bmax, Ycalc, S;
        TMatrix V;
        SetFitModel(c.model, 0, opt);
        const int last = ModelLastParamIndex();
        AllocVector(VrOut, 0);
        AllocVector(B, last);
        AllocVector(Bmin, last);
        AllocVector(Bmax, last);
        AllocMatrix(V, last, last);
        AllocVector(Ycalc, Points);
        AllocVector(S, Points);
        for (int i = ModelFirstParamIndex(); i <= last; ++i) {
            Bmin[i] = -10000;
            Bmax[i] = 10000;
        }
        RegressionsStatistik test;
        code = FitData(X, TVector{}, Y, Points, true, 100, 0.001, VrOut, B, Bmin, Bmax, V, Ycalc, S, test);
        r2 = test.RSquared;
        benchmark::DoNotOptimize(B.data());
    }
    state.SetLabel("model " + std::to_string(c.model) + (c.model == 2 || c.model == 3 ? " deg " + std::to_string(static_cast<int>(c.opt[0])) : "") +
                   " code " + std::to_string(code) + " R2 " + std::to_string(r2));
}
BENCHMARK(BM_FitModel)->DenseRange(0, std::size(kCases) - 1)->Unit(benchmark::kMicrosecond);

void BM_SinusRegression(benchmark::State& state) {
    TVector X, Y;
    MakeData([](double x) { return 2 * std::sin(0.5 * x + 1) + 3; }, 0, 4 * 3.141592653589793, X, Y);
    ResetNumlibState();
    int code = 0;
    for (auto _ : state) {
        code = SinusRegression(X, Y, Points);
        benchmark::DoNotOptimize(SinusFit.SinusParameter.data());
    }
    state.SetLabel("model 11 code " + std::to_string(code) + " r " + std::to_string(SinusKorrelation));
}
BENCHMARK(BM_SinusRegression)->Unit(benchmark::kMicrosecond);

TMatrix RandomSquare(int n, Eigen::MatrixXd& E) {
    std::mt19937 rng(n);
    std::uniform_real_distribution<double> u(-1, 1);
    TMatrix A;
    AllocMatrix(A, n - 1, n - 1);
    E.resize(n, n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) E(i, j) = A[i][j] = u(rng);
    return A;
}

void BM_GaussJordan(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Eigen::MatrixXd E;
    const TMatrix A = RandomSquare(n, E);
    TVector B(n, 1.0), X(n);
    TMatrix Ainv;
    AllocMatrix(Ainv, n - 1, n - 1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(GaussJordan(A, B, 0, n - 1, Ainv, X));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GaussJordan)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond);

// Solution and inverse, as Gauss-Jordan gives both.
void BM_EigenFullPivLU(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Eigen::MatrixXd E;
    RandomSquare(n, E);
    const Eigen::VectorXd b = Eigen::VectorXd::Ones(n);
    for (auto _ : state) {
        Eigen::FullPivLU<Eigen::MatrixXd> lu(E);
        Eigen::VectorXd x = lu.solve(b);
        Eigen::MatrixXd inv = lu.inverse();
        benchmark::DoNotOptimize(x.data());
        benchmark::DoNotOptimize(inv.data());
    }
}
BENCHMARK(BM_EigenFullPivLU)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond);

void BM_SVDecomp(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Eigen::MatrixXd E;
    const TMatrix A0 = RandomSquare(n, E);
    TVector S(n);
    TMatrix V;
    AllocMatrix(V, n - 1, n - 1);
    for (auto _ : state) {
        TMatrix A = A0;
        benchmark::DoNotOptimize(SVDecomp(A, 0, n - 1, n - 1, S, V));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SVDecomp)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond);

// U, S and V, as SVDecomp gives them.
void BM_EigenJacobiSVD(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    Eigen::MatrixXd E;
    RandomSquare(n, E);
    for (auto _ : state) {
        Eigen::JacobiSVD<Eigen::MatrixXd> svd(E, Eigen::ComputeThinU | Eigen::ComputeThinV);
        benchmark::DoNotOptimize(svd.singularValues().data());
    }
}
BENCHMARK(BM_EigenJacobiSVD)->Arg(10)->Arg(50)->Arg(100)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    // Every benchmark repeated, each repetition short; flags given on the
    // command line come after these and win.
    std::string repetitions = "--benchmark_repetitions=" + std::to_string(kalvo::bench::kRepetitions);
    std::string minTime = "--benchmark_min_time=0.05";
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.begin() + 1, {repetitions.data(), minTime.data()});
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) return 1;
    kalvo::bench::MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const char* n : {"10", "50", "100"}) {
        kalvo::bench::TableRow(std::string("Gauss-Jordan ") + n + " x " + n + " (vs Eigen FullPivLU)",
                               reporter.Seconds(std::string("BM_GaussJordan/") + n) * 1e6,
                               reporter.Seconds(std::string("BM_EigenFullPivLU/") + n) * 1e6, "us");
        kalvo::bench::TableRow(std::string("SVD ") + n + " x " + n + " (vs Eigen JacobiSVD)",
                               reporter.Seconds(std::string("BM_SVDecomp/") + n) * 1e6,
                               reporter.Seconds(std::string("BM_EigenJacobiSVD/") + n) * 1e6, "us");
    }
    benchmark::Shutdown();
    return 0;
}
