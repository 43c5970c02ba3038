#include "volumes/g3_rect.h"

#include <utility>

#include "algebra/g3_points.h"
#include "algebra/g3_vector.h"
#include "frame/g_errors.h"
#include "measures/g_dis.h"
#include "runtime/c_error.h"
#include "runtime/t_persist.h"

G3_RECT::G3_RECT(const G3_PLANE& pl, const G3_POINT& p1, const G3_POINT& p2) : plane_(pl) {
  Unite(p1);
  Unite(p2);
}

G3_RECT::G3_RECT(const G3_PLANE& pl, const G3_POINTS& pts) : plane_(pl) { Unite(pts); }

void G3_RECT::GetCorners(G3_POINTS* pts) const {
  pts->Grow(pts->GetNumber() + 4);
  if (C_ERROR::Is()) return;
  pts->Append(plane_.GetPosit(xmin_, ymin_));
  pts->Append(plane_.GetPosit(xmax_, ymin_));
  pts->Append(plane_.GetPosit(xmax_, ymax_));
  pts->Append(plane_.GetPosit(xmin_, ymax_));
}

void G3_RECT::Scale(double f) {
  if (!(f >= 0)) return;  // negative or NaN
  const double cx = 0.5 * (xmin_ + xmax_), hx = 0.5 * (xmax_ - xmin_);
  const double cy = 0.5 * (ymin_ + ymax_), hy = 0.5 * (ymax_ - ymin_);
  xmin_ = cx - hx * f;
  xmax_ = cx + hx * f;
  ymin_ = cy - hy * f;
  ymax_ = cy + hy * f;
}

void G3_RECT::Regularize() {
  if (xmax_ < xmin_) std::swap(xmin_, xmax_);
  if (ymax_ < ymin_) std::swap(ymin_, ymax_);
}

void G3_RECT::Unite(const G3_RECT& r) {
  if (r.xmin_ < xmin_) xmin_ = r.xmin_;
  if (r.xmax_ > xmax_) xmax_ = r.xmax_;
  if (r.ymin_ < ymin_) ymin_ = r.ymin_;
  if (r.ymax_ > ymax_) ymax_ = r.ymax_;
}

void G3_RECT::Unite(const G3_POINT& p) {
  const G3_VECTOR w(plane_.GetPo(), p);
  const double x = w * plane_.GetVx(), y = w * plane_.GetVy();
  if (x < xmin_) xmin_ = x;
  if (x > xmax_) xmax_ = x;
  if (y < ymin_) ymin_ = y;
  if (y > ymax_) ymax_ = y;
}

void G3_RECT::Unite(const G3_POINTS& pts) {
  for (int i = 0; i < pts.GetNumber(); i++) Unite(pts[i]);
}

void G3_RECT::Intersect(const G3_RECT& r) {
  if (r.xmin_ > xmin_) xmin_ = r.xmin_;
  if (r.xmax_ < xmax_) xmax_ = r.xmax_;
  if (xmin_ - G_DIS::Min > xmax_) {
    GerrBoxesNoIntersection.Trigger();
    return;
  }
  if (xmax_ < xmin_) std::swap(xmin_, xmax_);
  if (r.ymin_ > ymin_) ymin_ = r.ymin_;
  if (r.ymax_ < ymax_) ymax_ = r.ymax_;
  if (ymin_ - G_DIS::Min > ymax_) {
    GerrBoxesNoIntersection.Trigger();
    return;
  }
  if (ymax_ < ymin_) std::swap(ymin_, ymax_);
}

C_BOOL G3_RECT::Clashes(const G3_RECT& r) const {
  const double xlo = xmin_ > r.xmin_ ? xmin_ : r.xmin_;
  const double xhi = xmax_ < r.xmax_ ? xmax_ : r.xmax_;
  const double ylo = ymin_ > r.ymin_ ? ymin_ : r.ymin_;
  const double yhi = ymax_ < r.ymax_ ? ymax_ : r.ymax_;
  return xlo <= xhi && ylo <= yhi;
}

void G3_RECT::Save(C_FILE* file) const {
  plane_.Save(file);
  if (C_ERROR::Is()) return;
  const double v[4] = {xmin_, xmax_, ymin_, ymax_};
  for (double x : v) {
    Tsave(x, file, 0);
    if (C_ERROR::Is()) return;
  }
}

void G3_RECT::Load(int version, C_FILE* file) {
  plane_.Load(version, file);
  if (C_ERROR::Is()) return;
  double* const v[4] = {&xmin_, &xmax_, &ymin_, &ymax_};
  for (double* p : v) {
    Tload(version, file, p);
    if (C_ERROR::Is()) return;
  }
}

// A point is never inside a rectangle: a rectangle has no thickness.
C_BOOL G3_POINT::IsIn(const G3_RECT&) const { return false; }
