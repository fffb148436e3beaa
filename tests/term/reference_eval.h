#pragma once
// A plain walk of the term tree, node by node, as the language defines its
// evaluation. The compiled evaluator must give the same bits; tests and the
// fuzzer compare the two.

#include "term.h"

namespace kalvo::test_support {

struct RefVars {
    double x = 0, y = 0, t = 0, n = 0, w = 0;
};

// False where the term is undefined. Recursive: only for trees of modest depth.
bool ReferenceEval(const TermNode* node, const RefVars& v, double& out);

// Depth of the tree, counted without recursion.
int TreeDepth(const TermNode* root);

}  // namespace kalvo::test_support
