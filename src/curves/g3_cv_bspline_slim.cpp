#include "curves/g3_cv_bspline_slim.h"

#include <cmath>
#include <memory>

#include "frame/g_errors.h"
#include "runtime/c_error.h"
#include "runtime/t_node.h"
#include "runtime/t_solve.h"

namespace {

// Full range of a slim curve: wide enough that no real parameter is touched.
const double kFullLo = -1e100;
const double kFullHi = 1e100;
// Below this total weight a rational point is undefined.
const double kMinWeight = 1e-12;
// A chord shorter than this counts as 1 in chord-length knots.
const double kMinChord = 1e-12;

}  // namespace

G3_CV_BSPLINE_SLIM::G3_CV_BSPLINE_SLIM() = default;

void G3_CV_BSPLINE_SLIM::GetFullRange(double* lo, double* hi) const {
  *lo = kFullLo;
  *hi = kFullHi;
}

void G3_CV_BSPLINE_SLIM::SetRangeFull() { GetFullRange(&lo_, &hi_); }

G3_POINT G3_CV_BSPLINE_SLIM::GetPosit(double u) const {
  double lo = 0, hi = 0;
  GetFullRange(&lo, &hi);
  if (IsPeriodic()) {
    u = G_BSPLINE::WrapParam(lo, hi, u);
  } else {
    if (u < lo) u = lo;
    if (u > hi) u = hi;
  }
  double N[G_BSPLINE::MaxDegree + 1];
  int first = bs_.GetValuesNZ(u, N);
  if (C_ERROR::Is()) return G3_POINT::P0;
  int nf = bs_.GetNumberOfFuncs();
  int p = bs_.GetDegree();
  // The lists are the caller's to fill: a control point (or weight) missing
  // for one of the p + 1 functions at u is an index error, not a stray read.
  for (int j = 0; j <= p; ++j) {
    int i = (first + j) % nf;
    if (i >= pts_.GetNumber() || (IsRational() && i >= wts_.GetNumber())) {
      TerrInvalidIndex.Trigger();
      return G3_POINT::P0;
    }
  }
  double x = 0, y = 0, z = 0;
  if (!IsRational()) {
    for (int j = 0; j <= p; ++j) {
      const G3_POINT& q = pts_[(first + j) % nf];
      x += N[j] * q.GetCx();
      y += N[j] * q.GetCy();
      z += N[j] * q.GetCz();
    }
    return G3_POINT(x, y, z);
  }
  double w = 0;
  for (int j = 0; j <= p; ++j) {
    int i = (first + j) % nf;
    const G3_POINT& q = pts_[i];
    double nw = N[j] * wts_[i];
    w += nw;
    x += nw * q.GetCx();
    y += nw * q.GetCy();
    z += nw * q.GetCz();
  }
  if (!(std::fabs(w) >= kMinWeight)) {
    GerrNullWeight.Trigger();
    return G3_POINT(0, 0, 0);
  }
  return G3_POINT(x / w, y / w, z / w);
}

void G3_CV_BSPLINE_SLIM::Interpol(const G3_VECTOR& t0, const G3_POINTS& pts,
                                  const G3_VECTOR& t1, double step) {
  int m = pts.GetNumber();
  if (m < 2) {
    GerrNotEnoughPointsToInterpolate.Trigger();
    return;
  }
  // Knots step apart must ascend: a negative or non-finite step would make
  // a vector that cannot be evaluated.
  if (!(step >= 0) || std::isinf(step)) {
    CerrInvalidValue.Trigger();
    return;
  }
  const int p = 3;
  const int nu = m + 2;  // unknowns: control points
  wts_.Clear();
  pts_.Clear();
  bs_ = G_BSPLINE();
  bs_.SetPeriodic(0);
  bs_.SetDegree(p);

  T_LIST<double> knots(nu + 4);
  if (C_ERROR::Is()) return;
  knots.SetSorted(1);  // empty, so in order; the appends keep the flag
  knots.Append(4, 0.0);
  double sum = 0;
  for (int i = 1; i < m; ++i) {
    double h = step;
    if (step == 0) {
      h = G3_VECTOR(pts[i - 1], pts[i]).GetNorm();
      if (h < kMinChord) h = 1;
    }
    sum += h;
    knots.Append(sum);
  }
  knots.Append(3, sum);
  if (C_ERROR::Is()) return;
  bs_.SetKnots(knots);
  SetRangeFull();

  std::unique_ptr<double[]> band(CnewArray<double>(3L * nu));
  if (C_ERROR::Is()) return;
  std::unique_ptr<double[]> rhs(CnewArray<double>(3L * nu));
  if (C_ERROR::Is()) return;
  double* rx = rhs.get();
  double* ry = rx + nu;
  double* rz = ry + nu;
  auto setRow = [&](int k, double a, double b, double c, double x, double y, double z) {
    band[3 * k] = a;
    band[3 * k + 1] = b;
    band[3 * k + 2] = c;
    rx[k] = x;
    ry[k] = y;
    rz[k] = z;
  };
  const G3_POINT& p0 = pts[0];
  const G3_POINT& p1 = pts[m - 1];
  double d0[p + 1], d1[p + 1], d2[p + 1];
  double* ders[3] = {d0, d1, d2};

  setRow(0, 0, 1, 0, p0.GetCx(), p0.GetCy(), p0.GetCz());
  if (t0.Is0()) {
    // Natural start: no second derivative at the first knot.
    bs_.GetDerivsNZ(2, knots[0], ders);
    if (C_ERROR::Is()) return;
    setRow(1, d2[0], d2[1], d2[2], 0, 0, 0);
  } else {
    double c = step == 0 ? 1 : (knots[4] - knots[3]) / 3;
    setRow(1, 0, 1, 0, p0.GetCx() + c * t0.GetCx(), p0.GetCy() + c * t0.GetCy(),
           p0.GetCz() + c * t0.GetCz());
  }
  for (int i = 1; i <= m - 2; ++i) {
    // At a simple inner knot the last of the four functions is still 0.
    double v[p + 1];
    bs_.GetValuesNZ(knots[i + 3], v);
    if (C_ERROR::Is()) return;
    const G3_POINT& q = pts[i];
    setRow(i + 1, v[0], v[1], v[2], q.GetCx(), q.GetCy(), q.GetCz());
  }
  if (t1.Is0()) {
    // Natural end: the last three functions at the last knot.
    bs_.GetDerivsNZ(2, knots[nu + 3], ders);
    if (C_ERROR::Is()) return;
    setRow(m, d2[1], d2[2], d2[3], 0, 0, 0);
  } else {
    double c = step == 0 ? 1 : (knots[nu] - knots[nu - 1]) / 3;
    setRow(m, 0, 1, 0, p1.GetCx() - c * t1.GetCx(), p1.GetCy() - c * t1.GetCy(),
           p1.GetCz() - c * t1.GetCz());
  }
  setRow(m + 1, 0, 1, 0, p1.GetCx(), p1.GetCy(), p1.GetCz());

  Tsolve1(nu, band.get());
  if (C_ERROR::Is()) return;
  Tsolve2(nu, band.get(), rx);
  if (C_ERROR::Is()) return;
  Tsolve2(nu, band.get(), ry);
  if (C_ERROR::Is()) return;
  Tsolve2(nu, band.get(), rz);
  if (C_ERROR::Is()) return;

  G3_POINTS q(nu);
  if (C_ERROR::Is()) return;
  for (int k = 0; k < nu; ++k) q.Append(G3_POINT(rx[k], ry[k], rz[k]));
  if (C_ERROR::Is()) return;
  pts_.Grab(&q);
}
