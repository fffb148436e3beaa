#include "term.h"

#include <cmath>
#include <string>

#include "parameter_list.h"

namespace kalvo {

Termbaum FunktionTermbaum, ZahlTermbaum, FlaechenTermbaum, ParamTermbaum1, ParamTermbaum2, ParamTermbaum3;
bool ParserWMode = false;
long long gStandInEvaluations = 0;

namespace {

struct Entry {
    const char* text;
    StandInFunction fn;
    bool usesT, usesN;
};

double Div(double a, double b, bool& ok) {
    if (std::fabs(a) >= std::fabs(b) * 1e15) {
        ok = false;
        return 0;
    }
    return a / b;
}
double Sqrt(double a, bool& ok) {
    if (a < 0) {
        ok = false;
        return 0;
    }
    return std::sqrt(a);
}

#define F(body) [](double x, double t, double n, double w, bool& ok) -> double { (void)x; (void)t; (void)n; (void)w; (void)ok; return body; }

const Entry kTable[] = {
    {"0", F(0.0), false, false},
    {"1", F(1.0), false, false},
    {"x", F(x), false, false},
    {"-x", F(-x), false, false},
    {"x^2", F(x * x), false, false},
    {"x^3", F(x * x * x), false, false},
    {"x^2-2", F(x * x - 2), false, false},
    {"2x", F(2 * x), false, false},
    {"1/x", F(Div(1, x, ok)), false, false},
    {"sqrt(x)", F(Sqrt(x, ok)), false, false},
    {"sqrt(-x)", F(Sqrt(-x, ok)), false, false},
    {"ln(x)", F(x > 0 ? std::log(x) : (ok = false, 0.0)), false, false},
    {"lg(x)", F(x > 0 ? std::log(x) * 0.434294481 : (ok = false, 0.0)), false, false},
    {"tan(x)", F(std::cos(x) == 0 ? (ok = false, 0.0) : std::sin(x) / std::cos(x)), false, false},
    {"sin(x)", F(std::sin(x)), false, false},
    {"exp(x)", F(std::exp(x)), false, false},
    {"t", F(t), true, false},
    {"t*x", F(t * x), true, false},
    {"sin(t*x)", F(std::sin(t * x)), true, false},
    {"sin(t*x)*x", F(std::sin(t * x) * x), true, false},
    {"n*x", F(n * x), false, true},
    {"sin(n*x)/n", F(Div(std::sin(n * x), n, ok)), false, true},
    {"10^30*x", F(1e30 * x), false, false},
    {"x^2+1", F(x * x + 1), false, false},
    {"x^2+2", F(x * x + 2), false, false},
    {"x^2+3", F(x * x + 3), false, false},
    {"x^2+4", F(x * x + 4), false, false},
    {"x^2+5", F(x * x + 5), false, false},
    {"x^2+6", F(x * x + 6), false, false},
    {"x^2+7", F(x * x + 7), false, false},
    {"x^2+8", F(x * x + 8), false, false},
    {"w*(cos(t))+(1-w)*(sin(t))", F(w * std::cos(t) + (1 - w) * std::sin(t)), true, false},
};
#undef F

int gQuiet = 0;

}  // namespace

QuietParsing::QuietParsing() { ++gQuiet; }
QuietParsing::~QuietParsing() { --gQuiet; }

void InitTermTrees() {
    for (Termbaum* t : {&FunktionTermbaum, &ZahlTermbaum, &FlaechenTermbaum, &ParamTermbaum1, &ParamTermbaum2, &ParamTermbaum3})
        ParseTerm(*t, "0", true);
}

bool ParseTerm(Termbaum& tree, std::string_view text, bool) {
    std::string s;
    for (char c : text)
        if (c != ' ') s.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    tree = Termbaum{};
    gTerms.TermUsesT = gTerms.TermUsesN = false;
    for (const Entry& e : kTable) {
        if (s == e.text) {
            tree.fn_ = e.fn;
            tree.usesT_ = e.usesT;
            tree.usesN_ = e.usesN;
            gTerms.TermUsesT = e.usesT;
            gTerms.TermUsesN = e.usesN;
            gTerms.TermOK = true;
            return true;
        }
    }
    gTerms.TermOK = false;
    return false;
}

double EvalTerm(const Termbaum& tree, double x, double, double t, double n, double w) {
    ++gStandInEvaluations;
    if (!tree.fn_) {
        gTerms.TermOK = false;
        return 0;
    }
    bool ok = true;
    double v = tree.fn_(x, t, n, w, ok);
    if (ok && std::fabs(v) >= 1e50) ok = false;
    gTerms.TermOK = ok;
    return ok ? v : 0;
}

double EvalTermDerivative(const Termbaum& tree, int order, double x, double y, double t, double n) {
    auto f = [&](double xx, double& out) {
        out = EvalTerm(tree, xx, y, t, n, 0);
        return gTerms.TermOK;
    };
    double a, b, c, d;
    switch (order) {
        case 0: return EvalTerm(tree, x, y, t, n, 0);
        case 1:
            if (!f(x - 0.002, a) || !f(x - 0.001, b) || !f(x + 0.001, c) || !f(x + 0.002, d)) return 0;
            return (a - 8 * b + 8 * c - d) / 0.012;
        case 2:
            if (!f(x + 0.005, a) || !f(x, b) || !f(x - 0.005, c)) return 0;
            return (a - 2 * b + c) / 2.5e-05;
        default:
            if (!f(x - 0.02, a) || !f(x - 0.01, b) || !f(x + 0.01, c) || !f(x + 0.02, d)) return 0;
            return (2 * b - a - 2 * c + d) / 2e-06;
    }
}

double EvalTermDerivativeArg2(const Termbaum& tree, int order, double t, double w) {
    if (order == 0) return EvalTerm(tree, 0, 0, t, 0, w);
    const double h = 0.001;
    double a = EvalTerm(tree, 0, 0, t - h, 0, w);
    if (!gTerms.TermOK) return 0;
    double b = EvalTerm(tree, 0, 0, t + h, 0, w);
    return (b - a) / (2 * h);
}

double EvalFunktionSumN(int order, double x, double t, double nStart, double nEnd, double nStep) {
    if (nStep < 1) nStep = 1;
    double sum = 0;
    gTerms.TermOK = true;
    for (double n = nStart; n <= nEnd; n += nStep) {
        sum += EvalTermDerivative(FunktionTermbaum, order, x, 0, t, n);
        if (!gTerms.TermOK) return 0;
    }
    return sum;
}

double TermPower(double x, double y) { return std::pow(x, y); }
double TermLg(double a) { return std::log(a) * 0.434294481; }
double TermSgn(double a) { return a > 0 ? 1 : (a < 0 ? -1 : 0); }

bool ReadParameterliste(Funktionsterm&, ParameterWerteFeld&) { return true; }

}  // namespace kalvo
