#include "curves/g_bspline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/t_node.h"
#include "runtime/t_persist.h"

namespace {

const char* kInvalidDegree = "G#Err#Invalid B-spline (invalid degree)";
const char* kInvalidNumber = "G#Err#Invalid B-spline (invalid number of functions)";
const char* kOutOfRange = "G#Err#Out of range";

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

T_LIST<double> List(const std::vector<double>& v) {
  T_LIST<double> l;
  for (double x : v) l.Append(x);
  return l;
}

std::vector<double> Knots(const G_BSPLINE& bs) {
  std::vector<double> v;
  for (int i = 0; i < bs.GetKnots().GetNumber(); ++i) v.push_back(bs.GetKnots()[i]);
  return v;
}

// Plain recursive Cox-de Boor on a knot array, N_{i,p}(u). The degree-0
// functions are [t_i, t_i+1) or, with atEnd, (t_i, t_i+1] (the left limit used
// at the end of the range).
double RefN(const std::vector<double>& t, int i, int p, double u, bool atEnd) {
  if (p == 0) {
    if (atEnd) return t[i] < u && u <= t[i + 1] ? 1.0 : 0.0;
    return t[i] <= u && u < t[i + 1] ? 1.0 : 0.0;
  }
  double v = 0;
  double d1 = t[i + p] - t[i];
  if (d1 > 0) v += (u - t[i]) / d1 * RefN(t, i, p - 1, u, atEnd);
  double d2 = t[i + p + 1] - t[i + 1];
  if (d2 > 0) v += (t[i + p + 1] - u) / d2 * RefN(t, i + 1, p - 1, u, atEnd);
  return v;
}

// Periodic function j on the vector t (one period, both ends): the
// non-periodic function j - p of the vector extended over three periods,
// summed over the copies that reach into [t0, t_n-1).
double RefPeriodic(const std::vector<double>& t, int p, int j, double u) {
  int nf = int(t.size()) - 1;
  double per = t[nf] - t[0];
  std::vector<double> ext;  // extended knot k sits at ext[k + off]
  int off = 2 * nf;
  for (int k = -off; k < 3 * nf + p + 2; ++k) {
    int q = int(std::floor(double(k) / nf));
    ext.push_back(t[k - q * nf] + q * per);
  }
  double v = 0;
  for (int q = -1; q <= 1; ++q) v += RefN(ext, j - p + q * nf + off, p, u, false);
  return v;
}

TEST_F(BsplineTest, CountedConstructorsMakeTheKnotVectorsOfEachType) {
  G_BSPLINE clamped(0, 3, 6);
  EXPECT_EQ(Knots(clamped), (std::vector<double>{0, 0, 0, 0, 1, 2, 3, 3, 3, 3}));
  EXPECT_EQ(clamped.GetNumberOfFuncs(), 6);
  double a = -1, b = -1;
  clamped.GetRange(&a, &b);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 3);
  EXPECT_EQ(clamped.GetSpan(), 3);
  EXPECT_TRUE(clamped.GetKnots().IsSorted());

