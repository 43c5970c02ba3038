#include "algebra/g3_point.h"

#include <cmath>

#include "algebra/geom_fixture.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_points.h"
#include "algebra/g3_vector.h"
#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "measures/g_dis2.h"
#include "runtime/c_file.h"
#include "runtime/t_node.h"

namespace {

using G3PointTest = GeomTest;

const double kRound = 1e-12;

TEST_F(G3PointTest, ConstantsAndAccessors) {
  EXPECT_XYZ(G3_POINT::P0, 0.0, 0.0, 0.0);
  EXPECT_XYZ(G3_VECTOR::V0, 0.0, 0.0, 0.0);
  EXPECT_XYZ(G3_VECTOR1::VX, 1.0, 0.0, 0.0);
  EXPECT_XYZ(G3_VECTOR1::VY, 0.0, 1.0, 0.0);
  EXPECT_XYZ(G3_VECTOR1::VZ, 0.0, 0.0, 1.0);
  EXPECT_XYZ(G3_VECTOR1(), 1.0, 0.0, 0.0);

  G3_POINT p(1, 2, 3);
  EXPECT_EQ(p.GetCi(1), 2);
  EXPECT_EQ(p.GetCi(-4), 3);  // any other index reads z
  EXPECT_EQ(p.GetCi(9), 3);
  p.SetCi(3, 7);  // ignored
  p.SetCi(-1, 7);
  EXPECT_XYZ(p, 1.0, 2.0, 3.0);
  p.SetCi(2, 8);
  EXPECT_XYZ(p, 1.0, 2.0, 8.0);
  double x, y, z;
  p.GetCar(&x, &y, &z);
  EXPECT_EQ(x, 1);
  EXPECT_EQ(y, 2);
  EXPECT_EQ(z, 8);
  G3_VECTOR v(4, 5, 6);
  v.SetCi(1, -5);
  v.SetCi(5, 0);
  EXPECT_XYZ(v, 4.0, -5.0, 6.0);
  EXPECT_EQ(v.GetCi(3), 6);
}

TEST_F(G3PointTest, ArithmeticOperators) {
  const G3_POINT a(1, 2, 3), b(4, 6, 8);
  const G3_VECTOR u(1, 2, 3), w(4, 5, 6);
  EXPECT_XYZ(a + b, 5.0, 8.0, 11.0);
  EXPECT_XYZ(b - a, 3.0, 4.0, 5.0);  // a point
  EXPECT_XYZ(a + w, 5.0, 7.0, 9.0);
  EXPECT_XYZ(a - w, -3.0, -3.0, -3.0);
  EXPECT_XYZ(G3_POINT(a, w), 5.0, 7.0, 9.0);
  EXPECT_XYZ(G3_VECTOR(a, b), 3.0, 4.0, 5.0);
  EXPECT_XYZ(a >> b, 3.0, 4.0, 5.0);
  EXPECT_XYZ(2 * a, 2.0, 4.0, 6.0);
  EXPECT_XYZ(b / 2, 2.0, 3.0, 4.0);
  EXPECT_XYZ(u + w, 5.0, 7.0, 9.0);
  EXPECT_XYZ(u - w, -3.0, -3.0, -3.0);
  EXPECT_XYZ(-u, -1.0, -2.0, -3.0);
  EXPECT_XYZ(3 * u, 3.0, 6.0, 9.0);
  EXPECT_XYZ(w / 2, 2.0, 2.5, 3.0);
  EXPECT_EQ(u * w, 32);
  EXPECT_XYZ(u ^ w, -3.0, 6.0, -3.0);
  EXPECT_XYZ(w ^ u, 3.0, -6.0, 3.0);
  EXPECT_XYZ(G3_VECTOR1::VX ^ G3_VECTOR1::VY, 0.0, 0.0, 1.0);

  G3_POINT p = a;
  p += b;
  p -= w;
  EXPECT_XYZ(p, 1.0, 3.0, 5.0);
  G3_VECTOR v = u;
  v -= w;
  v *= -2;
  v /= 0;  // no test of the divisor
  EXPECT_TRUE(std::isinf(v.GetCx()));
  v.Invert();
  EXPECT_TRUE(v.GetCx() < 0);
  EXPECT_EQ(G3_VECTOR(2, 3, 6).GetNorm2(), 49);
  EXPECT_EQ(G3_VECTOR(2, 3, 6).GetNorm(), 7);

  const G3_VECTOR1 n = -G3_VECTOR1::VY;  // still a unit vector
  EXPECT_XYZ(n, 0.0, -1.0, 0.0);
}

TEST_F(G3PointTest, ExactLexicographicComparisons) {
  const G3_POINT a(1, 5, 5), b(2, 0, 0), c(1, 5, 6);
  EXPECT_TRUE(a < b);
  EXPECT_TRUE(b > a);
  EXPECT_TRUE(a < c);  // x and y equal, z decides
  EXPECT_FALSE(a < a);
  EXPECT_FALSE(a > a);
  EXPECT_TRUE(a == G3_POINT(1, 5, 5));
  EXPECT_TRUE(a != c);
  EXPECT_FALSE(G3_POINT(0, 0, 1e-300) == G3_POINT::P0);  // no tolerance

  EXPECT_TRUE(G3_VECTOR(1, 2, 4) > G3_VECTOR(1, 2, 3));
  EXPECT_FALSE(G3_VECTOR(1, 2, 3) > G3_VECTOR(1, 2, 3));
  EXPECT_TRUE(G3_VECTOR(0, 9, 9) == G3_VECTOR(0, 9, 9));
  EXPECT_TRUE(G3_VECTOR1::VY > G3_VECTOR1::VZ);
  EXPECT_TRUE(G3_VECTOR1::VZ < G3_VECTOR1::VY);
  EXPECT_TRUE(G3_VECTOR1::VX != G3_VECTOR1::VY);
  EXPECT_TRUE(G3_VECTOR1::VX == G3_VECTOR1(5, 0, 0));
}

TEST_F(G3PointTest, UnitBands) {
  double norm = -1;
  G3_VECTOR v(3, 0, 4);
  v.Unit(&norm);
  EXPECT_EQ(norm, 5);
  EXPECT_DOUBLE_EQ(v.GetCx(), 0.6);
  EXPECT_DOUBLE_EQ(v.GetCz(), 0.8);
  EXPECT_EQ(Take(), nullptr);

  // Squared norm 1 + 5e-13: taken as unit, not touched, norm 1.
  const double y = std::sqrt(5e-13);
  G3_VECTOR almost(1, y, 0);
  almost.Unit(&norm);
  EXPECT_EQ(norm, 1);
  EXPECT_XYZ(almost, 1.0, y, 0.0);

  // Squared norm 1 + 2e-12: outside the first band, normalised.
  const double y2 = std::sqrt(2e-12);
  G3_VECTOR off(1, y2, 0);
  off.Unit(&norm);
  EXPECT_NE(off.GetCx(), 1.0);
  EXPECT_NEAR(norm, std::sqrt(1 + 2e-12), 1e-15);
  EXPECT_NEAR(off.GetNorm2(), 1, 1e-15);

  // Squared norm 1 + 5e-9: second band, the norm agrees with the square root
  // to rounding, and no component is left as it was.
  const double y3 = std::sqrt(5e-9);
  G3_VECTOR near(1, y3, 0);
  near.Unit(&norm);
  EXPECT_NEAR(norm, std::sqrt(1 + 5e-9), 2e-16);
  EXPECT_LT(near.GetCx(), 1.0);
  EXPECT_NEAR(near.GetNorm2(), 1, 1e-15);

  // Far from 1: the square root.
  G3_VECTOR small(0, 1e-3, 0);
  small.Unit(nullptr);
  EXPECT_XYZ(small, 0.0, 1.0, 0.0);

  // The null vector: error, norm 0, unchanged.
  G3_VECTOR null(0, 0, 0);
  null.Unit(&norm);
  EXPECT_EQ(norm, 0);
  EXPECT_XYZ(null, 0.0, 0.0, 0.0);
  EXPECT_EQ(Take(), &GerrNullVector);
  null.Unit();  // no norm asked
  EXPECT_EQ(Take(), &GerrNullVector);
  // A tiny but not null vector is normalised.
  G3_VECTOR tiny(0, 0, -1e-150);
  tiny.Unit();
  EXPECT_EQ(Take(), nullptr);
  EXPECT_XYZ(tiny, 0.0, 0.0, -1.0);
}

TEST_F(G3PointTest, UnitVectorConstructorsNeverFailLoudly) {
  EXPECT_XYZ(G3_VECTOR1(0, 0, 0), 1.0, 0.0, 0.0);
  EXPECT_EQ(Take(), &GerrNullVector);
  const G3_POINT p(1, 2, 3);
  EXPECT_XYZ(G3_VECTOR1(p, p), 1.0, 0.0, 0.0);
  EXPECT_EQ(Take(), &GerrNullVector);
  EXPECT_XYZ(G3_VECTOR1(G3_VECTOR::V0), 1.0, 0.0, 0.0);
  EXPECT_EQ(Take(), &GerrNullVector);

  EXPECT_XYZ(G3_VECTOR1(0, 0, -7), 0.0, 0.0, -1.0);
  EXPECT_NEAR_XYZ(G3_VECTOR1(p, G3_POINT(1, 5, 7)), 0.0, 0.6, 0.8, 1e-15);
  EXPECT_XYZ(G3_VECTOR1(G3_VECTOR(0, 2, 0)), 0.0, 1.0, 0.0);
  EXPECT_EQ(Take(), nullptr);

  // An error already pending does not turn a good direction into X.
  GerrNoIntersection.TriggerMild();
  EXPECT_XYZ(G3_VECTOR1(0, 3, 0), 0.0, 1.0, 0.0);
  EXPECT_EQ(Take(), &GerrNoIntersection);
}

TEST_F(G3PointTest, NullAndParallelTests) {
  EXPECT_TRUE(G3_VECTOR(0, 0, 0).Is0());
  EXPECT_FALSE(G3_VECTOR(0, 1e-300, 0).Is0());
  // IsNull is strict.
  EXPECT_FALSE(G3_VECTOR(0.5, 0, 0).IsNull(0.5));
  EXPECT_TRUE(G3_VECTOR(0.5, 0, 0).IsNull(0.5000001));
  EXPECT_TRUE(G3_VECTOR(0, 0, 0).IsNull(1e-100));

  const G3_VECTOR a(2, 0, 0), b(-4, 0, 0), c(0, 3, 0);
  EXPECT_TRUE(a.IsOn(G3_VECTOR(5, 0, 0), true, G_ANG::MinSin2));
  EXPECT_TRUE(a.IsOn(b, false, G_ANG::MinSin2));
  EXPECT_FALSE(a.IsOn(b, true, G_ANG::MinSin2));
  // Scaled by both squared norms, non-strict: |a ^ c|^2 = 36 = 1 * 4 * 9.
  EXPECT_TRUE(a.IsOn(c, false, 1.0));
  EXPECT_FALSE(a.IsOn(c, false, 0.999));
  EXPECT_FALSE(a.IsOn(G3_VECTOR(1, 1e-8, 0), false, G_ANG::MinSin2));
  EXPECT_TRUE(a.IsOn(G3_VECTOR(1, 1e-10, 0), false, G_ANG::MinSin2));
  // Orthogonality, scaled, non-strict: (a.a)^2 = 16 = 1 * 4 * 4.
  EXPECT_TRUE(a.IsOrthoTo(c, 0.0));
  EXPECT_TRUE(a.IsOrthoTo(a, 1.0));
  EXPECT_FALSE(a.IsOrthoTo(a, 0.999));

  // The unit forms compare bare products.
  const G3_VECTOR1& x = G3_VECTOR1::VX;
  const G3_VECTOR1& y = G3_VECTOR1::VY;
  EXPECT_TRUE(x.IsOn(-x, false, G_ANG::MinSin2));
  EXPECT_FALSE(x.IsOn(-x, true, G_ANG::MinSin2));
  EXPECT_TRUE(x.IsOn(y, false, 1.0));  // non-strict
  EXPECT_FALSE(x.IsOn(y, false, 0.999));
  EXPECT_FALSE(x.IsOrthoTo(y, 0.0));  // strict: 0 < 0 fails
  EXPECT_TRUE(x.IsOrthoTo(y, 1e-300));
  EXPECT_FALSE(x.IsOrthoTo(x, 1.0));
  EXPECT_TRUE(x.IsOrthoTo(x, 1.001));
  // A plain vector argument takes the scaled, non-strict form.
  EXPECT_TRUE(x.IsOrthoTo(G3_VECTOR(0, 3, 0), 0.0));
}

TEST_F(G3PointTest, DirectionInPlane) {
  EXPECT_TRUE(G3_VECTOR(1, 1, 0).IsOn(G3_PLANE::OXY));
  EXPECT_FALSE(G3_VECTOR(1, 1, 1e-6).IsOn(G3_PLANE::OXY));
  EXPECT_TRUE(G3_VECTOR(0, 5, 0).IsOn(G3_PLANE::OXZ) == false);
  EXPECT_TRUE(G3_VECTOR(0, 0, 0).IsOn(G3_PLANE::OYZ));  // null lies everywhere
  // The unit form is strict at G_ANG::MinSin: (1, 0, 1e-9) is unit as it stands.
  const G3_VECTOR1 at(1, 0, 1e-9);
  EXPECT_EQ(at.GetCz(), 1e-9);
  EXPECT_FALSE(at.IsOn(G3_PLANE::OXY));
  EXPECT_TRUE(G3_VECTOR1(1, 0, 0.99e-9).IsOn(G3_PLANE::OXY));
}

TEST_F(G3PointTest, PointTolerances) {
  const G3_POINT o(0, 0, 0);
  EXPECT_FALSE(o.IsOn(G3_POINT(0.5, 0, 0), 0.5));  // strict
  EXPECT_TRUE(o.IsOn(G3_POINT(0.5, 0, 0), 0.5000001));
  EXPECT_FALSE(G3_POINT(7, 0.5, 0).IsOn(G3_AXIS::OX, 0.5));
  EXPECT_TRUE(G3_POINT(-7, 0, 0.5).IsOn(G3_AXIS::OX, 0.5000001));
  EXPECT_FALSE(G3_POINT(3, 4, 0.5).IsOn(G3_PLANE::OXY, 0.5));
  EXPECT_TRUE(G3_POINT(3, 4, -0.5).IsOn(G3_PLANE::OXY, 0.5000001));

  const G3_VECTOR1 up(0, 0, 1);
  EXPECT_TRUE(G3_POINT(9, 9, 1).IsInHalfSpace(G3_POINT(0, 0, 1), up));  // boundary
  EXPECT_TRUE(G3_POINT(9, 9, 2).IsInHalfSpace(G3_POINT(0, 0, 1), up));
  EXPECT_FALSE(G3_POINT(9, 9, 0.999).IsInHalfSpace(G3_POINT(0, 0, 1), up));
}

TEST_F(G3PointTest, CoordinateSystems) {
  G3_POINT p;
  p.SetCyl(2, 90, 5);
  EXPECT_NEAR_XYZ(p, 0.0, 2.0, 5.0, kRound);
  p.SetCyl(2, 180, -1);
  EXPECT_NEAR_XYZ(p, -2.0, 0.0, -1.0, kRound);
  double r, a, b;
  G3_POINT(0, -3, 5).GetCyl(&r, &a, &b);
  EXPECT_NEAR(r, 3, kRound);
  EXPECT_NEAR(a, -90, kRound);
  EXPECT_EQ(b, 5);

  p.SetSph(2, 90, 90);
  EXPECT_NEAR_XYZ(p, 0.0, 2.0, 0.0, kRound);
  p.SetSph(2, 0, 0);  // b measured from +z
  EXPECT_NEAR_XYZ(p, 0.0, 0.0, 2.0, kRound);
  G3_POINT(1, 1, std::sqrt(2.0)).GetSph(&r, &a, &b);
  EXPECT_NEAR(r, 2, kRound);
  EXPECT_NEAR(a, 45, kRound);
  EXPECT_NEAR(b, 45, kRound);

  p.SetLoLa(2, 0, 90);  // la measured from the xy plane
  EXPECT_NEAR_XYZ(p, 0.0, 0.0, 2.0, kRound);
  p.SetLoLa(2, 90, 0);
  EXPECT_NEAR_XYZ(p, 0.0, 2.0, 0.0, kRound);
  G3_POINT(-1, 1, -std::sqrt(2.0)).GetLoLa(&r, &a, &b);
  EXPECT_NEAR(r, 2, kRound);
  EXPECT_NEAR(a, 135, kRound);
  EXPECT_NEAR(b, -45, kRound);
}

TEST_F(G3PointTest, CoordinatesInABasis) {
  // Non-orthogonal basis: p - o = 2u + 3v + 0.5w.
  const G3_POINT o(1, 1, 1);
  const G3_VECTOR u(1, 0, 0), v(1, 1, 0), w(0, 0, 2);
  const G3_POINT c = G3_POINT(6, 4, 2).GetCoo(o, u, v, w);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_NEAR_XYZ(c, 2.0, 3.0, 0.5, kRound);

  const G3_POINT bad = G3_POINT(6, 4, 2).GetCoo(o, u, G3_VECTOR(2, 0, 0), w);
  EXPECT_TRUE(C_ERROR::Is());  // the solver's error
  C_ERROR::ClearPending();
  EXPECT_XYZ(bad, 0.0, 0.0, 0.0);
}

TEST_F(G3PointTest, PointFromText) {
  EXPECT_XYZ(G3_POINT(C_STRING("")), 0.0, 0.0, 0.0);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_XYZ(G3_POINT(C_STRING("1 2")), 1.0, 2.0, 0.0);
  EXPECT_XYZ(G3_POINT(C_STRING("1 2 ")), 1.0, 2.0, 0.0);
  EXPECT_XYZ(G3_POINT(C_STRING("1,2,3")), 1.0, 2.0, 3.0);
  EXPECT_XYZ(G3_POINT(C_STRING("-1.5, ,2e1 ,, 3")), -1.5, 20.0, 3.0);
  // Only the last character of a separator run decides: " ; " is Cartesian.
  EXPECT_XYZ(G3_POINT(C_STRING("1 ; 2")), 1.0, 2.0, 0.0);
  EXPECT_EQ(Take(), nullptr);
  // Cylindrical: radius;angle height.
  EXPECT_XYZ(G3_POINT(C_STRING("2;0")), 2.0, 0.0, 0.0);
  EXPECT_NEAR_XYZ(G3_POINT(C_STRING("2;90 5")), 0.0, 2.0, 5.0, kRound);
  EXPECT_NEAR_XYZ(G3_POINT(C_STRING("2 ;180,-1")), -2.0, 0.0, -1.0, kRound);
  // Longitude and latitude.
  EXPECT_NEAR_XYZ(G3_POINT(C_STRING("2;0;90")), 0.0, 0.0, 2.0, kRound);
  EXPECT_NEAR_XYZ(G3_POINT(C_STRING("2;90;0")), 0.0, 2.0, 0.0, kRound);
  EXPECT_NEAR_XYZ(G3_POINT(C_STRING("2;90;")), 0.0, 2.0, 0.0, kRound);
  EXPECT_EQ(Take(), nullptr);
}

TEST_F(G3PointTest, MalformedPointTextLeavesTheOrigin) {
  struct Case {
    const char* text;
    const C_ERROR* error;
  };
  const Case cases[] = {
      {"1", &GerrInvalidPointString},       {"1x2", &GerrInvalidPointString},
      {"1 2x", &GerrInvalidPointString},    {"1 2 3 x", &CerrStringNotReal},
      {"1 2 3 ", &CerrStringNotReal},       {"1 2 x", &CerrStringNotReal},
      {"x", &CerrStringNotReal},            {" 1 2 3", &CerrStringNotReal},
      {"1 y 3", &CerrStringNotReal},        {"4;", &CerrStringNotReal},
  };
  for (const Case& c : cases) {
    const G3_POINT p{C_STRING(c.text)};
    EXPECT_EQ(Take(), c.error) << c.text;
    EXPECT_XYZ(p, 0.0, 0.0, 0.0);
  }
}

TEST_F(G3PointTest, VectorFromText) {
  EXPECT_XYZ(G3_VECTOR(C_STRING("")), 0.0, 0.0, 0.0);
  EXPECT_XYZ(G3_VECTOR(C_STRING("1,2,3")), 1.0, 2.0, 3.0);
  EXPECT_XYZ(G3_VECTOR(C_STRING("1 , 2,, 3")), 1.0, 2.0, 3.0);
  EXPECT_XYZ(G3_VECTOR(C_STRING("1 2 ")), 1.0, 2.0, 0.0);
  EXPECT_XYZ(G3_VECTOR(C_STRING("1 2 3 junk")), 1.0, 2.0, 3.0);  // tail ignored
  EXPECT_XYZ(G3_VECTOR(C_STRING("1 2,x")), 1.0, 2.0, 0.0);
  EXPECT_EQ(Take(), nullptr);

  struct Case {
    const char* text;
    const C_ERROR* error;
  };
  const Case cases[] = {
      {"1 2", &GerrInvalidVectorString}, {"1", &GerrInvalidVectorString},
      {"1 ", &CerrStringNotReal},        {"x", &CerrStringNotReal},
      {"1;2;3", &CerrStringNotReal},     {"1 y 3", &CerrStringNotReal},
  };
  for (const Case& c : cases) {
    const G3_VECTOR v{C_STRING(c.text)};
    EXPECT_EQ(Take(), c.error) << c.text;
    EXPECT_XYZ(v, 0.0, 0.0, 0.0);
  }
}

TEST_F(G3PointTest, TextRecords) {
  C_FILE_MEMORY f(C_FILE::TEXT);
  G3_POINT(1, 2.5, -3).Save(&f);
  G3_VECTOR(0.1, 1.0 / 3, 1e-300).Save(&f);
  G3_VECTOR1::VZ.Save(&f);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_EQ(f.GetContent(),
            "P1 2.5 -3\n"
            "V0.1 0.3333333333333333 1e-300\n"
            "V0 0 1\n");
  f.Rewind();
  G3_POINT p;
  G3_VECTOR v;
  G3_VECTOR1 n;
  p.Load(0, &f);
  v.Load(0, &f);
  n.Load(0, &f);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_XYZ(p, 1.0, 2.5, -3.0);
  EXPECT_XYZ(v, 0.1, 1.0 / 3, 1e-300);
  EXPECT_XYZ(n, 0.0, 0.0, 1.0);
}

TEST_F(G3PointTest, BadTextRecordsLeaveTheValue) {
  struct Case {
    const char* content;
    const C_ERROR* error;
  };
  const Case points[] = {
      {"V1 2 3\n", &GerrInvalidFilePointExpected},
      {"p1 2 3\n", &GerrInvalidFilePointExpected},
      {"\n", &GerrInvalidFilePointExpected},
      {"", &CerrEndOfFile},
      {"P1 2\n", &CerrStringNotReal},   // cut short
      {"P1 2 \n", &CerrStringNotReal},  // cut short behind a blank
      {"P", &CerrStringNotReal},
      {"P1  2 3\n", &CerrStringNotReal},  // exactly one separator
      {"P 1 2 3\n", &CerrStringNotReal},
  };
  for (const Case& c : points) {
    C_FILE_MEMORY f(C_FILE::TEXT, c.content);
    G3_POINT p(7, 8, 9);
    p.Load(0, &f);
    EXPECT_EQ(Take(), c.error) << c.content;
    EXPECT_XYZ(p, 7.0, 8.0, 9.0);
  }
  const Case vectors[] = {
      {"P1 2 3\n", &GerrInvalidFileVectorExpected},
      {"V1 2\n", &CerrStringNotReal},
      {"", &CerrEndOfFile},
  };
  for (const Case& c : vectors) {
    C_FILE_MEMORY f(C_FILE::TEXT, c.content);
    G3_VECTOR v(7, 8, 9);
    v.Load(0, &f);
    EXPECT_EQ(Take(), c.error) << c.content;
    EXPECT_XYZ(v, 7.0, 8.0, 9.0);
  }
  // A record needs no line end; any separator character will do.
  C_FILE_MEMORY f(C_FILE::TEXT, "P1,2;3");
  G3_POINT p;
  p.Load(0, &f);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_XYZ(p, 1.0, 2.0, 3.0);
}

TEST_F(G3PointTest, BinaryRecords) {
  const double third = 1.0 / 3;
  const double odd = std::nextafter(0.1, 1.0);
  C_FILE_MEMORY f(C_FILE::BINARY);
  G3_POINT(third, -0.0, odd).Save(&f);
  G3_VECTOR(1e-310, 2, -odd).Save(&f);
  EXPECT_EQ(f.GetContent(), Bytes({third, -0.0, odd, 1e-310, 2, -odd}));
  f.Rewind();
  G3_POINT p;
  G3_VECTOR v;
  p.Load(0, &f);
  v.Load(0, &f);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_XYZ(p, third, 0.0, odd);
  EXPECT_TRUE(std::signbit(p.GetCy()));
  EXPECT_XYZ(v, 1e-310, 2.0, -odd);

  // A record cut short is an error and changes nothing.
  C_FILE_MEMORY shortFile(C_FILE::BINARY, Bytes({1, 2}));
  G3_POINT q(7, 8, 9);
  q.Load(0, &shortFile);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  EXPECT_XYZ(q, 7.0, 8.0, 9.0);
}

TEST_F(G3PointTest, OtherStreamTypesReadAndWriteNothing) {
  C_FILE_MEMORY f(2);
  G3_POINT(1, 2, 3).Save(&f);
  G3_VECTOR(1, 2, 3).Save(&f);
  EXPECT_EQ(f.GetContent(), "");
  C_FILE_MEMORY g(2, "P1 2 3\n");
  G3_POINT p(7, 8, 9);
  p.Load(0, &g);
  G3_VECTOR v(7, 8, 9);
  v.Load(0, &g);
  EXPECT_EQ(Take(), nullptr);
  EXPECT_XYZ(p, 7.0, 8.0, 9.0);
  EXPECT_XYZ(v, 7.0, 8.0, 9.0);
}

// ---- G3_POINTS

G3_POINTS Points(std::initializer_list<G3_POINT> pts) {
  G3_POINTS l;
  for (const G3_POINT& p : pts) l.Append(p);
  return l;
}

TEST_F(G3PointTest, NearestToAPoint) {
  EXPECT_EQ(G3_POINTS().SearchNearest(G3_POINT::P0), -1);
  EXPECT_EQ(G3_POINTS().SearchNearest(G3_AXIS::OX), -1);
  EXPECT_EQ(G3_POINTS().SearchNearest(G3_PLANE::OXY), -1);

  const G3_POINTS l = Points({{5, 0, 0}, {1, 0, 0}, {-1, 0, 0}, {0, 1.5, 0}});
  EXPECT_EQ(l.SearchNearest(G3_POINT::P0), 1);  // tie with index 2: lowest wins
  EXPECT_EQ(l.SearchNearest(G3_POINT(-0.9, 0, 0)), 2);
  EXPECT_EQ(l.SearchNearest(G3_POINT(0, 9, 0)), 3);
  EXPECT_EQ(Points({{3, 3, 3}}).SearchNearest(G3_POINT::P0), 0);
}

TEST_F(G3PointTest, NearestToAnAxisAndToAPlane) {
  // Distance to the line, not to its origin.
  const G3_POINTS l = Points({{100, 0.5, 0}, {0, 1, 0}, {-100, 0, -0.5}});
  EXPECT_EQ(l.SearchNearest(G3_AXIS::OX), 0);  // tie with index 2
  EXPECT_EQ(l.SearchNearest(G3_AXIS(G3_POINT(0, 1, 0), G3_VECTOR1(0, 0, 1))), 1);
  // Squared signed distance along the normal.
  const G3_POINTS m = Points({{0, 0, -1}, {50, 50, 0.5}, {0, 0, 0.75}});
  EXPECT_EQ(m.SearchNearest(G3_PLANE::OXY), 1);
  EXPECT_EQ(m.SearchNearest(G3_PLANE(G3_POINT(0, 0, -0.9), G3_VECTOR1(0, 0, -1))), 0);
}

TEST_F(G3PointTest, NearestSearchesFindFarPoints) {
  // Every point farther than 1e50: the list is not empty, so an index comes back.
  EXPECT_EQ(Points({{2e60, 0, 0}, {1e60, 0, 0}}).SearchNearest(G3_POINT::P0), 1);
  EXPECT_EQ(Points({{0, 2e60, 0}, {0, 1e60, 0}}).SearchNearest(G3_AXIS::OX), 1);
  EXPECT_EQ(Points({{0, 0, 3e60}, {0, 0, -2e60}}).SearchNearest(G3_PLANE::OXY), 1);
  // Distances that overflow to infinity still answer the first point.
  EXPECT_EQ(Points({{1e200, 0, 0}, {-1e200, 0, 0}}).SearchNearest(G3_POINT::P0), 0);
}

TEST_F(G3PointTest, SearchWithToleranceIsStrict) {
  const G3_POINTS l = Points({{2, 0, 0}, {0.5, 0, 0}, {0, 0.25, 0}, {0.1, 0, 0}});
  EXPECT_EQ(l.SearchWithTol(G3_POINT::P0, 0.5), 2);  // 0.25 = 0.5^2 is not below
  EXPECT_EQ(l.SearchWithTol(G3_POINT::P0, 0.6), 1);  // first, not nearest
  EXPECT_EQ(l.SearchWithTol(G3_POINT(9, 9, 9), 1), -1);
  EXPECT_EQ(G3_POINTS().SearchWithTol(G3_POINT::P0, 1e9), -1);
}

TEST_F(G3PointTest, ListsCoincideWithinTheDistanceResolution) {
  const G3_POINTS a = Points({{1, 2, 3}, {4, 5, 6}});
  EXPECT_TRUE(a.IsOn(a));
  EXPECT_TRUE(a.IsOn(Points({{1, 2, 3 + 0.5e-8}, {4, 5, 6}})));
  EXPECT_FALSE(a.IsOn(Points({{1, 2, 3}, {4, 5 + 2e-8, 6}})));
  EXPECT_FALSE(a.IsOn(Points({{1, 2, 3}})));
  EXPECT_TRUE(G3_POINTS().IsOn(G3_POINTS()));
}

TEST_F(G3PointTest, MovePoint) {
  G3_POINTS l = Points({{1, 2, 3}, {4, 5, 6}});
  l.Move(1, G3_VECTOR(1, 1, -6));
  EXPECT_EQ(Take(), nullptr);
  EXPECT_XYZ(l.Get(1), 5.0, 6.0, 0.0);
  l.Move(2, G3_VECTOR(1, 1, 1));
  EXPECT_EQ(Take(), &TerrInvalidIndex);
  l.Move(-1, G3_VECTOR(1, 1, 1));
  EXPECT_EQ(Take(), &TerrInvalidIndex);
  EXPECT_EQ(l.GetNumber(), 2);
  EXPECT_XYZ(l.Get(0), 1.0, 2.0, 3.0);
}

TEST_F(G3PointTest, ListRecords) {
  G3_POINTS l = Points({{1, 2, 3}, {0.5, -1, 1e10}});
  l.SetSorted(true);
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    l.Save(&f);
    if (type == C_FILE::TEXT) {
      EXPECT_NE(f.GetContent().find("P1 2 3\nP0.5 -1 10000000000\n"), std::string::npos);
    } else {
      EXPECT_NE(f.GetContent().find(Bytes({1, 2, 3, 0.5, -1, 1e10})), std::string::npos);
    }
    f.Rewind();
    G3_POINTS back;
    back.Load(0, &f);
    EXPECT_EQ(Take(), nullptr) << type;
    ASSERT_EQ(back.GetNumber(), 2);
    EXPECT_TRUE(back == l);
    EXPECT_TRUE(back.IsSorted());
  }
}

}  // namespace
