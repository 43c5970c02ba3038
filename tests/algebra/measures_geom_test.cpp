#include <cmath>

#include "algebra/geom_fixture.h"
#include "algebra/g2_axis.h"
#include "algebra/g2_point.h"
#include "algebra/g2_vector.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "measures/g_dis.h"
#include "measures/g_dis2.h"

namespace {

using MeasuresGeomTest = GeomTest;

const double kRound = 1e-12;
const double kDegPerRad = 180 / 3.14159265358979323846;

TEST_F(MeasuresGeomTest, DistancesOfPoints) {
  EXPECT_EQ(double(G_DIS(G2_POINT(1, 1), G2_POINT(4, 5))), 5);
  EXPECT_EQ(double(G_DIS(G3_POINT(1, 1, 1), G3_POINT(2, 3, 3))), 3);
  EXPECT_EQ(double(G_DIS2(G2_POINT(1, 1), G2_POINT(4, 5))), 25);
  EXPECT_EQ(double(G_DIS2(G3_POINT(1, 1, 1), G3_POINT(2, 3, 3))), 9);
  // Signed along a direction.
  EXPECT_EQ(double(G_DIS(G3_POINT(0, 0, 0), G3_POINT(1, 2, 3), G3_VECTOR1::VZ)), 3);
  EXPECT_EQ(double(G_DIS(G3_POINT(0, 0, 0), G3_POINT(1, 2, 3), G3_VECTOR1(0, 0, -1))), -3);
}

TEST_F(MeasuresGeomTest, DistancesToLinesAndPlanes) {
  // The 2D axis through (1, 1) along X; the point 4 below it.
  const G2_AXIS ax2(G2_POINT(1, 1), G2_VECTOR1::VX);
  EXPECT_EQ(double(G_DIS(G2_POINT(3, -3), ax2)), 4);
  EXPECT_EQ(double(G_DIS2(G2_POINT(3, -3), ax2)), 16);
  EXPECT_EQ(double(G_DIS(G3_POINT(3, 4, 7), G3_AXIS::OZ)), 5);
  EXPECT_EQ(double(G_DIS2(G3_POINT(3, 4, 7), G3_AXIS::OZ)), 25);
  EXPECT_EQ(double(G_DIS(G3_POINT(1, 2, -3), G3_PLANE::OXY)), 3);  // unsigned
  EXPECT_EQ(double(G_DIS2(G3_POINT(1, 2, -3), G3_PLANE::OXY)), 9);
  EXPECT_EQ(double(G_DIS(G3_POINT(1, -2, 3), G3_PLANE::OXZ)), 2);
}

TEST_F(MeasuresGeomTest, DistancesBetweenAxesAndPlanes) {
  // Parallel axes (either sense): distance from one line to the other.
  const G3_AXIS back(G3_POINT(7, 3, 4), G3_VECTOR1(-1, 0, 0));
  EXPECT_NEAR(double(G_DIS(G3_AXIS::OX, back)), 5, kRound);
  // Skew: along the common perpendicular.
  const G3_AXIS skew(G3_POINT(2, -4, 3), G3_VECTOR1::VY);
  EXPECT_NEAR(double(G_DIS(G3_AXIS::OX, skew)), 3, kRound);
  EXPECT_NEAR(double(G_DIS(skew, G3_AXIS::OX)), 3, kRound);
  EXPECT_NEAR(double(G_DIS(G3_AXIS::OX, G3_AXIS::OY)), 0, kRound);

  // An axis parallel to the plane keeps its distance; a crossing one has none.
  const G3_AXIS above(G3_POINT(9, 9, -5), G3_VECTOR1(1, 1, 0));
  EXPECT_EQ(double(G_DIS(above, G3_PLANE::OXY)), 5);
  EXPECT_EQ(double(G_DIS(G3_AXIS(G3_POINT(0, 0, 5), G3_VECTOR1(1, 0, 1)), G3_PLANE::OXY)), 0);

  G3_PLANE z2 = G3_PLANE::OXY;
  z2.SetPo(G3_POINT(4, 4, -2));
  z2.InvertVx();  // opposite normal: still parallel
  EXPECT_EQ(double(G_DIS(G3_PLANE::OXY, z2)), 2);
  EXPECT_EQ(double(G_DIS(z2, G3_PLANE::OXY)), 2);
  EXPECT_EQ(double(G_DIS(G3_PLANE::OXY, G3_PLANE::OXZ)), 0);
  EXPECT_EQ(Take(), nullptr);
}

TEST_F(MeasuresGeomTest, AnglesOfVectors) {
  const G3_VECTOR1& x = G3_VECTOR1::VX;
  EXPECT_NEAR(double(G_ANG(x, G3_VECTOR1::VY)), 90, kRound);
  EXPECT_NEAR(double(G_ANG(x, G3_VECTOR1(1, 1, 0))), 45, kRound);
  EXPECT_EQ(double(G_ANG(x, -x)), 180);
  EXPECT_EQ(double(G_ANG(x, x)), 0);
  // A tiny angle keeps its precision (taken from the sine).
  EXPECT_NEAR(double(G_ANG(x, G3_VECTOR1(1, 1e-7, 0))), 1e-7 * kDegPerRad, 1e-20);
  EXPECT_NEAR(double(G_ANG(x, G3_VECTOR1(-1, 1e-7, 0))), 180 - 1e-7 * kDegPerRad, 1e-12);

  // About a reference: beyond 180 when (u ^ v) . r < 0.
  const G3_VECTOR z(0, 0, 1);
  EXPECT_NEAR(double(G_ANG(x, G3_VECTOR1(0, -1, 0), z)), 270, kRound);
  EXPECT_NEAR(double(G_ANG(x, G3_VECTOR1::VY, z)), 90, kRound);
  EXPECT_NEAR(double(G_ANG(x, G3_VECTOR1::VY, -z)), 270, kRound);

  // In the plane: signed.
  EXPECT_NEAR(double(G_ANG(G2_VECTOR1::VX, G2_VECTOR1(0, -1))), -90, kRound);
  EXPECT_NEAR(double(G_ANG(G2_VECTOR1::VX, G2_VECTOR1::VY)), 90, kRound);
  EXPECT_NEAR(double(G_ANG(G2_VECTOR1::VX, G2_VECTOR1(std::cos(1 / kDegPerRad),
                                                       -std::sin(1 / kDegPerRad)))),
              -1, kRound);
  EXPECT_EQ(double(G_ANG(G2_VECTOR1::VX, G2_VECTOR1(-1, 0))), 180);
}

TEST_F(MeasuresGeomTest, AnglesOfPoints) {
  EXPECT_NEAR(double(G_ANG(G2_POINT(1, 1), G2_POINT(2, 1), G2_POINT(1, 0))), -90, kRound);
  EXPECT_NEAR(double(G_ANG(G2_POINT(1, 1), G2_POINT(2, 2), G2_POINT(0, 2))), 90, kRound);
  EXPECT_EQ(Take(), nullptr);
  // A null side counts as (1, 0); its error stays pending.
  EXPECT_NEAR(double(G_ANG(G2_POINT(0, 0), G2_POINT(0, 0), G2_POINT(0, 1))), 90, kRound);
  EXPECT_EQ(Take(), &GerrNullVector);

  const G3_POINT o(1, 1, 1);
  EXPECT_NEAR(double(G_ANG(o, G3_POINT(2, 1, 1), G3_POINT(1, 1, 6))), 90, kRound);
  EXPECT_NEAR(double(G_ANG(o, G3_POINT(2, 1, 1), G3_POINT(3, 3, 1))), 45, kRound);
  EXPECT_NEAR(double(G_ANG(o, G3_POINT(2, 1, 1), G3_POINT(1, 0, 1), G3_VECTOR(0, 0, 1))), 270,
              kRound);
  EXPECT_NEAR(double(G_ANG(o, G3_POINT(2, 1, 1), G3_POINT(1, 0, 1), G3_VECTOR(0, 0, -1))), 90,
              kRound);
}

TEST_F(MeasuresGeomTest, AnglesOfAxesAndPlanes) {
  // The axis against the plane's normal, not its complement.
  EXPECT_EQ(double(G_ANG(G3_AXIS::OZ, G3_PLANE::OXY)), 0);
  EXPECT_NEAR(double(G_ANG(G3_AXIS::OX, G3_PLANE::OXY)), 90, kRound);
  EXPECT_NEAR(double(G_ANG(G3_AXIS(G3_POINT::P0, G3_VECTOR1(1, 0, 1)), G3_PLANE::OXY)), 45,
              kRound);
  EXPECT_NEAR(double(G_ANG(G3_PLANE::OXY, G3_PLANE::OXZ)), 90, kRound);
  G3_PLANE flipped = G3_PLANE::OXY;
  flipped.InvertVy();
  EXPECT_EQ(double(G_ANG(G3_PLANE::OXY, flipped)), 180);
}

}  // namespace
