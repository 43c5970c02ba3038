#include "runtime/c_math.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr double kRadPerDeg = 0.017453292519943295769236907684886;
constexpr double kDegPerRad = 57.295779513082320876798154814105;

// Sine and cosine of t in [0, 90], exact at 0, 30, 45, 60 and 90. Above 45
// degrees the complement is used, so each value comes from an argument of at
// most pi/4 radians.
void SinCosQuarter(double t, double* s, double* c) {
  if (t == 0) {
    *s = 0, *c = 1;
  } else if (t == 30) {
    *s = 0.5, *c = std::cos(30 * kRadPerDeg);
  } else if (t == 45) {
    *s = *c = std::sqrt(0.5);
  } else if (t == 60) {
    *s = std::cos(30 * kRadPerDeg), *c = 0.5;
  } else if (t == 90) {
    *s = 1, *c = 0;
  } else if (t < 45) {
    *s = std::sin(t * kRadPerDeg), *c = std::cos(t * kRadPerDeg);
  } else {
    const double u = (90 - t) * kRadPerDeg;
    *s = std::cos(u), *c = std::sin(u);
  }
}

// The angle is reduced to [0, 360) (fmod is exact), then to a quadrant q and
// an angle t in [0, 90) (exact too: r and 90q are within a factor of two).
void SinCosDeg(double a, double* s, double* c) {
  if (!std::isfinite(a)) {
    *s = *c = std::numeric_limits<double>::quiet_NaN();
    return;
  }
  double r = std::fmod(a, 360.0);
  if (r < 0) r += 360.0;
  if (r >= 360.0) r = 0;  // a tiny negative angle rounds up to 360
  const int q = int(r / 90.0) & 3;
  const double t = r - 90.0 * q;
  double s0 = 0, c0 = 0;
  SinCosQuarter(t, &s0, &c0);
  switch (q) {
    case 0: *s = s0, *c = c0; break;
    case 1: *s = c0, *c = -s0; break;
    case 2: *s = -s0, *c = -c0; break;
    default: *s = -c0, *c = s0; break;
  }
  *s += 0.0;  // no negative zeros
  *c += 0.0;
}

// Inverse sine in degrees, exact at 0, +-0.5 and +-1. Values beyond +-1 by
// rounding noise only (1e-12) are taken as +-1.
double AsinDeg(double s) {
  if (s > 1 && s <= 1 + 1e-12) s = 1;
  if (s < -1 && s >= -1 - 1e-12) s = -1;
  if (s == 1) return 90;
  if (s == -1) return -90;
  if (s == 0.5) return 30;
  if (s == -0.5) return -30;
  if (s == 0) return 0;
  return std::asin(s) * kDegPerRad;
}

}  // namespace

double CmathSin(double a) {
  double s = 0, c = 0;
  SinCosDeg(a, &s, &c);
  return s;
}

double CmathCos(double a) {
  double s = 0, c = 0;
  SinCosDeg(a, &s, &c);
  return c;
}

// Infinite (signed by the side of approach) at odd multiples of 90.
double CmathTan(double a) {
  double s = 0, c = 0;
  SinCosDeg(a, &s, &c);
  if (c == 0) return s > 0 ? std::numeric_limits<double>::infinity()
                           : -std::numeric_limits<double>::infinity();
  return s / c;
}

double CmathAsin(double s) { return AsinDeg(s); }

double CmathAcos(double c) {
  if (c > 1 && c <= 1 + 1e-12) c = 1;
  if (c < -1 && c >= -1 - 1e-12) c = -1;
  if (c == 1) return 0;
  if (c == -1) return 180;
  if (c == 0) return 90;
  if (c == 0.5) return 60;
  if (c == -0.5) return 120;
  return std::acos(c) * kDegPerRad;
}

double CmathAtan(double t) {
  if (t == 0) return 0;
  if (t == 1) return 45;
  if (t == -1) return -45;
  return std::atan(t) * kDegPerRad;
}

// In (-180, 180]; exact along the axes and the diagonals.
double CmathAtan2(double y, double x) {
  if (y == 0 && x == 0) return 0;
  if (y == 0) return x > 0 ? 0 : 180;
  if (x == 0) return y > 0 ? 90 : -90;
  if (std::fabs(x) == std::fabs(y) && std::isfinite(x)) {
    if (x > 0) return y > 0 ? 45 : -45;
    return y > 0 ? 135 : -135;
  }
  return std::atan2(y, x) * kDegPerRad;
}

void CmathSinCos(double a, double* s, double* c) {
  double ss = 0, cc = 0;
  SinCosDeg(a, &ss, &cc);
  if (s != nullptr) *s = ss;
  if (c != nullptr) *c = cc;
}

unsigned int CmathIntRand() { return static_cast<unsigned int>(std::rand()); }
