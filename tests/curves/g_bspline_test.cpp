#include "curves/g_bspline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/t_node.h"
#include "runtime/t_persist.h"

namespace {

const char* kInvalidDegree = "G#Err#Invalid B-spline (invalid degree)";
const char* kInvalidNumber = "G#Err#Invalid B-spline (invalid number of functions)";
const char* kOutOfRange = "G#Err#Out of range";
using Vec = std::vector<double>;

class BsplineTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

// The pending error's text, "" when none; clears it.
std::string TakeError() {
  const C_ERROR* e = C_ERROR::GetPending();
  std::string s = e != nullptr ? e->GetText() : "";
  C_ERROR::ClearPending();
  return s;
}

T_LIST<double> List(const Vec& v) {
  T_LIST<double> l;
  for (double x : v) l.Append(x);
  return l;
}

template <class T>
std::vector<T> Values(const T_LIST<T>& l) {
  std::vector<T> v;
  for (int i = 0; i < l.GetNumber(); ++i) v.push_back(l[i]);
  return v;
}
Vec Knots(const G_BSPLINE& bs) { return Values(bs.GetKnots()); }

// Expects got, and the pending error's text err ("" for none), cleared.
void Check(double got, double want, const std::string& err = "") {
  EXPECT_EQ(got, want);
  EXPECT_EQ(TakeError(), err);
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
      {0, 2, G_BSPLINE::BEZIER, 5, {0, 0, 0, 1, 1, 2, 2, 2}, 0, 2},
      {1, 1, G_BSPLINE::BEZIER, 4, {0, 1, 2, 3, 4}, 0, 4},
      {1, 3, G_BSPLINE::BEZIER, 6, {0, 1, 1, 1, 2, 2, 2}, 0, 2},
      {1, 3, G_BSPLINE::CLAMPED, 6, {0, 1, 2, 3, 4, 4, 4}, 0, 4}};
  for (const auto& c : cases) {
    const G_BSPLINE bs = c.type < 0 ? G_BSPLINE(c.per, c.p, c.n)
                                    : G_BSPLINE(c.per, c.p, G_BSPLINE::KTYPE(c.type), c.n);
    EXPECT_EQ(Knots(bs), c.knots) << &c - cases;
    EXPECT_EQ(bs.GetNumberOfFuncs(), c.n);
    EXPECT_TRUE(bs.GetKnots().IsSorted());
    double a = -1, b = -1;
    bs.GetRange(&a, &b);
    EXPECT_TRUE(a == c.lo && b == c.hi && bs.GetSpan() == c.hi - c.lo) << &c - cases;
  }
  EXPECT_EQ(TakeError(), "");
  EXPECT_TRUE(G_BSPLINE().GetDegree() == 0 && !G_BSPLINE().IsPeriodic());

  // Refused: flag and degree kept, no knots.
  const G_BSPLINE high(0, 31, 40);
  Check(high.GetNumberOfKnots() + high.GetDegree(), 31, kInvalidDegree);
  Check(G_BSPLINE(1, 0, 5).IsPeriodic(), 1, kInvalidDegree);
  Check(G_BSPLINE(0, 3, 3).GetNumberOfKnots(), 0, kInvalidNumber);
  Check(G_BSPLINE(0, 2, G_BSPLINE::CLAMPED, -4).GetNumberOfKnots(), 0, kInvalidNumber);
  // The list form sorts, except when the degree is refused.
  EXPECT_EQ(Knots(G_BSPLINE(0, 1, List({2, 0, 1}))), Vec({0, 1, 2}));
  EXPECT_EQ(Knots(G_BSPLINE(0, 40, List({2, 0, 1}))), Vec({2, 0, 1}));
  EXPECT_EQ(TakeError(), kInvalidDegree);
}

