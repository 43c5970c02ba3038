#include "volumes/g2_box.h"

#include <utility>

#include "algebra/g2_axis.h"
#include "algebra/g2_point.h"
#include "algebra/g2_points.h"
#include "algebra/g2_vector.h"
#include "measures/g_dis.h"
#include "runtime/c_error.h"
#include "runtime/t_persist.h"
#include "runtime/t_solve.h"

namespace {

// Below this a width, height or aspect denominator counts as zero.
constexpr double kFlat = 1e-12;
// The horizontal sides give up their end points to the vertical ones, so that
// a line through a corner is counted once.
constexpr double kCornerMargin = 1e-12;

}  // namespace

G2_BOX::G2_BOX(const G2_POINT& a, const G2_POINT& b) {
  xmin_ = a.GetCx() < b.GetCx() ? a.GetCx() : b.GetCx();
  xmax_ = a.GetCx() < b.GetCx() ? b.GetCx() : a.GetCx();
  ymin_ = a.GetCy() < b.GetCy() ? a.GetCy() : b.GetCy();
  ymax_ = a.GetCy() < b.GetCy() ? b.GetCy() : a.GetCy();
}

G2_BOX::G2_BOX(const G2_POINTS& pts) { Unite(pts); }

G2_POINT G2_BOX::GetCentre() const {
  return G2_POINT(0.5 * (xmin_ + xmax_), 0.5 * (ymin_ + ymax_));
}
G2_POINT G2_BOX::GetTopLeft() const { return G2_POINT(xmin_, ymin_); }
G2_POINT G2_BOX::GetTopRight() const { return G2_POINT(xmax_, ymin_); }
G2_POINT G2_BOX::GetBottomLeft() const { return G2_POINT(xmin_, ymax_); }
G2_POINT G2_BOX::GetBottomRight() const { return G2_POINT(xmax_, ymax_); }

void G2_BOX::Unite(const G2_POINT& p) {
  if (p.GetCx() < xmin_) xmin_ = p.GetCx();
  if (p.GetCx() > xmax_) xmax_ = p.GetCx();
  if (p.GetCy() < ymin_) ymin_ = p.GetCy();
  if (p.GetCy() > ymax_) ymax_ = p.GetCy();
}

void G2_BOX::Unite(const G2_POINTS& pts) {
  for (int i = 0; i < pts.GetNumber(); i++) Unite(pts[i]);
}

void G2_BOX::Unite(const G2_BOX& b) {
  if (b.xmin_ < xmin_) xmin_ = b.xmin_;
  if (b.xmax_ > xmax_) xmax_ = b.xmax_;
  if (b.ymin_ < ymin_) ymin_ = b.ymin_;
  if (b.ymax_ > ymax_) ymax_ = b.ymax_;
}

void G2_BOX::Expand(double dxmin, double dxmax, double dymin, double dymax) {
  xmin_ -= dxmin;
  xmax_ += dxmax;
  ymin_ -= dymin;
  ymax_ += dymax;
}

namespace {

// Width over height, 1e100 for a flat height.
double Aspect(double w, double h) { return h >= kFlat ? w / h : 1e100; }

// Sets [lo, hi] to the given length about its middle.
void Resize(double length, double* lo, double* hi) {
  const double c = 0.5 * (*lo + *hi);
  *lo = c - 0.5 * length;
  *hi = c + 0.5 * length;
}

}  // namespace

void G2_BOX::Expand(const G2_BOX& frame) {
  const double fw = frame.GetWidth(), fh = frame.GetHeight();
  const double w = GetWidth(), h = GetHeight();
  const double fr = Aspect(fw, fh), r = Aspect(w, h);
  if (r > fr) {
    if (fw > kFlat) Resize(fh * w / fw, &ymin_, &ymax_);  // taller
  } else if (r < fr) {
    if (fh > kFlat) Resize(fw * h / fh, &xmin_, &xmax_);  // wider
  }
}

void G2_BOX::Retract(const G2_BOX& frame) {
  const double fw = frame.GetWidth(), fh = frame.GetHeight();
  const double w = GetWidth(), h = GetHeight();
  const double fr = Aspect(fw, fh), r = Aspect(w, h);
  if (r > fr) {
    if (fh > kFlat) Resize(fw * h / fh, &xmin_, &xmax_);  // narrower
  } else if (r < fr) {
    if (fw > kFlat) Resize(fh * w / fw, &ymin_, &ymax_);  // lower
  }
}

