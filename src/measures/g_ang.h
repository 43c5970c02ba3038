#ifndef G3GEOM_MEASURES_G_ANG_H
#define G3GEOM_MEASURES_G_ANG_H

#include "runtime/c_bool.h"
#include "runtime/c_file.h"
#include "runtime/g_export.h"

class G2_POINT;
class G2_VECTOR1;
class G3_POINT;
class G3_VECTOR;
class G3_VECTOR1;
class G3_AXIS;
class G3_PLANE;

// An angle in degrees. It takes any value and is never reduced to a range;
// its arithmetic never fails. Radians and grads appear only in the unit
// getters and setters. The statics are the angular resolutions of the library,
// each kept with its sine and squared sine, which are what direction tests use.
class G_API G_ANG {
 public:
  // Angular resolution: 1e-9 rad in degrees, its sine and its squared sine.
  static double Min;
  static double MinSin;
  static double MinSin2;
  // A coarser resolution: 1e-7 rad in degrees, its sine and its squared sine.
  static double Min100;
  static double Min100Sin;
  static double Min100Sin2;
  static double GetMin() { return Min; }
  static double GetMinSin() { return MinSin; }
  static double GetMinSin2() { return MinSin2; }
  static double GetMin100() { return Min100; }
  static double GetMin100Sin() { return Min100Sin; }
  static double GetMin100Sin2() { return Min100Sin2; }
  // Set the angle (degrees) with its sine and squared sine.
  static void SetMin(double a);
  static void SetMin100(double a);

  G_ANG() = default;
  G_ANG(double deg) : v_(deg) {}  // NOLINT: implicit by design
  G_ANG& operator=(double deg) {
    v_ = deg;
    return *this;
  }

  // Angle between two unit vectors, in [0, 180].
  G_ANG(const G3_VECTOR1& u, const G3_VECTOR1& v);
  // Signed angle from u to v, in [-180, 180] (negative clockwise).
  G_ANG(const G2_VECTOR1& u, const G2_VECTOR1& v);
  // Angle from u to v about r, in [0, 360]: 360 - angle when (u ^ v) . r < 0.
  G_ANG(const G3_VECTOR1& u, const G3_VECTOR1& v, const G3_VECTOR& r);
  // Signed angle at p0 from p1 to p2; a null side counts as (1, 0) and its
  // GerrNullVector stays pending.
  G_ANG(const G2_POINT& p0, const G2_POINT& p1, const G2_POINT& p2);
  // Angle at p0 between p1 and p2, in [0, 180].
  G_ANG(const G3_POINT& p0, const G3_POINT& p1, const G3_POINT& p2);
  // Angle at p0 from p1 to p2 about r, in [0, 360].
  G_ANG(const G3_POINT& p0, const G3_POINT& p1, const G3_POINT& p2, const G3_VECTOR& r);
  // Angle between the axis direction and the plane's normal (not its complement).
  G_ANG(const G3_AXIS& ax, const G3_PLANE& pl);
  // Angle between the normals of two planes.
  G_ANG(const G3_PLANE& p1, const G3_PLANE& p2);

  G_ANG& operator+=(const G_ANG& a) {
    v_ += a.v_;
    return *this;
  }
  G_ANG& operator-=(const G_ANG& a) {
    v_ -= a.v_;
    return *this;
  }
  G_ANG& operator*=(double f) {
    v_ *= f;
    return *this;
  }
  G_ANG& operator/=(double f) {
    v_ /= f;
    return *this;
  }

  double GetDeg() const { return v_; }
  void SetDeg(double d) { v_ = d; }
  double GetRad() const;
  void SetRad(double r);
  double GetGra() const { return v_ * 100 / 90; }
  void SetGra(double g) { v_ = g / 100 * 90; }

  double GetCos() const;
  double GetSin() const;
  double GetTan() const;
  void SetCos(double c);
  void SetSin(double s);
  void SetTan(double t);
  void SetTan2(double y, double x);
  void SetXY(double x, double y);

  // |value| < Min, |value - 360| < Min, |value - other| < Min (all strict).
  C_BOOL Is0() const;
  C_BOOL Is360() const;
  C_BOOL Equals(const G_ANG& other) const;

  operator double() const { return v_; }  // NOLINT: implicit by design

  void Load(int version, C_FILE* file);
  void Save(C_FILE* file) const;

  // The angle in [0, 180] of two unit vectors given by their dot product c and
  // the magnitude s of their cross product: asin near 0 and 180, where acos
  // loses precision, acos elsewhere (and for a NaN c).
  static double FromCosSin(double c, double s);

 private:
  double v_ = 0.0;
};

#endif