TEST_F(BsplineTest, IntervalSearchAndPeriodicWrap) {
  const G_BSPLINE bs(0, 3, 6);  // 0 0 0 0 1 2 3 3 3 3
  const G_BSPLINE inner(0, 1, List({0, 0, 1, 2, 2, 2}));  // double knot at the end
  const G_BSPLINE per(1, 2, 5);  // 0 ... 5
  // The last interval of non-zero length serves the end; periodic
  // parameters wrap (by fmod far away).
  const struct { const G_BSPLINE* b; double u; int s; const char* err; } cases[] = {
      {&bs, 0, 3, ""}, {&bs, 0.5, 3, ""}, {&bs, 1, 4, ""}, {&bs, 2.999, 5, ""}, {&bs, 3, 5, ""},
      {&bs, 3.0001, 0, kOutOfRange}, {&bs, -1e-9, 0, kOutOfRange},
      {&bs, std::nan(""), 0, kOutOfRange}, {&inner, 2, 2, ""}, {&per, 5, 0, ""},
      {&per, -0.5, 4, ""}, {&per, 2.5 + 35, 2, ""}, {&per, 2.5 - 1e6, 2, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases);
    Check(c.b->FindInterval(c.u), c.s, c.err);
  }
  // GetFirstNZ of an interval: s - p, periodic modulo n - 1 keeping the sign of s.
  EXPECT_TRUE(inner.GetFirstNZ(2.0) == 1 && per.GetFirstNZ(-0.5) == 4 && bs.GetFirstNZ(4) == 1);
  EXPECT_TRUE(per.GetFirstNZ(7) == 2 && per.GetFirstNZ(-7) == -2);
  Check(G_BSPLINE().FindInterval(0), 0, TerrListIsVoid.GetText());

  // By steps within ten periods, by fmod beyond; no period: u itself.
  const double wraps[][4] = {{0, 4, 1, 1},  {0, 4, 4, 0},       {0, 4, -1, 3},
                             {0, 4, 41, 1}, {0, 4, 4e6 + 1, 1}, {2, 2, 7, 7}};
  for (const auto& w : wraps) EXPECT_EQ(G_BSPLINE::WrapParam(w[0], w[1], w[2]), w[3]) << w[2];
  const double w = G_BSPLINE::WrapParam(1, 2, -1e300);
  EXPECT_TRUE(w >= 1 && w < 2);
  EXPECT_TRUE(std::isnan(G_BSPLINE::WrapParam(0, 4, std::nan(""))));
}

TEST_F(BsplineTest, ValuesMatchTheRecursiveDefinition) {
  const struct { int p; Vec t; } cases[] = {
      {1, {0, 0, 1, 2, 2}},
      {2, {0, 0, 0, 0.5, 2, 2, 3.5, 4, 4, 4}},
      {3, {0, 0, 0, 0, 1, 2, 3, 3, 3, 3}},
      {3, {-2, -1.5, -1, 0.25, 0.25, 3, 4.5, 6, 7, 8}},
      {5, {0, 0, 0, 0, 0, 0, 0.3, 1.1, 1.7, 2.2, 3, 3, 3, 3, 3, 3}}};
  for (const auto& c : cases) {
    G_BSPLINE bs(0, c.p, List(c.t));
    double a = 0, b = 0;
    bs.GetRange(&a, &b);
    for (int k = 0; k <= 40; ++k) {
      const double u = a + (b - a) * k / 40.0;
      double v[G_BSPLINE::MaxDegree + 1], sum = 0;
      const int first = bs.GetValuesNZ(u, v);
      ASSERT_EQ(TakeError(), "");
      for (int j = 0; j <= c.p; ++j) {
        sum += v[j];
        EXPECT_NEAR(v[j], RefN(c.t, first + j, c.p, u, k == 40), 1e-13)
            << "p " << c.p << " u " << u << " j " << j;
      }
      EXPECT_NEAR(sum, 1.0, 1e-13);
    }
  }
  // At the end of a clamped cubic only the last function is 1; below t[0]
  // the parameter is clamped to t[0] (on a clamped vector, evaluated there).
  const G_BSPLINE bs(0, 3, 6);
  double v[4];
  Check(bs.GetValuesNZ(3, v), 2);
  EXPECT_EQ(Vec(v, v + 4), Vec({0, 0, 0, 1}));
  Check(bs.GetValuesNZ(-1, v), 0);
  EXPECT_EQ(v[0], 1);
  // An unclamped vector (range [2, 4]): below is out of range, nothing
  // written; above is clamped to the end.
  const G_BSPLINE uni(0, 2, G_BSPLINE::UNIFORM, 4);
  double w[3] = {7, 7, 7};
  Check(uni.GetValuesNZ(1.5, w), 0, kOutOfRange);
  EXPECT_EQ(w[0], 7);
  Check(uni.GetValuesNZ(9, w), 1);
  EXPECT_NEAR(w[2], 0.5, 1e-15);
}

