#include "curves/g3_cv_composit_bsplines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "curves/g3_cv_bspline_slim.h"
#include "frame/g_errors.h"
#include "runtime/c_error.h"
#include "runtime/t_node.h"

namespace {

class SlimTest : public ::testing::Test {
 protected:
  void SetUp() override { C_ERROR::ClearPending(); }
  void TearDown() override { C_ERROR::ClearPending(); }
};

const double kPi = 3.14159265358979323846;

G3_POINTS Pts(const std::vector<G3_POINT>& v) {
  G3_POINTS p;
  for (const G3_POINT& q : v) p.Append(q);
  return p;
}

T_LIST<double> List(std::initializer_list<double> v) {
  T_LIST<double> l;
  for (double x : v) l.Append(x);
  return l;
}

double Dist(const G3_POINT& a, const G3_POINT& b) { return G3_VECTOR(a, b).GetNorm(); }

std::vector<double> Knots(const G3_CV_BSPLINE_SLIM& c) {
  std::vector<double> v;
  const T_LIST<double>& k = c.GetBs().GetKnots();
  for (int i = 0; i < k.GetNumber(); ++i) v.push_back(k[i]);
  return v;
}

// A wavy run of points in space.
G3_POINTS Wave(int n) {
  G3_POINTS p;
  for (int i = 0; i < n; ++i) p.Append(G3_POINT(i * 0.7, std::sin(i * 0.9), 0.1 * i * i));
  return p;
}

// Second derivative at the start of a clamped cubic, from its first three
// control points and knots t4, t5 (t0 ... t3 = 0).
G3_VECTOR StartSecond(const G3_POINTS& q, double t4, double t5) {
  G3_VECTOR a = (1 / t5) * G3_VECTOR(q[1], q[2]);
  G3_VECTOR b = (1 / t4) * G3_VECTOR(q[0], q[1]);
  return (6 / t4) * (a - b);
}

TEST_F(SlimTest, TwoPointsWithNaturalEndsLieOnTheChord) {
  G3_POINT a(1, 2, 3), b(4, 8, 3);
  G3_CV_BSPLINE_SLIM c;
  c.Interpol(G3_VECTOR::V0, Pts({a, b}), G3_VECTOR::V0, 0);
  ASSERT_EQ(C_ERROR::Is(), 0);
  EXPECT_EQ(Knots(c), (std::vector<double>{0, 0, 0, 0, Dist(a, b), Dist(a, b), Dist(a, b),
                                            Dist(a, b)}));
  EXPECT_FALSE(c.IsPeriodic());
  EXPECT_FALSE(c.IsRational());
  EXPECT_EQ(c.GetDegree(), 3);
  EXPECT_EQ(c.GetNumberOfKnots(), 8);
  EXPECT_EQ(c.GetKnot(4), Dist(a, b));
  ASSERT_EQ(c.GetNumberOfCPts(), 4);
  EXPECT_LT(Dist(c.GetCPt(0), a), 1e-14);
  EXPECT_LT(Dist(c.GetCPt(1), G3_POINT(2, 4, 3)), 1e-14);
  EXPECT_LT(Dist(c.GetCPt(2), G3_POINT(3, 6, 3)), 1e-14);
  EXPECT_LT(Dist(c.GetCPt(3), b), 1e-14);
  EXPECT_EQ(c.GetCWt(3), 1.0);  // polynomial: every weight is 1
  double lo, hi;
  c.GetLimits(&lo, &hi);
  EXPECT_EQ(lo, -1e100);
  EXPECT_EQ(hi, 1e100);
}

TEST_F(SlimTest, KnotsFollowChordsOrTheStep) {
  G3_POINTS p = Pts({G3_POINT(0, 0, 0), G3_POINT(3, 4, 0), G3_POINT(3, 4, 0), G3_POINT(3, 4, 2)});
  G3_CV_BSPLINE_SLIM c;
  c.Interpol(G3_VECTOR::V0, p, G3_VECTOR::V0, 0);
  // A null chord counts as 1.
  EXPECT_EQ(Knots(c), (std::vector<double>{0, 0, 0, 0, 5, 6, 8, 8, 8, 8}));
  EXPECT_EQ(C_ERROR::Is(), 0);

  c.Interpol(G3_VECTOR::V0, Wave(5), G3_VECTOR::V0, 0.5);
  EXPECT_EQ(Knots(c), (std::vector<double>{0, 0, 0, 0, 0.5, 1, 1.5, 2, 2, 2, 2}));
  EXPECT_EQ(c.GetCPts().GetNumber(), 7);
}

TEST_F(SlimTest, InterpolationPassesThroughThePointsAtTheKnots) {
  G3_POINTS p = Wave(9);
  for (double step : {0.0, 0.25, 3.0}) {
    G3_CV_BSPLINE_SLIM c;
    c.Interpol(G3_VECTOR::V0, p, G3_VECTOR::V0, step);
    ASSERT_EQ(C_ERROR::Is(), 0);
    std::vector<double> k = Knots(c);
    for (int i = 0; i < p.GetNumber(); ++i)
      EXPECT_LT(Dist(c.GetPosit(k[i + 3]), p[i]), 1e-12) << "step " << step << " i " << i;
    // Natural ends: no second derivative at the first knot.
    G3_VECTOR d2 = StartSecond(c.GetCPts(), k[4], k[5]);
    EXPECT_LT(d2.GetNorm(), 1e-10);
    // And at the last: the curve reversed has the same property.
    const G3_POINTS& q = c.GetCPts();
    int n = q.GetNumber();
    double e = k.back();
    G3_POINTS r = Pts({q[n - 1], q[n - 2], q[n - 3]});
    EXPECT_LT(StartSecond(r, e - k[n - 1], e - k[n - 2]).GetNorm(), 1e-10);
    // Outside the knots the curve is its end polynomial clamped to the ends.
    EXPECT_LT(Dist(c.GetPosit(-5), p[0]), 1e-12);
    EXPECT_LT(Dist(c.GetPosit(e + 5), p[p.GetNumber() - 1]), 1e-12);
  }
}

TEST_F(SlimTest, GivenEndTangentsBecomeTheDerivatives) {
  G3_POINTS p = Wave(6);
  G3_VECTOR t0(1, -2, 0.5), t1(0, 3, 1);
  // With a step, the derivative at each end is the tangent itself.
  G3_CV_BSPLINE_SLIM c;
  c.Interpol(t0, p, t1, 0.5);
  ASSERT_EQ(C_ERROR::Is(), 0);
  const G3_POINTS& q = c.GetCPts();
  int n = q.GetNumber();
  G3_VECTOR d0 = (3 / 0.5) * G3_VECTOR(q[0], q[1]);
  G3_VECTOR d1 = (3 / 0.5) * G3_VECTOR(q[n - 2], q[n - 1]);
  EXPECT_LT((d0 - t0).GetNorm(), 1e-12);
  EXPECT_LT((d1 - t1).GetNorm(), 1e-12);
  // With chord-length knots the tangent sets the second control point one
  // tangent away from the end.
  c.Interpol(t0, p, t1, 0);
  EXPECT_LT(Dist(c.GetCPts()[1], G3_POINT(p[0], t0)), 1e-12);
  EXPECT_LT(Dist(c.GetCPts()[n - 2], p[5] - t1), 1e-12);
  // A tangent at one end only: the other end stays natural.
  c.Interpol(t0, p, G3_VECTOR::V0, 0.5);
  std::vector<double> k = Knots(c);
  const G3_POINTS& r = c.GetCPts();
  G3_POINTS rev = Pts({r[n - 1], r[n - 2], r[n - 3]});
  EXPECT_LT(StartSecond(rev, 0.5, 1.0).GetNorm(), 1e-10);
}

TEST_F(SlimTest, InterpolationRejectsTooFewPointsAndBadSteps) {
  G3_CV_BSPLINE_SLIM c;
  c.Interpol(G3_VECTOR::V0, Wave(4), G3_VECTOR::V0, 1);
  ASSERT_EQ(C_ERROR::Is(), 0);
  std::vector<double> before = Knots(c);

  c.Interpol(G3_VECTOR::V0, Wave(1), G3_VECTOR::V0, 1);
  EXPECT_TRUE(C_ERROR::GetPending() == &GerrNotEnoughPointsToInterpolate);
  C_ERROR::ClearPending();
  c.Interpol(G3_VECTOR::V0, G3_POINTS(), G3_VECTOR::V0, 0);
  EXPECT_TRUE(C_ERROR::GetPending() == &GerrNotEnoughPointsToInterpolate);
  C_ERROR::ClearPending();
  // Knots a negative or non-finite step apart would not ascend.
  for (double step : {-1.0, std::nan(""), HUGE_VAL}) {
    c.Interpol(G3_VECTOR::V0, Wave(4), G3_VECTOR::V0, step);
    EXPECT_TRUE(C_ERROR::GetPending() == &CerrInvalidValue);
    C_ERROR::ClearPending();
  }
  EXPECT_EQ(Knots(c), before);  // untouched by the refused calls
  EXPECT_EQ(c.GetCPts().GetNumber(), 6);
}

TEST_F(SlimTest, RationalAndPeriodicEvaluation) {
  // A quarter of the unit circle as a rational quadratic.
  G3_CV_BSPLINE_SLIM arc;
  arc.SetBs(G_BSPLINE(0, 2, 3));
  arc.SetCPts(Pts({G3_POINT(1, 0, 0), G3_POINT(1, 1, 0), G3_POINT(0, 1, 0)}));
  arc.SetCWts(List({1, std::sqrt(0.5), 1}));
  EXPECT_TRUE(arc.IsRational());
  for (double u = 0; u <= 1; u += 0.125) {
    G3_POINT p = arc.GetPosit(u);
    EXPECT_NEAR(G3_VECTOR(G3_POINT::P0, p).GetNorm(), 1.0, 1e-15);
  }
  EXPECT_LT(Dist(arc.GetPosit(0.5), G3_POINT(std::sqrt(0.5), std::sqrt(0.5), 0)), 1e-15);
  EXPECT_EQ(C_ERROR::Is(), 0);
  // Weights summing to zero at u = 0.5.
  arc.SetCWts(List({1, -1, 1}));
  G3_POINT bad = arc.GetPosit(0.5);
  EXPECT_TRUE(C_ERROR::GetPending() == &GerrNullWeight);
  C_ERROR::ClearPending();
  EXPECT_TRUE(bad == G3_POINT(0, 0, 0));
  // Fewer weights than functions: an index error, not a stray read.
  arc.SetCWts(List({1, 1}));
  arc.GetPosit(0.5);
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrInvalidIndex);
  C_ERROR::ClearPending();

