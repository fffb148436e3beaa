#pragma once
// Graphs y = f(x) of a term and of its derivatives of order 1 to 3, for every
// member of the family over t, with the sum over the index n built in:
// sampled once per device pixel column, broken at undefined places and
// poles, clipped to the plot rectangle.

#include <string>
#include <string_view>

#include "object_lists.h"
#include "work_budget.h"

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

// The work one redraw of the screen may take, in seconds (work_budget.h):
// whatever families, sums, slots, overlays and stored sets the state holds,
// the redraw stops there and says that it did. Printers and pictures for
// files get as many times more as they have pixels more.
inline constexpr double kRedrawSeconds = kWaitSeconds;
// What loading one stored set for its pass costs, in work units.
inline constexpr long long kStoredSetCost = 3000;

// Whether the last redraw was cut by its work budget.
bool LastRedrawCut();
// What is said of a cut picture: "Die Grafik wurde nicht vollständig "
// followed by `done` ("gezeichnet", "gedruckt", ...) and the reason.
std::string CutPictureText(std::string_view done);
// What a tool says instead of a result its work budget cut short.
inline constexpr const char* kZuVielRechenaufwand = "zu viel Rechenaufwand";
inline constexpr const char* kBerechnungAbgebrochen = "Die Berechnung wurde abgebrochen: zu viel Rechenaufwand.";

}  // namespace kalvo