void G2_BOX::Scale(double s) {
  if (!(s >= 0)) return;  // negative or NaN
  const double cx = 0.5 * (xmin_ + xmax_), hx = 0.5 * (xmax_ - xmin_);
  const double cy = 0.5 * (ymin_ + ymax_), hy = 0.5 * (ymax_ - ymin_);
  xmin_ = cx - hx * s;
  xmax_ = cx + hx * s;
  ymin_ = cy - hy * s;
  ymax_ = cy + hy * s;
}

void G2_BOX::Regularize() {
  if (xmax_ < xmin_) std::swap(xmin_, xmax_);
  if (ymax_ < ymin_) std::swap(ymin_, ymax_);
}

void G2_BOX::Intersect(const G2_BOX& b) {
  // x first; a gap wider than G_DIS::Min stops at once, a narrower one is
  // swapped shut.
  if (b.xmin_ > xmin_) xmin_ = b.xmin_;
  if (b.xmax_ < xmax_) xmax_ = b.xmax_;
  if (xmin_ - G_DIS::Min > xmax_) {
    C_ERROR::TriggerDbg("Boxes without intersection");
    return;
  }
  if (xmax_ < xmin_) std::swap(xmin_, xmax_);
  if (b.ymin_ > ymin_) ymin_ = b.ymin_;
  if (b.ymax_ < ymax_) ymax_ = b.ymax_;
  if (ymin_ - G_DIS::Min > ymax_) {
    C_ERROR::TriggerDbg("Boxes without intersection");
    return;
  }
  if (ymax_ < ymin_) std::swap(ymin_, ymax_);
}

namespace {

double Clamp01(double f) { return f < 0 ? 0 : (f > 1 ? 1 : f); }

}  // namespace

void G2_BOX::SplitX(double f, G2_BOX* left, G2_BOX* right) const {
  const double xs = xmin_ + Clamp01(f) * (xmax_ - xmin_);
  if (left != nullptr) *left = G2_BOX(xmin_, xs, ymin_, ymax_);
  if (right != nullptr) *right = G2_BOX(xs, xmax_, ymin_, ymax_);
}

void G2_BOX::SplitY(double f, G2_BOX* top, G2_BOX* bottom) const {
  const double ys = ymin_ + Clamp01(f) * (ymax_ - ymin_);
  if (top != nullptr) *top = G2_BOX(xmin_, xmax_, ymin_, ys);
  if (bottom != nullptr) *bottom = G2_BOX(xmin_, xmax_, ys, ymax_);
}

int G2_BOX::GetInter(const G2_AXIS& ax, G2_POINT* p1, G2_POINT* p2) const {
  const G2_POINT& o = ax.GetPo();
  const double dx = ax.GetVx().GetCx(), dy = ax.GetVx().GetCy();
  G2_POINT hit[2];
  int bits = 0, count = 0;
  if (!TisEqual(dx, 0)) {
    const double xs[2] = {xmin_, xmax_};
    for (int k = 0; k < 2 && count < 2; k++) {
      const double y = o.GetCy() + (xs[k] - o.GetCx()) * dy / dx;
      if (ymin_ <= y && y <= ymax_) {
        hit[count++] = G2_POINT(xs[k], y);
        bits += 1 << k;
      }
    }
  }
  if (count < 2 && !TisEqual(dy, 0)) {
    const double ys[2] = {ymin_, ymax_};
    for (int k = 0; k < 2 && count < 2; k++) {
      const double x = o.GetCx() + (ys[k] - o.GetCy()) * dx / dy;
      if (xmin_ + kCornerMargin <= x && x <= xmax_ - kCornerMargin) {
        hit[count++] = G2_POINT(x, ys[k]);
        bits += 4 << k;
      }
    }
  }
  if (count == 0) return 0;
  if (count == 1) hit[1] = hit[0];
  if (count == 2) {
    // Put first the point met first when moving along the direction.
    const C_BOOL vertical = (bits & 3) != 0;
    if ((dy < 0 && (bits & 8) != 0) || (dx < 0 && bits == 3) ||
        (dy > 0 && (bits & 4) != 0 && vertical))
      std::swap(hit[0], hit[1]);
  }
  if (p1 != nullptr) *p1 = hit[0];
  if (p2 != nullptr) *p2 = hit[1];
  return bits;
}

