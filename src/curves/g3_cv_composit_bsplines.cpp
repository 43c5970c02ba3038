#include "curves/g3_cv_composit_bsplines.h"

#include <cmath>

#include "algebra/g3_axis.h"
#include "algebra/g3_transfo.h"
#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "measures/g_dis.h"
#include "runtime/c_error.h"

namespace {

// True when list holds a value strictly within tol of x: a binary search on a
// flagged list, a scan otherwise.
C_BOOL HoldsNear(const T_LIST<double>& list, double x, double tol) {
  int n = list.GetNumber();
  if (list.IsSorted()) {
    int lo = 0, hi = n;  // first element not below x - tol
    while (lo < hi) {
      int mid = lo + (hi - lo) / 2;
      if (list[mid] <= x - tol)
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo < n && list[lo] < x + tol;
  }
  for (int i = 0; i < n; ++i)
    if (std::fabs(list[i] - x) < tol) return 1;
  return 0;
}

// d normalised unless null.
G3_VECTOR UnitUnlessNull(G3_VECTOR d) {
  if (!d.IsNull(G_DIS::Min)) d.Unit();
  return d;
}

// Tangent estimated at an end of the run q0 ... q3 from the bisectors b1 at
// q1 and b2 at q2, turned back by the turn from b1 to b2. atStart: the
// tangent at q0, else at q3. The zero vector when a bisector is null.
G3_VECTOR EstimateTangent(const G3_POINT& q0, const G3_POINT& q1, const G3_POINT& q2,
                          const G3_POINT& q3, double step, C_BOOL atStart) {
  G3_VECTOR d1 = UnitUnlessNull(G3_VECTOR(q0, q1));
  G3_VECTOR d2 = UnitUnlessNull(G3_VECTOR(q1, q2));
  G3_VECTOR d4 = UnitUnlessNull(G3_VECTOR(q2, q3));
  G3_VECTOR b1 = d1 + d2;
  G3_VECTOR b2 = d2 + d4;
  if (b1.IsNull(G_DIS::Min) || b2.IsNull(G_DIS::Min)) return G3_VECTOR::V0;
  b1.Unit();
  b2.Unit();
  G3_VECTOR t = atStart ? (G3_VECTOR(q0, q1).GetNorm() / step) * b1
                        : (G3_VECTOR(q2, q3).GetNorm() / step) * b2;
  G3_VECTOR n = b1 ^ b2;
  if (n.IsNull(G_DIS::Min)) return t;
  n.Unit();
  G_ANG turn(G3_VECTOR1(b1), G3_VECTOR1(b2), n);
  if (C_ERROR::Is()) return G3_VECTOR::V0;
  G3_TRANSFO rot;
  rot.SetRot(G3_AXIS(G3_POINT::P0, G3_VECTOR1(n)), G_ANG(atStart ? -turn.GetDeg() : turn.GetDeg()));
  if (C_ERROR::Is()) return G3_VECTOR::V0;
  rot.Transfo(&t);
  return t;
}

}  // namespace

G3_CV_COMPOSIT_BSPLINES::G3_CV_COMPOSIT_BSPLINES(const G3_CV_COMPOSIT_BSPLINES& other) {
  breaks_.SetSorted(1);
  *this = other;
}

G3_CV_COMPOSIT_BSPLINES& G3_CV_COMPOSIT_BSPLINES::operator=(const G3_CV_COMPOSIT_BSPLINES& other) {
  if (this == &other) return *this;
  Free();
  // Each segment is copied: every chain owns its own.
  segs_.Grow(other.segs_.GetNumber());
  if (C_ERROR::Is()) return *this;
  for (int k = 0; k < other.segs_.GetNumber(); ++k) {
    G3_CV_BSPLINE_SLIM* s = Cnew<G3_CV_BSPLINE_SLIM>(*other.segs_[k]);
    if (C_ERROR::Is()) return *this;
    segs_.Append(s);
  }
  breaks_ = other.breaks_;
  angle_ = other.angle_;
  minPts_ = other.minPts_;
  return *this;
}

G3_CV_COMPOSIT_BSPLINES::~G3_CV_COMPOSIT_BSPLINES() { Free(); }

void G3_CV_COMPOSIT_BSPLINES::Free() {
  for (int k = 0; k < segs_.GetNumber(); ++k) delete segs_[k];
  segs_.Clear();
}

G3_POINT G3_CV_COMPOSIT_BSPLINES::GetPosit(double u) const {
  int nb = breaks_.GetNumber();
  int ns = segs_.GetNumber();
  int i = breaks_.FindInterval(u);
  if (C_ERROR::Is() || i < 0 || ns == 0) return G3_POINT::P0;
  if (i >= ns) {
    // At or beyond the last break (which starts no segment): the end of the
    // last segment.
    i = ns - 1;
    u = breaks_[nb - 1];
  }
  return segs_[i]->GetPosit(u - breaks_[i]);
}

void G3_CV_COMPOSIT_BSPLINES::Interpol(const G3_VECTOR& t0, const G3_POINTS& pts,
                                       const G3_VECTOR& t1, double angle, double step,
                                       int minPts, C_BOOL estimate, T_LIST<double>* breaks) {
  if (!(angle >= 0 && angle <= 180)) {
    GerrBadAngle.Trigger();
    return;
  }
  angle_ = angle;
  if (minPts < 2) {
    GerrNotEnoughPointsToInterpolate.Trigger();
    return;
  }
  minPts_ = minPts;
  // The break parameters are multiples of step: without a positive step
  // they would all coincide and the chain could not be evaluated.
  if (!(step > 0) || std::isinf(step)) {
    CerrInvalidValue.Trigger();
    return;
  }
  int m = pts.GetNumber();

  // Cut into pieces [first[k], last[k]] of point indices.
  T_LIST<int> firsts;
  T_LIST<int> lasts;
  int s = 0;
  for (int i = 1; i <= m - 2; ++i) {
    C_BOOL cut = breaks != nullptr && HoldsNear(*breaks, i * step, step / 2);
    if (!cut) {
      const G3_POINT& p = pts[i];
      if (!p.IsOn(pts[i - 1], G_DIS::Min) && !p.IsOn(pts[i + 1], G_DIS::Min)) {
        G_ANG a(p, pts[i - 1], pts[i + 1]);  // 180 on a straight run
        if (C_ERROR::Is()) return;
        cut = a.GetDeg() <= angle_;
      }
    }
    if (!cut) continue;
    if (i - s + 1 < minPts) {
      GerrNotEnoughPointsToInterpolate.Trigger();
      return;
    }
    firsts.Append(s);
    lasts.Append(i);
    breaks_.Append(s * step);
    if (C_ERROR::Is()) return;
    s = i;
  }
  if (m - s < minPts) {
    GerrNotEnoughPointsToInterpolate.Trigger();
    return;
  }
  firsts.Append(s);
  lasts.Append(m - 1);
  breaks_.Append(s * step);
  breaks_.Append((m - 1) * step);
  if (C_ERROR::Is()) return;
  breaks_.Sort();

  int ns = firsts.GetNumber();
  for (int k = 0; k < ns; ++k) {
    int f = firsts[k];
    int l = lasts[k];
    int len = l - f + 1;
    G3_VECTOR ts = G3_VECTOR::V0;
    G3_VECTOR te = G3_VECTOR::V0;
    if (estimate && len >= 4) {
      ts = EstimateTangent(pts[f], pts[f + 1], pts[f + 2], pts[f + 3], step, 1);
      if (C_ERROR::Is()) return;
      te = EstimateTangent(pts[l - 3], pts[l - 2], pts[l - 1], pts[l], step, 0);
      if (C_ERROR::Is()) return;
    }
    if (k == 0 && !t0.IsNull(G_DIS::Min)) ts = t0;
    if (k == ns - 1 && !t1.IsNull(G_DIS::Min)) te = t1;
    G3_POINTS q(len);
    if (C_ERROR::Is()) return;
    for (int i = f; i <= l; ++i) q.Append(pts[i]);
    if (C_ERROR::Is()) return;
    G3_CV_BSPLINE_SLIM* seg = Cnew<G3_CV_BSPLINE_SLIM>();
    if (C_ERROR::Is()) return;
    seg->Interpol(ts, q, te, step);
    if (!C_ERROR::Is()) segs_.Append(seg);
    if (C_ERROR::Is()) {
      delete seg;
      return;
    }
  }
}
