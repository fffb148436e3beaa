// Any text as a term: it compiles or is refused with a code and a column;
// what compiles evaluates (with derivatives and sums) to a value below the
// limit or to "undefined", and the compiled evaluation agrees bit for bit
// with the plain walk of the tree.
//
// The first byte chooses the mode: bit 0 variables allowed, bit 1 w-mode,
// bit 2 y allowed, bit 3 read the text as a parameter list instead.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "parameter_list.h"
#include "program_state.h"
#include "reference_eval.h"
#include "term.h"

namespace {

using namespace kalvo;

void Check(bool condition) {
    if (!condition) std::abort();
}

bool HasRandom(const TermNode* root) {
    std::vector<const TermNode*> todo{root};
    while (!todo.empty()) {
        const TermNode* n = todo.back();
        todo.pop_back();
        if (n->Kind == TermNodeKind::Random) return true;
        if (n->Left) todo.push_back(n->Left.get());
        if (n->Right) todo.push_back(n->Right.get());
    }
    return false;
}

void CheckValue(double v) {
    if (gTerms.TermOK)
        Check(std::isfinite(v));
    else
        Check(v == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool initialised = [] {
        InitTermTrees();
        return true;
    }();
    (void)initialised;
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    QuietParsing quiet;

    if (mode & 8) {
        Funktionsterm list = text;
        ParameterWerteFeld values{};
        const bool ok = ReadParameterliste(list, values);
        Check(ok == !gTerms.ParameterListeFehler);
        Check(values[kMaxParameterValues] >= 0 && values[kMaxParameterValues] <= kMaxParameterValues);
        Check(CharCount(list.str()) <= kTermChars);
        return 0;
    }

    ParserWMode = (mode & 2) != 0;
    gTerms.ParserAllowsY = (mode & 4) != 0;
    const bool ok = ParseTerm(FunktionTermbaum, text, (mode & 1) != 0);
    ParserWMode = false;
    gTerms.ParserAllowsY = false;
    Check(ok == gTerms.TermOK);
    Check(ok == !FunktionTermbaum.Empty());
    if (!ok) {
        Check(LastSyntaxErrorCode() != kNoSyntaxError && LastSyntaxErrorCode() != 0 && LastSyntaxErrorCode() != 4);
        Check(gTerms.SyntaxErrorPos >= 1 && static_cast<size_t>(gTerms.SyntaxErrorPos) <= text.size() + 1);
        return 0;
    }

    const bool compare = test_support::TreeDepth(FunktionTermbaum.Root()) <= 2000 && !HasRandom(FunktionTermbaum.Root());
    static const double xs[] = {0, 1, -2.5, 1e-31, 14.99, 15, 89.9, -90, 1e20, 3e49};
    for (double x : xs) {
        const double t = 1.5 - x / 7;
        const double n = std::floor(x / 3);
        const double v = EvalTerm(FunktionTermbaum, x, x / 2, t, n, -x);
        CheckValue(v);
        Check(!gTerms.TermOK || std::fabs(v) < 1e50);
        if (compare) {
            double expected = 0;
            const bool refOK = test_support::ReferenceEval(FunktionTermbaum.Root(), {x, x / 2, t, n, -x}, expected);
            Check(refOK == gTerms.TermOK);
            if (refOK) Check(std::bit_cast<uint64_t>(v) == std::bit_cast<uint64_t>(expected));
        }
    }
    for (int order = 1; order <= 3; ++order) {
        CheckValue(EvalTermDerivative(FunktionTermbaum, order, 0.5, 0, 2, 1));
        CheckValue(EvalTermDerivativeArg2(FunktionTermbaum, order, 0.5, 1));
    }
    CheckValue(EvalFunktionSumN(static_cast<int>(mode >> 4) & 3, 0.7, 2, 0, 4, 1));
    return 0;
}
