#pragma once
// Minimisation of a function of several parameters: Levenberg-Marquardt in
// which every damped step only gives the direction of a golden-section line
// search; once the parameters have converged one undamped Newton step ends it.
// Result codes: 0 success, -1 singular normal matrix, -2 damping factor past
// its limit, -3 iteration limit.

#include <functional>

#include "matrices.h"

namespace kalvo {

using TObjective = std::function<double(const TVector& X)>;
using TObjective1D = std::function<double(double r)>;
// Fills the gradient G[Lb..Ub] and an approximate Hessian H of F at X.
using THessGrad = std::function<void(const TObjective& F, const TVector& X, int Lb, int Ub,
                                     TVector& G, TMatrix& H)>;

// Returns A, B, C with f(B) below f(A) and f(C) (or the last finite values).
void BracketMinimum(const TObjective1D& f, double& A, double& B, double& C, double& Fa,
                    double& Fb, double& Fc);

// Returns 0, or -3 after MaxIter iterations.
int GoldenSectionSearch(const TObjective1D& f, double A, double B, int MaxIter, double Tol,
                        double& Xmin, double& Ymin);

// The objective along the line set up by the running LineMinimize.
double LineObjective(double r);

// Minimises F along X + r DeltaX (r bracketed from 0 and 1) and moves X there.
int LineMinimize(const TObjective& F, TVector& X, const TVector& DeltaX, int Lb, int Ub,
                 int MaxIter, double Tol, double& F_min);

bool ParamsConverged(const TVector& OldX, const TVector& X, int Lb, int Ub, double Tol);

// X holds the start on entry and the result on return; H_inv receives the
// inverse of the last matrix solved.
int Marquardt(const TObjective& F, const THessGrad& HessGrad, TVector& X, int Lb, int Ub,
              int MaxIter, double Tol, double& F_min, TMatrix& H_inv);

}  // namespace kalvo