  G_BSPLINE periodic(1, 3, 6);
  EXPECT_EQ(Knots(periodic), (std::vector<double>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(periodic.GetNumberOfFuncs(), 6);
  periodic.GetRange(&a, &b);
  EXPECT_EQ(a, 0);
  EXPECT_EQ(b, 6);

  EXPECT_EQ(Knots(G_BSPLINE(0, 2, G_BSPLINE::UNIFORM, 4)),
            (std::vector<double>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(Knots(G_BSPLINE(0, 2, G_BSPLINE::BEZIER, 5)),
            (std::vector<double>{0, 0, 0, 1, 1, 2, 2, 2}));
  EXPECT_EQ(Knots(G_BSPLINE(1, 1, G_BSPLINE::BEZIER, 4)), (std::vector<double>{0, 1, 2, 3, 4}));
  EXPECT_EQ(Knots(G_BSPLINE(1, 3, G_BSPLINE::BEZIER, 6)),
            (std::vector<double>{0, 1, 1, 1, 2, 2, 2}));
  EXPECT_EQ(Knots(G_BSPLINE(1, 3, G_BSPLINE::CLAMPED, 6)),
            (std::vector<double>{0, 1, 2, 3, 4, 4, 4}));
  EXPECT_EQ(TakeError(), "");
}

TEST_F(BsplineTest, ConstructorsRejectBadDegreesAndCounts) {
  G_BSPLINE high(0, 31, 40);
  EXPECT_EQ(TakeError(), kInvalidDegree);
  EXPECT_EQ(high.GetNumberOfKnots(), 0);
  EXPECT_EQ(high.GetDegree(), 31);  // flag and degree kept, no knots

  G_BSPLINE zero(1, 0, 5);
  EXPECT_EQ(TakeError(), kInvalidDegree);
  EXPECT_TRUE(zero.IsPeriodic());

  G_BSPLINE few(0, 3, 3);
  EXPECT_EQ(TakeError(), kInvalidNumber);
  EXPECT_EQ(few.GetNumberOfKnots(), 0);
  G_BSPLINE negative(0, 2, G_BSPLINE::CLAMPED, -4);
  EXPECT_EQ(TakeError(), kInvalidNumber);

  // The list form sorts, except when the degree is refused.
  G_BSPLINE sorted(0, 1, List({2, 0, 1}));
  EXPECT_EQ(TakeError(), "");
  EXPECT_EQ(Knots(sorted), (std::vector<double>{0, 1, 2}));
  G_BSPLINE unsorted(0, 40, List({2, 0, 1}));
  EXPECT_EQ(TakeError(), kInvalidDegree);
  EXPECT_EQ(Knots(unsorted), (std::vector<double>{2, 0, 1}));

  G_BSPLINE def;
  EXPECT_EQ(def.GetDegree(), 0);
  EXPECT_FALSE(def.IsPeriodic());
  EXPECT_TRUE(def.GetKnots().IsSorted());
}

TEST_F(BsplineTest, FindIntervalKeepsToTheRangeAndTheEndRule) {
  G_BSPLINE bs(0, 3, 6);  // 0 0 0 0 1 2 3 3 3 3
  EXPECT_EQ(bs.FindInterval(0), 3);
  EXPECT_EQ(bs.FindInterval(0.5), 3);
  EXPECT_EQ(bs.FindInterval(1), 4);
  EXPECT_EQ(bs.FindInterval(2.999), 5);
  EXPECT_EQ(bs.FindInterval(3), 5);  // last interval of non-zero length
  EXPECT_EQ(TakeError(), "");
  EXPECT_EQ(bs.FindInterval(3.0001), 0);
  EXPECT_EQ(TakeError(), kOutOfRange);
  EXPECT_EQ(bs.FindInterval(-1e-9), 0);
  EXPECT_EQ(TakeError(), kOutOfRange);
  EXPECT_EQ(bs.FindInterval(std::nan("")), 0);
  EXPECT_EQ(TakeError(), kOutOfRange);

  // An inner double knot at the end of the range: step below it.
  G_BSPLINE inner(0, 1, List({0, 0, 1, 2, 2, 2}));
  EXPECT_EQ(inner.FindInterval(2), 2);
  EXPECT_EQ(inner.GetFirstNZ(2.0), 1);

  G_BSPLINE per(1, 2, 5);  // 0 ... 5
  EXPECT_EQ(per.FindInterval(5), 0);  // wrapped to 0
  EXPECT_EQ(per.FindInterval(-0.5), 4);
  EXPECT_EQ(per.FindInterval(2.5 + 35), 2);
  EXPECT_EQ(per.FindInterval(2.5 - 1e6), 2);  // far away: by fmod
  EXPECT_EQ(per.GetFirstNZ(-0.5), 4);
  EXPECT_EQ(per.GetFirstNZ(7), 2);
  EXPECT_EQ(per.GetFirstNZ(-7), -2);  // the remainder keeps the sign of s
  EXPECT_EQ(bs.GetFirstNZ(4), 1);
  EXPECT_EQ(TakeError(), "");

  G_BSPLINE empty;
  EXPECT_EQ(empty.FindInterval(0), 0);
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrListIsVoid);
}

TEST_F(BsplineTest, PeriodicWrapBringsParametersIntoOnePeriod) {
  EXPECT_EQ(G_BSPLINE::WrapParam(0, 4, 1), 1);
  EXPECT_EQ(G_BSPLINE::WrapParam(0, 4, 4), 0);
  EXPECT_EQ(G_BSPLINE::WrapParam(0, 4, -1), 3);
  EXPECT_EQ(G_BSPLINE::WrapParam(0, 4, 41), 1);  // within ten periods: by steps
  EXPECT_EQ(G_BSPLINE::WrapParam(0, 4, 4e6 + 1), 1);  // beyond: by fmod
  EXPECT_EQ(G_BSPLINE::WrapParam(2, 2, 7), 7);        // no period
  double w = G_BSPLINE::WrapParam(1, 2, -1e300);
  EXPECT_TRUE(w >= 1 && w < 2);
  EXPECT_TRUE(std::isnan(G_BSPLINE::WrapParam(0, 4, std::nan(""))));
}

TEST_F(BsplineTest, ValuesMatchTheRecursiveDefinition) {
  struct CASE {
    int p;
    std::vector<double> t;
  };
  std::vector<CASE> cases = {
      {1, {0, 0, 1, 2, 2}},
      {2, {0, 0, 0, 0.5, 2, 2, 3.5, 4, 4, 4}},
      {3, {0, 0, 0, 0, 1, 2, 3, 3, 3, 3}},
      {3, {-2, -1.5, -1, 0.25, 0.25, 3, 4.5, 6, 7, 8}},
      {5, {0, 0, 0, 0, 0, 0, 0.3, 1.1, 1.7, 2.2, 3, 3, 3, 3, 3, 3}},
  };
  for (const CASE& c : cases) {
    G_BSPLINE bs(0, c.p, List(c.t));
    double a = 0, b = 0;
    bs.GetRange(&a, &b);
    int nf = bs.GetNumberOfFuncs();
    for (int k = 0; k <= 40; ++k) {
      double u = a + (b - a) * k / 40.0;
      double v[G_BSPLINE::MaxDegree + 1];
      int first = bs.GetValuesNZ(u, v);
      ASSERT_EQ(TakeError(), "");
      double sum = 0;
      for (int j = 0; j <= c.p; ++j) {
        sum += v[j];
        EXPECT_NEAR(v[j], RefN(c.t, first + j, c.p, u, k == 40), 1e-13)
            << "p " << c.p << " u " << u << " j " << j;
      }
      EXPECT_NEAR(sum, 1.0, 1e-13);
      // Functions outside the window vanish at u.
      for (int j = 0; j < nf; ++j)
        if (j < first || j > first + c.p) {
          EXPECT_EQ(RefN(c.t, j, c.p, u, k == 40), 0.0);
        }
    }
  }

  // At the end of a clamped cubic only the last function is 1.
  G_BSPLINE bs(0, 3, 6);
  double v[4];
  EXPECT_EQ(bs.GetValuesNZ(3, v), 2);
  EXPECT_EQ(v[0], 0);
  EXPECT_EQ(v[1], 0);
  EXPECT_EQ(v[2], 0);
  EXPECT_EQ(v[3], 1);
  // Below t[0] the parameter is clamped to t[0] and then found out of range
  // on an unclamped vector; on a clamped one it is evaluated at t[0].
  EXPECT_EQ(bs.GetValuesNZ(-1, v), 0);
  EXPECT_EQ(v[0], 1);
  EXPECT_EQ(TakeError(), "");
  G_BSPLINE uni(0, 2, G_BSPLINE::UNIFORM, 4);  // range [2, 4]
  double w[3] = {7, 7, 7};
  EXPECT_EQ(uni.GetValuesNZ(1.5, w), 0);
  EXPECT_EQ(TakeError(), kOutOfRange);
  EXPECT_EQ(w[0], 7);  // nothing written
  EXPECT_EQ(uni.GetValuesNZ(9, w), 1);  // above: clamped to the end
  EXPECT_NEAR(w[2], 0.5, 1e-15);
  EXPECT_EQ(TakeError(), "");
}

TEST_F(BsplineTest, PeriodicValuesRepeatWithThePeriod) {
  std::vector<double> t = {0, 0.5, 1.5, 2, 3.25, 4, 5};
  for (int p = 1; p <= 3; ++p) {
    G_BSPLINE bs(1, p, List(t));
    double per = bs.GetSpan();
    ASSERT_EQ(per, 5);
    for (int k = 0; k < 25; ++k) {
      double u = 5.0 * k / 25 + 0.013;
      double v[4], w[4];
      int first = bs.GetValuesNZ(u, v);
      int first7 = bs.GetValuesNZ(u + 7 * per, w);
      ASSERT_EQ(TakeError(), "");
      EXPECT_EQ(first, first7);
      double sum = 0;
      for (int j = 0; j <= p; ++j) {
        EXPECT_NEAR(v[j], w[j], 1e-12);
        sum += v[j];
        int fj = (first + j) % 6;  // functions s ... s + p, modulo n - 1
        EXPECT_NEAR(v[j], RefPeriodic(t, p, fj, u), 1e-12) << "p " << p << " u " << u;
        EXPECT_NEAR(bs.GetValue(fj, u), v[j], 1e-12);
        EXPECT_NEAR(bs.GetValue(fj, u - 3 * per), v[j], 1e-12);
      }
      EXPECT_NEAR(sum, 1.0, 1e-14);
    }
  }
}

TEST_F(BsplineTest, DerivativesMatchFiniteDifferences) {
  std::vector<double> t = {0, 0, 0, 0, 0, 0, 0.3, 1.1, 1.7, 2.2, 3, 3, 3, 3, 3, 3};
  for (int p : {2, 3, 5}) {
    std::vector<double> tp(t.begin() + (5 - p), t.end() - (5 - p));
    G_BSPLINE bs(0, p, List(tp));
    double rows[4][G_BSPLINE::MaxDegree + 1];
    double* ders[4] = {rows[0], rows[1], rows[2], rows[3]};
    const double h = 1e-5;
    for (double u : {0.05, 0.4, 1.0, 1.5, 2.0, 2.9}) {
      int nd = p >= 3 ? 3 : p + 1;  // for p = 2 the third row must be 0
      int first = bs.GetDerivsNZ(nd, u, ders);
      ASSERT_EQ(TakeError(), "");
      double v[G_BSPLINE::MaxDegree + 1];
      EXPECT_EQ(bs.GetValuesNZ(u, v), first);
      double d1sum = 0;
      for (int j = 0; j <= p; ++j) {
        int i = first + j;
        double f0 = RefN(tp, i, p, u, false);
        double fp = RefN(tp, i, p, u + h, false);
        double fm = RefN(tp, i, p, u - h, false);
        EXPECT_NEAR(ders[0][j], f0, 1e-13);
        EXPECT_NEAR(ders[0][j], v[j], 1e-14);
        EXPECT_NEAR(ders[1][j], (fp - fm) / (2 * h), 1e-5 * (1 + std::fabs(ders[1][j])));
        EXPECT_NEAR(ders[2][j], (fp - 2 * f0 + fm) / (h * h), 2e-3 * (1 + std::fabs(ders[2][j])));
        if (p == 2) {
          EXPECT_EQ(ders[3][j], 0.0);
        }
        d1sum += ders[1][j];
      }
      EXPECT_NEAR(d1sum, 0.0, 1e-10);  // the sum of the functions is constant
    }
  }
  // Periodic: the derivatives at u and u + 7P agree; the parameter below t[p]
  // of a non-periodic vector is clamped to t[p].
  G_BSPLINE per(1, 3, 6);
  double a[3][4], b[3][4];
  double* da[3] = {a[0], a[1], a[2]};
  // The table form fills the rows of a two-dimensional array.
  EXPECT_EQ(per.GetDerivsNZ(2, 0.7, da), per.GetDerivsNZ(2, 0.7 + 42, b));
  for (int k = 0; k < 3; ++k)
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(a[k][j], b[k][j], 1e-11);
  G_BSPLINE uni(0, 2, G_BSPLINE::UNIFORM, 4);
  EXPECT_EQ(uni.GetDerivsNZ(2, 0.0, da), 0);
  EXPECT_EQ(TakeError(), "");
  EXPECT_NEAR(a[0][0], 0.5, 1e-15);  // at t[p] = 2
}

TEST_F(BsplineTest, GetValueHasOpenSupports) {
  G_BSPLINE bs(0, 3, 6);
  double v[4];
  bs.GetValuesNZ(0, v);
  EXPECT_EQ(v[0], 1);
  EXPECT_EQ(bs.GetValue(0, 0), 0);  // end knot of its support
  EXPECT_NEAR(bs.GetValue(0, 0.5), 0.125, 1e-15);
  EXPECT_NEAR(bs.GetValue(2, 1.5), RefN(Knots(bs), 2, 3, 1.5, false), 1e-15);
  EXPECT_EQ(bs.GetValue(2, 3), 0);
  EXPECT_EQ(bs.GetValue(-1, 1), 0);
  EXPECT_EQ(bs.GetValue(6, 1), 0);
  EXPECT_EQ(TakeError(), "");

  // Periodic: function 0 of a cubic spans (t[-3], t[1]), over the seam.
  G_BSPLINE per(1, 3, 6);
  EXPECT_NEAR(per.GetValue(0, 0.5), RefPeriodic(Knots(per), 3, 0, 0.5), 1e-14);
  EXPECT_NEAR(per.GetValue(0, 5.5), RefPeriodic(Knots(per), 3, 0, 5.5), 1e-14);
  EXPECT_GT(per.GetValue(0, 3.5), 0);
  EXPECT_EQ(per.GetValue(0, 2.5), 0);
  EXPECT_EQ(per.GetValue(0, 1), 0);
  EXPECT_EQ(per.GetValue(4, 0.5), 0);  // function 4 spans (t[1], t[5])
  EXPECT_EQ(per.GetValue(4, 5.5), 0);
  EXPECT_GT(per.GetValue(4, 1.5), 0);
  EXPECT_EQ(TakeError(), "");
}

TEST_F(BsplineTest, InfluenceRangesAndInfluencedControlPoints) {
  G_BSPLINE bs(0, 3, 6);
  int k0 = -1, k1 = -1, k2 = -1, k3 = -1;
  C_BOOL split = 1;
  bs.GetInfluenceRange(2, &k0, &k1, &split, &k2, &k3);
  EXPECT_EQ(k0, 2);
  EXPECT_EQ(k1, 6);
  EXPECT_FALSE(split);
  double u0, u1, u2 = -9, u3 = -9;
  bs.GetInfluenceRange(2, &u0, &u1, &split, &u2, &u3);
  EXPECT_EQ(u0, 0);
  EXPECT_EQ(u1, 3);
  EXPECT_EQ(u2, -9);

  G_BSPLINE per(1, 3, 6);
  per.GetInfluenceRange(1, &k0, &k1, &split, &k2, &k3);
  EXPECT_TRUE(split);
  EXPECT_EQ(k0, 0);
  EXPECT_EQ(k1, 2);
  EXPECT_EQ(k2, 4);
  EXPECT_EQ(k3, 6);
  per.GetInfluenceRange(4, &k0, &k1, &split, &k2, &k3);
  EXPECT_FALSE(split);
  EXPECT_EQ(k0, 1);
  EXPECT_EQ(k1, 5);
  bs.GetInfluenceRange(20, &u0, &u1, &split, &u2, &u3);
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrInvalidIndex);
  C_ERROR::ClearPending();

  T_LIST<int> idx;
  bs.GetInfluencedCtlPts(1.5, &idx);
  ASSERT_EQ(idx.GetNumber(), 4);
  EXPECT_EQ(idx[0], 1);
  EXPECT_EQ(idx[3], 4);
  idx.Clear();
  bs.GetInfluencedCtlPts(3, &idx);  // the end: the last point alone
  ASSERT_EQ(idx.GetNumber(), 1);
  EXPECT_EQ(idx[0], 5);
  idx.Clear();
  bs.GetInfluencedCtlPts(0, &idx);  // the start: s - p ... s - m + 1
  ASSERT_EQ(idx.GetNumber(), 1);
  EXPECT_EQ(idx[0], 0);
  idx.Clear();
  per.GetInfluencedCtlPts(0.5, &idx);  // raised by n - 1
  ASSERT_EQ(idx.GetNumber(), 4);
  EXPECT_EQ(idx[0], 3);
  EXPECT_EQ(idx[3], 6);
  EXPECT_EQ(TakeError(), "");

  G_BSPLINE empty;
  empty.GetInfluenceRange(0, &k0, &k1, &split, &k2, &k3);
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrListIsVoid);
  C_ERROR::ClearPending();
  empty.GetInfluencedCtlPts(0, &idx);
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrListIsVoid);
}

