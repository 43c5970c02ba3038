#ifndef G3GEOM_ALGEBRA_G3_POINT_H
#define G3GEOM_ALGEBRA_G3_POINT_H

#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/c_string.h"
#include "runtime/g_export.h"

class G3_VECTOR;
class G3_VECTOR1;
class G3_AXIS;
class G3_PLANE;
class G3_BOX;
class G3_RECT;
class G3_TRANSFO;

// A position in space. Plain value: copying copies the three coordinates.
// operator==, < and > are exact and lexicographic (for sorting and searching
// lists); geometric coincidence is asked with IsOn and a named tolerance.
class G_API G3_POINT {
 public:
  constexpr G3_POINT() = default;
  constexpr G3_POINT(double x, double y, double z) : x_(x), y_(y), z_(z) {}
  // p + v.
  G3_POINT(const G3_POINT& p, const G3_VECTOR& v);
  // Parsed from text: "x y z" (blanks, commas or semicolons between the
  // numbers); a separator run ending in ';' introduces an angle, giving the
  // cylindrical form "r;a z" or the longitude/latitude form "r;lo;la".
  // Malformed text leaves an error pending and the origin.
  G3_POINT(const C_STRING& s);  // NOLINT: implicit by design
  constexpr G3_POINT(const G3_POINT&) = default;
  G3_POINT& operator=(const G3_POINT&) = default;

  double GetCx() const { return x_; }
  double GetCy() const { return y_; }
  double GetCz() const { return z_; }
  void SetCx(double v) { x_ = v; }
  void SetCy(double v) { y_ = v; }
  void SetCz(double v) { z_ = v; }
  // x for 0, y for 1, z for any other index.
  double GetCi(int i) const { return i == 0 ? x_ : (i == 1 ? y_ : z_); }
  // Sets x, y or z for 0, 1 or 2; any other index does nothing.
  void SetCi(int i, double v) {
    if (i == 0) x_ = v;
    else if (i == 1) y_ = v;
    else if (i == 2) z_ = v;
  }
  void SetCar(double x, double y, double z) {
    x_ = x;
    y_ = y;
    z_ = z;
  }
  void GetCar(double* x, double* y, double* z) const {
    *x = x_;
    *y = y_;
    *z = z_;
  }

  // Cylindrical (r, a, z), spherical (r, a, b with b from +z) and
  // longitude/latitude (r, lo, la with la from the xy plane) coordinates;
  // angles in degrees.
  void SetCyl(double r, double a, double z);
  void GetCyl(double* r, double* a, double* z) const;
  void SetSph(double r, double a, double b);
  void GetSph(double* r, double* a, double* b) const;
  void SetLoLa(double r, double lo, double la);
  void GetLoLa(double* r, double* lo, double* la) const;

  G3_POINT& operator+=(const G3_POINT& p) {
    x_ += p.x_;
    y_ += p.y_;
    z_ += p.z_;
    return *this;
  }
  G3_POINT& operator-=(const G3_POINT& p) {
    x_ -= p.x_;
    y_ -= p.y_;
    z_ -= p.z_;
    return *this;
  }
  G3_POINT& operator+=(const G3_VECTOR& v);
  G3_POINT& operator-=(const G3_VECTOR& v);

  // Exact comparisons; < and > are lexicographic on (x, y, z).
  C_BOOL operator==(const G3_POINT& p) const { return x_ == p.x_ && y_ == p.y_ && z_ == p.z_; }
  C_BOOL operator!=(const G3_POINT& p) const { return !(*this == p); }
  C_BOOL operator<(const G3_POINT& p) const {
    if (x_ != p.x_) return x_ < p.x_;
    if (y_ != p.y_) return y_ < p.y_;
    return z_ < p.z_;
  }
  C_BOOL operator>(const G3_POINT& p) const { return p < *this; }

  // |q - p|^2 < tol^2 (strict).
  C_BOOL IsOn(const G3_POINT& q, double tol) const;
  // |(p - O) ^ u|^2 < tol^2 (strict), O and u the axis's point and direction.
  C_BOOL IsOn(const G3_AXIS& ax, double tol) const;
  // Squared distance to the plane < tol^2 (strict).
  C_BOOL IsOn(const G3_PLANE& pl, double tol) const;
  // (p - o).n >= 0: a point on the boundary is inside.
  C_BOOL IsInHalfSpace(const G3_POINT& o, const G3_VECTOR1& n) const;
  // Bounds included. Defined with the boxes.
  C_BOOL IsIn(const G3_BOX& b) const;
  // Always false. Defined with the rectangles.
  C_BOOL IsIn(const G3_RECT& r) const;

  // (a, b, c) with p - o = a.u + b.v + c.w; the basis need not be orthogonal.
  // A singular basis leaves the solver's error pending and gives P0.
  G3_POINT GetCoo(const G3_POINT& o, const G3_VECTOR& u, const G3_VECTOR& v,
                  const G3_VECTOR& w) const;

  // Text stream: one line "P%.16g %.16g %.16g"; binary stream: 24 raw bytes.
  void Save(C_FILE* file) const;
  void Load(int version, C_FILE* file);

  // Applies t as a point. Defined with the transformations.
  void Transfo(const G3_TRANSFO& t);

  static const G3_POINT P0;

 private:
  double x_ = 0, y_ = 0, z_ = 0;
};

inline G3_POINT operator+(const G3_POINT& a, const G3_POINT& b) {
  return G3_POINT(a.GetCx() + b.GetCx(), a.GetCy() + b.GetCy(), a.GetCz() + b.GetCz());
}
// The difference of two points is a point.
inline G3_POINT operator-(const G3_POINT& a, const G3_POINT& b) {
  return G3_POINT(a.GetCx() - b.GetCx(), a.GetCy() - b.GetCy(), a.GetCz() - b.GetCz());
}
inline G3_POINT operator*(double k, const G3_POINT& p) {
  return G3_POINT(k * p.GetCx(), k * p.GetCy(), k * p.GetCz());
}
// No test of the divisor.
inline G3_POINT operator/(const G3_POINT& p, double k) {
  return G3_POINT(p.GetCx() / k, p.GetCy() / k, p.GetCz() / k);
}

// The vector type completes the point's mixed operations.
#include "algebra/g3_vector.h"

#endif
