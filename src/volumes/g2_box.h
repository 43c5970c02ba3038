#ifndef G3GEOM_VOLUMES_G2_BOX_H
#define G3GEOM_VOLUMES_G2_BOX_H

#include <cmath>

#include "runtime/c_bool.h"
#include "runtime/g_export.h"

class C_FILE;
class G2_AXIS;
class G2_POINT;
class G2_POINTS;

// An axis-aligned rectangle of the plane, closed. Plain value: four doubles in
// the order xmin, xmax, ymin, ymax. Its y axis points down where corners are
// named: the top is ymin. The default box is void (minima 1e100, maxima
// -1e100).
class G_API G2_BOX {
 public:
  G2_BOX() = default;
  // Stored as given, in the member order.
  G2_BOX(double xmin, double xmax, double ymin, double ymax)
      : xmin_(xmin), xmax_(xmax), ymin_(ymin), ymax_(ymax) {}
  // Per axis the smaller coordinate is the minimum.
  G2_BOX(const G2_POINT& a, const G2_POINT& b);
  // The box of the points; void (and no error) for an empty list.
  explicit G2_BOX(const G2_POINTS& pts);

  double GetXmin() const { return xmin_; }
  double GetXmax() const { return xmax_; }
  double GetYmin() const { return ymin_; }
  double GetYmax() const { return ymax_; }
  void SetXmin(double v) { xmin_ = v; }
  void SetXmax(double v) { xmax_ = v; }
  void SetYmin(double v) { ymin_ = v; }
  void SetYmax(double v) { ymax_ = v; }
  double GetWidth() const { return xmax_ - xmin_; }
  double GetHeight() const { return ymax_ - ymin_; }
  // Half the length of the diagonal.
  double GetRadius() const {
    const double w = GetWidth(), h = GetHeight();
    return 0.5 * std::sqrt(w * w + h * h);
  }
  G2_POINT GetCentre() const;
  G2_POINT GetTopLeft() const;      // (xmin, ymin)
  G2_POINT GetTopRight() const;     // (xmax, ymin)
  G2_POINT GetBottomLeft() const;   // (xmin, ymax)
  G2_POINT GetBottomRight() const;  // (xmax, ymax)

  void Unite(const G2_POINT& p);
  void Unite(const G2_POINTS& pts);
  void Unite(const G2_BOX& b);
  // Subtracts dxmin from xmin, adds dxmax to xmax, subtracts dymin from ymin
  // and adds dymax to ymax.
  void Expand(double dxmin, double dxmax, double dymin, double dymax);
  // Grows the box about its centre to the aspect ratio of frame.
  void Expand(const G2_BOX& frame);
  // Shrinks the box about its centre to the aspect ratio of frame.
  void Retract(const G2_BOX& frame);
  // Half extents times s about the centre; nothing when s < 0 or NaN.
  void Scale(double s);
  void Regularize();
  // As G3_BOX::Intersect on two axes; an empty result is reported as the
  // internal error "Boxes without intersection".
  void Intersect(const G2_BOX& b);
  // f clamped to [0, 1]; the box is cut at xmin + f * width (ymin + f * height).
  void SplitX(double f, G2_BOX* left, G2_BOX* right) const;
  void SplitY(double f, G2_BOX* top, G2_BOX* bottom) const;

  C_BOOL operator==(const G2_BOX& b) const {
    return xmin_ == b.xmin_ && xmax_ == b.xmax_ && ymin_ == b.ymin_ && ymax_ == b.ymax_;
  }
  C_BOOL operator!=(const G2_BOX& b) const { return !(*this == b); }
  // This box lies in b (closed, exact).
  C_BOOL IsIn(const G2_BOX& b) const {
    return b.xmin_ <= xmin_ && xmax_ <= b.xmax_ && b.ymin_ <= ymin_ && ymax_ <= b.ymax_;
  }
  // The closed boxes overlap on both axes; touching counts.
  C_BOOL Clashes(const G2_BOX& b) const {
    return xmin_ <= b.xmax_ && b.xmin_ <= xmax_ && ymin_ <= b.ymax_ && b.ymin_ <= ymax_;
  }
  // Crossings of the line ax with the outline. The result sums the bits of
  // the sides hit (1 x = xmin, 2 x = xmax, 4 y = ymin, 8 y = ymax), at most
  // two; p1 is the first met along the axis direction, and p2 = p1 with one hit.
  int GetInter(const G2_AXIS& ax, G2_POINT* p1, G2_POINT* p2) const;
  // Clips the closed segment p0 p1. -1 when it misses; else exit side * 8 +
  // entry side, with the ends taken in increasing x and the sides numbered
  // 1 xmin, 2 xmax, 3 ymax, 4 ymin (0: that end was not cut). a gets the
  // clipped left end, b the clipped right end; either may be null.
  int ClipLine(const G2_POINT& p0, const G2_POINT& p1, G2_POINT* a, G2_POINT* b) const;

  void Load(int version, C_FILE* file);
  void Save(C_FILE* file) const;

 private:
  double xmin_ = 1e100, xmax_ = -1e100;
  double ymin_ = 1e100, ymax_ = -1e100;
};

// Boxes have no order: always 0.
inline int operator>(const G2_BOX&, const G2_BOX&) { return 0; }

#endif
