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

// A sum or difference can take a product into its own instruction.
enum class Fusion : uint8_t {
    None,
    Inner,          // this product is computed by its parent's instruction
    PlusProduct,    // acc = acc +- s[a]*s[b], from a right operand s[a]*s[b]
    ProductPlus,    // acc = acc*s[a] +- s[b], from a left operand (...)*s[a]
};

struct NodeInfo {
    const TermNode* node;
    Shape shape;
    bool needsLoad;
    Fusion fusion;
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

// s[a]*s[b]: a product of two leaves that is not folded.
bool IsOperandProduct(const CompileScratch& cs, const NodeInfo& n) {
    return n.shape == Shape::Code && n.fusion == Fusion::None && n.node->Kind == K::Mul &&
           cs.infos[static_cast<size_t>(n.left)].shape != Shape::Code &&
           cs.infos[static_cast<size_t>(n.right)].shape != Shape::Code;
}

// (...)*s[a]: a computed value times a leaf.
bool IsProductWithOperand(const CompileScratch& cs, const NodeInfo& n) {
    return n.shape == Shape::Code && n.fusion == Fusion::None && n.node->Kind == K::Mul &&
           cs.infos[static_cast<size_t>(n.left)].shape == Shape::Code &&
           cs.infos[static_cast<size_t>(n.right)].shape != Shape::Code;
}

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
        NodeInfo info{node, Shape::Code, false, Fusion::None, 0, 0, -1, -1, static_cast<int32_t>(cs.infos.size())};
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
            NodeInfo& l = cs.infos[static_cast<size_t>(info.left)];
            NodeInfo& r = cs.infos[static_cast<size_t>(info.right)];
            info.first = l.first;
            const bool sum = kind == K::Add || kind == K::Sub;
            if (l.shape == Shape::Const && r.shape == Shape::Const) {
                info.shape = Shape::Const;
                if (!Binary(kind, l.value, r.value, info.value)) return false;
            } else if (sum && l.shape == Shape::Code && IsOperandProduct(cs, r)) {
                r.fusion = Fusion::Inner;
                info.fusion = Fusion::PlusProduct;
            } else if (sum && r.shape != Shape::Code && IsProductWithOperand(cs, l)) {
                l.fusion = Fusion::Inner;
                info.fusion = Fusion::ProductPlus;
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

// Roughly the nanoseconds an instruction takes: arithmetic next to nothing,
// the power through exp and log, the functions by what they compute.
uint32_t InstructionCost(const Instr& ins) {
    namespace K = TermNodeKind;
    switch (ins.op) {
        case Op::PowR: case Op::PowL: case Op::PowS: case Op::PowLL: case Op::PowLLP: return 40;
        case Op::DivR: case Op::DivL: case Op::DivS: case Op::DivLL: case Op::DivLLP: return 3;
        case Op::Sin: case Op::Cos: case Op::Exp: return 15;
        case Op::Sqrt: return 4;
        case Op::Func:
            switch (static_cast<uint16_t>(ins.k)) {
                case K::Blanc: return 600;
                case K::Phi: case K::Arcsin: case K::Arccos: case K::Tan: case K::Cot: return 40;
                case K::Sgn: case K::Abs: case K::Maxint: case K::Int: case K::Deg: case K::Rad: case K::Sqr: return 3;
                default: return 25;
            }
        default: return 2;
    }
}

uint32_t ProgramCost(const std::vector<Instr>& code) {
    // Setting up a run and checking its variables costs as much as a few instructions.
    uint32_t cost = 10;
    for (const Instr& ins : code) cost += InstructionCost(ins);
    return cost;
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
        program.cost = ProgramCost(program.code);
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
    uint32_t pending = 0;  // pushes due before the next instruction
    // The first instruction of a right operand saves the left one itself where it can.
    auto emit = [&](Op op, uint32_t a = 0, uint32_t b = 0, int16_t k = 0) {
        if (pending > 0) {
            Op fused = op;
            switch (op) {
                case Op::Load: fused = Op::LoadP; break;
                case Op::AddLL: fused = Op::AddLLP; break;
                case Op::SubLL: fused = Op::SubLLP; break;
                case Op::MulLL: fused = Op::MulLLP; break;
                case Op::DivLL: fused = Op::DivLLP; break;
                case Op::PowLL: fused = Op::PowLLP; break;
                case Op::PowIL: fused = Op::PowILP; break;
                case Op::SqrL: fused = Op::SqrLP; break;
                case Op::CubeL: fused = Op::CubeLP; break;
                default: break;
            }
            const uint32_t separate = fused == op ? pending : pending - 1;
            for (uint32_t p = 0; p < separate; ++p) Emit(program.code, Op::Push);
            depth += pending;
            program.maxStack = std::max(program.maxStack, depth);
            pending = 0;
            op = fused;
        }
        Emit(program.code, op, a, b, k);
    };
    for (size_t i = 0; i < cs.infos.size(); ++i) {
        pending += cs.pushBefore[i];
        const NodeInfo& info = cs.infos[i];
        if (info.shape != Shape::Code) {
            if (info.needsLoad) emit(Op::Load, slotOf(info));
            continue;
        }
        if (info.fusion == Fusion::Inner) continue;
        const uint16_t kind = info.node->Kind;
        if (kind == K::Neg) {
            emit(Op::Neg);
        } else if (IsFunction(kind)) {
            switch (kind) {
                case K::Sin: emit(Op::Sin); break;
                case K::Cos: emit(Op::Cos); break;
                case K::Sqrt: emit(Op::Sqrt); break;
                case K::Exp: emit(Op::Exp); break;
                default: emit(Op::Func, 0, 0, static_cast<int16_t>(kind));
            }
        } else {
            const NodeInfo& l = cs.infos[static_cast<size_t>(info.left)];
            const NodeInfo& r = cs.infos[static_cast<size_t>(info.right)];
            const bool lOperand = l.shape != Shape::Code;
            const bool rOperand = r.shape != Shape::Code;
            const bool plus = kind == K::Add;
            if (info.fusion == Fusion::PlusProduct) {
                const uint32_t a = slotOf(cs.infos[static_cast<size_t>(r.left)]);
                emit(plus ? Op::AddMulLL : Op::SubMulLL, a, slotOf(cs.infos[static_cast<size_t>(r.right)]));
            } else if (info.fusion == Fusion::ProductPlus) {
                const uint32_t a = slotOf(cs.infos[static_cast<size_t>(l.right)]);
                emit(plus ? Op::MulAddR : Op::MulSubR, a, slotOf(r));
            } else if (kind == K::Pow && SmallIntExponent(r)) {
                const auto k = static_cast<int16_t>(r.value);
                const Op onAcc = k == 2 ? Op::Sqr : k == 3 ? Op::Cube : Op::PowI;
                const Op onSlot = k == 2 ? Op::SqrL : k == 3 ? Op::CubeL : Op::PowIL;
                if (lOperand)
                    emit(onSlot, slotOf(l), 0, k);
                else
                    emit(onAcc, 0, 0, k);
            } else if (lOperand && rOperand) {
                const uint32_t a = slotOf(l);
                emit(BinaryOp(kind, 3), a, slotOf(r));
            } else if (rOperand) {
                emit(BinaryOp(kind, 0), slotOf(r));
            } else if (lOperand) {
                emit(BinaryOp(kind, 1), slotOf(l));
            } else {
                emit(BinaryOp(kind, 2));
                --depth;
            }
        }
    }
    Emit(program.code, Op::End);
    if (program.maxStack > kLocalStack) program.bigStack.resize(program.maxStack);
    program.cost = ProgramCost(program.code);
}

}  // namespace kalvo
