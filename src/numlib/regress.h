#pragma once
// Least-squares fits of parameter vectors to data points X[1..N], Y[1..N]:
// straight line, line through the origin, multilinear (normal equations or
// SVD), polynomial and nonlinear (through Marquardt), with the statistics the
// curve-fitting window reports. Result codes: 0 success, -1 singular or
// degenerate, -2 and -3 as from SVDecomp and Marquardt.

#include <cstdint>
#include <functional>

#include "matrices.h"

namespace kalvo {

inline constexpr int FirstPoint = 1;

// Solver of the multilinear fits: 0 normal equations with GaussJordan, 1 SVD.
extern uint8_t FitMethod;

struct RegressionsStatistik {
    double ResidualVariance = 0.0;  // sum (Y - Yfit)^2 / (n - p)
    double RSquared = 0.0;          // explained over total sum of squares
    // Written only when there are no more points than parameters; nothing reads them.
    double Reserve1 = 0.0;
    double Reserve2 = 0.0;
    double Reserve3 = 0.0;
};

using TModelFunction = std::function<double(const TVector& B, double x)>;
// Fills D[Lb..Ub] with dy/dB at x, given y = value(B, x).
using TModelDerivatives = std::function<void(const TModelFunction& value, double x, double y,
                                             const TVector& B, TVector& D)>;

// y = B[0] + B[1] x; V receives the inverse normal matrix.
int LineFit(const TVector& X, const TVector& Y, int N, TVector& B, TMatrix& V);
// y = B[0] x; V stays untouched.
int ProportionalFit(const TVector& X, const TVector& Y, int N, TVector& B, TMatrix& V);

// X[j][i] is regressor j (1..Nvar) at point i; B over 0..Nvar with a constant
// term, else 1..Nvar. W holds the weights when Weighted.
int MultiFitWeighted(bool Weighted, const TMatrix& X, const TVector& Y, int N, bool ConsTerm,
                     int Nvar, const TVector& W, TVector& B, TMatrix& V);
int MultiFitGaussJordan(bool Weighted, const TMatrix& X, const TVector& Y, int N, bool ConsTerm,
                        int Nvar, const TVector& W, TVector& B, TMatrix& V);
int MultiFitSVD(bool Weighted, const TMatrix& X, const TVector& Y, int N, bool ConsTerm,
                int Nvar, const TVector& W, TVector& B, TMatrix& V);
int MultiFit(const TMatrix& X, const TVector& Y, int N, bool ConsTerm, int Nvar, TVector& B,
             TMatrix& V);

// U[1][i] = X[i], U[j][i] = U[j-1][i] X[i] for j = 2..Deg (U is allocated here).
void PowerColumns(const TVector& X, int Deg, int N, TMatrix& U);
int PolyFitWeighted(bool Weighted, const TVector& X, const TVector& Y, int N, int Deg,
                    const TVector& W, TVector& B, TMatrix& V);
int PolyFit(const TVector& X, const TVector& Y, int N, int Deg, TVector& B, TMatrix& V);

// B holds the start values on entry and the result on return; a parameter
// outside Bmin..Bmax makes the sum of squares 1E30.
int NonlinearFitCore(const TModelFunction& value, const TModelDerivatives& derivs,
                     const TVector& X, const TVector& Y, int N, int Lb, int Ub, int MaxIter,
                     double Tol, TVector& B, const TVector& Bmin, const TVector& Bmax,
                     TMatrix& V);
int NonlinearFit(const TModelFunction& value, const TModelDerivatives& derivs, const TVector& X,
                 const TVector& Y, int N, int Lb, int Ub, int MaxIter, double Tol, TVector& B,
                 const TVector& Bmin, const TVector& Bmax, TMatrix& V);

// Gauss-Newton steps from B, each taken only when it lowers the sum of
// squares, at most MaxSteps: near the minimum they gain digits quadratically
// where the damped steps of Marquardt stop at its tolerance. V receives the
// inverse normal matrix of the last step taken.
int NonlinearPolish(const TModelFunction& value, const TModelDerivatives& derivs, const TVector& X,
                    const TVector& Y, int N, int Lb, int Ub, int MaxSteps, TVector& B, const TVector& Bmin,
                    const TVector& Bmax, TMatrix& V);

// Y count as constant (FitErrorFlag, RSquared 0) when their standard
// deviation about the mean is no more than this share of the largest |y|.
inline constexpr double kConstantYShare = 1e-12;

// Statistics for p = Ub - Lb + 1 parameters; V is not read.
void RegressionTest(const TVector& Y, const TVector& Ycalc, int N, int Lb, int Ub,
                    const TMatrix& V, RegressionsStatistik& Test);

double PolyValue(const TVector& C, int Deg, double x);
// (C[0] + ... + C[Deg1] x^Deg1) / (1 + C[Deg1+1] x + ... + C[Deg1+Deg2] x^Deg2)
double RationalValue(const TVector& C, int Deg1, int Deg2, double x);
double SVDTolerance(int n);

}  // namespace kalvo
