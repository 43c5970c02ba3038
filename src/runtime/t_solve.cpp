#include "runtime/t_solve.h"

#include <cfloat>
#include <cmath>
#include <cstring>

#include "runtime/c_error.h"

const C_ERROR TerrSingularMatrix("T#Err#Singular matrix");

namespace {

constexpr int kMaxDense = 8;        // largest system of the dense solver
constexpr double kEqualTol = 1e-12;  // relative, absolute below 1
constexpr int kMaxSweeps = 64;      // Jacobi converges in well under 10

}  // namespace

C_BOOL TisEqual(double a, double b) {
  if (a == b) return true;  // equal infinities included
  if (!std::isfinite(a) || !std::isfinite(b)) return false;  // the scale would be infinite
  const double scale = std::fmax(1.0, std::fmax(std::fabs(a), std::fabs(b)));
  return std::fabs(a - b) <= kEqualTol * scale;  // false for NaN
}

// Gaussian elimination with scaled partial pivoting. A pivot is taken as zero
// when it is not above n * DBL_EPSILON times the largest coefficient of its
// original row: what is left there is rounding noise of the elimination.
void Tsolve(int n, const double* A, const double* b, double* x) {
  if (n < 1 || n > kMaxDense || A == nullptr || b == nullptr || x == nullptr) {
    CerrInvalidValue.Trigger();
    return;
  }
  double m[kMaxDense][kMaxDense];
  double r[kMaxDense];
  double scale[kMaxDense];
  for (int i = 0; i < n; ++i) {
    scale[i] = 0;
    for (int j = 0; j < n; ++j) {
      m[i][j] = A[i * n + j];
      if (!std::isfinite(m[i][j])) {
        CerrInvalidValue.Trigger();
        return;
      }
      scale[i] = std::fmax(scale[i], std::fabs(m[i][j]));
    }
    r[i] = b[i];
    if (scale[i] == 0) {
      TerrSingularMatrix.Trigger();
      return;
    }
  }
  for (int k = 0; k < n; ++k) {
    int p = k;
    for (int i = k + 1; i < n; ++i) {
      if (std::fabs(m[i][k]) / scale[i] > std::fabs(m[p][k]) / scale[p]) p = i;
    }
    if (!(std::fabs(m[p][k]) > n * DBL_EPSILON * scale[p])) {
      TerrSingularMatrix.Trigger();
      return;
    }
    if (p != k) {
      for (int j = 0; j < n; ++j) std::swap(m[k][j], m[p][j]);
      std::swap(r[k], r[p]);
      std::swap(scale[k], scale[p]);
    }
    for (int i = k + 1; i < n; ++i) {
      const double f = m[i][k] / m[k][k];
      if (f == 0) continue;
      for (int j = k; j < n; ++j) m[i][j] -= f * m[k][j];
      r[i] -= f * r[k];
    }
  }
  double y[kMaxDense];
  for (int i = n - 1; i >= 0; --i) {
    double s = r[i];
    for (int j = i + 1; j < n; ++j) s -= m[i][j] * y[j];
    y[i] = s / m[i][i];
  }
  for (int i = 0; i < n; ++i) x[i] = y[i];
}

void Tsolve(const double (&A)[4], const double (&b)[2], double (&x)[2]) { Tsolve(2, A, b, x); }

void Tsolve(const double (&A)[9], const double (&b)[3], double (&x)[3]) { Tsolve(3, A, b, x); }

// LU factorisation without pivoting: row k becomes (l_k, d_k, c_k) with
// l_k = a_k / d_(k-1) and d_k = b_k - l_k c_(k-1). The pivots are computed a
// first time without writing, so that a zero pivot leaves band unchanged.
void Tsolve1(int n, double* band) {
  if (n < 1 || band == nullptr) {
    CerrInvalidValue.Trigger();
    return;
  }
  double d = band[1];
  for (int k = 0;; ++k) {
    if (d == 0 || !std::isfinite(d)) {
      TerrSingularMatrix.Trigger();
      return;
    }
    if (k + 1 == n) break;
    const double* row = band + 3 * (k + 1);
    d = row[1] - row[0] / d * band[3 * k + 2];
  }
  for (int k = 1; k < n; ++k) {
    double* row = band + 3 * k;
    row[0] /= band[3 * (k - 1) + 1];
    row[1] -= row[0] * band[3 * (k - 1) + 2];
  }
}

