#include "program_state.h"
#include "term.h"
#include "term_program.h"

namespace kalvo {

namespace {

// More terms than any sum a user asks for; beyond it the sum counts as undefined.
constexpr long kMaxSumTerms = 1000000;

// The numeric stencils. `f(arg, value)` evaluates the term at a shifted
// argument; the samples are taken in this order and the first undefined one ends it.
template <class F>
bool Derivative(int order, double a, F f, double& out) {
    switch (order) {
        case 0:
            return f(a, out);
        case 1: {
            double m2, m1, p1, p2;
            if (!f(a - 0.002, m2) || !f(a - 0.001, m1) || !f(a + 0.001, p1) || !f(a + 0.002, p2)) return false;
            out = (m2 - 8 * m1 + 8 * p1 - p2) / 0.012;
            return true;
        }
        case 2: {
            double p, m, q;
            if (!f(a + 0.005, p) || !f(a, m) || !f(a - 0.005, q)) return false;
            out = (p - 2 * m + q) / 2.5e-05;
            return true;
        }
        default: {
            double m2, m1, p1, p2;
            if (!f(a - 0.02, m2) || !f(a - 0.01, m1) || !f(a + 0.01, p1) || !f(a + 0.02, p2)) return false;
            out = (2 * m1 - m2 - 2 * p1 + p2) / 2e-06;
            return true;
        }
    }
}

double Finish(bool ok, double value) {
    gTerms.TermOK = ok;
    return ok ? value : 0;
}

double EvalWithAB(const Termbaum& tree, double u, double v) {
    const double a = gTerms.KonstanteA, b = gTerms.KonstanteB;
    gTerms.KonstanteA = u;
    gTerms.KonstanteB = v;
    const double value = EvalTerm(tree, 0, 0, 0, 0, 0);
    gTerms.KonstanteA = a;
    gTerms.KonstanteB = b;
    return value;
}

}  // namespace

double EvalTerm(const Termbaum& tree, double x, double y, double t, double n, double w) {
    const TermProgram* p = TermbaumAccess::Program(tree);
    double v = 0;
    const bool ok = p && RunTermProgram(*p, x, y, t, n, w, v);
    return Finish(ok, v);
}

double EvalTermDerivative(const Termbaum& tree, int order, double x, double y, double t, double n) {
    const TermProgram* p = TermbaumAccess::Program(tree);
    double v = 0;
    const bool ok = p && Derivative(order, x, [&](double xs, double& out) {
        return RunTermProgram(*p, xs, y, t, n, 0, out);
    }, v);
    return Finish(ok, v);
}

double EvalTermDerivativeArg2(const Termbaum& tree, int order, double t, double w) {
    const TermProgram* p = TermbaumAccess::Program(tree);
    double v = 0;
    const bool ok = p && Derivative(order, t, [&](double ts, double& out) {
        return RunTermProgram(*p, 0, 0, ts, 0, w, out);
    }, v);
    return Finish(ok, v);
}

double EvalFunktionSumN(int order, double x, double t, double nStart, double nEnd, double nStep) {
    if (!(nStep >= 1)) nStep = 1;
    double sum = 0;
    // n by index, so a step lost in rounding cannot hang the loop.
    for (long i = 0;; ++i) {
        const double n = nStart + static_cast<double>(i) * nStep;
        if (!(n <= nEnd)) break;
        if (i >= kMaxSumTerms) return Finish(false, 0);
        const double v = EvalTermDerivative(FunktionTermbaum, order, x, 0, t, n);
        if (!gTerms.TermOK) return 0;
        sum += v;
    }
    return Finish(true, sum);
}

double EvalSurfaceTerm(double x, double y) { return EvalTerm(FlaechenTermbaum, x, y, 0, 0, 0); }

double EvalParamTerm1(double u, double v) { return EvalWithAB(ParamTermbaum1, u, v); }
double EvalParamTerm2(double u, double v) { return EvalWithAB(ParamTermbaum2, u, v); }
double EvalParamTerm3(double u, double v) { return EvalWithAB(ParamTermbaum3, u, v); }

}  // namespace kalvo
