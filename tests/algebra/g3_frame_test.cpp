#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "algebra/g3_axis.h"
#include "algebra/g3_frame.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_transfo.h"
#include "algebra/g3_vector.h"
#include "frame/g_errors.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"

namespace {

class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

void ExpectVec(const G3_VECTOR& v, double x, double y, double z, double tol = 1e-12) {
  EXPECT_NEAR(v.GetCx(), x, tol);
  EXPECT_NEAR(v.GetCy(), y, tol);
  EXPECT_NEAR(v.GetCz(), z, tol);
}

void ExpectPoint(const G3_POINT& p, double x, double y, double z, double tol = 1e-12) {
  EXPECT_NEAR(p.GetCx(), x, tol);
  EXPECT_NEAR(p.GetCy(), y, tol);
  EXPECT_NEAR(p.GetCz(), z, tol);
}

// Orthonormal and right-handed: Vz = Vx ^ Vy, computed here by hand.
void ExpectOrthonormal(const G3_FRAME& f) {
  const G3_VECTOR &x = f.GetVx(), &y = f.GetVy(), &z = f.GetVz();
  EXPECT_NEAR(x * x, 1, 1e-14);
  EXPECT_NEAR(y * y, 1, 1e-14);
  EXPECT_NEAR(x * y, 0, 1e-14);
  ExpectVec(z, x.GetCy() * y.GetCz() - x.GetCz() * y.GetCy(),
            x.GetCz() * y.GetCx() - x.GetCx() * y.GetCz(),
            x.GetCx() * y.GetCy() - x.GetCy() * y.GetCx(), 1e-14);
}

TEST_F(FrameTest, FromOriginAndZ) {
  const G3_POINT o(1, 2, 3);
  const G3_FRAME f(o, G3_VECTOR1(0, 0, 1));
  EXPECT_EQ(f.GetPo(), o);
  ExpectVec(f.GetVx(), 1, 0, 0, 0);
  ExpectVec(f.GetVy(), 0, 1, 0, 0);
  // |vz.x| > 0.99 switches the reference to Y.
  const G3_FRAME g(o, G3_VECTOR1(1, 0, 0));
  ExpectVec(g.GetVx(), 0, 1, 0, 0);
  ExpectVec(g.GetVy(), 0, 0, 1, 0);
  ExpectVec(g.GetVz(), 1, 0, 0, 0);
  // At exactly 0.99 the reference stays X: Vy = unit(vz ^ X) = -Z.
  const double s = std::sqrt(1 - 0.99 * 0.99);
  const G3_FRAME h(o, G3_VECTOR1(0.99, s, 0));
  ExpectVec(h.GetVy(), 0, 0, -1);
  ExpectVec(h.GetVx(), s, -0.99, 0);
  // A null direction: (1, 0, 0) stands in and the error stays pending.
  const G3_FRAME n(o, G3_VECTOR1(G3_VECTOR(0, 0, 0)));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  ExpectVec(n.GetVz(), 1, 0, 0, 0);
}

TEST_F(FrameTest, FromDirectionsPointsAndPlane) {
  const G3_POINT o(0, 0, 1);
  // vy not orthogonal to vx: Vx kept, Vy made orthogonal in their plane.
  const G3_FRAME f(o, G3_VECTOR1(1, 0, 0), G3_VECTOR1(1, 1, 0));
  ExpectVec(f.GetVx(), 1, 0, 0, 0);
  ExpectVec(f.GetVy(), 0, 1, 0);
  ExpectVec(f.GetVz(), 0, 0, 1);

  const G3_FRAME p(G3_POINT(1, 1, 1), G3_POINT(1, 3, 1), G3_POINT(0, 5, 1));
  ExpectVec(p.GetVx(), 0, 1, 0);
  ExpectVec(p.GetVy(), -1, 0, 0);  // on the side of b
  ExpectVec(p.GetVz(), 0, 0, 1);

  const G3_FRAME q(G3_PLANE::OXZ);  // normal -Y
  ExpectVec(q.GetVx(), 1, 0, 0, 0);
  ExpectVec(q.GetVy(), 0, 0, 1, 0);
  ExpectVec(q.GetVz(), 0, -1, 0, 0);

  // Degenerate inputs: (1, 0, 0) stands in for the missing Z, the others
  // follow from it, and GerrNullVector stays pending.
  const G3_FRAME par(o, G3_VECTOR1(0, 0, 1), G3_VECTOR1(0, 0, -1));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  C_ERROR::ClearPending();
  ExpectVec(par.GetVz(), 1, 0, 0, 0);
  ExpectVec(par.GetVy(), 0, -1, 0, 0);
  const G3_FRAME col(G3_POINT(0, 0, 0), G3_POINT(0, 2, 0), G3_POINT(0, 5, 0));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  C_ERROR::ClearPending();
  ExpectVec(col.GetVx(), 0, 1, 0, 0);
  ExpectVec(col.GetVz(), 1, 0, 0, 0);
  ExpectVec(col.GetVy(), 0, 0, 1, 0);

  // Accessors built from the members.
  EXPECT_EQ(p.GetAy().GetVx(), p.GetVy());
  const G3_PLANE pyz = p.GetPyz();
  ExpectVec(pyz.GetVx(), -1, 0, 0);
  ExpectVec(pyz.GetVy(), 0, 0, 1);
  ExpectPoint(p.GetPosit(1, 2, 3, 2), 1 - 4, 1 + 2, 1 + 6);
}

TEST_F(FrameTest, FromOriginZAndReference) {
  const double s = std::sqrt(0.5);
  // The new XY plane meets OXY along X; Y is turned up, never below OXY.
  const G3_FRAME f(G3_POINT(0, 0, 0), G3_VECTOR1(0, -1, 1), G3_FRAME::BASE);
  ExpectVec(f.GetVx(), 1, 0, 0);
  ExpectVec(f.GetVy(), 0, s, s);
  ExpectVec(f.GetVz(), 0, -s, s);
  const G3_FRAME g(G3_POINT(0, 0, 0), G3_VECTOR1(0, 1, 1), G3_FRAME::BASE);
  ExpectVec(g.GetVx(), -1, 0, 0);
  ExpectVec(g.GetVy(), 0, -s, s);
  EXPECT_GE(g.GetVy() * G3_VECTOR(0, 0, 1), 0);
  // A Z parallel to the reference's keeps the frame of the Z rule alone.
  const G3_FRAME h(G3_POINT(0, 0, 0), G3_VECTOR1(0, 0, -1), G3_FRAME::BASE);
  const G3_FRAME k(G3_POINT(0, 0, 0), G3_VECTOR1(0, 0, -1));
  EXPECT_TRUE(h == k);
  EXPECT_FALSE(C_ERROR::Is());
}

TEST_F(FrameTest, FromTwoAxes) {
  // Intersecting axes: the origin is their crossing.
  const G3_AXIS a1(G3_POINT(-1, 2, 0), G3_VECTOR1(1, 0, 0));
  const G3_AXIS a2(G3_POINT(3, 7, 0), G3_VECTOR1(0, 1, 0));
  const G3_FRAME f(a1, a2);
  ExpectPoint(f.GetPo(), 3, 2, 0);
  ExpectVec(f.GetVx(), 1, 0, 0);
  ExpectVec(f.GetVy(), 0, 1, 0);
  ExpectVec(f.GetVz(), 0, 0, 1);
  // Skew axes: the foot of the common perpendicular on a1.
  const G3_AXIS b2(G3_POINT(3, 7, 5), G3_VECTOR1(0, 1, 1));
  const G3_FRAME g(a1, b2);
  ExpectPoint(g.GetPo(), 3, 2, 0);
  ExpectOrthonormal(g);
  EXPECT_NEAR(g.GetVz() * G3_VECTOR(1, 0, 0), 0, 1e-15);
  EXPECT_NEAR(g.GetVz() * G3_VECTOR(0, 1, 1), 0, 1e-15);
  // Parallel axes: a mild GerrNoIntersection and the base frame.
  const G3_AXIS c2(G3_POINT(0, 5, 5), G3_VECTOR1(-1, 0, 0));
  const G3_FRAME h(a1, c2);
  ASSERT_EQ(C_ERROR::GetPending(), &GerrNoIntersection);
  EXPECT_TRUE(C_ERROR::GetPending()->IsMild());
  EXPECT_TRUE(h == G3_FRAME::BASE);
}

TEST_F(FrameTest, SetVxVy) {
  G3_FRAME f(G3_POINT(1, 1, 1));
  f.SetVxVy(G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 1, 1));
  ExpectVec(f.GetVx(), 0, 1, 0);
  ExpectVec(f.GetVy(), 0, 0, 1);
  ExpectVec(f.GetVz(), 1, 0, 0);
  const G3_FRAME before = f;
  f.SetVxVy(G3_VECTOR1(1, 0, 0), G3_VECTOR1(-1, 0, 0));
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  EXPECT_TRUE(f == before);
  EXPECT_EQ(f.GetVz(), before.GetVz());
}

