#pragma once
// In-place sorting of a vector range and the sums the fit statistics are built from.

#include "matrices.h"

namespace kalvo {

// Quicksort (Hoare partition) of X[Lb..Ub]; not stable.
void SortAscending(TVector& X, int Lb, int Ub);
void SortDescending(TVector& X, int Lb, int Ub);

double VectorSum(const TVector& X, int Lb, int Ub);
double VectorMean(const TVector& X, int Lb, int Ub);  // the range must not be empty
double SumSquaredDeviations(const TVector& X, int Lb, int Ub, double M);
double SumSquaredDifferences(const TVector& X, const TVector& Y, int Lb, int Ub);

}  // namespace kalvo
