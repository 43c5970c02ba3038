#ifndef G3GEOM_CURVES_G_BSPLINE_H
#define G3GEOM_CURVES_G_BSPLINE_H

#include "containers/t_list.h"
#include "runtime/c_bool.h"
#include "runtime/c_error.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"

// A dimension-free B-spline basis: a degree p, an ascending knot vector
// t[0] ... t[n-1] and a periodic flag.
//
// Non-periodic: n - p - 1 functions on the range [t[p], t[n-p-1]].
// Periodic: the vector holds one period with both ends (t[n-1] stands for
// t[0]); n - 1 functions on [t[0], t[n-1]]; the vector extends without end by
// the period P = t[n-1] - t[0] (GetUnwrapped).
//
// Evaluation allocates nothing: every work row is a fixed array sized for
// the largest degree, MaxDegree.
class G_API G_BSPLINE {
 public:
  enum KTYPE { UNIFORM = 0, CLAMPED = 1, BEZIER = 2 };
  enum { MaxDegree = 30 };

  // Relative knot accuracy: GetAcc() is KnotSep times the largest end knot.
  static double KnotSep;

  G_BSPLINE();
  // Copies the knots, then sorts them (a bad degree leaves them unsorted).
  G_BSPLINE(C_BOOL periodic, int degree, const T_LIST<double>& knots);
  // The clamped uniform vector (non-periodic) or the uniform period.
  G_BSPLINE(C_BOOL periodic, int degree, int nfuncs);
  G_BSPLINE(C_BOOL periodic, int degree, KTYPE type, int nfuncs);
  G_BSPLINE(const G_BSPLINE&) = default;
  G_BSPLINE& operator=(const G_BSPLINE&) = default;

  int GetDegree() const { return degree_; }
  void SetDegree(int degree) { degree_ = degree; }
  C_BOOL IsPeriodic() const { return periodic_; }
  void SetPeriodic(C_BOOL periodic) { periodic_ = periodic; }
  // Assigns the list as it is: no sort, no check.
  void SetKnots(const T_LIST<double>& knots) { knots_ = knots; }
  const T_LIST<double>& GetKnots() const { return knots_; }
  int GetNumberOfKnots() const { return knots_.GetNumber(); }
  // Knot i of the list; a bad index raises the list's invalid-index error
  // and gives 0.
  double GetKnot(int i) const { return knots_.Get(i); }
  int GetNumberOfFuncs() const;

  void GetRange(double* a, double* b) const;
  double GetSpan() const;
  // Knot i of the vector extended by the period (periodic basis); knot i of
  // the list otherwise.
  double GetUnwrapped(int i) const;
  // The parameter u brought into [a, b) by whole periods b - a; u itself
  // when b <= a.
  static double WrapParam(double a, double b, double u);

  // Evaluation. u is a parameter; the first non-zero function's index is
  // returned, 0 with an error pending on failure.
  int FindInterval(double u) const;
  int GetFirstNZ(double u) const;
  int GetFirstNZ(int s) const;
  // values[0 ... p] receive the p + 1 non-zero function values at u.
  int GetValuesNZ(double u, double* values) const;
  // ders[k][j], k = 0 ... nd, j = 0 ... p: k-th derivative of the j-th
  // non-zero function at u. nd is at most MaxDegree.
  int GetDerivsNZ(int nd, double u, double** ders) const;
  // The same into a table double ders[nd + 1][N], N at least p + 1.
  template <int N>
  int GetDerivsNZ(int nd, double u, double (*ders)[N]) const {
    if (nd < 0 || nd > MaxDegree) {
      CerrInvalidValue.Trigger();
      return 0;
    }
    double* rows[MaxDegree + 1];
    for (int k = 0; k <= nd; ++k) rows[k] = ders[k];
    return GetDerivsNZ(nd, u, rows);
  }
  // Function j at u; 0 at the end knots of its support (open support).
  double GetValue(int j, double u) const;
  void GetInfluenceRange(int j, int* k0, int* k1, C_BOOL* split, int* k2, int* k3) const;
  void GetInfluenceRange(int j, double* u0, double* u1, C_BOOL* split, double* u2,
                         double* u3) const;
  void GetInfluencedCtlPts(double u, T_LIST<int>* indices) const;

  // Knot vector queries (g_bspline_knots.cpp).
  double GetAcc() const;
  int GetMulti(int i) const;
  void FindMultiKnots(int m, T_LIST<int>* out) const;
  C_BOOL IsUniform() const;
  C_BOOL IsClamped() const;
  C_BOOL IsQuasiUniform() const;
  C_BOOL IsBezier() const;
  C_BOOL IsClean() const;
  C_BOOL IsWrappable() const;
  void Clean(double* u) const;
  int GetNear(double u) const;
  double NextEndArc(double u, double uMax) const;
  double PrevBegArc(double u, double from) const;
  void GetLimitParamArc(double u, double* beg, double* end, double lo, double hi) const;

  // Knot vector edits (g_bspline_knots.cpp).
  void SetRange(double a, double b);
  void Negate();
  void Wrap();
  void Unwrap();

  // Knot list record (count, knots, sorted flag), periodic flag, degree.
  void Load(int version, C_FILE* file);
  void Save(C_FILE* file) const;

 private:
  // Checks what evaluation needs (knots, degree, number of functions);
  // false with an error pending otherwise.
  C_BOOL CheckEval() const;
  // Interval of u and the window of the 2p knots around it.
  int EvalWindow(double u, double* buffer, const double** T) const;
  void MakeKnots(int degree, KTYPE type, int nfuncs);

  T_LIST<double> knots_;
  C_BOOL periodic_;
  int degree_ = 0;
};

#endif
