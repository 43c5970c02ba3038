#ifndef G3GEOM_ALGEBRA_G2_WPOINT_H
#define G3GEOM_ALGEBRA_G2_WPOINT_H

#include "runtime/c_bool.h"
#include "runtime/g_export.h"

// A plane point with a weight, as rational curves use them.
class G_API G2_WPOINT {
 public:
  constexpr G2_WPOINT() = default;
  constexpr G2_WPOINT(double x, double y, double w) : x_(x), y_(y), w_(w) {}

  double GetCx() const { return x_; }
  double GetCy() const { return y_; }
  double GetWt() const { return w_; }
  // x for 0, y for any other index; the weight only through GetWt.
  double GetCi(int i) const { return i == 0 ? x_ : y_; }

  // Exact on the three values.
  C_BOOL operator==(const G2_WPOINT& p) const { return x_ == p.x_ && y_ == p.y_ && w_ == p.w_; }
  C_BOOL operator!=(const G2_WPOINT& p) const { return !(*this == p); }
  // Weighted points have no order: always false.
  C_BOOL operator>(const G2_WPOINT&) const { return false; }

 private:
  double x_ = 0, y_ = 0, w_ = 1;
};

#endif
