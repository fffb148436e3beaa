#include "models.h"

#include <algorithm>
#include <cmath>

#include "fmath.h"
#include "polyroots.h"
#include "stat.h"

namespace kalvo {

int FitModel = 0;
int WeightMode = 0;
int EstimateLeftOut = 0;

namespace {

int PolyDeg = 2;              // polynomial model
int Deg1 = 1, Deg2 = 1;       // rational model: numerator and denominator degree
bool ConsTerm = true;         // rational model: numerator with constant term

// prefix followed by the number, as in "a3" or "*x^3"
std::string Indexed(const char* prefix, int i) {
    std::string s(prefix);
    s += std::to_string(i);
    return s;
}

// An option value as a degree; anything not finite or out of range counts as 0.
int DegreeOption(const TVector& Opt, int i) {
    if (!Covers(Opt, i) || !(std::fabs(Opt[i]) < 1000.0)) return 0;
    return static_cast<int>(std::nearbyint(Opt[i]));
}

// Selection sort of the pairs by x; equal x keep no particular order.
void SortPairs(TVector& X, TVector& Y, int N) {
    for (int i = FirstPoint; i < N; ++i) {
        int k = i;
        for (int j = i + 1; j <= N; ++j)
            if (X[j] < X[k]) k = j;
        if (k != i) {
            FSwap(X[i], X[k]);
            FSwap(Y[i], Y[k]);
        }
    }
}

// y (1 + q1 x + ... ) = p0 + p1 x + ... is linear in the parameters.
int EstimateRational(const TVector& X, const TVector& Y, int N, TVector& B, TMatrix& V) {
    const int M = Deg1 + Deg2;
    TMatrix U;
    AllocMatrix(U, M, N);
    for (int i = FirstPoint; i <= N; ++i) {
        const double x = X[i];
        U[1][i] = x;
        for (int k = 2; k <= Deg1; ++k) U[k][i] = U[k - 1][i] * x;
        U[Deg1 + 1][i] = -x * Y[i];
        for (int k = Deg1 + 2; k <= M; ++k) U[k][i] = U[k - 1][i] * x;
    }
    const int code = MultiFit(U, Y, N, ConsTerm, M, B, V);
    if (!ConsTerm) B[0] = 0.0;
    return code;
}

// Integral equation method: y = a e^(-r x) satisfies y = a - r * integral of y,
// so a straight line through (integral, y) gives the rate without iterating.
int EstimateExponential(const TVector& X, const TVector& Y, int N, TVector& B) {
    TVector X1(X.begin(), X.begin() + N + 1), Y1(Y.begin(), Y.begin() + N + 1);
    const double x0 = X[FirstPoint];
    if (x0 != 0.0)
        for (int i = FirstPoint; i <= N; ++i) X1[i] -= x0;
    TMatrix R, Vw;
    TVector A;
    AllocMatrix(R, 1, N);
    AllocMatrix(Vw, 1, 1);
    AllocVector(A, 1);
    for (int i = FirstPoint + 1; i <= N; ++i)
        R[1][i] = R[1][i - 1] + (Y1[i] + Y1[i - 1]) * (X1[i] - X1[i - 1]) * 0.5;
    int code = MultiFit(R, Y1, N, true, 1, A, Vw);
    if (code != 0) return code;

    TVector P = {A[1], 1.0}, Roots;
    AllocVector(Roots, 1);
    if (PolyRoots(P, 1, Roots) != 1) return -2;
    const double r = Roots[1];

    for (int i = FirstPoint; i <= N; ++i) R[1][i] = Expo(-r * X1[i]);
    code = MultiFit(R, Y1, N, false, 1, A, Vw);
    if (code != 0) return code;
    if (x0 != 0.0) A[1] *= Expo(r * x0);
    B[1] = A[1];
    B[2] = r;
    return 0;
}

// Start of y = c - a e^(b x), kept as B0 = a, B1 = -b, B2 = c / a, for the
// nonlinear refinement. The level c may lie above the data (growth towards a
// bound) or below them (a cooling curve falling towards it); the integral
// equation method finds it from the data without assuming a side: y' = b (y - c)
// integrates to y = y1 + b * integral of y - b c (x - x1), a straight line in
// two regressors.
int EstimateBoundedGrowth(const TVector& X, const TVector& Y, int N, double& a, double& b, double& c) {
    const double x0 = X[FirstPoint];
    TMatrix R, Vw;
    TVector A;
    AllocMatrix(R, 2, N);
    AllocMatrix(Vw, 2, 2);
    AllocVector(A, 2);
    for (int i = FirstPoint + 1; i <= N; ++i) {
        R[1][i] = R[1][i - 1] + (Y[i] + Y[i - 1]) * (X[i] - X[i - 1]) * 0.5;
        R[2][i] = X[i] - x0;
    }
    if (MultiFit(R, Y, N, true, 2, A, Vw) != 0 || !(A[1] != 0.0) || !std::isfinite(A[2])) return -1;
    b = A[1];
    c = -A[2] / b;
    // With the rate known, y = c - a' e^(b (x - x1)) is linear in c and a'.
    for (int i = FirstPoint; i <= N; ++i) R[1][i] = Expo(b * (X[i] - x0));
    if (MultiFit(R, Y, N, true, 1, A, Vw) != 0) return -1;
    c = A[0];
    a = -A[1] * Expo(-b * x0);
    return std::isfinite(a) && std::isfinite(c) && a != 0.0 ? 0 : -1;
}

// When the integral equation gives no rate (data on a straight line), the
// level is put a tenth of the data's range beyond them on the side the data
// run to, and ln |c - y| = ln |a| + b x is a straight line.
int EstimateBoundedGrowthByTrend(const TVector& X, const TVector& Y, int N, double& a, double& b, double& c) {
    TVector L;
    TMatrix Vw;
    AllocVector(L, 1);
    AllocMatrix(Vw, 1, 1);
    const int code = LineFit(X, Y, N, L, Vw);
    if (code != 0) return code;
    double ymin = Y[FirstPoint], ymax = ymin;
    for (int i = FirstPoint + 1; i <= N; ++i) {
        ymin = std::min(ymin, Y[i]);
        ymax = std::max(ymax, Y[i]);
    }
    if (!(ymax > ymin)) return -1;
    const bool rising = L[1] >= 0.0;
    c = rising ? ymax + 0.1 * (ymax - ymin) : ymin - 0.1 * (ymax - ymin);
    TVector Z;
    AllocVector(Z, N);
    for (int i = FirstPoint; i <= N; ++i) Z[i] = std::log(std::fabs(c - Y[i]));
    if (LineFit(X, Z, N, L, Vw) != 0) return -1;
    b = L[1];
    a = (rising ? 1.0 : -1.0) * Expo(L[0]);
    return std::isfinite(a) && a != 0.0 ? 0 : -1;
}

int EstimateInverseExponential(TVector& X, TVector& Y, int N, TVector& B) {
    SortPairs(X, Y, N);
    double a = 0, b = 0, c = 0;
    int code = EstimateBoundedGrowth(X, Y, N, a, b, c);
    if (code != 0) code = EstimateBoundedGrowthByTrend(X, Y, N, a, b, c);
    if (code != 0) return code;
    B[0] = a;
    B[1] = -b;
    B[2] = c / a;
    return 0;
}

// ln y = ln a + z ln x on the pairs with x > 0 and y > 0.
int EstimatePower(const TVector& X, const TVector& Y, int N, TVector& B) {
    TVector Lx, Ly, A;
    TMatrix Vw;
    AllocVector(Lx, N);
    AllocVector(Ly, N);
    AllocVector(A, 1);
    AllocMatrix(Vw, 1, 1);
    int c = 0;
    for (int i = FirstPoint; i <= N; ++i)
        if (X[i] > 0.0 && Y[i] > 0.0) {
            ++c;
            Lx[c] = std::log(X[i]);
            Ly[c] = std::log(Y[i]);
        }
    const int code = LineFit(Lx, Ly, c, A, Vw);
    if (code == 0) {
        B[0] = Expo(A[0]);
        B[1] = A[1];
    }
    return code;
}

// y = a / (1 + e^(-b x + c)) runs from 0 at one end to its level a at the
// other, so ln(a/y - 1) = -b x + c is a straight line. The level is the value
// farthest from 0: that is where the curve levels off, at the right end when
// it rises, at the left when it falls, and below 0 when a is negative; with
// noise it is the highest value of the plateau, so that no point lies beyond
// it. Points on either level (y = a, and y = 0 as rounded data show far out)
// would give an infinite logarithm, and points beyond 0 (of the other sign
// than a, as measurements corrected for a blank value show near the lower
// level) none at all: they carry no slope and are left out, and counted.
int EstimateLogistic(TVector& X, TVector& Y, int N, TVector& B) {
    SortPairs(X, Y, N);
    B[0] = 0.0;
    double L = 0.0;
    for (int i = FirstPoint; i <= N; ++i)
        if (std::fabs(Y[i]) > std::fabs(L)) L = Y[i];
    B[1] = L;
    if (!(L != 0.0)) {
        FitErrorFlag = true;
        return -1;
    }
    TVector Xs, Z, A;
    TMatrix Vw;
    AllocVector(Xs, N);
    AllocVector(Z, N);
    AllocVector(A, 1);
    AllocMatrix(Vw, 1, 1);
    int c = 0;
    bool bad = false;
    for (int i = FirstPoint; i <= N && !bad; ++i) {
        const double t = Y[i] - B[0];
        // (L - t) / t rather than L / t - 1: near the level the quotient
        // could round to 1 and the logarithm to that of 0.
        const double q = (L - t) / t;
        if (t == L || t == 0.0 || !(q > 0.0 && std::isfinite(q))) {
            ++EstimateLeftOut;
            continue;
        }
        ++c;
        Xs[c] = X[i];
        Z[c] = Log(q);
        if (!(Z[c] <= 1E11)) bad = true;
    }
    if (bad) {
        FitErrorFlag = true;
        return -1;
    }
    int code = LineFit(Xs, Z, c, A, Vw);
    if (code == 0) {
        B[2] = -A[1];
        B[3] = A[0];
        // The fitted curve must approach its level at the end the level was
        // taken from; a slope of the other sign, or none, is no logistic
        // curve through these data.
        const bool levelRight = std::fabs(Y[N]) >= std::fabs(Y[FirstPoint]);
        if (!(levelRight ? B[2] > 0.0 : B[2] < 0.0)) code = -1;
    }
    return code;
}

}  // namespace

void ResetModels() {
    FitModel = 0;
    WeightMode = 0;
    EstimateLeftOut = 0;
    PolyDeg = 2;
    Deg1 = Deg2 = 1;
    ConsTerm = true;
}

void SetFitModel(int Model, int Mode, const TVector& Opt) {
    FitModel = Model;
    WeightMode = 0;  // weighted fits are not offered; every caller passes 0
    if (Model == 2) {
        const int d = DegreeOption(Opt, 0);
        if (d > 1) PolyDeg = d;
    } else if (Model == 3) {
        const int d1 = DegreeOption(Opt, 0), d2 = DegreeOption(Opt, 1);
        if (d1 > 0) Deg1 = d1;
        if (d2 > 0) Deg2 = d2;
        ConsTerm = true;
    }
}

bool ModelKnown(int Model) {
    switch (Model) {
        case 0: case 2: case 3: case 4: case 5: case 7: case 9: case 10: return true;
        default: return false;
    }
}

std::string ModelFormula() {
    switch (FitModel) {
        case 0: return "y = m*x + c";
        case 2: {
            if (PolyDeg == 2) return "y = ax^2 + bx + c";
            std::string s = "y = ";
            for (int i = PolyDeg; i >= 1; --i) {
                s += Indexed("a", i);
                s += Indexed("*x^", i);
                s += "+";
            }
            return s + "a0";
        }
        case 3: {
            std::string s = "y = (";
            if (ConsTerm) s += "p0 + ";
            s += "p1*x";
            for (int i = 2; i <= Deg1; ++i) {
                s += Indexed(" + p", i);
                s += Indexed("*x^", i);
            }
            s += ") / (1 + q1*x";
            for (int j = 2; j <= Deg2; ++j) {
                s += Indexed(" + q", j);
                s += Indexed("*x^", j);
            }
            return s + ")";
        }
        case 4: return "y = a exp(b x)";
        case 5: return "y = c - a exp(bx)";
        case 7: return "y = a x^z";
        case 9: return "y = m*x";
        case 10: return "y = a / [1 + exp(bx + c)]";
        default: return "";
    }
}

int ModelFirstParamIndex() {
    switch (FitModel) {
        case 3: return ConsTerm ? 0 : 1;
        case 4: case 10: return 1;
        default: return 0;
    }
}

int ModelLastParamIndex() {
    switch (FitModel) {
        case 0: case 7: return 1;
        case 2: return PolyDeg;
        case 3: return Deg1 + Deg2;
        case 4: case 5: return 2;
        case 9: return 0;
        case 10: return 3;
        default: return -1;
    }
}

std::string ModelParamName(int i) {
    auto pick = [i](std::initializer_list<const char*> names) -> std::string {
        return i >= 0 && i < static_cast<int>(names.size()) ? names.begin()[i] : "";
    };
    switch (FitModel) {
        case 0: return pick({"c", "m"});
        case 2: return i >= 0 && i <= PolyDeg ? Indexed("a", i) : "";
        case 3:
            if (i < ModelFirstParamIndex() || i > Deg1 + Deg2) return "";
            return i <= Deg1 ? Indexed("p", i) : Indexed("q", i - Deg1);
        case 4: return i == 0 ? "" : pick({"", "a", "b"});
        case 5: return pick({"b", "k", "a"});
        case 7: return pick({"a", "z"});
        case 9: return pick({"m"});
        case 10: return pick({"d", "a", "b", "c"});
        default: return "";
    }
}

double ModelValue(const TVector& B, double x) {
    switch (FitModel) {
        case 0: return B[0] + B[1] * x;
        case 2: return PolyValue(B, PolyDeg, x);
        case 3: return RationalValue(B, Deg1, Deg2, x);
        case 4: return B[1] * Expo(-B[2] * x);
        case 5: {
            const double v = B[2] - Expo(-B[1] * x);
            return std::fabs(v) > 1E20 ? 1E20 : B[0] * v;
        }
        case 7: return B[0] * RealPower(x, B[1]);
        case 9: return B[0] * x;
        case 10: {
            // Far out on a level e^u under- or overflows: the value is then
            // that level, not an error.
            const double u = -B[2] * x + B[3];
            if (u < MinLog) return B[1];
            if (u > MaxLog) return 0.0;
            return B[1] / (1.0 + Expo(u));
        }
        default: return 0.0;
    }
}

void ModelDerivatives(const TModelFunction&, double x, double y, const TVector& B, TVector& D) {
    switch (FitModel) {
        case 3: {
            double Q = 0.0;
            for (int k = Deg1 + Deg2; k >= Deg1 + 1; --k) Q = (Q + B[k]) * x;
            Q += 1.0;
            D[0] = 1.0 / Q;
            for (int i = 1; i <= Deg1; ++i) D[i] = D[i - 1] * x;
            D[Deg1 + 1] = -x * y / Q;
            for (int i = Deg1 + 2; i <= Deg1 + Deg2; ++i) D[i] = D[i - 1] * x;
            break;
        }
        case 4: {
            const double e = Expo(-B[2] * x);
            D[0] = 1.0;
            D[1] = e;
            D[2] = -B[1] * x * e;
            break;
        }
        case 5: {
            const double e = Expo(-B[1] * x);
            D[0] = B[2] - e;
            D[1] = B[0] * x * e;
            D[2] = B[0];
            break;
        }
        case 7:
            D[0] = y / B[0];
            D[1] = y * Log(x);
            break;
        case 10: {
            const double e = Expo(-B[2] * x + B[3]);
            const double q = 1.0 / (1.0 + e);
            D[0] = 1.0 - q;
            D[1] = q;
            D[3] = q * q * (B[0] - B[1]) * e;
            D[2] = -D[3] * x;
            break;
        }
        default: break;
    }
}

int ModelEstimate(TVector& X, TVector& Y, TMatrix& V, TVector& B, int N) {
    EstimateLeftOut = 0;
    const int last = ModelLastParamIndex();
    if (!ModelKnown(FitModel) || N < FirstPoint || !Covers(X, N) || !Covers(Y, N) ||
        !Covers(B, last) || !Covers(V, last, last))
        return -1;
    switch (FitModel) {
        case 0: return LineFit(X, Y, N, B, V);
        case 2: return PolyFit(X, Y, N, PolyDeg, B, V);
        case 3: return EstimateRational(X, Y, N, B, V);
        case 4: return EstimateExponential(X, Y, N, B);
        case 5: return EstimateInverseExponential(X, Y, N, B);
        case 7: return EstimatePower(X, Y, N, B);
        case 9: return ProportionalFit(X, Y, N, B, V);
        case 10: return EstimateLogistic(X, Y, N, B);
        default: return -1;
    }
}

int FitData(TVector& X, const TVector& W, TVector& Y, int N, bool DoEstimate, int MaxIter,
            double Tol, TVector& VrOut, TVector& B, const TVector& Bmin, const TVector& Bmax,
            TMatrix& V, TVector& Ycalc, TVector& S, RegressionsStatistik& Test) {
    const int first = ModelFirstParamIndex(), last = ModelLastParamIndex();
    if (!ModelKnown(FitModel) || N < FirstPoint || !Covers(X, N) || !Covers(Y, N) ||
        !Covers(Ycalc, N) || !Covers(S, N) || !Covers(VrOut, 0) || !Covers(B, last) ||
        !Covers(Bmin, last) || !Covers(Bmax, last) || !Covers(V, last, last))
        return -1;
    int code = DoEstimate ? ModelEstimate(X, Y, V, B, N) : 0;
    if (FitModel == 5 && MaxIter >= 1 && code == 0) {
        code = NonlinearFit(ModelValue, ModelDerivatives, X, Y, N, first, last, MaxIter, Tol, B,
                            Bmin, Bmax, V);
        // Marquardt stops at its tolerance, some digits short of the minimum;
        // exact data should come out exact, with no residual noise.
        if (code == 0) NonlinearPolish(ModelValue, ModelDerivatives, X, Y, N, first, last, 20, B, Bmin, Bmax, V);
    }
    for (int i = FirstPoint; i <= N; ++i) Ycalc[i] = ModelValue(B, X[i]);
    const bool flagBefore = FitErrorFlag;
    RegressionTest(Y, Ycalc, N, first, last, V, Test);
    if (FitModel == 9 && N > FirstPoint) {
        // A line through the origin is measured against y = 0, not against the
        // mean (which it is not free to follow): r^2 = 1 - SSE / sum y^2, as for
        // every model without a constant term. Constant y are no obstacle then.
        double syy = 0.0;
        for (int i = FirstPoint; i <= N; ++i) syy += Y[i] * Y[i];
        const double sse = SumSquaredDifferences(Y, Ycalc, FirstPoint, N);
        FitErrorFlag = flagBefore || !(syy > 0.0);
        Test.RSquared = syy > 0.0 ? std::max(0.0, 1.0 - sse / syy) : 0.0;
    }
    VrOut[0] = Test.ResidualVariance;
    const double sd = std::sqrt(Test.ResidualVariance);
    for (int i = FirstPoint; i <= N; ++i) S[i] = sd;
    return code;
}

int WeightModeClass(int x) {
    switch (WeightMode) {
        case 0: case 6: return 0;
        case 1: case 4: case 5: return 1;
        case 2: return 2;
        case 3: return 3;
        default: return x;
    }
}

}  // namespace kalvo
