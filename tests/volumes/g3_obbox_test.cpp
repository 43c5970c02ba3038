#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <thread>
#include <vector>

#include "algebra/g3_axis.h"
#include "algebra/g3_frame.h"
#include "algebra/g3_point.h"
#include "algebra/g3_points.h"
#include "algebra/g3_transfo.h"
#include "algebra/g3_vector.h"
#include "containers/t_list.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "volumes/g3_box.h"
#include "volumes/g3_obbox.h"

namespace {

class G3ObboxTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

// Rotation of p by deg degrees about the axis (ax, ay, az) through the
// origin (Rodrigues), written here independently of the library.
G3_POINT Rot(const G3_POINT& p, double ax, double ay, double az, double deg) {
  const double n = std::sqrt(ax * ax + ay * ay + az * az);
  ax /= n;
  ay /= n;
  az /= n;
  const double t = deg * M_PI / 180, c = std::cos(t), s = std::sin(t);
  const double x = p.GetCx(), y = p.GetCy(), z = p.GetCz();
  const double d = ax * x + ay * y + az * z;
  const double cx = ay * z - az * y, cy = az * x - ax * z, cz = ax * y - ay * x;
  return G3_POINT(x * c + cx * s + ax * d * (1 - c), y * c + cy * s + ay * d * (1 - c),
                  z * c + cz * s + az * d * (1 - c));
}

double Dot(const G3_VECTOR& a, double x, double y, double z) {
  return a.GetCx() * x + a.GetCy() * y + a.GetCz() * z;
}

// |cos| of the angle between a and the direction (x, y, z).
double Alignment(const G3_VECTOR& a, double x, double y, double z) {
  return std::fabs(Dot(a, x, y, z)) / std::sqrt(x * x + y * y + z * z);
}

// Every point's local coordinates lie within the half sides, up to rounding
// relative to the box's size.
void ExpectAllInside(const G3_OBBOX& b, const G3_POINTS& pts) {
  const G3_FRAME& f = b.GetFrame();
  const double tol = 1e-12 * (1 + b.GetRadius());
  const G3_POINT& c = f.GetPo();
  for (int i = 0; i < pts.GetNumber(); i++) {
    const double w[3] = {pts[i].GetCx() - c.GetCx(), pts[i].GetCy() - c.GetCy(),
                         pts[i].GetCz() - c.GetCz()};
    const double u = std::fabs(Dot(f.GetVx(), w[0], w[1], w[2]));
    const double v = std::fabs(Dot(f.GetVy(), w[0], w[1], w[2]));
    const double s = std::fabs(Dot(f.GetVz(), w[0], w[1], w[2]));
    EXPECT_LE(u, 0.5 * b.GetDeltaX() + tol) << "point " << i;
    EXPECT_LE(v, 0.5 * b.GetDeltaY() + tol) << "point " << i;
    EXPECT_LE(s, 0.5 * b.GetDeltaZ() + tol) << "point " << i;
  }
}

void ExpectRightHandedOrthonormal(const G3_FRAME& f) {
  const G3_VECTOR& x = f.GetVx();
  const G3_VECTOR& y = f.GetVy();
  const G3_VECTOR& z = f.GetVz();
  EXPECT_NEAR(x * x, 1, 1e-12);
  EXPECT_NEAR(y * y, 1, 1e-12);
  EXPECT_NEAR(x * y, 0, 1e-12);
  const G3_VECTOR c = x ^ y;
  EXPECT_NEAR(c.GetCx(), z.GetCx(), 1e-12);
  EXPECT_NEAR(c.GetCy(), z.GetCy(), 1e-12);
  EXPECT_NEAR(c.GetCz(), z.GetCz(), 1e-12);
}

// The corners of the box [-a/2, a/2] x [-b/2, b/2] x [-c/2, c/2], plus a
// grid of points on its faces, rotated and moved.
G3_POINTS BoxSurface(double a, double b, double c, double ax, double ay, double az, double deg,
                     const G3_POINT& at, int grid) {
  G3_POINTS pts;
  for (int i = 0; i <= grid; i++)
    for (int j = 0; j <= grid; j++) {
      const double u = double(i) / grid - 0.5, v = double(j) / grid - 0.5;
      const G3_POINT face[6] = {G3_POINT(-a / 2, u * b, v * c), G3_POINT(a / 2, u * b, v * c),
                                G3_POINT(u * a, -b / 2, v * c), G3_POINT(u * a, b / 2, v * c),
                                G3_POINT(u * a, v * b, -c / 2), G3_POINT(u * a, v * b, c / 2)};
      for (const G3_POINT& p : face) pts.Append(Rot(p, ax, ay, az, deg) + at);
    }
  return pts;
}

TEST_F(G3ObboxTest, SimpleConstructorsAndMeasures) {
  const G3_OBBOX d;
  EXPECT_TRUE(d.GetFrame() == G3_FRAME::BASE);
  EXPECT_EQ(d.GetDeltaX(), 0);
  EXPECT_EQ(d.GetVolume(), 0);

  // From an axis-aligned box of 1 x 3 x 2: sides 3, 2, 1 along Y, Z, X.
  const G3_OBBOX b(G3_BOX(0, 1, 10, 13, -1, 1));
  EXPECT_DOUBLE_EQ(b.GetDeltaX(), 3);
  EXPECT_DOUBLE_EQ(b.GetDeltaY(), 2);
  EXPECT_DOUBLE_EQ(b.GetDeltaZ(), 1);
  EXPECT_DOUBLE_EQ(Alignment(b.GetFrame().GetVx(), 0, 1, 0), 1);
  EXPECT_DOUBLE_EQ(Alignment(b.GetFrame().GetVy(), 0, 0, 1), 1);
  EXPECT_DOUBLE_EQ(b.GetFrame().GetVz().GetCx(), 1);  // Y ^ Z = X: right-handed
  EXPECT_TRUE(b.GetCentre() == G3_POINT(0.5, 11.5, 0));
  EXPECT_DOUBLE_EQ(b.GetVolume(), 6);
  EXPECT_DOUBLE_EQ(b.GetRadius(), 0.5 * std::sqrt(14.0));
  const G3_BOX local = b.GetLocalBox();
  EXPECT_TRUE(local == G3_BOX(-1.5, 1.5, -1, 1, -0.5, 0.5));

  const G3_FRAME f(G3_POINT(1, 2, 3));
  const G3_OBBOX g(f, 4, 5, 6);
  EXPECT_TRUE(g.GetFrame() == f);
  EXPECT_EQ(g.GetDeltaY(), 5);
}

TEST_F(G3ObboxTest, EnclosingBoxCornersAndLongestAxis) {
  // Rotated 45 degrees about Z: Vx = (1, 1, 0)/sqrt2, Vy = (-1, 1, 0)/sqrt2.
  const double s = std::sqrt(0.5);
  const G3_OBBOX b(G3_FRAME(G3_POINT(1, 1, 1), G3_VECTOR1(1, 1, 0), G3_VECTOR1(-1, 1, 0)), 4, 2,
                   1);
  const G3_BOX e = b.GetBox();
  // Half extents along x and y: 0.5 (s * 4 + s * 2) = 3 s; along z 0.5.
  EXPECT_NEAR(e.GetXmin(), 1 - 3 * s, 1e-15);
  EXPECT_NEAR(e.GetXmax(), 1 + 3 * s, 1e-15);
  EXPECT_NEAR(e.GetYmax(), 1 + 3 * s, 1e-15);
  EXPECT_NEAR(e.GetZmin(), 0.5, 1e-15);
  EXPECT_NEAR(e.GetZmax(), 1.5, 1e-15);

  G3_POINTS c;
  c.Append(G3_POINT(0, 0, 0));
  b.GetCorners(&c);
  ASSERT_EQ(c.GetNumber(), 8);
  // First corner: centre - 2 Vx - Vy - 0.5 Vz.
  EXPECT_NEAR(c[0].GetCx(), 1 - 2 * s + s, 1e-15);
  EXPECT_NEAR(c[0].GetCy(), 1 - 2 * s - s, 1e-15);
  EXPECT_NEAR(c[0].GetCz(), 0.5, 1e-15);
  // Opposite corners are symmetric about the centre.
  for (int i = 0; i < 4; i++) {
    const G3_POINT m = 0.5 * (c[i] + c[4 + (i + 2) % 4]);
    EXPECT_NEAR(m.GetCx(), 1, 1e-15);
    EXPECT_NEAR(m.GetCy(), 1, 1e-15);
    EXPECT_NEAR(m.GetCz(), 1, 1e-15);
  }
  for (int i = 0; i < 8; i++) EXPECT_TRUE(c[i].IsIn(e));

  EXPECT_TRUE(G3_VECTOR1(b.GetLongestAxis()) == b.GetFrame().GetVx());
  const G3_OBBOX t(G3_FRAME::BASE, 1, 3, 3);  // tie: the earlier axis
  EXPECT_TRUE(t.GetLongestAxis() == G3_VECTOR(0, 1, 0));
  const G3_OBBOX z(G3_FRAME::BASE, 1, 2, 3);
  EXPECT_TRUE(z.GetLongestAxis() == G3_VECTOR(0, 0, 1));
}

TEST_F(G3ObboxTest, SizeChangesRegularizeAndTransfo) {
  G3_OBBOX b(G3_FRAME(G3_POINT(1, 2, 3)), 2, 4, 6);
  b.Scale(-1);
  EXPECT_EQ(b.GetDeltaZ(), 6);
  b.Scale(0.5);
  EXPECT_EQ(b.GetDeltaX(), 1);
  EXPECT_EQ(b.GetDeltaZ(), 3);
  b.Grow(1, 1, 1);
  EXPECT_EQ(b.GetDeltaY(), 3);
  b.Expand(1, 3, -2, 0, 0, 0);
  EXPECT_TRUE(b.GetCentre() == G3_POINT(3, 1, 3));
  EXPECT_EQ(b.GetDeltaX(), 4);
  EXPECT_EQ(b.GetDeltaY(), 5);
  EXPECT_EQ(b.GetDeltaZ(), 4);
  G3_OBBOX z = b;
  z.Scale(0);
  EXPECT_EQ(z.GetVolume(), 0);
  EXPECT_TRUE(z.GetCentre() == b.GetCentre());

  // (4, 5, 4) reordered: 5 along Y, 4 along X, 4 along Z; then Vz = Y ^ X = -Z.
  b.Regularize();
  EXPECT_EQ(b.GetDeltaX(), 5);
  EXPECT_EQ(b.GetDeltaY(), 4);
  EXPECT_EQ(b.GetDeltaZ(), 4);
  EXPECT_DOUBLE_EQ(b.GetFrame().GetVx().GetCy(), 1);
  EXPECT_DOUBLE_EQ(b.GetFrame().GetVy().GetCx(), 1);
  EXPECT_DOUBLE_EQ(b.GetFrame().GetVz().GetCz(), -1);
  ExpectRightHandedOrthonormal(b.GetFrame());

  // A scaling moves the centre but keeps the sides.
  G3_TRANSFO t;
  t.SetSca(G3_POINT(0, 0, 0), 2);
  G3_OBBOX s(G3_FRAME(G3_POINT(1, 1, 1)), 1, 2, 3);
  s.Transfo(t);
  EXPECT_TRUE(s.GetCentre() == G3_POINT(2, 2, 2));
  EXPECT_EQ(s.GetDeltaX(), 1);
  EXPECT_EQ(s.GetDeltaZ(), 3);

  EXPECT_TRUE(G3_OBBOX(G3_FRAME::BASE, 3, 2, 1) > G3_OBBOX(G3_FRAME::BASE, 3, 1, 1));
  EXPECT_FALSE(G3_OBBOX(G3_FRAME::BASE, 3, 2, 1) > G3_OBBOX(G3_FRAME::BASE, 1, 1, 2));
}

TEST_F(G3ObboxTest, TightAroundRotatedBoxes) {
  // A 4 x 2 x 1 box turned 40 degrees about (1, 2, 3): its own sides and axes.
  const G3_POINT at(5, -3, 2);
  for (int grid : {1, 4}) {
    const G3_POINTS pts = BoxSurface(4, 2, 1, 1, 2, 3, 40, at, grid);
    const G3_OBBOX b(pts);
    ASSERT_FALSE(C_ERROR::Is());
    EXPECT_NEAR(b.GetDeltaX(), 4, 1e-9);
    EXPECT_NEAR(b.GetDeltaY(), 2, 1e-9);
    EXPECT_NEAR(b.GetDeltaZ(), 1, 1e-9);
    const G3_POINT ex = Rot(G3_POINT(1, 0, 0), 1, 2, 3, 40);
    const G3_POINT ey = Rot(G3_POINT(0, 1, 0), 1, 2, 3, 40);
    EXPECT_NEAR(Alignment(b.GetFrame().GetVx(), ex.GetCx(), ex.GetCy(), ex.GetCz()), 1, 1e-12);
    EXPECT_NEAR(Alignment(b.GetFrame().GetVy(), ey.GetCx(), ey.GetCy(), ey.GetCz()), 1, 1e-12);
    EXPECT_NEAR(b.GetCentre().GetCx(), 5, 1e-12);
    EXPECT_NEAR(b.GetCentre().GetCy(), -3, 1e-12);
    EXPECT_NEAR(b.GetCentre().GetCz(), 2, 1e-12);
    ExpectRightHandedOrthonormal(b.GetFrame());
    ExpectAllInside(b, pts);
  }

  // A near cube (1 x 1.2 x 1.4) turned 30 degrees about Z is still found.
  const G3_POINTS nc = BoxSurface(1, 1.2, 1.4, 0, 0, 1, 30, G3_POINT(0, 0, 0), 1);
  const G3_OBBOX n(nc);
  EXPECT_NEAR(n.GetVolume(), 1 * 1.2 * 1.4, 1e-9);
  EXPECT_NEAR(Alignment(n.GetFrame().GetVz(), std::cos(M_PI / 6), std::sin(M_PI / 6), 0), 1,
              1e-12);
  ExpectAllInside(n, nc);

}

TEST_F(G3ObboxTest, EqualEigenvaluesStillGiveTheTightBox) {
  // A cube has an isotropic covariance that tells no axis: its own sides are
  // found all the same, not the larger axis-aligned box ((cos 30 + sin 30)^2
  // in volume) nor one turned at random.
  for (int grid : {1, 3}) {
    const G3_POINTS cube = BoxSurface(1, 1, 1, 0, 0, 1, 30, G3_POINT(0.5, 2, -1), grid);
    const G3_OBBOX c(cube);
    ASSERT_FALSE(C_ERROR::Is());
    EXPECT_NEAR(c.GetDeltaX(), 1, 1e-9);
    EXPECT_NEAR(c.GetDeltaY(), 1, 1e-9);
    EXPECT_NEAR(c.GetDeltaZ(), 1, 1e-9);
    // Every axis is one of the cube's: turned 30 degrees about Z, or Z.
    const G3_VECTOR axes[3] = {c.GetFrame().GetVx(), c.GetFrame().GetVy(), c.GetFrame().GetVz()};
    for (const G3_VECTOR& a : axes) {
      const double m = std::max({Alignment(a, std::cos(M_PI / 6), std::sin(M_PI / 6), 0),
                                 Alignment(a, -std::sin(M_PI / 6), std::cos(M_PI / 6), 0),
                                 Alignment(a, 0, 0, 1)});
      EXPECT_NEAR(m, 1, 1e-9);
    }
    EXPECT_NEAR(c.GetCentre().GetCx(), 0.5, 1e-12);
    EXPECT_NEAR(c.GetCentre().GetCy(), 2, 1e-12);
    ExpectRightHandedOrthonormal(c.GetFrame());
    ExpectAllInside(c, cube);
  }

  // A square bar (two equal eigenvalues): the distinct axis is the bar's
  // length, the square's sides are found across it.
  const G3_POINTS bar = BoxSurface(1, 1, 3, 1, 0, 1, 25, G3_POINT(0, 0, 0), 2);
  const G3_OBBOX b(bar);
  EXPECT_NEAR(b.GetDeltaX(), 3, 1e-9);
  EXPECT_NEAR(b.GetDeltaY(), 1, 1e-9);
  EXPECT_NEAR(b.GetDeltaZ(), 1, 1e-9);
  const G3_POINT len = Rot(G3_POINT(0, 0, 1), 1, 0, 1, 25);
  EXPECT_NEAR(Alignment(b.GetFrame().GetVx(), len.GetCx(), len.GetCy(), len.GetCz()), 1, 1e-9);
  const G3_POINT side = Rot(G3_POINT(1, 0, 0), 1, 0, 1, 25);
  const G3_POINT other = Rot(G3_POINT(0, 1, 0), 1, 0, 1, 25);
  EXPECT_NEAR(std::max(Alignment(b.GetFrame().GetVy(), side.GetCx(), side.GetCy(), side.GetCz()),
                       Alignment(b.GetFrame().GetVy(), other.GetCx(), other.GetCy(),
                                 other.GetCz())),
              1, 1e-9);
  ExpectAllInside(b, bar);

  // A square in a tilted plane: flat, with the square's own sides.
  G3_POINTS sq;
  for (int i = 0; i <= 2; i++)
    for (int j = 0; j <= 2; j++)
      sq.Append(Rot(G3_POINT(i - 1.0, j - 1.0, 0), 1, 2, 2, 50) + G3_VECTOR(3, 1, 4));
  const G3_OBBOX f(sq);
  EXPECT_NEAR(f.GetDeltaX(), 2, 1e-9);
  EXPECT_NEAR(f.GetDeltaY(), 2, 1e-9);
  EXPECT_NEAR(f.GetDeltaZ(), 0, 1e-9);
  ExpectAllInside(f, sq);
}

TEST_F(G3ObboxTest, AxisAlignedSetsAndTheCompetition) {
  // Points on the box 4 x 2 x 1: that box, along X, Y, Z.
  G3_POINTS pts = BoxSurface(4, 2, 1, 0, 0, 1, 0, G3_POINT(2, 1, 0.5), 2);
  const G3_OBBOX b(pts);
  EXPECT_NEAR(b.GetDeltaX(), 4, 1e-12);
  EXPECT_NEAR(b.GetDeltaY(), 2, 1e-12);
  EXPECT_NEAR(b.GetDeltaZ(), 1, 1e-12);
  EXPECT_NEAR(Alignment(b.GetFrame().GetVx(), 1, 0, 0), 1, 1e-12);
  EXPECT_NEAR(Alignment(b.GetFrame().GetVy(), 0, 1, 0), 1, 1e-12);
  ExpectAllInside(b, pts);

  // A hexagonal prism symmetric about the plane x = y: its covariance axes are
  // the diagonals, whose box (about 1.41 x 1.27 x 3) is larger than the
  // axis-aligned 1 x 1 x 3. The axis-aligned box wins, its axes ordered Z, X, Y.
  const double hex[6][2] = {{0, 0}, {0.9, 0}, {1, 0.1}, {1, 1}, {0.1, 1}, {0, 0.9}};
  G3_POINTS prism;
  for (double z : {0.0, 3.0})
    for (const auto& h : hex) prism.Append(G3_POINT(h[0], h[1], z));
  const G3_OBBOX p(prism);
  EXPECT_EQ(p.GetDeltaX(), 3);
  EXPECT_EQ(p.GetDeltaY(), 1);
  EXPECT_EQ(p.GetDeltaZ(), 1);
  EXPECT_TRUE(p.GetCentre() == G3_POINT(0.5, 0.5, 1.5));
  EXPECT_TRUE(p.GetFrame().GetVx() == G3_VECTOR1(0, 0, 1));
  EXPECT_TRUE(p.GetFrame().GetVy() == G3_VECTOR1(1, 0, 0));
  EXPECT_DOUBLE_EQ(p.GetFrame().GetVz().GetCy(), 1);

  // The same hexagon flat (z = 0): areas are compared, 1 against about 1.8.
  G3_POINTS flat;
  for (const auto& h : hex) flat.Append(Rot(G3_POINT(h[0], h[1], 0), 0, 0, 1, 0));
  const G3_OBBOX q(flat);
  EXPECT_EQ(q.GetDeltaX(), 1);
  EXPECT_EQ(q.GetDeltaY(), 1);
  EXPECT_EQ(q.GetDeltaZ(), 0);
}

TEST_F(G3ObboxTest, PlanarSetsLieFlatInTheirPlane) {
  // A 4 x 1 grid turned 35 degrees about (1, 1, 0): DeltaZ vanishes and Vz is
  // the plane's normal, the image of Z.
  G3_POINTS pts;
  for (int i = 0; i <= 8; i++)
    for (int j = 0; j <= 2; j++)
      pts.Append(Rot(G3_POINT(0.5 * i, 0.5 * j, 0), 1, 1, 0, 35) + G3_VECTOR(1, 2, 3));
  const G3_OBBOX b(pts);
  ASSERT_FALSE(C_ERROR::Is());
  EXPECT_NEAR(b.GetDeltaX(), 4, 1e-12);
  EXPECT_NEAR(b.GetDeltaY(), 1, 1e-12);
  EXPECT_NEAR(b.GetDeltaZ(), 0, 1e-12);
  const G3_POINT n = Rot(G3_POINT(0, 0, 1), 1, 1, 0, 35);
  EXPECT_NEAR(Alignment(b.GetFrame().GetVz(), n.GetCx(), n.GetCy(), n.GetCz()), 1, 1e-12);
  ExpectAllInside(b, pts);

  // A triangle: three points are always planar.
  G3_POINTS tri;
  tri.Append(G3_POINT(0, 0, 0));
  tri.Append(G3_POINT(2, 0, 0));
  tri.Append(G3_POINT(0, 1, 0));
  const G3_OBBOX t(tri);
  EXPECT_NEAR(t.GetDeltaZ(), 0, 1e-15);
  EXPECT_NEAR(Alignment(t.GetFrame().GetVz(), 0, 0, 1), 1, 1e-12);
  ExpectAllInside(t, tri);
  EXPECT_LE(t.GetDeltaX() * t.GetDeltaY(), 2 + 1e-12);  // no worse than the aligned box
}

TEST_F(G3ObboxTest, DegenerateAndBadInput) {
  // Empty: the default box, no error.
  const G3_OBBOX e{G3_POINTS()};
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_TRUE(e == G3_OBBOX());

  G3_POINTS one;
  one.Append(G3_POINT(1, 2, 3));
  const G3_OBBOX o(one);
  EXPECT_TRUE(o == G3_OBBOX(G3_FRAME(G3_POINT(1, 2, 3)), 0, 0, 0));

  G3_POINTS two;
  two.Append(G3_POINT(1, 1, 1));
  two.Append(G3_POINT(3, 3, 2));
  const G3_OBBOX t(two);
  EXPECT_DOUBLE_EQ(t.GetDeltaX(), 3);
  EXPECT_EQ(t.GetDeltaY(), 0);
  EXPECT_EQ(t.GetDeltaZ(), 0);
  EXPECT_NEAR(Alignment(t.GetFrame().GetVx(), 2, 2, 1), 1, 1e-15);
  EXPECT_TRUE(t.GetCentre() == G3_POINT(2, 2, 1.5));
  ExpectRightHandedOrthonormal(t.GetFrame());

  G3_POINTS same2;
  same2.Append(G3_POINT(1, 1, 1));
  same2.Append(G3_POINT(1, 1, 1 + 1e-9));
  EXPECT_TRUE(G3_OBBOX(same2) == G3_OBBOX(G3_FRAME(G3_POINT(1, 1, 1)), 0, 0, 0));

  // Many coincident points: a box of no extent at that point.
  G3_POINTS same;
  for (int i = 0; i < 6; i++) same.Append(G3_POINT(-4, 5, 6));
  const G3_OBBOX s(same);
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_TRUE(s.GetCentre() == G3_POINT(-4, 5, 6));
  EXPECT_EQ(s.GetVolume(), 0);
  EXPECT_EQ(s.GetDeltaX(), 0);

  // Collinear points: the segment, whichever way the hull fails.
  G3_POINTS line;
  for (int i = 0; i < 7; i++) line.Append(G3_POINT(1 + i, 2 + 2 * i, 3 + 3 * i));
  const G3_OBBOX l(line);
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_NEAR(l.GetDeltaX(), 6 * std::sqrt(14.0), 1e-12);
  EXPECT_NEAR(l.GetDeltaY(), 0, 1e-12);
  EXPECT_NEAR(l.GetDeltaZ(), 0, 1e-12);
  EXPECT_NEAR(Alignment(l.GetFrame().GetVx(), 1, 2, 3), 1, 1e-12);
  ExpectAllInside(l, line);

  // Not-a-number: a clear error and the default box.
  G3_POINTS bad = line;
  bad.Append(G3_POINT(0, std::nan(""), 0));
  const G3_OBBOX n(bad);
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  EXPECT_TRUE(n == G3_OBBOX());
  C_ERROR::ClearPending();
  bad.Append(G3_POINT(std::numeric_limits<double>::infinity(), 0, 0));
  EXPECT_TRUE(G3_OBBOX(bad) == G3_OBBOX());
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInvalidValue);
  C_ERROR::ClearPending();

