#ifndef G3GEOM_ALGEBRA_G3_VECTOR_H
#define G3GEOM_ALGEBRA_G3_VECTOR_H

#include <cmath>

#include "algebra/g3_point.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/c_string.h"
#include "runtime/g_export.h"

class G3_PLANE;
class G3_TRANSFO;

// A free vector of space. Plain value, no invariant.
class G_API G3_VECTOR {
 public:
  constexpr G3_VECTOR() = default;
  constexpr G3_VECTOR(double x, double y, double z) : x_(x), y_(y), z_(z) {}
  // b - a.
  G3_VECTOR(const G3_POINT& a, const G3_POINT& b)
      : x_(b.GetCx() - a.GetCx()), y_(b.GetCy() - a.GetCy()), z_(b.GetCz() - a.GetCz()) {}
  // Parsed from text: "x y z" with blanks or commas between the numbers; a
  // missing z is 0. Malformed text leaves an error pending and (0, 0, 0).
  G3_VECTOR(const C_STRING& s);  // NOLINT: implicit by design
  constexpr G3_VECTOR(const G3_VECTOR&) = default;
  G3_VECTOR& operator=(const G3_VECTOR&) = default;

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

  G3_VECTOR& operator+=(const G3_VECTOR& v) {
    x_ += v.x_;
    y_ += v.y_;
    z_ += v.z_;
    return *this;
  }
  G3_VECTOR& operator-=(const G3_VECTOR& v) {
    x_ -= v.x_;
    y_ -= v.y_;
    z_ -= v.z_;
    return *this;
  }
  G3_VECTOR& operator*=(double k) {
    x_ *= k;
    y_ *= k;
    z_ *= k;
    return *this;
  }
  // No test of the divisor.
  G3_VECTOR& operator/=(double k) {
    x_ /= k;
    y_ /= k;
    z_ /= k;
    return *this;
  }
  void Invert() {
    x_ = -x_;
    y_ = -y_;
    z_ = -z_;
  }
  double GetNorm() const { return std::sqrt(GetNorm2()); }
  double GetNorm2() const { return x_ * x_ + y_ * y_ + z_ * z_; }
  // Normalises in place and gives the norm found (norm may be null). A vector
  // whose squared norm is within 1e-12 of 1 is left as it is (norm 1); one
  // within 1e-8 takes a second-order norm without square root. The null
  // vector leaves GerrNullVector pending, the vector unchanged and norm 0.
  void Unit(double* norm = nullptr);

  // All three components exactly 0.
  C_BOOL Is0() const { return x_ == 0 && y_ == 0 && z_ == 0; }
  // |v|^2 < tol^2 (strict).
  C_BOOL IsNull(double tol) const { return GetNorm2() < tol * tol; }
  // Parallel: |a ^ v|^2 <= tol.|a|^2.|v|^2 (tol a squared sine); with
  // sameSense also a.v > 0.
  C_BOOL IsOn(const G3_VECTOR& v, C_BOOL sameSense, double tol) const;
  // Lies in the plane's direction: (a.n)^2 <= G_ANG::MinSin2.|a|^2.|n|^2.
  C_BOOL IsOn(const G3_PLANE& pl) const;
  // (a.v)^2 <= tol.|a|^2.|v|^2 (tol a squared cosine).
  C_BOOL IsOrthoTo(const G3_VECTOR& v, double tol) const;

  // Exact.
  C_BOOL operator==(const G3_VECTOR& v) const { return x_ == v.x_ && y_ == v.y_ && z_ == v.z_; }
  C_BOOL operator!=(const G3_VECTOR& v) const { return !(*this == v); }

  // Text stream: one line "V%.16g %.16g %.16g"; binary stream: 24 raw bytes.
  void Save(C_FILE* file) const;
  void Load(int version, C_FILE* file);

  // Applies t as a vector. Defined with the transformations.
  void Transfo(const G3_TRANSFO& t);

  static const G3_VECTOR V0;

 private:
  double x_ = 0, y_ = 0, z_ = 0;
};

// A vector of unit length, for directions and normals. Every constructor
// leaves it unit: normalising a null vector gives (1, 0, 0) and leaves
// GerrNullVector pending. The inherited setters and arithmetic stay open and
// do not renormalise: whoever changes the components keeps the length.
class G_API G3_VECTOR1 : public G3_VECTOR {
 public:
  constexpr G3_VECTOR1() : G3_VECTOR(1, 0, 0) {}
  G3_VECTOR1(double x, double y, double z);
  // (b - a) normalised.
  G3_VECTOR1(const G3_POINT& a, const G3_POINT& b);
  // v normalised.
  G3_VECTOR1(const G3_VECTOR& v);  // NOLINT: implicit by design
  constexpr G3_VECTOR1(const G3_VECTOR1&) = default;
  G3_VECTOR1& operator=(const G3_VECTOR1&) = default;

  // A plain vector argument takes the G3_VECTOR forms, without being
  // normalised first.
  using G3_VECTOR::IsOn;
  using G3_VECTOR::IsOrthoTo;
  using G3_VECTOR::operator==;
  using G3_VECTOR::operator!=;

