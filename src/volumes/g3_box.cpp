#include "volumes/g3_box.h"

#include <cmath>
#include <utility>

#include "algebra/g3_axis.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "algebra/g3_points.h"
#include "algebra/g3_vector.h"
#include "frame/g_errors.h"
#include "measures/g_ang.h"
#include "measures/g_dis.h"
#include "runtime/c_error.h"
#include "runtime/t_node.h"
#include "runtime/t_persist.h"
#include "runtime/t_solve.h"

namespace {

// A direction component at or above this magnitude makes the line parallel to
// that coordinate axis: its cross-product separating axis vanishes.
constexpr double kAlignedComponent = 0.999999999999;

// Parameter along a segment held as num / den with den > 0, so that two of
// them compare by cross-multiplying and no division is made until the end.
struct FRACTION {
  double num;
  double den;
};

C_BOOL IsGreater(const FRACTION& a, const FRACTION& b) { return a.num * b.den > b.num * a.den; }

}  // namespace

G3_BOX::G3_BOX(const G3_POINT& a, const G3_POINT& b) {
  xmin_ = a.GetCx() < b.GetCx() ? a.GetCx() : b.GetCx();
  xmax_ = a.GetCx() < b.GetCx() ? b.GetCx() : a.GetCx();
  ymin_ = a.GetCy() < b.GetCy() ? a.GetCy() : b.GetCy();
  ymax_ = a.GetCy() < b.GetCy() ? b.GetCy() : a.GetCy();
  zmin_ = a.GetCz() < b.GetCz() ? a.GetCz() : b.GetCz();
  zmax_ = a.GetCz() < b.GetCz() ? b.GetCz() : a.GetCz();
}

G3_BOX::G3_BOX(const G3_POINTS& pts) {
  if (pts.GetNumber() == 0) {
    // The box of the list's default element, the origin.
    TerrInvalidIndex.Trigger();
    xmin_ = xmax_ = ymin_ = ymax_ = zmin_ = zmax_ = 0;
    return;
  }
  const G3_POINT& p = pts[0];
  xmin_ = xmax_ = p.GetCx();
  ymin_ = ymax_ = p.GetCy();
  zmin_ = zmax_ = p.GetCz();
  for (int i = 1; i < pts.GetNumber(); i++) Unite(pts[i]);
}

G3_POINT G3_BOX::GetMinPt() const { return G3_POINT(xmin_, ymin_, zmin_); }

G3_POINT G3_BOX::GetMaxPt() const { return G3_POINT(xmax_, ymax_, zmax_); }

G3_POINT G3_BOX::GetCentre() const {
  return G3_POINT(0.5 * (xmin_ + xmax_), 0.5 * (ymin_ + ymax_), 0.5 * (zmin_ + zmax_));
}

void G3_BOX::GetCorners(G3_POINTS* pts) const {
  pts->Clear();
  pts->Grow(8);
  if (C_ERROR::Is()) return;
  const double zs[2] = {zmin_, zmax_};
  for (double z : zs) {
    pts->Append(G3_POINT(xmin_, ymin_, z));
    pts->Append(G3_POINT(xmax_, ymin_, z));
    pts->Append(G3_POINT(xmax_, ymax_, z));
    pts->Append(G3_POINT(xmin_, ymax_, z));
  }
}

void G3_BOX::Unite(const G3_POINT& p) {
  if (p.GetCx() < xmin_) xmin_ = p.GetCx();
  if (p.GetCx() > xmax_) xmax_ = p.GetCx();
  if (p.GetCy() < ymin_) ymin_ = p.GetCy();
  if (p.GetCy() > ymax_) ymax_ = p.GetCy();
  if (p.GetCz() < zmin_) zmin_ = p.GetCz();
  if (p.GetCz() > zmax_) zmax_ = p.GetCz();
}

void G3_BOX::Unite(const G3_BOX& b) {
  if (b.xmin_ < xmin_) xmin_ = b.xmin_;
  if (b.xmax_ > xmax_) xmax_ = b.xmax_;
  if (b.ymin_ < ymin_) ymin_ = b.ymin_;
  if (b.ymax_ > ymax_) ymax_ = b.ymax_;
  if (b.zmin_ < zmin_) zmin_ = b.zmin_;
  if (b.zmax_ > zmax_) zmax_ = b.zmax_;
}

void G3_BOX::Unite(const G3_POINTS& pts) {
  for (int i = 0; i < pts.GetNumber(); i++) Unite(pts[i]);
}

void G3_BOX::Expand(double dxmin, double dxmax, double dymin, double dymax, double dzmin,
                    double dzmax) {
  xmin_ -= dxmin;
  xmax_ += dxmax;
  ymin_ -= dymin;
  ymax_ += dymax;
  zmin_ -= dzmin;
  zmax_ += dzmax;
}

