#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "algebra/g2_point.h"
#include "algebra/g2_vector.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_frame.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "algebra/g_mat33.h"
#include "algebra/g_mat44.h"
#include "frame/g_errors.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class MatTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

void ExpectPoint(const G3_POINT& p, double x, double y, double z, double tol = 1e-12) {
  EXPECT_NEAR(p.GetCx(), x, tol);
  EXPECT_NEAR(p.GetCy(), y, tol);
  EXPECT_NEAR(p.GetCz(), z, tol);
}

// Rotation of p by deg about the line (c, unit u), by Rodrigues' formula.
G3_POINT Rodrigues(const G3_POINT& p, const G3_POINT& c, double ux, double uy, double uz,
                   double deg) {
  const double a = deg * kPi / 180, co = std::cos(a), si = std::sin(a);
  const double vx = p.GetCx() - c.GetCx(), vy = p.GetCy() - c.GetCy(), vz = p.GetCz() - c.GetCz();
  const double dot = ux * vx + uy * vy + uz * vz;
  const double cx = uy * vz - uz * vy, cy = uz * vx - ux * vz, cz = ux * vy - uy * vx;
  return G3_POINT(c.GetCx() + vx * co + cx * si + ux * dot * (1 - co),
                  c.GetCy() + vy * co + cy * si + uy * dot * (1 - co),
                  c.GetCz() + vz * co + cz * si + uz * dot * (1 - co));
}

TEST_F(MatTest, Mat33BuildersAndApplication) {
  G_MAT33 r;
  r.SetRot(90);  // the cosine is forced to an exact 0
  EXPECT_EQ(r.GetMatVal(0, 0), 0.0);
  EXPECT_EQ(r.GetMatVal(1, 1), 0.0);
  EXPECT_EQ(r.GetMatVal(1, 0), 1.0);
  EXPECT_EQ(r.GetMatVal(0, 1), -1.0);
  G2_POINT p(2, 0);
  r.Transfo(&p);
  EXPECT_EQ(p.GetCx(), 0.0);
  EXPECT_EQ(p.GetCy(), 2.0);

  G_MAT33 r30(G_ANG(30));
  EXPECT_NEAR(r30.GetMatVal(0, 0), std::cos(kPi / 6), 1e-15);
  EXPECT_NEAR(r30.GetMatVal(1, 0), 0.5, 1e-15);

  // Translation moves points, not vectors; scaling is about the origin.
  G_MAT33 t(G2_VECTOR(3, -1));
  G2_POINT q(1, 1);
  G2_VECTOR v(1, 1);
  t.Transfo(&q);
  t.Transfo(&v);
  EXPECT_EQ(q.GetCx(), 4.0);
  EXPECT_EQ(q.GetCy(), 0.0);
  EXPECT_EQ(v.GetCx(), 1.0);
  EXPECT_EQ(v.GetCy(), 1.0);
  G_MAT33 s(2.0);
  EXPECT_EQ(s.GetMatVal(2, 2), 1.0);
  G2_VECTOR1 u(3, 4);
  s.Transfo(&u);  // renormalised
  EXPECT_NEAR(u.GetCx(), 0.6, 1e-15);
  EXPECT_NEAR(u.GetCy(), 0.8, 1e-15);

  // this <<= b is this . b (b first); this >>= b is b . this.
  G_MAT33 tr(G2_VECTOR(1, 0)), rot(G_ANG(90));
  G_MAT33 a = tr;
  a <<= rot;  // rotate, then translate
  G2_POINT e(1, 0);
  a.Transfo(&e);
  EXPECT_NEAR(e.GetCx(), 1.0, 1e-15);
  EXPECT_NEAR(e.GetCy(), 1.0, 1e-15);
  G_MAT33 b = tr;
  b >>= rot;  // translate, then rotate
  G2_POINT f(1, 0);
  b.Transfo(&f);
  EXPECT_NEAR(f.GetCx(), 0.0, 1e-15);
  EXPECT_NEAR(f.GetCy(), 2.0, 1e-15);
}

