#ifndef G3GEOM_CURVES_G3_CV_BSPLINE_H
#define G3GEOM_CURVES_G3_CV_BSPLINE_H

#include "algebra/g3_point.h"
#include "algebra/g3_points.h"
#include "containers/t_list.h"
#include "curves/g3_cv.h"
#include "curves/g_bspline.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/c_string.h"
#include "runtime/g_export.h"

// Settings of a Newton iteration kept for the host; the library neither
// reads nor writes them. Plain record, copied member by member.
struct G_API NewtonMethodStruct {
  int maxIter;
  double tolerance;
  double maxStep;
  double damping;
};

// The free-form curve: a basis, one control point per basis function and,
// for a rational curve, one weight per control point. It holds, edits and
// persists its data; it evaluates nothing itself. The numbers of control
// points, weights and functions are the caller's to keep in agreement.
class G_API G3_CV_BSPLINE : public G3_CV {
 public:
  // The record type of NewtonVars, also known by the class's name.
  using NewtonMethodStruct = ::NewtonMethodStruct;

  static const C_STRING CLASS;       // "G3_CV_BSPLINE"
  static const C_STRING CLASS_NAME;  // "#b-spline curve"
  // Sketching tolerance for the host (1e-5 at start).
  static double TolForSketch;
  // Zero-filled at load.
  static NewtonMethodStruct NewtonVars;

  G3_CV_BSPLINE();
  // The span is the range of the basis.
  G3_CV_BSPLINE(const G_BSPLINE& bs, const G3_POINTS& pts);
  G3_CV_BSPLINE(const G_BSPLINE& bs, const G3_POINTS& pts, const T_LIST<double>& wts);
  G3_CV_BSPLINE(const G3_CV_BSPLINE& other);
  G3_CV_BSPLINE& operator=(const G3_CV_BSPLINE& other);
  ~G3_CV_BSPLINE() override;

  const C_STRING& GetClass() const override;
  const C_STRING& GetClassName() const override;
  G3_CV* Clone() const override;
  G3_CV_BSPLINE* CloneSame() const;
  static G3_CV* GenerateDefault();
  C_BOOL IsBspline() const { return 1; }

  static double GetTolForSketch() { return TolForSketch; }
  static void SetTolForSketch(double tol) { TolForSketch = tol; }

  // Basis. The setters leave the parameter span as it is.
  const G_BSPLINE& GetBs() const { return bs_; }
  void SetBs(const G_BSPLINE& bs) { bs_ = bs; }
  int GetDegree() const { return bs_.GetDegree(); }
  void SetDegree(int degree) { bs_.SetDegree(degree); }
  // Knot i; a bad index raises the list's invalid-index error.
  double GetKnot(int i) const;
  int GetNumberOfKnots() const { return bs_.GetNumberOfKnots(); }
  // Copies the list and sorts it ascending.
  void SetKnots(const T_LIST<double>& knots);

  // Control points.
  const G3_POINTS& GetCPts() const { return pts_; }
  void SetCPts(const G3_POINTS& pts) { pts_ = pts; }
  int GetNumberOfCPts() const { return pts_.GetNumber(); }
  const G3_POINT& GetCPt(int i) const { return pts_.Get(i); }
  void SetCPt(int i, const G3_POINT& p) { pts_.Replace(i, p); }

  // Weights: an empty list makes the curve polynomial.
  const T_LIST<double>& GetCWts() const { return wts_; }
  void SetCWts(const T_LIST<double>& wts) { wts_ = wts; }
  void ClearCWts() { wts_.Clear(); }
  void SetCWt(int i, double w) { wts_.Replace(i, w); }
  // 1 for a polynomial curve, whatever i.
  double GetCWt(int i) const;
  C_BOOL IsRational() const { return wts_.GetNumber() > 0; }

  // Base record, basis, control point list, weight list.
  void Load(int version, C_FILE* file) override;
  void Save(C_FILE* file) const override;

 private:
  G_BSPLINE bs_;
  G3_POINTS pts_;
  T_LIST<double> wts_;
};

#endif