namespace {

void ScaleInterval(double s, double* lo, double* hi) {
  const double c = 0.5 * (*lo + *hi);
  const double h = 0.5 * (*hi - *lo);
  *lo = c - h * s;
  *hi = c + h * s;
}

// Common part of [lo, hi] and [blo, bhi]; false when the gap exceeds G_DIS::Min
// (the bounds keep the values just computed). A smaller gap is swapped shut.
C_BOOL IntersectInterval(double blo, double bhi, double* lo, double* hi) {
  if (blo > *lo) *lo = blo;
  if (bhi < *hi) *hi = bhi;
  if (*lo - G_DIS::Min > *hi) return false;
  if (*hi < *lo) std::swap(*lo, *hi);
  return true;
}

}  // namespace

void G3_BOX::Scale(double s) {
  if (!(s >= 0)) return;  // negative or NaN
  ScaleInterval(s, &xmin_, &xmax_);
  ScaleInterval(s, &ymin_, &ymax_);
  ScaleInterval(s, &zmin_, &zmax_);
}

void G3_BOX::Regularize() {
  if (xmax_ < xmin_) std::swap(xmin_, xmax_);
  if (ymax_ < ymin_) std::swap(ymin_, ymax_);
  if (zmax_ < zmin_) std::swap(zmin_, zmax_);
}

void G3_BOX::Intersect(const G3_BOX& b) {
  if (!IntersectInterval(b.xmin_, b.xmax_, &xmin_, &xmax_) ||
      !IntersectInterval(b.ymin_, b.ymax_, &ymin_, &ymax_) ||
      !IntersectInterval(b.zmin_, b.zmax_, &zmin_, &zmax_)) {
    GerrBoxesNoIntersection.Trigger();
  }
}

C_BOOL G3_BOX::Clashes(const G3_BOX& b) const {
  return xmin_ <= b.xmax_ && b.xmin_ <= xmax_ && ymin_ <= b.ymax_ && b.ymin_ <= ymax_ &&
         zmin_ <= b.zmax_ && b.zmin_ <= zmax_;
}

namespace {

// Intervals apart (touching included) still overlap when their facing values
// are equal by TisEqual.
C_BOOL OverlapsWithin(double lo, double hi, double blo, double bhi) {
  if (hi <= blo) return TisEqual(hi, blo);
  if (bhi <= lo) return TisEqual(bhi, lo);
  return true;
}

}  // namespace

C_BOOL G3_BOX::Clashes_i(const G3_BOX& b) const {
  return OverlapsWithin(xmin_, xmax_, b.xmin_, b.xmax_) &&
         OverlapsWithin(ymin_, ymax_, b.ymin_, b.ymax_) &&
         OverlapsWithin(zmin_, zmax_, b.zmin_, b.zmax_);
}

C_LOG G3_BOX::IsInHalfSpace(const G3_POINT& p, const G3_VECTOR1& n) const {
  // a: the corner farthest along n; b: the corner farthest against it.
  const G3_POINT a(n.GetCx() >= 0 ? xmax_ : xmin_, n.GetCy() >= 0 ? ymax_ : ymin_,
                   n.GetCz() >= 0 ? zmax_ : zmin_);
  const G3_POINT b(n.GetCx() >= 0 ? xmin_ : xmax_, n.GetCy() >= 0 ? ymin_ : ymax_,
                   n.GetCz() >= 0 ? zmin_ : zmax_);
  if (G3_VECTOR(p, a) * n < 0) return C_LOG(0);
  if (G3_VECTOR(p, b) * n < 0) return C_LOG(-1);
  return C_LOG(1);
}

