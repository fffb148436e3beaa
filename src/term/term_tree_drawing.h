#pragma once
// The term tree as a picture, so the user can see how the parser read a
// term: precedence, the "*" it inserted, unary minus. Each node shows its
// number, variable, constant, function name or operator; lines lead to its
// operands, a function's argument and the operand of unary minus on the left.

#include <cstdint>
#include <string>
#include <string_view>

namespace kalvo {

class Canvas;
struct CanvasRect;
struct TermNode;

// The name of a function node code 10..38; empty for every other code.
std::string FunctionCodeName(uint16_t code);

// What a node shows: a number with a decimal comma, "x", "π" for pi, "sin",
// "*(-1)" for unary minus, an operator's character.
std::string TermNodeLabel(const TermNode& node);

// Levels are this far apart while the tree has room.
inline constexpr int kTermbaumLevelStep = 60;

// Draws the subtree at `node` with its label centred at (x, y): its children
// go kTermbaumLevelStep lower and dx to the left and the right, and dx halves
// with every level. A line leads to each child there is. Works without
// recursion, so any depth is drawn.
void DrawTermbaum(Canvas& canvas, const TermNode* node, int x, int y, int dx);

// The picture of the term-tree window: "f(x)=" and the term at (20, 20), the
// tree below it, rooted at the middle of the client width. A tree that fits
// into `area` in the halving layout of DrawTermbaum is drawn so. One that
// does not (labels that would overlap or leave the area) is laid out tidily
// instead: a single operand straight below its node, two operands as close
// as their subtrees allow, squeezed to the width of the area if need be, the
// levels closer together. Levels that still do not fit are cut off; a node
// whose operands are cut off shows "…" after its label.
void DrawTermbaumBild(Canvas& canvas, std::string_view termText, const TermNode* root, int clientWidth,
                      const CanvasRect& area);

}  // namespace kalvo
