#include "algebra/g3_frame.h"

#include <cmath>
#include <tuple>

#include "algebra/g3_axis.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_transfo.h"
#include "algebra/g3_vector.h"
#include "geom_fixture.h"

namespace {

using FrameTest = GeomTest;
using Ax = std::array<double, 3>;

// The three axes of f, each within tol (exactly when tol is 0).
::testing::AssertionResult Axes(const G3_FRAME& f, const Ax& x, const Ax& y, const Ax& z,
                                double tol = 1e-12) {
  ::testing::AssertionResult r = Near(Xyz(f.GetVx()), x, tol) << " on X";
  if (r) r = Near(Xyz(f.GetVy()), y, tol) << " on Y";
  return r ? Near(Xyz(f.GetVz()), z, tol) << " on Z" : r;
}

TEST_F(FrameTest, Constructors) {
  const G3_POINT o(1, 2, 3), p0(0, 0, 0), q(1, 1, 1);
  const double s = std::sqrt(1 - 0.99 * 0.99), h = std::sqrt(0.5);
  const std::tuple<G3_FRAME, Ax, Ax, Ax> cases[] = {
      // |vz.x| > 0.99 switches the reference to Y; at exactly 0.99 it stays X.
      {G3_FRAME(o, G3_VECTOR1(1, 0, 0)), {0, 1, 0}, {0, 0, 1}, {1, 0, 0}},
      {G3_FRAME(o, G3_VECTOR1(0.99, s, 0)), {s, -0.99, 0}, {0, 0, -1}, {0.99, s, 0}},
      // Vx kept, Vy made orthogonal in the plane of the two; from points: Vx
      // towards a, Vy on the side of b.
      {G3_FRAME(o, G3_VECTOR1(1, 0, 0), G3_VECTOR1(1, 1, 0)), {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
      {G3_FRAME(q, G3_POINT(1, 3, 1), G3_POINT(0, 5, 1)), {0, 1, 0}, {-1, 0, 0}, {0, 0, 1}},
      {G3_FRAME(G3_PLANE::OXZ), {1, 0, 0}, {0, 0, 1}, {0, -1, 0}},
      // With a reference: the new XY plane meets OXY along X; Y is turned up,
      // never below OXY. A Z parallel to the reference's follows the Z rule.
      {G3_FRAME(p0, G3_VECTOR1(0, -1, 1), G3_FRAME::BASE), {1, 0, 0}, {0, h, h}, {0, -h, h}},
      {G3_FRAME(p0, G3_VECTOR1(0, 1, 1), G3_FRAME::BASE), {-1, 0, 0}, {0, -h, h}, {0, h, h}},
      {G3_FRAME(p0, G3_VECTOR1(0, 0, -1), G3_FRAME::BASE), {1, 0, 0}, {0, -1, 0}, {0, 0, -1}},
  };
  int k = 0;
  for (const auto& [f, x, y, z] : cases) EXPECT_TRUE(Axes(f, x, y, z)) << "case " << k++;

  // Degenerate inputs: (1, 0, 0) stands in for the missing Z, the others
  // follow from it, and GerrNullVector stays pending.
  const G3_FRAME par(o, G3_VECTOR1(0, 0, 1), G3_VECTOR1(0, 0, -1));
  EXPECT_TRUE(AndError(Axes(par, {0, 0, 1}, {0, -1, 0}, {1, 0, 0}, 0), &GerrNullVector));
  const G3_FRAME col(p0, G3_POINT(0, 2, 0), G3_POINT(0, 5, 0));
  EXPECT_TRUE(AndError(Axes(col, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}, 0), &GerrNullVector));
}

TEST_F(FrameTest, FromTwoAxes) {
  const G3_AXIS a1(G3_POINT(-1, 2, 0), G3_VECTOR1(1, 0, 0));
  // Skew axes: the foot of the common perpendicular on a1, Vz along
  // X ^ (1, 1, 1); (3, 7, 5) - 5 (1, 1, 1) - (-2, 2, 0) is orthogonal to both.
  const G3_FRAME g(a1, G3_AXIS(G3_POINT(3, 7, 5), G3_VECTOR1(1, 1, 1)));
  const double h = std::sqrt(0.5);
  EXPECT_NEAR_XYZ(g.GetPo(), -2, 2, 0, 1e-12);
  EXPECT_TRUE(Axes(g, {1, 0, 0}, {0, h, h}, {0, -h, h}));
  // Parallel axes: a mild GerrNoIntersection and the base frame.
  const G3_FRAME k(a1, G3_AXIS(G3_POINT(0, 5, 5), G3_VECTOR1(-1, 0, 0)));
  EXPECT_TRUE(TakeMildNoIntersection() && k == G3_FRAME::BASE);
}

TEST_F(FrameTest, SetVxVyAndComparisons) {
  G3_FRAME f(G3_POINT(1, 1, 1));
  f.SetVxVy(G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 1, 1));
  EXPECT_TRUE(Axes(f, {0, 1, 0}, {0, 0, 1}, {1, 0, 0}));
  const G3_FRAME before = f;
  f.SetVxVy(G3_VECTOR1(1, 0, 0), G3_VECTOR1(-1, 0, 0));  // parallel: kept
  EXPECT_TRUE(AndError(f == before, &GerrNullVector));

  const G3_FRAME a(G3_POINT(1, 0, 0)), b(G3_POINT(1, 0, 1e-9));
  EXPECT_TRUE(a.IsOn(b, 2e-9) && !a.IsOn(b, 1e-9));  // strict
  // Vx or Vy parallel but of opposite sense is not the same frame.
  EXPECT_FALSE(a.IsOn(G3_FRAME(G3_POINT(1, 0, 0), G3_VECTOR1(-1, 0, 0), G3_VECTOR1(0, 1, 0)), 1));
  EXPECT_FALSE(a.IsOn(G3_FRAME(G3_POINT(1, 0, 0), G3_VECTOR1(1, 0, 0), G3_VECTOR1(0, -1, 0)), 1));
}

TEST_F(FrameTest, LocalAndGlobal) {
  const G3_FRAME f(G3_POINT(1, 2, 3), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));  // Vz = X
  // A local coordinate of 1 stands for s global units.
  EXPECT_NEAR_XYZ(f.GetGlobal(G3_POINT(1, 2, 3), 2), 1 + 6, 2 + 2, 3 + 4, 1e-12);
  EXPECT_NEAR_XYZ(f.GetLocal(G3_VECTOR(4, 0, 0), 2), 0, 0, 2, 1e-12);  // vectors: no shift
  const G3_FRAME g(G3_POINT(-3, 0.5, 2), G3_VECTOR1(1, 2, -1), G3_VECTOR1(0, 1, 3));
  EXPECT_NEAR_XYZ(g.GetLocal(g.GetGlobal(G3_POINT(0.25, -7, 11), 2), 2), 0.25, -7, 11, 1e-13);

