// The call forms a host writes: text converted where a point or vector is
// expected, out-pointers left out, an axis's members reached directly.
#include <gtest/gtest.h>

#include "algebra/g2_point.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "runtime/c_error.h"
#include "runtime/c_string.h"

namespace {

G3_POINT Midpoint(const G3_POINT& a, const G3_POINT& b) { return 0.5 * (a + b); }

TEST(GeometryApiTest, TextConvertsWhereAValueIsExpected) {
  C_ERROR::ClearPending();
  const G3_POINT m = Midpoint(C_STRING("2 4 6"), G3_POINT(0, 0, 0));
  EXPECT_TRUE(m == G3_POINT(1, 2, 3));
  const G3_VECTOR v = C_STRING("1,2");
  EXPECT_TRUE(C_ERROR::Is());  // a vector text needs something behind y
  EXPECT_TRUE(v == G3_VECTOR(0, 0, 0));
  C_ERROR::ClearPending();
}

TEST(GeometryApiTest, OptionalOutputsAndMembers) {
  C_ERROR::ClearPending();
  G3_AXIS ax(G3_POINT(0, 0, 0), G3_VECTOR1(1, 0, 0));
  double t1 = 0;
  EXPECT_TRUE(ax.IntersectSphere(G3_POINT(3, 0, 0), 2, &t1));
  EXPECT_DOUBLE_EQ(t1, 1);
  EXPECT_FALSE(ax.IntersectAAEllipsoid(G3_POINT(0, 5, 0), 1, 1, 1));
  G3_POINT p;
  ax.GetNearestPoints(G3_AXIS(G3_POINT(2, 0, 1), G3_VECTOR1(0, 1, 0)), &p);
  EXPECT_TRUE(p == G3_POINT(2, 0, 0));

  ax.GetPo().SetCz(5);
  ax.GetVx().Invert();
  EXPECT_TRUE(ax.GetPo() == G3_POINT(0, 0, 5));
  EXPECT_TRUE(ax.GetVx() == G3_VECTOR1(-1, 0, 0));

  EXPECT_DOUBLE_EQ(G2_POINT(3, 4).GetNorm(), 5);
  EXPECT_DOUBLE_EQ(G2_POINT(3, 4).GetNorm2(), 25);
}

}  // namespace
