#include <cmath>
#include <string>

#include "algebra/geom_fixture.h"
#include "algebra/g2_axis.h"
#include "algebra/g2_point.h"
#include "algebra/g2_points.h"
#include "algebra/g2_transfo.h"
#include "algebra/g2_vector.h"
#include "algebra/g2_wpoint.h"
#include "algebra/g2_wpoints.h"
#include "measures/g_ang.h"
#include "measures/g_dis.h"
#include "runtime/t_node.h"

namespace {

// Puts the angular statics back: some tests move them to reach a bound.
class G2Test : public GeomTest {
 protected:
  void TearDown() override {
    G_ANG::MinSin = minSin_;
    G_ANG::MinSin2 = minSin2_;
    GeomTest::TearDown();
  }

 private:
  double minSin_ = G_ANG::MinSin, minSin2_ = G_ANG::MinSin2;
};

const double kRound = 1e-12;

TEST_F(G2Test, AccessArithmeticAndOrder) {
  G2_POINT p(1, 2);
  EXPECT_EQ(p.GetCi(-3), 2);  // any other index reads y...
  p.SetCi(2, 9);              // ...and writes nothing
  p.SetCi(0, 9);
  EXPECT_XY(p, 9.0, 2.0);
  EXPECT_EQ(G2_VECTOR(1, 2) ^ G2_VECTOR(3, -1), -7);  // 1 * -1 - 2 * 3
  EXPECT_EQ(G2_POINT(3, 4).GetNorm(), 5);
  EXPECT_TRUE(G2_POINT(1, 3) > G2_POINT(1, 2) && G2_POINT(2, 0) > G2_POINT(1, 9) && !(p > p));
  // Weighted points: exact on the three values; the weight only through GetWt.
  EXPECT_TRUE(G2_WPOINT(1, 2, 3) != G2_WPOINT(1, 2, 4) && G2_WPOINT(1, 2, 3).GetCi(2) == 2);
}

TEST_F(G2Test, UnitHasOneBand) {
  const double y1 = std::sqrt(5e-13), y2 = std::sqrt(5e-9), n2 = std::sqrt(1 + y2 * y2);
  const struct {
    G2_VECTOR in;
    double norm, x, y, tol;
  } cases[] = {{{3, 4}, 5, 0.6, 0.8, 2e-16},
               {{1, y1}, 1, 1, y1, 0},                 // squared norm 1 + 5e-13: untouched
               {{1, y2}, n2, 1 / n2, y2 / n2, 2e-16},  // 1 + 5e-9: the square root
               {{0, 0}, 0, 0, 0, 0}};                  // null: error, unchanged
  for (const auto& c : cases) {
    G2_VECTOR v = c.in;
    double norm = -1;
    v.Unit(&norm);
    EXPECT_EQ(norm, c.norm);
    EXPECT_TRUE(AndError(Near(Xy(v), {c.x, c.y}, c.tol), c.norm == 0 ? &GerrNullVector : nullptr));
  }
  // A unit vector falls back on X.
  EXPECT_XY_ERR(G2_VECTOR1(G2_POINT(1, 1), G2_POINT(1, 1)), 1.0, 0.0, &GerrNullVector);
}

TEST_F(G2Test, RotationTolerancesAndCoordinates) {
  G2_VECTOR v(2, 1);
  v.Rotate(G_ANG(-90));
  EXPECT_NEAR_XY(v, 1.0, -2.0, kRound);
  // General vectors, scaled and non-strict: (a ^ v)^2 = 1 = 0.5 * 1 * 2.
  const G2_VECTOR a(1, 0), d(1, 1);
  G_ANG::MinSin2 = 0.5;
  EXPECT_TRUE(a.IsOn(d) && a.IsOrthoTo(d));
  G_ANG::MinSin2 = 0.4999;
  EXPECT_FALSE(a.IsOn(d) || a.IsOrthoTo(d));
  // Unit vectors, strict: (0.6, 0.8) is unit as it stands.
  const G2_VECTOR1& x = G2_VECTOR1::VX;
  const G2_VECTOR1 v1(0.6, 0.8);
  G_ANG::MinSin = 0.8;
  EXPECT_TRUE(!x.IsOn(v1) && x.IsOrthoTo(v1));
  G_ANG::MinSin = 0.6;
  EXPECT_FALSE(x.IsOrthoTo(v1));
  G_ANG::MinSin = 0.80001;
  EXPECT_TRUE(x.IsOn(v1));
  // Points, strict.
  const G2_POINT h(0, 0.5), q(7, -0.5);
  EXPECT_TRUE(!G2_POINT::P0.IsOn(h, 0.5) && G2_POINT::P0.IsOn(h, 0.5000001));
  EXPECT_TRUE(!q.IsOn(G2_AXIS::OX, 0.5) && q.IsOn(G2_AXIS::OX, 0.5000001));
  // p - o = 2u + 3v in a non-orthogonal basis; a flat basis fails with the origin.
  const G2_POINT p(6, 4), o(1, 1);
  EXPECT_NEAR_XY(p.GetCoo(o, G2_VECTOR(1, 0), G2_VECTOR(1, 1)), 2.0, 3.0, kRound);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_XY(p.GetCoo(o, G2_VECTOR(1, 2), G2_VECTOR(-2, -4)), 0.0, 0.0);
  EXPECT_NE(Take(), nullptr);
}

TEST_F(G2Test, PointAndVectorRecords) {
  const G2_POINT p(1, 2.5);
  const G2_VECTOR v(-0.1, 1e20);
  EXPECT_EQ(Saved(p, C_FILE::TEXT) + Saved(v, C_FILE::TEXT), "P1 2.5\nV-0.1 1e+20\n");
  EXPECT_EQ(Saved(p, C_FILE::BINARY) + Saved(v, C_FILE::BINARY), Bytes({1, 2.5, -0.1, 1e20}));
  EXPECT_TRUE(RoundTrips(p) && RoundTrips(v));
  // A bad record: the error, and the value kept.
  EXPECT_TRUE(Loaded(p, C_FILE::TEXT, "V1 2\n") == p);
  EXPECT_EQ(TakeText(), "T#Err#Invalid file (point expected)");
  EXPECT_TRUE(Loaded(v, C_FILE::TEXT, "P1 2\n") == v);
  EXPECT_EQ(TakeText(), "T#Err#Invalid file (vector expected)");
  EXPECT_TRUE(Kept(p, C_FILE::TEXT, "P1  2\n", &CerrStringNotReal));
  EXPECT_TRUE(Kept(v, C_FILE::BINARY, Bytes({1}), &CerrEndOfFile));
}

TEST_F(G2Test, Axes) {
  const G2_AXIS ab(G2_POINT(1, 1), G2_POINT(1, 5));
  EXPECT_XY_ERR(G2_AXIS(G2_POINT(1, 1), G2_POINT(1, 1)).GetVx(), 1.0, 0.0, &GerrNullVector);
  double t = 0, s = 0;
  EXPECT_TRUE(Near(Xy(ab.GetProj(G2_POINT(4, -2), &t)), {1, -2}, 0) && t == -3);
  EXPECT_XY(G2_AXIS::OX.GetInter(G2_AXIS(G2_POINT(3, 5), G2_VECTOR1::VY), 0, &t, &s), 3.0, 0.0);
  EXPECT_TRUE(t == 3 && s == -5);
  // A sine of 2e-8 still meets, far away.
  G2_AXIS::OX.GetInter(G2_AXIS(G2_POINT(0, 1), G2_VECTOR1(1, 2e-8)), 0, &t);
  EXPECT_NEAR(t, -0.5e8, 1e-3);
  EXPECT_EQ(Take(), nullptr);
  // Parallel, or at a sine below G_DIS::Min, whatever tol says: mild error, Po.
  const G2_AXIS start(G2_POINT(2, 2), G2_VECTOR1::VX);
  t = s = 99;
  for (const G2_VECTOR1& d : {G2_VECTOR1(-1, 0), G2_VECTOR1(1, 0.5e-8)}) {
    EXPECT_XY(start.GetInter(G2_AXIS(G2_POINT(0, 0), d), 1e9, &t, &s), 2.0, 2.0);
    EXPECT_TRUE(TakeMildNoIntersection());
  }
  EXPECT_TRUE(t == 99 && s == 99);
  // Same line: either sense, strict; crossing lines are not.
  const G2_AXIS off(G2_POINT(5, 0.5), G2_VECTOR1(-1, 0)), &ox = G2_AXIS::OX;
  EXPECT_TRUE(!ox.IsOn(off, 0.5) && ox.IsOn(off, 0.5000001) && !ox.IsOn(G2_AXIS::OY, 1.0));

  // Records: a point, then a vector (compared through their text, the axis
  // having no ==); a load that fails or reads nothing keeps the axis.
  const G2_AXIS ax(G2_POINT(1, 2), G2_VECTOR1(0, -1));
  const std::string text = "P1 2\nV0 -1\n", bin = Bytes({1, 2, 0, -1});
  EXPECT_TRUE(Saved(ax, C_FILE::TEXT) == text && Saved(ax, C_FILE::BINARY) == bin);
  EXPECT_EQ(Saved(Loaded(G2_AXIS(), C_FILE::BINARY, bin), C_FILE::TEXT), text);
  EXPECT_EQ(Saved(Loaded(G2_AXIS(), C_FILE::TEXT, text), C_FILE::TEXT), text);
  EXPECT_EQ(Saved(Loaded(ax, 2, "P3 4\nV1 0\n"), C_FILE::TEXT), text);
  EXPECT_EQ(Take(), nullptr);
  const G2_AXIS cut = Loaded(ax, C_FILE::TEXT, "P3 4\n");
  EXPECT_EQ(Take(), &CerrEndOfFile);
  EXPECT_EQ(Saved(cut, C_FILE::TEXT), text);
}

TEST_F(G2Test, TransformationBuilders) {
  EXPECT_NEAR_XY(Map(G2_TRANSFO(G2_POINT(1, 1), G_ANG(90)), G2_POINT(2, 1)), 1.0, 2.0, kRound);
  EXPECT_XY(Map(G2_TRANSFO(G2_POINT(1, 1), 2.0, 3.0), G2_POINT(2, 3)), 3.0, 7.0);
  // Local frame (o, u, u turned +90 degrees) to global; vectors ignore the translation.
  const G2_TRANSFO frame(G2_POINT(1, 2), G2_VECTOR1::VY);
  EXPECT_XY(Map(frame, G2_POINT(0, 1)), 0.0, 2.0);
  EXPECT_XY(Map(frame, G2_VECTOR(1, 0)), 0.0, 1.0);
  G2_TRANSFO m;
  m.SetSym(G2_AXIS(G2_POINT(0, 1), G2_VECTOR1(1, 1)));  // the line y = x + 1
  EXPECT_NEAR_XY(Map(m, G2_POINT(0, 0)), -1.0, 1.0, kRound);
  // The elements row by row: rotation, then translation, in each row.
  const double given[2][3] = {{1, 2, 3}, {4, 5, 6}};
  m.SetMat(given);
  EXPECT_XY(Map(m, G2_POINT(1, 1)), 6.0, 15.0);
}

TEST_F(G2Test, CompositionInverseOrderAndRecords) {
  const G2_TRANSFO tra(G2_VECTOR(1, 0)), sca(G2_POINT(0, 0), 2.0);
  EXPECT_XY(Map(tra * sca, G2_POINT(1, 1)), 3.0, 2.0);  // scaling first
  G2_TRANSFO t = tra, u = tra;
  EXPECT_TRUE((t <<= sca) == tra * sca);               // tra . sca
  EXPECT_XY(Map(u >>= sca, G2_POINT(1, 1)), 4.0, 2.0);  // sca . tra
  // Inverse: x' = 2x + y + 3, y' = 4y - 8.
  const double m[2][3] = {{2, 1, 3}, {0, 4, -8}};
  G2_TRANSFO inv;
  inv.SetMat(m);
  // Records: the six elements row by row; a short one keeps the map.
  EXPECT_EQ(Saved(inv, C_FILE::BINARY), Bytes({2, 1, 3, 0, 4, -8}));
  EXPECT_TRUE(RoundTrips(inv));
  EXPECT_TRUE(Kept(inv, C_FILE::BINARY, Bytes({2, 1, 3, 0, 4}), &CerrEndOfFile));
  inv.Invert();
  EXPECT_NEAR_XY(Map(inv, G2_POINT(3, -8)), 0.0, 0.0, kRound);
  EXPECT_TRUE(AndError(Near(Xy(Map(inv, G2_POINT(7, 0))), {1.0, 2.0}, kRound), nullptr));
  // det = 1e-14 < 1e-12: reported, unchanged.
  G2_TRANSFO flat(G2_POINT(3, 3), 1e-7);
  flat.Invert();
  EXPECT_EQ(TakeText(), "Singular matrix");
  EXPECT_TRUE(flat == G2_TRANSFO(G2_POINT(3, 3), 1e-7));
  // Row-major lexicographic order: m00 decides first.
  EXPECT_TRUE(G2_TRANSFO::IDENTITY < tra && !(tra < tra) && sca > tra);
}

TEST_F(G2Test, PointLists) {
  G2_POINTS l(2);
  l.Append(G2_POINT(1, 2));
  l.Append(G2_POINT(3, 4));
  l.Move(0, G2_VECTOR(1, -1));
  // The count (a 4-byte int in binary), then the point records; no flag behind them.
  const std::string text = Saved(l, C_FILE::TEXT);
  EXPECT_EQ(text, "2\nP2 1\nP3 4\n");
  EXPECT_EQ(Saved(l, C_FILE::BINARY), std::string("\2\0\0\0", 4) + Bytes({2, 1, 3, 4}));
  EXPECT_TRUE(RoundTrips(l));
  // A record that fails ends the load; the points read before it stay.
  const G2_POINTS part = Loaded(G2_POINTS(), C_FILE::TEXT, text.substr(0, text.size() - 5));
  EXPECT_EQ(Take(), &CerrEndOfFile);
  EXPECT_TRUE(part.GetNumber() == 1 && part.Get(0) == G2_POINT(2, 1));
}

}  // namespace
