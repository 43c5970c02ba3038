#include "volumes/g3_rect.h"

#include "volumes/volumes_test_util.h"

namespace {

using namespace volumes_test;  // NOLINT
using G3RectTest = Test;

const V kVoid = {1e100, -1e100, 1e100, -1e100};
// The plane x = 1 seen from +X: origin (1, 0, 0), Vx = Y, Vy = Z; there
// (x, y, z) has the plane coordinates (y, z).
const G3_PLANE kSide(G3_POINT(1, 0, 0), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));

TEST_F(G3RectTest, BoundsFromPlaneCoordinates) {
  G3_RECT r;
  r.Unite(G3_POINT(2, 3, 0));
  r.Unite(G3_POINT(-1, 5, 7));  // the normal component is ignored
  Expect(r, {-1, 2, 3, 5});
  r.Unite(G3_RECT(kSide, -2, 0.5, 0.5, 3));  // numbers, whatever the plane
  Expect(r, {-2, 2, 0.5, 5});
  Expect(G3_RECT(kSide, G3_POINT(9, 4, -1), G3_POINT(0, 2, 3)), {2, 4, -1, 3});
  Expect(G3_RECT(kSide, ListOf<G3_POINTS>({G3_POINT(5, 1, 4), G3_POINT(5, -2, 0.5)})),
         {-2, 1, 0.5, 4});
  Expect(G3_RECT(kSide, G3_POINTS()), kVoid);

  // Corners, as space points, are appended after what the list holds.
  G3_POINTS c = ListOf<G3_POINTS>({G3_POINT(0, 0, 0)});
  G3_RECT(kSide, 2, 4, -1, 3).GetCorners(&c);
  ASSERT_EQ(c.GetNumber(), 5);
  const V corners[4] = {{1, 2, -1}, {1, 4, -1}, {1, 4, 3}, {1, 2, 3}};
  for (int i = 0; i < 4; i++) Expect(c[i + 1], corners[i]);
  EXPECT_FALSE(G3_POINT(1, 3, 1).IsIn(G3_RECT(kSide, 2, 4, -1, 3)));  // no thickness
}

TEST_F(G3RectTest, ScaleRegularizeIntersectAndClash) {
  G3_RECT s(G3_PLANE(), 0, 2, 0, 4);
  s.Scale(-1);
  s.Scale(2);
  Expect(s, {-1, 3, -2, 6});

  // x then y; a gap within G_DIS::Min is swapped shut, a wider one stops.
  const G3_RECT a(G3_PLANE(), 0, 1, 0, 1);
  G3_RECT i = a, j = a;
  i.Intersect(G3_RECT(G3_PLANE(), 1 + 5e-9, 2, 0, 1));
  EXPECT_FALSE(C_ERROR::Is());
  Expect(i, {1, 1 + 5e-9, 0, 1});
  j.Intersect(G3_RECT(G3_PLANE(), 0.5, 3, -2, -1));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrBoxesNoIntersection);
  C_ERROR::ClearPending();
  Expect(j, {0.5, 1, 0, -1});
  EXPECT_TRUE(a.Clashes(G3_RECT(G3_PLANE(), 1, 2, 1, 2)));  // touching
  EXPECT_FALSE(a.Clashes(G3_RECT(G3_PLANE(), 0, 1, -2, -0.01)));
}

TEST_F(G3RectTest, RecordsRoundTrip) {
  const G3_RECT r(kSide, -0.5, 1.0 / 3, 2, 1e10);
  RoundTrip(r, [&](const G3_RECT& g, int) {
    EXPECT_TRUE(g.GetPlane() == kSide);
    Expect(g, {-0.5, 1.0 / 3, 2, 1e10});
  });
  // The plane record, then the four bounds.
  EXPECT_EQ(Record(r, C_FILE::TEXT),
            "P1 0 0\nV0 1 0\nV0 0 1\n-0.5\n0.33333333333333331\n2\n10000000000\n");
  EXPECT_EQ(Record(r, C_FILE::BINARY).size(), 3u * 24 + 4 * 8);
}

// The half space z >= 0 above a plane; counts its point tests. No Clone.
class UPPER : public G3_PRISM {
 public:
  UPPER() : G3_PRISM(G3_PLANE()) {}
  C_BOOL Contains(const G3_POINT& p) const override {
    calls++;
    return p.GetCz() >= 0;
  }
  using G3_PRISM::Contains;
  mutable int calls = 0;
};

TEST_F(G3RectTest, PrismDerivesTheBoxTestFromThePointTest) {
  UPPER up;
  EXPECT_TRUE(up.Contains(G3_BOX(-1, 1, -1, 1, 0, 1)));
  EXPECT_EQ(up.calls, 8);
  // The first corner below the plane ends the test (the face z = zmin first).
  EXPECT_FALSE(up.Contains(G3_BOX(-1, 1, -1, 1, -0.5, 1)));
  EXPECT_EQ(up.calls, 9);
  // With an error already pending: false, and the error stays.
  GerrNullVector.Trigger();
  EXPECT_FALSE(up.Contains(G3_BOX(-1, 1, -1, 1, 0, 1)));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  C_ERROR::ClearPending();
  // The base has no clone: the error by text and null.
  EXPECT_EQ(up.CloneSame(), nullptr);
  ASSERT_TRUE(C_ERROR::Is());
  EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "Clone()");
  C_ERROR::ClearPending();

  // Points move only inside the prism, and anywhere without one.
  G3_POINTS pts = ListOf<G3_POINTS>({G3_POINT(0, 0, 1), G3_POINT(0, 0, -1), G3_POINT(3, 4, 0)});
  const G3_TRANSFO t(G3_VECTOR(10, 0, 0));
  up.calls = 0;
  pts.Transfo(t, &up);
  Expect(pts[1], {0, 0, -1});
  Expect(pts[2], {13, 4, 0});
  EXPECT_EQ(up.calls, 3);
  pts.Transfo(t, nullptr);
  Expect(pts[1], {10, 0, -1});
}

}  // namespace
