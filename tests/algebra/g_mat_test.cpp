#include <cmath>

#include "algebra/g2_point.h"
#include "algebra/g2_vector.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "algebra/g_mat33.h"
#include "algebra/g_mat44.h"
#include "geom_fixture.h"

namespace {

using MatTest = GeomTest;

// Every element of m is exactly the one of a.
template <class M, int N>
void ExpectMat(const M& m, const double (&a)[N][N]) {
  for (int i = 0; i < N; ++i)
    for (int j = 0; j < N; ++j) EXPECT_EQ(m.GetMatVal(i, j), a[i][j]) << i << j;
}

TEST_F(MatTest, Mat33BuildersApplicationAndComposition) {
  const double quarter[3][3] = {{0, -1, 0}, {1, 0, 0}, {0, 0, 1}};
  // Within rounding of a quarter turn the cosine is forced to an exact 0.
  ExpectMat(G_MAT33(G_ANG(std::nextafter(90.0, 91.0))), quarter);

  // Translation moves points, not vectors; scaling is about the origin and
  // unit vectors are renormalised.
  const G_MAT33 t(G2_VECTOR(3, -1)), s(2.0);
  EXPECT_XY(Map(t, G2_POINT(1, 1)), 4, 0);
  EXPECT_XY(Map(t, G2_VECTOR(1, 1)), 1, 1);
  EXPECT_NEAR_XY(Map(s, G2_VECTOR1(3, 4)), 0.6, 0.8, 1e-15);

  // this <<= b is this . b (b first); this >>= b is b . this.
  const G_MAT33 r(G_ANG(90));
  EXPECT_XY(Map(G_MAT33(G2_VECTOR(1, 0)) <<= r, G2_POINT(1, 0)), 1, 1);  // turn, then shift
  EXPECT_XY(Map(G_MAT33(G2_VECTOR(1, 0)) >>= r, G2_POINT(1, 0)), 0, 2);  // shift, then turn
}

TEST_F(MatTest, InversionByCofactors) {
  // A zero row: false, untouched, no error.
  const double z[4][4] = {{1, 2, 3, 4}, {0, 0, 0, 0}, {5, 6, 7, 8}, {0, 0, 0, 1}};
  G_MAT44 m;
  m.SetMat(z);
  EXPECT_FALSE(m.Invert() || C_ERROR::Is());
  ExpectMat(m, z);
  const double g[4][4] = {{2, -1, 0, 3}, {1, 3, -2, 0}, {0, 1, 4, -1}, {1, 0, 1, 2}};
  m.SetMat(g);
  ASSERT_TRUE(m.Invert());
  EXPECT_TRUE(IsInverse(g, [&](int i, int j) { return m.GetMatVal(i, j); }, 1e-14));

  const double h[3][3] = {{1, 2, 0}, {0, 1, 3}, {4, 0, 1}};
  G_MAT33 n;
  n.SetMat(h);
  ASSERT_TRUE(n.Invert());
  EXPECT_TRUE(IsInverse(h, [&](int i, int j) { return n.GetMatVal(i, j); }, 1e-15));
  const double sing[3][3] = {{1, 2, 3}, {2, 4, 6}, {0, 0, 1}};
  n.SetMat(sing);
  EXPECT_FALSE(n.Invert());
  ExpectMat(n, sing);
}

TEST_F(MatTest, RotationsAboutSlantedAxes) {
  // The composed rotation with an axis along X skips the X alignment.
  const G_MAT44 ox(G3_AXIS(G3_POINT(0, 2, 0), G3_VECTOR1(1, 0, 0)), G_ANG(90));
  EXPECT_NEAR_XYZ(Map(ox, G3_POINT(5, 3, 0)), 5, 2, 1, 1e-12);
  // A third of a turn about (1, 1, 1) permutes the axes X -> Y -> Z -> X; here
  // about a parallel line through c, by composition and through frames.
  const G3_AXIS ax(G3_POINT(1, -2, 0.5), G3_VECTOR1(1, 1, 1));
  G_MAT44 m;
  m.SetRot(ax, 120);
  for (const G_MAT44& r : {G_MAT44(ax, G_ANG(120)), m}) {
    EXPECT_NEAR_XYZ(Map(r, G3_POINT(2, -2, 0.5)), 1, -1, 0.5, 1e-12);
    EXPECT_NEAR_XYZ(Map(r, G3_POINT(1, -2, 3.5)), 4, -2, 0.5, 1e-12);
  }
}

TEST_F(MatTest, MirrorScaleAndPlaneForms) {
  G_MAT44 m;
  // The mirror in the plane x + y = 2 maps p to p - 2((p - o).n)n.
  m.SetMir(G3_PLANE(G3_POINT(1, 1, 0), G3_VECTOR1(1, 1, 0)));
  EXPECT_NEAR_XYZ(Map(m, G3_POINT(3, 1, 5)), 1, -1, 5, 1e-12);

  // The plane forms: z dropped on the way out, 0 on the way in.
  const G_MAT44 t(G3_VECTOR(1, 2, 3));
  EXPECT_XY(t.Transfo(G3_POINT(1, 1, 1)), 2, 3);
  EXPECT_XYZ(t.Transfo(G2_POINT(1, 1)), 2, 3, 3);
  EXPECT_XYZ(t.Transfo(G2_VECTOR(1, 1)), 1, 1, 0);

  // Unit vectors: renormalised, or kept with GerrNullVector on a null image.
  const double d[4][4] = {{3, 0, 0, 0}, {0, 4, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 1}};
  m.SetMat(d);
  EXPECT_NEAR_XYZ(Map(m, G3_VECTOR1(1, 1, 0)), 0.6, 0.8, 0, 1e-15);
  EXPECT_XYZ_ERR(Map(m, G3_VECTOR1(0, 0, 1)), 0, 0, 1, &GerrNullVector);
}

TEST_F(MatTest, OrderEqualityAndParaxial) {
  G_MAT44 a, b;
  const double e[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 1e-300}, {0, 0, 0, 1}};
  b.SetMat(e);  // differs in one element only, by 1e-300
  EXPECT_TRUE(b > a && a < b && b != a && !(a > b || b == a || a > a));

