#ifndef G3GEOM_ALGEBRA_G2_POINTS_H
#define G3GEOM_ALGEBRA_G2_POINTS_H

#include "algebra/g2_point.h"
#include "containers/t_list.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"

class G2_BOX;

// An ordered list of plane points.
class G_API G2_POINTS : public T_LIST<G2_POINT> {
 public:
  G2_POINTS() = default;
  // Empty, with room for n points.
  explicit G2_POINTS(int n) : T_LIST<G2_POINT>(n) {}
  G2_POINTS(const G2_POINTS&) = default;
  G2_POINTS& operator=(const G2_POINTS&) = default;

  // The box of the points. Defined with the boxes.
  G2_BOX GetBox() const;
  // Point i becomes point i + v (the list's index check applies).
  void Move(int i, const G2_VECTOR& v);

  // The count, then each point record; no sorted flag follows.
  void Save(C_FILE* file) const;
  // Appends the records read, stopping at the first that fails.
  void Load(int version, C_FILE* file);
};

#endif
