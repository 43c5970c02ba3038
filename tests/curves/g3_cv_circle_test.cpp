#include "curves/g3_cv_circle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "curves_test_util.h"
#include "frame/g_errors.h"
#include "runtime/c_file.h"

using namespace curves_test;

namespace {
void ExpectVec(const G3_VECTOR& v, double x, double y, double z) {
  EXPECT_NEAR(v.GetCx(), x, 1e-12);
  EXPECT_NEAR(v.GetCy(), y, 1e-12);
  EXPECT_NEAR(v.GetCz(), z, 1e-12);
}
void ExpectSpan(const G3_CV& c, double s, double e) {
  EXPECT_NEAR(c.GetStart(), s, 1e-12);
  EXPECT_NEAR(c.GetEnd(), e, 1e-12);
}
}  // namespace

TEST_F(CurveTest, CircleFromPlaneRadiusAndSweep) {
  G3_CV_CIRCLE d;
  EXPECT_TRUE(d.GetPc() == G3_POINT(0, 0, 0) && d.GetRad() == 1);
  ExpectVec(d.GetVz(), 0, 0, 1);
  ExpectSpan(d, 0, 360);
  EXPECT_TRUE(d.IsCircle() && !d.IsLine() && !d.IsEllipse());
  EXPECT_TRUE(d.GetClass() == C_STRING("G3_CV_CIRCLE") && d.GetClassName() == C_STRING("#circle"));

  G3_PLANE pl(G3_POINT(1, 2, 3), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));
  G3_CV_CIRCLE full(pl, G_LEN(10));
  ExpectSpan(full, 0, 360);
  EXPECT_EQ(full.GetArc(), 360);
  ExpectSpan(G3_CV_CIRCLE(pl, G_LEN(2), G_ARC(90)), 0, 90);
  ExpectSpan(G3_CV_CIRCLE(pl, G_LEN(2), G_ANG(30), G_ARC(90)), 30, 120);
  ExpectSpan(G3_CV_CIRCLE(pl, G_LEN(1), G_ARC(6e-6)), 0, 6e-6);  // arc 1.05e-7
  EXPECT_FALSE(C_ERROR::Is());
  // 1e-6 degrees of radius 1: an arc of 1.7e-8, below G_LEN::Min.
  ExpectSpan(G3_CV_CIRCLE(pl, G_LEN(1), G_ARC(1e-6)), 0, 0);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrLengthTooShort);
  C_ERROR::ClearPending();
  ExpectSpan(G3_CV_CIRCLE(pl, G_LEN(5), G_ANG(10), G_ARC(-20)), 0, 0);  // negative sweep
  EXPECT_EQ(C_ERROR::GetPending(), &GerrLengthTooShort);
  C_ERROR::ClearPending();

  G3_CV_CIRCLE c;
  c.SetStartEnd(0, 400);
  EXPECT_EQ(c.GetArc(), 400);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrArcTooLarge);
  c.SetStartEnd(10, 10);
  EXPECT_EQ(c.GetArc(), 0);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrArcTooNarrow);
}

TEST_F(CurveTest, CircleFromPoints) {
  // Plane along y and z: Vx at 30 degrees is (0, cos 30, sin 30).
  G3_PLANE pl(G3_POINT(1, 0, 0), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));
  G3_CV_CIRCLE a(pl, G3_POINT(1, 3, 4), G_ANG(30), G_ANG(90));
  const double c30 = std::sqrt(3.0) / 2;
  ExpectVec(a.GetVx(), 0, c30, 0.5);
  ExpectVec(a.GetVy(), 0, -0.5, c30);
  EXPECT_NEAR(a.GetRad(), 5, 1e-12);
  ExpectSpan(a, 0, 60);

  const G3_POINT pc(1, 1, 0), p1(3, 1, 0), p2(1, 3, 0);
  G3_CV_CIRCLE up(pc, p1, p2, G3_VECTOR1(0, 0, 1));
  EXPECT_NEAR(up.GetRad(), 2, 1e-12);
  ExpectVec(up.GetVy(), 0, 1, 0);
  ExpectSpan(up, 0, 90);
  G3_CV_CIRCLE down(pc, p1, p2, G3_VECTOR1(0, 0, -1));  // the long way round
  ExpectVec(down.GetVy(), 0, -1, 0);
  ExpectSpan(down, 0, 270);
  G3_CV_CIRCLE shortway(pc, p2, p1);  // no normal: the short way
  ExpectVec(shortway.GetVx(), 0, 1, 0);
  ExpectVec(shortway.GetVz(), 0, 0, -1);
  ExpectSpan(shortway, 0, 90);
  EXPECT_FALSE(C_ERROR::Is());

  // No radius or no normal: the span stays (0, 1), the radius is kept.
  G3_CV_CIRCLE at_centre(pl, G3_POINT(1, 0, 0), G_ANG(0), G_ANG(90));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrLengthTooShort);
  EXPECT_EQ(double(at_centre.GetRad()), 0);
  ExpectSpan(at_centre, 0, 1);
  C_ERROR::ClearPending();
  G3_CV_CIRCLE colinear(G3_POINT(0, 0, 0), G3_POINT(1, 0, 0), G3_POINT(2, 0, 0));
  EXPECT_TRUE(C_ERROR::Is());
  ExpectSpan(colinear, 0, 1);
}

TEST_F(CurveTest, CircleCopiesAndRecordsKeepEveryField) {
  C_FILE_MEMORY text(C_FILE::TEXT);
  G3_CV_CIRCLE().Save(&text);
  EXPECT_EQ(text.GetContent(), "0\n1\n0\n0\n0\n360\nP0 0 0\nV1 0 0\nV0 1 0\n1\n");

  G3_PLANE pl(G3_POINT(1, 2, 3), G3_VECTOR1(1, 1, 0), G3_VECTOR1(0, 0, 1));
  G3_CV_CIRCLE src(pl, G_LEN(0.125), G_ANG(-45), G_ARC(200));
  std::unique_ptr<G3_CV> clone(src.Clone());
  ASSERT_TRUE(clone && clone->IsCircle());
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    clone->Save(&f);
    f.Rewind();
    G3_CV_CIRCLE r;
    r.Load(kVNow, &f);
    ASSERT_FALSE(C_ERROR::Is()) << PendingText();
    EXPECT_TRUE(f.AtEnd());
    EXPECT_TRUE(r.GetPlane() == src.GetPlane() && r.GetRad() == 0.125);
    ExpectSpan(r, -45, 155);
  }
  C_FILE_MEMORY cut(C_FILE::TEXT, text.GetContent().substr(0, text.GetContent().size() - 2));
  G3_CV_CIRCLE r(pl, G_LEN(4));
  r.Load(kVNow, &cut);
  EXPECT_TRUE(C_ERROR::Is());
  EXPECT_TRUE(r.GetRad() == 4 && r.GetPc() == G3_POINT(1, 2, 3));
}