TEST_F(FrameTest, LocalAndGlobal) {
  const G3_FRAME f(G3_POINT(1, 2, 3), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));  // Vz = X
  // A local coordinate of 1 stands for s global units.
  ExpectPoint(f.GetGlobal(G3_POINT(1, 2, 3), 2), 1 + 6, 2 + 2, 3 + 4);
  ExpectVec(f.GetGlobal(G3_VECTOR(1, 0, 0), 2), 0, 2, 0);
  ExpectPoint(f.GetLocal(G3_POINT(7, 4, 7), 2), 1, 2, 3);
  ExpectVec(f.GetLocal(G3_VECTOR(4, 0, 0), 2), 0, 0, 2);
  const G3_FRAME g(G3_POINT(-3, 0.5, 2), G3_VECTOR1(1, 2, -1), G3_VECTOR1(0, 1, 3));
  const G3_POINT p(0.25, -7, 11);
  const G3_POINT back = g.GetLocal(g.GetGlobal(p, 2), 2);
  ExpectPoint(back, 0.25, -7, 11, 1e-13);

  const G3_AXIS a = f.GetGlobal(G3_AXIS(G3_POINT(0, 0, 1), G3_VECTOR1(0, 0, 1)), 3);
  ExpectPoint(a.GetPo(), 4, 2, 3);
  ExpectVec(a.GetVx(), 1, 0, 0);
  const G3_AXIS la = f.GetLocal(a, 3);
  ExpectPoint(la.GetPo(), 0, 0, 1);
  ExpectVec(la.GetVx(), 0, 0, 1);

  // A frame given in f, brought to global and back.
  const G3_FRAME in(G3_POINT(1, 0, 0), G3_VECTOR1(0, 1, 0), G3_VECTOR1(-1, 0, 0));
  const G3_FRAME gl = f.GetGlobal(in, 1);
  ExpectPoint(gl.GetPo(), 1, 3, 3);
  ExpectVec(gl.GetVx(), 0, 0, 1);
  ExpectVec(gl.GetVy(), 0, -1, 0);
  const G3_FRAME lo = f.GetLocal(gl, 1);
  EXPECT_TRUE(lo.IsOn(in, 1e-12));
}

