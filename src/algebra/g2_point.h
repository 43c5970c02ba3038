#ifndef G3GEOM_ALGEBRA_G2_POINT_H
#define G3GEOM_ALGEBRA_G2_POINT_H

#include <cmath>

#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"

class G2_VECTOR;
class G2_AXIS;
class G2_BOX;

// A position in the plane. Plain value; == and > are exact (for lists),
// coincidence is asked with IsOn and a named tolerance.
class G_API G2_POINT {
 public:
  constexpr G2_POINT() = default;
  constexpr G2_POINT(double x, double y) : x_(x), y_(y) {}
  // p + v.
  G2_POINT(const G2_POINT& p, const G2_VECTOR& v);
  constexpr G2_POINT(const G2_POINT&) = default;
  G2_POINT& operator=(const G2_POINT&) = default;

  double GetCx() const { return x_; }
  double GetCy() const { return y_; }
  void SetCx(double v) { x_ = v; }
  void SetCy(double v) { y_ = v; }
  void SetCar(double x, double y) {
    x_ = x;
    y_ = y;
  }
  // x for 0, y for any other index.
  double GetCi(int i) const { return i == 0 ? x_ : y_; }
  // Sets x for 0, y for 1; any other index does nothing.
  void SetCi(int i, double v) {
    if (i == 0) x_ = v;
    else if (i == 1) y_ = v;
  }
  // Distance and squared distance from the origin.
  double GetNorm() const { return std::sqrt(GetNorm2()); }
  double GetNorm2() const { return x_ * x_ + y_ * y_; }

  G2_POINT& operator+=(const G2_VECTOR& v);
  G2_POINT& operator-=(const G2_VECTOR& v);

  // Exact.
  C_BOOL operator==(const G2_POINT& p) const { return x_ == p.x_ && y_ == p.y_; }
  C_BOOL operator!=(const G2_POINT& p) const { return !(*this == p); }

  // |q - p|^2 < tol^2 (strict).
  C_BOOL IsOn(const G2_POINT& q, double tol) const;
  // ((p - Po) ^ Vx)^2 < tol^2 (strict).
  C_BOOL IsOn(const G2_AXIS& ax, double tol) const;
  // Bounds included. Defined with the boxes.
  C_BOOL IsIn(const G2_BOX& b) const;
  // (a, b) with p - o = a.u + b.v; a singular basis leaves the solver's error
  // pending and gives P0.
  G2_POINT GetCoo(const G2_POINT& o, const G2_VECTOR& u, const G2_VECTOR& v) const;

  // Text stream: one line "P%.16g %.16g"; binary stream: 16 raw bytes.
  void Save(C_FILE* file) const;
  void Load(int version, C_FILE* file);

  static const G2_POINT P0;

 private:
  double x_ = 0, y_ = 0;
};

// Strict lexicographic order on (x, y).
inline int operator>(const G2_POINT& a, const G2_POINT& b) {
  if (a.GetCx() != b.GetCx()) return a.GetCx() > b.GetCx();
  return a.GetCy() > b.GetCy();
}
inline G2_POINT operator+(const G2_POINT& a, const G2_POINT& b) {
  return G2_POINT(a.GetCx() + b.GetCx(), a.GetCy() + b.GetCy());
}
// The difference of two points is a point.
inline G2_POINT operator-(const G2_POINT& a, const G2_POINT& b) {
  return G2_POINT(a.GetCx() - b.GetCx(), a.GetCy() - b.GetCy());
}
inline G2_POINT operator*(double k, const G2_POINT& p) {
  return G2_POINT(k * p.GetCx(), k * p.GetCy());
}
// No test of the divisor.
inline G2_POINT operator/(const G2_POINT& p, double k) {
  return G2_POINT(p.GetCx() / k, p.GetCy() / k);
}

// The vector type completes the point's mixed operations.
#include "algebra/g2_vector.h"

#endif
