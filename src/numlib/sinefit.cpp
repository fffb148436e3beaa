#include "sinefit.h"

#include <cmath>

#include "fmath.h"
#include "stat.h"

namespace kalvo {

TVector SinusKurve;
double SinusChiQuadrat = 0.0;
double SinusKorrelation = 0.0;

double SinusModell(const TSinusParams& P, double x) { return P[1] * std::sin(P[2] * x + P[3]) + P[4]; }

void SinusModellAbleitungen(const TSinusParams& P, const TSinusParams& Sigma, double x,
                            TSinusParams& D) {
    TSinusParams Q = P;
    for (int i = 1; i <= 4; ++i)
        if (Sigma[i] < 0.0) Q[i] = 1.0;
    const double arg = Q[2] * x + Q[3];
    const double c = std::cos(arg);
    D[1] = std::sin(arg);
    D[2] = c * Q[1] * x;
    D[3] = c * Q[1];
    D[4] = 1.0;
}

void GaussJordanInvert(TMatrix4& A, int n, double& Det) {
    std::array<int, 5> ik{}, jk{};
    Det = 1.0;
    for (int k = 1; k <= n; ++k) {
        double amax = 0.0;
        for (int i = k; i <= n; ++i)
            for (int j = k; j <= n; ++j)
                if (std::fabs(amax) <= std::fabs(A[i][j])) {
                    amax = A[i][j];
                    ik[k] = i;
                    jk[k] = j;
                }
        if (amax == 0.0) {
            Det = 0.0;
            return;
        }
        if (const int i = ik[k]; i > k)
            for (int j = 1; j <= n; ++j) {
                const double save = A[k][j];
                A[k][j] = A[i][j];
                A[i][j] = -save;
            }
        if (const int j = jk[k]; j > k)
            for (int i = 1; i <= n; ++i) {
                const double save = A[i][k];
                A[i][k] = A[i][j];
                A[i][j] = -save;
            }
        for (int i = 1; i <= n; ++i)
            if (i != k) A[i][k] = -A[i][k] / amax;
        for (int i = 1; i <= n; ++i)
            for (int j = 1; j <= n; ++j)
                if (i != k && j != k) A[i][j] += A[i][k] * A[k][j];
        for (int j = 1; j <= n; ++j)
            if (j != k) A[k][j] /= amax;
        A[k][k] = 1.0 / amax;
        Det *= amax;
    }
    for (int k = n; k >= 1; --k) {
        if (const int j = ik[k]; j > k)
            for (int i = 1; i <= n; ++i) {
                const double save = A[i][k];
                A[i][k] = -A[i][j];
                A[i][j] = save;
            }
        if (const int i = jk[k]; i > k)
            for (int j = 1; j <= n; ++j) {
                const double save = A[k][j];
                A[k][j] = -A[i][j];
                A[i][j] = save;
            }
    }
}

namespace {

double ChiSquare(const TVector& Y, const TVector& W, const TVector& Yfit, int npts, int nfree,
                 double SumW) {
    double s = 0.0;
    for (int i = 1; i <= npts; ++i) {
        const double r = Y[i] - Yfit[i];
        s += W[i] * r * r;
    }
    return (npts / SumW) * s / (npts - nfree);
}

bool FitArraysOk(const TVector& X, const TVector& Y, const TVector& W, const TVector& Yfit,
                 int nterms, int npts) {
    return nterms >= 1 && nterms <= 4 && npts >= 1 && Covers(X, npts) && Covers(Y, npts) &&
           Covers(W, npts) && Covers(Yfit, npts);
}

}  // namespace

void MarquardtStep(const TVector& X, const TVector& Y, const TVector& W,
                   const TFitFunction& value, const TFitDerivatives& derivs, int Mode,
                   TVector& Yfit, double& Chi, TSinusParams& Sigma, TSinusParams& P, int nterms,
                   int npts, double& lambda, bool& Fail, uint8_t& FailStatus) {
    Fail = true;
    FailStatus = FitUnusable;
    if (!FitArraysOk(X, Y, W, Yfit, nterms, npts)) return;
    std::array<int, 5> idx{};  // the free parameters, numbered 1..nfree
    int nfree = 0;
    for (int i = 1; i <= nterms; ++i)
        if (Sigma[i] >= 0.0) idx[++nfree] = i;
    if (nfree == 0 || npts <= nfree) return;

    TMatrix4 Alpha{}, Array{};
    std::array<double, 5> Beta{};
    TSinusParams D{};
    for (int i = 1; i <= npts; ++i) {
        Yfit[i] = value(P, X[i]);
        derivs(P, Sigma, X[i], D);
        const double r = Y[i] - Yfit[i];
        for (int j = 1; j <= nfree; ++j) {
            Beta[j] += r * W[i] * D[idx[j]];
            for (int k = 1; k <= j; ++k) Alpha[j][k] += W[i] * D[idx[j]] * D[idx[k]];
        }
    }
    for (int j = 1; j <= nfree; ++j)
        for (int k = 1; k < j; ++k) Alpha[k][j] = Alpha[j][k];
    double SumW = npts;
    if (Mode < 2) {
        SumW = 0.0;
        for (int i = 1; i <= npts; ++i) SumW += W[i];
    }
    const double Chi1 = ChiSquare(Y, W, Yfit, npts, nfree, SumW);
    Chi = Chi1;
    // A zero diagonal (a = 0 makes b and c drop out) would scale by 1/0, and a
    // value that is not finite would spread NaN into the published parameters.
    if (!std::isfinite(Chi1) || !(SumW > 0.0)) return;
    for (int j = 1; j <= nfree; ++j)
        if (!(Alpha[j][j] > 0.0) || !std::isfinite(Alpha[j][j]) || !std::isfinite(Beta[j])) return;

    TSinusParams B = P;
    for (;;) {
        for (int j = 1; j <= nfree; ++j) {
            for (int k = 1; k <= nfree; ++k)
                Array[j][k] = Alpha[j][k] / std::sqrt(Alpha[j][j] * Alpha[k][k]);
            Array[j][j] = 1.0 + lambda;
        }
        double Det = 0.0;
        GaussJordanInvert(Array, nfree, Det);
        if (Det == 0.0) break;
        B = P;
        for (int j = 1; j <= nfree; ++j) {
            double step = 0.0;
            for (int k = 1; k <= nfree; ++k)
                step += Beta[k] * Array[j][k] / std::sqrt(Alpha[j][j] * Alpha[k][k]);
            B[idx[j]] = P[idx[j]] + step;
        }
        for (int i = 1; i <= npts; ++i) Yfit[i] = value(B, X[i]);
        Chi = ChiSquare(Y, W, Yfit, npts, nfree, SumW);
        if (Chi <= Chi1) {
            for (int j = 1; j <= nfree; ++j) {
                const int p = idx[j];
                P[p] = B[p];
                const double ratio = Array[j][j] / Alpha[j][j];
                Sigma[p] = Mode < 2 ? std::sqrt(std::fabs((SumW / npts) * Chi * ratio))
                                    : std::sqrt(std::fabs(ratio));
            }
            lambda /= 10.0;
            if (lambda < 1E-29) lambda = 1E-29;
            Fail = false;
            return;
        }
        lambda *= 10.0;
        if (lambda > 1E36) {
            FailStatus = FitStepFailed;
            break;
        }
    }
    // No accepted step: the curve and chi-square belong to P, not to the last rejected trial.
    for (int i = 1; i <= npts; ++i) Yfit[i] = value(P, X[i]);
    Chi = Chi1;
}

void MarquardtFit(const TVector& X, const TVector& Y, TVector& W, const TFitFunction& value,
                  const TFitDerivatives& derivs, int Mode, double TolChi, double TolP,
                  int& Iter, TVector& Yfit, double& Chi, TSinusParams& Sigma, TSinusParams& P,
                  int nterms, int npts, uint8_t& Status) {
    TolP = std::fabs(TolP);
    if (!FitArraysOk(X, Y, W, Yfit, nterms, npts)) {
        Iter = 0;
        Status = FitUnusable;
        return;
    }
    if (Mode == 0)
        for (int i = 1; i <= npts; ++i) W[i] = 1.0;
    double lambda = 0.001;
    bool Fail = false;
    uint8_t failStatus = FitStepFailed;
    MarquardtStep(X, Y, W, value, derivs, Mode, Yfit, Chi, Sigma, P, nterms, npts, lambda, Fail,
                  failStatus);
    const int MaxIter = Iter;
    Iter = 1;
    TSinusParams OldP = P;
    double OldChi = Chi;
    bool ParConv = false, ChiConv = false;
    while (!ParConv && !ChiConv && !Fail && Iter <= MaxIter) {
        MarquardtStep(X, Y, W, value, derivs, Mode, Yfit, Chi, Sigma, P, nterms, npts, lambda,
                      Fail, failStatus);
        ++Iter;
        if (!Fail) {
            ParConv = TolP > 0.0;
            for (int i = 1; i <= nterms && ParConv; ++i)
                ParConv = std::fabs(P[i] - OldP[i]) <= std::fabs(TolP * P[i]);
            ChiConv = Chi < OldChi && TolChi != 0.0 && std::fabs(OldChi - Chi) <= std::fabs(TolChi * Chi);
            OldP = P;
            OldChi = Chi;
        }
    }
    if (ParConv) Status = FitParamsConverged;
    else if (ChiConv) Status = FitChiConverged;
    else if (Fail) Status = failStatus;
    else Status = FitIterationLimit;
}

double Bestimmtheitsmass(const TVector& Y, const TVector& Yfit, int N) {
    const double ybar = VectorMean(Y, 1, N);
    const double SST = SumSquaredDeviations(Y, 1, N, ybar);
    const double SSR = SumSquaredDeviations(Yfit, 1, N, ybar);
    return std::fabs(SST) <= 1E-10 ? 0.0 : SSR / SST;
}

int SinusRegression(const TVector& X, const TVector& Y, int N) {
    constexpr int MinPoints = 5;  // four free parameters and one degree of freedom
    constexpr int MaxIterCap = 1000;
    if (N < MinPoints || !Covers(X, N) || !Covers(Y, N)) return -1;
    for (int i = 1; i <= N; ++i)
        if (!std::isfinite(X[i]) || !std::isfinite(Y[i])) return -1;
    // One period over the data range needs a range.
    if (X[N] == X[1]) return -1;

    TVector X1(X.begin(), X.begin() + N + 1), Y1(Y.begin(), Y.begin() + N + 1), Yfit, W;
    AllocVector(Yfit, N);
    AllocVector(W, N);
    // Seeded with the first point, so data beyond +-10000 get their true extremes.
    double ymax = Y[1], ymin = Y[1];
    int imax = 1;
    for (int i = 2; i <= N; ++i) {
        if (Y[i] > ymax) {
            ymax = Y[i];
            imax = i;
        }
        if (Y[i] < ymin) ymin = Y[i];
    }
    const double b = 2.0 * Pi / (X[N] - X[1]);
    const double d = (ymax + ymin) / 2.0;
    const double a = (ymax - ymin) / 2.0;
    // The start curve has its peak at the x of the largest y.
    const double c = Pi / 2.0 - b * X[imax];
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c) || !std::isfinite(d)) return -1;

    SinusFitState& st = SinusFit;
    st.SinusDefaultStart = {a, b, c, d};
    st.SinusDefaultIterationen = 10;
    int MaxIter = 10;
    TSinusParams P{0.0, a, b, c, d};
    if (!st.SinusAutomatisch) {
        P = {0.0, st.SinusStartA, st.SinusStartB, st.SinusStartC, st.SinusStartD};
        MaxIter = st.SinusIterationen < MaxIterCap ? st.SinusIterationen : MaxIterCap;
    }
    TSinusParams Sigma{};
    double Chi = 0.0;
    uint8_t Status = FitIterationLimit;
    MarquardtFit(X1, Y1, W, SinusModell, SinusModellAbleitungen, 0, 1E-7, 1E-10, MaxIter, Yfit,
                 Chi, Sigma, P, 4, N, Status);

    bool usable = Status != FitUnusable && std::isfinite(Chi);
    for (int i = 1; i <= 4; ++i) usable = usable && std::isfinite(P[i]);
    for (int i = 1; i <= N; ++i) usable = usable && std::isfinite(Yfit[i]);
    if (!usable) return -1;

    for (int i = 1; i <= 4; ++i) st.SinusParameter[i - 1] = P[i];
    SinusKurve = Yfit;
    SinusChiQuadrat = Chi;
    SinusKorrelation = std::sqrt(Bestimmtheitsmass(Y, SinusKurve, N));
    return 0;
}

}  // namespace kalvo
