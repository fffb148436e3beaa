#pragma once
// Fit of y = a sin(bx + c) + d by the classic curve-fitting form of
// Levenberg-Marquardt: the normal matrix scaled to unit diagonal, the damping
// factor added to that diagonal, the scaled matrix inverted in place, the
// damping raised or lowered by factors of ten. Parameters can be held fixed.
// Arrays are indexed from 1 (points 1..npts, parameters 1..nterms <= 4).

#include <array>
#include <cstdint>
#include <functional>

#include "matrices.h"
#include "numlib_state.h"

namespace kalvo {

using TSinusParams = std::array<double, 5>;  // a, b, c, d in 1..4
// At most four parameters: the normal matrix and its inverse live in 4 x 4 storage, used 1..n.
using TMatrix4 = std::array<std::array<double, 5>, 5>;

using TFitFunction = std::function<double(const TSinusParams& P, double x)>;
// Fills D[1..4] with dy/dP at x; a parameter with Sigma < 0 is fixed.
using TFitDerivatives = std::function<void(const TSinusParams& P, const TSinusParams& Sigma,
                                           double x, TSinusParams& D)>;

// Results of the last sine fit, read by the curve-fitting window.
extern TVector SinusKurve;        // fitted values at the data points, 1..N used
extern double SinusChiQuadrat;    // reduced chi-square
extern double SinusKorrelation;   // square root of R^2

// Status of MarquardtFit.
enum : uint8_t {
    FitParamsConverged = 0,
    FitChiConverged = 1,
    FitIterationLimit = 2,
    FitStepFailed = 3,   // the damping grew past 1E36 without an accepted step
    FitUnusable = 4,     // a zero diagonal, a zero pivot or a value that is not finite
};

// Fits the sine model to X[1..N], Y[1..N] (N >= 5, sorted by x) and
// publishes the results in SinusFit, SinusKurve, SinusChiQuadrat and
// SinusKorrelation. Returns 0, or -1 when the data or the fit are unusable;
// then the fitted values published before stay as they were.
int SinusRegression(const TVector& X, const TVector& Y, int N);

double SinusModell(const TSinusParams& P, double x);
void SinusModellAbleitungen(const TSinusParams& P, const TSinusParams& Sigma, double x,
                            TSinusParams& D);

// Mode 0: all weights 1 (set here); 1: weights given; >= 2: weights given,
// but their sum counts each point as 1. Iter: limit in, count out. Sigma:
// negative marks a fixed parameter; on return a free one holds its standard
// error. Yfit and Chi belong to the returned P.
void MarquardtFit(const TVector& X, const TVector& Y, TVector& W, const TFitFunction& value,
                  const TFitDerivatives& derivs, int Mode, double TolChi, double TolP,
                  int& Iter, TVector& Yfit, double& Chi, TSinusParams& Sigma, TSinusParams& P,
                  int nterms, int npts, uint8_t& Status);

// One accepted step, or Fail (status FitStepFailed or FitUnusable) with P unchanged.
void MarquardtStep(const TVector& X, const TVector& Y, const TVector& W,
                   const TFitFunction& value, const TFitDerivatives& derivs, int Mode,
                   TVector& Yfit, double& Chi, TSinusParams& Sigma, TSinusParams& P, int nterms,
                   int npts, double& lambda, bool& Fail, uint8_t& FailStatus);

// In-place inversion with full pivoting of A[1..n][1..n]; Det = 0 on a zero pivot.
void GaussJordanInvert(TMatrix4& A, int n, double& Det);

double Bestimmtheitsmass(const TVector& Y, const TVector& Yfit, int N);

}  // namespace kalvo
