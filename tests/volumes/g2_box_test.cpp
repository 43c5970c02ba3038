#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "algebra/g2_axis.h"
#include "algebra/g2_point.h"
#include "algebra/g2_points.h"
#include "algebra/g2_vector.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "volumes/g2_box.h"

namespace {

class G2BoxTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

const G2_BOX kUnit(0, 1, 0, 1);

void ExpectBox(const G2_BOX& b, double x0, double x1, double y0, double y1) {
  EXPECT_DOUBLE_EQ(b.GetXmin(), x0);
  EXPECT_DOUBLE_EQ(b.GetXmax(), x1);
  EXPECT_DOUBLE_EQ(b.GetYmin(), y0);
  EXPECT_DOUBLE_EQ(b.GetYmax(), y1);
}

void ExpectPoint(const G2_POINT& p, double x, double y) {
  EXPECT_DOUBLE_EQ(p.GetCx(), x);
  EXPECT_DOUBLE_EQ(p.GetCy(), y);
}

TEST_F(G2BoxTest, ConstructionUniteAndCorners) {
  G2_BOX v;
  ExpectBox(v, 1e100, -1e100, 1e100, -1e100);
  v.Unite(G2_POINT(1, 2));
  ExpectBox(v, 1, 1, 2, 2);
  v.Unite(G2_BOX(-1, 0, 5, 6));
  ExpectBox(v, -1, 1, 2, 6);

  ExpectBox(G2_BOX(G2_POINT(3, -1), G2_POINT(-2, 4)), -2, 3, -1, 4);

  G2_POINTS none;
  const G2_BOX e(none);
  EXPECT_FALSE(C_ERROR::Is());
  ExpectBox(e, 1e100, -1e100, 1e100, -1e100);
  G2_POINTS pts;
  pts.Append(G2_POINT(2, 5));
  pts.Append(G2_POINT(-1, 7));
  pts.Append(G2_POINT(0, 6));
  ExpectBox(G2_BOX(pts), -1, 2, 5, 7);
  ExpectBox(pts.GetBox(), -1, 2, 5, 7);

  const G2_BOX b(1, 5, 2, 4);
  EXPECT_DOUBLE_EQ(b.GetWidth(), 4);
  EXPECT_DOUBLE_EQ(b.GetHeight(), 2);
  EXPECT_DOUBLE_EQ(b.GetRadius(), 0.5 * std::sqrt(20.0));
  ExpectPoint(b.GetCentre(), 3, 3);
  // The top is ymin.
  ExpectPoint(b.GetTopLeft(), 1, 2);
  ExpectPoint(b.GetTopRight(), 5, 2);
  ExpectPoint(b.GetBottomLeft(), 1, 4);
  ExpectPoint(b.GetBottomRight(), 5, 4);

  EXPECT_TRUE(G2_POINT(5, 4).IsIn(b));
  EXPECT_FALSE(G2_POINT(5, 4.001).IsIn(b));
}

TEST_F(G2BoxTest, ExpandScaleRegularizeAndIntersect) {
  G2_BOX b(0, 2, 0, 2);
  b.Expand(1, 2, 3, 4);
  ExpectBox(b, -1, 4, -3, 6);
  G2_BOX s(0, 2, 1, 1);
  s.Scale(3);
  ExpectBox(s, -2, 4, 1, 1);
  s.Scale(-2);
  ExpectBox(s, -2, 4, 1, 1);
  G2_BOX r(2, 1, 0, 1);
  r.Regularize();
  ExpectBox(r, 1, 2, 0, 1);

  G2_BOX i = kUnit;
  i.Intersect(G2_BOX(0.5, 3, -1, 1 + 5e-9));
  EXPECT_FALSE(C_ERROR::Is());
  ExpectBox(i, 0.5, 1, 0, 1);
  G2_BOX g = kUnit;
  g.Intersect(G2_BOX(-1, -5e-9, 0, 1));  // a gap below G_DIS::Min: swapped
  EXPECT_FALSE(C_ERROR::Is());
  ExpectBox(g, -5e-9, 0, 0, 1);
  G2_BOX f = kUnit;
  f.Intersect(G2_BOX(0.25, 0.5, 2, 3));
  ASSERT_TRUE(C_ERROR::Is());
  EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "Boxes without intersection");
  ExpectBox(f, 0.25, 0.5, 2, 1);  // x done, y left as computed
}

