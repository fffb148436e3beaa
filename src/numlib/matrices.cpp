#include "matrices.h"

#include <cmath>
#include <utility>

#include "fmath.h"

namespace kalvo {

void AllocVector(TVector& V, int Ub) {
    if (Ub < 0) V.clear();
    else V.assign(static_cast<size_t>(Ub) + 1, 0.0);
}

void AllocIntVector(TIntVector& V, int Ub) {
    if (Ub < 0) V.clear();
    else V.assign(static_cast<size_t>(Ub) + 1, 0);
}

void AllocMatrix(TMatrix& A, int Ub1, int Ub2) {
    if (Ub1 < 0 || Ub2 < 0) A.clear();
    else A.assign(static_cast<size_t>(Ub1) + 1, TVector(static_cast<size_t>(Ub2) + 1, 0.0));
}

bool Covers(const TVector& V, int Ub) { return Ub < 0 || static_cast<size_t>(Ub) < V.size(); }

bool Covers(const TMatrix& A, int Ub1, int Ub2) {
    if (Ub1 < 0) return true;
    if (static_cast<size_t>(Ub1) >= A.size()) return false;
    for (int i = 0; i <= Ub1; ++i)
        if (!Covers(A[i], Ub2)) return false;
    return true;
}

void SwapRows(int i, int k, TMatrix& A, int Lb, int Ub) {
    for (int j = Lb; j <= Ub; ++j) std::swap(A[i][j], A[k][j]);
}

void SwapCols(int j, int k, TMatrix& A, int Lb, int Ub) {
    for (int i = Lb; i <= Ub; ++i) std::swap(A[i][j], A[i][k]);
}

void CopyVector(TVector& Dest, const TVector& Source, int Lb, int Ub) {
    for (int i = Lb; i <= Ub; ++i) Dest[i] = Source[i];
}

void CopyMatrix(TMatrix& Dest, const TMatrix& Source, int Lb1, int Lb2, int Ub1, int Ub2) {
    for (int i = Lb1; i <= Ub1; ++i)
        for (int j = Lb2; j <= Ub2; ++j) Dest[i][j] = Source[i][j];
}

double VectorMax(const TVector& X, int Lb, int Ub) {
    double m = X[Lb];
    for (int i = Lb + 1; i <= Ub; ++i)
        if (X[i] > m) m = X[i];
    return m;
}

int GaussJordan(const TMatrix& A, const TVector& B, int Lb, int Ub, TMatrix& A_inv, TVector& X) {
    if (Ub < Lb || Lb < 0 || !Covers(A, Ub, Ub) || !Covers(B, Ub) || !Covers(A_inv, Ub, Ub) ||
        !Covers(X, Ub))
        return -1;
    CopyMatrix(A_inv, A, Lb, Lb, Ub, Ub);
    CopyVector(X, B, Lb, Ub);
    TIntVector PRow, PCol;
    AllocIntVector(PRow, Ub);
    AllocIntVector(PCol, Ub);

    for (int k = Lb; k <= Ub; ++k) {
        double pvt = A_inv[k][k];
        PRow[k] = k;
        PCol[k] = k;
        for (int i = k; i <= Ub; ++i)
            for (int j = k; j <= Ub; ++j)
                if (std::fabs(A_inv[i][j]) > std::fabs(pvt)) {
                    pvt = A_inv[i][j];
                    PRow[k] = i;
                    PCol[k] = j;
                }
        // A pivot that is not finite would spread NaN through a result reported as success.
        if (!(std::fabs(pvt) >= MachEp) || !std::isfinite(pvt)) return -1;

        if (PRow[k] != k) {
            SwapRows(PRow[k], k, A_inv, Lb, Ub);
            std::swap(X[PRow[k]], X[k]);
        }
        if (PCol[k] != k) SwapCols(PCol[k], k, A_inv, Lb, Ub);

        TVector& rowk = A_inv[k];
        rowk[k] = 1.0;
        for (int j = Lb; j <= Ub; ++j) rowk[j] /= pvt;
        X[k] /= pvt;

        for (int i = Lb; i <= Ub; ++i) {
            if (i == k) continue;
            TVector& rowi = A_inv[i];
            const double t = rowi[k];
            if (t == 0.0) continue;
            rowi[k] = 0.0;
            for (int j = Lb; j <= Ub; ++j) rowi[j] -= t * rowk[j];
            X[i] -= t * X[k];
        }
    }

    for (int i = Ub; i >= Lb; --i)
        if (PCol[i] != i) {
            SwapRows(PCol[i], i, A_inv, Lb, Ub);
            std::swap(X[PCol[i]], X[i]);
        }
    for (int j = Ub; j >= Lb; --j)
        if (PRow[j] != j) SwapCols(PRow[j], j, A_inv, Lb, Ub);
    return 0;
}

namespace {

double WithSignOf(double a, double b) { return SignOf(b) * std::fabs(a); }

// Zero when rounding makes x disappear beside the norm of the matrix.
bool Negligible(double x, double anorm) { return std::fabs(x) + anorm == anorm; }

}  // namespace

int SVDecomp(TMatrix& A, int Lb, int Ub1, int Ub2, TVector& S, TMatrix& V) {
    // With fewer rows than columns the reduction would read rows that do not exist.
    if (Ub1 < Ub2 || Ub2 < Lb || Lb < 0) return -1;
    if (!Covers(A, Ub1, Ub2) || !Covers(S, Ub2) || !Covers(V, Ub2, Ub2)) return -1;
    const int m = Ub1, n = Ub2;
    TVector rv1;
    AllocVector(rv1, n);
    double g = 0.0, scale = 0.0, anorm = 0.0, s = 0.0, f = 0.0, h = 0.0;
    int l = Lb;

    // Householder reduction to upper bidiagonal form.
    for (int i = Lb; i <= n; ++i) {
        l = i + 1;
        rv1[i] = scale * g;
        g = s = scale = 0.0;
        for (int k = i; k <= m; ++k) scale += std::fabs(A[k][i]);
        if (scale != 0.0) {
            for (int k = i; k <= m; ++k) {
                A[k][i] /= scale;
                s += A[k][i] * A[k][i];
            }
            f = A[i][i];
            g = -WithSignOf(std::sqrt(s), f);
            h = f * g - s;
            A[i][i] = f - g;
            for (int j = l; j <= n; ++j) {
                s = 0.0;
                for (int k = i; k <= m; ++k) s += A[k][i] * A[k][j];
                f = s / h;
                for (int k = i; k <= m; ++k) A[k][j] += f * A[k][i];
            }
            for (int k = i; k <= m; ++k) A[k][i] *= scale;
        }
        S[i] = scale * g;
        g = s = scale = 0.0;
        if (i != n) {
            for (int k = l; k <= n; ++k) scale += std::fabs(A[i][k]);
            if (scale != 0.0) {
                for (int k = l; k <= n; ++k) {
                    A[i][k] /= scale;
                    s += A[i][k] * A[i][k];
                }
                f = A[i][l];
                g = -WithSignOf(std::sqrt(s), f);
                h = f * g - s;
                A[i][l] = f - g;
                for (int k = l; k <= n; ++k) rv1[k] = A[i][k] / h;
                for (int j = l; j <= m; ++j) {
                    s = 0.0;
                    for (int k = l; k <= n; ++k) s += A[j][k] * A[i][k];
                    for (int k = l; k <= n; ++k) A[j][k] += s * rv1[k];
                }
                for (int k = l; k <= n; ++k) A[i][k] *= scale;
            }
        }
        anorm = FMax(anorm, std::fabs(S[i]) + std::fabs(rv1[i]));
    }

    // Accumulation of the right-hand transformations.
    for (int i = n; i >= Lb; --i) {
        if (i < n) {
            if (g != 0.0) {
                for (int j = l; j <= n; ++j) V[j][i] = (A[i][j] / A[i][l]) / g;
                for (int j = l; j <= n; ++j) {
                    s = 0.0;
                    for (int k = l; k <= n; ++k) s += A[i][k] * V[k][j];
                    for (int k = l; k <= n; ++k) V[k][j] += s * V[k][i];
                }
            }
            for (int j = l; j <= n; ++j) V[i][j] = V[j][i] = 0.0;
        }
        V[i][i] = 1.0;
        g = rv1[i];
        l = i;
    }

    // Accumulation of the left-hand transformations.
    for (int i = n; i >= Lb; --i) {
        l = i + 1;
        g = S[i];
        for (int j = l; j <= n; ++j) A[i][j] = 0.0;
        if (g != 0.0) {
            g = 1.0 / g;
            for (int j = l; j <= n; ++j) {
                s = 0.0;
                for (int k = l; k <= m; ++k) s += A[k][i] * A[k][j];
                f = (s / A[i][i]) * g;
                for (int k = i; k <= m; ++k) A[k][j] += f * A[k][i];
            }
            for (int j = i; j <= m; ++j) A[j][i] *= g;
        } else {
            for (int j = i; j <= m; ++j) A[j][i] = 0.0;
        }
        A[i][i] += 1.0;
    }

    // Diagonalisation of the bidiagonal form by implicitly shifted QR sweeps.
    for (int k = n; k >= Lb; --k) {
        for (int its = 1;; ++its) {
            bool cancel = true;
            int nm = Lb;
            for (l = k; l >= Lb; --l) {
                nm = l - 1;
                // rv1[Lb] is always 0; testing l == Lb keeps a NaN norm from running past it.
                if (l == Lb || Negligible(rv1[l], anorm)) {
                    cancel = false;
                    break;
                }
                if (Negligible(S[nm], anorm)) break;
            }
            if (cancel) {
                double c = 0.0;
                s = 1.0;
                for (int i = l; i <= k; ++i) {
                    f = s * rv1[i];
                    rv1[i] = c * rv1[i];
                    if (Negligible(f, anorm)) break;
                    g = S[i];
                    h = Pythag(f, g);
                    S[i] = h;
                    h = 1.0 / h;
                    c = g * h;
                    s = -f * h;
                    for (int j = Lb; j <= m; ++j) {
                        const double y = A[j][nm];
                        const double z = A[j][i];
                        A[j][nm] = y * c + z * s;
                        A[j][i] = z * c - y * s;
                    }
                }
            }
            double z = S[k];
            if (l == k) {
                if (z < 0.0) {
                    S[k] = -z;
                    for (int j = Lb; j <= n; ++j) V[j][k] = -V[j][k];
                }
                break;
            }
            if (its == 30) return -2;
            double x = S[l];
            nm = k - 1;
            double y = S[nm];
            g = rv1[nm];
            h = rv1[k];
            f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
            g = Pythag(f, 1.0);
            f = ((x - z) * (x + z) + h * ((y / (f + WithSignOf(g, f))) - h)) / x;
            double c = 1.0;
            s = 1.0;
            for (int j = l; j <= nm; ++j) {
                const int i = j + 1;
                g = rv1[i];
                y = S[i];
                h = s * g;
                g = c * g;
                z = Pythag(f, h);
                rv1[j] = z;
                c = f / z;
                s = h / z;
                f = x * c + g * s;
                g = g * c - x * s;
                h = y * s;
                y *= c;
                for (int jj = Lb; jj <= n; ++jj) {
                    x = V[jj][j];
                    z = V[jj][i];
                    V[jj][j] = x * c + z * s;
                    V[jj][i] = z * c - x * s;
                }
                z = Pythag(f, h);
                S[j] = z;
                if (z != 0.0) {
                    z = 1.0 / z;
                    c = f * z;
                    s = h * z;
                }
                f = c * g + s * y;
                x = c * y - s * g;
                for (int jj = Lb; jj <= m; ++jj) {
                    y = A[jj][j];
                    z = A[jj][i];
                    A[jj][j] = y * c + z * s;
                    A[jj][i] = z * c - y * s;
                }
            }
            rv1[l] = 0.0;
            rv1[k] = f;
            S[k] = x;
        }
    }
    return 0;
}

void SVZeroSmall(TVector& S, int Lb, int Ub, double Tol) {
    const double threshold = VectorMax(S, Lb, Ub) * Tol;
    for (int i = Lb; i <= Ub; ++i)
        if (S[i] < threshold) S[i] = 0.0;
}

void SVSolve(const TMatrix& U, const TVector& S, const TMatrix& V, const TVector& B,
             int Lb, int Ub1, int Ub2, TVector& X) {
    TVector t;
    AllocVector(t, Ub2);
    for (int j = Lb; j <= Ub2; ++j) {
        if (S[j] > 0.0) {
            double s = 0.0;
            for (int i = Lb; i <= Ub1; ++i) s += U[i][j] * B[i];
            t[j] = s / S[j];
        }
    }
    for (int j = Lb; j <= Ub2; ++j) {
        double s = 0.0;
        for (int k = Lb; k <= Ub2; ++k) s += V[j][k] * t[k];
        X[j] = s;
    }
}

}  // namespace kalvo
