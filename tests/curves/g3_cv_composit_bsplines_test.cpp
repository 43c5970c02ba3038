#include "curves/g3_cv_composit_bsplines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "curves_test_util.h"
#include "frame/g_errors.h"
#include "runtime/t_node.h"

using namespace curves_test;

namespace {

using SlimTest = CurveTest;
const G3_VECTOR kNone = G3_VECTOR::V0;

Vec Knots(const G3_CV_BSPLINE_SLIM& c) { return Values(c.GetBs().GetKnots()); }

// A wavy run of points in space.
G3_POINTS Wave(int n) {
  G3_POINTS p;
  for (int i = 0; i < n; ++i) p.Append(G3_POINT(i * 0.7, std::sin(i * 0.9), 0.1 * i * i));
  return p;
}

// First and second derivatives at the start (or the end) of a clamped cubic
// whose knots start at 0, from its three end control points and knots.
struct DERIVS {
  G3_VECTOR d1, d2;
};
DERIVS AtEnd(const G3_CV_BSPLINE_SLIM& c, bool last) {
  const G3_POINTS& q = c.GetCPts();
  const Vec k = Knots(c);
  const int n = q.GetNumber();
  // At the end: the same formulas on the reversed parameter e - u.
  const G3_VECTOR a(q[last ? n - 1 : 0], q[last ? n - 2 : 1]);
  const G3_VECTOR b(q[last ? n - 2 : 1], q[last ? n - 3 : 2]);
  const double t4 = last ? k.back() - k[n - 1] : k[4], t5 = last ? k.back() - k[n - 2] : k[5];
  return {((last ? -3 : 3) / t4) * a, (6 / t4) * ((1 / t5) * b - (1 / t4) * a)};
}

G3_CV_BSPLINE_SLIM Interpol(const G3_VECTOR& t0, const G3_POINTS& p, const G3_VECTOR& t1,
                            double step) {
  G3_CV_BSPLINE_SLIM c;
  c.Interpol(t0, p, t1, step);
  EXPECT_EQ(C_ERROR::Is(), 0);
  return c;
}

TEST_F(SlimTest, InterpolationThroughThePointsWithNaturalOrGivenEndsOrRefused) {
  // Two points: a cubic on the chord (control points at thirds, so the
  // parameter runs uniformly), knots 0 and the chord length.
  const G3_POINT a(1, 2, 3), b(4, 8, 3);
  const G3_CV_BSPLINE_SLIM two = Interpol(kNone, Pts({a, b}), kNone, 0);
  const double d = Dist(a, b);
  EXPECT_EQ(Knots(two), Vec({0, 0, 0, 0, d, d, d, d}));  // beyond the knots: the ends
  EXPECT_TRUE(Dist(two.GetPosit(-5), a) < 1e-14 && Dist(two.GetPosit(d + 5), b) < 1e-14);
  EXPECT_LT(Dist(two.GetPosit(d / 3), G3_POINT(2, 4, 3)), 1e-14);
  // Knots follow the chords (a null one counts as 1), or the step.
  const G3_POINTS p = Pts({G3_POINT(0, 0, 0), G3_POINT(3, 4, 0), G3_POINT(3, 4, 0),
                           G3_POINT(3, 4, 2)});
  EXPECT_EQ(Knots(Interpol(kNone, p, kNone, 0)), Vec({0, 0, 0, 0, 5, 6, 8, 8, 8, 8}));
  EXPECT_EQ(Knots(Interpol(kNone, Wave(5), kNone, 0.5)),
            Vec({0, 0, 0, 0, 0.5, 1, 1.5, 2, 2, 2, 2}));

  const G3_POINTS w = Wave(9);
  for (double step : {0.0, 3.0}) {
    SCOPED_TRACE(step);
    const G3_CV_BSPLINE_SLIM c = Interpol(kNone, w, kNone, step);
    const Vec k = Knots(c);
    for (int i = 0; i < w.GetNumber(); ++i) EXPECT_LT(Dist(c.GetPosit(k[i + 3]), w[i]), 1e-12);
    EXPECT_LT(AtEnd(c, false).d2.GetNorm(), 1e-10);  // natural ends
    EXPECT_LT(AtEnd(c, true).d2.GetNorm(), 1e-10);
  }
  const G3_VECTOR t0(1, -2, 0.5), t1(0, 3, 1);
  // With a step the derivative at each end is the tangent itself; with
  // chord-length knots the second control point is one tangent from the end.
  G3_CV_BSPLINE_SLIM c = Interpol(t0, w, t1, 0.5);
  EXPECT_LT((AtEnd(c, false).d1 - t0).GetNorm(), 1e-12);
  EXPECT_LT((AtEnd(c, true).d1 - t1).GetNorm(), 1e-12);
  c = Interpol(t0, w, kNone, 0);  // a tangent at one end only: the other stays natural
  EXPECT_LT(Dist(c.GetCPt(1), G3_POINT(w[0], t0)), 1e-12);
  EXPECT_LT(AtEnd(c, true).d2.GetNorm(), 1e-10);

  // Refused: too few points, and steps that would not ascend; the curve is
  // left as it was.
  const Vec before = Knots(c);
  EXPECT_FAILS(c.Interpol(kNone, Wave(1), kNone, 1), GerrNotEnoughPointsToInterpolate);
  for (double step : {-1.0, std::nan(""), HUGE_VAL}) {
    c.Interpol(kNone, Wave(4), kNone, step);
    EXPECT_TRUE(Took(CerrInvalidValue)) << step;
  }
  EXPECT_EQ(Knots(c), before);
}

TEST_F(SlimTest, RationalAndPeriodicEvaluation) {
  // A quarter of the unit circle as a rational quadratic.
  G3_CV_BSPLINE_SLIM arc;
  arc.SetBs(G_BSPLINE(0, 2, 3));
  arc.SetCPts(Pts({G3_POINT(1, 0, 0), G3_POINT(1, 1, 0), G3_POINT(0, 1, 0)}));
  arc.SetCWts(List({1, std::sqrt(0.5), 1}));
  for (double u = 0; u <= 1; u += 0.125) EXPECT_NEAR(Dist(G3_POINT::P0, arc.GetPosit(u)), 1, 1e-15);
  EXPECT_EQ(Take(), "");
  // Weights summing to zero at u = 0.5: an error and the origin; fewer
  // weights than functions: an index error, not a stray read.
  arc.SetCWts(List({1, -1, 1}));
  EXPECT_TRUE(arc.GetPosit(0.5) == G3_POINT::P0);
  EXPECT_TRUE(Took(GerrNullWeight));
  arc.SetCWts(List({1, 1}));
  EXPECT_FAILS(arc.GetPosit(0.5), TerrInvalidIndex);

  // A uniform periodic cubic over five control points: on interval s with
  // local t, the blend of Q[s] ... Q[s + 3] (indices modulo 5).
  const G3_POINTS q = Pts({G3_POINT(0, 0, 0), G3_POINT(2, 0, 1), G3_POINT(3, 2, 0),
                           G3_POINT(1, 3, -1), G3_POINT(-1, 1, 2)});
  G3_CV_BSPLINE_SLIM loop;
  loop.SetBs(G_BSPLINE(1, 3, 5));
  loop.SetCPts(q);
  const auto blend = [&q](double u) {
    const int s = int(std::floor(u));
    const double t = u - s;
    const double w[4] = {(1 - t) * (1 - t) * (1 - t) / 6, (3 * t * t * t - 6 * t * t + 4) / 6,
                         (-3 * t * t * t + 3 * t * t + 3 * t + 1) / 6, t * t * t / 6};
    G3_VECTOR sum = G3_VECTOR::V0;
    for (int j = 0; j < 4; ++j) sum += w[j] * G3_VECTOR(G3_POINT::P0, q[(s + j) % 5]);
    return G3_POINT::P0 + sum;
  };
  for (double u = 0.05; u < 5; u += 0.3) {
    EXPECT_LT(Dist(loop.GetPosit(u), blend(u)), 1e-14) << u;
    EXPECT_LT(Dist(loop.GetPosit(u - 3 * 5), blend(u)), 1e-12) << u;
  }
  // A list short of the last functions refuses the intervals that reach them.
  loop.SetCPts(Pts({q[0], q[1], q[2], q[3]}));
  EXPECT_FAILS(loop.GetPosit(1.5), TerrInvalidIndex);  // needs control point 4
}

// ---- Composite chains

// Five points one apart along x; with a corner, a right angle at point 2.
G3_POINTS Walk(bool corner = false) {
  G3_POINTS p;
  for (int i = 0; i < 5; ++i) p.Append(corner && i > 2 ? G3_POINT(2, i - 2, 0) : G3_POINT(i, 0, 0));
  return p;
}

Vec Breaks(const G3_CV_COMPOSIT_BSPLINES& c) { return Values(c.GetBreaks()); }

const double kStep = 0.5;

// The chain through pts with knots kStep apart, at least two points a piece.
G3_CV_COMPOSIT_BSPLINES Chain(const G3_POINTS& pts, double angle, T_LIST<double>* named = nullptr,
                              C_BOOL estimate = 0, const G3_VECTOR& t0 = kNone) {
  G3_CV_COMPOSIT_BSPLINES c;
  c.Interpol(t0, pts, kNone, angle, kStep, 2, estimate, named);
  EXPECT_EQ(C_ERROR::Is(), 0);
  return c;
}

TEST_F(SlimTest, ChainsAreCutAtCornersAndNamedBreaks) {
  // Corners at most the break angle cut; a straight run is 180 degrees.
  EXPECT_EQ(Breaks(Chain(Walk(), 90)), Vec({0, 4 * kStep}));
  EXPECT_EQ(Breaks(Chain(Walk(true), 90)), Vec({0, 2 * kStep, 4 * kStep}));
  EXPECT_EQ(Chain(Walk(true), 89).GetNumberOfSegments(), 1);
  // A named parameter within step / 2 of i step cuts even a straight run,
  // whether the list is flagged sorted (binary search) or not (scan);
  // exactly half a step away it does not.
  T_LIST<double> messy = List({9, 3.4 * kStep, 1.2 * kStep}), far = List({2.5 * kStep});
  T_LIST<double> sorted = List({1.2 * kStep, 3.4 * kStep, 9});
  sorted.SetSorted();
  EXPECT_EQ(Breaks(Chain(Walk(), 0, &messy)), Vec({0, kStep, 3 * kStep, 4 * kStep}));
  EXPECT_EQ(Breaks(Chain(Walk(), 0, &sorted)), Vec({0, kStep, 3 * kStep, 4 * kStep}));
  far.SetSorted();  // the binary search
  EXPECT_EQ(Chain(Walk(), 0, &far).GetNumberOfSegments(), 1);
  // The global parameter runs through the points at i step; each piece of
  // the corner is a straight run, so the chain stays on it. Below the first
  // break: the origin; at and beyond the last: the end of the last segment.
  const G3_CV_COMPOSIT_BSPLINES c = Chain(Walk(true), 90);
  const G3_POINTS p = Walk(true);
  for (int i = 0; i < p.GetNumber(); ++i) EXPECT_LT(Dist(c.GetPosit(i * kStep), p[i]), 1e-12);
  EXPECT_TRUE(c.GetPosit(-0.1) == G3_POINT::P0);
  EXPECT_LT(Dist(c.GetPosit(100), p[4]), 1e-12);
}

TEST_F(SlimTest, ChainInterpolationRefusesBadArguments) {
  const struct { double angle, step; int minPts; const C_ERROR* err; } cases[] = {
      {-1, kStep, 2, &GerrBadAngle}, {180.5, kStep, 2, &GerrBadAngle},
      // A step that is not positive would put every break at 0.
      {90, 0, 2, &CerrInvalidValue}, {90, kStep, 1, &GerrNotEnoughPointsToInterpolate},
      // The piece before the corner holds 3 points, fewer than 4.
      {90, kStep, 4, &GerrNotEnoughPointsToInterpolate}};
  G3_CV_COMPOSIT_BSPLINES c;
  for (const auto& k : cases) {
    c.Interpol(kNone, Walk(true), kNone, k.angle, k.step, k.minPts, 0, nullptr);
    EXPECT_TRUE(Took(*k.err)) << &k - cases;
  }
  EXPECT_TRUE(c.GetNumberOfSegments() == 0 && c.GetNumberOfBreaks() == 0);
  // The last piece too short: the break recorded before the failure stays.
  const G3_POINTS late = Pts({G3_POINT(0, 0, 0), G3_POINT(1, 0, 0), G3_POINT(2, 0, 0),
                              G3_POINT(3, 0, 0), G3_POINT(3, 1, 0), G3_POINT(3, 2, 0)});
  EXPECT_FAILS(c.Interpol(kNone, late, kNone, 90, kStep, 4, 0, nullptr),
               GerrNotEnoughPointsToInterpolate);
  EXPECT_TRUE(Breaks(c) == Vec({0}) && c.GetNumberOfSegments() == 0);
  EXPECT_TRUE(c.GetPosit(0.5) == G3_POINT::P0);  // no segment to evaluate
}

TEST_F(SlimTest, EstimatedTangentsFollowTheTurnOfThePoints) {
  // Points on a circle of radius 2, 10 degrees apart, in a tilted plane: the
  // estimate at each end is the circle's tangent, scaled by chord / step.
  const double r = 2, th = 10 * M_PI / 180, chord = 2 * r * std::sin(th / 2);
  const G3_VECTOR ex(1, 0, 0), ey(0, std::sqrt(0.5), std::sqrt(0.5));
  G3_POINTS p;
  for (int i = 0; i < 7; ++i)
    p.Append(G3_POINT::P0 + r * std::cos(i * th) * ex + r * std::sin(i * th) * ey);
  const G3_VECTOR end = (chord / kStep) * (-std::sin(6 * th) * ex + std::cos(6 * th) * ey);
  const G3_CV_COMPOSIT_BSPLINES c = Chain(p, 90, nullptr, 1);
  ASSERT_EQ(c.GetNumberOfSegments(), 1);
  EXPECT_LT((AtEnd(*c.GetSegment(0), false).d1 - (chord / kStep) * ey).GetNorm(), 1e-12);
  EXPECT_LT((AtEnd(*c.GetSegment(0), true).d1 - end).GetNorm(), 1e-12);
  // A tangent given for the chain wins over the estimate at that end only.
  const G3_VECTOR t0(0, 0, 5);
  const G3_CV_COMPOSIT_BSPLINES g = Chain(p, 90, nullptr, 1, t0);
  EXPECT_LT((AtEnd(*g.GetSegment(0), false).d1 - t0).GetNorm(), 1e-12);
}

TEST_F(SlimTest, CopiesOwnTheirSegments) {
  auto original = std::make_unique<G3_CV_COMPOSIT_BSPLINES>(Chain(Walk(true), 90));
  G3_CV_COMPOSIT_BSPLINES copy(*original), assigned = Chain(Walk(), 90);
  assigned = *original;
  assigned = assigned;
  ASSERT_EQ(copy.GetNumberOfSegments(), 2);
  EXPECT_NE(copy.GetSegment(0), original->GetSegment(0));
  const G3_POINT before = original->GetPosit(0.8);
  original.reset();  // each chain deletes only its own segments
  EXPECT_TRUE(copy.GetPosit(0.8) == before && assigned.GetPosit(0.8) == before);
}

}  // namespace
