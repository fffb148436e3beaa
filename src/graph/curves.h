#pragma once
// Graphs y = f(x) of a term and of its derivatives of order 1 to 3, for every
// member of the family over t, with the sum over the index n built in:
// sampled once per device pixel column, broken at undefined places and
// poles, clipped to the plot rectangle.

#include <string_view>

#include "object_lists.h"

namespace kalvo {

// Compiles the term into the main tree and plots it over the family drawing
// range; with ListentermeZeichnen also the eight terms of the function list.
void DrawFunctionGraph(std::string_view term, int order, double tStart, double tEnd, double tStep);

// Plots the term compiled in the main tree.
void PlotCurve(int order, double xStart, double xEnd, double tStart, double tEnd, double tStep);

// The order-th derivative of the main tree summed over n = nStart, nStart +
// nStep, ... while n <= nEnd; undefined past kMaxSumTerms terms.
double EvalSumOverN(int order, double x, double t, double nStart, double nEnd, double nStep);
// FgSummeVon when the compiled term uses n, else FgSummeBis (one evaluation).
double SumStartIndex();
// tStart when the compiled term uses t, else tEnd (one member).
double StartParameter(double tStart, double tEnd);
// The sum over the family's n range, clamped into the value limits.
double EvalSumClamped(int order, double x, double t);

// Smallest, largest and middle value of the main term on a strip [a, b] at
// parameter t, sampled once per screen pixel; undefined values are skipped
// (an undefined start counts as 0).
double StripMinimum(double a, double b, double t, int order = 0);
double StripMaximum(double a, double b, double t, int order = 0);
double StripMidpoint(double a, double b, double t, int order = 0);

// Joins the sample at pixel (px, py) to the polyline; prev is the previous
// row. Leaving the plot draws to its border; a jump of 20000 pixels or more
// (a pole) is never joined.
void DrawSegmentY(double px, double py, double& prev);
// The same turned by a right angle, for a polyline that runs up and down:
// prev is the previous column, leaving the plot to the left or right draws
// to the border column, and a jump of 10000 columns or more is never joined.
void DrawSegmentX(double px, double py, double& prev);

// The members of a family in drawing order: the t range while the spectrum
// is on (one member when the term does not use t), then, with the list on,
// the list values. Sets ListenPhase for the list values.
class FamilyWalk {
public:
    FamilyWalk(double tStart, double tEnd, double tStep);
    bool Next(double& t);

private:
    double t0_ = 0, step_ = 1;
    long long rangeCount_ = 1, rangeIndex_ = 0;
    int listIndex_ = 0, listEnd_ = 0;
};

// Caps of the stepping loops; far beyond any picture, they only stop runaways.
// A family has at most kMaxFamilyMembers (object_lists.h) members; a sum
// over n at most kMaxSumTerms terms (term.h).
inline constexpr long long kMaxSamples = 1 << 22;

// The budget of one redraw of the stored state, in the units of TermWork()
// (about nanoseconds): what the evaluator does, what is drawn (each point
// handed to the canvas) and the loading of stored sets. Whatever families,
// sums, slots and stored sets the state holds, the graph slots of one
// screen redraw stop there, so that it takes no more than about half a
// second on a desktop machine; what fits is drawn, the rest is left out.
// Printers and metafiles sample more densely and get that many times the
// budget.
inline constexpr long long kRedrawBudget = 300'000'000;
// What one point on the canvas costs, and loading one stored set.
inline constexpr long long kDrawPointCost = 80;
inline constexpr long long kStoredSetCost = 3000;

// While one lives, the redraw's budget is open on the current canvas; a
// budget opened inside another shares the outer one.
class RedrawBudget {
public:
    explicit RedrawBudget(long long units);
    ~RedrawBudget();
    RedrawBudget(const RedrawBudget&) = delete;
    RedrawBudget& operator=(const RedrawBudget&) = delete;
};

// Work that the budget does not cover, such as the analysis overlays whose
// results are shown as numbers: while one lives the budget is never spent,
// and what is done meanwhile does not count.
class BudgetExempt {
public:
    BudgetExempt();
    ~BudgetExempt();
    BudgetExempt(const BudgetExempt&) = delete;
    BudgetExempt& operator=(const BudgetExempt&) = delete;

private:
    long long start_;
};

// True while a budget is open, not exempt, and used up.
bool RedrawBudgetSpent();
// Whether the open budget still has `units` left; when not, it counts as
// spent from now on, so that the picture stops where such work would start.
bool RedrawBudgetAffords(long long units);
// Counts work besides the evaluator's against the open budget.
void ChargeRedraw(long long units);
// Whether the budget of the last redraw ran out before everything was drawn.
bool LastRedrawCut();

}  // namespace kalvo
