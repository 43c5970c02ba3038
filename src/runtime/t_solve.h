#ifndef G3GEOM_RUNTIME_T_SOLVE_H
#define G3GEOM_RUNTIME_T_SOLVE_H

#include "runtime/c_bool.h"
#include "runtime/c_error.h"
#include "runtime/g_export.h"

// Equality of two doubles within a relative tolerance of 1e-12 (absolute
// near zero).
G_API C_BOOL TisEqual(double a, double b);

// Solves A x = b for a 2x2 or 3x3 system, A row-major, with partial pivoting.
// A singular system (a pivot not above n * DBL_EPSILON times the largest
// coefficient) leaves TerrSingularMatrix pending and x unchanged. The sizes are
// part of the types: pointer parameters would make both overloads the same.
G_API void Tsolve(const double (&A)[4], const double (&b)[2], double (&x)[2]);
G_API void Tsolve(const double (&A)[9], const double (&b)[3], double (&x)[3]);
// The same for an n x n system held behind plain pointers (n from 1 to 8).
G_API void Tsolve(int n, const double* A, const double* b, double* x);

G_API extern const C_ERROR TerrSingularMatrix;

// Tridiagonal systems: band holds n rows of three doubles, row k the
// coefficients of unknowns k-1, k and k+1 (the unused corners 0). Tsolve1
// factorises band in place; Tsolve2 then solves for one right-hand side of n
// doubles in place. A zero pivot leaves an error pending.
G_API void Tsolve1(int n, double* band);
G_API void Tsolve2(int n, const double* band, double* rhs);

// Eigen-decomposition of a symmetric n x n matrix A (row-major): values gets
// the n eigenvalues in decreasing order, vectors the n unit eigenvectors,
// vector i (of values[i]) as row i. A matrix holding a value that is not
// finite leaves CerrInvalidValue pending and the outputs unchanged.
G_API void TmatrixEigenSym(int n, const double* A, double* values, double* vectors);

#endif
