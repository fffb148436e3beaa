#include <bit>
#include <cmath>

#include "program_state.h"
#include "term.h"
#include "term_ops.h"
#include "term_program.h"
#include "work_budget.h"

namespace kalvo {

namespace {

inline bool MulFast(double l, double r, double& out) {
    // Far below the guard and the limit the product alone decides.
    const double al = std::fabs(l), ar = std::fabs(r);
    if ((al > ar ? al : ar) < 1e20) {
        out = l * r;
        return true;
    }
    return termops::Mul(l, r, out);
}

// x^k for a whole k with |k| < 7, multiplied out where the language does so.
inline bool PowSmall(double x, int k, double& out) {
    if (!termops::SmallIntPowerApplies(x)) return termops::Power(x, k, out);
    out = termops::SmallIntPower(x, k);
    return k >= 0 || termops::InLimit(out);
}

inline bool PowSmall2(double x, double& out) {
    if (!termops::SmallIntPowerApplies(x)) return termops::Power(x, 2, out);
    out = x * x;
    return true;
}

inline bool PowSmall3(double x, double& out) {
    if (!termops::SmallIntPowerApplies(x)) return termops::Power(x, 3, out);
    out = x * x * x;
    return true;
}

inline bool Limited(double v) { return termops::InLimit(v); }

}  // namespace

long long TermCost(const Termbaum& tree) {
    const TermProgram* p = TermbaumAccess::Program(tree);
    return p ? p->cost : 0;
}

double RunTermProgram(const TermProgram* program, double x, double y, double t, double n, double w) {
    if (!program) {
        gTerms.TermOK = false;
        return 0;
    }
    // Where the open work budget is spent nothing is evaluated any more: the
    // value is undefined, and whoever opened the budget learns that it was cut.
    if (WorkBudgetSpent()) {
        gTerms.TermOK = false;
        return 0;
    }
    const TermProgram& p = *program;
    AddWork(p.cost);
    double* s = p.slots.data();
    s[kSlotX] = x;
    s[kSlotY] = y;
    s[kSlotT] = t;
    s[kSlotN] = n;
    s[kSlotW] = w;
    const uint32_t used = p.usedVariables;
    if (used & ((1u << kSlotA) | (1u << kSlotB) | (1u << kSlotC) | (1u << kSlotD))) {
        s[kSlotA] = gTerms.KonstanteA;
        s[kSlotB] = gTerms.KonstanteB;
        s[kSlotC] = gTerms.KonstanteC;
        s[kSlotD] = gTerms.KonstanteD;
    }
    // Every leaf is evaluated whatever the others give, so checking the
    // variables first decides the same as checking each leaf in its turn.
    if (((used & (1u << kSlotX)) && !termops::InLimit(x)) || ((used & (1u << kSlotT)) && !termops::InLimit(t)) ||
        ((used & (1u << kSlotY)) && !termops::InLimit(y)) || ((used & (1u << kSlotN)) && !termops::InLimit(n)) ||
        ((used & (1u << kSlotW)) && !termops::InLimit(w))) {
        gTerms.TermOK = false;
        return 0;
    }
    if (used & ((1u << kSlotA) | (1u << kSlotB) | (1u << kSlotC) | (1u << kSlotD))) {
        for (uint32_t m = used >> kSlotA; m != 0; m &= m - 1)
            if (!termops::InLimit(s[kSlotA + static_cast<uint32_t>(std::countr_zero(m))])) {
                gTerms.TermOK = false;
                return 0;
            }
    }

    double local[kLocalStack];
    double* sp = p.maxStack <= kLocalStack ? local : p.bigStack.data();
    double acc = 0;
    const Instr* ip = p.code.data();
    const Instr* I = nullptr;

#if defined(__GNUC__)
    // Threaded dispatch: one indirect jump per handler predicts far better than one shared switch.
#define KALVO_TERM_OP_LABEL(name) &&L_##name,
    static const void* const kLabels[] = {KALVO_TERM_OPS(KALVO_TERM_OP_LABEL)};
#undef KALVO_TERM_OP_LABEL
#define VM_CASE(name) L_##name:
#define VM_FALLTHROUGH (void)0
#define VM_NEXT()                                         \
    do {                                                  \
        I = ip++;                                         \
        goto* kLabels[static_cast<size_t>(I->op)];        \
    } while (0)
    VM_NEXT();
    {
#else
#define VM_CASE(name) case Op::name:
#define VM_FALLTHROUGH [[fallthrough]]
#define VM_NEXT() continue
    for (;;) {
        I = ip++;
        switch (I->op) {
#endif
#define VM_FAIL_UNLESS(cond) \
    if (!(cond)) goto fail
// acc stays in a register only while its address is never taken.
#define VM_SET(call)               \
    {                              \
        double r_;                 \
        VM_FAIL_UNLESS(call);      \
        acc = r_;                  \
    }

        VM_CASE(Load) acc = s[I->a]; VM_NEXT();
        VM_CASE(LoadP) *sp++ = acc; acc = s[I->a]; VM_NEXT();
        VM_CASE(Push) *sp++ = acc; VM_NEXT();

        VM_CASE(AddR) acc = acc + s[I->a]; VM_FAIL_UNLESS(Limited(acc)); VM_NEXT();
        VM_CASE(SubR) acc = acc - s[I->a]; VM_FAIL_UNLESS(Limited(acc)); VM_NEXT();
        VM_CASE(MulR) VM_SET(MulFast(acc, s[I->a], r_)); VM_NEXT();
        VM_CASE(DivR) VM_SET(termops::Div(acc, s[I->a], r_)); VM_NEXT();
        VM_CASE(PowR) VM_SET(termops::Power(acc, s[I->a], r_)); VM_NEXT();

        VM_CASE(AddL) acc = s[I->a] + acc; VM_FAIL_UNLESS(Limited(acc)); VM_NEXT();
        VM_CASE(SubL) acc = s[I->a] - acc; VM_FAIL_UNLESS(Limited(acc)); VM_NEXT();
        VM_CASE(MulL) VM_SET(MulFast(s[I->a], acc, r_)); VM_NEXT();
        VM_CASE(DivL) VM_SET(termops::Div(s[I->a], acc, r_)); VM_NEXT();
        VM_CASE(PowL) VM_SET(termops::Power(s[I->a], acc, r_)); VM_NEXT();

        VM_CASE(AddS) acc = *--sp + acc; VM_FAIL_UNLESS(Limited(acc)); VM_NEXT();
        VM_CASE(SubS) acc = *--sp - acc; VM_FAIL_UNLESS(Limited(acc)); VM_NEXT();
        VM_CASE(MulS) { const double l = *--sp; VM_SET(MulFast(l, acc, r_)); } VM_NEXT();
        VM_CASE(DivS) { const double l = *--sp; VM_SET(termops::Div(l, acc, r_)); } VM_NEXT();
        VM_CASE(PowS) { const double l = *--sp; VM_SET(termops::Power(l, acc, r_)); } VM_NEXT();

        VM_CASE(AddLLP) *sp++ = acc; VM_FALLTHROUGH;
        VM_CASE(AddLL) acc = s[I->a] + s[I->b]; VM_FAIL_UNLESS(Limited(acc)); VM_NEXT();
        VM_CASE(SubLLP) *sp++ = acc; VM_FALLTHROUGH;
        VM_CASE(SubLL) acc = s[I->a] - s[I->b]; VM_FAIL_UNLESS(Limited(acc)); VM_NEXT();
        VM_CASE(MulLLP) *sp++ = acc; VM_FALLTHROUGH;
        VM_CASE(MulLL) VM_SET(MulFast(s[I->a], s[I->b], r_)); VM_NEXT();
        VM_CASE(DivLLP) *sp++ = acc; VM_FALLTHROUGH;
        VM_CASE(DivLL) VM_SET(termops::Div(s[I->a], s[I->b], r_)); VM_NEXT();
        VM_CASE(PowLLP) *sp++ = acc; VM_FALLTHROUGH;
        VM_CASE(PowLL) VM_SET(termops::Power(s[I->a], s[I->b], r_)); VM_NEXT();

        VM_CASE(AddMulLL) { double m; VM_FAIL_UNLESS(MulFast(s[I->a], s[I->b], m)); acc = acc + m; } VM_FAIL_UNLESS(Limited(acc)); VM_NEXT();
        VM_CASE(SubMulLL) { double m; VM_FAIL_UNLESS(MulFast(s[I->a], s[I->b], m)); acc = acc - m; } VM_FAIL_UNLESS(Limited(acc)); VM_NEXT();
        VM_CASE(MulAddR) VM_SET(MulFast(acc, s[I->a], r_)); acc = acc + s[I->b]; VM_FAIL_UNLESS(Limited(acc)); VM_NEXT();
        VM_CASE(MulSubR) VM_SET(MulFast(acc, s[I->a], r_)); acc = acc - s[I->b]; VM_FAIL_UNLESS(Limited(acc)); VM_NEXT();

        VM_CASE(Sqr) VM_SET(PowSmall2(acc, r_)); VM_NEXT();
        VM_CASE(SqrLP) *sp++ = acc; VM_FALLTHROUGH;
        VM_CASE(SqrL) VM_SET(PowSmall2(s[I->a], r_)); VM_NEXT();
        VM_CASE(Cube) VM_SET(PowSmall3(acc, r_)); VM_NEXT();
        VM_CASE(CubeLP) *sp++ = acc; VM_FALLTHROUGH;
        VM_CASE(CubeL) VM_SET(PowSmall3(s[I->a], r_)); VM_NEXT();
        VM_CASE(PowI) VM_SET(PowSmall(acc, I->k, r_)); VM_NEXT();
        VM_CASE(PowILP) *sp++ = acc; VM_FALLTHROUGH;
        VM_CASE(PowIL) VM_SET(PowSmall(s[I->a], I->k, r_)); VM_NEXT();

        VM_CASE(Neg) acc = -acc; VM_NEXT();
        VM_CASE(Sin) acc = std::sin(acc); VM_NEXT();
        VM_CASE(Cos) acc = std::cos(acc); VM_NEXT();
        VM_CASE(Sqrt) VM_FAIL_UNLESS(acc >= 0); acc = std::sqrt(acc); VM_NEXT();
        VM_CASE(Exp)
            if (std::fabs(acc) >= 90) {
                VM_FAIL_UNLESS(acc < 0);
                acc = 0;
            } else {
                acc = std::exp(acc);
            }
            VM_NEXT();
        VM_CASE(Func) VM_SET(termops::Function(static_cast<uint16_t>(I->k), acc, r_)); VM_NEXT();
        VM_CASE(Fail) goto fail;
        VM_CASE(End) gTerms.TermOK = true; return acc;
    }
#if !defined(__GNUC__)
    }
#endif
#undef VM_CASE
#undef VM_NEXT
#undef VM_FALLTHROUGH
#undef VM_FAIL_UNLESS
#undef VM_SET
fail:
    gTerms.TermOK = false;
    return 0;
}


namespace {

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
    return RunTermProgram(TermbaumAccess::Program(tree), x, y, t, n, w);
}

double EvalTermDerivative(const Termbaum& tree, int order, double x, double y, double t, double n) {
    const TermProgram* p = TermbaumAccess::Program(tree);
    double v = 0;
    const bool ok = Derivative(order, x, [&](double xs, double& out) {
        out = RunTermProgram(p, xs, y, t, n, 0);
        return gTerms.TermOK;
    }, v);
    return Finish(ok, v);
}

double EvalTermDerivativeArg2(const Termbaum& tree, int order, double t, double w) {
    const TermProgram* p = TermbaumAccess::Program(tree);
    double v = 0;
    const bool ok = Derivative(order, t, [&](double ts, double& out) {
        out = RunTermProgram(p, 0, 0, ts, 0, w);
        return gTerms.TermOK;
    }, v);
    return Finish(ok, v);
}

double EvalFunktionSumN(int order, double x, double t, double nStart, double nEnd, double nStep) {
    if (!(nStep >= 1)) nStep = 1;
    // Decided before the first term: a sum past the limit costs nothing.
    if ((nEnd - nStart) / nStep >= static_cast<double>(kMaxSumTerms)) return Finish(false, 0);
    // Nor does one that the open work budget could not pay for to its end.
    const double terms = std::floor((nEnd - nStart) / nStep) + 1;
    const int stencil = order <= 0 ? 1 : order == 2 ? 3 : 4;
    if (terms > 1 && !WorkBudgetAffords(static_cast<long long>(terms) * stencil * TermCost(FunktionTermbaum)))
        return Finish(false, 0);
    double sum = 0;
    // n by index, so a step lost in rounding cannot hang the loop.
    for (long long i = 0;; ++i) {
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