  EXPECT_EQ(G_MAT44::IDENTITY.GetParaxial(), G_PARA_Z);
  G_MAT44 r;
  r.SetRotX(90);
  EXPECT_EQ(r.GetParaxial(), G_PARA_Y);
  r.SetRotY(90);
  EXPECT_EQ(r.GetParaxial(), G_PARA_X);
  r.SetRotX(30);
  EXPECT_EQ(r.GetParaxial(), G_PARA_NONE);
  r.Clear();  // a null third row counts as X
  EXPECT_EQ(r.GetParaxial(), G_PARA_X);
}

TEST_F(MatTest, Records) {
  const G_MAT33 m(G2_VECTOR(0.5, -2));
  EXPECT_EQ(Saved(m, C_FILE::TEXT), "1\n0\n0.5\n0\n1\n-2\n0\n0\n1\n");
  EXPECT_EQ(Saved(m, C_FILE::BINARY), Bytes({1, 0, 0.5, 0, 1, -2, 0, 0, 1}));

  const double g[4][4] = {{0.1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {1e-300, 14, 15, 16}};
  G_MAT44 a;
  a.SetMat(g);
  EXPECT_TRUE(RoundTrips(a) && RoundTrips(m));
  // A record cut short raises an error and leaves the matrix as it was.
  EXPECT_TRUE(Kept(m, C_FILE::TEXT, "1\n2\n3\n", &CerrEndOfFile));
  EXPECT_TRUE(Kept(a, C_FILE::TEXT, "1\n2\n3\n", &CerrEndOfFile));
}

}  // namespace
