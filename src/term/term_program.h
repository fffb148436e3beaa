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

enum class Op : uint8_t {
    Load,      // acc = s[a]
    Push,      // save acc
    AddR, SubR, MulR, DivR, PowR,      // acc = acc op s[a]
    AddL, SubL, MulL, DivL, PowL,      // acc = s[a] op acc
    AddS, SubS, MulS, DivS, PowS,      // acc = saved op acc
    AddLL, SubLL, MulLL, DivLL, PowLL, // acc = s[a] op s[b]
    PowI,      // acc = acc ^ k, k whole with |k| < 7
    PowIL,     // acc = s[a] ^ k
    Neg,
    Sin, Cos, Sqrt, Exp,
    Func,      // acc = function k of acc
    Fail,      // the term is undefined wherever it is evaluated
    End,
};

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
};

// Fills `program` from the tree (which must not be empty).
void CompileTerm(const TermNode& root, TermProgram& program);

// Runs the program; false where the term is undefined.
bool RunTermProgram(const TermProgram& program, double x, double y, double t, double n, double w, double& out);

struct TermbaumAccess {
    static void Set(Termbaum& tree, std::unique_ptr<TermNode> root, bool usesT, bool usesN);
    static const TermProgram* Program(const Termbaum& tree) {
        return tree.root_ ? tree.program_.get() : nullptr;
    }
};

}  // namespace kalvo
