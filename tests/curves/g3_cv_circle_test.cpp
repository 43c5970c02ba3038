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
  EXPECT_TRUE(d.GetPc() == G3_POINT(0, 0, 0));
  ExpectVec(d.GetVx(), 1, 0, 0);
  ExpectVec(d.GetVy(), 0, 1, 0);
  ExpectVec(d.GetVz(), 0, 0, 1);
  EXPECT_EQ(d.GetRad(), 1);
  ExpectSpan(d, 0, 360);
  EXPECT_TRUE(d.IsCircle());
  EXPECT_FALSE(d.IsLine() || d.IsPolygon() || d.IsEllipse());
  EXPECT_TRUE(d.GetClass() == C_STRING("G3_CV_CIRCLE"));
  EXPECT_TRUE(d.GetClassName() == C_STRING("#circle"));

  G3_PLANE pl(G3_POINT(1, 2, 3), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));
  G3_CV_CIRCLE full(pl, G_LEN(10));
  ExpectSpan(full, 0, 360);
  EXPECT_EQ(full.GetArc(), 360);
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_TRUE(full.GetPc() == G3_POINT(1, 2, 3));

  G3_CV_CIRCLE quarter(pl, G_LEN(2), G_ARC(90));
  ExpectSpan(quarter, 0, 90);
  G3_CV_CIRCLE shifted(pl, G_LEN(2), G_ANG(30), G_ARC(90));
  ExpectSpan(shifted, 30, 120);
  EXPECT_EQ(shifted.GetArc(), 90);
  EXPECT_FALSE(C_ERROR::Is());

  // 1e-6 degrees of radius 1: an arc of 1.7e-8, below G_LEN::Min.
  G3_CV_CIRCLE small(pl, G_LEN(1), G_ARC(1e-6));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrLengthTooShort);
  ExpectSpan(small, 0, 0);
  C_ERROR::ClearPending();
  // 6e-6 degrees: 1.05e-7, long enough.
  G3_CV_CIRCLE enough(pl, G_LEN(1), G_ARC(6e-6));
  EXPECT_FALSE(C_ERROR::Is());
  ExpectSpan(enough, 0, 6e-6);
  // A negative sweep always fails (the arc's own check complains first).
  G3_CV_CIRCLE negative(pl, G_LEN(5), G_ANG(10), G_ARC(-20));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrLengthTooShort);
  ExpectSpan(negative, 0, 0);
}

TEST_F(CurveTest, CircleFromPlanePointAndTwoAngles) {
  // Plane along y and z: Vx at 30 degrees is (0, cos 30, sin 30).
  G3_PLANE pl(G3_POINT(1, 0, 0), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));
  G3_CV_CIRCLE c(pl, G3_POINT(1, 3, 4), G_ANG(30), G_ANG(90));
  EXPECT_FALSE(C_ERROR::Is());
  const double c30 = std::sqrt(3.0) / 2;
  ExpectVec(c.GetVx(), 0, c30, 0.5);
  ExpectVec(c.GetVy(), 0, -0.5, c30);
  ExpectVec(c.GetVz(), 1, 0, 0);
  EXPECT_TRUE(c.GetPc() == G3_POINT(1, 0, 0));
  EXPECT_NEAR(c.GetRad(), 5, 1e-12);
  ExpectSpan(c, 0, 60);

  // A point at the centre: the radius 0 is stored, the span stays (0, 1).
  G3_CV_CIRCLE z(pl, G3_POINT(1, 0, 0), G_ANG(0), G_ANG(90));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrLengthTooShort);
  EXPECT_EQ(double(z.GetRad()), 0);
  ExpectSpan(z, 0, 1);
}

