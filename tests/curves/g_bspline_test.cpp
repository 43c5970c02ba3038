#include "curves/g_bspline.h"

#include <gtest/gtest.h>

#include <cmath>

#include "curves_test_util.h"
#include "runtime/t_node.h"
#include "runtime/t_persist.h"

using namespace curves_test;

namespace {

using BsplineTest = CurveTest;
const char* kInvalidDegree = "G#Err#Invalid B-spline (invalid degree)";
const char* kInvalidNumber = "G#Err#Invalid B-spline (invalid number of functions)";
const char* kOutOfRange = "G#Err#Out of range";

Vec Knots(const G_BSPLINE& bs) { return Values(bs.GetKnots()); }

// Expects got, and the pending error's text err ("" for none), cleared.
void Check(double got, double want, const std::string& err = "") {
  EXPECT_EQ(got, want);
  EXPECT_EQ(Take(), err);
}
// The knot indices of the support of function j: {split, k0, k1, k2, k3}.
std::vector<int> Support(const G_BSPLINE& b, int j) {
  int k[4] = {-1, -1, -1, -1};
  C_BOOL split = 9;
  b.GetInfluenceRange(j, &k[0], &k[1], &split, &k[2], &k[3]);
  return {int(split), k[0], k[1], k[2], k[3]};
}

// Plain recursive Cox-de Boor on a knot array, N_{i,p}(u). The degree-0
// functions are [t_i, t_i+1) or, with atEnd, (t_i, t_i+1] (the left limit used
// at the end of the range).
double RefN(const Vec& t, int i, int p, double u, bool atEnd = false) {
  if (p == 0) return (atEnd ? t[i] < u && u <= t[i + 1] : t[i] <= u && u < t[i + 1]) ? 1 : 0;
  double v = 0;
  if (t[i + p] > t[i]) v += (u - t[i]) / (t[i + p] - t[i]) * RefN(t, i, p - 1, u, atEnd);
  if (t[i + p + 1] > t[i + 1])
    v += (t[i + p + 1] - u) / (t[i + p + 1] - t[i + 1]) * RefN(t, i + 1, p - 1, u, atEnd);
  return v;
}

// Periodic function j on the vector t (one period, both ends): the
// non-periodic function j - p of the vector extended over three periods,
// summed over the copies that reach into [t0, t_n-1).
double RefPeriodic(const Vec& t, int p, int j, double u) {
  const int nf = int(t.size()) - 1, off = 2 * nf;
  Vec ext;  // extended knot k sits at ext[k + off]
  for (int k = -off; k < 3 * nf + p + 2; ++k) {
    const int q = int(std::floor(double(k) / nf));
    ext.push_back(t[k - q * nf] + q * (t[nf] - t[0]));
  }
  double v = 0;
  for (int q = -1; q <= 1; ++q) v += RefN(ext, j - p + q * nf + off, p, u);
  return v;
}

TEST_F(BsplineTest, ConstructorsMakeTheKnotVectorsOfEachTypeOrRefuse) {
  // type -1: the counted constructor (clamped, or the uniform period).
  const struct { int per, p, type, n; Vec knots; double lo, hi; } cases[] = {
      {0, 3, -1, 6, {0, 0, 0, 0, 1, 2, 3, 3, 3, 3}, 0, 3},
      {1, 3, -1, 6, {0, 1, 2, 3, 4, 5, 6}, 0, 6},
      {0, 2, G_BSPLINE::UNIFORM, 4, {0, 1, 2, 3, 4, 5, 6}, 2, 4},
      {1, 3, G_BSPLINE::BEZIER, 6, {0, 1, 1, 1, 2, 2, 2}, 0, 2},
      {1, 3, G_BSPLINE::CLAMPED, 6, {0, 1, 2, 3, 4, 4, 4}, 0, 4}};
  for (const auto& c : cases) {
    const G_BSPLINE bs = c.type < 0 ? G_BSPLINE(c.per, c.p, c.n)
                                    : G_BSPLINE(c.per, c.p, G_BSPLINE::KTYPE(c.type), c.n);
    double a = -1, b = -1;
    bs.GetRange(&a, &b);
    EXPECT_TRUE(Knots(bs) == c.knots && a == c.lo && b == c.hi) << &c - cases;
  }
  EXPECT_EQ(Take(), "");
  // Refused: flag and degree kept, no knots. The list form sorts.
  const G_BSPLINE high(0, 31, 40);
  Check(high.GetNumberOfKnots() + high.GetDegree(), 31, kInvalidDegree);
  Check(G_BSPLINE(0, 3, 3).GetNumberOfKnots(), 0, kInvalidNumber);
}

TEST_F(BsplineTest, IntervalSearchAndPeriodicWrap) {
  const G_BSPLINE bs(0, 3, 6);  // 0 0 0 0 1 2 3 3 3 3
  const G_BSPLINE inner(0, 1, List({0, 0, 1, 2, 2, 2}));  // double knot at the end
  const G_BSPLINE per(1, 2, 5);  // 0 ... 5
  // The last interval of non-zero length serves the end; periodic
  // parameters wrap (by fmod far away).
  const struct { const G_BSPLINE* b; double u; int s; const char* err; } cases[] = {
      {&bs, 3, 5, ""}, {&bs, 3.0001, 0, kOutOfRange}, {&bs, -1e-9, 0, kOutOfRange},
      {&bs, std::nan(""), 0, kOutOfRange}, {&inner, 2, 2, ""}, {&per, 5, 0, ""},
      {&per, -0.5, 4, ""}, {&per, 2.5 - 1e6, 2, ""}};
  for (const auto& c : cases) Check(c.b->FindInterval(c.u), c.s, c.err);
  // GetFirstNZ of an interval: s - p, periodic modulo n - 1 keeping the sign of s.
  EXPECT_TRUE(inner.GetFirstNZ(2.0) == 1 && per.GetFirstNZ(7) == 2 && per.GetFirstNZ(-7) == -2);
  Check(G_BSPLINE().FindInterval(0), 0, TerrListIsVoid.GetText());
  // By steps within ten periods, by fmod beyond; no period: u itself.
  const double wraps[][4] = {{0, 4, 4, 0}, {0, 4, -1, 3}, {0, 4, 4e6 + 1, 1}, {2, 2, 7, 7}};
  for (const auto& w : wraps) EXPECT_EQ(G_BSPLINE::WrapParam(w[0], w[1], w[2]), w[3]) << w[2];
  EXPECT_TRUE(std::isnan(G_BSPLINE::WrapParam(0, 4, std::nan(""))));
}

TEST_F(BsplineTest, ValuesMatchTheRecursiveDefinition) {
  const Vec tp = {0, 0.5, 1.5, 2, 3.25, 4, 5};
  const struct { int per, p; Vec t; } cases[] = {
      {0, 1, {0, 0, 1, 2, 2}}, {0, 3, {-2, -1.5, -1, 0.25, 0.25, 3, 4.5, 6, 7, 8}}, {1, 3, tp}};
  for (const auto& c : cases) {
    G_BSPLINE bs(c.per, c.p, List(c.t));
    double a = 0, b = 0, v[G_BSPLINE::MaxDegree + 1], w[G_BSPLINE::MaxDegree + 1];
    bs.GetRange(&a, &b);
    for (int k = 0; k <= 40 - c.per; ++k) {
      const double u = a + (b - a) * k / 40.0 + c.per * 0.013;
      const int first = bs.GetValuesNZ(u, v);
      ASSERT_EQ(Take(), "");
      // Periodic: the same seven periods on; functions s ... s + p modulo n - 1.
      EXPECT_EQ(bs.GetValuesNZ(u + c.per * 7 * (b - a), w), first);
      for (int j = 0; j <= c.p; ++j) {
        const int fj = c.per ? (first + j) % 6 : first + j;
        const double want =
            c.per ? RefPeriodic(c.t, c.p, fj, u) : RefN(c.t, fj, c.p, u, k == 40);
        EXPECT_NEAR(v[j], want, 1e-12) << c.p << " " << u;
        EXPECT_NEAR(w[j], v[j], 1e-12);
      }
    }
  }
  // At the end of a clamped cubic only the last function is 1; below t[0]
  // the parameter is clamped to t[0]. An unclamped vector (range [2, 4]):
  // below is out of range, nothing written; above is clamped to the end.
  double v[4] = {7, 7, 7, 7};
  Check(G_BSPLINE(0, 3, 6).GetValuesNZ(3, v), 2);
  EXPECT_EQ(Vec(v, v + 4), Vec({0, 0, 0, 1}));
  Check(G_BSPLINE(0, 3, 6).GetValuesNZ(-1, v), 0);
  EXPECT_EQ(v[0], 1);
  const G_BSPLINE uni(0, 2, G_BSPLINE::UNIFORM, 4);
  v[0] = 7;
  Check(uni.GetValuesNZ(1.5, v), 0, kOutOfRange);
  EXPECT_EQ(v[0], 7);
  Check(uni.GetValuesNZ(9, v), 1);
  EXPECT_NEAR(v[2], 0.5, 1e-15);
}

TEST_F(BsplineTest, DerivativesMatchFiniteDifferences) {
  const Vec t = {0, 0, 0, 0.3, 1.1, 1.7, 2.2, 3, 3, 3};
  const double h = 1e-5;
  G_BSPLINE bs(0, 2, List(t));
  double ders[4][G_BSPLINE::MaxDegree + 1];
  for (double u : {0.05, 1.0, 2.0, 2.9}) {
    const int first = bs.GetDerivsNZ(3, u, ders);  // row 3 beyond the degree: 0
    ASSERT_EQ(Take(), "");
    for (int j = 0; j <= 2; ++j) {
      const int i = first + j;
      const double f0 = RefN(t, i, 2, u), fp = RefN(t, i, 2, u + h), fm = RefN(t, i, 2, u - h);
      EXPECT_NEAR(ders[0][j], f0, 1e-13);
      EXPECT_NEAR(ders[1][j], (fp - fm) / (2 * h), 1e-5 * (1 + std::fabs(ders[1][j])));
      EXPECT_NEAR(ders[2][j], (fp - 2 * f0 + fm) / (h * h), 2e-3 * (1 + std::fabs(ders[2][j])));
      EXPECT_EQ(ders[3][j], 0.0);
    }
  }
  // A periodic cubic 7 periods past u = 0.7: functions 0 ... 3, the uniform
  // blend's derivatives at t = 0.7.
  const double u = 0.7, d1[4] = {-(1 - u) * (1 - u) / 2, (3 * u * u - 4 * u) / 2,
                                 (-3 * u * u + 2 * u + 1) / 2, u * u / 2};
  EXPECT_EQ(G_BSPLINE(1, 3, 6).GetDerivsNZ(1, u + 42, ders), 0);
  for (int j = 0; j < 4; ++j) EXPECT_NEAR(ders[1][j], d1[j], 1e-12);
}

TEST_F(BsplineTest, SupportsAndInfluence) {
  // GetValue: open supports, 0 at their end knots; periodic function 0 of a
  // cubic spans (t[-3], t[1]) over the seam (5.5: its third piece at 0.5).
  const G_BSPLINE bs(0, 3, 6), per(1, 3, 6);
  const struct { const G_BSPLINE* b; int j; double u, want; } values[] = {
      {&bs, 0, 0, 0}, {&bs, 0, 0.5, 0.125}, {&bs, 2, 3, 0}, {&per, 0, 5.5, 23.0 / 48},
      {&per, 0, 1, 0}};
  for (const auto& c : values) EXPECT_NEAR(c.b->GetValue(c.j, c.u), c.want, 1e-14) << &c - values;
  EXPECT_EQ(Take(), "");
  // Supports in knot indices: a periodic one over the seam is split in two;
  // the second part is left alone otherwise.
  EXPECT_EQ(Support(bs, 2), std::vector<int>({0, 2, 6, -1, -1}));
  EXPECT_EQ(Support(per, 1), std::vector<int>({1, 0, 2, 4, 6}));
  double u[4] = {-9, -9, -9, -9};  // in parameters: the knots must exist
  C_BOOL split = 1;
  EXPECT_FAILS(bs.GetInfluenceRange(20, &u[0], &u[1], &split, &u[2], &u[3]), TerrInvalidIndex);
  // Control points influencing u: the last alone at the end; periodic ones
  // raised by n - 1.
  T_LIST<int> idx, pidx;
  bs.GetInfluencedCtlPts(3, &idx);
  per.GetInfluencedCtlPts(0.5, &pidx);
  EXPECT_EQ(Values(idx), std::vector<int>({5}));
  EXPECT_EQ(Values(pidx), std::vector<int>({3, 4, 5, 6}));
}

TEST_F(BsplineTest, BadBasesFailWithoutReadingOutside) {
  double v[G_BSPLINE::MaxDegree + 1];
  G_BSPLINE deg(0, 3, 6), few(0, 3, 6), mixed(0, 1, 3);
  deg.SetDegree(31);
  Check(deg.GetValuesNZ(1, v), 0, kInvalidDegree);
  few.SetKnots(List({0, 0, 0, 1, 1, 1}));  // two functions for a cubic
  Check(few.GetValue(0, 0.5), 0, kInvalidNumber);
  // Every knot equal: no interval of non-zero length in the range.
  Check(G_BSPLINE(1, 1, List({2, 2, 2})).GetValuesNZ(2, v), 0, kOutOfRange);
  // Knots assigned unsorted: the interval search refuses them.
  T_LIST<double> bad = List({0, 0, 2, 1, 3, 3});
  bad.SetSorted(0);
  mixed.SetKnots(bad);
  EXPECT_EQ(mixed.GetValuesNZ(1.5, v), 0);
  EXPECT_NE(Take(), "");
  // A periodic basis of the highest degree over few knots.
  double sum = 0;
  Check(G_BSPLINE(1, 30, 31).GetValuesNZ(30.5, v), 30);
  for (int j = 0; j <= 30; ++j) sum += v[j];
  EXPECT_NEAR(sum, 1.0, 1e-12);
}

TEST_F(BsplineTest, RecordsRoundTripInTextAndBinary) {
  const G_BSPLINE bs(1, 2, List({0, 0.25, 1.5, 1.5, 4}));
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    C_FILE_MEMORY f(type);
    bs.Save(&f);
    f.Rewind();
    G_BSPLINE back(0, 3, 6);
    back.Load(kVNow, &f);
    ASSERT_EQ(Take(), "");
    EXPECT_TRUE(Knots(back) == Knots(bs) && back.IsPeriodic() && back.GetDegree() == 2);
  }
  // The binary record: count, knots, sorted flag, periodic flag, degree.
  C_FILE_MEMORY f(C_FILE::BINARY), ref(C_FILE::BINARY);
  G_BSPLINE(0, 1, List({0, 0, 1, 1})).Save(&f);
  Tsave(4, &ref);
  for (double k : {0.0, 0.0, 1.0, 1.0}) Tsave(k, &ref);
  Tsave(C_BOOL(1), &ref);
  Tsave(C_BOOL(0), &ref);
  Tsave(1, &ref);
  EXPECT_EQ(f.GetContent(), ref.GetContent());
  // A truncated record fails with an error and leaves no half-read vector.
  C_FILE_MEMORY cut(C_FILE::BINARY, f.GetContent().substr(0, 12));
  G_BSPLINE back(0, 3, 6);
  back.Load(kVNow, &cut);
  EXPECT_NE(Take(), "");
  EXPECT_EQ(back.GetNumberOfKnots(), 10);
}

