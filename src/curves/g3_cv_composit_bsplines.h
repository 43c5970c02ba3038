#ifndef G3GEOM_CURVES_G3_CV_COMPOSIT_BSPLINES_H
#define G3GEOM_CURVES_G3_CV_COMPOSIT_BSPLINES_H

#include "algebra/g3_point.h"
#include "algebra/g3_points.h"
#include "algebra/g3_vector.h"
#include "containers/t_list.h"
#include "curves/g3_cv_bspline_slim.h"
#include "runtime/c_bool.h"
#include "runtime/g_export.h"

// A chain of slim cubic B-splines through a point sequence, cut at sharp
// corners and at named parameters, evaluated by one global parameter.
// Segment k covers [b[k], b[k + 1]] of the break parameters b and is
// evaluated at u - b[k]. The chain owns its segments; a copy copies them.
class G_API G3_CV_COMPOSIT_BSPLINES {
 public:
  G3_CV_COMPOSIT_BSPLINES() { breaks_.SetSorted(1); }
  G3_CV_COMPOSIT_BSPLINES(const G3_CV_COMPOSIT_BSPLINES& other);
  G3_CV_COMPOSIT_BSPLINES& operator=(const G3_CV_COMPOSIT_BSPLINES& other);
  ~G3_CV_COMPOSIT_BSPLINES();

  int GetNumberOfSegments() const { return segs_.GetNumber(); }
  // Segment k, or null for a bad index (with the list's error pending).
  const G3_CV_BSPLINE_SLIM* GetSegment(int k) const { return segs_.Get(k); }
  const T_LIST<G3_CV_BSPLINE_SLIM*>& GetSegments() const { return segs_; }
  const T_LIST<double>& GetBreaks() const { return breaks_; }
  int GetNumberOfBreaks() const { return breaks_.GetNumber(); }
  // Break parameter i; a bad index raises the list's invalid-index error.
  double GetBreak(int i) const { return breaks_.Get(i); }
  double GetBreakAngle() const { return angle_; }
  int GetMinPts() const { return minPts_; }

  // Position at the global parameter u: the origin below the first break,
  // the end of the last segment at or beyond the last break.
  G3_POINT GetPosit(double u) const;

  // Cuts pts at corners whose angle is at most angle (degrees, 0 ... 180) and
  // at the parameters of breaks (may be null), each piece holding at least
  // minPts points, and appends one interpolating cubic per piece with knots
  // step apart (step > 0). estimate asks for end tangents estimated from the
  // points of each piece; t0 and t1, when not null, rule the ends of the
  // chain.
  void Interpol(const G3_VECTOR& t0, const G3_POINTS& pts, const G3_VECTOR& t1, double angle,
                double step, int minPts, C_BOOL estimate, T_LIST<double>* breaks);

 private:
  void Free();

  T_LIST<G3_CV_BSPLINE_SLIM*> segs_;
  T_LIST<double> breaks_;
  double angle_ = 0;
  int minPts_ = 0;
};

#endif
