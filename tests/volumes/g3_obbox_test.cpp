#include "volumes/g3_obbox.h"

#include <algorithm>
#include <limits>
#include <thread>

#include "volumes/volumes_test_util.h"

namespace {

using namespace volumes_test;  // NOLINT
using G3ObboxTest = Test;

G3_VECTOR Sides(const G3_OBBOX& b) {
  return G3_VECTOR(b.GetDeltaX(), b.GetDeltaY(), b.GetDeltaZ());
}

// Turned 45 degrees about Z: Vx = (1, 1, 0) / s2, Vy = (-1, 1, 0) / s2.
G3_FRAME Turned(const G3_POINT& o) {
  return G3_FRAME(o, G3_VECTOR1(1, 1, 0), G3_VECTOR1(-1, 1, 0));
}

// v turned deg degrees about the axis (ax, ay, az) (Rodrigues), written here
// independently of the library.
G3_VECTOR Rot(const G3_VECTOR& v, const G3_VECTOR& axis, double deg) {
  const G3_VECTOR k = (1 / axis.GetNorm()) * axis;
  const double t = deg * M_PI / 180;
  return std::cos(t) * v + std::sin(t) * (k ^ v) + ((k * v) * (1 - std::cos(t))) * k;
}

// The box of pts, checked for what every such box must be: no error, a
// right-handed orthonormal frame, sides in decreasing order, and every point
// inside up to rounding relative to the box's size. A box holding every point
// with the sides of the least box is that box: exact sides then pin it.
G3_OBBOX Build(const G3_POINTS& pts) {
  const G3_OBBOX b(pts);
  EXPECT_FALSE(C_ERROR::Is());
  const G3_FRAME& f = b.GetFrame();
  EXPECT_NEAR(f.GetVx() * f.GetVx(), 1, 1e-12);
  EXPECT_NEAR(f.GetVy() * f.GetVy(), 1, 1e-12);
  EXPECT_NEAR(f.GetVx() * f.GetVy(), 0, 1e-12);
  EXPECT_NEAR(((f.GetVx() ^ f.GetVy()) - f.GetVz()).GetNorm(), 0, 1e-12);
  EXPECT_TRUE(b.GetDeltaX() >= b.GetDeltaY() && b.GetDeltaY() >= b.GetDeltaZ());
  const double tol = 1e-12 * (1 + b.GetDeltaX());
  for (int i = 0; i < pts.GetNumber(); i++) {
    const G3_VECTOR w(f.GetPo(), pts[i]);
    EXPECT_LE(std::fabs(w * f.GetVx()), 0.5 * b.GetDeltaX() + tol) << "point " << i;
    EXPECT_LE(std::fabs(w * f.GetVy()), 0.5 * b.GetDeltaY() + tol) << "point " << i;
    EXPECT_LE(std::fabs(w * f.GetVz()), 0.5 * b.GetDeltaZ() + tol) << "point " << i;
  }
  return b;
}

// Points on the faces of the box with sides s centred on the origin (the
// corners, plus a grid when grid > 1), turned and moved to at.
G3_POINTS BoxSurface(const G3_VECTOR& s, const G3_VECTOR& axis, double deg, const G3_POINT& at,
                     int grid) {
  const double a = s.GetCx() / 2, b = s.GetCy() / 2, c = s.GetCz() / 2;
  G3_POINTS pts;
  for (int i = 0; i <= grid; i++)
    for (int j = 0; j <= grid; j++) {
      const double u = 2.0 * i / grid - 1, v = 2.0 * j / grid - 1;
      for (const G3_VECTOR& p : {G3_VECTOR(-a, u * b, v * c), G3_VECTOR(a, u * b, v * c),
                                 G3_VECTOR(u * a, -b, v * c), G3_VECTOR(u * a, b, v * c),
                                 G3_VECTOR(u * a, v * b, -c), G3_VECTOR(u * a, v * b, c)})
        pts.Append(at + Rot(p, axis, deg));
    }
  return pts;
}

TEST_F(G3ObboxTest, FromAnAxisAlignedBoxAndItsMeasures) {
  // 1 x 3 x 2: sides 3, 2, 1 along Y, Z, X, right-handed (Y ^ Z = X).
  const G3_OBBOX b(G3_BOX(0, 1, 10, 13, -1, 1));
  Expect(Sides(b), {3, 2, 1});
  EXPECT_TRUE(b.GetFrame() == G3_FRAME(G3_POINT(0.5, 11.5, 0), G3_VECTOR1(0, 1, 0),
                                       G3_VECTOR1(0, 0, 1)));

  const double r = std::sqrt(0.5);
  const G3_OBBOX t(Turned(G3_POINT(1, 1, 1)), 4, 2, 1);
  // Half extents 0.5 (4 r + 2 r) = 3 r along x and y, 0.5 along z.
  Expect(t.GetBox(), {1 - 3 * r, 1 + 3 * r, 1 - 3 * r, 1 + 3 * r, 0.5, 1.5}, 1e-15);
  G3_POINTS c = ListOf<G3_POINTS>({G3_POINT(0, 0, 0)});  // cleared first
  t.GetCorners(&c);
  ASSERT_EQ(c.GetNumber(), 8);
  Expect(c[0], {1 - r, 1 - 3 * r, 0.5}, 1e-15);  // centre - 2 Vx - Vy - 0.5 Vz
  Expect(c[6], {1 + r, 1 + 3 * r, 1.5}, 1e-15);
  EXPECT_TRUE(G3_OBBOX(G3_FRAME::BASE, 1, 3, 3).GetLongestAxis() == G3_VECTOR(0, 1, 0));  // tie
  EXPECT_TRUE(G3_OBBOX(G3_FRAME::BASE, 1, 2, 3).GetLongestAxis() == G3_VECTOR(0, 0, 1));
}

TEST_F(G3ObboxTest, SizeChangesRegularizeAndTransfo) {
  G3_OBBOX b(G3_FRAME(G3_POINT(1, 2, 3)), 2, 4, 6);
  b.Scale(-1);
  b.Scale(std::nan(""));
  Expect(Sides(b), {2, 4, 6});
  b.Scale(0.5);
  Expect(Sides(b), {1, 2, 3});
  b.Expand(1, 3, -2, 0, 0, 0);  // centre by (2, -1, 0), sides by (2, 2, 0)
  Expect(b.GetCentre(), {3, 1, 3});
  Expect(Sides(b), {3, 4, 3});
  // (3, 4, 3) reordered: 4 along Y, then X, then Z, and Vz = Y ^ X = -Z.
  b.Regularize();
  EXPECT_TRUE(b == G3_OBBOX(G3_FRAME(G3_POINT(3, 1, 3), G3_VECTOR1(0, 1, 0), G3_VECTOR1(1, 0, 0)),
                            4, 3, 3));

  // A scaling moves the centre but keeps the sides.
  G3_TRANSFO t;
  t.SetSca(G3_POINT(0, 0, 0), 2);
  G3_OBBOX s(G3_FRAME(G3_POINT(1, 1, 1)), 1, 2, 3);
  s.Transfo(t);
  EXPECT_TRUE(s == G3_OBBOX(G3_FRAME(G3_POINT(2, 2, 2)), 1, 2, 3));
}

TEST_F(G3ObboxTest, TightAroundTurnedBoxesCubesAndPlanarSets) {
  // Each set lies on the faces of a box; the box found has that box's sides.
  const struct { G3_VECTOR sides, axis; double deg; G3_POINT at; int grid; } cases[] = {
      {G3_VECTOR(4, 2, 1), G3_VECTOR(1, 2, 3), 40, G3_POINT(5, -3, 2), 4},
      {G3_VECTOR(1, 1.2, 1.4), G3_VECTOR(0, 0, 1), 30, G3_POINT(0, 0, 0), 1},  // near cube
      // A cube's covariance tells no axis: its own sides are found all the
      // same, not the axis-aligned box nor one turned at random.
      {G3_VECTOR(1, 1, 1), G3_VECTOR(0, 0, 1), 30, G3_POINT(0.5, 2, -1), 3},
      {G3_VECTOR(1, 1, 3), G3_VECTOR(1, 0, 1), 25, G3_POINT(0, 0, 0), 2},  // square bar
      // Planar: flat in the plane, Vz its normal.
      {G3_VECTOR(4, 1, 0), G3_VECTOR(1, 1, 0), 35, G3_POINT(1, 2, 3), 8},
      {G3_VECTOR(2, 2, 0), G3_VECTOR(1, 2, 2), 50, G3_POINT(3, 1, 4), 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    V want = Values(c.sides);
    std::sort(want.rbegin(), want.rend());
    Expect(Sides(Build(BoxSurface(c.sides, c.axis, c.deg, c.at, c.grid))), want, 1e-10);
  }
  // A triangle: flat, no worse than the aligned box.
  const G3_OBBOX t = Build(ListOf<G3_POINTS>({G3_POINT(0, 0, 0), G3_POINT(2, 0, 0),
                                              G3_POINT(0, 1, 0)}));
  EXPECT_NEAR(t.GetDeltaZ(), 0, 1e-15);
  EXPECT_LE(t.GetDeltaX() * t.GetDeltaY(), 2 + 1e-12);
}

TEST_F(G3ObboxTest, TheAxisAlignedBoxWinsWhenStrictlySmaller) {
  // A hexagonal prism symmetric about the plane x = y: its covariance axes
  // are the diagonals, whose box (about 1.41 x 1.27 x 3) is larger than the
  // axis-aligned 1 x 1 x 3, whose axes are then ordered Z, X, Y.
  const double hex[6][2] = {{0, 0}, {0.9, 0}, {1, 0.1}, {1, 1}, {0.1, 1}, {0, 0.9}};
  G3_POINTS prism, flat;
  for (double z : {0.0, 3.0})
    for (const auto& h : hex) prism.Append(G3_POINT(h[0], h[1], z));
  EXPECT_TRUE(Build(prism) == G3_OBBOX(G3_FRAME(G3_POINT(0.5, 0.5, 1.5), G3_VECTOR1(0, 0, 1),
                                                G3_VECTOR1(1, 0, 0)), 3, 1, 1));
  // Flat (z = 0), areas are compared: 1 against about 1.8.
  for (const auto& h : hex) flat.Append(G3_POINT(h[0], h[1], 0));
  Expect(Sides(Build(flat)), {1, 1, 0});
}

TEST_F(G3ObboxTest, DegenerateAndBadInput) {
  // Empty: the default box, no error. One point, or two closer than the
  // resolution, or many equal: no extent at the first point.
  EXPECT_TRUE(Build(G3_POINTS()) == G3_OBBOX());
  const G3_OBBOX at1(G3_FRAME(G3_POINT(1, 1, 1)), 0, 0, 0);
  EXPECT_TRUE(Build(ListOf<G3_POINTS>({G3_POINT(1, 1, 1)})) == at1);
  EXPECT_TRUE(G3_OBBOX(ListOf<G3_POINTS>({G3_POINT(1, 1, 1), G3_POINT(1, 1, 1 + 1e-9)})) == at1);

  // Two points, and collinear points: the segment, whichever way the hull fails.
  const G3_OBBOX two = Build(ListOf<G3_POINTS>({G3_POINT(1, 1, 1), G3_POINT(3, 3, 2)}));
  Expect(Sides(two), {3, 0, 0}, 1e-15);
  G3_POINTS line;
  for (int i = 0; i < 7; i++) line.Append(G3_POINT(1 + i, 2 + 2 * i, 3 + 3 * i));
  const G3_OBBOX l = Build(line);
  Expect(Sides(l), {6 * std::sqrt(14.0), 0, 0}, 1e-12);

  // A coordinate not finite: a clear error and the default box.
  G3_POINTS bad = line;
  bad.Append(G3_POINT(0, std::numeric_limits<double>::infinity(), 0));
  EXPECT_TRUE(G3_OBBOX(bad) == G3_OBBOX());
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  C_ERROR::ClearPending();
  // Coordinates too large to square: still a box holding every point.
  const G3_OBBOX far = Build(ListOf<G3_POINTS>({G3_POINT(-1e300, 0, 1e300),
                                                G3_POINT(1e300, 1e300, 1e300)}));
  Expect(Sides(far), {2e300, 1e300, 0});
  const double k = 1e300;
  EXPECT_GT(Build(BoxSurface(G3_VECTOR(4 * k, 2 * k, k), G3_VECTOR(1, 2, 3), 40,
                             G3_POINT(k, 0, -k), 1)).GetVolume(), 0);
}

TEST_F(G3ObboxTest, BoxOfBoxes) {
  const G3_OBBOX a(G3_BOX(0, 1, 0, 1, 0, 1));
  const G3_OBBOX b(G3_BOX(3, 4, 0, 1, 0, 1));
  const G3_OBBOX u(ListOf<T_LIST<const G3_OBBOX*>>({&a, &b}));
  Expect(Sides(u), {4, 1, 1}, 1e-12);
  Expect(u.GetCentre(), {2, 0.5, 0.5}, 1e-12);
}

TEST_F(G3ObboxTest, PointsHalfSpacesAndClashes) {
  // A cube of side 2 turned 45 degrees about Z: the diamond |x| + |y| <= s2.
  const G3_OBBOX d(Turned(G3_POINT(0, 0, 0)), 2, 2, 2);
  EXPECT_TRUE(d.IsIn(G3_POINT(1.4, 0, 1)));
  EXPECT_FALSE(d.IsIn(G3_POINT(1, 0.5, 0)));
  EXPECT_TRUE(G3_OBBOX(G3_FRAME::BASE, 2, 2, 2).IsIn(G3_POINT(1, -1, 1)));  // closed
  EXPECT_FALSE(d.IsIn(d));
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInternalError);
  C_ERROR::ClearPending();
  const G3_VECTOR1 xn(1, 0, 0);
  EXPECT_EQ(int(d.IsInHalfSpace(G3_POINT(0, 0, 0), xn)), -1);
  EXPECT_EQ(int(d.IsInHalfSpace(G3_POINT(-1.5, 0, 0), xn)), 1);
  EXPECT_EQ(int(d.IsInHalfSpace(G3_POINT(1.5, 0, 0), xn)), 0);  // s2 = 1.414

  // Touching boxes do not clash.
  const G3_OBBOX a(G3_FRAME::BASE, 1, 1, 1);
  EXPECT_FALSE(a.Clash(G3_OBBOX(G3_FRAME(G3_POINT(1, 0, 0)), 1, 1, 1)));
  EXPECT_TRUE(a.Clash(G3_OBBOX(G3_FRAME(G3_POINT(0.9, 0, 0)), 1, 1, 1)));
  EXPECT_TRUE(!a.Clash(G3_BOX(0.5, 1, -1, 1, -1, 1)) && a.Clash(G3_BOX(0.45, 1, -1, 1, -1, 1)));
  // A unit cube turned 45 degrees reaches s2 / 2 along X: 0.5 + 0.707 = 1.207.
  for (double x : {1.2, 1.25})
    EXPECT_EQ(bool(a.Clash(G3_OBBOX(Turned(G3_POINT(x, 0, 0)), 1, 1, 1))), x < 1.207) << x;
  // Two crossed rods whose square sections are turned 45 degrees: only the
  // cross product X ^ Y = Z separates them. Each reaches 0.2 / s2 along Z.
  const G3_OBBOX rodX(G3_FRAME(G3_POINT(0, 0, 0), G3_VECTOR1(1, 0, 0), G3_VECTOR1(0, 1, 1)), 10,
                      0.2, 0.2);
  for (double z : {0.25, 0.3}) {
    const G3_OBBOX rodY(G3_FRAME(G3_POINT(0, 0, z), G3_VECTOR1(1, 0, 1), G3_VECTOR1(0, 1, 0)),
                        0.2, 10, 0.2);
    EXPECT_EQ(bool(rodY.Clash(rodX)), z < 0.2 * std::sqrt(2.0)) << z;
  }
}

TEST_F(G3ObboxTest, LineAndHalfLine) {
  // With p: the half-line, p its first point in the box (the exit from
  // inside), untouched on a miss; without: the whole line, grazing misses.
  const G3_OBBOX b(G3_FRAME::BASE, 2, 2, 2);
  const G3_OBBOX d(Turned(G3_POINT(0, 0, 0)), 2, 2, 2);
  const double r2 = std::sqrt(2.0);
  const G3_VECTOR1 x(1, 0, 0), z(0, 0, 1);
  const struct { const G3_OBBOX* box; G3_POINT o; G3_VECTOR1 dir; bool ray, line;
                 V at; } cases[] = {
      {&b, G3_POINT(0, 0, 0), x, true, true, {1, 0, 0}},
      {&b, G3_POINT(5, 0, 0), x, false, true, {7, 7, 7}},
      {&b, G3_POINT(-5, 1, 0), x, true, false, {-1, 1, 0}},  // grazing a face
      {&d, G3_POINT(-5, 1.3, 0.5), x, true, true, {1.3 - r2, 1.3, 0.5}},
      {&d, G3_POINT(-5, 1.5, 0), x, false, false, {7, 7, 7}},
      {&d, G3_POINT(0.6, 0.6, 0), z, true, true, {0.6, 0.6, 1}}};
  for (const auto& c : cases) {
    G3_POINT p(7, 7, 7);
    EXPECT_EQ(bool(c.box->Intersect(G3_AXIS(c.o, c.dir), &p)), c.ray) << &c - cases;
    Expect(p, c.at, 1e-14);
    EXPECT_EQ(bool(c.box->Intersect(G3_AXIS(c.o, c.dir))), c.line) << &c - cases;
  }
}

TEST_F(G3ObboxTest, RecordsRoundTrip) {
  // Text: a point record, three vector records, three numbers; binary: 4 x
  // 24 bytes of frame, 3 x 8 of sides.
  const G3_OBBOX s(G3_FRAME(G3_POINT(1, -2, 0.5), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1)), 3.25,
                   1.0 / 3, 1e-7);
  RoundTrip(s, [&](const G3_OBBOX& r, int) {
    EXPECT_TRUE(r == s && r.GetFrame().GetVz() == s.GetFrame().GetVz());
    Expect(Sides(r), {3.25, 1.0 / 3, 1e-7});
  });
  EXPECT_EQ(Record(s, C_FILE::TEXT), "P1 -2 0.5\nV0 1 0\nV0 0 1\nV1 0 0\n3.25\n"
                                     "0.33333333333333331\n9.9999999999999995e-08\n");
  EXPECT_EQ(Record(s, C_FILE::BINARY).size(), 4u * 24 + 3 * 8);
}

TEST_F(G3ObboxTest, BuildsOnSeveralThreadsAtOnce) {
  // Each thread keeps its own hull: concurrent builds agree with a lone one.
  const G3_POINTS pts = BoxSurface(G3_VECTOR(4, 2, 1), G3_VECTOR(1, 2, 3), 40,
                                   G3_POINT(1, 2, 3), 6);
  const G3_OBBOX ref(pts);
  ASSERT_FALSE(C_ERROR::Is());
  std::vector<int> same(4, 0);
  std::vector<std::thread> threads;
  for (int k = 0; k < 4; k++)
    threads.emplace_back([&, k] {
      for (int i = 0; i < 10; i++) same[k] += G3_OBBOX(pts) == ref && !C_ERROR::Is();
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(same, std::vector<int>(4, 10));
}

}  // namespace
