#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_points.h"
#include "algebra/g3_transfo.h"
#include "algebra/g3_vector.h"
#include "frame/g_errors.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "volumes/g3_box.h"
#include "volumes/g3_prism.h"
#include "volumes/g3_rect.h"

namespace {

class G3RectTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

void ExpectBounds(const G3_RECT& r, double x0, double x1, double y0, double y1) {
  EXPECT_DOUBLE_EQ(r.GetXmin(), x0);
  EXPECT_DOUBLE_EQ(r.GetXmax(), x1);
  EXPECT_DOUBLE_EQ(r.GetYmin(), y0);
  EXPECT_DOUBLE_EQ(r.GetYmax(), y1);
}

// The plane x = 1 seen from +X: origin (1, 0, 0), Vx = Y, Vy = Z.
const G3_PLANE kSide(G3_POINT(1, 0, 0), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));

TEST_F(G3RectTest, BoundsFromPlaneCoordinates) {
  G3_RECT r;
  ExpectBounds(r, 1e100, -1e100, 1e100, -1e100);
  EXPECT_TRUE(r.GetPlane() == G3_PLANE());
  r.Unite(G3_POINT(2, 3, 0));  // O + 2 Vx + 3 Vy of the default plane
  ExpectBounds(r, 2, 2, 3, 3);
  r.Unite(G3_POINT(-1, 5, 7));  // the normal component is ignored
  ExpectBounds(r, -1, 2, 3, 5);

  // In kSide, (x, y, z) has plane coordinates (y, z).
  const G3_RECT a(kSide, G3_POINT(9, 4, -1), G3_POINT(0, 2, 3));
  EXPECT_TRUE(a.GetPlane() == kSide);
  ExpectBounds(a, 2, 4, -1, 3);
  const G3_RECT b(kSide, G3_POINT(0, 2, 3), G3_POINT(9, 4, -1));
  ExpectBounds(b, 2, 4, -1, 3);

  G3_POINTS pts;
  pts.Append(G3_POINT(5, 1, 1));
  pts.Append(G3_POINT(5, -2, 0.5));
  pts.Append(G3_POINT(5, 0, 4));
  ExpectBounds(G3_RECT(kSide, pts), -2, 1, 0.5, 4);
  ExpectBounds(G3_RECT(kSide, G3_POINTS()), 1e100, -1e100, 1e100, -1e100);

  EXPECT_DOUBLE_EQ(a.GetDeltaX(), 2);
  EXPECT_DOUBLE_EQ(a.GetDeltaY(), 4);
  EXPECT_DOUBLE_EQ(a.GetRadius(), 0.5 * std::sqrt(20.0));
  EXPECT_TRUE(a.GetCentre() == G3_POINT(1, 3, 1));
  EXPECT_TRUE(a.GetMinPt() == G3_POINT(1, 2, -1));
  EXPECT_TRUE(a.GetMaxPt() == G3_POINT(1, 4, 3));

  // Corners are appended after what the list holds.
  G3_POINTS c;
  c.Append(G3_POINT(0, 0, 0));
  c.Append(G3_POINT(0, 0, 0));
  a.GetCorners(&c);
  ASSERT_EQ(c.GetNumber(), 6);
  EXPECT_TRUE(c[2] == G3_POINT(1, 2, -1));
  EXPECT_TRUE(c[3] == G3_POINT(1, 4, -1));
  EXPECT_TRUE(c[4] == G3_POINT(1, 4, 3));
  EXPECT_TRUE(c[5] == G3_POINT(1, 2, 3));

  // A new plane keeps the numbers.
  G3_RECT m = a;
  m.SetPlane(G3_PLANE());
  ExpectBounds(m, 2, 4, -1, 3);
  EXPECT_FALSE(G3_POINT(1, 3, 1).IsIn(a));  // a rectangle holds no point
}

TEST_F(G3RectTest, ResizingAndUnion) {
  G3_RECT r(G3_PLANE(), 0, 2, 0, 4);
  r.Expand(1, 2, 3, 4);
  ExpectBounds(r, -1, 4, -3, 8);
  G3_RECT s(G3_PLANE(), 0, 2, 0, 4);
  s.Scale(-1);
  ExpectBounds(s, 0, 2, 0, 4);
  s.Scale(2);
  ExpectBounds(s, -1, 3, -2, 6);
  s.Scale(0);
  ExpectBounds(s, 1, 1, 2, 2);
  G3_RECT g(G3_PLANE(), 3, 1, 2, 5);
  g.Regularize();
  ExpectBounds(g, 1, 3, 2, 5);

  G3_RECT u(kSide, 0, 1, 0, 1);
  u.Unite(G3_RECT(G3_PLANE(), -1, 0.5, 0.5, 3));  // numbers, whatever the plane
  ExpectBounds(u, -1, 1, 0, 3);
}