TEST_F(CurveTest, CircleFromCentreAndTwoPoints) {
  const G3_POINT pc(1, 1, 0), p1(3, 1, 0), p2(1, 3, 0);
  G3_CV_CIRCLE up(pc, p1, p2, G3_VECTOR1(0, 0, 1));
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_NEAR(up.GetRad(), 2, 1e-12);
  ExpectVec(up.GetVx(), 1, 0, 0);
  ExpectVec(up.GetVy(), 0, 1, 0);
  ExpectSpan(up, 0, 90);
  // About the opposite normal the way round is the long one.
  G3_CV_CIRCLE down(pc, p1, p2, G3_VECTOR1(0, 0, -1));
  ExpectVec(down.GetVy(), 0, -1, 0);
  ExpectSpan(down, 0, 270);
  // Without a normal: the short way, whatever the order of the points.
  G3_CV_CIRCLE shortway(pc, p2, p1);
  EXPECT_FALSE(C_ERROR::Is());
  ExpectVec(shortway.GetVx(), 0, 1, 0);
  ExpectVec(shortway.GetVz(), 0, 0, -1);
  ExpectSpan(shortway, 0, 90);
  // A radius of 1e-8 is itself too short, and so is the quarter arc.
  G3_CV_CIRCLE tiny(pc, G3_POINT(1 + 1e-8, 1, 0), G3_POINT(1, 1 + 1e-8, 0));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrLengthTooShort);
  EXPECT_NEAR(tiny.GetRad(), 1e-8, 1e-15);
  ExpectSpan(tiny, 0, 1);
  C_ERROR::ClearPending();

  // Colinear points have no normal; a start point at the centre no radius.
  G3_CV_CIRCLE line(G3_POINT(0, 0, 0), G3_POINT(1, 0, 0), G3_POINT(2, 0, 0));
  EXPECT_TRUE(C_ERROR::Is());
  ExpectSpan(line, 0, 1);
  C_ERROR::ClearPending();
  G3_CV_CIRCLE centre(pc, pc, p2, G3_VECTOR1(0, 0, 1));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrLengthTooShort);
  EXPECT_EQ(double(centre.GetRad()), 0);
}

TEST_F(CurveTest, CircleArcChecksAndAccessors) {
  G3_CV_CIRCLE c;
  c.SetStartEnd(0, 400);
  EXPECT_EQ(c.GetArc(), 400);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrArcTooLarge);
  C_ERROR::ClearPending();
  c.SetStartEnd(10, 10);
  EXPECT_EQ(c.GetArc(), 0);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrArcTooNarrow);
  C_ERROR::ClearPending();

  c.SetPc(G3_POINT(0, 0, 7));
  c.SetRad(3);
  c.SetVxVy(G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));
  EXPECT_TRUE(c.GetPlane().GetPo() == G3_POINT(0, 0, 7));
  ExpectVec(c.GetVz(), 1, 0, 0);
  EXPECT_EQ(c.GetRad(), 3);
  c.SetPlane(G3_PLANE());
  ExpectVec(c.GetVx(), 1, 0, 0);
  EXPECT_TRUE(c.GetPc() == G3_POINT(0, 0, 0));

  std::unique_ptr<G3_CV> k(c.Clone());
  ASSERT_TRUE(k->IsCircle());
  EXPECT_EQ(static_cast<G3_CV_CIRCLE*>(k.get())->GetRad(), 3);
  std::unique_ptr<G3_CV_CIRCLE> s(c.CloneSame());
  EXPECT_EQ(s->GetStart(), 10);
  std::unique_ptr<G3_CV> g(G3_CV_CIRCLE::GenerateDefault());
  EXPECT_EQ(g->GetEnd(), 360);
}

TEST_F(CurveTest, CircleRecordRoundTrips) {
  C_FILE_MEMORY text(C_FILE::TEXT);
  G3_CV_CIRCLE().Save(&text);
  EXPECT_EQ(text.GetContent(), "0\n1\n0\n0\n0\n360\nP0 0 0\nV1 0 0\nV0 1 0\n1\n");

  G3_PLANE pl(G3_POINT(1, 2, 3), G3_VECTOR1(1, 1, 0), G3_VECTOR1(0, 0, 1));
  G3_CV_CIRCLE src(pl, G_LEN(0.125), G_ANG(-45), G_ARC(200));
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY f(type);
    src.Save(&f);
    f.Rewind();
    G3_CV_CIRCLE r;
    r.Load(kVNow, &f);
    ASSERT_FALSE(C_ERROR::Is()) << PendingText();
    EXPECT_TRUE(f.AtEnd());
    EXPECT_TRUE(r.GetPlane() == src.GetPlane());
    EXPECT_EQ(r.GetRad(), 0.125);
    EXPECT_EQ(r.GetStart(), -45);
    EXPECT_EQ(r.GetEnd(), 155);
  }
  std::string full = text.GetContent();
  C_FILE_MEMORY cut(C_FILE::TEXT, full.substr(0, full.size() - 2));
  G3_CV_CIRCLE r(pl, G_LEN(4));
  r.Load(kVNow, &cut);
  EXPECT_TRUE(C_ERROR::Is());
  EXPECT_EQ(r.GetRad(), 4);
  EXPECT_TRUE(r.GetPc() == G3_POINT(1, 2, 3));
}