TEST_F(BsplineTest, PeriodicValuesRepeatWithThePeriod) {
  const Vec t = {0, 0.5, 1.5, 2, 3.25, 4, 5};
  for (int p = 1; p <= 3; ++p) {
    G_BSPLINE bs(1, p, List(t));
    const double per = bs.GetSpan();
    ASSERT_EQ(per, 5);
    for (int k = 0; k < 25; ++k) {
      const double u = 5.0 * k / 25 + 0.013;
      double v[4], w[4], sum = 0;
      const int first = bs.GetValuesNZ(u, v);
      EXPECT_EQ(bs.GetValuesNZ(u + 7 * per, w), first);
      ASSERT_EQ(TakeError(), "");
      for (int j = 0; j <= p; ++j) {
        sum += v[j];
        const int fj = (first + j) % 6;  // functions s ... s + p, modulo n - 1
        EXPECT_NEAR(v[j], RefPeriodic(t, p, fj, u), 1e-12) << "p " << p << " u " << u;
        EXPECT_NEAR(w[j], v[j], 1e-12);
        EXPECT_NEAR(bs.GetValue(fj, u), v[j], 1e-12);
        EXPECT_NEAR(bs.GetValue(fj, u - 3 * per), v[j], 1e-12);
      }
      EXPECT_NEAR(sum, 1.0, 1e-14);
    }
  }
}

TEST_F(BsplineTest, DerivativesMatchFiniteDifferences) {
  const Vec t = {0, 0, 0, 0, 0, 0, 0.3, 1.1, 1.7, 2.2, 3, 3, 3, 3, 3, 3};
  double rows[4][G_BSPLINE::MaxDegree + 1];
  double* ders[4] = {rows[0], rows[1], rows[2], rows[3]};
  for (int p : {2, 3, 5}) {
    const Vec tp(t.begin() + (5 - p), t.end() - (5 - p));
    G_BSPLINE bs(0, p, List(tp));
    const double h = 1e-5;
    for (double u : {0.05, 0.4, 1.0, 1.5, 2.0, 2.9}) {
      const int first = bs.GetDerivsNZ(p >= 3 ? 3 : p + 1, u, ders);  // p = 2: row 3 is 0
      ASSERT_EQ(TakeError(), "");
      double d1sum = 0;
      for (int j = 0; j <= p; ++j) {
        const int i = first + j;
        const double f0 = RefN(tp, i, p, u), fp = RefN(tp, i, p, u + h), fm = RefN(tp, i, p, u - h);
        EXPECT_NEAR(ders[0][j], f0, 1e-13);
        EXPECT_NEAR(ders[1][j], (fp - fm) / (2 * h), 1e-5 * (1 + std::fabs(ders[1][j])));
        EXPECT_NEAR(ders[2][j], (fp - 2 * f0 + fm) / (h * h), 2e-3 * (1 + std::fabs(ders[2][j])));
        EXPECT_TRUE(p != 2 || ders[3][j] == 0.0);
        d1sum += ders[1][j];
      }
      EXPECT_NEAR(d1sum, 0.0, 1e-10);  // the sum of the functions is constant
    }
  }
  // Periodic: the same at u and u + 7P, the table form filling the rows of a
  // two-dimensional array. Below t[p] of a non-periodic vector: clamped to t[p].
  G_BSPLINE per(1, 3, 6);
  double b[3][4];
  EXPECT_EQ(per.GetDerivsNZ(2, 0.7, ders), per.GetDerivsNZ(2, 0.7 + 42, b));
  for (int k = 0; k < 3; ++k)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(rows[k][j], b[k][j], 1e-11);
  Check(G_BSPLINE(0, 2, G_BSPLINE::UNIFORM, 4).GetDerivsNZ(2, 0.0, ders), 0);
  EXPECT_NEAR(rows[0][0], 0.5, 1e-15);  // at t[p] = 2
}