  // A uniform periodic cubic over five control points: on interval s with
  // local t, the blend of Q[s] ... Q[s + 3] (indices modulo 5).
  G3_POINTS q = Pts({G3_POINT(0, 0, 0), G3_POINT(2, 0, 1), G3_POINT(3, 2, 0), G3_POINT(1, 3, -1),
                     G3_POINT(-1, 1, 2)});
  G3_CV_BSPLINE_SLIM loop;
  loop.SetBs(G_BSPLINE(1, 3, 5));
  loop.SetCPts(q);
  EXPECT_TRUE(loop.IsPeriodic());
  for (double u = 0.05; u < 5; u += 0.3) {
    int s = int(std::floor(u));
    double t = u - s;
    double w[4] = {(1 - t) * (1 - t) * (1 - t) / 6, (3 * t * t * t - 6 * t * t + 4) / 6,
                   (-3 * t * t * t + 3 * t * t + 3 * t + 1) / 6, t * t * t / 6};
    double x = 0, y = 0, z = 0;
    for (int j = 0; j < 4; ++j) {
      const G3_POINT& c = q[(s + j) % 5];
      x += w[j] * c.GetCx();
      y += w[j] * c.GetCy();
      z += w[j] * c.GetCz();
    }
    EXPECT_LT(Dist(loop.GetPosit(u), G3_POINT(x, y, z)), 1e-14) << u;
    EXPECT_LT(Dist(loop.GetPosit(u + 7 * 5), G3_POINT(x, y, z)), 1e-12) << u;
    EXPECT_LT(Dist(loop.GetPosit(u - 3 * 5), G3_POINT(x, y, z)), 1e-12) << u;
  }
  // A list short of the last functions still serves the intervals that do
  // not reach them.
  loop.SetCPts(Pts({q[0], q[1], q[2], q[3]}));
  EXPECT_LT(Dist(loop.GetPosit(0), G3_POINT((q[0].GetCx() + 4 * q[1].GetCx() + q[2].GetCx()) / 6,
                                            (q[0].GetCy() + 4 * q[1].GetCy() + q[2].GetCy()) / 6,
                                            (q[0].GetCz() + 4 * q[1].GetCz() + q[2].GetCz()) / 6)),
            1e-14);
  EXPECT_EQ(C_ERROR::Is(), 0);
  loop.GetPosit(1.5);  // needs control point 4
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrInvalidIndex);
  C_ERROR::ClearPending();
  loop.SetCPts(Pts({G3_POINT(0, 0, 0)}));
  EXPECT_TRUE(loop.GetPosit(1) == G3_POINT::P0);
  EXPECT_TRUE(C_ERROR::GetPending() == &TerrInvalidIndex);
  C_ERROR::ClearPending();

  G3_CV_BSPLINE_SLIM empty;
  EXPECT_TRUE(empty.GetPosit(0) == G3_POINT::P0);
  EXPECT_TRUE(C_ERROR::Is());
}

