#pragma once
// Real roots of polynomials: closed forms up to degree 3, above that the
// eigenvalues of the companion matrix (balancing and shifted QR).
// A polynomial of degree Deg is C[0..Deg], C[k] belonging to z^k.

#include "matrices.h"

namespace kalvo {

// Stores the real roots ascending in Roots[1..count] (allocated by the caller
// up to Deg) and returns their count; 0 when the QR iteration fails.
int PolyRoots(const TVector& C, int Deg, TVector& Roots);
int AnalyticRoots(const TVector& C, int Deg, TVector& Roots);  // Deg 1..3

// Eigenvalues of the companion matrix, sorted by real part, in Wr/Wi[1..Deg]; 0 or -2.
int CompanionRoots(const TVector& C, int Deg, TVector& Wr, TVector& Wi);

// Scales rows and columns by powers of 2 so that their norms become comparable.
void Balance(TMatrix& A, int Lb, int Ub);
// Eigenvalues of an upper Hessenberg matrix (destroyed) by Francis QR steps; 0 or -2.
int HessenbergQR(TMatrix& A, int Lb, int Ub, TVector& Wr, TVector& Wi);

}  // namespace kalvo
