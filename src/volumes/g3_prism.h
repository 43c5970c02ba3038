#ifndef G3GEOM_VOLUMES_G3_PRISM_H
#define G3GEOM_VOLUMES_G3_PRISM_H

#include "algebra/g3_plane.h"
#include "runtime/c_bool.h"
#include "runtime/g_export.h"

class G3_BOX;
class G3_POINT;
class G3_TRANSFO;

// A region of space attached to a plane. Subclasses define the region by the
// point test; the base derives from it the test of a whole box.
class G_API G3_PRISM {
 public:
  G3_PRISM() = default;
  explicit G3_PRISM(const G3_PLANE& pl) : plane_(pl) {}
  G3_PRISM(const G3_PRISM&) = default;
  G3_PRISM& operator=(const G3_PRISM&) = default;
  virtual ~G3_PRISM() = default;

  // A heap copy owned by the caller. The base leaves the error "Clone()"
  // pending and gives null.
  virtual G3_PRISM* Clone() const;
  // True when the eight corners of the box pass the point test. False at once
  // when an error is already pending.
  virtual C_BOOL Contains(const G3_BOX& box) const;
  virtual C_BOOL Contains(const G3_POINT& p) const = 0;

  const G3_PLANE& GetPlane() const { return plane_; }
  void SetPlane(const G3_PLANE& pl) { plane_ = pl; }
  void Transfo(const G3_TRANSFO& t);
  G3_PRISM* CloneSame() const { return Clone(); }
  // The order of the two planes.
  int operator>(const G3_PRISM& p) const { return int(plane_ > p.plane_); }

 private:
  G3_PLANE plane_;
};

#endif
