#include "algebra/g3_plane.h"

#include <cmath>

#include "algebra/geom_fixture.h"
#include "algebra/g3_axis.h"
#include "measures/g_ang.h"
#include "measures/g_dis.h"

namespace {

using G3PlaneTest = GeomTest;

const double kRound = 1e-12;

// Po, Vx and Vy to rounding.
bool IsPlane(const G3_PLANE& pl, const G3_POINT& o, const G3_VECTOR& x, const G3_VECTOR& y) {
  return Near(Xyz(pl.GetPo()), Xyz(o), kRound) && Near(Xyz(pl.GetVx()), Xyz(x), kRound) &&
         Near(Xyz(pl.GetVy()), Xyz(y), kRound);
}

TEST_F(G3PlaneTest, Constructors) {
  const G3_POINT o(1, 2, 3);
  const G3_VECTOR x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
  EXPECT_TRUE(IsPlane(G3_PLANE::OXZ, G3_POINT::P0, x, z) && G3_PLANE::OXZ.GetVz() == -y);
  // Vy becomes the part of vy orthogonal to vx.
  EXPECT_TRUE(IsPlane(G3_PLANE(o, G3_VECTOR1::VZ, G3_VECTOR1(1, 0, -1)), o, z, x));
  const G3_PLANE byPoints(o, G3_POINT(3, 2, 3), G3_POINT(2, 6, 3));
  EXPECT_TRUE(AndError(IsPlane(byPoints, o, x, y), nullptr));
  // Collinear points: Vy falls back on (1, 0, 0); a degenerate plane's normal
  // is (1, 0, 0). Both with the error.
  const G3_PLANE line(G3_POINT::P0, G3_POINT(0, 1, 0), G3_POINT(0, 3, 0));
  EXPECT_XYZ_ERR(line.GetVy(), 1.0, 0.0, 0.0, &GerrNullVector);
  const G3_PLANE same(o, G3_VECTOR1::VX, G3_VECTOR1::VX);
  C_ERROR::ClearPending();
  EXPECT_XYZ_ERR(same.GetVz(), 1.0, 0.0, 0.0, &GerrNullVector);

  // From a normal. The reference switches from X to Y only strictly above
  // |n.x| = 0.99, which flips the sign of Vy here.
  EXPECT_TRUE(IsPlane(G3_PLANE(o, G3_VECTOR1::VX), o, y, z));
  const G3_VECTOR1 at(0.99, std::sqrt(1 - 0.99 * 0.99), 0);
  EXPECT_NEAR_XYZ(G3_PLANE(o, at).GetVy(), 0.0, 0.0, -1.0, kRound);
  const double s2 = std::sqrt(1 - 0.995 * 0.995);
  EXPECT_NEAR_XYZ(G3_PLANE(o, G3_VECTOR1(0.995, s2, 0)).GetVy(), 0.0, 0.0, 1.0, kRound);
  // Whatever the reference, the normal is the one given.
  for (const G3_VECTOR1& n : {at, G3_VECTOR1(0.2, -0.3, 0.9)}) {
    EXPECT_NEAR_XYZ(G3_PLANE(o, n).GetVz(), n.GetCx(), n.GetCy(), n.GetCz(), kRound);
  }
}

TEST_F(G3PlaneTest, DirectionsAnglesAndProjections) {
  G3_PLANE pl(G3_POINT(1, 2, 3), G3_VECTOR1::VZ);
  pl.SetVxVy(G3_VECTOR1::VY, G3_VECTOR1(1, 1, 0));
  EXPECT_TRUE(AndError(IsPlane(pl, pl.GetPo(), G3_VECTOR(0, 1, 0), G3_VECTOR(1, 0, 0)), nullptr));
  // Parallel directions: error, plane unchanged.
  const G3_PLANE before = pl;
  pl.SetVxVy(G3_VECTOR1::VX, G3_VECTOR1(-1, 0, 0));
  EXPECT_TRUE(AndError(pl == before, &GerrNullVector));
  pl.InvertVx();  // each inversion flips the normal
  EXPECT_XYZ(pl.GetVz(), 0.0, 0.0, 1.0);
  pl.Offset(G_DIS(-0.5));  // along the normal
  EXPECT_XYZ(pl.GetPosit(2, 3), 4.0, 0.0, 2.5);
  double u = 0, v = 0;
  EXPECT_XYZ(pl.GetProj(G3_POINT(4, 6, 10), &u, &v), 4.0, 6.0, 2.5);
  EXPECT_TRUE(u == -4 && v == 3);
  // On the plane is inside.
  EXPECT_TRUE(pl.IsInHalfSpace(G3_POINT(-7, 9, 2.5)) && !pl.IsInHalfSpace(G3_POINT(0, 0, 2.499)));
}

TEST_F(G3PlaneTest, AxisCrossingThePlane) {
  const G3_PLANE pl(G3_POINT(1, 1, 1), G3_VECTOR1::VX, G3_VECTOR1::VY);
  G3_POINT p;
  double u = 0, v = 0;
  EXPECT_TRUE(pl.DoesIntersect(G3_AXIS(G3_POINT(3, 4, -2), G3_VECTOR1(1, 0, 1)), &p, &u, &v));
  EXPECT_TRUE(Near(Xyz(p), {6, 4, 1}, kRound) && Near<2>({u, v}, {5, 3}, kRound));
  EXPECT_EQ(Take(), nullptr);
  // Parallel strictly below G_ANG::MinSin ((1, 0, 1e-9) is unit as it stands):
  // nothing written.
  p = G3_POINT(9, 9, 9);
  u = v = 99;
  EXPECT_FALSE(pl.DoesIntersect(G3_AXIS(G3_POINT::P0, G3_VECTOR1(1, 0, 0.99e-9)), &p, &u, &v));
  EXPECT_TRUE(p == G3_POINT(9, 9, 9) && u == 99 && v == 99);
  EXPECT_TRUE(pl.DoesIntersect(G3_AXIS(G3_POINT::P0, G3_VECTOR1(1, 0, 1e-9))));
  EXPECT_XYZ(pl.GetInter(G3_AXIS::OY, &u, &v), 1.0, 1.0, 1.0);
  EXPECT_TRUE(TakeMildNoIntersection() && u == 99);
}

TEST_F(G3PlaneTest, IntersectionsOfPlanes) {
  // z = 0 and x = 3: the line x = 3, z = 0 along Y.
  const G3_PLANE x3(G3_POINT(3, 5, 7), G3_VECTOR1::VY, G3_VECTOR1::VZ);
  const G3_AXIS l = G3_PLANE::OXY.GetInter(x3);
  EXPECT_TRUE(Near(Xyz(l.GetPo()), {3, 0, 0}, kRound) && Near(Xyz(l.GetVx()), {0, 1, 0}, kRound));
  // Slanted: x + z = 2 meets z = 0 at x = 2.
  const G3_AXIS l2 = G3_PLANE::OXY.GetInter(G3_PLANE(G3_POINT(2, 0, 0), G3_VECTOR1(1, 0, 1)));
  EXPECT_TRUE(AndError(Near<2>({l2.GetPo().GetCx(), l2.GetPo().GetCz()}, {2, 0}, kRound), nullptr));
  // Parallel (either sense): the default axis and GerrNullVector.
  const G3_PLANE lifted(G3_POINT(1, 2, 3), G3_VECTOR1(0, 0, -1));
  EXPECT_TRUE(AndError(G3_PLANE::OXY.GetInter(lifted) == G3_AXIS::OX, &GerrNullVector));
  // Three planes, in any order.
  const G3_PLANE yMinus2(G3_POINT(0, -2, 0), G3_VECTOR1::VX, G3_VECTOR1::VZ);
  const G3_PLANE z1(G3_POINT(9, 9, 1), G3_VECTOR1::VZ);
  EXPECT_TRUE(AndError(Near(Xyz(z1.GetInter(x3, yMinus2)), {3.0, -2.0, 1.0}, kRound), nullptr));
  // No line between the last two: the origin. A line parallel to this plane: its Po.
  EXPECT_XYZ_ERR(z1.GetInter(x3, x3), 0.0, 0.0, 0.0, &GerrNullVector);
  EXPECT_XYZ_ERR(lifted.GetInter(G3_PLANE::OXY, G3_PLANE::OXZ), 1.0, 2.0, 3.0, &GerrNoIntersection);
}

TEST_F(G3PlaneTest, ParallelSameAndOrder) {
  const G3_PLANE& xy = G3_PLANE::OXY;
  const G3_PLANE flipped(G3_POINT(0, 0, 1e6), G3_VECTOR1(0, 0, -1));
  const G3_PLANE up(G3_POINT(5, 5, -0.5), G3_VECTOR1(0, 0, -1));
  // Lexicographic on Po, then Vx, then Vy.
  const G3_PLANE a(G3_POINT(1, 0, 0), G3_VECTOR1::VX, G3_VECTOR1::VY);
  const G3_PLANE b(G3_POINT(1, 0, 0), G3_VECTOR1::VX, G3_VECTOR1::VZ);
  const double s2 = G_ANG::MinSin2;
  ExpectAll({xy.IsParallelTo(flipped, 0, s2),  // distance ignored
             !xy.IsParallelTo(G3_PLANE::OXZ, 1e9, s2), xy.IsParallelTo(G3_PLANE::OXZ, 0, 1.0),
             !xy.IsOn(up, 0.5, s2), xy.IsOn(up, 0.5000001, s2),  // strict
             // Same origin, turned: both origins on both planes, normals apart.
             !xy.IsOn(G3_PLANE::OYZ, 1.0, s2), a > b, a > xy, !(a > a), !(a == b)});
}

TEST_F(G3PlaneTest, Records) {
  const G3_PLANE pl(G3_POINT(1, 2, 3), G3_VECTOR1::VY, G3_VECTOR1(0, 0, -1));
  const std::string text = Saved(pl, C_FILE::TEXT), bin = Saved(pl, C_FILE::BINARY);
  EXPECT_EQ(text, "P1 2 3\nV0 1 0\nV0 0 -1\n");
  EXPECT_EQ(bin, Bytes({1, 2, 3, 0, 1, 0, 0, 0, -1}));
  EXPECT_TRUE(RoundTrips(pl));
  // Short of its last vector: error, plane unchanged. Another stream type reads nothing.
  const G3_PLANE kept(G3_POINT(7, 8, 9), G3_VECTOR1::VY, G3_VECTOR1::VZ);
  EXPECT_TRUE(Kept(kept, C_FILE::TEXT, "P1 2 3\nV0 1 0\nV0 0\n", &CerrStringNotReal));
  EXPECT_TRUE(Kept(kept, C_FILE::BINARY, bin.substr(0, 64), &CerrEndOfFile));
  EXPECT_TRUE(Kept(kept, 2, text, nullptr));
}

}  // namespace
