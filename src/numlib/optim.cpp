#include "optim.h"

#include <algorithm>
#include <cmath>

#include "fmath.h"

namespace kalvo {

namespace {

constexpr double Gold = 1.618033988749895;
constexpr double CGold = 0.38196601125010515;

// The line the running LineMinimize searches along; one minimisation runs at a time.
struct LineSearch {
    TVector X0, DeltaX, Xt;
    int Lb0 = 0, Ub0 = -1;
    const TObjective* F0 = nullptr;
} line;

}  // namespace

void BracketMinimum(const TObjective1D& f, double& A, double& B, double& C, double& Fa,
                    double& Fb, double& Fc) {
    if (A > B) FSwap(A, B);
    Fa = f(A);
    Fb = f(B);
    if (Fb > Fa) {
        FSwap(A, B);
        FSwap(Fa, Fb);
    }
    C = B + Gold * (B - A);
    Fc = f(C);
    // Without the finiteness test a function that keeps falling would expand
    // the bracket until C and f(C) overflow.
    while (Fc < Fb) {
        const double Cn = C + Gold * (C - B);
        if (!std::isfinite(Cn)) break;
        const double Fn = f(Cn);
        if (!std::isfinite(Fn)) break;
        A = B;
        B = C;
        C = Cn;
        Fa = Fb;
        Fb = Fc;
        Fc = Fn;
    }
    if (A > C) {
        FSwap(A, C);
        FSwap(Fa, Fc);
    }
}

int GoldenSectionSearch(const TObjective1D& f, double A, double B, int MaxIter, double Tol,
                        double& Xmin, double& Ymin) {
    Tol = FMax(Tol, std::sqrt(MachEp));
    double C, Fa, Fb, Fc;
    BracketMinimum(f, A, B, C, Fa, Fb, Fc);
    double x0 = A, x3 = C, x1, x2, f1, f2;
    if ((B - A) < (C - B)) {
        x1 = B;
        x2 = B + CGold * (C - B);
        f1 = Fb;
        f2 = f(x2);
    } else {
        x2 = B;
        x1 = B - CGold * (B - A);
        f2 = Fb;
        f1 = f(x1);
    }
    int Iter = 0;
    while (Iter <= MaxIter && std::fabs(x3 - x0) > Tol * (std::fabs(x1) + std::fabs(x2))) {
        if (f2 < f1) {
            x0 = x1;
            x1 = x2;
            x2 = x1 + CGold * (x3 - x1);
            f1 = f2;
            f2 = f(x2);
        } else {
            x3 = x2;
            x2 = x1;
            x1 = x2 - CGold * (x2 - x0);
            f2 = f1;
            f1 = f(x1);
        }
        ++Iter;
    }
    if (f1 < f2) {
        Xmin = x1;
        Ymin = f1;
    } else {
        Xmin = x2;
        Ymin = f2;
    }
    return Iter > MaxIter ? -3 : 0;
}

double LineObjective(double r) {
    for (int i = line.Lb0; i <= line.Ub0; ++i) line.Xt[i] = line.X0[i] + r * line.DeltaX[i];
    return (*line.F0)(line.Xt);
}

int LineMinimize(const TObjective& F, TVector& X, const TVector& DeltaX, int Lb, int Ub,
                 int MaxIter, double Tol, double& F_min) {
    AllocVector(line.X0, Ub);
    AllocVector(line.DeltaX, Ub);
    AllocVector(line.Xt, Ub);
    CopyVector(line.X0, X, Lb, Ub);
    CopyVector(line.DeltaX, DeltaX, Lb, Ub);
    line.Lb0 = Lb;
    line.Ub0 = Ub;
    line.F0 = &F;
    double R = 0.0;
    const int code = GoldenSectionSearch(LineObjective, 0.0, 1.0, MaxIter, Tol, R, F_min);
    line.F0 = nullptr;
    if (code == 0)
        for (int i = Lb; i <= Ub; ++i) X[i] += R * DeltaX[i];
    return code;
}

bool ParamsConverged(const TVector& OldX, const TVector& X, int Lb, int Ub, double Tol) {
    for (int i = Lb; i <= Ub; ++i)
        if (!(std::fabs(X[i] - OldX[i]) < FMax(Tol, std::fabs(OldX[i]) * Tol))) return false;
    return true;
}

int Marquardt(const TObjective& F, const THessGrad& HessGrad, TVector& X, int Lb, int Ub,
              int MaxIter, double Tol, double& F_min, TMatrix& H_inv) {
    if (Ub < Lb || Lb < 0 || !Covers(X, Ub) || !Covers(H_inv, Ub, Ub)) return -1;
    double lambda = 0.01;
    TVector OldX, G, DeltaX;
    TMatrix H, H1;
    AllocVector(OldX, Ub);
    AllocVector(G, Ub);
    AllocVector(DeltaX, Ub);
    AllocMatrix(H, Ub, Ub);
    AllocMatrix(H1, Ub, Ub);
    F_min = F(X);
    int Iter = 1;
    bool Conv = false, Done = false;
    int code = 0;
    do {
        CopyVector(OldX, X, Lb, Ub);
        HessGrad(F, X, Lb, Ub, G, H);
        CopyMatrix(H1, H, Lb, Lb, Ub, Ub);
        for (int i = Lb; i <= Ub; ++i) G[i] = -G[i];
        if (Conv) {
            code = GaussJordan(H1, G, Lb, Ub, H_inv, DeltaX);
            if (code == 0)
                for (int i = Lb; i <= Ub; ++i) X[i] = OldX[i] + DeltaX[i];
            Done = true;
        } else {
            // Starting at the current minimum keeps a first singular system from
            // publishing an unset value.
            double F1 = F_min;
            bool Improved = false;
            do {
                if (F_min == 0.0) {
                    // A perfect fit: nothing can fall below it, and a search along
                    // a vanishing direction would only run into its iteration limit.
                    CopyVector(X, OldX, Lb, Ub);
                    F1 = F_min;
                    code = 0;
                    Improved = true;
                    break;
                }
                for (int i = Lb; i <= Ub; ++i) H1[i][i] = (1.0 + lambda) * H[i][i];
                code = GaussJordan(H1, G, Lb, Ub, H_inv, DeltaX);
                Improved = false;
                if (code == 0) {
                    CopyVector(X, OldX, Lb, Ub);
                    code = LineMinimize(F, X, DeltaX, Lb, Ub, 100, 0.01, F1);
                    Improved = (F1 - F_min) < 1E-10 * F_min;
                    if (!Improved) {
                        lambda *= 10.0;
                        if (lambda > 1000.0) code = -2;
                    }
                }
            } while (!Improved && code == 0);
            Conv = ParamsConverged(OldX, X, Lb, Ub, Tol);
            lambda *= 0.1;
            F_min = F1;
        }
        ++Iter;
        if (Iter > MaxIter) code = -3;
    } while (!Done && code == 0);
    return code;
}

}  // namespace kalvo
