#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "algebra/g3_axis.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_points.h"
#include "algebra/g3_vector.h"
#include "frame/g_errors.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/t_node.h"
#include "volumes/g3_box.h"

namespace {

class G3BoxTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

const G3_BOX kUnit(0, 1, 0, 1, 0, 1);

void ExpectBox(const G3_BOX& b, double x0, double x1, double y0, double y1, double z0,
               double z1) {
  EXPECT_DOUBLE_EQ(b.GetXmin(), x0);
  EXPECT_DOUBLE_EQ(b.GetXmax(), x1);
  EXPECT_DOUBLE_EQ(b.GetYmin(), y0);
  EXPECT_DOUBLE_EQ(b.GetYmax(), y1);
  EXPECT_DOUBLE_EQ(b.GetZmin(), z0);
  EXPECT_DOUBLE_EQ(b.GetZmax(), z1);
}

void ExpectPoint(const G3_POINT& p, double x, double y, double z) {
  EXPECT_DOUBLE_EQ(p.GetCx(), x);
  EXPECT_DOUBLE_EQ(p.GetCy(), y);
  EXPECT_DOUBLE_EQ(p.GetCz(), z);
}

TEST_F(G3BoxTest, VoidBoxTakesExactlyWhatIsUnitedIntoIt) {
  G3_BOX b;
  ExpectBox(b, 1e100, -1e100, 1e100, -1e100, 1e100, -1e100);
  b.Unite(G3_POINT(1, 2, 3));
  ExpectBox(b, 1, 1, 2, 2, 3, 3);
  b.Unite(G3_POINT(-1, 5, 3));
  ExpectBox(b, -1, 1, 2, 5, 3, 3);

  G3_BOX c;
  c.Unite(G3_BOX(0, 1, 0, 2, 0, 3));
  ExpectBox(c, 0, 1, 0, 2, 0, 3);
  c.Unite(G3_BOX(-1, 0.5, 1, 4, 1, 2));
  ExpectBox(c, -1, 1, 0, 4, 0, 3);

  G3_POINTS pts;
  pts.Append(G3_POINT(3, -2, 1));
  pts.Append(G3_POINT(-4, 6, 0));
  G3_BOX d;
  d.Unite(pts);
  ExpectBox(d, -4, 3, -2, 6, 0, 1);
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(G3BoxTest, ConstructorsOrderTheBounds) {
  ExpectBox(G3_BOX(G3_POINT(2, -1, 5), G3_POINT(-3, 4, 5)), -3, 2, -1, 4, 5, 5);
  // Six numbers are stored as given, even when irregular.
  ExpectBox(G3_BOX(5, 1, 0, 0, -2, -3), 5, 1, 0, 0, -2, -3);

  G3_POINTS pts;
  pts.Append(G3_POINT(1, 2, 3));
  pts.Append(G3_POINT(0, 7, -1));
  pts.Append(G3_POINT(4, 3, 2));
  ExpectBox(G3_BOX(pts), 0, 4, 2, 7, -1, 3);
  ExpectBox(pts.GetBox(), 0, 4, 2, 7, -1, 3);
  EXPECT_FALSE(C_ERROR::Is());

  // An empty list is an index error and gives the box at the origin.
  G3_BOX e{G3_POINTS()};
  EXPECT_EQ(C_ERROR::GetPending(), &TerrInvalidIndex);
  ExpectBox(e, 0, 0, 0, 0, 0, 0);
}

TEST_F(G3BoxTest, DerivedMeasuresAndCorners) {
  const G3_BOX b(1, 3, -1, 3, 0, 6);
  ExpectPoint(b.GetMinPt(), 1, -1, 0);
  ExpectPoint(b.GetMaxPt(), 3, 3, 6);
  ExpectPoint(b.GetCentre(), 2, 1, 3);
  EXPECT_DOUBLE_EQ(b.GetDeltaX(), 2);
  EXPECT_DOUBLE_EQ(b.GetDeltaY(), 4);
  EXPECT_DOUBLE_EQ(b.GetDeltaZ(), 6);
  EXPECT_DOUBLE_EQ(b.GetVolume(), 48);
  EXPECT_DOUBLE_EQ(b.GetRadius(), 0.5 * std::sqrt(4.0 + 16 + 36));

  G3_POINTS c;
  c.Append(G3_POINT(9, 9, 9));  // cleared first
  b.GetCorners(&c);
  ASSERT_EQ(c.GetNumber(), 8);
  const double expect[8][3] = {{1, -1, 0}, {3, -1, 0}, {3, 3, 0}, {1, 3, 0},
                               {1, -1, 6}, {3, -1, 6}, {3, 3, 6}, {1, 3, 6}};
  for (int i = 0; i < 8; i++) ExpectPoint(c[i], expect[i][0], expect[i][1], expect[i][2]);
}

TEST_F(G3BoxTest, ExpandScaleAndRegularize) {
  G3_BOX b(0, 2, 0, 2, 0, 2);
  b.Expand(1, 2, 3, 4, -0.5, -0.5);
  ExpectBox(b, -1, 4, -3, 6, 0.5, 1.5);

  G3_BOX s(0, 2, -1, 1, 4, 4);
  s.Scale(2);
  ExpectBox(s, -1, 3, -2, 2, 4, 4);
  s.Scale(-1);
  ExpectBox(s, -1, 3, -2, 2, 4, 4);
  s.Scale(std::nan(""));
  ExpectBox(s, -1, 3, -2, 2, 4, 4);
  s.Scale(0);
  ExpectBox(s, 1, 1, 0, 0, 4, 4);

  G3_BOX v;
  v.Regularize();
  ExpectBox(v, -1e100, 1e100, -1e100, 1e100, -1e100, 1e100);
  G3_BOX m(0, 1, 3, 2, 5, 5);
  m.Regularize();
  ExpectBox(m, 0, 1, 2, 3, 5, 5);
}

TEST_F(G3BoxTest, IntersectKeepsTheCommonPartWithinTheDistanceResolution) {
  G3_BOX a = kUnit;
  a.Intersect(G3_BOX(0.5, 2, -1, 0.25, 0.5, 0.75));
  EXPECT_FALSE(C_ERROR::Is());
  ExpectBox(a, 0.5, 1, 0, 0.25, 0.5, 0.75);

  // A gap of 5e-9 is below G_DIS::Min (1e-8): swapped shut, no error.
  G3_BOX g = kUnit;
  g.Intersect(G3_BOX(1 + 5e-9, 2, 0, 1, 0, 1));
  EXPECT_FALSE(C_ERROR::Is());
  ExpectBox(g, 1, 1 + 5e-9, 0, 1, 0, 1);

  // A real gap: the error, and the axes done before the failing one stay changed.
  G3_BOX f = kUnit;
  f.Intersect(G3_BOX(0.5, 3, 1.1, 2, 0.2, 0.3));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrBoxesNoIntersection);
  EXPECT_STREQ(C_ERROR::GetPending()->GetText(), "G#Err#boxes without intersection");
  EXPECT_DOUBLE_EQ(f.GetXmin(), 0.5);
  EXPECT_DOUBLE_EQ(f.GetXmax(), 1);
  EXPECT_DOUBLE_EQ(f.GetZmin(), 0);  // z not reached
  EXPECT_DOUBLE_EQ(f.GetZmax(), 1);
}

TEST_F(G3BoxTest, ContainmentAndClashes) {
  const G3_BOX inner(0.2, 0.8, 0, 1, 0.5, 0.5);
  EXPECT_TRUE(inner.IsIn(kUnit));
  EXPECT_TRUE(kUnit > inner);
  EXPECT_FALSE(kUnit.IsIn(inner));
  EXPECT_FALSE(inner > kUnit);
  EXPECT_TRUE(kUnit.IsIn(kUnit));  // closed
  EXPECT_TRUE(kUnit == G3_BOX(0, 1, 0, 1, 0, 1));
  EXPECT_FALSE(kUnit == G3_BOX(0, 1, 0, 1, 0, 1.5));

  EXPECT_TRUE(kUnit.Clashes(G3_BOX(1, 2, 1, 2, 1, 2)));  // touching faces
  EXPECT_TRUE(kUnit.Clashes(G3_BOX(0.5, 0.6, -5, 5, 0.9, 3)));
  EXPECT_FALSE(kUnit.Clashes(G3_BOX(1.0000001, 2, 0, 1, 0, 1)));
  EXPECT_FALSE(kUnit.Clashes(G3_BOX(0, 1, 0, 1, -2, -1e-300)));

  // Facing values equal by TisEqual count as touching; exact Clashes disagrees.
  const G3_BOX near(1 + 1e-14, 2, 0, 1, 0, 1);
  EXPECT_FALSE(kUnit.Clashes(near));
  EXPECT_TRUE(kUnit.Clashes_i(near));
  EXPECT_TRUE(near.Clashes_i(kUnit));
  EXPECT_FALSE(kUnit.Clashes_i(G3_BOX(1 + 1e-6, 2, 0, 1, 0, 1)));
  EXPECT_FALSE(kUnit.Clashes_i(G3_BOX(0, 1, 0, 1, -2, -1e-6)));
  EXPECT_TRUE(kUnit.Clashes_i(G3_BOX(0.5, 2, 0.5, 2, 0.5, 2)));

  EXPECT_TRUE(G3_POINT(1, 0, 0.5).IsIn(kUnit));
  EXPECT_FALSE(G3_POINT(1, 0, 1.0000001).IsIn(kUnit));
}

TEST_F(G3BoxTest, HalfSpaceOfTheFarthestCorners) {
  const G3_VECTOR1 up(0, 0, 1);
  EXPECT_EQ(int(kUnit.IsInHalfSpace(G3_POINT(0, 0, 0.5), up)), -1);
  EXPECT_EQ(int(kUnit.IsInHalfSpace(G3_POINT(0, 0, -1), up)), 1);
  EXPECT_EQ(int(kUnit.IsInHalfSpace(G3_POINT(0, 0, 2), up)), 0);
  // A plane through a face: the box is on the side of the normal.
  EXPECT_EQ(int(kUnit.IsInHalfSpace(G3_POINT(0, 0, 0), up)), 1);
  // Oblique normal with negative components: the plane x + y = 0.5 (normal
  // pointing to -x -y) cuts the unit square; x + y = -0.1 leaves it behind.
  const G3_VECTOR1 n(-1, -1, 0);
  EXPECT_EQ(int(kUnit.IsInHalfSpace(G3_POINT(0.25, 0.25, 0), n)), -1);
  EXPECT_EQ(int(kUnit.IsInHalfSpace(G3_POINT(-0.05, -0.05, 0), n)), 0);
  EXPECT_EQ(int(kUnit.IsInHalfSpace(G3_POINT(1.5, 1.5, 0), n)), 1);

  // The plane's test of the corners agrees.
  EXPECT_EQ(int(G3_PLANE(G3_POINT(0, 0, 0.5), up).IsInHalfSpace(kUnit)), -1);
  EXPECT_EQ(int(G3_PLANE(G3_POINT(0, 0, -1), up).IsInHalfSpace(kUnit)), 1);
  EXPECT_EQ(int(G3_PLANE(G3_POINT(0, 0, 2), up).IsInHalfSpace(kUnit)), 0);
}

TEST_F(G3BoxTest, RayEntryPoint) {
  G3_POINT p(9, 9, 9);
  EXPECT_TRUE(kUnit.Intersect(G3_AXIS(G3_POINT(-1, 0.5, 0.5), G3_VECTOR1(1, 0, 0)), &p));
  ExpectPoint(p, 0, 0.5, 0.5);

  // Behind the origin: the half-line misses, the whole line does not.
  const G3_AXIS back(G3_POINT(-1, 0.5, 0.5), G3_VECTOR1(-1, 0, 0));
  p = G3_POINT(9, 9, 9);
  EXPECT_FALSE(kUnit.Intersect(back, &p));
  ExpectPoint(p, 9, 9, 9);
  EXPECT_TRUE(kUnit.Intersect(back, nullptr));
  EXPECT_TRUE(kUnit.Intersect(back));  // no point asked: the whole line

  // From inside the point is the origin itself.
  EXPECT_TRUE(kUnit.Intersect(G3_AXIS(G3_POINT(0.2, 0.3, 0.4), G3_VECTOR1(0, 1, 0)), &p));
  ExpectPoint(p, 0.2, 0.3, 0.4);

  // Oblique, along (1, 2, 0): from (-1, -1.5, 0.5) the plane x = 0 is the
  // last reached (t = sqrt5 against 0.75 sqrt5 for y = 0), at y = 0.5: inside.
  const G3_VECTOR1 d12(1, 2, 0);
  EXPECT_TRUE(kUnit.Intersect(G3_AXIS(G3_POINT(-1, -1.5, 0.5), d12), &p));
  EXPECT_DOUBLE_EQ(p.GetCx(), 0);
  EXPECT_NEAR(p.GetCy(), 0.5, 1e-15);
  EXPECT_DOUBLE_EQ(p.GetCz(), 0.5);
  // From (-1, -2.5, 0.5) y = 0 is the last plane, reached at x = 0.25.
  EXPECT_TRUE(kUnit.Intersect(G3_AXIS(G3_POINT(-1, -2.5, 0.5), d12), &p));
  EXPECT_NEAR(p.GetCx(), 0.25, 1e-15);
  EXPECT_DOUBLE_EQ(p.GetCy(), 0);
  // From (-1, -5, 0.5) y = 0 is reached at x = 1.5: a miss.
  EXPECT_FALSE(kUnit.Intersect(G3_AXIS(G3_POINT(-1, -5, 0.5), d12), &p));
  // Parallel to a face, outside it.
  EXPECT_FALSE(kUnit.Intersect(G3_AXIS(G3_POINT(-1, 2, 0.5), G3_VECTOR1(1, 0, 0)), &p));
}

TEST_F(G3BoxTest, WholeLineSeparatingAxes) {
  // A diagonal line through the box.
  EXPECT_TRUE(kUnit.Intersect(G3_AXIS(G3_POINT(5, 5, 5), G3_VECTOR1(1, 1, 1)), nullptr));
  // A line in the plane z = 0.5 crossing the square's corner region outside:
  // x + y = 2.5 does not meet [0, 1]^2.
  EXPECT_FALSE(kUnit.Intersect(G3_AXIS(G3_POINT(2.5, 0, 0.5), G3_VECTOR1(-1, 1, 0)), nullptr));
  // x + y = 1.5 does.
  EXPECT_TRUE(kUnit.Intersect(G3_AXIS(G3_POINT(1.5, 0, 0.5), G3_VECTOR1(-1, 1, 0)), nullptr));
  // A line along an edge, or lying in a face, only grazes: a miss.
  EXPECT_FALSE(kUnit.Intersect(G3_AXIS(G3_POINT(1, 1, 0), G3_VECTOR1(0, 0, 1)), nullptr));
  EXPECT_FALSE(kUnit.Intersect(G3_AXIS(G3_POINT(1, 0.5, 0), G3_VECTOR1(0, 0, 1)), nullptr));
  EXPECT_TRUE(kUnit.Intersect(G3_AXIS(G3_POINT(0.999, 0.5, 0), G3_VECTOR1(0, 0, 1)), nullptr));
  // Parallel to Z, beside the box.
  EXPECT_FALSE(kUnit.Intersect(G3_AXIS(G3_POINT(2, 0.5, 0), G3_VECTOR1(0, 0, 1)), nullptr));
  EXPECT_TRUE(kUnit.Intersect(G3_AXIS(G3_POINT(0.5, 0.5, -7), G3_VECTOR1(0, 0, -1)), nullptr));
}

TEST_F(G3BoxTest, ClipLineFractionsAndFaceCodes) {
  G3_POINT a, b;
  EXPECT_EQ(kUnit.ClipLine(G3_POINT(-1, 0.5, 0.5), G3_POINT(2, 0.5, 0.5), &a, &b), 2 * 8 + 1);
  ExpectPoint(a, 0, 0.5, 0.5);
  ExpectPoint(b, 1, 0.5, 0.5);

  // Reversed: enters through xmax, leaves through xmin.
  EXPECT_EQ(kUnit.ClipLine(G3_POINT(2, 0.5, 0.5), G3_POINT(-1, 0.5, 0.5), &a, &b), 1 * 8 + 2);
  ExpectPoint(a, 1, 0.5, 0.5);
  ExpectPoint(b, 0, 0.5, 0.5);

  // Wholly inside: 0 and the ends as given.
  EXPECT_EQ(kUnit.ClipLine(G3_POINT(0.1, 0.2, 0.3), G3_POINT(0.9, 0.8, 0.7), &a, &b), 0);
  ExpectPoint(a, 0.1, 0.2, 0.3);
  ExpectPoint(b, 0.9, 0.8, 0.7);

  // From inside up through zmax: (0.5, 0.5, 0.5) -> (0.5, 1, 1.5), cut at t = 1/2.
  EXPECT_EQ(kUnit.ClipLine(G3_POINT(0.5, 0.5, 0.5), G3_POINT(0.5, 1, 1.5), &a, &b), 6 * 8);
  ExpectPoint(a, 0.5, 0.5, 0.5);
  ExpectPoint(b, 0.5, 0.75, 1);

  // In through ymin (t = 1/4) and out through zmax (t = 3/4):
  // (0.5, -0.25, 0.25) -> (0.5, 0.75, 1.25) has d = (0, 1, 1).
  EXPECT_EQ(kUnit.ClipLine(G3_POINT(0.5, -0.25, 0.25), G3_POINT(0.5, 0.75, 1.25), &a, &b),
            6 * 8 + 3);
  ExpectPoint(a, 0.5, 0, 0.5);
  ExpectPoint(b, 0.5, 0.5, 1);

  // Outside: -1 and nothing written.
  a = G3_POINT(7, 7, 7);
  b = G3_POINT(8, 8, 8);
  EXPECT_EQ(kUnit.ClipLine(G3_POINT(2, 0, 0), G3_POINT(3, 1, 1), &a, &b), -1);
  EXPECT_EQ(kUnit.ClipLine(G3_POINT(-1, 2, 0.5), G3_POINT(2, 2, 0.5), &a, &b), -1);  // parallel
  // Passing beside the corner: x + y = 2.5 in z = 0.5.
  EXPECT_EQ(kUnit.ClipLine(G3_POINT(2.5, 0, 0.5), G3_POINT(0, 2.5, 0.5), &a, &b), -1);
  ExpectPoint(a, 7, 7, 7);
  ExpectPoint(b, 8, 8, 8);

  // Null outputs are allowed.
  EXPECT_EQ(kUnit.ClipLine(G3_POINT(-1, 0.5, 0.5), G3_POINT(0.5, 0.5, 0.5), nullptr, nullptr), 1);
  // A segment ending on a face is not cut there.
  EXPECT_EQ(kUnit.ClipLine(G3_POINT(0.5, 0.5, 0.5), G3_POINT(1, 0.5, 0.5), &a, &b), 0);
}

TEST_F(G3BoxTest, RecordsRoundTrip) {
  const G3_BOX b(-1.5, 2.25, 1.0 / 3, 7, -1e-300, 1e100);
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    b.Save(&f);
    ASSERT_FALSE(C_ERROR::Is());
    f.Rewind();
    G3_BOX r;
    r.Load(1, &f);
    ASSERT_FALSE(C_ERROR::Is());
    EXPECT_TRUE(r == b) << "type " << type;
    EXPECT_TRUE(f.AtEnd());
  }
  // Six doubles: six lines of text, 48 bytes of binary.
  C_FILE_MEMORY text(C_FILE::TEXT), bin(C_FILE::BINARY);
  b.Save(&text);
  b.Save(&bin);
  const std::string& t = text.GetContent();
  EXPECT_EQ(std::count(t.begin(), t.end(), '\n'), 6);
  EXPECT_EQ(bin.GetContent().size(), 48u);

  // A truncated record leaves the error pending.
  C_FILE_MEMORY shortFile(C_FILE::BINARY, bin.GetContent().substr(0, 20));
  G3_BOX r;
  r.Load(1, &shortFile);
  EXPECT_TRUE(C_ERROR::Is());
}

}  // namespace