TEST_F(FrameTest, ComparisonsAndTolerance) {
  const G3_FRAME a(G3_POINT(1, 0, 0));
  const G3_FRAME b(G3_POINT(1, 0, 1e-9));
  EXPECT_TRUE(a != b);
  EXPECT_TRUE(a < b);
  EXPECT_TRUE(b > a);
  EXPECT_FALSE(a < a);
  EXPECT_TRUE(a.IsOn(b, 2e-9));
  EXPECT_FALSE(a.IsOn(b, 1e-9));  // strict
  // Vx parallel but of opposite sense is not the same frame.
  const G3_FRAME c(G3_POINT(1, 0, 0), G3_VECTOR1(-1, 0, 0), G3_VECTOR1(0, -1, 0));
  EXPECT_FALSE(a.IsOn(c, 1));
}

TEST_F(FrameTest, Transfo) {
  // A mirror does not make the frame left-handed.
  G3_TRANSFO mirror;
  mirror.SetSym(G3_PLANE::OXY);
  G3_FRAME f = G3_FRAME::BASE;
  f.Transfo(mirror);
  ExpectVec(f.GetVx(), 1, 0, 0, 0);
  ExpectVec(f.GetVy(), 0, 1, 0, 0);
  ExpectVec(f.GetVz(), 0, 0, 1, 0);

  // A shear with uneven scaling: still orthonormal, Vx follows the image of X.
  const double m[4][4] = {{2, 1, 0, 1}, {0, 3, 0, 2}, {0, 0.5, 1, 3}, {0, 0, 0, 1}};
  G3_TRANSFO shear;
  shear.SetMat(m);
  G3_FRAME g(G3_POINT(1, 1, 1));
  g.Transfo(shear);
  ExpectPoint(g.GetPo(), 4, 5, 4.5);
  ExpectVec(g.GetVx(), 1, 0, 0);
  ExpectOrthonormal(g);
  // The image of Y is (1, 3, 0.5): Vy lies in the plane of X and that image.
  EXPECT_NEAR(g.GetVz() * G3_VECTOR(1, 3, 0.5), 0, 1e-14);

  // A projection that collapses X leaves the frame and GerrNullVector.
  G3_TRANSFO proj;
  proj.SetProj(G3_PLANE::OYZ);
  G3_FRAME h(G3_POINT(5, 5, 5));
  h.Transfo(proj);
  EXPECT_EQ(C_ERROR::GetPending(), &GerrNullVector);
  ExpectPoint(h.GetPo(), 5, 5, 5, 0);
}