TEST_F(BsplineTest, BadBasesFailWithoutReadingOutside) {
  double v[G_BSPLINE::MaxDegree + 1];
  double rows[3][G_BSPLINE::MaxDegree + 1];
  double* ders[3] = {rows[0], rows[1], rows[2]};

  G_BSPLINE deg(0, 3, 6);
  deg.SetDegree(31);
  EXPECT_EQ(deg.GetValuesNZ(1, v), 0);
  EXPECT_EQ(TakeError(), kInvalidDegree);
  EXPECT_EQ(deg.GetDerivsNZ(2, 1, ders), 0);
  EXPECT_EQ(TakeError(), kInvalidDegree);
  deg.SetDegree(0);
  EXPECT_EQ(deg.GetValuesNZ(1, v), 0);
  EXPECT_EQ(TakeError(), kInvalidDegree);

  G_BSPLINE few(0, 3, 6);
  few.SetKnots(List({0, 0, 0, 1, 1, 1}));  // two functions for a cubic
  EXPECT_EQ(few.GetValuesNZ(0.5, v), 0);
  EXPECT_EQ(TakeError(), kInvalidNumber);
  EXPECT_EQ(few.GetValue(0, 0.5), 0);
  EXPECT_EQ(TakeError(), kInvalidNumber);

  G_BSPLINE empty;
  empty.SetDegree(2);
  EXPECT_EQ(empty.GetValuesNZ(0, v), 0);
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrListIsVoid);
  C_ERROR::ClearPending();

  // Every knot equal: no interval of non-zero length in the range.
  G_BSPLINE flat(0, 1, List({1, 1, 1, 1}));
  EXPECT_EQ(flat.GetValuesNZ(1, v), 0);
  EXPECT_EQ(TakeError(), kOutOfRange);
  G_BSPLINE flatPer(1, 1, List({2, 2, 2}));
  EXPECT_EQ(flatPer.GetValuesNZ(2, v), 0);
  EXPECT_EQ(TakeError(), kOutOfRange);

  // Knots assigned unsorted: the interval search refuses them.
  G_BSPLINE mixed(0, 1, 3);
  T_LIST<double> bad = List({0, 0, 2, 1, 3, 3});
  bad.SetSorted(0);
  mixed.SetKnots(bad);
  EXPECT_EQ(mixed.GetValuesNZ(1.5, v), 0);
  EXPECT_TRUE(C_ERROR::Is());
  C_ERROR::ClearPending();

  // A periodic basis of high degree over few knots.
  G_BSPLINE per(1, 30, 31);
  EXPECT_EQ(TakeError(), "");
  double sum = 0;
  int first = per.GetValuesNZ(30.5, v);
  EXPECT_EQ(first, 30);
  for (int j = 0; j <= 30; ++j) sum += v[j];
  EXPECT_NEAR(sum, 1.0, 1e-12);
}