  // Very large coordinates: still a box holding every point, and no error.
  G3_POINTS far2;
  far2.Append(G3_POINT(-1e300, 0, 1e300));
  far2.Append(G3_POINT(1e300, 1e300, 1e300));
  const G3_OBBOX f2(far2);
  EXPECT_FALSE(C_ERROR::Is());
  EXPECT_EQ(f2.GetDeltaX(), 2e300);
  EXPECT_EQ(f2.GetDeltaY(), 1e300);
  EXPECT_TRUE(f2.GetCentre() == G3_POINT(0, 5e299, 1e300));
  for (double scale : {1e35, 1e200, 1e300}) {
    const G3_POINTS big = BoxSurface(4 * scale, 2 * scale, scale, 1, 2, 3, 40,
                                     G3_POINT(scale, 0, -scale), 1);
    const G3_OBBOX g(big);
    EXPECT_FALSE(C_ERROR::Is()) << scale;
    EXPECT_GT(g.GetVolume(), 0);
    const G3_FRAME& f = g.GetFrame();
    for (int i = 0; i < big.GetNumber(); i++) {
      const G3_VECTOR w(f.GetPo(), big[i]);
      EXPECT_LE(std::fabs(w * f.GetVx()), 0.5 * g.GetDeltaX() * (1 + 1e-12)) << scale;
      EXPECT_LE(std::fabs(w * f.GetVy()), 0.5 * g.GetDeltaY() * (1 + 1e-12)) << scale;
      EXPECT_LE(std::fabs(w * f.GetVz()), 0.5 * g.GetDeltaZ() * (1 + 1e-12)) << scale;
    }
  }
}

