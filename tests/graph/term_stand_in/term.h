#pragma once
// Stand-in for the term language until it is merged: the interface the graph
// engine codes against, backed by a fixed table of terms the engine's tests
// and pictures use. Not a parser; it goes when the real library arrives.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "program_state.h"

namespace kalvo {

struct TermNode {
    uint16_t Kind = 0;
    double Value = 0;
    std::unique_ptr<TermNode> Left, Right;
};

using StandInFunction = double (*)(double x, double t, double n, double w, bool& ok);

class Termbaum {
public:
    const TermNode* Root() const { return fn_ ? &root_ : nullptr; }
    bool Empty() const { return fn_ == nullptr; }
    bool UsesT() const { return usesT_; }
    bool UsesN() const { return usesN_; }

    StandInFunction fn_ = nullptr;
    bool usesT_ = false, usesN_ = false;
    TermNode root_;
};

extern Termbaum FunktionTermbaum, ZahlTermbaum, FlaechenTermbaum, ParamTermbaum1, ParamTermbaum2, ParamTermbaum3;
extern bool ParserWMode;

void InitTermTrees();
bool ParseTerm(Termbaum& tree, std::string_view text, bool allowVars);

class QuietParsing {
public:
    QuietParsing();
    ~QuietParsing();
    QuietParsing(const QuietParsing&) = delete;
    QuietParsing& operator=(const QuietParsing&) = delete;
};

double EvalTerm(const Termbaum& tree, double x, double y, double t, double n, double w);
double EvalTermDerivative(const Termbaum& tree, int order, double x, double y, double t, double n);
double EvalTermDerivativeArg2(const Termbaum& tree, int order, double t, double w);
double EvalFunktionSumN(int order, double x, double t, double nStart, double nEnd, double nStep);
double TermPower(double x, double y);
double TermLg(double a);
double TermSgn(double a);

// How many times EvalTerm ran (for the tests' counting).
extern long long gStandInEvaluations;

}  // namespace kalvo