TEST_F(BsplineTest, RecordsRoundTripInTextAndBinary) {
  for (int type : {C_FILE::TEXT, C_FILE::BINARY}) {
    G_BSPLINE bs(1, 2, List({0, 0.25, 1.5, 1.5, 4}));
    C_FILE_MEMORY f(type);
    bs.Save(&f);
    ASSERT_EQ(TakeError(), "");
    f.Rewind();
    G_BSPLINE back(0, 3, 6);
    back.Load(700000, &f);
    ASSERT_EQ(TakeError(), "");
    EXPECT_EQ(Knots(back), Knots(bs));
    EXPECT_TRUE(back.GetKnots().IsSorted());
    EXPECT_TRUE(back.IsPeriodic());
    EXPECT_EQ(back.GetDegree(), 2);
    EXPECT_TRUE(f.AtEnd());
  }
  // The binary record: count, knots, sorted flag, periodic flag, degree.
  G_BSPLINE bs(0, 1, List({0, 0, 1, 1}));
  C_FILE_MEMORY f(C_FILE::BINARY);
  bs.Save(&f);
  C_FILE_MEMORY ref(C_FILE::BINARY);
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
  G_BSPLINE bs(0, 2, List({0, 0, 0, 1, 2, 2, 2}));
  EXPECT_EQ(bs.GetMulti(1), 3);
  EXPECT_EQ(bs.GetMulti(3), 1);
  EXPECT_EQ(bs.GetMulti(6), 3);
  T_LIST<int> out;
  out.Append(99);
  bs.FindMultiKnots(2, &out);
  ASSERT_EQ(out.GetNumber(), 2);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(out[1], 4);
  bs.FindMultiKnots(1, &out);
  EXPECT_EQ(out.GetNumber(), 3);
  bs.FindMultiKnots(4, &out);
  EXPECT_EQ(out.GetNumber(), 0);
  EXPECT_EQ(bs.GetMulti(7), 0);
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrInvalidIndex);
  C_ERROR::ClearPending();

  // Periodic: the end runs make one knot at the seam.
  G_BSPLINE per(1, 2, List({0, 0, 1, 1, 2, 3, 3}));
  per.FindMultiKnots(3, &out);
  ASSERT_EQ(out.GetNumber(), 1);
  EXPECT_EQ(out[0], 0);
  per.FindMultiKnots(2, &out);
  ASSERT_EQ(out.GetNumber(), 2);
  EXPECT_EQ(out[1], 2);
  // GetMulti counts over the seam only knots numerically equal.
  EXPECT_EQ(per.GetMulti(0), 2);
  // Knot 0 is the seam itself and is not counted twice.
  G_BSPLINE seam(1, 1, 3);
  seam.SetKnots(List({5, 5, 6, 5, 5}));
  EXPECT_EQ(seam.GetMulti(4), 3);  // 3, 4, then 1 across the seam
  EXPECT_EQ(seam.GetMulti(0), 3);  // 0, 1, then 3
  EXPECT_EQ(TakeError(), "");
}

