#include "algebra/g3_plane.h"

#include <cmath>

#include "algebra/geom_fixture.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_frame.h"
#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "measures/g_dis.h"
#include "runtime/c_file.h"

namespace {

using G3PlaneTest = GeomTest;

const double kRound = 1e-12;

void ExpectPlane(const G3_PLANE& pl, const G3_POINT& o, const G3_VECTOR& x, const G3_VECTOR& y) {
  EXPECT_NEAR_XYZ(pl.GetPo(), o.GetCx(), o.GetCy(), o.GetCz(), kRound);
  EXPECT_NEAR_XYZ(pl.GetVx(), x.GetCx(), x.GetCy(), x.GetCz(), kRound);
  EXPECT_NEAR_XYZ(pl.GetVy(), y.GetCx(), y.GetCy(), y.GetCz(), kRound);
}

TEST_F(G3PlaneTest, Constants) {
  EXPECT_XYZ(G3_PLANE::OXY.GetVx(), 1.0, 0.0, 0.0);
  EXPECT_XYZ(G3_PLANE::OXY.GetVy(), 0.0, 1.0, 0.0);
  EXPECT_XYZ(G3_PLANE::OXY.GetVz(), 0.0, 0.0, 1.0);
  EXPECT_XYZ(G3_PLANE::OXZ.GetVx(), 1.0, 0.0, 0.0);
  EXPECT_XYZ(G3_PLANE::OXZ.GetVy(), 0.0, 0.0, 1.0);
  EXPECT_XYZ(G3_PLANE::OXZ.GetVz(), 0.0, -1.0, 0.0);  // -Y
  EXPECT_XYZ(G3_PLANE::OYZ.GetVx(), 0.0, 1.0, 0.0);
  EXPECT_XYZ(G3_PLANE::OYZ.GetVy(), 0.0, 0.0, 1.0);
  EXPECT_XYZ(G3_PLANE::OYZ.GetVz(), 1.0, 0.0, 0.0);
  for (const G3_PLANE* p : {&G3_PLANE::OXY, &G3_PLANE::OXZ, &G3_PLANE::OYZ}) {
    EXPECT_XYZ(p->GetPo(), 0.0, 0.0, 0.0);
  }
  EXPECT_TRUE(G3_PLANE() == G3_PLANE::OXY);
  EXPECT_EQ(Take(), nullptr);
}

TEST_F(G3PlaneTest, ConstructorsMakeAnOrthonormalPlane) {
  const G3_POINT o(1, 2, 3);
  // Vy becomes the part of vy orthogonal to vx.
  ExpectPlane(G3_PLANE(o, G3_VECTOR1::VX, G3_VECTOR1(1, 1, 0)), o, G3_VECTOR(1, 0, 0),
              G3_VECTOR(0, 1, 0));
  ExpectPlane(G3_PLANE(o, G3_VECTOR1(0, 0, 1), G3_VECTOR1(1, 0, -1)), o, G3_VECTOR(0, 0, 1),
              G3_VECTOR(1, 0, 0));
  // Three points.
  ExpectPlane(G3_PLANE(G3_POINT(1, 1, 1), G3_POINT(3, 1, 1), G3_POINT(2, 5, 1)),
              G3_POINT(1, 1, 1), G3_VECTOR(1, 0, 0), G3_VECTOR(0, 1, 0));
  EXPECT_EQ(Take(), nullptr);
  // Collinear points: Vy falls back on (1, 0, 0), error pending.
  const G3_PLANE flat(G3_POINT(0, 0, 0), G3_POINT(0, 1, 0), G3_POINT(0, 3, 0));
  EXPECT_EQ(Take(), &GerrNullVector);
  EXPECT_XYZ(flat.GetVy(), 1.0, 0.0, 0.0);
  // A degenerate plane's normal is (1, 0, 0), with the error.
  const G3_PLANE same(o, G3_VECTOR1::VX, G3_VECTOR1::VX);
  C_ERROR::ClearPending();
  const G3_VECTOR1 n = same.GetVz();
  EXPECT_XYZ(n, 1.0, 0.0, 0.0);
  EXPECT_EQ(Take(), &GerrNullVector);

  // From a frame: its origin, Vx and Vy.
  ExpectPlane(G3_PLANE(G3_FRAME(o)), o, G3_VECTOR(1, 0, 0), G3_VECTOR(0, 1, 0));
}

TEST_F(G3PlaneTest, PlaneFromANormal) {
  const G3_POINT o(4, 5, 6);
  ExpectPlane(G3_PLANE(o, G3_VECTOR1::VZ), o, G3_VECTOR(1, 0, 0), G3_VECTOR(0, 1, 0));
  ExpectPlane(G3_PLANE(o, G3_VECTOR1::VX), o, G3_VECTOR(0, 1, 0), G3_VECTOR(0, 0, 1));
  const G3_PLANE down(o, G3_VECTOR1(0, 0, -1));
  EXPECT_NEAR_XYZ(down.GetVz(), 0.0, 0.0, -1.0, kRound);

  // The reference switches from X to Y only strictly above |n.x| = 0.99,
  // which flips the sign of Vy here.
  const double s = std::sqrt(1 - 0.99 * 0.99);
  const G3_VECTOR1 at(0.99, s, 0);
  ASSERT_EQ(at.GetCx(), 0.99);
  EXPECT_NEAR_XYZ(G3_PLANE(o, at).GetVy(), 0.0, 0.0, -1.0, kRound);
  const double s2 = std::sqrt(1 - 0.995 * 0.995);
  EXPECT_NEAR_XYZ(G3_PLANE(o, G3_VECTOR1(0.995, s2, 0)).GetVy(), 0.0, 0.0, 1.0, kRound);
  // Whatever the reference, the normal is the one given.
  for (const G3_VECTOR1& n : {at, G3_VECTOR1(0.2, -0.3, 0.9), G3_VECTOR1(-1, 0.01, 0)}) {
    const G3_PLANE pl(o, n);
    EXPECT_NEAR_XYZ(pl.GetVz(), n.GetCx(), n.GetCy(), n.GetCz(), kRound);
    EXPECT_NEAR(pl.GetVx() * pl.GetVy(), 0, kRound);
  }
  EXPECT_EQ(Take(), nullptr);
}

TEST_F(G3PlaneTest, DirectionsSetAndInverted) {
  G3_PLANE pl(G3_POINT(1, 1, 1), G3_VECTOR1::VZ);
  pl.SetVxVy(G3_VECTOR1::VY, G3_VECTOR1(1, 1, 0));
  EXPECT_EQ(Take(), nullptr);
  ExpectPlane(pl, G3_POINT(1, 1, 1), G3_VECTOR(0, 1, 0), G3_VECTOR(1, 0, 0));
  EXPECT_NEAR_XYZ(pl.GetVz(), 0.0, 0.0, -1.0, kRound);
  // Parallel directions: error, plane unchanged.
  const G3_PLANE before = pl;
  pl.SetVxVy(G3_VECTOR1::VX, G3_VECTOR1(-1, 0, 0));
  EXPECT_EQ(Take(), &GerrNullVector);
  EXPECT_TRUE(pl == before);

  G3_PLANE q = G3_PLANE::OXY;
  q.InvertVx();
  EXPECT_XYZ(q.GetVz(), 0.0, 0.0, -1.0);
  q.InvertVy();
  EXPECT_XYZ(q.GetVz(), 0.0, 0.0, 1.0);
  EXPECT_XYZ(q.GetVx(), -1.0, 0.0, 0.0);
  q.SetPo(G3_POINT(0, 0, 2));
  EXPECT_XYZ(q.GetPosit(2, 3), -2.0, -3.0, 2.0);
  q.Offset(G_DIS(-0.5));
  EXPECT_XYZ(q.GetPo(), 0.0, 0.0, 1.5);
  G3_PLANE r = G3_PLANE::OXZ;
  r.Offset(G_DIS(2));  // along the normal -Y
  EXPECT_XYZ(r.GetPo(), 0.0, -2.0, 0.0);
}

TEST_F(G3PlaneTest, AnglesAndProjections) {
  const G3_PLANE pl(G3_POINT(1, 2, 3), G3_VECTOR1::VX, G3_VECTOR1::VY);
  EXPECT_NEAR_XYZ(pl.GetVa(90), 0.0, 1.0, 0.0, kRound);
  EXPECT_NEAR_XYZ(pl.GetVa(180), -1.0, 0.0, 0.0, kRound);
  EXPECT_NEAR_XYZ(pl.GetVa(-45), std::sqrt(0.5), -std::sqrt(0.5), 0.0, kRound);
  EXPECT_NEAR_XYZ(G3_PLANE::OYZ.GetVa(90), 0.0, 0.0, 1.0, kRound);

  double u = 0, v = 0;
  EXPECT_XYZ(pl.GetProj(G3_POINT(4, 6, 10), &u, &v), 4.0, 6.0, 3.0);
  EXPECT_EQ(u, 3);
  EXPECT_EQ(v, 4);
  EXPECT_XYZ(pl.GetProj(G3_VECTOR(1, 2, 3), &u, &v), 1.0, 2.0, 0.0);
  EXPECT_EQ(u, 1);
  EXPECT_EQ(v, 2);
  EXPECT_XYZ(G3_PLANE::OXZ.GetProj(G3_POINT(1, 2, 3)), 1.0, 0.0, 3.0);

  EXPECT_TRUE(pl.IsInHalfSpace(G3_POINT(-7, 9, 3)));  // on the plane
  EXPECT_TRUE(pl.IsInHalfSpace(G3_POINT(0, 0, 4)));
  EXPECT_FALSE(pl.IsInHalfSpace(G3_POINT(0, 0, 2.999)));
  EXPECT_TRUE(G3_PLANE::OXZ.IsInHalfSpace(G3_POINT(0, -1, 0)));
}

TEST_F(G3PlaneTest, AxisCrossingThePlane) {
  const G3_PLANE pl(G3_POINT(1, 1, 1), G3_VECTOR1::VX, G3_VECTOR1::VY);
  G3_POINT p;
  double u = 0, v = 0;
  EXPECT_TRUE(pl.DoesIntersect(G3_AXIS(G3_POINT(3, 4, -2), G3_VECTOR1::VZ), &p, &u, &v));
  EXPECT_XYZ(p, 3.0, 4.0, 1.0);
  EXPECT_EQ(u, 2);
  EXPECT_EQ(v, 3);
  EXPECT_TRUE(G3_PLANE::OXY.DoesIntersect(G3_AXIS(G3_POINT(0, 0, 1), G3_VECTOR1(1, 0, -1)), &p));
  EXPECT_NEAR_XYZ(p, 1.0, 0.0, 0.0, kRound);
  EXPECT_XYZ(G3_PLANE::OXY.GetInter(G3_AXIS(G3_POINT(1, 2, 5), G3_VECTOR1::VZ), &u, &v), 1.0,
             2.0, 0.0);
  EXPECT_EQ(Take(), nullptr);

  // Parallel strictly below G_ANG::MinSin; (1, 0, 1e-9) is unit as it stands.
  p = G3_POINT(9, 9, 9);
  u = v = 99;
  EXPECT_FALSE(pl.DoesIntersect(G3_AXIS::OX, &p, &u, &v));
  EXPECT_FALSE(pl.DoesIntersect(G3_AXIS(G3_POINT::P0, G3_VECTOR1(1, 0, 0.99e-9)), &p, &u, &v));
  EXPECT_XYZ(p, 9.0, 9.0, 9.0);
  EXPECT_EQ(u, 99);
  EXPECT_EQ(v, 99);
  EXPECT_TRUE(pl.DoesIntersect(G3_AXIS(G3_POINT::P0, G3_VECTOR1(1, 0, 1e-9))));
  EXPECT_EQ(Take(), nullptr);

  EXPECT_XYZ(pl.GetInter(G3_AXIS::OY, &u, &v), 1.0, 1.0, 1.0);
  const C_ERROR* e = C_ERROR::GetPending();
  EXPECT_EQ(e, &GerrNoIntersection);
  EXPECT_TRUE(e != nullptr && e->IsMild());
  C_ERROR::ClearPending();
  EXPECT_EQ(u, 99);
}

TEST_F(G3PlaneTest, TwoPlanes) {
  // z = 0 and x = 3: the line x = 3, z = 0 along Y.
  const G3_PLANE x3(G3_POINT(3, 5, 7), G3_VECTOR1::VY, G3_VECTOR1::VZ);
  const G3_AXIS line = G3_PLANE::OXY.GetInter(x3);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_NEAR_XYZ(line.GetPo(), 3.0, 0.0, 0.0, kRound);
  EXPECT_NEAR_XYZ(line.GetVx(), 0.0, 1.0, 0.0, kRound);
  // The other order reverses the direction.
  const G3_AXIS back = x3.GetInter(G3_PLANE::OXY);
  EXPECT_NEAR_XYZ(back.GetVx(), 0.0, -1.0, 0.0, kRound);
  EXPECT_NEAR(back.GetPo().GetCx(), 3, kRound);
  EXPECT_NEAR(back.GetPo().GetCz(), 0, kRound);
  // Slanted: the plane x + z = 2 (normal (1, 0, 1)/sqrt2) meets z = 0 at x = 2.
  const G3_PLANE slant(G3_POINT(2, 0, 0), G3_VECTOR1(1, 0, 1));
  const G3_AXIS l2 = G3_PLANE::OXY.GetInter(slant);
  EXPECT_NEAR(l2.GetPo().GetCx(), 2, kRound);
  EXPECT_NEAR(l2.GetPo().GetCz(), 0, kRound);
  EXPECT_NEAR(std::fabs(l2.GetVx().GetCy()), 1, kRound);

  // Parallel (either sense): the default axis and GerrNullVector.
  G3_PLANE lifted = G3_PLANE::OXY;
  lifted.SetPo(G3_POINT(1, 2, 3));
  lifted.InvertVx();
  const G3_AXIS none = G3_PLANE::OXY.GetInter(lifted);
  EXPECT_EQ(Take(), &GerrNullVector);
  EXPECT_TRUE(none == G3_AXIS::OX);
}

TEST_F(G3PlaneTest, ThreePlanes) {
  const G3_PLANE x3(G3_POINT(3, 5, 7), G3_VECTOR1::VY, G3_VECTOR1::VZ);
  const G3_PLANE yMinus2(G3_POINT(0, -2, 0), G3_VECTOR1::VX, G3_VECTOR1::VZ);
  const G3_PLANE z1(G3_POINT(9, 9, 1), G3_VECTOR1::VZ);
  EXPECT_NEAR_XYZ(z1.GetInter(x3, yMinus2), 3.0, -2.0, 1.0, kRound);
  EXPECT_NEAR_XYZ(x3.GetInter(z1, yMinus2), 3.0, -2.0, 1.0, kRound);
  EXPECT_EQ(Take(), nullptr);
  // No line between the last two: the origin.
  const G3_POINT none = z1.GetInter(x3, x3);
  EXPECT_XYZ(none, 0.0, 0.0, 0.0);
  EXPECT_EQ(Take(), &GerrNullVector);
  // A line parallel to this plane: its origin, no intersection.
  const G3_PLANE z5(G3_POINT(1, 1, 5), G3_VECTOR1::VZ);
  const G3_POINT po = z5.GetInter(G3_PLANE::OXY, G3_PLANE::OXZ);
  EXPECT_XYZ(po, 1.0, 1.0, 5.0);
  EXPECT_EQ(Take(), &GerrNoIntersection);
}

TEST_F(G3PlaneTest, ParallelAndSamePlane) {
  G3_PLANE flipped = G3_PLANE::OXY;
  flipped.InvertVx();
  EXPECT_TRUE(G3_PLANE::OXY.IsParallelTo(flipped, 0, G_ANG::MinSin2));
  G3_PLANE far = G3_PLANE::OXY;
  far.SetPo(G3_POINT(0, 0, 1e6));
  EXPECT_TRUE(G3_PLANE::OXY.IsParallelTo(far, 0, G_ANG::MinSin2));  // distance ignored
  EXPECT_FALSE(G3_PLANE::OXY.IsParallelTo(G3_PLANE::OXZ, 1e9, G_ANG::MinSin2));
  EXPECT_TRUE(G3_PLANE::OXY.IsParallelTo(G3_PLANE::OXZ, 0, 1.0));  // bound included

  EXPECT_TRUE(G3_PLANE::OXY.IsOn(flipped, G_DIS::Min, G_ANG::MinSin2));
  G3_PLANE up = G3_PLANE::OXY;
  up.SetPo(G3_POINT(5, 5, 0.5));
  EXPECT_FALSE(G3_PLANE::OXY.IsOn(up, 0.5, G_ANG::MinSin2));  // strict
  EXPECT_TRUE(G3_PLANE::OXY.IsOn(up, 0.5000001, G_ANG::MinSin2));
  // Same origin, turned: both origins on both planes, normals apart.
  EXPECT_FALSE(G3_PLANE::OXY.IsOn(G3_PLANE::OYZ, 1.0, G_ANG::MinSin2));
}

TEST_F(G3PlaneTest, ExactOrder) {
  const G3_PLANE a(G3_POINT(1, 0, 0), G3_VECTOR1::VX, G3_VECTOR1::VY);
  const G3_PLANE b(G3_POINT(1, 0, 0), G3_VECTOR1::VX, G3_VECTOR1::VZ);
  const G3_PLANE c(G3_POINT(1, 0, 0), G3_VECTOR1::VY, G3_VECTOR1::VX);
  EXPECT_TRUE(a > b);  // Vy decides
  EXPECT_TRUE(a > c);  // Vx decides before Vy
  EXPECT_FALSE(a > a);
  EXPECT_TRUE(a > G3_PLANE::OXY);  // Po decides first
  EXPECT_FALSE(a == b);
  G3_PLANE d;
  d = a;
  EXPECT_TRUE(d == a);
}

TEST_F(G3PlaneTest, Records) {
  const G3_PLANE pl(G3_POINT(1, 2, 3), G3_VECTOR1::VY, G3_VECTOR1(0, 0, -1));
  C_FILE_MEMORY text(C_FILE::TEXT);
  pl.Save(&text);
  EXPECT_EQ(text.GetContent(), "P1 2 3\nV0 1 0\nV0 0 -1\n");
  C_FILE_MEMORY bin(C_FILE::BINARY);
  pl.Save(&bin);
  EXPECT_EQ(bin.GetContent(), Bytes({1, 2, 3, 0, 1, 0, 0, 0, -1}));
  for (C_FILE_MEMORY* f : {&text, &bin}) {
    f->Rewind();
    G3_PLANE back;
    back.Load(0, f);
    EXPECT_EQ(Take(), nullptr);
    EXPECT_TRUE(back == pl);
  }
  // A record short of its last vector: error, plane unchanged.
  C_FILE_MEMORY cut(C_FILE::TEXT, "P1 2 3\nV0 1 0\nV0 0\n");
  G3_PLANE kept = G3_PLANE::OYZ;
  kept.Load(0, &cut);
  EXPECT_EQ(Take(), &CerrStringNotReal);
  EXPECT_TRUE(kept == G3_PLANE::OYZ);
  C_FILE_MEMORY binCut(C_FILE::BINARY, Bytes({1, 2, 3, 0, 1, 0, 0, 0}));
  kept.Load(0, &binCut);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  EXPECT_TRUE(kept == G3_PLANE::OYZ);
  // A stream of another type reads nothing and keeps the plane.
  C_FILE_MEMORY other(2, "P1 2 3\nV0 1 0\nV0 0 -1\n");
  kept.Load(0, &other);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_TRUE(kept == G3_PLANE::OYZ);
}

}  // namespace
