#pragma once
// The flat form a term tree is evaluated by: a program for a machine with one
// accumulator and a small stack. Leaves become operands of the instruction
// that uses them, constant subtrees are folded with the same arithmetic, so
// the values are those of walking the tree node by node.

#include <cstdint>
#include <memory>
#include <vector>

#include "term.h"

namespace kalvo {

// "s[a]" is a slot, "acc" the running value, "saved" the value pushed last.
// The ...P forms save acc first: they start the right operand of an operator
// whose left operand is already computed.
#define KALVO_TERM_OPS(X)                                                          \
    X(Load)   /* acc = s[a] */                                                     \
    X(LoadP)                                                                       \
    X(Push)                                                                        \
    X(AddR) X(SubR) X(MulR) X(DivR) X(PowR)      /* acc = acc op s[a] */           \
    X(AddL) X(SubL) X(MulL) X(DivL) X(PowL)      /* acc = s[a] op acc */           \
    X(AddS) X(SubS) X(MulS) X(DivS) X(PowS)      /* acc = saved op acc */          \
    X(AddLL) X(SubLL) X(MulLL) X(DivLL) X(PowLL) /* acc = s[a] op s[b] */          \
    X(AddLLP) X(SubLLP) X(MulLLP) X(DivLLP) X(PowLLP)                              \
    X(AddMulLL) X(SubMulLL)                      /* acc = acc +- s[a]*s[b] */      \
    X(MulAddR) X(MulSubR)                        /* acc = acc*s[a] +- s[b] */      \
    X(PowI)   /* acc = acc ^ k, k whole with |k| < 7 */                            \
    X(PowIL)  /* acc = s[a] ^ k */                                                 \
    X(PowILP)                                                                      \
    X(Sqr) X(SqrL) X(SqrLP) X(Cube) X(CubeL) X(CubeLP) /* the same for k = 2, 3 */ \
    X(Neg) X(Sin) X(Cos) X(Sqrt) X(Exp)                                            \
    X(Func)   /* acc = function k of acc */                                        \
    X(Fail)   /* the term is undefined wherever it is evaluated */                 \
    X(End)

#define KALVO_TERM_OP_ENUM(name) name,
enum class Op : uint8_t { KALVO_TERM_OPS(KALVO_TERM_OP_ENUM) };
#undef KALVO_TERM_OP_ENUM

struct Instr {
    Op op = Op::End;
    int16_t k = 0;
    uint32_t a = 0;
    uint32_t b = 0;
    uint32_t unused = 0;
};

// Slots 0..8 hold x, y, t, n, w, a, b, c, d for one evaluation; constants follow.
inline constexpr uint32_t kSlotX = 0, kSlotY = 1, kSlotT = 2, kSlotN = 3, kSlotW = 4;
inline constexpr uint32_t kSlotA = 5, kSlotB = 6, kSlotC = 7, kSlotD = 8;
inline constexpr uint32_t kVariableSlots = 9;
inline constexpr uint32_t kLocalStack = 64;

struct TermProgram {
    std::vector<Instr> code;
    // Scratch during an evaluation; the program is run by one thread at a time.
    mutable std::vector<double> slots;
    mutable std::vector<double> bigStack;
    uint32_t usedVariables = 0;  // bit i: slot i is read
    uint32_t maxStack = 0;
    // What one run costs, about the nanoseconds it takes (TermWork()).
    uint32_t cost = 1;
};

// Fills `program` from the tree (which must not be empty).
void CompileTerm(const TermNode& root, TermProgram& program);

// Runs the program: sets gTerms.TermOK and returns the value, or 0 where the
// term is undefined (no program at all included).
double RunTermProgram(const TermProgram* program, double x, double y, double t, double n, double w);

struct TermbaumAccess {
    static void Set(Termbaum& tree, std::unique_ptr<TermNode> root, bool usesT, bool usesN);
    static const TermProgram* Program(const Termbaum& tree) {
        return tree.root_ ? tree.program_.get() : nullptr;
    }
};

}  // namespace kalvo
