#include "curves/g3_cv_circle.h"

#include <gtest/gtest.h>

#include <cmath>

#include "curves_test_util.h"
#include "frame/g_errors.h"

using namespace curves_test;

namespace {
bool Near(const G3_VECTOR& v, double x, double y, double z) {
  return (v - G3_VECTOR(x, y, z)).GetNorm() < 1e-12;
}
void ExpectSpan(const G3_CV& c, double s, double e) {
  EXPECT_NEAR(c.GetStart(), s, 1e-12);
  EXPECT_NEAR(c.GetEnd(), e, 1e-12);
}
}  // namespace

TEST_F(CurveTest, CircleFromPlaneRadiusAndSweep) {
  G3_PLANE pl(G3_POINT(1, 2, 3), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));
  ExpectSpan(G3_CV_CIRCLE(pl, G_LEN(2), G_ANG(30), G_ARC(90)), 30, 120);
  ExpectSpan(G3_CV_CIRCLE(pl, G_LEN(1), G_ARC(6e-6)), 0, 6e-6);  // arc 1.05e-7
  EXPECT_FALSE(C_ERROR::Is());
  // 1e-6 degrees of radius 1: an arc of 1.7e-8, below G_LEN::Min; a negative sweep.
  EXPECT_FAILS(ExpectSpan(G3_CV_CIRCLE(pl, G_LEN(1), G_ARC(1e-6)), 0, 0), GerrLengthTooShort);
  EXPECT_FAILS(ExpectSpan(G3_CV_CIRCLE(pl, G_LEN(5), G_ANG(10), G_ARC(-20)), 0, 0),
               GerrLengthTooShort);
}

TEST_F(CurveTest, CircleFromPoints) {
  // Plane along y and z: Vx at 30 degrees is (0, cos 30, sin 30).
  G3_PLANE pl(G3_POINT(1, 0, 0), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));
  G3_CV_CIRCLE a(pl, G3_POINT(1, 3, 4), G_ANG(30), G_ANG(90));
  const double c30 = std::sqrt(3.0) / 2;
  EXPECT_TRUE(Near(a.GetVx(), 0, c30, 0.5) && Near(a.GetVy(), 0, -0.5, c30));
  EXPECT_NEAR(a.GetRad(), 5, 1e-12);
  ExpectSpan(a, 0, 60);
  // Centre and two points: the normal picks the way round; none: the short way.
  const G3_POINT pc(1, 1, 0), p1(3, 1, 0), p2(1, 3, 0);
  G3_CV_CIRCLE down(pc, p1, p2, G3_VECTOR1(0, 0, -1)), shortway(pc, p2, p1);
  EXPECT_TRUE(Near(down.GetVy(), 0, -1, 0) && down.GetRad() == 2);
  ExpectSpan(down, 0, 270);
  EXPECT_TRUE(Near(shortway.GetVx(), 0, 1, 0) && Near(shortway.GetVz(), 0, 0, -1));
  ExpectSpan(shortway, 0, 90);
  EXPECT_FALSE(C_ERROR::Is());
  // No radius or no normal: the span stays (0, 1), the radius is kept.
  G3_CV_CIRCLE at_centre(pl, G3_POINT(1, 0, 0), G_ANG(0), G_ANG(90));
  EXPECT_EQ(Take(), GerrLengthTooShort.GetText());
  EXPECT_EQ(double(at_centre.GetRad()), 0);
  ExpectSpan(at_centre, 0, 1);
  G3_CV_CIRCLE colinear(G3_POINT(0, 0, 0), G3_POINT(1, 0, 0), G3_POINT(2, 0, 0));
  EXPECT_NE(Take(), "");
  ExpectSpan(colinear, 0, 1);
}

TEST_F(CurveTest, CircleRecordIsExactAndACutOneChangesNothing) {
  const std::string rec = Text(G3_CV_CIRCLE());
  EXPECT_EQ(rec, "0\n1\n0\n0\n0\n360\nP0 0 0\nV1 0 0\nV0 1 0\n1\n");
  C_FILE_MEMORY cut(C_FILE::TEXT, rec.substr(0, rec.size() - 2));  // no radius
  G3_CV_CIRCLE r(G3_PLANE(G3_POINT(1, 2, 3), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1)), G_LEN(4));
  r.Load(kVNow, &cut);
  EXPECT_TRUE(!Take().empty() && r.GetRad() == 4 && r.GetPc() == G3_POINT(1, 2, 3));
}
