#include <cmath>

#include "algebra/geom_fixture.h"
#include "algebra/g2_axis.h"
#include "algebra/g2_point.h"
#include "algebra/g2_vector.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "measures/g_ang.h"
#include "measures/g_dis.h"
#include "measures/g_dis2.h"

namespace {

using MeasuresGeomTest = GeomTest;

const double kRound = 1e-12;
const double kDegPerRad = 180 / 3.14159265358979323846;

TEST_F(MeasuresGeomTest, Distances) {
  const G2_POINT p2(1, 1), q2(4, 5);
  const G3_POINT p3(1, 1, 1), q3(2, 3, 3);
  const G2_AXIS ax2(G2_POINT(1, 1), G2_VECTOR1::VX);
  const G3_AXIS back(G3_POINT(7, 3, 4), G3_VECTOR1(-1, 0, 0));
  const G3_AXIS skew(G3_POINT(2, -4, 3), G3_VECTOR1::VY);
  const G3_AXIS above(G3_POINT(9, 9, -5), G3_VECTOR1(1, 1, 0));
  const G3_AXIS crossing(G3_POINT(0, 0, 5), G3_VECTOR1(1, 0, 1));
  const G3_PLANE& xy = G3_PLANE::OXY;
  const G3_PLANE z2(G3_POINT(4, 4, -2), G3_VECTOR1(0, 0, -1));  // opposite normal
  const double cases[][2] = {
      {G_DIS(p2, q2), 5}, {G_DIS2(p3, q3), 9}, {G_DIS(G2_POINT(3, -3), ax2), 4},
      {G_DIS(G3_POINT::P0, G3_POINT(1, 2, 3), G3_VECTOR1(0, 0, -1)), -3},  // signed
      {G_DIS2(G2_POINT(3, -3), ax2), 16}, {G_DIS(G3_POINT(3, 4, 7), G3_AXIS::OZ), 5},
      {G_DIS(G3_POINT(1, 2, -3), xy), 3}, {G_DIS2(G3_POINT(1, 2, -3), xy), 9},  // unsigned
      // Parallel axes (either sense): line to line; skew ones: along the common perpendicular.
      {G_DIS(G3_AXIS::OX, back), 5}, {G_DIS(skew, G3_AXIS::OX), 3},
      {G_DIS(G3_AXIS::OX, G3_AXIS::OY), 0},
      // Parallel to the plane: the distance; crossing it: none.
      {G_DIS(above, xy), 5}, {G_DIS(crossing, xy), 0},
      {G_DIS(z2, xy), 2}, {G_DIS(xy, G3_PLANE::OXZ), 0}};
  for (const auto& c : cases) EXPECT_NEAR(c[0], c[1], kRound) << &c - cases;
}

TEST_F(MeasuresGeomTest, Angles) {
  const G3_VECTOR1& x = G3_VECTOR1::VX;
  const G3_VECTOR z(0, 0, 1);
  const G3_POINT o(1, 1, 1), ox(2, 1, 1);
  G3_PLANE flipped = G3_PLANE::OXY;
  flipped.InvertVy();
  const double c1 = std::cos(1 / kDegPerRad), s1 = std::sin(1 / kDegPerRad);
  const double cases[][2] = {
      {G_ANG(x, G3_VECTOR1(1, 1, 0)), 45}, {G_ANG(x, -x), 180},
      {G_ANG(x, G3_VECTOR1(-1, 1e-7, 0)), 180 - 1e-7 * kDegPerRad},
      // About a reference: beyond 180 when (u ^ v) . r < 0.
      {G_ANG(x, G3_VECTOR1::VY, z), 90}, {G_ANG(x, G3_VECTOR1::VY, -z), 270},
      // In the plane: signed.
      {G_ANG(G2_VECTOR1::VX, G2_VECTOR1(c1, -s1)), -1},
      {G_ANG(G2_VECTOR1::VX, -G2_VECTOR1::VX), 180},
      // Of points.
      {G_ANG(G2_POINT(1, 1), G2_POINT(2, 1), G2_POINT(1, 0)), -90},
      {G_ANG(o, ox, G3_POINT(3, 3, 1)), 45}, {G_ANG(o, ox, G3_POINT(1, 0, 1), z), 270},
      // An axis against the plane's normal, not its complement.
      {G_ANG(G3_AXIS(G3_POINT::P0, G3_VECTOR1(1, 0, 1)), G3_PLANE::OXY), 45},
      {G_ANG(G3_AXIS::OX, G3_PLANE::OXY), 90}, {G_ANG(G3_PLANE::OXY, flipped), 180}};
  for (const auto& c : cases) EXPECT_NEAR(c[0], c[1], kRound) << &c - cases;
  EXPECT_EQ(Take(), nullptr);
  // A tiny angle keeps its precision (taken from the sine).
  EXPECT_NEAR(double(G_ANG(x, G3_VECTOR1(1, 1e-7, 0))), 1e-7 * kDegPerRad, 1e-20);
  // A null side counts as (1, 0); its error stays pending.
  EXPECT_NEAR(double(G_ANG(G2_POINT(0, 0), G2_POINT(0, 0), G2_POINT(0, 1))), 90, kRound);
  EXPECT_EQ(Take(), &GerrNullVector);
}

}  // namespace
