#ifndef G3GEOM_VOLUMES_G3_BOX_H
#define G3GEOM_VOLUMES_G3_BOX_H

#include <cmath>

#include "runtime/c_bool.h"
#include "runtime/g_export.h"

class C_FILE;
class G3_AXIS;
class G3_POINT;
class G3_POINTS;
class G3_TRANSFO;
class G3_VECTOR1;

// An axis-aligned box of space, closed (points on its faces belong to it).
// Plain value: six doubles in the order xmin, xmax, ymin, ymax, zmin, zmax.
// The default box is void: every minimum is 1e100 and every maximum -1e100,
// so that uniting anything into it gives exactly that thing's box. Nothing
// but Regularize and Intersect repairs a box whose min exceeds its max.
class G_API G3_BOX {
 public:
  G3_BOX() = default;
  // Stored as given, in the member order.
  G3_BOX(double xmin, double xmax, double ymin, double ymax, double zmin, double zmax)
      : xmin_(xmin), xmax_(xmax), ymin_(ymin), ymax_(ymax), zmin_(zmin), zmax_(zmax) {}
  // Per axis the smaller coordinate is the minimum.
  G3_BOX(const G3_POINT& a, const G3_POINT& b);
  // The box of all the points. An empty list leaves TerrInvalidIndex pending
  // and gives the degenerate box at the origin.
  explicit G3_BOX(const G3_POINTS& pts);

  double GetXmin() const { return xmin_; }
  double GetXmax() const { return xmax_; }
  double GetYmin() const { return ymin_; }
  double GetYmax() const { return ymax_; }
  double GetZmin() const { return zmin_; }
  double GetZmax() const { return zmax_; }
  void SetXmin(double v) { xmin_ = v; }
  void SetXmax(double v) { xmax_ = v; }
  void SetYmin(double v) { ymin_ = v; }
  void SetYmax(double v) { ymax_ = v; }
  void SetZmin(double v) { zmin_ = v; }
  void SetZmax(double v) { zmax_ = v; }

  G3_POINT GetMinPt() const;
  G3_POINT GetMaxPt() const;
  G3_POINT GetCentre() const;
  double GetDeltaX() const { return xmax_ - xmin_; }
  double GetDeltaY() const { return ymax_ - ymin_; }
  double GetDeltaZ() const { return zmax_ - zmin_; }
  double GetVolume() const { return GetDeltaX() * GetDeltaY() * GetDeltaZ(); }
  // Half the length of the diagonal.
  double GetRadius() const {
    const double dx = GetDeltaX(), dy = GetDeltaY(), dz = GetDeltaZ();
    return 0.5 * std::sqrt(dx * dx + dy * dy + dz * dz);
  }
  // Clears pts and appends the eight corners: the face z = zmin, then the face
  // z = zmax, each as (xmin, ymin), (xmax, ymin), (xmax, ymax), (xmin, ymax).
  void GetCorners(G3_POINTS* pts) const;

  void Unite(const G3_POINT& p);
  void Unite(const G3_BOX& b);
  void Unite(const G3_POINTS& pts);
  // The box of the transformed box (see G3_TRANSFO::Transfo(G3_BOX*)).
  void Transfo(const G3_TRANSFO& t);
  // Subtracts the first value from xmin, adds the second to xmax, and so on;
  // negative values shrink the box.
  void Expand(double dxmin, double dxmax, double dymin, double dymax, double dzmin,
              double dzmax);
  // Multiplies every half extent by s about the centre; nothing when s < 0 or
  // s is NaN, and s = 0 collapses the box to its centre.
  void Scale(double s);
  // Swaps min and max on every axis where max < min.
  void Regularize();
  // Keeps the common part, axis by axis in the order x, y, z. A gap larger than
  // G_DIS::Min on an axis leaves GerrBoxesNoIntersection pending (the axes
  // already done stay changed); a smaller gap is closed by swapping.
  void Intersect(const G3_BOX& b);

  // Exact comparison of the six values.
  C_BOOL operator==(const G3_BOX& b) const {
    return xmin_ == b.xmin_ && xmax_ == b.xmax_ && ymin_ == b.ymin_ && ymax_ == b.ymax_ &&
           zmin_ == b.zmin_ && zmax_ == b.zmax_;
  }
  C_BOOL operator!=(const G3_BOX& b) const { return !(*this == b); }
  // This box contains b (closed, exact).
  C_BOOL operator>(const G3_BOX& b) const { return b.IsIn(*this); }
  // This box lies in b (closed, exact).
  C_BOOL IsIn(const G3_BOX& b) const {
    return b.xmin_ <= xmin_ && xmax_ <= b.xmax_ && b.ymin_ <= ymin_ && ymax_ <= b.ymax_ &&
           b.zmin_ <= zmin_ && zmax_ <= b.zmax_;
  }
  // The closed boxes overlap on all three axes; touching counts.
  C_BOOL Clashes(const G3_BOX& b) const;
  // As Clashes, but intervals apart on an axis still overlap when their facing
  // values are equal by TisEqual.
  C_BOOL Clashes_i(const G3_BOX& b) const;
  // False when the box lies wholly on the side of the plane (p, n) opposite to
  // n, unknown when the plane cuts it, true otherwise. No tolerance.
  C_LOG IsInHalfSpace(const G3_POINT& p, const G3_VECTOR1& n) const;
  // With pt: the half-line from the axis point along its direction; pt gets
  // the point where it enters the box (the axis point itself when inside).
  // Without pt (null or left out): the whole line, by a separating-axis test
  // in which a line grazing an edge misses.
  C_BOOL Intersect(const G3_AXIS& ax, G3_POINT* pt = nullptr) const;
  // Clips the segment p0 p1 to the box. -1 when it misses (a and b untouched),
  // else exit face * 8 + entry face, faces 1 xmin, 2 xmax, 3 ymin, 4 ymax,
  // 5 zmin, 6 zmax, 0 for an end that was not cut. a and b may be null.
  int ClipLine(const G3_POINT& p0, const G3_POINT& p1, G3_POINT* a, G3_POINT* b) const;

  void Load(int version, C_FILE* file);
  void Save(C_FILE* file) const;

 private:
  double xmin_ = 1e100, xmax_ = -1e100;
  double ymin_ = 1e100, ymax_ = -1e100;
  double zmin_ = 1e100, zmax_ = -1e100;
};

#endif