TEST_F(MatTest, InversionByCofactors) {
  // A zero row: false, untouched, no error.
  double z[4][4] = {{1, 2, 3, 4}, {0, 0, 0, 0}, {5, 6, 7, 8}, {0, 0, 0, 1}};
  G_MAT44 m;
  m.SetMat(z);
  EXPECT_FALSE(m.Invert());
  EXPECT_FALSE(C_ERROR::Is());
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_EQ(m.GetMatVal(i, j), z[i][j]);

  double d[4][4] = {{2, 0, 0, 0}, {0, 4, 0, 0}, {0, 0, 8, 0}, {0, 0, 0, 1}};
  m.SetMat(d);
  EXPECT_TRUE(m.Invert());
  EXPECT_EQ(m.GetMatVal(0, 0), 0.5);
  EXPECT_EQ(m.GetMatVal(1, 1), 0.25);
  EXPECT_EQ(m.GetMatVal(2, 2), 0.125);
  EXPECT_EQ(m.GetMatVal(3, 3), 1.0);

  // A full matrix times its inverse, multiplied out here, is the identity.
  const double g[4][4] = {{2, -1, 0, 3}, {1, 3, -2, 0}, {0, 1, 4, -1}, {1, 0, 1, 2}};
  m.SetMat(g);
  ASSERT_TRUE(m.Invert());
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      double s = 0;
      for (int k = 0; k < 4; ++k) s += g[i][k] * m.GetMatVal(k, j);
      EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-14);
    }

  const double h[3][3] = {{1, 2, 0}, {0, 1, 3}, {4, 0, 1}};
  G_MAT33 n;
  n.SetMat(h);
  ASSERT_TRUE(n.Invert());
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      double s = 0;
      for (int k = 0; k < 3; ++k) s += h[i][k] * n.GetMatVal(k, j);
      EXPECT_NEAR(s, i == j ? 1.0 : 0.0, 1e-15);
    }
  const double sing[3][3] = {{1, 2, 3}, {2, 4, 6}, {0, 0, 1}};
  n.SetMat(sing);
  EXPECT_FALSE(n.Invert());
  EXPECT_EQ(n.GetMatVal(1, 2), 6.0);
}

TEST_F(MatTest, RotationsAboutAxes) {
  G_MAT44 rx, ry, rz;
  rx.SetRotX(90);
  ry.SetRotY(90);
  rz.SetRotZ(90);
  G3_POINT p(0, 1, 0);
  rx.Transfo(&p);
  ExpectPoint(p, 0, 0, 1, 0);  // exact
  G3_POINT q(0, 0, 1);
  ry.Transfo(&q);
  ExpectPoint(q, 1, 0, 0, 0);
  G3_POINT r(1, 0, 0);
  rz.Transfo(&r);
  ExpectPoint(r, 0, 1, 0, 0);

  // The composed rotation with an axis along X skips the X alignment.
  const G3_AXIS ox(G3_POINT(0, 2, 0), G3_VECTOR1(1, 0, 0));
  G3_POINT s(5, 3, 0);
  G_MAT44(ox, G_ANG(90)).Transfo(&s);
  ExpectPoint(s, 5, 2, 1);

  // A slanted axis off the origin, by composition and through frames.
  const G3_POINT c(1, -2, 0.5);
  const double n = std::sqrt(1.0 + 4 + 9);
  const G3_AXIS ax(c, G3_VECTOR1(1, 2, 3));
  const G3_POINT x(0.3, 4, -1);
  const G3_POINT want = Rodrigues(x, c, 1 / n, 2 / n, 3 / n, 37);
  G3_POINT y1(x), y2(x);
  G_MAT44(ax, G_ANG(37)).Transfo(&y1);
  G_MAT44 m;
  m.SetRot(ax, 37);
  m.Transfo(&y2);
  ExpectPoint(y1, want.GetCx(), want.GetCy(), want.GetCz());
  ExpectPoint(y2, want.GetCx(), want.GetCy(), want.GetCz());
}

TEST_F(MatTest, MirrorScaleFramesAndPlacement) {
  G_MAT44 m;
  m.SetMir(G3_PLANE::OXY);
  G3_POINT p(1, 2, 3);
  m.Transfo(&p);
  ExpectPoint(p, 1, 2, -3);

  // The mirror in the plane x + y = 2 (through (1, 1, 0), normal (1, 1, 0)/sqrt 2)
  // maps p to p - 2((p - o).n)n.
  const G3_PLANE tilted(G3_POINT(1, 1, 0), G3_VECTOR1(1, 1, 0));
  m.SetMir(tilted);
  G3_POINT q(3, 1, 5);
  m.Transfo(&q);
  ExpectPoint(q, 1, -1, 5);

  const G3_POINT c(1, 2, 3);
  const G_MAT44 s(c, 2.0);
  G3_POINT fixed(c), moved(2, 2, 2);
  s.Transfo(&fixed);
  s.Transfo(&moved);
  ExpectPoint(fixed, 1, 2, 3, 0);
  ExpectPoint(moved, 3, 2, 1, 0);  // c + 2 (1, 0, -1)
  G3_VECTOR v(1, 1, 1);
  s.Transfo(&v);
  EXPECT_EQ(v.GetCx(), 2.0);

  // A frame at (1, 2, 3) turned a quarter about Z: Vx = Y, Vy = -X.
  const G3_FRAME f(G3_POINT(1, 2, 3), G3_VECTOR1(0, 1, 0), G3_VECTOR1(-1, 0, 0));
  G_MAT44 toGlobal, toLocal, place;
  toGlobal.SetFrame(f, G3_FRAME::BASE);
  toLocal.SetFrame(G3_FRAME::BASE, f);
  place.SetPos(G3_FRAME::BASE, f);
  G3_POINT l(1, 0, 0);  // local coordinates in f
  toGlobal.Transfo(&l);
  ExpectPoint(l, 1, 3, 3);
  G3_POINT g(1, 3, 3);
  toLocal.Transfo(&g);
  ExpectPoint(g, 1, 0, 0);
  G3_POINT o(0, 0, 0), e(2, 0, 0);
  place.Transfo(&o);
  place.Transfo(&e);
  ExpectPoint(o, 1, 2, 3);
  ExpectPoint(e, 1, 4, 3);

  // The 2D forms: z dropped on the way out, 0 on the way in.
  const G_MAT44 t(G3_VECTOR(1, 2, 3));
  const G2_POINT p2 = t.Transfo(G3_POINT(1, 1, 1));
  EXPECT_EQ(p2.GetCx(), 2.0);
  EXPECT_EQ(p2.GetCy(), 3.0);
  const G3_POINT p3 = t.Transfo(G2_POINT(1, 1));
  ExpectPoint(p3, 2, 3, 3, 0);
  const G3_VECTOR v3 = t.Transfo(G2_VECTOR(1, 1));
  EXPECT_EQ(v3.GetCz(), 0.0);
}

