#ifndef G3GEOM_ALGEBRA_G2_WPOINTS_H
#define G3GEOM_ALGEBRA_G2_WPOINTS_H

#include "algebra/g2_wpoint.h"
#include "containers/t_list.h"
#include "runtime/g_export.h"

// An ordered list of weighted plane points.
class G_API G2_WPOINTS : public T_LIST<G2_WPOINT> {
 public:
  G2_WPOINTS() = default;
  // Empty, with room for n points.
  explicit G2_WPOINTS(int n) : T_LIST<G2_WPOINT>(n) {}
  G2_WPOINTS(const G2_WPOINTS&) = default;
  G2_WPOINTS& operator=(const G2_WPOINTS&) = default;
};

#endif
