#include <gtest/gtest.h>

#include <cmath>

#include "algebra/g2_point.h"
#include "algebra/g2_vector.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_frame.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_points.h"
#include "algebra/g3_transfo.h"
#include "algebra/g3_vector.h"
#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "measures/g_dis.h"
#include "measures/g_len.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class TransfoTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

void ExpectPoint(const G3_POINT& p, double x, double y, double z, double tol = 1e-12) {
  EXPECT_NEAR(p.GetCx(), x, tol);
  EXPECT_NEAR(p.GetCy(), y, tol);
  EXPECT_NEAR(p.GetCz(), z, tol);
}

void ExpectVec(const G3_VECTOR& v, double x, double y, double z, double tol = 1e-12) {
  EXPECT_NEAR(v.GetCx(), x, tol);
  EXPECT_NEAR(v.GetCy(), y, tol);
  EXPECT_NEAR(v.GetCz(), z, tol);
}

G3_POINT Apply(const G3_TRANSFO& t, G3_POINT p) {
  t.Transfo(&p);
  return p;
}

G3_TRANSFO FromRows(const double m[4][4]) {
  G3_TRANSFO t;
  t.SetMat(m);
  return t;
}

// The cached properties, in the order ModPos, ModVec, ModOri, ModAng.
void ExpectFlags(const G3_TRANSFO& t, bool pos, bool vec, bool ori, bool ang, double scale) {
  EXPECT_EQ(bool(!t.IsIde()), pos);
  EXPECT_EQ(bool(t.DoesModVec()), vec);
  EXPECT_EQ(bool(t.DoesModOri()), ori);
  EXPECT_EQ(bool(t.DoesModAng()), ang);
  EXPECT_NEAR(t.GetScale(), scale, 1e-15);
}