TEST_F(BsplineTest, ShapePredicates) {
  G_BSPLINE a(0, 2, List({0, 0, 0, 1, 2, 2, 2}));
  EXPECT_TRUE(a.IsClamped());
  EXPECT_TRUE(a.IsQuasiUniform());
  EXPECT_FALSE(a.IsBezier());
  EXPECT_FALSE(a.IsUniform());
  EXPECT_TRUE(a.IsClean());
  EXPECT_FALSE(a.IsWrappable());

  EXPECT_TRUE(G_BSPLINE(0, 1, List({0, 0, 1, 1})).IsBezier());
  EXPECT_TRUE(G_BSPLINE(0, 3, G_BSPLINE::UNIFORM, 5).IsUniform());
  EXPECT_TRUE(G_BSPLINE(0, 3, G_BSPLINE::UNIFORM, 5).IsWrappable());
  EXPECT_FALSE(G_BSPLINE(0, 3, G_BSPLINE::UNIFORM, 5).IsClamped());
  EXPECT_FALSE(G_BSPLINE(1, 3, 6).IsClamped());
  EXPECT_FALSE(G_BSPLINE(1, 3, 6).IsWrappable());
  EXPECT_FALSE(G_BSPLINE(1, 3, 6).IsQuasiUniform());
  EXPECT_TRUE(G_BSPLINE(1, 3, 6).IsUniform());
  // Within the accuracy 1e-8 x 8: uniform still; not quasi-uniform beyond.
  EXPECT_TRUE(G_BSPLINE(0, 1, List({0, 2, 4 + 5e-8, 6, 8})).IsUniform());
  EXPECT_FALSE(G_BSPLINE(0, 1, List({0, 2, 4 + 2e-7, 6, 8})).IsUniform());
  EXPECT_FALSE(G_BSPLINE(0, 1, List({0, 0, 1, 2.5, 3, 3})).IsQuasiUniform());
  // Unequal end spacing that repeats the other end is wrappable.
  EXPECT_TRUE(G_BSPLINE(0, 1, List({-2, 0, 1, 3, 4})).IsWrappable());
  EXPECT_FALSE(G_BSPLINE(0, 1, List({-2, 0, 1, 3, 4.1})).IsWrappable());
  // 2p + 1 knots: a range of zero length, whose two ends repeat each other.
  EXPECT_TRUE(G_BSPLINE(0, 2, List({0, 1, 2, 5, 9})).IsWrappable());
  EXPECT_FALSE(G_BSPLINE(0, 2, List({0, 1, 2, 5})).IsWrappable());
  // Clean: two different knots closer than the accuracy are not.
  EXPECT_FALSE(G_BSPLINE(0, 1, List({0, 0, 1, 1 + 1e-9, 2, 2})).IsClean());
  EXPECT_TRUE(G_BSPLINE(0, 1, List({0, 0, 1, 1, 2, 2})).IsClean());
  EXPECT_NEAR(G_BSPLINE(0, 1, List({-3, 0, 2})).GetAcc(), 3e-8, 1e-22);
  EXPECT_EQ(TakeError(), "");
}