TEST_F(MatTest, UnitVectorImageAndNullImage) {
  double d[4][4] = {{3, 0, 0, 0}, {0, 4, 0, 0}, {0, 0, 0, 0}, {0, 0, 0, 1}};
  G_MAT44 m;
  m.SetMat(d);
  G3_VECTOR1 u(1, 1, 0);
  m.Transfo(&u);
  EXPECT_NEAR(u.GetCx(), 0.6, 1e-15);
  EXPECT_NEAR(u.GetCy(), 0.8, 1e-15);
  G3_VECTOR1 z(0, 0, 1);
  m.Transfo(&z);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  EXPECT_EQ(z.GetCz(), 1.0);  // still a unit vector
}

TEST_F(MatTest, OrderAndParaxial) {
  G_MAT44 a, b;
  EXPECT_FALSE(a > b);
  EXPECT_FALSE(b > a);
  double e[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 1e-300}, {0, 0, 0, 1}};
  b.SetMat(e);
  EXPECT_TRUE(b > a);
  EXPECT_FALSE(a > b);
  G_MAT33 c, d(2.0);
  EXPECT_TRUE(d > c);  // 2 > 1 on the first element
  EXPECT_FALSE(c > d);
  EXPECT_TRUE(c < d);
  EXPECT_FALSE(d < c);
  EXPECT_FALSE(c < G_MAT33::IDENTITY);

  // Equality is exact, element by element.
  EXPECT_TRUE(a == G_MAT44::IDENTITY);
  EXPECT_FALSE(a != G_MAT44::IDENTITY);
  EXPECT_TRUE(b != a);  // differs by 1e-300 in one element only
  EXPECT_FALSE(b == a);
  EXPECT_TRUE(a < b);
  EXPECT_TRUE(c == G_MAT33::IDENTITY);
  EXPECT_TRUE(d != c);

  EXPECT_EQ(G_MAT44::IDENTITY.GetParaxial(), G_PARA_Z);
  EXPECT_EQ(G_MAT33::IDENTITY.GetParaxial(), G_PARA_Z);
  G_MAT44 r;
  r.SetRotX(90);
  EXPECT_EQ(r.GetParaxial(), G_PARA_Y);
  r.SetRotY(90);
  EXPECT_EQ(r.GetParaxial(), G_PARA_X);
  r.SetRotX(30);
  EXPECT_EQ(r.GetParaxial(), G_PARA_NONE);
  r.Clear();  // a null third row counts as X
  EXPECT_EQ(r.GetParaxial(), G_PARA_X);
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(MatTest, Records) {
  G_MAT33 m(G2_VECTOR(0.5, -2));
  C_FILE_MEMORY text(C_FILE::TEXT);
  m.Save(&text);
  EXPECT_EQ(text.GetContent(), "1\n0\n0.5\n0\n1\n-2\n0\n0\n1\n");

  double g[4][4] = {{0.1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {1e-300, 14, 15, 16}};
  G_MAT44 a;
  a.SetMat(g);
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    a.Save(&f);
    f.Rewind();
    G_MAT44 b;
    b.Load(0, &f);
    EXPECT_FALSE(C_ERROR::Is());
    for (int i = 0; i < 4; ++i)
      for (int j = 0; j < 4; ++j) EXPECT_EQ(b.GetMatVal(i, j), g[i][j]);
  }

  // A record cut short raises an error and leaves the matrix as it was.
  C_FILE_MEMORY cut(C_FILE::TEXT, "1\n2\n3\n");
  G_MAT33 c;
  c.Load(0, &cut);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  EXPECT_EQ(c.GetMatVal(0, 1), 0.0);
  EXPECT_EQ(c.GetMatVal(0, 0), 1.0);

  G_MAT44* copy = a.Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_FALSE(*copy > a || a > *copy);
  delete copy;
}

}  // namespace