TEST_F(G3ObboxTest, BoxOfBoxes) {
  const G3_OBBOX a(G3_BOX(0, 1, 0, 1, 0, 1));
  const G3_OBBOX b(G3_BOX(3, 4, 0, 1, 0, 1));
  T_LIST<const G3_OBBOX*> list;
  list.Append(&a);
  list.Append(&b);
  const G3_OBBOX u(list);
  EXPECT_NEAR(u.GetDeltaX(), 4, 1e-12);
  EXPECT_NEAR(u.GetDeltaY(), 1, 1e-12);
  EXPECT_NEAR(u.GetDeltaZ(), 1, 1e-12);
  EXPECT_NEAR(u.GetCentre().GetCx(), 2, 1e-12);
  EXPECT_NEAR(u.GetCentre().GetCy(), 0.5, 1e-12);
  EXPECT_TRUE(G3_OBBOX(T_LIST<const G3_OBBOX*>()) == G3_OBBOX());
}

TEST_F(G3ObboxTest, PointTestsAndHalfSpace) {
  const G3_OBBOX b(G3_FRAME(G3_POINT(0, 0, 0), G3_VECTOR1(1, 1, 0), G3_VECTOR1(-1, 1, 0)), 2, 2,
                   2);
  // A diamond in the xy plane: |x| + |y| <= sqrt2.
  EXPECT_TRUE(b.IsIn(G3_POINT(0, 0, 0)));
  EXPECT_TRUE(b.IsIn(G3_POINT(1.4, 0, 1)));
  EXPECT_FALSE(b.IsIn(G3_POINT(1, 0.5, 0)));
  EXPECT_FALSE(b.IsIn(G3_POINT(0, 0, 1.01)));
  EXPECT_TRUE(G3_OBBOX(G3_FRAME::BASE, 2, 2, 2).IsIn(G3_POINT(1, -1, 1)));  // closed

  EXPECT_FALSE(b.IsIn(b));
  EXPECT_EQ(C_ERROR::GetPending(), &CerrInternalError);
  C_ERROR::ClearPending();

  const G3_VECTOR1 xn(1, 0, 0);
  EXPECT_EQ(int(b.IsInHalfSpace(G3_POINT(0, 0, 0), xn)), -1);
  EXPECT_EQ(int(b.IsInHalfSpace(G3_POINT(-1.5, 0, 0), xn)), 1);
  EXPECT_EQ(int(b.IsInHalfSpace(G3_POINT(1.5, 0, 0), xn)), 0);
  EXPECT_EQ(int(b.IsInHalfSpace(G3_POINT(1.3, 0, 0), xn)), -1);
}

