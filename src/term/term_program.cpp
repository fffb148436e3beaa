#include "term_program.h"

#include <bit>
#include <cmath>

#include "program_state.h"
#include "term_ops.h"

namespace kalvo {

TermNode::~TermNode() {
    if (!Left && !Right) return;
    std::vector<std::unique_ptr<TermNode>> pending;
    if (Left) pending.push_back(std::move(Left));
    if (Right) pending.push_back(std::move(Right));
    while (!pending.empty()) {
        std::unique_ptr<TermNode> node = std::move(pending.back());
        pending.pop_back();
        if (node->Left) pending.push_back(std::move(node->Left));
        if (node->Right) pending.push_back(std::move(node->Right));
    }
}

Termbaum::Termbaum() = default;
Termbaum::~Termbaum() = default;
Termbaum::Termbaum(Termbaum&&) noexcept = default;
Termbaum& Termbaum::operator=(Termbaum&&) noexcept = default;

void Termbaum::Clear() {
    root_.reset();
    usesT_ = false;
    usesN_ = false;
}

void TermbaumAccess::Set(Termbaum& tree, std::unique_ptr<TermNode> root, bool usesT, bool usesN) {
    tree.root_ = std::move(root);
    tree.usesT_ = usesT;
    tree.usesN_ = usesN;
    if (!tree.root_) return;
    if (!tree.program_) tree.program_ = std::make_unique<TermProgram>();
    CompileTerm(*tree.root_, *tree.program_);
}

namespace {

namespace K = TermNodeKind;

enum class Shape : uint8_t { Const, Var, Code };

struct NodeInfo {
    const TermNode* node;
    Shape shape;
    bool needsLoad;
    uint32_t slot;   // Var: its slot
    double value;    // Const: its value
    int32_t left, right;
    int32_t first;   // post-order index of the first node of this subtree
};

int VariableSlot(uint16_t kind) {
    switch (kind) {
        case K::VarX: return kSlotX;
        case K::VarY: return kSlotY;
        case K::VarT: return kSlotT;
        case K::VarN: return kSlotN;
        case K::VarW: return kSlotW;
        case K::ConstA: return kSlotA;
        case K::ConstB: return kSlotB;
        case K::ConstC: return kSlotC;
        case K::ConstD: return kSlotD;
        default: return -1;
    }
}

bool IsFunction(uint16_t kind) { return kind >= K::FirstFunction && kind <= K::LastFunction; }

bool IsBinary(uint16_t kind) {
    return kind == K::Mul || kind == K::Add || kind == K::Sub || kind == K::Div || kind == K::Pow;
}

bool Binary(uint16_t kind, double l, double r, double& out) {
    switch (kind) {
        case K::Add: return termops::Add(l, r, out);
        case K::Sub: return termops::Sub(l, r, out);
        case K::Mul: return termops::Mul(l, r, out);
        case K::Div: return termops::Div(l, r, out);
        default: return termops::Power(l, r, out);
    }
}

bool SmallIntExponent(const NodeInfo& info) {
    return info.shape == Shape::Const && termops::IsInteger(info.value) && std::fabs(info.value) < 7;
}

Op BinaryOp(uint16_t kind, int form) {
    // form: 0 R, 1 L, 2 S, 3 LL
    static constexpr Op table[5][4] = {
        {Op::AddR, Op::AddL, Op::AddS, Op::AddLL}, {Op::SubR, Op::SubL, Op::SubS, Op::SubLL},
        {Op::MulR, Op::MulL, Op::MulS, Op::MulLL}, {Op::DivR, Op::DivL, Op::DivS, Op::DivLL},
        {Op::PowR, Op::PowL, Op::PowS, Op::PowLL}};
    int row = kind == K::Add ? 0 : kind == K::Sub ? 1 : kind == K::Mul ? 2 : kind == K::Div ? 3 : 4;
    return table[row][form];
}

// Scratch of the compiler, kept between calls so that compiling allocates little.
struct CompileScratch {
    std::vector<std::pair<const TermNode*, bool>> walk;
    std::vector<int32_t> results;
    std::vector<NodeInfo> infos;
    std::vector<uint32_t> pushBefore;
};

// Every node is always evaluated, so a subtree that is undefined everywhere makes
// the whole term undefined everywhere. Returns false in that case.
bool Analyse(const TermNode& root, CompileScratch& cs) {
    cs.walk.clear();
    cs.results.clear();
    cs.infos.clear();
    cs.walk.emplace_back(&root, false);
    while (!cs.walk.empty()) {
        auto [node, expanded] = cs.walk.back();
        if (!expanded) {
            cs.walk.back().second = true;
            if (node->Right) cs.walk.emplace_back(node->Right.get(), false);
            if (node->Left) cs.walk.emplace_back(node->Left.get(), false);
            continue;
        }
        cs.walk.pop_back();
        NodeInfo info{node, Shape::Code, false, 0, 0, -1, -1, static_cast<int32_t>(cs.infos.size())};
        if (node->Right) {
            info.right = cs.results.back();
            cs.results.pop_back();
        }
        if (node->Left) {
            info.left = cs.results.back();
            cs.results.pop_back();
        }
        const uint16_t kind = node->Kind;
        const bool leaf = info.left < 0 && info.right < 0;
        const bool unary = info.left >= 0 && info.right < 0;
        const bool binary = info.left >= 0 && info.right >= 0;
        if (leaf) {
            const int slot = VariableSlot(kind);
            if (slot >= 0) {
                info.shape = Shape::Var;
                info.slot = static_cast<uint32_t>(slot);
            } else if (kind == K::Number && termops::InLimit(node->Value)) {
                info.shape = Shape::Const;
                info.value = node->Value;
            } else if (kind == K::Pi || kind == K::E) {
                info.shape = Shape::Const;
                info.value = kind == K::Pi ? termops::kPi : termops::kE;
            } else {
                return false;
            }
        } else if (unary && (IsFunction(kind) || kind == K::Neg)) {
            NodeInfo& arg = cs.infos[static_cast<size_t>(info.left)];
            info.first = arg.first;
            if (arg.shape == Shape::Const && kind != K::Random) {
                info.shape = Shape::Const;
                if (kind == K::Neg)
                    info.value = -arg.value;
                else if (!termops::Function(kind, arg.value, info.value))
                    return false;
            } else if (arg.shape != Shape::Code) {
                arg.needsLoad = true;
            }
        } else if (binary && IsBinary(kind)) {
            const NodeInfo& l = cs.infos[static_cast<size_t>(info.left)];
            const NodeInfo& r = cs.infos[static_cast<size_t>(info.right)];
            info.first = l.first;
            if (l.shape == Shape::Const && r.shape == Shape::Const) {
                info.shape = Shape::Const;
                if (!Binary(kind, l.value, r.value, info.value)) return false;
            } else if (l.shape == Shape::Code && r.shape == Shape::Code) {
                cs.pushBefore[static_cast<size_t>(r.first)] += 1;
            }
        } else {
            return false;  // a tree the parser cannot build
        }
        cs.results.push_back(static_cast<int32_t>(cs.infos.size()));
        cs.infos.push_back(info);
        if (cs.pushBefore.size() < cs.infos.size() + 1) cs.pushBefore.resize(cs.infos.size() * 2 + 16, 0);
    }
    NodeInfo& top = cs.infos.back();
    if (top.shape != Shape::Code) top.needsLoad = true;
    return true;
}

void Emit(std::vector<Instr>& code, Op op, uint32_t a = 0, uint32_t b = 0, int16_t k = 0) {
    Instr ins;
    ins.op = op;
    ins.a = a;
    ins.b = b;
    ins.k = k;
    code.push_back(ins);
}

}  // namespace

void CompileTerm(const TermNode& root, TermProgram& program) {
    static CompileScratch cs;
    program.code.clear();
    program.slots.assign(kVariableSlots, 0.0);
    program.usedVariables = 0;
    program.maxStack = 0;
    cs.pushBefore.assign(cs.pushBefore.size(), 0);
    if (cs.pushBefore.empty()) cs.pushBefore.resize(64, 0);

    if (!Analyse(root, cs)) {
        Emit(program.code, Op::Fail);
        Emit(program.code, Op::End);
        return;
    }

    auto slotOf = [&](const NodeInfo& info) -> uint32_t {
        if (info.shape == Shape::Var) {
            program.usedVariables |= 1u << info.slot;
            return info.slot;
        }
        program.slots.push_back(info.value);
        return static_cast<uint32_t>(program.slots.size() - 1);
    };

    uint32_t depth = 0;
    for (size_t i = 0; i < cs.infos.size(); ++i) {
        for (uint32_t p = cs.pushBefore[i]; p > 0; --p) {
            Emit(program.code, Op::Push);
            program.maxStack = std::max(program.maxStack, ++depth);
        }
        const NodeInfo& info = cs.infos[i];
        if (info.shape != Shape::Code) {
            if (info.needsLoad) Emit(program.code, Op::Load, slotOf(info));
            continue;
        }
        const uint16_t kind = info.node->Kind;
        if (kind == K::Neg) {
            Emit(program.code, Op::Neg);
        } else if (IsFunction(kind)) {
            switch (kind) {
                case K::Sin: Emit(program.code, Op::Sin); break;
                case K::Cos: Emit(program.code, Op::Cos); break;
                case K::Sqrt: Emit(program.code, Op::Sqrt); break;
                case K::Exp: Emit(program.code, Op::Exp); break;
                default: Emit(program.code, Op::Func, 0, 0, static_cast<int16_t>(kind));
            }
        } else {
            const NodeInfo& l = cs.infos[static_cast<size_t>(info.left)];
            const NodeInfo& r = cs.infos[static_cast<size_t>(info.right)];
            const bool lOperand = l.shape != Shape::Code;
            const bool rOperand = r.shape != Shape::Code;
            if (kind == K::Pow && SmallIntExponent(r)) {
                const auto k = static_cast<int16_t>(r.value);
                if (lOperand)
                    Emit(program.code, Op::PowIL, slotOf(l), 0, k);
                else
                    Emit(program.code, Op::PowI, 0, 0, k);
            } else if (lOperand && rOperand) {
                const uint32_t a = slotOf(l);
                Emit(program.code, BinaryOp(kind, 3), a, slotOf(r));
            } else if (rOperand) {
                Emit(program.code, BinaryOp(kind, 0), slotOf(r));
            } else if (lOperand) {
                Emit(program.code, BinaryOp(kind, 1), slotOf(l));
            } else {
                Emit(program.code, BinaryOp(kind, 2));
                --depth;
            }
        }
    }
    Emit(program.code, Op::End);
    if (program.maxStack > kLocalStack) program.bigStack.resize(program.maxStack);
}

namespace {

inline bool MulFast(double l, double r, double& out) {
    // Far below the guard and the limit the product alone decides.
    if (std::fabs(l) < 1e20 && std::fabs(r) < 1e20) {
        out = l * r;
        return true;
    }
    return termops::Mul(l, r, out);
}

inline bool PowSmall(double x, int k, double& out) {
    if (!termops::SmallIntPowerApplies(x)) return termops::Power(x, k, out);
    switch (k) {
        case 2: out = x * x; return true;
        case 3: out = x * x * x; return true;
        default: out = termops::SmallIntPower(x, k); return k >= 0 || termops::InLimit(out);
    }
}

}  // namespace

bool RunTermProgram(const TermProgram& p, double x, double y, double t, double n, double w, double& out) {
    double* s = p.slots.data();
    s[kSlotX] = x;
    s[kSlotY] = y;
    s[kSlotT] = t;
    s[kSlotN] = n;
    s[kSlotW] = w;
    s[kSlotA] = gTerms.KonstanteA;
    s[kSlotB] = gTerms.KonstanteB;
    s[kSlotC] = gTerms.KonstanteC;
    s[kSlotD] = gTerms.KonstanteD;
    // Every leaf is evaluated whatever the others give, so checking the
    // variables first decides the same as checking each leaf in its turn.
    for (uint32_t m = p.usedVariables; m != 0; m &= m - 1)
        if (!termops::InLimit(s[std::countr_zero(m)])) return false;

    double local[kLocalStack];
    double* sp = p.maxStack <= kLocalStack ? local : p.bigStack.data();
    double acc = 0;
    for (const Instr* ip = p.code.data();; ++ip) {
        switch (ip->op) {
            case Op::Load: acc = s[ip->a]; break;
            case Op::Push: *sp++ = acc; break;

            case Op::AddR: acc = acc + s[ip->a]; if (!termops::InLimit(acc)) return false; break;
            case Op::AddL: acc = s[ip->a] + acc; if (!termops::InLimit(acc)) return false; break;
            case Op::AddS: acc = *--sp + acc; if (!termops::InLimit(acc)) return false; break;
            case Op::AddLL: acc = s[ip->a] + s[ip->b]; if (!termops::InLimit(acc)) return false; break;

            case Op::SubR: acc = acc - s[ip->a]; if (!termops::InLimit(acc)) return false; break;
            case Op::SubL: acc = s[ip->a] - acc; if (!termops::InLimit(acc)) return false; break;
            case Op::SubS: acc = *--sp - acc; if (!termops::InLimit(acc)) return false; break;
            case Op::SubLL: acc = s[ip->a] - s[ip->b]; if (!termops::InLimit(acc)) return false; break;

            case Op::MulR: if (!MulFast(acc, s[ip->a], acc)) return false; break;
            case Op::MulL: if (!MulFast(s[ip->a], acc, acc)) return false; break;
            case Op::MulS: { const double l = *--sp; if (!MulFast(l, acc, acc)) return false; break; }
            case Op::MulLL: if (!MulFast(s[ip->a], s[ip->b], acc)) return false; break;

            case Op::DivR: if (!termops::Div(acc, s[ip->a], acc)) return false; break;
            case Op::DivL: if (!termops::Div(s[ip->a], acc, acc)) return false; break;
            case Op::DivS: { const double l = *--sp; if (!termops::Div(l, acc, acc)) return false; break; }
            case Op::DivLL: if (!termops::Div(s[ip->a], s[ip->b], acc)) return false; break;

            case Op::PowR: if (!termops::Power(acc, s[ip->a], acc)) return false; break;
            case Op::PowL: if (!termops::Power(s[ip->a], acc, acc)) return false; break;
            case Op::PowS: { const double l = *--sp; if (!termops::Power(l, acc, acc)) return false; break; }
            case Op::PowLL: if (!termops::Power(s[ip->a], s[ip->b], acc)) return false; break;
            case Op::PowI: if (!PowSmall(acc, ip->k, acc)) return false; break;
            case Op::PowIL: if (!PowSmall(s[ip->a], ip->k, acc)) return false; break;

            case Op::Neg: acc = -acc; break;
            case Op::Sin: acc = std::sin(acc); break;
            case Op::Cos: acc = std::cos(acc); break;
            case Op::Sqrt:
                if (!(acc >= 0)) return false;
                acc = std::sqrt(acc);
                break;
            case Op::Exp:
                if (std::fabs(acc) >= 90) {
                    if (acc >= 0) return false;
                    acc = 0;
                } else {
                    acc = std::exp(acc);
                }
                break;
            case Op::Func:
                if (!termops::Function(static_cast<uint16_t>(ip->k), acc, acc)) return false;
                break;
            case Op::Fail: return false;
            case Op::End: out = acc; return true;
        }
    }
}

}  // namespace kalvo
