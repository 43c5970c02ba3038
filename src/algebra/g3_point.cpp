#include "algebra/g3_point.h"

#include <cmath>

#include "algebra/g_coord_record.h"
#include "algebra/g3_axis.h"
#include "algebra/g3_plane.h"
#include "algebra/g3_vector.h"
#include "frame/g_errors.h"
#include "measures/g_dis2.h"
#include "runtime/c_error.h"
#include "runtime/c_math.h"
#include "runtime/t_solve.h"

const G3_POINT G3_POINT::P0(0, 0, 0);

namespace {

const char* const kPointFormat = "P%.16g %.16g %.16g\n";

C_BOOL IsPointSeparator(const C_CHAR& c) { return c == ' ' || c == ',' || c == ';'; }

// Skips the separator run that starts at i; *angle tells whether it ends in ';'.
int SkipPointSeparators(const C_STRING& s, int i, bool* angle) {
  const int n = s.GetNumber();
  while (i < n && IsPointSeparator(s.Get(i))) {
    *angle = s.Get(i) == ';';
    ++i;
  }
  return i;
}

}  // namespace

G3_POINT::G3_POINT(const C_STRING& s) {
  // The point stays at the origin until the whole text has been read.
  const int n = s.GetNumber();
  if (n == 0) return;
  int next = 0;
  const double a = s.ScanReal(0, &next);
  if (C_ERROR::Is()) return;
  if (next >= n || !IsPointSeparator(s.Get(next))) {
    GerrInvalidPointString.Trigger();
    return;
  }
  bool angle1 = false;
  const double b = s.ScanReal(SkipPointSeparators(s, next, &angle1), &next);
  if (C_ERROR::Is()) return;
  bool angle2 = false;
  if (next < n) {
    if (!IsPointSeparator(s.Get(next))) {
      GerrInvalidPointString.Trigger();
      return;
    }
    next = SkipPointSeparators(s, next, &angle2);
  }
  // A missing third number is 0 (a radius and an angle give a point of xy).
  double c = s.ScanReal(next, &next);
  if (C_ERROR::Is()) {
    C_ERROR::ClearPending();
    c = 0;
  }
  if (next < n) {
    CerrStringNotReal.Trigger();
    return;
  }
  if (!angle1) {
    SetCar(a, b, c);
  } else if (!angle2) {
    SetCyl(a, b, c);
  } else {
    SetLoLa(a, b, c);
  }
}

void G3_POINT::SetCyl(double r, double a, double z) {
  double s, c;
  CmathSinCos(a, &s, &c);
  x_ = r * c;
  y_ = r * s;
  z_ = z;
}

void G3_POINT::GetCyl(double* r, double* a, double* z) const {
  *r = std::sqrt(x_ * x_ + y_ * y_);
  *a = CmathAtan2(y_, x_);
  *z = z_;
}

void G3_POINT::SetSph(double r, double a, double b) {
  double sa, ca, sb, cb;
  CmathSinCos(a, &sa, &ca);
  CmathSinCos(b, &sb, &cb);
  x_ = r * sb * ca;
  y_ = r * sb * sa;
  z_ = r * cb;
}

void G3_POINT::GetSph(double* r, double* a, double* b) const {
  *r = std::sqrt(x_ * x_ + y_ * y_ + z_ * z_);
  *a = CmathAtan2(y_, x_);
  *b = CmathAcos(z_ / *r);
}

void G3_POINT::SetLoLa(double r, double lo, double la) {
  double so, co, sa, ca;
  CmathSinCos(lo, &so, &co);
  CmathSinCos(la, &sa, &ca);
  x_ = r * ca * co;
  y_ = r * ca * so;
  z_ = r * sa;
}

void G3_POINT::GetLoLa(double* r, double* lo, double* la) const {
  *r = std::sqrt(x_ * x_ + y_ * y_ + z_ * z_);
  *lo = CmathAtan2(y_, x_);
  *la = CmathAsin(z_ / *r);
}

C_BOOL G3_POINT::IsOn(const G3_POINT& q, double tol) const {
  return G3_VECTOR(*this, q).GetNorm2() < tol * tol;
}

C_BOOL G3_POINT::IsOn(const G3_AXIS& ax, double tol) const {
  return (G3_VECTOR(ax.GetPo(), *this) ^ ax.GetVx()).GetNorm2() < tol * tol;
}

C_BOOL G3_POINT::IsOn(const G3_PLANE& pl, double tol) const {
  return double(G_DIS2(*this, pl)) < tol * tol;
}

C_BOOL G3_POINT::IsInHalfSpace(const G3_POINT& o, const G3_VECTOR1& n) const {
  return G3_VECTOR(o, *this) * n >= 0;
}

G3_POINT G3_POINT::GetCoo(const G3_POINT& o, const G3_VECTOR& u, const G3_VECTOR& v,
                          const G3_VECTOR& w) const {
  // Columns u, v, w.
  const double m[9] = {u.GetCx(), v.GetCx(), w.GetCx(),  //
                       u.GetCy(), v.GetCy(), w.GetCy(),  //
                       u.GetCz(), v.GetCz(), w.GetCz()};
  const double r[3] = {x_ - o.x_, y_ - o.y_, z_ - o.z_};
  double c[3] = {0, 0, 0};
  Tsolve(m, r, c);
  if (C_ERROR::Is()) return P0;
  return G3_POINT(c[0], c[1], c[2]);
}

void G3_POINT::Save(C_FILE* file) const {
  static const C_STRING format(kPointFormat);
  const double c[3] = {x_, y_, z_};
  GsaveCoords(file, format, c, 3);
}

void G3_POINT::Load(int /*version*/, C_FILE* file) {
  // The value changes only when the whole record was read.
  double c[3];
  if (!GloadCoords(file, 'P', &GerrInvalidFilePointExpected, nullptr, c, 3)) return;
  SetCar(c[0], c[1], c[2]);
}