C_BOOL G3_BOX::Intersect(const G3_AXIS& ax, G3_POINT* pt) const {
  const G3_POINT& o = ax.GetPo();
  const G3_VECTOR1& d = ax.GetVx();
  const double lo[3] = {xmin_, ymin_, zmin_};
  const double hi[3] = {xmax_, ymax_, zmax_};

  if (pt == nullptr) {
    // Separating axes of a line and a box: the cross products of the line's
    // direction with the three coordinate axes.
    const G3_POINT c = GetCentre();
    const double hx = 0.5 * GetDeltaX(), hy = 0.5 * GetDeltaY(), hz = 0.5 * GetDeltaZ();
    const double dx = o.GetCx() - c.GetCx(), dy = o.GetCy() - c.GetCy(),
                 dz = o.GetCz() - c.GetCz();
    const double adx = std::fabs(d.GetCx()), ady = std::fabs(d.GetCy()),
                 adz = std::fabs(d.GetCz());
    if (adx < kAlignedComponent &&
        std::fabs(d.GetCy() * dz - d.GetCz() * dy) >= hy * adz + hz * ady)
      return false;
    if (ady < kAlignedComponent &&
        std::fabs(d.GetCz() * dx - d.GetCx() * dz) >= hx * adz + hz * adx)
      return false;
    if (adz < kAlignedComponent &&
        std::fabs(d.GetCx() * dy - d.GetCy() * dx) >= hx * ady + hy * adx)
      return false;
    return true;
  }

  // The half-line from o: find the face plane it enters by.
  double cand[3] = {0, 0, 0};
  C_BOOL middle[3];
  C_BOOL inside = true;
  for (int i = 0; i < 3; i++) {
    const double oi = o.GetCi(i);
    middle[i] = false;
    if (oi < lo[i]) {
      cand[i] = lo[i];
      inside = false;
    } else if (oi > hi[i]) {
      cand[i] = hi[i];
      inside = false;
    } else {
      middle[i] = true;
    }
  }
  if (inside) {
    *pt = o;
    return true;
  }
  double t[3];
  for (int i = 0; i < 3; i++) {
    if (!middle[i] && std::fabs(d.GetCi(i)) > G_ANG::MinSin)
      t[i] = (cand[i] - o.GetCi(i)) / d.GetCi(i);
    else
      t[i] = -1;
  }
  int k = 0;  // ties go to the earlier axis
  for (int i = 1; i < 3; i++)
    if (t[i] > t[k]) k = i;
  if (t[k] < 0) return false;  // the box lies behind the origin
  double q[3];
  for (int i = 0; i < 3; i++) {
    if (i == k) {
      q[i] = cand[i];
    } else {
      q[i] = o.GetCi(i) + t[k] * d.GetCi(i);
      if (q[i] < lo[i] || q[i] > hi[i]) return false;
    }
  }
  pt->SetCar(q[0], q[1], q[2]);
  return true;
}

int G3_BOX::ClipLine(const G3_POINT& p0, const G3_POINT& p1, G3_POINT* a, G3_POINT* b) const {
  const G3_VECTOR d(p0, p1);
  FRACTION te = {0, 1}, tl = {1, 1};
  int entry = 0, exit = 0;
  const double clips[6][2] = {
      {-d.GetCx(), p0.GetCx() - xmin_}, {d.GetCx(), xmax_ - p0.GetCx()},
      {-d.GetCy(), p0.GetCy() - ymin_}, {d.GetCy(), ymax_ - p0.GetCy()},
      {-d.GetCz(), p0.GetCz() - zmin_}, {d.GetCz(), zmax_ - p0.GetCz()}};
  for (int i = 0; i < 6; i++) {
    const double den = clips[i][0], num = clips[i][1];
    const int code = i + 1;
    if (den < 0) {  // entering through this face
      const FRACTION t = {-num, -den};
      if (IsGreater(t, tl)) return -1;
      if (IsGreater(t, te)) {
        te = t;
        entry = code;
      }
    } else if (den > 0) {  // leaving through this face
      const FRACTION t = {num, den};
      if (IsGreater(te, t)) return -1;
      if (IsGreater(tl, t)) {
        tl = t;
        exit = code;
      }
    } else if (num < 0) {  // parallel to the face and outside it
      return -1;
    }
  }
  if (te.num > 0) {
    if (a != nullptr) *a = p0 + (te.num / te.den) * d;
  } else {
    if (a != nullptr) *a = p0;
    entry = 0;
  }
  if (tl.num < tl.den) {
    if (b != nullptr) *b = p0 + (tl.num / tl.den) * d;
  } else {
    if (b != nullptr) *b = p1;
    exit = 0;
  }
  return exit * 8 + entry;
}

void G3_BOX::Load(int version, C_FILE* file) {
  double* const v[6] = {&xmin_, &xmax_, &ymin_, &ymax_, &zmin_, &zmax_};
  for (double* p : v) {
    Tload(version, file, p);
    if (C_ERROR::Is()) return;
  }
}

void G3_BOX::Save(C_FILE* file) const {
  const double v[6] = {xmin_, xmax_, ymin_, ymax_, zmin_, zmax_};
  for (double x : v) {
    Tsave(x, file, 0);
    if (C_ERROR::Is()) return;
  }
}

// Operations of the algebra's types that take a box.

C_BOOL G3_POINT::IsIn(const G3_BOX& b) const {
  return b.GetXmin() <= x_ && x_ <= b.GetXmax() && b.GetYmin() <= y_ && y_ <= b.GetYmax() &&
         b.GetZmin() <= z_ && z_ <= b.GetZmax();
}

G3_BOX G3_POINTS::GetBox() const { return G3_BOX(*this); }

C_LOG G3_PLANE::IsInHalfSpace(const G3_BOX& b) const {
  G3_POINTS corners;
  b.GetCorners(&corners);
  if (C_ERROR::Is() || corners.GetNumber() == 0) return C_LOG(-1);
  const C_BOOL first = IsInHalfSpace(corners[0]);
  for (int i = 1; i < corners.GetNumber(); i++)
    if (int(IsInHalfSpace(corners[i])) != int(first)) return C_LOG(-1);
  return C_LOG(int(first));
}
