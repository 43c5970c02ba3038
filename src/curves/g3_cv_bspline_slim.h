#ifndef G3GEOM_CURVES_G3_CV_BSPLINE_SLIM_H
#define G3GEOM_CURVES_G3_CV_BSPLINE_SLIM_H

#include "algebra/g3_point.h"
#include "algebra/g3_points.h"
#include "algebra/g3_vector.h"
#include "containers/t_list.h"
#include "curves/g_bspline.h"
#include "runtime/c_bool.h"
#include "runtime/g_export.h"

// A light B-spline curve that evaluates itself: a basis, one control point per
// function, optional weights (rational when present) and parameter limits.
// Not a G3_CV: no tokens, no persistence.
class G_API G3_CV_BSPLINE_SLIM {
 public:
  // Default basis, no points, no weights, the full range as limits.
  G3_CV_BSPLINE_SLIM();
  G3_CV_BSPLINE_SLIM(const G3_CV_BSPLINE_SLIM&) = default;
  G3_CV_BSPLINE_SLIM& operator=(const G3_CV_BSPLINE_SLIM&) = default;
  ~G3_CV_BSPLINE_SLIM() = default;

  C_BOOL IsPeriodic() const { return bs_.IsPeriodic(); }
  C_BOOL IsRational() const { return wts_.GetNumber() > 0; }

  // (-1e100, 1e100).
  void GetFullRange(double* lo, double* hi) const;
  void SetRangeFull();
  void GetLimits(double* lo, double* hi) const {
    *lo = lo_;
    *hi = hi_;
  }

  const G_BSPLINE& GetBs() const { return bs_; }
  void SetBs(const G_BSPLINE& bs) { bs_ = bs; }
  int GetDegree() const { return bs_.GetDegree(); }
  int GetNumberOfKnots() const { return bs_.GetNumberOfKnots(); }
  // Knot i; a bad index raises the list's invalid-index error.
  double GetKnot(int i) const { return bs_.GetKnot(i); }
  const G3_POINTS& GetCPts() const { return pts_; }
  void SetCPts(const G3_POINTS& pts) { pts_ = pts; }
  int GetNumberOfCPts() const { return pts_.GetNumber(); }
  // Control point i; a bad index raises the list's invalid-index error.
  const G3_POINT& GetCPt(int i) const { return pts_.Get(i); }
  const T_LIST<double>& GetCWts() const { return wts_; }
  void SetCWts(const T_LIST<double>& wts) { wts_ = wts; }
  // 1 for a polynomial curve, whatever i; else weight i, index checked.
  double GetCWt(int i) const { return wts_.GetNumber() == 0 ? 1.0 : wts_.Get(i); }

  // Position at u; function first + j pairs with control point
  // (first + j) modulo the number of functions. The origin on failure.
  G3_POINT GetPosit(double u) const;

  // Replaces the curve by the cubic through pts with end tangents t0 and t1
  // (a tangent exactly zero asks for a natural end). step 0 gives
  // chord-length knots, a positive step knots step apart.
  void Interpol(const G3_VECTOR& t0, const G3_POINTS& pts, const G3_VECTOR& t1, double step);

 private:
  G_BSPLINE bs_;
  G3_POINTS pts_;
  T_LIST<double> wts_;
  double lo_ = -1e100;
  double hi_ = 1e100;
};

#endif