TEST_F(BsplineTest, CleanAndNearSnapToKnots) {
  G_BSPLINE bs(0, 1, List({0, 0, 1, 2, 2}));  // acc 2e-8
  double u = 1 + 1e-9;
  bs.Clean(&u);
  EXPECT_EQ(u, 1.0);
  u = 1 + 1e-7;
  bs.Clean(&u);
  EXPECT_EQ(u, 1 + 1e-7);
  u = -4;
  bs.Clean(&u);
  EXPECT_EQ(u, 0.0);
  u = 2.5;
  bs.Clean(&u);
  EXPECT_EQ(u, 2.0);
  G_BSPLINE per(1, 2, List({0, 1, 2, 4}));
  u = 9 - 1e-9;  // wraps to 1 - 1e-9, then snaps to 1
  per.Clean(&u);
  EXPECT_EQ(u, 1.0);

  G_BSPLINE near(0, 1, List({0, 0, 1, 2, 3, 3}));
  EXPECT_EQ(near.GetNear(1.5), 2);  // a tie goes to the lower knot
  EXPECT_EQ(near.GetNear(1.6), 3);
  EXPECT_EQ(near.GetNear(0.2), 1);
  EXPECT_EQ(near.GetNear(3), 5);  // the last knot: nothing above to compare
  EXPECT_EQ(TakeError(), "");
  EXPECT_EQ(near.GetNear(3.5), 0);
  EXPECT_EQ(TakeError(), kOutOfRange);
  EXPECT_EQ(per.GetNear(5.1), 1);
  EXPECT_EQ(TakeError(), "");
}