TEST_F(BsplineTest, SupportsAndInfluence) {
  // GetValue: open supports, 0 at their end knots; periodic function 0 of a
  // cubic spans (t[-3], t[1]) over the seam, function 4 (t[1], t[5]).
  const G_BSPLINE bs(0, 3, 6), per(1, 3, 6);
  const Vec tb = Knots(bs), tp = Knots(per);
  const struct { const G_BSPLINE* b; int j; double u, want; } values[] = {
      {&bs, 0, 0, 0}, {&bs, 0, 0.5, 0.125}, {&bs, 2, 1.5, RefN(tb, 2, 3, 1.5)}, {&bs, 2, 3, 0},
      {&bs, -1, 1, 0}, {&bs, 6, 1, 0}, {&per, 0, 0.5, RefPeriodic(tp, 3, 0, 0.5)},
      {&per, 0, 5.5, RefPeriodic(tp, 3, 0, 5.5)}, {&per, 0, 3.5, RefPeriodic(tp, 3, 0, 3.5)},
      {&per, 0, 2.5, 0}, {&per, 0, 1, 0}, {&per, 4, 0.5, 0}, {&per, 4, 5.5, 0},
      {&per, 4, 1.5, RefPeriodic(tp, 3, 4, 1.5)}};
  for (const auto& c : values) EXPECT_NEAR(c.b->GetValue(c.j, c.u), c.want, 1e-14) << &c - values;
  EXPECT_EQ(TakeError(), "");

  // The support in knot indices {split, k0, k1, k2, k3}: a periodic one over
  // the seam is split in two; the second part is left alone otherwise.
  const auto range = [](const G_BSPLINE& b, int j) {
    int k[4] = {-1, -1, -1, -1};
    C_BOOL split = 9;
    b.GetInfluenceRange(j, &k[0], &k[1], &split, &k[2], &k[3]);
    return std::vector<int>{int(split), k[0], k[1], k[2], k[3]};
  };
  EXPECT_EQ(range(bs, 2), std::vector<int>({0, 2, 6, -1, -1}));
  EXPECT_EQ(range(per, 1), std::vector<int>({1, 0, 2, 4, 6}));
  EXPECT_EQ(range(per, 4), std::vector<int>({0, 1, 5, -1, -1}));
  range(G_BSPLINE(), 0);
  EXPECT_EQ(TakeError(), TerrListIsVoid.GetText());
  double u[4] = {-9, -9, -9, -9};
  C_BOOL split = 1;
  bs.GetInfluenceRange(2, &u[0], &u[1], &split, &u[2], &u[3]);
  EXPECT_TRUE(!split && Vec(u, u + 4) == Vec({0, 3, -9, -9}));
  bs.GetInfluenceRange(20, &u[0], &u[1], &split, &u[2], &u[3]);
  EXPECT_EQ(TakeError(), TerrInvalidIndex.GetText());

  // Control points influencing u: the last alone at the end, the first at
  // the start; periodic ones raised by n - 1.
  const struct { const G_BSPLINE* b; double u; std::vector<int> idx; } ctl[] = {
      {&bs, 1.5, {1, 2, 3, 4}}, {&bs, 3, {5}}, {&bs, 0, {0}}, {&per, 0.5, {3, 4, 5, 6}}};
  for (const auto& c : ctl) {
    T_LIST<int> idx;
    c.b->GetInfluencedCtlPts(c.u, &idx);
    EXPECT_EQ(Values(idx), c.idx) << c.u;
  }
  EXPECT_EQ(TakeError(), "");
  T_LIST<int> idx;
  G_BSPLINE().GetInfluencedCtlPts(0, &idx);
  EXPECT_EQ(TakeError(), TerrListIsVoid.GetText());
}