TEST_F(G2BoxTest, AspectFitting) {
  const G2_BOX square(0, 1, 0, 1);
  G2_BOX wide(0, 4, 0, 1);
  wide.Expand(square);
  ExpectBox(wide, 0, 4, -1.5, 2.5);
  G2_BOX wide2(0, 4, 0, 1);
  wide2.Retract(square);
  ExpectBox(wide2, 1.5, 2.5, 0, 1);

  G2_BOX tall(0, 1, 0, 4);
  tall.Expand(square);
  ExpectBox(tall, -1.5, 2.5, 0, 4);
  G2_BOX tall2(0, 1, 0, 4);
  tall2.Retract(square);
  ExpectBox(tall2, 0, 1, 1.5, 2.5);

  // Same ratio: nothing changes.
  G2_BOX same(0, 2, 0, 2);
  same.Expand(square);
  ExpectBox(same, 0, 2, 0, 2);
  same.Retract(square);
  ExpectBox(same, 0, 2, 0, 2);

  // A flat frame (height 0) has ratio 1e100: the box is never wider than it.
  const G2_BOX flat(0, 3, 1, 1);
  G2_BOX c(0, 1, 0, 1);
  c.Expand(flat);  // would need fh > 1e-12 to widen
  ExpectBox(c, 0, 1, 0, 1);
  c.Retract(flat);  // lowers the height to fh * w / fw = 0
  ExpectBox(c, 0, 1, 0.5, 0.5);
}

TEST_F(G2BoxTest, SplitClampsTheFraction) {
  const G2_BOX b(0, 4, 0, 2);
  G2_BOX l, r;
  b.SplitX(0.25, &l, &r);
  ExpectBox(l, 0, 1, 0, 2);
  ExpectBox(r, 1, 4, 0, 2);
  b.SplitX(1.5, &l, &r);
  ExpectBox(l, 0, 4, 0, 2);
  ExpectBox(r, 4, 4, 0, 2);
  b.SplitX(-1, &l, &r);
  ExpectBox(l, 0, 0, 0, 2);
  ExpectBox(r, 0, 4, 0, 2);
  G2_BOX t, u;
  b.SplitY(0.5, &t, &u);
  ExpectBox(t, 0, 4, 0, 1);
  ExpectBox(u, 0, 4, 1, 2);
}

TEST_F(G2BoxTest, TestsAndOrder) {
  EXPECT_TRUE(G2_BOX(0.2, 0.8, 0, 1).IsIn(kUnit));
  EXPECT_FALSE(kUnit.IsIn(G2_BOX(0.2, 0.8, 0, 1)));
  EXPECT_TRUE(kUnit.Clashes(G2_BOX(1, 2, 1, 2)));  // corner contact
  EXPECT_FALSE(kUnit.Clashes(G2_BOX(1.5, 2, 0, 1)));
  EXPECT_FALSE(kUnit.Clashes(G2_BOX(0, 1, -3, -0.5)));
  EXPECT_EQ(G2_BOX(0, 5, 0, 5) > kUnit, 0);
  EXPECT_EQ(kUnit > G2_BOX(0, 5, 0, 5), 0);
}