// ---- Knot vector queries and edits

TEST_F(BsplineTest, MultiplicitiesAndShapePredicates) {
  // Run starts of at least m knots; periodic end runs make one at the seam,
  // where GetMulti counts only knots numerically equal, and knot 0 not twice.
  const G_BSPLINE per(1, 2, List({0, 0, 1, 1, 2, 3, 3}));
  T_LIST<int> out;
  out.Append(99);  // cleared first
  per.FindMultiKnots(2, &out);
  EXPECT_EQ(Values(out), std::vector<int>({0, 2}));
  EXPECT_TRUE(per.GetMulti(0) == 2 && per.GetMulti(3) == 2);
  G_BSPLINE seam(1, 1, 3);
  seam.SetKnots(List({5, 5, 6, 5, 5}));
  EXPECT_TRUE(seam.GetMulti(4) == 3 && seam.GetMulti(0) == 3);  // over the seam
  Check(seam.GetMulti(5), 0, TerrInvalidIndex.GetText());

  // Knot accuracy 1e-8 x the largest end knot (8 here): uniform within it.
  // Quasi-uniform and Bezier vectors are clamped.
  enum { UNI = 1, CLAMP = 2, QUASI = 4, BEZ = 8, CLEAN = 16, WRAP = 32 };
  const struct { int p; Vec t; int flags; } cases[] = {
      {1, {0, 0, 1, 1}, CLAMP | QUASI | BEZ | CLEAN},
      {1, {0, 2, 4 + 5e-8, 6, 8}, UNI | CLEAN | WRAP},
      {1, {0, 2, 4 + 2e-7, 6, 8}, CLEAN},
      {1, {-2, 0, 1, 3, 4}, CLEAN | WRAP},  // unequal end spacing that repeats
      {1, {-2, 0, 1, 3, 4.1}, CLEAN},
      {2, {0, 1, 2, 5, 9}, CLEAN | WRAP},  // 2p + 1 knots: a range of no length
      {2, {0, 1, 2, 5}, CLEAN},
      {1, {0, 0, 1, 1 + 1e-9, 2, 2}, CLAMP}};  // knots closer than the accuracy
  for (const auto& c : cases) {
    const G_BSPLINE b(0, c.p, List(c.t));
    const int got = UNI * b.IsUniform() | CLAMP * b.IsClamped() | QUASI * b.IsQuasiUniform() |
                    BEZ * b.IsBezier() | CLEAN * b.IsClean() | WRAP * b.IsWrappable();
    EXPECT_EQ(got, c.flags) << &c - cases;
  }
  EXPECT_NEAR(G_BSPLINE(0, 1, List({-3, 0, 2})).GetAcc(), 3e-8, 1e-22);
}