TEST_F(BsplineTest, BadBasesFailWithoutReadingOutside) {
  double v[G_BSPLINE::MaxDegree + 1];
  double rows[3][G_BSPLINE::MaxDegree + 1];
  G_BSPLINE deg(0, 3, 6);
  deg.SetDegree(31);
  Check(deg.GetValuesNZ(1, v), 0, kInvalidDegree);
  Check(deg.GetDerivsNZ(2, 1, rows), 0, kInvalidDegree);
  deg.SetDegree(0);
  Check(deg.GetValuesNZ(1, v), 0, kInvalidDegree);
  G_BSPLINE few(0, 3, 6);
  few.SetKnots(List({0, 0, 0, 1, 1, 1}));  // two functions for a cubic
  Check(few.GetValuesNZ(0.5, v), 0, kInvalidNumber);
  Check(few.GetValue(0, 0.5), 0, kInvalidNumber);
  G_BSPLINE empty;
  empty.SetDegree(2);
  Check(empty.GetValuesNZ(0, v), 0, TerrListIsVoid.GetText());
  // Every knot equal: no interval of non-zero length in the range.
  Check(G_BSPLINE(0, 1, List({1, 1, 1, 1})).GetValuesNZ(1, v), 0, kOutOfRange);
  Check(G_BSPLINE(1, 1, List({2, 2, 2})).GetValuesNZ(2, v), 0, kOutOfRange);
  // Knots assigned unsorted: the interval search refuses them.
  G_BSPLINE mixed(0, 1, 3);
  T_LIST<double> bad = List({0, 0, 2, 1, 3, 3});
  bad.SetSorted(0);
  mixed.SetKnots(bad);
  EXPECT_EQ(mixed.GetValuesNZ(1.5, v), 0);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  // A periodic basis of high degree over few knots.
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
    back.Load(700000, &f);
    ASSERT_EQ(TakeError(), "");
    EXPECT_EQ(Knots(back), Knots(bs));
    EXPECT_TRUE(back.GetKnots().IsSorted() && back.IsPeriodic() && f.AtEnd());
    EXPECT_EQ(back.GetDegree(), 2);
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
  back.Load(700000, &cut);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();
  EXPECT_EQ(back.GetNumberOfKnots(), 10);
}

// ---- Knot vector queries and edits

TEST_F(BsplineTest, MultiplicitiesAndRunsOfEqualKnots) {
  const G_BSPLINE bs(0, 2, List({0, 0, 0, 1, 2, 2, 2}));
  EXPECT_TRUE(bs.GetMulti(1) == 3 && bs.GetMulti(3) == 1 && bs.GetMulti(6) == 3);
  Check(bs.GetMulti(7), 0, TerrInvalidIndex.GetText());
  // Run starts of at least m knots; periodic end runs make one at the seam.
  const G_BSPLINE per(1, 2, List({0, 0, 1, 1, 2, 3, 3}));
  const struct { const G_BSPLINE* b; int m; std::vector<int> starts; } runs[] = {
      {&bs, 2, {0, 4}}, {&bs, 1, {0, 3, 4}}, {&bs, 4, {}}, {&per, 3, {0}}, {&per, 2, {0, 2}}};
  for (const auto& c : runs) {
    T_LIST<int> out;
    out.Append(99);  // cleared first
    c.b->FindMultiKnots(c.m, &out);
    EXPECT_EQ(Values(out), c.starts) << &c - runs;
  }
  // GetMulti counts over the seam only knots numerically equal, and the seam
  // knot 0 not twice.
  EXPECT_EQ(per.GetMulti(0), 2);
  G_BSPLINE seam(1, 1, 3);
  seam.SetKnots(List({5, 5, 6, 5, 5}));
  EXPECT_EQ(seam.GetMulti(4), 3);  // 3, 4, then 1 across the seam
  Check(seam.GetMulti(0), 3);      // 0, 1, then 3
}