TEST_F(TransfoTest, BuilderProperties) {
  ExpectFlags(G3_TRANSFO(), false, false, false, false, 1);
  ExpectFlags(G3_TRANSFO::IDENTITY, false, false, false, false, 1);
  // The translation constructor moves points even by a null vector.
  ExpectFlags(G3_TRANSFO(G3_VECTOR(0, 0, 0)), true, false, false, false, 1);
  ExpectFlags(G3_TRANSFO(G3_VECTOR(1, 0, 0)), true, false, false, false, 1);

  // SetTra counts a shift as moving only above 1e-12, else keeps ModPos.
  G3_TRANSFO t;
  t.SetTra(G3_VECTOR(1e-13, 0, 0));
  EXPECT_TRUE(t.IsIde());
  t.SetTra(G3_VECTOR(0, 0, 2e-12));
  EXPECT_FALSE(t.IsIde());
  G3_TRANSFO r;
  r.SetRotZ(30);
  r.SetTra(G3_VECTOR(1e-13, 0, 0));
  ExpectFlags(r, true, false, false, false, 1);

  G3_TRANSFO s(G3_POINT(1, 2, 3), 3.0);
  ExpectFlags(s, true, true, true, false, 3);
  for (int axis = 0; axis < 3; ++axis) {
    G3_TRANSFO q;
    if (axis == 0) q.SetRotX(10);
    if (axis == 1) q.SetRotY(10);
    if (axis == 2) q.SetRotZ(10);
    ExpectFlags(q, true, true, true, false, 1);
    EXPECT_FALSE(q.IsHomogenous());
  }
  G3_TRANSFO d;
  d.SetRotZDeriv(2, 10);
  ExpectFlags(d, true, true, true, false, 1);

  // Properties recomputed from the matrix.
  const double uni[4][4] = {{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0}, {0, 0, 0, 1}};
  ExpectFlags(FromRows(uni), true, true, false, false, 2);
  const double uneven[4][4] = {{1, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 3, 0}, {0, 0, 0, 1}};
  ExpectFlags(FromRows(uneven), true, true, true, true, 0);
  const double shift[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 5}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  ExpectFlags(FromRows(shift), true, false, false, false, 1);
  const double ide[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  ExpectFlags(FromRows(ide), false, false, false, false, 1);
  const double proj[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0.5, 1}};
  const G3_TRANSFO h = FromRows(proj);
  ExpectFlags(h, true, true, true, true, 0);
  EXPECT_TRUE(h.IsHomogenous());

  // Off-diagonal terms leave the angle property to the lazy test: a rotation
  // about a slanted axis times 2 is a similarity, a shear is not.
  G3_TRANSFO sim;
  sim.SetRot(G3_AXIS(G3_POINT(1, 1, 1), G3_VECTOR1(1, 2, 3)), 40);
  sim <<= G3_TRANSFO(G3_POINT(0, 0, 0), 2.0);
  ExpectFlags(sim, true, true, true, false, 2);
  const double shear[4][4] = {{1, 1, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  ExpectFlags(FromRows(shear), true, true, true, true, 0);
}

TEST_F(TransfoTest, QuarterTurnsAndComposition) {
  G3_TRANSFO z;
  z.SetRotZ(90);
  G3_POINT p(1, 0, 0);
  z.Transfo(&p);
  EXPECT_EQ(p, G3_POINT(0, 1, 0));  // exact
  G3_TRANSFO x;
  x.SetRotX(90);
  G3_VECTOR v(0, 1, 0);
  x.Transfo(&v);
  EXPECT_TRUE(v == G3_VECTOR(0, 0, 1));
  G3_TRANSFO y;
  y.SetRotY(90);
  G3_VECTOR1 u(0, 0, 1);
  y.Transfo(&u);
  EXPECT_TRUE(u == G3_VECTOR1(1, 0, 0));

  // a * b applies b first; <<= and >>= compose on either side.
  const G3_TRANSFO tr(G3_VECTOR(1, 2, 3));
  ExpectPoint(Apply(z * tr, G3_POINT(1, 0, 0)), -2, 2, 3);
  ExpectPoint(Apply(tr * z, G3_POINT(1, 0, 0)), 1, 3, 3);
  G3_TRANSFO a = z;
  a <<= tr;
  EXPECT_TRUE(a == z * tr);
  G3_TRANSFO b = z;
  b >>= tr;
  EXPECT_TRUE(b == tr * z);

  // The sum of the upper rows, row 3 forced to (0, 0, 0, 1).
  const G3_TRANSFO sum = G3_TRANSFO() + G3_TRANSFO();
  ExpectFlags(sum, true, true, false, false, 2);
  EXPECT_EQ(sum.GetMat(3, 3), 1.0);

  // The rotation by composition and through frames agree with Rodrigues.
  const G3_AXIS ax(G3_POINT(1, 0, 2), G3_VECTOR1(0, 3, 4));
  const G3_TRANSFO c(ax, G_ANG(90));
  G3_TRANSFO f;
  f.SetRot(ax, 90);
  // (1, 0, 2) + (0, 4, -3)/5 turns a quarter about (0, 3, 4)/5 into
  // (1, 0, 2) + (0.6, 0.8)x(0, 0.8, -0.6) = (1, 0, 2) + (-1, 0, 0).
  ExpectPoint(Apply(c, G3_POINT(1, 0.8, 1.4)), 0, 0, 2);
  ExpectPoint(Apply(f, G3_POINT(1, 0.8, 1.4)), 0, 0, 2);
}

TEST_F(TransfoTest, Inversion) {
  G3_TRANSFO r, m;
  r.SetRotZ(30);
  EXPECT_TRUE(r.Invert());
  m.SetRotZ(-30);
  EXPECT_TRUE(r.IsEqual(m, 1e-12, 1e-12));
  EXPECT_EQ(r.GetScale(), 1.0);

  G3_TRANSFO t(G3_VECTOR(1, -2, 3));
  t.Invert();
  EXPECT_EQ(t.GetMat(0, 3), -1.0);
  EXPECT_EQ(t.GetMat(1, 3), 2.0);
  EXPECT_FALSE(t.DoesModVec());

  G3_TRANSFO ide;
  EXPECT_TRUE(ide.Invert());
  EXPECT_TRUE(ide == G3_TRANSFO::IDENTITY);

  G3_TRANSFO s(G3_POINT(1, 1, 1), 4.0);
  s.Invert();
  EXPECT_EQ(s.GetScale(), 0.25);
  ExpectPoint(Apply(s, G3_POINT(5, 1, 1)), 2, 1, 1);

  // A general affine map: the inverse after the map is the identity.
  const double g[4][4] = {{2, -1, 0, 3}, {1, 3, -2, 0}, {0, 1, 4, -1}, {0, 0, 0, 1}};
  const G3_TRANSFO a = FromRows(g);
  G3_TRANSFO ai = a;
  ai.Invert();
  EXPECT_TRUE((ai * a).IsEqual(G3_TRANSFO::IDENTITY, 1e-14, 1e-12));

  // Projective: by 2x2 blocks.
  const double p[4][4] = {{2, 1, 0, 1}, {1, 3, 1, 0}, {0, 1, 2, 1}, {0.1, 0, 0.2, 1}};
  const G3_TRANSFO h = FromRows(p);
  G3_TRANSFO hi = h;
  hi.Invert();
  ASSERT_FALSE(C_ERROR::Is());
  const G3_TRANSFO one = hi * h;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(one.GetMat(i, j), i == j ? 1.0 : 0.0, 1e-14);

  // A singular block: refused even though the whole matrix is invertible
  // (it permutes coordinates and divides by x).
  const double q[4][4] = {{0, 0, 1, 0}, {0, 0, 0, 1}, {1, 0, 0, 0}, {0, 1, 0, 0}};
  G3_TRANSFO k = FromRows(q);
  EXPECT_FALSE(k.Invert());
  EXPECT_EQ(C_ERROR::GetPending(), &GerrUnableToInvert);
  C_ERROR::ClearPending();
  EXPECT_TRUE(k == FromRows(q));

  const double sing[4][4] = {{1, 2, 3, 0}, {2, 4, 6, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  G3_TRANSFO n = FromRows(sing);
  EXPECT_FALSE(n.Invert());
  EXPECT_EQ(C_ERROR::GetPending(), &GerrUnableToInvert);
  EXPECT_TRUE(n == FromRows(sing));
}

TEST_F(TransfoTest, ComparisonQueriesAndTranspose) {
  G3_TRANSFO a, b;
  a.SetRotZ(10);
  b.SetRotZ(10);
  EXPECT_TRUE(a == b);
  EXPECT_FALSE(a != b);
  EXPECT_FALSE(a < b || a > b);
  b.SetRotZ(10.001);
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(b < a);  // cos decides first: cos 10.001 < cos 10
  EXPECT_TRUE(a > b);

  // IsEqual: 3x3 within the angle in radians, translation within d, strict.
  const G3_TRANSFO t1(G3_VECTOR(1, 0, 0)), t2(G3_VECTOR(1.5, 0, 0));
  EXPECT_FALSE(t1.IsEqual(t2, 0.5, 1));
  EXPECT_TRUE(t1.IsEqual(t2, 0.5000001, 1));
  G3_TRANSFO s1(G3_POINT(0, 0, 0), 1.0), s2(G3_POINT(0, 0, 0), 1.01);
  EXPECT_FALSE(s1.IsEqual(s2, 1, 0.5));  // 0.5 degree is 0.0087 rad
  EXPECT_TRUE(s1.IsEqual(s2, 1, 0.6));

  G3_TRANSFO m;
  m.SetSym(G3_PLANE::OXY);
  EXPECT_TRUE(m.DoesInvertSpace());
  EXPECT_FALSE(m.IsDispl());
  G3_TRANSFO r;
  r.SetRotZ(33);
  EXPECT_TRUE(r.IsDispl());
  EXPECT_FALSE(r.DoesInvertSpace());

  const double g[4][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}, {9, 10, 11, 12}, {0, 0, 0, 1}};
  const G3_TRANSFO tt = FromRows(g).Transpose();
  EXPECT_EQ(tt.GetMat(0, 1), 5.0);
  EXPECT_EQ(tt.GetMat(3, 0), 4.0);
  EXPECT_TRUE(tt.IsHomogenous());
  double out[4][4];
  tt.GetMat(out);
  EXPECT_EQ(out[2][1], 7.0);

  G3_TRANSFO c = r;
  c.Clear();
  EXPECT_EQ(c.GetMat(3, 3), 0.0);
  EXPECT_FALSE(c.IsIde());  // the properties are left as they were
}

TEST_F(TransfoTest, Derivatives) {
  // Central differences of the rotation about Z, per degree.
  const double a = 25, h = 1e-3;
  for (int n = 1; n <= 2; ++n) {
    G3_TRANSFO d, dm, dp;
    d.SetRotZDeriv(n, a);
    if (n == 1) {
      dm.SetRotZ(a - h);
      dp.SetRotZ(a + h);
    } else {
      dm.SetRotZDeriv(1, a - h);
      dp.SetRotZDeriv(1, a + h);
    }
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 2; ++j)
        EXPECT_NEAR(d.GetMat(i, j), (dp.GetMat(i, j) - dm.GetMat(i, j)) / (2 * h), 1e-9);
    EXPECT_EQ(d.GetMat(2, 2), 0.0);
    EXPECT_EQ(d.GetMat(3, 3), 1.0);
  }
  G3_TRANSFO d3;
  d3.SetRotZDeriv(3, 0);  // s k^3 on the diagonal, -c k^3 below it
  EXPECT_EQ(d3.GetMat(0, 0), 0.0);
  EXPECT_EQ(d3.GetMat(1, 0), -5.316576934207788e-6);
  EXPECT_EQ(d3.GetMat(0, 1), 5.316576934207788e-6);

  G3_TRANSFO keep;
  keep.SetRotX(5);
  const G3_TRANSFO before = keep;
  keep.SetRotZDeriv(4, 10);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrInvalidDifferentiationDegree);
  EXPECT_TRUE(keep == before);
  C_ERROR::ClearPending();
  keep.SetRotDeriv(0, G3_AXIS::OX, 10);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrInvalidDifferentiationDegree);
  EXPECT_TRUE(keep == before);
  C_ERROR::ClearPending();

  // About an axis off the origin: the velocity of a point is the central
  // difference of its rotated positions, and a point on the axis stays still.
  const G3_AXIS ax(G3_POINT(3, -1, 2), G3_VECTOR1(1, 1, 1));
  G3_TRANSFO dr, rm, rp;
  dr.SetRotDeriv(1, ax, a);
  rm.SetRot(ax, a - h);
  rp.SetRot(ax, a + h);
  const G3_POINT x(0.5, 2, -4);
  const G3_POINT xm = Apply(rm, x), xp = Apply(rp, x);
  ExpectPoint(Apply(dr, x), (xp.GetCx() - xm.GetCx()) / (2 * h), (xp.GetCy() - xm.GetCy()) / (2 * h),
              (xp.GetCz() - xm.GetCz()) / (2 * h), 1e-8);
  ExpectPoint(Apply(dr, G3_POINT(4, 0, 3)), 0, 0, 0, 1e-15);
}