TEST_F(BsplineTest, CleanNearAndArcWalks) {
  // Clean: clamped into the range, snapped to a knot within the accuracy;
  // periodic: wrapped first.
  const G_BSPLINE bs(0, 1, List({0, 0, 1, 2, 2}));  // acc 2e-8
  const G_BSPLINE per(1, 2, List({0, 1, 2, 4}));
  double u[4] = {1 + 1e-9, 1 + 1e-7, -4, 9 - 1e-9};
  for (int k = 0; k < 4; ++k) (k < 3 ? bs : per).Clean(&u[k]);
  EXPECT_EQ(Vec(u, u + 4), Vec({1, 1 + 1e-7, 0, 1}));
  // The nearest knot: a tie goes to the lower, the last has none above.
  const G_BSPLINE near(0, 1, List({0, 0, 1, 2, 3, 3}));
  EXPECT_TRUE(near.GetNear(1.5) == 2 && near.GetNear(1.6) == 3 && near.GetNear(3) == 5);
  Check(near.GetNear(3.5), 0, kOutOfRange);

  // Arc walks: the next arc end (capped by uMax, which wins within 1e-10),
  // the previous arc start (u itself when never reached); a periodic walk
  // that starts beyond the period wraps and goes on to u.
  const G_BSPLINE arcs(0, 1, List({0, 0, 1, 1, 2, 4, 4}));
  const G_BSPLINE loop(1, 1, 6);  // 0 ... 6
  EXPECT_TRUE(arcs.NextEndArc(1, 10) == 2 && arcs.NextEndArc(2.5, 3) == 3);
  EXPECT_EQ(arcs.NextEndArc(0.5, 1 + 1e-11), 1 + 1e-11);
  EXPECT_TRUE(arcs.PrevBegArc(5, 0) == 5 && loop.PrevBegArc(4, 7) == 3);
  // The arc around u, within [lo, hi]; at hi the arc that ends there.
  double b = 0, e = 0;
  arcs.GetLimitParamArc(4, &b, &e, 0, 4);
  EXPECT_TRUE(b == 2 && e == 4);
  Check(arcs.NextEndArc(5, 10), 5, kOutOfRange);  // u itself
}