// ---- Composite chains

G3_POINTS Straight() {
  return Pts({G3_POINT(0, 0, 0), G3_POINT(1, 0, 0), G3_POINT(2, 0, 0), G3_POINT(3, 0, 0),
              G3_POINT(4, 0, 0)});
}

G3_POINTS Corner() {  // a right angle at point 2
  return Pts({G3_POINT(0, 0, 0), G3_POINT(1, 0, 0), G3_POINT(2, 0, 0), G3_POINT(2, 1, 0),
              G3_POINT(2, 2, 0)});
}

std::vector<double> Breaks(const G3_CV_COMPOSIT_BSPLINES& c) {
  std::vector<double> v;
  for (int i = 0; i < c.GetNumberOfBreaks(); ++i) v.push_back(c.GetBreak(i));
  return v;
}

TEST_F(SlimTest, ChainsAreCutAtCornersAndNamedBreaks) {
  const double step = 0.5;
  G3_CV_COMPOSIT_BSPLINES line;
  line.Interpol(G3_VECTOR::V0, Straight(), G3_VECTOR::V0, 90, step, 2, 0, nullptr);
  ASSERT_EQ(C_ERROR::Is(), 0);
  EXPECT_EQ(line.GetNumberOfSegments(), 1);
  EXPECT_EQ(Breaks(line), (std::vector<double>{0, 4 * step}));
  EXPECT_EQ(line.GetBreakAngle(), 90);
  EXPECT_EQ(line.GetMinPts(), 2);

  G3_CV_COMPOSIT_BSPLINES corner;
  corner.Interpol(G3_VECTOR::V0, Corner(), G3_VECTOR::V0, 90, step, 2, 0, nullptr);
  ASSERT_EQ(C_ERROR::Is(), 0);
  EXPECT_EQ(corner.GetNumberOfSegments(), 2);
  EXPECT_EQ(Breaks(corner), (std::vector<double>{0, 2 * step, 4 * step}));
  // A right angle is kept below a break angle of 89.
  G3_CV_COMPOSIT_BSPLINES smooth;
  smooth.Interpol(G3_VECTOR::V0, Corner(), G3_VECTOR::V0, 89, step, 2, 0, nullptr);
  EXPECT_EQ(smooth.GetNumberOfSegments(), 1);

  // A named parameter within step / 2 of i step cuts even on a straight run,
  // whether the list is flagged sorted (binary search) or not (scan).
  T_LIST<double> named = List({2 * step});
  G3_CV_COMPOSIT_BSPLINES cut;
  cut.Interpol(G3_VECTOR::V0, Straight(), G3_VECTOR::V0, 90, step, 2, 0, &named);
  EXPECT_EQ(Breaks(cut), (std::vector<double>{0, 2 * step, 4 * step}));
  T_LIST<double> messy = List({9, 3.4 * step, 1.2 * step});
  ASSERT_FALSE(messy.IsSorted());
  G3_CV_COMPOSIT_BSPLINES cut2;
  cut2.Interpol(G3_VECTOR::V0, Straight(), G3_VECTOR::V0, 0, step, 2, 0, &messy);
  EXPECT_EQ(Breaks(cut2), (std::vector<double>{0, step, 3 * step, 4 * step}));
  T_LIST<double> sorted = List({1.2 * step, 3.4 * step, 9});
  sorted.SetSorted();
  ASSERT_TRUE(sorted.IsSorted());
  G3_CV_COMPOSIT_BSPLINES cut3;
  cut3.Interpol(G3_VECTOR::V0, Straight(), G3_VECTOR::V0, 0, step, 2, 0, &sorted);
  EXPECT_EQ(Breaks(cut3), (std::vector<double>{0, step, 3 * step, 4 * step}));
  T_LIST<double> far = List({2.5 * step});  // exactly half a step away: no cut
  G3_CV_COMPOSIT_BSPLINES cut4;
  cut4.Interpol(G3_VECTOR::V0, Straight(), G3_VECTOR::V0, 0, step, 2, 0, &far);
  EXPECT_EQ(cut4.GetNumberOfSegments(), 1);
  EXPECT_EQ(C_ERROR::Is(), 0);

  // A second call appends to what the chain holds.
  cut.Interpol(G3_VECTOR::V0, Straight(), G3_VECTOR::V0, 90, step, 2, 0, nullptr);
  EXPECT_EQ(cut.GetNumberOfSegments(), 3);
  EXPECT_EQ(cut.GetBreaks().GetNumber(), 5);
  EXPECT_EQ(cut.GetSegments().GetNumber(), 3);
}

