#include "algebra/g3_transfo.h"

#include <cmath>
#include <sstream>
#include <tuple>

#include "algebra/g2_point.h"
#include "algebra/g2_vector.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_frame.h"
#include "algebra/g3_plane.h"
#include "geom_fixture.h"

namespace {

using TransfoTest = GeomTest;
using Ax = std::array<double, 3>;

// A transformation set up by one builder call, e.g. BUILT(SetRotZ(90)).
// clang-format off
#define BUILT(call) [&] { G3_TRANSFO t_; t_.call; return t_; }()
// clang-format on

G3_TRANSFO FromRows(const double m[4][4]) {
  G3_TRANSFO t;
  t.SetMat(m);
  return t;
}

G3_TRANSFO Diag(double a, double b, double c) {
  const double m[4][4] = {{a, 0, 0, 0}, {0, b, 0, 0}, {0, 0, c, 0}, {0, 0, 0, 1}};
  return FromRows(m);
}

// The cached properties as a word: P moves points, V vectors, O directions,
// A changes angles, H projective; then the scale.
std::string Props(const G3_TRANSFO& t) {
  std::ostringstream s;
  s.precision(15);
  s << (t.IsIde() ? '-' : 'P') << (t.DoesModVec() ? 'V' : '-') << (t.DoesModOri() ? 'O' : '-')
    << (t.DoesModAng() ? 'A' : '-') << (t.IsHomogenous() ? 'H' : '-') << ' ' << t.GetScale();
  return s.str();
}

const G3_POINT kO(0, 0, 0);

// A rotation about a slanted axis times k: a similarity with off-diagonal
// terms, which leaves the angle property to the lazy test.
G3_TRANSFO Similarity(double k) {
  G3_TRANSFO t = BUILT(SetRot(G3_AXIS(G3_POINT(1, 1, 1), G3_VECTOR1(1, 2, 3)), 40));
  return t <<= G3_TRANSFO(kO, k);
}

TEST_F(TransfoTest, CachedPropertiesOfEveryBuilder) {
  const double proj[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0.5, 1}};
  const double shear[4][4] = {{1, 1, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  const std::pair<G3_TRANSFO, const char*> cases[] = {
      // Points move even by a null vector; lengths scale by |k|.
      {G3_TRANSFO(G3_VECTOR(0, 0, 0)), "P---- 1"}, {G3_TRANSFO(kO, -2.0), "PVO-- 2"},
      {BUILT(SetRotZ(10)), "PVO-- 1"}, {Similarity(2), "PVO-- 2"},
      {BUILT(SetRotDeriv(1, G3_AXIS::OX, 10)), "PVOA- 0"},  // a null first column
      // A shift counts as moving points only above 1e-12 (strict).
      {BUILT(SetTra(G3_VECTOR(1e-12, 0, 0))), "----- 1"},
      {BUILT(SetTra(G3_VECTOR(0, 0, 2e-12))), "P---- 1"},
      {G3_TRANSFO() + G3_TRANSFO(), "PV--- 2"},  // row 3 of a sum is (0, 0, 0, 1)
      // Recomputed from the matrix; mixed-sign diagonals keep angles and
      // reverse directions.
      {Diag(1, 1, 1), "----- 1"}, {Diag(2, 2, 2), "PV--- 2"}, {Diag(2, -2, 2), "PVO-- 2"},
      {FromRows(proj), "PVOAH 0"}, {FromRows(shear), "PVOA- 0"},
      // Builders going through a matrix.
      {BUILT(SetSym(G3_AXIS::OZ)), "PVO-- 1"}, {BUILT(SetSca(G3_AXIS::OZ, 3)), "PVOA- 0"},
      {BUILT(SetFrame(G3_FRAME::BASE, G3_FRAME(G3_POINT(1, 2, 3)))), "P---- 1"},
  };
  for (const auto& [t, props] : cases) EXPECT_EQ(Props(t), props) << props;

  // A negligible shift keeps ModPos as it was.
  G3_TRANSFO s = BUILT(SetRotZ(30));
  s.SetTra(G3_VECTOR(1e-13, 0, 0));
  EXPECT_EQ(Props(s), "P---- 1");
}

TEST_F(TransfoTest, QuarterTurnsAndComposition) {
  const G3_TRANSFO z = BUILT(SetRotZ(90)), tr(G3_VECTOR(1, 2, 3));
  EXPECT_XYZ(Map(z, G3_POINT(1, 0, 0)), 0, 1, 0);  // exact
  // a * b applies b first; a <<= b is a * b, a >>= b is b * a.
  EXPECT_XYZ(Map(G3_TRANSFO(z) <<= tr, G3_POINT(1, 0, 0)), -2, 2, 3);
  EXPECT_XYZ(Map(tr * z, G3_POINT(1, 0, 0)), 1, 3, 3);
  EXPECT_TRUE((G3_TRANSFO(z) >>= tr) == tr * z);
  // (1, 0, 2) + (0, 4, -3)/5 turns a quarter about (0, 3, 4)/5 into
  // (1, 0, 2) + (0.6, 0.8)x(0, 0.8, -0.6).
  const G3_TRANSFO c(G3_AXIS(G3_POINT(1, 0, 2), G3_VECTOR1(0, 3, 4)), G_ANG(90));
  EXPECT_NEAR_XYZ(Map(c, G3_POINT(1, 0.8, 1.4)), 0, 0, 2, 1e-12);
}

TEST_F(TransfoTest, Inversion) {
  // The inverse of a scaling shares every property, only the scale is inverted.
  G3_TRANSFO s(G3_POINT(1, 1, 1), 4.0);
  EXPECT_TRUE(s.Invert() && Props(s) == "PVO-- 0.25");
  EXPECT_XYZ(Map(s, G3_POINT(5, 1, 1)), 2, 1, 1);
  // A general affine map by cofactors, a projective one by 2x2 blocks: the
  // matrix times its inverse, multiplied out here, is the identity.
  const double g[4][4] = {{2, -1, 0, 3}, {1, 3, -2, 0}, {0, 1, 4, -1}, {0, 0, 0, 1}};
  const double p[4][4] = {{2, 1, 0, 1}, {1, 3, 1, 0}, {0, 1, 2, 1}, {0.1, 0, 0.2, 1}};
  for (const auto* m : {&g, &p}) {
    G3_TRANSFO inv = FromRows(*m);
    ASSERT_TRUE(inv.Invert());
    EXPECT_TRUE(IsInverse(*m, [&](int i, int j) { return inv.GetMat(i, j); }, 1e-14));
  }
  // A singular upper-left block is refused even though the whole matrix is
  // invertible (it permutes coordinates and divides by x); so is a singular
  // affine map. Both are left as they were.
  const double q[4][4] = {{0, 0, 1, 0}, {0, 0, 0, 1}, {1, 0, 0, 0}, {0, 1, 0, 0}};
  const double n[4][4] = {{1, 2, 3, 0}, {2, 4, 6, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  for (const auto* m : {&q, &n}) {
    G3_TRANSFO k = FromRows(*m);
    EXPECT_TRUE(AndError(!k.Invert() && k == FromRows(*m), &GerrUnableToInvert));
  }
}

TEST_F(TransfoTest, ComparisonQueriesAndTranspose) {
  const G3_TRANSFO a = BUILT(SetRotZ(10));
  EXPECT_TRUE(BUILT(SetRotZ(10.001)) < a);  // cos decides first: cos 10.001 < cos 10
  // IsEqual: 3x3 within the angle in radians, translation within d, strict.
  const G3_TRANSFO t1(G3_VECTOR(1, 0, 0)), t2(G3_VECTOR(1.5, 0, 0));
  EXPECT_TRUE(!t1.IsEqual(t2, 0.5, 1) && t1.IsEqual(t2, 0.5000001, 1));
  const double sh[4][4] = {
      {1, G_ANG(0.5).GetRad(), 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  const G3_TRANSFO k = FromRows(sh);
  EXPECT_TRUE(!k.IsEqual(G3_TRANSFO(), 1, 0.5) && k.IsEqual(G3_TRANSFO(), 1, 0.5000001));

  const G3_TRANSFO m = BUILT(SetSym(G3_PLANE::OXY));
  EXPECT_TRUE(m.DoesInvertSpace() && !m.IsDispl() && a.IsDispl() && !a.DoesInvertSpace());
  // The transpose recomputes its properties: row 3 is no longer (0, 0, 0, 1).
  EXPECT_EQ(Props(G3_TRANSFO(G3_VECTOR(4, 0, 0)).Transpose()), "PVOAH 0");
}

TEST_F(TransfoTest, Derivatives) {
  // Central differences, per degree, of the rotation about Z and of its
  // first two derivatives.
  const double a = 25, h = 1e-3;
  for (int n = 1; n <= 3; ++n) {
    const G3_TRANSFO d = BUILT(SetRotZDeriv(n, a));
    const G3_TRANSFO dm = n == 1 ? BUILT(SetRotZ(a - h)) : BUILT(SetRotZDeriv(n - 1, a - h));
    const G3_TRANSFO dp = n == 1 ? BUILT(SetRotZ(a + h)) : BUILT(SetRotZDeriv(n - 1, a + h));
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 2; ++j)
        EXPECT_NEAR(d.GetMat(i, j), (dp.GetMat(i, j) - dm.GetMat(i, j)) / (2 * h), 1e-9);
    EXPECT_TRUE(d.GetMat(2, 2) == 0 && d.GetMat(3, 3) == 1);
  }
  // Degrees 4 and 0: GerrInvalidDifferentiationDegree, the map unchanged.
  G3_TRANSFO keep = BUILT(SetRotX(5));
  keep.SetRotZDeriv(4, 10);
  EXPECT_EQ(Take(), &GerrInvalidDifferentiationDegree);
  keep.SetRotDeriv(0, G3_AXIS::OX, 10);
  EXPECT_TRUE(AndError(keep == BUILT(SetRotX(5)), &GerrInvalidDifferentiationDegree));

  // About an axis off the origin: the velocity of a point is the central
  // difference of its rotated positions, and a point on the axis stays still.
  const G3_AXIS ax(G3_POINT(3, -1, 2), G3_VECTOR1(1, 1, 1));
  const G3_TRANSFO dr = BUILT(SetRotDeriv(1, ax, a));
  const G3_POINT x(0.5, 2, -4);
  const G3_POINT xm = Map(BUILT(SetRot(ax, a - h)), x), xp = Map(BUILT(SetRot(ax, a + h)), x);
  EXPECT_TRUE(Near(Xyz(Map(dr, x)), Xyz((0.5 / h) * (xp - xm)), 1e-8));
  EXPECT_NEAR_XYZ(Map(dr, G3_POINT(4, 0, 3)), 0, 0, 0, 1e-15);
}

TEST_F(TransfoTest, ScalingsSymmetriesProjectionsAndFrames) {
  const G3_FRAME f(G3_POINT(1, 2, 3), G3_VECTOR1(0, 1, 0), G3_VECTOR1(-1, 0, 0));
  const std::tuple<G3_TRANSFO, G3_POINT, Ax> cases[] = {
      // Scaling of the distance to an axis and to a plane.
      {BUILT(SetSca(G3_AXIS(G3_POINT(0, 1, 0), G3_VECTOR1(0, 0, 1)), 3)), {1, 2, 7}, {3, 4, 7}},
      {BUILT(SetSca(G3_PLANE(G3_POINT(0, 0, 1), G3_VECTOR1(0, 0, 1)), 3)), {1, 2, 2}, {1, 2, 4}},
      // The half turn about an axis, the mirror in the plane x + y = 2, the
      // central symmetry.
      {BUILT(SetSym(G3_AXIS(G3_POINT(1, 0, 0), G3_VECTOR1(1, 1, 0)))), {2, 1, 5}, {2, 1, -5}},
      {BUILT(SetSym(G3_PLANE(G3_POINT(1, 1, 0), G3_VECTOR1(1, 1, 0)))), {3, 1, 5}, {1, -1, 5}},
      {BUILT(SetSym(G3_POINT(1, 2, 3))), {0, 0, 0}, {2, 4, 6}},
      // Orthogonal projection on the plane x + y = 2.
      {BUILT(SetProj(G3_PLANE(G3_POINT(1, 1, 0), G3_VECTOR1(1, 1, 0)))), {3, 1, 5}, {2, 0, 5}},
      // Global to f's coordinates; the motion carrying BASE onto f.
      {BUILT(SetFrame(G3_FRAME::BASE, f)), {1, 3, 3}, {1, 0, 0}},
      {BUILT(SetPos(G3_FRAME::BASE, f)), {1, 0, 0}, {1, 3, 3}},
  };
  int k = 0;
  for (const auto& [t, p, want] : cases) EXPECT_TRUE(Near(Xyz(Map(t, p)), want, 1e-12)) << k++;

  // A degenerate plane leaves the map as it was.
  G3_TRANSFO q = BUILT(SetRotZ(90));
  q.SetProj(G3_PLANE(kO, G3_POINT(1, 0, 0), G3_POINT(2, 0, 0)));
  EXPECT_TRUE(AndError(q == BUILT(SetRotZ(90)), &GerrNullVector));

  // A map with scaling and shear, cleaned, keeps the placement of the origin
  // and of the X axis and becomes rigid.
  const double g[4][4] = {{0, -2, 1, 5}, {2, 0, 0, 6}, {0, 0, 3, 7}, {0, 0, 0, 1}};
  G3_TRANSFO c = FromRows(g);
  c.CleanDispl();
  EXPECT_NEAR_XYZ(Map(c, kO), 5, 6, 7, 1e-12);
  EXPECT_NEAR_XYZ(Map(c, G3_VECTOR(1, 0, 0)), 0, 1, 0, 1e-12);
  EXPECT_NEAR_XYZ(Map(c, G3_VECTOR(0, 1, 0)), -1, 0, 0, 1e-12);
}

TEST_F(TransfoTest, FixMovTakesObtuseAndOppositeDirections) {
  // The image of a lies on the ray from o through b, at |b - o|: acute, obtuse,
  // nearly opposite and exactly opposite directions (a half turn).
  const G3_POINT o(1, 1, 1), a(3, 1, 1);
  const G3_POINT bs[] = {G3_POINT(2, 2, 3), G3_POINT(-2, 2, 1), G3_POINT(-3, 1 + 1e-11, 1),
                         G3_POINT(-1, 1, 1)};
  for (const G3_POINT& b : bs) {
    const G3_TRANSFO t = BUILT(SetFixMov(o, a, b));
    // Directions closer than the angular resolution count as opposite.
    const double tol = b.GetCy() == 1 + 1e-11 ? 4e-9 : 1e-12;
    EXPECT_TRUE(AndError(Near(Xyz(Map(t, a)), Xyz(b), tol), nullptr));
    EXPECT_FALSE(t.DoesModAng());
  }
  // b on o: unchanged, GerrNullVector.
  G3_TRANSFO t = BUILT(SetRotX(10));
  t.SetFixMov(o, a, o);
  EXPECT_TRUE(AndError(t == BUILT(SetRotX(10)), &GerrNullVector));
}

TEST_F(TransfoTest, LengthsDistancesAndUnitVectors) {
  // {map, G_LEN (else G_DIS), value, value after, error}
  const std::tuple<G3_TRANSFO, bool, double, double, const C_ERROR*> cases[] = {
      {Similarity(1.5), true, 2, 3, nullptr},
      {G3_TRANSFO(G3_POINT(1, 1, 1), -0.5), false, 4, 2, nullptr},  // by |k|
      // A map that changes angles leaves the value; a length scaled below
      // G_LEN::Min is kept, with the error.
      {BUILT(SetSca(G3_AXIS(kO, G3_VECTOR1(1, 1, 0)), 2)), false, 1, 1, &GerrTransfoChangeAngle},
      {G3_TRANSFO(kO, 1e-8), true, 1, 1e-8, &GerrLengthTooShort},
  };
  int k = 0;
  for (const auto& [t, len, in, out, err] : cases) {
    G_LEN l(in);
    G_DIS d(in);
    len ? t.Transfo(&l) : t.Transfo(&d);
    EXPECT_NEAR(len ? double(l) : double(d), out, 1e-14) << k;
    EXPECT_EQ(Take(), err) << k++;
  }
  // Unit vectors: reversed by a central symmetry, kept with GerrNullVector
  // when a projection collapses them.
  EXPECT_XYZ(Map(BUILT(SetSym(kO)), G3_VECTOR1(0, 0.6, 0.8)), 0, -0.6, -0.8);
  EXPECT_XYZ_ERR(Map(BUILT(SetProj(G3_PLANE::OXY)), G3_VECTOR1(0, 0, 1)), 0, 0, 1, &GerrNullVector);
}

TEST_F(TransfoTest, ApplicationForms) {
  // Translation moves points only; a projective map divides by row 3 . (p, 1).
  const G3_TRANSFO t(G3_VECTOR(1, 2, 3)), r = BUILT(SetRotZ(90));
  EXPECT_XYZ(Map(t, G3_VECTOR(1, 1, 1)), 1, 1, 1);
  const double h[4][4] = {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 1, 1}};
  EXPECT_XYZ(Map(FromRows(h), G3_POINT(2, 4, 1)), 1, 2, 0.5);
  EXPECT_XYZ(Map(FromRows(h), G3_VECTOR(2, 4, 3)), 0.5, 1, 0.75);
  // The plane form: z dropped on the way out.
  EXPECT_XY(r.Transfo(G3_POINT(1, 0, 5)), 0, 1);

  // The value types' own Transfo.
  const G3_AXIS ax = Moved(G3_AXIS(G3_POINT(1, 0, 0), G3_VECTOR1(1, 0, 0)), r * t);
  EXPECT_TRUE(Near(Xyz(ax.GetPo()), {-2, 2, 3}, 1e-12) && Near(Xyz(ax.GetVx()), {0, 1, 0}, 1e-12));
  // A shear keeps a plane orthonormal: Vy = unit(n ^ Vx) from the images
  // (1, 1, 0) of Y and (0, 1, 1) of Z, n along (1, -1, 1).
  const double s[4][4] = {{1, 1, 0, 0}, {0, 1, 1, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}};
  const G3_PLANE pl = Moved(G3_PLANE(kO, G3_VECTOR1(0, 1, 0), G3_VECTOR1(0, 0, 1)), FromRows(s));
  EXPECT_NEAR_XYZ(pl.GetVx(), std::sqrt(0.5), std::sqrt(0.5), 0, 1e-12);
  EXPECT_NEAR_XYZ(pl.GetVy(), -1 / std::sqrt(6.0), 1 / std::sqrt(6.0), 2 / std::sqrt(6.0), 1e-12);
  // A collapsing map leaves axis and plane unchanged.
  const G3_TRANSFO flat = BUILT(SetProj(G3_PLANE::OXY));
  EXPECT_TRUE(Moved(G3_AXIS::OZ, flat) == G3_AXIS::OZ && Take() == &GerrNullVector);
  EXPECT_TRUE(Moved(G3_PLANE::OXZ, flat) == G3_PLANE::OXZ && Take() == &GerrNullVector);
}

TEST_F(TransfoTest, GetRot) {
  const double n = std::sqrt(14.0);
  const G3_AXIS slanted(G3_POINT(5, 5, 5), G3_VECTOR1(1, -2, 3));
  // {map, axis, angle, tolerance}
  const std::tuple<G3_TRANSFO, Ax, double, double> cases[] = {
      {BUILT(SetRotZ(-60)), {0, 0, -1}, 60, 1e-12},  // turning back is turning forward about -Z
      {BUILT(SetRot(slanted, 130)), {1 / n, -2 / n, 3 / n}, 130, 1e-10},
      // A block with no rotation axis at all (-I): the fallback axis, no NaN.
      {BUILT(SetSym(G3_POINT(1, 2, 3))), {1, 0, 0}, 180, 0},
  };
  G3_VECTOR1 axis;
  G_ANG angle;
  for (const auto& [t, ax, ang, tol] : cases) {
    t.GetRot(&axis, &angle);
    EXPECT_TRUE(Near(Xyz(axis), ax, tol)) << ang;
    EXPECT_NEAR(double(angle), ang, tol);
  }
  // A half turn about (1, 1, 0): the axis up to its sense, so x y = 0.5 for a unit axis.
  BUILT(SetRot(G3_AXIS(kO, G3_VECTOR1(1, 1, 0)), 180)).GetRot(&axis, &angle);
  EXPECT_TRUE(Near<2>({axis.GetCx() * axis.GetCy(), double(angle)}, {0.5, 180}, 1e-6));
}

TEST_F(TransfoTest, Records) {
  const G3_TRANSFO t(G3_VECTOR(0.5, -2, 3));
  EXPECT_EQ(Saved(t, C_FILE::TEXT), "1\n0\n0\n0.5\n0\n1\n0\n-2\n0\n0\n1\n3\n0\n0\n0\n1\n");
  EXPECT_EQ(Saved(t, C_FILE::BINARY), Bytes({1, 0, 0, 0.5, 0, 1, 0, -2, 0, 0, 1, 3, 0, 0, 0, 1}));
  // The properties come from the loaded matrix.
  const G3_TRANSFO r = BUILT(SetRot(G3_AXIS(G3_POINT(1, 2, 3), G3_VECTOR1(1, 1, 1)), 33));
  EXPECT_TRUE(RoundTrips(r));
  EXPECT_EQ(Props(Loaded(G3_TRANSFO(), C_FILE::BINARY, Saved(r, C_FILE::BINARY))), "PVO-- 1");
  // Cut short or malformed: the error, and the map as it was, properties too.
  EXPECT_TRUE(Kept(r, C_FILE::TEXT, "1\n0\n0\n", &CerrEndOfFile));
  const char* bad = "1\n0\nzero\n0\n0\n1\n0\n0\n0\n0\n1\n0\n0\n0\n0\n1\n";
  EXPECT_TRUE(AndError(Props(Loaded(r, C_FILE::TEXT, bad)) == "PVO-- 1", &CerrStringNotReal));
}

}  // namespace
