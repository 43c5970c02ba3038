#include "runtime/t_solve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "runtime/c_error.h"

namespace {

// A v = lambda v for each row v of vectors, rows orthonormal, eigenvalues
// descending.
void ExpectEigen(int n, const double* A) {
  double values[4], vectors[16];
  TmatrixEigenSym(n, A, values, vectors);
  ASSERT_FALSE(C_ERROR::Is());
  for (int i = 0; i < n; ++i) {
    EXPECT_GE(values[i > 0 ? i - 1 : 0], values[i]);  // descending
    for (int r = 0; r < n; ++r) {
      double av = 0;
      for (int c = 0; c < n; ++c) av += A[r * n + c] * vectors[i * n + c];
      EXPECT_NEAR(av, values[i] * vectors[i * n + r], 1e-12) << i << " " << r;
    }
    for (int j = i; j < n; ++j) {
      double dot = 0;
      for (int c = 0; c < n; ++c) dot += vectors[i * n + c] * vectors[j * n + c];
      EXPECT_NEAR(dot, i == j ? 1 : 0, 1e-13) << i << " " << j;
    }
  }
}

TEST(Tsolve, TisEqualIsRelativeAboveOneAndAbsoluteBelow) {
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_TRUE(TisEqual(1, 1 + 5e-13) && TisEqual(1e6, 1e6 + 5e-7) && TisEqual(0, 5e-13));
  EXPECT_FALSE(TisEqual(1, 1 + 2e-12) || TisEqual(1e6, 1e6 + 2e-6) || TisEqual(0, 2e-12));
  const double nan = std::nan("");
  EXPECT_TRUE(TisEqual(inf, inf) && !TisEqual(inf, -inf) && !TisEqual(nan, nan));
}

TEST(Tsolve, DenseSystemsPivotAndRejectSingularMatrices) {
  C_ERROR::ClearPending();
  // A zero leading coefficient needs a row exchange.
  const double A2[4] = {0, 1, 1, 0}, b2[2] = {2, 3};
  double x2[2] = {0, 0};
  Tsolve(A2, b2, x2);
  EXPECT_TRUE(x2[0] == 3 && x2[1] == 2);
  // x = (1, 2, 3): b = (0 + 4 + 3, 1 + 2 + 3, 2 + 2 + 0).
  const double A3[9] = {0, 2, 1, 1, 1, 1, 2, 1, 0}, b3[3] = {7, 6, 4};
  double x3[3] = {0, 0, 0};
  Tsolve(A3, b3, x3);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(x3[k], k + 1, 1e-14);
  // Badly scaled rows are not singular.
  const double As[4] = {1e-9, 2e-9, 3e9, 1e9}, bs[2] = {3e-9, 4e9};
  Tsolve(As, bs, x2);
  EXPECT_TRUE(std::fabs(x2[0] - 1) < 1e-14 && std::fabs(x2[1] - 1) < 1e-14);
  EXPECT_FALSE(C_ERROR::Is());
  // Singular: the solution is left as it was.
  const double S3[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  double keep3[3] = {5, 6, 7};
  Tsolve(S3, b3, keep3);
  EXPECT_EQ(C_ERROR::GetPending(), &TerrSingularMatrix);
  C_ERROR::ClearPending();
  EXPECT_TRUE(keep3[0] == 5 && keep3[2] == 7);
}

TEST(Tsolve, TridiagonalFactorisationSolvesSeveralRightHandSides) {
  C_ERROR::ClearPending();
  // Rows (sub, diagonal, super). Solutions (1, 2, 3, 4) and (1, 0, 0, 0):
  // right-hand sides by hand.
  double band[12] = {0, 4, 1, 1, 4, 1, 1, 4, 1, 1, 4, 0};
  Tsolve1(4, band);
  ASSERT_FALSE(C_ERROR::Is());
  double r1[4] = {6, 12, 18, 19}, r2[4] = {4, 1, 0, 0};
  Tsolve2(4, band, r1);
  Tsolve2(4, band, r2);
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(r1[k], k + 1, 1e-14) << k;
    EXPECT_NEAR(r2[k], k == 0, 1e-14) << k;
  }
  // A zero second pivot (1 - 1 * 1 / 1): the band is left as it was.
  double zero[6] = {0, 1, 1, 1, 1, 0};
  Tsolve1(2, zero);
  EXPECT_EQ(C_ERROR::GetPending(), &TerrSingularMatrix);
  EXPECT_TRUE(zero[1] == 1 && zero[4] == 1);
  C_ERROR::ClearPending();
}

TEST(Tsolve, EigenSymGivesSortedUnitEigenvectorsAsRows) {
  C_ERROR::ClearPending();
  // Eigenvalues 5, 3, 1 (vectors (0, 0, 1), (1, 1, 0)/sqrt2, (1, -1, 0)/sqrt2),
  // then a full matrix.
  const double A[9] = {2, 1, 0, 1, 2, 0, 0, 0, 5};
  const double B[16] = {4, 1, -2, 2, 1, 2, 0, 1, -2, 0, 3, -2, 2, 1, -2, -1};
  ExpectEigen(3, A);
  ExpectEigen(4, B);
  double values[3], vectors[9];
  TmatrixEigenSym(3, A, values, vectors);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(values[k], 5 - 2 * k, 1e-13);
  const double N[1] = {std::nan("")};
  TmatrixEigenSym(1, N, values, vectors);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  C_ERROR::ClearPending();
}

}  // namespace
