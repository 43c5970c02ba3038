#ifndef G3GEOM_VOLUMES_G3_RECT_H
#define G3GEOM_VOLUMES_G3_RECT_H

#include <cmath>

#include "algebra/g3_plane.h"
#include "algebra/g3_point.h"
#include "runtime/c_bool.h"
#include "runtime/g_export.h"

class C_FILE;
class G3_POINTS;

// A rectangle lying in a plane: the plane's frame and bounds along its two
// in-plane axes, measured from its origin. A space point P has the plane
// coordinates x = (P - O).Vx, y = (P - O).Vy. The empty rectangle has minima
// 1e100 and maxima -1e100, so that the first point united into it sets all
// four bounds. Nothing checks that the planes of two operands agree.
class G_API G3_RECT {
 public:
  G3_RECT() = default;
  G3_RECT(const G3_PLANE& pl, double xmin, double xmax, double ymin, double ymax)
      : plane_(pl), xmin_(xmin), xmax_(xmax), ymin_(ymin), ymax_(ymax) {}
  // The bounds of the plane coordinates of p1 and p2, in whatever order.
  G3_RECT(const G3_PLANE& pl, const G3_POINT& p1, const G3_POINT& p2);
  // The bounds of the plane coordinates of the points; empty for no point.
  G3_RECT(const G3_PLANE& pl, const G3_POINTS& pts);

  const G3_PLANE& GetPlane() const { return plane_; }
  // The bounds stay the same numbers.
  void SetPlane(const G3_PLANE& pl) { plane_ = pl; }
  double GetXmin() const { return xmin_; }
  double GetXmax() const { return xmax_; }
  double GetYmin() const { return ymin_; }
  double GetYmax() const { return ymax_; }
  void SetXmin(double v) { xmin_ = v; }
  void SetXmax(double v) { xmax_ = v; }
  void SetYmin(double v) { ymin_ = v; }
  void SetYmax(double v) { ymax_ = v; }
  double GetDeltaX() const { return xmax_ - xmin_; }
  double GetDeltaY() const { return ymax_ - ymin_; }
  // Half the diagonal.
  double GetRadius() const {
    const double dx = GetDeltaX(), dy = GetDeltaY();
    return 0.5 * std::sqrt(dx * dx + dy * dy);
  }
  G3_POINT GetCentre() const {
    return plane_.GetPosit(0.5 * (xmin_ + xmax_), 0.5 * (ymin_ + ymax_));
  }
  G3_POINT GetMinPt() const { return plane_.GetPosit(xmin_, ymin_); }
  G3_POINT GetMaxPt() const { return plane_.GetPosit(xmax_, ymax_); }
  // Appends (keeping what pts holds) the corners (xmin, ymin), (xmax, ymin),
  // (xmax, ymax), (xmin, ymax) as space points.
  void GetCorners(G3_POINTS* pts) const;

  // xmin -= a, xmax += b, ymin -= c, ymax += d.
  void Expand(double a, double b, double c, double d) {
    xmin_ -= a;
    xmax_ += b;
    ymin_ -= c;
    ymax_ += d;
  }
  // Half-widths times f about the centre; nothing when f < 0 or NaN.
  void Scale(double f);
  void Regularize();
  // Widens to r's bounds, taken as numbers whatever r's plane.
  void Unite(const G3_RECT& r);
  void Unite(const G3_POINT& p);
  void Unite(const G3_POINTS& pts);
  // Keeps the common part, x then y. A gap wider than G_DIS::Min leaves
  // GerrBoxesNoIntersection pending and stops; a narrower one is swapped shut.
  void Intersect(const G3_RECT& r);

  // This rectangle lies within r (bounds included).
  C_BOOL IsIn(const G3_RECT& r) const {
    return r.xmin_ <= xmin_ && xmax_ <= r.xmax_ && r.ymin_ <= ymin_ && ymax_ <= r.ymax_;
  }
  // The closed bounds overlap; touching rectangles clash.
  C_BOOL Clashes(const G3_RECT& r) const;
  // 1 when this rectangle contains r, else 0.
  int operator>(const G3_RECT& r) const {
    return xmin_ <= r.xmin_ && xmax_ >= r.xmax_ && ymin_ <= r.ymin_ && ymax_ >= r.ymax_ ? 1 : 0;
  }

  // The plane record, then xmin, xmax, ymin, ymax.
  void Save(C_FILE* file) const;
  void Load(int version, C_FILE* file);

 private:
  G3_PLANE plane_;
  double xmin_ = 1e100, xmax_ = -1e100;
  double ymin_ = 1e100, ymax_ = -1e100;
};

#endif
