#pragma once
// Array types of the numerical library and the dense linear algebra the
// fitting code rests on. Storage always starts at index 0 and is allocated by
// upper bound; every routine works on the index range Lb..Ub its caller
// chooses (data points 1..N, parameters from 0 or 1), so elements below Lb
// exist but stay unused. Arrays are passed by reference: routines work on the
// caller's storage.

#include <cstdint>
#include <vector>

namespace kalvo {

using TVector = std::vector<double>;
using TIntVector = std::vector<int32_t>;
using TMatrix = std::vector<TVector>;  // rows allocated separately

// Ub < 0 empties the array; otherwise Ub + 1 zeros (per row for matrices).
void AllocVector(TVector& V, int Ub);
void AllocIntVector(TIntVector& V, int Ub);
void AllocMatrix(TMatrix& A, int Ub1, int Ub2);

// Whether V has elements up to index Ub (A: rows up to Ub1, each up to Ub2).
bool Covers(const TVector& V, int Ub);
bool Covers(const TMatrix& A, int Ub1, int Ub2);

void SwapRows(int i, int k, TMatrix& A, int Lb, int Ub);  // columns Lb..Ub
void SwapCols(int j, int k, TMatrix& A, int Lb, int Ub);  // rows Lb..Ub
void CopyVector(TVector& Dest, const TVector& Source, int Lb, int Ub);
void CopyMatrix(TMatrix& Dest, const TMatrix& Source, int Lb1, int Lb2, int Ub1, int Ub2);
double VectorMax(const TVector& X, int Lb, int Ub);

// Solves A X = B and inverts A by Gauss-Jordan elimination with full
// pivoting; A and B stay unchanged. Returns 0, or -1 when a pivot is below
// machine epsilon in magnitude (an absolute bound) or not finite.
int GaussJordan(const TMatrix& A, const TVector& B, int Lb, int Ub, TMatrix& A_inv, TVector& X);

// Singular value decomposition A = U diag(S) V^T of rows Lb..Ub1 and columns
// Lb..Ub2 (Golub-Reinsch); U is written over A. Returns 0, -1 when there are
// fewer rows than columns, -2 when a singular value does not converge.
// The singular values are not sorted.
int SVDecomp(TMatrix& A, int Lb, int Ub1, int Ub2, TVector& S, TMatrix& V);

// Singular values below Tol times the largest become 0.
void SVZeroSmall(TVector& S, int Lb, int Ub, double Tol);

// Least-squares (minimum-norm) solution of A X = B from the decomposition.
void SVSolve(const TMatrix& U, const TVector& S, const TMatrix& V, const TVector& B,
             int Lb, int Ub1, int Ub2, TVector& X);

}  // namespace kalvo
