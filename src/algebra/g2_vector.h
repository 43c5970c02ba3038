#ifndef G3GEOM_ALGEBRA_G2_VECTOR_H
#define G3GEOM_ALGEBRA_G2_VECTOR_H

#include <cmath>

#include "algebra/g2_point.h"
#include "measures/g_ang.h"
#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"

// A free vector of the plane. Plain value, no invariant.
class G_API G2_VECTOR {
 public:
  constexpr G2_VECTOR() = default;
  constexpr G2_VECTOR(double x, double y) : x_(x), y_(y) {}
  // b - a.
  G2_VECTOR(const G2_POINT& a, const G2_POINT& b)
      : x_(b.GetCx() - a.GetCx()), y_(b.GetCy() - a.GetCy()) {}
  constexpr G2_VECTOR(const G2_VECTOR&) = default;
  G2_VECTOR& operator=(const G2_VECTOR&) = default;

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

  G2_VECTOR& operator+=(const G2_VECTOR& v) {
    x_ += v.x_;
    y_ += v.y_;
    return *this;
  }
  G2_VECTOR& operator-=(const G2_VECTOR& v) {
    x_ -= v.x_;
    y_ -= v.y_;
    return *this;
  }
  G2_VECTOR& operator*=(double k) {
    x_ *= k;
    y_ *= k;
    return *this;
  }
  // No test of the divisor.
  G2_VECTOR& operator/=(double k) {
    x_ /= k;
    y_ /= k;
    return *this;
  }
  void Invert() {
    x_ = -x_;
    y_ = -y_;
  }
  double GetNorm() const { return std::sqrt(GetNorm2()); }
  double GetNorm2() const { return x_ * x_ + y_ * y_; }
  // Normalises in place and gives the norm (norm may be null). A squared norm
  // within 1e-12 of 1 is left as it is (norm 1). The null vector leaves
  // GerrNullVector pending, the vector unchanged and norm 0.
  void Unit(double* norm = nullptr);
  // Turns the vector by a degrees.
  void Rotate(G_ANG a);

  // Both components exactly 0.
  C_BOOL Is0() const { return x_ == 0 && y_ == 0; }
  // Exact.
  C_BOOL operator==(const G2_VECTOR& v) const { return x_ == v.x_ && y_ == v.y_; }
  C_BOOL operator!=(const G2_VECTOR& v) const { return !(*this == v); }
  // Parallel in either sense: (a ^ v)^2 <= G_ANG::MinSin2.|a|^2.|v|^2.
  C_BOOL IsOn(const G2_VECTOR& v) const;
  // (a.v)^2 <= G_ANG::MinSin2.|a|^2.|v|^2.
  C_BOOL IsOrthoTo(const G2_VECTOR& v) const;

  // Text stream: one line "V%.16g %.16g"; binary stream: 16 raw bytes.
  void Save(C_FILE* file) const;
  void Load(int version, C_FILE* file);

  static const G2_VECTOR V0;

 private:
  double x_ = 0, y_ = 0;
};

// A vector of unit length. Every constructor leaves it unit: normalising a
// null vector gives (1, 0) and leaves GerrNullVector pending. The inherited
// setters and arithmetic stay open and do not renormalise.
class G_API G2_VECTOR1 : public G2_VECTOR {
 public:
  constexpr G2_VECTOR1() : G2_VECTOR(1, 0) {}
  G2_VECTOR1(double x, double y);
  // (b - a) normalised.
  G2_VECTOR1(const G2_POINT& a, const G2_POINT& b);
  // v normalised.
  G2_VECTOR1(const G2_VECTOR& v);  // NOLINT: implicit by design
  constexpr G2_VECTOR1(const G2_VECTOR1&) = default;
  G2_VECTOR1& operator=(const G2_VECTOR1&) = default;

  // A plain vector argument takes the G2_VECTOR forms.
  using G2_VECTOR::IsOn;
  using G2_VECTOR::IsOrthoTo;
  // Parallel in either sense: |a ^ v| < G_ANG::MinSin (strict).
  C_BOOL IsOn(const G2_VECTOR1& v) const;
  // |a.v| < G_ANG::MinSin (strict).
  C_BOOL IsOrthoTo(const G2_VECTOR1& v) const;

  static const G2_VECTOR1 VX;
  static const G2_VECTOR1 VY;

 private:
  friend class G2_AXIS;
  struct Exact {};
  // Components known to be unit already (constants).
  constexpr G2_VECTOR1(double x, double y, Exact) : G2_VECTOR(x, y) {}

};

// Strict lexicographic order on (x, y).
inline int operator>(const G2_VECTOR& a, const G2_VECTOR& b) {
  if (a.GetCx() != b.GetCx()) return a.GetCx() > b.GetCx();
  return a.GetCy() > b.GetCy();
}
inline G2_POINT operator+(const G2_POINT& p, const G2_VECTOR& v) {
  return G2_POINT(p.GetCx() + v.GetCx(), p.GetCy() + v.GetCy());
}
inline G2_POINT operator-(const G2_POINT& p, const G2_VECTOR& v) {
  return G2_POINT(p.GetCx() - v.GetCx(), p.GetCy() - v.GetCy());
}
inline G2_VECTOR operator+(const G2_VECTOR& a, const G2_VECTOR& b) {
  return G2_VECTOR(a.GetCx() + b.GetCx(), a.GetCy() + b.GetCy());
}
inline G2_VECTOR operator-(const G2_VECTOR& a, const G2_VECTOR& b) {
  return G2_VECTOR(a.GetCx() - b.GetCx(), a.GetCy() - b.GetCy());
}
inline G2_VECTOR operator-(const G2_VECTOR& v) { return G2_VECTOR(-v.GetCx(), -v.GetCy()); }
inline G2_VECTOR operator*(double k, const G2_VECTOR& v) {
  return G2_VECTOR(k * v.GetCx(), k * v.GetCy());
}
// No test of the divisor.
inline G2_VECTOR operator/(const G2_VECTOR& v, double k) {
  return G2_VECTOR(v.GetCx() / k, v.GetCy() / k);
}
// Dot product.
inline double operator*(const G2_VECTOR& a, const G2_VECTOR& b) {
  return a.GetCx() * b.GetCx() + a.GetCy() * b.GetCy();
}
// Scalar cross product a.x.b.y - a.y.b.x.
inline double operator^(const G2_VECTOR& a, const G2_VECTOR& b) {
  return a.GetCx() * b.GetCy() - a.GetCy() * b.GetCx();
}
// The vector from a to b.
inline G2_VECTOR operator>>(const G2_POINT& a, const G2_POINT& b) { return G2_VECTOR(a, b); }

inline G2_POINT::G2_POINT(const G2_POINT& p, const G2_VECTOR& v)
    : x_(p.x_ + v.GetCx()), y_(p.y_ + v.GetCy()) {}
inline G2_POINT& G2_POINT::operator+=(const G2_VECTOR& v) {
  x_ += v.GetCx();
  y_ += v.GetCy();
  return *this;
}
inline G2_POINT& G2_POINT::operator-=(const G2_VECTOR& v) {
  x_ -= v.GetCx();
  y_ -= v.GetCy();
  return *this;
}

#endif