TEST_F(TransfoTest, ScalingsSymmetriesProjection) {
  // Scaling of the distance to an axis and to a plane.
  G3_TRANSFO t;
  t.SetSca(G3_AXIS(G3_POINT(0, 1, 0), G3_VECTOR1(0, 0, 1)), 3);
  ExpectPoint(Apply(t, G3_POINT(1, 2, 7)), 3, 4, 7);
  t.SetSca(G3_PLANE(G3_POINT(0, 0, 1), G3_VECTOR1(0, 0, 1)), 3);
  ExpectPoint(Apply(t, G3_POINT(1, 2, 2)), 1, 2, 4);

  // The half turn about an axis and the mirror in a plane preserve angles.
  t.SetSym(G3_AXIS(G3_POINT(1, 0, 0), G3_VECTOR1(0, 0, 1)));
  ExpectPoint(Apply(t, G3_POINT(2, 1, 5)), 0, -1, 5);
  t.SetSym(G3_PLANE(G3_POINT(0, 0, 2), G3_VECTOR1(0, 0, 1)));
  ExpectPoint(Apply(t, G3_POINT(1, 1, 3)), 1, 1, 1);

  t.SetSym(G3_POINT(1, 2, 3));
  ExpectPoint(Apply(t, G3_POINT(0, 0, 0)), 2, 4, 6, 0);

  // Orthogonal projection on the plane x + y = 2.
  G3_TRANSFO p;
  p.SetProj(G3_PLANE(G3_POINT(1, 1, 0), G3_VECTOR1(1, 1, 0)));
  ExpectPoint(Apply(p, G3_POINT(3, 1, 5)), 2, 0, 5);
  ExpectFlags(p, true, true, true, true, 0);
  // A degenerate plane leaves the map as it was.
  G3_TRANSFO q;
  q.SetRotZ(90);
  const G3_TRANSFO before = q;
  const G3_PLANE flat(G3_POINT(0, 0, 0), G3_POINT(1, 0, 0), G3_POINT(2, 0, 0));
  C_ERROR::ClearPending();
  q.SetProj(flat);
  EXPECT_TRUE(q == before);
}

