#ifndef G3GEOM_ALGEBRA_G3_POINTS_H
#define G3GEOM_ALGEBRA_G3_POINTS_H

#include "algebra/g3_point.h"
#include "containers/t_list.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"

class G3_AXIS;
class G3_PLANE;
class G3_BOX;
class G3_PRISM;
class G3_TRANSFO;

// An ordered list of points with a few geometric operations; it adds no
// member to the list.
class G_API G3_POINTS : public T_LIST<G3_POINT> {
 public:
  G3_POINTS() = default;
  // Empty, with room for n points.
  explicit G3_POINTS(int n) : T_LIST<G3_POINT>(n) {}
  G3_POINTS(const G3_POINTS&) = default;
  G3_POINTS& operator=(const G3_POINTS&) = default;

  // The box of the points. Defined with the boxes.
  G3_BOX GetBox() const;
  // Point i becomes point i + v (the list's index check applies).
  void Move(int i, const G3_VECTOR& v);
  // Applies t to every point, from the last down to the first. Defined with
  // the transformations.
  void Transfo(const G3_TRANSFO& t);
  // The same for the points the prism contains only. Defined with the prisms.
  void Transfo(const G3_TRANSFO& t, const G3_PRISM* prism);

  // Index of the nearest point (squared distances; among equally near points
  // the lowest index wins); -1 for an empty list.
  int SearchNearest(const G3_POINT& q) const;
  int SearchNearest(const G3_AXIS& ax) const;
  int SearchNearest(const G3_PLANE& pl) const;
  // Index of the first point p with |p - q|^2 < tol^2 (strict), or -1.
  int SearchWithTol(const G3_POINT& q, double tol) const;
  // Same count and, index by index, squared distances < G_DIS2::Min (strict).
  C_BOOL IsOn(const G3_POINTS& other) const;

  // The count, each point record, then the sorted flag.
  void Save(C_FILE* file) const;
  void Load(int version, C_FILE* file);
};

#endif
