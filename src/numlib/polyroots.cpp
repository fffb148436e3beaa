#include "polyroots.h"

#include <cmath>

#include "fmath.h"
#include "stat.h"

namespace kalvo {

namespace {

constexpr double TwoPiThirds = 2.0943951023931957;

// A vanishing leading coefficient would divide by zero; the polynomial then has a lower degree.
int EffectiveDegree(const TVector& C, int Deg) {
    while (Deg >= 1 && C[Deg] == 0.0) --Deg;
    return Deg;
}

// x, computed from terms of magnitude up to scale, is zero but for rounding
// (a triple root leaves both Q and R at a few units of the last place).
double RoundedToZero(double x, double scale) { return std::fabs(x) <= 8.0 * MachEp * scale ? 0.0 : x; }

// A discriminant that is zero but for the rounding errors err of its terms
// counts as zero, so that a double root is neither lost nor turned complex.
double Discriminant(double d, double err) { return d < 0.0 && -d <= err ? 0.0 : d; }

}  // namespace

int AnalyticRoots(const TVector& C, int Deg, TVector& Roots) {
    if (Deg > 3 || !Covers(C, Deg) || !Covers(Roots, Deg)) return 0;
    Deg = EffectiveDegree(C, Deg);
    int count = 0;
    if (Deg == 1) {
        Roots[1] = -C[0] / C[1];
        count = 1;
    } else if (Deg == 2) {
        const double delta = Discriminant(C[1] * C[1] - 4.0 * C[0] * C[2],
                                          8.0 * MachEp * (C[1] * C[1] + std::fabs(4.0 * C[0] * C[2])));
        if (delta >= 0.0) {
            const double sq = std::sqrt(delta);
            const double q = C[1] >= 0.0 ? -0.5 * (C[1] + sq) : -0.5 * (C[1] - sq);
            if (q == 0.0) {
                // Only a C z^2 gets here: a double root at 0, where C[0]/q would be 0/0.
                Roots[1] = Roots[2] = 0.0;
            } else {
                Roots[1] = q / C[2];
                Roots[2] = C[0] / q;
            }
            count = 2;
        }
    } else if (Deg == 3) {
        const double a = C[2] / C[3], b = C[1] / C[3], c = C[0] / C[3];
        const double Qs = (a * a + 3.0 * std::fabs(b)) / 9.0;
        const double Rs = ((2.0 * a * a + 9.0 * std::fabs(b)) * std::fabs(a) + 27.0 * std::fabs(c)) / 54.0;
        const double Q = RoundedToZero((a * a - 3.0 * b) / 9.0, Qs);
        const double R = RoundedToZero(((2.0 * a * a - 9.0 * b) * a + 27.0 * c) / 54.0, Rs);
        const double Q3 = Q * Q * Q;
        const double err = 8.0 * MachEp * (3.0 * Q * Q * Qs + 2.0 * std::fabs(R) * Rs);
        if (Discriminant(Q3 - R * R, err) >= 0.0) {
            if (Q <= 0.0) {
                // Q = R = 0: a triple root, where R / sqrt(Q^3) would be 0/0.
                Roots[1] = Roots[2] = Roots[3] = -a / 3.0;
            } else {
                // With a double root the quotient is +-1 but for rounding, which may push it past.
                double cosArg = R / std::sqrt(Q3);
                if (cosArg > 1.0) cosArg = 1.0;
                if (cosArg < -1.0) cosArg = -1.0;
                const double theta = ArcCosine(cosArg) / 3.0;
                const double sQ = -2.0 * std::sqrt(Q);
                Roots[1] = sQ * std::cos(theta) - a / 3.0;
                Roots[2] = sQ * std::cos(theta + TwoPiThirds) - a / 3.0;
                Roots[3] = sQ * std::cos(theta - TwoPiThirds) - a / 3.0;
            }
            count = 3;
        } else {
            double A = RealPower(std::fabs(R) + std::sqrt(R * R - Q3), 1.0 / 3.0);
            if (R >= 0.0) A = -A;
            const double B = A == 0.0 ? 0.0 : Q / A;
            Roots[1] = A + B - a / 3.0;
            count = 1;
        }
    }
    if (count > 1) SortAscending(Roots, 1, count);
    return count;
}

void Balance(TMatrix& A, int Lb, int Ub) {
    constexpr int MaxPasses = 1000;  // each change shrinks a norm by 5 %; this only caps bad input
    for (int pass = 0; pass < MaxPasses; ++pass) {
        bool changed = false;
        for (int i = Lb; i <= Ub; ++i) {
            double c = 0.0, r = 0.0;
            for (int j = Lb; j <= Ub; ++j)
                if (j != i) {
                    c += std::fabs(A[j][i]);
                    r += std::fabs(A[i][j]);
                }
            if (c == 0.0 || r == 0.0 || !std::isfinite(c) || !std::isfinite(r)) continue;
            double g = r / 2.0, f = 1.0;
            const double s = c + r;
            while (c < g) {
                f *= 2.0;
                c *= 4.0;
            }
            g = r * 2.0;
            while (c >= g) {
                f /= 2.0;
                c /= 4.0;
            }
            if ((c + r) / f < 0.95 * s) {
                changed = true;
                for (int j = Lb; j <= Ub; ++j) A[i][j] /= f;
                for (int j = Lb; j <= Ub; ++j) A[j][i] *= f;
            }
        }
        if (!changed) break;
    }
}

int HessenbergQR(TMatrix& a, int Lb, int Ub, TVector& Wr, TVector& Wi) {
    double anorm = 0.0;
    for (int i = Lb; i <= Ub; ++i)
        for (int j = (i - 1 > Lb ? i - 1 : Lb); j <= Ub; ++j) anorm += std::fabs(a[i][j]);
    int nn = Ub;
    double t = 0.0;
    double p = 0, q = 0, r = 0, s = 0, w = 0, x = 0, y = 0, z = 0;
    while (nn >= Lb) {
        int its = 0;
        int l;
        do {
            for (l = nn; l >= Lb + 1; --l) {
                s = std::fabs(a[l - 1][l - 1]) + std::fabs(a[l][l]);
                if (s == 0.0) s = anorm;
                if (std::fabs(a[l][l - 1]) <= MachEp * s) {
                    a[l][l - 1] = 0.0;
                    break;
                }
            }
            x = a[nn][nn];
            if (l == nn) {
                Wr[nn] = x + t;
                Wi[nn] = 0.0;
                --nn;
            } else {
                y = a[nn - 1][nn - 1];
                w = a[nn][nn - 1] * a[nn - 1][nn];
                if (l == nn - 1) {
                    p = 0.5 * (y - x);
                    q = p * p + w;
                    z = std::sqrt(std::fabs(q));
                    x += t;
                    if (q >= 0.0) {
                        z = p + SignOf(p) * std::fabs(z);
                        Wr[nn - 1] = Wr[nn] = x + z;
                        if (z != 0.0) Wr[nn] = x - w / z;
                        Wi[nn - 1] = Wi[nn] = 0.0;
                    } else {
                        Wr[nn - 1] = Wr[nn] = x + p;
                        Wi[nn - 1] = -z;
                        Wi[nn] = z;
                    }
                    nn -= 2;
                } else {
                    if (its == 30) return -2;
                    if (its == 10 || its == 20) {
                        // Exceptional shift, to break a cycle.
                        t += x;
                        for (int i = Lb; i <= nn; ++i) a[i][i] -= x;
                        s = std::fabs(a[nn][nn - 1]) + std::fabs(a[nn - 1][nn - 2]);
                        y = x = 0.75 * s;
                        w = -0.4375 * s * s;
                    }
                    ++its;
                    int m;
                    for (m = nn - 2; m >= l; --m) {
                        z = a[m][m];
                        r = x - z;
                        s = y - z;
                        p = (r * s - w) / a[m + 1][m] + a[m][m + 1];
                        q = a[m + 1][m + 1] - z - r - s;
                        r = a[m + 2][m + 1];
                        s = std::fabs(p) + std::fabs(q) + std::fabs(r);
                        p /= s;
                        q /= s;
                        r /= s;
                        if (m == l) break;
                        const double u = std::fabs(a[m][m - 1]) * (std::fabs(q) + std::fabs(r));
                        const double v = std::fabs(p) * (std::fabs(a[m - 1][m - 1]) + std::fabs(z) +
                                                         std::fabs(a[m + 1][m + 1]));
                        if (u <= MachEp * v) break;
                    }
                    for (int i = m + 2; i <= nn; ++i) {
                        a[i][i - 2] = 0.0;
                        if (i != m + 2) a[i][i - 3] = 0.0;
                    }
                    for (int k = m; k <= nn - 1; ++k) {
                        if (k != m) {
                            p = a[k][k - 1];
                            q = a[k + 1][k - 1];
                            r = 0.0;
                            if (k != nn - 1) r = a[k + 2][k - 1];
                            if ((x = std::fabs(p) + std::fabs(q) + std::fabs(r)) != 0.0) {
                                p /= x;
                                q /= x;
                                r /= x;
                            }
                        }
                        if ((s = SignOf(p) * std::sqrt(p * p + q * q + r * r)) != 0.0) {
                            if (k == m) {
                                if (l != m) a[k][k - 1] = -a[k][k - 1];
                            } else {
                                a[k][k - 1] = -s * x;
                            }
                            p += s;
                            x = p / s;
                            y = q / s;
                            z = r / s;
                            q /= p;
                            r /= p;
                            for (int j = k; j <= nn; ++j) {
                                p = a[k][j] + q * a[k + 1][j];
                                if (k != nn - 1) {
                                    p += r * a[k + 2][j];
                                    a[k + 2][j] -= p * z;
                                }
                                a[k + 1][j] -= p * y;
                                a[k][j] -= p * x;
                            }
                            const int mmin = nn < k + 3 ? nn : k + 3;
                            for (int i = l; i <= mmin; ++i) {
                                p = x * a[i][k] + y * a[i][k + 1];
                                if (k != nn - 1) {
                                    p += z * a[i][k + 2];
                                    a[i][k + 2] -= p * r;
                                }
                                a[i][k + 1] -= p * q;
                                a[i][k] -= p;
                            }
                        }
                    }
                }
            }
        } while (l < nn - 1);
    }
    return 0;
}

int CompanionRoots(const TVector& C, int Deg, TVector& Wr, TVector& Wi) {
    if (Deg < 1 || !Covers(C, Deg) || C[Deg] == 0.0) return -2;
    TMatrix A;
    AllocMatrix(A, Deg - 1, Deg - 1);
    for (int j = 0; j <= Deg - 1; ++j) A[0][j] = -C[Deg - 1 - j] / C[Deg];
    for (int i = 0; i <= Deg - 2; ++i) A[i + 1][i] = 1.0;
    AllocVector(Wr, Deg);
    AllocVector(Wi, Deg);
    Balance(A, 0, Deg - 1);
    const int code = HessenbergQR(A, 0, Deg - 1, Wr, Wi);
    if (code != 0) return code;
    for (int i = 0; i <= Deg - 2; ++i) {
        int k = i;
        for (int j = i + 1; j <= Deg - 1; ++j)
            if (Wr[j] < Wr[k]) k = j;
        if (k != i) {
            FSwap(Wr[i], Wr[k]);
            FSwap(Wi[i], Wi[k]);
        }
    }
    for (int i = Deg; i >= 1; --i) {
        Wr[i] = Wr[i - 1];
        Wi[i] = Wi[i - 1];
    }
    Wr[0] = Wi[0] = 0.0;
    return 0;
}

int PolyRoots(const TVector& C, int Deg, TVector& Roots) {
    if (Deg < 1 || !Covers(C, Deg) || !Covers(Roots, Deg)) return 0;
    const int d = EffectiveDegree(C, Deg);
    if (d < 4) return AnalyticRoots(C, d, Roots);
    TVector Wr, Wi;
    if (CompanionRoots(C, d, Wr, Wi) != 0) return 0;
    int count = 0;
    for (int i = 1; i <= d; ++i)
        if (std::fabs(Wi[i]) <= MachEp) Roots[++count] = Wr[i];
    for (int i = count + 1; i <= d; ++i) Roots[i] = 0.0;
    return count;
}

}  // namespace kalvo