TEST_F(TransfoTest, FramesPlacementAndCleanDispl) {
  const G3_FRAME f(G3_POINT(1, 2, 3), G3_VECTOR1(0, 1, 0), G3_VECTOR1(-1, 0, 0));
  G3_TRANSFO t;
  t.SetFrame(G3_FRAME::BASE, f);  // global to f's coordinates
  ExpectPoint(Apply(t, G3_POINT(1, 3, 3)), 1, 0, 0);
  t.SetPos(G3_FRAME::BASE, f);  // carries BASE onto f
  ExpectPoint(Apply(t, G3_POINT(1, 0, 0)), 1, 3, 3);
  EXPECT_TRUE(t.IsDispl());

  // A map with scaling and shear, cleaned, keeps the placement of the origin
  // and of the X axis and becomes rigid.
  const double g[4][4] = {{0, -2, 1, 5}, {2, 0, 0, 6}, {0, 0, 3, 7}, {0, 0, 0, 1}};
  G3_TRANSFO c = FromRows(g);
  c.CleanDispl();
  ExpectPoint(Apply(c, G3_POINT(0, 0, 0)), 5, 6, 7);
  G3_VECTOR vx(1, 0, 0), vy(0, 1, 0);
  c.Transfo(&vx);
  c.Transfo(&vy);
  ExpectVec(vx, 0, 1, 0);
  ExpectVec(vy, -1, 0, 0);
  EXPECT_TRUE(c.IsDispl());
}