TEST_F(G2BoxTest, LineCrossingsOrderedAlongTheDirection) {
  G2_POINT p1, p2;
  EXPECT_EQ(kUnit.GetInter(G2_AXIS(G2_POINT(-1, 0.5), G2_VECTOR1(1, 0)), &p1, &p2), 3);
  ExpectPoint(p1, 0, 0.5);
  ExpectPoint(p2, 1, 0.5);
  EXPECT_EQ(kUnit.GetInter(G2_AXIS(G2_POINT(-1, 0.5), G2_VECTOR1(-1, 0)), &p1, &p2), 3);
  ExpectPoint(p1, 1, 0.5);
  ExpectPoint(p2, 0, 0.5);

  // Vertical lines: the horizontal sides, ymin (4) and ymax (8).
  EXPECT_EQ(kUnit.GetInter(G2_AXIS(G2_POINT(0.25, 3), G2_VECTOR1(0, -1)), &p1, &p2), 12);
  ExpectPoint(p1, 0.25, 1);
  ExpectPoint(p2, 0.25, 0);
  EXPECT_EQ(kUnit.GetInter(G2_AXIS(G2_POINT(0.25, 3), G2_VECTOR1(0, 1)), &p1, &p2), 12);
  ExpectPoint(p1, 0.25, 0);
  ExpectPoint(p2, 0.25, 1);

  // y = x + 0.5: in through xmin at (0, 0.5), out through ymax at (0.5, 1).
  const G2_VECTOR1 diag(1, 1);
  EXPECT_EQ(kUnit.GetInter(G2_AXIS(G2_POINT(0, 0.5), diag), &p1, &p2), 1 + 8);
  ExpectPoint(p1, 0, 0.5);
  EXPECT_NEAR(p2.GetCx(), 0.5, 1e-15);
  EXPECT_DOUBLE_EQ(p2.GetCy(), 1);
  // Backwards along it: ymax first.
  EXPECT_EQ(kUnit.GetInter(G2_AXIS(G2_POINT(0, 0.5), G2_VECTOR1(-1, -1)), &p1, &p2), 1 + 8);
  EXPECT_DOUBLE_EQ(p1.GetCy(), 1);
  ExpectPoint(p2, 0, 0.5);
  // y = x - 0.5 going up: ymin at (0.5, 0) is met before xmax at (1, 0.5).
  EXPECT_EQ(kUnit.GetInter(G2_AXIS(G2_POINT(1, 0.5), diag), &p1, &p2), 2 + 4);
  EXPECT_NEAR(p1.GetCx(), 0.5, 1e-15);
  EXPECT_DOUBLE_EQ(p1.GetCy(), 0);
  ExpectPoint(p2, 1, 0.5);

  // Through two corners: taken on the vertical sides only.
  EXPECT_EQ(kUnit.GetInter(G2_AXIS(G2_POINT(0, 0), diag), &p1, &p2), 3);
  ExpectPoint(p1, 0, 0);
  // A single touch at a corner: one hit, p2 = p1.
  EXPECT_EQ(kUnit.GetInter(G2_AXIS(G2_POINT(0, 1), diag), &p1, &p2), 1);
  ExpectPoint(p1, 0, 1);
  ExpectPoint(p2, 0, 1);
  // A miss writes nothing.
  p1 = G2_POINT(7, 7);
  EXPECT_EQ(kUnit.GetInter(G2_AXIS(G2_POINT(3, 0), diag), &p1, &p2), 0);
  ExpectPoint(p1, 7, 7);
}