TEST_F(G3ObboxTest, ClashBySeparatingAxes) {
  const G3_OBBOX a(G3_FRAME::BASE, 1, 1, 1);
  EXPECT_FALSE(a.Clash(G3_OBBOX(G3_FRAME(G3_POINT(1, 0, 0)), 1, 1, 1)));  // touching
  EXPECT_TRUE(a.Clash(G3_OBBOX(G3_FRAME(G3_POINT(0.9, 0, 0)), 1, 1, 1)));
  EXPECT_TRUE(a.Clash(G3_OBBOX(G3_FRAME::BASE, 0.1, 5, 0.1)));  // same centre
  EXPECT_FALSE(a.Clash(G3_BOX(0.5, 1, -1, 1, -1, 1)));
  EXPECT_TRUE(a.Clash(G3_BOX(0.45, 1, -1, 1, -1, 1)));

  // A cube turned 45 degrees about Z reaches sqrt(0.5) along X.
  const G3_OBBOX r(G3_FRAME(G3_POINT(1.2, 0, 0), G3_VECTOR1(1, 1, 0), G3_VECTOR1(-1, 1, 0)), 1,
                   1, 1);
  EXPECT_TRUE(a.Clash(r));  // 1.2 < 0.5 + 0.707
  const G3_OBBOX r2(G3_FRAME(G3_POINT(1.25, 0, 0), G3_VECTOR1(1, 1, 0), G3_VECTOR1(-1, 1, 0)),
                    1, 1, 1);
  EXPECT_FALSE(a.Clash(r2));  // 1.25 > 1.207

  // Two crossed rods whose square sections are turned 45 degrees: only the
  // cross product X ^ Y = Z separates them. Each reaches 0.2 / sqrt2 along Z.
  const G3_OBBOX rodX(G3_FRAME(G3_POINT(0, 0, 0), G3_VECTOR1(1, 0, 0), G3_VECTOR1(0, 1, 1)), 10,
                      0.2, 0.2);
  for (double d : {0.25, 0.3}) {
    const G3_OBBOX rodY(G3_FRAME(G3_POINT(0, 0, d), G3_VECTOR1(1, 0, 1), G3_VECTOR1(0, 1, 0)),
                        0.2, 10, 0.2);
    EXPECT_EQ(bool(rodX.Clash(rodY)), d < 0.2 * std::sqrt(2.0)) << d;
    EXPECT_EQ(bool(rodY.Clash(rodX)), d < 0.2 * std::sqrt(2.0)) << d;
  }
}

