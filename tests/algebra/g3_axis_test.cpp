#include "algebra/g3_axis.h"

#include <cmath>

#include "algebra/geom_fixture.h"
#include "algebra/g2_point.h"
#include "algebra/g3_plane.h"
#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "runtime/c_file.h"

namespace {

using G3AxisTest = GeomTest;

const double kRound = 1e-12;

TEST_F(G3AxisTest, ConstructionAndConstants) {
  EXPECT_XYZ(G3_AXIS::OX.GetPo(), 0.0, 0.0, 0.0);
  EXPECT_XYZ(G3_AXIS::OX.GetVx(), 1.0, 0.0, 0.0);
  EXPECT_XYZ(G3_AXIS::OY.GetVx(), 0.0, 1.0, 0.0);
  EXPECT_XYZ(G3_AXIS::OZ.GetVx(), 0.0, 0.0, 1.0);
  EXPECT_TRUE(G3_AXIS() == G3_AXIS::OX);

  const G3_AXIS a(G3_POINT(1, 1, 1), G3_POINT(1, 1, 3));
  EXPECT_EQ(Take(), nullptr);
  EXPECT_XYZ(a.GetPo(), 1.0, 1.0, 1.0);
  EXPECT_XYZ(a.GetVx(), 0.0, 0.0, 1.0);
  const G3_AXIS same(G3_POINT(1, 1, 1), G3_POINT(1, 1, 1));
  EXPECT_EQ(Take(), &GerrNullVector);
  EXPECT_XYZ(same.GetVx(), 1.0, 0.0, 0.0);

  G3_AXIS b = a;
  b.Invert();
  EXPECT_XYZ(b.GetVx(), 0.0, 0.0, -1.0);
  EXPECT_XYZ(b.GetPosit(2), 1.0, 1.0, -1.0);
  b.SetPo(G3_POINT(4, 5, 6));
  b.SetVx(G3_VECTOR1::VY);
  EXPECT_XYZ(b.GetPosit(-1), 4.0, 4.0, 6.0);
}

TEST_F(G3AxisTest, ExactOrder) {
  const G3_AXIS a(G3_POINT(1, 0, 0), G3_VECTOR1::VZ);
  const G3_AXIS b(G3_POINT(1, 0, 0), G3_VECTOR1::VY);
  const G3_AXIS c(G3_POINT(0, 9, 9), G3_VECTOR1::VX);
  EXPECT_TRUE(b > a);  // same point: the direction decides
  EXPECT_FALSE(a > b);
  EXPECT_TRUE(a > c);  // the point decides first
  EXPECT_FALSE(a > a);
  EXPECT_TRUE(a == G3_AXIS(G3_POINT(1, 0, 0), G3_VECTOR1(0, 0, 2)));
  EXPECT_FALSE(a == b);
}

TEST_F(G3AxisTest, ProjectionOfAPoint) {
  const G3_AXIS ax(G3_POINT(1, 0, 0), G3_VECTOR1::VY);
  double t = 0;
  EXPECT_XYZ(ax.GetProj(G3_POINT(5, 3, 2), &t), 1.0, 3.0, 0.0);
  EXPECT_EQ(t, 3);
  EXPECT_XYZ(ax.GetProj(G3_POINT(0, -2, 0)), 1.0, -2.0, 0.0);
}

TEST_F(G3AxisTest, NearestPointToAnotherAxis) {
  // OX and the line x = 2, z = 3 along Y: the common perpendicular is at x = 2.
  const G3_AXIS other(G3_POINT(2, -4, 3), G3_VECTOR1::VY);
  double t = 0, s = 0;
  EXPECT_XYZ(G3_AXIS::OX.GetProj(other, &t, &s), 2.0, 0.0, 0.0);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(t, 2);
  EXPECT_EQ(s, 4);
  EXPECT_XYZ(other.GetProj(G3_AXIS::OX, &t, &s), 2.0, 0.0, 3.0);
  EXPECT_EQ(t, 4);
  EXPECT_EQ(s, 2);

  // Parallel (either sense): mild error, this axis's point, t and s untouched.
  const G3_AXIS back(G3_POINT(7, 1, 0), G3_VECTOR1(-1, 0, 0));
  t = s = 99;
  EXPECT_XYZ(back.GetProj(G3_AXIS::OX, &t, &s), 7.0, 1.0, 0.0);
  const C_ERROR* e = C_ERROR::GetPending();
  ASSERT_EQ(e, &GerrNoIntersection);
  EXPECT_TRUE(e->IsMild());
  C_ERROR::ClearPending();
  EXPECT_EQ(t, 99);
  EXPECT_EQ(s, 99);
}

TEST_F(G3AxisTest, IntersectionOfTwoAxes) {
  double t = 0, s = 0;
  const G3_AXIS meets(G3_POINT(2, -4, 0), G3_VECTOR1::VY);
  EXPECT_XYZ(G3_AXIS::OX.GetInter(meets, 0, &t, &s), 2.0, 0.0, 0.0);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(t, 2);
  EXPECT_EQ(s, 4);
  // Within the distance resolution the lines still meet.
  const G3_AXIS close(G3_POINT(2, -4, 0.5e-8), G3_VECTOR1::VY);
  EXPECT_NEAR_XYZ(G3_AXIS::OX.GetInter(close, 0), 2.0, 0.0, 0.0, kRound);
  EXPECT_EQ(Take(), nullptr);

  // Skew lines, however large the tolerance given: mild error and this Po.
  const G3_AXIS start(G3_POINT(0, 0, 5), G3_VECTOR1::VX);
  for (double z : {3.0, 2e-8}) {
    t = s = 99;
    const G3_AXIS skew(G3_POINT(2, -4, 5 + z), G3_VECTOR1::VY);
    EXPECT_XYZ(start.GetInter(skew, 10.0, &t, &s), 0.0, 0.0, 5.0);
    const C_ERROR* e = C_ERROR::GetPending();
    EXPECT_EQ(e, &GerrNoIntersection) << z;
    EXPECT_TRUE(e != nullptr && e->IsMild());
    C_ERROR::ClearPending();
    EXPECT_EQ(t, 99);
    EXPECT_EQ(s, 99);
  }
  // Parallel lines.
  EXPECT_XYZ(start.GetInter(G3_AXIS::OX, 1.0), 0.0, 0.0, 5.0);
  EXPECT_EQ(Take(), &GerrNoIntersection);
}

TEST_F(G3AxisTest, NearestPoints) {
  const G3_AXIS other(G3_POINT(2, -4, 3), G3_VECTOR1::VY);
  G3_POINT p, q;
  double t = 0, s = 0;
  G3_AXIS::OX.GetNearestPoints(other, &p, &q, &t, &s);
  EXPECT_XYZ(p, 2.0, 0.0, 0.0);
  EXPECT_XYZ(q, 2.0, 0.0, 3.0);
  EXPECT_EQ(t, 2);
  EXPECT_EQ(s, 4);
  // Slanted: OX and the line through (0, 0, 1) along (1, 1, 0)/sqrt2 meet
  // (in projection) at the origin.
  const G3_AXIS slant(G3_POINT(0, 0, 1), G3_VECTOR1(1, 1, 0));
  G3_AXIS::OX.GetNearestPoints(slant, &p, &q, &t, &s);
  EXPECT_NEAR_XYZ(p, 0.0, 0.0, 0.0, kRound);
  EXPECT_NEAR_XYZ(q, 0.0, 0.0, 1.0, kRound);

  // Parallel: p is this axis's point, q its foot on the other line.
  const G3_AXIS back(G3_POINT(5, 2, 0), G3_VECTOR1(-1, 0, 0));
  G3_AXIS::OX.GetNearestPoints(back, &p, &q, &t, &s);
  EXPECT_XYZ(p, 0.0, 0.0, 0.0);
  EXPECT_XYZ(q, 0.0, 2.0, 0.0);
  EXPECT_EQ(t, 0);
  EXPECT_EQ(s, 5);
  // Every output is optional.
  G3_AXIS::OX.GetNearestPoints(other, nullptr, nullptr, nullptr, &s);
  EXPECT_EQ(s, 4);
  G3_AXIS::OX.GetNearestPoints(back, nullptr, nullptr, nullptr, nullptr);
  EXPECT_EQ(Take(), nullptr);
}

// The triangle (0, 0, 0), (2, 0, 0), (0, 2, 0).
const G3_POINT kA(0, 0, 0), kB(2, 0, 0), kC(0, 2, 0);

TEST_F(G3AxisTest, TriangleBarycentric) {
  double t = 0;
  G3_POINT p;
  G2_POINT uv;
  // Both senses of the line (the determinant changes sign), negative t too.
  for (double dz : {1.0, -1.0}) {
    const G3_AXIS ax(G3_POINT(0.5, 0.5, -3 * dz), G3_VECTOR1(0, 0, dz));
    EXPECT_TRUE(ax.IntersectTriangle(kA, kB, kC, &t, &p, &uv));
    EXPECT_NEAR(t, 3, kRound);
    EXPECT_NEAR_XYZ(p, 0.5, 0.5, 0.0, kRound);
    EXPECT_NEAR(uv.GetCx(), 0.25, kRound);
    EXPECT_NEAR(uv.GetCy(), 0.25, kRound);
    const G3_AXIS behind(G3_POINT(0.5, 0.5, 3 * dz), G3_VECTOR1(0, 0, dz));
    EXPECT_TRUE(behind.IntersectTriangle(kA, kB, kC, &t, nullptr, nullptr));
    EXPECT_NEAR(t, -3, kRound);
  }
  // Outside, and a line parallel to the triangle's plane: false, nothing written.
  t = 77;
  const G3_AXIS out(G3_POINT(1.5, 1.5, -1), G3_VECTOR1::VZ);
  EXPECT_FALSE(out.IntersectTriangle(kA, kB, kC, &t, nullptr, nullptr));
  const G3_AXIS flat(G3_POINT(0.5, 0.5, 0), G3_VECTOR1::VX);
  EXPECT_FALSE(flat.IntersectTriangle(kA, kB, kC, &t, nullptr, nullptr));
  EXPECT_EQ(t, 77);
  EXPECT_EQ(Take(), nullptr);
}

TEST_F(G3AxisTest, TriangleBoundaryIsAHitInBothTests) {
  // Lines along z through each vertex and each edge midpoint, in both senses,
  // for the six orders of the vertices (both orientations, every edge in
  // every role): a hit with no output asked (sign test) and with the point
  // asked (barycentric test). Just outside each edge: a miss in both.
  const G3_POINT v[3] = {kA, kB, kC};
  const int orders[6][3] = {{0, 1, 2}, {1, 2, 0}, {2, 0, 1}, {0, 2, 1}, {2, 1, 0}, {1, 0, 2}};
  const double onBoundary[6][2] = {{0, 0}, {2, 0}, {0, 2}, {1, 1}, {1, 0}, {0, 1}};
  const double outside[3][2] = {{1, -0.25}, {-0.25, 1}, {1.25, 1}};
  for (const auto& o : orders) {
    const G3_POINT& a = v[o[0]];
    const G3_POINT& b = v[o[1]];
    const G3_POINT& c = v[o[2]];
    for (double dz : {1.0, -1.0}) {
      const G3_VECTOR1 d(0, 0, dz);
      for (const auto& q : onBoundary) {
        const G3_AXIS ax(G3_POINT(q[0], q[1], -dz), d);
        EXPECT_TRUE(ax.IntersectTriangle(a, b, c)) << o[0] << o[1] << o[2] << " " << q[0] << q[1];
        G3_POINT p;
        EXPECT_TRUE(ax.IntersectTriangle(a, b, c, nullptr, &p, nullptr));
        EXPECT_NEAR_XYZ(p, q[0], q[1], 0.0, kRound);
      }
      for (const auto& q : outside) {
        const G3_AXIS ax(G3_POINT(q[0], q[1], -dz), d);
        EXPECT_FALSE(ax.IntersectTriangle(a, b, c)) << q[0] << " " << q[1];
        double t = 0;
        EXPECT_FALSE(ax.IntersectTriangle(a, b, c, &t));
      }
    }
  }
  // A line in the triangle's plane crossing it, and a line parallel to an
  // edge above the plane: misses in both tests.
  const G3_AXIS inPlane(G3_POINT(-1, 0.5, 0), G3_VECTOR1::VX);
  EXPECT_FALSE(inPlane.IntersectTriangle(kA, kB, kC));
  const G3_AXIS above(G3_POINT(0, 0.5, 1), G3_VECTOR1::VX);
  EXPECT_FALSE(above.IntersectTriangle(kA, kB, kC));
  double t = 0;
  EXPECT_FALSE(inPlane.IntersectTriangle(kA, kB, kC, &t));
  EXPECT_FALSE(above.IntersectTriangle(kA, kB, kC, &t));
  EXPECT_EQ(Take(), nullptr);
}

TEST_F(G3AxisTest, TriangleSignTestAgreesInside) {
  // Lines on a grid that avoids the boundary, straight and slanted: the
  // sign test (no output asked) and the barycentric test agree with the
  // plain inside test x > 0, y > 0, x + y < 2 at z = 0.
  const G3_VECTOR1 dirs[] = {G3_VECTOR1(0, 0, 1), G3_VECTOR1(0, 0, -1), G3_VECTOR1(0.3, -0.2, 1)};
  for (const G3_VECTOR1& d : dirs) {
    for (int i = 0; i < 10; ++i) {
      for (int j = 0; j < 10; ++j) {
        const double x = -0.45 + 0.3 * i, y = -0.45 + 0.3 * j;
        const bool inside = x > 0 && y > 0 && x + y < 2;
        const G3_AXIS ax(G3_POINT(x, y, 0) - 4 * d, d);
        double t = 0;
        EXPECT_EQ(bool(ax.IntersectTriangle(kA, kB, kC)), inside) << x << " " << y;
        EXPECT_EQ(bool(ax.IntersectTriangle(kA, kB, kC, &t)), inside) << x << " " << y;
        if (inside) {
          EXPECT_NEAR(t, 4, kRound);
        }
      }
    }
  }
}

TEST_F(G3AxisTest, Sphere) {
  double t1 = 0, t2 = 0;
  G3_POINT p1, p2;
  EXPECT_TRUE(G3_AXIS::OX.IntersectSphere(G3_POINT::P0, 1, &t1, &p1, &t2, &p2));
  EXPECT_EQ(t1, -1);
  EXPECT_EQ(t2, 1);
  EXPECT_XYZ(p1, -1.0, 0.0, 0.0);
  EXPECT_XYZ(p2, 1.0, 0.0, 0.0);
  // The parameters are the axis's own: measured from its point.
  const G3_AXIS ax(G3_POINT(5, 0.6, 0), G3_VECTOR1::VX);
  EXPECT_TRUE(ax.IntersectSphere(G3_POINT::P0, 1, &t1, &p1, &t2, &p2));
  EXPECT_NEAR(t1, -5.8, kRound);
  EXPECT_NEAR(t2, -4.2, kRound);
  EXPECT_NEAR_XYZ(p1, -0.8, 0.6, 0.0, kRound);
  EXPECT_NEAR_XYZ(p2, 0.8, 0.6, 0.0, kRound);
  // Tangent: two equal roots.
  const G3_AXIS tangent(G3_POINT(3, 1, 0), G3_VECTOR1::VX);
  EXPECT_TRUE(tangent.IntersectSphere(G3_POINT::P0, 1, &t1, nullptr, &t2, nullptr));
  EXPECT_EQ(t1, -3);
  EXPECT_EQ(t2, -3);
  // A miss writes nothing.
  t1 = t2 = 99;
  const G3_AXIS miss(G3_POINT(0, 1.5, 0), G3_VECTOR1::VX);
  EXPECT_FALSE(miss.IntersectSphere(G3_POINT::P0, 1, &t1, &p1, &t2, &p2));
  EXPECT_EQ(t1, 99);
  EXPECT_EQ(t2, 99);
  EXPECT_TRUE(G3_AXIS::OX.IntersectSphere(G3_POINT::P0, 1, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(G3AxisTest, AxisAlignedEllipsoidPassesThroughTheCorners) {
  double t1 = 0, t2 = 0;
  G3_POINT p1, p2;
  EXPECT_TRUE(G3_AXIS::OX.IntersectAAEllipsoid(G3_POINT::P0, 1, 1, 1, &t1, &p1, &t2, &p2));
  EXPECT_NEAR(t1, -std::sqrt(3.0), kRound);
  EXPECT_NEAR(t2, std::sqrt(3.0), kRound);
  EXPECT_NEAR_XYZ(p2, std::sqrt(3.0), 0.0, 0.0, kRound);
  // Semi-axis 2 along x, centre moved: (x/2)^2 = 3.
  const G3_AXIS ax(G3_POINT(0, 0, 0), G3_VECTOR1::VX);
  EXPECT_TRUE(ax.IntersectAAEllipsoid(G3_POINT(10, 0, 0), 2, 1, 1, &t1, nullptr, &t2, nullptr));
  EXPECT_NEAR(t1, 10 - 2 * std::sqrt(3.0), kRound);
  EXPECT_NEAR(t2, 10 + 2 * std::sqrt(3.0), kRound);
  // The diagonal through the corner (a, b, c) = (1, 2, 3).
  const G3_AXIS diag(G3_POINT::P0, G3_VECTOR1(1, 2, 3));
  EXPECT_TRUE(diag.IntersectAAEllipsoid(G3_POINT::P0, 1, 2, 3, nullptr, &p1, nullptr, &p2));
  EXPECT_NEAR_XYZ(p1, -1.0, -2.0, -3.0, kRound);
  EXPECT_NEAR_XYZ(p2, 1.0, 2.0, 3.0, kRound);
  // (y/b)^2 = 4 > 3: the line misses.
  t1 = 99;
  const G3_AXIS miss(G3_POINT(0, 2, 0), G3_VECTOR1::VX);
  EXPECT_FALSE(miss.IntersectAAEllipsoid(G3_POINT::P0, 1, 1, 1, &t1, nullptr, nullptr, nullptr));
  EXPECT_EQ(t1, 99);
}

TEST_F(G3AxisTest, Coincidence) {
  const G3_AXIS back(G3_POINT(5, 0, 0), G3_VECTOR1(-1, 0, 0));
  EXPECT_TRUE(G3_AXIS::OX.IsOn(back, G_DIS::Min, G_ANG::MinSin2, false));
  EXPECT_FALSE(G3_AXIS::OX.IsOn(back, G_DIS::Min, G_ANG::MinSin2, true));
  const G3_AXIS off(G3_POINT(5, 0.5, 0), G3_VECTOR1::VX);
  EXPECT_FALSE(G3_AXIS::OX.IsOn(off, 0.5, G_ANG::MinSin2, true));  // strict
  EXPECT_TRUE(G3_AXIS::OX.IsOn(off, 0.5000001, G_ANG::MinSin2, true));
  // Through the same point but turned.
  EXPECT_FALSE(G3_AXIS::OX.IsOn(G3_AXIS::OY, 1.0, G_ANG::MinSin2, false));
  EXPECT_TRUE(G3_AXIS::OX.IsOn(G3_AXIS::OY, 1.0, 1.0, false));  // bound included

  EXPECT_TRUE(G3_AXIS::OX.IsOn(G3_PLANE::OXY, G_DIS::Min, G_ANG::MinSin2));
  EXPECT_FALSE(G3_AXIS::OZ.IsOn(G3_PLANE::OXY, G_DIS::Min, G_ANG::MinSin2));
  const G3_AXIS above(G3_POINT(1, 2, 0.5), G3_VECTOR1(1, 1, 0));
  EXPECT_FALSE(above.IsOn(G3_PLANE::OXY, 0.5, G_ANG::MinSin2));  // strict
  EXPECT_TRUE(above.IsOn(G3_PLANE::OXY, 0.5000001, G_ANG::MinSin2));
}

TEST_F(G3AxisTest, Records) {
  const G3_AXIS ax(G3_POINT(1, 2, 3), G3_VECTOR1(0, 0, -1));
  C_FILE_MEMORY text(C_FILE::TEXT);
  ax.Save(&text);
  EXPECT_EQ(text.GetContent(), "P1 2 3\nV0 0 -1\n");
  C_FILE_MEMORY bin(C_FILE::BINARY);
  ax.Save(&bin);
  EXPECT_EQ(bin.GetContent(), Bytes({1, 2, 3, 0, 0, -1}));
  for (C_FILE_MEMORY* f : {&text, &bin}) {
    f->Rewind();
    G3_AXIS back;
    back.Load(0, f);
    EXPECT_EQ(Take(), nullptr);
    EXPECT_TRUE(back == ax);
  }
  // The direction record missing: an error, and the axis unchanged.
  C_FILE_MEMORY cut(C_FILE::TEXT, "P4 5 6\n");
  G3_AXIS kept = G3_AXIS::OY;
  kept.Load(0, &cut);
  EXPECT_EQ(Take(), &CerrEndOfFile);
  EXPECT_TRUE(kept == G3_AXIS::OY);
  C_FILE_MEMORY swapped(C_FILE::TEXT, "V0 0 1\nP4 5 6\n");
  kept.Load(0, &swapped);
  EXPECT_EQ(Take(), &GerrInvalidFilePointExpected);
  EXPECT_TRUE(kept == G3_AXIS::OY);
  // A stream of another type reads nothing and keeps the axis.
  C_FILE_MEMORY other(2, "P4 5 6\nV1 0 0\n");
  kept.Load(0, &other);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_TRUE(kept == G3_AXIS::OY);
}

}  // namespace
