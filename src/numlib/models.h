#pragma once
// The regression models of the curve-fitting window: for the current model
// its formula text, parameter range and names, value, derivatives and
// initial estimate, and the whole fit with statistics (FitData).
//
// index  formula                         parameters  value
//   0    y = m*x + c                     0..1        B0 + B1 x
//   2    polynomial of degree Deg        0..Deg      B0 + B1 x + ... + BDeg x^Deg
//   3    rational of degrees Deg1/Deg2   0..Deg1+Deg2 (1.. without constant)
//   4    y = a exp(b x)                  1..2        B1 exp(-B2 x)
//   5    y = c - a exp(bx)               0..2        B0 (B2 - exp(-B1 x))
//   7    y = a x^z                       0..1        B0 x^B1
//   9    y = m*x                         0..0        B0 x
//  10    y = a / [1 + exp(bx + c)]       1..3        B1 / (1 + exp(-B2 x + B3))
// Indices 1, 6, 8 and those above 10 have no model. Only model 5 is refined
// nonlinearly; the others keep their estimate. Fits are unweighted.

#include <string>

#include "matrices.h"
#include "regress.h"

namespace kalvo {

extern int FitModel;   // current model index
extern int WeightMode; // always 0: fits are unweighted
// The pairs the last estimate left out: those of the logistic model whose y
// is not strictly between 0 and the level a.
extern int EstimateLeftOut;

// Model 2 reads the degree from Opt[0] (kept when 1 or less); model 3 reads
// the numerator and denominator degrees from Opt[0] and Opt[1].
void SetFitModel(int Model, int Mode, const TVector& Opt);
bool ModelKnown(int Model);

std::string ModelFormula();
int ModelFirstParamIndex();
int ModelLastParamIndex();
std::string ModelParamName(int i);
double ModelValue(const TVector& B, double x);
void ModelDerivatives(const TModelFunction& value, double x, double y, const TVector& B,
                      TVector& D);

// Initial estimate of B from X[1..N], Y[1..N]; models 5 and 10 sort the pairs by x in place.
// Sets EstimateLeftOut.
int ModelEstimate(TVector& X, TVector& Y, TMatrix& V, TVector& B, int N);

// The whole fit: estimate (when DoEstimate), the nonlinear refinement of
// model 5, then the fitted values Ycalc[1..N], the statistics, VrOut[0] (the
// residual variance) and S[1..N] (its square root) from whatever B holds.
// W is not read. Returns -1 for an unknown model or arrays that are too small.
int FitData(TVector& X, const TVector& W, TVector& Y, int N, bool DoEstimate, int MaxIter,
            double Tol, TVector& VrOut, TVector& B, const TVector& Bmin, const TVector& Bmax,
            TMatrix& V, TVector& Ycalc, TVector& S, RegressionsStatistik& Test);

int WeightModeClass(int x);

// Start-up values of the model settings (used by ResetNumlibState).
void ResetModels();

}  // namespace kalvo