TEST_F(TransfoTest, FixMovAndItsObtuseAngles) {
  // The image of a lies on the ray from o through b, at |b - o|: checked for
  // acute, obtuse, nearly opposite and exactly opposite directions.
  const G3_POINT o(1, 1, 1);
  const G3_POINT a(3, 1, 1);
  const G3_POINT bs[] = {G3_POINT(1, 4, 1), G3_POINT(2, 2, 3), G3_POINT(-2, 2, 1),
                         G3_POINT(-3, 1 + 1e-11, 1), G3_POINT(-1, 1, 1)};
  for (const G3_POINT& b : bs) {
    G3_TRANSFO t;
    t.SetFixMov(o, a, b);
    ASSERT_FALSE(C_ERROR::Is());
    // Directions closer than the angular resolution count as opposite.
    const double tol = b.GetCy() == 1 + 1e-11 ? 1e-9 * G3_VECTOR(o, b).GetNorm() : 1e-12;
    ExpectPoint(Apply(t, a), b.GetCx(), b.GetCy(), b.GetCz(), tol);
    ExpectPoint(Apply(t, o), 1, 1, 1, 1e-14);
    EXPECT_FALSE(t.DoesModAng());
  }
  // a or b on o: unchanged, GerrNullVector.
  G3_TRANSFO t;
  t.SetRotX(10);
  const G3_TRANSFO before = t;
  t.SetFixMov(o, o, a);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  EXPECT_TRUE(t == before);
  C_ERROR::ClearPending();
  t.SetFixMov(o, a, o);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  EXPECT_TRUE(t == before);
}