TEST_F(BsplineTest, KnotArcWalks) {
  G_BSPLINE bs(0, 1, List({0, 0, 1, 1, 2, 4, 4}));
  EXPECT_EQ(bs.NextEndArc(0.5, 10), 1);
  EXPECT_EQ(bs.NextEndArc(1, 10), 2);
  EXPECT_EQ(bs.NextEndArc(2.5, 3), 3);               // capped by uMax
  EXPECT_EQ(bs.NextEndArc(0.5, 1 + 1e-11), 1 + 1e-11);  // uMax wins within 1e-10
  EXPECT_EQ(bs.PrevBegArc(2, 0), 1);
  EXPECT_EQ(bs.PrevBegArc(4, 0), 2);
  EXPECT_EQ(bs.PrevBegArc(1.5, 0), 1);
  double b = 0, e = 0;
  bs.GetLimitParamArc(1.5, &b, &e, 0, 4);
  EXPECT_EQ(b, 1);
  EXPECT_EQ(e, 2);
  bs.GetLimitParamArc(3, &b, &e, 2.5, 3.5);
  EXPECT_EQ(b, 2.5);
  EXPECT_EQ(e, 3.5);
  bs.GetLimitParamArc(4, &b, &e, 0, 4);  // at hi: the arc that ends there
  EXPECT_EQ(b, 2);
  EXPECT_EQ(e, 4);
  EXPECT_EQ(TakeError(), "");
  bs.NextEndArc(5, 10);
  EXPECT_EQ(TakeError(), kOutOfRange);

  // A periodic walk that starts beyond the period wraps and goes on to u.
  G_BSPLINE per(1, 1, 6);  // 0 ... 6
  EXPECT_EQ(per.PrevBegArc(4, 7), 3);
  EXPECT_EQ(per.PrevBegArc(4.5, -5.5), 4);
  // u beyond the range is never reached: the walk stops and gives u.
  EXPECT_EQ(bs.PrevBegArc(5, 0), 5);
  EXPECT_EQ(TakeError(), "");
}