TEST_F(G3RectTest, IntersectionAndOverlap) {
  const G3_RECT a(G3_PLANE(), 0, 1, 0, 1);
  const G3_RECT edge(G3_PLANE(), 1, 2, 0, 1);
  EXPECT_TRUE(a.Clashes(edge));
  G3_RECT i = a;
  i.Intersect(edge);
  EXPECT_FALSE(C_ERROR::Is());
  ExpectBounds(i, 1, 1, 0, 1);

  G3_RECT s = a;
  s.Intersect(G3_RECT(G3_PLANE(), 1 + 5e-9, 2, 0, 1));  // within G_DIS::Min: swapped
  EXPECT_FALSE(C_ERROR::Is());
  ExpectBounds(s, 1, 1 + 5e-9, 0, 1);

  G3_RECT f = a;
  f.Intersect(G3_RECT(G3_PLANE(), 2, 3, 0, 1));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrBoxesNoIntersection);
  ExpectBounds(f, 2, 1, 0, 1);
  C_ERROR::ClearPending();
  G3_RECT y = a;
  y.Intersect(G3_RECT(G3_PLANE(), 0.5, 3, -2, -1));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrBoxesNoIntersection);
  ExpectBounds(y, 0.5, 1, 0, -1);

  EXPECT_FALSE(a.Clashes(G3_RECT(G3_PLANE(), 1.01, 2, 0, 1)));
  EXPECT_FALSE(a.Clashes(G3_RECT(G3_PLANE(), 0, 1, -2, -0.01)));
  const G3_RECT in(G3_PLANE(), 0.25, 0.75, 0, 1);
  EXPECT_TRUE(in.IsIn(a));
  EXPECT_FALSE(a.IsIn(in));
  EXPECT_EQ(a > in, 1);
  EXPECT_EQ(in > a, 0);
  EXPECT_EQ(a > a, 1);
}

TEST_F(G3RectTest, RecordsRoundTrip) {
  const G3_RECT r(kSide, -0.5, 1.0 / 3, 2, 1e10);
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    r.Save(&f);
    ASSERT_FALSE(C_ERROR::Is());
    f.Rewind();
    G3_RECT g;
    g.Load(1, &f);
    ASSERT_FALSE(C_ERROR::Is());
    EXPECT_TRUE(g.GetPlane() == kSide);
    ExpectBounds(g, -0.5, 1.0 / 3, 2, 1e10);
  }
  C_FILE_MEMORY t(C_FILE::TEXT);
  r.Save(&t);
  EXPECT_EQ(t.GetContent().substr(0, 10), "P1 0 0\nV0 ");
  C_FILE_MEMORY b(C_FILE::BINARY);
  r.Save(&b);
  ASSERT_EQ(b.GetContent().size(), 3u * 24 + 4 * 8);
  double last;
  std::memcpy(&last, b.GetContent().data() + 3 * 24 + 3 * 8, 8);
  EXPECT_EQ(last, 1e10);
}

// The half space z >= 0 above a plane; counts its point tests.
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

// Accepts every point, and can clone itself.
class ALL : public G3_PRISM {
 public:
  G3_PRISM* Clone() const override { return new ALL(*this); }
  C_BOOL Contains(const G3_POINT&) const override { return true; }
  using G3_PRISM::Contains;
};

TEST_F(G3RectTest, PrismDerivesTheBoxTestFromThePointTest) {
  const ALL all;
  EXPECT_TRUE(all.Contains(G3_BOX(-1, 1, -1, 1, -1, 1)));
  const UPPER up;
  EXPECT_TRUE(up.Contains(G3_BOX(-1, 1, -1, 1, 0, 1)));
  EXPECT_EQ(up.calls, 8);
  up.calls = 0;
  // The first corner below the plane ends the test (the z = zmin face comes first).
  EXPECT_FALSE(up.Contains(G3_BOX(-1, 1, -1, 1, -0.5, 1)));
  EXPECT_EQ(up.calls, 1);

  // With an error already pending: false, and the error stays.
  GerrNullVector.Trigger();
  EXPECT_FALSE(all.Contains(G3_BOX(-1, 1, -1, 1, -1, 1)));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  C_ERROR::ClearPending();

  // The base has no clone: the error by text and null.
  EXPECT_EQ(up.CloneSame(), nullptr);
  ASSERT_TRUE(C_ERROR::Is());
  EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "Clone()");
  C_ERROR::ClearPending();
  G3_PRISM* c = all.CloneSame();
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(c->GetPlane() == all.GetPlane());
  delete c;

  // Plane, order and transformation.
  ALL moved;
  moved.SetPlane(kSide);
  EXPECT_TRUE(moved.GetPlane() == kSide);
  EXPECT_EQ(moved > all, 1);  // origin (1, 0, 0) after (0, 0, 0)
  EXPECT_EQ(all > moved, 0);
  G3_TRANSFO t(G3_VECTOR(0, 0, 2));
  moved.Transfo(t);
  EXPECT_TRUE(moved.GetPlane().GetPo() == G3_POINT(1, 0, 2));
  EXPECT_TRUE(moved.GetPlane().GetVx() == kSide.GetVx());
}

TEST_F(G3RectTest, PointsMoveOnlyInsideThePrism) {
  G3_POINTS pts;
  pts.Append(G3_POINT(0, 0, 1));
  pts.Append(G3_POINT(0, 0, -1));
  pts.Append(G3_POINT(3, 4, 0));
  const UPPER up;
  const G3_TRANSFO t(G3_VECTOR(10, 0, 0));
  pts.Transfo(t, &up);
  EXPECT_TRUE(pts[0] == G3_POINT(10, 0, 1));
  EXPECT_TRUE(pts[1] == G3_POINT(0, 0, -1));
  EXPECT_TRUE(pts[2] == G3_POINT(13, 4, 0));
  EXPECT_EQ(up.calls, 3);
  // Without a prism nothing restricts the move.
  pts.Transfo(t, nullptr);
  EXPECT_TRUE(pts[1] == G3_POINT(10, 0, -1));
}

}  // namespace