TEST_F(G3ObboxTest, LineAndHalfLine) {
  const G3_OBBOX b(G3_FRAME::BASE, 2, 2, 2);
  const G3_VECTOR1 x(1, 0, 0);
  G3_POINT p;
  EXPECT_TRUE(b.Intersect(G3_AXIS(G3_POINT(-5, 0, 0), x), &p));
  EXPECT_TRUE(p == G3_POINT(-1, 0, 0));
  EXPECT_TRUE(b.Intersect(G3_AXIS(G3_POINT(0, 0, 0), x), &p));
  EXPECT_TRUE(p == G3_POINT(1, 0, 0));
  p = G3_POINT(7, 7, 7);
  EXPECT_FALSE(b.Intersect(G3_AXIS(G3_POINT(5, 0, 0), x), &p));
  EXPECT_TRUE(p == G3_POINT(7, 7, 7));
  EXPECT_TRUE(b.Intersect(G3_AXIS(G3_POINT(5, 0, 0), x), nullptr));
  EXPECT_TRUE(b.Intersect(G3_AXIS(G3_POINT(5, 0, 0), x)));
  // Parallel to a slab, outside it: both modes miss.
  EXPECT_FALSE(b.Intersect(G3_AXIS(G3_POINT(-5, 1.5, 0), x), &p));
  EXPECT_FALSE(b.Intersect(G3_AXIS(G3_POINT(-5, 1.5, 0), x), nullptr));
  // Grazing a face: the line misses, the half-line's slabs include the bound.
  EXPECT_FALSE(b.Intersect(G3_AXIS(G3_POINT(-5, 1, 0), x), nullptr));

  // The diamond |x| + |y| <= sqrt2 (a cube of side 2 turned 45 degrees).
  const G3_OBBOX d(G3_FRAME(G3_POINT(0, 0, 0), G3_VECTOR1(1, 1, 0), G3_VECTOR1(-1, 1, 0)), 2, 2,
                   2);
  const double r2 = std::sqrt(2.0);
  EXPECT_TRUE(d.Intersect(G3_AXIS(G3_POINT(-5, 0, 0), x), &p));
  EXPECT_NEAR(p.GetCx(), -r2, 1e-14);
  EXPECT_NEAR(p.GetCy(), 0, 1e-14);
  EXPECT_TRUE(d.Intersect(G3_AXIS(G3_POINT(-5, 1.3, 0.5), x), &p));
  EXPECT_NEAR(p.GetCx(), -(r2 - 1.3), 1e-14);
  EXPECT_NEAR(p.GetCy(), 1.3, 1e-14);
  EXPECT_TRUE(d.Intersect(G3_AXIS(G3_POINT(-5, 1.3, 0.5), x), nullptr));
  EXPECT_FALSE(d.Intersect(G3_AXIS(G3_POINT(-5, 1.5, 0), x), &p));
  EXPECT_FALSE(d.Intersect(G3_AXIS(G3_POINT(-5, 1.5, 0), x), nullptr));
  // Along Z beside the diamond.
  EXPECT_FALSE(d.Intersect(G3_AXIS(G3_POINT(0.9, 0.9, 0), G3_VECTOR1(0, 0, 1)), nullptr));
  EXPECT_TRUE(d.Intersect(G3_AXIS(G3_POINT(0.6, 0.6, 0), G3_VECTOR1(0, 0, 1)), nullptr));
}