TEST_F(SlimTest, ChainEvaluationFollowsTheGlobalParameter) {
  const double step = 0.5;
  G3_POINTS p = Corner();
  G3_CV_COMPOSIT_BSPLINES c;
  c.Interpol(G3_VECTOR::V0, p, G3_VECTOR::V0, 90, step, 2, 0, nullptr);
  ASSERT_EQ(C_ERROR::Is(), 0);
  for (int i = 0; i < p.GetNumber(); ++i)
    EXPECT_LT(Dist(c.GetPosit(i * step), p[i]), 1e-12) << i;
  // Each piece is a straight run here, so the chain stays on it.
  G3_POINT mid = c.GetPosit(0.75 * step);
  EXPECT_NEAR(mid.GetCy(), 0, 1e-14);
  EXPECT_NEAR(mid.GetCx(), 0.75, 1e-12);
  mid = c.GetPosit(3.5 * step);
  EXPECT_NEAR(mid.GetCx(), 2, 1e-14);
  EXPECT_NEAR(mid.GetCy(), 1.5, 1e-12);

  // Below the first break: the origin.
  EXPECT_TRUE(c.GetPosit(-0.1) == G3_POINT::P0);
  // At and beyond the last break: the end of the last segment.
  EXPECT_LT(Dist(c.GetPosit(4 * step), p[4]), 1e-12);
  EXPECT_LT(Dist(c.GetPosit(100), p[4]), 1e-12);
  EXPECT_EQ(C_ERROR::Is(), 0);

  G3_CV_COMPOSIT_BSPLINES empty;
  EXPECT_TRUE(empty.GetPosit(1) == G3_POINT::P0);
  C_ERROR::ClearPending();
}

