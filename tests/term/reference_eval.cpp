#include "reference_eval.h"

#include <numbers>
#include <cmath>
#include <utility>
#include <vector>

#include "program_state.h"
#include "term_ops.h"

namespace kalvo::test_support {

namespace K = TermNodeKind;

bool ReferenceEval(const TermNode* node, const RefVars& v, double& out) {
    if (!node) return false;
    double value = 0;
    double l = 0, r = 0;
    switch (node->Kind) {
        case K::Number: value = node->Value; break;
        case K::VarX: value = v.x; break;
        case K::VarY: value = v.y; break;
        case K::VarT: value = v.t; break;
        case K::VarN: value = v.n; break;
        case K::VarW: value = v.w; break;
        case K::Pi: value = std::numbers::pi; break;
        case K::E: value = std::numbers::e; break;
        case K::ConstA: value = gTerms.KonstanteA; break;
        case K::ConstB: value = gTerms.KonstanteB; break;
        case K::ConstC: value = gTerms.KonstanteC; break;
        case K::ConstD: value = gTerms.KonstanteD; break;
        case K::Add:
        case K::Sub:
        case K::Mul:
        case K::Div:
        case K::Pow:
            if (!ReferenceEval(node->Left.get(), v, l) || !ReferenceEval(node->Right.get(), v, r)) return false;
            switch (node->Kind) {
                case K::Add: value = l + r; break;
                case K::Sub: value = l - r; break;
                case K::Mul:
                    if (std::fabs(r) * (std::fabs(l) / 1e50) >= 1) return false;
                    value = l * r;
                    break;
                case K::Div:
                    if (std::fabs(l) >= std::fabs(r) * 1e15) return false;
                    value = l / r;
                    break;
                default:
                    if (!termops::PowerRaw(l, r, value)) return false;
            }
            break;
        case K::Neg:
            if (!ReferenceEval(node->Left.get(), v, l)) return false;
            value = -l;
            break;
        default:
            if (node->Kind < K::FirstFunction || node->Kind > K::LastFunction) return false;
            if (!ReferenceEval(node->Left.get(), v, l)) return false;
            if (!termops::Function(node->Kind, l, value)) return false;
    }
    // The value limit after every node.
    if (!(std::fabs(value) < 1e50)) return false;
    out = value;
    return true;
}

int TreeDepth(const TermNode* root) {
    if (!root) return 0;
    int depth = 0;
    std::vector<std::pair<const TermNode*, int>> todo{{root, 1}};
    while (!todo.empty()) {
        auto [node, d] = todo.back();
        todo.pop_back();
        depth = std::max(depth, d);
        if (node->Left) todo.emplace_back(node->Left.get(), d + 1);
        if (node->Right) todo.emplace_back(node->Right.get(), d + 1);
    }
    return depth;
}

}  // namespace kalvo::test_support