TEST_F(BsplineTest, ShapePredicates) {
  // Knot accuracy 1e-8 x the largest end knot (8 here): uniform within it.
  // Quasi-uniform and Bezier vectors are clamped.
  enum { UNI = 1, CLAMP = 2, QUASI = 4, BEZ = 8, CLEAN = 16, WRAP = 32 };
  const struct { int per, p; Vec t; int flags; } cases[] = {
      {0, 2, {0, 0, 0, 1, 2, 2, 2}, CLAMP | QUASI | CLEAN},
      {0, 1, {0, 0, 1, 1}, CLAMP | QUASI | BEZ | CLEAN},
      {0, 3, {0, 1, 2, 3, 4, 5, 6, 7, 8}, UNI | CLEAN | WRAP},
      {1, 3, {0, 1, 2, 3, 4, 5, 6}, UNI | CLEAN},
      {0, 1, {0, 2, 4 + 5e-8, 6, 8}, UNI | CLEAN | WRAP},
      {0, 1, {0, 2, 4 + 2e-7, 6, 8}, CLEAN},
      {0, 1, {0, 0, 1, 2.5, 3, 3}, CLAMP | CLEAN},
      {0, 1, {-2, 0, 1, 3, 4}, CLEAN | WRAP},  // unequal end spacing that repeats
      {0, 1, {-2, 0, 1, 3, 4.1}, CLEAN},
      {0, 2, {0, 1, 2, 5, 9}, CLEAN | WRAP},  // 2p + 1 knots: a range of no length
      {0, 2, {0, 1, 2, 5}, CLEAN},
      {0, 1, {0, 0, 1, 1 + 1e-9, 2, 2}, CLAMP}};  // knots closer than the accuracy
  for (const auto& c : cases) {
    const G_BSPLINE b(c.per, c.p, List(c.t));
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
  const struct { const G_BSPLINE* b; double u, want; } clean[] = {
      {&bs, 1 + 1e-9, 1}, {&bs, 1 + 1e-7, 1 + 1e-7}, {&bs, -4, 0}, {&bs, 2.5, 2},
      {&per, 9 - 1e-9, 1}};
  for (const auto& c : clean) {
    double u = c.u;
    c.b->Clean(&u);
    EXPECT_EQ(u, c.want) << c.u;
  }
  // The nearest knot: a tie goes to the lower, the last has none above.
  const G_BSPLINE near(0, 1, List({0, 0, 1, 2, 3, 3}));
  EXPECT_TRUE(near.GetNear(1.5) == 2 && near.GetNear(1.6) == 3 && near.GetNear(0.2) == 1);
  EXPECT_TRUE(near.GetNear(3) == 5 && per.GetNear(5.1) == 1);
  Check(near.GetNear(3.5), 0, kOutOfRange);

  // Arc walks: the next arc end (capped by uMax, which wins within 1e-10),
  // the previous arc start (u itself when never reached); a periodic walk
  // that starts beyond the period wraps and goes on to u.
  const G_BSPLINE arcs(0, 1, List({0, 0, 1, 1, 2, 4, 4}));
  const G_BSPLINE loop(1, 1, 6);  // 0 ... 6
  const double next[][3] = {{0.5, 10, 1}, {1, 10, 2}, {2.5, 3, 3}, {0.5, 1 + 1e-11, 1 + 1e-11}};
  for (const auto& c : next) EXPECT_EQ(arcs.NextEndArc(c[0], c[1]), c[2]) << c[0];
  const struct { const G_BSPLINE* b; double u, from, want; } prev[] = {
      {&arcs, 2, 0, 1}, {&arcs, 4, 0, 2}, {&arcs, 1.5, 0, 1}, {&arcs, 5, 0, 5},
      {&loop, 4, 7, 3}, {&loop, 4.5, -5.5, 4}};
  for (const auto& c : prev) EXPECT_EQ(c.b->PrevBegArc(c.u, c.from), c.want) << &c - prev;
  // The arc around u, within [lo, hi]; at hi the arc that ends there.
  const double limits[][5] = {{1.5, 0, 4, 1, 2}, {3, 2.5, 3.5, 2.5, 3.5}, {4, 0, 4, 2, 4}};
  for (const auto& l : limits) {
    double b = 0, e = 0;
    arcs.GetLimitParamArc(l[0], &b, &e, l[1], l[2]);
    EXPECT_TRUE(b == l[3] && e == l[4]) << l[0];
  }
  EXPECT_EQ(TakeError(), "");
  arcs.NextEndArc(5, 10);
  EXPECT_EQ(TakeError(), kOutOfRange);
}

TEST_F(BsplineTest, RangeNegationWrapAndUnwrapEditTheVector) {
  G_BSPLINE bs(0, 2, G_BSPLINE::CLAMPED, 6);  // 0 0 0 1 2 3 4 4 4
  bs.SetRange(10, 20);
  EXPECT_EQ(Knots(bs), Vec({10, 10, 10, 12.5, 15, 17.5, 20, 20, 20}));
  bs.SetRange(1, -1);  // reversed: sorted again
  EXPECT_EQ(Knots(bs), Vec({-1, -1, -1, -0.5, 0, 0.5, 1, 1, 1}));
  EXPECT_TRUE(bs.GetKnots().IsSorted());
  G_BSPLINE flat(0, 1, List({1, 1, 1, 1}));
  flat.SetRange(0, 1);
  EXPECT_TRUE(C_ERROR::GetPending() == &CerrInvalidValue);
  C_ERROR::ClearPending();
  G_BSPLINE neg(0, 1, List({0, 0, 1, 3, 3}));
  neg.Negate();
  EXPECT_EQ(Knots(neg), Vec({-3, -3, -1, 0, 0}));
  EXPECT_TRUE(neg.GetKnots().IsSorted());

  // Wrap keeps one period; Unwrap extends it by p knots at each end. Each
  // does nothing to a vector already so.
  G_BSPLINE cl(0, 2, List({0, 0, 0, 1, 2, 3, 3, 3}));
  cl.Wrap();
  cl.Wrap();
  EXPECT_TRUE(cl.IsPeriodic());
  EXPECT_EQ(Knots(cl), Vec({0, 1, 2, 3}));
  EXPECT_EQ(cl.GetNumberOfFuncs(), 3);
  cl.Unwrap();
  cl.Unwrap();
  EXPECT_FALSE(cl.IsPeriodic());
  EXPECT_EQ(Knots(cl), Vec({-2, -1, 0, 1, 2, 3, 4, 5}));
  EXPECT_TRUE(cl.GetKnots().IsSorted());
  G_BSPLINE uni(0, 2, G_BSPLINE::UNIFORM, 5);  // 0 ... 7
  uni.Wrap();
  uni.Unwrap();
  EXPECT_EQ(Knots(uni), Vec({0, 1, 2, 3, 4, 5, 6, 7}));
  G_BSPLINE tiny(0, 2, List({0, 0, 1, 1}));
  tiny.Wrap();
  EXPECT_EQ(TakeError(), kInvalidNumber);
  EXPECT_FALSE(tiny.IsPeriodic());
  EXPECT_EQ(tiny.GetNumberOfKnots(), 4);

  // Unwrapping keeps the values: the periodic functions are the unwrapped
  // ones, with the same first index (interval s of the period is s + p).
  const G_BSPLINE per(1, 3, List({0, 0.5, 2, 2.5, 4, 5}));
  G_BSPLINE un(per);
  un.Unwrap();
  double v[4], w[4];
  for (double u : {0.2, 1.0, 2.2, 4.5}) {
    EXPECT_EQ(per.GetValuesNZ(u, v), un.GetValuesNZ(u, w));
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(v[j], w[j], 1e-14);
  }
}

}  // namespace