TEST_F(TransfoTest, NegativeDiagonalsKeepAnglesAndReverseDirections) {
  // Central symmetry, diag(-1, -1, -1): directions reverse.
  G3_TRANSFO c;
  c.SetSym(G3_POINT(0, 0, 0));
  ExpectFlags(c, true, true, true, false, 1);
  G3_VECTOR1 u(0, 0.6, 0.8);
  c.Transfo(&u);
  ExpectVec(u, 0, -0.6, -0.8, 0);
  const double m[4][4] = {{-3, 0, 0, 0}, {0, -3, 0, 0}, {0, 0, -3, 0}, {0, 0, 0, 1}};
  ExpectFlags(FromRows(m), true, true, true, false, 3);

  // A half turn and a mirror with coordinate axes: equal magnitudes.
  G3_TRANSFO h;
  h.SetSym(G3_AXIS::OZ);
  ExpectFlags(h, true, true, true, false, 1);
  G3_TRANSFO s;
  s.SetSym(G3_PLANE::OXY);
  ExpectFlags(s, true, true, true, false, 1);
  G_DIS d(2.5);
  s.Transfo(&d);
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_EQ(double(d), 2.5);
  const double k[4][4] = {{2, 0, 0, 0}, {0, -2, 0, 0}, {0, 0, 2, 0}, {0, 0, 0, 1}};
  ExpectFlags(FromRows(k), true, true, true, false, 2);

  // A negative scaling factor scales lengths by its magnitude.
  G3_TRANSFO n(G3_POINT(0, 0, 0), -2.0);
  EXPECT_EQ(n.GetScale(), 2.0);
  G_LEN l(3);
  n.Transfo(&l);
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_EQ(double(l), 6.0);
  n.SetSca(G3_POINT(1, 1, 1), -0.5);
  G_DIS e(4);
  n.Transfo(&e);
  EXPECT_EQ(double(e), 2.0);
}

TEST_F(TransfoTest, LengthsDistancesAndUnitVectors) {
  const double uni[4][4] = {{2, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 2, 0}, {0, 0, 0, 1}};
  const G3_TRANSFO two = FromRows(uni);
  G3_VECTOR1 u(0, 0.6, 0.8);
  two.Transfo(&u);  // no change of direction: untouched
  EXPECT_TRUE(u == G3_VECTOR1(0, 0.6, 0.8));
  G_LEN l(1.5);
  two.Transfo(&l);
  EXPECT_EQ(double(l), 3.0);

  const double uneven[4][4] = {{1, 0, 0, 0}, {0, 2, 0, 0}, {0, 0, 3, 0}, {0, 0, 0, 1}};
  G_DIS d(7);
  FromRows(uneven).Transfo(&d);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrTransfoChangeAngle);
  EXPECT_EQ(double(d), 7.0);
  C_ERROR::ClearPending();

  // Scaled below G_LEN::Min: the error, and the scaled value kept.
  G3_TRANSFO tiny(G3_POINT(0, 0, 0), 1e-8);
  G_LEN s(1.0);
  tiny.Transfo(&s);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrLengthTooShort);
  EXPECT_EQ(double(s), 1e-8);
  C_ERROR::ClearPending();

  // A direction collapsed by a projection: the unit vector is kept.
  G3_TRANSFO p;
  p.SetProj(G3_PLANE::OXY);
  G3_VECTOR1 z(0, 0, 1);
  p.Transfo(&z);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  EXPECT_TRUE(z == G3_VECTOR1(0, 0, 1));
}