  const G3_AXIS a = f.GetGlobal(G3_AXIS(G3_POINT(0, 0, 1), G3_VECTOR1(0, 0, 1)), 3);
  EXPECT_TRUE(Near(Xyz(a.GetPo()), {4, 2, 3}, 1e-12) && Near(Xyz(a.GetVx()), {1, 0, 0}, 1e-12));

  // A frame given in f, brought to global and back.
  const G3_FRAME in(G3_POINT(1, 0, 0), G3_VECTOR1(0, 1, 0), G3_VECTOR1(-1, 0, 0));
  const G3_FRAME gl = f.GetGlobal(in, 1);
  EXPECT_NEAR_XYZ(gl.GetPo(), 1, 3, 3, 1e-12);
  EXPECT_TRUE(Axes(gl, {0, 0, 1}, {0, -1, 0}, {1, 0, 0}));
}

TEST_F(FrameTest, Transfo) {
  G3_TRANSFO mirror, shear, proj;
  mirror.SetSym(G3_PLANE::OXY);
  const double m[4][4] = {{2, 1, 0, 1}, {0, 3, 0, 2}, {0, 0.5, 1, 3}, {0, 0, 0, 1}};
  shear.SetMat(m);
  proj.SetProj(G3_PLANE::OYZ);
  // A mirror does not make the frame left-handed.
  EXPECT_TRUE(Axes(Moved(G3_FRAME::BASE, mirror), {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, 0));
  // A shear with uneven scaling: Vx follows the image of X, Vy lies in the
  // plane of X and the image (1, 3, 0.5) of Y, Vz along X ^ (1, 3, 0.5).
  const G3_FRAME g = Moved(G3_FRAME(G3_POINT(1, 1, 1)), shear);
  EXPECT_NEAR_XYZ(g.GetPo(), 4, 5, 4.5, 1e-12);
  const double r = std::sqrt(9.25);
  EXPECT_TRUE(Axes(g, {1, 0, 0}, {0, 3 / r, 0.5 / r}, {0, -0.5 / r, 3 / r}));
  // A projection that collapses X leaves the frame and GerrNullVector.
  const G3_FRAME h(G3_POINT(5, 5, 5));
  EXPECT_TRUE(AndError(Moved(h, proj) == h, &GerrNullVector));
}

TEST_F(FrameTest, Records) {
  const G3_FRAME f(G3_POINT(1, 2, 3), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));
  EXPECT_EQ(Saved(f, C_FILE::TEXT), "P1 2 3\nV0 1 0\nV0 0 1\nV1 0 0\n");
  // Binary: four untagged records of three raw doubles each.
  EXPECT_EQ(Saved(f, C_FILE::BINARY), Bytes({1, 2, 3, 0, 1, 0, 0, 0, 1, 1, 0, 0}));

  const G3_FRAME g(G3_POINT(0.1, -2e-7, 3), G3_VECTOR1(1, 2, 3), G3_VECTOR1(-1, 0.5, 2));
  const G3_FRAME bin = Loaded(G3_FRAME(), C_FILE::BINARY, Saved(g, C_FILE::BINARY));
  EXPECT_TRUE(bin == g && bin.GetVz() == g.GetVz());
  const G3_FRAME text = Loaded(G3_FRAME(), C_FILE::TEXT, Saved(g, C_FILE::TEXT));
  // 16 significant digits.
  EXPECT_TRUE(text.IsOn(g, 1e-15) && Near(Xyz(text.GetVz()), Xyz(g.GetVz()), 1e-15));

  // A record cut short, a wrong letter and a null axis leave the frame.
  for (const char* bad : {"P1 2 3\nV0 1 0\n", "P1 2 3\nP0 1 0\nV1 0 0\nV0 0 1\n",
                          "P1 2 3\nV0 0 0\nV0 1 0\nV0 0 1\n"}) {
    const G3_FRAME r = Loaded(f, C_FILE::TEXT, bad);
    EXPECT_NE(Take(), nullptr) << bad;
    EXPECT_TRUE(r == f && r.GetVz() == f.GetVz()) << bad;
  }
}

}  // namespace