TEST_F(SlimTest, ChainInterpolationRefusesBadArguments) {
  const double step = 0.5;
  G3_CV_COMPOSIT_BSPLINES c;
  for (double angle : {-1.0, 180.5, std::nan("")}) {
    c.Interpol(G3_VECTOR::V0, Corner(), G3_VECTOR::V0, angle, step, 2, 0, nullptr);
    EXPECT_TRUE(C_ERROR::GetPending() == &GerrBadAngle) << angle;
    C_ERROR::ClearPending();
  }
  c.Interpol(G3_VECTOR::V0, Corner(), G3_VECTOR::V0, 90, step, 1, 0, nullptr);
  EXPECT_TRUE(C_ERROR::GetPending() == &GerrNotEnoughPointsToInterpolate);
  C_ERROR::ClearPending();
  // A step that is not positive would put every break at 0.
  for (double bad : {0.0, -0.5, std::nan(""), HUGE_VAL}) {
    c.Interpol(G3_VECTOR::V0, Corner(), G3_VECTOR::V0, 90, bad, 2, 0, nullptr);
    EXPECT_TRUE(C_ERROR::GetPending() == &CerrInvalidValue) << bad;
    C_ERROR::ClearPending();
  }
  EXPECT_EQ(c.GetNumberOfSegments(), 0);
  EXPECT_EQ(c.GetBreaks().GetNumber(), 0);

  // The piece before the corner holds 3 points, fewer than 4.
  c.Interpol(G3_VECTOR::V0, Corner(), G3_VECTOR::V0, 90, step, 4, 0, nullptr);
  EXPECT_TRUE(C_ERROR::GetPending() == &GerrNotEnoughPointsToInterpolate);
  C_ERROR::ClearPending();
  EXPECT_EQ(c.GetNumberOfSegments(), 0);
  // The last piece is too short: the break recorded before the failure stays.
  G3_POINTS late = Pts({G3_POINT(0, 0, 0), G3_POINT(1, 0, 0), G3_POINT(2, 0, 0),
                        G3_POINT(3, 0, 0), G3_POINT(3, 1, 0), G3_POINT(3, 2, 0)});
  c.Interpol(G3_VECTOR::V0, late, G3_VECTOR::V0, 90, step, 4, 0, nullptr);
  EXPECT_TRUE(C_ERROR::GetPending() == &GerrNotEnoughPointsToInterpolate);
  C_ERROR::ClearPending();
  EXPECT_EQ(Breaks(c), (std::vector<double>{0}));
  EXPECT_EQ(c.GetNumberOfSegments(), 0);
  EXPECT_TRUE(c.GetPosit(0.5) == G3_POINT::P0);  // no segment to evaluate
  EXPECT_EQ(C_ERROR::Is(), 0);

  G3_CV_COMPOSIT_BSPLINES one;
  one.Interpol(G3_VECTOR::V0, Pts({G3_POINT(1, 1, 1)}), G3_VECTOR::V0, 90, step, 2, 0, nullptr);
  EXPECT_TRUE(C_ERROR::GetPending() == &GerrNotEnoughPointsToInterpolate);
  C_ERROR::ClearPending();
}