namespace {

// A parameter along the segment held as num / den with den > 0.
struct FRACTION {
  double num;
  double den;
};

C_BOOL IsGreater(const FRACTION& a, const FRACTION& b) { return a.num * b.den > b.num * a.den; }

// Sides of the plane box, as the clip reports them.
enum { kSideXmin = 1, kSideXmax = 2, kSideYmax = 3, kSideYmin = 4 };

}  // namespace

int G2_BOX::ClipLine(const G2_POINT& p0, const G2_POINT& p1, G2_POINT* a, G2_POINT* b) const {
  // Left end first; equal x keeps the given order.
  const C_BOOL swapped = p1.GetCx() < p0.GetCx();
  const G2_POINT& l = swapped ? p1 : p0;
  const G2_POINT& r = swapped ? p0 : p1;
  if (l.GetCx() > xmax_ || r.GetCx() < xmin_) return -1;

  const double x0 = l.GetCx(), y0 = l.GetCy();
  const double dx = r.GetCx() - x0, dy = r.GetCy() - y0;  // dx >= 0
  FRACTION te = {0, 1}, tl = {1, 1};
  int entry = 0, exit = 0;
  // Vertical sides before horizontal ones: a segment through a corner is cut
  // on the vertical side.
  const double clips[4][3] = {{-dx, x0 - xmin_, kSideXmin},
                              {dx, xmax_ - x0, kSideXmax},
                              {-dy, y0 - ymin_, kSideYmin},
                              {dy, ymax_ - y0, kSideYmax}};
  for (const auto& c : clips) {
    const double den = c[0], num = c[1];
    const int side = int(c[2]);
    if (den < 0) {
      const FRACTION t = {-num, -den};
      if (IsGreater(t, tl)) return -1;
      if (IsGreater(t, te)) {
        te = t;
        entry = side;
      }
    } else if (den > 0) {
      const FRACTION t = {num, den};
      if (IsGreater(te, t)) return -1;
      if (IsGreater(tl, t)) {
        tl = t;
        exit = side;
      }
    } else if (num < 0) {
      return -1;
    }
  }
  if (!(te.num > 0)) entry = 0;
  if (!(tl.num < tl.den)) exit = 0;

  // The crossing on a side, from the slope: x fixed on a vertical side, y on a
  // horizontal one.
  auto onSide = [&](int side) {
    switch (side) {
      case kSideXmin:
        return G2_POINT(xmin_, y0 + dy * (xmin_ - x0) / dx);
      case kSideXmax:
        return G2_POINT(xmax_, y0 + dy * (xmax_ - x0) / dx);
      case kSideYmin:
        return G2_POINT(x0 + dx * (ymin_ - y0) / dy, ymin_);
      default:
        return G2_POINT(x0 + dx * (ymax_ - y0) / dy, ymax_);
    }
  };
  if (a != nullptr) *a = entry != 0 ? onSide(entry) : l;
  if (b != nullptr) *b = exit != 0 ? onSide(exit) : r;
  return exit * 8 + entry;
}

void G2_BOX::Load(int version, C_FILE* file) {
  double* const v[4] = {&xmin_, &xmax_, &ymin_, &ymax_};
  for (double* p : v) {
    Tload(version, file, p);
    if (C_ERROR::Is()) return;
  }
}

void G2_BOX::Save(C_FILE* file) const {
  const double v[4] = {xmin_, xmax_, ymin_, ymax_};
  for (double x : v) {
    Tsave(x, file, 0);
    if (C_ERROR::Is()) return;
  }
}

// Operations of the algebra's types that take a plane box.

C_BOOL G2_POINT::IsIn(const G2_BOX& b) const {
  return b.GetXmin() <= x_ && x_ <= b.GetXmax() && b.GetYmin() <= y_ && y_ <= b.GetYmax();
}

G2_BOX G2_POINTS::GetBox() const { return G2_BOX(*this); }
