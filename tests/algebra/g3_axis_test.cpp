#include "algebra/g3_axis.h"

#include <cmath>

#include "algebra/geom_fixture.h"
#include "algebra/g2_point.h"
#include "algebra/g3_plane.h"
#include "measures/g_ang.h"

namespace {

using G3AxisTest = GeomTest;

const double kRound = 1e-12;

TEST_F(G3AxisTest, ConstructionAndProjection) {
  G3_AXIS a(G3_POINT(1, 1, 1), G3_POINT(1, 1, 3));
  EXPECT_TRUE(AndError(a == G3_AXIS(G3_POINT(1, 1, 1), G3_VECTOR1::VZ), nullptr));
  EXPECT_XYZ_ERR(G3_AXIS(G3_POINT::P0, G3_POINT::P0).GetVx(), 1.0, 0.0, 0.0, &GerrNullVector);
  double t = 0;
  EXPECT_XYZ(G3_AXIS(G3_POINT(1, 0, 0), G3_VECTOR1::VY).GetProj(G3_POINT(5, 3, 2), &t), 1, 3, 0);
  EXPECT_EQ(t, 3);
  // Members reached directly, for writing too.
  a.GetPo().SetCz(5);
  a.GetVx().Invert();
  EXPECT_TRUE(a == G3_AXIS(G3_POINT(1, 1, 5), G3_VECTOR1(0, 0, -1)));
}

TEST_F(G3AxisTest, TwoAxes) {
  // OX and the line through (3, -2, 1) along (1, 1, 0): the common perpendicular
  // is at x = 5, 2 sqrt(2) along the other line.
  const G3_AXIS slant(G3_POINT(3, -2, 1), G3_VECTOR1(1, 1, 0));
  double t = 0, s = 0;
  EXPECT_NEAR_XYZ(G3_AXIS::OX.GetProj(slant, &t, &s), 5.0, 0.0, 0.0, kRound);
  EXPECT_TRUE(Near<2>({t, s}, {5, 2 * std::sqrt(2.0)}, kRound));
  // Meeting lines, also within the distance resolution.
  const G3_AXIS meets(G3_POINT(2, -4, 0), G3_VECTOR1::VY);
  EXPECT_TRUE(Near(Xyz(G3_AXIS::OX.GetInter(meets, 0, &t, &s)), {2, 0, 0}, 0) && t == 2 && s == 4);
  const G3_AXIS close(G3_POINT(2, -4, 0.5e-8), G3_VECTOR1::VY);
  EXPECT_NEAR_XYZ(G3_AXIS::OX.GetInter(close, 0), 2.0, 0.0, 0.0, kRound);
  EXPECT_EQ(Take(), nullptr);
  // Parallel lines (either sense), and for GetInter skew lines however large the
  // tolerance given: mild error, this axis's point, t and s untouched.
  const G3_AXIS start(G3_POINT(0, 0, 5), G3_VECTOR1(-1, 0, 0));
  t = s = 99;
  EXPECT_XYZ(start.GetProj(G3_AXIS::OX, &t, &s), 0.0, 0.0, 5.0);
  EXPECT_TRUE(TakeMildNoIntersection());
  EXPECT_XYZ(start.GetInter(G3_AXIS(G3_POINT(2, -4, 5 + 2e-8), G3_VECTOR1::VY), 10.0, &t, &s),
             0.0, 0.0, 5.0);
  EXPECT_TRUE(TakeMildNoIntersection());
  EXPECT_TRUE(t == 99 && s == 99);

  // Nearest points p (on this axis) and q; parallel lines take p = Po; the
  // outputs are optional.
  G3_POINT p, q;
  G3_AXIS::OX.GetNearestPoints(slant, &p, &q);
  EXPECT_NEAR_XYZ(q, 5.0, 0.0, 1.0, kRound);
  G3_AXIS::OX.GetNearestPoints(G3_AXIS(G3_POINT(5, 2, 0), G3_VECTOR1(-1, 0, 0)), &p, &q, &t, &s);
  EXPECT_TRUE(p == G3_POINT::P0 && q == G3_POINT(0, 2, 0) && t == 0 && s == 5);
  G3_AXIS::OX.GetNearestPoints(meets, nullptr, nullptr, nullptr, &s);
  EXPECT_EQ(s, 4);
}

// The triangle (0, 0, 0), (2, 0, 0), (0, 2, 0).
const G3_POINT kA(0, 0, 0), kB(2, 0, 0), kC(0, 2, 0);

TEST_F(G3AxisTest, TriangleBoundaryIsAHitInBothTests) {
  // Lines along z through each vertex and each edge midpoint (hits), and just
  // outside each edge (misses), in both senses, for the six orders of the
  // vertices (both orientations, every edge in every role): the sign test (no
  // output asked) and the barycentric test agree. A hit gives t = -3 (the
  // triangle behind the line's point) and p = a + u (b - a) + v (c - a).
  const G3_POINT v[3] = {kA, kB, kC};
  const int orders[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {2, 1, 0}, {1, 0, 2}};
  const double lines[9][3] = {{0, 0, 1},     {2, 0, 1},     {0, 2, 1},     {1, 1, 1}, {1, 0, 1},
                              {0, 1, 1},     {1, -0.25, 0}, {-0.25, 1, 0}, {1.25, 1, 0}};
  for (const auto& o : orders) {
    const G3_POINT &a = v[o[0]], &b = v[o[1]], &c = v[o[2]];
    for (double dz : {1.0, -1.0}) {
      for (const auto& q : lines) {
        const G3_AXIS ax(G3_POINT(q[0], q[1], 3 * dz), G3_VECTOR1(0, 0, dz));
        const bool hit = q[2] == 1;
        double t = 9;
        G3_POINT p(q[0], q[1], 9);
        G2_POINT uv(0, 0);
        EXPECT_EQ(bool(ax.IntersectTriangle(a, b, c)), hit) << o[0] << o[1] << o[2];
        EXPECT_EQ(bool(ax.IntersectTriangle(a, b, c, &t, &p, &uv)), hit) << q[0] << " " << q[1];
        EXPECT_NEAR_XYZ(p, q[0], q[1], hit ? 0.0 : 9.0, kRound);
        EXPECT_NEAR(t, hit ? -3 : 9, kRound);
        const G3_POINT w = a + uv.GetCx() * (b - a) + uv.GetCy() * (c - a);
        EXPECT_TRUE(!hit || Near(Xyz(w), {q[0], q[1], 0}, kRound));
      }
    }
  }
  // A line in the triangle's plane crossing it, a line parallel to an edge
  // above the plane: misses in both tests.
  double t = 0;
  for (const G3_AXIS& ax : {G3_AXIS(G3_POINT(-1, 0.5, 0), G3_VECTOR1::VX),
                            G3_AXIS(G3_POINT(0, 0.5, 1), G3_VECTOR1::VX)}) {
    EXPECT_FALSE(ax.IntersectTriangle(kA, kB, kC) || ax.IntersectTriangle(kA, kB, kC, &t));
  }
}

TEST_F(G3AxisTest, TriangleSignTestAgreesInside) {
  // Lines on a grid that avoids the boundary, straight and slanted: both tests
  // agree with the plain inside test x > 0, y > 0, x + y < 2 at z = 0.
  for (const G3_VECTOR1& d : {G3_VECTOR1::VZ, -G3_VECTOR1::VZ, G3_VECTOR1(0.3, -0.2, 1)}) {
    for (int i = 0; i < 100; ++i) {
      const double x = -0.45 + 0.3 * (i / 10), y = -0.45 + 0.3 * (i % 10);
      const bool inside = x > 0 && y > 0 && x + y < 2;
      const G3_AXIS ax(G3_POINT(x, y, 0) - 4 * d, d);
      double t = 0;
      EXPECT_EQ(bool(ax.IntersectTriangle(kA, kB, kC)), inside) << x << " " << y;
      EXPECT_EQ(bool(ax.IntersectTriangle(kA, kB, kC, &t)), inside) << x << " " << y;
      EXPECT_NEAR(t, inside ? 4 : 0, kRound);  // a miss writes nothing
    }
  }
}

TEST_F(G3AxisTest, SphereAndEllipsoid) {
  double t1 = 0, t2 = 0;
  G3_POINT p1, p2;
  // The parameters are the axis's own: measured from its point.
  const G3_AXIS ax(G3_POINT(5, 0.6, 0), G3_VECTOR1::VX);
  EXPECT_TRUE(ax.IntersectSphere(G3_POINT::P0, 1, &t1, &p1, &t2, &p2));
  EXPECT_TRUE(Near<2>({t1, t2}, {-5.8, -4.2}, kRound));
  // Tangent: two equal roots.
  const G3_AXIS tangent(G3_POINT(3, 1, 0), G3_VECTOR1::VX);
  EXPECT_TRUE(tangent.IntersectSphere(G3_POINT::P0, 1, &t1, nullptr, &t2) && t1 == -3 && t2 == -3);
  // (x/a)^2 + (y/b)^2 + (z/c)^2 = 3: the diagonal passes through the corners
  // (+-a, +-b, +-c) = (1, 2, 3), here about a moved centre.
  const G3_AXIS diag(G3_POINT(10, 0, 0), G3_VECTOR1(1, 2, 3));
  EXPECT_TRUE(diag.IntersectAAEllipsoid(G3_POINT(10, 0, 0), 1, 2, 3, &t1, &p1, nullptr, &p2));
  EXPECT_NEAR_XYZ(p1, 9.0, -2.0, -3.0, kRound);
  EXPECT_NEAR_XYZ(p2, 11.0, 2.0, 3.0, kRound);
  // (y/b)^2 = 4 > 3: a miss, nothing written (t1 stays the first root, -sqrt(14)).
  EXPECT_FALSE(G3_AXIS(G3_POINT(0, 2, 0), G3_VECTOR1::VX).IntersectAAEllipsoid(G3_POINT::P0, 1,
                                                                               1, 1, &t1));
  EXPECT_EQ(t1, -std::sqrt(14.0));
}

TEST_F(G3AxisTest, Coincidence) {
  const G3_AXIS& ox = G3_AXIS::OX;
  const G3_AXIS back(G3_POINT(5, 0, 0), G3_VECTOR1(-1, 0, 0));
  const G3_AXIS off(G3_POINT(5, 0.5, 0), G3_VECTOR1::VX);
  const G3_AXIS above(G3_POINT(1, 2, 0.5), G3_VECTOR1(1, 1, 0));
  const double s2 = G_ANG::MinSin2;
  ExpectAll({ox.IsOn(back, G_DIS::Min, s2, false), !ox.IsOn(back, G_DIS::Min, s2, true),
             !ox.IsOn(off, 0.5, s2, true), ox.IsOn(off, 0.5000001, s2, true),  // strict
             // Through the same point but turned; the angular bound is included.
             !ox.IsOn(G3_AXIS::OY, 1.0, s2, false), ox.IsOn(G3_AXIS::OY, 1.0, 1.0, false),
             // In a plane, strict.
             !G3_AXIS::OZ.IsOn(G3_PLANE::OXY, G_DIS::Min, s2),
             !above.IsOn(G3_PLANE::OXY, 0.5, s2), above.IsOn(G3_PLANE::OXY, 0.5000001, s2)});
}

TEST_F(G3AxisTest, Records) {
  const G3_AXIS ax(G3_POINT(1, 2, 3), G3_VECTOR1(0, 0, -1));
  EXPECT_EQ(Saved(ax, C_FILE::TEXT), "P1 2 3\nV0 0 -1\n");
  EXPECT_EQ(Saved(ax, C_FILE::BINARY), Bytes({1, 2, 3, 0, 0, -1}));
  EXPECT_TRUE(RoundTrips(ax));
  // A missing or misplaced record: the error, and the axis unchanged; a
  // stream of another type reads nothing and keeps the axis.
  EXPECT_TRUE(Kept(ax, C_FILE::TEXT, "P4 5 6\n", &CerrEndOfFile));
  EXPECT_TRUE(Kept(ax, C_FILE::TEXT, "V0 0 1\nP4 5 6\n", &GerrInvalidFilePointExpected));
  EXPECT_TRUE(Kept(ax, 2, "P4 5 6\nV0 1 0\n", nullptr));
}

}  // namespace
