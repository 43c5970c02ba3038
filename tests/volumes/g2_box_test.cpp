#include "volumes/g2_box.h"

#include "volumes/volumes_test_util.h"

namespace {

using namespace volumes_test;  // NOLINT
using G2BoxTest = Test;

const G2_BOX kUnit(0, 1, 0, 1);

TEST_F(G2BoxTest, ConstructionUniteAndCorners) {
  G2_BOX v;
  v.Unite(G2_POINT(1, 2));
  Expect(v, {1, 1, 2, 2});
  v.Unite(G2_BOX(-1, 0, 5, 6));
  Expect(v, {-1, 1, 2, 6});
  Expect(G2_POINTS().GetBox(), {1e100, -1e100, 1e100, -1e100});  // void
  EXPECT_FALSE(C_ERROR::Is());
  Expect(ListOf<G2_POINTS>({G2_POINT(2, 5), G2_POINT(-1, 7)}).GetBox(), {-1, 2, 5, 7});

  const G2_BOX b(1, 5, 2, 4);
  Expect(b.GetTopRight(), {5, 2});  // the top is ymin
  Expect(b.GetBottomLeft(), {1, 4});
  EXPECT_TRUE(G2_POINT(5, 4).IsIn(b));
  EXPECT_FALSE(G2_POINT(5, 4.001).IsIn(b));
}

TEST_F(G2BoxTest, ResizeSplitAndIntersect) {
  G2_BOX s(0, 2, 1, 1);
  s.Scale(-2);
  s.Scale(3);
  Expect(s, {-2, 4, 1, 1});

  // The fraction is clamped to [0, 1].
  G2_BOX lo, hi;
  const G2_BOX w(0, 4, 0, 2);
  w.SplitX(1.5, &lo, &hi);
  Expect(hi, {4, 4, 0, 2});
  w.SplitY(0.25, &lo, &hi);
  Expect(lo, {0, 4, 0, 0.5});
  Expect(hi, {0, 4, 0.5, 2});

  G2_BOX g = kUnit;
  g.Intersect(G2_BOX(-1, -5e-9, 0, 1));  // a gap below G_DIS::Min: swapped
  EXPECT_FALSE(C_ERROR::Is());
  Expect(g, {-5e-9, 0, 0, 1});
  G2_BOX f = kUnit;
  f.Intersect(G2_BOX(0.25, 0.5, 2, 3));
  ASSERT_TRUE(C_ERROR::Is());
  EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "Boxes without intersection");
  Expect(f, {0.25, 0.5, 2, 1});  // x done, y left as computed
}

TEST_F(G2BoxTest, AspectFittingTestsAndOrder) {
  // Expand grows, Retract shrinks, about the centre to the frame's aspect.
  const struct { G2_BOX box, frame; V grown, shrunk; } cases[] = {
      {G2_BOX(0, 4, 0, 1), kUnit, {0, 4, -1.5, 2.5}, {1.5, 2.5, 0, 1}},
      // A flat frame has the ratio 1e100: never widened, retracted to no height.
      {kUnit, G2_BOX(0, 3, 1, 1), {0, 1, 0, 1}, {0, 1, 0.5, 0.5}}};
  for (const auto& c : cases) {
    G2_BOX e = c.box, r = c.box;
    e.Expand(c.frame);
    r.Retract(c.frame);
    Expect(e, c.grown);
    Expect(r, c.shrunk);
  }

  EXPECT_TRUE(kUnit.Clashes(G2_BOX(1, 2, 1, 2)));  // corner contact
  EXPECT_FALSE(kUnit.Clashes(G2_BOX(0, 1, -3, -0.5)));
  EXPECT_EQ(G2_BOX(0, 5, 0, 5) > kUnit, 0);  // no order
}

TEST_F(G2BoxTest, LineCrossingsOrderedAlongTheDirection) {
  // Side bits: 1 xmin, 2 xmax, 4 ymin, 8 ymax; p1 first along the direction.
  const struct { double ox, oy, dx, dy; int code; V p1, p2; } cases[] = {
      {-1, 0.5, 1, 0, 3, {0, 0.5}, {1, 0.5}},
      {0, 0.5, -1, -1, 1 + 8, {0.5, 1}, {0, 0.5}},  // backwards: ymax first
      {1, 0.5, 1, 1, 2 + 4, {0.5, 0}, {1, 0.5}},    // ymin met before xmax
      {0, 0, 1, 1, 3, {0, 0}, {1, 1}},    // two corners: on the vertical sides
      {0, 1, 1, 1, 1, {0, 1}, {0, 1}},    // one touch: p2 = p1
      {3, 0, 1, 1, 0, {7, 7}, {7, 7}}};  // a miss writes nothing
  for (const auto& c : cases) {
    G2_POINT p1(7, 7), p2(7, 7);
    EXPECT_EQ(kUnit.GetInter(G2_AXIS(G2_POINT(c.ox, c.oy), G2_VECTOR1(c.dx, c.dy)), &p1, &p2),
              c.code) << c.ox << " " << c.oy;
    Expect(p1, c.p1, 1e-15);
    Expect(p2, c.p2, 1e-15);
  }
}

TEST_F(G2BoxTest, ClipLineCodesInEitherEndOrder) {
  // exit side * 8 + entry side, ends taken by increasing x; sides 1 xmin,
  // 2 xmax, 3 ymax, 4 ymin; a and b untouched on a miss.
  const struct { G2_POINT p, q; int code; V a, b; } cases[] = {
      {G2_POINT(-1, 0.5), G2_POINT(2, 0.5), 2 * 8 + 1, {0, 0.5}, {1, 0.5}},
      {G2_POINT(0.5, 0.5), G2_POINT(1, -1), 4 * 8, {0.5, 0.5}, {2.0 / 3, 0}},
      // Falling: x = 0.25 + 0.5 (y - 2) / -3 at y = 1 and y = 0.
      {G2_POINT(0.25, 2), G2_POINT(0.75, -1), 4 * 8 + 3, {0.25 + 0.5 / 3, 1}, {0.25 + 1.0 / 3, 0}},
      {G2_POINT(0.5, 2), G2_POINT(2, 0.5), -1, {7, 7}, {8, 8}}};  // beside a corner
  for (const auto& c : cases)
    for (int k = 0; k < 2; k++) {
      G2_POINT a(7, 7), b(8, 8);
      EXPECT_EQ(k == 0 ? kUnit.ClipLine(c.p, c.q, &a, &b) : kUnit.ClipLine(c.q, c.p, &a, &b),
                c.code) << "case " << &c - cases << " order " << k;
      Expect(a, c.a, 1e-15);
      Expect(b, c.b, 1e-15);
    }
  EXPECT_EQ(kUnit.ClipLine(G2_POINT(-1, 0.5), G2_POINT(0.5, 0.5), nullptr, nullptr), 1);
}

TEST_F(G2BoxTest, RecordsRoundTrip) {
  const G2_BOX b(-1.25, 1.0 / 7, 3e-200, 4e200);
  RoundTrip(b, [&](const G2_BOX& r, int) { EXPECT_TRUE(r == b); });
  // Binary: the four doubles raw.
  const V raw = Values(b);
  EXPECT_EQ(Record(b, C_FILE::BINARY), std::string(reinterpret_cast<const char*>(raw.data()), 32));
}

}  // namespace