TEST_F(SlimTest, EstimatedTangentsFollowTheTurnOfThePoints) {
  // Points on a circle of radius 2, 10 degrees apart, in a tilted plane: the
  // estimate at each end is the circle's tangent, scaled by chord / step.
  const double step = 0.25;
  const double R = 2, th = 10 * kPi / 180;
  G3_VECTOR ex(1, 0, 0), ey(0, std::sqrt(0.5), std::sqrt(0.5));
  G3_POINTS p;
  for (int i = 0; i < 7; ++i)
    p.Append(G3_POINT(G3_POINT::P0, R * std::cos(i * th) * ex + R * std::sin(i * th) * ey));
  double chord = 2 * R * std::sin(th / 2);
  G3_CV_COMPOSIT_BSPLINES c;
  c.Interpol(G3_VECTOR::V0, p, G3_VECTOR::V0, 90, step, 2, 1, nullptr);
  ASSERT_EQ(C_ERROR::Is(), 0);
  ASSERT_EQ(c.GetNumberOfSegments(), 1);
  const G3_POINTS& q = c.GetSegment(0)->GetCPts();
  // With a step, the start derivative 3 / step (Q1 - Q0) is the tangent.
  G3_VECTOR d0 = (3 / step) * G3_VECTOR(q[0], q[1]);
  G3_VECTOR expect0 = (chord / step) * ey;
  EXPECT_LT((d0 - expect0).GetNorm(), 1e-12);
  int n = q.GetNumber();
  G3_VECTOR d1 = (3 / step) * G3_VECTOR(q[n - 2], q[n - 1]);
  G3_VECTOR expect1 = (chord / step) * (-std::sin(6 * th) * ex + std::cos(6 * th) * ey);
  EXPECT_LT((d1 - expect1).GetNorm(), 1e-12);

  // A tangent given for the chain wins over the estimate at that end only.
  G3_VECTOR t0(0, 0, 5);
  G3_CV_COMPOSIT_BSPLINES g;
  g.Interpol(t0, p, G3_VECTOR::V0, 90, step, 2, 1, nullptr);
  const G3_POINTS& r = g.GetSegment(0)->GetCPts();
  EXPECT_LT(((3 / step) * G3_VECTOR(r[0], r[1]) - t0).GetNorm(), 1e-12);
  EXPECT_LT(((3 / step) * G3_VECTOR(r[n - 2], r[n - 1]) - expect1).GetNorm(), 1e-12);

  // On a straight run no turn: the tangent is the chord direction.
  G3_CV_COMPOSIT_BSPLINES s;
  s.Interpol(G3_VECTOR::V0, Straight(), G3_VECTOR::V0, 90, step, 2, 1, nullptr);
  const G3_POINTS& w = s.GetSegment(0)->GetCPts();
  EXPECT_LT(((3 / step) * G3_VECTOR(w[0], w[1]) - G3_VECTOR(1 / step, 0, 0)).GetNorm(), 1e-12);
  // Repeated points make a null bisector: the end stays natural.
  G3_POINTS u = Pts({G3_POINT(0, 0, 0), G3_POINT(0, 0, 0), G3_POINT(0, 0, 0), G3_POINT(0, 1, 0)});
  G3_CV_COMPOSIT_BSPLINES z;
  z.Interpol(G3_VECTOR::V0, u, G3_VECTOR::V0, 0, step, 2, 1, nullptr);
  ASSERT_EQ(C_ERROR::Is(), 0);
  ASSERT_EQ(z.GetNumberOfSegments(), 1);
  const G3_POINTS& zq = z.GetSegment(0)->GetCPts();
  EXPECT_LT(StartSecond(zq, step, 2 * step).GetNorm(), 1e-10);
}

TEST_F(SlimTest, CopiesOwnTheirSegments) {
  const double step = 0.5;
  auto original = std::make_unique<G3_CV_COMPOSIT_BSPLINES>();
  original->Interpol(G3_VECTOR::V0, Corner(), G3_VECTOR::V0, 90, step, 2, 0, nullptr);
  G3_CV_COMPOSIT_BSPLINES copy(*original);
  G3_CV_COMPOSIT_BSPLINES assigned;
  assigned.Interpol(G3_VECTOR::V0, Straight(), G3_VECTOR::V0, 90, step, 2, 0, nullptr);
  assigned = *original;
  ASSERT_EQ(copy.GetNumberOfSegments(), 2);
  EXPECT_NE(copy.GetSegment(0), original->GetSegment(0));
  EXPECT_EQ(assigned.GetBreakAngle(), 90);
  G3_POINT before = original->GetPosit(0.8);
  original.reset();  // each chain deletes only its own segments
  EXPECT_TRUE(copy.GetPosit(0.8) == before);
  EXPECT_TRUE(assigned.GetPosit(0.8) == before);
  assigned = assigned;
  EXPECT_EQ(assigned.GetNumberOfSegments(), 2);
}

}  // namespace
