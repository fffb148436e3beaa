#include "stat.h"

#include <utility>

namespace kalvo {

namespace {

template <class Before>
void QuickSort(TVector& X, int L, int R, Before before) {
    // Recursing into the smaller part and looping over the larger keeps the
    // stack depth logarithmic, whatever the order of the data.
    while (L < R) {
        const double pivot = X[L + (R - L) / 2];
        int i = L, j = R;
        do {
            while (before(X[i], pivot)) ++i;
            while (before(pivot, X[j])) --j;
            if (i <= j) {
                std::swap(X[i], X[j]);
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - L < R - i) {
            if (L < j) QuickSort(X, L, j, before);
            L = i;
        } else {
            if (i < R) QuickSort(X, i, R, before);
            R = j;
        }
    }
}

}  // namespace

void SortAscending(TVector& X, int Lb, int Ub) {
    QuickSort(X, Lb, Ub, [](double a, double b) { return a < b; });
}

void SortDescending(TVector& X, int Lb, int Ub) {
    QuickSort(X, Lb, Ub, [](double a, double b) { return a > b; });
}

double VectorSum(const TVector& X, int Lb, int Ub) {
    long double s = 0.0L;
    for (int i = Lb; i <= Ub; ++i) s += X[i];
    return static_cast<double>(s);
}

double VectorMean(const TVector& X, int Lb, int Ub) { return VectorSum(X, Lb, Ub) / (Ub - Lb + 1); }

double SumSquaredDeviations(const TVector& X, int Lb, int Ub, double M) {
    long double s = 0.0L;
    for (int i = Lb; i <= Ub; ++i) {
        const long double d = X[i] - M;
        s += d * d;
    }
    return static_cast<double>(s);
}

double SumSquaredDifferences(const TVector& X, const TVector& Y, int Lb, int Ub) {
    long double s = 0.0L;
    for (int i = Lb; i <= Ub; ++i) {
        const long double d = static_cast<long double>(X[i]) - Y[i];
        s += d * d;
    }
    return static_cast<double>(s);
}

}  // namespace kalvo
