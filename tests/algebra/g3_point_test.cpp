#include "algebra/g3_point.h"

#include <cmath>

#include "algebra/geom_fixture.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_points.h"
#include "algebra/g3_vector.h"
#include "measures/g_ang.h"

namespace {

using G3PointTest = GeomTest;

const double kRound = 1e-12;

TEST_F(G3PointTest, AccessArithmeticAndOrder) {
  G3_POINT p(1, 2, 3);
  EXPECT_EQ(p.GetCi(-4), 3);  // any other index reads z...
  p.SetCi(3, 7);              // ...and writes nothing
  p.SetCi(1, 8);
  EXPECT_XYZ(p, 1.0, 8.0, 3.0);

  EXPECT_XYZ(G3_VECTOR(1, 2, 3) ^ G3_VECTOR(4, 5, 6), -3.0, 6.0, -3.0);
  // Exact and lexicographic: x first, z last.
  const G3_POINT a(1, 2, 3), b(4, 6, 8), c(1, 2, 4);
  EXPECT_TRUE(a < b && b > a && a < c && !(c < a) && !(a < a) && a != c);
  EXPECT_TRUE(G3_VECTOR1::VY > G3_VECTOR1::VZ && G3_VECTOR1::VX == G3_VECTOR1(5, 0, 0));
}

TEST_F(G3PointTest, UnitBandsAndUnitVectors) {
  const double y1 = std::sqrt(5e-13), y2 = std::sqrt(2e-12), y3 = std::sqrt(5e-9);
  const double n2 = std::sqrt(1 + 2e-12), n3 = std::sqrt(1 + 5e-9);
  const struct {
    G3_VECTOR in;
    double norm, x, y, z, tol;
  } cases[] = {
      {{3, 0, 4}, 5, 0.6, 0, 0.8, 2e-16},
      {{1, y1, 0}, 1, 1, y1, 0, 0},  // squared norm 1 + 5e-13: taken as unit, untouched
      {{1, y2, 0}, n2, 1 / n2, y2 / n2, 0, 2e-16},  // 1 + 2e-12: just outside that band
      {{1, y3, 0}, n3, 1 / n3, y3 / n3, 0, 2e-16},  // 1 + 5e-9: the second-order band
      {{0, 0, -1e-150}, 1e-150, 0, 0, -1, 0},       // tiny but not null
      {{0, 0, 0}, 0, 0, 0, 0, 0}};                  // null: error, unchanged
  for (const auto& c : cases) {
    G3_VECTOR v = c.in;
    double norm = -1;
    v.Unit(&norm);
    EXPECT_NEAR(norm, c.norm, 2e-16 * c.norm) << c.in.GetCy();
    const C_ERROR* error = c.norm == 0 ? &GerrNullVector : nullptr;
    EXPECT_TRUE(AndError(Near(Xyz(v), {c.x, c.y, c.z}, c.tol), error));
  }
  G3_VECTOR().Unit();  // no norm asked
  EXPECT_EQ(Take(), &GerrNullVector);

  // A unit vector never fails loudly: X stands in for a null direction.
  EXPECT_XYZ_ERR(G3_VECTOR1(0, 0, 0), 1.0, 0.0, 0.0, &GerrNullVector);
  // An error already pending does not turn a good direction into X.
  GerrNoIntersection.TriggerMild();
  EXPECT_XYZ_ERR(G3_VECTOR1(0, 0, -7), 0.0, 0.0, -1.0, &GerrNoIntersection);
}

TEST_F(G3PointTest, TolerancesAtTheirBounds) {
  const G3_VECTOR a(2, 0, 0), c(0, 3, 0), half(0.5, 0, 0);
  const G3_VECTOR1& x = G3_VECTOR1::VX;
  const G3_POINT& o = G3_POINT::P0;
  const G3_POINT z1(0, 0, 1);
  ExpectAll({
      !half.IsNull(0.5), half.IsNull(0.5000001),  // strict
      // Plain vectors: scaled by both squared norms, non-strict.
      !a.IsOn(G3_VECTOR(-4, 0, 0), true, G_ANG::MinSin2),  // the sense asked
      a.IsOn(c, false, 1.0), !a.IsOn(c, false, 0.999),     // |a ^ c|^2 = 36 = 1 * 4 * 9
      a.IsOrthoTo(a, 1.0),                                 // (a.a)^2 = 16 = 1 * 4 * 4
      // Unit vectors: bare products, parallel non-strict, orthogonal strict
      // (0 < 0 fails); a plain argument takes the scaled form.
      !x.IsOn(-x, true, G_ANG::MinSin2), x.IsOn(G3_VECTOR1::VY, false, 1.0),
      !x.IsOrthoTo(G3_VECTOR1::VY, 0.0), x.IsOrthoTo(G3_VECTOR1::VY, 1e-300),
      x.IsOrthoTo(G3_VECTOR(0, 3, 0), 0.0),
      // In a plane, strict at G_ANG::MinSin ((1, 0, 1e-9) is unit as it stands).
      !G3_VECTOR1(1, 0, 1e-9).IsOn(G3_PLANE::OXY), G3_VECTOR1(1, 0, 0.99e-9).IsOn(G3_PLANE::OXY),
      // Points: strict; the half space includes its boundary.
      !o.IsOn(G3_POINT(0.5, 0, 0), 0.5), o.IsOn(G3_POINT(0.5, 0, 0), 0.5000001),
      !G3_POINT(7, 0.5, 0).IsOn(G3_AXIS::OX, 0.5),
      G3_POINT(-7, 0, 0.5).IsOn(G3_AXIS::OX, 0.5000001),
      !G3_POINT(3, 4, 0.5).IsOn(G3_PLANE::OXY, 0.5),
      G3_POINT(3, 4, -0.5).IsOn(G3_PLANE::OXY, 0.5000001),
      G3_POINT(9, 9, 1).IsInHalfSpace(z1, G3_VECTOR1::VZ),
      !G3_POINT(9, 9, 0.999).IsInHalfSpace(z1, G3_VECTOR1::VZ)});
}

TEST_F(G3PointTest, CoordinateSystems) {
  // The setters are reached through the text forms below. Spherical b is
  // measured from +z, the latitude from the xy plane.
  double r, a, b;
  G3_POINT(1, 1, std::sqrt(2.0)).GetSph(&r, &a, &b);
  EXPECT_NEAR_XYZ(G3_POINT(r, a, b), 2.0, 45.0, 45.0, kRound);
  G3_POINT(-1, 1, -std::sqrt(2.0)).GetLoLa(&r, &a, &b);
  EXPECT_NEAR_XYZ(G3_POINT(r, a, b), 2.0, 135.0, -45.0, kRound);
  // In a non-orthogonal basis: p - o = 2u + 3v + 0.5w; a flat basis fails with the origin.
  const G3_POINT o(1, 1, 1), q(6, 4, 2);
  const G3_VECTOR u(1, 0, 0), v(1, 1, 0), w(0, 0, 2);
  EXPECT_TRUE(AndError(Near(Xyz(q.GetCoo(o, u, v, w)), {2.0, 3.0, 0.5}, kRound), nullptr));
  EXPECT_XYZ(q.GetCoo(o, u, 2 * u, w), 0.0, 0.0, 0.0);
  EXPECT_NE(Take(), nullptr);  // the solver's error
}

TEST_F(G3PointTest, PointAndVectorFromText) {
  const struct {
    const char* text;
    double x, y, z;
  } points[] = {{"", 0, 0, 0}, {"1 2 ", 1, 2, 0},
                {"-1.5, ,2e1 ,, 3", -1.5, 20, 3}, {"1 ; 2", 1, 2, 0},  // the last one decides
                {"2 ;180,-1", -2, 0, -1},                               // radius;angle z
                {"2;0;90", 0, 0, 2}, {"2;90;", 0, 2, 0}},               // longitude;latitude
    vectors[] = {{"1 , 2,, 3", 1, 2, 3}, {"1 2 ", 1, 2, 0}, {"1 2 3 junk", 1, 2, 3}};
  // Text converts wherever a point or a vector is expected.
  for (const auto& c : points) {
    const G3_POINT p = C_STRING(c.text);
    EXPECT_NEAR_XYZ(p, c.x, c.y, c.z, kRound) << c.text;
    EXPECT_EQ(Take(), nullptr) << c.text;
  }
  for (const auto& c : vectors) {
    const G3_VECTOR v = C_STRING(c.text);
    EXPECT_XYZ(v, c.x, c.y, c.z) << c.text;
    EXPECT_EQ(Take(), nullptr) << c.text;
  }
  // Malformed: the error, and the origin.
  const auto fails = [](auto zero, const char* text, const C_ERROR* error) {
    EXPECT_TRUE(decltype(zero)(C_STRING(text)) == zero) << text;
    EXPECT_EQ(Take(), error) << text;
  };
  for (const char* s : {"1", "1 2x"}) fails(G3_POINT(), s, &GerrInvalidPointString);
  for (const char* s : {"1 2 3 ", " 1 2 3", "4;"}) fails(G3_POINT(), s, &CerrStringNotReal);
  fails(G3_VECTOR(), "1 2", &GerrInvalidVectorString);
  fails(G3_VECTOR(), "1;2;3", &CerrStringNotReal);  // no polar forms
}

TEST_F(G3PointTest, Records) {
  const int kText = C_FILE::TEXT, kBin = C_FILE::BINARY;
  const G3_POINT p(1, 2.5, -3);
  const G3_VECTOR v(0.1, 1.0 / 3, 1e-300);
  EXPECT_EQ(Saved(p, kText) + Saved(v, kText), "P1 2.5 -3\nV0.1 0.3333333333333333 1e-300\n");
  // No line end needed; any one separator character will do.
  EXPECT_XYZ(Loaded(p, kText, "P1,2;3"), 1.0, 2.0, 3.0);
  // Binary: the raw doubles, bit for bit (-0 and subnormals too).
  const double third = 1.0 / 3, odd = std::nextafter(0.1, 1.0);
  const G3_POINT q(third, -0.0, 1e-310);
  const G3_VECTOR w(odd, 2, -odd);
  EXPECT_EQ(Saved(q, kBin) + Saved(w, kBin), Bytes({third, -0.0, 1e-310, odd, 2, -odd}));
  const G3_POINT back = Loaded(G3_POINT(), kBin, Saved(q, kBin));
  EXPECT_TRUE(back == q && std::signbit(back.GetCy()));
  EXPECT_TRUE(Loaded(G3_VECTOR(), kBin, Saved(w, kBin)) == w);
  EXPECT_TRUE(RoundTrips(p) && RoundTrips(v));

  // A bad record leaves the value; another stream type writes and reads nothing.
  EXPECT_TRUE(Kept(p, kText, "p1 2 3\n", &GerrInvalidFilePointExpected));
  // Cut short, or not exactly one separator between the numbers.
  for (const char* s : {"P1 2\n", "P1  2 3\n"}) EXPECT_TRUE(Kept(p, kText, s, &CerrStringNotReal));
  EXPECT_TRUE(Kept(p, kBin, Bytes({1, 2}), &CerrEndOfFile));
  EXPECT_TRUE(Kept(v, kText, "P1 2 3\n", &GerrInvalidFileVectorExpected));
  EXPECT_EQ(Saved(p, 2) + Saved(v, 2), "");
  EXPECT_TRUE(Kept(p, 2, "P1 2 3\n", nullptr) && Kept(v, 2, "V1 2 3\n", nullptr));
}

// ---- G3_POINTS

G3_POINTS Points(std::initializer_list<G3_POINT> pts) {
  G3_POINTS l;
  for (const G3_POINT& p : pts) l.Append(p);
  return l;
}

TEST_F(G3PointTest, SearchNearest) {
  EXPECT_EQ(G3_POINTS().SearchNearest(G3_AXIS::OX), -1);
  const G3_POINTS l = Points({{5, 0, 0}, {1, 0, 0}, {-1, 0, 0}, {0, 1.5, 0}});
  EXPECT_EQ(l.SearchNearest(G3_POINT::P0), 1);  // tie with index 2: the lowest wins
  // Distance to the line, not to its origin.
  const G3_POINTS m = Points({{100, 0.5, 0}, {0, 1, 0}, {-100, 0, -0.5}});
  EXPECT_EQ(m.SearchNearest(G3_AXIS::OX), 0);  // tie with index 2
  // Distance along the normal, either side.
  const G3_POINTS n = Points({{0, 0, -1}, {50, 50, 0.5}, {0, 0, 0.75}});
  EXPECT_EQ(n.SearchNearest(G3_PLANE::OXY), 1);
  // Every point farther than 1e50: the list is not empty, so an index comes back.
  EXPECT_EQ(Points({{2e60, 0, 0}, {1e60, 0, 0}}).SearchNearest(G3_POINT::P0), 1);
  // Distances that overflow to infinity still answer the first point.
  EXPECT_EQ(Points({{1e200, 0, 0}, {-1e200, 0, 0}}).SearchNearest(G3_POINT::P0), 0);
}

TEST_F(G3PointTest, ListSearchCompareAndMove) {
  // The first point strictly within the tolerance, not the nearest.
  const G3_POINTS l = Points({{2, 0, 0}, {0.5, 0, 0}, {0, 0.25, 0}, {0.1, 0, 0}});
  EXPECT_TRUE(l.SearchWithTol(G3_POINT::P0, 0.5) == 2 && l.SearchWithTol(G3_POINT::P0, 0.6) == 1);
  EXPECT_EQ(l.SearchWithTol(G3_POINT(9, 9, 9), 1), -1);
  // Same points in order, within the distance resolution.
  G3_POINTS a = Points({{1, 2, 3}, {4, 5, 6}});
  EXPECT_TRUE(a.IsOn(Points({{1, 2, 3 + 0.5e-8}, {4, 5, 6}})));
  EXPECT_FALSE(a.IsOn(Points({{1, 2, 3}, {4, 5 + 2e-8, 6}})));
  EXPECT_FALSE(a.IsOn(Points({{1, 2, 3}})));
  a.Move(1, G3_VECTOR(1, 1, -6));
  EXPECT_TRUE(a == Points({{1, 2, 3}, {5, 6, 0}}));
  // The sorted flag travels with the record.
  a.SetSorted(true);
  const G3_POINTS back = Loaded(G3_POINTS(), C_FILE::BINARY, Saved(a, C_FILE::BINARY));
  EXPECT_TRUE(back == a && back.IsSorted());
}

}  // namespace