TEST_F(FrameTest, Records) {
  const G3_FRAME f(G3_POINT(1, 2, 3), G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1));
  C_FILE_MEMORY text(C_FILE::TEXT);
  f.Save(&text);
  EXPECT_EQ(text.GetContent(), "P1 2 3\nV0 1 0\nV0 0 1\nV1 0 0\n");
  // Binary: four untagged records of three raw doubles each.
  C_FILE_MEMORY bin(C_FILE::BINARY);
  f.Save(&bin);
  const double raw[12] = {1, 2, 3, 0, 1, 0, 0, 0, 1, 1, 0, 0};
  EXPECT_EQ(bin.GetContent(), std::string(reinterpret_cast<const char*>(raw), sizeof raw));

  const G3_FRAME g(G3_POINT(0.1, -2e-7, 3), G3_VECTOR1(1, 2, 3), G3_VECTOR1(-1, 0.5, 2));
  for (int type : {int(C_FILE::TEXT), int(C_FILE::BINARY)}) {
    C_FILE_MEMORY file(type);
    g.Save(&file);
    file.Rewind();
    G3_FRAME r;
    r.Load(0, &file);
    EXPECT_FALSE(C_ERROR::Is());
    if (type == C_FILE::BINARY) {
      EXPECT_TRUE(r == g);
      EXPECT_EQ(r.GetVz(), g.GetVz());
    } else {  // 16 significant digits
      EXPECT_TRUE(r.IsOn(g, 1e-15));
      ExpectVec(r.GetVz(), g.GetVz().GetCx(), g.GetVz().GetCy(), g.GetVz().GetCz(), 1e-15);
    }
  }

  // Vz is not compared: a record with Vz reversed still equals BASE.
  C_FILE_MEMORY odd(C_FILE::TEXT, "P0 0 0\nV1 0 0\nV0 1 0\nV0 0 -1\n");
  G3_FRAME o;
  o.Load(0, &odd);
  EXPECT_TRUE(o == G3_FRAME::BASE);
  ExpectVec(o.GetVz(), 0, 0, -1, 0);

  // A record cut short, a wrong letter and a null axis leave the frame.
  const char* bad[] = {"P1 2 3\nV0 1 0\n", "P1 2 3\nP0 1 0\nV1 0 0\nV0 0 1\n",
                       "P1 2 3\nV0 0 0\nV0 1 0\nV0 0 1\n"};
  for (const char* content : bad) {
    C_FILE_MEMORY file(C_FILE::TEXT, content);
    G3_FRAME r = f;
    r.Load(0, &file);
    EXPECT_TRUE(C_ERROR::Is()) << content;
    C_ERROR::ClearPending();
    EXPECT_TRUE(r == f) << content;
  }
}

}  // namespace
