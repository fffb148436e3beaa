#pragma once
// The pictures of the iteration x(n+1) = F(x(n)): the staircase between the
// graph of the k-th iterate and y = x, the graph of the sequence, the
// attractor diagram over the parameter a and the y window that suits them;
// and the value pairs of the curve fitting with their deviations.

namespace kalvo {

// a * x * (1 - x) with a = KonstanteA, limited to +-1e10.
double LogisticStep(double x);

// F(x): the logistic step, or the term in the main tree at x (t the
// current parameter of the overlays), limited to +-1e10; TermOK says
// whether it is defined.
double IterationMapValue(double x);

// Sets KonstanteA := a and applies F k times to x, a step only while
// |x| < 1e10; an undefined value ends it with TermOK false. k < 1 gives x.
double KteIterierte(int k, double a, double x);

// Compiles the map term ("ax(1-x)" for the logistic equation, else f) into the main tree.
void CompileIterationTerm();

// The y windows of the three pictures from the first 50 iterates of the start value.
void AutoScaleIteration();

// The staircase (IterPfadAktiv) or the graph of the sequence.
void DrawIterationDiagram();

// The attractor (bifurcation) diagram, one parameter a per pixel column.
void DrawBifurcationDiagram();

// The value pairs of the curve fitting as markers of the given kind (0 to
// 7), with AbweichungenZeichnen their vertical distances to the graph of f.
void DrawDataPoints(int kind);

// Counts beyond these are cut: the dialog keeps them far smaller.
inline constexpr int kMaxIterierteK = 20;
inline constexpr int kMaxIterationSteps = 10000;
inline constexpr int kMaxAttraktorIterationen = 1000;

}  // namespace kalvo