TEST_F(BsplineTest, RangeNegationWrapAndUnwrapEditTheVector) {
  G_BSPLINE bs(0, 2, G_BSPLINE::CLAMPED, 6);  // 0 0 0 1 2 3 4 4 4
  bs.SetRange(10, 20);
  std::vector<double> k = Knots(bs);
  EXPECT_EQ(k.front(), 10);
  EXPECT_EQ(k[2], 10);
  EXPECT_EQ(k[6], 20);
  EXPECT_EQ(k.back(), 20);
  EXPECT_NEAR(k[3], 12.5, 1e-14);
  bs.SetRange(1, -1);  // reversed: sorted again
  k = Knots(bs);
  EXPECT_EQ(k.front(), -1);
  EXPECT_EQ(k.back(), 1);
  EXPECT_TRUE(bs.GetKnots().IsSorted());
  G_BSPLINE flat(0, 1, List({1, 1, 1, 1}));
  flat.SetRange(0, 1);
  EXPECT_TRUE(C_ERROR::GetPending() == &CerrInvalidValue);
  C_ERROR::ClearPending();

  G_BSPLINE neg(0, 1, List({0, 0, 1, 3, 3}));
  neg.Negate();
  EXPECT_EQ(Knots(neg), (std::vector<double>{-3, -3, -1, 0, 0}));
  EXPECT_TRUE(neg.GetKnots().IsSorted());

  G_BSPLINE cl(0, 2, List({0, 0, 0, 1, 2, 3, 3, 3}));
  cl.Wrap();
  EXPECT_TRUE(cl.IsPeriodic());
  EXPECT_EQ(Knots(cl), (std::vector<double>{0, 1, 2, 3}));
  EXPECT_EQ(cl.GetNumberOfFuncs(), 3);
  cl.Wrap();  // already periodic: nothing
  EXPECT_EQ(cl.GetNumberOfKnots(), 4);
  cl.Unwrap();
  EXPECT_FALSE(cl.IsPeriodic());
  EXPECT_EQ(Knots(cl), (std::vector<double>{-2, -1, 0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(cl.GetNumberOfFuncs(), 5);
  EXPECT_TRUE(cl.GetKnots().IsSorted());

  G_BSPLINE uni(0, 2, G_BSPLINE::UNIFORM, 5);  // 0 ... 7
  uni.Wrap();
  uni.Unwrap();
  EXPECT_EQ(Knots(uni), (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7}));
  uni.Unwrap();  // not periodic: nothing
  EXPECT_EQ(uni.GetNumberOfKnots(), 8);

  // Unwrapping keeps the values: the periodic functions are the unwrapped ones.
  G_BSPLINE per(1, 3, List({0, 0.5, 2, 2.5, 4, 5}));
  G_BSPLINE un(per);
  un.Unwrap();
  double v[4], w[4];
  for (double u : {0.2, 1.0, 2.2, 4.5}) {
    int f1 = per.GetValuesNZ(u, v);
    int f2 = un.GetValuesNZ(u, w);
    EXPECT_EQ(f1, f2);  // same first index: interval s of the period is s + p
    for (int j = 0; j < 4; ++j) EXPECT_NEAR(v[j], w[j], 1e-14);
  }

  G_BSPLINE tiny(0, 2, List({0, 0, 1, 1}));
  tiny.Wrap();
  EXPECT_EQ(TakeError(), kInvalidNumber);
  EXPECT_FALSE(tiny.IsPeriodic());
  EXPECT_EQ(tiny.GetNumberOfKnots(), 4);
}

}  // namespace