TEST_F(TransfoTest, ApplicationForms) {
  // Translation moves points only.
  const G3_TRANSFO t(G3_VECTOR(1, 2, 3));
  G3_VECTOR v(1, 1, 1);
  t.Transfo(&v);
  EXPECT_TRUE(v == G3_VECTOR(1, 1, 1));
  ExpectPoint(Apply(t, G3_POINT(1, 1, 1)), 2, 3, 4, 0);

  // Projective: points and vectors divided by row 3 . (p, 1).
  const double h[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 1, 1}};
  const G3_TRANSFO pr = FromRows(h);
  ExpectPoint(Apply(pr, G3_POINT(2, 4, 1)), 1, 2, 0.5, 0);
  G3_VECTOR w(2, 4, 3);
  pr.Transfo(&w);
  ExpectVec(w, 0.5, 1, 0.75, 0);

  // The plane forms.
  G3_TRANSFO r;
  r.SetRotZ(90);
  const G2_POINT p2 = r.Transfo(G3_POINT(1, 0, 5));
  EXPECT_EQ(p2.GetCx(), 0.0);
  EXPECT_EQ(p2.GetCy(), 1.0);
  const G3_POINT p3 = t.Transfo(G2_POINT(1, 1));
  ExpectPoint(p3, 2, 3, 3, 0);
  const G3_POINT same = G3_TRANSFO::IDENTITY.Transfo(G2_POINT(4, 5));
  ExpectPoint(same, 4, 5, 0, 0);
  const G2_VECTOR v2 = r.Transfo(G3_VECTOR(0, 2, 9));
  EXPECT_EQ(v2.GetCx(), -2.0);
  const G3_VECTOR v3 = t.Transfo(G2_VECTOR(1, 1));
  ExpectVec(v3, 1, 1, 0, 0);

  // The value types' own Transfo.
  G3_POINT p(1, 0, 0);
  p.Transfo(r);
  ExpectPoint(p, 0, 1, 0, 0);
  G3_VECTOR1 u(1, 0, 0);
  u.Transfo(r);
  EXPECT_TRUE(u == G3_VECTOR1(0, 1, 0));
  G3_POINTS pts;
  pts.Append(G3_POINT(1, 0, 0));
  pts.Append(G3_POINT(0, 1, 0));
  pts.Transfo(t);
  ExpectPoint(pts[0], 2, 2, 3, 0);
  ExpectPoint(pts[1], 1, 3, 3, 0);
  G3_AXIS ax(G3_POINT(1, 0, 0), G3_VECTOR1(1, 0, 0));
  ax.Transfo(r * t);
  ExpectPoint(ax.GetPo(), -2, 2, 3);
  ExpectVec(ax.GetVx(), 0, 1, 0);

  // A shear keeps a plane orthonormal.
  const double s[4][4] = {{1, 1, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  G3_PLANE pl(G3_POINT(0, 0, 0), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));
  pl.Transfo(FromRows(s));
  const double k = std::sqrt(0.5);
  ExpectVec(pl.GetVx(), k, k, 0);
  ExpectVec(pl.GetVy(), 0, 0, 1);
  // A collapsing map leaves axis and plane unchanged.
  G3_TRANSFO flat;
  flat.SetProj(G3_PLANE::OXY);
  G3_AXIS oz = G3_AXIS::OZ;
  oz.Transfo(flat);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  EXPECT_TRUE(oz == G3_AXIS::OZ);
  C_ERROR::ClearPending();
  G3_PLANE oxz = G3_PLANE::OXZ;
  oxz.Transfo(flat);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  EXPECT_TRUE(oxz == G3_PLANE::OXZ);
}

TEST_F(TransfoTest, GetRot) {
  G3_VECTOR1 axis;
  G_ANG angle;
  G3_TRANSFO r;
  r.SetRot(G3_AXIS::OX, 90);
  r.GetRot(&axis, &angle);
  ExpectVec(axis, 1, 0, 0);
  EXPECT_NEAR(double(angle), 90, 1e-12);

  G3_TRANSFO::IDENTITY.GetRot(&axis, &angle);
  EXPECT_TRUE(axis == G3_VECTOR1::VZ);
  EXPECT_EQ(double(angle), 0.0);

  r.SetRotZ(-60);  // turning back is turning forward about -Z
  r.GetRot(&axis, &angle);
  ExpectVec(axis, 0, 0, -1);
  EXPECT_NEAR(double(angle), 60, 1e-12);

  const double n = std::sqrt(14.0);
  r.SetRot(G3_AXIS(G3_POINT(5, 5, 5), G3_VECTOR1(1, -2, 3)), 130);
  r.GetRot(&axis, &angle);
  ExpectVec(axis, 1 / n, -2 / n, 3 / n);
  EXPECT_NEAR(double(angle), 130, 1e-10);

  r.SetRot(G3_AXIS(G3_POINT(0, 0, 0), G3_VECTOR1(1, 1, 0)), 180);
  r.GetRot(&axis, &angle);
  EXPECT_NEAR(std::fabs(axis.GetCx()), std::sqrt(0.5), 1e-12);
  EXPECT_NEAR(axis.GetCx(), axis.GetCy(), 1e-12);
  EXPECT_NEAR(double(angle), 180, 1e-6);

  // A block with no rotation axis at all (-I): the fallback axis, no NaN.
  r.SetSym(G3_POINT(1, 2, 3));
  r.GetRot(&axis, &angle);
  EXPECT_TRUE(axis == G3_VECTOR1(1, 0, 0));
  EXPECT_EQ(double(angle), 180.0);
  EXPECT_FALSE(C_ERROR::Is());
  (void)kPi;
}