void Tsolve2(int n, const double* band, double* rhs) {
  if (n < 1 || band == nullptr || rhs == nullptr) {
    CerrInvalidValue.Trigger();
    return;
  }
  for (int k = 0; k < n; ++k) {
    if (band[3 * k + 1] == 0) {
      TerrSingularMatrix.Trigger();
      return;
    }
  }
  for (int k = 1; k < n; ++k) rhs[k] -= band[3 * k] * rhs[k - 1];
  rhs[n - 1] /= band[3 * (n - 1) + 1];
  for (int k = n - 2; k >= 0; --k) rhs[k] = (rhs[k] - band[3 * k + 2] * rhs[k + 1]) / band[3 * k + 1];
}

// Cyclic Jacobi rotations on a copy of A (the mean of A and its transpose),
// accumulating the rotations in V whose columns become the eigenvectors.
void TmatrixEigenSym(int n, const double* A, double* values, double* vectors) {
  if (n < 1 || A == nullptr || values == nullptr || vectors == nullptr) {
    CerrInvalidValue.Trigger();
    return;
  }
  for (int i = 0; i < n * n; ++i) {
    if (!std::isfinite(A[i])) {
      CerrInvalidValue.Trigger();
      return;
    }
  }
  const long nn = long(n) * n;
  double* a = CnewArray<double>(nn);
  if (C_ERROR::Is()) return;
  double* v = CnewArray<double>(nn);
  if (C_ERROR::Is()) {
    delete[] a;
    return;
  }
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      a[i * n + j] = 0.5 * (A[i * n + j] + A[j * n + i]);
      v[i * n + j] = i == j ? 1 : 0;
    }
  }
  for (int sweep = 0; sweep < kMaxSweeps; ++sweep) {
    double off = 0;
    double diag = 0;
    for (int i = 0; i < n; ++i) {
      diag += a[i * n + i] * a[i * n + i];
      for (int j = i + 1; j < n; ++j) off += a[i * n + j] * a[i * n + j];
    }
    if (off == 0 || off <= DBL_EPSILON * DBL_EPSILON * diag * 1e-4) break;
    for (int p = 0; p < n; ++p) {
      for (int q = p + 1; q < n; ++q) {
        const double apq = a[p * n + q];
        if (apq == 0) continue;
        const double theta = (a[q * n + q] - a[p * n + p]) / (2 * apq);
        // The smaller root of t^2 + 2 theta t - 1 = 0 keeps the rotation
        // under 45 degrees.
        double t = 1 / (std::fabs(theta) + std::sqrt(theta * theta + 1));
        if (theta < 0) t = -t;
        if (std::fabs(theta) > 1e150) t = 0.5 / theta;  // theta^2 would overflow
        const double c = 1 / std::sqrt(t * t + 1);
        const double s = t * c;
        for (int k = 0; k < n; ++k) {  // columns p and q
          const double akp = a[k * n + p], akq = a[k * n + q];
          a[k * n + p] = c * akp - s * akq;
          a[k * n + q] = s * akp + c * akq;
        }
        for (int k = 0; k < n; ++k) {  // rows p and q
          const double apk = a[p * n + k], aqk = a[q * n + k];
          a[p * n + k] = c * apk - s * aqk;
          a[q * n + k] = s * apk + c * aqk;
        }
        a[p * n + q] = a[q * n + p] = 0;
        for (int k = 0; k < n; ++k) {
          const double vkp = v[k * n + p], vkq = v[k * n + q];
          v[k * n + p] = c * vkp - s * vkq;
          v[k * n + q] = s * vkp + c * vkq;
        }
      }
    }
  }
  // Decreasing order of the eigenvalues (selection sort: n is small), vector
  // i written as row i and renormalised against accumulated rounding.
  int* order = CnewArray<int>(n);
  if (C_ERROR::Is()) {
    delete[] a;
    delete[] v;
    return;
  }
  for (int i = 0; i < n; ++i) order[i] = i;
  for (int i = 0; i < n; ++i) {
    int best = i;
    for (int j = i + 1; j < n; ++j) {
      if (a[order[j] * n + order[j]] > a[order[best] * n + order[best]]) best = j;
    }
    std::swap(order[i], order[best]);
  }
  for (int i = 0; i < n; ++i) {
    const int col = order[i];
    values[i] = a[col * n + col];
    double norm = 0;
    for (int k = 0; k < n; ++k) norm += v[k * n + col] * v[k * n + col];
    norm = std::sqrt(norm);
    for (int k = 0; k < n; ++k) vectors[i * n + k] = v[k * n + col] / norm;
  }
  delete[] order;
  delete[] a;
  delete[] v;
}