TEST_F(G3ObboxTest, RecordsRoundTrip) {
  const G3_OBBOX b(G3_FRAME(G3_POINT(1, -2, 0.5), G3_VECTOR1(1, 2, 3), G3_VECTOR1(0, 1, -1)),
                   3.25, 1.0 / 3, 1e-7);
  // Binary records are exact; text records carry 16 significant digits.
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    b.Save(&f);
    ASSERT_FALSE(C_ERROR::Is());
    f.Rewind();
    G3_OBBOX r;
    r.Load(1, &f);
    ASSERT_FALSE(C_ERROR::Is());
    EXPECT_TRUE(f.AtEnd());
    if (type == C_FILE::BINARY) {
      EXPECT_TRUE(r == b);
      EXPECT_TRUE(r.GetFrame().GetVz() == b.GetFrame().GetVz());
    }
    const G3_FRAME& fr = r.GetFrame();
    const G3_FRAME& fb = b.GetFrame();
    for (int i = 0; i < 3; i++) {
      EXPECT_NEAR(fr.GetPo().GetCi(i), fb.GetPo().GetCi(i), 1e-15);
      EXPECT_NEAR(fr.GetVx().GetCi(i), fb.GetVx().GetCi(i), 1e-15);
      EXPECT_NEAR(fr.GetVy().GetCi(i), fb.GetVy().GetCi(i), 1e-15);
      EXPECT_NEAR(fr.GetVz().GetCi(i), fb.GetVz().GetCi(i), 1e-15);
    }
    EXPECT_EQ(r.GetDeltaX(), 3.25);
    EXPECT_EQ(r.GetDeltaY(), 1.0 / 3);
    EXPECT_EQ(r.GetDeltaZ(), 1e-7);
  }
  // Text: a point record, three vector records, three numbers.
  C_FILE_MEMORY t(C_FILE::TEXT);
  b.Save(&t);
  const std::string& s = t.GetContent();
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t e; (e = s.find('\n', start)) != std::string::npos; start = e + 1)
    lines.push_back(s.substr(start, e - start));
  ASSERT_EQ(lines.size(), 7u);
  EXPECT_EQ(lines[0], "P1 -2 0.5");
  EXPECT_EQ(lines[1][0], 'V');
  EXPECT_EQ(lines[3][0], 'V');
  EXPECT_EQ(lines[4], "3.25");
  // Binary: 4 x 24 bytes of frame, 3 x 8 of sides.
  C_FILE_MEMORY bin(C_FILE::BINARY);
  b.Save(&bin);
  EXPECT_EQ(bin.GetContent().size(), 4u * 24 + 3 * 8);
}

TEST_F(G3ObboxTest, BuildsOnSeveralThreadsAtOnce) {
  // Each thread keeps its own hull: concurrent builds agree with a lone one.
  const G3_POINTS pts = BoxSurface(4, 2, 1, 1, 2, 3, 40, G3_POINT(1, 2, 3), 6);
  const G3_OBBOX ref(pts);
  ASSERT_FALSE(C_ERROR::Is());
  std::vector<int> same(4, 0);
  std::vector<std::thread> threads;
  for (int k = 0; k < 4; k++)
    threads.emplace_back([&, k] {
      for (int i = 0; i < 10; i++) {
        const G3_OBBOX b(pts);
        if (b == ref && !C_ERROR::Is()) same[k]++;
      }
    });
  for (std::thread& t : threads) t.join();
  for (int k = 0; k < 4; k++) EXPECT_EQ(same[k], 10);
}

}  // namespace
