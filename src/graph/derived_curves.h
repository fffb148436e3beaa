#pragma once
// Curves derived from the terms: integral functions, inverse relations,
// combinations and compositions of f and g, the lines x = u, the parametric
// curve with its slope curve and components, and the piecewise function h.
// Each compiles its term into the main tree and draws with the pen the
// redraw has set for its graph slot.

#include <string>
#include <string_view>

namespace kalvo {

// A term without its remark: the text from the first "{" on is dropped,
// unless the "{" comes first (then the whole text is kept, and the parser
// refuses it).
std::string_view WithoutRemark(std::string_view term);

// The integral function of the term from IntegralfunktionXo, for every
// family member, over the family drawing range.
void DrawIntegralFunction(std::string_view term);

// The graph of the term mirrored at y = x: the points (f(v), v).
void DrawInverseRelation(std::string_view term);

// "(" f ")" op "(" g ")", an empty term counting as 0.
std::string CombinedTermText(std::string_view f, std::string_view g, char op);
// Compiles the combined term into the main tree; false when it does not compile.
bool CombineTerms(std::string_view f, std::string_view g, char op);
// f op g over the family drawing range; nothing unless both terms are given.
void DrawCombination(std::string_view f, std::string_view g, char op);

// The outer term with every variable x replaced by "(" inner ")"; the x
// inside the names exp and maxint stays.
std::string ComposedTermText(std::string_view outer, std::string_view inner);
void DrawComposition(std::string_view outer, std::string_view inner);

// The line x = u across the plot, when u lies inside the window and is not
// 0 (that line is the y axis).
void DrawVerticalLineU(double u);

// mode 0: the curve (x(t), y(t)); mode 1: the slope curve (x(t), y'(t) / x'(t)).
void DrawParametricCurve(std::string_view xTerm, std::string_view yTerm, int mode);
// x(t) and its derivatives with t on the vertical axis.
void DrawXtItem(std::string_view xTerm, int order);
// y(t) and its derivatives over t on the horizontal axis.
void DrawYtItem(std::string_view yTerm, int order);

// The four pieces h1 to h4 on their intervals, a family over the h parameter range.
void DrawPiecewise(int order);

}  // namespace kalvo