  // Exact comparisons; < and > are lexicographic on (x, y, z).
  C_BOOL operator==(const G3_VECTOR1& v) const { return G3_VECTOR::operator==(v); }
  C_BOOL operator!=(const G3_VECTOR1& v) const { return !(*this == v); }
  C_BOOL operator<(const G3_VECTOR1& v) const {
    if (GetCx() != v.GetCx()) return GetCx() < v.GetCx();
    if (GetCy() != v.GetCy()) return GetCy() < v.GetCy();
    return GetCz() < v.GetCz();
  }
  C_BOOL operator>(const G3_VECTOR1& v) const { return v < *this; }

  // Parallel: |a ^ v|^2 <= tol (unit length taken for granted); with
  // sameSense also a.v > 0.
  C_BOOL IsOn(const G3_VECTOR1& v, C_BOOL sameSense, double tol) const;
  // Lies in the plane's direction: |a.n| < G_ANG::MinSin (strict).
  C_BOOL IsOn(const G3_PLANE& pl) const;
  // (a.v)^2 < tol (strict).
  C_BOOL IsOrthoTo(const G3_VECTOR1& v, double tol) const;

  // Applies t as a direction (then normalised). Defined with the
  // transformations.
  void Transfo(const G3_TRANSFO& t);

  static const G3_VECTOR1 VX;
  static const G3_VECTOR1 VY;
  static const G3_VECTOR1 VZ;

 private:
  friend class G3_AXIS;
  friend class G3_PLANE;
  friend G3_VECTOR1 operator-(const G3_VECTOR1& v);
  struct Exact {};
  // Components known to be unit already (constants, negation).
  constexpr G3_VECTOR1(double x, double y, double z, Exact) : G3_VECTOR(x, y, z) {}

};

inline G3_POINT operator+(const G3_POINT& p, const G3_VECTOR& v) {
  return G3_POINT(p.GetCx() + v.GetCx(), p.GetCy() + v.GetCy(), p.GetCz() + v.GetCz());
}
inline G3_POINT operator-(const G3_POINT& p, const G3_VECTOR& v) {
  return G3_POINT(p.GetCx() - v.GetCx(), p.GetCy() - v.GetCy(), p.GetCz() - v.GetCz());
}
inline G3_VECTOR operator+(const G3_VECTOR& a, const G3_VECTOR& b) {
  return G3_VECTOR(a.GetCx() + b.GetCx(), a.GetCy() + b.GetCy(), a.GetCz() + b.GetCz());
}
inline G3_VECTOR operator-(const G3_VECTOR& a, const G3_VECTOR& b) {
  return G3_VECTOR(a.GetCx() - b.GetCx(), a.GetCy() - b.GetCy(), a.GetCz() - b.GetCz());
}
inline G3_VECTOR operator-(const G3_VECTOR& v) {
  return G3_VECTOR(-v.GetCx(), -v.GetCy(), -v.GetCz());
}
inline G3_VECTOR1 operator-(const G3_VECTOR1& v) {
  return G3_VECTOR1(-v.GetCx(), -v.GetCy(), -v.GetCz(), G3_VECTOR1::Exact());
}
// The scalar stands first; there is no vector * scalar form.
inline G3_VECTOR operator*(double k, const G3_VECTOR& v) {
  return G3_VECTOR(k * v.GetCx(), k * v.GetCy(), k * v.GetCz());
}
// No test of the divisor.
inline G3_VECTOR operator/(const G3_VECTOR& v, double k) {
  return G3_VECTOR(v.GetCx() / k, v.GetCy() / k, v.GetCz() / k);
}
// Dot product.
inline double operator*(const G3_VECTOR& a, const G3_VECTOR& b) {
  return a.GetCx() * b.GetCx() + a.GetCy() * b.GetCy() + a.GetCz() * b.GetCz();
}
// Cross product.
inline G3_VECTOR operator^(const G3_VECTOR& a, const G3_VECTOR& b) {
  return G3_VECTOR(a.GetCy() * b.GetCz() - a.GetCz() * b.GetCy(),
                   a.GetCz() * b.GetCx() - a.GetCx() * b.GetCz(),
                   a.GetCx() * b.GetCy() - a.GetCy() * b.GetCx());
}
// The vector from a to b.
inline G3_VECTOR operator>>(const G3_POINT& a, const G3_POINT& b) { return G3_VECTOR(a, b); }
// Strict lexicographic order on (x, y, z).
inline int operator>(const G3_VECTOR& a, const G3_VECTOR& b) {
  if (a.GetCx() != b.GetCx()) return a.GetCx() > b.GetCx();
  if (a.GetCy() != b.GetCy()) return a.GetCy() > b.GetCy();
  return a.GetCz() > b.GetCz();
}

inline G3_POINT::G3_POINT(const G3_POINT& p, const G3_VECTOR& v)
    : x_(p.x_ + v.GetCx()), y_(p.y_ + v.GetCy()), z_(p.z_ + v.GetCz()) {}
inline G3_POINT& G3_POINT::operator+=(const G3_VECTOR& v) {
  x_ += v.GetCx();
  y_ += v.GetCy();
  z_ += v.GetCz();
  return *this;
}
inline G3_POINT& G3_POINT::operator-=(const G3_VECTOR& v) {
  x_ -= v.GetCx();
  y_ -= v.GetCy();
  z_ -= v.GetCz();
  return *this;
}

#endif
