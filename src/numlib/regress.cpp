#include "regress.h"

#include <algorithm>
#include <cmath>

#include "fmath.h"
#include "optim.h"
#include "stat.h"

namespace kalvo {

uint8_t FitMethod = 1;

namespace {

bool EnoughPoints(const TVector& X, const TVector& Y, int N) {
    return N >= FirstPoint && Covers(X, N) && Covers(Y, N);
}

}  // namespace

int LineFit(const TVector& X, const TVector& Y, int N, TVector& B, TMatrix& V) {
    if (!EnoughPoints(X, Y, N) || !Covers(B, 1) || !Covers(V, 1, 1)) return -1;
    const int n = N - FirstPoint + 1;
    // Sums about the means: n Sxx - Sx^2 from raw sums cancels all but a few
    // digits when the x lie far from 0 against their spread (x around 1e8
    // gave a slope of 2.0005 for an exact line of slope 2).
    long double mx = 0, my = 0;
    double xmin = X[FirstPoint], xmax = X[FirstPoint];
    for (int i = FirstPoint; i <= N; ++i) {
        mx += X[i];
        my += Y[i];
        if (X[i] < xmin) xmin = X[i];
        if (X[i] > xmax) xmax = X[i];
    }
    mx /= n;
    my /= n;
    long double Qxx = 0, Qxy = 0;
    for (int i = FirstPoint; i <= N; ++i) {
        const long double dx = X[i] - mx;
        Qxx += dx * dx;
        Qxy += dx * (Y[i] - my);
    }
    // D = n Sxx - Sx^2 = n Qxx; all x equal leave no line.
    if (!(Qxx > 0) || !(xmin < xmax)) return -1;
    const long double v11 = 1 / Qxx, v01 = -mx / Qxx, v00 = 1.0L / n + mx * mx / Qxx;
    V[0][0] = static_cast<double>(v00);
    V[0][1] = V[1][0] = static_cast<double>(v01);
    V[1][1] = static_cast<double>(v11);
    const long double b1 = Qxy / Qxx;
    B[0] = static_cast<double>(my - b1 * mx);
    B[1] = static_cast<double>(b1);
    return 0;
}

int ProportionalFit(const TVector& X, const TVector& Y, int N, TVector& B, TMatrix& V) {
    if (!EnoughPoints(X, Y, N) || !Covers(B, 0)) return -1;
    long double Sxx = 0, Sxy = 0;
    for (int i = FirstPoint; i <= N; ++i) {
        Sxx += static_cast<long double>(X[i]) * X[i];
        Sxy += static_cast<long double>(X[i]) * Y[i];
    }
    if (!(Sxx > 0)) return -1;
    B[0] = static_cast<double>(Sxy / Sxx);
    return 0;
}

namespace {

bool MultiFitArgsOk(bool Weighted, const TMatrix& X, const TVector& Y, int N, bool ConsTerm,
                    int Nvar, const TVector& W, const TVector& B, const TMatrix& V) {
    const int Lb = ConsTerm ? 0 : 1;
    return N >= FirstPoint && Nvar >= Lb && Covers(X, Nvar, N) && Covers(Y, N) &&
           (!Weighted || Covers(W, N)) && Covers(B, Nvar) && Covers(V, Nvar, Nvar);
}

}  // namespace

int MultiFitGaussJordan(bool Weighted, const TMatrix& X, const TVector& Y, int N, bool ConsTerm,
                        int Nvar, const TVector& W, TVector& B, TMatrix& V) {
    if (!MultiFitArgsOk(Weighted, X, Y, N, ConsTerm, Nvar, W, B, V)) return -1;
    const int Lb = ConsTerm ? 0 : 1;
    TMatrix A;
    TVector R;
    AllocMatrix(A, Nvar, Nvar);
    AllocVector(R, Nvar);
    if (ConsTerm) {
        for (int i = FirstPoint; i <= N; ++i) {
            const double w = Weighted ? W[i] : 1.0;
            A[0][0] += w;
            for (int j = 1; j <= Nvar; ++j) A[0][j] += w * X[j][i];
            R[0] += w * Y[i];
        }
        for (int j = 1; j <= Nvar; ++j) A[j][0] = A[0][j];
    }
    for (int i = FirstPoint; i <= N; ++i)
        for (int j = 1; j <= Nvar; ++j) {
            const double w = Weighted ? W[i] * X[j][i] : X[j][i];
            for (int k = j; k <= Nvar; ++k) A[j][k] += w * X[k][i];
            R[j] += w * Y[i];
        }
    for (int j = 2; j <= Nvar; ++j)
        for (int k = 1; k < j; ++k) A[j][k] = A[k][j];
    return GaussJordan(A, R, Lb, Nvar, V, B);
}

int MultiFitSVD(bool Weighted, const TMatrix& X, const TVector& Y, int N, bool ConsTerm,
                int Nvar, const TVector& W, TVector& B, TMatrix& V) {
    if (!MultiFitArgsOk(Weighted, X, Y, N, ConsTerm, Nvar, W, B, V)) return -1;
    const int Lb = ConsTerm ? 0 : 1;
    const int n = N - FirstPoint + 1;
    const int Ub1 = Lb + n - 1;
    TMatrix U, Vs;
    TVector b, S, scale;
    AllocMatrix(U, Ub1, Nvar);
    AllocVector(b, Ub1);
    for (int r = Lb; r <= Ub1; ++r) {
        const int i = r - Lb + FirstPoint;
        const double s = Weighted ? std::sqrt(W[i]) : 1.0;
        b[r] = Y[i] * s;
        if (ConsTerm) U[r][0] = s;
        for (int j = 1; j <= Nvar; ++j) U[r][j] = X[j][i] * s;
    }
    // Columns of very different size (1, x and x^2 for x up to 10^6) make the
    // matrix look nearly singular and cost most of the digits; the decomposition
    // works on columns of unit length and the results are scaled back.
    AllocVector(scale, Nvar);
    for (int j = Lb; j <= Nvar; ++j) {
        double norm = 0.0;
        for (int r = Lb; r <= Ub1; ++r) norm = Pythag(norm, U[r][j]);
        scale[j] = norm > 0.0 && std::isfinite(norm) ? norm : 1.0;
        for (int r = Lb; r <= Ub1; ++r) U[r][j] /= scale[j];
    }
    AllocVector(S, Nvar);
    AllocMatrix(Vs, Nvar, Nvar);
    const int code = SVDecomp(U, Lb, Ub1, Nvar, S, Vs);
    if (code != 0) return code;
    SVZeroSmall(S, Lb, Nvar, SVDTolerance(n));
    SVSolve(U, S, Vs, b, Lb, Ub1, Nvar, B);
    for (int j = Lb; j <= Nvar; ++j) B[j] /= scale[j];
    for (int j = Lb; j <= Nvar; ++j)
        for (int k = Lb; k <= j; ++k) {
            double sum = 0.0;
            for (int m = Lb; m <= Nvar; ++m)
                if (S[m] > 0.0) sum += Vs[j][m] * Vs[k][m] / (S[m] * S[m]);
            V[j][k] = V[k][j] = sum / (scale[j] * scale[k]);
        }
    return 0;
}

int MultiFitWeighted(bool Weighted, const TMatrix& X, const TVector& Y, int N, bool ConsTerm,
                     int Nvar, const TVector& W, TVector& B, TMatrix& V) {
    if (FitMethod == 0) return MultiFitGaussJordan(Weighted, X, Y, N, ConsTerm, Nvar, W, B, V);
    return MultiFitSVD(Weighted, X, Y, N, ConsTerm, Nvar, W, B, V);
}

int MultiFit(const TMatrix& X, const TVector& Y, int N, bool ConsTerm, int Nvar, TVector& B,
             TMatrix& V) {
    return MultiFitWeighted(false, X, Y, N, ConsTerm, Nvar, TVector{}, B, V);
}

void PowerColumns(const TVector& X, int Deg, int N, TMatrix& U) {
    AllocMatrix(U, Deg, N);
    if (Deg < 1) return;
    for (int i = FirstPoint; i <= N; ++i) {
        U[1][i] = X[i];
        for (int j = 2; j <= Deg; ++j) U[j][i] = U[j - 1][i] * X[i];
    }
}

int PolyFitWeighted(bool Weighted, const TVector& X, const TVector& Y, int N, int Deg,
                    const TVector& W, TVector& B, TMatrix& V) {
    if (Deg < 0 || N < FirstPoint || !Covers(X, N)) return -1;
    TMatrix U;
    PowerColumns(X, Deg, N, U);
    return MultiFitWeighted(Weighted, U, Y, N, true, Deg, W, B, V);
}

int PolyFit(const TVector& X, const TVector& Y, int N, int Deg, TVector& B, TMatrix& V) {
    return PolyFitWeighted(false, X, Y, N, Deg, TVector{}, B, V);
}

namespace {

// What the sum-of-squares objective and its derivatives need; rebuilt by every nonlinear fit.
struct NonlinearContext {
    TVector X, Y, Yfit, Bmin, Bmax;
    int N = 0, Lb = 0, Ub = -1;
    TModelFunction value;
    TModelDerivatives derivs;
} nl;

void SetNonlinearContext(const TModelFunction& value, const TModelDerivatives& derivs,
                         const TVector& X, const TVector& Y, int N, int Lb, int Ub,
                         const TVector& Bmin, const TVector& Bmax) {
    AllocVector(nl.X, N);
    AllocVector(nl.Y, N);
    AllocVector(nl.Yfit, N);
    CopyVector(nl.X, X, FirstPoint, N);
    CopyVector(nl.Y, Y, FirstPoint, N);
    AllocVector(nl.Bmin, Ub);
    AllocVector(nl.Bmax, Ub);
    CopyVector(nl.Bmin, Bmin, Lb, Ub);
    CopyVector(nl.Bmax, Bmax, Lb, Ub);
    nl.N = N;
    nl.Lb = Lb;
    nl.Ub = Ub;
    nl.value = value;
    nl.derivs = derivs;
}

bool ParamsOutOfBounds(const TVector& B) {
    for (int j = nl.Lb; j <= nl.Ub; ++j)
        if (B[j] < nl.Bmin[j] || B[j] > nl.Bmax[j]) return true;
    return false;
}

double SumOfSquaresObjective(const TVector& B) {
    constexpr double Worst = 1E30;
    if (ParamsOutOfBounds(B)) return Worst;
    // A trial point where the model meets a math error (an exponential that
    // overflows far out on a search line) is rejected like one out of bounds;
    // the error belongs to that trial, not to the fit.
    const int32_t sticky = StickyMathErr;
    StickyMathErr = 0;
    double S = 0.0;
    for (int i = FirstPoint; i <= nl.N && S <= Worst && StickyMathErr == 0; ++i) {
        nl.Yfit[i] = nl.value(B, nl.X[i]);
        const double r = nl.Y[i] - nl.Yfit[i];
        S += r * r;
    }
    const bool failed = StickyMathErr != 0;
    StickyMathErr = sticky;
    // A value that is not a number counts as the worst point, like one out of bounds.
    return !failed && S <= Worst ? S : Worst;
}

void SumOfSquaresHessGrad(const TObjective&, const TVector& B, int Lb, int Ub, TVector& G,
                          TMatrix& H) {
    TVector D;
    AllocVector(D, Ub);
    for (int j = Lb; j <= Ub; ++j) {
        G[j] = 0.0;
        for (int k = Lb; k <= Ub; ++k) H[j][k] = 0.0;
    }
    for (int i = FirstPoint; i <= nl.N; ++i) {
        // The fitted values the objective left behind may belong to a rejected
        // trial point; the derivatives need those at B itself.
        const double yfit = nl.value(B, nl.X[i]);
        const double r = nl.Y[i] - yfit;
        nl.derivs(nl.value, nl.X[i], yfit, B, D);
        for (int j = Lb; j <= Ub; ++j) {
            G[j] -= D[j] * r;
            for (int k = j; k <= Ub; ++k) H[j][k] += D[j] * D[k];
        }
    }
    for (int j = Lb + 1; j <= Ub; ++j)
        for (int k = Lb; k < j; ++k) H[j][k] = H[k][j];
}

}  // namespace

int NonlinearFitCore(const TModelFunction& value, const TModelDerivatives& derivs,
                     const TVector& X, const TVector& Y, int N, int Lb, int Ub, int MaxIter,
                     double Tol, TVector& B, const TVector& Bmin, const TVector& Bmax,
                     TMatrix& V) {
    if (!EnoughPoints(X, Y, N) || Ub < Lb || Lb < 0 || !Covers(B, Ub) || !Covers(Bmin, Ub) ||
        !Covers(Bmax, Ub) || !Covers(V, Ub, Ub))
        return -1;
    SetNonlinearContext(value, derivs, X, Y, N, Lb, Ub, Bmin, Bmax);
    double F_min = 0.0;
    return Marquardt(SumOfSquaresObjective, SumOfSquaresHessGrad, B, Lb, Ub, MaxIter, Tol, F_min,
                     V);
}

int NonlinearPolish(const TModelFunction& value, const TModelDerivatives& derivs, const TVector& X,
                    const TVector& Y, int N, int Lb, int Ub, int MaxSteps, TVector& B, const TVector& Bmin,
                    const TVector& Bmax, TMatrix& V) {
    if (!EnoughPoints(X, Y, N) || Ub < Lb || Lb < 0 || !Covers(B, Ub) || !Covers(Bmin, Ub) ||
        !Covers(Bmax, Ub) || !Covers(V, Ub, Ub))
        return -1;
    SetNonlinearContext(value, derivs, X, Y, N, Lb, Ub, Bmin, Bmax);
    TVector G, Delta, Trial;
    TMatrix H, Hinv;
    AllocVector(G, Ub);
    AllocVector(Delta, Ub);
    AllocMatrix(H, Ub, Ub);
    AllocMatrix(Hinv, Ub, Ub);
    double F = SumOfSquaresObjective(B);
    for (int step = 0; step < MaxSteps && F > 0.0; ++step) {
        SumOfSquaresHessGrad(SumOfSquaresObjective, B, Lb, Ub, G, H);
        for (int j = Lb; j <= Ub; ++j) G[j] = -G[j];
        if (GaussJordan(H, G, Lb, Ub, Hinv, Delta) != 0) break;
        Trial = B;
        bool moved = false;
        for (int j = Lb; j <= Ub; ++j) {
            Trial[j] = B[j] + Delta[j];
            moved = moved || Trial[j] != B[j];
        }
        const double Ft = SumOfSquaresObjective(Trial);
        if (!moved || !(Ft < F)) break;
        B = Trial;
        F = Ft;
        for (int j = Lb; j <= Ub; ++j)
            for (int k = Lb; k <= Ub; ++k) V[j][k] = Hinv[j][k];
    }
    return 0;
}

int NonlinearFit(const TModelFunction& value, const TModelDerivatives& derivs, const TVector& X,
                 const TVector& Y, int N, int Lb, int Ub, int MaxIter, double Tol, TVector& B,
                 const TVector& Bmin, const TVector& Bmax, TMatrix& V) {
    return NonlinearFitCore(value, derivs, X, Y, N, Lb, Ub, MaxIter, Tol, B, Bmin, Bmax, V);
}

void RegressionTest(const TVector& Y, const TVector& Ycalc, int N, int Lb, int Ub,
                    const TMatrix& V, RegressionsStatistik& Test) {
    const int n = N - FirstPoint + 1;
    const int p = Ub - Lb + 1;
    if (p >= n) {
        Test = {0.0, 1.0, 0.0, 0.0, 1.0};
        return;
    }
    const double ybar = VectorMean(Y, FirstPoint, N);
    const double SST = SumSquaredDeviations(Y, FirstPoint, N, ybar);
    const double SSR = SumSquaredDeviations(Ycalc, FirstPoint, N, ybar);
    const double SSE = SumSquaredDifferences(Y, Ycalc, FirstPoint, N);
    Test.ResidualVariance = SSE / (n - p);
    // All y equal up to rounding leave nothing to explain. Judged against the
    // size of the y: a fixed 1E-10 refused every table of small values (y
    // around 1e-6) and any whose y differ only in the sixth digit.
    double ymax = 0.0;
    for (int i = FirstPoint; i <= N; ++i) ymax = std::max(ymax, std::fabs(Y[i]));
    const double spread = kConstantYShare * ymax;
    if (!(SST > n * spread * spread)) {
        FitErrorFlag = true;
        Test.RSquared = 0.0;
    } else {
        Test.RSquared = SSR / SST;
    }
}

double PolyValue(const TVector& C, int Deg, double x) {
    if (Deg < 0) return 0.0;
    double p = C[Deg];
    for (int k = Deg - 1; k >= 0; --k) p = p * x + C[k];
    return p;
}

double RationalValue(const TVector& C, int Deg1, int Deg2, double x) {
    double Q = 0.0;
    for (int k = Deg1 + Deg2; k >= Deg1 + 1; --k) Q = (Q + C[k]) * x;
    if (Q == -1.0) {
        Q = -1.00001;
        FitErrorFlag = true;
    }
    return PolyValue(C, Deg1, x) / (1.0 + Q);
}

double SVDTolerance(int n) { return n * MachEp; }

}  // namespace kalvo
