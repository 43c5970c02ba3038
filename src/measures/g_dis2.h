#ifndef G3GEOM_MEASURES_G_DIS2_H
#define G3GEOM_MEASURES_G_DIS2_H

#include <type_traits>

#include "runtime/c_bool.h"
#include "runtime/g_export.h"

class G_DIS;
class G2_POINT;
class G2_AXIS;
class G3_POINT;
class G3_AXIS;
class G3_PLANE;

// A squared distance: lets tests compare against a resolution without a
// square root. Takes any value; its arithmetic never fails. Not persistent.
class G_API G_DIS2 {
 public:
  // G_DIS::Min squared, process-wide (1e-16 at load); set only by G_DIS::SetMin.
  static double Min;
  static double GetMin() { return Min; }

  G_DIS2() = default;
  G_DIS2(double d) : v_(d) {}  // NOLINT: implicit by design
  // The square of the distance.
  G_DIS2(const G_DIS& d);  // NOLINT: implicit by design
  G_DIS2& operator=(double d) {
    v_ = d;
    return *this;
  }

  // The squares of the G_DIS values of the same inputs.
  G_DIS2(const G2_POINT& p, const G2_POINT& q);
  G_DIS2(const G3_POINT& p, const G3_POINT& q);
  G_DIS2(const G2_POINT& p, const G2_AXIS& ax);
  G_DIS2(const G3_POINT& p, const G3_AXIS& ax);
  G_DIS2(const G3_POINT& p, const G3_PLANE& pl);

  G_DIS2& operator+=(const G_DIS2& d) {
    v_ += d.v_;
    return *this;
  }
  G_DIS2& operator-=(const G_DIS2& d) {
    v_ -= d.v_;
    return *this;
  }
  G_DIS2& operator*=(double f) {
    v_ *= f;
    return *this;
  }
  G_DIS2& operator/=(double f) {
    v_ /= f;
    return *this;
  }

  // Exact comparisons of the doubles, no tolerance.
  int operator<(const G_DIS2& d) const { return v_ < d.v_; }
  int operator<=(const G_DIS2& d) const { return v_ <= d.v_; }
  int operator>(const G_DIS2& d) const { return v_ > d.v_; }
  int operator>=(const G_DIS2& d) const { return v_ >= d.v_; }
  int operator==(const G_DIS2& d) const { return v_ == d.v_; }
  int operator!=(const G_DIS2& d) const { return v_ != d.v_; }
  // The same against a bare number (a tolerance squared by the caller), which
  // would otherwise be ambiguous with the built-in comparison of doubles.
  template <class T, class = std::enable_if_t<std::is_arithmetic_v<T>>>
  int operator<(T d) const { return v_ < double(d); }
  template <class T, class = std::enable_if_t<std::is_arithmetic_v<T>>>
  int operator<=(T d) const { return v_ <= double(d); }
  template <class T, class = std::enable_if_t<std::is_arithmetic_v<T>>>
  int operator>(T d) const { return v_ > double(d); }
  template <class T, class = std::enable_if_t<std::is_arithmetic_v<T>>>
  int operator>=(T d) const { return v_ >= double(d); }
  template <class T, class = std::enable_if_t<std::is_arithmetic_v<T>>>
  int operator==(T d) const { return v_ == double(d); }
  template <class T, class = std::enable_if_t<std::is_arithmetic_v<T>>>
  int operator!=(T d) const { return v_ != double(d); }

  // value < G_DIS2::Min (strict).
  C_BOOL Is0() const { return v_ < Min; }
  // Raises GerrDistanceIsNotNull when not Is0().
  void CheckIs0() const;
  // Raises GerrDistanceIsNull when Is0().
  void CheckIsNot0() const;

  operator double() const { return v_; }  // NOLINT: implicit by design

 private:
  double v_ = 0.0;
};

#endif