TEST_F(BsplineTest, RangeNegationWrapAndUnwrapEditTheVector) {
  G_BSPLINE bs(0, 2, G_BSPLINE::CLAMPED, 6), flat(0, 1, List({1, 1, 1, 1}));
  bs.SetRange(1, -1);  // 0 0 0 1 2 3 4 4 4 reversed onto [-1, 1]: sorted again
  EXPECT_TRUE(Knots(bs) == Vec({-1, -1, -1, -0.5, 0, 0.5, 1, 1, 1}) && bs.GetKnots().IsSorted());
  EXPECT_FAILS(flat.SetRange(0, 1), CerrInvalidValue);
  G_BSPLINE neg(0, 1, List({0, 0, 1, 3, 3}));
  neg.Negate();
  EXPECT_TRUE(Knots(neg) == Vec({-3, -3, -1, 0, 0}) && neg.GetKnots().IsSorted());

  // Wrap keeps one period; Unwrap extends it by p knots at each end. Each
  // does nothing to a vector already so.
  G_BSPLINE cl(0, 2, List({0, 0, 0, 1, 2, 3, 3, 3})), tiny(0, 2, List({0, 0, 1, 1}));
  cl.Wrap();
  cl.Wrap();
  EXPECT_TRUE(cl.IsPeriodic() && Knots(cl) == Vec({0, 1, 2, 3}));
  cl.Unwrap();
  cl.Unwrap();
  EXPECT_TRUE(!cl.IsPeriodic() && Knots(cl) == Vec({-2, -1, 0, 1, 2, 3, 4, 5}));
  EXPECT_FAILS(tiny.Wrap(), kInvalidNumber);
  EXPECT_TRUE(!tiny.IsPeriodic() && tiny.GetNumberOfKnots() == 4);
}

}  // namespace