TEST_F(TransfoTest, PropertiesOfMatrixBuilders) {
  // Builders whose matrix comes out diagonal get their properties at once.
  G3_TRANSFO t;
  t.SetSca(G3_AXIS::OZ, 3);  // diag(3, 3, 1)
  ExpectFlags(t, true, true, true, true, 0);
  t.SetSca(G3_PLANE::OXY, 1);  // diag(1, 1, 1): nothing moves
  ExpectFlags(t, false, false, false, false, 1);
  G3_FRAME shifted(G3_POINT(1, 2, 3));
  t.SetFrame(G3_FRAME::BASE, shifted);  // a pure translation by -(1, 2, 3)
  ExpectFlags(t, true, false, false, false, 1);
  ExpectPoint(Apply(t, G3_POINT(0, 0, 0)), -1, -2, -3, 0);
  t.SetPos(G3_FRAME::BASE, G3_FRAME::BASE);
  ExpectFlags(t, false, false, false, false, 1);

  // Off-diagonal terms: the angle property stays unknown until needed, and
  // the distance conversion resolves it with the scale.
  t.SetSca(G3_AXIS(G3_POINT(0, 0, 0), G3_VECTOR1(1, 1, 0)), 2);
  G_DIS d(1);
  t.Transfo(&d);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrTransfoChangeAngle);
  EXPECT_EQ(double(d), 1.0);
  C_ERROR::ClearPending();
  G3_TRANSFO sim;
  sim.SetRot(G3_AXIS(G3_POINT(0, 0, 0), G3_VECTOR1(0, 3, 4)), 70);
  sim <<= G3_TRANSFO(G3_POINT(1, 1, 1), 1.5);
  G_LEN l(2);
  sim.Transfo(&l);
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_NEAR(double(l), 3.0, 1e-14);
  EXPECT_TRUE(sim.DoesModOri());
  EXPECT_FALSE(sim.IsHomogenous());
}

TEST_F(TransfoTest, Records) {
  const G3_TRANSFO t(G3_VECTOR(0.5, -2, 3));
  C_FILE_MEMORY text(C_FILE::TEXT);
  t.Save(&text);
  EXPECT_EQ(text.GetContent(), "1\n0\n0\n0.5\n0\n1\n0\n-2\n0\n0\n1\n3\n0\n0\n0\n1\n");

  G3_TRANSFO r;
  r.SetRot(G3_AXIS(G3_POINT(1, 2, 3), G3_VECTOR1(1, 1, 1)), 33);
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY file(type);
    r.Save(&file);
    file.Rewind();
    G3_TRANSFO back;
    back.Load(0, &file);
    EXPECT_FALSE(C_ERROR::Is());
    EXPECT_TRUE(back == r);
    ExpectFlags(back, true, true, true, false, 1);
  }
  // The properties come from the loaded matrix.
  C_FILE_MEMORY diag(C_FILE::TEXT, "2\n0\n0\n0\n0\n2\n0\n0\n0\n0\n2\n0\n0\n0\n0\n1\n");
  G3_TRANSFO d;
  d.Load(0, &diag);
  ExpectFlags(d, true, true, false, false, 2);

  // Cut short or malformed: the error, and the map as it was.
  const char* bad[] = {"1\n0\n0\n", "1\n0\nzero\n0\n0\n1\n0\n0\n0\n0\n1\n0\n0\n0\n0\n1\n"};
  for (const char* content : bad) {
    C_FILE_MEMORY file(C_FILE::TEXT, content);
    G3_TRANSFO k = r;
    k.Load(0, &file);
    EXPECT_TRUE(C_ERROR::Is()) << content;
    C_ERROR::ClearPending();
    EXPECT_TRUE(k == r);
    ExpectFlags(k, true, true, true, false, 1);
  }

  G3_TRANSFO* c = r.Clone();
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(*c == r);
  delete c;
  c = r.CloneSame();
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(*c == r);
  delete c;
}

}  // namespace