TEST_F(G2BoxTest, ClipLineCodesAndEitherEndOrder) {
  G2_POINT a, b;
  EXPECT_EQ(kUnit.ClipLine(G2_POINT(-1, 0.5), G2_POINT(2, 0.5), &a, &b), 2 * 8 + 1);
  ExpectPoint(a, 0, 0.5);
  ExpectPoint(b, 1, 0.5);
  EXPECT_EQ(kUnit.ClipLine(G2_POINT(2, 0.5), G2_POINT(-1, 0.5), &a, &b), 2 * 8 + 1);
  ExpectPoint(a, 0, 0.5);
  ExpectPoint(b, 1, 0.5);

  EXPECT_EQ(kUnit.ClipLine(G2_POINT(0.2, 0.3), G2_POINT(0.7, 0.9), &a, &b), 0);
  ExpectPoint(a, 0.2, 0.3);
  ExpectPoint(b, 0.7, 0.9);

  // Leaves through ymin (side 4) at (2/3, 0).
  EXPECT_EQ(kUnit.ClipLine(G2_POINT(0.5, 0.5), G2_POINT(1, -1), &a, &b), 4 * 8);
  ExpectPoint(a, 0.5, 0.5);
  EXPECT_DOUBLE_EQ(b.GetCx(), 0.5 + 0.5 * (0 - 0.5) / (-1.5));
  EXPECT_DOUBLE_EQ(b.GetCy(), 0);

  // (-1, -0.5) -> (1, 1.5): y = x + 0.5, in through xmin at (0, 0.5), out
  // through ymax (side 3) at (0.5, 1). Either order gives the same.
  for (int k = 0; k < 2; k++) {
    const G2_POINT p(-1, -0.5), q(1, 1.5);
    const int code = k == 0 ? kUnit.ClipLine(p, q, &a, &b) : kUnit.ClipLine(q, p, &a, &b);
    EXPECT_EQ(code, 3 * 8 + 1);
    ExpectPoint(a, 0, 0.5);
    ExpectPoint(b, 0.5, 1);
  }
  // (0.25, 2) -> (0.75, -1): falling, in through ymax at y = 1, out through ymin.
  // x = 0.25 + 0.5 (y - 2) / (-3).
  for (int k = 0; k < 2; k++) {
    const G2_POINT p(0.25, 2), q(0.75, -1);
    const int code = k == 0 ? kUnit.ClipLine(p, q, &a, &b) : kUnit.ClipLine(q, p, &a, &b);
    EXPECT_EQ(code, 4 * 8 + 3);
    EXPECT_DOUBLE_EQ(a.GetCx(), 0.25 + 0.5 * (1 - 2) / -3.0);
    EXPECT_DOUBLE_EQ(a.GetCy(), 1);
    EXPECT_DOUBLE_EQ(b.GetCx(), 0.25 + 0.5 * (0 - 2) / -3.0);
    EXPECT_DOUBLE_EQ(b.GetCy(), 0);
  }

  // Misses: right of the box, left of it, and beside a corner.
  a = G2_POINT(7, 7);
  EXPECT_EQ(kUnit.ClipLine(G2_POINT(1.5, 0), G2_POINT(3, 1), &a, &b), -1);
  EXPECT_EQ(kUnit.ClipLine(G2_POINT(-3, 0), G2_POINT(-0.5, 1), &a, &b), -1);
  EXPECT_EQ(kUnit.ClipLine(G2_POINT(0.5, 2), G2_POINT(2, 0.5), &a, &b), -1);
  ExpectPoint(a, 7, 7);
  // Null outputs.
  EXPECT_EQ(kUnit.ClipLine(G2_POINT(-1, 0.5), G2_POINT(0.5, 0.5), nullptr, nullptr), 1);
}

TEST_F(G2BoxTest, RecordsRoundTrip) {
  const G2_BOX b(-1.25, 1.0 / 7, 3e-200, 4e200);
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    b.Save(&f);
    ASSERT_FALSE(C_ERROR::Is());
    f.Rewind();
    G2_BOX r;
    r.Load(1, &f);
    ASSERT_FALSE(C_ERROR::Is());
    EXPECT_TRUE(r == b) << "type " << type;
  }
  C_FILE_MEMORY bin(C_FILE::BINARY);
  b.Save(&bin);
  ASSERT_EQ(bin.GetContent().size(), 32u);
  double raw[4];
  std::memcpy(raw, bin.GetContent().data(), 32);
  EXPECT_EQ(raw[0], -1.25);
  EXPECT_EQ(raw[1], 1.0 / 7);
  EXPECT_EQ(raw[2], 3e-200);
  EXPECT_EQ(raw[3], 4e200);
}

}  // namespace
