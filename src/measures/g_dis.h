#ifndef G3GEOM_MEASURES_G_DIS_H
#define G3GEOM_MEASURES_G_DIS_H

#include <type_traits>

#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"

class G_DIS2;
class G2_POINT;
class G2_AXIS;
class G3_POINT;
class G3_VECTOR1;
class G3_AXIS;
class G3_PLANE;

// A distance, signed or not depending on how it was made. It takes any value;
// its arithmetic never fails. G_DIS::Min is the distance resolution: a
// distance whose magnitude is below it is null.
class G_API G_DIS {
 public:
  // Distance resolution, process-wide (1e-8 at load).
  static double Min;
  static double GetMin() { return Min; }
  // Sets G_DIS::Min to d and G_DIS2::Min to d * d.
  static void SetMin(double d);

  G_DIS() = default;
  G_DIS(double d) : v_(d) {}  // NOLINT: implicit by design
  // The square root of the squared distance.
  G_DIS(const G_DIS2& d2);  // NOLINT: implicit by design
  G_DIS& operator=(double d) {
    v_ = d;
    return *this;
  }

  // Euclidean distances, >= 0.
  G_DIS(const G2_POINT& p, const G2_POINT& q);
  G_DIS(const G3_POINT& p, const G3_POINT& q);
  // Unsigned distance from p to the line of the axis.
  G_DIS(const G2_POINT& p, const G2_AXIS& ax);
  // (q - p) . u, signed.
  G_DIS(const G3_POINT& p, const G3_POINT& q, const G3_VECTOR1& u);
  // Unsigned distance from p to the line of the axis.
  G_DIS(const G3_POINT& p, const G3_AXIS& ax);
  // Unsigned distance from p to the plane.
  G_DIS(const G3_POINT& p, const G3_PLANE& pl);
  // Distance between the lines of two axes (parallel or skew).
  G_DIS(const G3_AXIS& a, const G3_AXIS& b);
  // Distance from an axis parallel to the plane; 0 when the axis crosses it.
  G_DIS(const G3_AXIS& a, const G3_PLANE& pl);
  // Distance between parallel planes; 0 when they meet.
  G_DIS(const G3_PLANE& p1, const G3_PLANE& p2);

  G_DIS& operator+=(const G_DIS& d) {
    v_ += d.v_;
    return *this;
  }
  G_DIS& operator-=(const G_DIS& d) {
    v_ -= d.v_;
    return *this;
  }
  G_DIS& operator*=(double f) {
    v_ *= f;
    return *this;
  }
  G_DIS& operator/=(double f) {
    v_ /= f;
    return *this;
  }

  // A negative value is negated.
  void Abs() {
    if (v_ < 0) v_ = -v_;
  }
  // |value| < G_DIS::Min (strict).
  C_BOOL Is0() const;
  // Raises GerrDistanceIsNotNull when not Is0().
  void CheckIs0() const;
  // Raises GerrDistanceIsNull when Is0().
  void CheckIsNot0() const;

  operator double() const { return v_; }  // NOLINT: implicit by design

  void Load(int version, C_FILE* file);
  void Save(C_FILE* file) const;

 private:
  double v_ = 0.0;
};

inline G_DIS operator+(const G_DIS& a, const G_DIS& b) { return G_DIS(double(a) + double(b)); }
inline G_DIS operator-(const G_DIS& a, const G_DIS& b) { return G_DIS(double(a) - double(b)); }
// Mixed forms: without them a G_DIS plus a number would be ambiguous between
// the operators above and the built-in addition of doubles.
template <class T, class = std::enable_if_t<std::is_arithmetic_v<T>>>
G_DIS operator+(const G_DIS& a, T b) {
  return G_DIS(double(a) + double(b));
}
template <class T, class = std::enable_if_t<std::is_arithmetic_v<T>>>
G_DIS operator+(T a, const G_DIS& b) {
  return G_DIS(double(a) + double(b));
}
template <class T, class = std::enable_if_t<std::is_arithmetic_v<T>>>
G_DIS operator-(const G_DIS& a, T b) {
  return G_DIS(double(a) - double(b));
}
template <class T, class = std::enable_if_t<std::is_arithmetic_v<T>>>
G_DIS operator-(T a, const G_DIS& b) {
  return G_DIS(double(a) - double(b));
}

#endif
