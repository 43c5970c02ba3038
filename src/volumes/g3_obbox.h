#ifndef G3GEOM_VOLUMES_G3_OBBOX_H
#define G3GEOM_VOLUMES_G3_OBBOX_H

#include <cmath>

#include "algebra/g3_frame.h"
#include "algebra/g3_point.h"
#include "algebra/g3_vector.h"
#include "containers/t_list.h"
#include "runtime/c_bool.h"
#include "runtime/g_export.h"
#include "volumes/g3_box.h"

class C_FILE;
class G3_AXIS;
class G3_POINTS;
class G3_TRANSFO;

// A box of space in a free orientation: a frame whose origin is the centre and
// whose axes are the box axes, and the full side lengths along them. The box
// is the set of points whose local coordinates lie within half the sides.
// Plain value. The boxes built from points or from axis-aligned boxes have
// DeltaX >= DeltaY >= DeltaZ.
class G_API G3_OBBOX {
 public:
  // At the origin with the axes X, Y, Z and no extent.
  G3_OBBOX() = default;
  G3_OBBOX(const G3_FRAME& f, double dx, double dy, double dz)
      : frame_(f), dx_(dx), dy_(dy), dz_(dz) {}
  // The axis-aligned box, its axes reordered by decreasing size.
  explicit G3_OBBOX(const G3_BOX& b);
  // A tight box around the points, from the covariance of their convex hull's
  // surface, unless the axis-aligned box is strictly smaller. Coordinates that
  // are not finite leave CerrInvalidValue pending and give the default box;
  // coordinates beyond 1e150, whose products would overflow, give the
  // axis-aligned box. Safe to run on several threads at once.
  explicit G3_OBBOX(const G3_POINTS& pts);
  // The box around the corners of all the listed boxes.
  explicit G3_OBBOX(const T_LIST<const G3_OBBOX*>& boxes);

  const G3_FRAME& GetFrame() const { return frame_; }
  void SetFrame(const G3_FRAME& f) { frame_ = f; }
  double GetDeltaX() const { return dx_; }
  double GetDeltaY() const { return dy_; }
  double GetDeltaZ() const { return dz_; }
  void SetDeltaX(double d) { dx_ = d; }
  void SetDeltaY(double d) { dy_ = d; }
  void SetDeltaZ(double d) { dz_ = d; }
  const G3_POINT& GetCentre() const { return frame_.GetPo(); }
  double GetVolume() const { return dx_ * dy_ * dz_; }
  // Half the diagonal.
  double GetRadius() const { return 0.5 * std::sqrt(dx_ * dx_ + dy_ * dy_ + dz_ * dz_); }
  // The box in its own coordinates, centred on the origin.
  G3_BOX GetLocalBox() const {
    return G3_BOX(-0.5 * dx_, 0.5 * dx_, -0.5 * dy_, 0.5 * dy_, -0.5 * dz_, 0.5 * dz_);
  }
  // The enclosing axis-aligned box.
  G3_BOX GetBox() const;
  // Clears pts and appends the eight corners: (-, -, -), (+, -, -), (+, +, -),
  // (-, +, -), then the same four with + along Vz.
  void GetCorners(G3_POINTS* pts) const;
  // The axis of the largest side; ties go to the earlier axis.
  G3_VECTOR GetLongestAxis() const;

  // Sides times k; a negative (or NaN) k does nothing, 0 collapses the box.
  void Scale(double k);
  void Grow(double dx, double dy, double dz) {
    dx_ += dx;
    dy_ += dy;
    dz_ += dz;
  }
  // Moves the centre by ((x1 + x2) / 2, (y1 + y2) / 2, (z1 + z2) / 2) in global
  // coordinates and adds x2 - x1, y2 - y1, z2 - z1 to the sides.
  void Expand(double x1, double x2, double y1, double y2, double z1, double z2);
  // Reorders the axes so that DeltaX >= DeltaY >= DeltaZ, keeping the frame
  // right-handed.
  void Regularize();
  // Transforms the frame only: the sides are kept, a scaling does not resize.
  void Transfo(const G3_TRANSFO& t);

  // Frames equal (nine values) and sides exactly equal.
  C_BOOL operator==(const G3_OBBOX& b) const {
    return frame_ == b.frame_ && dx_ == b.dx_ && dy_ == b.dy_ && dz_ == b.dz_;
  }
  C_BOOL operator!=(const G3_OBBOX& b) const { return !(*this == b); }
  // Every side at least the other's.
  C_BOOL operator>(const G3_OBBOX& b) const { return dx_ >= b.dx_ && dy_ >= b.dy_ && dz_ >= b.dz_; }

  // The point's local coordinates lie within the half sides (bounds included).
  C_BOOL IsIn(const G3_POINT& p) const;
  // Not provided: leaves CerrInternalError pending and answers false.
  C_BOOL IsIn(const G3_OBBOX& b) const;
  // True when the whole box lies on the side (p - o).n >= 0, false when it
  // lies wholly on the other side, unknown when the plane cuts it.
  C_LOG IsInHalfSpace(const G3_POINT& o, const G3_VECTOR1& n) const;
  // Separating-axis tests without tolerance: boxes that only touch do not
  // clash.
  C_BOOL Clash(const G3_OBBOX& b) const;
  C_BOOL Clash(const G3_BOX& b) const;
  // Without p (null or left out) the whole line counts and a grazing line
  // misses; with p only the half-line ahead of the axis point does, and p gets
  // its first point in the box (the exit point when the axis point is inside).
  C_BOOL Intersect(const G3_AXIS& ax, G3_POINT* p = nullptr) const;

  // The frame (a point record and three vector records), then the three sides.
  void Save(C_FILE* file) const;
  void Load(int version, C_FILE* file);

 private:
  void FromPoints(const G3_POINTS& pts);
  // Centre of b, axes X, Y, Z reordered by decreasing size.
  void SetAligned(const G3_BOX& b);

  G3_FRAME frame_;
  double dx_ = 0, dy_ = 0, dz_ = 0;
};

#endif
